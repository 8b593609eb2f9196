// Win32 answers to the add-in's questions about the desktop's windows and the screen's resolution.
#pragma once

#include "host/screen_metrics.h"
#include "host/window_system.h"

namespace tessaly::win {

class Win32WindowSystem : public IWindowSystem, public IScreenMetrics {
 public:
  WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) override;
  std::uint32_t WindowProcessId(WindowHandle window) override;
  std::uint32_t CurrentProcessId() override;
  ScreenRect WindowScreenRect(WindowHandle window) override;

  double TwipsPerPixelX() const override;
  double TwipsPerPixelY() const override;
};

}  // namespace tessaly::win
