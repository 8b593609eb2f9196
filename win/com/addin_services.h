// The Win32 services the portable add-in runs on, owned together for the life of the add-in.
#pragma once

#include <windows.h>

#include "addin/connect.h"
#include "win/com/controller_parts.h"
#include "win/ui/system_timers.h"
#include "win/win_clipboard.h"
#include "win/win_help_shell.h"
#include "win/win_settings.h"
#include "win/win_window_system.h"

namespace tessaly::win {

class AddInServices {
 public:
  AddInServices(HMODULE module, std::string addin_folder);
  AddInServices(const AddInServices&) = delete;
  AddInServices& operator=(const AddInServices&) = delete;

  ConnectServices Services();
  // The add-in whose windows the controller's parts make.
  void Bind(Connect& addin) { parts_.Bind(addin); }
  // Message boxes with no window active on this thread are modal to the host's main window.
  void SetHostWindow(std::function<HWND()> main_window) { messages_.set_host_window(std::move(main_window)); }

 private:
  RegistryUserSettings store_;
  Win32FileSystem files_;
  Win32ShellFolders shell_;
  Win32SystemInfo system_;
  Win32MessageBox messages_;
  Win32Locale locale_;
  Win32Clock clock_;
  Win32WindowSystem windows_;
  Win32HelpShell help_;
  Win32ControllerParts parts_;
  Win32Timers timers_;
  WinClipboard clipboard_;
  std::string addin_folder_;
};

}  // namespace tessaly::win
