// How a handler treats failing host calls: skip the statement and go on, or stop the handler.
// Every callback the host can reach runs its body through one of these, so no error ever escapes.
#pragma once

#include <optional>
#include <type_traits>
#include <utility>

#include "host/host_error.h"

namespace tessaly {

// Runs statements one at a time; a statement that fails is skipped and the next one runs.
//   SkipFailures step;
//   step([&] { a(); });
//   step([&] { b(); });   // runs even when a() failed
class SkipFailures {
 public:
  template <class F>
  bool operator()(F&& statement) noexcept {
    try {
      std::forward<F>(statement)();
      return true;
    } catch (const HostError& e) {
      ++failures_;
      refused_ = refused_ || e.refused();
      return false;
    } catch (...) {
      ++failures_;
      return false;
    }
  }
  int failures() const { return failures_; }
  // Whether the host turned a statement away unheard (HostError::refused).
  bool refused() const { return refused_; }

 private:
  int failures_ = 0;
  bool refused_ = false;
};

// Runs a whole handler body; the first failure ends it. Returns true when the body ran to its end.
template <class F>
bool StopOnFailure(F&& body) noexcept {
  try {
    std::forward<F>(body)();
    return true;
  } catch (...) {
    return false;
  }
}

// Evaluates one expression; an empty optional when it failed.
template <class F, class R = std::invoke_result_t<F>>
std::optional<R> Attempt(F&& expression) noexcept {
  try {
    return std::optional<R>(std::forward<F>(expression)());
  } catch (...) {
    return std::nullopt;
  }
}

// Evaluates one expression on a member some hosts lack: `absent` when the host has no such member,
// an empty optional when the call failed otherwise.
template <class F, class R = std::invoke_result_t<F>>
std::optional<R> AttemptMember(F&& expression, R absent) noexcept {
  try {
    return std::optional<R>(std::forward<F>(expression)());
  } catch (const HostError& e) {
    if (e.missing_member()) return std::optional<R>(std::move(absent));
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace tessaly
