// Undo Date: the controller remembers what the last pick replaced and puts it back on request,
// while the cell still holds the picked date; any other change to the cell, or its workbook
// closing, ends that.
#include "core/controller.h"
#include "core/must.h"
#include "host/error_policy.h"
#include "host/text.h"

namespace tessaly {

CellContent ReadCellContent(IRange& cell, const std::optional<Variant>& format) {
  CellContent content;
  if (cell.HasFormula() == Variant::boolean(true)) {
    const Variant formula = cell.Formula();
    if (!formula.is_text()) throw HostError(13, "Type mismatch");
    content.formula = formula.as_text();
  } else {
    content.value = cell.Value();
  }
  content.number_format = format ? *format : cell.NumberFormat();
  return content;
}

void cVantry::RememberPick(const RangePtr& cell, const std::optional<CellContent>& replaced, const Variant& picked) noexcept {
  // The pick is one the user can take back only when what it replaced is known in full.
  const bool known = replaced && replaced->number_format.is_text();
  const std::optional<PickRecord> record = Attempt([&] {
    if (!known) throw HostError("what the pick replaced is not known");
    PickRecord r;
    // We wrote a constant: its value and format say what the cell holds now.
    r.after.value = cell->Value();
    r.after.number_format = cell->NumberFormat();
    // A Change macro may have written something else: that is no pick to take back.
    const Variant& held = r.after.value;
    if (!(held.is_date() || held.is_number()) || held.as_double() != picked.as_double() || !r.after.number_format.is_text())
      throw HostError("the cell holds no picked date");
    r.before = *replaced;
    // The tag's record of the cell, as the pick found it.
    const ITagWindow& tag = *Must(moTag);
    r.workbook = tag.WorkbookName();
    r.sheet = tag.SheetName();
    r.address = tag.TargetAddress();
    return r;
  });
  if (record) {
    Undo().Remember(*record);
    undo_cell_ = cell;
  } else {
    // The cell changed under the pick: whatever was remembered of it, or of an earlier pick, is no
    // longer the way back.
    Undo().Forget();
    undo_cell_.reset();
  }
  ShowUndoState();
}

IRange& cVantry::PickedCell() {
  // A reload leaves the names only: the cell is found again by them.
  if (!undo_cell_) {
    const PickRecord& last = *Undo().Last();
    const RangePtr range = Must(Must(Must(app_->Workbooks(last.workbook))->Worksheets(last.sheet))->Range(last.address));
    undo_cell_ = Must(range->CellsItem(1));
  }
  return *undo_cell_;
}

void cVantry::ForgetPick() noexcept {
  Undo().Forget();
  undo_cell_.reset();
  ShowUndoState();
}

void cVantry::ShowUndoState() noexcept {
  SkipFailures step;
  step([&] {
    if (moRibbon) moRibbon->InvalidateControl(kUndoDateId);
  });
  const bool enabled = Undo().Last().has_value();
  if (undo_controls_enabled_ == enabled) return;
  undo_controls_enabled_ = enabled;
  for (const CommandBarControlPtr& control : {cbbUndoDate, moRightClickUndo})
    if (control) step([&] { control->SetEnabled(enabled); });
}

cVantry::UndoState cVantry::CheckUndo() noexcept {
  const std::optional<PickRecord>& last = Undo().Last();
  if (!last) return UndoState::Gone;
  SkipFailures look;
  CellContent now;
  const bool read = look([&] { now = ReadCellContent(PickedCell()); });
  if (look.refused()) return UndoState::Refused;
  if (read && now == last->after) return UndoState::Ready;
  ForgetPick();
  return UndoState::Gone;
}

bool cVantry::UndoAvailable() noexcept {
  // A host that cannot answer now leaves the button as it was: the click will say why.
  return Undo().Last() && CheckUndo() != UndoState::Gone;
}

void cVantry::UndoLastPick() noexcept {
  SkipFailures step;
  step([&] { FollowActiveMainWindow(); });
  if (!ExcelAnswers()) return;
  step([&] {
    if (moCalendarForm) moCalendarForm->HideCalendar();
  });
  const UndoState state = CheckUndo();
  if (state != UndoState::Ready) {
    step([&] { Inform(state == UndoState::Refused ? kExcelBusy : kUndoGone); });
    return;
  }
  const PickRecord last = *Undo().Last();
  IRange& cell = *undo_cell_;
  undoing_ = true;
  // The format first: a Text cell takes back its text as text, not as the date Excel would read.
  const bool reformat = !(last.before.number_format == last.after.number_format);
  SkipFailures format;
  if (reformat) format([&] { cell.SetNumberFormat(last.before.number_format.as_text()); });
  SkipFailures write;
  if (!format.refused()) {
    write([&] {
      if (!last.before.formula.empty()) cell.SetFormula(last.before.formula);
      else cell.SetValue(last.before.value);
    });
  }
  const bool done = !format.refused() && write.failures() == 0;
  if (!done && reformat && format.failures() == 0) step([&] { cell.SetNumberFormat(last.after.number_format.as_text()); });
  undoing_ = false;
  if (!done) {
    step([&] { Inform(format.refused() || write.refused() ? kExcelBusy : kUndoRefused); });
    return;
  }
  ForgetPick();
}

bool cVantry::TouchesPickedCell(const SheetPtr& sh, const RangePtr& target) {
  const PickRecord& last = *Undo().Last();
  if (!iequals(Must(sh)->Name(), last.sheet) || !iequals(Must(sh->Parent())->Name(), last.workbook)) return false;
  if (Must(target)->AreasCount() != 1) return true;  // not worth the calls: taken as touching
  IRange& cell = PickedCell();
  const std::int32_t row = cell.Row(), column = cell.Column();
  const std::int32_t r1 = target->Row(), c1 = target->Column();
  return row >= r1 && row < r1 + target->RowsCount() && column >= c1 && column < c1 + target->ColumnsCount();
}

void cVantry::AppExcelEvent_SheetChange(const SheetPtr& Sh, const RangePtr& Target) noexcept {
  // Our own writes raise the event too; the pick's record is made once its write is over.
  if (undoing_ || writing_ > 0 || !Undo().Last()) return;
  // A change that cannot be placed is taken as one to the cell: the undo never overwrites typing.
  const bool touched = Attempt([&] { return TouchesPickedCell(Sh, Target); }).value_or(true);
  if (touched) ForgetPick();
}

bool cVantry::ZorelGetEnabled(IRibbonControl& control) noexcept {
  const std::optional<std::string> id = Attempt([&] { return control.Id(); });
  if (!id || !iequals(*id, kUndoDateId)) return true;
  return UndoAvailable();
}

}  // namespace tessaly
