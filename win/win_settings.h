// Win32 implementations of the settings' platform services.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "host/clock.h"
#include "host/file_system.h"
#include "host/locale.h"
#include "host/message_box.h"
#include "host/shell_folders.h"
#include "host/user_settings.h"
#include "win/handles.h"

namespace tessaly::win {

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one string
// value per key, listed in RegEnumValue order: the branch the host's GetSetting/SaveSetting use.
class RegistryUserSettings : public IUserSettings {
 public:
  std::string get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& default_value) const override;
  void save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  std::vector<std::pair<std::string, std::string>> list(const std::string& application,
                                                        const std::string& section) const override;
};

class Win32FileSystem : public IFileSystem {
 public:
  char separator() const override { return '\\'; }
  std::optional<Attributes> attributes(const std::string& path) const override;
  void create_folder(const std::string& path) override;
  std::string read_file(const std::string& path, std::size_t max_bytes) const override;
  void replace_file(const std::string& path, const std::string& bytes) override;
  void update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) override;
  void grant_users_full_access(const std::string& path) override;
};

class Win32ShellFolders : public IShellFolders {
 public:
  std::string special_folder(int csidl) const override;
};

class Win32SystemInfo : public ISystemInfo {
 public:
  WindowsVersion windows_version() const override;
};

// Boxes are modal to the window active on this thread (the dialog that raised them, or the host's
// window), else to the host's main window, so the user cannot work on around them.
class Win32MessageBox : public IMessageBox {
 public:
  MsgResult show(const MessageRequest& request) override;
  void set_host_window(HWND main_window) {
    host_window_ = [main_window] { return main_window; };
  }
  // The host's main window as it is when a box shows: from Excel 2013 on it changes with the
  // active workbook, and the one of the connection may have closed.
  void set_host_window(std::function<HWND()> main_window) { host_window_ = std::move(main_window); }
  HWND owner() const;

 private:
  std::function<HWND()> host_window_;
};

// The access list with the built-in Users group given full control, inherited by everything
// inside; throws HostError when it cannot be built.
unique_hlocal WithUsersFullAccess(PACL dacl);

// Local date and time from GetLocalTime, as a serial date.
class Win32Clock : public IClock {
 public:
  double now() const override;
};

// The user-default locale's short date pattern (LOCALE_SSHORTDATE); names stay US English.
class Win32Locale : public ILocale {
 public:
  LocaleData user_default() const override;
};

}  // namespace tessaly::win
