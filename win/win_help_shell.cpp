// HTML Help topics of the compiled help file, shown by the system's viewer; web pages and mails
// opened by the shell.
#include "win/win_help_shell.h"

#include <shellapi.h>

#include "win/com_error.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kCloseAll = 0x0012;      // HH_CLOSE_ALL

HtmlHelpFn Entry(HMODULE hhctrl) {
  return reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hhctrl, "HtmlHelpW")));
}

}  // namespace

Win32HelpShell::~Win32HelpShell() {
  // The viewer's windows live in hhctrl.ocx: close them before the library goes.
  if (hhctrl_)
    if (HtmlHelpFn help = Entry(hhctrl_.get())) help(nullptr, nullptr, kCloseAll, 0);
}

void Win32HelpShell::DisplayHelpTopic(const std::string& help_file, const std::string& topic) {
  if (!hhctrl_) hhctrl_.reset(LoadLibraryW(L"hhctrl.ocx"));
  if (!hhctrl_) throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  HtmlHelpFn help = Entry(hhctrl_.get());
  if (!help) throw com_error(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
  if (GetFileAttributesW(to_wide(help_file).c_str()) == INVALID_FILE_ATTRIBUTES)
    throw com_error(HRESULT_FROM_WIN32(GetLastError()));
  const std::wstring target = to_wide(help_file + "::/" + topic);
  if (!help(nullptr, target.c_str(), kDisplayTopic, 0)) throw com_error(E_FAIL, L"The help topic could not be shown.");
}

void Win32HelpShell::OpenAddress(const std::string& address) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", to_wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // Values up to 32 are errors, most of them Win32 codes.
  if (result <= 32) throw com_error(HRESULT_FROM_WIN32(result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : GetLastError()));
}

}  // namespace tessaly::win
