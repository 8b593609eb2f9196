// Folder routines of start-up and the settings store: special folders, existence, creation and
// the access grant on the shared folder.
#pragma once

#include <string>

#include "host/file_system.h"
#include "host/message_box.h"
#include "host/shell_folders.h"

namespace tessaly {

// The special folder's path with a trailing separator; empty when the shell cannot tell.
std::string GetSpecialFolder(const IShellFolders& shell, const IFileSystem& files, int csidl);

bool FolderExists(const IFileSystem& files, const std::string& path);
bool FileExists(const IFileSystem& files, const std::string& path);

// What EnsureFolderExists needs besides the path.
struct FolderContext {
  IFileSystem& files;
  IMessageBox& messages;
  const std::string& product_name;  // message title
  WindowsVersion version;
};

// Creates the folder and its missing parents; true when it exists at the end. A failure shows
// "Cannot create the following folder: ..." and gives false. With grant set, a folder this call
// had to create gets the "Users" grant on Windows XP and later.
bool EnsureFolderExists(const FolderContext& ctx, const std::string& path, bool grant);

// Gives the local "Users" group full control of the folder; a failing step ends it silently.
void GrantUsersFullAccess(IFileSystem& files, const std::string& path);

}  // namespace tessaly
