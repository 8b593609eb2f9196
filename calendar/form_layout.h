// Where the calendar pop-up's controls sit: the design's twips table turned into client pixels at
// the screen's twips per pixel.
#pragma once

#include <array>

#include "host/calendar_form_window.h"
#include "host/surface.h"

namespace tessaly::calendar {

struct FormLayout {
  Size client;
  std::array<Rect, 6> controls;  // indexed by FormControl
  const Rect& operator[](FormControl c) const { return controls[static_cast<std::size_t>(c)]; }
};

// Twips per pixel: 15 at 96 dots per inch, 10 at 144.
FormLayout CalendarFormLayout(double twips_per_pixel_x, double twips_per_pixel_y);

}  // namespace tessaly::calendar
