// A system timer owned by an object: it runs on the owner's window and is killed with the object.
// An object holds at most kMaxPerOwner of them.
#pragma once

#include <windows.h>


namespace tessaly::win {

class WindowTimer {
 public:
  static constexpr int kMaxPerOwner = 10;

  WindowTimer() = default;
  // `slot` (0 .. kMaxPerOwner - 1) tells the owner's timers apart on its window.
  void attach(HWND window, int slot = 0) {
    stop();
    window_ = window;
    id_ = kFirstId + (slot >= 0 && slot < kMaxPerOwner ? slot : 0);
  }
  ~WindowTimer() { stop(); }
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  // Starting again replaces the period.
  bool start(int period_ms) {
    if (!window_ || period_ms <= 0) return false;
    running_ = ::SetTimer(window_, id_, static_cast<UINT>(period_ms), nullptr) != 0;
    return running_;
  }
  void stop() {
    if (running_ && ::IsWindow(window_)) ::KillTimer(window_, id_);
    running_ = false;
  }
  bool running() const { return running_; }
  // Whether a WM_TIMER's id is this timer's.
  bool owns(WPARAM id) const { return running_ && id == id_; }

 private:
  static constexpr UINT_PTR kFirstId = 0x7E50;
  HWND window_ = nullptr;
  UINT_PTR id_ = kFirstId;
  bool running_ = false;
};

}  // namespace tessaly::win
