// The calendar pop-up's window as the form drives it: its picture, month list, year box, buttons,
// border, tooltips and placement, and the clicks, edits and keys it reports to one listener.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/picture_control.h"
#include "host/surface.h"

namespace tessaly {

// The form's controls, in tab order.
enum class FormControl { Calendar, Months, Years, Today, Settings, Close };

// Keys the form itself answers, whichever of its controls has the focus.
namespace vk {
inline constexpr int kEscape = 0x1B;
}

// A drop-down list or a drop-down combo with editable text. Changes made through this interface
// raise no events.
class IComboBox {
 public:
  virtual ~IComboBox() = default;
  virtual void clear() = 0;
  virtual void add_item(const std::string& text) = 0;
  virtual int count() const = 0;
  virtual int selected_index() const = 0;  // -1: none
  virtual void set_selected_index(int index) = 0;
  virtual std::string text() const = 0;
  virtual void set_text(const std::string& text) = 0;
};

struct FormTooltips {
  int max_width = 400;        // pixels
  int visible_time_ms = 0;
  int delay_time_ms = 0;
  struct Tip {
    FormControl control;
    std::string text;
    friend bool operator==(const Tip&, const Tip&) = default;
  };
  std::vector<Tip> tips;
  friend bool operator==(const FormTooltips&, const FormTooltips&) = default;
};

class ICalendarFormListener {
 public:
  virtual ~ICalendarFormListener() = default;
  // A button pressed, or an entry chosen from the month list or the year box.
  virtual void on_click(FormControl control) = 0;
  // The user leaves the year box.
  virtual void on_year_validate() = 0;
  // Escape, Page Up or Page Down, whichever control has the focus.
  virtual void on_form_key(int key_code) = 0;
  // The system's colours or its high-contrast mode changed.
  virtual void on_colors_changed() {}
  // The window the form is shown in went to a display of that many logical pixels per inch.
  virtual void on_resolution_changed(double) {}
};

class ICalendarFormWindow {
 public:
  virtual ~ICalendarFormWindow() = default;
  virtual void set_listener(ICalendarFormListener* listener) = 0;
  virtual IPictureControl& picture() = 0;
  virtual IComboBox& months() = 0;
  virtual IComboBox& years() = 0;
  virtual Size client_size() const = 0;
  // Lays the form out for a display of that many logical pixels per inch (96 at 100 %): its size,
  // its controls and their font, and its picture, which reports the resize; nothing when it
  // already is.
  virtual void set_resolution(double dpi) = 0;
  virtual void set_back_color(Rgb color) = 0;
  // The outline drawn inside the client area.
  virtual void set_border(Rgb color, const Rect& bounds) = 0;
  // Empty: no tooltips; an earlier tooltip is always destroyed first.
  virtual void set_tooltips(const FormTooltips* settings) = 0;
  // A non-activating topmost child of `parent` with its top-left corner at the screen point.
  virtual void show_at_screen_point(std::uintptr_t parent, int x, int y) = 0;
  // Hidden and made a child of `owner`, or left where it is for 0; a keyboard focus inside the form
  // goes back to the window the form was shown in.
  virtual void hide(std::uintptr_t owner) = 0;
  virtual void focus_day_grid() = 0;
  virtual std::uintptr_t window_handle() const = 0;
  // True once the window was destroyed with its parent.
  virtual bool destroyed() const { return false; }
};

}  // namespace tessaly
