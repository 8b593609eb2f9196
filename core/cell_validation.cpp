// A cell's data validation: its date limits read before the calendar opens, and its verdict asked
// after a write for the rules only the host can judge.
#include "core/cell_validation.h"

#include <charconv>

#include "host/error_policy.h"

namespace tessaly {

namespace {

std::optional<double> NumberText(const std::string& text) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

// A limit as the rule holds it; a formula is evaluated on the cell's sheet.
std::optional<double> ReadLimit(IRange& cell, const std::string& formula, const IDateJudge& dates) {
  Variant v = Variant::text(formula);
  if (formula.starts_with("=")) {
    const SheetPtr sheet = cell.Worksheet();
    if (!sheet) return std::nullopt;
    v = sheet->Evaluate(formula);
  }
  if (v.is_date() || v.is_number()) return v.as_double();
  if (!v.is_text()) return std::nullopt;  // an error value: no limit to judge by
  if (const std::optional<double> n = NumberText(v.as_text())) return n;
  return dates.ReadAsDate(v);
}

}  // namespace

CellRule ReadCellRule(IRange& cell, const IDateJudge& dates) noexcept {
  CellRule rule;
  ValidationPtr validation;
  std::int32_t type = 0;
  // Excel gives every cell a Validation whose members fail where there is no rule.
  if (!StopOnFailure([&] {
        validation = cell.Validation();
        type = validation->Type();
      }))
    return rule;
  if (type != xl::kValidateDate) {
    rule.ask_after_write = true;  // a list, a custom formula or any rule that is not on dates
    return rule;
  }
  StopOnFailure([&] {
    const std::int32_t op = validation->Operator();
    const std::optional<double> first = ReadLimit(cell, validation->Formula1(), dates);
    const std::optional<double> second =
        op == xl::kBetween || op == xl::kNotBetween ? ReadLimit(cell, validation->Formula2(), dates) : first;
    if (first && second) rule.limits = MakeDateLimits(op, *first, *second);
  });
  rule.ask_after_write = !rule.limits;
  return rule;
}

std::optional<RuleAlert> AskCellRule(IRange& cell, const std::string& product_name) noexcept {
  std::optional<RuleAlert> alert;
  StopOnFailure([&] {
    const ValidationPtr validation = cell.Validation();
    if (validation->Value()) return;
    RuleAlert a;
    a.message.title = product_name;
    a.message.text = kValidationDefaultMessage;
    a.message.icon = MsgIcon::Critical;
    a.undo = true;
    // The rule's own words when it has them; a failing read leaves the host's.
    SkipFailures step;
    step([&] {
      switch (validation->AlertStyle()) {
        case xl::kValidAlertWarning: a.message.icon = MsgIcon::Exclamation, a.undo = false; break;
        case xl::kValidAlertInformation: a.message.icon = MsgIcon::Information, a.undo = false; break;
        default: break;
      }
    });
    step([&] {
      if (std::string t = validation->ErrorTitle(); !t.empty()) a.message.title = std::move(t);
    });
    step([&] {
      if (std::string t = validation->ErrorMessage(); !t.empty()) a.message.text = std::move(t);
    });
    alert = std::move(a);
  });
  return alert;
}

}  // namespace tessaly
