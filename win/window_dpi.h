// The resolution a window is shown at: logical pixels per inch of the display that holds it.
#pragma once

#include <windows.h>

namespace tessaly::win {

// The system's value when the window is gone or the system cannot say per display.
int WindowDpi(HWND window);

}  // namespace tessaly::win
