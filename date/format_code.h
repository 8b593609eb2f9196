// The host's number-format texts read into sections of tokens, and the number side of showing a
// value through them. Shared by the date formatter's parts; not part of the date engine's interface.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::format_code {

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


char lower(char c);
bool equals_nocase(std::string_view a, std::string_view b);
// Length of the UTF-8 sequence starting with byte c (1 for a stray byte).
std::size_t utf8_length(unsigned char c);
std::size_t count_chars(std::string_view s);
// A non-negative number with leading zeros up to `width` digits.
std::string zero_pad(long long v, int width);

// Reads a whole format text into its sections (at most four). False on a malformed text.
bool parse_sections(std::string_view f, std::vector<Section>& out);
// In a date section: "m" after an hour or before a second means minutes; "/" and "," are literal.
void settle_date_section(Section& sec);
// The platform's date picture ("dddd, MMMM d, yyyy", "h:mm:ss tt") in the host's codes.
std::string picture_to_format(std::string_view p);

// The host's General display of a number in a cell.
std::string render_general(double v);
// A number through a numeric section; `with_sign` when the section shows the minus sign itself.
std::optional<std::string> render_number(const Section& sec, double v, bool with_sign);

}  // namespace tessaly::format_code
