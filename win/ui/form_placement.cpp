// Forms shown as non-activating children of the host's windows.
#include "win/ui/form_placement.h"

namespace tessaly::win {

bool ShowFormAtScreenPoint(HWND form, HWND parent, int x, int y) {
  if (!::IsWindow(form) || !::IsWindow(parent)) return false;
  ::SetWindowLongPtrW(form, GWL_STYLE, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  ::SetWindowLongPtrW(form, GWL_EXSTYLE, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
  POINT at{x, y};
  ::ScreenToClient(parent, &at);
  if (::GetParent(form) != parent) ::SetParent(form, parent);
  return ::SetWindowPos(form, HWND_TOP, at.x, at.y, 0, 0,
                        SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW) != FALSE;
}

void HideForm(HWND form, HWND owner) {
  if (!::IsWindow(form)) return;
  ::ShowWindow(form, SW_HIDE);
  if (::IsWindow(owner) && ::GetParent(form) != owner) ::SetParent(form, owner);
}

}  // namespace tessaly::win
