// Excel's workbook and window family over the stand-in model: workbooks with their names, and
// windows with their panes.
#include "sim/excel_exe/automation_object.h"

namespace tessaly::sim::exe::automation {

namespace {

class PaneObj final : public ExcelObject<PaneObj> {
 public:
  PaneObj(HostPtr h, PanePtr p) : h_(std::move(h)), p_(std::move(p)) {}
  static const DispatchTable<PaneObj> kTable;
  std::string TypeName() { return "Pane"; }
  HostPtr h_;
  PanePtr p_;
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

// Application.Windows (every workbook's, for an empty name) or a workbook's Windows.
class WindowsObj final : public ExcelObject<WindowsObj> {
 public:
  WindowsObj(HostPtr h, std::string book) : h_(std::move(h)), book_(std::move(book)) {}
  static const DispatchTable<WindowsObj> kTable;
  std::string TypeName() { return "Windows"; }
  HostPtr h_;
  std::string book_;
};

class WindowObj final : public ExcelObject<WindowObj> {
 public:
  WindowObj(HostPtr h, ExcelWindowPtr w) : h_(std::move(h)), w_(std::move(w)) {}
  static const DispatchTable<WindowObj> kTable;
  std::string TypeName() { return "Window"; }
  HostPtr h_;
  ExcelWindowPtr w_;
};

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
    {L"NewWindow", 6,
     [](WorkbookObj& o, DispatchCall& c) {
       ExcelWindowPtr w = o.h_->model->NewWindow(o.b_->Name());
       o.h_->changed();
       ReturnWindow(c.result, o.h_, std::move(w));
     }, win::kMethod},
    {L"Windows", 7,
     [](WorkbookObj& o, DispatchCall& c) {
       if (c.args.has(0)) return ReturnWindowsItem(c.result, o.h_, o.b_->Name(), c);
       ReturnObject<WindowsObj>(c.result, o.h_, o.b_->Name());
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

const DispatchMember<WindowsObj> kWindows[] = {
    {L"Item", 0, [](WindowsObj& o, DispatchCall& c) { ReturnWindowsItem(c.result, o.h_, o.book_, c); }},
    {L"Count", 1,
     [](WindowsObj& o, DispatchCall& c) { win::SetResult(c.result, static_cast<std::int32_t>(o.h_->model->Windows(o.book_).size())); },
     win::kGet},
};
const DispatchTable<WindowsObj> WindowsObj::kTable{kWindows};

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
    {L"Caption", 18, [](WindowObj& o, DispatchCall& c) { ReturnText(c.result, o.w_->Caption()); }},
};
const DispatchTable<WindowObj> WindowObj::kTable{kWindow};

}  // namespace

com_ptr<IDispatch> BookObject(const HostPtr& h, WorkbookPtr book) { return com_ptr<IDispatch>::attach(new WorkbookObj(h, std::move(book))); }
com_ptr<IDispatch> WorkbooksObject(const HostPtr& h) { return com_ptr<IDispatch>::attach(new WorkbooksObj(h)); }
com_ptr<IDispatch> WindowObject(const HostPtr& h, ExcelWindowPtr window) {
  return com_ptr<IDispatch>::attach(new WindowObj(h, std::move(window)));
}
com_ptr<IDispatch> WindowsObject(const HostPtr& h) { return com_ptr<IDispatch>::attach(new WindowsObj(h, {})); }

void ReturnWindowsItem(VARIANT* r, const HostPtr& h, const std::string& book, const DispatchCall& c) {
  const VARIANT index = c.args.value(0);
  if (V_VT(&index) == VT_BSTR) return ReturnWindow(r, h, h->model->WindowsItem(book, Text(c, 0)));
  const auto all = h->model->Windows(book);
  const std::int32_t i = c.args.integer(0);
  if (i < 1 || i > static_cast<std::int32_t>(all.size())) throw HostError(9, "Subscript out of range");
  ReturnWindow(r, h, all[static_cast<std::size_t>(i - 1)]);
}

void ReturnWindow(VARIANT* r, const HostPtr& h, ExcelWindowPtr window) {
  if (!window) return ReturnNothing(r);
  ReturnObject<WindowObj>(r, h, std::move(window));
}

void ReturnBook(VARIANT* r, const HostPtr& h, WorkbookPtr book) {
  if (!book) return ReturnNothing(r);
  ReturnObject<WorkbookObj>(r, h, std::move(book));
}

}  // namespace tessaly::sim::exe::automation
