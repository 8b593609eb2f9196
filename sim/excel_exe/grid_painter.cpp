// The sheet's grid drawn with GDI: headers, lines, cells, the selection and the active cell.
#include "sim/excel_exe/grid_painter.h"

#include <algorithm>
#include <cmath>

#include "host/locale.h"
#include "sim/cell_text.h"
#include "win/ui/gdi_graphics.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

using win::gdi::unique_brush;
using win::gdi::unique_font;
using win::gdi::unique_pen;
using win::gdi::unique_select_object;

constexpr COLORREF kGridLine = RGB(218, 220, 221);
constexpr COLORREF kHeaderFill = RGB(238, 238, 238);
constexpr COLORREF kHeaderText = RGB(68, 68, 68);
constexpr COLORREF kSelectionFill = RGB(220, 235, 226);
constexpr COLORREF kSelectionEdge = RGB(33, 115, 70);

void Text(HDC dc, const std::string& text, RECT r, UINT format) {
  std::wstring w = win::to_wide(text);
  ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void Fill(HDC dc, RECT r, COLORREF colour) {
  unique_brush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &r, brush.get());
}

RECT Local(const ScreenRect& r, ScreenPoint origin) {
  return {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
}

// Draws the active sheet as the model lays out the window: headers, then each pane clipped to
// its own rectangle, so that what is drawn is what the object model answers about the screen.
class GridPainter {
 public:
  GridPainter(HDC dc, const SheetModel& sheet, const SheetAxes& axes, const WindowLayout& layout, double dpi)
      : dc_(dc), sheet_(sheet), axes_(axes), g_(layout), origin_{layout.client.left, layout.client.top} {
    font_.reset(::CreateFontW(-static_cast<int>(std::lround(9 * dpi / 72)), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                              0, 0, DEFAULT_QUALITY, 0, L"Tahoma"));
  }

  void Paint(bool editing, const std::string& edit_text) {
    Fill(dc_, Local(g_.client, origin_), kHeaderFill);  // split bars show through between panes
    unique_select_object font(dc_, font_.get());
    ::SetBkMode(dc_, TRANSPARENT);
    for (const PaneLayout& pane : g_.panes) {
      Clipped(Local(pane.rect, origin_), [&] { Pane(pane, editing, edit_text); });
      Clipped(Local({pane.rect.left, g_.client.top, pane.rect.right, g_.grid.top}, origin_), [&] { ColumnHeaders(pane); });
      Clipped(Local(RowHeaderBand(pane), origin_), [&] { RowHeaders(pane); });
    }
  }

 private:
  // The row numbers stand at the reading start: right of the grid on a right-to-left sheet.
  ScreenRect RowHeaderBand(const PaneLayout& pane) const {
    return g_.right_to_left ? ScreenRect{g_.grid.right, pane.rect.top, g_.client.right, pane.rect.bottom}
                            : ScreenRect{g_.client.left, pane.rect.top, g_.grid.left, pane.rect.bottom};
  }
  template <class F>
  void Clipped(RECT r, F&& draw) {
    const int saved = ::SaveDC(dc_);
    ::IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
    draw();
    ::RestoreDC(dc_, saved);
  }
  RECT Cell(const PaneLayout& pane, std::int32_t row, std::int32_t column) const {
    return Local(CellRect(axes_, g_, pane, row, column), origin_);
  }
  void Pane(const PaneLayout& pane, bool editing, const std::string& edit_text) {
    Fill(dc_, Local(pane.rect, origin_), RGB(255, 255, 255));
    Selection(pane);
    Lines(pane);
    Cells(pane);
    ActiveCell(pane, editing, edit_text);
  }
  void Lines(const PaneLayout& pane) {
    unique_pen pen(::CreatePen(PS_SOLID, 1, kGridLine));
    unique_select_object use(dc_, pen.get());
    const RECT area = Local(pane.rect, origin_);
    for (std::int32_t c = pane.first_column; c <= pane.last_column; ++c) {
      const RECT r = Cell(pane, pane.first_row, c);
      if (r.right <= r.left) continue;  // hidden
      // Each column's far edge in the reading direction.
      const LONG x = g_.right_to_left ? r.left : r.right - 1;
      ::MoveToEx(dc_, x, area.top, nullptr);
      ::LineTo(dc_, x, area.bottom);
    }
    for (std::int32_t row = pane.first_row; row <= pane.last_row; ++row) {
      const RECT r = Cell(pane, row, pane.first_column);
      if (r.bottom <= r.top) continue;
      ::MoveToEx(dc_, area.left, r.bottom - 1, nullptr);
      ::LineTo(dc_, area.right, r.bottom - 1);
    }
  }
  void ColumnHeaders(const PaneLayout& pane) {
    ::SetTextColor(dc_, kHeaderText);
    const RECT band = Local({pane.rect.left, g_.client.top, pane.rect.right, g_.grid.top}, origin_);
    for (std::int32_t c = pane.first_column; c <= pane.last_column; ++c) {
      const RECT r = Cell(pane, pane.first_row, c);
      if (r.right > r.left) Text(dc_, address::ColumnLetters(c), {r.left, band.top, r.right, band.bottom}, DT_CENTER);
    }
  }
  void RowHeaders(const PaneLayout& pane) {
    ::SetTextColor(dc_, kHeaderText);
    const RECT band = Local(RowHeaderBand(pane), origin_);
    for (std::int32_t row = pane.first_row; row <= pane.last_row; ++row) {
      const RECT r = Cell(pane, row, pane.first_column);
      if (r.bottom > r.top) Text(dc_, std::to_string(row), {band.left, r.top, band.right, r.bottom}, DT_CENTER);
    }
  }
  // The right edge a left-aligned text may run to: over the empty cells to its right, as the host lets it.
  LONG OverflowRight(const PaneLayout& pane, std::int32_t row, std::int32_t column, LONG own_right) const {
    LONG right = own_right;
    for (std::int32_t c = column + 1; c <= pane.last_column && !sheet_.cells.count({row, c}); ++c)
      right = Cell(pane, row, c).right;
    return right;
  }
  void Cells(const PaneLayout& pane) {
    ::SetTextColor(dc_, RGB(0, 0, 0));
    const LocaleData& locale = LocaleData::us_english();
    for (auto it = sheet_.cells.lower_bound({pane.first_row, 0});
         it != sheet_.cells.end() && it->first.first <= pane.last_row; ++it) {
      const auto [row, column] = it->first;
      if (column < pane.first_column || column > pane.last_column) continue;
      const RECT box = Cell(pane, row, column);
      if (box.right <= box.left || box.bottom <= box.top) continue;
      // General alignment: text towards the reading start, numbers and dates away from it.
      const bool number = it->second.value.is_number() || it->second.value.is_date();
      const bool right = number != g_.right_to_left;
      RECT r{box.left + 2, box.top, box.right - 3, box.bottom};
      if (!number && !g_.right_to_left) r.right = OverflowRight(pane, row, column, box.right) - 3;
      Text(dc_, CellDisplayText(it->second, locale), r, right ? DT_RIGHT : DT_LEFT);
    }
  }
  void Selection(const PaneLayout& pane) {
    if (!sheet_.selected_object.empty()) return;
    for (const Area& a : sheet_.selection) {
      if (a.cells() <= 1) continue;
      const std::int32_t r1 = std::max(a.r1, pane.first_row), r2 = std::min(a.r2, pane.last_row);
      const std::int32_t c1 = std::max(a.c1, pane.first_column), c2 = std::min(a.c2, pane.last_column);
      if (r1 > r2 || c1 > c2) continue;
      const RECT first = Cell(pane, r1, c1), last = Cell(pane, r2, c2);
      Fill(dc_, {std::min(first.left, last.left), first.top, std::max(first.right, last.right), last.bottom}, kSelectionFill);
    }
  }
  void ActiveCell(const PaneLayout& pane, bool editing, const std::string& edit_text) {
    if (!sheet_.selected_object.empty()) return;
    const RECT box = Cell(pane, sheet_.active_row, sheet_.active_column);
    if (editing) {
      Fill(dc_, {box.left, box.top, box.right - 1, box.bottom - 1}, RGB(255, 255, 255));
      ::SetTextColor(dc_, RGB(0, 0, 0));
      Text(dc_, edit_text + "|", {box.left + 2, box.top, box.left + 2000, box.bottom}, DT_LEFT);
    }
    unique_brush edge(::CreateSolidBrush(kSelectionEdge));
    for (int k = 0; k < 2; ++k) {
      RECT r{box.left - 1 + k, box.top - 1 + k, box.right - k, box.bottom - k};
      ::FrameRect(dc_, &r, edge.get());
    }
  }

  HDC dc_;
  const SheetModel& sheet_;
  SheetAxes axes_;
  const WindowLayout& g_;
  ScreenPoint origin_;
  unique_font font_;
};

}  // namespace

void PaintGrid(HDC dc, const SheetModel& sheet, const SheetAxes& axes, const WindowLayout& layout, double dpi, bool editing,
               const std::string& edit_text) {
  GridPainter(dc, sheet, axes, layout, dpi).Paint(editing, edit_text);
}

void PaintBlank(HDC dc, RECT r) { Fill(dc, r, kHeaderFill); }

}  // namespace tessaly::sim::exe
