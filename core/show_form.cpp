// Showing a form over a host window without activating it.
#include "core/show_form.h"

namespace tessaly {

void ShowFormAtScreenPoint(IWindowSystem& windows, WindowHandle form, WindowHandle parent, ScreenPoint at) {
  windows.SetWindowStyles(form, ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost);
  ScreenPoint client = windows.ScreenToClient(parent, at);
  const ScreenRect size = windows.WindowScreenRect(form);
  windows.SetParent(form, parent);
  windows.MoveWindow(form, {client.x, client.y, client.x + size.width(), client.y + size.height()});
  windows.ShowWindow(form, true);
}

}  // namespace tessaly
