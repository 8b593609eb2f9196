// The system clock as the add-in sees it: local date and time as a host serial date.
#pragma once

namespace tessaly {

class IClock {
 public:
  virtual ~IClock() = default;
  // Local date and time now: days from 30 December 1899, the time of day as the fraction.
  virtual double now() const = 0;
};

}  // namespace tessaly
