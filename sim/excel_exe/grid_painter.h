// The stand-in's drawing of a sheet in its workbook window, as the model lays the window out.
#pragma once

#include <windows.h>

#include <string>

#include "sim/excel_sim.h"
#include "sim/sheet_geometry.h"

namespace tessaly::sim::exe {

// Headers, then each pane clipped to its own rectangle, so that what is drawn is what the object
// model answers about the screen; the active cell shows the text being typed when editing.
void PaintGrid(HDC dc, const SheetModel& sheet, const SheetAxes& axes, const WindowLayout& layout, double dpi, bool editing,
               const std::string& edit_text);
// A workbook window with no sheet to show.
void PaintBlank(HDC dc, RECT r);

}  // namespace tessaly::sim::exe
