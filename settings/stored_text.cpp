// Conversions between option values and their text in the stores.
#include "settings/stored_text.h"

#include <cmath>
#include <limits>

#include "host/text.h"
#include "settings/reg_man.h"

namespace tessaly {

namespace {

// "&H1F" / "&O17": the digits as an unsigned bit pattern of at most `bits` bits.
std::optional<std::uint32_t> parse_radix(std::string_view digits, int bits) {
  bool hex = digits[1] == 'H' || digits[1] == 'h';
  bool oct = digits[1] == 'O' || digits[1] == 'o';
  if (!hex && !oct) return std::nullopt;
  digits.remove_prefix(2);
  if (digits.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    if (oct && d > 7) return std::nullopt;
    v = v * (hex ? 16 : 8) + static_cast<std::uint64_t>(d);
    if (v > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  if (bits == 16 && v > 0xFFFF) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

// Sign, digits and an optional fraction, rounded half to even; empty for anything else.
std::optional<double> parse_decimal(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  double whole = 0;
  std::size_t digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
    whole = whole * 10 + (s[i] - '0');
    if (whole > 1e12) return std::nullopt;  // far beyond 32 bits; stop before precision suffers
  }
  double fraction = 0;
  if (i < s.size() && s[i] == '.') {
    double scale = 0.1;
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits, scale /= 10) fraction += (s[i] - '0') * scale;
  }
  if (digits == 0 || i != s.size()) return std::nullopt;
  double v = whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) v += 1;
  return negative ? -v : v;
}

template <class Int>
std::optional<Int> parse_integer(std::string_view text, int bits) {
  std::string s = trim(text);
  if (s.size() >= 2 && s[0] == '&') {
    auto pattern = parse_radix(s, bits);
    if (!pattern) return std::nullopt;
    if (bits == 16) return static_cast<Int>(static_cast<std::int16_t>(static_cast<std::uint16_t>(*pattern)));
    return static_cast<Int>(static_cast<std::int32_t>(*pattern));
  }
  auto v = parse_decimal(s);
  if (!v || *v < std::numeric_limits<Int>::min() || *v > std::numeric_limits<Int>::max()) return std::nullopt;
  return static_cast<Int>(*v);
}

}  // namespace

std::optional<std::int16_t> ParseInteger16(std::string_view text) { return parse_integer<std::int16_t>(text, 16); }
std::optional<std::int32_t> ParseInteger32(std::string_view text) { return parse_integer<std::int32_t>(text, 32); }

std::string StoreText(const Variant& value) {
  if (value.is_bool()) return value.as_bool() ? "1" : "0";
  return value.to_text();
}

std::optional<Variant> FromStoreText(short type, const std::string& text) {
  switch (type) {
    case kTypeBoolean:
      return Variant::boolean(text == "1");
    case kTypeInteger:
      if (auto v = ParseInteger16(text)) return Variant::i2(*v);
      return std::nullopt;
    case kTypeLong:
      if (auto v = ParseInteger32(text)) return Variant::i4(*v);
      return std::nullopt;
    default:
      return Variant::text(text);
  }
}

bool SameAsText(const Variant& a, const Variant& b) { return iequals(a.to_text(), b.to_text()); }

}  // namespace tessaly
