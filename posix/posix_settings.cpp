// POSIX implementations of the settings' platform services.
#include "posix/posix_settings.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <random>
#include <utility>

#include "host/host_error.h"
#include "host/platform_settings.h"
#include "host/text.h"
#include "posix/posix_locale_clock.h"
#include "posix/settings_file.h"

namespace tessaly::posix {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  int e = errno;
  throw HostError(e, std::strerror(e), what + " " + path);
}

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string home() {
  std::string h = env("HOME");
  if (h.empty()) throw HostError(ENOENT, "HOME is not set");
  return h;
}

// Creates the folder and its parents (for the settings root only).
void make_folders(const std::string& path) {
  for (std::size_t p = path.find('/', 1); ; p = path.find('/', p + 1)) {
    std::string prefix = path.substr(0, p);
    if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) fail("Cannot create", prefix);
    if (p == std::string::npos) break;
  }
}

// Application names become file names: bytes other than letters, digits, '.', '-', '_' and
// space are written as %XX.
std::string file_name(const std::string& application) {
  std::string out;
  for (unsigned char c : application) {
    if (std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ' ') {
      out += static_cast<char>(c);
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    }
  }
  if (out.empty() || out[0] == '.') out = "%" + out;
  return out;
}

// An open descriptor, closed when it goes; errno survives the close.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ < 0) return;
    const int e = errno;
    ::close(fd_);
    errno = e;
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// What a symbolic link at the path means to a reader: the per-user file's saves replace a link
// with a file of their own, so its reader takes a link for no file; any other reader refuses it.
enum class AtLink { Refuse, Absent };

// A regular file's bytes, at most max_bytes; empty when the file is missing. A link is never
// followed (O_NOFOLLOW): one planted in a shared folder must not lead the reader elsewhere.
// O_NONBLOCK keeps a FIFO or a device planted at the path from hanging the open; fstat then
// refuses anything but a regular file before a byte is read.
std::optional<std::string> try_read(const std::string& path, std::size_t max_bytes, AtLink at_link = AtLink::Refuse) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    if (errno == ELOOP && at_link == AtLink::Absent) return std::nullopt;
    fail("Cannot open", path);
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) fail("Cannot read", path);
  if (!S_ISREG(st.st_mode)) throw HostError(EINVAL, "Not a regular file", "Cannot read " + path);
  const auto too_large = [&] {
    return HostError(EFBIG, "Larger than " + std::to_string(max_bytes) + " bytes", "Cannot read " + path);
  };
  if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) throw too_large();
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("Cannot read", path);
    if (n == 0) break;
    if (out.size() + static_cast<std::size_t>(n) > max_bytes) throw too_large();  // grew while read
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

// The largest per-user settings file read: far above every option of every application.
constexpr std::size_t kMaxSettingsFileBytes = 16 << 20;

// A temporary beside the path: "<name>.tmp." and 16 random hex digits, so nobody can plant a
// link at the name beforehand.
std::string temporary_name(const std::string& path) {
  static std::random_device device;
  const std::uint64_t r = (std::uint64_t{device()} << 32) ^ device();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(r));
  return path + ".tmp." + hex;
}

// Removes temporaries of the path (".tmp" and anything after it) that a writer left behind
// more than an hour ago: younger ones may belong to a save in progress. unlink() removes a link
// itself, never what it points to.
void remove_stale_temporaries(const std::string& path) {
  const std::size_t cut = path.find_last_of('/');
  const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
  const std::string prefix = path.substr(cut == std::string::npos ? 0 : cut + 1) + ".tmp";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::time_t hour_ago = std::time(nullptr) - 3600;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string full = folder + "/" + name;
    struct stat st;
    if (::lstat(full.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && st.st_mtime < hour_ago) ::unlink(full.c_str());
  }
  ::closedir(dir);
}

void write_all(int fd, const std::string& bytes, const std::string& temp) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("Cannot write", temp);
    done += static_cast<std::size_t>(n);
  }
}

void write_atomically(const std::string& path, const std::string& bytes) {
  remove_stale_temporaries(path);
  std::string temp;
  int raw = -1;
  for (int attempt = 0; raw < 0 && attempt < 8; ++attempt) {
    temp = temporary_name(path);
    raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (raw < 0 && errno != EEXIST) fail("Cannot create", temp);
  }
  if (raw < 0) fail("Cannot create", temp);
  Fd fd(raw);
  try {
    write_all(fd.get(), bytes, temp);
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) fail("Cannot write", temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail("Cannot replace", path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

// The named section; in a file whose headers were all lost, the unnamed section of its values.
SettingsSection* find_section(SettingsDocument& doc, const std::string& name) {
  SettingsSection* unnamed = nullptr;
  for (auto& s : doc) {
    if (iequals(s.name, name)) return &s;
    if (s.name.empty()) unnamed = &s;
  }
  return unnamed;
}

// An exclusive lock on "<file>.lock" for one read-modify-write of the file: the file itself is
// replaced by each save, so a lock on it would not bind the next writer. The lock file is opened
// for reading only (another user's lock file in a shared folder still locks), never through a
// link, and without waiting on a FIFO planted at its name. A holder that keeps it for 10 seconds
// is taken for stuck: the save fails instead of waiting.
class FileLock {
 public:
  explicit FileLock(const std::string& file)
      : fd_(::open((file + ".lock").c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666)) {
    if (fd_.get() < 0) fail("Cannot lock", file);
    for (int waited_ms = 0; ::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0; waited_ms += 5) {
      if (errno != EWOULDBLOCK && errno != EINTR) fail("Cannot lock", file);
      if (waited_ms >= 10000) throw HostError(EWOULDBLOCK, "Another program keeps the file locked", "Cannot lock " + file);
      ::usleep(5000);
    }
  }

 private:
  Fd fd_;  // closing it releases the lock
};

}  // namespace

std::string DefaultSettingsRoot() {
  std::string base = env("XDG_CONFIG_HOME");
  if (base.empty() || base[0] != '/') base = home() + "/.config";
  return base + "/Brenmoor";
}

FileUserSettings::FileUserSettings(std::string root) : root_(std::move(root)) {}

std::string FileUserSettings::file_of(const std::string& application) const {
  return root_ + "/" + file_name(application) + ".ini";
}

std::string FileUserSettings::get(const std::string& application, const std::string& section, const std::string& key,
                                  const std::string& default_value) const {
  for (const auto& [k, v] : list(application, section))
    if (iequals(k, key)) return v;
  return default_value;
}

void FileUserSettings::save(const std::string& application, const std::string& section, const std::string& key,
                            const std::string& value) {
  std::string path = file_of(application);
  make_folders(root_);
  FileLock lock(path);
  const std::string old_text = try_read(path, kMaxSettingsFileBytes, AtLink::Absent).value_or("");
  ParsedSettings parsed = ParseSettings(old_text);
  // What could not be read whole is kept beside the file before the file is rewritten without it.
  if (parsed.damaged > 0) write_atomically(path + ".damaged", old_text);
  SettingsDocument& doc = parsed.doc;
  SettingsSection* s = find_section(doc, section);
  if (!s) {
    doc.push_back({section, {}});
    s = &doc.back();
  }
  if (s->name.empty()) s->name = section;
  bool found = false;
  for (auto& [k, v] : s->values)
    if (iequals(k, key)) {
      v = value;
      found = true;
      break;
    }
  if (!found) s->values.emplace_back(key, value);
  // A file past the read limit would be written once and then never read again: every option of
  // the user would be lost at the next start. This one value is refused instead.
  std::string text = FormatSettings(doc);
  if (text.size() > kMaxSettingsFileBytes)
    throw HostError(EFBIG, "The settings file would grow past 16 MB, more than can be read back. The other settings are kept.",
                    "Cannot write " + path);
  write_atomically(path, text);
}

std::vector<std::pair<std::string, std::string>> FileUserSettings::list(const std::string& application,
                                                                        const std::string& section) const {
  auto text = try_read(file_of(application), kMaxSettingsFileBytes, AtLink::Absent);
  if (!text) return {};
  ParsedSettings parsed = ParseSettings(*text);
  SettingsSection* s = find_section(parsed.doc, section);
  return s ? s->values : std::vector<std::pair<std::string, std::string>>{};
}

std::optional<IFileSystem::Attributes> PosixFileSystem::attributes(const std::string& path) const {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return Attributes{S_ISDIR(st.st_mode)};
}

void PosixFileSystem::create_folder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) fail("Cannot create", path);
}

std::string PosixFileSystem::read_file(const std::string& path, std::size_t max_bytes) const {
  auto bytes = try_read(path, max_bytes);
  if (!bytes) {
    errno = ENOENT;
    fail("Cannot open", path);
  }
  return *bytes;
}

void PosixFileSystem::replace_file(const std::string& path, const std::string& bytes) { write_atomically(path, bytes); }

void PosixFileSystem::update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) {
  FileLock lock(path);
  std::optional<std::string> old;
  try {
    old = try_read(path, max_bytes);
  } catch (const HostError&) {
    // Unreadable (too large, not a regular file): the change starts from nothing.
  }
  write_atomically(path, change(old));
}

void PosixFileSystem::grant_users_full_access(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) fail("Cannot read the access rights of", path);
  if (::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXG | S_IRWXO) != 0) fail("Cannot change the access rights of", path);
}

std::string XdgShellFolders::special_folder(int csidl) const {
  if (csidl == kCsidlAppData) {
    std::string d = env("XDG_DATA_HOME");
    return (d.empty() || d[0] != '/') ? home() + "/.local/share" : d;
  }
  if (csidl == kCsidlCommonAppData) {
    std::string d = env("TESSALY_COMMON_APPDATA");
    if (!d.empty()) return d;
    std::string dirs = env("XDG_DATA_DIRS");
    std::string first = dirs.substr(0, dirs.find(':'));
    return (first.empty() || first[0] != '/') ? "/usr/local/share" : first;
  }
  throw HostError(EINVAL, "No such special folder: " + std::to_string(csidl));
}

MsgResult StderrMessageBox::show(const MessageRequest& request) {
  std::fprintf(stderr, "[%s] %s\n", request.title.c_str(), request.text.c_str());
  return request.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
}

}  // namespace tessaly::posix

namespace tessaly {

std::unique_ptr<IUserSettings> MakeUserSettings() {
  return std::make_unique<posix::FileUserSettings>(posix::DefaultSettingsRoot());
}
std::unique_ptr<IFileSystem> MakeFileSystem() { return std::make_unique<posix::PosixFileSystem>(); }
std::unique_ptr<IShellFolders> MakeShellFolders() { return std::make_unique<posix::XdgShellFolders>(); }
std::unique_ptr<ISystemInfo> MakeSystemInfo() { return std::make_unique<posix::PosixSystemInfo>(); }
std::unique_ptr<IMessageBox> MakeMessageBox() { return std::make_unique<posix::StderrMessageBox>(); }
std::unique_ptr<IClock> MakeClock() { return std::make_unique<posix::LocalClock>(); }
std::unique_ptr<ILocale> MakeLocale() { return std::make_unique<posix::LangInfoLocale>(); }

}  // namespace tessaly
