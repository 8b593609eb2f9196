// Showing a form over a host window: a non-activating topmost child at a screen point, and hiding
// it back under its owner.
#pragma once

#include "host/window_system.h"

namespace tessaly {

// Gives the form exactly the child, clip-siblings and clip-children styles and the no-activate and
// topmost extended styles, makes it a child of `parent` (unless it is one already) at the client
// point matching the screen point, keeps its size and shows it on top of its siblings without
// taking the focus from the host.
// Rethrows when a step fails, after hiding the form and giving it back to `home`, so that a
// failed showing never leaves it inside the host's window.
void ShowFormAtScreenPoint(IWindowSystem& windows, WindowHandle form, WindowHandle parent, ScreenPoint at,
                           WindowHandle home);

// Hides the form and makes `owner` its parent, unless it is already or `owner` is 0; each step
// fails on its own.
void HideForm(IWindowSystem& windows, WindowHandle form, WindowHandle owner);

}  // namespace tessaly
