// A dialog's controls through Win32 messages, and its dialog procedure passing clicks to its logic.
#include "win/ui/modal_dialog.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host_error.h"
#include "win/ui/msaa_object.h"
#include "win/ui/option_dialog_layouts.h"
#include "win/ui/window_subclass.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw HostError(static_cast<std::int32_t>(::GetLastError()), "The dialog refused: " + what);
}

class Win32DialogWindow final : public IDialogWindow {
 public:
  Win32DialogWindow(HMODULE module, const DialogLayout& layout) : module_(module), layout_(layout) {
    for (const DialogItem& item : layout.items) kinds_[item.id] = item.kind;
  }
  void Attach(HWND dialog) {
    hwnd_ = dialog;
    for (std::size_t i = 0; i < layout_.items.size(); ++i) {
      const DialogItem& item = layout_.items[i];
      if (item.kind == ItemKind::Picture) AddPicture(item);
      const std::wstring name = AccessibleName(layout_, i);
      HWND control = item.id == -1 ? nullptr : ::GetDlgItem(hwnd_, item.id);
      if (name.empty() || !control) continue;
      // Readers are told the name directly: the system's proxies name a list box or a combo box by
      // its value, and a button only by its caption.
      auto s = WindowSubclass::try_attach(control, {WM_GETOBJECT},
                                          [control, text = to_utf8(name)](UINT, WPARAM w, LPARAM l) {
                                            return AnswerWithName(control, w, l, text);
                                          });
      if (s) named_.push_back(std::move(s));
    }
  }
  void PaintPictures(HDC dc) const {
    for (const Picture& p : pictures_)
      ::DrawIconEx(dc, p.at.x, p.at.y, p.icon.get(), 0, 0, 0, nullptr, DI_NORMAL);
  }
  ItemKind Kind(int control) const {
    const auto it = kinds_.find(control);
    return it == kinds_.end() ? ItemKind::Other : it->second;
  }

  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetIcons(const std::string& name) override {
    const std::wstring resource = to_wide(name);
    large_.reset(static_cast<HICON>(::LoadImageW(module_, resource.c_str(), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                 ::GetSystemMetrics(SM_CYICON), 0)));
    small_.reset(static_cast<HICON>(::LoadImageW(module_, resource.c_str(), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0)));
    if (!large_.get() || !small_.get()) Fail("no icon " + name);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_.get()));
  }
  std::string Text(int control) override {
    HWND c = Item(control);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(c)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(c, text.data(), static_cast<int>(text.size()))));
    return to_utf8(text);
  }
  void SetText(int control, const std::string& text) override {
    if (!::SetWindowTextW(Item(control), to_wide(text).c_str())) Fail("text");
  }
  int Value(int control) override { return ::IsDlgButtonChecked(hwnd_, control) == BST_CHECKED ? 1 : 0; }
  void SetValue(int control, int value) override {
    if (!::CheckDlgButton(hwnd_, control, value == 1 ? BST_CHECKED : BST_UNCHECKED)) Fail("check box");
  }
  void SetVisible(int control, bool visible) override { ::ShowWindow(Item(control), visible ? SW_SHOW : SW_HIDE); }
  void SetFocus(int control) override {
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(control)), TRUE);
  }
  int Top(int control) override { return PixelsToTwips(ItemRect(control).top); }
  void SetTop(int control, int twips) override {
    const RECT r = ItemRect(control);
    if (!::SetWindowPos(Item(control), nullptr, r.left, TwipsToPixels(twips), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
      Fail("position");
  }

  void Clear(int control) override { Send(control, LB_RESETCONTENT, CB_RESETCONTENT); }
  void AddItem(int control, const std::string& text) override {
    const std::wstring w = to_wide(text);
    if (Send(control, LB_ADDSTRING, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())) < 0) Fail("add item");
  }
  void RemoveItem(int control, int index) override {
    if (Send(control, LB_DELETESTRING, CB_DELETESTRING, static_cast<WPARAM>(index)) < 0) Fail("remove item");
  }
  int ItemCount(int control) override { return static_cast<int>(Send(control, LB_GETCOUNT, CB_GETCOUNT)); }
  std::string Item(int control, int index) override {
    const auto i = static_cast<WPARAM>(index);
    const LRESULT length = Send(control, LB_GETTEXTLEN, CB_GETLBTEXTLEN, i);
    if (length < 0) Fail("item");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    Send(control, LB_GETTEXT, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return to_utf8(text);
  }
  int ListIndex(int control) override {
    const LRESULT i = Send(control, LB_GETCURSEL, CB_GETCURSEL);
    return i < 0 ? -1 : static_cast<int>(i);
  }
  void SetListIndex(int control, int index) override {
    if (index < -1 || index >= ItemCount(control)) throw HostError(380, "Invalid property value.");
    Send(control, LB_SETCURSEL, CB_SETCURSEL, static_cast<WPARAM>(index));
  }
  void Close() override {
    if (!::EndDialog(hwnd_, IDOK)) Fail("close");
  }

 private:
  HWND Item(int control) const {
    HWND c = ::GetDlgItem(hwnd_, control);
    if (!c) Fail("no control " + std::to_string(control));
    return c;
  }
  LRESULT Send(int control, UINT list_message, UINT combo_message, WPARAM w = 0, LPARAM l = 0) {
    switch (Kind(control)) {
      case ItemKind::List: return ::SendMessageW(Item(control), list_message, w, l);
      case ItemKind::Combo: return ::SendMessageW(Item(control), combo_message, w, l);
      case ItemKind::Other:
      case ItemKind::Picture: break;
    }
    throw HostError(438, "Object doesn't support this property or method");
  }
  void AddPicture(const DialogItem& item) {
    RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
    ::MapDialogRect(hwnd_, &r);
    unique_hicon icon(static_cast<HICON>(::LoadImageW(module_, item.text, IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                      ::GetSystemMetrics(SM_CYICON), 0)));
    if (icon.get()) pictures_.push_back({POINT{r.left, r.top}, std::move(icon)});
  }
  RECT ItemRect(int control) const {
    RECT r{};
    ::GetWindowRect(Item(control), &r);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Twips are 1/1440 inch at the display's resolution.
  int Dpi() const {
    HDC dc = ::GetDC(hwnd_);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ::ReleaseDC(hwnd_, dc);
    return dpi > 0 ? dpi : 96;
  }
  int PixelsToTwips(int pixels) const { return ::MulDiv(pixels, 1440, Dpi()); }
  int TwipsToPixels(int twips) const { return ::MulDiv(twips, Dpi(), 1440); }

  struct Picture {
    POINT at;
    unique_hicon icon;
  };

  HMODULE module_;
  const DialogLayout& layout_;
  HWND hwnd_ = nullptr;
  std::map<int, ItemKind> kinds_;
  unique_hicon large_, small_;
  std::vector<Picture> pictures_;
  std::vector<std::unique_ptr<WindowSubclass>> named_;
};

struct DialogRun {
  IDialogHandler& handler;
  Win32DialogWindow& window;
};

// Buttons (Enter and Escape included) and a list box's new selection reach the logic.
void OnCommand(DialogRun& run, int id, int code) {
  if (id == IDCANCEL) return run.handler.Cancel();
  const bool list = run.window.Kind(id) == ItemKind::List;
  if (list ? code == LBN_SELCHANGE : (run.window.Kind(id) == ItemKind::Other && code == BN_CLICKED))
    run.handler.Click(id);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) noexcept {
  try {
    if (message == WM_INITDIALOG) {
      auto* run = reinterpret_cast<DialogRun*>(lp);
      ::SetWindowLongPtrW(dialog, DWLP_USER, lp);
      run->window.Attach(dialog);
      run->handler.Load(run->window);
      return TRUE;
    }
    auto* run = reinterpret_cast<DialogRun*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (run && message == WM_COMMAND) {
      OnCommand(*run, LOWORD(wp), HIWORD(wp));
      return TRUE;
    }
    if (run && message == WM_PAINT) {
      PAINTSTRUCT ps;
      if (HDC dc = ::BeginPaint(dialog, &ps)) {
        run->window.PaintPictures(dc);
        ::EndPaint(dialog, &ps);
      }
      return TRUE;
    }
  } catch (...) {
    // The logic skips its own failures; whatever is left ends here, never in the host.
  }
  return FALSE;
}

}  // namespace

ThemedLook::ThemedLook(HMODULE module, WORD manifest_id) {
  if (!::FindResourceW(module, MAKEINTRESOURCEW(manifest_id), MAKEINTRESOURCEW(24))) return;
  wchar_t path[MAX_PATH];
  if (!::GetModuleFileNameW(module, path, MAX_PATH)) return;
  ACTCTXW context{};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = path;
  context.hModule = module;
  context.lpResourceName = MAKEINTRESOURCEW(manifest_id);
  context_.reset(::CreateActCtxW(&context));
}

unique_actctx_activation ThemedLook::Activate() const {
  ULONG_PTR cookie = 0;
  if (!Available() || !::ActivateActCtx(context_.get(), &cookie)) return {};
  return unique_actctx_activation(cookie);
}

Win32DialogHost::Win32DialogHost(HMODULE module, HWND main_window)
    : module_(module), main_window_(main_window), look_(module, kThemedLookManifest) {}

void Win32DialogHost::ShowModal(DialogKind kind, IDialogHandler& handler, WindowHandle owner) {
  const DialogLayout& layout = OptionDialogLayout(kind);
  const std::vector<std::uint8_t> form = BuildDialogTemplate(layout);
  Win32DialogWindow window(module_, layout);
  DialogRun run{handler, window};
  HWND parent = owner ? reinterpret_cast<HWND>(owner) : main_window_;
  const auto themed = look_.Activate();
  const INT_PTR result = ::DialogBoxIndirectParamW(module_, reinterpret_cast<LPCDLGTEMPLATEW>(form.data()), parent,
                                                   DialogProc, reinterpret_cast<LPARAM>(&run));
  if (result == -1) Fail("cannot create the dialog");
}

}  // namespace tessaly::win
