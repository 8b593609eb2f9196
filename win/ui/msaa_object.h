// The MSAA IAccessible of our windows: one over a portable accessible source, handed out on
// WM_GETOBJECT for OBJID_CLIENT, and the system's own proxy under a name of ours.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "host/accessible.h"

namespace tessaly::win {

// Answers WM_GETOBJECT for one window, and tells readers what the source's listener hears. A reader
// may keep the object after the window or the source has gone: it then answers every call with
// RPC_E_DISCONNECTED.
class MsaaAnswer final : public IAccessibleListener {
 public:
  // Posted to the window by a reader's default action, done there once the call has returned
  // (the action may close the window). wparam: the child index, -1 the window's own.
  static constexpr UINT kDefaultActionMessage = WM_APP + 0x2A;

  MsaaAnswer(HWND window, IAccessibleSource& source);
  ~MsaaAnswer() override;
  MsaaAnswer(const MsaaAnswer&) = delete;
  MsaaAnswer& operator=(const MsaaAnswer&) = delete;

  // The message's result when it asks for the client object; empty otherwise.
  std::optional<LRESULT> on_get_object(WPARAM wparam, LPARAM lparam);
  // kDefaultActionMessage arrived.
  void on_default_action(WPARAM child);

  // WinEvents: focus, selection, and a new name of the window's object.
  void on_focus_moved(int child) override;
  void on_selection_changed(int child) override;
  void on_announcement(const std::string& text) override;

 private:
  HWND window_;
  std::shared_ptr<IAccessibleSource*> source_;
};

// The system's proxy of the window's client (OBJID_CLIENT) with our name for it, where the system
// would give none or the wrong one (a combo box's proxy gives its value). Empty for other objects.
std::optional<LRESULT> AnswerWithName(HWND window, WPARAM wparam, LPARAM lparam, const std::string& name);

}  // namespace tessaly::win
