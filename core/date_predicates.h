// The add-in's two date predicates over the options in effect: whether a number format shows
// dates, and whether a value is a date the add-in may show or write.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/date_judge.h"
#include "host/clock.h"
#include "host/locale.h"
#include "host/variant.h"
#include "settings/m_vantry.h"
#include "settings/reg_man.h"

namespace tessaly {

class DatePredicates : public IDateJudge {
 public:
  // The options are read at every call, so edits in the dialogs count at once; the delimiter of
  // the custom lists is the one loaded at start-up. All references must outlive the object.
  DatePredicates(const cUtilRegMan& options, std::string format_delimiter, const LocaleData& locale,
                 const IClock& clock);

  bool IsDateFormat(const Variant& format) const override;
  bool IsDateLikeValue(const Variant& value) const override;
  std::optional<double> ReadAsDate(const Variant& value) const override;

 private:
  bool date_format(const Variant& format) const;
  bool date_like(const Variant& value) const;
  // The year and time-of-day rules for a value that reads as this date.
  bool qualifies(double date) const;

  const cUtilRegMan& options_;
  std::string delimiter_;
  const LocaleData& locale_;
  const IClock& clock_;
};

// The predicates over the options and the user's locale the add-in loaded at start-up.
std::unique_ptr<IDateJudge> MakeDatePredicates(const mVantry& m, const IClock& clock);

// True when `list` (pieces joined by `delimiter`; empty = no pieces) holds `item`, letter case
// ignored. An empty delimiter makes the whole list one piece.
bool ListHolds(std::string_view list, std::string_view delimiter, std::string_view item);

}  // namespace tessaly
