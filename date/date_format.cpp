// Showing a date value through one of the host's number-format texts. The format is read into
// sections of tokens; the section chosen for the value is then rendered as a date, a number,
// General or literal text, the way a cell shows it.

#include "date/date_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "date/serial_date.h"

namespace tessaly {
namespace {

// The host keeps number formats of at most 255 characters.
constexpr std::size_t kMaxFormatChars = 255;

enum class Kind {
  Literal,   // text shown as it stands
  DateSep,   // "/" in a date section: the locale's date separator
  TimeSep,   // ":" in a date section: the locale's time separator
  Year,      // n = 2 or 4
  Month,     // n = 1..5 (m, mm, mmm, mmmm, mmmmm); n <= 2 may turn out to be minutes
  Minute,    // n = 1 or 2
  Day,       // n = 1..4
  Hour,      // n = 1 or 2
  Second,    // n = 1 or 2
  Fraction,  // n = 1..3 digits of a second
  AmPm,      // text = "AM/PM" or "A/P" as written, letter case kept
  Elapsed,   // text = "h", "m" or "s", n = digits
  General,
  Digit,     // text = "0", "#" or "?"
  Dot,
  Comma,
  Percent,
  Exponent,  // text = "+" or "-"
  Slash,     // "/" in a number section (fractions)
  At,        // the text placeholder
};

struct Token {
  Kind kind;
  std::string text;
  int n = 0;
};

enum class Override { None, LongDate, Time };

struct Section {
  std::vector<Token> tokens;
  bool has_condition = false;
  std::string op;
  double operand = 0;
  bool english_names = false;
  Override override_pattern = Override::None;
  bool is_text() const {
    for (const Token& t : tokens)
      if (t.kind == Kind::At) return true;
    return false;
  }
  bool is_date() const {
    for (const Token& t : tokens) {
      switch (t.kind) {
        case Kind::Year: case Kind::Month: case Kind::Minute: case Kind::Day: case Kind::Hour:
        case Kind::Second: case Kind::AmPm: case Kind::Elapsed:
          return true;
        default:
          break;
      }
    }
    return override_pattern != Override::None;
  }
  bool has(Kind k) const {
    for (const Token& t : tokens)
      if (t.kind == k) return true;
    return false;
  }
};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_nocase(std::string_view s, std::size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (lower(s[at + i]) != lower(word[i])) return false;
  return true;
}

bool equals_nocase(std::string_view a, std::string_view b) { return a.size() == b.size() && starts_with_nocase(a, 0, b); }

// Length of the UTF-8 sequence starting with byte c (1 for a stray byte).
std::size_t utf8_length(unsigned char c) {
  if (c >= 0xF0 && c < 0xF8) return 4;
  if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

std::size_t count_chars(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); i += utf8_length(static_cast<unsigned char>(s[i]))) ++n;
  return n;
}

void add_literal(Section& sec, std::string_view text) {
  if (!sec.tokens.empty() && sec.tokens.back().kind == Kind::Literal)
    sec.tokens.back().text += text;
  else
    sec.tokens.push_back({Kind::Literal, std::string(text)});
}

// A bracketed prefix of a section: colour, condition, locale/currency tag, elapsed time or a
// numeral system. False when the host would not accept it.
bool read_bracket(std::string_view body, Section& sec) {
  static constexpr std::string_view kColours[] = {"black", "blue", "cyan", "green", "magenta", "red", "white", "yellow"};
  for (std::string_view c : kColours)
    if (equals_nocase(body, c)) return true;
  if (starts_with_nocase(body, 0, "color") && body.size() > 5 && body.size() <= 7) {
    int n = 0;
    for (std::size_t i = 5; i < body.size(); ++i) {
      if (body[i] < '0' || body[i] > '9') return false;
      n = n * 10 + (body[i] - '0');
    }
    return n >= 1 && n <= 56;
  }
  if (starts_with_nocase(body, 0, "dbnum") || starts_with_nocase(body, 0, "natnum")) return true;
  if (!body.empty() && (body[0] == '<' || body[0] == '>' || body[0] == '=')) {
    std::size_t k = 1;
    if (k < body.size() && (body[k] == '=' || (body[0] == '<' && body[k] == '>'))) ++k;
    std::string number(body.substr(k));
    if (number.empty() || sec.has_condition) return false;
    char* end = nullptr;
    const double v = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !std::isfinite(v)) return false;
    sec.has_condition = true;
    sec.op = std::string(body.substr(0, k));
    sec.operand = v;
    return true;
  }
  if (!body.empty() && body[0] == '$') {
    // [$text-lcid]: a currency or locale text shown as written, then the locale it names.
    std::size_t dash = body.rfind('-');
    for (std::string_view named : {std::string_view("-x-sysdate"), std::string_view("-x-systime")})
      if (body.size() >= named.size() && equals_nocase(body.substr(body.size() - named.size()), named))
        dash = body.size() - named.size();
    const std::string_view text = body.substr(1, dash == std::string_view::npos ? std::string_view::npos : dash - 1);
    if (!text.empty()) add_literal(sec, text);
    if (dash == std::string_view::npos) return true;
    std::string_view tag = body.substr(dash + 1);
    if (equals_nocase(tag, "x-sysdate")) {
      sec.override_pattern = Override::LongDate;
      return true;
    }
    if (equals_nocase(tag, "x-systime")) {
      sec.override_pattern = Override::Time;
      return true;
    }
    if (tag.empty() || tag.size() > 8) return false;
    std::uint32_t lcid = 0;
    for (char c : tag) {
      const char l = lower(c);
      int v;
      if (l >= '0' && l <= '9') v = l - '0';
      else if (l >= 'a' && l <= 'f') v = l - 'a' + 10;
      else return false;
      lcid = lcid * 16 + static_cast<std::uint32_t>(v);
    }
    const std::uint32_t language = lcid & 0xFFFF;
    if (language == 0xF800) sec.override_pattern = Override::LongDate;
    else if (language == 0xF400) sec.override_pattern = Override::Time;
    else if ((language & 0x3FF) == 0x09) sec.english_names = true;
    return true;
  }
  if (!body.empty()) {
    const char c = lower(body[0]);
    if (c == 'h' || c == 'm' || c == 's') {
      for (char b : body)
        if (lower(b) != c) return false;
      sec.tokens.push_back({Kind::Elapsed, std::string(1, c), static_cast<int>(body.size())});
      return true;
    }
  }
  return false;
}

int run_length(std::string_view s, std::size_t at, char letter) {
  int n = 0;
  while (at + n < s.size() && lower(s[at + n]) == letter) ++n;
  return n;
}

// Whether the last code before here shows seconds, so that ".0" after it is a fraction of one.
bool after_seconds(const Section& sec) {
  for (auto it = sec.tokens.rbegin(); it != sec.tokens.rend(); ++it)
    if (it->kind != Kind::Literal && it->kind != Kind::DateSep && it->kind != Kind::TimeSep)
      return it->kind == Kind::Second || (it->kind == Kind::Elapsed && it->text == "s");
  return false;
}

// Reads one section (up to an unquoted ";"); advances i past it. False on a malformed text.
bool read_section(std::string_view f, std::size_t& i, Section& sec) {
  while (i < f.size()) {
    const char c = f[i];
    if (c == ';') return true;
    const char l = lower(c);
    if (c == '"') {
      const std::size_t close = f.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      add_literal(sec, f.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == '\\' || c == '*' || c == '_') {
      if (i + 1 >= f.size()) return false;
      const std::size_t len = utf8_length(static_cast<unsigned char>(f[i + 1]));
      if (c == '\\') add_literal(sec, f.substr(i + 1, len));
      if (c == '_') add_literal(sec, " ");  // a space as wide as the character; fills take no room in text
      i += 1 + len;
    } else if (c == '[') {
      const std::size_t close = f.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      if (!read_bracket(f.substr(i + 1, close - i - 1), sec)) return false;
      i = close + 1;
    } else if (c == ']') {
      return false;
    } else if (starts_with_nocase(f, i, "am/pm")) {
      sec.tokens.push_back({Kind::AmPm, std::string(f.substr(i, 5))});
      i += 5;
    } else if (starts_with_nocase(f, i, "a/p")) {
      sec.tokens.push_back({Kind::AmPm, std::string(f.substr(i, 3))});
      i += 3;
    } else if (starts_with_nocase(f, i, "general")) {
      sec.tokens.push_back({Kind::General, {}});
      i += 7;
    } else if (l == 'e' && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
      sec.tokens.push_back({Kind::Exponent, std::string(1, f[i + 1])});
      i += 2;
    } else if (l == 'y' || l == 'e') {
      const int n = run_length(f, i, l);
      sec.tokens.push_back({Kind::Year, {}, l == 'e' || n > 2 ? 4 : 2});
      i += static_cast<std::size_t>(n);
    } else if (l == 'm') {
      const int n = run_length(f, i, 'm');
      sec.tokens.push_back({Kind::Month, {}, n > 5 ? 4 : n});
      i += static_cast<std::size_t>(n);
    } else if (l == 'n') {
      // The automation formatter's minute code, accepted alongside m after an hour.
      const int n = run_length(f, i, 'n');
      sec.tokens.push_back({Kind::Minute, {}, n > 2 ? 2 : n});
      i += static_cast<std::size_t>(n);
    } else if (l == 'd') {
      const int n = run_length(f, i, 'd');
      sec.tokens.push_back({Kind::Day, {}, n > 4 ? 4 : n});
      i += static_cast<std::size_t>(n);
    } else if (l == 'h') {
      const int n = run_length(f, i, 'h');
      sec.tokens.push_back({Kind::Hour, {}, n > 2 ? 2 : n});
      i += static_cast<std::size_t>(n);
    } else if (l == 's') {
      const int n = run_length(f, i, 's');
      sec.tokens.push_back({Kind::Second, {}, n > 2 ? 2 : n});
      i += static_cast<std::size_t>(n);
    } else if (c == '.' && after_seconds(sec) && i + 1 < f.size() && f[i + 1] == '0') {
      const int n = run_length(f, i + 1, '0');
      sec.tokens.push_back({Kind::Fraction, {}, n > 3 ? 3 : n});
      i += 1 + static_cast<std::size_t>(n);
    } else if (c == '0' || c == '#' || c == '?') {
      sec.tokens.push_back({Kind::Digit, std::string(1, c)});
      ++i;
    } else if (c == '.') {
      sec.tokens.push_back({Kind::Dot, {}});
      ++i;
    } else if (c == ',') {
      sec.tokens.push_back({Kind::Comma, {}});
      ++i;
    } else if (c == '%') {
      sec.tokens.push_back({Kind::Percent, {}});
      ++i;
    } else if (c == '@') {
      sec.tokens.push_back({Kind::At, {}});
      ++i;
    } else if (c == '/') {
      sec.tokens.push_back({Kind::Slash, {}});
      ++i;
    } else if (c == ':') {
      sec.tokens.push_back({Kind::TimeSep, {}});
      ++i;
    } else if (c == '\0') {
      return false;
    } else {
      const std::size_t len = utf8_length(static_cast<unsigned char>(c));
      add_literal(sec, f.substr(i, len));
      i += len;
    }
  }
  return true;
}

// In a date section: "m" after an hour or before a second means minutes; "/" and "," are literal.
void settle_date_section(Section& sec) {
  std::vector<Token>& t = sec.tokens;
  auto code = [](Kind k) {
    return k != Kind::Literal && k != Kind::DateSep && k != Kind::TimeSep && k != Kind::Slash && k != Kind::Dot &&
           k != Kind::Comma && k != Kind::Digit && k != Kind::Percent;
  };
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i].kind != Kind::Month || t[i].n > 2) continue;
    bool minute = false;
    for (std::size_t j = i; j-- > 0;) {
      if (!code(t[j].kind)) continue;
      minute = t[j].kind == Kind::Hour || (t[j].kind == Kind::Elapsed && t[j].text == "h");
      break;
    }
    for (std::size_t j = i + 1; !minute && j < t.size(); ++j) {
      if (!code(t[j].kind)) continue;
      minute = t[j].kind == Kind::Second || (t[j].kind == Kind::Elapsed && t[j].text == "s");
      break;
    }
    if (minute) t[i].kind = Kind::Minute;
  }
  for (Token& k : t) {
    if (k.kind == Kind::Slash) k = {Kind::DateSep, {}};
    else if (k.kind == Kind::Dot) k = {Kind::Literal, "."};
    else if (k.kind == Kind::Comma) k = {Kind::Literal, ","};
    else if (k.kind == Kind::Digit) k = {Kind::Literal, k.text};
    else if (k.kind == Kind::Percent) k = {Kind::Literal, "%"};
    else if (k.kind == Kind::Exponent) k = {Kind::Literal, "E" + k.text};
  }
}

// The platform's date picture ("dddd, MMMM d, yyyy", "h:mm:ss tt") in the host's codes.
std::string picture_to_format(std::string_view p) {
  std::string out;
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    if (c == '\'') {
      const std::size_t close = p.find('\'', i + 1);
      const std::string_view text = p.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
      out += '"';
      out += text;
      out += '"';
      i = close == std::string_view::npos ? p.size() : close + 1;
      continue;
    }
    int n = 1;
    while (i + n < p.size() && p[i + n] == c) ++n;
    switch (c) {
      case 'M': out.append(static_cast<std::size_t>(n > 4 ? 4 : n), 'm'); break;
      case 'm': out.append(static_cast<std::size_t>(n > 2 ? 2 : n), 'm'); break;
      case 'd': out.append(static_cast<std::size_t>(n > 4 ? 4 : n), 'd'); break;
      case 'y': out.append(n <= 2 ? 2 : 4, 'y'); break;
      case 'H': case 'h': out.append(static_cast<std::size_t>(n > 2 ? 2 : n), 'h'); break;
      case 's': out.append(static_cast<std::size_t>(n > 2 ? 2 : n), 's'); break;
      case 't': out += n == 1 ? "A/P" : "AM/PM"; break;
      case 'g': break;  // era: nothing in the Gregorian calendar
      default:
        for (int k = 0; k < n; ++k) {
          if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '"' || c == '\\') out += '\\';
          out += c;
        }
    }
    i += static_cast<std::size_t>(n);
  }
  return out;
}

// A non-negative number with leading zeros up to `width` digits.
std::string zero_pad(long long v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}

std::string pad2(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string lower_all(std::string s) {
  for (char& c : s) c = lower(c);
  return s;
}

// First character (one UTF-8 sequence) of a name.
std::string first_char(const std::string& s) {
  return s.empty() ? std::string() : s.substr(0, utf8_length(static_cast<unsigned char>(s[0])));
}

std::optional<std::string> render_date(const Section& sec, double value, const LocaleData& user) {
  if (!serial::in_range(value)) return std::nullopt;
  const LocaleData& names = sec.english_names ? LocaleData::us_english() : user;
  int digits = 0;
  for (const Token& t : sec.tokens)
    if (t.kind == Kind::Fraction && t.n > digits) digits = t.n;
  const long long per_second = digits == 0 ? 1 : digits == 1 ? 10 : digits == 2 ? 100 : 1000;
  const long long per_day = 86400LL * per_second;
  long long day = static_cast<long long>(serial::day_part(value));
  long long units = std::llround(serial::time_part(value) * static_cast<double>(per_day));
  if (units >= per_day) {
    units -= per_day;
    ++day;
  }
  const DateParts p = serial::to_parts(static_cast<double>(day));
  if (p.year < serial::kMinYear || p.year > serial::kMaxYear) return std::nullopt;
  const long long secs = units / per_second;
  const int hour = static_cast<int>(secs / 3600), minute = static_cast<int>(secs / 60 % 60),
            second = static_cast<int>(secs % 60);
  const bool twelve = sec.has(Kind::AmPm);
  int shown_hour = hour;
  if (twelve) shown_hour = hour % 12 == 0 ? 12 : hour % 12;
  const int wd = serial::weekday(static_cast<double>(day));

  // Elapsed counts run from the serial's zero; the biggest one shown takes the whole count and
  // the smaller units show what remains of it.
  const double total_seconds = static_cast<double>(day) * 86400.0 + static_cast<double>(secs);
  char biggest = 0;
  for (const Token& t : sec.tokens) {
    if (t.kind != Kind::Elapsed) continue;
    if (t.text == "h" || (t.text == "m" && biggest != 'h') || (t.text == "s" && biggest == 0)) biggest = t.text[0];
  }

  std::string out;
  for (const Token& t : sec.tokens) {
    switch (t.kind) {
      case Kind::Literal: out += t.text; break;
      case Kind::DateSep: out += user.date_separator; break;
      case Kind::TimeSep: out += user.time_separator; break;
      case Kind::Year: {
        if (t.n == 2) out += pad2(p.year % 100);
        else {
          char b[16];
          std::snprintf(b, sizeof b, "%04d", p.year);
          out += b;
        }
        break;
      }
      case Kind::Month:
        switch (t.n) {
          case 1: out += std::to_string(p.month); break;
          case 2: out += pad2(p.month); break;
          case 3: out += names.month_abbreviations[static_cast<std::size_t>(p.month - 1)]; break;
          case 4: out += names.month_names[static_cast<std::size_t>(p.month - 1)]; break;
          default: out += first_char(names.month_names[static_cast<std::size_t>(p.month - 1)]); break;
        }
        break;
      case Kind::Minute: out += t.n == 1 ? std::to_string(minute) : pad2(minute); break;
      case Kind::Day:
        switch (t.n) {
          case 1: out += std::to_string(p.day); break;
          case 2: out += pad2(p.day); break;
          case 3: out += names.day_abbreviations[static_cast<std::size_t>(wd - 1)]; break;
          default: out += names.day_names[static_cast<std::size_t>(wd - 1)]; break;
        }
        break;
      case Kind::Hour: out += t.n == 1 ? std::to_string(shown_hour) : pad2(shown_hour); break;
      case Kind::Second: out += t.n == 1 ? std::to_string(second) : pad2(second); break;
      case Kind::Fraction: {
        const long long part = units % per_second;
        out += '.';
        out += zero_pad(part, digits).substr(0, static_cast<std::size_t>(t.n));
        break;
      }
      case Kind::AmPm: {
        const bool pm = hour >= 12;
        if (t.text.size() == 5) {
          // Written in lower case, the designator is shown in lower case.
          const std::string& word = pm ? names.pm : names.am;
          out += (t.text[0] >= 'a' && t.text[0] <= 'z') ? lower_all(word) : upper(word);
        }
        else out += pm ? t.text.substr(2, 1) : t.text.substr(0, 1);
        break;
      }
      case Kind::Elapsed: {
        const double unit = t.text == "h" ? 3600.0 : t.text == "m" ? 60.0 : 1.0;
        long long count = static_cast<long long>(std::floor(total_seconds / unit));
        if (t.text[0] != biggest) count %= 60;
        if (count < 0) return std::nullopt;
        out += zero_pad(count, t.n);
        break;
      }
      default: break;
    }
  }
  return out;
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

bool parse_sections(std::string_view f, std::vector<Section>& out) {
  std::size_t i = 0;
  while (true) {
    Section sec;
    if (!read_section(f, i, sec)) return false;
    out.push_back(std::move(sec));
    if (i >= f.size()) break;
    ++i;  // the ";"
    if (out.size() == 4) return false;
  }
  return true;
}

bool meets(const Section& s, double v) {
  if (s.op == "<") return v < s.operand;
  if (s.op == "<=") return v <= s.operand;
  if (s.op == ">") return v > s.operand;
  if (s.op == ">=") return v >= s.operand;
  if (s.op == "=") return v == s.operand;
  if (s.op == "<>") return v != s.operand;
  return false;
}

// The section the host uses for a number, and whether that section shows the minus sign itself.
const Section* choose(const std::vector<const Section*>& numeric, double v, bool& with_sign) {
  with_sign = false;
  if (numeric.empty()) return nullptr;
  bool conditional = false;
  for (const Section* s : numeric) conditional = conditional || s->has_condition;
  if (conditional) {
    with_sign = true;
    for (std::size_t k = 0; k < numeric.size(); ++k) {
      const Section* s = numeric[k];
      if (!s->has_condition) return s;
      if (meets(*s, v)) return s;
    }
    return nullptr;
  }
  if (numeric.size() == 1) {
    with_sign = true;
    return numeric[0];
  }
  if (v < 0) return numeric[1];
  if (v == 0 && numeric.size() >= 3) return numeric[2];
  return numeric[0];
}

// The characters a token shows in a section without digit placeholders.
std::string plain_text(const Token& t) {
  switch (t.kind) {
    case Kind::Literal: return t.text;
    case Kind::TimeSep: return ":";
    case Kind::Slash: return "/";
    case Kind::Dot: return ".";
    case Kind::Comma: return ",";
    case Kind::Percent: return "%";
    default: return {};
  }
}

std::optional<std::string> render(std::string_view format, double value, const LocaleData& locale, int depth) {
  if (format.find('\0') != std::string_view::npos || count_chars(format) > kMaxFormatChars) return std::nullopt;
  std::vector<Section> sections;
  if (!parse_sections(format, sections)) return std::nullopt;
  std::vector<const Section*> numeric;
  for (const Section& s : sections)
    if (!s.is_text()) numeric.push_back(&s);
  bool with_sign = false;
  const Section* chosen = choose(numeric, value, with_sign);
  if (numeric.empty()) return render_general(value);  // a text format shows numbers as General
  if (chosen == nullptr) return std::nullopt;         // no condition holds: the host shows no text
  Section sec = *chosen;
  if (sec.override_pattern != Override::None && depth == 0) {
    const std::string pattern =
        picture_to_format(sec.override_pattern == Override::LongDate ? locale.long_date_pattern : locale.time_pattern);
    return render(pattern, value, locale, depth + 1);
  }
  if (sec.is_date()) {
    settle_date_section(sec);
    return render_date(sec, value, locale);
  }
  if (sec.has(Kind::General) || !sec.has(Kind::Digit)) {
    // General shows the number where it stands; a section of literals alone shows no number.
    std::string out;
    for (const Token& t : sec.tokens)
      out += t.kind == Kind::General ? render_general(with_sign ? value : std::fabs(value)) : plain_text(t);
    return out;
  }
  for (Token& t : sec.tokens)
    if (t.kind == Kind::TimeSep) t = {Kind::Literal, ":"};
  return render_number(sec, value, with_sign);
}

// A date's default text: the short date, and the time of day when it has one.
std::string default_date_text(double serial, const LocaleData& locale) {
  std::string out = render(picture_to_format(locale.short_date_pattern), serial, locale, 1).value_or("");
  if (serial != std::floor(serial))
    out += " " + render(picture_to_format(locale.time_pattern), serial, locale, 1).value_or("");
  return out;
}

}  // namespace

std::optional<std::string> FormatDateAsText(double serial, std::string_view format, const LocaleData& locale) {
  if (!std::isfinite(serial)) return std::nullopt;
  try {
    std::vector<Section> sections;
    if (format.find('\0') != std::string_view::npos || count_chars(format) > kMaxFormatChars ||
        !parse_sections(format, sections) || sections.empty())
      return std::nullopt;
    for (const Section& s : sections)
      if (!s.is_text()) return FormatDateValue(serial, format, locale);
    std::string out;
    for (const Token& t : sections[0].tokens) out += t.kind == Kind::At ? default_date_text(serial, locale) : plain_text(t);
    return out;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<std::string> FormatDateValue(double serial, std::string_view format, const LocaleData& locale) {
  if (!std::isfinite(serial)) return std::nullopt;
  try {
    if (format.empty() || equals_nocase(format, "general")) return render_general(serial);
    return render(format, serial, locale, 0);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace tessaly
