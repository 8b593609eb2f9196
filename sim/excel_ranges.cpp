// The stand-in's ranges and cells: values, formulas, number formats, locks, merged areas and
// protection, and what the host does to a cell that receives a value.
#include "sim/excel_sim.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>

#include "date/date_format.h"
#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

namespace {

// The cells of an area that are stored, visited without walking the empty ones.
template <class F>
void ForStoredCells(const SheetModel& sheet, const Area& a, F&& f) {
  auto it = sheet.cells.lower_bound({a.r1, a.c1});
  for (; it != sheet.cells.end() && it->first.first <= a.r2; ++it)
    if (a.contains(it->first.first, it->first.second)) f(it->second);
}

std::int64_t TotalCells(const std::vector<Area>& areas) {
  std::int64_t n = 0;
  for (const Area& a : areas) n += a.cells();
  return n;
}

std::int64_t Overlap(const Area& a, const Area& b) {
  std::int64_t rows = std::min(a.r2, b.r2) - std::max(a.r1, b.r1) + 1;
  std::int64_t cols = std::min(a.c2, b.c2) - std::max(a.c1, b.c1) + 1;
  return rows > 0 && cols > 0 ? rows * cols : 0;
}

// A property over all cells of the range: one value when all agree, null when they differ.
template <class Get>
Variant Uniform(const SheetModel& sheet, const std::vector<Area>& areas, const Variant& absent, Get get) {
  std::int64_t stored = 0;
  std::optional<Variant> seen;
  bool mixed = false;
  for (const Area& a : areas)
    ForStoredCells(sheet, a, [&](const CellModel& c) {
      ++stored;
      Variant v = get(c);
      if (!seen) seen = v;
      else if (!(*seen == v)) mixed = true;
    });
  if (stored < TotalCells(areas)) {
    if (seen && !(*seen == absent)) mixed = true;
    seen = absent;
  }
  return mixed ? Variant::null() : *seen;
}

class SimObject : public IHostObject {
 public:
  SimObject(std::shared_ptr<SimExcel> host, std::string type, RangePtr range)
      : host_(std::move(host)), type_(std::move(type)), range_(std::move(range)) {}
  std::string TypeName() override {
    host_->Enter("Object.TypeName");
    return type_;
  }
  RangePtr AsRange() override {
    host_->Enter("Object.AsRange");
    if (!range_) throw HostError(kErrTypeMismatch, "Type mismatch");
    return range_;
  }

 private:
  std::shared_ptr<SimExcel> host_;
  std::string type_;
  RangePtr range_;
};

class SimRange : public IRange {
 public:
  SimRange(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::vector<Area> areas)
      : host_(std::move(host)), sheet_(std::move(sheet)), areas_(std::move(areas)) {}

  Variant Value() override {
    Enter("Range.Value.get");
    if (TotalCells(areas_) != 1) throw HostError(kErrTypeMismatch, "Type mismatch: the range holds an array of values");
    auto it = sheet_->cells.find({areas_[0].r1, areas_[0].c1});
    return it == sheet_->cells.end() ? Variant() : it->second.value;
  }
  void SetValue(const Variant& value) override {
    Enter("Range.Value.set");
    RefuseOnProtectedCells();
    for (const Area& a : areas_)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) host_->WriteValue(*sheet_, r, c, value);
    host_->Changed(sheet_, areas_);
  }
  Variant Formula() override {
    Enter("Range.Formula.get");
    if (TotalCells(areas_) != 1) throw HostError(kErrTypeMismatch, "Type mismatch: the range holds an array of formulas");
    auto it = sheet_->cells.find({areas_[0].r1, areas_[0].c1});
    if (it == sheet_->cells.end()) return Variant::text("");
    if (!it->second.formula.empty()) return Variant::text(it->second.formula);
    const Variant& v = it->second.value;
    return Variant::text(v.is_empty() ? std::string() : v.to_text());
  }
  void SetFormula(const std::string& formula) override {
    Enter("Range.Formula.set");
    RefuseOnProtectedCells();
    for (const Area& a : areas_)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) {
          if (!formula.starts_with("=")) {
            host_->WriteValue(*sheet_, r, c, formula.empty() ? Variant() : Variant::text(formula));
            continue;
          }
          // The stand-in computes nothing: a formula entered shows no value until set up so.
          CellModel& cell = sheet_->cells[{r, c}];
          cell.formula = formula;
          cell.value = Variant();
        }
    host_->Changed(sheet_, areas_);
  }
  Variant NumberFormat() override {
    Enter("Range.NumberFormat.get");
    return Uniform(*sheet_, areas_, Variant::text("General"), [](const CellModel& c) { return Variant::text(c.number_format); });
  }
  void SetNumberFormat(const std::string& format) override {
    Enter("Range.NumberFormat.set");
    // A protected sheet formats no cell, locked or not, unless its protection allows formatting.
    if (sheet_->protect_contents && !sheet_->allow_formatting_cells)
      throw HostError(kErrApplication, "Unable to set the NumberFormat property of the Range class");
    for (const Area& a : areas_)
      for (std::int32_t r = a.r1; r <= a.r2; ++r)
        for (std::int32_t c = a.c1; c <= a.c2; ++c) sheet_->cells[{r, c}].number_format = format;
  }
  Variant HasFormula() override {
    Enter("Range.HasFormula");
    return Uniform(*sheet_, areas_, Variant::boolean(false), [](const CellModel& c) { return Variant::boolean(!c.formula.empty()); });
  }
  Variant Locked() override {
    Enter("Range.Locked");
    return Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
  }
  Variant MergeCells() override {
    Enter("Range.MergeCells");
    std::int64_t merged = 0;
    for (const Area& a : areas_)
      for (const Area& m : sheet_->merged) merged += Overlap(a, m);
    if (merged == 0) return Variant::boolean(false);
    return merged == TotalCells(areas_) ? Variant::boolean(true) : Variant::null();
  }
  std::int32_t AreasCount() override {
    Enter("Range.Areas.Count");
    return static_cast<std::int32_t>(areas_.size());
  }
  std::int32_t CellsCount() override {
    Enter("Range.Cells.Count");
    std::int64_t n = TotalCells(areas_);
    if (n > std::numeric_limits<std::int32_t>::max()) throw HostError(kErrOverflow, "Overflow");
    return static_cast<std::int32_t>(n);
  }
  RangePtr CellsItem(std::int32_t index) override {
    Enter("Range.Cells.Item");
    const Area& a = areas_[0];
    std::int32_t width = a.c2 - a.c1 + 1;
    if (index < 1) throw HostError(kErrApplication, "Application-defined or object-defined error");
    std::int64_t r = a.r1 + (std::int64_t(index) - 1) / width;
    std::int32_t c = a.c1 + (index - 1) % width;
    if (r > host_->MaxRow()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    auto row = static_cast<std::int32_t>(r);
    return host_->RangeObject(sheet_, {Area{row, c, row, c}});
  }
  std::int32_t Row() override {
    Enter("Range.Row");
    return areas_[0].r1;
  }
  std::int32_t Column() override {
    Enter("Range.Column");
    return areas_[0].c1;
  }
  RangePtr Offset(std::int32_t rows, std::int32_t columns) override {
    Enter("Range.Offset");
    std::vector<Area> moved = areas_;
    for (Area& a : moved) {
      a.r1 += rows, a.r2 += rows, a.c1 += columns, a.c2 += columns;
      if (a.r1 < 1 || a.c1 < 1 || a.r2 > host_->MaxRow() || a.c2 > host_->MaxColumn())
        throw HostError(kErrApplication, "Application-defined or object-defined error");
    }
    return host_->RangeObject(sheet_, std::move(moved));
  }
  std::string Address(bool row_abs, bool col_abs, std::int32_t style, bool external) override {
    Enter("Range.Address");
    std::string local = address::Format(areas_, row_abs, col_abs, style, host_->MaxRow(), host_->MaxColumn());
    if (!external) return local;
    std::string prefix = "[" + sheet_->parent->name + "]" + sheet_->name;
    bool plain = std::all_of(prefix.begin(), prefix.end(), [](unsigned char ch) {
      return std::isalnum(ch) || ch == '_' || ch == '.' || ch == '[' || ch == ']';
    });
    return (plain ? prefix : "'" + prefix + "'") + "!" + local;
  }
  bool AllowEdit() override {
    Enter("Range.AllowEdit");
    if (!sheet_->protect_contents) return true;
    Variant locked = Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
    return locked == Variant::boolean(false);
  }
  void Activate() override {
    Enter("Range.Activate");
    const WorkbookModel& book = *sheet_->parent;
    if (book.sheets[book.active_sheet] != sheet_)
      throw HostError(kErrApplication, "Activate method of Range class failed");
    const Area& first = areas_[0];
    bool inside = false;
    for (const Area& s : sheet_->selection) inside = inside || (areas_.size() == 1 && first.cells() == 1 && s.contains(first.r1, first.c1));
    if (!inside) {
      sheet_->selection = areas_;
      sheet_->selected_object.clear();
    }
    sheet_->active_row = first.r1;
    sheet_->active_column = first.c1;
  }
  SheetPtr Worksheet() override {
    Enter("Range.Worksheet");
    return host_->SheetObject(sheet_);
  }
  double Left() override { return Enter("Range.Left"), sheet_->columns.Start(areas_[0].c1); }
  double Top() override { return Enter("Range.Top"), sheet_->rows.Start(areas_[0].r1); }
  double Width() override { return Enter("Range.Width"), sheet_->columns.Span(areas_[0].c1, areas_[0].c2); }
  double Height() override { return Enter("Range.Height"), sheet_->rows.Span(areas_[0].r1, areas_[0].r2); }
  std::int32_t RowsCount() override { return Enter("Range.Rows.Count"), areas_[0].r2 - areas_[0].r1 + 1; }
  std::int32_t ColumnsCount() override { return Enter("Range.Columns.Count"), areas_[0].c2 - areas_[0].c1 + 1; }
  RangePtr RowsItem(std::int32_t index) override {
    Enter("Range.Rows.Item");
    const Area& a = areas_[0];
    std::int64_t r = std::int64_t(a.r1) + index - 1;
    if (index < 1 || r > host_->MaxRow()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{std::int32_t(r), a.c1, std::int32_t(r), a.c2}});
  }
  RangePtr ColumnsItem(std::int32_t index) override {
    Enter("Range.Columns.Item");
    const Area& a = areas_[0];
    std::int64_t c = std::int64_t(a.c1) + index - 1;
    if (index < 1 || c > host_->MaxColumn()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{a.r1, std::int32_t(c), a.r2, std::int32_t(c)}});
  }
  RangePtr EntireRow() override {
    Enter("Range.EntireRow");
    std::vector<Area> rows = areas_;
    for (Area& a : rows) a.c1 = 1, a.c2 = host_->MaxColumn();
    return host_->RangeObject(sheet_, std::move(rows));
  }
  RangePtr EntireColumn() override {
    Enter("Range.EntireColumn");
    std::vector<Area> columns = areas_;
    for (Area& a : columns) a.r1 = 1, a.r2 = host_->MaxRow();
    return host_->RangeObject(sheet_, std::move(columns));
  }
  bool Hidden() override {
    Enter("Range.Hidden");
    const Area& a = areas_[0];
    auto all_hidden = [](const std::set<std::int32_t>& hidden, std::int32_t first, std::int32_t last) {
      return std::distance(hidden.lower_bound(first), hidden.upper_bound(last)) == last - first + 1;
    };
    if (a.c1 == 1 && a.c2 == host_->MaxColumn()) return all_hidden(sheet_->rows.hidden, a.r1, a.r2);
    if (a.r1 == 1 && a.r2 == host_->MaxRow()) return all_hidden(sheet_->columns.hidden, a.c1, a.c2);
    throw HostError(kErrApplication, "Unable to get the Hidden property of the Range class");
  }
  void Select() override {
    Enter("Range.Select");
    const WorkbookModel& book = *sheet_->parent;
    if (host_->ActiveBookModel() != &book || book.sheets[book.active_sheet] != sheet_)
      throw HostError(kErrApplication, "Select method of Range class failed");
    host_->SelectAreas(sheet_, areas_);
  }
  ValidationPtr Validation() override {
    Enter("Range.Validation");
    return ValidationOf(host_, sheet_, areas_);
  }
  RangePtr MergeArea() override {
    Enter("Range.MergeArea");
    const Area& a = areas_[0];
    for (const Area& m : sheet_->merged)
      if (m.contains(a.r1, a.c1)) return host_->RangeObject(sheet_, {m});
    return host_->RangeObject(sheet_, {Area{a.r1, a.c1, a.r1, a.c1}});
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, sheet_->closed); }
  void RefuseOnProtectedCells() {
    if (!sheet_->protect_contents) return;
    Variant locked = Uniform(*sheet_, areas_, Variant::boolean(true), [](const CellModel& c) { return Variant::boolean(c.locked); });
    if (!(locked == Variant::boolean(false)))
      throw HostError(kErrApplication, "The cell or chart you're trying to change is on a protected sheet.");
  }

  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
  std::vector<Area> areas_;
};

}  // namespace

HostObjectPtr ObjectOf(std::shared_ptr<SimExcel> host, std::string type, RangePtr range) {
  return std::make_shared<SimObject>(std::move(host), std::move(type), std::move(range));
}

CellModel& SimExcel::Cell(SheetModel& sheet, const std::string& a1) {
  std::vector<Area> a = address::Parse(a1, 1048576, 16384);
  return sheet.cells[{a[0].r1, a[0].c1}];
}

void SimExcel::SetFormula(SheetModel& sheet, const std::string& a1, const std::string& formula, const Variant& cached) {
  CellModel& c = Cell(sheet, a1);
  c.formula = formula;
  c.value = cached;
}

void SimExcel::Merge(SheetModel& sheet, const std::string& a1_area) {
  for (const Area& a : address::Parse(a1_area, 1048576, 16384)) sheet.merged.push_back(a);
}

// ---------------------------------------------------------------- the host's own behaviour

void SimExcel::WriteValue(SheetModel& sheet, std::int32_t row, std::int32_t column, const Variant& value) {
  CellModel& c = sheet.cells[{row, column}];
  c.value = value;
  c.formula.clear();
  // The host formats a General cell that receives a date as a date, with the time when it has one,
  // protected sheet or not; a cell formatted as Text keeps a date or number as the text it shows.
  if (!value.is_date() && !value.is_number()) return;
  const bool whole = value.as_double() == std::floor(value.as_double());
  const std::string date_format = whole ? short_date_format_ : short_date_format_ + " h:mm";
  if (c.number_format == "@")
    c.value = Variant::text(FormatDateValue(value.as_double(), value.is_date() ? date_format : "General",
                                            LocaleData::us_english()).value_or(value.to_text()));
  else if (value.is_date() && iequals(c.number_format, "General"))
    c.number_format = date_format;
}

std::vector<Area> SimExcel::WidenToMerged(const SheetModel& sheet, std::vector<Area> areas) const {
  for (Area& a : areas) {
    for (bool grown = true; grown;) {
      grown = false;
      for (const Area& m : sheet.merged) {
        if (Overlap(a, m) == 0) continue;
        Area u{std::min(a.r1, m.r1), std::min(a.c1, m.c1), std::max(a.r2, m.r2), std::max(a.c2, m.c2)};
        if (!(u == a)) a = u, grown = true;
      }
    }
  }
  return areas;
}

RangePtr SimExcel::RangeObject(const std::shared_ptr<SheetModel>& sheet, std::vector<Area> areas) {
  return std::make_shared<SimRange>(shared_from_this(), sheet, std::move(areas));
}
HostObjectPtr SimExcel::SelectionObject(const std::shared_ptr<SheetModel>& sheet) {
  if (sheet->type != xl::kWorksheet) return std::make_shared<SimObject>(shared_from_this(), "ChartArea", nullptr);
  if (!sheet->selected_object.empty())
    return std::make_shared<SimObject>(shared_from_this(), sheet->selected_object, nullptr);
  return std::make_shared<SimObject>(shared_from_this(), "Range", RangeObject(sheet, sheet->selection));
}

}  // namespace tessaly::sim
