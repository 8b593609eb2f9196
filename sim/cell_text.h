// The text a cell shows: its value through its number format, as the host draws it in the grid.
#pragma once

#include <string>

#include "host/locale.h"
#include "sim/excel_sim.h"

namespace tessaly::sim {

// Dates and numbers go through the number format (the value's plain text when the format is
// refused), texts show as they are, booleans and error values in the host's spelling.
std::string CellDisplayText(const CellModel& cell, const LocaleData& locale);

}  // namespace tessaly::sim
