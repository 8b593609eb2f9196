// A hidden top-level window that hears the system's colour and setting broadcasts, which child
// windows such as the calendar and the tag never receive.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace tessaly::win {

// Whether the system's high-contrast mode is on now.
bool SystemHighContrast();

class SystemChangeWatch {
 public:
  static constexpr const wchar_t* kClassName = L"TessalySystemWatch";

  // Calls `changed` on WM_SYSCOLORCHANGE and WM_SETTINGCHANGE; empty when no window can be made.
  static std::unique_ptr<SystemChangeWatch> try_create(std::function<void()> changed);
  ~SystemChangeWatch();
  SystemChangeWatch(const SystemChangeWatch&) = delete;
  SystemChangeWatch& operator=(const SystemChangeWatch&) = delete;

  HWND hwnd() const { return window_; }

 private:
  SystemChangeWatch() = default;
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  std::function<void()> changed_;
};

}  // namespace tessaly::win
