// Text helpers shared by every subsystem.
#include "host/text.h"

#include <algorithm>

namespace tessaly {

static char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string trim(std::string_view s) {
  auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string to_lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), lower);
  return out;
}

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool icontains(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                        [](char x, char y) { return lower(x) == lower(y); });
  return it != haystack.end();
}

std::vector<std::string> split(std::string_view s, std::string_view delimiter) {
  std::vector<std::string> out;
  if (delimiter.empty()) {
    out.emplace_back(s);
    return out;
  }
  std::size_t start = 0;
  for (;;) {
    auto pos = s.find(delimiter, start);
    if (pos == std::string_view::npos) {
      out.emplace_back(s.substr(start));
      return out;
    }
    out.emplace_back(s.substr(start, pos - start));
    start = pos + delimiter.size();
  }
}

}  // namespace tessaly
