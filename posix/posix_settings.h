// POSIX implementations of the settings' platform services.
#pragma once

#include <string>

#include "host/file_system.h"
#include "host/message_box.h"
#include "host/shell_folders.h"
#include "host/user_settings.h"

namespace tessaly::posix {

// One file per application, "<root>/<application>.ini"; the root is normally
// $XDG_CONFIG_HOME/Brenmoor (or ~/.config/Brenmoor). Section and key names match case-blind,
// as the Windows registry does. Every save locks the file, reads it and rewrites it atomically.
class FileUserSettings : public IUserSettings {
 public:
  explicit FileUserSettings(std::string root);
  std::string get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& default_value) const override;
  void save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  std::vector<std::pair<std::string, std::string>> list(const std::string& application,
                                                        const std::string& section) const override;
  std::string file_of(const std::string& application) const;

 private:
  std::string root_;
};

// The default root: $XDG_CONFIG_HOME or ~/.config, then "Brenmoor".
std::string DefaultSettingsRoot();

class PosixFileSystem : public IFileSystem {
 public:
  char separator() const override { return '/'; }
  std::optional<Attributes> attributes(const std::string& path) const override;
  void create_folder(const std::string& path) override;
  std::string read_file(const std::string& path, std::size_t max_bytes) const override;
  void replace_file(const std::string& path, const std::string& bytes) override;
  void update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) override;
  // The local users' equivalent: group and others get read, write and search rights.
  void grant_users_full_access(const std::string& path) override;
};

// CSIDL 26: $XDG_DATA_HOME or ~/.local/share. CSIDL 35: $TESSALY_COMMON_APPDATA when set,
// else the first folder of $XDG_DATA_DIRS, else /usr/local/share.
class XdgShellFolders : public IShellFolders {
 public:
  std::string special_folder(int csidl) const override;
};

// Not Windows: the version is 0.0, so nothing asks for the Windows-only access grant.
class PosixSystemInfo : public ISystemInfo {
 public:
  WindowsVersion windows_version() const override { return {}; }
};

// No desktop to show a box on: the box goes to standard error, answered with its first button.
class StderrMessageBox : public IMessageBox {
 public:
  MsgResult show(const MessageRequest& request) override;
};

}  // namespace tessaly::posix
