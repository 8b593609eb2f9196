// The DLL's icon resources as the host's button pictures: OLE pictures (IPictureDisp) of the
// icon drawn on a 32-bit bitmap, and the icon's mask for command-bar buttons.
#pragma once

#include <windows.h>

#include <string>

#include "host/excel.h"

namespace tessaly::win {

// The icon resource `name` (case ignored by the resource loader) at its own first size, or at
// `size` pixels when size is not 0. HostError when the module has no such icon.
ButtonImagePtr IconPicture(HMODULE module, const std::string& name, int size = 0);
ButtonImagePtr IconMask(HMODULE module, const std::string& name, int size);

}  // namespace tessaly::win
