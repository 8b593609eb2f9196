// Reading the host's number-format texts: sections, their bracketed prefixes and their codes.

#include <cstdint>
#include <cstdlib>
#include <cmath>

#include "date/format_code.h"

namespace tessaly::format_code {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
namespace {

bool starts_with_nocase(std::string_view s, std::size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (lower(s[at + i]) != lower(word[i])) return false;
  return true;
}
}  // namespace

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
namespace {

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
}  // namespace

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
}  // namespace tessaly::format_code
