// Helpers of the COM server tests: registry snapshots, the built DLL, and Wine's classes root.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "support/win_ui.h"

namespace tessaly::win::test {

// Every value below root\path as "subkey\\name" -> data (REG_SZ data, or a number for DWORDs);
// keys without values appear with the name "<key>".
std::map<std::wstring, std::wstring> Snapshot(HKEY root, const std::wstring& path, REGSAM view = 0);

// The folder of the built add-in (TESSALY_ADDIN_DIR), with a trailing backslash.
std::wstring AddInDir();

// Tessaly.dll loaded for its exports; stays loaded for the test process.
HMODULE AddInModule();
template <class F>
F Export(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(AddInModule(), name)));
}

using testing::UnderWine;

// Wine looks classes up only under HKEY_LOCAL_MACHINE\Software\Classes (WineHQ bug 14771), so a
// class registered per user, as on Windows, is not found by CoCreateInstance there. Under Wine,
// in the test's own prefix, these copy the class's keys across and remove them again.
void MirrorClassForWine();
void RemoveWineMirror();

}  // namespace tessaly::win::test
