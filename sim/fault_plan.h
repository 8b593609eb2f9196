// Fault injection for the stand-in host and the add-in's own collaborators: which members fail,
// once or always, and how often each member was entered.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "host/host_error.h"

namespace tessaly::sim {

class FaultPlan {
 public:
  void FailNext(const std::string& member) { fail_next_.insert(member); }
  void FailAlways(const std::string& member) { fail_always_.insert(member); }
  void Clear() {
    fail_next_.clear();
    fail_always_.clear();
  }

  // Every member calls this first: it counts the call and throws when the member is to fail.
  void Enter(const std::string& member) {
    ++calls_[member];
    ++total_calls_;
    const bool once = fail_next_.erase(member) > 0;
    if (!once && !fail_always_.count(member)) return;
    ++injected_;
    throw HostError(-2147352567, "injected failure: " + member);
  }

  std::int64_t Calls(const std::string& member) const {
    auto it = calls_.find(member);
    return it == calls_.end() ? 0 : it->second;
  }
  std::int64_t TotalCalls() const { return total_calls_; }
  std::int64_t Injected() const { return injected_; }
  const std::map<std::string, std::int64_t>& CallCounts() const { return calls_; }
  void ResetCalls() {
    calls_.clear();
    total_calls_ = 0;
  }

 private:
  std::set<std::string> fail_next_, fail_always_;
  std::map<std::string, std::int64_t> calls_;
  std::int64_t total_calls_ = 0, injected_ = 0;
};

}  // namespace tessaly::sim
