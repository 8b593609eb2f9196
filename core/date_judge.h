// How the controller judges formats and values as dates; the date engine's predicates behind it.
#pragma once

#include <optional>

#include "host/variant.h"

namespace tessaly {

class IDateJudge {
 public:
  virtual ~IDateJudge() = default;
  // Never throw: any inner failure is false / empty.
  virtual bool IsDateFormat(const Variant& format) const = 0;
  virtual bool IsDateLikeValue(const Variant& value) const = 0;
  // The value as a date when it reads as one (a date value, or a text the parser accepts; plain
  // numbers do not), time of day included and without a year test.
  virtual std::optional<double> ReadAsDate(const Variant& value) const = 0;
};

}  // namespace tessaly
