// The DLL's own module: its handle for resources, and its folder, which is the add-in's folder.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly::win {

HMODULE ThisModule();
std::wstring ThisModulePath();
// The folder holding the module, with a trailing backslash, in UTF-8.
std::string ThisModuleFolder();

}  // namespace tessaly::win
