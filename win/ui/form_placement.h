// Placing a form over the host: a non-activating topmost child of a host window at a screen
// point, and back to hidden under its owner. Shared by the calendar form and the tag.
#pragma once

#include <windows.h>

namespace tessaly::win {

// The form's style becomes exactly WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN and its extended
// style exactly WS_EX_NOACTIVATE | WS_EX_TOPMOST; its top-left corner goes to the screen point.
// False when either window is gone.
bool ShowFormAtScreenPoint(HWND form, HWND parent, int x, int y);

// Hides the form and makes `owner` its parent again (nothing when the owner is gone).
void HideForm(HWND form, HWND owner);

}  // namespace tessaly::win
