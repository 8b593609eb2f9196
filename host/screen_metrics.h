// The screen's resolution as the forms measure it: logical pixels per inch of the display that
// holds a window, and the twips (1/1440 inch) per screen pixel that follow from it.
#pragma once

#include "host/excel.h"

namespace tessaly {

class IScreenMetrics {
 public:
  virtual ~IScreenMetrics() = default;
  // Logical pixels per inch of the display holding the window (0: the primary display); 96 on a
  // display at 100 %, 144 at 150 %. May report 0 or nonsense: callers clamp.
  virtual double LogicalPixelsPerInchX(WindowHandle window) const = 0;
  virtual double LogicalPixelsPerInchY(WindowHandle window) const = 0;
  // 15 at 96 pixels per inch.
  double TwipsPerPixelX(WindowHandle window = 0) const { return 1440.0 / LogicalPixelsPerInchX(window); }
  double TwipsPerPixelY(WindowHandle window = 0) const { return 1440.0 / LogicalPixelsPerInchY(window); }
};

}  // namespace tessaly
