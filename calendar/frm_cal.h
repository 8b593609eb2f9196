// The calendar pop-up form: one calendar control with a month list, a year box and three buttons,
// shown beside the tag and closed with the picked day or with nothing.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "calendar/accessible_days.h"
#include "calendar/dual_months.h"
#include "core/calendar_form.h"
#include "host/calendar_form_window.h"
#include "host/screen_metrics.h"
#include "settings/m_vantry.h"

namespace tessaly::calendar {

struct CalendarFormServices {
  mVantry& m;
  IGraphics& graphics;
  const IClock& clock;
  LocaleData locale = LocaleData::us_english();
  // Opens the options dialog modally, owned by the given window; empty while there is none.
  std::function<void(std::uintptr_t owner)> show_options;
  // The resolution of the window the form is shown in, read at each showing; none: the form keeps
  // the layout it was made with.
  const IScreenMetrics* screen = nullptr;
};

class frmCal final : public ICalendarForm, private ICalendarFormListener {
 public:
  frmCal(CalendarFormServices services, std::unique_ptr<ICalendarFormWindow> window);
  ~frmCal() override;
  frmCal(const frmCal&) = delete;
  frmCal& operator=(const frmCal&) = delete;

  void InitThisObject(const Variant& start_date) override;
  void SetEventSink(ICalendarFormEvents* sink) override { sink_ = sink; }
  void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) override;
  void Prepare(const Variant& start_date, WindowHandle parent) override;
  void ReturnHome() override;
  void SetHolidays(std::vector<double> days) override { holidays_ = std::move(days); }
  void SetLimits(std::optional<DateLimits> limits) override { limits_ = limits; }
  void HideCalendar() override;
  void TakeFocus() override;
  void Unload() override;
  bool Shown() const override { return shown_; }
  bool WindowLost() const override { return window_->destroyed(); }
  std::optional<Size> SizeIn(WindowHandle parent) const override;

  // True when every step took.
  bool ApplySettings();

  double StartDate() const { return start_date_; }
  clsDualMonths& Calendar() { return *moCalendar; }
  ICalendarFormWindow& Window() { return *window_; }

 private:
  void on_click(FormControl control) override;
  void on_year_validate() override;
  void on_form_key(int key_code) override;
  void on_colors_changed() override;
  void on_resolution_changed(double dpi) override;

  // The logical pixels per inch of the display that shows the window; empty when unknown.
  std::optional<double> ResolutionOf(WindowHandle parent) const;
  void TakeResolution(double dpi);

  // What an opening shows beyond the form itself; an opening for the same shows the form as it
  // stands.
  struct Readiness {
    double start = 0;
    std::optional<double> dpi;
    std::uint64_t settings = 0;
    double today = 0;
    std::vector<double> holidays;
    std::optional<DateLimits> limits;
    friend bool operator==(const Readiness&, const Readiness&) = default;
  };
  // Brings the hidden form up to date for an opening on the start date in the window: all of it
  // for a new display, settings, holidays, limits or day, or after a showing; the start day alone
  // when only that changed; nothing when nothing did.
  void GetReady(WindowHandle parent);
  bool ShowStartDay();
  void ApplyCalendarOptions();
  void ApplyContrast();
  Rgb BorderColour() const;
  void FillMonths();
  void FillYears();
  void ApplyTooltips();
  void ShowDisplayedMonth();
  void GoToMonth(int year, int month);
  void RaiseClose(const Variant& value);
  void moCalendar_DateClicked();
  void cboMonths_Click();
  void cboYears_Click();
  void cboYears_Validate();
  void cmdToday_Click();
  void cmdSettings_Click();
  double Today() const;

  CalendarFormServices s_;
  std::unique_ptr<ICalendarFormWindow> window_;
  std::unique_ptr<clsDualMonths> moCalendar;
  std::unique_ptr<DayGridAccessible> accessible_;  // what screen readers are told of the day grid
  ICalendarFormEvents* sink_ = nullptr;
  double start_date_ = 0;
  bool shown_ = false;
  bool updating_ = false;
  Rgb border_color_ = 0x000080FF;  // orange
  Rect border_bounds_{};
  bool months_filled_ = false;
  std::pair<std::int32_t, std::int32_t> years_filled_{1, 0};  // the year list's range; none yet
  std::optional<FormTooltips> tooltips_;                     // what the live tooltips show
  std::vector<double> holidays_;                             // the workbook's, for this opening
  std::optional<DateLimits> limits_;                         // the cell's rule, for this opening
  std::optional<Readiness> ready_;                           // what the hidden form shows now
};

// What the calendar's tooltip adds about the days the cell takes ("The cell takes dates from
// 9/2/2024 to 9/27/2024."), dates in the locale's short form.
std::string LimitsText(const DateLimits& limits, const LocaleData& locale);

// Turns the year box's text into the year it names: a two-digit year through the host's window
// (00-29: 2000s, 30-99: 1900s); empty when the text is not a whole year the host can date.
std::optional<int> ParseYearText(const std::string& text);

}  // namespace tessaly::calendar
