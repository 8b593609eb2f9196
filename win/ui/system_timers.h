// Thread timers of the user-interface thread: each calls back through the thread's message loop.
#pragma once

#include "host/timers.h"

namespace tessaly::win {

class Win32Timers final : public ITimerFactory {
 public:
  std::unique_ptr<ITimer> CreateTimer(std::function<void()> elapsed) override;
};

}  // namespace tessaly::win
