// The tag's Win32 window.
#include "win/ui/tag_window.h"

#include <array>

#include "host/callback_depth.h"
#include "host/host_error.h"
#include "tag/calendar_icon.h"
#include "win/window_dpi.h"
#include "win/ui/tooltip.h"
#include "win/this_module.h"
#include "win/ui/window_class.h"
#include "win/ui/window_owner.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

// 0x800000nn is system colour nn.
COLORREF to_colorref(std::uint32_t c) {
  return (c & 0x80000000u) ? ::GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c & 0x00FFFFFF);
}

class Win32Tooltip final : public ITooltip {
 public:
  Win32Tooltip(const TooltipSettings& s, std::unique_ptr<Tooltip> tip, gdi::unique_font font)
      : settings_(s), font_(std::move(font)), tip_(std::move(tip)) {}
  const TooltipSettings& Settings() const override { return settings_; }

 private:
  TooltipSettings settings_;
  gdi::unique_font font_;  // outlives the control that draws with it
  std::unique_ptr<Tooltip> tip_;
};

}  // namespace

unique_hicon CreateBuiltinCalendarIcon() {
  const auto& pixels = BuiltinCalendarIcon();
  BITMAPV5HEADER h{};
  h.bV5Size = sizeof h;
  h.bV5Width = kCalendarIconSize;
  h.bV5Height = -kCalendarIconSize;
  h.bV5Planes = 1;
  h.bV5BitCount = 32;
  h.bV5Compression = BI_BITFIELDS;
  h.bV5RedMask = 0x00FF0000;
  h.bV5GreenMask = 0x0000FF00;
  h.bV5BlueMask = 0x000000FF;
  h.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  gdi::unique_bitmap colour(::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0));
  ::ReleaseDC(nullptr, screen);
  if (!colour || !bits) return {};
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    // Premultiplied, as an alpha icon expects.
    const std::uint32_t p = pixels[i], a = p >> 24;
    const auto mul = [a](std::uint32_t c) { return c * a / 255; };
    out[i] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
  }
  // An all-clear AND mask: the colour bitmap's alpha decides what shows.
  static const std::array<std::uint16_t, kCalendarIconSize> kClearMask{};
  gdi::unique_bitmap mask(::CreateBitmap(kCalendarIconSize, kCalendarIconSize, 1, 1, kClearMask.data()));
  ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
  return unique_hicon(::CreateIconIndirect(&info));
}

std::unique_ptr<TagWindow> TagWindow::try_create(HWND owner) {
  if (!RegisterWindowClass(kClassName, &TagWindow::window_proc, IDC_HAND)) return nullptr;
  std::unique_ptr<TagWindow> t(new TagWindow());
  const bool child = owner && ::IsWindow(owner);
  // In the owner's DPI awareness, so that the tag can later become a child of the host's windows.
  const DpiAwarenessScope awareness(owner);
  const HWND w = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClassName, L"",
                                   (child ? WS_CHILD : WS_POPUP) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                   t->look_.width, t->look_.height, child ? owner : nullptr, nullptr, ThisModule(), t.get());
  if (!w) return nullptr;
  t->timer_.attach(w);
  t->builtin_icon_ = CreateBuiltinCalendarIcon();
  TagWindow* tag = t.get();
  t->system_watch_ = SystemChangeWatch::try_create([tag] {
    if (tag->sink_) tag->sink_->ColorsChanged();
  });
  return t;
}

void TagWindow::SetAccessibleName(const std::string& name) {
  accessible_name_ = name;
  if (!window_) return;
  if (!msaa_) msaa_ = std::make_unique<MsaaAnswer>(window_, static_cast<IAccessibleSource&>(*this));
  ::SetWindowTextW(window_, to_wide(name).c_str());
}

AccessibleElement TagWindow::Self() {
  AccessibleElement e;
  e.name = accessible_name_;
  e.default_action = "Press";
  e.role = AccessibleRole::PushButton;
  RECT rc{};
  ::GetClientRect(window_, &rc);
  e.bounds = Rect{0, 0, rc.right, rc.bottom};
  return e;
}

void TagWindow::DoDefaultAction(int index) {
  if (index == -1 && sink_) sink_->Click();
}

bool TagWindow::HighContrast() const {
  return SystemHighContrast();
}

TagWindow::~TagWindow() {
  msaa_.reset();
  sink_ = nullptr;
  system_watch_.reset();
  timer_.stop();
  if (window_ && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

void TagWindow::SetLook(const TagLook& look) {
  look_ = look;
  ::SetWindowPos(window_, nullptr, 0, 0, look.width, look.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, TRUE);
}

void TagWindow::StartTimer(std::int32_t period_ms) {
  if (!timer_.start(period_ms)) throw HostError("The system has no timer left.");
}

bool TagWindow::LoadIconFile(const std::string& path) {
  unique_hicon icon(static_cast<HICON>(
      ::LoadImageW(nullptr, to_wide(path).c_str(), IMAGE_ICON, kCalendarIconSize, kCalendarIconSize, LR_LOADFROMFILE)));
  if (!icon) return false;
  file_icon_ = std::move(icon);
  ::InvalidateRect(window_, nullptr, TRUE);
  return true;
}

std::unique_ptr<ITooltip> TagWindow::CreateTooltip(const TooltipSettings& s) {
  const HWND owner = reinterpret_cast<HWND>(s.owner);
  const int dpi = WindowDpi(owner);
  gdi::unique_font font(::CreateFontW(-static_cast<int>(s.font_points * dpi / 72.0 + 0.5), 0, 0, 0, FW_NORMAL, FALSE,
                                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, to_wide(s.font_face).c_str()));
  auto tip = Tooltip::try_create(owner, {s.max_width, s.autopop_ms, s.initial_ms, font.get(), s.always_tip, s.no_prefix});
  if (!tip || !tip->add_tool(reinterpret_cast<HWND>(s.tool), s.text))
    throw HostError("The tooltip control cannot be made.");
  return std::make_unique<Win32Tooltip>(s, std::move(tip), std::move(font));
}

LRESULT CALLBACK TagWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CallbackScope call;  // the handler may reach the add-in's teardown
  TagWindow* self = WindowOwner<TagWindow>(window, message, lparam);
  if (!self) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCCREATE) {
    self->window_ = window;
  }
  return self->on_message(message, wparam, lparam);
}

LRESULT TagWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    // Never activated, never focused: the host keeps the keyboard.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETFOCUS:
      if (wparam && ::IsWindow(reinterpret_cast<HWND>(wparam))) ::SetFocus(reinterpret_cast<HWND>(wparam));
      return 0;
    case WM_ERASEBKGND: return 1;  // the paint fills every pixel
    case WM_PAINT: on_paint(); return 0;
    case WM_MOUSEMOVE:
      if (sink_) sink_->MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      ::SetCapture(window_);
      return 0;
    case WM_LBUTTONUP: {
      const bool was_pressed = pressed_;
      pressed_ = false;
      if (::GetCapture() == window_) ::ReleaseCapture();
      RECT rc{};
      ::GetClientRect(window_, &rc);
      const POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (was_pressed && ::PtInRect(&rc, p) && sink_) sink_->Click();
      return 0;
    }
    case WM_CAPTURECHANGED: pressed_ = false; return 0;
    case WM_GETOBJECT:
      if (msaa_)
        if (const auto answer = msaa_->on_get_object(wparam, lparam)) return *answer;
      return ::DefWindowProcW(window_, message, wparam, lparam);
    case MsaaAnswer::kDefaultActionMessage:
      if (msaa_) msaa_->on_default_action(wparam);
      return 0;
    case WM_NCDESTROY:
      // Destroyed with the main window it was parked in: the handle is dead from here on.
      timer_.stop();
      destroyed_ = true;
      window_ = nullptr;
      return 0;
    case WM_TIMER:
      if (timer_.owns(wparam) && sink_) sink_->Timer();
      return 0;
    default: return ::DefWindowProcW(window_, message, wparam, lparam);
  }
}

void TagWindow::on_paint() {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(window_, &ps);
  if (dc) {
    RECT rc{};
    ::GetClientRect(window_, &rc);
    gdi::unique_brush back(::CreateSolidBrush(to_colorref(look_.background)));
    gdi::unique_brush border(::CreateSolidBrush(to_colorref(look_.border)));
    if (back) ::FillRect(dc, &rc, back.get());
    if (border) ::FrameRect(dc, &rc, border.get());
    const HICON icon = file_icon_ ? file_icon_.get() : builtin_icon_.get();
    if (icon)
      ::DrawIconEx(dc, look_.icon.left, look_.icon.top, icon, look_.icon.width(), look_.icon.height(), 0, nullptr, DI_NORMAL);
  }
  ::EndPaint(window_, &ps);
}

std::unique_ptr<ITagForm> CreateTagForm(HWND owner) {
  std::unique_ptr<TagWindow> t = TagWindow::try_create(owner);
  if (!t) throw HostError("The tag window cannot be made.");
  return t;
}

std::unique_ptr<ITagWindow> CreateTag(TagServices services, HWND owner) {
  return std::make_unique<frmTag>(std::move(services), CreateTagForm(owner));
}

}  // namespace tessaly::win
