// The calendar pop-up as a Win32 window: the picture window, a drop-down month list, a drop-down
// year combo, three buttons and an outline, laid out from the design at the screen's resolution
// in Tahoma, plus the factory that builds the whole form for the add-in.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "calendar/form_layout.h"
#include "calendar/frm_cal.h"
#include "host/calendar_form_window.h"
#include "win/ui/gdi_graphics.h"
#include "win/ui/picture_window.h"
#include "win/ui/tooltip.h"
#include "win/ui/window_subclass.h"

namespace tessaly::win {

class Win32ComboBox final : public IComboBox {
 public:
  explicit Win32ComboBox(HWND combo, bool editable) : combo_(combo), editable_(editable) {}
  void clear() override;
  void add_item(const std::string& text) override;
  int count() const override;
  int selected_index() const override;
  void set_selected_index(int index) override;
  std::string text() const override;
  void set_text(const std::string& text) override;
  HWND hwnd() const { return combo_; }

 private:
  HWND combo_;
  bool editable_;
};

class CalendarFormWindow final : public ICalendarFormWindow {
 public:
  static constexpr const wchar_t* kClassName = L"TessalyCalendarForm";

  // A hidden child of `owner` laid out at `dpi`; empty when a window cannot be made.
  static std::unique_ptr<CalendarFormWindow> try_create(HWND owner, int dpi);
  ~CalendarFormWindow() override;
  CalendarFormWindow(const CalendarFormWindow&) = delete;
  CalendarFormWindow& operator=(const CalendarFormWindow&) = delete;

  void set_listener(ICalendarFormListener* listener) override { listener_ = listener; }
  IPictureControl& picture() override { return *picture_; }
  IComboBox& months() override { return *months_; }
  IComboBox& years() override { return *years_; }
  Size client_size() const override { return layout_.client; }
  void set_resolution(double dpi) override;
  void set_back_color(Rgb color) override;
  void set_border(Rgb color, const Rect& bounds) override;
  void set_tooltips(const FormTooltips* settings) override;
  void show_at_screen_point(std::uintptr_t parent, int x, int y) override;
  void hide(std::uintptr_t owner) override;
  std::uintptr_t window_handle() const override { return reinterpret_cast<std::uintptr_t>(window_); }
  bool destroyed() const override { return destroyed_; }

  HWND hwnd() const { return window_; }
  HWND control(FormControl c) const;
  const calendar::FormLayout& layout() const { return layout_; }

 private:
  CalendarFormWindow() = default;
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
  bool create_controls();
  // The form's size and its controls' places and font from the layout.
  void apply_layout();
  void make_font();
  void on_command(int id, int code);
  void on_paint();
  void watch_keys(HWND control);
  std::optional<LRESULT> on_control_key(HWND control, WPARAM key);

  HWND window_ = nullptr;
  calendar::FormLayout layout_{};
  int dpi_ = 96;
  gdi::unique_font font_;
  gdi::unique_brush back_brush_;
  Rgb back_color_ = 0x00C0FFFF;
  Rgb border_color_ = 0x000080FF;
  Rect border_{};
  std::unique_ptr<PictureWindow> picture_;
  std::array<HWND, 6> controls_{};
  std::unique_ptr<Win32ComboBox> months_, years_;
  std::vector<std::unique_ptr<WindowSubclass>> key_watch_;
  std::unique_ptr<Tooltip> tooltip_;
  ICalendarFormListener* listener_ = nullptr;
  bool destroyed_ = false;  // with its parent, behind our back
};

// The calendar pop-up form for the add-in: its window a hidden child of `owner` (the host's main
// window), laid out at the resolution where the owner is shown. Throws HostError when the window
// cannot be made.
std::unique_ptr<ICalendarForm> CreateCalendarForm(calendar::CalendarFormServices services, HWND owner);

}  // namespace tessaly::win
