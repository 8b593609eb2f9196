// What a cell's own data validation asks of the date the calendar writes: a date rule the calendar
// applies itself, or any other rule, which only the cell can judge once the date is in.
#pragma once

#include <optional>
#include <string>

#include "core/date_judge.h"
#include "date/date_limits.h"
#include "host/excel.h"
#include "host/message_box.h"

namespace tessaly {

// The host's own text for a broken rule that has no message of its own.
inline constexpr const char* kValidationDefaultMessage =
    "This value doesn't match the data validation restrictions defined for this cell.";

struct CellRule {
  std::optional<DateLimits> limits;  // a date rule whose limits could be read
  bool ask_after_write = false;      // any other rule, a date rule whose limits could not
};

// The rule of the cell. A cell without validation, or whose validation cannot be read, has none.
// A limit is a date, a number, a date text or a formula the cell's sheet evaluates. Never throws.
CellRule ReadCellRule(IRange& cell, const IDateJudge& dates) noexcept;

// What the cell says of the value it now holds, when its rule refuses it: the alert its rule
// shows, in the rule's own words or the host's, and whether the old value must go back (Stop).
// Empty when the cell takes the value or cannot tell. Never throws.
struct RuleAlert {
  MessageRequest message;
  bool undo = false;
};
std::optional<RuleAlert> AskCellRule(IRange& cell, const std::string& product_name) noexcept;

}  // namespace tessaly
