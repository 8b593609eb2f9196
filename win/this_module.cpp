// Finding the module this code was linked into, whether a DLL or a test executable.
#include "win/this_module.h"

#include "win/com_error.h"
#include "win/utf.h"

namespace tessaly::win {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

std::wstring ThisModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // a long path was cut short: try again with room
  }
}

std::string ThisModuleFolder() {
  const std::wstring path = ThisModulePath();
  return to_utf8(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace tessaly::win
