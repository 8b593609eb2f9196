// The tooltip wrapper over the common controls' tooltip window.
#include "win/ui/tooltip.h"

#include <commctrl.h>

#include "win/utf.h"

namespace tessaly::win {

std::unique_ptr<Tooltip> Tooltip::try_create(HWND owner, const TooltipOptions& options) {
  if (!owner || !::IsWindow(owner)) return nullptr;
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  if (!registered) return nullptr;
  std::unique_ptr<Tooltip> t(new Tooltip());
  t->owner_ = owner;
  const DWORD style = WS_POPUP | (options.always_tip ? TTS_ALWAYSTIP : 0) | (options.no_prefix ? TTS_NOPREFIX : 0);
  t->window_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
  if (!t->window_) return nullptr;
  const HWND w = t->window_.get();
  ::SendMessageW(w, TTM_SETMAXTIPWIDTH, 0, options.max_width);
  if (options.visible_time_ms > 0) ::SendMessageW(w, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(options.visible_time_ms, 0));
  if (options.delay_time_ms > 0) ::SendMessageW(w, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(options.delay_time_ms, 0));
  if (options.font) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(options.font), FALSE);
  return t;
}

bool Tooltip::add_tool(HWND tool, const std::string& text) {
  if (!tool || !::IsWindow(tool)) return false;
  std::wstring wide = to_wide(text);
  TTTOOLINFOW info{};
  // The oldest layout every version of the control accepts.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner_;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = wide.data();
  return ::SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

}  // namespace tessaly::win
