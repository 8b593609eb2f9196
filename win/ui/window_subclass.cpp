// Window subclassing through the common controls' subclass chain, with a claim on each message.
#include "win/ui/window_subclass.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>

#include "host/callback_depth.h"

namespace tessaly::win {

namespace {

// Messages claimed per window; everything runs on the user-interface thread.
std::map<HWND, std::set<UINT>>& claims() {
  static std::map<HWND, std::set<UINT>> c;
  return c;
}

bool claimed(HWND window, const std::vector<UINT>& messages) {
  const auto it = claims().find(window);
  if (it == claims().end()) return false;
  return std::any_of(messages.begin(), messages.end(), [&](UINT m) { return it->second.count(m) != 0; });
}

}  // namespace

std::unique_ptr<WindowSubclass> WindowSubclass::try_attach(HWND window, std::vector<UINT> messages, Handler handler) {
  if (!window || !::IsWindow(window) || !handler || messages.empty()) return nullptr;
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId() || claimed(window, messages)) return nullptr;
  std::unique_ptr<WindowSubclass> s(new WindowSubclass(window, std::move(messages), std::move(handler)));
  if (!::SetWindowSubclass(window, &WindowSubclass::proc, reinterpret_cast<UINT_PTR>(s.get()),
                           reinterpret_cast<DWORD_PTR>(s.get())))
    return nullptr;
  claims()[window].insert(s->messages_.begin(), s->messages_.end());
  return s;
}

WindowSubclass::WindowSubclass(HWND window, std::vector<UINT> messages, Handler handler)
    : window_(window), messages_(std::move(messages)), handler_(std::move(handler)) {}

WindowSubclass::~WindowSubclass() {
  if (::IsWindow(window_)) ::RemoveWindowSubclass(window_, &WindowSubclass::proc, reinterpret_cast<UINT_PTR>(this));
  auto it = claims().find(window_);
  if (it == claims().end()) return;
  for (UINT m : messages_) it->second.erase(m);
  if (it->second.empty()) claims().erase(it);
}

LRESULT CALLBACK WindowSubclass::proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR data) {
  auto* self = reinterpret_cast<WindowSubclass*>(data);
  if (message == WM_NCDESTROY) {
    // The window goes first: its claims go with it, and the owner finds it gone.
    ::RemoveWindowSubclass(window, &WindowSubclass::proc, reinterpret_cast<UINT_PTR>(self));
    claims().erase(window);
    return ::DefSubclassProc(window, message, wparam, lparam);
  }
  if (std::find(self->messages_.begin(), self->messages_.end(), message) != self->messages_.end()) {
    CallbackScope call;  // the handler may reach the add-in's teardown
    if (std::optional<LRESULT> r = self->handler_(message, wparam, lparam)) return *r;
  }
  return ::DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace tessaly::win
