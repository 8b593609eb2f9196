// The day grid's accessible description, built from the control's state and layout.
#include "calendar/accessible_days.h"

#include <stdexcept>

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
  if (!calendar.DayCells().Exists(key)) return false;
  calendar.set_FocusDate(date);
  calendar.PressKey(vk::kReturn, false);
  return true;
}

// ---- the source screen readers ask ----

namespace {

// An index handed in by a reader, checked against the grid.
const AccessibleDay* day_at(const AccessibleDayGrid& g, int index) {
  return index >= 0 && index < static_cast<int>(g.days.size()) ? &g.days[static_cast<std::size_t>(index)] : nullptr;
}

int index_or_none(const std::optional<std::size_t>& i) { return i ? static_cast<int>(*i) : -1; }

}  // namespace

DayGridAccessible::DayGridAccessible(clsDualMonths& calendar, const LocaleData& locale, const IClock& clock)
    : calendar_(calendar), locale_(locale), clock_(clock) {
  calendar_.FocusMoved = [this](double) {
    if (listener_) listener_->on_focus_moved(index_or_none(Grid(kNoName).focused));
  };
}

DayGridAccessible::~DayGridAccessible() { calendar_.FocusMoved = nullptr; }

AccessibleDayGrid DayGridAccessible::Grid(int named) const { return Describe(calendar_, locale_, clock_.now(), named); }

AccessibleElement DayGridAccessible::Self() {
  const AccessibleDayGrid g = Grid(kNoName);
  AccessibleElement e;
  e.name = g.name;
  e.role = AccessibleRole::Table;
  e.states = acc_state::kFocusable | (g.keyboard_focus ? acc_state::kFocused : 0u);
  e.bounds = Rect{0, 0, calendar_.Surface().Width(), calendar_.Surface().Height()};
  return e;
}

AccessibleElement DayGridAccessible::Child(int index) {
  const AccessibleDayGrid g = Grid(index);
  const AccessibleDay* d = day_at(g, index);
  if (d == nullptr) throw std::out_of_range("no such day cell");
  AccessibleElement e;
  e.name = d->name;
  e.description = d->today ? "Today" : "";
  if (const std::optional<int> week = calendar_.WeekNumberOf(d->date))
    e.description += (e.description.empty() ? "Week " : ", week ") + std::to_string(*week);
  e.role = AccessibleRole::Cell;
  e.bounds = d->bounds;
  // A grey day of the months around is shown only: it cannot be clicked or focused.
  if (!d->in_month) return e;
  e.default_action = "Pick";
  e.states = acc_state::kSelectable | acc_state::kFocusable | (d->selected ? acc_state::kSelected : 0u) |
             (d->focused && g.keyboard_focus ? acc_state::kFocused : 0u);
  return e;
}

int DayGridAccessible::FocusedChild() {
  const AccessibleDayGrid g = Grid(kNoName);
  return g.keyboard_focus ? index_or_none(g.focused) : -1;
}

int DayGridAccessible::SelectedChild() { return index_or_none(Grid(kNoName).selected); }

int DayGridAccessible::CurrentChild() {
  const AccessibleDayGrid g = Grid(kNoName);
  return index_or_none(g.focused ? g.focused : g.selected);
}

void DayGridAccessible::DoDefaultAction(int index) {
  const AccessibleDayGrid g = Grid(kNoName);
  if (const AccessibleDay* d = day_at(g, index); d != nullptr && d->in_month) PickDay(calendar_, d->date);
}

void DayGridAccessible::FocusChild(int index) {
  const AccessibleDayGrid g = Grid(kNoName);
  const AccessibleDay* d = day_at(g, index);
  if (d == nullptr || !d->in_month) return;
  calendar_.set_FocusDate(d->date);
  calendar_.RebuildImage();
  if (listener_) listener_->on_focus_moved(index);
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

std::string DayGridAccessible::MonthName() const {
  const DateParts shown = serial::to_parts(calendar_.CalendarCustomDate());
  return FormatDateValue(serial::from_ymd(shown.year, shown.month, 1).value_or(0), "mmmm yyyy", locale_).value_or("");
}

void DayGridAccessible::MonthShown() {
  std::string month = MonthName();
  if (month == month_told_) return;
  month_told_ = std::move(month);
  if (listener_) listener_->on_announcement(month_told_);
}

}  // namespace tessaly::calendar
