// Win32 answers to the add-in's questions about the desktop's windows and the screen's resolution,
// and the few moves it makes on its own windows (styles, parent, place, showing, repainting).
#pragma once

#include "host/screen_metrics.h"
#include "host/window_system.h"

namespace tessaly::win {

class Win32WindowSystem : public IWindowSystem, public IScreenMetrics {
 public:
  WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) override;
  WindowHandle FindChildWindow(WindowHandle parent, const std::string& class_name, WindowHandle after) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::uint32_t CurrentProcessId() override;
  ScreenRect WindowScreenRect(WindowHandle window) override;
  ScreenRect ClientRect(WindowHandle window) override;
  ScreenPoint ClientToScreen(WindowHandle window, ScreenPoint client) override;
  ScreenPoint ScreenToClient(WindowHandle window, ScreenPoint screen) override;
  ScreenRect MonitorRect(WindowHandle window) override;
  ScreenPoint CursorPos() override;
  WindowHandle WindowFromPoint(ScreenPoint screen) override;
  void SetWindowStyles(WindowHandle window, std::uint32_t style, std::uint32_t ex_style) override;
  void SetParent(WindowHandle window, WindowHandle parent) override;
  WindowHandle Parent(WindowHandle window) override;
  void MoveWindow(WindowHandle window, ScreenRect rect) override;
  void ShowWindow(WindowHandle window, bool show) override;
  void SetRepaintSuppressed(WindowHandle window, bool suppressed) override;
  std::unique_ptr<IWindowWatch> WatchView(WindowHandle window, ViewWatchCalls calls) override;

  double LogicalPixelsPerInchX(WindowHandle window) const override;
  double LogicalPixelsPerInchY(WindowHandle window) const override;
};

}  // namespace tessaly::win
