// The day grid's accessible description, built from the control's state and layout.
#include "calendar/accessible_days.h"

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

AccessibleDayGrid DescribeDayGrid(const clsDualMonths& calendar, const LocaleData& locale, double today) {
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
    a.name = LongDateName(d.date, locale);
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

bool PickDay(clsDualMonths& calendar, double date) {
  const std::string key = calendar.FormatKey(date);
  if (!calendar.DayCells().Exists(key)) return false;
  calendar.set_FocusDate(date);
  calendar.PressKey(vk::kReturn, false);
  return true;
}

}  // namespace tessaly::calendar
