// The day grid's keys: focus movement and picking, without touching the selection.
#include "calendar/day_keys.h"

#include <optional>

#include "date/serial_date.h"
#include "host/picture_control.h"

namespace tessaly::calendar {

namespace {

std::optional<double> moved(int key_code, bool shift, double focus, double first_shown, double last_shown) {
  switch (key_code) {
    case vk::kLeft: return focus - 1;
    case vk::kRight: return focus + 1;
    case vk::kUp: return focus - 7;
    case vk::kDown: return focus + 7;
    case vk::kHome: return first_shown;
    case vk::kEnd: return last_shown;
    case vk::kPageUp: return serial::add_months(focus, shift ? -12 : -1);
    case vk::kPageDown: return serial::add_months(focus, shift ? 12 : 1);
    default: return std::nullopt;
  }
}

}  // namespace

DayKeyResult DayGridKey(int key_code, bool shift, double focus, double first_shown, double last_shown) {
  focus = serial::day_part(focus);
  if (key_code == vk::kReturn || key_code == vk::kSpace) return {DayKeyAction::Pick, focus};
  const std::optional<double> to = moved(key_code, shift, focus, first_shown, last_shown);
  if (!to) return {DayKeyAction::None, focus};
  // At the ends of the host's calendar the focus stays where it is.
  if (!serial::in_range(*to)) return {DayKeyAction::None, focus};
  return {DayKeyAction::Move, *to};
}

double AnchorShowing(double focus, double anchor, double first_shown, double last_shown, int months_shown) {
  if (focus >= first_shown && focus <= last_shown) return anchor;
  if (focus < first_shown || months_shown < 2) return focus;
  return serial::add_months(focus, -(months_shown - 1)).value_or(focus);
}

}  // namespace tessaly::calendar
