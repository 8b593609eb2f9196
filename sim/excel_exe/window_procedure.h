// What the stand-in's window procedures share: the object that owns each window, kept in the
// window, and no C++ exception leaving a procedure.
#pragma once

#include <windows.h>

#include "sim/excel_exe/workbook_window.h"

namespace tessaly::sim::exe {

// No C++ exception leaves a window procedure: the system's message loop cannot carry one.
template <class F>
inline LRESULT Guarded(F&& f, LRESULT failed = 0) noexcept {
  try {
    return f();
  } catch (...) {
    return failed;
  }
}

inline WindowHandle Handle(HWND w) { return reinterpret_cast<WindowHandle>(w); }
inline HWND Hwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }

inline HostWindows* Owner(HWND w) { return reinterpret_cast<HostWindows*>(::GetWindowLongPtrW(w, GWLP_USERDATA)); }

// Keeps the owner given at creation in the window.
inline LRESULT Adopt(HWND w, LPARAM lp) {
  auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
  ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  return 0;
}

}  // namespace tessaly::sim::exe
