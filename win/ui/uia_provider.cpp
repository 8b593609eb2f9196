// The UI Automation elements of a table window: the table, its header row and header items, and
// its cells, each a fragment made afresh on request and identified by its runtime id.
#include "win/ui/uia_provider.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "win/com/com_object.h"
#include "win/com/com_result.h"
#include "win/ui/msaa_object.h"
#include "win/utf.h"

namespace tessaly::win {
namespace {

constexpr HRESULT kGone = uia::kElementNotAvailable;
using uia::kInvalidOperation;
// Runtime ids of the parts below the calendar, after uia::kAppendRuntimeId; a cell's is its day's
// (or its button's) id, so a cell of one month is never the same element as one of another.
enum class Part { HeaderRow = 1, HeaderItem = 2, Cell = 3, Grid = 4 };

using Tree = std::shared_ptr<UiaTree>;
using Element = com_ptr<IRawElementProviderSimple>;

// The calendar (the window's own element), or the data grid in it that holds the header row, the
// days and the month buttons.
Element make_table(const Tree& tree, bool root = false);
Element make_cell(const Tree& tree, int index);
Element make_header(const Tree& tree, int column);  // -1: the header row

// Runs an entry point's body while the window lives; UIA_E_ELEMENTNOTAVAILABLE after.
template <class F>
HRESULT Live(const Tree& tree, F&& body) noexcept {
  return ComCall([&]() -> HRESULT {
    if (!tree->source) return kGone;
    return body(*tree->source);
  });
}

template <class T>
HRESULT Out(T** out, com_ptr<T> value) {
  if (!out) return E_POINTER;
  *out = value.release();
  return S_OK;
}

HRESULT Fragment(IRawElementProviderFragment** out, const Element& element) {
  return Out(out, element ? element.as<IRawElementProviderFragment>() : com_ptr<IRawElementProviderFragment>());
}

template <class T>
HRESULT Value(T* out, T value) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

HRESULT Elements(SAFEARRAY** out, const std::vector<Element>& items) {
  if (!out) return E_POINTER;
  *out = nullptr;
  unique_safearray a(::SafeArrayCreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(items.size())));
  if (!a) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    const HRESULT hr = ::SafeArrayPutElement(a.get(), &i, items[static_cast<std::size_t>(i)].get());
    if (FAILED(hr)) return hr;
  }
  *out = a.release();
  return S_OK;
}

HRESULT RuntimeId(SAFEARRAY** out, std::initializer_list<int> parts) {
  if (!out) return E_POINTER;
  *out = nullptr;
  unique_safearray a(::SafeArrayCreateVector(VT_I4, 0, static_cast<ULONG>(parts.size())));
  if (!a) return E_OUTOFMEMORY;
  LONG i = 0;
  for (int part : parts) {
    LONG v = part;
    const HRESULT hr = ::SafeArrayPutElement(a.get(), &i, &v);
    if (FAILED(hr)) return hr;
    ++i;
  }
  *out = a.release();
  return S_OK;
}

// A rectangle of the window's client area on the screen.
HRESULT ScreenRect(const Tree& tree, const Rect& r, UiaRect* out) {
  if (!out) return E_POINTER;
  *out = UiaRect{};
  if (r.empty()) return S_OK;
  POINT origin{0, 0};
  ::ClientToScreen(tree->window, &origin);
  *out = UiaRect{double(origin.x + r.left), double(origin.y + r.top), double(r.width()), double(r.height())};
  return S_OK;
}

void SetText(VARIANT* v, const std::string& text) {
  if (text.empty()) return;
  V_BSTR(v) = ::SysAllocString(to_wide(text).c_str());
  if (V_BSTR(v)) V_VT(v) = VT_BSTR;
}
void SetInt(VARIANT* v, int value) {
  V_VT(v) = VT_I4;
  V_I4(v) = value;
}
void SetBool(VARIANT* v, bool value) {
  V_VT(v) = VT_BOOL;
  V_BOOL(v) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// The properties every element of the window answers from its accessible description.
bool CommonProperty(PROPERTYID id, const AccessibleElement& e, bool enabled, VARIANT* v) {
  switch (id) {
    case UIA_NamePropertyId: SetText(v, e.name); return true;
    case UIA_IsKeyboardFocusablePropertyId: SetBool(v, (e.states & acc_state::kFocusable) != 0); return true;
    case UIA_HasKeyboardFocusPropertyId: SetBool(v, (e.states & acc_state::kFocused) != 0); return true;
    case UIA_IsEnabledPropertyId: SetBool(v, enabled); return true;
    case UIA_IsOffscreenPropertyId: SetBool(v, e.bounds.empty()); return true;
    case UIA_FrameworkIdPropertyId: SetText(v, "Win32"); return true;
    default: return false;
  }
}

HRESULT PropertyValue(PROPERTYID id, VARIANT* v, CONTROLTYPEID type, const AccessibleElement& e,
                      const std::string& automation_id, bool enabled = true) {
  if (!v) return E_POINTER;
  ::VariantInit(v);
  if (CommonProperty(id, e, enabled, v)) return S_OK;
  switch (id) {
    case UIA_ControlTypePropertyId: SetInt(v, type); break;
    case UIA_AutomationIdPropertyId: SetText(v, automation_id); break;
    // A state without a flag of its own, such as today.
    case UIA_ItemStatusPropertyId: SetText(v, e.description); break;
    default: break;
  }
  return S_OK;
}

bool OneOf(PATTERNID id, std::initializer_list<PATTERNID> patterns) {
  for (PATTERNID p : patterns)
    if (p == id) return true;
  return false;
}

// ---------------------------------------------------------------- the table

class TableElement final
    : public ComObjects<IRawElementProviderSimple, IRawElementProviderFragment, IRawElementProviderFragmentRoot,
                        IGridProvider, ITableProvider, ISelectionProvider> {
 public:
  TableElement(Tree tree, bool root) : tree_(std::move(tree)), root_(root) {}

  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) noexcept override {
    return Value(out, static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading));
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID id, IUnknown** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) {
      const bool ours = OneOf(id, {UIA_GridPatternId, UIA_TablePatternId, UIA_SelectionPatternId});
      return Out(out, ours ? com_ptr<IUnknown>(static_cast<IRawElementProviderSimple*>(this)) : com_ptr<IUnknown>());
    });
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      return root_ ? PropertyValue(id, out, uia::kCalendarControlType, s.Self(), "Calendar")
                   : PropertyValue(id, out, uia::kDataGridControlType, s.Self(), "DayGrid");
    });
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) -> HRESULT {
      if (!out) return E_POINTER;
      *out = nullptr;
      return root_ && tree_->core.host_provider ? tree_->core.host_provider(tree_->window, out) : S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const int count = s.ChildCount();
      Element e;
      if (root_) {
        if (direction == NavigateDirection_FirstChild || direction == NavigateDirection_LastChild) e = make_table(tree_);
        return Fragment(out, e);
      }
      if (direction == NavigateDirection_Parent) e = make_table(tree_, true);
      if (direction == NavigateDirection_FirstChild)
        e = s.Table().column_headers.empty() ? (count > 0 ? make_cell(tree_, 0) : Element()) : make_header(tree_, -1);
      else if (direction == NavigateDirection_LastChild && count > 0)
        e = make_cell(tree_, count - 1);
      return Fragment(out, e);
    });
  }
  // The calendar is hosted in a window: UI Automation takes the window's own id.
  HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) {
      return root_ ? Value(out, static_cast<SAFEARRAY*>(nullptr)) : RuntimeId(out, {uia::kAppendRuntimeId, int(Part::Grid)});
    });
  }
  HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) { return ScreenRect(tree_, s.Self().bounds, out); });
  }
  HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Value(out, static_cast<SAFEARRAY*>(nullptr)); });
  }
  HRESULT STDMETHODCALLTYPE SetFocus() noexcept override {
    return Live(tree_, [&](IAccessibleSource&) {
      ::SetFocus(tree_->window);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Out(out, make_table(tree_, true).as<IRawElementProviderFragmentRoot>()); });
  }

  HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y, IRawElementProviderFragment** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      POINT p{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
      ::ScreenToClient(tree_->window, &p);
      Element hit;
      for (int i = 0, n = s.ChildCount(); i < n && !hit; ++i)
        if (s.Child(i).bounds.contains(p.x, p.y)) hit = make_cell(tree_, i);
      return Fragment(out, hit);
    });
  }
  HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const int focused = s.FocusedChild();
      return Fragment(out, focused >= 0 ? make_cell(tree_, focused) : Element());
    });
  }

  HRESULT STDMETHODCALLTYPE GetItem(int row, int column, IRawElementProviderSimple** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) -> HRESULT {
      const AccessibleTable t = s.Table();
      if (row < 0 || column < 0 || row >= t.rows || column >= t.columns) return E_INVALIDARG;
      // A place whose day the options hide holds no element.
      const int index = s.ChildAt(row, column);
      return Out(out, index >= 0 ? make_cell(tree_, index) : Element());
    });
  }
  HRESULT STDMETHODCALLTYPE get_RowCount(int* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) { return Value(out, s.Table().rows); });
  }
  HRESULT STDMETHODCALLTYPE get_ColumnCount(int* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) { return Value(out, s.Table().columns); });
  }

  HRESULT STDMETHODCALLTYPE GetRowHeaders(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Elements(out, {}); });
  }
  HRESULT STDMETHODCALLTYPE GetColumnHeaders(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      std::vector<Element> headers;
      for (int c = 0, n = static_cast<int>(s.Table().column_headers.size()); c < n; ++c)
        headers.push_back(make_header(tree_, c));
      return Elements(out, headers);
    });
  }
  HRESULT STDMETHODCALLTYPE get_RowOrColumnMajor(uia::RowOrColumnMajor* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Value(out, uia::RowOrColumnMajor_RowMajor); });
  }

  HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const int selected = s.SelectedChild();
      return Elements(out, selected >= 0 ? std::vector<Element>{make_cell(tree_, selected)} : std::vector<Element>{});
    });
  }
  HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Value(out, BOOL{FALSE}); });
  }
  HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Value(out, BOOL{TRUE}); });
  }

 private:
  Tree tree_;
  bool root_;
};

// ---------------------------------------------------------------- the header row and its items

class HeaderElement final : public ComObjects<IRawElementProviderSimple, IRawElementProviderFragment> {
 public:
  HeaderElement(Tree tree, int column) : tree_(std::move(tree)), column_(column) {}

  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) noexcept override {
    return Value(out, static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading));
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Out(out, com_ptr<IUnknown>()); });
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const AccessibleTable t = s.Table();
      if (column_ >= 0 && column_ >= static_cast<int>(t.column_headers.size())) return kGone;
      if (column_ < 0) return PropertyValue(id, out, uia::kHeaderControlType, {}, "DayNames");
      return PropertyValue(id, out, uia::kHeaderItemControlType, t.column_headers[static_cast<std::size_t>(column_)],
                           "DayName" + std::to_string(column_));
    });
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) noexcept override {
    return Value(out, static_cast<IRawElementProviderSimple*>(nullptr));
  }

  HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const int columns = static_cast<int>(s.Table().column_headers.size());
      Element e;
      if (column_ < 0) {  // the row: a child of the table, before the first cell
        if (direction == NavigateDirection_Parent) e = make_table(tree_);
        if (direction == NavigateDirection_NextSibling && s.ChildCount() > 0) e = make_cell(tree_, 0);
        if (direction == NavigateDirection_FirstChild && columns > 0) e = make_header(tree_, 0);
        if (direction == NavigateDirection_LastChild && columns > 0) e = make_header(tree_, columns - 1);
      } else {
        if (direction == NavigateDirection_Parent) e = make_header(tree_, -1);
        if (direction == NavigateDirection_NextSibling && column_ + 1 < columns) e = make_header(tree_, column_ + 1);
        if (direction == NavigateDirection_PreviousSibling && column_ > 0) e = make_header(tree_, column_ - 1);
      }
      return Fragment(out, e);
    });
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) {
      return column_ < 0 ? RuntimeId(out, {uia::kAppendRuntimeId, int(Part::HeaderRow)})
                         : RuntimeId(out, {uia::kAppendRuntimeId, int(Part::HeaderItem), column_});
    });
  }
  HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) noexcept override {
    return Live(tree_, [&](IAccessibleSource& s) {
      const AccessibleTable t = s.Table();
      Rect r;
      for (std::size_t c = 0; c < t.column_headers.size(); ++c) {
        const Rect& b = t.column_headers[c].bounds;
        if (column_ >= 0 && static_cast<int>(c) != column_) continue;
        if (b.empty()) continue;
        r = r.empty() ? b : Rect{std::min(r.left, b.left), std::min(r.top, b.top), std::max(r.right, b.right),
                                 std::max(r.bottom, b.bottom)};
      }
      return ScreenRect(tree_, r, out);
    });
  }
  HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) noexcept override {
    return Value(out, static_cast<SAFEARRAY*>(nullptr));
  }
  HRESULT STDMETHODCALLTYPE SetFocus() noexcept override { return Live(tree_, [](IAccessibleSource&) { return S_OK; }); }
  HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** out) noexcept override {
    return Live(tree_, [&](IAccessibleSource&) { return Out(out, make_table(tree_, true).as<IRawElementProviderFragmentRoot>()); });
  }

 private:
  Tree tree_;
  int column_;
};

// ---------------------------------------------------------------- a cell, or a month arrow

class CellElement final
    : public ComObjects<IRawElementProviderSimple, IRawElementProviderFragment, ISelectionItemProvider,
                        IGridItemProvider, ITableItemProvider, IInvokeProvider> {
 public:
  CellElement(Tree tree, long id) : tree_(std::move(tree)), id_(id) {}

  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) noexcept override {
    return Value(out, static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading));
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID id, IUnknown** out) noexcept override {
    return Cell([&](IAccessibleSource& s) {
      const bool table = s.Table().columns > 0;
      const bool ours = id == UIA_InvokePatternId ||
                        (!Button(s.Child(index_)) &&
                         (id == UIA_SelectionItemPatternId ||
                          (table && OneOf(id, {UIA_GridItemPatternId, UIA_TableItemPatternId}))));
      return Out(out, ours ? com_ptr<IUnknown>(static_cast<IRawElementProviderSimple*>(this)) : com_ptr<IUnknown>());
    });
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* out) noexcept override {
    return Cell([&](IAccessibleSource& s) {
      const AccessibleElement e = s.Child(index_);
      if (Button(e)) return PropertyValue(id, out, uia::kButtonControlType, e, "MonthButton" + std::to_string(index_));
      return PropertyValue(id, out, uia::kListItemControlType, e, "Day" + std::to_string(index_), Enabled(e));
    });
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) noexcept override {
    return Value(out, static_cast<IRawElementProviderSimple*>(nullptr));
  }

  HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** out) noexcept override {
    return Cell([&](IAccessibleSource& s) {
      Element e;
      if (direction == NavigateDirection_Parent) e = make_table(tree_);
      if (direction == NavigateDirection_NextSibling && index_ + 1 < s.ChildCount()) e = make_cell(tree_, index_ + 1);
      if (direction == NavigateDirection_PreviousSibling)
        e = index_ > 0 ? make_cell(tree_, index_ - 1)
                       : (s.Table().column_headers.empty() ? Element() : make_header(tree_, -1));
      return Fragment(out, e);
    });
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) noexcept override {
    return Cell([&](IAccessibleSource&) { return RuntimeId(out, {uia::kAppendRuntimeId, int(Part::Cell), int(id_)}); });
  }
  HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) noexcept override {
    return Cell([&](IAccessibleSource& s) { return ScreenRect(tree_, s.Child(index_).bounds, out); });
  }
  HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) noexcept override {
    return Value(out, static_cast<SAFEARRAY*>(nullptr));
  }
  HRESULT STDMETHODCALLTYPE SetFocus() noexcept override {
    return Cell([&](IAccessibleSource& s) {
      if (!Enabled(s.Child(index_))) return uia::kElementNotEnabled;
      ::SetFocus(tree_->window);
      s.FocusChild(index_);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** out) noexcept override {
    return Cell([&](IAccessibleSource&) { return Out(out, make_table(tree_, true).as<IRawElementProviderFragmentRoot>()); });
  }

  // Selecting a day moves the focus to it; it does not pick it, so the selected day stays the
  // one a pick would replace.
  HRESULT STDMETHODCALLTYPE Select() noexcept override {
    return Cell([&](IAccessibleSource& s) -> HRESULT {
      if (!Enabled(s.Child(index_))) return uia::kElementNotEnabled;
      return s.FocusChild(index_) ? S_OK : kInvalidOperation;
    });
  }
  // One day is always selected: adding another or removing it is refused.
  HRESULT STDMETHODCALLTYPE AddToSelection() noexcept override {
    return Cell([&](IAccessibleSource& s) { return s.SelectedChild() == index_ ? S_OK : kInvalidOperation; });
  }
  HRESULT STDMETHODCALLTYPE RemoveFromSelection() noexcept override {
    return Cell([&](IAccessibleSource& s) { return s.SelectedChild() == index_ ? kInvalidOperation : S_OK; });
  }
  HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* out) noexcept override {
    return Cell([&](IAccessibleSource& s) { return Value(out, BOOL{s.SelectedChild() == index_}); });
  }
  HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** out) noexcept override {
    return Cell([&](IAccessibleSource&) { return Out(out, make_table(tree_, true)); });
  }

  HRESULT STDMETHODCALLTYPE get_Row(int* out) noexcept override {
    return Cell([&](IAccessibleSource& s) { return Value(out, std::max(0, s.Child(index_).row)); });
  }
  HRESULT STDMETHODCALLTYPE get_Column(int* out) noexcept override {
    return Cell([&](IAccessibleSource& s) { return Value(out, std::max(0, s.Child(index_).column)); });
  }
  HRESULT STDMETHODCALLTYPE get_RowSpan(int* out) noexcept override { return Value(out, 1); }
  HRESULT STDMETHODCALLTYPE get_ColumnSpan(int* out) noexcept override { return Value(out, 1); }
  HRESULT STDMETHODCALLTYPE get_ContainingGrid(IRawElementProviderSimple** out) noexcept override {
    return Cell([&](IAccessibleSource&) { return Out(out, make_table(tree_)); });
  }

  HRESULT STDMETHODCALLTYPE GetRowHeaderItems(SAFEARRAY** out) noexcept override {
    return Cell([&](IAccessibleSource&) { return Elements(out, {}); });
  }
  HRESULT STDMETHODCALLTYPE GetColumnHeaderItems(SAFEARRAY** out) noexcept override {
    return Cell([&](IAccessibleSource& s) {
      const AccessibleTable t = s.Table();
      const int column = s.Child(index_).column;
      return Elements(out, column >= 0 && column < static_cast<int>(t.column_headers.size())
                               ? std::vector<Element>{make_header(tree_, column)}
                                                                               : std::vector<Element>{});
    });
  }

  // As a click on the day: it is written into the cell and the calendar closes, so readers hear of
  // it first. The pick is the window's default action, done once this call has returned: a reader
  // must not wait for the write into the host.
  HRESULT STDMETHODCALLTYPE Invoke() noexcept override {
    return Cell([&](IAccessibleSource& s) -> HRESULT {
      if (!Enabled(s.Child(index_))) return uia::kElementNotEnabled;
      if (tree_->core.raise_event) tree_->core.raise_event(this, uia::kInvokedEvent);
      return ::PostMessageW(tree_->window, MsaaAnswer::kDefaultActionMessage, static_cast<WPARAM>(index_), 0) ? S_OK
                                                                                                           : E_FAIL;
    });
  }

 private:
  // As Live, and a cell whose day the window no longer shows is gone too; otherwise index_ is
  // where it is now.
  template <class F>
  HRESULT Cell(F&& body) noexcept {
    return Live(tree_, [&](IAccessibleSource& s) -> HRESULT {
      index_ = s.IndexOfId(id_);
      if (index_ < 0) return kGone;
      return body(s);
    });
  }
  // A day the month around shows in grey is there to read only.
  static bool Enabled(const AccessibleElement& e) { return (e.states & acc_state::kUnavailable) == 0; }
  // The month arrows, after the days.
  static bool Button(const AccessibleElement& e) { return e.role == AccessibleRole::PushButton; }

  Tree tree_;
  long id_;
  int index_ = -1;
};

Element make_table(const Tree& tree, bool root) { return Element::attach(new TableElement(tree, root)); }
Element make_cell(const Tree& tree, int index) {
  return Element::attach(new CellElement(tree, tree->source ? tree->source->ChildId(index) : -1));
}
Element make_header(const Tree& tree, int column) { return Element::attach(new HeaderElement(tree, column)); }

}  // namespace

// ---------------------------------------------------------------- the window's answer

UiaAnswer::UiaAnswer(HWND window, IAccessibleSource& source) : tree_(std::make_shared<UiaTree>()) {
  tree_->window = window;
  tree_->source = &source;
}

UiaAnswer::~UiaAnswer() { disconnect(); }

bool UiaAnswer::load_core() {
  if (loaded_) return tree_->core.return_provider != nullptr;
  loaded_ = true;
  // From the system folder only, whatever the host's current folder holds.
  wchar_t system[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  library_.reset(::LoadLibraryW((std::wstring(system, length) + L"\\uiautomationcore.dll").c_str()));
  if (!library_) return false;
  const auto find = [&](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(library_.get(), name)); };
  uia::CoreFunctions& core = tree_->core;
  core.return_provider = reinterpret_cast<uia::ReturnRawElementProviderFn>(find("UiaReturnRawElementProvider"));
  core.raise_event = reinterpret_cast<uia::RaiseAutomationEventFn>(find("UiaRaiseAutomationEvent"));
  core.raise_notification = reinterpret_cast<uia::RaiseNotificationEventFn>(find("UiaRaiseNotificationEvent"));
  core.host_provider = reinterpret_cast<uia::HostProviderFromHwndFn>(find("UiaHostProviderFromHwnd"));
  core.raise_structure_changed =
      reinterpret_cast<uia::RaiseStructureChangedEventFn>(find("UiaRaiseStructureChangedEvent"));
  core.raise_property_changed =
      reinterpret_cast<uia::RaisePropertyChangedEventFn>(find("UiaRaiseAutomationPropertyChangedEvent"));
  return core.return_provider != nullptr;
}

void UiaAnswer::use(const uia::CoreFunctions& core) {
  loaded_ = true;
  tree_->core = core;
}

com_ptr<IRawElementProviderSimple> UiaAnswer::root() const {
  return tree_->source ? make_table(tree_, true) : Element();
}

std::optional<LRESULT> UiaAnswer::on_get_object(WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != uia::kRootObjectId || !tree_->source || !load_core()) return std::nullopt;
  const Element r = root();
  return tree_->core.return_provider(tree_->window, wparam, lparam, r.get());
}

void UiaAnswer::disconnect() {
  if (!tree_->source) return;
  tree_->source = nullptr;
  if (tree_->core.return_provider) tree_->core.return_provider(tree_->window, 0, 0, nullptr);
}

void UiaAnswer::on_focus_moved(int child) {
  const uia::RaiseAutomationEventFn raise = tree_->core.raise_event;
  if (child < 0 || !raise || !tree_->source) return;
  ComCall([&] { raise(make_cell(tree_, child).get(), uia::kFocusChangedEvent); });
}

void UiaAnswer::on_selection_changed(int child) {
  const uia::RaiseAutomationEventFn raise = tree_->core.raise_event;
  if (child < 0 || !raise || !tree_->source) return;
  ComCall([&] { raise(make_cell(tree_, child).get(), uia::kElementSelectedEvent); });
}

// A new month: the grid's children are others, and the calendar has another name.
void UiaAnswer::on_announcement(const std::string& text) {
  if (!tree_->source) return;
  const uia::CoreFunctions& core = tree_->core;
  if (core.raise_structure_changed)
    ComCall([&] {
      int id[] = {uia::kAppendRuntimeId, int(Part::Grid)};
      core.raise_structure_changed(make_table(tree_).get(), uia::StructureChangeType_ChildrenInvalidated, id, 2);
    });
  if (core.raise_property_changed)
    ComCall([&] {
      VARIANT before, now;
      ::VariantInit(&before);
      ::VariantInit(&now);
      SetText(&now, text);
      core.raise_property_changed(root().get(), UIA_NamePropertyId, before, now);
      ::VariantClear(&now);
    });
  const uia::RaiseNotificationEventFn notify = core.raise_notification;
  if (!notify) return;
  ComCall([&] {
    const Element table = root();
    const unique_bstr display(to_wide(text));
    const unique_bstr activity(std::wstring_view(L"Tessaly.MonthShown"));
    notify(table.get(), uia::NotificationKind_ActionCompleted, uia::NotificationProcessing_MostRecent, display.get(),
           activity.get());
  });
}

}  // namespace tessaly::win
