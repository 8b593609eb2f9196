// Folder routines of start-up and the settings store.
#include "settings/folders.h"

#include "host/error_policy.h"
#include "host/host_error.h"
#include "host/text.h"

namespace tessaly {

std::string GetSpecialFolder(const IShellFolders& shell, const IFileSystem& files, int csidl) {
  auto path = Attempt([&] { return shell.special_folder(csidl); });
  if (!path) return {};
  std::string folder = path->substr(0, path->find('\0'));
  if (folder.empty()) return {};
  if (folder.back() != files.separator()) folder += files.separator();
  return folder;
}

bool FolderExists(const IFileSystem& files, const std::string& path) {
  auto a = Attempt([&] { return files.attributes(path); });
  return a && *a && (*a)->directory;
}

bool FileExists(const IFileSystem& files, const std::string& path) {
  auto a = Attempt([&] { return files.attributes(path); });
  return a && *a && !(*a)->directory;
}

bool EnsureFolderExists(const FolderContext& ctx, const std::string& path, bool grant) {
  if (FolderExists(ctx.files, path)) return true;
  const char sep = ctx.files.separator();
  std::string folder = trim(path);
  if (folder.empty() || folder.back() != sep) folder += sep;

  // A network path's server name is no folder: the scan starts after it.
  std::size_t from = 0;
  if (folder.size() >= 2 && folder[0] == sep && folder[1] == sep) from = folder.find(sep, 2) + 1;

  for (std::size_t p = folder.find(sep, from); p != std::string::npos; p = folder.find(sep, p + 1)) {
    std::string prefix = folder.substr(0, p + 1);
    if (FolderExists(ctx.files, prefix)) continue;
    try {
      ctx.files.create_folder(prefix);
    } catch (const std::exception& e) {
      SkipFailures()([&] {
        ctx.messages.show({"Cannot create the following folder: \r\n\r\n" + prefix + "\r\n\r\nError message: " + SystemDescription(e),
                           ctx.product_name, MsgIcon::Critical, MsgButtons::OK});
      });
      return false;
    }
  }
  if (grant && FolderExists(ctx.files, folder) && ctx.version.xp_or_later()) GrantUsersFullAccess(ctx.files, folder);
  return true;
}

void GrantUsersFullAccess(IFileSystem& files, const std::string& path) {
  SkipFailures()([&] { files.grant_users_full_access(path); });
}

}  // namespace tessaly
