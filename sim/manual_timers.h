// Timers for tests and the demo: nothing runs by itself; Elapse() lets time pass and calls back
// each running timer whose interval is up, in the order they fell due.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>

#include "host/host_error.h"
#include "host/timers.h"

namespace tessaly::sim {

class ManualTimers final : public ITimerFactory {
 public:
  std::unique_ptr<ITimer> CreateTimer(std::function<void()> elapsed) override {
    if (fail) throw HostError(8, "Not enough memory resources are available to process this command.", "SetTimer");
    const int id = ++next_id_;
    auto entry = std::make_shared<Entry>();
    entry->elapsed = std::move(elapsed);
    entries_[id] = entry;
    return std::make_unique<Timer>(*this, id);
  }

  // Lets the time pass; a callback may create, stop or release timers, its own included.
  void Elapse(std::int64_t milliseconds) {
    const std::int64_t end = now_ + milliseconds;
    for (;;) {
      int due_id = 0;
      std::int64_t due = end + 1;
      for (const auto& [id, e] : entries_)
        if (e->interval > 0 && e->next < due) due = e->next, due_id = id;
      if (due_id == 0) break;
      now_ = due;
      auto entry = entries_[due_id];  // held for the call
      entry->next += entry->interval;
      ++fired;
      entry->elapsed();
    }
    now_ = end;
  }
  // Running timers.
  std::size_t Running() const {
    return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(), [](const auto& e) { return e.second->interval > 0; }));
  }
  std::size_t Alive() const { return entries_.size(); }

  bool fail = false;
  int fired = 0;

 private:
  struct Entry {
    std::function<void()> elapsed;
    std::int32_t interval = 0;
    std::int64_t next = 0;
  };
  class Timer final : public ITimer {
   public:
    Timer(ManualTimers& owner, int id) : owner_(owner), id_(id) {}
    ~Timer() override { owner_.entries_.erase(id_); }
    void SetInterval(std::int32_t ms) override {
      auto& e = *owner_.entries_.at(id_);
      e.interval = ms > 0 ? ms : 0;
      e.next = owner_.now_ + e.interval;
    }

   private:
    ManualTimers& owner_;
    int id_;
  };

  std::map<int, std::shared_ptr<Entry>> entries_;
  std::int64_t now_ = 0;
  int next_id_ = 0;
};

}  // namespace tessaly::sim
