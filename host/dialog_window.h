// A modal dialog as its logic sees it: its controls by number, the events it raises, and the
// service that opens one dialog over another.
#pragma once

#include <string>

#include "host/window_system.h"

namespace tessaly {

// The controls of one open dialog. Every call may fail (throws HostError).
class IDialogWindow {
 public:
  virtual ~IDialogWindow() = default;
  virtual WindowHandle Handle() = 0;
  // Its large and small window icons, from the add-in's icon resource of that name.
  virtual void SetIcons(const std::string& icon_resource) = 0;

  virtual std::string Text(int control) = 0;
  virtual void SetText(int control, const std::string& text) = 0;
  // Check boxes: 1 checked, 0 unchecked.
  virtual int Value(int control) = 0;
  virtual void SetValue(int control, int value) = 0;
  virtual void SetVisible(int control, bool visible) = 0;
  virtual void SetFocus(int control) = 0;
  // Vertical position inside the dialog, in twips.
  virtual int Top(int control) = 0;
  virtual void SetTop(int control, int twips) = 0;

  // List and combo boxes.
  virtual void Clear(int control) = 0;
  virtual void AddItem(int control, const std::string& text) = 0;
  virtual void RemoveItem(int control, int index) = 0;
  virtual int ItemCount(int control) = 0;
  virtual std::string Item(int control, int index) = 0;
  virtual int ListIndex(int control) = 0;  // -1: nothing selected
  virtual void SetListIndex(int control, int index) = 0;

  // Ends the modal loop; the dialog's window goes.
  virtual void Close() = 0;
};

// What a dialog's window tells its logic.
class IDialogHandler {
 public:
  virtual ~IDialogHandler() = default;
  // The window exists, its controls empty: fill them. The window outlives every later call.
  virtual void Load(IDialogWindow& window) = 0;
  // A button pressed, or a list box item picked by the user.
  virtual void Click(int control) = 0;
  // The Cancel button, the Escape key or the close box.
  virtual void Cancel() = 0;
};

enum class DialogKind { Settings, DateFormat, DefaultDate };

// Creates a dialog's window and runs it modally over its owner until the logic closes it.
class IDialogHost {
 public:
  virtual ~IDialogHost() = default;
  virtual void ShowModal(DialogKind kind, IDialogHandler& handler, WindowHandle owner) = 0;
};

}  // namespace tessaly
