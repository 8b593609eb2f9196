// Win32 implementations of the settings' platform services.
#include "win/win_settings.h"

#include <windows.h>
#include <aclapi.h>
#include <oleauto.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <random>

#include "host/host_error.h"
#include "host/platform_settings.h"
#include "win/handles.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

const wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\";

std::string describe(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  unique_hlocal owner(buf);
  std::wstring text(buf ? buf : L"", n);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text.empty() ? "Error " + std::to_string(code) : to_utf8(text);
}

[[noreturn]] void fail(DWORD code, const std::string& what) {
  throw HostError(static_cast<std::int32_t>(code), describe(code), what);
}

std::wstring section_key(const std::string& application, const std::string& section) {
  return kSettingsRoot + to_wide(application) + L"\\" + to_wide(section);
}

// The section's key for reading; empty when it does not exist.
unique_hkey open_section(const std::string& application, const std::string& section) {
  unique_hkey key;
  LONG rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, section_key(application, section).c_str(), 0, KEY_READ, key.put());
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return {};
  if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot open the settings of " + application);
  return key;
}

// A REG_SZ's text from its raw bytes: the stored size counts a closing NUL, which is dropped.
std::wstring string_of(const std::wstring& raw) {
  std::wstring s = raw;
  if (!s.empty() && s.back() == L'\0') s.pop_back();
  return s;
}

}  // namespace

std::string RegistryUserSettings::get(const std::string& application, const std::string& section,
                                      const std::string& key, const std::string& default_value) const {
  unique_hkey k = open_section(application, section);
  if (!k) return default_value;
  std::wstring name = to_wide(key);
  for (;;) {
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return default_value;
    if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot read the setting " + key);
    std::wstring raw((size + 1) / sizeof(wchar_t), L'\0');
    DWORD got = static_cast<DWORD>(raw.size() * sizeof(wchar_t));
    rc = ::RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(raw.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;  // it grew in between
    if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot read the setting " + key);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return default_value;
    raw.resize(got / sizeof(wchar_t));
    return to_utf8(string_of(raw));
  }
}

void RegistryUserSettings::save(const std::string& application, const std::string& section, const std::string& key,
                                const std::string& value) {
  unique_hkey k;
  LONG rc = ::RegCreateKeyExW(HKEY_CURRENT_USER, section_key(application, section).c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, k.put(), nullptr);
  if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot write the settings of " + application);
  std::wstring data = to_wide(value);
  rc = ::RegSetValueExW(k.get(), to_wide(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot write the setting " + key);
}

std::vector<std::pair<std::string, std::string>> RegistryUserSettings::list(const std::string& application,
                                                                            const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> out;
  unique_hkey k = open_section(application, section);
  if (!k) return out;
  DWORD max_name = 0, max_data = 0;
  LONG rc = ::RegQueryInfoKeyW(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &max_name,
                               &max_data, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot list the settings of " + application);
  std::wstring name(max_name + 1, L'\0');
  std::wstring data(max_data / sizeof(wchar_t) + 1, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD data_len = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    rc = ::RegEnumValueW(k.get(), i, name.data(), &name_len, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &data_len);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) {  // a value grew while listing: start over with bigger buffers
      name.assign(name.size() * 2 + 256, L'\0');
      data.assign(data.size() * 2 + 256, L'\0');
      out.clear();
      i = static_cast<DWORD>(-1);
      continue;
    }
    if (rc != ERROR_SUCCESS) fail(static_cast<DWORD>(rc), "Cannot list the settings of " + application);
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    std::wstring value = string_of(data.substr(0, data_len / sizeof(wchar_t)));
    out.emplace_back(to_utf8(std::wstring_view(name.data(), name_len)), to_utf8(value));
  }
  return out;
}

std::optional<IFileSystem::Attributes> Win32FileSystem::attributes(const std::string& path) const {
  if (path.empty()) return std::nullopt;
  DWORD a = ::GetFileAttributesW(to_wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return Attributes{(a & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

void Win32FileSystem::create_folder(const std::string& path) {
  if (!::CreateDirectoryW(to_wide(path).c_str(), nullptr)) fail(::GetLastError(), "Cannot create " + path);
}

std::string Win32FileSystem::read_file(const std::string& path, std::size_t max_bytes) const {
  // Without following a reparse point, only a plain disk file of at most max_bytes is read:
  // a pipe or a device never gets a ReadFile that could wait or never end.
  unique_hfile f(::CreateFileW(to_wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!f) fail(::GetLastError(), "Cannot open " + path);
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(f.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(f.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    throw HostError(ERROR_INVALID_FUNCTION, "Not a regular file", "Cannot read " + path);
  const auto too_large = [&] {
    return HostError(ERROR_FILE_TOO_LARGE, "Larger than " + std::to_string(max_bytes) + " bytes", "Cannot read " + path);
  };
  if ((std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow) > max_bytes) throw too_large();
  std::string out;
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(f.get(), buf, sizeof buf, &got, nullptr)) fail(::GetLastError(), "Cannot read " + path);
    if (got == 0) break;
    if (out.size() + got > max_bytes) throw too_large();  // grew while read
    out.append(buf, got);
  }
  return out;
}

namespace {

// "<name>.tmp." and 16 random hex digits, so nobody can plant a link at the name beforehand.
std::wstring temporary_name(const std::wstring& target) {
  static std::random_device device;
  const std::uint64_t r = (std::uint64_t{device()} << 32) ^ device();
  wchar_t hex[17];
  ::swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(r));
  return target + L".tmp." + hex;
}

// Removes temporaries of the target (".tmp" and anything after it) left more than an hour ago:
// younger ones may belong to a save in progress. DeleteFile removes a link, not its target.
void remove_stale_temporaries(const std::wstring& target) {
  const std::size_t cut = target.find_last_of(L"\\/");
  const std::wstring folder = cut == std::wstring::npos ? L"" : target.substr(0, cut + 1);
  WIN32_FIND_DATAW found{};
  unique_hfind search(::FindFirstFileW((target + L".tmp*").c_str(), &found));
  if (!search) return;
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) { return std::uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime; };
  constexpr std::uint64_t kHour = 36'000'000'000;  // in 100-nanosecond ticks
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (ticks(now) - ticks(found.ftLastWriteTime) > kHour) ::DeleteFileW((folder + found.cFileName).c_str());
  } while (::FindNextFileW(search.get(), &found));
}

}  // namespace

void Win32FileSystem::replace_file(const std::string& path, const std::string& bytes) {
  std::wstring target = to_wide(path);
  remove_stale_temporaries(target);
  std::wstring temp;
  unique_hfile f;
  for (int attempt = 0; !f && attempt < 8; ++attempt) {
    temp = temporary_name(target);
    // CREATE_NEW fails on anything already at the name, a planted link included.
    f.reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!f && ::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
      fail(::GetLastError(), "Cannot create " + path);
  }
  if (!f) fail(ERROR_FILE_EXISTS, "Cannot create " + path);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD wrote = 0;
    if (!::WriteFile(f.get(), bytes.data() + done, chunk, &wrote, nullptr)) {
      DWORD e = ::GetLastError();
      f.reset();
      ::DeleteFileW(temp.c_str());
      fail(e, "Cannot write " + path);
    }
    done += wrote;
  }
  if (!::FlushFileBuffers(f.get())) {
    DWORD e = ::GetLastError();
    f.reset();
    ::DeleteFileW(temp.c_str());
    fail(e, "Cannot write " + path);
  }
  f.reset();
  // A file that another process has open (a reader, a second Excel starting, a virus scanner)
  // cannot be replaced until it is closed; such readers hold it for moments, so wait up to two
  // seconds before the save counts as failed.
  DWORD e = ERROR_SUCCESS;
  for (int waited_ms = 0;; waited_ms += 10) {
    if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
    e = ::GetLastError();
    if ((e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION) || waited_ms >= 2000) break;
    ::Sleep(10);
  }
  ::DeleteFileW(temp.c_str());
  fail(e, "Cannot replace " + path);
}

namespace {

// An exclusive lock on "<path>.lock" beside the file, which each save replaces: a lock on the
// file itself would not bind the next writer. The lock file is shared for reading and writing
// (every user's process opens it) and opened as itself, never through a planted link. A holder
// that keeps it for 10 seconds is taken for stuck: the save fails instead of waiting.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    file_.reset(::CreateFileW(to_wide(path + ".lock").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file_) fail(::GetLastError(), "Cannot lock " + path);
    for (int waited_ms = 0;; waited_ms += 5) {
      OVERLAPPED at{};
      if (::LockFileEx(file_.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) break;
      const DWORD e = ::GetLastError();
      if (e != ERROR_LOCK_VIOLATION && e != ERROR_IO_PENDING) fail(e, "Cannot lock " + path);
      if (waited_ms >= 10000) fail(ERROR_LOCK_VIOLATION, "Cannot lock " + path);
      ::Sleep(5);
    }
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() {
    OVERLAPPED at{};
    ::UnlockFileEx(file_.get(), 0, 1, 0, &at);
  }

 private:
  unique_hfile file_;  // closing it would release the lock too
};

}  // namespace

void Win32FileSystem::update_file(const std::string& path, std::size_t max_bytes, const FileChange& change) {
  FileLock lock(path);
  std::optional<std::string> old;
  try {
    old = read_file(path, max_bytes);
  } catch (const HostError&) {
    // Missing or unreadable (too large, not a plain file): the change starts from nothing.
  }
  replace_file(path, change(old));
}

unique_hlocal WithUsersFullAccess(PACL dacl) {
  // The group by its well-known SID: its name differs with the language of Windows (Benutzer,
  // Utilisateurs), and a grant by name fails there.
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof users;
  if (!::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) fail(::GetLastError(), "Cannot name the Users group");
  EXPLICIT_ACCESSW ea{};
  ea.grfAccessPermissions = GENERIC_ALL | STANDARD_RIGHTS_ALL;  // 0x101F0000
  ea.grfAccessMode = SET_ACCESS;
  ea.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  ea.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  ea.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  ea.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);
  PACL merged = nullptr;
  DWORD rc = ::SetEntriesInAclW(1, &ea, dacl, &merged);
  unique_hlocal owner(merged);
  if (rc != ERROR_SUCCESS) fail(rc, "Cannot extend the access rights");
  return owner;
}

void Win32FileSystem::grant_users_full_access(const std::string& path) {
  std::wstring object = to_wide(path);
  PACL old_dacl = nullptr;  // points into the descriptor
  PSECURITY_DESCRIPTOR sd_raw = nullptr;
  DWORD rc = ::GetNamedSecurityInfoW(object.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                     &old_dacl, nullptr, &sd_raw);
  unique_hlocal sd(sd_raw);
  if (rc != ERROR_SUCCESS) fail(rc, "Cannot read the access rights of " + path);
  unique_hlocal new_dacl = WithUsersFullAccess(old_dacl);
  rc = ::SetNamedSecurityInfoW(object.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                               static_cast<PACL>(new_dacl.get()), nullptr);
  if (rc != ERROR_SUCCESS) fail(rc, "Cannot change the access rights of " + path);
}

std::string Win32ShellFolders::special_folder(int csidl) const {
  wchar_t buf[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE))
    throw HostError(-1, "The shell knows no folder " + std::to_string(csidl));
  return to_utf8(buf);
}

WindowsVersion Win32SystemInfo::windows_version() const {
  // GetVersionEx lies to programs without a manifest since Windows 8.1; RtlGetVersion does not.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
    auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (fn && fn(&info) == 0) return {info.dwMajorVersion, info.dwMinorVersion};
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&info)) fail(::GetLastError(), "Cannot read the Windows version");
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion};
}

HWND Win32MessageBox::owner() const {
  HWND active = ::GetActiveWindow();
  return active ? active : host_window_ ? host_window_() : nullptr;
}

MsgResult Win32MessageBox::show(const MessageRequest& r) {
  UINT style = MB_SETFOREGROUND;
  switch (r.icon) {
    case MsgIcon::None: break;
    case MsgIcon::Critical: style |= MB_ICONERROR; break;
    case MsgIcon::Exclamation: style |= MB_ICONWARNING; break;
    case MsgIcon::Information: style |= MB_ICONINFORMATION; break;
    case MsgIcon::Question: style |= MB_ICONQUESTION; break;
  }
  switch (r.buttons) {
    case MsgButtons::OK: style |= MB_OK; break;
    case MsgButtons::YesNo: style |= MB_YESNO; break;
    case MsgButtons::OKCancel: style |= MB_OKCANCEL; break;
  }
  int answer = ::MessageBoxW(owner(), to_wide(r.text).c_str(), to_wide(r.title).c_str(), style);
  switch (answer) {
    case IDOK: return MsgResult::OK;
    case IDCANCEL: return MsgResult::Cancel;
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    default: fail(::GetLastError(), "Cannot show a message box");
  }
}

double Win32Clock::now() const {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  double serial = 0;
  if (!::SystemTimeToVariantTime(&st, &serial)) throw HostError(-1, "Cannot convert the local time");
  return serial;
}

namespace {

// One locale text into `field`; a locale that lacks it keeps the fallback.
void take(LCTYPE item, std::string& field) {
  wchar_t buf[255] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buf, 255) > 0 && buf[0] != L'\0') field = to_utf8(buf);
}

}  // namespace

LocaleData Win32Locale::user_default() const {
  LocaleData d = LocaleData::us_english();
  wchar_t buf[255] = {};
  int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, 255);
  if (n <= 0) fail(::GetLastError(), "Cannot read the short date pattern");
  d.short_date_pattern = to_utf8(buf);
  for (LCTYPE i = 0; i < 12; ++i) {
    take(LOCALE_SMONTHNAME1 + i, d.month_names[i]);
    take(LOCALE_SABBREVMONTHNAME1 + i, d.month_abbreviations[i]);
  }
  // The platform counts weekdays from Monday (SDAYNAME1); ours start on Sunday.
  for (LCTYPE i = 0; i < 7; ++i) {
    take(LOCALE_SDAYNAME1 + (i + 6) % 7, d.day_names[i]);
    take(LOCALE_SABBREVDAYNAME1 + (i + 6) % 7, d.day_abbreviations[i]);
  }
  take(LOCALE_SLONGDATE, d.long_date_pattern);
  take(LOCALE_STIMEFORMAT, d.time_pattern);
  take(LOCALE_SDATE, d.date_separator);
  take(LOCALE_STIME, d.time_separator);
  take(LOCALE_S1159, d.am);
  take(LOCALE_S2359, d.pm);
  return d;
}

}  // namespace tessaly::win

namespace tessaly {

std::unique_ptr<IUserSettings> MakeUserSettings() { return std::make_unique<win::RegistryUserSettings>(); }
std::unique_ptr<IFileSystem> MakeFileSystem() { return std::make_unique<win::Win32FileSystem>(); }
std::unique_ptr<IShellFolders> MakeShellFolders() { return std::make_unique<win::Win32ShellFolders>(); }
std::unique_ptr<ISystemInfo> MakeSystemInfo() { return std::make_unique<win::Win32SystemInfo>(); }
std::unique_ptr<IMessageBox> MakeMessageBox() { return std::make_unique<win::Win32MessageBox>(); }
std::unique_ptr<IClock> MakeClock() { return std::make_unique<win::Win32Clock>(); }
std::unique_ptr<ILocale> MakeLocale() { return std::make_unique<win::Win32Locale>(); }

}  // namespace tessaly
