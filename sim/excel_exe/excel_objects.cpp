// Excel's automation objects over the stand-in model, one table of members per class.
#include "sim/excel_exe/excel_objects.h"

#include <ocidl.h>
#include <olectl.h>

#include <initializer_list>
#include <map>
#include <vector>

#include "sim/excel_exe/type_name_info.h"
#include "win/com/com_result.h"
#include "win/com/dispatch_table.h"
#include "win/excel/excel_ids.h"
#include "win/utf.h"
#include "win/variant_convert.h"

namespace tessaly::sim::exe {

namespace {

using win::com_ptr;
using win::DispatchCall;
using win::DispatchMember;
using win::DispatchTable;
using HostPtr = std::shared_ptr<ExcelHost>;

constexpr std::int32_t kPasteFailed = 1004;  // Excel's application-defined error

// Every object answers TypeName through its type information, as Excel's objects do.
template <class Derived>
class ExcelObject : public win::DispatchObject<Derived> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return win::ComCall([&] { *info = TypeNameInfo::Create(win::to_wide(static_cast<Derived*>(this)->TypeName()), Kind()); });
  }

 private:
  // One GUID per class of this process: objects of one class share their member table, so a
  // caller may keep the DISPIDs it learnt; two classes with one type name ("Range") never do.
  static GUID Kind() {
    const auto table = reinterpret_cast<std::uint64_t>(&Derived::kTable);
    GUID g{0x7e55a1a0, 0x5c1e, 0x4d2b, {}};
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<unsigned char>(table >> (8 * i));
    return g;
  }
};

template <class T, class... A>
void ReturnObject(VARIANT* result, A&&... a) {
  auto p = com_ptr<IDispatch>::attach(new T(std::forward<A>(a)...));
  win::SetResult(result, p.get());
}
void ReturnNothing(VARIANT* result) { win::SetResult(result, static_cast<IDispatch*>(nullptr)); }
void ReturnText(VARIANT* result, const std::string& text) { win::SetResult(result, win::to_wide(text)); }
void ReturnVariant(VARIANT* result, const Variant& v) {
  if (!result) return;
  win::unique_variant u = win::to_variant(v);
  ::VariantClear(result);
  *result = u.release();
}
Variant PutValue(const DispatchCall& c) { return win::from_variant(c.args.put_value()); }
std::string Text(const DispatchCall& c, UINT position) { return win::to_utf8(c.args.text(position)); }

// An optional argument read as Automation coerces it: missing gives the default.
bool OptionalBool(const DispatchCall& c, UINT position, bool fallback) {
  if (!c.args.has(position)) return fallback;
  const VARIANT v = c.args.value(position);
  return V_VT(&v) == VT_BOOL ? V_BOOL(&v) != VARIANT_FALSE : c.args.number(position) != 0;
}
std::int32_t OptionalInt(const DispatchCall& c, UINT position, std::int32_t fallback) {
  return c.args.has(position) ? c.args.integer(position) : fallback;
}

class RangeObj;
class SheetObj;

class AreasObj final : public ExcelObject<AreasObj> {
 public:
  AreasObj(HostPtr h, RangePtr r) : h_(std::move(h)), r_(std::move(r)) {}
  static const DispatchTable<AreasObj> kTable;
  std::string TypeName() { return "Areas"; }
  HostPtr h_;
  RangePtr r_;
};

// Rows or Columns of a range: their count and each one by number.
class LinesObj final : public ExcelObject<LinesObj> {
 public:
  LinesObj(HostPtr h, RangePtr r, bool rows) : h_(std::move(h)), r_(std::move(r)), rows_(rows) {}
  static const DispatchTable<LinesObj> kTable;
  std::string TypeName() { return "Range"; }
  HostPtr h_;
  RangePtr r_;
  bool rows_;
};

class PaneObj final : public ExcelObject<PaneObj> {
 public:
  PaneObj(HostPtr h, PanePtr p) : h_(std::move(h)), p_(std::move(p)) {}
  static const DispatchTable<PaneObj> kTable;
  std::string TypeName() { return "Pane"; }
  HostPtr h_;
  PanePtr p_;
};

class ChartObjectObj final : public ExcelObject<ChartObjectObj> {
 public:
  ChartObjectObj(HostPtr h, ChartObjectPtr c) : h_(std::move(h)), c_(std::move(c)) {}
  static const DispatchTable<ChartObjectObj> kTable;
  std::string TypeName() { return "ChartObject"; }
  HostPtr h_;
  ChartObjectPtr c_;
};

class ChartObjectsObj final : public ExcelObject<ChartObjectsObj> {
 public:
  ChartObjectsObj(HostPtr h, SheetPtr s) : h_(std::move(h)), s_(std::move(s)) {}
  static const DispatchTable<ChartObjectsObj> kTable;
  std::string TypeName() { return "ChartObjects"; }
  HostPtr h_;
  SheetPtr s_;
};

// A range, or the selection until it is asked for a range's member (then it must be one).
class RangeObj final : public ExcelObject<RangeObj> {
 public:
  RangeObj(HostPtr h, RangePtr r, HostObjectPtr origin = nullptr)
      : h_(std::move(h)), r_(std::move(r)), origin_(std::move(origin)) {}
  static const DispatchTable<RangeObj> kTable;
  std::string TypeName() { return origin_ ? origin_->TypeName() : "Range"; }
  IRange& R() {
    if (!r_) r_ = origin_->AsRange();
    return *r_;
  }
  HostPtr h_;
  RangePtr r_;
  HostObjectPtr origin_;
};

class ValidationObj final : public ExcelObject<ValidationObj> {
 public:
  ValidationObj(HostPtr h, ValidationPtr v) : h_(std::move(h)), v_(std::move(v)) {}
  static const DispatchTable<ValidationObj> kTable;
  std::string TypeName() { return "Validation"; }
  HostPtr h_;
  ValidationPtr v_;
};

class SheetCellsObj final : public ExcelObject<SheetCellsObj> {
 public:
  SheetCellsObj(HostPtr h, SheetPtr s) : h_(std::move(h)), s_(std::move(s)) {}
  static const DispatchTable<SheetCellsObj> kTable;
  std::string TypeName() { return "Range"; }
  HostPtr h_;
  SheetPtr s_;
};

class SheetObj final : public ExcelObject<SheetObj> {
 public:
  SheetObj(HostPtr h, SheetPtr s) : h_(std::move(h)), s_(std::move(s)) {}
  static const DispatchTable<SheetObj> kTable;
  std::string TypeName() { return "Worksheet"; }
  HostPtr h_;
  SheetPtr s_;
};

class WorksheetsObj final : public ExcelObject<WorksheetsObj> {
 public:
  WorksheetsObj(HostPtr h, WorkbookPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<WorksheetsObj> kTable;
  std::string TypeName() { return "Sheets"; }
  HostPtr h_;
  WorkbookPtr b_;
};

class NameObj final : public ExcelObject<NameObj> {
 public:
  NameObj(HostPtr h, NamePtr n) : h_(std::move(h)), n_(std::move(n)) {}
  static const DispatchTable<NameObj> kTable;
  std::string TypeName() { return "Name"; }
  HostPtr h_;
  NamePtr n_;
};

class NamesObj final : public ExcelObject<NamesObj> {
 public:
  NamesObj(HostPtr h, WorkbookPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<NamesObj> kTable;
  std::string TypeName() { return "Names"; }
  HostPtr h_;
  WorkbookPtr b_;
};

class WorkbookObj final : public ExcelObject<WorkbookObj> {
 public:
  WorkbookObj(HostPtr h, WorkbookPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<WorkbookObj> kTable;
  std::string TypeName() { return "Workbook"; }
  HostPtr h_;
  WorkbookPtr b_;
};

class WorkbooksObj final : public ExcelObject<WorkbooksObj> {
 public:
  explicit WorkbooksObj(HostPtr h) : h_(std::move(h)) {}
  static const DispatchTable<WorkbooksObj> kTable;
  std::string TypeName() { return "Workbooks"; }
  HostPtr h_;
};

class PanesObj final : public ExcelObject<PanesObj> {
 public:
  PanesObj(HostPtr h, ExcelWindowPtr w) : h_(std::move(h)), w_(std::move(w)) {}
  static const DispatchTable<PanesObj> kTable;
  std::string TypeName() { return "Panes"; }
  HostPtr h_;
  ExcelWindowPtr w_;
};

class WindowObj final : public ExcelObject<WindowObj> {
 public:
  WindowObj(HostPtr h, ExcelWindowPtr w) : h_(std::move(h)), w_(std::move(w)) {}
  static const DispatchTable<WindowObj> kTable;
  std::string TypeName() { return "Window"; }
  HostPtr h_;
  ExcelWindowPtr w_;
};

class ControlObj;

// A button's Click to one sink through its IDispatch, as Excel raises it: the control and a cancel
// flag by reference.
class ClickBridge final : public ICommandBarButtonEvents {
 public:
  ClickBridge(HostPtr h, com_ptr<IDispatch> sink) : h_(std::move(h)), sink_(std::move(sink)) {}
  void Click(const CommandBarControlPtr& control, bool& cancel_default) override;

 private:
  HostPtr h_;
  com_ptr<IDispatch> sink_;
};

// One connection point of an event source: a sink is advised only through the source's own
// dispinterface, and each advised sink gets a bridge that calls it as Excel does. Source names
// the dispinterface, its bridge and where bridges are advised.
template <class Source>
class EventsPoint final : public IConnectionPoint {
 public:
  EventsPoint(IConnectionPointContainer* owner, Source source) : owner_(owner), source_(std::move(source)) {}
  ~EventsPoint() {
    for (const auto& entry : bridges_) {
      try {
        source_.Drop(entry.first);
      } catch (...) {
        // Gone with a restart of the host already.
      }
    }
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  // Lives as long as the object that holds it.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return owner_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = Source::Iid();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override {
    if (!out) return E_POINTER;
    *out = owner_;
    owner_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    com_ptr<IDispatch> events;
    if (FAILED(sink->QueryInterface(Source::Iid(), events.put_void())) || !events) return CONNECT_E_CANNOTCONNECT;
    return win::ComCall([&] {
      auto bridge = std::make_shared<typename Source::Bridge>(source_.h, events);
      const std::int32_t c = source_.Advise(bridge);
      bridges_[c] = std::move(bridge);
      *cookie = static_cast<DWORD>(c);
    });
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    auto it = bridges_.find(static_cast<std::int32_t>(cookie));
    if (it == bridges_.end()) return CONNECT_E_NOCONNECTION;
    return win::ComCall([&] {
      source_.Unadvise(it->first);
      bridges_.erase(it);
    });
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  IConnectionPointContainer* owner_;
  Source source_;
  std::map<std::int32_t, std::shared_ptr<typename Source::Bridge>> bridges_;
};

// An object with one connection point, found only by the source's own dispinterface.
template <class Derived, class Source>
class EventSourceObject : public ExcelObject<Derived>, public IConnectionPointContainer {
 public:
  explicit EventSourceObject(Source source) : point_(this, std::move(source)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (out && riid == IID_IConnectionPointContainer) {
      *out = static_cast<IConnectionPointContainer*>(this);
      AddRef();
      return S_OK;
    }
    return ExcelObject<Derived>::QueryInterface(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ExcelObject<Derived>::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return ExcelObject<Derived>::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != Source::Iid()) return CONNECT_E_NOCONNECTION;
    *out = &point_;
    point_.AddRef();
    return S_OK;
  }

 private:
  EventsPoint<Source> point_;
};

// The _CommandBarButtonEvents of one button: its Click to each advised sink.
struct ButtonClicks {
  using Bridge = ClickBridge;
  static const IID& Iid() { return win::excel::kDiidCommandBarButtonEvents; }
  std::int32_t Advise(std::shared_ptr<ClickBridge> bridge) { return control->Advise(std::move(bridge)); }
  void Unadvise(std::int32_t cookie) { control->Unadvise(cookie); }
  void Drop(std::int32_t cookie) { h->model->UnadviseButton(cookie); }
  HostPtr h;
  CommandBarControlPtr control;
};

class ControlObj final : public EventSourceObject<ControlObj, ButtonClicks> {
 public:
  ControlObj(HostPtr h, CommandBarControlPtr c) : EventSourceObject({h, c}), h_(std::move(h)), c_(std::move(c)) {}
  static const DispatchTable<ControlObj> kTable;
  std::string TypeName() { return "CommandBarButton"; }

  HostPtr h_;
  CommandBarControlPtr c_;
};

void ClickBridge::Click(const CommandBarControlPtr& control, bool& cancel_default) {
  auto ctrl = com_ptr<IDispatch>::attach(static_cast<ExcelObject<ControlObj>*>(new ControlObj(h_, control)));
  VARIANT_BOOL cancel = cancel_default ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANT args[2];
  ::VariantInit(&args[0]);
  ::VariantInit(&args[1]);
  V_VT(&args[0]) = VT_BOOL | VT_BYREF;  // CancelDefault, last
  V_BOOLREF(&args[0]) = &cancel;
  V_VT(&args[1]) = VT_DISPATCH;  // Ctrl, first
  V_DISPATCH(&args[1]) = ctrl.get();
  DISPPARAMS params{args, nullptr, 2, 0};
  sink_->Invoke(win::excel::kDispidButtonClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  cancel_default = cancel != VARIANT_FALSE;
}

class ControlsObj final : public ExcelObject<ControlsObj> {
 public:
  ControlsObj(HostPtr h, CommandBarPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<ControlsObj> kTable;
  std::string TypeName() { return "CommandBarControls"; }
  HostPtr h_;
  CommandBarPtr b_;
};

class CommandBarObj final : public ExcelObject<CommandBarObj> {
 public:
  CommandBarObj(HostPtr h, CommandBarPtr b) : h_(std::move(h)), b_(std::move(b)) {}
  static const DispatchTable<CommandBarObj> kTable;
  std::string TypeName() { return "CommandBar"; }
  HostPtr h_;
  CommandBarPtr b_;
};

class CommandBarsObj final : public ExcelObject<CommandBarsObj> {
 public:
  explicit CommandBarsObj(HostPtr h) : h_(std::move(h)) {}
  static const DispatchTable<CommandBarsObj> kTable;
  std::string TypeName() { return "CommandBars"; }
  HostPtr h_;
};

class ComAddInObj final : public ExcelObject<ComAddInObj> {
 public:
  ComAddInObj(HostPtr h, std::wstring prog_id, std::wstring description)
      : h_(std::move(h)), prog_id_(std::move(prog_id)), description_(std::move(description)) {}
  HostPtr h_;
  static const DispatchTable<ComAddInObj> kTable;
  std::string TypeName() { return "COMAddIn"; }
  std::wstring prog_id_, description_;
  bool connect_ = true;
  com_ptr<IDispatch> object_;
};

class ComAddInsObj final : public ExcelObject<ComAddInsObj> {
 public:
  explicit ComAddInsObj(HostPtr h) : h_(std::move(h)) {}
  static const DispatchTable<ComAddInsObj> kTable;
  std::string TypeName() { return "COMAddIns"; }
  HostPtr h_;
};

class DialogObj final : public ExcelObject<DialogObj> {
 public:
  DialogObj(HostPtr h, std::int32_t n) : h_(std::move(h)), n_(n) {}
  static const DispatchTable<DialogObj> kTable;
  std::string TypeName() { return "Dialog"; }
  HostPtr h_;
  std::int32_t n_;
};

class DialogsObj final : public ExcelObject<DialogsObj> {
 public:
  explicit DialogsObj(HostPtr h) : h_(std::move(h)) {}
  static const DispatchTable<DialogsObj> kTable;
  std::string TypeName() { return "Dialogs"; }
  HostPtr h_;
};

void ReturnRange(VARIANT* r, const HostPtr& h, RangePtr range) {
  if (!range) return ReturnNothing(r);
  ReturnObject<RangeObj>(r, h, std::move(range));
}
void ReturnSheet(VARIANT* r, const HostPtr& h, SheetPtr sheet) {
  if (!sheet) return ReturnNothing(r);
  ReturnObject<SheetObj>(r, h, std::move(sheet));
}
void ReturnBook(VARIANT* r, const HostPtr& h, WorkbookPtr book) {
  if (!book) return ReturnNothing(r);
  ReturnObject<WorkbookObj>(r, h, std::move(book));
}
void ReturnSelection(VARIANT* r, const HostPtr& h, HostObjectPtr selection) {
  if (!selection) return ReturnNothing(r);
  ReturnObject<RangeObj>(r, h, nullptr, std::move(selection));
}

// ---- tables

const DispatchMember<AreasObj> kAreas[] = {
    {L"Count", 1, [](AreasObj& o, DispatchCall& c) { win::SetResult(c.result, o.r_->AreasCount()); }},
};
const DispatchTable<AreasObj> AreasObj::kTable{kAreas};

const DispatchMember<LinesObj> kLines[] = {
    {L"Count", 1,
     [](LinesObj& o, DispatchCall& c) { win::SetResult(c.result, o.rows_ ? o.r_->RowsCount() : o.r_->ColumnsCount()); }},
    {L"Item", 0,
     [](LinesObj& o, DispatchCall& c) {
       const std::int32_t i = c.args.integer(0);
       ReturnRange(c.result, o.h_, o.rows_ ? o.r_->RowsItem(i) : o.r_->ColumnsItem(i));
     }},
};
const DispatchTable<LinesObj> LinesObj::kTable{kLines};

const DispatchMember<PaneObj> kPane[] = {
    {L"Index", 1, [](PaneObj& o, DispatchCall& c) { win::SetResult(c.result, o.p_->Index()); }},
    {L"VisibleRange", 2, [](PaneObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.p_->VisibleRange()); }},
    {L"ScrollRow", 3,
     [](PaneObj& o, DispatchCall& c) {
       if (!c.is_put()) return win::SetResult(c.result, o.p_->ScrollRow());
       o.p_->SetScrollRow(PutValue(c).as_int());
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"ScrollColumn", 4,
     [](PaneObj& o, DispatchCall& c) {
       if (!c.is_put()) return win::SetResult(c.result, o.p_->ScrollColumn());
       o.p_->SetScrollColumn(PutValue(c).as_int());
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"PointsToScreenPixelsX", 5,
     [](PaneObj& o, DispatchCall& c) { win::SetResult(c.result, o.p_->PointsToScreenPixelsX(c.args.integer(0))); }, win::kMethod},
    {L"PointsToScreenPixelsY", 6,
     [](PaneObj& o, DispatchCall& c) { win::SetResult(c.result, o.p_->PointsToScreenPixelsY(c.args.integer(0))); }, win::kMethod},
};
const DispatchTable<PaneObj> PaneObj::kTable{kPane};

const DispatchMember<ChartObjectObj> kChartObject[] = {
    {L"Placement", 1, [](ChartObjectObj& o, DispatchCall& c) { o.c_->SetPlacement(PutValue(c).as_int()); }, win::kPut},
    {L"Left", 2, [](ChartObjectObj& o, DispatchCall& c) { o.c_->SetLeft(PutValue(c).as_double()); }, win::kPut},
    {L"Top", 3, [](ChartObjectObj& o, DispatchCall& c) { o.c_->SetTop(PutValue(c).as_double()); }, win::kPut},
    {L"Activate", 4, [](ChartObjectObj& o, DispatchCall&) { o.c_->Activate(); }, win::kMethod},
    {L"Delete", 5, [](ChartObjectObj& o, DispatchCall&) { o.c_->Delete(); }, win::kMethod},
};
const DispatchTable<ChartObjectObj> ChartObjectObj::kTable{kChartObject};

const DispatchMember<ChartObjectsObj> kChartObjects[] = {
    {L"Add", 1,
     [](ChartObjectsObj& o, DispatchCall& c) {
       ReturnObject<ChartObjectObj>(c.result, o.h_,
                                    o.s_->ChartObjectsAdd(c.args.number(0), c.args.number(1), c.args.number(2), c.args.number(3)));
     }, win::kMethod},
};
const DispatchTable<ChartObjectsObj> ChartObjectsObj::kTable{kChartObjects};

const DispatchMember<RangeObj> kRange[] = {
    {L"Value", 6,
     [](RangeObj& o, DispatchCall& c) {
       if (!c.is_put()) return ReturnVariant(c.result, o.R().Value());
       o.R().SetValue(PutValue(c));
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"_Default", 0, [](RangeObj& o, DispatchCall& c) { ReturnVariant(c.result, o.R().Value()); }},
    {L"NumberFormat", 7,
     [](RangeObj& o, DispatchCall& c) {
       if (!c.is_put()) return ReturnVariant(c.result, o.R().NumberFormat());
       o.R().SetNumberFormat(PutValue(c).to_text());
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"HasFormula", 8, [](RangeObj& o, DispatchCall& c) { ReturnVariant(c.result, o.R().HasFormula()); }},
    {L"Formula", 34,
     [](RangeObj& o, DispatchCall& c) {
       if (!c.is_put()) return ReturnVariant(c.result, o.R().Formula());
       o.R().SetFormula(PutValue(c).to_text());
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"Locked", 9, [](RangeObj& o, DispatchCall& c) { ReturnVariant(c.result, o.R().Locked()); }},
    {L"MergeCells", 10, [](RangeObj& o, DispatchCall& c) { ReturnVariant(c.result, o.R().MergeCells()); }},
    {L"Areas", 11, [](RangeObj& o, DispatchCall& c) { ReturnObject<AreasObj>(c.result, o.h_, o.r_ ? o.r_ : (o.R(), o.r_)); }},
    {L"Count", 12, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().CellsCount()); }},
    {L"Cells", 13, [](RangeObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, (o.R(), o.r_)); }},
    {L"Item", 14, [](RangeObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.R().CellsItem(c.args.integer(0))); }},
    {L"Row", 15, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Row()); }},
    {L"Column", 16, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Column()); }},
    {L"Offset", 17,
     [](RangeObj& o, DispatchCall& c) {
       ReturnRange(c.result, o.h_, o.R().Offset(OptionalInt(c, 0, 0), OptionalInt(c, 1, 0)));
     }},
    {L"Address", 18,
     [](RangeObj& o, DispatchCall& c) {
       ReturnText(c.result, o.R().Address(OptionalBool(c, 0, true), OptionalBool(c, 1, true), OptionalInt(c, 2, xl::kA1),
                                          OptionalBool(c, 3, false)));
     }},
    {L"AllowEdit", 19, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().AllowEdit()); }},
    {L"Activate", 20,
     [](RangeObj& o, DispatchCall& c) {
       o.R().Activate();
       o.h_->changed();
       win::SetResult(c.result, true);
     }, win::kMethod},
    {L"Worksheet", 21, [](RangeObj& o, DispatchCall& c) { ReturnSheet(c.result, o.h_, o.R().Worksheet()); }},
    {L"Parent", 22, [](RangeObj& o, DispatchCall& c) { ReturnSheet(c.result, o.h_, o.R().Worksheet()); }},
    {L"Left", 23, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Left()); }},
    {L"Top", 24, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Top()); }},
    {L"Width", 25, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Width()); }},
    {L"Height", 26, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Height()); }},
    {L"Rows", 27, [](RangeObj& o, DispatchCall& c) { ReturnObject<LinesObj>(c.result, o.h_, (o.R(), o.r_), true); }},
    {L"Columns", 28, [](RangeObj& o, DispatchCall& c) { ReturnObject<LinesObj>(c.result, o.h_, (o.R(), o.r_), false); }},
    {L"EntireRow", 29, [](RangeObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.R().EntireRow()); }},
    {L"EntireColumn", 30, [](RangeObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.R().EntireColumn()); }},
    {L"Hidden", 31, [](RangeObj& o, DispatchCall& c) { win::SetResult(c.result, o.R().Hidden()); }},
    {L"MergeArea", 32, [](RangeObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.R().MergeArea()); }},
    {L"Select", 33,
     [](RangeObj& o, DispatchCall& c) {
       o.R().Select();
       o.h_->changed();
       win::SetResult(c.result, true);
     }, win::kMethod},
    {L"Validation", 35, [](RangeObj& o, DispatchCall& c) { ReturnObject<ValidationObj>(c.result, o.h_, o.R().Validation()); }},
};
const DispatchTable<RangeObj> RangeObj::kTable{kRange};

const DispatchMember<ValidationObj> kValidation[] = {
    {L"Type", 1, [](ValidationObj& o, DispatchCall& c) { win::SetResult(c.result, o.v_->Type()); }},
    {L"Operator", 2, [](ValidationObj& o, DispatchCall& c) { win::SetResult(c.result, o.v_->Operator()); }},
    {L"Formula1", 3, [](ValidationObj& o, DispatchCall& c) { ReturnText(c.result, o.v_->Formula1()); }},
    {L"Formula2", 4, [](ValidationObj& o, DispatchCall& c) { ReturnText(c.result, o.v_->Formula2()); }},
    {L"AlertStyle", 5, [](ValidationObj& o, DispatchCall& c) { win::SetResult(c.result, o.v_->AlertStyle()); }},
    {L"ErrorTitle", 6, [](ValidationObj& o, DispatchCall& c) { ReturnText(c.result, o.v_->ErrorTitle()); }},
    {L"ErrorMessage", 7, [](ValidationObj& o, DispatchCall& c) { ReturnText(c.result, o.v_->ErrorMessage()); }},
    {L"Value", 8, [](ValidationObj& o, DispatchCall& c) { win::SetResult(c.result, o.v_->Value()); }},
};
const DispatchTable<ValidationObj> ValidationObj::kTable{kValidation};

const DispatchMember<SheetCellsObj> kSheetCells[] = {
    {L"Item", 0,
     [](SheetCellsObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.s_->Cells(c.args.integer(0), c.args.integer(1))); }},
};
const DispatchTable<SheetCellsObj> SheetCellsObj::kTable{kSheetCells};

const DispatchMember<SheetObj> kSheet[] = {
    {L"Type", 1, [](SheetObj& o, DispatchCall& c) { win::SetResult(c.result, o.s_->Type()); }},
    {L"Name", 2, [](SheetObj& o, DispatchCall& c) { ReturnText(c.result, o.s_->Name()); }},
    {L"ProtectContents", 3, [](SheetObj& o, DispatchCall& c) { win::SetResult(c.result, o.s_->ProtectContents()); }},
    {L"Cells", 4,
     [](SheetObj& o, DispatchCall& c) {
       if (c.args.count() >= 2) return ReturnRange(c.result, o.h_, o.s_->Cells(c.args.integer(0), c.args.integer(1)));
       ReturnObject<SheetCellsObj>(c.result, o.h_, o.s_);
     }},
    {L"Range", 5,
     [](SheetObj& o, DispatchCall& c) {
       std::string address = Text(c, 0);
       if (c.args.has(1)) address += ":" + Text(c, 1);
       ReturnRange(c.result, o.h_, o.s_->Range(address));
     }},
    {L"Parent", 6, [](SheetObj& o, DispatchCall& c) { ReturnBook(c.result, o.h_, o.s_->Parent()); }},
    {L"ChartObjects", 7, [](SheetObj& o, DispatchCall& c) { ReturnObject<ChartObjectsObj>(c.result, o.h_, o.s_); }, win::kMethod},
    {L"Evaluate", 8, [](SheetObj& o, DispatchCall& c) { ReturnVariant(c.result, o.s_->Evaluate(Text(c, 0))); }, win::kMethod},
};
const DispatchTable<SheetObj> SheetObj::kTable{kSheet};

const DispatchMember<WorksheetsObj> kWorksheets[] = {
    {L"Item", 0, [](WorksheetsObj& o, DispatchCall& c) { ReturnSheet(c.result, o.h_, o.b_->Worksheets(Text(c, 0))); }},
};
const DispatchTable<WorksheetsObj> WorksheetsObj::kTable{kWorksheets};

const DispatchMember<NameObj> kName[] = {
    {L"RefersToRange", 1, [](NameObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.n_->RefersToRange()); }},
};
const DispatchTable<NameObj> NameObj::kTable{kName};

const DispatchMember<NamesObj> kNames[] = {
    {L"Item", 0, [](NamesObj& o, DispatchCall& c) { ReturnObject<NameObj>(c.result, o.h_, o.b_->Names(Text(c, 0))); }},
};
const DispatchTable<NamesObj> NamesObj::kTable{kNames};

const DispatchMember<WorkbookObj> kWorkbook[] = {
    {L"Name", 1, [](WorkbookObj& o, DispatchCall& c) { ReturnText(c.result, o.b_->Name()); }},
    {L"ReadOnly", 2, [](WorkbookObj& o, DispatchCall& c) { win::SetResult(c.result, o.b_->ReadOnly()); }},
    {L"IsInplace", 3, [](WorkbookObj& o, DispatchCall& c) { win::SetResult(c.result, o.b_->IsInplace()); }},
    {L"Worksheets", 4,
     [](WorkbookObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnSheet(c.result, o.h_, o.b_->Worksheets(Text(c, 0)));
       ReturnObject<WorksheetsObj>(c.result, o.h_, o.b_);
     }},
    {L"Names", 5,
     [](WorkbookObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnObject<NameObj>(c.result, o.h_, o.b_->Names(Text(c, 0)));
       ReturnObject<NamesObj>(c.result, o.h_, o.b_);
     }},
};
const DispatchTable<WorkbookObj> WorkbookObj::kTable{kWorkbook};

const DispatchMember<WorkbooksObj> kWorkbooks[] = {
    {L"Item", 0, [](WorkbooksObj& o, DispatchCall& c) { ReturnBook(c.result, o.h_, o.h_->model->Workbooks(Text(c, 0))); }},
    {L"Add", 1,
     [](WorkbooksObj& o, DispatchCall& c) {
       WorkbookPtr book = o.h_->model->WorkbooksAdd();
       o.h_->changed();
       ReturnBook(c.result, o.h_, std::move(book));
     }, win::kMethod},
    {L"Count", 2, [](WorkbooksObj& o, DispatchCall& c) { win::SetResult(c.result, o.h_->model->WorkbooksCount()); }, win::kGet},
};
const DispatchTable<WorkbooksObj> WorkbooksObj::kTable{kWorkbooks};

const DispatchMember<PanesObj> kPanes[] = {
    {L"Count", 1, [](PanesObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->PanesCount()); }},
    {L"Item", 0, [](PanesObj& o, DispatchCall& c) { ReturnObject<PaneObj>(c.result, o.h_, o.w_->Panes(c.args.integer(0))); }},
};
const DispatchTable<PanesObj> PanesObj::kTable{kPanes};

const DispatchMember<WindowObj> kWindow[] = {
    {L"Panes", 1,
     [](WindowObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnObject<PaneObj>(c.result, o.h_, o.w_->Panes(c.args.integer(0)));
       ReturnObject<PanesObj>(c.result, o.h_, o.w_);
     }},
    {L"ActiveSheet", 2, [](WindowObj& o, DispatchCall& c) { ReturnSheet(c.result, o.h_, o.w_->ActiveSheet()); }},
    {L"ActiveCell", 3, [](WindowObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.w_->ActiveCell()); }},
    {L"Selection", 4, [](WindowObj& o, DispatchCall& c) { ReturnSelection(c.result, o.h_, o.w_->Selection()); }},
    {L"Type", 5, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->Type()); }},
    {L"WindowState", 6, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->WindowState()); }},
    {L"Zoom", 7, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->Zoom()); }},
    {L"View", 8, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->View()); }},
    {L"FreezePanes", 9, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->FreezePanes()); }},
    {L"SplitHorizontal", 10, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->SplitHorizontal()); }},
    {L"SplitVertical", 11, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->SplitVertical()); }},
    {L"ActivePane", 12, [](WindowObj& o, DispatchCall& c) { ReturnObject<PaneObj>(c.result, o.h_, o.w_->ActivePane()); }},
    {L"PointsToScreenPixelsX", 13,
     [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->PointsToScreenPixelsX(c.args.integer(0))); }, win::kMethod},
    {L"PointsToScreenPixelsY", 14,
     [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->PointsToScreenPixelsY(c.args.integer(0))); }, win::kMethod},
    {L"RangeFromPoint", 15,
     [](WindowObj& o, DispatchCall& c) {
       ReturnSelection(c.result, o.h_, o.w_->RangeFromPoint(c.args.integer(0), c.args.integer(1)));
     }, win::kMethod},
    {L"Hwnd", 16, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, static_cast<std::int32_t>(o.w_->Hwnd())); }},
    {L"DisplayRightToLeft", 17, [](WindowObj& o, DispatchCall& c) { win::SetResult(c.result, o.w_->DisplayRightToLeft()); }},
};
const DispatchTable<WindowObj> WindowObj::kTable{kWindow};

// A picture handed to a button, kept so that the stand-in can draw the button's face.
class GivenPicture final : public PictureFace {
 public:
  GivenPicture(std::string key, com_ptr<IDispatch> picture) : key_(std::move(key)), picture_(std::move(picture)) {}
  std::string Key() const override { return key_; }
  IDispatch* Picture() const override { return picture_.get(); }

 private:
  std::string key_;
  com_ptr<IDispatch> picture_;
};

// The picture argument of Picture and Mask: an object, by value or by one reference, or Nothing.
ButtonImagePtr GivenPictureOf(const DispatchCall& c, const char* key) {
  const VARIANT v = c.args.put_value();
  IDispatch* p = V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v)
                 : V_VT(&v) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&v) ? *V_DISPATCHREF(&v)
                                                                             : nullptr;
  if (!p) throw HostError(13, "Type mismatch");
  return std::make_shared<GivenPicture>(key, com_ptr<IDispatch>(p));
}

// The bitmap on the system's clipboard, read as Excel reads it for PasteFace: with its own window,
// and only while nobody else has the clipboard open. Null when there is none.
ButtonImagePtr SystemClipboardBitmap(HWND window) {
  if (!::OpenClipboard(window)) throw HostError(kPasteFailed, "Method 'PasteFace' of object '_CommandBarButton' failed");
  HANDLE bitmap = ::GetClipboardData(CF_BITMAP);
  HANDLE copy = bitmap ? ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0) : nullptr;
  ::CloseClipboard();
  if (!copy) return nullptr;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = static_cast<HBITMAP>(copy);
  com_ptr<IDispatch> picture;
  if (FAILED(::OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, picture.put_void()))) {
    ::DeleteObject(copy);
    return nullptr;
  }
  return std::make_shared<GivenPicture>("pasted", picture);
}

void ReturnControl(VARIANT* result, const HostPtr& h, CommandBarControlPtr control) {
  if (!control) return ReturnNothing(result);
  auto p = com_ptr<IDispatch>::attach(static_cast<ExcelObject<ControlObj>*>(new ControlObj(h, std::move(control))));
  win::SetResult(result, p.get());
}

// A read and write property of a control: the getter's result or the setter given the value put.
template <class Get, class Set>
void Property(DispatchCall& c, Get get, Set set) {
  if (c.is_put()) return set(win::from_variant(c.args.put_value()));
  ReturnVariant(c.result, get());
}

const DispatchMember<ControlObj> kControl[] = {
    {L"Id", 1, [](ControlObj& o, DispatchCall& c) { win::SetResult(c.result, o.c_->Id()); }},
    {L"Tag", 2,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->Tag()); }, [&](const Variant& v) { o.c_->SetTag(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Enabled", 3,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->Enabled()); }, [&](const Variant& v) { o.c_->SetEnabled(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"State", 4,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::i4(o.c_->State()); }, [&](const Variant& v) { o.c_->SetState(v.as_int()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"TooltipText", 5,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->TooltipText()); }, [&](const Variant& v) { o.c_->SetTooltipText(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Visible", 6,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->Visible()); }, [&](const Variant& v) { o.c_->SetVisible(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"Picture", 7,
     [](ControlObj& o, DispatchCall& c) {
       o.c_->SetPicture(GivenPictureOf(c, "picture"));
       o.h_->changed();
     }, win::kPut},
    {L"Mask", 8,
     [](ControlObj& o, DispatchCall& c) {
       o.c_->SetMask(GivenPictureOf(c, "mask"));
       o.h_->changed();
     }, win::kPut},
    {L"Caption", 9,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->Caption()); }, [&](const Variant& v) { o.c_->SetCaption(v.to_text()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"BeginGroup", 10,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.c_->BeginGroup()); }, [&](const Variant& v) { o.c_->SetBeginGroup(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"OnAction", 11,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::text(o.c_->OnAction()); }, [&](const Variant& v) { o.c_->SetOnAction(v.to_text()); });
     }, win::kGet | win::kPut},
    {L"Style", 12,
     [](ControlObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::i4(o.c_->Style()); }, [&](const Variant& v) { o.c_->SetStyle(v.as_int()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"PasteFace", 13,
     [](ControlObj& o, DispatchCall&) {
       // The model pastes from its own clipboard, which takes what the system's holds.
       SimExcel& model = *o.h_->model;
       const auto window = reinterpret_cast<HWND>(model.MainHwnd());
       model.clipboard->PutFromProgram(model.MainHwnd(), {{kClipBitmap, {}, SystemClipboardBitmap(window)}});
       o.c_->PasteFace();
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<ControlObj> ControlObj::kTable{kControl};

const DispatchMember<ControlsObj> kControls[] = {
    {L"Item", 0, [](ControlsObj& o, DispatchCall& c) { ReturnControl(c.result, o.h_, o.b_->Controls(c.args.integer(0))); }},
    {L"Count", 1, [](ControlsObj& o, DispatchCall& c) { win::SetResult(c.result, o.b_->ControlsCount()); }, win::kGet},
    {L"Add", 2,
     [](ControlsObj& o, DispatchCall& c) {
       // Add(Type, Id, Parameter, Before, Temporary)
       ReturnControl(c.result, o.h_,
                     o.b_->ControlsAdd(OptionalInt(c, 0, xl::kControlButton), OptionalInt(c, 1, 1), OptionalInt(c, 3, 0),
                                       OptionalBool(c, 4, false)));
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<ControlsObj> ControlsObj::kTable{kControls};

const DispatchMember<CommandBarObj> kCommandBar[] = {
    {L"Name", 1, [](CommandBarObj& o, DispatchCall& c) { ReturnText(c.result, o.b_->Name()); }},
    {L"FindControl", 2,
     [](CommandBarObj& o, DispatchCall& c) {
       ReturnControl(c.result, o.h_,
                     o.b_->FindControl(OptionalInt(c, 0, xl::kControlButton), OptionalInt(c, 1, 1),
                                       c.args.has(2) ? Text(c, 2) : std::string()));
     }, win::kMethod},
    {L"Controls", 3,
     [](CommandBarObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnControl(c.result, o.h_, o.b_->Controls(c.args.integer(0)));
       ReturnObject<ControlsObj>(c.result, o.h_, o.b_);
     }},
    {L"Visible", 4,
     [](CommandBarObj& o, DispatchCall& c) {
       Property(c, [&] { return Variant::boolean(o.b_->Visible()); }, [&](const Variant& v) { o.b_->SetVisible(v.as_bool()); });
       o.h_->changed();
     }, win::kGet | win::kPut},
};
const DispatchTable<CommandBarObj> CommandBarObj::kTable{kCommandBar};

const DispatchMember<CommandBarsObj> kCommandBars[] = {
    {L"Item", 0,
     [](CommandBarsObj& o, DispatchCall& c) {
       ReturnObject<CommandBarObj>(c.result, o.h_, o.h_->model->CommandBars(Text(c, 0)));
     }},
    {L"Add", 1,
     [](CommandBarsObj& o, DispatchCall& c) {
       // Add(Name, Position, MenuBar, Temporary)
       ReturnObject<CommandBarObj>(c.result, o.h_,
                                   o.h_->model->CommandBarsAdd(c.args.has(0) ? Text(c, 0) : std::string(),
                                                               OptionalInt(c, 1, 4), OptionalBool(c, 3, false)));
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<CommandBarsObj> CommandBarsObj::kTable{kCommandBars};

const DispatchMember<ComAddInObj> kComAddIn[] = {
    {L"ProgId", 1, [](ComAddInObj& o, DispatchCall& c) { win::SetResult(c.result, o.prog_id_); }},
    {L"Description", 2, [](ComAddInObj& o, DispatchCall& c) { win::SetResult(c.result, o.description_); }},
    {L"Connect", 3,
     [](ComAddInObj& o, DispatchCall& c) {
       if (!c.is_put()) return win::SetResult(c.result, o.connect_);
       const bool connect = PutValue(c).as_bool();
       o.h_->model->Faults().Enter("COMAddIn.Connect.set");
       if (connect == o.connect_) return;  // Excel does nothing for the state the add-in is in
       o.h_->set_connect(o.prog_id_, connect);
       o.connect_ = connect;
     }, win::kGet | win::kPut},
    {L"Object", 4,
     [](ComAddInObj& o, DispatchCall& c) {
       if (!c.is_put()) return win::SetResult(c.result, o.object_.get());
       const VARIANT v = c.args.put_value();
       o.object_ = com_ptr<IDispatch>(V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : nullptr);
     }, win::kGet | win::kPut},
    {L"Application", 5, [](ComAddInObj& o, DispatchCall& c) { win::SetResult(c.result, o.h_->application); }, win::kGet},
};
const DispatchTable<ComAddInObj> ComAddInObj::kTable{kComAddIn};

const DispatchMember<ComAddInsObj> kComAddIns[] = {
    {L"Item", 0,
     [](ComAddInsObj& o, DispatchCall& c) {
       const VARIANT v = c.args.value(0);
       const auto& all = o.h_->com_addins;
       if (V_VT(&v) != VT_BSTR) {
         const std::int32_t i = c.args.integer(0);
         if (i < 1 || i > static_cast<std::int32_t>(all.size())) throw HostError(9, "Subscript out of range");
         return win::SetResult(c.result, all[static_cast<std::size_t>(i - 1)].get());
       }
       for (const auto& a : all) {
         VARIANT id;
         ::VariantInit(&id);
         DISPPARAMS none{};
         DISPID dispid = 1;
         if (SUCCEEDED(a->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &id, nullptr, nullptr)) &&
             V_VT(&id) == VT_BSTR && ::CompareStringOrdinal(V_BSTR(&id), -1, V_BSTR(&v), -1, TRUE) == CSTR_EQUAL) {
           ::VariantClear(&id);
           return win::SetResult(c.result, a.get());
         }
         ::VariantClear(&id);
       }
       throw HostError(9, "Subscript out of range");
     }},
    {L"Count", 1,
     [](ComAddInsObj& o, DispatchCall& c) { win::SetResult(c.result, static_cast<std::int32_t>(o.h_->com_addins.size())); }},
};
const DispatchTable<ComAddInsObj> ComAddInsObj::kTable{kComAddIns};

const DispatchMember<DialogObj> kDialog[] = {
    {L"Show", 1,
     [](DialogObj& o, DispatchCall& c) {
       o.h_->dialogs_shown.push_back(std::to_string(o.n_));
       win::SetResult(c.result, o.h_->show_dialog ? o.h_->show_dialog(o.n_) : o.h_->model->ShowBuiltInDialog(o.n_));
       o.h_->changed();
     }, win::kMethod},
};
const DispatchTable<DialogObj> DialogObj::kTable{kDialog};

const DispatchMember<DialogsObj> kDialogs[] = {
    {L"Item", 0, [](DialogsObj& o, DispatchCall& c) { ReturnObject<DialogObj>(c.result, o.h_, c.args.integer(0)); }},
};
const DispatchTable<DialogsObj> DialogsObj::kTable{kDialogs};

// ---- the application and its events

// Passes the model's events to one sink through its IDispatch, with Excel's DISPIDs and arguments.
class EventBridge final : public IApplicationEvents {
 public:
  EventBridge(HostPtr h, com_ptr<IDispatch> sink) : h_(std::move(h)), sink_(std::move(sink)) {}
  void SheetSelectionChange(const SheetPtr& sh, const RangePtr& target) override {
    Fire(win::excel::kDispidSheetSelectionChange, {Sheet(sh).get(), Range(target).get()});
  }
  void SheetActivate(const SheetPtr& sh) override { Fire(win::excel::kDispidSheetActivate, {Sheet(sh).get()}); }
  void SheetDeactivate(const SheetPtr& sh) override { Fire(win::excel::kDispidSheetDeactivate, {Sheet(sh).get()}); }
  void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    Fire(win::excel::kDispidWindowActivate, {Book(wb).get(), Window(wn).get()});
  }
  void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    Fire(win::excel::kDispidWindowDeactivate, {Book(wb).get(), Window(wn).get()});
  }
  void WindowResize(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    Fire(win::excel::kDispidWindowResize, {Book(wb).get(), Window(wn).get()});
  }
  void SheetChange(const SheetPtr& sh, const RangePtr& target) override {
    Fire(win::excel::kDispidSheetChange, {Sheet(sh).get(), Range(target).get()});
  }

 private:
  com_ptr<IDispatch> Sheet(const SheetPtr& s) { return com_ptr<IDispatch>::attach(new SheetObj(h_, s)); }
  com_ptr<IDispatch> Range(const RangePtr& r) { return com_ptr<IDispatch>::attach(new RangeObj(h_, r)); }
  com_ptr<IDispatch> Book(const WorkbookPtr& b) { return com_ptr<IDispatch>::attach(new WorkbookObj(h_, b)); }
  com_ptr<IDispatch> Window(const ExcelWindowPtr& w) { return com_ptr<IDispatch>::attach(new WindowObj(h_, w)); }

  // The arguments in Excel's order; DISPPARAMS holds them last-first. What the sink answers is its own affair.
  void Fire(DISPID id, std::initializer_list<IDispatch*> in_order) {
    std::vector<VARIANT> args(in_order.size());
    std::size_t k = in_order.size();
    for (IDispatch* p : in_order) {
      VARIANT& v = args[--k];
      ::VariantInit(&v);
      V_VT(&v) = VT_DISPATCH;
      V_DISPATCH(&v) = p;
    }
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    sink_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }

  HostPtr h_;
  com_ptr<IDispatch> sink_;
};

// The application events: the model's events to each advised sink.
struct AppEvents {
  using Bridge = EventBridge;
  static const IID& Iid() { return win::excel::kDiidAppEvents; }
  std::int32_t Advise(std::shared_ptr<EventBridge> bridge) { return h->model->Advise(std::move(bridge)); }
  void Unadvise(std::int32_t cookie) { h->model->Unadvise(cookie); }
  void Drop(std::int32_t cookie) { h->model->Unadvise(cookie); }
  HostPtr h;
};

class AppObj final : public EventSourceObject<AppObj, AppEvents> {
 public:
  explicit AppObj(HostPtr h) : EventSourceObject(AppEvents{h}), h_(std::move(h)) {}
  static const DispatchTable<AppObj> kTable;
  std::string TypeName() { return "Application"; }

  HostPtr h_;
};

const DispatchMember<AppObj> kApp[] = {
    {L"Name", 1, [](AppObj&, DispatchCall& c) { win::SetResult(c.result, std::wstring(L"Microsoft Excel")); }},
    {L"Version", 2, [](AppObj& o, DispatchCall& c) { ReturnText(c.result, o.h_->model->Version(xl::kEnglishLocale)); }},
    {L"Hwnd", 3,
     [](AppObj& o, DispatchCall& c) {
       // A 32-bit integer even in 64-bit Excel; window handles fit in it.
       win::SetResult(c.result, static_cast<std::int32_t>(o.h_->model->Hwnd()));
     }},
    {L"Selection", 4, [](AppObj& o, DispatchCall& c) { ReturnSelection(c.result, o.h_, o.h_->model->Selection()); }},
    {L"ActiveCell", 5, [](AppObj& o, DispatchCall& c) { ReturnRange(c.result, o.h_, o.h_->model->ActiveCell()); }},
    {L"ActiveWindow", 6,
     [](AppObj& o, DispatchCall& c) {
       auto w = o.h_->model->ActiveWindow();
       if (!w) return ReturnNothing(c.result);
       ReturnObject<WindowObj>(c.result, o.h_, std::move(w));
     }},
    {L"ActiveSheet", 7, [](AppObj& o, DispatchCall& c) { ReturnSheet(c.result, o.h_, o.h_->model->ActiveSheet()); }},
    {L"ActiveWorkbook", 8, [](AppObj& o, DispatchCall& c) { ReturnBook(c.result, o.h_, o.h_->model->ActiveWorkbook()); }},
    {L"Interactive", 9,
     [](AppObj& o, DispatchCall& c) {
       if (c.is_put()) return o.h_->model->SetInteractive(PutValue(c).as_bool());
       win::SetResult(c.result, o.h_->model->Interactive());
     }, win::kGet | win::kPut},
    {L"Workbooks", 10,
     [](AppObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnBook(c.result, o.h_, o.h_->model->Workbooks(Text(c, 0)));
       ReturnObject<WorkbooksObj>(c.result, o.h_);
     }},
    {L"CommandBars", 11,
     [](AppObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnObject<CommandBarObj>(c.result, o.h_, o.h_->model->CommandBars(Text(c, 0)));
       ReturnObject<CommandBarsObj>(c.result, o.h_);
     }},
    {L"SendKeys", 12,
     [](AppObj& o, DispatchCall& c) {
       o.h_->model->SendKeys(Text(c, 0), OptionalBool(c, 1, false));
       o.h_->changed();
     }, win::kMethod},
    {L"COMAddIns", 13, [](AppObj& o, DispatchCall& c) { ReturnObject<ComAddInsObj>(c.result, o.h_); }},
    {L"Dialogs", 14, [](AppObj& o, DispatchCall& c) { ReturnObject<DialogsObj>(c.result, o.h_); }},
};
const DispatchTable<AppObj> AppObj::kTable{kApp};

}  // namespace

ButtonImagePtr MakePictureFace(std::string key, win::com_ptr<IDispatch> picture) {
  return std::make_shared<GivenPicture>(std::move(key), std::move(picture));
}

win::com_ptr<IDispatch> MakeApplication(std::shared_ptr<ExcelHost> host) {
  return com_ptr<IDispatch>::attach(static_cast<ExcelObject<AppObj>*>(new AppObj(std::move(host))));
}

win::com_ptr<IDispatch> MakeComAddIn(std::shared_ptr<ExcelHost> host, std::wstring prog_id, std::wstring description) {
  return com_ptr<IDispatch>::attach(new ComAddInObj(std::move(host), std::move(prog_id), std::move(description)));
}

HRESULT SetComAddInConnect(IDispatch* com_addin, bool connect) {
  if (!com_addin) return E_POINTER;
  wchar_t name[] = L"Connect";
  LPOLESTR names[] = {name};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = com_addin->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT value;
  ::VariantInit(&value);
  V_VT(&value) = VT_BOOL;
  V_BOOL(&value) = connect ? VARIANT_TRUE : VARIANT_FALSE;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &put, 1, 1};
  EXCEPINFO excep{};
  hr = com_addin->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, &excep, nullptr);
  ::SysFreeString(excep.bstrSource);
  ::SysFreeString(excep.bstrDescription);
  ::SysFreeString(excep.bstrHelpFile);
  return hr;
}

}  // namespace tessaly::sim::exe
