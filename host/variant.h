// The small variant type that values travel in between the host, the options and the core.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tessaly {

// Codes follow the OLE Automation VARIANT type enumeration, so option types and host values share one numbering.
enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R8 = 5,
  Date = 7,
  Text = 8,
  Error = 10,
  Bool = 11,
};

class Variant {
 public:
  Variant() = default;  // empty

  static Variant null() { return Variant(VarType::Null, std::monostate{}); }
  static Variant i2(std::int16_t v) { return Variant(VarType::I2, std::int32_t{v}); }
  static Variant i4(std::int32_t v) { return Variant(VarType::I4, v); }
  static Variant number(double v) { return Variant(VarType::R8, v); }
  // A date is the host's serial date: days from 30 December 1899, the time of day as the fraction.
  static Variant date(double serial) { return Variant(VarType::Date, serial); }
  static Variant text(std::string v) { return Variant(VarType::Text, std::move(v)); }
  static Variant boolean(bool v) { return Variant(VarType::Bool, v); }
  // A cell error value such as #N/A, by its host error code.
  static Variant error(std::int32_t code) { return Variant(VarType::Error, code); }

  VarType type() const { return type_; }
  bool is_empty() const { return type_ == VarType::Empty; }
  bool is_null() const { return type_ == VarType::Null; }
  bool is_text() const { return type_ == VarType::Text; }
  bool is_bool() const { return type_ == VarType::Bool; }
  bool is_date() const { return type_ == VarType::Date; }
  bool is_error() const { return type_ == VarType::Error; }
  bool is_integer() const { return type_ == VarType::I2 || type_ == VarType::I4; }
  bool is_number() const { return is_integer() || type_ == VarType::R8; }

  // Accessors of the held value; each gives a neutral value (0, false, "") for another type.
  std::int32_t as_int() const;
  double as_double() const;  // numbers, dates and booleans (true = -1, as the host counts)
  bool as_bool() const;
  const std::string& as_text() const;
  std::int32_t error_code() const;

  // The value as text the way the host's string conversion gives it for empty, text, booleans
  // ("True"/"False") and numbers (up to 15 significant digits). Dates give their serial number;
  // formatting a date for people is the date engine's job.
  std::string to_text() const;

  friend bool operator==(const Variant& a, const Variant& b) = default;

 private:
  using Payload = std::variant<std::monostate, std::int32_t, double, bool, std::string>;
  Variant(VarType t, Payload p) : type_(t), value_(std::move(p)) {}

  VarType type_ = VarType::Empty;
  Payload value_;
};

}  // namespace tessaly
