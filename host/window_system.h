// The desktop's windows as the add-in asks about and moves them: windows by class, their owning
// process, rectangles and coordinates, the cursor and the window under it, styles, parents and
// showing without activation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/excel.h"

namespace tessaly {

struct ScreenRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenPoint {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Window styles by their Win32 values, so portable code can state exactly what a window carries.
namespace ws {
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kClipSiblings = 0x04000000;
inline constexpr std::uint32_t kClipChildren = 0x02000000;
inline constexpr std::uint32_t kExTopmost = 0x00000008;
inline constexpr std::uint32_t kExNoActivate = 0x08000000;
}  // namespace ws

// A watch on a window's messages; destroying it ends the watch.
class IWindowWatch {
 public:
  virtual ~IWindowWatch() = default;
};

// What a view watch reports. Neither call may destroy the watch.
struct ViewWatchCalls {
  // The user scrolled or zoomed the content (its scroll bars, the mouse wheel, Ctrl+wheel).
  std::function<void()> scrolled;
  // The window was repainted, moved or resized: its cells may lie elsewhere now (a zoom from the
  // status bar, a column's width dragged, rows hidden, panes frozen, the ribbon collapsed), or
  // nothing moved at all. Called often, so whatever it does must be cheap.
  std::function<void()> changed;
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;
  // The next top-level window of the class after `after` (0: the first one); 0 when none is left.
  virtual WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) = 0;
  // The next child of `parent` of the class after `after` (0: the first one); 0 when none is left.
  virtual WindowHandle FindChildWindow(WindowHandle parent, const std::string& class_name, WindowHandle after) = 0;
  // The id of the process that owns the window.
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
  // The window's outer rectangle in screen pixels.
  virtual ScreenRect WindowScreenRect(WindowHandle window) = 0;
  // The window's client area in its own client coordinates (left and top 0).
  virtual ScreenRect ClientRect(WindowHandle window) = 0;
  virtual ScreenPoint ClientToScreen(WindowHandle window, ScreenPoint client) = 0;
  virtual ScreenPoint ScreenToClient(WindowHandle window, ScreenPoint screen) = 0;
  // The rectangle, in screen pixels, of the display that holds the window (the nearest one when
  // the window lies on none).
  virtual ScreenRect MonitorRect(WindowHandle window) = 0;
  virtual ScreenPoint CursorPos() = 0;
  // The deepest visible window at the screen point; 0 when none.
  virtual WindowHandle WindowFromPoint(ScreenPoint screen) = 0;
  // Replaces the window's style and extended style (ws:: values).
  virtual void SetWindowStyles(WindowHandle window, std::uint32_t style, std::uint32_t ex_style) = 0;
  virtual void SetParent(WindowHandle window, WindowHandle parent) = 0;
  // The window's parent; 0 for a top-level window.
  virtual WindowHandle Parent(WindowHandle window) = 0;
  // Moves and sizes the window; for a child window, in its parent's client coordinates.
  virtual void MoveWindow(WindowHandle window, ScreenRect rect) = 0;
  // Shows the window without activating it, or hides it.
  virtual void ShowWindow(WindowHandle window, bool show) = 0;
  // While suppressed the window draws nothing; lifting it redraws the window's content at once,
  // before the call returns (not its frame, nor any other window's).
  virtual void SetRepaintSuppressed(WindowHandle window, bool suppressed) = 0;
  // Watches what the workbook window shows, which the host reports by no event, until the watch
  // is destroyed; the messages always go on to the window. Throws when the window cannot be watched.
  virtual std::unique_ptr<IWindowWatch> WatchView(WindowHandle window, ViewWatchCalls calls) = 0;
};

}  // namespace tessaly
