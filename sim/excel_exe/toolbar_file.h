// The user's toolbar file in the profile, as Excel keeps its command bars there between runs: read
// at start, written at exit, one per version ("Excel11.xlb").
#pragma once

#include <string>

#include "sim/excel_sim.h"

namespace tessaly::sim::exe {

// %APPDATA%\Microsoft\Excel\Excel<version>.xlb; empty without a profile folder.
std::wstring ToolbarFilePath(int version);
// The file's bars in place of the built-in ones, when there is a file that can be read.
void ReadToolbarFile(SimExcel& model, const std::wstring& path);
void WriteToolbarFile(const SimExcel& model, const std::wstring& path);

}  // namespace tessaly::sim::exe
