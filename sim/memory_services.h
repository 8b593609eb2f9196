// In-memory platform services for the stand-in host's sessions: a per-user store, files and
// folders, shell folders, system facts, a locale and a settable clock, all without touching the
// machine.
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

class MemoryUserSettings : public IUserSettings {
 public:
  std::string get(const std::string& app, const std::string& sec, const std::string& key,
                  const std::string& def) const override {
    auto it = data_.find(Key(app, sec, key));
    return it == data_.end() ? def : it->second.second;
  }
  void save(const std::string& app, const std::string& sec, const std::string& key, const std::string& value) override {
    auto k = Key(app, sec, key);
    if (!data_.count(k)) order_.push_back(k);
    data_[k] = {key, value};
  }
  std::vector<std::pair<std::string, std::string>> list(const std::string& app, const std::string& sec) const override {
    std::vector<std::pair<std::string, std::string>> out;
    std::string prefix = to_lower(app) + "|" + to_lower(sec) + "|";
    for (const auto& k : order_)
      if (k.rfind(prefix, 0) == 0) out.push_back(data_.at(k));
    return out;
  }

 private:
  static std::string Key(const std::string& a, const std::string& s, const std::string& k) {
    return to_lower(a) + "|" + to_lower(s) + "|" + to_lower(k);
  }
  std::map<std::string, std::pair<std::string, std::string>> data_;
  std::vector<std::string> order_;
};

// Backslash paths; every folder can be created, files live in a map.
class MemoryFileSystem : public IFileSystem {
 public:
  char separator() const override { return '\\'; }
  std::optional<Attributes> attributes(const std::string& path) const override {
    if (folders.count(Norm(path))) return Attributes{true};
    if (files.count(path)) return Attributes{false};
    return std::nullopt;
  }
  void create_folder(const std::string& path) override { folders.insert(Norm(path)); }
  std::string read_file(const std::string& path, std::size_t max_bytes) const override {
    auto it = files.find(path);
    if (it == files.end()) throw HostError(2, "The system cannot find the file specified.", "Cannot open " + path);
    if (it->second.size() > max_bytes)
      throw HostError(223, "The file size exceeds the limit allowed.", "Cannot read " + path);
    return it->second;
  }
  void replace_file(const std::string& path, const std::string& bytes) override { files[path] = bytes; }
  void grant_users_full_access(const std::string&) override {}

  std::set<std::string> folders{"C:", "C:\\Users", "C:\\Users\\user", "C:\\Users\\user\\AppData",
                                "C:\\Users\\user\\AppData\\Roaming", "C:\\ProgramData"};
  std::map<std::string, std::string> files;

 private:
  static std::string Norm(std::string p) {
    while (p.size() > 1 && p.back() == '\\') p.pop_back();
    return p;
  }
};

struct MemoryShellFolders : IShellFolders {
  std::string special_folder(int csidl) const override {
    return csidl == kCsidlAppData ? "C:\\Users\\user\\AppData\\Roaming" : "C:\\ProgramData";
  }
};

struct FixedSystemInfo : ISystemInfo {
  WindowsVersion windows_version() const override { return {10, 0}; }
};

struct FixedLocale : ILocale {
  LocaleData user_default() const override { return LocaleData::us_english(); }
};

struct SettableClock : IClock {
  double now() const override { return serial; }
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
