// Showing a form over a host window: a non-activating topmost child at a screen point.
#pragma once

#include "host/window_system.h"

namespace tessaly {

// Gives the form exactly the child, clip-siblings and clip-children styles and the no-activate and
// topmost extended styles, makes it a child of `parent` at the client point matching the screen
// point, keeps its size and shows it without taking the focus from the host.
void ShowFormAtScreenPoint(IWindowSystem& windows, WindowHandle form, WindowHandle parent, ScreenPoint at);

}  // namespace tessaly
