// The POSIX clock and locale as the settings' start-up reads them.
#pragma once

#include <string>

#include "host/clock.h"
#include "host/locale.h"

namespace tessaly::posix {

// Local date and time now as a serial date (days from 30 December 1899).
class LocalClock : public IClock {
 public:
  double now() const override;
};

// The user's LC_TIME locale (the program calls setlocale first): the short date pattern comes
// from nl_langinfo(D_FMT), turned into a picture such as "MM/dd/yy"; names stay US English.
class LangInfoLocale : public ILocale {
 public:
  LocaleData user_default() const override;
};

// strftime conversions to picture letters: %d -> dd, %m -> MM, %Y -> yyyy, %y -> yy, %e -> d,
// %b -> MMM, %B -> MMMM, %a -> ddd, %A -> dddd, %D and %F expanded; other text kept.
std::string PictureFromStrftime(const std::string& format);

}  // namespace tessaly::posix
