// The stand-in Excel's ribbon strip: the buttons an add-in's customUI XML describes, in a band of
// their own at the top of the main window, each calling the add-in's callbacks by name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tessaly::sim::exe {

class RibbonStrip {
 public:
  virtual ~RibbonStrip() = default;
  // The centre of the button with that control id in screen pixels; empty when there is none.
  virtual std::optional<POINT> ButtonCentreOnScreen(const std::string& id) const = 0;
};

}  // namespace tessaly::sim::exe
