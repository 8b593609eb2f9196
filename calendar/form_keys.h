// Around the calendar pop-up by keyboard: the tab order of its controls, the buttons' captions and
// the access keys they carry.
#pragma once

#include <optional>
#include <string_view>

#include "host/calendar_form_window.h"

namespace tessaly::calendar {

// The control Tab (or Shift+Tab) moves to: the day grid, the month list, the year box, then the
// buttons, and round again.
FormControl NextTabStop(FormControl from, bool backwards);

// A button's caption, its access key marked by "&"; empty for the other controls.
std::string_view FormCaption(FormControl control);

// The name screen readers give a control that shows a value rather than a caption: "Month" and
// "Year"; empty for the others.
std::string_view AccessibleName(FormControl control);

// The button whose access key is the letter (any case), if any.
std::optional<FormControl> AccessKeyControl(char letter);

}  // namespace tessaly::calendar
