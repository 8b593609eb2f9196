// The calendar pop-up form: settings applied in order, the month list and year box kept in step
// with the calendar, and the close event on a pick, on Cancel and on Escape.
#include "calendar/frm_cal.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "calendar/contrast.h"
#include "calendar/form_layout.h"
#include "date/date_format.h"
#include "date/serial_date.h"
#include "host/error_policy.h"
#include "host/tag_form.h"
#include "settings/option_ids.h"

namespace tessaly::calendar {

namespace {

// Sets a flag for the life of a scope and puts back what it was.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = before_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

std::string four_digit_year(int year) {
  std::string s = std::to_string(year);
  return std::string(s.size() < 4 ? 4 - s.size() : 0, '0') + s;
}

// The day in the given month with the anchor's day-of-month, pulled back to the month's last day
// when the month is shorter, so the calendar shows the month the list names.
std::optional<double> same_day_in(int year, int month, double anchor) {
  if (year < serial::kMinYear || year > serial::kMaxYear || month < 1 || month > 12) return std::nullopt;
  const int day = std::min(serial::to_parts(anchor).day, serial::days_in_month(year, month));
  return serial::from_ymd(year, month, day);
}

}  // namespace

std::optional<int> ParseYearText(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  const std::string_view digits(text.data() + first, last - first + 1);
  int year = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), year);
  if (ec != std::errc() || end != digits.data() + digits.size() || year < 0) return std::nullopt;
  if (year < 30) return 2000 + year;
  if (year < 100) return 1900 + year;
  if (year > serial::kMaxYear) return std::nullopt;
  return year;
}

std::string LimitsText(const DateLimits& l, const LocaleData& locale) {
  const auto text = [&](double day) { return FormatDateAsText(day, "@", locale).value_or(""); };
  const std::string a = text(l.first);
  switch (l.op) {
    case LimitOperator::Between: return "The cell takes dates from " + a + " to " + text(l.second) + ".";
    case LimitOperator::NotBetween: return "The cell takes dates before " + a + " or after " + text(l.second) + ".";
    case LimitOperator::Equal: return "The cell takes only " + a + ".";
    case LimitOperator::NotEqual: return "The cell takes any date but " + a + ".";
    case LimitOperator::Greater: return "The cell takes dates after " + a + ".";
    case LimitOperator::Less: return "The cell takes dates before " + a + ".";
    case LimitOperator::GreaterEqual: return "The cell takes dates from " + a + " on.";
    case LimitOperator::LessEqual: return "The cell takes dates up to " + a + ".";
  }
  return "";
}

frmCal::frmCal(CalendarFormServices services, std::unique_ptr<ICalendarFormWindow> window)
    : s_(std::move(services)), window_(std::move(window)) {
  start_date_ = Today();
  FlagScope updating(updating_);
  moCalendar = std::make_unique<clsDualMonths>(s_.graphics, s_.clock, s_.locale);
  moCalendar->DateClicked = [this](double) { moCalendar_DateClicked(); };
  moCalendar->DateChanged = [this] { ShowDisplayedMonth(); };
  accessible_ = std::make_unique<DayGridAccessible>(*moCalendar, s_.locale, s_.clock);
  window_->set_listener(this);
  SkipFailures()([&] { window_->picture().set_accessible(accessible_.get()); });
}

frmCal::~frmCal() {
  window_->set_listener(nullptr);
  SkipFailures()([&] { window_->picture().set_accessible(nullptr); });
  moCalendar->LinkControl(nullptr);
}

double frmCal::Today() const { return std::floor(s_.clock.now()); }

void frmCal::InitThisObject(const Variant& start_date) {
  start_date_ = start_date.is_date() && is_valid_date(start_date.as_double()) ? start_date.as_double() : Today();
}

void frmCal::ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) {
  if (shown_) return;
  FlagScope updating(updating_);
  InitThisObject(start_date);
  GetReady(parent);
  // The user's moves in this opening are not what the next one shows.
  ready_.reset();
  accessible_->Opened();
  window_->show_at_screen_point(parent, x, y);
  shown_ = true;
}

void frmCal::Prepare(const Variant& start_date, WindowHandle parent) {
  if (shown_) return;
  FlagScope updating(updating_);
  InitThisObject(start_date);
  GetReady(parent);
  window_->hide(parent);
}

void frmCal::ReturnHome() {
  HideCalendar();
  window_->hide(s_.m.ExcelMainWindow);
}

void frmCal::GetReady(WindowHandle parent) {
  if (!is_valid_date(start_date_)) start_date_ = Today();
  Readiness want{start_date_, ResolutionOf(parent), s_.m.RegMan->Revision(), Today(), holidays_, limits_};
  if (ready_ && *ready_ == want) return;
  Readiness same_but_start = want;
  same_but_start.start = ready_ ? ready_->start : want.start;
  const bool start_only = ready_ && *ready_ == same_but_start;
  ready_.reset();
  // The month image is drawn once, at the end, whatever the layout and the settings changed.
  moCalendar->HoldImage();
  // Laid out for the display that shows the parent, before the month image is drawn at that size.
  if (want.dpi) SkipFailures()([&] { TakeResolution(*want.dpi); });
  const bool done = start_only ? ShowStartDay() : ApplySettings();
  const bool drawn = SkipFailures()([&] { moCalendar->ReleaseImage(); });
  // What failed is done again at the next opening.
  if (done && drawn) ready_ = std::move(want);
}

std::optional<double> frmCal::ResolutionOf(WindowHandle parent) const {
  if (!s_.screen) return std::nullopt;
  return Attempt([&]() -> std::optional<double> {
    const double dpi = s_.screen->LogicalPixelsPerInchX(parent);
    if (!std::isfinite(dpi) || dpi <= 0) return std::nullopt;
    return std::clamp(dpi, 24.0, 2400.0);
  }).value_or(std::nullopt);
}

// The form, its controls and the calendar's fonts all take the one resolution.
void frmCal::TakeResolution(double dpi) {
  window_->set_resolution(dpi);
  moCalendar->set_PixelsPerInch(static_cast<int>(std::lround(dpi)));
}

std::optional<Size> frmCal::SizeIn(WindowHandle parent) const {
  const std::optional<double> dpi = ResolutionOf(parent);
  return dpi ? CalendarFormLayout(1440 / *dpi, 1440 / *dpi).client : window_->client_size();
}

void frmCal::on_resolution_changed(double dpi) {
  SkipFailures step;
  moCalendar->HoldImage();
  step([&] { TakeResolution(std::clamp(dpi, 24.0, 2400.0)); });
  step([&] {
    const Size client = window_->client_size();
    border_bounds_ = Rect{0, 0, client.cx, client.cy};
    window_->set_border(BorderColour(), border_bounds_);
  });
  step([&] { moCalendar->RebuildImage(); });
  step([&] { moCalendar->ReleaseImage(); });
}

void frmCal::TakeFocus() {
  if (shown_) window_->focus_day_grid();
}

void frmCal::HideCalendar() {
  if (!shown_) return;
  accessible_->Closed();
  window_->hide(0);
  shown_ = false;
}

void frmCal::Unload() {
  shown_ = false;
  ready_.reset();
  accessible_->Closed();
  SkipFailures step;
  tooltips_.reset();
  step([&] { window_->set_tooltips(nullptr); });
  step([&] { window_->hide(s_.m.ExcelMainWindow); });
}

// ---------------------------------------------------------------- settings

bool frmCal::ApplySettings() {
  FlagScope updating(updating_);
  SkipFailures step;
  const cUtilRegMan& reg = *s_.m.RegMan;
  step([&] {
    const std::int64_t border = translate_ole_color(static_cast<OleColor>(reg.Long(opt::CalFormBorderColor)), s_.graphics);
    const Size client = window_->client_size();
    // A colour that cannot be translated is refused and the outline keeps its colour.
    if (border != kNoColor) border_color_ = static_cast<Rgb>(border);
    border_bounds_ = Rect{0, 0, client.cx, client.cy};
    window_->set_border(BorderColour(), border_bounds_);
  });
  step([&] { ApplyCalendarOptions(); });
  const bool start_shown = ShowStartDay();
  step([&] { ApplyTooltips(); });
  return start_shown && step.failures() == 0;
}

bool frmCal::ShowStartDay() {
  FlagScope updating(updating_);
  SkipFailures step;
  if (!is_valid_date(start_date_)) start_date_ = Today();
  step([&] {
    clsDateItems& selected = moCalendar->SelectedDays();
    for (int i = static_cast<int>(selected.count()); i >= 1; --i) moCalendar->UnSelectDay(selected.Item(i).DateTime());
    moCalendar->SelectDay(start_date_);
    // A cell date its rule refuses opens on the nearest day it takes, the cell's own still selected.
    const double opening = limits_ ? limits_->Nearest(start_date_).value_or(start_date_) : start_date_;
    moCalendar->set_FocusDate(opening);
    moCalendar->set_CalendarCustomDate(opening);
    moCalendar->RebuildImage();
  });
  step([&] { FillMonths(); });
  step([&] { FillYears(); });
  return step.failures() == 0;
}

void frmCal::ApplyCalendarOptions() {
  const cUtilRegMan& reg = *s_.m.RegMan;
  const auto colour = [&](short id) { return static_cast<OleColor>(reg.Long(id)); };
  clsDualMonths& c = *moCalendar;
  c.LinkControl(&window_->picture());
  c.set_BorderStyle(0);
  c.set_LineStyle(reg.Long(opt::CalLineStyle));
  c.set_FirstDayOfWeek(reg.Long(opt::CalFirstDayOfWeek));
  c.set_Backcolor(colour(opt::CalBackColor));
  ApplyContrast();
  c.set_CurrentPeriodBackColor(colour(opt::CalCurrentPeriodBackColor));
  c.set_CurrentPeriodForeColor(colour(opt::CalCurrentPeriodForeColor));
  c.set_DateSelectedBackColor(colour(opt::CalDateSelectedBackColor));
  c.set_DateSelectedForeColor(colour(opt::CalDateSelectedForeColor));
  c.set_DayHeaderBackColor(colour(opt::CalDayHeaderBackColor));
  c.set_DayHeaderForeColor(colour(opt::CalDayHeaderForeColor));
  c.set_FlatLineColor(colour(opt::CalFlatLineColor));
  c.set_Forecolor(colour(opt::CalForeColor));
  c.set_PostPeriodBackColor(colour(opt::CalPostPeriodBackColor));
  c.set_PostPeriodForeColor(colour(opt::CalPostPeriodForeColor));
  c.set_PrePeriodBackColor(colour(opt::CalPrePeriodBackColor));
  c.set_PrePeriodForeColor(colour(opt::CalPrePeriodForeColor));
  c.set_ShowPostPeriod(reg.Bool(opt::CalShowPostPeriod));
  c.set_ShowPrePeriod(reg.Bool(opt::CalShowPrePeriod));
  c.set_MultiSelect(false);
  c.set_DualMonths(false);
  c.set_ShowDayHeader(reg.Bool(opt::CalShowDayHeader));
  c.set_DayHeaderFormat(reg.Long(opt::CalDayHeaderFormat));
  c.set_ShowWeekNumbers(reg.Bool(opt::CalShowWeekNumbers));
  c.set_WeekNumberSystem(reg.Long(opt::CalWeekNumberSystem) == 1 ? WeekNumbering::FirstJanuary : WeekNumbering::Iso8601);
  // A weekend text that is not seven 0s and 1s keeps the usual Saturday and Sunday.
  c.set_Weekend(ParseWeekendDays(reg.Text(opt::CalWeekendDays)).value_or(kSaturdaySunday));
  c.set_MarkWeekends(reg.Bool(opt::CalMarkWeekends));
  c.set_Holidays(reg.Bool(opt::CalMarkHolidays) ? holidays_ : std::vector<double>{});
  c.set_Limits(limits_);
}

// The form's own back and outline colours follow the calendar's: the options' normally, the
// system's window colours in high contrast.
void frmCal::ApplyContrast() {
  const bool high = s_.graphics.high_contrast();
  moCalendar->set_HighContrast(high);
  const OleColor back_option = static_cast<OleColor>(s_.m.RegMan->Long(opt::CalBackColor));
  const std::int64_t back = translate_ole_color(high ? hc::kWindow : back_option, s_.graphics);
  if (back != kNoColor) window_->set_back_color(static_cast<Rgb>(back));
}

Rgb frmCal::BorderColour() const {
  if (!s_.graphics.high_contrast()) return border_color_;
  const std::int64_t c = translate_ole_color(hc::kWindowText, s_.graphics);
  return c == kNoColor ? border_color_ : static_cast<Rgb>(c);
}

void frmCal::on_colors_changed() {
  SkipFailures step;
  step([&] { ApplyContrast(); });
  step([&] { window_->set_border(BorderColour(), border_bounds_); });
  step([&] { moCalendar->RebuildImage(); });
}

void frmCal::FillMonths() {
  IComboBox& months = window_->months();
  // The names are the locale's, the same at every opening: filled once.
  if (!months_filled_ || months.count() != static_cast<int>(s_.locale.month_names.size())) {
    months.clear();
    for (const std::string& name : s_.locale.month_names) months.add_item(name);
    months_filled_ = true;
  }
  const int month = serial::to_parts(moCalendar->CalendarCustomDate()).month - 1;
  if (months.selected_index() != month) months.set_selected_index(month);
}

void frmCal::FillYears() {
  const cUtilRegMan& reg = *s_.m.RegMan;
  IComboBox& years = window_->years();
  const std::pair<std::int32_t, std::int32_t> range{reg.Long(opt::CalendarYearMin), reg.Long(opt::CalendarYearMax)};
  // Filled again only when its range changed: a hundred entries at every opening cost more than
  // drawing the month.
  if (range != years_filled_ || years.count() != std::max<std::int64_t>(0, std::int64_t(range.second) - range.first + 1)) {
    years.clear();
    for (std::int32_t y = range.first; y <= range.second; ++y) years.add_item(std::to_string(y));
    years_filled_ = range;
  }
  // Setting the same text again costs the box a round of messages.
  const std::string year = four_digit_year(serial::to_parts(moCalendar->CalendarCustomDate()).year);
  if (years.text() != year) years.set_text(year);
}

void frmCal::ApplyTooltips() {
  const cUtilRegMan& reg = *s_.m.RegMan;
  if (!reg.Bool(opt::DisplayTooltip)) {
    window_->set_tooltips(nullptr);
    tooltips_.reset();
    return;
  }
  FormTooltips t;
  t.max_width = 400;
  t.visible_time_ms = TooltipMilliseconds(reg.Long(opt::TooltipVisibleTime));
  t.delay_time_ms = TooltipMilliseconds(reg.Long(opt::TooltipDelayTime));
  t.tips = {
      {FormControl::Settings, "Set options to control how " + s_.m.ProductName + "\r\n works"},
      {FormControl::Close, "Close the calendar without changing the cell value"},
      {FormControl::Today, "Display today's date"},
      {FormControl::Calendar, "Click a date to put it into the current cell"},
  };
  if (limits_) t.tips.back().text += "\r\n" + LimitsText(*limits_, s_.locale);
  // The live tooltips are kept while nothing in them changed; otherwise made again.
  if (tooltips_ && *tooltips_ == t) return;
  tooltips_.reset();
  window_->set_tooltips(&t);
  tooltips_ = t;
}

// ---------------------------------------------------------------- handlers

void frmCal::RaiseClose(const Variant& value) {
  if (sink_) sink_->CalendarClose(value);
}

void frmCal::moCalendar_DateClicked() {
  if (updating_ || moCalendar->SelectedDays().count() == 0) return;
  // Readers hear of the pick while the calendar still shows it.
  accessible_->Tell();
  RaiseClose(Variant::date(moCalendar->SelectedDays().Item(1).DateTime()));
}

// The month list and the year box name the month the calendar shows.
void frmCal::ShowDisplayedMonth() {
  FlagScope updating(updating_);
  const DateParts shown = serial::to_parts(moCalendar->CalendarCustomDate());
  window_->months().set_selected_index(shown.month - 1);
  window_->years().set_text(four_digit_year(shown.year));
}

void frmCal::GoToMonth(int year, int month) {
  const std::optional<double> date = same_day_in(year, month, moCalendar->CalendarCustomDate());
  if (!date) return;
  moCalendar->set_FocusDate(*date);
  moCalendar->set_CalendarCustomDate(*date);
  moCalendar->RebuildImage();
}

void frmCal::cboMonths_Click() {
  if (updating_) return;
  const int index = window_->months().selected_index();
  GoToMonth(serial::to_parts(moCalendar->CalendarCustomDate()).year, index + 1);
}

void frmCal::cboYears_Click() {
  if (updating_) return;
  const std::optional<int> year = ParseYearText(window_->years().text());
  if (!year) return;
  GoToMonth(*year, serial::to_parts(moCalendar->CalendarCustomDate()).month);
}

void frmCal::cboYears_Validate() {
  {
    FlagScope updating(updating_);
    const std::optional<int> year = ParseYearText(window_->years().text());
    if (year && window_->years().text() != four_digit_year(*year)) window_->years().set_text(four_digit_year(*year));
  }
  updating_ = false;
  cboYears_Click();
}

void frmCal::cmdToday_Click() {
  FlagScope updating(updating_);
  const double today = Today();
  const DateParts now = serial::to_parts(today);
  window_->months().set_selected_index(now.month - 1);
  window_->years().set_text(four_digit_year(now.year));
  moCalendar->set_FocusDate(today);
  moCalendar->set_CalendarCustomDate(today);
  moCalendar->RebuildImage();
}

void frmCal::cmdSettings_Click() {
  if (!s_.show_options) return;
  s_.show_options(window_->window_handle());
  if (shown_) ApplySettings();
  ready_.reset();
}

void frmCal::on_click(FormControl control) {
  SkipFailures step;
  switch (control) {
    case FormControl::Months: step([&] { cboMonths_Click(); }); break;
    case FormControl::Years: step([&] { cboYears_Click(); }); break;
    case FormControl::Today: step([&] { cmdToday_Click(); }); break;
    case FormControl::Settings: step([&] { cmdSettings_Click(); }); break;
    case FormControl::Close: step([&] { RaiseClose(Variant::text("")); }); break;
    case FormControl::Calendar: break;
  }
}

void frmCal::on_year_validate() {
  SkipFailures step;
  step([&] { cboYears_Validate(); });
}

void frmCal::on_form_key(int key_code) {
  SkipFailures step;
  switch (key_code) {
    case vk::kEscape: step([&] { RaiseClose(Variant::text("")); }); break;
    // Whichever control has the focus, the page keys move the calendar's focus day.
    case vk::kPageUp:
    case vk::kPageDown:
      step([&] { moCalendar->PressKey(key_code, window_->picture().is_key_down(vk::kShift)); });
      break;
    default: break;
  }
}

}  // namespace tessaly::calendar
