// Conversions between option values and their text in the stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/variant.h"

namespace tessaly {

// An integer text as the host's CInt/CLng read it: spaces around it are ignored; an optional
// sign, decimal digits and an optional fraction rounded half to even ("2.5" -> 2, "-1.5" -> -2);
// or "&H" / "&O" followed by up to 4 (16-bit) or 8 (32-bit) hex / octal digits taken as the bit
// pattern ("&H80FF" -> -32513 as 16-bit). Empty when the text is no number or does not fit.
std::optional<std::int16_t> ParseInteger16(std::string_view text);
std::optional<std::int32_t> ParseInteger32(std::string_view text);

// The stored text of a value: "1"/"0" for a boolean, decimal text for integers, text as it is.
std::string StoreText(const Variant& value);

// A stored text read as an option of the given type (already trimmed by the caller): a boolean
// is true exactly for "1"; an integer that does not convert gives an empty result; other types
// take the text itself.
std::optional<Variant> FromStoreText(short type, const std::string& text);

// Values compared as the settings compare them: as text, letter case ignored.
bool SameAsText(const Variant& a, const Variant& b);

}  // namespace tessaly
