// The picture control as a Win32 child window.
#include "win/ui/picture_window.h"

#include <windowsx.h>

#include "host/callback_depth.h"
#include "win/this_module.h"
#include "win/ui/window_class.h"
#include "win/ui/window_owner.h"

namespace tessaly::win {
namespace {

int key_shift_state() {
  int s = 0;
  if (::GetKeyState(VK_SHIFT) & 0x8000) s |= shift::kShift;
  if (::GetKeyState(VK_CONTROL) & 0x8000) s |= shift::kCtrl;
  if (::GetKeyState(VK_MENU) & 0x8000) s |= shift::kAlt;
  return s;
}

// A mouse message carries Shift and Ctrl as they were when it was posted; Alt is read now.
int mouse_shift_state(WPARAM wparam) {
  int s = 0;
  if (wparam & MK_SHIFT) s |= shift::kShift;
  if (wparam & MK_CONTROL) s |= shift::kCtrl;
  if (::GetKeyState(VK_MENU) & 0x8000) s |= shift::kAlt;
  return s;
}

int buttons_held(WPARAM wparam) {
  int b = 0;
  if (wparam & MK_LBUTTON) b |= mouse::kLeft;
  if (wparam & MK_RBUTTON) b |= mouse::kRight;
  if (wparam & MK_MBUTTON) b |= mouse::kMiddle;
  return b;
}

// Ends a paint however the listener leaves it.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
  ~PaintScope() { ::EndPaint(window_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

}  // namespace

void WindowDevice::draw_focus_rect(const Rect& r) {
  if (r.empty()) return;
  gdi::TargetDc dc(*this);
  if (!dc.get()) return;
  const RECT rc{r.left, r.top, r.right, r.bottom};
  ::DrawFocusRect(dc.get(), &rc);
}

std::unique_ptr<PictureWindow> PictureWindow::try_create(HWND parent, const Rect& bounds) {
  if (!parent || !::IsWindow(parent)) return nullptr;
  if (!RegisterWindowClass(kClassName, &PictureWindow::window_proc, IDC_ARROW, CS_DBLCLKS)) return nullptr;
  std::unique_ptr<PictureWindow> p(new PictureWindow());
  p->back_brush_.reset(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
  HWND w = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, bounds.left,
                             bounds.top, bounds.width(), bounds.height(), parent, nullptr, ThisModule(), p.get());
  if (!w) return nullptr;
  return p;
}

PictureWindow::~PictureWindow() {
  set_accessible(nullptr);
  listener_ = nullptr;  // the owner may be gone; the messages of destruction reach no one
  if (window_ && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

int PictureWindow::scale_width() const {
  RECT rc{};
  ::GetClientRect(window_, &rc);
  return rc.right - rc.left;
}

int PictureWindow::scale_height() const {
  RECT rc{};
  ::GetClientRect(window_, &rc);
  return rc.bottom - rc.top;
}

void PictureWindow::set_no_border() {
  WindowStyles s = window_styles();
  s.style &= ~static_cast<std::uint32_t>(WS_BORDER);
  s.ex_style &= ~static_cast<std::uint32_t>(WS_EX_CLIENTEDGE);
  set_window_styles(s);
}

void PictureWindow::set_back_color(Rgb color) {
  // The same colour again is no change: no new brush, nothing to repaint.
  if (back_brush_ && color == back_color_) return;
  gdi::unique_brush brush(::CreateSolidBrush(color));
  if (!brush) return;
  back_brush_ = std::move(brush);
  back_color_ = color;
  ::InvalidateRect(window_, nullptr, TRUE);
}

WindowStyles PictureWindow::window_styles() const {
  return {static_cast<std::uint32_t>(::GetWindowLongPtrW(window_, GWL_STYLE)),
          static_cast<std::uint32_t>(::GetWindowLongPtrW(window_, GWL_EXSTYLE))};
}

void PictureWindow::set_window_styles(const WindowStyles& styles) {
  // Unchanged styles need no new frame, which costs a round of window messages.
  if (styles == window_styles()) return;
  ::SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(styles.style));
  ::SetWindowLongPtrW(window_, GWL_EXSTYLE, static_cast<LONG_PTR>(styles.ex_style));
  ::SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

bool PictureWindow::is_key_down(int virtual_key) const { return (::GetKeyState(virtual_key) & 0x8000) != 0; }

LRESULT CALLBACK PictureWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CallbackScope call;  // the handler may reach the add-in's teardown
  PictureWindow* self = WindowOwner<PictureWindow>(window, message, lparam);
  if (!self) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCCREATE) {
    self->window_ = window;
    self->device_ = std::make_unique<WindowDevice>(window);
  }
  return self->on_message(message, wparam, lparam);
}

LRESULT PictureWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: on_paint(); return 0;
    case WM_ERASEBKGND: return on_erase(reinterpret_cast<HDC>(wparam)) ? 1 : 0;
    case WM_LBUTTONDOWN: on_button_down(mouse::kLeft, wparam, lparam); return 0;
    case WM_RBUTTONDOWN: on_button_down(mouse::kRight, wparam, lparam); return 0;
    case WM_MBUTTONDOWN: on_button_down(mouse::kMiddle, wparam, lparam); return 0;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click is still a press.
      on_button_down(mouse::kLeft, wparam, lparam);
      if (listener_) listener_->on_double_click();
      return 0;
    case WM_LBUTTONUP: on_button_up(mouse::kLeft, wparam, lparam); return 0;
    case WM_RBUTTONUP: on_button_up(mouse::kRight, wparam, lparam); return 0;
    case WM_MBUTTONUP: on_button_up(mouse::kMiddle, wparam, lparam); return 0;
    case WM_MOUSEMOVE:
      track_leave();
      if (listener_)
        listener_->on_mouse_move(buttons_held(wparam), mouse_shift_state(wparam), GET_X_LPARAM(lparam),
                                 GET_Y_LPARAM(lparam));
      return 0;
    case WM_KEYDOWN:
      if (listener_) listener_->on_key_down(static_cast<int>(wparam), key_shift_state());
      return 0;
    case WM_MOUSELEAVE:
      tracking_leave_ = false;
      if (listener_) listener_->on_mouse_leave();
      return 0;
    case WM_KILLFOCUS:
      if (listener_) listener_->on_lost_focus();
      return 0;
    case WM_SETFOCUS:
      if (listener_) listener_->on_got_focus();
      return 0;
    case WM_SIZE:
      if (listener_) listener_->on_resize();
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_GETOBJECT: return on_get_object(wparam, lparam);
    case WM_DESTROY:
      if (accessible_) accessible_->set_listener(nullptr);
      if (uia_) uia_->disconnect();
      return 0;
    case MsaaAnswer::kDefaultActionMessage:
      if (msaa_) msaa_->on_default_action(wparam);
      return 0;
    default: return ::DefWindowProcW(window_, message, wparam, lparam);
  }
}

LRESULT PictureWindow::on_get_object(WPARAM wparam, LPARAM lparam) {
  if (msaa_)
    if (const auto answer = msaa_->on_get_object(wparam, lparam)) return *answer;
  if (uia_)
    if (const auto answer = uia_->on_get_object(wparam, lparam)) return *answer;
  return ::DefWindowProcW(window_, WM_GETOBJECT, wparam, lparam);
}

void PictureWindow::set_accessible(IAccessibleSource* source) {
  if (accessible_) accessible_->set_listener(nullptr);
  accessible_ = nullptr;
  msaa_.reset();
  uia_.reset();
  if (!source || !window_) return;
  msaa_ = std::make_unique<MsaaAnswer>(window_, *source);
  uia_ = std::make_unique<UiaAnswer>(window_, *source);
  accessible_ = source;
  source->set_listener(&readers_);
}

void PictureWindow::BothReaders::on_focus_moved(int child) {
  if (window_.msaa_) window_.msaa_->on_focus_moved(child);
  if (window_.uia_) window_.uia_->on_focus_moved(child);
}

void PictureWindow::BothReaders::on_selection_changed(int child) {
  if (window_.msaa_) window_.msaa_->on_selection_changed(child);
  if (window_.uia_) window_.uia_->on_selection_changed(child);
}

void PictureWindow::BothReaders::on_announcement(const std::string& text) {
  if (window_.msaa_) window_.msaa_->on_announcement(text);
  if (window_.uia_) window_.uia_->on_announcement(text);
}

void PictureWindow::on_paint() {
  PaintScope paint(window_);
  device_->set_paint_dc(paint.dc());
  if (listener_) listener_->on_paint();
  device_->set_paint_dc(nullptr);
}

void PictureWindow::track_leave() {
  if (tracking_leave_) return;
  TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window_, 0};
  tracking_leave_ = ::TrackMouseEvent(&t) != FALSE;
}

bool PictureWindow::on_erase(HDC dc) {
  // The owner's image is about to cover the window: erasing first would only flicker.
  if (listener_ && listener_->paints_whole_client()) return true;
  if (!back_brush_) return false;
  RECT rc{};
  ::GetClientRect(window_, &rc);
  ::FillRect(dc, &rc, back_brush_.get());
  return true;
}

void PictureWindow::on_button_down(int button, WPARAM wparam, LPARAM lparam) {
  if (::GetFocus() != window_) ::SetFocus(window_);
  ::SetCapture(window_);
  if (listener_) listener_->on_mouse_down(button, mouse_shift_state(wparam), GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
}

void PictureWindow::on_button_up(int button, WPARAM wparam, LPARAM lparam) {
  if ((wparam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == window_) ::ReleaseCapture();
  if (listener_) listener_->on_mouse_up(button, mouse_shift_state(wparam), GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
}

}  // namespace tessaly::win
