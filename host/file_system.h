// Files and folders as the settings need them: existence, folder creation, whole-file reads,
// atomic replacement and the shared-folder access grant.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tessaly {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // The character that separates folders in this platform's paths ('\\' on Windows).
  virtual char separator() const = 0;

  // The path's attributes: empty when they cannot be read (the path does not exist).
  struct Attributes {
    bool directory = false;
  };
  virtual std::optional<Attributes> attributes(const std::string& path) const = 0;

  // Creates one folder whose parent exists; throws HostError with the platform's description.
  virtual void create_folder(const std::string& path) = 0;

  // The whole file's bytes. Only a regular file of at most max_bytes is read, and opening never
  // waits (a pipe or a device in a shared folder must not hang or exhaust the reader); anything
  // else throws HostError with the reason, as does a file that cannot be read.
  virtual std::string read_file(const std::string& path, std::size_t max_bytes) const = 0;

  // Writes the bytes to a new temporary file beside the path, created exclusively under an
  // unpredictable name without following links (the folder may be writable by every user),
  // then puts it in the path's place in one step, so a reader sees the old file or the new one,
  // never a torn one. Temporaries that earlier writers left behind are removed. Throws HostError.
  virtual void replace_file(const std::string& path, const std::string& bytes) = 0;

  // One read-modify-write of the file that every process saving it honours: under an exclusive
  // lock on "<path>.lock" (opened without following links), `change` gets the file's bytes (empty
  // when it is missing or cannot be read within max_bytes) and returns the bytes that replace it
  // as replace_file does. A lock that another process holds for more than a few seconds is a
  // failure, so a stuck or hostile holder cannot hang the caller. Throws HostError.
  using FileChange = std::function<std::string(const std::optional<std::string>& old_bytes)>;
  virtual void update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) = 0;

  // Gives the local "Users" group full control of the folder, inherited by everything inside.
  // Throws HostError when a step fails.
  virtual void grant_users_full_access(const std::string& path) = 0;
};

}  // namespace tessaly
