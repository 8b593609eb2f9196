// The controller's answer to a cell whose own rule refuses the date just written.
#include "core/cell_validation.h"
#include "core/controller.h"
#include "host/error_policy.h"

namespace tessaly {

void cVantry::ObeyCellRule(IRange& cell, const std::optional<Variant>& old_value,
                           const std::optional<Variant>& old_format) noexcept {
  const std::optional<RuleAlert> alert = AskCellRule(cell, s_.m.ProductName);
  if (!alert) return;
  SkipFailures step;
  // Stop: the cell is as it was before the pick, value and format; its format only with its value.
  const bool put_back = alert->undo && old_value && step([&] { cell.SetValue(*old_value); });
  if (put_back && old_format && old_format->is_text()) step([&] { cell.SetNumberFormat(old_format->as_text()); });
  step([&] { s_.messages.show(alert->message); });
}

}  // namespace tessaly
