// The platform's own implementations of the services the settings use (Win32 on Windows,
// POSIX elsewhere), each created ready to use.
#pragma once

#include <memory>

#include "host/clock.h"
#include "host/file_system.h"
#include "host/locale.h"
#include "host/message_box.h"
#include "host/shell_folders.h"
#include "host/user_settings.h"

namespace tessaly {

std::unique_ptr<IUserSettings> MakeUserSettings();
std::unique_ptr<IFileSystem> MakeFileSystem();
std::unique_ptr<IShellFolders> MakeShellFolders();
std::unique_ptr<ISystemInfo> MakeSystemInfo();
// A real message box on Windows; elsewhere the box is written to standard error and answered
// with its first button.
std::unique_ptr<IMessageBox> MakeMessageBox();
// The local clock, and the user's locale (on POSIX: LC_TIME as set by setlocale).
std::unique_ptr<IClock> MakeClock();
std::unique_ptr<ILocale> MakeLocale();

}  // namespace tessaly
