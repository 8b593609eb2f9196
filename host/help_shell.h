// The shell services the commands open: a help file's topic in the help viewer.
#pragma once

#include <string>

namespace tessaly {

class IHelpShell {
 public:
  virtual ~IHelpShell() = default;
  // Shows the topic ("index.htm") of the compiled help file, with no owner window; throws HostError.
  virtual void DisplayHelpTopic(const std::string& help_file, const std::string& topic) = 0;
};

}  // namespace tessaly
