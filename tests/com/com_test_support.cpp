// Registry snapshots, the add-in DLL under test, and the Wine classes-root mirror.
#include "tests/com/com_test_support.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "win/com/server_registration.h"
#include "win/handles.h"
#include "win/utf.h"

namespace tessaly::win::test {

namespace {

void Walk(HKEY key, const std::wstring& prefix, std::map<std::wstring, std::wstring>& out, REGSAM view) {
  DWORD values = 0, subkeys = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  if (values == 0) out[prefix + L"<key>"] = L"";
  for (DWORD i = 0; i < values; ++i) {
    wchar_t name[256];
    DWORD name_len = 256, type = 0;
    BYTE data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegEnumValueW(key, i, name, &name_len, nullptr, &type, data, &size) != ERROR_SUCCESS) continue;
    out[prefix + name] = type == REG_DWORD ? std::to_wstring(*reinterpret_cast<DWORD*>(data))
                                           : std::wstring(reinterpret_cast<wchar_t*>(data));
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    wchar_t name[256];
    DWORD name_len = 256;
    if (RegEnumKeyExW(key, i, name, &name_len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    unique_hkey sub;
    if (RegOpenKeyExW(key, name, 0, KEY_READ | view, sub.put()) == ERROR_SUCCESS)
      Walk(sub.get(), prefix + name + L"\\", out, view);
  }
}

}  // namespace

std::map<std::wstring, std::wstring> Snapshot(HKEY root, const std::wstring& path, REGSAM view) {
  std::map<std::wstring, std::wstring> out;
  unique_hkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS) Walk(key.get(), L"", out, view);
  return out;
}

std::wstring AddInDir() {
  const char* dir = std::getenv("TESSALY_ADDIN_DIR");
  if (!dir) throw std::runtime_error("TESSALY_ADDIN_DIR is not set");
  std::wstring d = to_wide(dir);
  for (wchar_t& c : d)
    if (c == L'/') c = L'\\';
  if (d.back() != L'\\') d += L'\\';
  return d;
}

HMODULE AddInModule() {
  static HMODULE module = LoadLibraryW((AddInDir() + L"Tessaly.dll").c_str());
  if (!module) throw std::runtime_error("Tessaly.dll does not load");
  return module;
}

void MirrorClassForWine() {
  if (!UnderWine()) return;
  for (const wchar_t* key : ConnectRegistryKeys()) {
    const std::wstring from = std::wstring(L"Software\\Classes\\") + key;
    unique_hkey source, target;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, source.put()) != ERROR_SUCCESS) continue;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, from.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.put(), nullptr);
    RegCopyTreeW(source.get(), nullptr, target.get());
  }
}

void RemoveWineMirror() {
  if (!UnderWine()) return;
  unique_hkey classes;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_ALL_ACCESS, classes.put()) != ERROR_SUCCESS) return;
  for (const wchar_t* key : ConnectRegistryKeys()) RegDeleteTreeW(classes.get(), key);
}

}  // namespace tessaly::win::test
