// What a key does in the day grid: where it moves the focus day, or that it picks it.
#pragma once

namespace tessaly::calendar {

enum class DayKeyAction { None, Move, Pick };

struct DayKeyResult {
  DayKeyAction action = DayKeyAction::None;
  double focus = 0;  // the focus day afterwards
  friend bool operator==(const DayKeyResult&, const DayKeyResult&) = default;
};

// The arrows move a day or a week, Home and End go to the first and last displayed day, Page Up and
// Page Down a month (with Shift a year) keeping the day or the month's last day; Enter and Space
// pick the focus day. Moving never leaves the host's date range.
DayKeyResult DayGridKey(int key_code, bool shift, double focus, double first_shown, double last_shown);

// The displayed month's anchor that brings `focus` into view: its own month when it lies before
// the displayed days, the month before it (two months shown) or its own when it lies after them,
// and `anchor` itself when it is already in view.
double AnchorShowing(double focus, double anchor, double first_shown, double last_shown, int months_shown);

}  // namespace tessaly::calendar
