// The real settings services of this platform: the per-user store, files and folders, special
// folders and the version (natively the POSIX ones, under Wine the Win32 ones).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>

#include "support/win_ui.h"
#include "win/handles.h"
#include "win/utf.h"
#include "win/win_settings.h"
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "posix/posix_settings.h"
#include "posix/settings_file.h"
#endif

#include "host/host_error.h"
#include "host/platform_settings.h"
#include "settings/folders.h"
#include "settings/machine_file.h"
#include "settings/reg_man.h"
#include "sim/memory_services.h"
#include "sim/recording_message_box.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// True when the access list gives the built-in Users group (S-1-5-32-545) full control,
// inherited by subfolders.
bool grants_users(PACL dacl) {
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof users;
  if (!dacl || !::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return false;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (allowed->Header.AceFlags & CONTAINER_INHERIT_ACE) &&
        (allowed->Mask & GENERIC_ALL) && ::EqualSid(&allowed->SidStart, users))
      return true;
  }
  return false;
}

bool users_have_an_inherited_grant(const std::string& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd_raw = nullptr;
  if (::GetNamedSecurityInfoW(win::to_wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &dacl, nullptr, &sd_raw) != ERROR_SUCCESS)
    return false;
  win::unique_hlocal sd(sd_raw);
  return grants_users(dacl);
}

// Watches for this thread's message box: records its owner and whether the owner was disabled
// while it was up, then presses Enter on it as the user would.
struct BoxWatch {
  HWND owner = nullptr;
  BOOL owner_enabled = TRUE;
  int ticks = 0;
};
BoxWatch* g_watch = nullptr;

void CALLBACK WatchBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = ::FindWindowW(L"#32770", L"Tessaly box");
  if (!box || !::IsWindowVisible(box)) return;
  if (g_watch->ticks++ == 0) {
    g_watch->owner = ::GetWindow(box, GW_OWNER);
    g_watch->owner_enabled = ::IsWindowEnabled(g_watch->owner);
    ::SetForegroundWindow(box);
    testing::SendKey(VK_RETURN);
  } else if (g_watch->ticks > 100) {
    ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);  // the key never arrived: end the box, the test fails
  }
}
#endif

std::string unique_name(const std::string& stem) {
  return stem + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
}

// A fresh folder, under the temporary folder unless told otherwise, removed afterwards.
struct TempFolder {
  explicit TempFolder(const std::string& stem, const fs::path& under = fs::temp_directory_path())
      : path(under / unique_name(stem)) {
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

struct PlatformSettings : ::testing::Test {
  TempFolder temp{"tessaly-platform-"};
#ifndef _WIN32
  // Natively the test's folder also holds the per-user store, so the tests never touch the real one.
  const int config_home = ::setenv("XDG_CONFIG_HOME", (temp.path / "config").string().c_str(), 1);
#endif
  std::unique_ptr<IUserSettings> store = MakeUserSettings();
  std::unique_ptr<IFileSystem> files = MakeFileSystem();
  std::string app = unique_name("TessalyTest");
};

TEST_F(PlatformSettings, values_round_trip_in_stored_order) {
  const std::pair<std::string, std::string> values[] = {
      {"Plain", "text"},
      {"Lines", "one\r\ntwo\nthree\r"},
      {"Equals=Key", "a=b=c"},
      {"[Bracket]", "[x]"},
      {"Back\\slash", "C:\\path\\"},
      {"Spaces", "  padded  "},
      {"Empty", ""},
      {"Unicode", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x93\x85"},
      {"Long", std::string(20000, 'x')},
  };
  for (const auto& [k, v] : values) store->save(app, "GlobalOptions", k, v);
  auto listed = store->list(app, "GlobalOptions");
  ASSERT_EQ(listed.size(), std::size(values));
  std::vector<std::pair<std::string, std::string>> expected(std::begin(values), std::end(values));
#ifdef _WIN32
  // RegEnumValue's order is the registry's own (Wine keeps values sorted by name): compare sorted.
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
#endif
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(listed[i].first, expected[i].first) << i;
    EXPECT_TRUE(listed[i].second == expected[i].second) << expected[i].first;
    EXPECT_TRUE(store->get(app, "globaloptions", expected[i].first, "<default>") == expected[i].second)
        << expected[i].first;
  }
}

// Keys replace one another case-blind, sections are apart, and what is missing reads as the default.
TEST_F(PlatformSettings, keys_sections_and_missing_values) {
  EXPECT_TRUE(store->list(app, "GlobalOptions").empty());
  EXPECT_EQ(store->get(app, "GlobalOptions", "FirstTimeRun", "1"), "1");
  store->save(app, "GlobalOptions", "FirstTimeRun", "1");
  store->save(app, "GlobalOptions", "FIRSTTIMERUN", "0");
  store->save(app, "Other", "FirstTimeRun", "other");
  auto listed = store->list(app, "GlobalOptions");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].second, "0");
  EXPECT_EQ(store->get(app, "Other", "firsttimerun", ""), "other");
  EXPECT_TRUE(store->list(app, "Nothing").empty());
  EXPECT_EQ(store->get(app, "GlobalOptions", "B", "dflt"), "dflt");

  const std::string odd("\xff\x01\x7f", 3);
  store->save(app, "GlobalOptions", "Odd", odd);
#ifdef _WIN32
  // The registry holds UTF-16 text: bytes that are no UTF-8 cannot survive, they become U+FFFD.
  EXPECT_NE(store->get(app, "GlobalOptions", "Odd", ""), odd);
#else
  EXPECT_EQ(store->get(app, "GlobalOptions", "Odd", ""), odd);
#endif
}

TEST_F(PlatformSettings, files_and_folders) {
  std::string dir = temp / "made";
  EXPECT_FALSE(files->attributes(dir));
  files->create_folder(dir);
  ASSERT_TRUE(files->attributes(dir));
  EXPECT_TRUE(files->attributes(dir)->directory);
  EXPECT_THROW(files->create_folder(temp / "no" + files->separator() + "such"), HostError);

  std::string file = dir + files->separator() + "Tessaly.conf";
  EXPECT_THROW(files->read_file(file, 1 << 20), HostError);
  files->replace_file(file, std::string(5000, 'o'));
  std::string record("new\0record", 10);
  files->replace_file(file, record);
  EXPECT_EQ(files->read_file(file, 1 << 20), record) << "the old, longer file is gone entirely";
  EXPECT_FALSE(files->attributes(file)->directory);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no temporary left behind";
  EXPECT_THROW(files->replace_file(temp / "missing" + files->separator() + "x.conf", "x"), HostError);
#ifdef _WIN32
  // Another process reading the file (a second Excel starting) holds it open for a moment: the
  // save waits for it instead of failing.
  win::unique_hfile reader(::CreateFileW(win::to_wide(file).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  std::thread closer([&] { ::Sleep(200); reader.reset(); });
  EXPECT_NO_THROW(files->replace_file(file, "after the reader"));
  closer.join();
  EXPECT_EQ(files->read_file(file, 1 << 20), "after the reader");
#endif
}

// Anything in the shared folder may have been planted by another user: only a regular file
// within the bound is read, and nothing waits on a pipe or reads a device without end.
TEST_F(PlatformSettings, only_bounded_regular_files_are_read) {
  const std::size_t bound = 4096;
  struct Row {
    const char* what;
    std::function<void(const std::string&)> plant;
    bool readable;
  };
  const Row rows[] = {
      {"a regular file at the bound", [&](const std::string& p) { files->replace_file(p, std::string(bound, 'r')); }, true},
      {"a regular file above it", [&](const std::string& p) { files->replace_file(p, std::string(bound + 1, 'r')); }, false},
      {"a folder", [&](const std::string& p) { files->create_folder(p); }, false},
#ifndef _WIN32  // pipes and device links are planted the POSIX way only
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0666), 0); }, false},
      {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, false},
#endif
  };
  for (const Row& r : rows) {
    const std::string path = temp / unique_name("planted");
    r.plant(path);
    if (r.readable) EXPECT_EQ(files->read_file(path, bound).size(), bound) << r.what;
    else EXPECT_THROW(files->read_file(path, bound), HostError) << r.what;
  }
}

TEST_F(PlatformSettings, temporaries_are_new_files_and_stale_ones_go) {
  const std::string path = temp / "Tessaly.conf";
  const std::string stale = path + ".tmp.0123456789abcdef", fresh = path + ".tmp.fedcba9876543210";
  files->replace_file(stale, "left by a writer that died");
  files->replace_file(fresh, "a save in progress");
  fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(2));
#ifndef _WIN32  // symbolic links need a privilege on Windows
  // A link planted at the name the old writer used for its temporary must not be written through.
  const std::string victim = temp / "victim";
  files->replace_file(victim, "untouched");
  fs::create_symlink(victim, path + ".tmp" + std::to_string(::getpid()));
  fs::create_symlink(victim, path);
#endif
  files->replace_file(path, "record");
  EXPECT_EQ(files->read_file(path, 100), "record");
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
#ifndef _WIN32
  EXPECT_EQ(files->read_file(victim, 100), "untouched");
  EXPECT_FALSE(fs::is_symlink(path)) << "the link itself was replaced";
#endif
}

#ifndef _WIN32
// The per-user store's own file (natively): the registry writes each value on its own, so these
// hazards of a read-modify-write file exist only here.
std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void write_bytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// A folder for many synced saves: in memory when the system offers it, or a thousand saves take long.
TempFolder MemoryFolder(const TempFolder& temp, const std::string& stem) {
  return TempFolder(stem, fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : temp.path);
}

// Runs `child(i)` in `n` processes at once; each must exit with 0.
void ForkAll(int n, const std::function<int(int)>& child) {
  std::vector<pid_t> children;
  for (int i = 0; i < n; ++i) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(child(i));
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
}

TEST_F(PlatformSettings, concurrent_writers_lose_nothing) {
  constexpr int kWriters = 2, kEach = 150;
  ForkAll(kWriters, [&](int w) {
    auto own = MakeUserSettings();
    for (int i = 0; i < kEach; ++i) own->save(app, "GlobalOptions", "W" + std::to_string(w) + "_" + std::to_string(i), "1");
    return 0;
  });
  const int lost = kWriters * kEach - static_cast<int>(store->list(app, "GlobalOptions").size());
  std::printf("concurrent writes lost: %d of %d\n", lost, kWriters * kEach);
  EXPECT_EQ(lost, 0);
}

// A value that would push the file past what is read back is refused with the reason; the file
// keeps every other option, and a restart reads them.
TEST_F(PlatformSettings, an_oversized_value_is_refused_and_the_rest_kept) {
  sim::MemoryServices memory;
  SettingsServices m = memory.services();
  const SettingsServices real{*store, m.files, m.shell, m.system, m.messages, m.locale, m.clock};
  const auto load = [&] {
    auto reg = std::make_unique<cUtilRegMan>(real, app, "");
    reg->InitThisObject(73, "GlobalOptions");
    reg->InitValue(15, "TagSizeX", kTypeLong, Variant::i4(300), kStorePerUser);
    reg->InitValue(53, "CustomDateFormatsValid", kTypeString, Variant::text(""), kStorePerUser);
    reg->LoadAll();
    return reg;
  };
  auto reg = load();
  ASSERT_TRUE(reg->Save(15, Variant::i4(250)).ok());
  ASSERT_TRUE(reg->Save(53, Variant::text("yyyy`1`mmm")).ok());
  const SaveResult result = reg->Save(53, Variant::text(std::string(17 << 20, 'd')));
  EXPECT_EQ(result.status, SaveResult::Status::Failed);
  EXPECT_NE(result.reason.find("16 MB"), std::string::npos) << result.reason;
  EXPECT_EQ(reg->Text(53), "yyyy`1`mmm");
  auto restarted = load();
  EXPECT_EQ(restarted->Long(15), 250);
  EXPECT_EQ(restarted->Text(53), "yyyy`1`mmm");
}

// A link planted at the settings file's name is read as the saves treat it, as no file: nothing
// is read through it, and the next save puts a file of its own in its place.
TEST_F(PlatformSettings, a_link_at_the_settings_file_is_not_followed) {
  const std::string file = static_cast<posix::FileUserSettings&>(*store).file_of(app);
  const std::string victim = temp / "victim.ini";
  write_bytes(victim, "[GlobalOptions]\nTagSizeX=999\n");
  fs::create_directories(fs::path(file).parent_path());
  fs::create_symlink(victim, file);
  EXPECT_TRUE(store->list(app, "GlobalOptions").empty());
  EXPECT_EQ(store->get(app, "GlobalOptions", "TagSizeX", "none"), "none");
  store->save(app, "GlobalOptions", "TagSizeX", "250");
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_EQ(read_bytes(victim), "[GlobalOptions]\nTagSizeX=999\n");
  EXPECT_EQ(store->get(app, "GlobalOptions", "TagSizeX", "none"), "250");
}

// The machine file's lock lives in a folder every user may write: a FIFO planted at its name
// must not hang the save, a link there is not followed, and the file is still written or refused.
TEST_F(PlatformSettings, planted_lock_files_never_hang_a_save) {
  const std::string victim = temp / "victim";
  write_bytes(victim, "untouched");
  for (const bool fifo : {true, false}) {
    const std::string path = temp / unique_name("Tessaly.conf");
    if (fifo) ASSERT_EQ(::mkfifo((path + ".lock").c_str(), 0666), 0);
    else fs::create_symlink(victim, path + ".lock");
    try {
      files->update_file(path, 100, [](const std::optional<std::string>&) { return std::string("record"); });
      EXPECT_EQ(files->read_file(path, 100), "record");
    } catch (const HostError& e) {
      EXPECT_FALSE(fifo) << e.what();
    }
  }
  EXPECT_EQ(read_bytes(victim), "untouched");
}

// A writer killed at any moment of its saves leaves the old file or the new one, never a torn one.
TEST_F(PlatformSettings, killed_writers_leave_whole_files) {
  constexpr int kKills = 60;
  const std::string file = static_cast<posix::FileUserSettings&>(*store).file_of(app);
  store->save(app, "GlobalOptions", "Before", "kept");
  int torn = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      auto own = MakeUserSettings();
      for (int i = 0;; ++i) own->save(app, "GlobalOptions", "K" + std::to_string(i % 50), std::string(i % 300, 'v'));
    }
    ::usleep(static_cast<useconds_t>(2000 + (kill * 7919) % 20000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const posix::ParsedSettings parsed = posix::ParseSettings(read_bytes(file));
    torn += parsed.damaged > 0 || store->get(app, "GlobalOptions", "Before", "") != "kept";
  }
  std::printf("writers killed: %d; torn files: %d\n", kKills, torn);
  EXPECT_EQ(torn, 0);
}

// Every single-bit flip of a settings file: what each reads afterwards, and what survives the
// next save (the start-up's first-run flag is one).
TEST_F(PlatformSettings, damaged_files_are_read_past_and_kept) {
  const TempFolder root = MemoryFolder(temp, "tessaly-flips-");
  std::unique_ptr<IUserSettings> store = std::make_unique<posix::FileUserSettings>(root.path.string());
  const std::pair<std::string, std::string> options[] = {
      {"CalendarDisabled", "0"}, {"TagSizeX", "250"}, {"DefaultDateFormat", "m/d/yyyy"},
      {"CustomDateFormatsValid", "yyyy`1`mmm"}, {"RibbonFile", "C:\\Addin\\caltab.xml"}, {"FirstTimeRun", "0"}};
  for (const auto& [k, v] : options) store->save(app, "GlobalOptions", k, v);
  const std::string file = static_cast<posix::FileUserSettings&>(*store).file_of(app);
  const std::string clean = read_bytes(file);
  const std::size_t header_end = clean.find('\n');
  const auto intact = [&](const std::vector<std::pair<std::string, std::string>>& got) {
    int n = 0;
    for (const auto& o : options) n += std::count(got.begin(), got.end(), o) > 0;
    return n;
  };
  int flips = 0, over_read = 0, header_renamed = 0, lost_for_good = 0;
  for (std::size_t at = 0; at < clean.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit, ++flips) {
      std::string bad = clean;
      bad[at] = static_cast<char>(bad[at] ^ (1 << bit));
      write_bytes(file, bad);
      std::filesystem::remove(file + ".damaged");
      const int read = intact(store->list(app, "GlobalOptions"));
      // A flipped line break merges its line with the next: both count as hit.
      const int hit = clean[at] == '\n' && at != header_end ? 2 : 1;
      if (static_cast<int>(std::size(options)) - read > hit) (at > 0 && at + 1 < header_end ? header_renamed : over_read)++;
      store->save(app, "GlobalOptions", "FirstTimeRun", "0");
      const std::string kept = std::filesystem::exists(file + ".damaged") ? read_bytes(file + ".damaged") : "";
      if (intact(store->list(app, "GlobalOptions")) < read && kept != bad) ++lost_for_good;
    }
  }
  std::printf("bit flips: %d; read past: %d; lost more than the option hit: %d (+%d with a renamed section); "
              "lost for good: %d\n", flips, flips - over_read - header_renamed, over_read, header_renamed, lost_for_good);
  EXPECT_EQ(over_read, 0);
  EXPECT_EQ(lost_for_good, 0);

  // A byte-order mark, as an editor may leave it, hides nothing.
  write_bytes(file, "\xEF\xBB\xBF" + clean);
  EXPECT_EQ(intact(store->list(app, "GlobalOptions")), static_cast<int>(std::size(options)));
}
#endif

TEST_F(PlatformSettings, users_grant) {
  std::string dir = temp / "shared";
  files->create_folder(dir);
#ifdef _WIN32
  EXPECT_FALSE(users_have_an_inherited_grant(dir));
#endif
  files->grant_users_full_access(dir);
#ifdef _WIN32
  // Wine accepts SetNamedSecurityInfo but keeps no DACL on a folder of the Unix file system it
  // does not hold extended attributes for; only real Windows shows the new entry afterwards.
  if (!testing::UnderWine()) {
    EXPECT_TRUE(users_have_an_inherited_grant(dir));
  }
#else
  auto perms = fs::status(dir).permissions();
  EXPECT_EQ(perms & fs::perms::others_all, fs::perms::others_all);
  EXPECT_EQ(perms & fs::perms::group_all, fs::perms::group_all);
#endif
  EXPECT_THROW(files->grant_users_full_access(temp / "absent"), HostError);
#ifdef _WIN32
  // The entry names the group by its well-known SID, whatever the language of Windows: seen on an
  // access list of its own, as Wine keeps none on the folder.
  ACL empty;
  ASSERT_TRUE(::InitializeAcl(&empty, sizeof empty, ACL_REVISION));
  const win::unique_hlocal dacl = win::WithUsersFullAccess(&empty);
  EXPECT_TRUE(grants_users(static_cast<PACL>(dacl.get())));
#endif
}

#ifdef _WIN32
// A box is modal to the window active on this thread, else to the host's main window.
TEST(platform_message_box, owned_by_the_active_window_or_the_host) {
  for (bool dialog_active : {false, true}) {
    SCOPED_TRACE(dialog_active ? "dialog active" : "host window only");
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                  nullptr);
    HWND dialog = nullptr;
    if (dialog_active) {
      dialog = ::CreateWindowExW(0, L"STATIC", L"dialog", WS_POPUP | WS_VISIBLE | WS_CAPTION, 50, 50, 200, 100, host,
                                 nullptr, nullptr, nullptr);
      ::SetForegroundWindow(dialog);
      ::SetActiveWindow(dialog);
    }
    ASSERT_EQ(::GetActiveWindow(), dialog);
    win::Win32MessageBox boxes;
    boxes.set_host_window(host);
    BoxWatch watch;
    g_watch = &watch;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, WatchBox);
    MsgResult answer = boxes.show({"Text", "Tessaly box", MsgIcon::Information, MsgButtons::OK});
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(answer, MsgResult::OK) << "closed by the Enter key";
    EXPECT_EQ(watch.owner, dialog_active ? dialog : host);
    EXPECT_FALSE(watch.owner_enabled) << "the owner takes no input while the box is up";
    if (dialog) ::DestroyWindow(dialog);
    ::DestroyWindow(host);
  }
}
#endif

TEST_F(PlatformSettings, special_folders_and_version) {
  auto shell = MakeShellFolders();
  for (int csidl : {kCsidlAppData, kCsidlCommonAppData}) {
    std::string path = shell->special_folder(csidl);
    EXPECT_FALSE(path.empty()) << csidl;
    EXPECT_NE(path.back(), files->separator());
  }
  EXPECT_THROW(shell->special_folder(-7), HostError);
  WindowsVersion v = MakeSystemInfo()->windows_version();
#ifdef _WIN32
  EXPECT_TRUE(v.xp_or_later());
#else
  EXPECT_EQ(v.major, 0u) << "not Windows";
#endif
}

TEST_F(PlatformSettings, long_folder_paths) {
  sim::RecordingMessageBox boxes;
  std::string product = "Tessaly";
  std::string path = temp.path.string();
  while (path.size() < 300) path += files->separator() + std::string(30, 'd');
  bool made = EnsureFolderExists({*files, boxes, product, {}}, path, false);
#ifdef _WIN32
  // Win32 folder paths may end at MAX_PATH (248 characters for a folder) unless long paths are
  // enabled; Wine has no such limit. Either way the outcome is consistent and nothing is thrown.
  if (!made) {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.rfind("Cannot create the following folder: \r\n\r\n", 0), 0u);
    return;
  }
#endif
  EXPECT_TRUE(made);
  EXPECT_TRUE(FolderExists(*files, path));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PlatformSettings, machine_file_through_the_settings_object) {
  sim::RecordingMessageBox boxes;
  auto shell = MakeShellFolders();
  auto system = MakeSystemInfo();
  auto locale = MakeLocale();
  auto clock = MakeClock();
  std::string folder = temp.path.string() + files->separator();
  std::string odd = "line\r\nbreak = and " + std::string(3000, 'z');
  files->replace_file(folder + app + ".conf", std::string(10000, '#'));  // an older, longer record
  auto load = [&] {
    auto reg = std::make_unique<cUtilRegMan>(SettingsServices{*store, *files, *shell, *system, boxes, *locale, *clock},
                                             app, folder);
    reg->InitThisObject(73, "GlobalOptions");
    reg->InitValue(6, "UrlHome", kTypeString, Variant::text("https://home/"), kStorePerMachine);
    reg->LoadAll();
    return reg;
  };
  load()->Value(6, Variant::text(odd));
  EXPECT_TRUE(DecodeMachineRecord(files->read_file(folder + app + ".conf", kMaxMachineFileBytes)));
  store->save(app, "GlobalOptions", "UrlHome", "https://mine/");
  EXPECT_EQ(load()->Text(6), odd) << "the machine file wins over an unlisted user value";
  EXPECT_EQ(store->get(app, "GlobalOptions", "UrlHome", ""), odd);
  EXPECT_TRUE(boxes.shown().empty());
}

// Two processes save the machine file at once, 500 options each, every one its own: the file
// ends with all 1,000 (each save re-reads the file under its lock and changes only its option).
constexpr int kSavesEach = 500;
constexpr const char* kSaverFolder = "TESSALY_SAVER_FOLDER";
constexpr const char* kSaverRole = "TESSALY_SAVER_ROLE";

// One saving process: its own in-memory user store, the real files, options "S<role>_<i>".
int RunMachineSaver(int role, const std::string& folder) {
  sim::MemoryServices memory;
  auto files = MakeFileSystem();
  SettingsServices services = memory.services();
  cUtilRegMan reg(SettingsServices{services.store, *files, services.shell, services.system, services.messages,
                                   services.locale, services.clock},
                  "Tessaly", folder);
  reg.InitThisObject(2 * kSavesEach, "GlobalOptions");
  for (short i = 0; i < 2 * kSavesEach; ++i)
    reg.InitValue(i, "S" + std::to_string(i / kSavesEach) + "_" + std::to_string(i % kSavesEach), kTypeString,
                  Variant::text(""), kStorePerMachine);
  reg.LoadAll();
  int failed = 0;
  for (short i = 0; i < kSavesEach; ++i)
    failed += !reg.Save(static_cast<short>(role * kSavesEach + i), Variant::text("saved")).ok();
  return failed;
}

// The child's side: runs only when a parent started this executable as a saver.
TEST(PlatformMachineSaver, DISABLED_child) {
  const char* folder = std::getenv(kSaverFolder);
  const char* role = std::getenv(kSaverRole);
  ASSERT_TRUE(folder && role);
  EXPECT_EQ(RunMachineSaver(std::atoi(role), folder), 0);
}

TEST_F(PlatformSettings, two_processes_saving_the_machine_file_lose_nothing) {
#ifdef _WIN32
  const std::string folder = temp.path.string() + files->separator();
  wchar_t self[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::wstring command = std::wstring(L"\"") + self +
                         L"\" --gtest_brief=1 --gtest_also_run_disabled_tests --gtest_filter=PlatformMachineSaver.DISABLED_child";
  ::SetEnvironmentVariableW(win::to_wide(kSaverFolder).c_str(), win::to_wide(folder).c_str());
  std::vector<win::unique_hprocess> children;
  for (int role = 0; role < 2; ++role) {
    ::SetEnvironmentVariableW(win::to_wide(kSaverRole).c_str(), std::to_wstring(role).c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    ::CloseHandle(pi.hThread);
    children.emplace_back(pi.hProcess);
  }
  for (auto& child : children) {
    ASSERT_EQ(::WaitForSingleObject(child.get(), 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(child.get(), &code);
    EXPECT_EQ(code, 0u);
  }
#else
  const TempFolder root = MemoryFolder(temp, "tessaly-savers-");
  const std::string folder = root.path.string() + files->separator();
  ForkAll(2, [&](int role) { return RunMachineSaver(role, folder) == 0 ? 0 : 1; });
#endif
  const auto bag = DecodeMachineRecord(files->read_file(folder + "Tessaly.conf", kMaxMachineFileBytes));
  ASSERT_TRUE(bag);
  const auto saved = std::count_if(bag->begin(), bag->end(), [](const auto& p) { return p.second == "saved"; });
  std::printf("machine-file saves lost: %d of %d\n", 2 * kSavesEach - static_cast<int>(saved), 2 * kSavesEach);
  EXPECT_EQ(saved, 2 * kSavesEach);
}

}  // namespace
}  // namespace tessaly
