// The screen's resolution as the forms measure it: twips (1/1440 inch) per screen pixel.
#pragma once

namespace tessaly {

class IScreenMetrics {
 public:
  virtual ~IScreenMetrics() = default;
  virtual double TwipsPerPixelX() const = 0;  // 15 at 96 dots per inch
  virtual double TwipsPerPixelY() const = 0;
};

}  // namespace tessaly
