// The resolution a window is shown at: logical pixels per inch of the display that holds it.
#pragma once

#include <windows.h>

namespace tessaly::win {

// The system's value when the window is gone or the system cannot say per display.
int WindowDpi(HWND window);

// While it lives, the thread creates windows in the DPI awareness of `like` (Windows 10 1607 on;
// nothing on older systems), so that they can become children of that window's tree: a window of
// another awareness cannot. The thread's own awareness comes back at the end.
class DpiAwarenessScope {
 public:
  explicit DpiAwarenessScope(HWND like);
  ~DpiAwarenessScope();
  DpiAwarenessScope(const DpiAwarenessScope&) = delete;
  DpiAwarenessScope& operator=(const DpiAwarenessScope&) = delete;

 private:
  void* previous_ = nullptr;  // DPI_AWARENESS_CONTEXT
};

}  // namespace tessaly::win
