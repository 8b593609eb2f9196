// The help viewer on Windows: HTML Help, reached through hhctrl.ocx loaded at run time.
#pragma once

#include "host/help_shell.h"
#include "win/handles.h"

namespace tessaly::win {

class Win32HelpShell : public IHelpShell {
 public:
  ~Win32HelpShell() override;
  // Opens "<help_file>::/<topic>"; HostError when the viewer or the file cannot be opened.
  void DisplayHelpTopic(const std::string& help_file, const std::string& topic) override;

 private:
  unique_hmodule hhctrl_;
};

}  // namespace tessaly::win
