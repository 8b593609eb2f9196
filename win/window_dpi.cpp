// Logical pixels per inch per window, through GetDpiForWindow where the system has it.
#include "win/window_dpi.h"

namespace tessaly::win {

namespace {

// GetDpiForWindow exists from Windows 10 1607 on; found at run time so older systems still load.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
GetDpiForWindowFn dpi_for_window() {
  static const auto fn = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  return fn;
}

}  // namespace

int WindowDpi(HWND window) {
  if (window && ::IsWindow(window)) {
    if (GetDpiForWindowFn fn = dpi_for_window()) {
      if (const UINT dpi = fn(window)) return static_cast<int>(dpi);
    }
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace tessaly::win
