// HRESULT failures as HostError.
#include "win/com_error.h"

#include <cstdio>
#include <string>

#include "win/utf.h"

namespace tessaly::win {

std::string hresult_text(HRESULT hr) {
  wchar_t* buffer = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", n);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (!text.empty()) return to_utf8(text);
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "Error 0x%08lX", static_cast<unsigned long>(hr));
  return fallback;
}

HostError com_error(HRESULT hr, std::wstring_view description, std::string_view context) {
  return HostError(static_cast<std::int32_t>(hr), description.empty() ? hresult_text(hr) : to_utf8(description),
                   std::string(context));
}

}  // namespace tessaly::win
