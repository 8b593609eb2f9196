// The platform services the settings reach, bundled so start-up and the settings object get
// them injected (tests pass in-memory and failing ones).
#pragma once

#include "host/clock.h"
#include "host/file_system.h"
#include "host/locale.h"
#include "host/message_box.h"
#include "host/shell_folders.h"
#include "host/user_settings.h"

namespace tessaly {

struct SettingsServices {
  IUserSettings& store;
  IFileSystem& files;
  IShellFolders& shell;
  ISystemInfo& system;
  IMessageBox& messages;
  const ILocale& locale;
  const IClock& clock;
};

}  // namespace tessaly
