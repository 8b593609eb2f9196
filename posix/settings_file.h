// The text form of the POSIX per-user settings file: sections of name=value lines with every
// byte that would break a line escaped.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessaly::posix {

struct SettingsSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
};
using SettingsDocument = std::vector<SettingsSection>;

// "[section]" lines open sections; "key=value" lines follow. Backslash escapes: \\ \n \r \t
// \= \[ \] and \xHH for other control bytes. Lines that parse as neither are skipped.
SettingsDocument ParseSettings(const std::string& text);
std::string FormatSettings(const SettingsDocument& doc);

}  // namespace tessaly::posix
