// The MSAA IAccessible over a portable accessible source, and the named proxy.
#include "win/ui/msaa_object.h"

#include <oleacc.h>

#include <stdexcept>

#include "win/com/com_object.h"
#include "win/com_handles.h"
#include "win/utf.h"

namespace tessaly::win {

namespace {

// IAccessible's own IID: oleacc's import library hands IID_IAccessible over as a function import.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

long role_of(AccessibleRole r) {
  switch (r) {
    case AccessibleRole::Table: return ROLE_SYSTEM_TABLE;
    case AccessibleRole::Cell: return ROLE_SYSTEM_CELL;
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
  }
  return ROLE_SYSTEM_CLIENT;
}

long state_of(unsigned s) {
  long out = 0;
  if (s & acc_state::kSelected) out |= STATE_SYSTEM_SELECTED;
  if (s & acc_state::kFocused) out |= STATE_SYSTEM_FOCUSED;
  if (s & acc_state::kFocusable) out |= STATE_SYSTEM_FOCUSABLE;
  if (s & acc_state::kSelectable) out |= STATE_SYSTEM_SELECTABLE;
  if (s & acc_state::kUnavailable) out |= STATE_SYSTEM_UNAVAILABLE;
  return out;
}

HRESULT text_out(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocString(to_wide(text).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

void i4(VARIANT* v, long value) {
  ::VariantInit(v);
  v->vt = VT_I4;
  v->lVal = value;
}

// The child a navigation from `from` (1-based, CHILDID_SELF: the table) reaches among `count`
// children, by their places in the table for the directions of a table; 0 when there is none.
long navigate(IAccessibleSource& s, long from, long direction, long count) {
  if (count <= 0) return 0;
  if (from == CHILDID_SELF) {
    if (direction == NAVDIR_FIRSTCHILD) return 1;
    if (direction == NAVDIR_LASTCHILD) return count;
    return 0;
  }
  if (direction == NAVDIR_NEXT) return from < count ? from + 1 : 0;
  if (direction == NAVDIR_PREVIOUS) return from > 1 ? from - 1 : 0;
  const AccessibleElement e = s.Child(static_cast<int>(from) - 1);
  if (e.row < 0 || e.column < 0) return 0;
  int row = e.row, column = e.column;
  switch (direction) {
    case NAVDIR_RIGHT: ++column; break;
    case NAVDIR_LEFT: --column; break;
    case NAVDIR_DOWN: ++row; break;
    case NAVDIR_UP: --row; break;
    default: return 0;
  }
  return s.ChildAt(row, column) + 1;
}

class MsaaObject final : public ComObject<IAccessible, IID_IDispatch, kIidAccessible> {
 public:
  MsaaObject(HWND window, std::shared_ptr<IAccessibleSource*> source) : window_(window), source_(std::move(source)) {}

  // IDispatch: readers use the vtable.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) noexcept override {
    if (n) *n = 0;
    return n ? S_OK : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!live()) return RPC_E_DISCONNECTED;
    return ::AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                        reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return guarded([&](IAccessibleSource& s) { *count = s.ChildCount(); });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) noexcept override {
    if (!child) return E_POINTER;
    *child = nullptr;
    return live() ? S_FALSE : RPC_E_DISCONNECTED;  // the cells are simple elements
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) noexcept override {
    if (name) *name = nullptr;
    return element(id, [&](const AccessibleElement& e) { return text_out(e.name, name); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) noexcept override {
    if (value) *value = nullptr;
    return value ? S_FALSE : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) noexcept override {
    if (text) *text = nullptr;
    return element(id, [&](const AccessibleElement& e) { return text_out(e.description, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) noexcept override {
    if (!role) return E_POINTER;
    ::VariantInit(role);
    return element(id, [&](const AccessibleElement& e) { return i4(role, role_of(e.role)), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) noexcept override {
    if (!state) return E_POINTER;
    ::VariantInit(state);
    return element(id, [&](const AccessibleElement& e) { return i4(state, state_of(e.states)), S_OK; });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) noexcept override {
    if (help) *help = nullptr;
    return help ? S_FALSE : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) noexcept override {
    if (keys) *keys = nullptr;
    return keys ? S_FALSE : E_POINTER;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override {
    if (!focus) return E_POINTER;
    ::VariantInit(focus);
    return guarded([&](IAccessibleSource& s) {
      const int child = s.FocusedChild();
      if (child >= 0)
        i4(focus, child + 1);
      else if (::GetFocus() == window_)
        i4(focus, CHILDID_SELF);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override {
    if (!selection) return E_POINTER;
    ::VariantInit(selection);
    return guarded([&](IAccessibleSource& s) {
      const int child = s.SelectedChild();
      if (child >= 0) i4(selection, child + 1);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) noexcept override {
    if (action) *action = nullptr;
    return element(id, [&](const AccessibleElement& e) { return text_out(e.default_action, action); });
  }
  // Taking the focus moves the focus day; taking the selection picks the day, once the call has
  // returned, as its default action does. Other flags, and a child without that state, are refused.
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT id) noexcept override {
    constexpr long kTake = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION;
    if (flags == 0 || (flags & ~kTake) != 0) return E_INVALIDARG;
    if (id.vt != VT_I4 || id.lVal == CHILDID_SELF) return live() ? E_INVALIDARG : RPC_E_DISCONNECTED;
    return element(id, [&](const AccessibleElement& e) -> HRESULT {
      const bool focus = (flags & SELFLAG_TAKEFOCUS) != 0, select = (flags & SELFLAG_TAKESELECTION) != 0;
      if ((focus && !(e.states & acc_state::kFocusable)) || (select && !(e.states & acc_state::kSelectable)))
        return E_INVALIDARG;
      const int index = static_cast<int>(id.lVal) - 1;
      if (focus) {
        if (::GetFocus() != window_) ::SetFocus(window_);
        if (!(*source_)->FocusChild(index)) return E_INVALIDARG;
      }
      if (select && !::PostMessageW(window_, MsaaAnswer::kDefaultActionMessage, static_cast<WPARAM>(index), 0))
        return E_FAIL;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT id) noexcept override {
    if (!x || !y || !w || !h) return E_POINTER;
    *x = *y = *w = *h = 0;
    return element(id, [&](const AccessibleElement& e) {
      POINT p{e.bounds.left, e.bounds.top};
      ::ClientToScreen(window_, &p);
      *x = p.x, *y = p.y, *w = e.bounds.width(), *h = e.bounds.height();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) noexcept override {
    if (!end) return E_POINTER;
    ::VariantInit(end);
    if (start.vt != VT_I4) return E_INVALIDARG;
    HRESULT hr = S_FALSE;
    const HRESULT call = guarded([&](IAccessibleSource& s) {
      const long count = s.ChildCount();
      if (start.lVal != CHILDID_SELF && (start.lVal < 1 || start.lVal > count)) throw std::out_of_range("child");
      if (const long to = navigate(s, start.lVal, direction, count); to != 0) {
        i4(end, to);
        hr = S_OK;
      }
    });
    return FAILED(call) ? call : hr;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) noexcept override {
    if (!hit) return E_POINTER;
    ::VariantInit(hit);
    HRESULT hr = S_FALSE;
    const HRESULT call = guarded([&](IAccessibleSource& s) {
      POINT p{x, y};
      ::ScreenToClient(window_, &p);
      if (!s.Self().bounds.contains(p.x, p.y)) return;
      hr = S_OK;
      i4(hit, CHILDID_SELF);
      for (int i = 0, n = s.ChildCount(); i < n; ++i)
        if (s.Child(i).bounds.contains(p.x, p.y)) return i4(hit, i + 1);
    });
    return FAILED(call) ? call : hr;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) noexcept override {
    return element(id, [&](const AccessibleElement& e) {
      if (e.default_action.empty()) return DISP_E_MEMBERNOTFOUND;
      const long index = id.lVal == CHILDID_SELF ? -1 : id.lVal - 1;
      return ::PostMessageW(window_, MsaaAnswer::kDefaultActionMessage, static_cast<WPARAM>(index), 0) ? S_OK : E_FAIL;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }

 private:
  bool live() const { return *source_ != nullptr && ::IsWindow(window_); }

  template <class F>
  HRESULT guarded(F&& f) noexcept {
    if (!live()) return RPC_E_DISCONNECTED;
    try {
      f(**source_);
      return S_OK;
    } catch (const std::out_of_range&) {
      return E_INVALIDARG;
    } catch (...) {
      return E_FAIL;
    }
  }
  template <class F>
  HRESULT element(const VARIANT& id, F&& f) noexcept {
    if (id.vt != VT_I4) return E_INVALIDARG;
    HRESULT hr = S_OK;
    const HRESULT call = guarded([&](IAccessibleSource& s) {
      if (id.lVal == CHILDID_SELF) {
        hr = f(s.Self());
        return;
      }
      if (id.lVal < 1 || id.lVal > s.ChildCount()) throw std::out_of_range("child");
      hr = f(s.Child(static_cast<int>(id.lVal) - 1));
    });
    return FAILED(call) ? call : hr;
  }

  HWND window_;
  std::shared_ptr<IAccessibleSource*> source_;
};

// The system's proxy with one thing changed: the name of the object itself.
class NamedProxy final : public ComObject<IAccessible, IID_IDispatch, kIidAccessible> {
 public:
  NamedProxy(com_ptr<IAccessible> proxy, std::wstring name) : proxy_(std::move(proxy)), name_(std::move(name)) {}

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) noexcept override {
    if (!name) return E_POINTER;
    if (id.vt != VT_I4 || id.lVal != CHILDID_SELF) return proxy_->get_accName(id, name);
    *name = ::SysAllocString(name_.c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  // Everything else is the proxy's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) noexcept override { return proxy_->GetTypeInfoCount(n); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) noexcept override { return proxy_->GetTypeInfo(i, l, t); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) noexcept override {
    return proxy_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                   UINT* a) noexcept override {
    return proxy_->Invoke(d, r, l, f, p, v, e, a);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) noexcept override { return proxy_->get_accParent(p); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) noexcept override { return proxy_->get_accChildCount(n); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** c) noexcept override { return proxy_->get_accChild(id, c); }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* v) noexcept override { return proxy_->get_accValue(id, v); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* d) noexcept override {
    return proxy_->get_accDescription(id, d);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* r) noexcept override { return proxy_->get_accRole(id, r); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* s) noexcept override { return proxy_->get_accState(id, s); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* h) noexcept override { return proxy_->get_accHelp(id, h); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT id, long* t) noexcept override {
    return proxy_->get_accHelpTopic(f, id, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* k) noexcept override {
    return proxy_->get_accKeyboardShortcut(id, k);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) noexcept override { return proxy_->get_accFocus(f); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) noexcept override { return proxy_->get_accSelection(s); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* a) noexcept override {
    return proxy_->get_accDefaultAction(id, a);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT id) noexcept override { return proxy_->accSelect(f, id); }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT id) noexcept override {
    return proxy_->accLocation(x, y, w, h, id);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) noexcept override { return proxy_->accNavigate(d, s, e); }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* h) noexcept override { return proxy_->accHitTest(x, y, h); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) noexcept override { return proxy_->accDoDefaultAction(id); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR n) noexcept override { return proxy_->put_accName(id, n); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR v) noexcept override { return proxy_->put_accValue(id, v); }

 private:
  com_ptr<IAccessible> proxy_;
  std::wstring name_;
};

bool asks_client(LPARAM lparam) { return static_cast<LONG>(lparam) == static_cast<LONG>(OBJID_CLIENT); }

LRESULT hand_out(IAccessible* object, WPARAM wparam) {
  const LRESULT result = ::LresultFromObject(kIidAccessible, wparam, object);
  object->Release();
  return result;
}

}  // namespace

MsaaAnswer::MsaaAnswer(HWND window, IAccessibleSource& source)
    : window_(window), source_(std::make_shared<IAccessibleSource*>(&source)) {}

MsaaAnswer::~MsaaAnswer() { *source_ = nullptr; }

std::optional<LRESULT> MsaaAnswer::on_get_object(WPARAM wparam, LPARAM lparam) {
  if (!asks_client(lparam)) return std::nullopt;
  auto* object = new (std::nothrow) MsaaObject(window_, source_);
  if (!object) return std::nullopt;
  return hand_out(object, wparam);
}

void MsaaAnswer::on_default_action(WPARAM child) {
  if (*source_) (*source_)->DoDefaultAction(static_cast<int>(static_cast<INT_PTR>(child)));
}

void MsaaAnswer::on_focus_moved(int child) {
  if (child >= 0) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, child + 1);
}

// The selected day may lie outside the month shown: then only "something in here" changed.
void MsaaAnswer::on_selection_changed(int child) {
  if (child >= 0)
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, window_, OBJID_CLIENT, child + 1);
  else
    ::NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, window_, OBJID_CLIENT, CHILDID_SELF);
}

// What is announced is the object's new name, as the month a table shows.
void MsaaAnswer::on_announcement(const std::string&) {
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
  ::NotifyWinEvent(EVENT_OBJECT_REORDER, window_, OBJID_CLIENT, CHILDID_SELF);
}

std::optional<LRESULT> AnswerWithName(HWND window, WPARAM wparam, LPARAM lparam, const std::string& name) {
  if (!asks_client(lparam)) return std::nullopt;
  com_ptr<IAccessible> proxy;
  if (FAILED(::CreateStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible, proxy.put_void())) || !proxy)
    return std::nullopt;
  auto* object = new (std::nothrow) NamedProxy(std::move(proxy), to_wide(name));
  if (!object) return std::nullopt;
  return hand_out(object, wparam);
}

}  // namespace tessaly::win
