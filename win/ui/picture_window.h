// The picture control as a Win32 child window: it hands mouse, key, focus, paint and size
// messages to its listener and lends its device context for drawing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/picture_control.h"
#include "win/ui/gdi_graphics.h"
#include "win/ui/msaa_object.h"
#include "win/ui/uia_provider.h"

namespace tessaly::win {

// The window's device: inside a paint the paint's device context, otherwise one from GetDC.
class WindowDevice final : public IDevice, public gdi::GdiTarget {
 public:
  explicit WindowDevice(HWND window) : window_(window) {}
  void draw_focus_rect(const Rect& r) override;
  // Nothing to draw on while the window is hidden: its next paint copies the finished image.
  HDC acquire_dc() override { return paint_dc_ ? paint_dc_ : ::IsWindowVisible(window_) ? ::GetDC(window_) : nullptr; }
  void release_dc(HDC dc) override {
    if (dc != paint_dc_) ::ReleaseDC(window_, dc);
  }
  void set_paint_dc(HDC dc) { paint_dc_ = dc; }

 private:
  HWND window_;
  HDC paint_dc_ = nullptr;
};

class PictureWindow final : public IPictureControl {
 public:
  static constexpr const wchar_t* kClassName = L"TessalyPicture";

  // A visible child of `parent` at `bounds` (parent client pixels); empty when the window
  // cannot be made.
  static std::unique_ptr<PictureWindow> try_create(HWND parent, const Rect& bounds);
  ~PictureWindow() override;
  PictureWindow(const PictureWindow&) = delete;
  PictureWindow& operator=(const PictureWindow&) = delete;

  IDevice& device() override { return *device_; }
  int scale_width() const override;
  int scale_height() const override;
  std::uintptr_t window_handle() const override { return reinterpret_cast<std::uintptr_t>(window_); }
  void set_listener(IPictureListener* listener) override { listener_ = listener; }
  void set_accessible(IAccessibleSource* source) override;

  void set_no_border() override;
  void set_auto_redraw(bool on) override { auto_redraw_ = on; }
  void set_back_color(Rgb color) override;
  void set_appearance(Appearance appearance) override { appearance_ = appearance; }

  WindowStyles window_styles() const override;
  void set_window_styles(const WindowStyles& styles) override;
  bool is_key_down(int virtual_key) const override;

  HWND hwnd() const { return window_; }
  // What the window tells UI Automation; null without an accessible source.
  UiaAnswer* uia() const { return uia_.get(); }
  bool auto_redraw() const { return auto_redraw_; }
  Appearance appearance() const { return appearance_; }

 private:
  PictureWindow() = default;
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
  void on_paint();
  bool on_erase(HDC dc);
  void track_leave();
  void on_button_down(int button, WPARAM wparam, LPARAM lparam);
  void on_button_up(int button, WPARAM wparam, LPARAM lparam);
  // WM_GETOBJECT: each kind of reader its own answer.
  LRESULT on_get_object(WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  std::unique_ptr<WindowDevice> device_;
  IPictureListener* listener_ = nullptr;
  gdi::unique_brush back_brush_;
  Rgb back_color_ = 0;
  bool auto_redraw_ = false;
  bool tracking_leave_ = false;
  Appearance appearance_ = Appearance::ThreeD;
  // What the accessible source tells, both kinds of reader hear.
  class BothReaders final : public IAccessibleListener {
   public:
    explicit BothReaders(PictureWindow& window) : window_(window) {}
    void on_focus_moved(int child) override;
    void on_selection_changed(int child) override;
    void on_announcement(const std::string& text) override;

   private:
    PictureWindow& window_;
  };

  IAccessibleSource* accessible_ = nullptr;
  BothReaders readers_{*this};
  std::unique_ptr<MsaaAnswer> msaa_;
  std::unique_ptr<UiaAnswer> uia_;
};

}  // namespace tessaly::win
