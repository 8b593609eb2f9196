// The calendar pop-up's tab order and access keys.
#include "calendar/form_keys.h"

#include <array>
#include <cctype>

namespace tessaly::calendar {

namespace {

constexpr std::array kTabOrder = {FormControl::Calendar, FormControl::Months, FormControl::Years,
                                  FormControl::Today,    FormControl::Settings, FormControl::Close};

constexpr std::array<std::pair<FormControl, std::string_view>, 3> kCaptions = {{
    {FormControl::Today, "&Go to Today"},
    {FormControl::Settings, "&Settings"},
    {FormControl::Close, "&Cancel"},
}};

}  // namespace

FormControl NextTabStop(FormControl from, bool backwards) {
  std::size_t at = 0;
  while (at < kTabOrder.size() && kTabOrder[at] != from) ++at;
  if (at == kTabOrder.size()) return kTabOrder.front();
  const std::size_t n = kTabOrder.size();
  return kTabOrder[(at + (backwards ? n - 1 : 1)) % n];
}

std::string_view FormCaption(FormControl control) {
  for (const auto& [c, caption] : kCaptions)
    if (c == control) return caption;
  return {};
}

std::string_view AccessibleName(FormControl control) {
  switch (control) {
    case FormControl::Months: return "Month";
    case FormControl::Years: return "Year";
    default: return {};
  }
}

std::optional<FormControl> AccessKeyControl(char letter) {
  const int wanted = std::tolower(static_cast<unsigned char>(letter));
  for (const auto& [c, caption] : kCaptions) {
    const std::size_t amp = caption.find('&');
    if (amp + 1 < caption.size() && std::tolower(static_cast<unsigned char>(caption[amp + 1])) == wanted) return c;
  }
  return std::nullopt;
}

}  // namespace tessaly::calendar
