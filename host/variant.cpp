// Conversions of the variant type.
#include "host/variant.h"

#include <cmath>
#include <cstdio>

namespace tessaly {

std::int32_t Variant::as_int() const {
  if (auto p = std::get_if<std::int32_t>(&value_)) return *p;
  return 0;
}

double Variant::as_double() const {
  if (auto p = std::get_if<double>(&value_)) return *p;
  if (auto p = std::get_if<std::int32_t>(&value_)) return type_ == VarType::Error ? 0.0 : *p;
  if (auto p = std::get_if<bool>(&value_)) return *p ? -1.0 : 0.0;
  return 0.0;
}

bool Variant::as_bool() const {
  if (auto p = std::get_if<bool>(&value_)) return *p;
  return false;
}

const std::string& Variant::as_text() const {
  static const std::string none;
  if (auto p = std::get_if<std::string>(&value_)) return *p;
  return none;
}

std::int32_t Variant::error_code() const { return type_ == VarType::Error ? as_int() : 0; }

static std::string number_text(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  std::string s = buf;
  // %G keeps an exponent form like 1E+20; the host writes 1E+20 too, so only tidy "-0".
  if (s == "-0") s = "0";
  return s;
}

std::string Variant::to_text() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return {};
    case VarType::Text:
      return as_text();
    case VarType::Bool:
      return as_bool() ? "True" : "False";
    case VarType::I2:
    case VarType::I4:
      return std::to_string(as_int());
    case VarType::Error:
      return "Error " + std::to_string(as_int());
    case VarType::R8:
    case VarType::Date:
      return number_text(as_double());
  }
  return {};
}

}  // namespace tessaly
