// Text helpers shared by every subsystem: the host's Trim, case-blind comparison, splitting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Removes leading and trailing spaces (only the space character, as the host's Trim does).
std::string trim(std::string_view s);

// Lower case for ASCII letters; other bytes (UTF-8 sequences) are kept as they are.
std::string to_lower(std::string_view s);

// Equality and containment that ignore the letter case of ASCII letters.
bool iequals(std::string_view a, std::string_view b);
bool icontains(std::string_view haystack, std::string_view needle);

// Splits at every occurrence of a non-empty delimiter; an empty text gives one empty piece.
std::vector<std::string> split(std::string_view s, std::string_view delimiter);

}  // namespace tessaly
