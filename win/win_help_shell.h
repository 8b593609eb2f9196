// The help viewer on Windows (HTML Help, reached through hhctrl.ocx loaded at run time) and the
// shell's default browser and mail program.
#pragma once

#include "host/help_shell.h"
#include "win/handles.h"

namespace tessaly::win {

class Win32HelpShell : public IHelpShell {
 public:
  ~Win32HelpShell() override;
  // Opens "<help_file>::/<topic>"; HostError when the viewer or the file cannot be opened.
  void DisplayHelpTopic(const std::string& help_file, const std::string& topic) override;
  // ShellExecute's "open" on the address; HostError when no program takes it.
  void OpenAddress(const std::string& address) override;

 private:
  unique_hmodule hhctrl_;
};

}  // namespace tessaly::win
