// In-memory platform services for the stand-in host's sessions: a per-user store, files and
// folders, shell folders, system facts, a locale and a settable clock, all without touching the
// machine. Each can be told to fail the way the real service does, and counts what it is asked.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host_error.h"
#include "host/text.h"
#include "settings/settings_services.h"
#include "sim/recording_message_box.h"

namespace tessaly::sim {

// Keys replace case-blind and keep their first position; sections are apart.
class MemoryUserSettings : public IUserSettings {
 public:
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  std::string get(const std::string& app, const std::string& sec, const std::string& key,
                  const std::string& def) const override {
    if (fail_read) throw HostError(5, "Access is denied.", "Cannot read the setting " + key);
    for (const auto& [k, v] : find(app, sec))
      if (iequals(k, key)) return v;
    return def;
  }
  void save(const std::string& app, const std::string& sec, const std::string& key, const std::string& value) override {
    if (fail_write) throw HostError(5, "Access is denied.", "Cannot write the setting " + key);
    ++saves;
    Pairs& p = data[to_lower(app) + "|" + to_lower(sec)];
    for (auto& [k, v] : p)
      if (iequals(k, key)) {
        v = value;
        return;
      }
    p.emplace_back(key, value);
  }
  Pairs list(const std::string& app, const std::string& sec) const override {
    if (fail_read) throw HostError(5, "Access is denied.", "Cannot list the settings of " + app);
    return find(app, sec);
  }
  // The product's own options: the stored text of a key, or "<absent>"; and a stored text.
  std::string at(const std::string& key, const std::string& sec = "GlobalOptions") const {
    return get("Tessaly", sec, key, "<absent>");
  }
  void put(const std::string& key, const std::string& value) { save("Tessaly", "GlobalOptions", key, value); }

  std::map<std::string, Pairs> data;
  bool fail_read = false, fail_write = false;
  int saves = 0;

 private:
  Pairs find(const std::string& app, const std::string& sec) const {
    auto it = data.find(to_lower(app) + "|" + to_lower(sec));
    return it == data.end() ? Pairs{} : it->second;
  }
};

// Backslash paths; a folder is known with or without its trailing separator, and a folder or
// file is made only inside a folder that exists.
class MemoryFileSystem : public IFileSystem {
 public:
  char separator() const override { return '\\'; }
  std::optional<Attributes> attributes(const std::string& path) const override {
    if (folders.count(norm(path))) return Attributes{true};
    if (files.count(path)) return Attributes{false};
    return std::nullopt;
  }
  void create_folder(const std::string& path) override {
    std::string p = norm(path);
    if (fail_create.count(p)) throw HostError(5, "Access is denied.", "Cannot create " + path);
    if (!folders.count(parent(p))) throw HostError(3, "The system cannot find the path specified.", "Cannot create " + path);
    folders.insert(p);
    created.push_back(p);
  }
  std::string read_file(const std::string& path, std::size_t max_bytes) const override {
    auto it = files.find(path);
    if (fail_read || it == files.end()) throw HostError(2, "The system cannot find the file specified.", "Cannot open " + path);
    if (it->second.size() > max_bytes)
      throw HostError(223, "The file size exceeds the limit allowed.", "Cannot read " + path);
    return it->second;
  }
  void replace_file(const std::string& path, const std::string& bytes) override {
    if (fail_write) throw HostError(5, "Access is denied.", "Cannot create " + path);
    if (!folders.count(parent(path))) throw HostError(3, "The system cannot find the path specified.", "Cannot create " + path);
    files[path] = bytes;
    ++writes;
  }
  void update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) override {
    std::optional<std::string> old;
    auto it = files.find(path);
    if (!fail_read && it != files.end() && it->second.size() <= max_bytes) old = it->second;
    replace_file(path, change(old));
  }
  void grant_users_full_access(const std::string& path) override {
    if (fail_grant) throw HostError(1332, "No mapping between account names and security IDs was done.",
                                   "Cannot extend the access rights of " + path);
    granted.push_back(norm(path));
  }

  static std::string norm(std::string p) {
    while (p.size() > 1 && p.back() == '\\') p.pop_back();
    return p;
  }
  static std::string parent(const std::string& p) {
    std::string n = norm(p);
    auto cut = n.find_last_of('\\');
    return cut == std::string::npos ? std::string() : norm(n.substr(0, cut + 1));
  }

  std::set<std::string> folders{"C:", "C:\\Users", "C:\\Users\\user", "C:\\Users\\user\\AppData",
                                "C:\\Users\\user\\AppData\\Roaming", "C:\\ProgramData", "\\\\srv\\share"};
  std::map<std::string, std::string> files;
  std::set<std::string> fail_create;
  std::vector<std::string> created, granted;
  bool fail_read = false, fail_write = false, fail_grant = false;
  int writes = 0;
};

struct MemoryShellFolders : IShellFolders {
  std::string special_folder(int csidl) const override {
    if (fail) throw HostError(-1, "no folder");
    return csidl == kCsidlAppData ? "C:\\Users\\user\\AppData\\Roaming" : "C:\\ProgramData";
  }
  bool fail = false;
};

struct FixedSystemInfo : ISystemInfo {
  WindowsVersion windows_version() const override {
    if (fail) throw HostError(-1, "no version");
    return version;
  }
  bool fail = false;
  WindowsVersion version{10, 0};
};

struct FixedLocale : ILocale {
  LocaleData user_default() const override {
    if (fail) throw HostError(-1, "no locale");
    return data;
  }
  bool fail = false;
  LocaleData data = LocaleData::us_english();
};

struct SettableClock : IClock {
  double now() const override {
    if (fail) throw HostError(-1, "no clock");
    return serial;
  }
  bool fail = false;
  double serial = 46000.5;  // 9 December 2025, noon
};

struct MemoryServices {
  SettingsServices services() { return {store, files, shell, system, messages, locale, clock}; }
  MemoryUserSettings store;
  MemoryFileSystem files;
  MemoryShellFolders shell;
  FixedSystemInfo system;
  RecordingMessageBox messages;
  FixedLocale locale;
  SettableClock clock;
};

}  // namespace tessaly::sim
