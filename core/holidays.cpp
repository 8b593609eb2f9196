// The holidays a workbook lists under a defined name.
#include "core/holidays.h"

#include <algorithm>

#include "host/error_policy.h"

namespace tessaly {

std::vector<double> ReadHolidays(IWorkbook& book, const std::string& name) noexcept {
  std::vector<double> days;
  if (name.empty()) return days;
  StopOnFailure([&] {
    const NamePtr defined = book.Names(name);
    const RangePtr range = defined ? defined->RefersToRange() : nullptr;
    if (!range) return;
    const std::int64_t cells = std::int64_t{range->RowsCount()} * range->ColumnsCount();
    const auto count = static_cast<std::int32_t>(std::clamp<std::int64_t>(cells, 0, kMaxHolidayCells));
    SkipFailures cell;
    for (std::int32_t i = 1; i <= count; ++i)
      cell([&] {
        const RangePtr item = range->CellsItem(i);
        const Variant value = item ? item->Value() : Variant();
        if (value.is_date()) days.push_back(value.as_double());
      });
  });
  return days;
}

}  // namespace tessaly
