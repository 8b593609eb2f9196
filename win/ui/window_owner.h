// The object a window procedure hands its messages to: the one the window was created for.
#pragma once

#include <windows.h>

namespace tessaly::win {

// The owner arrives as the creation parameter at WM_NCCREATE and is kept in the window's user
// data; at WM_NCDESTROY the window forgets it, so no message after that reaches a freed object.
// Null for the messages before WM_NCCREATE.
template <class Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  }
  auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner && message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return owner;
}

}  // namespace tessaly::win
