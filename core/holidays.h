// The holidays a workbook lists under a defined name, as people keep them for WORKDAY and
// NETWORKDAYS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/excel.h"

namespace tessaly {

// Cells read at most: a name that covers whole columns is read no further.
inline constexpr std::int32_t kMaxHolidayCells = 4096;

// The dates in the first area of the range the name refers to, in reading order. A cell that
// holds no date, or that cannot be read, is passed over; a missing name, a name that refers to no
// range, or a failing host gives no holidays. Never throws.
std::vector<double> ReadHolidays(IWorkbook& book, const std::string& name) noexcept;

}  // namespace tessaly
