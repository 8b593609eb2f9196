// The day grid's accessible description, built from the control's state and layout.
#include "calendar/accessible_days.h"

#include <stdexcept>
#include <utility>

#include "date/date_format.h"
#include "date/serial_date.h"

namespace tessaly::calendar {

namespace {

// The grid's month is always a valid date, so the clock behind it is only a formality.
class TodayClock final : public IClock {
 public:
  explicit TodayClock(double today) : today_(today) {}
  double now() const override { return today_; }

 private:
  double today_;
};

}  // namespace

std::string LongDateName(double date, const LocaleData& locale) {
  const double day = serial::day_part(date);
  // "[$-F800]" is the host's own code for the system's long date.
  std::string text = FormatDateValue(day, "[$-F800]", locale).value_or("");
  if (locale.long_date_pattern.find("dddd") == std::string::npos)
    text = FormatDateValue(day, "dddd", locale).value_or("") + ", " + text;
  return text;
}

namespace {

constexpr int kEveryName = -1, kNoName = -2;

// What a day's marks add to its name.
std::string MarkWords(DayMarks marks) {
  return std::string(marks.weekend ? ", weekend" : "") + (marks.holiday ? ", holiday" : "");
}

// The grid with the long date of the day at `named` only (kEveryName: of each day, kNoName: of
// none): formatting 42 dates is most of the cost, and a reader mostly asks about one cell.
AccessibleDayGrid Describe(const clsDualMonths& calendar, const LocaleData& locale, double today, int named) {
  AccessibleDayGrid g;
  const std::int32_t fdow = calendar.FirstDayOfWeek();
  const int first_day = fdow >= 1 && fdow <= 7 ? fdow : 1;
  const TodayClock clock(today);
  clsDateVars vars(clock);
  double anchor = calendar.CalendarCustomDate();
  vars.SetMonth(anchor, first_day);
  g.name = FormatDateValue(vars.FirstDayOfMonth(), "mmmm yyyy", locale).value_or("");
  for (std::size_t c = 0; c < 7; ++c) g.column_headers[c] = locale.day_names[(first_day - 1 + c) % 7];
  g.keyboard_focus = calendar.FocusVisible();
  const double focus = calendar.FocusDate();
  const double today_day = serial::day_part(today);
  for (const GridDay& d : month_grid(vars)) {
    const int i = static_cast<int>(g.days.size());
    AccessibleDay a;
    a.date = d.date;
    if (named == kEveryName || named == i)
      a.name = LongDateName(d.date, locale) + (d.period == Period::Current ? MarkWords(calendar.MarksOf(d.date)) : "");
    a.row = i / 7;
    a.column = i % 7;
    a.in_month = d.period == Period::Current;
    a.allowed = calendar.Allows(d.date);
    a.shown = a.in_month || (d.period == Period::Pre ? calendar.ShowPrePeriod() : calendar.ShowPostPeriod());
    a.selected = a.in_month && calendar.SelectedDays().Exists(calendar.FormatKey(d.date));
    a.today = d.date == today_day;
    a.focused = a.in_month && calendar.HasFocusDate() && d.date == focus;
    a.bounds = calendar.Layout().day_cell(0, a.row, a.column);
    if (a.focused) g.focused = g.days.size();
    if (a.selected && !g.selected) g.selected = g.days.size();
    g.days.push_back(std::move(a));
  }
  return g;
}

}  // namespace

AccessibleDayGrid DescribeDayGrid(const clsDualMonths& calendar, const LocaleData& locale, double today) {
  return Describe(calendar, locale, today, kEveryName);
}

bool PickDay(clsDualMonths& calendar, double date) {
  const std::string key = calendar.FormatKey(date);
  if (!calendar.DayCells().Exists(key) || !calendar.Allows(date)) return false;
  calendar.set_FocusDate(date);
  calendar.PressKey(vk::kReturn, false);
  return true;
}

// ---- the source screen readers ask ----

DayGridAccessible::DayGridAccessible(clsDualMonths& calendar, const LocaleData& locale, const IClock& clock)
    : calendar_(calendar), locale_(locale), clock_(clock) {
  calendar_.Drawn = [this] { Tell(); };
}

DayGridAccessible::~DayGridAccessible() { calendar_.Drawn = nullptr; }

AccessibleDayGrid DayGridAccessible::Grid(int named) const { return Describe(calendar_, locale_, clock_.now(), named); }

std::vector<std::size_t> DayGridAccessible::Shown(const AccessibleDayGrid& g) {
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < g.days.size(); ++i)
    if (g.days[i].shown) shown.push_back(i);
  return shown;
}

int DayGridAccessible::ChildOf(const AccessibleDayGrid& g, const std::optional<std::size_t>& day) {
  if (!day) return -1;
  const std::vector<std::size_t> shown = Shown(g);
  for (std::size_t c = 0; c < shown.size(); ++c)
    if (shown[c] == *day) return static_cast<int>(c);
  return -1;
}

AccessibleElement DayGridAccessible::Self() {
  const AccessibleDayGrid g = Grid(kNoName);
  AccessibleElement e;
  e.name = g.name;
  e.role = AccessibleRole::Table;
  e.states = acc_state::kFocusable | (g.keyboard_focus ? acc_state::kFocused : 0u);
  e.bounds = Rect{0, 0, calendar_.Surface().Width(), calendar_.Surface().Height()};
  return e;
}

int DayGridAccessible::ChildCount() { return static_cast<int>(Shown(Grid(kNoName)).size()) + kArrows; }

AccessibleElement DayGridAccessible::Arrow(bool previous) const {
  AccessibleElement e;
  e.name = previous ? "Previous month" : "Next month";
  e.role = AccessibleRole::PushButton;
  e.default_action = "Press";
  e.bounds = previous ? calendar_.PrevArrowRect() : calendar_.NextArrowRect();
  return e;
}

AccessibleElement DayGridAccessible::Child(int index) {
  const std::vector<std::size_t> shown = Shown(Grid(kNoName));
  const int days = static_cast<int>(shown.size());
  if (index < 0 || index >= days + kArrows) throw std::out_of_range("no such child");
  if (index >= days) return Arrow(index == days);
  const std::size_t day = shown[static_cast<std::size_t>(index)];
  const AccessibleDayGrid g = Grid(static_cast<int>(day));
  const AccessibleDay& d = g.days[day];
  AccessibleElement e;
  e.name = d.name;
  e.description = d.today ? "Today" : "";
  if (const std::optional<int> week = calendar_.WeekNumberOf(d.date))
    e.description += (e.description.empty() ? "Week " : ", week ") + std::to_string(*week);
  e.role = AccessibleRole::Cell;
  e.bounds = d.bounds;
  e.row = d.row;
  e.column = d.column;
  // A grey day, of the months around or refused by the cell's rule, is shown only: it cannot be
  // picked or focused.
  if (!d.in_month || !d.allowed) {
    e.states = acc_state::kUnavailable;
    return e;
  }
  e.default_action = "Pick";
  e.states = acc_state::kSelectable | acc_state::kFocusable | (d.selected ? acc_state::kSelected : 0u) |
             (d.focused && g.keyboard_focus ? acc_state::kFocused : 0u);
  return e;
}

int DayGridAccessible::ChildAt(int row, int column) {
  const AccessibleDayGrid g = Grid(kNoName);
  if (row < 0 || column < 0 || row >= g.rows || column >= g.columns) return -1;
  return ChildOf(g, static_cast<std::size_t>(row * g.columns + column));
}

long DayGridAccessible::ChildId(int index) {
  const AccessibleDayGrid g = Grid(kNoName);
  const std::vector<std::size_t> shown = Shown(g);
  const int days = static_cast<int>(shown.size());
  if (index < 0 || index >= days + kArrows) return -1;
  if (index >= days) return index == days ? kPreviousId : kNextId;
  return static_cast<long>(g.days[shown[static_cast<std::size_t>(index)]].date);
}

int DayGridAccessible::IndexOfId(long id) {
  const AccessibleDayGrid g = Grid(kNoName);
  const std::vector<std::size_t> shown = Shown(g);
  const int days = static_cast<int>(shown.size());
  if (id == kPreviousId) return days;
  if (id == kNextId) return days + 1;
  for (int c = 0; c < days; ++c)
    if (static_cast<long>(g.days[shown[static_cast<std::size_t>(c)]].date) == id) return c;
  return -1;
}

int DayGridAccessible::FocusedChild() {
  const AccessibleDayGrid g = Grid(kNoName);
  return g.keyboard_focus ? ChildOf(g, g.focused) : -1;
}

int DayGridAccessible::SelectedChild() {
  const AccessibleDayGrid g = Grid(kNoName);
  return ChildOf(g, g.selected);
}

void DayGridAccessible::DoDefaultAction(int index) {
  if (index < 0 || index >= ChildCount()) return;
  const AccessibleElement e = Child(index);
  if (e.default_action.empty()) return;
  if (e.role == AccessibleRole::PushButton) return calendar_.StepMonth(index == ChildCount() - kArrows);
  const AccessibleDayGrid g = Grid(kNoName);
  PickDay(calendar_, g.days[static_cast<std::size_t>(e.row * g.columns + e.column)].date);
}

bool DayGridAccessible::FocusChild(int index) {
  if (index < 0 || index >= ChildCount()) return false;
  const AccessibleElement e = Child(index);
  if ((e.states & acc_state::kFocusable) == 0) return false;
  const AccessibleDayGrid g = Grid(kNoName);
  calendar_.set_FocusDate(g.days[static_cast<std::size_t>(e.row * g.columns + e.column)].date);
  calendar_.RebuildImage();
  return true;
}

AccessibleTable DayGridAccessible::Table() {
  const AccessibleDayGrid g = Grid(kNoName);
  AccessibleTable t;
  t.rows = g.rows;
  t.columns = g.columns;
  for (int c = 0; c < g.columns; ++c) {
    AccessibleElement h;
    h.name = g.column_headers[static_cast<std::size_t>(c)];
    h.role = AccessibleRole::Cell;
    if (calendar_.Layout().HasHeader) h.bounds = calendar_.Layout().header_cell(0, c);
    t.column_headers.push_back(std::move(h));
  }
  return t;
}

DayGridAccessible::Told DayGridAccessible::Now() const {
  const AccessibleDayGrid g = Grid(kNoName);
  Told t;
  t.month = g.name;
  if (g.keyboard_focus && g.focused) t.focused = g.days[*g.focused].date;
  if (calendar_.SelectedDays().count() > 0) t.selected = serial::day_part(calendar_.SelectedDays().Item(1).DateTime());
  return t;
}

void DayGridAccessible::Opened() {
  open_ = true;
  told_ = Now();
}

void DayGridAccessible::Tell() {
  if (!open_) return;
  Told now = Now();
  const Told before = std::exchange(told_, now);
  if (!listener_) return;
  if (now.month != before.month) listener_->on_announcement(now.month);
  if (now.focused == before.focused && now.selected == before.selected) return;
  const AccessibleDayGrid g = Grid(kNoName);
  const auto child = [&](std::optional<double> date) {
    for (std::size_t i = 0; date && i < g.days.size(); ++i)
      if (g.days[i].date == *date && g.days[i].in_month) return ChildOf(g, i);
    return -1;
  };
  if (now.focused && now.focused != before.focused) listener_->on_focus_moved(child(now.focused));
  if (now.selected != before.selected) listener_->on_selection_changed(child(now.selected));
}

}  // namespace tessaly::calendar
