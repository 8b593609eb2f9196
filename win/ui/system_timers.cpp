// Thread timers by id: the timer procedure finds the callback of the id that fired.
#include "win/ui/system_timers.h"

#include <windows.h>

#include <map>
#include <memory>

#include "host/callback_depth.h"
#include "host/host_error.h"

namespace tessaly::win {

namespace {

using Callback = std::shared_ptr<std::function<void()>>;

std::map<UINT_PTR, Callback>& Running() {
  static std::map<UINT_PTR, Callback> running;
  return running;
}

void CALLBACK Elapsed(HWND, UINT, UINT_PTR id, DWORD) {
  CallbackScope call;
  const auto it = Running().find(id);
  if (it == Running().end()) return;
  Callback callback = it->second;  // held for the call: the callback may release its timer
  try {
    (*callback)();
  } catch (...) {
    // A timer's failure stays with it.
  }
}

class ThreadTimer final : public ITimer {
 public:
  explicit ThreadTimer(std::function<void()> elapsed)
      : callback_(std::make_shared<std::function<void()>>(std::move(elapsed))) {}
  ~ThreadTimer() override { Stop(); }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  void SetInterval(std::int32_t milliseconds) override {
    if (milliseconds <= 0) return Stop();
    const UINT_PTR id = ::SetTimer(nullptr, id_, static_cast<UINT>(milliseconds), Elapsed);
    if (id == 0) throw HostError(static_cast<std::int32_t>(::GetLastError()), "The timer cannot be started.", "SetTimer");
    id_ = id;
    Running()[id_] = callback_;
  }

 private:
  void Stop() noexcept {
    if (id_ == 0) return;
    ::KillTimer(nullptr, id_);
    Running().erase(id_);
    id_ = 0;
  }

  Callback callback_;
  UINT_PTR id_ = 0;
};

}  // namespace

std::unique_ptr<ITimer> Win32Timers::CreateTimer(std::function<void()> elapsed) {
  return std::make_unique<ThreadTimer>(std::move(elapsed));
}

}  // namespace tessaly::win
