// The stand-in desktop: a tree of windows with their class, owning process, rectangles, styles and
// visibility, displays with their resolution, the mouse cursor, and a help viewer that records the
// topics it was asked to show.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
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
    WindowHandle handle = 0;
    std::string class_name;
    std::uint32_t process = 0;
    ScreenRect rect;          // top-level: on screen; child: in the parent's client coordinates
    WindowHandle parent = 0;  // 0: top-level
    ScreenRect frame;         // thickness of the non-client edge on each side
    std::uint32_t style = 0, ex_style = 0;
    bool visible = true;
    bool repaint_suppressed = false;
    int suppressions = 0;     // times repainting was suppressed
    int moves = 0, hides = 0;  // times the window was moved or sized, and hidden while shown
  };
  struct Watch {
    WindowHandle window = 0;
    ViewWatchCalls calls;
  };
  struct Display {
    ScreenRect rect;
    double dpi_x = 96, dpi_y = 96;
  };

  // Adds a top-level window in z-order below those already there.
  Window& AddWindow(WindowHandle handle, std::string class_name, std::uint32_t process, ScreenRect rect);
  // Adds a child window below its siblings; rect in the parent's client coordinates.
  Window& AddChild(WindowHandle parent, WindowHandle handle, std::string class_name, ScreenRect rect);
  // Puts the window on top of its siblings.
  void BringToTop(WindowHandle handle);
  void RemoveWindow(WindowHandle handle);  // with its children
  Window& Get(WindowHandle handle);
  const Window& Get(WindowHandle handle) const;
  bool Exists(WindowHandle handle) const;
  WindowHandle NewHandle() { return next_handle_ += 0x10; }
  // Every display at one resolution (96: 15 twips per pixel, 144: 10).
  void SetDpi(double dpi);
  // The display that holds a screen point, or the nearest one.
  const Display& DisplayAt(ScreenPoint p) const;

  WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) override;
  WindowHandle FindChildWindow(WindowHandle parent, const std::string& class_name, WindowHandle after) override;
  std::uint32_t WindowProcessId(WindowHandle window) override { return Get(window).process; }
  std::uint32_t CurrentProcessId() override { return current_process; }
  ScreenRect WindowScreenRect(WindowHandle window) override;
  ScreenRect ClientRect(WindowHandle window) override;
  ScreenPoint ClientToScreen(WindowHandle window, ScreenPoint client) override;
  ScreenPoint ScreenToClient(WindowHandle window, ScreenPoint screen) override;
  ScreenRect MonitorRect(WindowHandle window) override { return DisplayOf(window).rect; }
  ScreenPoint CursorPos() override { return cursor; }
  WindowHandle WindowFromPoint(ScreenPoint screen) override;
  void SetWindowStyles(WindowHandle window, std::uint32_t style, std::uint32_t ex_style) override;
  void SetParent(WindowHandle window, WindowHandle parent) override;
  WindowHandle Parent(WindowHandle window) override { return Get(window).parent; }
  // A window moved or sized hears of it, as the system tells it with its new position.
  void MoveWindow(WindowHandle window, ScreenRect rect) override;
  void ShowWindow(WindowHandle window, bool show) override;
  void SetRepaintSuppressed(WindowHandle window, bool suppressed) override;
  std::unique_ptr<IWindowWatch> WatchView(WindowHandle window, ViewWatchCalls calls) override;
  // The window scrolled or zoomed under the user's hand: its watches hear of it.
  void Scrolled(WindowHandle window);
  // The window painted its content again: its watches hear of it.
  void Repainted(WindowHandle window);
  int Repaints(WindowHandle window) const;
  // A child moved, sized or hidden uncovers part of its parent, which paints again once the
  // message loop is idle, before any timer: PaintPending delivers those paints and tells how many.
  void Invalidate(WindowHandle window) { invalid_.insert(window); }
  int PaintPending();
  std::size_t Watches(WindowHandle window) const;

  double LogicalPixelsPerInchX(WindowHandle window) const override { return DisplayOf(window).dpi_x; }
  double LogicalPixelsPerInchY(WindowHandle window) const override { return DisplayOf(window).dpi_y; }

  void DisplayHelpTopic(const std::string& help_file, const std::string& topic) override;
  void OpenAddress(const std::string& address) override;

  std::vector<Window> windows;  // in z-order: of two siblings the earlier lies on top
  std::vector<Display> displays{Display{{0, 0, 1920, 1080}}};
  ScreenPoint cursor;
  std::uint32_t current_process = 4242;
  WindowHandle active_window = 0;  // the window with activation; showing never changes it
  std::vector<std::string> help_shown;
  std::vector<std::string> addresses_opened;
  bool fail_help = false;

 private:
  const Display& DisplayOf(WindowHandle window) const;
  WindowHandle Deepest(WindowHandle parent, ScreenPoint p);
  // The watches' calls of one kind for the window, taken before any runs: a call may end a watch.
  std::vector<std::function<void()>> Due(WindowHandle window, std::function<void()> ViewWatchCalls::*which) const;
  WindowHandle next_handle_ = 0x70000;
  // Shared with the watches, which may outlive the desktop.
  std::shared_ptr<std::map<int, Watch>> watches_ = std::make_shared<std::map<int, Watch>>();
  int next_watch_ = 1;
  std::map<WindowHandle, int> repaints_;
  std::set<WindowHandle> invalid_;
};

}  // namespace tessaly::sim
