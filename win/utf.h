// UTF-8 (the product's text) to and from UTF-16 (the Win32 API's text).
#pragma once

#include <string>
#include <string_view>

namespace tessaly::win {

// Invalid sequences become U+FFFD rather than failing.
std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view utf16);

}  // namespace tessaly::win
