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

#include "date/format_code.h"
#include "date/serial_date.h"

namespace tessaly {
namespace {

using namespace format_code;

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
