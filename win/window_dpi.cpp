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

// The awareness functions, looked up so that systems without them still load the add-in.
using GetWindowContextFn = void*(WINAPI*)(HWND);
using SetThreadContextFn = void*(WINAPI*)(void*);
template <class Fn>
Fn user32_function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}
GetWindowContextFn window_context() {
  static const auto fn = user32_function<GetWindowContextFn>("GetWindowDpiAwarenessContext");
  return fn;
}
SetThreadContextFn set_thread_context() {
  static const auto fn = user32_function<SetThreadContextFn>("SetThreadDpiAwarenessContext");
  return fn;
}

}  // namespace

DpiAwarenessScope::DpiAwarenessScope(HWND like) {
  if (!like || !::IsWindow(like) || !window_context() || !set_thread_context()) return;
  if (void* context = window_context()(like)) previous_ = set_thread_context()(context);
}

DpiAwarenessScope::~DpiAwarenessScope() {
  if (previous_) set_thread_context()(previous_);
}

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
