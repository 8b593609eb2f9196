// What the families of script steps share: reports, the reading of a step's words and values,
// and real input through the system's input queue.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "sim/excel_sim.h"

namespace tessaly::sim::exe {

// One line on standard output, flushed at once: the tests read it while the host runs.
void Report(const char* format, const std::string& a, const std::string& b = "");
// The first word and the rest.
std::pair<std::string, std::string> Split(const std::string& text);
// A cell value of a kind: "text", "number", "bool" or "date" (YYYY-MM-DD).
std::optional<Variant> ParseValue(const std::string& kind, const std::string& text);
// "left top right bottom"
std::string Corners(const RECT& r);

void SendMouseClick(POINT p);
// The first visible window of the class that belongs to this process, top-level or child.
HWND FindOwnWindow(const std::wstring& class_name);

}  // namespace tessaly::sim::exe
