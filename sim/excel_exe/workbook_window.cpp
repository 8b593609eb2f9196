// The stand-in Excel's windows: creation, layout, the grid's painting and the user's input.
#include "sim/excel_exe/workbook_window.h"

#include <algorithm>
#include <string>

#include "host/locale.h"
#include "sim/cell_text.h"
#include "win/ui/gdi_graphics.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

using win::gdi::unique_bitmap;
using win::gdi::unique_brush;
using win::gdi::unique_dc;
using win::gdi::unique_font;
using win::gdi::unique_pen;
using win::gdi::unique_select_object;

constexpr wchar_t kMainClass[] = L"XLMAIN";
constexpr wchar_t kDeskClass[] = L"XLDESK";
constexpr wchar_t kBookClass[] = L"EXCEL7";
constexpr wchar_t kStripClass[] = L"TessalyStandInRibbon";
constexpr int kStripHeight = 34;

constexpr COLORREF kGridLine = RGB(218, 220, 221);
constexpr COLORREF kHeaderFill = RGB(238, 238, 238);
constexpr COLORREF kHeaderText = RGB(68, 68, 68);
constexpr COLORREF kSelectionFill = RGB(220, 235, 226);
constexpr COLORREF kSelectionEdge = RGB(33, 115, 70);

// Until the sheet carries its own sizes: the host's standard column and row.
constexpr double kColumnWidthPoints = 48;
constexpr double kRowHeightPoints = 15;

// No C++ exception leaves a window procedure: the system's message loop cannot carry one.
template <class F>
LRESULT Guarded(F&& f, LRESULT failed = 0) noexcept {
  try {
    return f();
  } catch (...) {
    return failed;
  }
}

HostWindows* Owner(HWND w) { return reinterpret_cast<HostWindows*>(::GetWindowLongPtrW(w, GWLP_USERDATA)); }

LRESULT Adopt(HWND w, LPARAM lp) {
  auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
  ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  return 0;
}

bool Register(const wchar_t* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::string CellName(CellRef c) { return address::ColumnLetters(c.column) + std::to_string(c.row); }

void Text(HDC dc, const std::string& text, RECT r, UINT format) {
  std::wstring w = win::to_wide(text);
  ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void Fill(HDC dc, RECT r, COLORREF colour) {
  unique_brush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &r, brush.get());
}

// The right edge a left-aligned text may run to: over the empty cells to its right, as the host lets it.
std::int32_t OverflowRight(const SheetModel& sheet, const GridLayout& g, CellRef cell, std::int32_t own_right) {
  std::int32_t right = own_right;
  for (const GridBand& c : g.columns) {
    if (c.index <= cell.column) continue;
    if (sheet.cells.count({cell.row, c.index})) break;
    right = c.end();
  }
  return right;
}

class GridPainter {
 public:
  GridPainter(HDC dc, const GridLayout& g, RECT client, double dpi) : dc_(dc), g_(g), client_(client) {
    font_.reset(::CreateFontW(-PointsToPixels(9, 1.0, dpi), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                              DEFAULT_QUALITY, 0, L"Tahoma"));
  }

  void Paint(const SheetModel* sheet, bool editing, const std::string& edit_text) {
    Fill(dc_, client_, RGB(255, 255, 255));
    unique_select_object font(dc_, font_.get());
    ::SetBkMode(dc_, TRANSPARENT);
    if (sheet) Selection(*sheet);
    Lines();
    Headers();
    if (sheet) Cells(*sheet);
    if (sheet) ActiveCell(*sheet, editing, edit_text);
  }

 private:
  void Lines() {
    unique_pen pen(::CreatePen(PS_SOLID, 1, kGridLine));
    unique_select_object use(dc_, pen.get());
    for (const GridBand& c : g_.columns) {
      ::MoveToEx(dc_, c.end() - 1, 0, nullptr);
      ::LineTo(dc_, c.end() - 1, client_.bottom);
    }
    for (const GridBand& r : g_.rows) {
      ::MoveToEx(dc_, 0, r.end() - 1, nullptr);
      ::LineTo(dc_, client_.right, r.end() - 1);
    }
  }
  void Headers() {
    Fill(dc_, {0, 0, client_.right, g_.header_height}, kHeaderFill);
    Fill(dc_, {0, 0, g_.header_width, client_.bottom}, kHeaderFill);
    ::SetTextColor(dc_, kHeaderText);
    for (const GridBand& c : g_.columns)
      Text(dc_, address::ColumnLetters(c.index), {c.start, 0, c.end(), g_.header_height}, DT_CENTER);
    for (const GridBand& r : g_.rows)
      Text(dc_, std::to_string(r.index), {0, r.start, g_.header_width, r.end()}, DT_CENTER);
  }
  void Cells(const SheetModel& sheet) {
    if (g_.rows.empty() || g_.columns.empty()) return;
    ::SetTextColor(dc_, RGB(0, 0, 0));
    const LocaleData& locale = LocaleData::us_english();
    auto it = sheet.cells.lower_bound({g_.rows.front().index, 0});
    for (; it != sheet.cells.end() && it->first.first <= g_.rows.back().index; ++it) {
      const CellRef cell{it->first.first, it->first.second};
      auto box = CellRect(g_, cell);
      if (!box) continue;
      const std::string text = CellDisplayText(it->second, locale);
      const bool right = it->second.value.is_number() || it->second.value.is_date();
      RECT r{box->left + 2, box->top, box->right - 3, box->bottom};
      if (!right) r.right = OverflowRight(sheet, g_, cell, box->right) - 3;
      Text(dc_, text, r, right ? DT_RIGHT : DT_LEFT);
    }
  }
  void Selection(const SheetModel& sheet) {
    if (!sheet.selected_object.empty()) return;
    for (const Area& a : sheet.selection)
      for (const GridBand& r : g_.rows)
        for (const GridBand& c : g_.columns)
          if (a.contains(r.index, c.index) && a.cells() > 1) Fill(dc_, {c.start, r.start, c.end(), r.end()}, kSelectionFill);
  }
  void ActiveCell(const SheetModel& sheet, bool editing, const std::string& edit_text) {
    auto box = CellRect(g_, {sheet.active_row, sheet.active_column});
    if (!box || !sheet.selected_object.empty()) return;
    if (editing) {
      Fill(dc_, {box->left, box->top, box->right - 1, box->bottom - 1}, RGB(255, 255, 255));
      ::SetTextColor(dc_, RGB(0, 0, 0));
      Text(dc_, edit_text + "|", {box->left + 2, box->top, client_.right, box->bottom}, DT_LEFT);
    }
    unique_brush edge(::CreateSolidBrush(kSelectionEdge));
    for (int k = 0; k < 2; ++k) {
      RECT r{box->left - 1 + k, box->top - 1 + k, box->right - k, box->bottom - k};
      ::FrameRect(dc_, &r, edge.get());
    }
  }

  HDC dc_;
  const GridLayout& g_;
  RECT client_;
  unique_font font_;
};

}  // namespace

HostWindows::HostWindows(std::shared_ptr<SimExcel> model) : model_(std::move(model)) {}

HostWindows::~HostWindows() {
  if (main_ && ::IsWindow(main_)) ::DestroyWindow(main_);
}

bool HostWindows::Create(const RECT& frame) {
  HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!Register(kMainClass, MainProc, face) || !Register(kDeskClass, DeskProc, face) ||
      !Register(kBookClass, BookProc, nullptr) || !Register(kStripClass, StripProc, face))
    return false;
  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  main_ = ::CreateWindowExW(0, kMainClass, L"Stand-in Excel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, frame.left,
                            frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, inst, this);
  if (!main_) return false;
  strip_ = ::CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, kStripHeight, main_,
                             nullptr, inst, this);
  desk_ = ::CreateWindowExW(0, kDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, kStripHeight, 10, 10, main_,
                            nullptr, inst, this);
  book_ = desk_ ? ::CreateWindowExW(0, kBookClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                    10, 10, desk_, nullptr, inst, this)
                : nullptr;
  if (!strip_ || !book_) return false;
  OnMainSize();
  ::ShowWindow(main_, SW_SHOW);
  ::UpdateWindow(main_);
  ::SetForegroundWindow(main_);
  ::SetFocus(book_);
  return true;
}

GridLayout HostWindows::Layout() const {
  RECT rc{};
  ::GetClientRect(book_, &rc);
  HDC dc = ::GetDC(book_);
  const double dpi_x = ::GetDeviceCaps(dc, LOGPIXELSX), dpi_y = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(book_, dc);
  auto width = [](std::int32_t) { return kColumnWidthPoints; };
  auto height = [](std::int32_t) { return kRowHeightPoints; };
  return LayOutGrid(width, height, 1, 1, model_->MaxRow(), model_->MaxColumn(), {1.0, dpi_x, dpi_y}, rc.right,
                    rc.bottom);
}

std::optional<POINT> HostWindows::CellCentreOnScreen(CellRef cell) const {
  auto box = CellRect(Layout(), cell);
  if (!box) return std::nullopt;
  POINT p{(box->left + box->right) / 2, (box->top + box->bottom) / 2};
  ::ClientToScreen(book_, &p);
  return p;
}

void HostWindows::Refresh() const {
  if (book_) ::InvalidateRect(book_, nullptr, FALSE);
}

void HostWindows::OnMainSize() {
  RECT rc{};
  ::GetClientRect(main_, &rc);
  ::MoveWindow(strip_, 0, 0, rc.right, kStripHeight, TRUE);
  ::MoveWindow(desk_, 0, kStripHeight, rc.right, std::max<LONG>(rc.bottom - kStripHeight, 0), TRUE);
}

void HostWindows::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(book_, &ps);
  RECT rc{};
  ::GetClientRect(book_, &rc);
  // Drawn off screen first, so the grid never flickers under the add-in's windows.
  unique_dc mem(::CreateCompatibleDC(dc));
  unique_bitmap bits(::CreateCompatibleBitmap(dc, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
  {
    unique_select_object use(mem.get(), bits.get());
    const SheetModel* sheet = nullptr;
    try {
      sheet = &model_->ActiveSheetModel();
    } catch (...) {
      sheet = nullptr;  // no workbook open: headers only
    }
    GridPainter(mem.get(), Layout(), rc, ::GetDeviceCaps(dc, LOGPIXELSY)).Paint(sheet, model_->Editing(), model_->EditText());
    ::BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(book_, &ps);
}

void HostWindows::Select(CellRef cell) {
  if (model_->Editing()) model_->UserEndEdit(true);
  Refresh();
  model_->UserSelect(CellName(cell));
  Refresh();
}

void HostWindows::OnClick(int x, int y) {
  ::SetFocus(book_);
  if (auto cell = CellAt(Layout(), x, y)) Select(*cell);
}

void HostWindows::MoveSelection(int rows, int columns) {
  const SheetModel& s = model_->ActiveSheetModel();
  const std::int32_t r = std::clamp(s.active_row + rows, 1, model_->MaxRow());
  const std::int32_t c = std::clamp(s.active_column + columns, 1, model_->MaxColumn());
  Select({r, c});
}

void HostWindows::OnKeyDown(WPARAM key) {
  const bool editing = model_->Editing();
  switch (key) {
    case VK_RETURN:
      // Enter moves down, entering the typed text first.
      MoveSelection(1, 0);
      break;
    case VK_ESCAPE:
      if (editing) model_->UserEndEdit(false);
      break;
    case VK_BACK:
      if (editing) {
        std::string t = model_->EditText();
        if (!t.empty()) t.pop_back();
        model_->UserBeginEdit(t);
      }
      break;
    case VK_UP: if (!editing) MoveSelection(-1, 0); break;
    case VK_DOWN: if (!editing) MoveSelection(1, 0); break;
    case VK_LEFT: if (!editing) MoveSelection(0, -1); break;
    case VK_RIGHT: if (!editing) MoveSelection(0, 1); break;
    default: break;
  }
  Refresh();
}

void HostWindows::OnChar(wchar_t ch) {
  if (ch < 32 || ch == 127) return;  // Enter, Escape and Backspace come as keys
  const std::string typed = win::to_utf8(std::wstring(1, ch));
  model_->UserBeginEdit(model_->Editing() ? model_->EditText() + typed : typed);
  Refresh();
}

LRESULT CALLBACK HostWindows::MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  switch (msg) {
    case WM_SIZE: return Guarded([&] { return self->OnMainSize(), LRESULT{0}; });
    case WM_SETFOCUS: ::SetFocus(self->book_); return 0;
    case WM_CLOSE:
      Guarded([&] { return self->on_close ? self->on_close() : void(), LRESULT{0}; });
      ::DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      self->main_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
    default: return ::DefWindowProcW(w, msg, wp, lp);
  }
}

LRESULT CALLBACK HostWindows::DeskProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (self && msg == WM_SIZE && self->book_) ::MoveWindow(self->book_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK HostWindows::StripProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (self && msg == WM_COMMAND && self->on_strip_command)
    return Guarded([&] { return self->on_strip_command(LOWORD(wp)), LRESULT{0}; });
  if (self && msg == WM_APP + 1 && self->on_strip_refresh)
    return Guarded([&] { return self->on_strip_refresh(), LRESULT{0}; });
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK HostWindows::BookProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Guarded([&] { return self->OnPaint(), LRESULT{0}; });
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_LBUTTONDOWN:
      return Guarded([&] { return self->OnClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_KEYDOWN: return Guarded([&] { return self->OnKeyDown(wp), LRESULT{0}; });
    case WM_CHAR: return Guarded([&] { return self->OnChar(static_cast<wchar_t>(wp)), LRESULT{0}; });
    case WM_SIZE:
      // The host tells its add-ins when a workbook window changes size.
      return Guarded([&] {
        if (::IsWindowVisible(w) && self->model_->HasWorkbook()) self->model_->UserResizeWindow();
        return LRESULT{0};
      });
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    default: return ::DefWindowProcW(w, msg, wp, lp);
  }
}

}  // namespace tessaly::sim::exe
