// Reading texts as dates and times the way the host's automation date parser does.
//
// The text is cut into tokens (numbers, words, separators), the tokens into elements (date
// fields, at most one month name, at most one time of day), and the date fields are then given
// their meaning by trying the orders day, month and year can stand in, the locale's own first.
#include "date/date_parse.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <vector>

#include "date/serial_date.h"
#include "host/text.h"

namespace tessaly {
namespace {

constexpr int kSaturated = 1'000'000;  // numbers beyond this are kept at it: never a valid field

enum class Kind { Number, Word, TimeSep, DateSep, Period, Comma };

struct Token {
  Kind kind;
  std::string_view text;
  int value = 0;           // numbers only
  std::size_t begin = 0;   // offsets into the text, to tell adjacent tokens apart
  std::size_t end = 0;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
// Bytes of UTF-8 sequences count as letters so that non-English month names form one word.
bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Length of a space at pos: ASCII blanks, the no-break space and the ideographic space.
std::size_t blank_length(std::string_view s, std::size_t pos) {
  if (is_blank(s[pos])) return 1;
  if (s.substr(pos, 2) == "\xC2\xA0") return 2;
  if (s.substr(pos, 3) == "\xE3\x80\x80") return 3;
  return 0;
}

// The text without the blanks around it, as a view (this runs for every cell text).
std::string_view trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && is_blank(s[b])) ++b;
  while (e > b && is_blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The one character a locale separator stands for, or 0 when it is empty, blank or longer.
char single_separator(std::string_view sep) {
  std::string_view t = trimmed(sep);
  if (t.size() != 1 || is_digit(t[0]) || is_letter(t[0])) return 0;
  return t[0];
}

struct Separators {
  char date = 0;  // the locale's own date separator besides '/' and '-'
  char time = 0;  // the locale's own time separator besides ':'
};

std::optional<std::vector<Token>> tokenize(std::string_view s, const Separators& seps) {
  std::vector<Token> out;
  out.reserve(16);  // one allocation for any ordinary date text
  std::size_t i = 0;
  while (i < s.size()) {
    if (std::size_t n = blank_length(s, i)) {
      i += n;
      continue;
    }
    const std::size_t start = i;
    const char c = s[i];
    if (is_digit(c)) {
      int value = 0;
      while (i < s.size() && is_digit(s[i])) {
        value = value >= kSaturated ? kSaturated : value * 10 + (s[i] - '0');
        ++i;
      }
      out.push_back({Kind::Number, s.substr(start, i - start), value, start, i});
      continue;
    }
    if (is_letter(c)) {
      while (i < s.size() && is_letter(s[i]) && !blank_length(s, i)) ++i;
      out.push_back({Kind::Word, s.substr(start, i - start), 0, start, i});
      continue;
    }
    Kind kind;
    if (c == ':' || (seps.time && c == seps.time)) kind = Kind::TimeSep;
    else if (c == '/' || c == '-' || (seps.date && c == seps.date)) kind = Kind::DateSep;
    else if (c == '.') kind = Kind::Period;
    else if (c == ',') kind = Kind::Comma;
    else return std::nullopt;  // any other character, NUL included, is junk
    ++i;
    out.push_back({kind, s.substr(start, 1), 0, start, i});
  }
  return out;
}

std::size_t digits_at(std::string_view t, std::size_t i) {
  std::size_t n = 0;
  while (i + n < t.size() && is_digit(t[i + n])) ++n;
  return n;
}

// A text the host would read as a number ("42", "-7", "3.5", "1e5", "46,362.59"): never a date.
// Groups of thousands take exactly three digits, so "3,5" is no number in a locale whose decimal
// sign is the period and stays to be read as a date, as the host reads it.
bool looks_like_number(std::string_view s, char group, char decimal) {
  const std::string_view t = trimmed(s);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = digits_at(t, i);
  i += digits;
  while (digits > 0 && i < t.size() && t[i] == group && digits_at(t, i + 1) == 3) i += 4;
  if (i < t.size() && t[i] == decimal) {
    const std::size_t fraction = digits_at(t, i + 1);
    digits += fraction;
    i += 1 + fraction;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t exponent = digits_at(t, i);
    if (exponent == 0) return false;
    i += exponent;
  }
  return i == t.size();
}

// Case-blind equality for ASCII and for the Latin-1 letters of UTF-8 ("MÄRZ" is "März",
// "FÉVRIER" is "février"), which covers the month and day names of the Western locales.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto fold = [](unsigned char c, bool after_c3) -> unsigned char {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (after_c3 && c >= 0x80 && c <= 0x9E && c != 0x97) return static_cast<unsigned char>(c + 32);  // not ×
    return c;
  };
  // Bytes before k are already equal, so both texts are inside the same kind of sequence.
  for (std::size_t k = 0; k < a.size(); ++k) {
    const bool after_c3 = k > 0 && static_cast<unsigned char>(a[k - 1]) == 0xC3;
    if (fold(static_cast<unsigned char>(a[k]), after_c3) != fold(static_cast<unsigned char>(b[k]), after_c3))
      return false;
  }
  return true;
}

// A locale name as a word: some locales end their abbreviations in a period ("janv."), which the
// tokens keep apart from the word.
bool name_matches(std::string_view word, std::string_view name) {
  if (name.empty()) return false;
  if (name.size() > 1 && name.back() == '.') name.remove_suffix(1);
  return same_name(word, name);
}

// 1-based index of the name that equals the word, ignoring case; 0 when none does.
template <std::size_t N>
int find_name(std::string_view word, const std::array<std::string, N>& full, const std::array<std::string, N>& abbr) {
  for (std::size_t k = 0; k < N; ++k) {
    if (name_matches(word, full[k]) || name_matches(word, abbr[k])) return static_cast<int>(k) + 1;
  }
  return 0;
}

enum class Meridiem { None, Am, Pm };

Meridiem meridiem_of(std::string_view word, const LocaleData& locale) {
  if ((!locale.am.empty() && iequals(word, locale.am)) || iequals(word, "am") || iequals(word, "a")) return Meridiem::Am;
  if ((!locale.pm.empty() && iequals(word, locale.pm)) || iequals(word, "pm") || iequals(word, "p")) return Meridiem::Pm;
  return Meridiem::None;
}

struct Field {
  int value;
  bool month_name;
};

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
  Meridiem meridiem = Meridiem::None;
};

// What the tokens say: the date fields in order and the time of day, if any.
struct Reading {
  std::vector<Field> fields;
  std::optional<TimeOfDay> time;
  bool time_first = false;  // the time stood before every date field
};

class Reader {
 public:
  Reader(const std::vector<Token>& tokens, const LocaleData& locale) : t_(tokens), locale_(locale) {
    r_.fields.reserve(4);
  }

  std::optional<Reading> read() {
    // Commas count as blanks, except that a text may not end in one (", 3/5/2026" is a date,
    // "3/5/2026," is not).
    if (!t_.empty() && t_.back().kind == Kind::Comma) return std::nullopt;
    while (i_ < t_.size()) {
      if (!step()) return std::nullopt;
    }
    if (pending_date_sep_) return std::nullopt;
    return std::move(r_);
  }

 private:
  bool step() {
    const Token& tok = t_[i_];
    switch (tok.kind) {
      case Kind::Number: return number();
      case Kind::Word: return word();
      case Kind::DateSep:
        // Between two date fields only: "-7", "3/5/" and "3//5" are not dates.
        if (!last_was_field_ || pending_date_sep_) return false;
        pending_date_sep_ = true;
        ++i_;
        return true;
      case Kind::Comma:
        if (pending_date_sep_) return false;
        last_was_field_ = false;
        ++i_;
        return true;
      case Kind::TimeSep:
      case Kind::Period:
        return false;  // not inside a time, nor after a name
    }
    return false;
  }

  // A period between numbers joins them into a time as a colon does ("1.5.2" is 01:05:02);
  // a number text as a whole ("2.5") never gets this far.
  bool time_sep_at(std::size_t ahead) const { return next_is(Kind::TimeSep, ahead) || next_is(Kind::Period, ahead); }

  bool number() {
    const bool joined_time = time_sep_at(1) && next_is(Kind::Number, 2);
    const bool meridiem_follows = next_is(Kind::Word, 1) && meridiem_of(t_[i_ + 1].text, locale_) != Meridiem::None;
    if (joined_time || meridiem_follows) return time_of_day();
    return add_field({t_[i_++].value, false});
  }

  bool time_of_day() {
    if (r_.time || pending_date_sep_) return false;
    int parts[3] = {0, 0, 0};
    int count = 0;
    for (;;) {
      if (count == 3) return false;  // "1:2:3:4"
      parts[count++] = t_[i_++].value;
      if (!(time_sep_at(0) && next_is(Kind::Number, 1))) break;
      ++i_;
    }
    if (time_sep_at(0)) return false;  // "14:", "14:07."
    TimeOfDay time{parts[0], parts[1], parts[2], Meridiem::None};
    if (next_is(Kind::Word, 0)) {
      time.meridiem = meridiem_of(t_[i_].text, locale_);
      if (time.meridiem != Meridiem::None) ++i_;
    }
    r_.time = time;
    r_.time_first = r_.fields.empty();
    last_was_field_ = false;
    return true;
  }

  bool word() {
    const Token& tok = t_[i_];
    if (int month = find_name(tok.text, locale_.month_names, locale_.month_abbreviations)) {
      ++i_;
      skip_period();
      return add_field({month, true});
    }
    if (find_name(tok.text, locale_.day_names, locale_.day_abbreviations)) {
      // The weekday is ignored, whether or not it fits the date.
      if (seen_weekday_ || pending_date_sep_) return false;
      seen_weekday_ = true;
      ++i_;
      skip_period();
      last_was_field_ = false;
      return true;
    }
    if (iequals(tok.text, "T") && iso_time_mark()) {
      ++i_;
      last_was_field_ = false;
      return true;
    }
    return false;  // AM/PM without a number before it, or any other word
  }

  // The "T" of ISO 8601 sits directly between the date's last digit and the time's first.
  bool iso_time_mark() const {
    if (i_ == 0 || i_ + 1 >= t_.size() || r_.fields.size() != 3 || r_.time) return false;
    const Token& prev = t_[i_ - 1];
    const Token& next = t_[i_ + 1];
    return prev.kind == Kind::Number && next.kind == Kind::Number && prev.end == t_[i_].begin &&
           t_[i_].end == next.begin && next_is(Kind::TimeSep, 2);
  }

  void skip_period() {
    if (next_is(Kind::Period, 0)) ++i_;  // "Mar. 5", "Mon., Mar 2"
  }

  bool add_field(Field f) {
    // A time of day stands before or after the date, never inside it.
    if (r_.time && !r_.time_first) return false;
    r_.fields.push_back(f);
    pending_date_sep_ = false;
    last_was_field_ = true;
    return true;
  }

  bool next_is(Kind k, std::size_t ahead) const { return i_ + ahead < t_.size() && t_[i_ + ahead].kind == k; }

  const std::vector<Token>& t_;
  const LocaleData& locale_;
  std::size_t i_ = 0;
  Reading r_;
  bool pending_date_sep_ = false;
  bool last_was_field_ = false;
  bool seen_weekday_ = false;
};

// The orders three date fields can stand in, by where day (D), month (M) and year (Y) come.
enum class Order { MDY, DMY, YMD, YDM, MYD };

struct Ymd {
  int year, month, day;
};

Ymd arrange(Order o, int a, int b, int c) {
  switch (o) {
    case Order::MDY: return {c, a, b};
    case Order::DMY: return {c, b, a};
    case Order::YMD: return {a, b, c};
    case Order::YDM: return {a, c, b};
    case Order::MYD: return {b, a, c};
  }
  return {0, 0, 0};
}

// Years below 100 are two-digit years: 0..29 are 2000..2029, 30..99 are 1930..1999; from 100 on
// a year stands as typed.
int full_year(int year) { return year < 30 ? 2000 + year : year < 100 ? 1900 + year : year; }

bool valid(const Ymd& d) {
  const int y = full_year(d.year);
  return y >= serial::kMinYear && y <= serial::kMaxYear && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= serial::days_in_month(y, d.month);
}

// The locale's order from its short date picture: the first of d, M and y decides.
Order locale_order(std::string_view pattern) {
  for (char c : pattern) {
    if (c == 'd' || c == 'D') return Order::DMY;
    if (c == 'M' || c == 'm') return Order::MDY;
    if (c == 'y' || c == 'Y') return Order::YMD;
  }
  return Order::MDY;
}

// Up to four orders to try, first to last.
struct Orders {
  std::array<Order, 4> list{};
  std::size_t count = 0;
  Orders(std::initializer_list<Order> l) {
    for (Order o : l) list[count++] = o;
  }
};

// The locale's order first, then the ones the host falls back to when a reading is impossible.
Orders three_field_orders(Order locale) {
  switch (locale) {
    case Order::DMY: return {Order::DMY, Order::YMD, Order::MDY, Order::YDM};
    case Order::YMD: return {Order::YMD, Order::MDY, Order::DMY, Order::YDM};
    default: return {Order::MDY, Order::YMD, Order::DMY, Order::YDM};
  }
}

std::optional<Ymd> first_valid(const Orders& orders, int a, int b, int c) {
  for (std::size_t k = 0; k < orders.count; ++k) {
    const Order o = orders.list[k];
    Ymd d = arrange(o, a, b, c);
    if (valid(d)) return d;
  }
  return std::nullopt;
}

int month_name_count(const std::vector<Field>& fields) {
  int names = 0;
  for (const Field& f : fields) names += f.month_name;
  return names;
}

int month_name_position(const std::vector<Field>& fields) {
  for (std::size_t k = 0; k < fields.size(); ++k)
    if (fields[k].month_name) return static_cast<int>(k);
  return -1;
}

std::optional<Ymd> resolve_three(const std::vector<Field>& f, Order locale) {
  Orders orders{};
  switch (month_name_position(f)) {
    case 0: orders = {Order::MDY}; break;
    // "5-Mar-26" is the host's own d-mmm-yy in every locale: day first, the year only when the
    // first number cannot be a day ("2026 Mar 5").
    case 1: orders = {Order::DMY, Order::YMD}; break;
    case 2: orders = {Order::YDM}; break;
    default: orders = three_field_orders(locale);
  }
  return first_valid(orders, f[0].value, f[1].value, f[2].value);
}

// Two fields are month and day of the current year; when neither reading works they are month
// and year ("3/2020", "Mar 2020", "2020 Mar") on the first of the month.
std::optional<Ymd> resolve_two(const std::vector<Field>& f, Order locale, int current_year) {
  const int pos = month_name_position(f);
  Orders day_orders = locale == Order::DMY ? Orders{Order::DMY, Order::MDY} : Orders{Order::MDY, Order::DMY};
  Orders year_orders = {Order::YMD, Order::MYD};
  if (pos == 0) day_orders = {Order::MDY}, year_orders = {Order::MYD};
  if (pos == 1) day_orders = {Order::DMY}, year_orders = {Order::YMD};
  if (auto d = first_valid(day_orders, f[0].value, f[1].value, current_year)) return d;
  return first_valid(year_orders, f[0].value, f[1].value, 1);
}

std::optional<double> time_fraction_of(const TimeOfDay& t) {
  int hour = t.hour;
  // AM and PM only speak for hours up to 12; "13:00 PM" is 13:00 as the host reads it.
  if (hour <= 12 && t.meridiem == Meridiem::Pm && hour < 12) hour += 12;
  if (hour == 12 && t.meridiem == Meridiem::Am) hour = 0;
  if (hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return serial::time_fraction(hour, t.minute, t.second);
}

int clock_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return 2000;
#else
  if (!localtime_r(&now, &local)) return 2000;
#endif
  return local.tm_year + 1900;
}

}  // namespace

std::optional<double> ParseDateText(std::string_view text, const LocaleData& locale, int current_year) {
  Separators seps{single_separator(locale.date_separator), single_separator(locale.time_separator)};
  if (seps.time == seps.date || seps.time == '.') seps.time = 0;
  // Where the period separates dates it groups thousands and the comma is the decimal sign.
  const bool period_dates = seps.date == '.';
  if (looks_like_number(text, period_dates ? '.' : ',', period_dates ? ',' : '.')) return std::nullopt;
  auto tokens = tokenize(text, seps);
  if (!tokens || tokens->empty()) return std::nullopt;
  auto reading = Reader(*tokens, locale).read();
  if (!reading || reading->fields.size() > 3 || month_name_count(reading->fields) > 1) return std::nullopt;

  double fraction = 0;
  if (reading->time) {
    auto t = time_fraction_of(*reading->time);
    if (!t) return std::nullopt;
    fraction = *t;
  }
  const Order order = locale_order(locale.short_date_pattern);
  std::optional<Ymd> date;
  switch (reading->fields.size()) {
    case 0:
      if (!reading->time) return std::nullopt;  // a weekday alone
      return fraction;
    case 1: return std::nullopt;  // "Mar", "2026 14:07"
    case 2: date = resolve_two(reading->fields, order, current_year ? current_year : clock_year()); break;
    default: date = resolve_three(reading->fields, order); break;
  }
  if (!date) return std::nullopt;
  auto day = serial::from_ymd(full_year(date->year), date->month, date->day);
  if (!day) return std::nullopt;
  return serial::combine(*day, fraction);
}

}  // namespace tessaly
