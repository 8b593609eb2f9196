// mUtilSystemDateFormat: the user's date patterns from the locale.
#include "date/system_date_format.h"

#include <optional>

#include "host/error_policy.h"

namespace tessaly::mUtilSystemDateFormat {
namespace {

const ILocale* g_locale = nullptr;
std::optional<LocaleData> g_data;

}  // namespace

std::string GetSystemDateFormat(bool short_form, const ILocale& locale) {
  auto data = Attempt([&] { return locale.user_default(); });
  const LocaleData& us = LocaleData::us_english();
  if (!data) return short_form ? us.short_date_pattern : us.long_date_pattern;
  std::string pattern = short_form ? data->short_date_pattern : data->long_date_pattern;
  // The platform fills a fixed buffer; only the text before the first null counts.
  if (auto nul = pattern.find('\0'); nul != std::string::npos) pattern.resize(nul);
  if (pattern.empty()) return short_form ? us.short_date_pattern : us.long_date_pattern;
  return pattern;
}

std::string GetSystemDateFormat(bool short_form) {
  if (!g_locale) {
    const LocaleData& us = LocaleData::us_english();
    return short_form ? us.short_date_pattern : us.long_date_pattern;
  }
  return GetSystemDateFormat(short_form, *g_locale);
}

void SetSystemLocale(const ILocale* locale) {
  g_locale = locale;
  g_data.reset();
}

const LocaleData& SystemLocaleData() {
  if (!g_locale) return LocaleData::us_english();
  if (!g_data) {
    auto data = Attempt([] { return g_locale->user_default(); });
    g_data = data ? *data : LocaleData::us_english();
  }
  return *g_data;
}

}  // namespace tessaly::mUtilSystemDateFormat
