// Window search, owners, rectangles and coordinates, displays, the cursor, styles and placement
// through the Win32 API; repaint suppression through WM_SETREDRAW; the view's changes seen by a subclass.
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


// The workbook window's view, seen on its way in: the scroll bars' messages and the wheel's
// (Ctrl+wheel zooms) as scrolling; a paint, a move or a new size as a change that may have moved
// its cells. Every message goes on to the window unchanged.
class ViewWatch final : public IWindowWatch {
 public:
  ViewWatch(HWND window, ViewWatchCalls calls) : window_(window), calls_(std::move(calls)) {}
  bool Attach() { return SetWindowSubclass(window_, &ViewWatch::Proc, Id(), reinterpret_cast<DWORD_PTR>(this)) != FALSE; }
  ~ViewWatch() override {
    if (window_) RemoveWindowSubclass(window_, &ViewWatch::Proc, Id());
  }

 private:
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
  static void Tell(const std::function<void()>& call) noexcept {
    try {
      if (call) call();
    } catch (...) {
      // The host's window goes on whatever the watcher met.
    }
  }
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<ViewWatch*>(data);
    switch (msg) {
      case WM_VSCROLL:
      case WM_HSCROLL:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        Tell(self->calls_.scrolled);
        break;
      case WM_PAINT:
        Tell(self->calls_.changed);
        break;
      case WM_WINDOWPOSCHANGED:
        // A change of z-order alone moves nothing.
        if ((reinterpret_cast<const WINDOWPOS*>(l)->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
          Tell(self->calls_.changed);
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(h, &ViewWatch::Proc, id);
        self->window_ = nullptr;
        break;
      default:
        break;
    }
    return DefSubclassProc(h, msg, w, l);
  }

  HWND window_;
  ViewWatchCalls calls_;
};

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
  // The same styles again need no new frame, a round of messages; the system keeps the topmost
  // bit to itself, so it is not compared.
  const auto now_style = static_cast<std::uint32_t>(GetWindowLongPtrW(h, GWL_STYLE));
  const auto now_ex = static_cast<std::uint32_t>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  if (now_style == style && (now_ex & ~std::uint32_t{WS_EX_TOPMOST}) == (ex_style & ~std::uint32_t{WS_EX_TOPMOST})) return;
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

WindowHandle Win32WindowSystem::Parent(WindowHandle window) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  // GetParent names a top-level window's owner; only a child has a parent here.
  return (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) ? FromHwnd(::GetParent(h)) : 0;
}

void Win32WindowSystem::MoveWindow(WindowHandle window, ScreenRect rect) {
  Check(SetWindowPos(ToHwnd(window), nullptr, rect.left, rect.top, rect.width(), rect.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE));
}

void Win32WindowSystem::ShowWindow(WindowHandle window, bool show) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  if (!show) {
    ::ShowWindow(h, SW_HIDE);
    return;
  }
  // Shown on top of its siblings: the calendar over the tag, both over the host's own children.
  // Erased at its first paint, not inside this call: erasing the form and its controls at once
  // was most of a showing, and delayed the month's paint by as much.
  Check(SetWindowPos(h, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_DEFERERASE));
}

void Win32WindowSystem::SetRepaintSuppressed(WindowHandle window, bool suppressed) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  SendMessageW(h, WM_SETREDRAW, suppressed ? FALSE : TRUE, 0);
  // Only this window's content changed while it was not drawn: its frame and the host's stay.
  // Drawn before returning, so the paint belongs to whoever lifted the suppression.
  if (!suppressed) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::unique_ptr<IWindowWatch> Win32WindowSystem::WatchView(WindowHandle window, ViewWatchCalls calls) {
  HWND h = ToHwnd(window);
  Check(IsWindow(h));
  // A subclass works only on the thread that runs the window: Excel's, which is ours.
  if (GetWindowThreadProcessId(h, nullptr) != GetCurrentThreadId()) throw com_error(E_ACCESSDENIED);
  auto watch = std::make_unique<ViewWatch>(h, std::move(calls));
  Check(watch->Attach());
  return watch;
}

double Win32WindowSystem::LogicalPixelsPerInchX(WindowHandle window) const { return WindowDpi(ToHwnd(window)); }
double Win32WindowSystem::LogicalPixelsPerInchY(WindowHandle window) const { return WindowDpi(ToHwnd(window)); }

}  // namespace tessaly::win
