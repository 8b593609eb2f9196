// mUtilSystemDateFormat: the user's date patterns from the operating system's locale settings.
#pragma once

#include <string>

#include "host/locale.h"

namespace tessaly::mUtilSystemDateFormat {

// The user-default locale's short (true) or long (false) date pattern, as the platform gives it
// (for example "M/d/yyyy"). A locale that says nothing gives the US-English pattern.
std::string GetSystemDateFormat(bool short_form, const ILocale& locale);

// The same through the locale installed with SetSystemLocale (the built-in US-English locale
// until the platform installs its own).
std::string GetSystemDateFormat(bool short_form);

// Installs the locale that GetSystemDateFormat(bool) and SystemLocaleData() read; nullptr
// returns to the built-in US-English locale. The object must outlive its use.
void SetSystemLocale(const ILocale* locale);

// The installed locale's data, read once and kept; a failure to read gives US English.
const LocaleData& SystemLocaleData();

}  // namespace tessaly::mUtilSystemDateFormat
