// The calendar's colours while the system's high-contrast mode is on: the system's own colour
// pairs in place of the option colours, and which day cells carry a border.
#pragma once

#include "calendar/memory_draw.h"
#include "calendar/month_model.h"

namespace tessaly::calendar {

// System colours as OLE colours (0x800000nn names system colour nn).
namespace hc {
inline constexpr OleColor kWindow = 0x80000005, kWindowText = 0x80000008;
inline constexpr OleColor kHighlight = 0x8000000D, kHighlightText = 0x8000000E;
inline constexpr OleColor kGrayText = 0x80000011, kButtonFace = 0x8000000F, kButtonText = 0x80000012;
}  // namespace hc

// The colours one day cell is drawn with, and the frame (if any) drawn inside its edge.
struct DayCellLook {
  OleColor back = 0, fore = 0;
  bool bold = false;
  bool framed = false;
  OleColor frame = 0;
  int frame_width = 0;
  bool corner = false;  // a holiday: a notch in the top right corner, in the text colour
  bool stripe = false;  // a weekend in high contrast: a bar down the left side, in the text colour
  friend bool operator==(const DayCellLook&, const DayCellLook&) = default;
};

// A current-period day in high contrast: selected is highlight on highlight text framed in window
// text, today is framed in highlight, anything else window text on window. Marks are shapes,
// never colours: a weekend's stripe, a holiday's notch.
DayCellLook HighContrastDay(bool selected, bool today, DayMarks marks = {});

}  // namespace tessaly::calendar
