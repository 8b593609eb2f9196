// Excel's cell family over the stand-in model: ranges with their areas, rows and columns and
// validation, worksheets with their cells and chart objects.
#include "sim/excel_exe/automation_object.h"

namespace tessaly::sim::exe::automation {

namespace {

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

}  // namespace

com_ptr<IDispatch> RangeObject(const HostPtr& h, RangePtr range) {
  return com_ptr<IDispatch>::attach(new RangeObj(h, std::move(range)));
}
com_ptr<IDispatch> SheetObject(const HostPtr& h, SheetPtr sheet) { return com_ptr<IDispatch>::attach(new SheetObj(h, std::move(sheet))); }

void ReturnRange(VARIANT* r, const HostPtr& h, RangePtr range) {
  if (!range) return ReturnNothing(r);
  ReturnObject<RangeObj>(r, h, std::move(range));
}
void ReturnSheet(VARIANT* r, const HostPtr& h, SheetPtr sheet) {
  if (!sheet) return ReturnNothing(r);
  ReturnObject<SheetObj>(r, h, std::move(sheet));
}
void ReturnSelection(VARIANT* r, const HostPtr& h, HostObjectPtr selection) {
  if (!selection) return ReturnNothing(r);
  ReturnObject<RangeObj>(r, h, nullptr, std::move(selection));
}

}  // namespace tessaly::sim::exe::automation
