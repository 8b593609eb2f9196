// The About box as a modal Win32 dialog, and the add-in file's version as its resource gives it.
#pragma once

#include <windows.h>

#include "core/about_box.h"

namespace tessaly::win {

// The major, minor and revision numbers (the first three fields) of the module's file version;
// HostError when the module has no version resource.
FileVersion ModuleFileVersion(HMODULE module);

// Shows the box from the module's IDD_FRMABOUT template, modal to `owner` (Excel's main window),
// until a button closes it; its icons are the module's icon resources that `about` names.
// HostError when the box cannot be shown.
void ShowAboutWindow(HMODULE module, HWND owner, frmAbout& about);

}  // namespace tessaly::win
