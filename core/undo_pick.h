// The last pick, kept so that the user can take it back: which cell it wrote, what the cell held
// before, and what the pick left there. Excel forgets its own undo list at every write of an
// add-in, so this is the only way back from a wrong pick.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/excel.h"
#include "host/variant.h"

namespace tessaly {

// What a cell shows the user: its value or formula, and its number format.
struct CellContent {
  Variant value;          // the constant held; empty where the cell holds a formula
  std::string formula;    // empty: a constant
  Variant number_format;  // text
  friend bool operator==(const CellContent&, const CellContent&) = default;
};

// The value, formula and number format of a one-cell range; the format as already read, when given.
CellContent ReadCellContent(IRange& cell, const std::optional<Variant>& format = std::nullopt);

struct PickRecord {
  std::string workbook, sheet, address;  // the range the tag was shown for ("$B$2"); its first cell
  CellContent before;                    // what the pick replaced
  CellContent after;                     // what the pick left: the cell is restored only while it holds this
};

// One lives as long as the add-in's process and is handed to each controller, so that a reload
// of the add-in (turned off and on again, or its ribbon mode changed) finds the last pick. Nothing
// of it is stored: a pick is about a workbook open in this Excel, and none outlives the process.
// It holds names, not the host's objects, so no reference keeps Excel from quitting.
class UndoPick {
 public:
  const std::optional<PickRecord>& Last() const { return last_; }
  void Remember(PickRecord record) { last_ = std::move(record); }
  void Forget() { last_.reset(); }

 private:
  std::optional<PickRecord> last_;
};

}  // namespace tessaly
