// The ribbon strip's buttons, the ribbon objects handed to the add-in, and its callbacks by name.
#include "sim/excel_exe/ribbon_strip.h"

#include <commctrl.h>

#include <cstdio>

#include "win/com/com_result.h"
#include "win/com/dispatch_table.h"
#include "win/com/office_interfaces.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

using win::com_ptr;
using win::DispatchCall;
using win::DispatchMember;
using win::DispatchTable;

constexpr int kFirstCommand = 100;

HRESULT CopyBstr(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

class RibbonControlObj final
    : public win::DispatchObject<RibbonControlObj, office::IRibbonControl, office::IID_IRibbonControl> {
 public:
  static const DispatchTable<RibbonControlObj> kTable;
  RibbonControlObj(std::wstring id, std::wstring tag) : id_(std::move(id)), tag_(std::move(tag)) {}
  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) noexcept override { return CopyBstr(id_, id); }
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) noexcept override {
    if (!context) return E_POINTER;
    *context = nullptr;  // the ribbon's controls belong to no window
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) noexcept override { return CopyBstr(tag_, tag); }
  std::wstring id_, tag_;
};

const DispatchMember<RibbonControlObj> kRibbonControl[] = {
    {L"Id", office::kDispidRibbonControlId, [](RibbonControlObj& o, DispatchCall& c) { win::SetResult(c.result, o.id_); }, win::kGet},
    {L"Context", office::kDispidRibbonControlContext,
     [](RibbonControlObj&, DispatchCall& c) { win::SetResult(c.result, static_cast<IDispatch*>(nullptr)); }, win::kGet},
    {L"Tag", office::kDispidRibbonControlTag, [](RibbonControlObj& o, DispatchCall& c) { win::SetResult(c.result, o.tag_); }, win::kGet},
};
const DispatchTable<RibbonControlObj> RibbonControlObj::kTable{kRibbonControl};

// The IRibbonUI handed to onLoad; it outlives the strip when the add-in keeps it, and then does nothing.
class RibbonUIObj final : public win::DispatchObject<RibbonUIObj, office::IRibbonUI, office::IID_IRibbonUI> {
 public:
  static const DispatchTable<RibbonUIObj> kTable;
  explicit RibbonUIObj(AddInRibbon* strip) : strip_(strip) {}
  void Detach() { strip_ = nullptr; }
  void Mark(const std::string& id) {
    if (strip_) strip_->Invalidate(id);
  }
  HRESULT STDMETHODCALLTYPE Invalidate() noexcept override { return win::ComCall([&] { Mark(""); }); }
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR id) noexcept override {
    return win::ComCall([&] { Mark(win::to_utf8(id ? std::wstring_view(id, ::SysStringLen(id)) : std::wstring_view())); });
  }
  HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) noexcept override { return S_OK; }

 private:
  AddInRibbon* strip_;
};

const DispatchMember<RibbonUIObj> kRibbonUI[] = {
    {L"Invalidate", office::kDispidRibbonUIInvalidate, [](RibbonUIObj& o, DispatchCall&) { o.Mark(""); }, win::kMethod},
    {L"InvalidateControl", office::kDispidRibbonUIInvalidateControl,
     [](RibbonUIObj& o, DispatchCall& c) { o.Mark(win::to_utf8(c.args.text(0))); }, win::kMethod},
};
const DispatchTable<RibbonUIObj> RibbonUIObj::kTable{kRibbonUI};

TTTOOLINFOW Tool(HWND strip, HWND button) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = strip;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  return tool;
}

VARIANT DispatchArg(IDispatch* p) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = p;
  return v;
}

}  // namespace

AddInRibbon::AddInRibbon(HWND strip, com_ptr<IDispatch> addin, const RibbonXml& xml)
    : strip_(strip), addin_(std::move(addin)), xml_(xml) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                            strip_, nullptr, nullptr, nullptr);
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  int x = 6;
  // The tab the controls sit in: the Insert tab shows some of its own commands before the group.
  tab_ = xml.controls.empty() ? std::string() : xml.controls.front().tab;
  const bool insert_tab = tab_ == "TabInsert";
  const std::wstring tab_label = insert_tab ? L"Insert:" : win::to_wide(tab_ + ":");
  auto add = [&](HWND w) {
    ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    built_in_.push_back(w);
  };
  add(::CreateWindowExW(0, L"STATIC", tab_label.c_str(), WS_CHILD | WS_VISIBLE, x, 9, 60, 16, strip_, nullptr, nullptr,
                        nullptr));
  x += 64;
  if (insert_tab)
    for (const wchar_t* name : {L"Table", L"Pictures", L"Chart"}) {
      add(::CreateWindowExW(0, L"BUTTON", name, WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, x, 5, 60, 24,
                            strip_, nullptr, nullptr, nullptr));
      x += 66;
    }
  for (std::size_t i = 0; i < xml.controls.size(); ++i) {
    Control c;
    c.xml = xml.controls[i];
    std::wstring label = win::to_wide(c.xml.Attribute("label").empty() ? c.xml.Attribute("id") : c.xml.Attribute("label"));
    const bool toggle = c.xml.kind == "toggleButton";
    const int width = 16 + 7 * static_cast<int>(label.size());
    c.image = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, x, 9, 16, 16,
                                strip_, nullptr, nullptr, nullptr);
    c.button = ::CreateWindowExW(0, L"BUTTON", label.c_str(),
                                 WS_CHILD | WS_VISIBLE | (toggle ? BS_AUTOCHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON), x + 20, 5,
                                 width, 24, strip_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstCommand + i)),
                                 nullptr, nullptr);
    ::SendMessageW(c.button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    TTTOOLINFOW tool = Tool(strip_, c.button);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    x += width + 28;
    controls_.push_back(std::move(c));
  }
  // Static images first (loadImage), then the getters, then the ribbon object (onLoad).
  for (Control& c : controls_) {
    const std::string image = c.xml.Attribute("image");
    if (image.empty() || xml_.load_image.empty()) continue;
    // Office passes the image's name by reference.
    win::unique_bstr name = win::unique_bstr(win::to_wide(image));
    BSTR held = name.get();
    VARIANT arg;
    ::VariantInit(&arg);
    V_VT(&arg) = VT_BSTR | VT_BYREF;
    V_BSTRREF(&arg) = &held;
    win::unique_variant picture;
    if (SUCCEEDED(Call(xml_.load_image, {arg}, picture.put()))) ShowPicture(c, picture.get());
  }
  RefreshInvalidated();
  auto* ui = new RibbonUIObj(this);
  ribbon_ui_ = com_ptr<IDispatch>::attach(ui);
  if (!xml_.on_load.empty()) Call(xml_.on_load, {DispatchArg(ribbon_ui_.get())}, nullptr);
}

AddInRibbon::~AddInRibbon() {
  if (ribbon_ui_) static_cast<RibbonUIObj*>(static_cast<office::IRibbonUI*>(ribbon_ui_.get()))->Detach();
  // The tips first: they subclass each button (TTF_SUBCLASS) and take their subclasses off only
  // while the buttons still exist; a button destroyed under its subclass leaves it behind.
  if (tips_) ::DestroyWindow(tips_);
  for (Control& c : controls_) {
    ::DestroyWindow(c.button);
    ::DestroyWindow(c.image);
  }
  for (HWND w : built_in_) ::DestroyWindow(w);
}

std::string AddInRibbon::Tab() const { return tab_; }

std::optional<POINT> AddInRibbon::ButtonCentreOnScreen(const std::string& id) const {
  for (const Control& c : controls_) {
    if (c.xml.Attribute("id") != id) continue;
    RECT r{};
    ::GetWindowRect(c.button, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  return std::nullopt;
}

bool AddInRibbon::ButtonEnabled(const std::string& id) const {
  for (const Control& c : controls_)
    if (c.xml.Attribute("id") == id) return ::IsWindowEnabled(c.button) != FALSE;
  return false;
}

HRESULT AddInRibbon::Call(const std::string& callback, std::vector<VARIANT> args, VARIANT* result) const {
  std::wstring name = win::to_wide(callback);
  LPOLESTR names[] = {name.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = addin_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (SUCCEEDED(hr)) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO excep{};
    hr = addin_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &excep, nullptr);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);
  }
  std::printf("ribbon %s: 0x%08lX\n", callback.c_str(), static_cast<unsigned long>(hr));
  std::fflush(stdout);
  return hr;
}

com_ptr<IDispatch> AddInRibbon::ControlObject(const Control& c) const {
  return com_ptr<IDispatch>::attach(new RibbonControlObj(win::to_wide(c.xml.Attribute("id")), win::to_wide(c.xml.Attribute("tag"))));
}

void AddInRibbon::OnCommand(int command) {
  const std::size_t i = static_cast<std::size_t>(command - kFirstCommand);
  if (command < kFirstCommand || i >= controls_.size()) return;
  Control& c = controls_[i];
  const std::string action = c.xml.Attribute("onAction");
  if (action.empty()) return;
  com_ptr<IDispatch> control = ControlObject(c);
  std::vector<VARIANT> args{DispatchArg(control.get())};
  // Office's C++ contract passes the toggle's state by reference.
  VARIANT_BOOL state = ::SendMessageW(c.button, BM_GETCHECK, 0, 0) == BST_CHECKED ? VARIANT_TRUE : VARIANT_FALSE;
  if (c.xml.kind == "toggleButton") {
    VARIANT pressed;
    ::VariantInit(&pressed);
    V_VT(&pressed) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&pressed) = &state;
    args.push_back(pressed);
  }
  Call(action, args, nullptr);
}

void AddInRibbon::Invalidate(const std::string& id) {
  for (Control& c : controls_)
    if (id.empty() || ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, id.c_str(), -1, c.xml.Attribute("id").c_str(), -1) == CSTR_EQUAL)
      c.invalid = true;
  // Office asks the getters again later, never inside the call that invalidated.
  ::PostMessageW(strip_, kRefreshMessage, 0, 0);
}

void AddInRibbon::RefreshInvalidated() {
  for (Control& c : controls_)
    if (c.invalid) {
      c.invalid = false;
      AskGetters(c);
    }
}

void AddInRibbon::AskGetters(Control& c) {
  com_ptr<IDispatch> control = ControlObject(c);
  if (const std::string get = c.xml.Attribute("getPressed"); !get.empty()) {
    win::unique_variant pressed;
    if (SUCCEEDED(Call(get, {DispatchArg(control.get())}, pressed.put())) && pressed.type() == VT_BOOL)
      ::SendMessageW(c.button, BM_SETCHECK, V_BOOL(&pressed.get()) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  if (const std::string get = c.xml.Attribute("getEnabled"); !get.empty()) {
    // Office greys out a control whose getEnabled answers false, and keeps it enabled when the call fails.
    win::unique_variant enabled;
    const bool on = FAILED(Call(get, {DispatchArg(control.get())}, enabled.put())) || enabled.type() != VT_BOOL ||
                    V_BOOL(&enabled.get()) != VARIANT_FALSE;
    ::EnableWindow(c.button, on ? TRUE : FALSE);
  }
  if (const std::string get = c.xml.Attribute("getImage"); !get.empty()) {
    win::unique_variant picture;
    if (SUCCEEDED(Call(get, {DispatchArg(control.get())}, picture.put()))) ShowPicture(c, picture.get());
  }
  if (const std::string get = c.xml.Attribute("getScreentip"); !get.empty()) {
    win::unique_variant tip;
    if (SUCCEEDED(Call(get, {DispatchArg(control.get())}, tip.put())) && tip.type() == VT_BSTR)
      SetTip(c, std::wstring(V_BSTR(&tip.get()) ? V_BSTR(&tip.get()) : L""));
  } else if (const std::string tip = c.xml.Attribute("screentip"); !tip.empty()) {
    SetTip(c, win::to_wide(tip));
  }
}

void AddInRibbon::ShowPicture(Control& c, const VARIANT& picture) {
  if ((V_VT(&picture) != VT_DISPATCH && V_VT(&picture) != VT_UNKNOWN) || !V_UNKNOWN(&picture)) return;
  com_ptr<IPicture> p;
  if (FAILED(V_UNKNOWN(&picture)->QueryInterface(IID_IPicture, p.put_void()))) return;
  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  if (FAILED(p->get_Handle(&handle)) || FAILED(p->get_Type(&type))) return;
  const bool icon = type == PICTYPE_ICON;
  HANDLE small = ::CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), icon ? IMAGE_ICON : IMAGE_BITMAP,
                             16, 16, 0);
  if (!small) return;
  ::SetWindowLongPtrW(c.image, GWL_STYLE, WS_CHILD | WS_VISIBLE | (icon ? SS_ICON : SS_BITMAP));
  ::SendMessageW(c.image, STM_SETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, reinterpret_cast<LPARAM>(small));
  ::SetWindowPos(c.image, nullptr, 0, 0, 16, 16, SWP_NOMOVE | SWP_NOZORDER);
  // The control keeps showing the image it was last given; the one it held before goes now.
  if (icon) c.icon.reset(static_cast<HICON>(small)), c.bitmap.reset();
  else c.bitmap.reset(static_cast<HBITMAP>(small)), c.icon.reset();
}

void AddInRibbon::SetTip(const Control& c, const std::wstring& text) {
  TTTOOLINFOW tool = Tool(strip_, c.button);
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace tessaly::sim::exe
