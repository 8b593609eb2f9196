// The calendar pop-up as the controller drives it: shown at a screen point with a start date,
// hidden, and its close event with the picked date or an empty text.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "date/date_limits.h"
#include "host/excel.h"
#include "host/surface.h"
#include "host/variant.h"

namespace tessaly {

class ICalendarFormEvents {
 public:
  virtual ~ICalendarFormEvents() = default;
  // The picked date, or an empty text when the user cancelled.
  virtual void CalendarClose(const Variant& value) = 0;
};

// Members may throw HostError when the platform fails.
class ICalendarForm {
 public:
  virtual ~ICalendarForm() = default;
  virtual void InitThisObject(const Variant& start_date) = 0;
  virtual void SetEventSink(ICalendarFormEvents* sink) = 0;
  // Shows the form with its top-left corner at the screen point, as a child of the window; a
  // start value that is not a date opens it on today. Ignored while shown.
  virtual void ShowCalendar(std::int32_t x, std::int32_t y, const Variant& start_date, WindowHandle parent) = 0;
  // Readies the hidden form for an opening on that start value in that window, before it is asked
  // for: laid out for the window's display, the settings applied, the month drawn, and the form
  // made a hidden child of the window. A showing for the same start, settings, holidays, limits,
  // display and day then only places and shows it; one for anything else does again what changed.
  // Ignored while shown.
  virtual void Prepare(const Variant& /*start_date*/, WindowHandle /*parent*/) {}
  // Hidden and given back to the host's main window, out of a window about to go (its workbook
  // closing), which would destroy it with itself.
  virtual void ReturnHome() { HideCalendar(); }
  // The days the next showing marks as holidays (when it marks holidays at all).
  virtual void SetHolidays(std::vector<double> /*days*/) {}
  // The days the next showing lets the user pick, from the cell's own rule; none: every day.
  virtual void SetLimits(std::optional<DateLimits> /*limits*/) {}
  // Hidden, staying a child of the window it was shown in, where the next opening most likely is;
  // the keyboard focus, when it was in the form, goes back to that window.
  virtual void HideCalendar() = 0;
  // The day grid takes the keyboard focus (a command opened the calendar, not the mouse).
  virtual void TakeFocus() {}
  virtual void Unload() = 0;
  // True once the platform destroyed the form's window with its parent; the controller then makes
  // a new form.
  virtual bool WindowLost() const = 0;
  virtual bool Shown() const = 0;
  // The size in pixels the form takes when shown in the window; empty when it cannot tell.
  virtual std::optional<Size> SizeIn(WindowHandle) const { return std::nullopt; }
};

}  // namespace tessaly
