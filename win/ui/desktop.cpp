// Top-level windows, their processes and rectangles, and the resolution they are shown at.
#include "win/ui/desktop.h"

#include "host/host_error.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

HWND as_hwnd(WindowHandle w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w)); }

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

WindowHandle Win32WindowSystem::FindTopLevelWindow(const std::string& class_name, WindowHandle after) {
  const HWND w = ::FindWindowExW(nullptr, as_hwnd(after), to_wide(class_name).c_str(), nullptr);
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(w));
}

std::uint32_t Win32WindowSystem::WindowProcessId(WindowHandle window) {
  DWORD process = 0;
  if (!::GetWindowThreadProcessId(as_hwnd(window), &process)) throw HostError("The window is gone.");
  return process;
}

std::uint32_t Win32WindowSystem::CurrentProcessId() { return ::GetCurrentProcessId(); }

ScreenRect Win32WindowSystem::WindowScreenRect(WindowHandle window) {
  RECT r{};
  if (!::GetWindowRect(as_hwnd(window), &r)) throw HostError("The window is gone.");
  return {r.left, r.top, r.right, r.bottom};
}

double Win32ScreenMetrics::TwipsPerPixelX() const { return 1440.0 / WindowDpi(reference_ ? reference_() : nullptr); }

}  // namespace tessaly::win
