// The add-in class's registry entries, as a table written under a per-user classes root and
// removed again as whole keys, in the registry view of the DLL's own bitness.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace tessaly::win {

// {5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}
inline constexpr CLSID CLSID_Connect = {0x5D6917AF, 0xC6C4, 0x4AED, {0x8E, 0xC1, 0x03, 0x9F, 0x2D, 0xEF, 0xC9, 0x14}};
inline constexpr wchar_t kConnectClsid[] = L"{5D6917AF-C6C4-4AED-8EC1-039F2DEFC914}";
inline constexpr wchar_t kConnectProgId[] = L"TESSALY.Connect";
inline constexpr wchar_t kConnectProgIdVersioned[] = L"TESSALY.Connect.1";

// One value: key below the classes root, value name (null: the key's default value), data.
// kModulePath as data stands for the DLL's full path.
struct RegistryEntry {
  const wchar_t* key;
  const wchar_t* value_name;
  const wchar_t* data;
};
inline constexpr wchar_t kModulePath[] = L"<module>";

std::span<const RegistryEntry> ConnectRegistryEntries();
// The keys that unregistration removes, each with everything below it.
std::span<const wchar_t* const> ConnectRegistryKeys();

// KEY_WOW64_64KEY in a 64-bit DLL, KEY_WOW64_32KEY in a 32-bit one.
REGSAM OwnRegistryView();

// Writes every entry below classes_root; writing again rewrites the same values. Throws
// ComError with the registry's HRESULT (a read-only root gives E_ACCESSDENIED).
void RegisterServer(HKEY classes_root, const std::wstring& module_path);
// Removes the keys, then the CLSID container when that leaves it empty. Absent keys are fine.
void UnregisterServer(HKEY classes_root);

// HKEY_CURRENT_USER\Software\Classes in the DLL's view: no administrator rights needed.
HRESULT RegisterPerUser(const std::wstring& module_path) noexcept;
HRESULT UnregisterPerUser() noexcept;

}  // namespace tessaly::win
