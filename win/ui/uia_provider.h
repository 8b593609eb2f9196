// The UI Automation provider of a window that shows a table of cells, over a portable accessible
// source: the table as a calendar with its column headers and one list item per cell, handed out
// on WM_GETOBJECT for UiaRootObjectId.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "host/accessible.h"
#include "win/com_handles.h"
#include "win/handles.h"
#include "win/ui/uia_declarations.h"

namespace tessaly::win {

// What every element handed out shares with the window's answer. Once the window has gone the
// source is null and every element answers UIA_E_ELEMENTNOTAVAILABLE.
struct UiaTree {
  HWND window = nullptr;
  IAccessibleSource* source = nullptr;
  uia::CoreFunctions core;
};

// Answers WM_GETOBJECT for one window and tells UI Automation what the source's listener hears.
// uiautomationcore.dll is loaded at the first request; where it or its functions are missing the
// answer is nothing, so the window's MSAA object alone serves.
class UiaAnswer final : public IAccessibleListener {
 public:
  UiaAnswer(HWND window, IAccessibleSource& source);
  ~UiaAnswer() override;
  UiaAnswer(const UiaAnswer&) = delete;
  UiaAnswer& operator=(const UiaAnswer&) = delete;

  // The message's result when it asks for the UI Automation root; empty otherwise.
  std::optional<LRESULT> on_get_object(WPARAM wparam, LPARAM lparam);
  // The table's own element; empty once disconnected.
  com_ptr<IRawElementProviderSimple> root() const;
  // The window is going: UI Automation lets go of the elements, which answer
  // UIA_E_ELEMENTNOTAVAILABLE from now on. Safe to call more than once.
  void disconnect();
  // Calls these instead of the system's (a test listening in).
  void use(const uia::CoreFunctions& core);

  void on_focus_moved(int child) override;
  void on_selection_changed(int child) override;
  void on_announcement(const std::string& text) override;

 private:
  bool load_core();

  std::shared_ptr<UiaTree> tree_;
  unique_hmodule library_;
  bool loaded_ = false;
};

}  // namespace tessaly::win
