// The built-in US-English locale.
#include "host/locale.h"

namespace tessaly {

const LocaleData& LocaleData::us_english() {
  static const LocaleData us = [] {
    LocaleData d;
    d.month_names = {"January", "February", "March",     "April",   "May",      "June",
                     "July",    "August",   "September", "October", "November", "December"};
    d.month_abbreviations = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    d.day_names = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    d.day_abbreviations = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    d.short_date_pattern = "M/d/yyyy";
    d.long_date_pattern = "dddd, MMMM d, yyyy";
    d.time_pattern = "h:mm:ss tt";
    return d;
  }();
  return us;
}

}  // namespace tessaly
