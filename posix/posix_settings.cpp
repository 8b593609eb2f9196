// POSIX implementations of the settings' platform services.
#include "posix/posix_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

std::optional<std::string> try_read(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    fail("Cannot open", path);
  }
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      ::close(fd);
      errno = e;
      fail("Cannot read", path);
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

void write_atomically(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail("Cannot create", temp);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      errno = e;
      fail("Cannot write", temp);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    errno = e;
    fail("Cannot write", temp);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(temp.c_str());
    errno = e;
    fail("Cannot replace", path);
  }
}

SettingsSection* find_section(SettingsDocument& doc, const std::string& name) {
  for (auto& s : doc)
    if (iequals(s.name, name)) return &s;
  return nullptr;
}

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
  SettingsDocument doc = ParseSettings(try_read(path).value_or(""));
  SettingsSection* s = find_section(doc, section);
  if (!s) {
    doc.push_back({section, {}});
    s = &doc.back();
  }
  bool found = false;
  for (auto& [k, v] : s->values)
    if (iequals(k, key)) {
      v = value;
      found = true;
      break;
    }
  if (!found) s->values.emplace_back(key, value);
  make_folders(root_);
  write_atomically(path, FormatSettings(doc));
}

std::vector<std::pair<std::string, std::string>> FileUserSettings::list(const std::string& application,
                                                                        const std::string& section) const {
  auto text = try_read(file_of(application));
  if (!text) return {};
  SettingsDocument doc = ParseSettings(*text);
  SettingsSection* s = find_section(doc, section);
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

std::string PosixFileSystem::read_file(const std::string& path) const {
  auto bytes = try_read(path);
  if (!bytes) {
    errno = ENOENT;
    fail("Cannot open", path);
  }
  return *bytes;
}

void PosixFileSystem::replace_file(const std::string& path, const std::string& bytes) { write_atomically(path, bytes); }

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
