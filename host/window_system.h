// The desktop's windows as the add-in asks about them: top-level windows by class, their owning
// process, and their rectangles on screen.
#pragma once

#include <cstdint>
#include <string>

#include "host/excel.h"

namespace tessaly {

struct ScreenRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;
  // The next top-level window of the class after `after` (0: the first one); 0 when none is left.
  virtual WindowHandle FindTopLevelWindow(const std::string& class_name, WindowHandle after) = 0;
  // The id of the process that owns the window.
  virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
  virtual std::uint32_t CurrentProcessId() = 0;
  // The window's outer rectangle in screen pixels.
  virtual ScreenRect WindowScreenRect(WindowHandle window) = 0;
};

}  // namespace tessaly
