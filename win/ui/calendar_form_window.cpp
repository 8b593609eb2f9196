// The calendar pop-up as a Win32 window with standard controls.
#include "win/ui/calendar_form_window.h"

#include <commctrl.h>

#include <cmath>

#include "calendar/form_keys.h"
#include "host/callback_depth.h"
#include "host/host_error.h"
#include "win/window_dpi.h"
#include "core/show_form.h"
#include "win/win_window_system.h"
#include "win/this_module.h"
#include "win/ui/msaa_object.h"
#include "win/ui/window_class.h"
#include "win/ui/window_owner.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

constexpr int kFirstControlId = 100;
// Sent to child windows when their parent's resolution changed (Windows 10 1703 on).
constexpr UINT WM_DPICHANGED_AFTERPARENT_MESSAGE = 0x02E3;


struct ChildSpec {
  FormControl control;
  const wchar_t* window_class;
  DWORD style;
};

// In tab order after the picture.
constexpr ChildSpec kChildren[] = {
    {FormControl::Months, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    {FormControl::Years, L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
    {FormControl::Today, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP},
    {FormControl::Settings, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP},
    {FormControl::Close, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP},
};

bool is_button(FormControl c) { return c == FormControl::Today || c == FormControl::Settings || c == FormControl::Close; }

// The drop-down lists open this many entries tall.
constexpr int kVisibleItems = 12;

bool is_form_key(WPARAM key) { return key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT; }

// The characters of keys the form has answered, which would otherwise beep or type.
bool is_answered_char(WPARAM ch) { return ch == 0x1B || ch == L'\t' || ch == L'\r'; }

}  // namespace

// ---------------------------------------------------------------- combo boxes

void Win32ComboBox::clear() { ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0); }

void Win32ComboBox::add_item(const std::string& text) {
  ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(to_wide(text).c_str()));
}

int Win32ComboBox::count() const { return static_cast<int>(::SendMessageW(combo_, CB_GETCOUNT, 0, 0)); }

int Win32ComboBox::selected_index() const { return static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

void Win32ComboBox::set_selected_index(int index) { ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string Win32ComboBox::text() const {
  std::wstring buffer(static_cast<std::size_t>(::GetWindowTextLengthW(combo_)) + 1, L'\0');
  const int n = ::GetWindowTextW(combo_, buffer.data(), static_cast<int>(buffer.size()));
  buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return to_utf8(buffer);
}

void Win32ComboBox::set_text(const std::string& text) {
  const std::wstring wide = to_wide(text);
  if (editable_) {
    ::SetWindowTextW(combo_, wide.c_str());
    return;
  }
  const LRESULT at = ::SendMessageW(combo_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
  ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

// ---------------------------------------------------------------- the form window

std::unique_ptr<CalendarFormWindow> CalendarFormWindow::try_create(HWND owner, int dpi) {
  if (!RegisterWindowClass(kClassName, &CalendarFormWindow::window_proc, IDC_ARROW) || dpi <= 0) return nullptr;
  std::unique_ptr<CalendarFormWindow> f(new CalendarFormWindow());
  f->dpi_ = dpi;
  const double twips_per_pixel = 1440.0 / dpi;
  f->layout_ = calendar::CalendarFormLayout(twips_per_pixel, twips_per_pixel);
  f->back_brush_.reset(::CreateSolidBrush(f->back_color_));
  f->make_font();
  const bool child = owner && ::IsWindow(owner);
  const DWORD style = (child ? WS_CHILD : WS_POPUP) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  // In the owner's DPI awareness, so that the form can later become a child of the host's windows.
  const DpiAwarenessScope awareness(owner);
  const HWND w = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClassName, L"Calendar", style, 0, 0, f->layout_.client.cx,
                                   f->layout_.client.cy, child ? owner : nullptr, nullptr, ThisModule(), f.get());
  if (!w || !f->create_controls()) return nullptr;
  CalendarFormWindow* form = f.get();
  f->system_watch_ = SystemChangeWatch::try_create([form] {
    if (form->listener_) form->listener_->on_colors_changed();
  });
  return f;
}

void CalendarFormWindow::make_font() {
  // Tahoma 8 points, the form's font, at the form's resolution.
  font_.reset(::CreateFontW(-::MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

void CalendarFormWindow::set_resolution(double dpi) {
  const int d = static_cast<int>(std::lround(dpi));
  if (d <= 0 || d == dpi_ || !window_) return;
  dpi_ = d;
  layout_ = calendar::CalendarFormLayout(1440.0 / d, 1440.0 / d);
  gdi::unique_font old = std::move(font_);  // the controls draw with it until they have the new one
  make_font();
  apply_layout();
  if (tooltip_) ::SendMessageW(tooltip_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void CalendarFormWindow::apply_layout() {
  ::SetWindowPos(window_, nullptr, 0, 0, layout_.client.cx, layout_.client.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const auto c = static_cast<FormControl>(i);
    const Rect r = layout_[c];
    const bool combo = c == FormControl::Months || c == FormControl::Years;
    // The picture reports its new size itself, and the calendar in it is laid out again.
    ::SetWindowPos(controls_[i], nullptr, r.left, r.top, r.width(), combo ? r.height() * kVisibleItems : r.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (c == FormControl::Calendar) continue;
    ::SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    if (combo) ::SendMessageW(controls_[i], CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.height() - 6);
  }
  ::InvalidateRect(window_, nullptr, TRUE);
}

CalendarFormWindow::~CalendarFormWindow() {
  listener_ = nullptr;
  system_watch_.reset();
  tooltip_.reset();
  key_watch_.clear();
  picture_.reset();
  if (window_ && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

bool CalendarFormWindow::create_controls() {
  picture_ = PictureWindow::try_create(window_, layout_[FormControl::Calendar]);
  if (!picture_) return false;
  controls_[static_cast<std::size_t>(FormControl::Calendar)] = picture_->hwnd();
  watch_keys(picture_->hwnd());
  for (const ChildSpec& c : kChildren) {
    const Rect r = layout_[c.control];
    const bool combo = c.control == FormControl::Months || c.control == FormControl::Years;
    // A combo box's height is its dropped height; the closed box takes the font's.
    const int height = combo ? r.height() * kVisibleItems : r.height();
    const int id = kFirstControlId + static_cast<int>(c.control);
    const std::wstring text = to_wide(std::string(calendar::FormCaption(c.control)));
    const HWND h = ::CreateWindowExW(0, c.window_class, text.c_str(), WS_CHILD | WS_VISIBLE | c.style, r.left, r.top,
                                     r.width(), height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ThisModule(), nullptr);
    if (!h) return false;
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    controls_[static_cast<std::size_t>(c.control)] = h;
    watch_keys(h);
    if (combo) {
      // The closed box as tall as the design row.
      ::SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.height() - 6);
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      if (::GetComboBoxInfo(h, &info) && info.hwndItem && info.hwndItem != h) watch_keys(info.hwndItem);
    }
  }
  // Readers name the month list and the year box (and its edit) by what they hold, not by their value.
  for (const FormControl c : {FormControl::Months, FormControl::Years}) {
    const std::string name(calendar::AccessibleName(c));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    const bool edit = ::GetComboBoxInfo(control(c), &info) && info.hwndItem && info.hwndItem != control(c);
    for (const HWND h : {control(c), edit ? info.hwndItem : nullptr}) {
      if (!h) continue;
      auto s = WindowSubclass::try_attach(h, {WM_GETOBJECT}, [h, name](UINT, WPARAM wparam, LPARAM lparam) {
        return AnswerWithName(h, wparam, lparam, name);
      });
      if (s) key_watch_.push_back(std::move(s));
    }
  }
  months_ = std::make_unique<Win32ComboBox>(control(FormControl::Months), false);
  years_ = std::make_unique<Win32ComboBox>(control(FormControl::Years), true);
  return true;
}

HWND CalendarFormWindow::control(FormControl c) const { return controls_[static_cast<std::size_t>(c)]; }

void CalendarFormWindow::watch_keys(HWND control) {
  auto s = WindowSubclass::try_attach(control, {WM_KEYDOWN, WM_CHAR, WM_SYSCHAR},
                                      [this, control](UINT message, WPARAM key, LPARAM) -> std::optional<LRESULT> {
                                        if (message == WM_SYSCHAR) return on_access_key(key);
                                        if (message == WM_CHAR)
                                          return is_answered_char(key) ? std::optional<LRESULT>(0) : std::nullopt;
                                        return on_control_key(control, key);
                                      });
  if (s) key_watch_.push_back(std::move(s));
}

std::optional<FormControl> CalendarFormWindow::control_of(HWND h) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i] == h || (controls_[i] && ::GetParent(h) == controls_[i])) return static_cast<FormControl>(i);
  return std::nullopt;
}

std::optional<LRESULT> CalendarFormWindow::on_control_key(HWND control, WPARAM key) {
  if (!listener_) return std::nullopt;
  // An open drop-down list keeps its own keys.
  const HWND combo = ::GetParent(control) == window_ ? control : ::GetParent(control);
  if (::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return std::nullopt;
  const std::optional<FormControl> at = control_of(control);
  if (key == VK_TAB && at) {
    const bool back = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const FormControl next = calendar::NextTabStop(*at, back);
    ::SetFocus(this->control(next));
    // As in a dialog, the year box is entered with its text selected, ready to be typed over.
    if (next == FormControl::Years) ::SendMessageW(this->control(next), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return 0;
  }
  if (key == VK_RETURN && at == FormControl::Years) {
    listener_->on_year_validate();
    return 0;
  }
  if (key == VK_RETURN && at && is_button(*at)) {
    ::SendMessageW(this->control(*at), BM_CLICK, 0, 0);
    return 0;
  }
  if (!is_form_key(key)) return std::nullopt;
  listener_->on_form_key(static_cast<int>(key));
  return 0;
}

std::optional<LRESULT> CalendarFormWindow::on_access_key(WPARAM ch) {
  if (ch > 0x7F) return std::nullopt;
  const std::optional<FormControl> target = calendar::AccessKeyControl(static_cast<char>(ch));
  if (!target) return std::nullopt;
  ::SetFocus(control(*target));
  ::SendMessageW(control(*target), BM_CLICK, 0, 0);
  return 0;
}

void CalendarFormWindow::focus_day_grid() { ::SetFocus(picture_->hwnd()); }

void CalendarFormWindow::set_back_color(Rgb color) {
  if (back_brush_ && color == back_color_) return;
  gdi::unique_brush brush(::CreateSolidBrush(color));
  if (!brush) return;
  back_color_ = color;
  back_brush_ = std::move(brush);
  ::InvalidateRect(window_, nullptr, TRUE);
}

void CalendarFormWindow::set_border(Rgb color, const Rect& bounds) {
  if (color == border_color_ && bounds == border_) return;
  border_color_ = color;
  border_ = bounds;
  ::InvalidateRect(window_, nullptr, TRUE);
}

void CalendarFormWindow::set_tooltips(const FormTooltips* settings) {
  tooltip_.reset();
  if (!settings) return;
  tooltip_ = Tooltip::try_create(window_, {settings->max_width, settings->visible_time_ms, settings->delay_time_ms, font_.get()});
  if (!tooltip_) throw HostError("The tooltip control cannot be made.");
  for (const FormTooltips::Tip& tip : settings->tips) tooltip_->add_tool(control(tip.control), tip.text);
}

void CalendarFormWindow::show_at_screen_point(std::uintptr_t parent, int x, int y) {
  Win32WindowSystem windows;
  const auto home = reinterpret_cast<WindowHandle>(::GetParent(window_));
  ShowFormAtScreenPoint(windows, window_handle(), parent, {x, y}, home);
}

void CalendarFormWindow::hide(std::uintptr_t owner) {
  // The keyboard goes back to the window the calendar was shown in, before the form leaves it.
  const HWND focus = ::GetFocus();
  const HWND shown_in = ::GetParent(window_);
  if (focus && (focus == window_ || ::IsChild(window_, focus)) && shown_in) ::SetFocus(shown_in);
  Win32WindowSystem windows;
  HideForm(windows, window_handle(), owner);
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK CalendarFormWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  CallbackScope call;  // the handler may reach the add-in's teardown
  CalendarFormWindow* self = WindowOwner<CalendarFormWindow>(window, message, lparam);
  if (!self) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCCREATE) {
    self->window_ = window;
  }
  return self->on_message(message, wparam, lparam);
}

LRESULT CalendarFormWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: on_command(LOWORD(wparam), HIWORD(wparam)); return 0;
    case WM_ERASEBKGND: {
      RECT rc{};
      ::GetClientRect(window_, &rc);
      ::FillRect(reinterpret_cast<HDC>(wparam), &rc, back_brush_.get());
      return 1;
    }
    case WM_PAINT: on_paint(); return 0;
    case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(back_brush_.get());
    // The form never takes activation from the host.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_DPICHANGED_AFTERPARENT_MESSAGE:
      // The host's window went to a display of another resolution, the form with it.
      if (listener_) listener_->on_resolution_changed(WindowDpi(window_));
      else set_resolution(WindowDpi(window_));
      return 0;
    case WM_NCDESTROY:
      // Destroyed with the main window it was parked in: the handle is dead from here on.
      destroyed_ = true;
      window_ = nullptr;
      return 0;
    default: return ::DefWindowProcW(window_, message, wparam, lparam);
  }
}

void CalendarFormWindow::on_paint() {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(window_, &ps);
  if (dc && !border_.empty()) {
    gdi::unique_brush pen_brush(::CreateSolidBrush(border_color_));
    const RECT r{border_.left, border_.top, border_.right, border_.bottom};
    if (pen_brush) ::FrameRect(dc, &r, pen_brush.get());
  }
  ::EndPaint(window_, &ps);
}

void CalendarFormWindow::on_command(int id, int code) {
  if (!listener_) return;
  const auto control = static_cast<FormControl>(id - kFirstControlId);
  switch (control) {
    case FormControl::Today:
    case FormControl::Settings:
    case FormControl::Close:
      if (code == BN_CLICKED) listener_->on_click(control);
      return;
    case FormControl::Months:
      if (code == CBN_SELCHANGE) listener_->on_click(control);
      return;
    case FormControl::Years:
      if (code == CBN_SELCHANGE) {
        // The edit part shows the chosen entry only after this notification; the form reads it now.
        const int index = years_->selected_index();
        const LRESULT len = ::SendMessageW(years_->hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (index >= 0 && len >= 0) {
          std::wstring entry(static_cast<std::size_t>(len) + 1, L'\0');
          ::SendMessageW(years_->hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()));
          entry.resize(static_cast<std::size_t>(len));
          ::SetWindowTextW(years_->hwnd(), entry.c_str());
        }
        listener_->on_click(control);
      } else if (code == CBN_KILLFOCUS) {
        listener_->on_year_validate();
      }
      return;
    default: return;
  }
}

// ---------------------------------------------------------------- the add-in's factory

std::unique_ptr<ICalendarForm> CreateCalendarForm(calendar::CalendarFormServices services, HWND owner) {
  std::unique_ptr<CalendarFormWindow> window = CalendarFormWindow::try_create(owner, WindowDpi(owner));
  if (!window) throw HostError("The calendar window cannot be made.");
  return std::make_unique<calendar::frmCal>(std::move(services), std::move(window));
}

}  // namespace tessaly::win
