// How deeply the host's calls into the add-in are nested on the user-interface thread, and work
// held back until the outermost of them returns (a teardown must not pull objects out from under
// a handler further up the stack, which pending messages handled inside a callback can cause).
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace tessaly {

namespace callback_detail {
struct State {
  int depth = 0;
  std::vector<std::function<void()>> deferred;
};
inline State& state() {
  static State s;
  return s;
}
// Runs what waited; work it defers in turn runs too, each piece once and never twice.
inline void RunDeferred() noexcept {
  State& s = state();
  while (!s.deferred.empty() && s.depth == 0) {
    std::function<void()> work = std::move(s.deferred.front());
    s.deferred.erase(s.deferred.begin());
    ++s.depth;
    try {
      work();
    } catch (...) {
      // Nothing reaches the host.
    }
    --s.depth;
  }
}
}  // namespace callback_detail

// Held by every entry from the host for the length of the call.
class CallbackScope {
 public:
  CallbackScope() noexcept { ++callback_detail::state().depth; }
  ~CallbackScope() {
    if (--callback_detail::state().depth == 0) callback_detail::RunDeferred();
  }
  CallbackScope(const CallbackScope&) = delete;
  CallbackScope& operator=(const CallbackScope&) = delete;
};

inline int CallbackDepth() { return callback_detail::state().depth; }

// Runs the work now when no host call is on the stack, else once the outermost returns.
inline void WhenOutermost(std::function<void()> work) {
  if (CallbackDepth() == 0) {
    callback_detail::state().deferred.push_back(std::move(work));
    callback_detail::RunDeferred();
    return;
  }
  callback_detail::state().deferred.push_back(std::move(work));
}

}  // namespace tessaly
