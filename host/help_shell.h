// The shell services the commands open: a help file's topic in the help viewer, a web page in
// the default browser, a new mail in the default mail program.
#pragma once

#include <string>

namespace tessaly {

class IHelpShell {
 public:
  virtual ~IHelpShell() = default;
  // Shows the topic ("index.htm") of the compiled help file, with no owner window; throws HostError.
  virtual void DisplayHelpTopic(const std::string& help_file, const std::string& topic) = 0;
  // Opens a web address ("https://...") or a new mail ("mailto:...") in the program the user
  // chose for it; throws HostError.
  virtual void OpenAddress(const std::string& address) = 0;
};

}  // namespace tessaly
