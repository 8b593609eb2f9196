// Showing a number through a numeric section of a format: General, fixed places, thousands,
// percent, scientific and fractions, the way a cell shows it.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "date/format_code.h"

namespace tessaly::format_code {

// A non-negative number with leading zeros up to `width` digits.
std::string zero_pad(long long v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}
// The host's General display of a number in a cell: at most eleven characters, scientific
// beyond that, trailing zeros of the fraction dropped.
std::string render_general(double v) {
  if (v == 0) return "0";
  const bool neg = v < 0;
  const double a = std::fabs(v);
  char b[64];
  if (a >= 1e11 || a < 1e-9) {
    std::snprintf(b, sizeof b, "%.5E", a);
    std::string s = b;
    // 1.23457E+011 style exponents on some runtimes: keep two digits at least.
    const std::size_t e = s.find('E');
    std::string mant = s.substr(0, e), ex = s.substr(e + 1);
    while (mant.back() == '0') mant.pop_back();
    if (mant.back() == '.') mant.pop_back();
    const char sign = ex[0];
    std::string digits = ex.substr(1);
    while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
    return (neg ? "-" : "") + mant + "E" + sign + digits;
  }
  const int int_digits = a < 1 ? 1 : static_cast<int>(std::floor(std::log10(a))) + 1;
  int decimals = 11 - (neg ? 1 : 0) - int_digits - 1;
  if (decimals < 0) decimals = 0;
  std::snprintf(b, sizeof b, "%.*f", decimals, a);
  std::string s = b;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return (neg ? "-" : "") + s;
}
namespace {

// A finite number printed with a fixed count of decimals, however many digits that takes.
std::string fixed_text(double v, int decimals) {
  const int n = std::snprintf(nullptr, 0, "%.*f", decimals, v);
  if (n <= 0) return {};
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(s.data(), s.size(), "%.*f", decimals, v);
  s.pop_back();
  return s;
}

// Digits of a non-negative whole number held in a double.
std::string whole_digits(double v) { return fixed_text(std::floor(v), 0); }

// What the host shows for a number no cell can hold (scaled past the largest double): a row of
// '#' as wide as a standard column, never the runtime's "inf".
std::string too_wide() { return std::string(8, '#'); }

struct NumberShape {
  int int_zero = 0, int_places = 0;  // '0' and all placeholders before the point
  bool thousands = false;
  int scale_commas = 0;
  int percent = 0;
  int decimals = 0;
};

std::optional<std::string> render_fraction(const Section& sec, double a);
std::optional<std::string> render_scientific(const Section& sec, double a);
}  // namespace

std::optional<std::string> render_number(const Section& sec, double v, bool with_sign) {
  const std::vector<Token>& t = sec.tokens;
  if (sec.has(Kind::Exponent) || sec.has(Kind::Slash)) {
    std::optional<std::string> body =
        sec.has(Kind::Exponent) ? render_scientific(sec, std::fabs(v)) : render_fraction(sec, std::fabs(v));
    if (body && with_sign && v < 0) body->insert(body->begin(), '-');
    return body;
  }

  // Where the point falls, which commas group thousands and which scale.
  std::size_t dot = t.size();
  for (std::size_t i = 0; i < t.size(); ++i)
    if (t[i].kind == Kind::Dot) { dot = i; break; }
  NumberShape s;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i].kind == Kind::Percent) ++s.percent;
    if (t[i].kind == Kind::Digit) {
      if (i < dot) {
        ++s.int_places;
        if (t[i].text == "0") ++s.int_zero;
      } else {
        ++s.decimals;
      }
    }
    if (t[i].kind == Kind::Comma) {
      // A comma with no placeholder after it scales by a thousand; one between integer
      // placeholders groups thousands.
      bool digit_after = false;
      for (std::size_t j = i + 1; j < t.size(); ++j) digit_after = digit_after || t[j].kind == Kind::Digit;
      if (!digit_after) ++s.scale_commas;
      else if (i < dot && s.int_places > 0) s.thousands = true;
    }
  }
  double a = std::fabs(v);
  for (int k = 0; k < s.percent; ++k) a *= 100.0;
  for (int k = 0; k < s.scale_commas; ++k) a /= 1000.0;
  if (!std::isfinite(a)) return too_wide();
  // Rounding to the shown decimals; a value too large to scale has no digits beyond them anyway.
  const double scale = std::pow(10.0, s.decimals), scaled = a * scale;
  const double rounded = std::isfinite(scaled) && scale > 0 ? std::round(scaled) / scale : a;
  std::string int_text = whole_digits(rounded);
  if (int_text == "0" && s.int_zero == 0) int_text.clear();
  std::string frac_text;
  if (s.decimals > 0) {
    const std::string full = fixed_text(rounded, s.decimals);
    const std::size_t point = full.find('.');
    if (point == std::string::npos || full.size() - point - 1 != static_cast<std::size_t>(s.decimals))
      return too_wide();
    frac_text = full.substr(point + 1);
  }
  // Integer digits go right-aligned into the placeholders; the first one takes the surplus and
  // unfilled ones show '0', a space for '?', nothing for '#'.
  std::vector<std::string> slots;
  for (std::size_t i = 0; i < dot; ++i)
    if (t[i].kind == Kind::Digit) slots.emplace_back();
  const std::size_t places = slots.size(), len = int_text.size();
  {
    std::size_t j = 0;
    for (std::size_t i = 0; i < dot; ++i) {
      if (t[i].kind != Kind::Digit) continue;
      if (len >= places) {
        slots[j] = j == 0 ? int_text.substr(0, len - places + 1) : std::string(1, int_text[len - places + j]);
      } else if (j >= places - len) {
        slots[j] = std::string(1, int_text[j - (places - len)]);
      } else {
        slots[j] = std::string(t[i].text == "0" ? "0" : t[i].text == "?" ? " " : "");
      }
      ++j;
    }
  }
  std::size_t digits_left = 0;
  for (const std::string& sl : slots)
    for (char ch : sl) digits_left += ch != ' ';

  std::string out;
  if (with_sign && v < 0 && rounded != 0) out += '-';
  std::size_t slot = 0;
  int decimal_index = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const Token& k = t[i];
    switch (k.kind) {
      case Kind::Literal: case Kind::DateSep: case Kind::TimeSep: out += k.text; break;
      case Kind::Digit:
        if (i < dot) {
          for (char ch : slots[slot]) {
            out += ch;
            if (ch == ' ') continue;
            --digits_left;
            if (s.thousands && digits_left > 0 && digits_left % 3 == 0) out += ',';
          }
          ++slot;
        } else {
          const char d = frac_text[static_cast<std::size_t>(decimal_index++)];
          // Trailing zeros: '#' drops them, '?' shows a space.
          bool trailing = true;
          for (std::size_t r = static_cast<std::size_t>(decimal_index) - 1; r < frac_text.size(); ++r)
            if (frac_text[r] != '0') trailing = false;
          if (d == '0' && trailing && k.text == "#") break;
          out += (d == '0' && trailing && k.text == "?") ? ' ' : d;
        }
        break;
      case Kind::Dot:
        if (places == 0 && i == dot) out += int_text;  // a later point is a literal one
        out += '.';
        break;
      case Kind::Percent: out += '%'; break;
      default: break;
    }
  }
  return out;
}
namespace {

std::optional<std::string> render_scientific(const Section& sec, double a) {
  const std::vector<Token>& t = sec.tokens;
  int int_places = 0, decimals = 0, exp_digits = 0;
  std::string sign;
  int phase = 0;  // 0 mantissa integer, 1 decimals, 2 exponent
  for (const Token& k : t) {
    if (k.kind == Kind::Dot && phase == 0) phase = 1;
    else if (k.kind == Kind::Exponent) { phase = 2; sign = k.text; }
    else if (k.kind == Kind::Digit) (phase == 0 ? int_places : phase == 1 ? decimals : exp_digits)++;
  }
  if (int_places == 0) int_places = 1;
  int exponent = a == 0 ? 0 : static_cast<int>(std::floor(std::log10(a))) - (int_places - 1);
  double mant = a / std::pow(10.0, exponent);
  // The host shows 15 significant digits at most; places past them are zeros. Rounding there also
  // keeps a runtime's last-bit error in pow() (0.99999999999999944 for 1) out of the text.
  const int kept = std::clamp(15 - int_places, 0, decimals);
  const double scale = std::pow(10.0, kept);
  if (std::isfinite(mant * scale)) mant = std::round(mant * scale) / scale;
  if (mant >= std::pow(10.0, int_places)) {
    mant /= 10.0;
    ++exponent;
  }
  // The power of ten of the tiniest numbers underflows to zero: no mantissa to show.
  if (!std::isfinite(mant)) return too_wide();
  std::string b = fixed_text(mant, kept);
  if (decimals > kept) b += std::string(kept == 0 ? "." : "") + std::string(static_cast<std::size_t>(decimals - kept), '0');
  std::string out;
  bool exp_done = false;
  for (const Token& k : t) {
    if (k.kind == Kind::Literal) out += k.text;
    else if (k.kind == Kind::Exponent && !exp_done) {
      exp_done = true;
      out += b;
      out += 'E';
      out += exponent < 0 ? "-" : (sign == "+" ? "+" : "");
      out += zero_pad(std::abs(exponent), exp_digits);
    }
  }
  return out;
}

std::optional<std::string> render_fraction(const Section& sec, double a) {
  const std::vector<Token>& t = sec.tokens;
  std::size_t slash = 0;
  while (t[slash].kind != Kind::Slash) ++slash;
  // Numerator: the placeholders right before the slash; whole part: placeholders before those.
  std::size_t num_begin = slash;
  while (num_begin > 0 && t[num_begin - 1].kind == Kind::Digit) --num_begin;
  const int num_places = static_cast<int>(slash - num_begin);
  bool has_whole = false;
  for (std::size_t i = 0; i < num_begin; ++i)
    if (t[i].kind == Kind::Digit) has_whole = true;
  int den_places = 0;
  long long fixed_den = 0;
  std::size_t after = slash + 1;
  for (; after < t.size(); ++after) {
    if (t[after].kind == Kind::Digit) ++den_places;
    else if (t[after].kind == Kind::Literal && den_places == 0 && !t[after].text.empty() &&
             t[after].text[0] >= '1' && t[after].text[0] <= '9') {
      fixed_den = std::strtoll(t[after].text.c_str(), nullptr, 10);  // saturates, never overflows
      ++after;
      break;
    } else break;
  }
  // A fixed denominator beyond a double's precision cannot be honoured: refused like a bad code.
  constexpr long long kMaxDenominator = 999'999'999'999'999;
  if (num_places == 0 || (den_places == 0 && fixed_den == 0) || fixed_den > kMaxDenominator) return std::nullopt;
  const double whole = has_whole ? std::floor(a) : 0.0;
  const double frac = a - whole;
  long long best_n = 0, best_d = 1;
  if (fixed_den > 0) {
    best_d = fixed_den;
    best_n = std::llround(frac * static_cast<double>(fixed_den));
  } else {
    long long max_d = 1;
    for (int k = 0; k < den_places && k < 4; ++k) max_d *= 10;
    max_d -= 1;
    double best_err = 2.0;
    for (long long d = 1; d <= max_d; ++d) {
      const long long n = std::llround(frac * static_cast<double>(d));
      const double err = std::fabs(frac - static_cast<double>(n) / static_cast<double>(d));
      if (err < best_err - 1e-12) {
        best_err = err;
        best_n = n;
        best_d = d;
      }
    }
  }
  double shown_whole = whole;
  if (has_whole && best_n == best_d) {
    shown_whole += 1;
    best_n = 0;
  }
  std::string out;
  for (std::size_t i = 0; i < num_begin; ++i) {
    if (t[i].kind == Kind::Literal) out += t[i].text;
    else if (t[i].kind == Kind::Digit) {
      bool last = true;
      for (std::size_t j = i + 1; j < num_begin; ++j)
        if (t[j].kind == Kind::Digit) last = false;
      if (last) out += (shown_whole == 0 && t[i].text != "0") ? (t[i].text == "?" ? " " : "") : whole_digits(shown_whole);
    }
  }
  auto padded = [](long long v, int places, bool left) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < places) s = left ? " " + s : s + " ";
    return s;
  };
  if (has_whole && best_n == 0) {
    out += std::string(static_cast<std::size_t>(num_places + 1 + (fixed_den ? static_cast<int>(std::to_string(fixed_den).size()) : den_places)), ' ');
  } else {
    out += padded(best_n, num_places, true);
    out += '/';
    out += fixed_den ? std::to_string(fixed_den) : padded(best_d, den_places, false);
  }
  for (std::size_t i = after; i < t.size(); ++i)
    if (t[i].kind == Kind::Literal) out += t[i].text;
  return out;
}
}  // namespace

}  // namespace tessaly::format_code
