// Writing and removing the add-in class's per-user registry entries.
#include "win/com/server_registration.h"

#include <cwchar>

#include "win/com/com_result.h"
#include "win/handles.h"

namespace tessaly::win {

namespace {

#define TESSALY_CLSID_KEY L"CLSID\\{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}"

const RegistryEntry kEntries[] = {
    {TESSALY_CLSID_KEY, nullptr, L"Tessaly Connect"},
    {TESSALY_CLSID_KEY L"\\InprocServer32", nullptr, kModulePath},
    {TESSALY_CLSID_KEY L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {TESSALY_CLSID_KEY L"\\ProgID", nullptr, kConnectProgIdVersioned},
    {TESSALY_CLSID_KEY L"\\VersionIndependentProgID", nullptr, kConnectProgId},
    {kConnectProgIdVersioned, nullptr, L"Tessaly Connect"},
    {L"TESSALY.Connect.1\\CLSID", nullptr, kConnectClsid},
    {kConnectProgId, nullptr, L"Tessaly Connect"},
    {L"TESSALY.Connect\\CLSID", nullptr, kConnectClsid},
    {L"TESSALY.Connect\\CurVer", nullptr, kConnectProgIdVersioned},
};

const wchar_t* const kKeys[] = {TESSALY_CLSID_KEY, kConnectProgIdVersioned, kConnectProgId};

void Check(LSTATUS status) {
  if (status != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(status), "registry");
}

void WriteEntry(HKEY root, const RegistryEntry& e, const std::wstring& module_path) {
  unique_hkey key;
  Check(RegCreateKeyExW(root, e.key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | OwnRegistryView(), nullptr,
                        key.put(), nullptr));
  const std::wstring data = std::wcscmp(e.data, kModulePath) == 0 ? module_path : std::wstring(e.data);
  Check(RegSetValueExW(key.get(), e.value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))));
}

// Deletes key and everything below it in our view; a key that is not there is already gone.
void DeleteTree(HKEY root, const wchar_t* name) {
  unique_hkey key;
  const LSTATUS opened = RegOpenKeyExW(root, name, 0, DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE |
                                                         KEY_SET_VALUE | OwnRegistryView(), key.put());
  if (opened == ERROR_FILE_NOT_FOUND) return;
  Check(opened);
  Check(RegDeleteTreeW(key.get(), nullptr));
  key.reset();
  Check(RegDeleteKeyExW(root, name, OwnRegistryView(), 0));
}

template <class F>
HRESULT WithPerUserClasses(REGSAM access, F&& body) noexcept {
  return ComCall([&] {
    unique_hkey classes;
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, REG_OPTION_NON_VOLATILE,
                          access | OwnRegistryView(), nullptr, classes.put(), nullptr));
    body(classes.get());
  });
}

}  // namespace

std::span<const RegistryEntry> ConnectRegistryEntries() { return kEntries; }
std::span<const wchar_t* const> ConnectRegistryKeys() { return kKeys; }

REGSAM OwnRegistryView() { return sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

void RegisterServer(HKEY classes_root, const std::wstring& module_path) {
  for (const RegistryEntry& e : kEntries) WriteEntry(classes_root, e, module_path);
}

void UnregisterServer(HKEY classes_root) {
  // Only our own keys: the CLSID container is shared with every other class of the user.
  for (const wchar_t* key : kKeys) DeleteTree(classes_root, key);
}

HRESULT RegisterPerUser(const std::wstring& module_path) noexcept {
  return WithPerUserClasses(KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                            [&](HKEY classes) { RegisterServer(classes, module_path); });
}

HRESULT UnregisterPerUser() noexcept {
  return ComCall([&] {
    unique_hkey classes;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0,
                                         KEY_READ | KEY_WRITE | DELETE | OwnRegistryView(), classes.put());
    if (opened == ERROR_FILE_NOT_FOUND) return;  // nothing of ours can be there
    Check(opened);
    UnregisterServer(classes.get());
  });
}

}  // namespace tessaly::win
