// Excel's built-in dialogs as the stand-in shows them through Dialogs(n).Show: Format Cells (42)
// as a real modal window over the main window, answered by the user or by a scripted answer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "sim/excel_sim.h"

namespace tessaly::sim::exe {

// Shows dialog n modally; true when closed with OK. The model applies the answer and refuses a
// number it has no dialog for, or a sheet without cells.
bool ShowBuiltInDialog(HWND main_window, SimExcel& model, std::int32_t n);

}  // namespace tessaly::sim::exe
