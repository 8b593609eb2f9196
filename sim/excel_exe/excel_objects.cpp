// Excel's application object over the stand-in model, with its events on a connection point, the
// COM add-ins and the built-in dialogs.
#include "sim/excel_exe/excel_objects.h"

#include <initializer_list>
#include <vector>

#include "sim/excel_exe/automation_object.h"
#include "sim/excel_exe/event_source.h"
#include "win/excel/excel_ids.h"

namespace tessaly::sim::exe {

namespace automation {
namespace {

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
  com_ptr<IDispatch> Sheet(const SheetPtr& s) { return SheetObject(h_, s); }
  com_ptr<IDispatch> Range(const RangePtr& r) { return RangeObject(h_, r); }
  com_ptr<IDispatch> Book(const WorkbookPtr& b) { return BookObject(h_, b); }
  com_ptr<IDispatch> Window(const ExcelWindowPtr& w) { return WindowObject(h_, w); }

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
       win::SetResult(c.result, WindowObject(o.h_, std::move(w)).get());
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
       win::SetResult(c.result, WorkbooksObject(o.h_).get());
     }},
    {L"CommandBars", 11,
     [](AppObj& o, DispatchCall& c) {
       if (c.args.has(0)) return win::SetResult(c.result, CommandBarObject(o.h_, o.h_->model->CommandBars(Text(c, 0))).get());
       win::SetResult(c.result, CommandBarsObject(o.h_).get());
     }},
    {L"SendKeys", 12,
     [](AppObj& o, DispatchCall& c) {
       o.h_->model->SendKeys(Text(c, 0), OptionalBool(c, 1, false));
       o.h_->changed();
     }, win::kMethod},
    {L"COMAddIns", 13, [](AppObj& o, DispatchCall& c) { ReturnObject<ComAddInsObj>(c.result, o.h_); }},
    {L"Dialogs", 14, [](AppObj& o, DispatchCall& c) { ReturnObject<DialogsObj>(c.result, o.h_); }},
    {L"DisplayFormulaBar", 16,
     [](AppObj& o, DispatchCall& c) {
       if (!c.is_put()) return win::SetResult(c.result, o.h_->model->FormulaBarShown());
       o.h_->model->UserShowFormulaBar(PutValue(c).as_bool());
       o.h_->changed();
     }, win::kGet | win::kPut},
    {L"Windows", 15,
     [](AppObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnWindowsItem(c.result, o.h_, {}, c);
       win::SetResult(c.result, WindowsObject(o.h_).get());
     }},
};
const DispatchTable<AppObj> AppObj::kTable{kApp};

}  // namespace
}  // namespace automation

using automation::AppObj;
using automation::ComAddInObj;
using automation::ExcelObject;
using win::com_ptr;

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
