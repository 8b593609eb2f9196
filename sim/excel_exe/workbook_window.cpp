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

constexpr UINT kQuitMessage = WM_APP + 2;

WindowHandle Handle(HWND w) { return reinterpret_cast<WindowHandle>(w); }
HWND Hwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
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

HostWindows::HostWindows(std::shared_ptr<SimExcel> model) : model_(std::move(model)) {}

HostWindows::~HostWindows() {
  model_->on_book_opened = nullptr;
  model_->on_window_closed = nullptr;
  following_ = true;
  for (HWND main : std::vector<HWND>(mains_))
    if (::IsWindow(main)) ::DestroyWindow(main);
}

bool HostWindows::Create(const RECT& frame) {
  HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!Register(kMainClass, MainProc, face) || !Register(kDeskClass, DeskProc, face) ||
      !Register(kBookClass, BookProc, nullptr) || !Register(kStripClass, StripProc, face) ||
      !Register(kStatusBarClass, StatusProc, face))
    return false;
  first_frame_ = frame;
  try {
    for (const auto& book : std::vector<std::shared_ptr<WorkbookModel>>(model_->Books())) OpenWindows(*book);
  } catch (const HostError&) {
    return false;
  }
  if (mains_.empty()) return false;
  model_->on_book_opened = [this](WorkbookModel& book) { OpenWindows(book); };
  model_->on_window_closed = [this](WindowHandle gone) { CloseWindow(gone); };
  Refresh();
  ::UpdateWindow(Main());
  ::SetFocus(Book());
  return true;
}

void HostWindows::OpenWindows(WorkbookModel& book) {
  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  // Before version 15 every workbook's window goes into the one main window's desk.
  const bool shared = std::find(mains_.begin(), mains_.end(), Hwnd(book.main)) != mains_.end();
  HWND main = shared ? Hwnd(book.main) : nullptr;
  HWND desk = shared ? Hwnd(book.desk) : nullptr;
  opening_ = following_ = true;
  struct Done {
    HostWindows& self;
    ~Done() { self.opening_ = self.following_ = false; }
  } done{*this};
  if (!shared) {
    RECT at = first_frame_;
    if (!mains_.empty()) {  // where the model cascades it
      const ScreenRect r = model_->Desktop().Get(book.main).rect;
      at = {r.left, r.top, r.right, r.bottom};
    }
    const std::wstring title = win::to_wide(book.Caption(book.window_id)) + L" - Stand-in Excel";
    main = ::CreateWindowExW(0, kMainClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.left, at.top,
                             at.right - at.left, at.bottom - at.top, nullptr, nullptr, inst, this);
    desk = main ? ::CreateWindowExW(0, kDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, kStripHeight, 10, 10,
                                    main, nullptr, inst, this)
                : nullptr;
    if (main) mains_.push_back(main);
    if (main && !::CreateWindowExW(0, kStatusBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, kStatusBarHeight, main, nullptr, inst, this))
      throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
    if (main && !strip_)
      strip_ = ::CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, kStripHeight,
                                 main, nullptr, inst, this);
    if (!desk || !strip_) throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
    model_->SetBookMainWindows(book, Handle(main), Handle(desk));
  }
  HWND window = ::CreateWindowExW(0, kBookClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                  0, 0, 10, 10, desk, nullptr, inst, this);
  if (!window) throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
  model_->SetBookWindow(book, Handle(window));
  opening_ = false;
  OnMainSize(main);
  if (!shared) ::ShowWindow(main, SW_SHOWNOACTIVATE);
}

void HostWindows::CloseWindow(WindowHandle gone) {
  HWND w = Hwnd(gone);
  if (!::IsWindow(w)) return;
  following_ = true;
  // The strip lives on in the main window that is active now.
  HWND next = Main();
  if (strip_ && ::GetParent(strip_) == w && next && next != w && ::IsWindow(next)) ::SetParent(strip_, next);
  if (followed_ == w) followed_ = nullptr;
  ::DestroyWindow(w);
  following_ = false;
}

HWND HostWindows::Main() const {
  if (model_->HasWorkbook()) return Hwnd(model_->ActiveSheetModel().parent->main);
  return mains_.empty() ? nullptr : mains_.front();
}

HWND HostWindows::Book() const {
  return model_->HasWorkbook() ? Hwnd(model_->ActiveSheetModel().parent->window) : nullptr;
}

const WorkbookModel* HostWindows::BookOf(HWND window) const {
  for (const auto& book : model_->Books())
    if (book->window == Handle(window)) return book.get();
  return nullptr;
}

std::unique_ptr<WorkbookModel> HostWindows::OtherWindowShown(HWND window) const {
  for (const auto& book : model_->Books())
    for (const OtherWindow& other : book->other_windows) {
      if (other.window != Handle(window)) continue;
      auto sheet = std::make_shared<SheetModel>(*book->sheets.at(other.active_sheet));
      const SheetView& view = other.views.at(other.active_sheet);
      sheet->selection = view.selection;
      sheet->active_row = view.active_row, sheet->active_column = view.active_column;
      auto shadow = std::make_unique<WorkbookModel>();
      shadow->sheets = {sheet};
      shadow->window = other.window;
      shadow->win = other.win;
      return shadow;
    }
  return nullptr;
}

const WorkbookModel* HostWindows::BookOfMain(HWND main) const {
  if (model_->HasWorkbook() && Main() == main) return model_->ActiveSheetModel().parent;
  for (const auto& book : model_->Books()) {
    if (book->main == Handle(main)) return book.get();
    for (const auto& other : book->other_windows)
      if (other.main == Handle(main)) return book.get();
  }
  return nullptr;
}

std::optional<POINT> HostWindows::CellCentreOnScreen(CellRef cell) const {
  const auto r = CellOnScreen(cell);
  if (!r) return std::nullopt;
  return POINT{(r->left + r->right) / 2, (r->top + r->bottom) / 2};
}

std::optional<RECT> HostWindows::CellOnScreen(CellRef cell) const {
  if (!model_->HasWorkbook()) return std::nullopt;
  const SheetModel& sheet = model_->ActiveSheetModel();
  const WindowLayout layout = model_->Layout(*sheet.parent);
  const PaneLayout& pane = PaneShowing(layout, cell.row, cell.column);
  if (cell.row < pane.first_row || cell.row > pane.last_row || cell.column < pane.first_column ||
      cell.column > pane.last_column)
    return std::nullopt;
  const ScreenRect r = CellRect(model_->Axes(sheet), layout, pane, cell.row, cell.column);
  return RECT{r.left, r.top, r.right, r.bottom};
}

void HostWindows::MirrorIntoModel() const {
  if (opening_) return;  // the model's handles are not all real yet
  SimDesktop& desktop = model_->Desktop();
  auto mirror = [&desktop](WindowHandle handle) {
    if (!desktop.Exists(handle)) return;
    HWND w = Hwnd(handle);
    SimDesktop::Window& m = desktop.Get(handle);
    RECT outer{}, client{};
    POINT corner{0, 0};
    ::GetWindowRect(w, &outer);
    ::GetClientRect(w, &client);
    ::ClientToScreen(w, &corner);
    m.frame = {corner.x - outer.left, corner.y - outer.top, outer.right - corner.x - client.right,
               outer.bottom - corner.y - client.bottom};
    if (m.parent) ::MapWindowPoints(nullptr, Hwnd(m.parent), reinterpret_cast<POINT*>(&outer), 2);
    m.rect = {outer.left, outer.top, outer.right, outer.bottom};
  };
  for (const auto& book : model_->Books()) {
    mirror(book->main);
    mirror(book->desk);
    mirror(book->window);
    for (const auto& other : book->other_windows) {
      mirror(other.main);
      mirror(other.desk);
      mirror(other.window);
    }
  }
  // Every display the system reports; Wine has one resolution for all of them.
  HDC screen = ::GetDC(nullptr);
  const SimDesktop::Display resolution{{}, double(::GetDeviceCaps(screen, LOGPIXELSX)), double(::GetDeviceCaps(screen, LOGPIXELSY))};
  ::ReleaseDC(nullptr, screen);
  std::vector<RECT> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) monitors.push_back({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  desktop.displays.clear();
  for (const RECT& r : monitors) {
    SimDesktop::Display d = resolution;
    d.rect = {r.left, r.top, r.right, r.bottom};
    desktop.displays.push_back(d);
  }
}

void HostWindows::Refresh() {
  if (opening_) return;
  HWND main = Main();
  if (main && main != followed_ && std::find(mains_.begin(), mains_.end(), main) != mains_.end()) {
    // Another workbook became the active one: its main window comes to the front with the strip.
    followed_ = main;
    following_ = true;
    if (strip_ && ::GetParent(strip_) != main) {
      ::SetParent(strip_, main);
      ::RedrawWindow(strip_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    OnMainSize(main);
    if (!::IsWindowVisible(main)) ::ShowWindow(main, SW_SHOW);
    if (::GetForegroundWindow() != main) ::SetForegroundWindow(main);
    following_ = false;
  }
  HWND book = Book();
  if (!book || !::IsWindow(book)) return;
  HWND desk = ::GetParent(book);
  if (::GetWindow(desk, GW_CHILD) != book) ::SetWindowPos(book, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateScrollBars();
  ::InvalidateRect(book, nullptr, FALSE);
  if (HWND status = ::FindWindowExW(Main(), nullptr, kStatusBarClass, nullptr)) ::InvalidateRect(status, nullptr, TRUE);
}

void HostWindows::PostQuit() const {
  if (HWND main = Main()) ::PostMessageW(main, kQuitMessage, 0, 0);
}

void HostWindows::Quit() {
  following_ = true;
  Guarded([&] { return on_close ? on_close() : void(), LRESULT{0}; });
  for (HWND main : std::vector<HWND>(mains_))
    if (::IsWindow(main)) ::DestroyWindow(main);
}

void HostWindows::OnActivate(HWND main) {
  if (following_) return;  // the windows following the model, not the user
  if (!model_->HasWorkbook() || main == Main()) return;
  // Any workbook window's own main window, the active workbook's other windows' too.
  const std::string caption = model_->CaptionOfMain(Handle(main));
  if (caption.empty()) return;
  model_->UserActivateWindow(caption);
  Refresh();
}

void HostWindows::OnMainClose(HWND main) {
  // From version 15 on the close box closes that workbook; the last one's closes the host.
  const WorkbookModel* book = BookOfMain(main);
  if (!model_->MainWindowPerWorkbook() || !book || (model_->Books().size() < 2 && book->other_windows.empty())) return Quit();
  // A workbook's second window closes alone: the window is activated and closed, the workbook stays.
  const std::string caption = model_->CaptionOfMain(Handle(main));
  if (book->other_windows.empty()) {
    const std::string name = book->name;
    model_->UserCloseWorkbook(name);
  } else if (!caption.empty()) {
    model_->UserActivateWindow(caption);
    model_->UserCloseWindow();
  }
  Refresh();
}

void HostWindows::OnMainSize(HWND main) {
  RECT rc{};
  ::GetClientRect(main, &rc);
  if (strip_ && ::GetParent(strip_) == main) ::MoveWindow(strip_, 0, 0, rc.right, kStripHeight, TRUE);
  if (HWND desk = ::FindWindowExW(main, nullptr, kDeskClass, nullptr))
    ::MoveWindow(desk, 0, kStripHeight, rc.right, std::max<LONG>(rc.bottom - kStripHeight - kStatusBarHeight, 0), TRUE);
  if (HWND status = ::FindWindowExW(main, nullptr, kStatusBarClass, nullptr))
    ::MoveWindow(status, 0, std::max<LONG>(rc.bottom - kStatusBarHeight, 0), rc.right, kStatusBarHeight, TRUE);
  MirrorIntoModel();
}

void HostWindows::OnPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window, &ps);
  RECT rc{};
  ::GetClientRect(window, &rc);
  // Drawn off screen first, so the grid never flickers under the add-in's windows.
  unique_dc mem(::CreateCompatibleDC(dc));
  unique_bitmap bits(::CreateCompatibleBitmap(dc, std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
  {
    unique_select_object use(mem.get(), bits.get());
    if (const WorkbookModel* book = BookOf(window)) {
      const SheetModel& sheet = *book->sheets[book->active_sheet];
      const bool active = window == Book();
      GridPainter(mem.get(), sheet, model_->Axes(sheet), model_->Layout(*book), ::GetDeviceCaps(dc, LOGPIXELSY))
          .Paint(active && model_->Editing(), model_->EditText());
    } else if (auto shadow = OtherWindowShown(window)) {
      // A window its workbook does not have active draws its own sheet, selection and view.
      const SheetModel& sheet = *shadow->sheets[0];
      GridPainter(mem.get(), sheet, model_->Axes(sheet), model_->Layout(*shadow), ::GetDeviceCaps(dc, LOGPIXELSY)).Paint(false, {});
    } else {
      Fill(mem.get(), rc, kHeaderFill);
    }
    ::BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(window, &ps);
}

void HostWindows::UpdateScrollBars() const {
  HWND window = Book();
  const SheetModel& sheet = model_->ActiveSheetModel();
  const WindowLayout layout = model_->Layout(*sheet.parent);
  if (layout.panes.empty()) return;
  const PaneLayout& pane = layout.panes.back();  // the one that scrolls both ways
  std::int32_t used_row = 1, used_column = 1;
  for (const auto& entry : sheet.cells) {
    used_row = std::max(used_row, entry.first.first);
    used_column = std::max(used_column, entry.first.second);
  }
  // As Excel's: the range reaches a page past the used cells or the view, whichever is further.
  auto set = [window](int bar, std::int32_t first, std::int32_t last, std::int32_t used, std::int32_t most) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nPage = static_cast<UINT>(std::max(1, last - first));
    si.nMin = 1;
    si.nMax = std::min(most, std::max(used, last) + static_cast<std::int32_t>(si.nPage));
    si.nPos = first;
    ::SetScrollInfo(window, bar, &si, TRUE);
  };
  set(SB_VERT, pane.first_row, pane.last_row, used_row, model_->MaxRow());
  set(SB_HORZ, pane.first_column, pane.last_column, used_column, model_->MaxColumn());
}

void HostWindows::OnScroll(bool vertical, int code) {
  if (!model_->HasWorkbook()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(Book(), vertical ? SB_VERT : SB_HORZ, &si);
  int by = 0;
  switch (code) {
    case SB_LINEUP: by = -1; break;
    case SB_LINEDOWN: by = 1; break;
    case SB_PAGEUP: by = -static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: by = static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: by = si.nTrackPos - si.nPos; break;
    default: return;
  }
  if (by == 0) return;
  // The view moves; Excel tells its add-ins nothing.
  model_->UserScroll(vertical ? by : 0, vertical ? 0 : by);
  Refresh();
}

void HostWindows::Select(CellRef cell) {
  if (model_->Editing()) model_->UserEndEdit(true);
  Refresh();
  model_->UserSelect(CellName(cell));
  Refresh();
}

void HostWindows::OnClick(int x, int y) {
  ::SetFocus(Book());
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  if (auto hit = CellAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y})) Select({hit->row, hit->column});
}

void HostWindows::OnRightClick(int x, int y) {
  ::SetFocus(Book());
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
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
  ShowCellMenu(Main(), *model_, at);
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
  if (::GetKeyState(VK_CONTROL) < 0 && !editing && (key == 'N' || key == VK_F6)) {
    // Ctrl+N opens a new workbook, Ctrl+F6 goes to the next window, of this workbook or the next.
    if (key == 'N') {
      model_->UserNewWorkbook(model_->NewWorkbookName());
    } else {
      const std::string next = model_->NextWindowCaption();
      if (!next.empty()) model_->UserActivateWindow(next);
    }
    Refresh();
    return;
  }
  switch (key) {
    case VK_RETURN:
      // Enter moves down, entering the typed text first; Ctrl+Enter enters it and stays.
      if (::GetKeyState(VK_CONTROL) < 0) {
        if (editing) model_->UserEndEdit(true);
      } else {
        MoveSelection(1, 0);
      }
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
    case WM_SIZE: return Guarded([&] { return self->OnMainSize(w), LRESULT{0}; });
    case WM_MOVE: return Guarded([&] { return self->MirrorIntoModel(), LRESULT{0}; });
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) Guarded([&] { return self->OnActivate(w), LRESULT{0}; });
      return ::DefWindowProcW(w, msg, wp, lp);
    case WM_SETFOCUS:
      if (const WorkbookModel* book = self->BookOfMain(w)) ::SetFocus(Hwnd(book->window));
      return 0;
    case WM_ENABLE:
      // A modal dialog disables its owner: every other main window of the host takes no input either.
      if (!self->enabling_) {
        self->enabling_ = true;
        for (HWND other : self->mains_)
          if (other != w) ::EnableWindow(other, static_cast<BOOL>(wp));
        self->enabling_ = false;
      }
      return 0;
    case WM_CLOSE: return Guarded([&] { return self->OnMainClose(w), LRESULT{0}; });
    case kQuitMessage: return Guarded([&] { return self->Quit(), LRESULT{0}; });
    case WM_DESTROY:
      std::erase(self->mains_, w);
      if (self->followed_ == w) self->followed_ = nullptr;
      if (self->mains_.empty()) ::PostQuitMessage(0);
      return 0;
    default: return ::DefWindowProcW(w, msg, wp, lp);
  }
}

LRESULT CALLBACK HostWindows::DeskProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  if (msg == WM_SIZE) {
    // The workbook windows are maximised in the desk.
    for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
      wchar_t name[16] = L"";
      ::GetClassNameW(c, name, 16);
      if (std::wstring(name) == kBookClass) ::MoveWindow(c, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    }
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK HostWindows::StripProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (self && msg == WM_COMMAND && self->on_strip_command)
    return Guarded([&] { return self->on_strip_command(LOWORD(wp)), LRESULT{0}; });
  if (self && msg == WM_DRAWITEM && self->on_strip_draw)
    return Guarded([&] { return LRESULT{self->on_strip_draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE}; });
  if (self && msg == WM_NCDESTROY) self->strip_ = nullptr;
  if (self && msg == WM_APP + 1 && self->on_strip_refresh)
    return Guarded([&] { return self->on_strip_refresh(), LRESULT{0}; });
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK HostWindows::BookProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Guarded([&] { return self->OnPaint(w), LRESULT{0}; });
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_LBUTTONDOWN:
      return Guarded([&] {
        const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        if (!self->BeginBorderDrag(x, y)) self->OnClick(x, y);
        return LRESULT{0};
      });
    case WM_LBUTTONUP:
      return Guarded([&] { return self->EndBorderDrag(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_CAPTURECHANGED:
      self->drag_.reset();
      return 0;
    case WM_RBUTTONDOWN:
      return Guarded([&] { return self->OnRightClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_CONTEXTMENU:
      return Guarded([&] { return self->OnContextMenu({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}), LRESULT{0}; });
    case WM_KEYDOWN: return Guarded([&] { return self->OnKeyDown(wp), LRESULT{0}; });
    case WM_VSCROLL:
    case WM_HSCROLL:
      return Guarded([&] { return self->OnScroll(msg == WM_VSCROLL, LOWORD(wp)), LRESULT{0}; });
    case WM_MOUSEWHEEL: return Guarded([&] { return self->OnWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp)), LRESULT{0}; });
    case WM_CHAR: return Guarded([&] { return self->OnChar(static_cast<wchar_t>(wp)), LRESULT{0}; });
    case WM_SIZE:
      // The host tells its add-ins when a workbook window changes size.
      return Guarded([&] {
        if (::IsWindowVisible(w) && w == self->Book()) {
          self->MirrorIntoModel();
          self->model_->UserResizeWindow();
        }
        return LRESULT{0};
      });
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    default: return ::DefWindowProcW(w, msg, wp, lp);
  }
}

}  // namespace tessaly::sim::exe
