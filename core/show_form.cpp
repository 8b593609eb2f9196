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
    // Re-parenting is a third of a showing: a form already in the window stays.
    if (windows.Parent(form) != parent) windows.SetParent(form, parent);
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
    // A parent that cannot be told is set all the same: the form must not stay in a closing window.
    if (owner && Attempt([&] { return windows.Parent(form); }) != std::optional<WindowHandle>(owner))
      windows.SetParent(form, owner);
  });
}

}  // namespace tessaly
