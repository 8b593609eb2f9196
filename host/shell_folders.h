// The shell's special folders and the Windows version.
#pragma once

#include <string>

namespace tessaly {

// Shell folder identifiers (CSIDL) the add-in asks for.
inline constexpr int kCsidlAppData = 26;        // the user's roaming application data
inline constexpr int kCsidlCommonAppData = 35;  // application data shared by all users

class IShellFolders {
 public:
  virtual ~IShellFolders() = default;
  // The folder's path without a trailing separator, without creating it; throws HostError.
  virtual std::string special_folder(int csidl) const = 0;
};

struct WindowsVersion {
  unsigned major = 0;
  unsigned minor = 0;
  // Windows XP (5.1) or later: the access grant on shared folders applies.
  bool xp_or_later() const { return major >= 6 || (major == 5 && minor >= 1); }
};

class ISystemInfo {
 public:
  virtual ~ISystemInfo() = default;
  // Throws HostError when the platform cannot tell.
  virtual WindowsVersion windows_version() const = 0;
};

}  // namespace tessaly
