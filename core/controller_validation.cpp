// The controller's answer to a cell whose own rule refuses the date just written.
#include "core/cell_validation.h"
#include "core/controller.h"
#include "host/error_policy.h"

namespace tessaly {

bool cVantry::ObeyCellRule(IRange& cell, const std::optional<CellContent>& replaced) noexcept {
  const std::optional<RuleAlert> alert = AskCellRule(cell, s_.m.ProductName);
  if (!alert) return false;
  SkipFailures step;
  bool put_back = false;
  // Stop: the cell is as it was before the pick. The format first, so that a Text cell takes its
  // text back as text; should the value not go back, the format the date had returns with it.
  if (alert->undo && replaced && replaced->number_format.is_text()) {
    const std::optional<Variant> dated = Attempt([&] { return cell.NumberFormat(); });
    if (step([&] { cell.SetNumberFormat(replaced->number_format.as_text()); })) {
      put_back = step([&] {
        if (!replaced->formula.empty()) cell.SetFormula(replaced->formula);
        else cell.SetValue(replaced->value);
      });
      if (!put_back && dated && dated->is_text()) step([&] { cell.SetNumberFormat(dated->as_text()); });
    }
  }
  step([&] { s_.messages.show(alert->message); });
  return put_back;
}

}  // namespace tessaly
