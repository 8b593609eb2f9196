// Top-level window search, window owners and rectangles, and the display's pixels per inch.
#include "win/win_window_system.h"

#include <windows.h>

#include "win/com_error.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w)); }
WindowHandle FromHwnd(HWND h) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(h)); }

double TwipsPerPixel(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, axis) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace

WindowHandle Win32WindowSystem::FindTopLevelWindow(const std::string& class_name, WindowHandle after) {
  return FromHwnd(FindWindowExW(nullptr, ToHwnd(after), to_wide(class_name).c_str(), nullptr));
}

std::uint32_t Win32WindowSystem::WindowProcessId(WindowHandle window) {
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(ToHwnd(window), &pid)) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  return pid;
}

std::uint32_t Win32WindowSystem::CurrentProcessId() { return GetCurrentProcessId(); }

ScreenRect Win32WindowSystem::WindowScreenRect(WindowHandle window) {
  RECT r{};
  if (!GetWindowRect(ToHwnd(window), &r)) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  return {r.left, r.top, r.right, r.bottom};
}

double Win32WindowSystem::TwipsPerPixelX() const { return TwipsPerPixel(LOGPIXELSX); }
double Win32WindowSystem::TwipsPerPixelY() const { return TwipsPerPixel(LOGPIXELSY); }

}  // namespace tessaly::win
