// The desktop as the add-in asks about it on Windows: top-level windows, their processes and
// rectangles, and the screen's resolution where the workbook window is.
#pragma once

#include <windows.h>

#include <functional>

#include "host/screen_metrics.h"
#include "host/window_system.h"

namespace tessaly::win {

// Logical pixels per inch of the monitor that shows the window (the system's when the window is
// gone or the system cannot say per monitor).
int WindowDpi(HWND window);

class Win32WindowSystem final : public IWindowSystem {
 public:
  WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::uint32_t CurrentProcessId() override;
  ScreenRect WindowScreenRect(WindowHandle window) override;
};

// Twips per pixel where the reference window (the workbook window, asked each time) is shown.
class Win32ScreenMetrics final : public IScreenMetrics {
 public:
  explicit Win32ScreenMetrics(std::function<HWND()> reference) : reference_(std::move(reference)) {}
  double TwipsPerPixelX() const override;
  double TwipsPerPixelY() const override { return TwipsPerPixelX(); }

 private:
  std::function<HWND()> reference_;
};

}  // namespace tessaly::win
