// The About box as a modal Win32 dialog, and the add-in file's version.
#include "win/ui/about_window.h"

#include <string>
#include <vector>

#include "win/com_error.h"
#include "win/handles.h"
#include "win/ui/about_ids.h"
#include "win/ui/modal_dialog.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

// The box's state while it is up: its logic and the icons it shows, destroyed when it closes.
struct AboutState {
  frmAbout& about;
  HMODULE module;
  unique_hicon large, small;
};

unique_hicon LoadIcon(HMODULE module, const std::string& name, int size) {
  return unique_hicon(static_cast<HICON>(
      ::LoadImageW(module, to_wide(name).c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void OnInit(HWND box, AboutState& s) {
  ::SetWindowTextW(box, to_wide(s.about.Caption()).c_str());
  ::SetDlgItemTextW(box, IDC_ABOUT_PRODUCT, to_wide(s.about.ProductText()).c_str());
  ::SetDlgItemTextW(box, IDC_ABOUT_VERSION, to_wide(s.about.VersionText()).c_str());
  s.large = LoadIcon(s.module, s.about.LargeIcon(), ::GetSystemMetrics(SM_CXICON));
  s.small = LoadIcon(s.module, s.about.SmallIcon(), ::GetSystemMetrics(SM_CXSMICON));
  ::SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(s.large.get()), 0);
  ::SendMessageW(box, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(s.large.get()));
  ::SendMessageW(box, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(s.small.get()));
  // The focus starts on OK, the default button, rather than on the first button in tab order.
  ::SetFocus(::GetDlgItem(box, IDOK));
}

void OnCommand(HWND box, AboutState& s, WORD id) {
  AboutButton button;
  switch (id) {
    case IDOK:
    case IDCANCEL: button = AboutButton::Close; break;  // the close box and Esc too
    case IDC_ABOUT_WEBSITE: button = AboutButton::WebSite; break;
    case IDC_ABOUT_SUPPORT: button = AboutButton::Support; break;
    default: return;
  }
  if (s.about.Click(button)) ::EndDialog(box, id);
}

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(box, DWLP_USER, lparam);
  auto* s = reinterpret_cast<AboutState*>(::GetWindowLongPtrW(box, DWLP_USER));
  if (!s) return FALSE;
  switch (message) {
    case WM_INITDIALOG: OnInit(box, *s); return FALSE;  // the focus is set
    case WM_COMMAND: OnCommand(box, *s, LOWORD(wparam)); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

FileVersion ModuleFileVersion(HMODULE module) {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = ::GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n == std::size(path)) throw com_error(HRESULT_FROM_WIN32(::GetLastError()));
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) throw com_error(HRESULT_FROM_WIN32(::GetLastError()));
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(path, 0, size, data.data())) throw com_error(HRESULT_FROM_WIN32(::GetLastError()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
    throw com_error(HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND));
  return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS)};
}

void ShowAboutWindow(HMODULE module, HWND owner, frmAbout& about) {
  AboutState state{about, module, {}, {}};
  // The themed look of the add-in's own manifest, current only while the box runs: Excel's own
  // activation context stays as it is.
  const ThemedLook look(module, kThemedLookManifest);
  const auto themed = look.Activate();
  const INT_PTR result = ::DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_FRMABOUT), owner, AboutProc,
                                           reinterpret_cast<LPARAM>(&state));
  if (result == -1 || result == 0) throw com_error(HRESULT_FROM_WIN32(::GetLastError()));
}

}  // namespace tessaly::win
