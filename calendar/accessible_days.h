// What a screen reader is told about the calendar's day grid: its name, the weekday headers, and
// for each of the 42 cells the long date, its place, and whether it is in the month, shown,
// selected, today or the focus day. What it hears when that changes is decided here too, once for
// every way the focus day moves.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "calendar/dual_months.h"
#include "host/accessible.h"
#include "host/locale.h"
#include "host/surface.h"

namespace tessaly::calendar {

struct AccessibleDay {
  double date = 0;
  std::string name;  // the long date of the user's locale, weekday included
  int row = 0, column = 0;
  bool in_month = true, selected = false, today = false, focused = false;
  bool shown = true;  // a grey day the options hide is not drawn, and not in the tree
  bool allowed = true;  // the cell's rule lets it be picked
  Rect bounds;  // the cell on the control, in client pixels
};

struct AccessibleDayGrid {
  std::string name;  // the month shown, as its title reads ("February 2024")
  int rows = 6, columns = 7;
  std::array<std::string, 7> column_headers;  // full weekday names from the first day of the week
  std::vector<AccessibleDay> days;             // 42 in reading order, the first month shown only
  std::optional<std::size_t> focused;          // the focus day's index into days
  std::optional<std::size_t> selected;         // the first selected day's index into days
  bool keyboard_focus = false;                 // the day grid has the keyboard focus
};

// The first displayed month's grid as the control last laid it out; `today` is a serial date
// (its time of day is ignored).
AccessibleDayGrid DescribeDayGrid(const clsDualMonths& calendar, const LocaleData& locale, double today);

// The date as the user's locale writes it in full, with the weekday even where the locale's long
// date leaves it out ("Thursday, February 29, 2024").
std::string LongDateName(double date, const LocaleData& locale);

// Picks a day of the displayed month as a click on it does (the owner writes it); false, and
// nothing happens, for a day the month does not show.
bool PickDay(clsDualMonths& calendar, double date);

// The day grid for screen readers: a table of the shown day cells read afresh at every call, with
// the weekday headers, followed by the two month arrows as buttons. A cell's default action picks
// its day as a click does; an arrow's shows the month before or after. The selected day is
// the one a pick replaces (the cell's date until a pick); the focused day is the focus day while
// the grid has the keyboard focus. Whatever moved them, the listener hears the month shown, the
// focus and the selection when they differ from what it was last told.
class DayGridAccessible final : public IAccessibleSource {
 public:
  // Takes the calendar's Drawn event; both must outlive this object.
  DayGridAccessible(clsDualMonths& calendar, const LocaleData& locale, const IClock& clock);
  ~DayGridAccessible() override;
  DayGridAccessible(const DayGridAccessible&) = delete;
  DayGridAccessible& operator=(const DayGridAccessible&) = delete;

  // The whole grid, every day named.
  AccessibleDayGrid Grid() const { return Grid(-1); }

  AccessibleElement Self() override;
  int ChildCount() override;
  AccessibleElement Child(int index) override;
  int ChildAt(int row, int column) override;
  long ChildId(int index) override;
  int IndexOfId(long id) override;
  int FocusedChild() override;
  int SelectedChild() override;
  void DoDefaultAction(int index) override;
  AccessibleTable Table() override;
  bool FocusChild(int index) override;
  void set_listener(IAccessibleListener* listener) override { listener_ = listener; }

  // The owner opened the calendar: what it shows goes without saying, and changes are told from
  // now on.
  void Opened();
  // The owner closed it: nothing more is told.
  void Closed() { open_ = false; }
  // Tells the listener what changed since it was last told: the month shown first, then the
  // focused day, then the selected day.
  void Tell();

 private:
  // The month shown, the focused day (with the keyboard focus only) and the selected day.
  struct Told {
    std::string month;
    std::optional<double> focused, selected;
  };
  // The grid with only the day at `named` named (-1: every day, -2: none).
  AccessibleDayGrid Grid(int named) const;
  // The tree's children: the indexes of the shown days into the grid's days.
  static std::vector<std::size_t> Shown(const AccessibleDayGrid& g);
  // The grid's day index as a child of the tree (-1: none, or hidden).
  static int ChildOf(const AccessibleDayGrid& g, const std::optional<std::size_t>& day);
  Told Now() const;
  AccessibleElement Arrow(bool previous) const;
  static constexpr int kArrows = 2;  // after the days: the previous month's, the next month's
  // The arrows' ids, past the last serial date.
  static constexpr long kPreviousId = 3'000'001, kNextId = 3'000'002;

  clsDualMonths& calendar_;
  const LocaleData& locale_;
  const IClock& clock_;
  IAccessibleListener* listener_ = nullptr;
  bool open_ = false;
  Told told_;
};

}  // namespace tessaly::calendar
