// The stand-in Excel's windows: creation, layout, the grid's painting and the user's input.
#include "sim/excel_exe/workbook_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "host/locale.h"
#include "sim/excel_exe/command_bars.h"
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

// No C++ exception leaves a window procedure: the system's message loop cannot carry one.
template <class F>
LRESULT Guarded(F&& f, LRESULT failed = 0) noexcept {
  try {
    return f();
  } catch (...) {
    return failed;
  }
}

WindowHandle Handle(HWND w) { return reinterpret_cast<WindowHandle>(w); }

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
      Clipped(Local({g_.client.left, pane.rect.top, g_.grid.left, pane.rect.bottom}, origin_), [&] { RowHeaders(pane); });
    }
  }

 private:
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
      ::MoveToEx(dc_, r.right - 1, area.top, nullptr);
      ::LineTo(dc_, r.right - 1, area.bottom);
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
    const RECT band = Local({g_.client.left, pane.rect.top, g_.grid.left, pane.rect.bottom}, origin_);
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
      const bool right = it->second.value.is_number() || it->second.value.is_date();
      RECT r{box.left + 2, box.top, box.right - 3, box.bottom};
      if (!right) r.right = OverflowRight(pane, row, column, box.right) - 3;
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
      Fill(dc_, {first.left, first.top, last.right, last.bottom}, kSelectionFill);
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
  // The model's window tree takes the real windows' handles; its active workbook shows in EXCEL7.
  model_->SetHwnd(Handle(main_));
  model_->SetDeskWindow(Handle(desk_));
  if (model_->HasWorkbook()) model_->SetBookWindow(*model_->ActiveSheetModel().parent, Handle(book_));
  OnMainSize();
  ::ShowWindow(main_, SW_SHOW);
  ::UpdateWindow(main_);
  ::SetForegroundWindow(main_);
  ::SetFocus(book_);
  return true;
}

std::optional<POINT> HostWindows::CellCentreOnScreen(CellRef cell) const {
  if (!model_->HasWorkbook()) return std::nullopt;
  const SheetModel& sheet = model_->ActiveSheetModel();
  const WindowLayout layout = model_->Layout(*sheet.parent);
  const PaneLayout& pane = PaneShowing(layout, cell.row, cell.column);
  if (cell.row < pane.first_row || cell.row > pane.last_row || cell.column < pane.first_column ||
      cell.column > pane.last_column)
    return std::nullopt;
  const ScreenRect r = CellRect(model_->Axes(sheet), layout, pane, cell.row, cell.column);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void HostWindows::MirrorIntoModel() const {
  SimDesktop& desktop = model_->Desktop();
  auto relative = [](HWND w, HWND parent) {
    RECT r{};
    ::GetWindowRect(w, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return ScreenRect{r.left, r.top, r.right, r.bottom};
  };
  RECT outer{}, client{};
  ::GetWindowRect(main_, &outer);
  ::GetClientRect(main_, &client);
  POINT corner{0, 0};
  ::ClientToScreen(main_, &corner);
  SimDesktop::Window& main = desktop.Get(Handle(main_));
  main.rect = {outer.left, outer.top, outer.right, outer.bottom};
  main.frame = {corner.x - outer.left, corner.y - outer.top, outer.right - corner.x - client.right,
                outer.bottom - corner.y - client.bottom};
  desktop.Get(Handle(desk_)).rect = relative(desk_, main_);
  desktop.Get(Handle(book_)).rect = relative(book_, desk_);
  HDC dc = ::GetDC(book_);
  desktop.displays = {SimDesktop::Display{{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                                          double(::GetDeviceCaps(dc, LOGPIXELSX)), double(::GetDeviceCaps(dc, LOGPIXELSY))}};
  ::ReleaseDC(book_, dc);
}

void HostWindows::Refresh() const {
  if (book_) ::InvalidateRect(book_, nullptr, FALSE);
}

void HostWindows::OnMainSize() {
  RECT rc{};
  ::GetClientRect(main_, &rc);
  ::MoveWindow(strip_, 0, 0, rc.right, kStripHeight, TRUE);
  ::MoveWindow(desk_, 0, kStripHeight, rc.right, std::max<LONG>(rc.bottom - kStripHeight, 0), TRUE);
  if (book_) MirrorIntoModel();
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
    if (model_->HasWorkbook()) {
      const SheetModel& sheet = model_->ActiveSheetModel();
      GridPainter(mem.get(), sheet, model_->Axes(sheet), model_->Layout(*sheet.parent), ::GetDeviceCaps(dc, LOGPIXELSY))
          .Paint(model_->Editing(), model_->EditText());
    } else {
      Fill(mem.get(), rc, kHeaderFill);
    }
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
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(book_, &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  if (auto hit = CellAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y})) Select({hit->row, hit->column});
}

void HostWindows::OnRightClick(int x, int y) {
  ::SetFocus(book_);
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(book_, &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  auto hit = CellAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y});
  if (!hit) return;
  const bool inside = sheet.selected_object.empty() &&
                      std::any_of(sheet.selection.begin(), sheet.selection.end(),
                                  [&](const Area& a) { return a.contains(hit->row, hit->column); });
  if (!inside) Select({hit->row, hit->column});
}

void HostWindows::OnContextMenu(POINT at) {
  if (!model_->HasWorkbook()) return;
  if (model_->Editing()) model_->UserEndEdit(true);
  ShowCellMenu(main_, *model_, at);
  Refresh();
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

void HostWindows::OnWheel(int delta, int keys) {
  if (!model_->HasWorkbook()) return;
  // As Excel: three rows a notch, Ctrl+wheel zooms by 10 % a notch; no event tells the add-ins.
  const int notches = delta / WHEEL_DELTA;
  if (keys & MK_CONTROL) {
    model_->UserZoom(model_->Book(model_->ActiveSheetModel().parent->name).win.zoom + 10.0 * notches);
  } else {
    model_->UserScroll(-3 * notches, 0);
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
    case WM_MOVE: return Guarded([&] { return self->MirrorIntoModel(), LRESULT{0}; });
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
  if (self && msg == WM_DRAWITEM && self->on_strip_draw)
    return Guarded([&] { return LRESULT{self->on_strip_draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE}; });
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
    case WM_RBUTTONDOWN:
      return Guarded([&] { return self->OnRightClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_CONTEXTMENU:
      return Guarded([&] { return self->OnContextMenu({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}), LRESULT{0}; });
    case WM_KEYDOWN: return Guarded([&] { return self->OnKeyDown(wp), LRESULT{0}; });
    case WM_MOUSEWHEEL: return Guarded([&] { return self->OnWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp)), LRESULT{0}; });
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
