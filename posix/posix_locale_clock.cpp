// The POSIX clock and locale as the settings' start-up reads them.
#include "posix/posix_locale_clock.h"

#include <langinfo.h>

#include <ctime>
#include <utility>

namespace tessaly::posix {

double LocalClock::now() const {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  // Seconds of the local wall clock since 1970, then days since 30 December 1899.
  double seconds = static_cast<double>(t) + static_cast<double>(local.tm_gmtoff);
  return seconds / 86400.0 + 25569.0;
}

std::string PictureFromStrftime(const std::string& f) {
  std::string out;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      out += f[i];
      continue;
    }
    char c = f[++i];
    if ((c == 'E' || c == 'O') && i + 1 < f.size()) c = f[++i];  // alternative-era modifiers
    switch (c) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'Y': out += "yyyy"; break;
      case 'y': out += "yy"; break;
      case 'b': case 'h': out += "MMM"; break;
      case 'B': out += "MMMM"; break;
      case 'a': out += "ddd"; break;
      case 'A': out += "dddd"; break;
      case 'D': out += "MM/dd/yy"; break;
      case 'F': out += "yyyy-MM-dd"; break;
      case 'H': out += "HH"; break;
      case 'I': out += "hh"; break;
      case 'M': out += "mm"; break;
      case 'S': out += "ss"; break;
      case 'p': out += "tt"; break;
      case 'T': out += "HH:mm:ss"; break;
      case 'R': out += "HH:mm"; break;
      case '%': out += '%'; break;
      default: out += c;
    }
  }
  return out;
}

namespace {

// One langinfo text, or the fallback where the locale gives none.
void take(std::string& field, nl_item item) {
  const char* v = nl_langinfo(item);
  if (v && *v) field = v;
}

}  // namespace

LocaleData LangInfoLocale::user_default() const {
  LocaleData d = LocaleData::us_english();
  static constexpr nl_item kMonths[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6,
                                          MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
  static constexpr nl_item kAbMonths[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                            ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  static constexpr nl_item kDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};  // Sunday first
  static constexpr nl_item kAbDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
  for (std::size_t i = 0; i < 12; ++i) {
    take(d.month_names[i], kMonths[i]);
    take(d.month_abbreviations[i], kAbMonths[i]);
  }
  for (std::size_t i = 0; i < 7; ++i) {
    take(d.day_names[i], kDays[i]);
    take(d.day_abbreviations[i], kAbDays[i]);
  }
  const char* fmt = nl_langinfo(D_FMT);
  if (fmt && *fmt) d.short_date_pattern = PictureFromStrftime(fmt);
  const char* time = nl_langinfo(T_FMT);
  if (time && *time) d.time_pattern = PictureFromStrftime(time);
  take(d.am, AM_STR);
  take(d.pm, PM_STR);
  // The separators are whatever stands between the first two fields of the patterns.
  for (auto [pattern, sep] : {std::pair{&d.short_date_pattern, &d.date_separator},
                              std::pair{&d.time_pattern, &d.time_separator}}) {
    const std::size_t a = pattern->find_first_not_of("dMyHhms");
    if (a != std::string::npos && a > 0) {
      const std::size_t b = pattern->find_first_of("dMyHhms", a);
      *sep = pattern->substr(a, b == std::string::npos ? std::string::npos : b - a);
    }
  }
  return d;
}

}  // namespace tessaly::posix
