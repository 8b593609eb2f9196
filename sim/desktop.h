// The stand-in desktop: top-level windows with their class, owning process and screen rectangle,
// a screen of fixed resolution, and a help viewer that records the topics it was asked to show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/help_shell.h"
#include "host/host_error.h"
#include "host/screen_metrics.h"
#include "host/window_system.h"

namespace tessaly::sim {

class SimDesktop : public IWindowSystem, public IScreenMetrics, public IHelpShell {
 public:
  struct Window {
    WindowHandle handle;
    std::string class_name;
    std::uint32_t process;
    ScreenRect rect;
  };

  // Adds a top-level window in z-order after those already there.
  void AddWindow(WindowHandle handle, std::string class_name, std::uint32_t process, ScreenRect rect) {
    windows.push_back({handle, std::move(class_name), process, rect});
  }

  WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) override {
    bool passed = after == 0;
    for (const Window& w : windows) {
      if (passed && w.class_name == class_name) return w.handle;
      if (w.handle == after) passed = true;
    }
    return 0;
  }
  std::uint32_t WindowProcessId(WindowHandle window) override { return Find(window).process; }
  std::uint32_t CurrentProcessId() override { return current_process; }
  ScreenRect WindowScreenRect(WindowHandle window) override { return Find(window).rect; }

  double TwipsPerPixelX() const override { return twips_per_pixel_x; }
  double TwipsPerPixelY() const override { return twips_per_pixel_y; }

  void DisplayHelpTopic(const std::string& help_file, const std::string& topic) override {
    if (fail_help) throw HostError(2, "The system cannot find the file specified.");
    help_shown.push_back(help_file + "::/" + topic);
  }

  std::vector<Window> windows;
  std::uint32_t current_process = 4242;
  double twips_per_pixel_x = 15, twips_per_pixel_y = 15;  // 96 dots per inch
  std::vector<std::string> help_shown;
  bool fail_help = false;

 private:
  const Window& Find(WindowHandle handle) const {
    for (const Window& w : windows)
      if (w.handle == handle) return w;
    throw HostError(1400, "Invalid window handle.");
  }
};

}  // namespace tessaly::sim
