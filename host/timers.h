// System timers that call back on the user-interface thread through its message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace tessaly {

class ITimer {
 public:
  virtual ~ITimer() = default;  // stops the timer; safe inside its own callback
  // Calls back every interval until stopped; 0 stops it. Starting again replaces the interval.
  virtual void SetInterval(std::int32_t milliseconds) = 0;
};

class ITimerFactory {
 public:
  virtual ~ITimerFactory() = default;
  // A stopped timer that calls `elapsed` each time its interval has passed; throws HostError.
  virtual std::unique_ptr<ITimer> CreateTimer(std::function<void()> elapsed) = 0;
};

}  // namespace tessaly
