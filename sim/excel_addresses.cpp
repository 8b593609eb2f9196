// A1 and R1C1 addresses as the stand-in host parses and writes them.
#include "sim/excel_sim.h"

#include <cctype>

#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

namespace address {

std::string ColumnLetters(std::int32_t column) {
  std::string s;
  for (; column > 0; column = (column - 1) / 26) s.insert(s.begin(), char('A' + (column - 1) % 26));
  return s;
}

namespace {

[[noreturn]] void Bad(const std::string& text) { throw HostError(kErrApplication, "Method 'Range' of object failed: " + text); }

// One end of an area: a cell, a whole column (row 0) or a whole row (column 0).
struct End {
  std::int32_t row = 0, column = 0;
};

End ParseEnd(const std::string& t, const std::string& whole) {
  End e;
  std::size_t i = 0;
  if (i < t.size() && t[i] == '$') ++i;
  std::int64_t col = 0;
  while (i < t.size() && std::isalpha(static_cast<unsigned char>(t[i]))) {
    col = col * 26 + (std::toupper(static_cast<unsigned char>(t[i])) - 'A' + 1);
    if (col > 100000) Bad(whole);
    ++i;
  }
  if (i < t.size() && t[i] == '$') ++i;
  std::int64_t row = 0;
  std::size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
    row = row * 10 + (t[i] - '0');
    if (row > 100000000) Bad(whole);
    ++i, ++digits;
  }
  if (i != t.size() || (col == 0 && digits == 0)) Bad(whole);
  e.column = static_cast<std::int32_t>(col);
  e.row = static_cast<std::int32_t>(row);
  return e;
}

}  // namespace

std::vector<Area> Parse(const std::string& a1, std::int32_t max_row, std::int32_t max_column) {
  std::vector<Area> out;
  for (const std::string& piece : split(a1, ",")) {
    std::string p = trim(piece);
    auto colon = p.find(':');
    End a = ParseEnd(p.substr(0, colon), a1);
    End b = colon == std::string::npos ? a : ParseEnd(p.substr(colon + 1), a1);
    bool rows = a.column == 0 && b.column == 0, cols = a.row == 0 && b.row == 0;
    if ((a.column == 0) != (b.column == 0) || (a.row == 0) != (b.row == 0)) Bad(a1);
    if (colon == std::string::npos && (rows || cols)) Bad(a1);  // "5" or "C" alone is no range
    Area r{rows ? 1 : 0, cols ? 1 : 0, 0, 0};
    r.r1 = cols ? 1 : std::min(a.row, b.row);
    r.r2 = cols ? max_row : std::max(a.row, b.row);
    r.c1 = rows ? 1 : std::min(a.column, b.column);
    r.c2 = rows ? max_column : std::max(a.column, b.column);
    if (r.r1 < 1 || r.c1 < 1 || r.r2 > max_row || r.c2 > max_column) Bad(a1);
    out.push_back(r);
  }
  return out;
}

namespace {

std::string R1C1Part(char axis, std::int32_t n, bool absolute) {
  if (absolute) return std::string(1, axis) + std::to_string(n);
  // Relative references count from the first cell of the sheet.
  return n == 1 ? std::string(1, axis) : std::string(1, axis) + "[" + std::to_string(n - 1) + "]";
}

std::string FormatArea(const Area& a, bool ra, bool ca, std::int32_t style, std::int32_t max_row, std::int32_t max_col) {
  const bool whole_rows = a.c1 == 1 && a.c2 == max_col;
  const bool whole_cols = a.r1 == 1 && a.r2 == max_row && !whole_rows;
  if (style == xl::kR1C1) {
    if (whole_rows) {
      std::string s = R1C1Part('R', a.r1, ra);
      return a.r1 == a.r2 ? s : s + ":" + R1C1Part('R', a.r2, ra);
    }
    if (whole_cols) {
      std::string s = R1C1Part('C', a.c1, ca);
      return a.c1 == a.c2 ? s : s + ":" + R1C1Part('C', a.c2, ca);
    }
    std::string s = R1C1Part('R', a.r1, ra) + R1C1Part('C', a.c1, ca);
    return a.cells() == 1 ? s : s + ":" + R1C1Part('R', a.r2, ra) + R1C1Part('C', a.c2, ca);
  }
  const std::string rd = ra ? "$" : "", cd = ca ? "$" : "";
  if (whole_rows) return rd + std::to_string(a.r1) + ":" + rd + std::to_string(a.r2);
  if (whole_cols) return cd + ColumnLetters(a.c1) + ":" + cd + ColumnLetters(a.c2);
  std::string s = cd + ColumnLetters(a.c1) + rd + std::to_string(a.r1);
  return a.cells() == 1 ? s : s + ":" + cd + ColumnLetters(a.c2) + rd + std::to_string(a.r2);
}

}  // namespace

std::string Format(const std::vector<Area>& areas, bool row_abs, bool col_abs, std::int32_t style, std::int32_t max_row,
                   std::int32_t max_column) {
  std::string out;
  for (const Area& a : areas) {
    if (!out.empty()) out += ",";
    out += FormatArea(a, row_abs, col_abs, style, max_row, max_column);
  }
  return out;
}

}  // namespace address

}  // namespace tessaly::sim
