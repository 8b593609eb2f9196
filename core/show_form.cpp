// Showing a form over a host window without activating it, and hiding it again.
#include "core/show_form.h"

#include "host/error_policy.h"

namespace tessaly {

void ShowFormAtScreenPoint(IWindowSystem& windows, WindowHandle form, WindowHandle parent, ScreenPoint at,
                           WindowHandle home) {
  try {
    windows.SetWindowStyles(form, ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost);
    const ScreenPoint client = windows.ScreenToClient(parent, at);
    const ScreenRect size = windows.WindowScreenRect(form);
    windows.SetParent(form, parent);
    windows.MoveWindow(form, {client.x, client.y, client.x + size.width(), client.y + size.height()});
    windows.ShowWindow(form, true);
  } catch (...) {
    HideForm(windows, form, home);
    throw;
  }
}

void HideForm(IWindowSystem& windows, WindowHandle form, WindowHandle owner) {
  SkipFailures step;
  step([&] { windows.ShowWindow(form, false); });
  step([&] {
    if (owner) windows.SetParent(form, owner);
  });
}

}  // namespace tessaly
