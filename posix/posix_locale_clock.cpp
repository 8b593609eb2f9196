// The POSIX clock and locale as the settings' start-up reads them.
#include "posix/posix_locale_clock.h"

#include <langinfo.h>

#include <ctime>

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
      case '%': out += '%'; break;
      default: out += c;
    }
  }
  return out;
}

LocaleData LangInfoLocale::user_default() const {
  LocaleData d = LocaleData::us_english();
  const char* fmt = nl_langinfo(D_FMT);
  if (fmt && *fmt) d.short_date_pattern = PictureFromStrftime(fmt);
  return d;
}

}  // namespace tessaly::posix
