// Adapters from the host interfaces onto Excel's automation objects.
#include "win/excel/excel_objects.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "win/com_error.h"
#include "win/excel/app_events_sink.h"
#include "win/excel/button_events_sink.h"
#include "win/excel/dispatch_caller.h"
#include "win/excel/excel_ids.h"
#include "win/picture_image.h"
#include "win/variant_convert.h"

namespace tessaly::win::excel {

namespace {

AutomationObject object_of(IDispatch* p) { return AutomationObject(com_ptr<IDispatch>(p)); }

// Item of a collection member, such as Workbooks.Item(name); a missing one is an error.
com_ptr<IDispatch> item_of(const AutomationObject& owner, std::wstring_view collection, Args index) {
  AutomationObject items(ToObject(owner.Get(collection)));
  com_ptr<IDispatch> item = ToObject(items.Get(L"Item", index));
  if (!item) throw com_error(DISP_E_BADINDEX);
  return item;
}

std::int32_t count_of(const AutomationObject& owner, std::wstring_view collection) {
  return ToInt(AutomationObject(ToObject(owner.Get(collection))).Get(L"Count"));
}

IDispatch* picture_of(const ButtonImagePtr& image) {
  auto picture = dynamic_cast<const PictureImage*>(image.get());
  if (!picture || !picture->Picture()) throw com_error(DISP_E_TYPEMISMATCH);
  return picture->Picture();
}

template <class Adapter, class Interface>
std::shared_ptr<Interface> wrap(IDispatch* p) {
  if (!p) return nullptr;
  return std::make_shared<Adapter>(object_of(p));
}

// The subscriptions an adapter made to its object's events, by cookie. A sink is detached before it
// is let go: should the host refuse to release it, it still calls no one.
template <class Sink>
class Subscriptions {
 public:
  Subscriptions() = default;
  Subscriptions(const Subscriptions&) = delete;
  Subscriptions& operator=(const Subscriptions&) = delete;
  ~Subscriptions() {
    for (auto& [cookie, s] : live_) {
      s.sink->Detach();
      s.point->Unadvise(static_cast<DWORD>(cookie));
    }
  }

  // keep: what the sink calls, held while it may.
  std::int32_t Advise(IDispatch* source, const IID& events, com_ptr<Sink> sink, std::shared_ptr<void> keep = nullptr) {
    auto container = com_ptr<IDispatch>(source).as<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) throw com_error(E_NOINTERFACE);
    Subscription s;
    check_hr(container->FindConnectionPoint(events, s.point.put()));
    s.sink = std::move(sink);
    s.keep = std::move(keep);
    DWORD cookie = 0;
    HRESULT hr = s.point->Advise(static_cast<IDispatch*>(s.sink.get()), &cookie);
    if (FAILED(hr)) {
      s.sink->Detach();
      throw com_error(hr);
    }
    live_.emplace(static_cast<std::int32_t>(cookie), std::move(s));
    return static_cast<std::int32_t>(cookie);
  }

  void Unadvise(std::int32_t cookie) {
    auto it = live_.find(cookie);
    if (it == live_.end()) throw com_error(CONNECT_E_NOCONNECTION);
    Subscription s = std::move(it->second);
    live_.erase(it);
    s.sink->Detach();
    check_hr(s.point->Unadvise(static_cast<DWORD>(cookie)));
  }

 private:
  struct Subscription {
    com_ptr<IConnectionPoint> point;
    com_ptr<Sink> sink;
    std::shared_ptr<void> keep;
  };
  std::map<std::int32_t, Subscription> live_;
};

// Base of every adapter: the object it speaks to.
class Adapter {
 public:
  explicit Adapter(AutomationObject object) : o_(std::move(object)) {}

 protected:
  AutomationObject o_;
};

class RangeAdapter final : public IRange, Adapter {
 public:
  using Adapter::Adapter;
  Variant Value() override { return from_variant(o_.Get(L"Value").get()); }
  void SetValue(const Variant& value) override { o_.Put(L"Value", Arg(value)); }
  Variant NumberFormat() override { return from_variant(o_.Get(L"NumberFormat").get()); }
  void SetNumberFormat(const std::string& format) override { o_.Put(L"NumberFormat", Arg(format)); }
  Variant HasFormula() override { return from_variant(o_.Get(L"HasFormula").get()); }
  Variant Formula() override { return from_variant(o_.Get(L"Formula").get()); }
  void SetFormula(const std::string& formula) override { o_.Put(L"Formula", Arg(formula)); }
  Variant Locked() override { return from_variant(o_.Get(L"Locked").get()); }
  Variant MergeCells() override { return from_variant(o_.Get(L"MergeCells").get()); }
  std::int32_t AreasCount() override { return count_of(o_, L"Areas"); }
  std::int32_t CellsCount() override { return ToInt(o_.Get(L"Count")); }
  RangePtr CellsItem(std::int32_t index) override { return WrapRange(ToObject(o_.Get(L"Item", {index})).get()); }
  std::int32_t Row() override { return ToInt(o_.Get(L"Row")); }
  std::int32_t Column() override { return ToInt(o_.Get(L"Column")); }
  RangePtr Offset(std::int32_t rows, std::int32_t columns) override {
    return WrapRange(ToObject(o_.Get(L"Offset", {rows, columns})).get());
  }
  std::string Address(bool row_absolute, bool column_absolute, std::int32_t reference_style, bool external) override {
    return ToText(o_.Get(L"Address", {row_absolute, column_absolute, reference_style, external}));
  }
  bool AllowEdit() override { return ToBool(o_.Get(L"AllowEdit")); }
  void Activate() override { o_.Call(L"Activate"); }
  SheetPtr Worksheet() override { return WrapSheet(ToObject(o_.Get(L"Worksheet")).get()); }
  double Left() override { return ToDouble(o_.Get(L"Left")); }
  double Top() override { return ToDouble(o_.Get(L"Top")); }
  double Width() override { return ToDouble(o_.Get(L"Width")); }
  double Height() override { return ToDouble(o_.Get(L"Height")); }
  std::int32_t RowsCount() override { return count_of(o_, L"Rows"); }
  std::int32_t ColumnsCount() override { return count_of(o_, L"Columns"); }
  RangePtr RowsItem(std::int32_t index) override { return WrapRange(item_of(o_, L"Rows", {index}).get()); }
  RangePtr ColumnsItem(std::int32_t index) override { return WrapRange(item_of(o_, L"Columns", {index}).get()); }
  RangePtr EntireRow() override { return WrapRange(ToObject(o_.Get(L"EntireRow")).get()); }
  RangePtr EntireColumn() override { return WrapRange(ToObject(o_.Get(L"EntireColumn")).get()); }
  bool Hidden() override { return ToBool(o_.Get(L"Hidden")); }
  RangePtr MergeArea() override { return WrapRange(ToObject(o_.Get(L"MergeArea")).get()); }
  void Select() override { o_.Call(L"Select"); }
  ValidationPtr Validation() override;
};

class ValidationAdapter final : public IValidation, Adapter {
 public:
  using Adapter::Adapter;
  std::int32_t Type() override { return ToInt(o_.Get(L"Type")); }
  std::int32_t Operator() override { return ToInt(o_.Get(L"Operator")); }
  std::string Formula1() override { return ToText(o_.Get(L"Formula1")); }
  std::string Formula2() override { return ToText(o_.Get(L"Formula2")); }
  std::int32_t AlertStyle() override { return ToInt(o_.Get(L"AlertStyle")); }
  std::string ErrorTitle() override { return ToText(o_.Get(L"ErrorTitle")); }
  std::string ErrorMessage() override { return ToText(o_.Get(L"ErrorMessage")); }
  bool Value() override { return ToBool(o_.Get(L"Value")); }
};

ValidationPtr RangeAdapter::Validation() { return wrap<ValidationAdapter, IValidation>(ToObject(o_.Get(L"Validation")).get()); }

class ChartObjectAdapter final : public IChartObject, Adapter {
 public:
  using Adapter::Adapter;
  void SetPlacement(std::int32_t placement) override { o_.Put(L"Placement", Arg(placement)); }
  void SetLeft(double points) override { o_.Put(L"Left", Arg(points)); }
  void SetTop(double points) override { o_.Put(L"Top", Arg(points)); }
  void Activate() override { o_.Call(L"Activate"); }
  void Delete() override { o_.Call(L"Delete"); }
};

class SheetAdapter final : public ISheet, Adapter {
 public:
  using Adapter::Adapter;
  std::int32_t Type() override { return ToInt(o_.Get(L"Type")); }
  std::string Name() override { return ToText(o_.Get(L"Name")); }
  bool ProtectContents() override { return ToBool(o_.Get(L"ProtectContents")); }
  RangePtr Cells(std::int32_t row, std::int32_t column) override {
    return WrapRange(item_of(o_, L"Cells", {row, column}).get());
  }
  RangePtr Range(const std::string& address) override {
    return WrapRange(ToObject(o_.Get(L"Range", {address})).get());
  }
  WorkbookPtr Parent() override { return WrapWorkbook(ToObject(o_.Get(L"Parent")).get()); }
  // A reference evaluates to its range, whose value is what the formula means.
  Variant Evaluate(const std::string& formula) override {
    const unique_variant result = o_.Call(L"Evaluate", {formula});
    if (result.type() != VT_DISPATCH && result.type() != VT_UNKNOWN) return from_variant(result.get());
    return from_variant(AutomationObject(ToObject(result)).Get(L"Value").get());
  }
  // ChartObjects is a method of the sheet giving the collection.
  ChartObjectPtr ChartObjectsAdd(double left, double top, double width, double height) override {
    AutomationObject charts(ToObject(o_.Call(L"ChartObjects")));
    return wrap<ChartObjectAdapter, IChartObject>(ToObject(charts.Call(L"Add", {left, top, width, height})).get());
  }
};

class NameAdapter final : public IName, Adapter {
 public:
  using Adapter::Adapter;
  RangePtr RefersToRange() override { return WrapRange(ToObject(o_.Get(L"RefersToRange")).get()); }
};

class WorkbookAdapter final : public IWorkbook, Adapter {
 public:
  using Adapter::Adapter;
  std::string Name() override { return ToText(o_.Get(L"Name")); }
  bool ReadOnly() override { return ToBool(o_.Get(L"ReadOnly")); }
  bool IsInplace() override { return ToBool(o_.Get(L"IsInplace")); }
  SheetPtr Worksheets(const std::string& name) override { return WrapSheet(item_of(o_, L"Worksheets", {name}).get()); }
  NamePtr Names(const std::string& name) override { return wrap<NameAdapter, IName>(item_of(o_, L"Names", {name}).get()); }
};

class PaneAdapter final : public IPane, Adapter {
 public:
  using Adapter::Adapter;
  std::int32_t Index() override { return ToInt(o_.Get(L"Index")); }
  RangePtr VisibleRange() override { return WrapRange(ToObject(o_.Get(L"VisibleRange")).get()); }
  std::int32_t ScrollRow() override { return ToInt(o_.Get(L"ScrollRow")); }
  void SetScrollRow(std::int32_t row) override { o_.Put(L"ScrollRow", Arg(row)); }
  std::int32_t ScrollColumn() override { return ToInt(o_.Get(L"ScrollColumn")); }
  void SetScrollColumn(std::int32_t column) override { o_.Put(L"ScrollColumn", Arg(column)); }
  std::int32_t PointsToScreenPixelsX(std::int32_t points) override {
    return ToInt(o_.Call(L"PointsToScreenPixelsX", {points}));
  }
  std::int32_t PointsToScreenPixelsY(std::int32_t points) override {
    return ToInt(o_.Call(L"PointsToScreenPixelsY", {points}));
  }
};

class WindowAdapter final : public IExcelWindow, Adapter {
 public:
  using Adapter::Adapter;
  std::int32_t PanesCount() override { return count_of(o_, L"Panes"); }
  SheetPtr ActiveSheet() override { return WrapSheet(ToObject(o_.Get(L"ActiveSheet")).get()); }
  RangePtr ActiveCell() override { return WrapRange(ToObject(o_.Get(L"ActiveCell")).get()); }
  HostObjectPtr Selection() override { return WrapHostObject(ToObject(o_.Get(L"Selection")).get()); }
  std::int32_t Type() override { return ToInt(o_.Get(L"Type")); }
  WindowHandle Hwnd() override { return static_cast<WindowHandle>(static_cast<std::intptr_t>(ToInt(o_.Get(L"Hwnd")))); }
  std::int32_t WindowState() override { return ToInt(o_.Get(L"WindowState")); }
  double Zoom() override { return ToDouble(o_.Get(L"Zoom")); }
  std::int32_t View() override { return ToInt(o_.Get(L"View")); }
  bool FreezePanes() override { return ToBool(o_.Get(L"FreezePanes")); }
  bool DisplayRightToLeft() override { return ToBool(o_.Get(L"DisplayRightToLeft")); }
  double SplitHorizontal() override { return ToDouble(o_.Get(L"SplitHorizontal")); }
  double SplitVertical() override { return ToDouble(o_.Get(L"SplitVertical")); }
  PanePtr Panes(std::int32_t index) override { return wrap<PaneAdapter, IPane>(item_of(o_, L"Panes", {index}).get()); }
  PanePtr ActivePane() override { return wrap<PaneAdapter, IPane>(ToObject(o_.Get(L"ActivePane")).get()); }
  std::int32_t PointsToScreenPixelsX(std::int32_t points) override {
    return ToInt(o_.Call(L"PointsToScreenPixelsX", {points}));
  }
  std::int32_t PointsToScreenPixelsY(std::int32_t points) override {
    return ToInt(o_.Call(L"PointsToScreenPixelsY", {points}));
  }
  HostObjectPtr RangeFromPoint(std::int32_t x, std::int32_t y) override {
    return WrapHostObject(ToObject(o_.Call(L"RangeFromPoint", {x, y})).get());
  }
};

class HostObjectAdapter final : public IHostObject, Adapter {
 public:
  using Adapter::Adapter;
  std::string TypeName() override { return o_.TypeName(); }
  RangePtr AsRange() override {
    if (CompareStringOrdinal(L"Range", -1, to_bstr(o_.TypeName()).get(), -1, TRUE) != CSTR_EQUAL)
      throw com_error(DISP_E_TYPEMISMATCH);
    return std::make_shared<RangeAdapter>(o_);  // the same object, its type already known
  }
};

class CommandBarControlAdapter final : public ICommandBarControl, Adapter {
 public:
  using Adapter::Adapter;
  std::int32_t Id() override { return ToInt(o_.Get(L"Id")); }
  std::string Tag() override { return ToText(o_.Get(L"Tag")); }
  void SetTag(const std::string& tag) override { o_.Put(L"Tag", Arg(tag)); }
  bool Enabled() override { return ToBool(o_.Get(L"Enabled")); }
  void SetEnabled(bool enabled) override { o_.Put(L"Enabled", Arg(enabled)); }
  std::string Caption() override { return ToText(o_.Get(L"Caption")); }
  void SetCaption(const std::string& caption) override { o_.Put(L"Caption", Arg(caption)); }
  bool BeginGroup() override { return ToBool(o_.Get(L"BeginGroup")); }
  void SetBeginGroup(bool group) override { o_.Put(L"BeginGroup", Arg(group)); }
  std::string OnAction() override { return ToText(o_.Get(L"OnAction")); }
  void SetOnAction(const std::string& action) override { o_.Put(L"OnAction", Arg(action)); }
  bool Visible() override { return ToBool(o_.Get(L"Visible")); }
  void SetVisible(bool visible) override { o_.Put(L"Visible", Arg(visible)); }
  std::int32_t Style() override { return ToInt(o_.Get(L"Style")); }
  void SetStyle(std::int32_t style) override { o_.Put(L"Style", Arg(style)); }
  std::int32_t State() override { return ToInt(o_.Get(L"State")); }
  void SetState(std::int32_t state) override { o_.Put(L"State", Arg(state)); }
  std::string TooltipText() override { return ToText(o_.Get(L"TooltipText")); }
  void SetTooltipText(const std::string& text) override { o_.Put(L"TooltipText", Arg(text)); }
  void SetPicture(const ButtonImagePtr& picture) override { o_.Put(L"Picture", Arg(picture_of(picture))); }
  void SetMask(const ButtonImagePtr& mask) override { o_.Put(L"Mask", Arg(picture_of(mask))); }
  void PasteFace() override { o_.Call(L"PasteFace"); }

  std::int32_t Advise(std::shared_ptr<ICommandBarButtonEvents> receiver) override {
    return subscriptions_.Advise(o_.get(), kDiidCommandBarButtonEvents, ButtonEventsSink::Create(std::move(receiver)));
  }
  void Unadvise(std::int32_t cookie) override { subscriptions_.Unadvise(cookie); }

 private:
  Subscriptions<ButtonEventsSink> subscriptions_;
};

class CommandBarAdapter final : public ICommandBar, Adapter {
 public:
  using Adapter::Adapter;
  std::string Name() override { return ToText(o_.Get(L"Name")); }
  CommandBarControlPtr FindControl(std::int32_t type, std::int32_t id, const std::string& tag) override {
    unique_variant found =
        tag.empty() ? o_.Call(L"FindControl", {type, id}) : o_.Call(L"FindControl", {type, id, tag});
    return WrapCommandBarControl(ToObject(found).get());
  }
  // Controls.Add(Type, Id, Parameter, Before, Temporary).
  CommandBarControlPtr ControlsAdd(std::int32_t type, std::int32_t id, std::int32_t before, bool temporary) override {
    AutomationObject controls(ToObject(o_.Get(L"Controls")));
    unique_variant added = before == 0 ? controls.Call(L"Add", {type, id, Arg::Missing(), Arg::Missing(), temporary})
                                       : controls.Call(L"Add", {type, id, Arg::Missing(), before, temporary});
    com_ptr<IDispatch> control = ToObject(added);
    if (!control) throw com_error(E_POINTER);
    return WrapCommandBarControl(control.get());
  }
  std::int32_t ControlsCount() override { return count_of(o_, L"Controls"); }
  CommandBarControlPtr Controls(std::int32_t index) override {
    return WrapCommandBarControl(item_of(o_, L"Controls", {index}).get());
  }
  bool Visible() override { return ToBool(o_.Get(L"Visible")); }
  void SetVisible(bool visible) override { o_.Put(L"Visible", Arg(visible)); }
};

class ApplicationAdapter final : public IExcelApplication, Adapter {
 public:
  using Adapter::Adapter;

  std::string Version(std::int32_t lcid) override { return ToText(o_.Get(L"Version", {}, static_cast<LCID>(lcid))); }
  // Excel's Hwnd is a 32-bit integer in 64-bit Excel too; handles widen with their sign.
  WindowHandle Hwnd() override {
    return static_cast<WindowHandle>(static_cast<std::intptr_t>(ToInt(o_.Get(L"Hwnd"))));
  }
  HostObjectPtr Selection() override { return WrapHostObject(ToObject(o_.Get(L"Selection")).get()); }
  RangePtr ActiveCell() override { return WrapRange(ToObject(o_.Get(L"ActiveCell")).get()); }
  ExcelWindowPtr ActiveWindow() override { return WrapExcelWindow(ToObject(o_.Get(L"ActiveWindow")).get()); }
  SheetPtr ActiveSheet() override { return WrapSheet(ToObject(o_.Get(L"ActiveSheet")).get()); }
  WorkbookPtr ActiveWorkbook() override { return WrapWorkbook(ToObject(o_.Get(L"ActiveWorkbook")).get()); }
  bool Interactive() override { return ToBool(o_.Get(L"Interactive")); }
  WorkbookPtr Workbooks(const std::string& name) override {
    return WrapWorkbook(item_of(o_, L"Workbooks", {name}).get());
  }
  CommandBarPtr CommandBars(const std::string& name) override {
    return WrapCommandBar(item_of(o_, L"CommandBars", {name}).get());
  }
  // CommandBars.Add(Name, Position, MenuBar, Temporary).
  CommandBarPtr CommandBarsAdd(const std::string& name, std::int32_t position, bool temporary) override {
    AutomationObject bars(ToObject(o_.Get(L"CommandBars")));
    com_ptr<IDispatch> bar = ToObject(bars.Call(L"Add", {name, position, Arg::Missing(), temporary}));
    if (!bar) throw com_error(E_POINTER);
    return WrapCommandBar(bar.get());
  }
  void SendKeys(const std::string& keys, bool wait) override { o_.Call(L"SendKeys", {keys, wait}); }
  // Ctrl+Enter or Esc as keyboard input, which Excel's cell editor takes as the user's own keys; only
  // while one of Excel's windows (this thread's) is in the foreground, so no other program gets them.
  void TypeKeys(const std::string& keys) override {
    const HWND front = ::GetForegroundWindow();
    if (!front || ::GetWindowThreadProcessId(front, nullptr) != ::GetCurrentThreadId()) throw com_error(E_ACCESSDENIED);
    // Only Excel's own windows (the cell editor, the formula bar, the sheet: EXCEL6, EXCEL<, EXCEL7)
    // may take them; an add-in's window with the focus would read them as its own keys.
    wchar_t focus_class[16] = L"";
    if (!::GetClassNameW(::GetFocus(), focus_class, 16) || std::wstring_view(focus_class).substr(0, 5) != L"EXCEL")
      throw com_error(E_ACCESSDENIED);
    std::vector<INPUT> input;
    auto key = [&](WORD vk, bool up) {
      INPUT i{};
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = vk;
      i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      input.push_back(i);
    };
    if (keys == "^~") {
      key(VK_CONTROL, false), key(VK_RETURN, false), key(VK_RETURN, true), key(VK_CONTROL, true);
    } else if (keys == "{ESC}") {
      key(VK_ESCAPE, false), key(VK_ESCAPE, true);
    } else {
      throw com_error(E_INVALIDARG);
    }
    if (::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)) != input.size())
      throw com_error(HRESULT_FROM_WIN32(::GetLastError()));
  }
  // Dialogs(id).Show: runs the host's own modal dialog; True when closed with OK.
  bool ShowBuiltInDialog(std::int32_t id) override {
    return ToBool(AutomationObject(item_of(o_, L"Dialogs", {id})).Call(L"Show"));
  }

  // Handles what waits in this thread's queue once; a message posted meanwhile waits for the next pass.
  void ProcessPendingMessages() override {
    const DWORD started = ::GetTickCount();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      if (static_cast<LONG>(msg.time - started) > 0) return;
    }
  }

  std::int32_t Advise(std::shared_ptr<IApplicationEvents> receiver) override {
    auto sink = AppEventsSink::Create(receiver.get());
    return subscriptions_.Advise(o_.get(), kDiidAppEvents, std::move(sink), std::move(receiver));
  }
  void Unadvise(std::int32_t cookie) override { subscriptions_.Unadvise(cookie); }

 private:
  Subscriptions<AppEventsSink> subscriptions_;
};

class RibbonUIAdapter final : public IRibbonUI, Adapter {
 public:
  using Adapter::Adapter;
  void InvalidateControl(const std::string& control_id) override { o_.Call(L"InvalidateControl", {control_id}); }
};

class RibbonControlAdapter final : public IRibbonControl, Adapter {
 public:
  using Adapter::Adapter;
  std::string Id() override { return ToText(o_.Get(L"Id")); }
};

class AddInInstanceAdapter final : public IAddInInstance, Adapter {
 public:
  using Adapter::Adapter;
  std::string ProgId() override { return ToText(o_.Get(L"ProgId")); }
  void SetConnectInHost(const std::string& prog_id, bool connect) override {
    const AutomationObject app(ToObject(o_.Get(L"Application")));
    if (!app) throw com_error(E_POINTER);
    AutomationObject(item_of(app, L"COMAddIns", {prog_id})).Put(L"Connect", Arg(connect));
  }
};

}  // namespace

ExcelApplicationPtr WrapExcelApplication(IDispatch* p) { return wrap<ApplicationAdapter, IExcelApplication>(p); }
RangePtr WrapRange(IDispatch* p) { return wrap<RangeAdapter, IRange>(p); }
SheetPtr WrapSheet(IDispatch* p) { return wrap<SheetAdapter, ISheet>(p); }
WorkbookPtr WrapWorkbook(IDispatch* p) { return wrap<WorkbookAdapter, IWorkbook>(p); }
ExcelWindowPtr WrapExcelWindow(IDispatch* p) { return wrap<WindowAdapter, IExcelWindow>(p); }
HostObjectPtr WrapHostObject(IDispatch* p) { return wrap<HostObjectAdapter, IHostObject>(p); }
CommandBarPtr WrapCommandBar(IDispatch* p) { return wrap<CommandBarAdapter, ICommandBar>(p); }
CommandBarControlPtr WrapCommandBarControl(IDispatch* p) { return wrap<CommandBarControlAdapter, ICommandBarControl>(p); }
RibbonUIPtr WrapRibbonUI(IDispatch* p) { return wrap<RibbonUIAdapter, IRibbonUI>(p); }
std::shared_ptr<IRibbonControl> WrapRibbonControl(IDispatch* p) { return wrap<RibbonControlAdapter, IRibbonControl>(p); }
AddInInstancePtr WrapAddInInstance(IDispatch* p) { return wrap<AddInInstanceAdapter, IAddInInstance>(p); }

}  // namespace tessaly::win::excel
