// The calendar's high-contrast colours.
#include "calendar/contrast.h"

namespace tessaly::calendar {

DayCellLook HighContrastDay(bool selected, bool today, DayMarks marks) {
  DayCellLook look{hc::kWindow, hc::kWindowText, today, false, 0, 0, marks.holiday, marks.weekend};
  if (selected) {
    look.back = hc::kHighlight;
    look.fore = hc::kHighlightText;
    // Fill alone is lost in themes whose highlight is close to the window colour.
    look.framed = true;
    look.frame = hc::kWindowText;
    look.frame_width = 2;
  } else if (today) {
    look.framed = true;
    look.frame = hc::kHighlight;
    look.frame_width = 1;
  }
  return look;
}

}  // namespace tessaly::calendar
