// Window subclassing: chosen messages of a window go to one handler first. Refused for a window
// that is not there, a window of another process, and a message another handler already claims.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessaly::win {

class WindowSubclass {
 public:
  // The handler's result ends the message; an empty result passes it on to the window.
  using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wparam, LPARAM lparam)>;

  // Empty when refused.
  static std::unique_ptr<WindowSubclass> try_attach(HWND window, std::vector<UINT> messages, Handler handler);
  ~WindowSubclass();
  WindowSubclass(const WindowSubclass&) = delete;
  WindowSubclass& operator=(const WindowSubclass&) = delete;

  HWND window() const { return window_; }

 private:
  WindowSubclass(HWND window, std::vector<UINT> messages, Handler handler);
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);

  HWND window_;
  std::vector<UINT> messages_;
  Handler handler_;
};

}  // namespace tessaly::win
