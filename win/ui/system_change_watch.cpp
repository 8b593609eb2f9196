// The hidden window that passes the system's colour and setting changes on.
#include "win/ui/system_change_watch.h"

#include "host/callback_depth.h"
#include "win/this_module.h"
#include "win/ui/window_class.h"
#include "win/ui/window_owner.h"

namespace tessaly::win {

bool SystemHighContrast() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof hc;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::unique_ptr<SystemChangeWatch> SystemChangeWatch::try_create(std::function<void()> changed) {
  if (!RegisterWindowClass(kClassName, &SystemChangeWatch::window_proc, IDC_ARROW)) return nullptr;
  std::unique_ptr<SystemChangeWatch> w(new SystemChangeWatch());
  w->changed_ = std::move(changed);
  // Top-level and never shown: broadcasts reach it, message-only windows they would not.
  if (!::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisModule(), w.get()))
    return nullptr;
  return w;
}

SystemChangeWatch::~SystemChangeWatch() {
  if (window_ && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

LRESULT CALLBACK SystemChangeWatch::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CallbackScope call;  // the handler may reach the add-in's teardown
  SystemChangeWatch* self = WindowOwner<SystemChangeWatch>(window, message, lparam);
  if (self && message == WM_NCCREATE) self->window_ = window;
  if (self && (message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) && self->changed_) self->changed_();
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace tessaly::win
