// Window search, owners, rectangles and coordinates, displays, the cursor, styles and placement
// through the Win32 API; repaint suppression through a window subclass.
#include "win/win_window_system.h"

#include <windows.h>
#include <commctrl.h>

#include "win/com_error.h"
#include "win/utf.h"
#include "win/window_dpi.h"

namespace tessaly::win {

namespace {

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w)); }
WindowHandle FromHwnd(HWND h) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(h)); }

void Check(BOOL ok) {
  if (!ok) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
}


// While installed, the window paints nothing: paint requests are validated and dropped.
constexpr UINT_PTR kSuppressRepaint = 0x7E55;
LRESULT CALLBACK SuppressRepaint(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_NCPAINT:
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefSubclassProc(h, msg, w, l);
  }
}

}  // namespace

WindowHandle Win32WindowSystem::FindTopLevelWindow(const std::string& class_name, WindowHandle after) {
  return FromHwnd(FindWindowExW(nullptr, ToHwnd(after), to_wide(class_name).c_str(), nullptr));
}

WindowHandle Win32WindowSystem::FindChildWindow(WindowHandle parent, const std::string& class_name,
                                                WindowHandle after) {
  return FromHwnd(FindWindowExW(ToHwnd(parent), ToHwnd(after), to_wide(class_name).c_str(), nullptr));
}

std::uint32_t Win32WindowSystem::WindowProcessId(WindowHandle window) {
  DWORD pid = 0;
  Check(GetWindowThreadProcessId(ToHwnd(window), &pid) != 0);
  return pid;
}

std::uint32_t Win32WindowSystem::CurrentProcessId() { return GetCurrentProcessId(); }

ScreenRect Win32WindowSystem::WindowScreenRect(WindowHandle window) {
  RECT r{};
  Check(GetWindowRect(ToHwnd(window), &r));
  return {r.left, r.top, r.right, r.bottom};
}

ScreenRect Win32WindowSystem::ClientRect(WindowHandle window) {
  RECT r{};
  Check(GetClientRect(ToHwnd(window), &r));
  return {r.left, r.top, r.right, r.bottom};
}

ScreenPoint Win32WindowSystem::ClientToScreen(WindowHandle window, ScreenPoint client) {
  POINT p{client.x, client.y};
  Check(::ClientToScreen(ToHwnd(window), &p));
  return {p.x, p.y};
}

ScreenPoint Win32WindowSystem::ScreenToClient(WindowHandle window, ScreenPoint screen) {
  POINT p{screen.x, screen.y};
  Check(::ScreenToClient(ToHwnd(window), &p));
  return {p.x, p.y};
}

ScreenRect Win32WindowSystem::MonitorRect(WindowHandle window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  Check(GetMonitorInfoW(MonitorFromWindow(ToHwnd(window), MONITOR_DEFAULTTONEAREST), &info));
  return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

ScreenPoint Win32WindowSystem::CursorPos() {
  POINT p{};
  Check(GetCursorPos(&p));
  return {p.x, p.y};
}

WindowHandle Win32WindowSystem::WindowFromPoint(ScreenPoint screen) {
  return FromHwnd(::WindowFromPoint(POINT{screen.x, screen.y}));
}

void Win32WindowSystem::SetWindowStyles(WindowHandle window, std::uint32_t style, std::uint32_t ex_style) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  SetWindowLongPtrW(h, GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowLongPtrW(h, GWL_EXSTYLE, static_cast<LONG_PTR>(ex_style));
  // Styles that change the frame take effect only when the frame is recomputed.
  Check(SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
}

void Win32WindowSystem::SetParent(WindowHandle window, WindowHandle parent) {
  Check(IsWindow(ToHwnd(window)));
  SetLastError(0);
  if (!::SetParent(ToHwnd(window), ToHwnd(parent)) && GetLastError() != 0)
    throw com_error(HRESULT_FROM_WIN32(GetLastError()));
}

void Win32WindowSystem::MoveWindow(WindowHandle window, ScreenRect rect) {
  Check(SetWindowPos(ToHwnd(window), nullptr, rect.left, rect.top, rect.width(), rect.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE));
}

void Win32WindowSystem::ShowWindow(WindowHandle window, bool show) {
  Check(IsWindow(ToHwnd(window)));
  ::ShowWindow(ToHwnd(window), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Win32WindowSystem::SetRepaintSuppressed(WindowHandle window, bool suppressed) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  if (suppressed) {
    Check(SetWindowSubclass(h, SuppressRepaint, kSuppressRepaint, 0));
  } else {
    RemoveWindowSubclass(h, SuppressRepaint, kSuppressRepaint);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

double Win32WindowSystem::LogicalPixelsPerInchX(WindowHandle window) const { return WindowDpi(ToHwnd(window)); }
double Win32WindowSystem::LogicalPixelsPerInchY(WindowHandle window) const { return WindowDpi(ToHwnd(window)); }

}  // namespace tessaly::win
