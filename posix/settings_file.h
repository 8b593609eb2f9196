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
// \= \[ \] and \xHH for other control bytes. A damaged file is read as far as it can be:
// - a UTF-8 byte-order mark at the start is skipped (not damage);
// - a raw control byte other than a tab, which the writer never leaves unescaped, ends a line;
// - a line with no '=' that starts with '[' or ends with ']' is a header with one broken
//   bracket: it still opens the section named by what lies between its first and last bytes;
// - values before any header belong to the first section that follows, or, when none does, to
//   a section with an empty name that stands for whichever section is asked for;
// - any other line that is neither a header nor a value is skipped.
// `damaged` counts the lines that needed one of these rules.
struct ParsedSettings {
  SettingsDocument doc;
  int damaged = 0;
};
ParsedSettings ParseSettings(const std::string& text);
std::string FormatSettings(const SettingsDocument& doc);

}  // namespace tessaly::posix
