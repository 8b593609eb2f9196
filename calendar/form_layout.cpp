// The calendar pop-up's design in twips and its conversion to pixels.
#include "calendar/form_layout.h"

#include "calendar/memory_draw.h"

namespace tessaly::calendar {

namespace {

struct TwipsRect {
  int left, top, width, height;
};

constexpr int kClientWidth = 5175, kClientHeight = 2655;

// In FormControl order.
constexpr std::array<TwipsRect, 6> kDesign{{
    {120, 120, 3495, 2415},   // picCal
    {3720, 120, 1335, 315},   // cboMonths
    {3720, 600, 1335, 315},   // cboYears
    {3720, 1080, 1335, 330},  // cmdToday
    {3720, 1800, 1335, 330},  // cmdSettings
    {3720, 2205, 1335, 330},  // cmdClose
}};

}  // namespace

FormLayout CalendarFormLayout(double twips_per_pixel_x, double twips_per_pixel_y) {
  const auto px = [&](int twips) { return round_even(twips / twips_per_pixel_x); };
  const auto py = [&](int twips) { return round_even(twips / twips_per_pixel_y); };
  FormLayout out;
  out.client = {px(kClientWidth), py(kClientHeight)};
  for (std::size_t i = 0; i < kDesign.size(); ++i) {
    const TwipsRect& t = kDesign[i];
    const int left = px(t.left), top = py(t.top);
    out.controls[i] = Rect{left, top, left + px(t.width), top + py(t.height)};
  }
  return out;
}

}  // namespace tessaly::calendar
