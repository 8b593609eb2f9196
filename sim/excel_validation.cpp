// The stand-in's data validation: the rule of a range's cells as Range.Validation hands it out,
// the host's own judging of date rules, and Evaluate of the few formulas such rules use.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "date/date_parse.h"
#include "date/serial_date.h"
#include "sim/excel_member.h"
#include "sim/excel_sim.h"

namespace tessaly::sim {

namespace {

constexpr std::int32_t kErrName = 2029;  // #NAME?
constexpr const char* kObjectDefined = "Application-defined or object-defined error";

std::optional<double> Number(std::string_view text) {
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

// A limit as the host reads it: a formula is evaluated, a number is a serial, a text is parsed.
std::optional<double> Limit(const SimExcel& host, const SheetModel& sheet, const std::string& formula) {
  Variant v = formula.starts_with("=") ? host.EvaluateOn(sheet, formula) : Variant::text(formula);
  if (v.is_date() || v.is_number()) return v.as_double();
  if (!v.is_text()) return std::nullopt;
  if (const auto n = Number(v.as_text())) return *n;
  return ParseDateText(v.as_text(), LocaleData::us_english());
}

bool Compare(std::int32_t op, double v, double a, double b) {
  switch (op) {
    case 1: return v >= a && v <= b;
    case 2: return v < a || v > b;
    case 3: return v == a;
    case 4: return v != a;
    case 5: return v > a;
    case 6: return v < a;
    case 7: return v >= a;
    case 8: return v <= a;
    default: return false;
  }
}

class SimValidation : public IValidation {
 public:
  SimValidation(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::vector<Area> areas)
      : host_(std::move(host)), sheet_(std::move(sheet)), areas_(std::move(areas)) {}

  std::int32_t Type() override { return Rule("Validation.Type").type; }
  std::int32_t Operator() override {
    const ValidationModel& r = Rule("Validation.Operator");
    if (r.type == xl::kValidateList || r.type == xl::kValidateCustom) throw HostError(kErrApplication, kObjectDefined);
    return r.op;
  }
  std::string Formula1() override { return Rule("Validation.Formula1").formula1; }
  std::string Formula2() override {
    const ValidationModel& r = Rule("Validation.Formula2");
    if (r.op != xl::kBetween && r.op != xl::kNotBetween) throw HostError(kErrApplication, kObjectDefined);
    return r.formula2;
  }
  std::int32_t AlertStyle() override { return Rule("Validation.AlertStyle").alert_style; }
  std::string ErrorTitle() override { return Rule("Validation.ErrorTitle").error_title; }
  std::string ErrorMessage() override { return Rule("Validation.ErrorMessage").error_message; }
  bool Value() override {
    const ValidationModel& r = Rule("Validation.Value");
    for (const Area& a : areas_)
      for (std::int32_t row = a.r1; row <= a.r2; ++row)
        for (std::int32_t col = a.c1; col <= a.c2; ++col)
          if (!Passes(r, CellValue(row, col))) return false;
    return true;
  }

 private:
  // The one rule of all the cells; a cell without one, or cells with different ones, fail as Excel's.
  const ValidationModel& Rule(const char* member) {
    EnterLive(*host_, member, sheet_->closed);
    const ValidationModel* rule = nullptr;
    for (const Area& a : areas_)
      for (std::int32_t row = a.r1; row <= a.r2; ++row)
        for (std::int32_t col = a.c1; col <= a.c2; ++col) {
          const auto it = sheet_->cells.find({row, col});
          const ValidationModel* here = it == sheet_->cells.end() ? nullptr : it->second.validation.get();
          if (!here || (rule && here != rule)) throw HostError(kErrApplication, kObjectDefined);
          rule = here;
        }
    return *rule;
  }
  Variant CellValue(std::int32_t row, std::int32_t col) const {
    const auto it = sheet_->cells.find({row, col});
    return it == sheet_->cells.end() ? Variant() : it->second.value;
  }
  bool Passes(const ValidationModel& r, const Variant& v) const {
    if (v.is_empty()) return true;  // blanks are ignored, the dialog's default
    if (r.type != xl::kValidateDate) return !r.allows || r.allows(v);
    if (!v.is_date() && !v.is_number()) return false;
    const std::optional<double> a = Limit(*host_, *sheet_, r.formula1);
    const bool two = r.op == xl::kBetween || r.op == xl::kNotBetween;
    const std::optional<double> b = two ? Limit(*host_, *sheet_, r.formula2) : a;
    return a && b && Compare(r.op, v.as_double(), *a, *b);
  }

  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
  std::vector<Area> areas_;
};

}  // namespace

ValidationPtr ValidationOf(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::vector<Area> areas) {
  return std::make_shared<SimValidation>(std::move(host), std::move(sheet), std::move(areas));
}

void SimExcel::SetValidation(SheetModel& sheet, const std::string& a1_area, ValidationModel rule) {
  const auto shared = std::make_shared<const ValidationModel>(std::move(rule));
  for (const Area& a : address::Parse(a1_area, 1048576, 16384))
    for (std::int32_t r = a.r1; r <= a.r2; ++r)
      for (std::int32_t c = a.c1; c <= a.c2; ++c) sheet.cells[{r, c}].validation = shared;
}

Variant SimExcel::EvaluateOn(const SheetModel& sheet, const std::string& formula) const {
  const std::string f = formula.starts_with("=") ? formula.substr(1) : formula;
  if (const auto n = Number(f)) return Variant::number(*n);
  int y = 0, m = 0, d = 0;
  char end = 0;
  if (std::sscanf(f.c_str(), "DATE(%d,%d,%d%c", &y, &m, &d, &end) == 4 && end == ')') {
    const std::optional<double> date = serial::from_ymd(y, m, d);
    return date ? Variant::number(*date) : Variant::error(2036);  // #NUM!
  }
  try {
    const std::vector<Area> a = address::Parse(f, MaxRow(), MaxColumn());
    if (a.size() == 1 && a[0].cells() == 1) {
      const auto it = sheet.cells.find({a[0].r1, a[0].c1});
      return it == sheet.cells.end() ? Variant::number(0) : it->second.value;
    }
  } catch (const HostError&) {
  }
  return Variant::error(kErrName);
}

}  // namespace tessaly::sim
