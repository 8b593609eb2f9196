// The module this code was linked into, whether a DLL or a test executable: its handle for
// resources and window classes, and its folder, which is the add-in's folder.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly::win {

HMODULE ThisModule();
std::wstring ThisModulePath();
// The folder holding the module, with a trailing backslash, in UTF-8.
std::string ThisModuleFolder();

}  // namespace tessaly::win
