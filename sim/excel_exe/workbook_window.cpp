// The stand-in Excel's window trees: creation, layout, activation and closing of the main windows
// and their workbook windows, and the workbook window's painting.
#include "sim/excel_exe/workbook_window.h"

#include <algorithm>
#include <string>

#include "sim/excel_exe/grid_painter.h"
#include "sim/excel_exe/window_procedure.h"
#include "win/ui/gdi_graphics.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

using win::gdi::unique_bitmap;
using win::gdi::unique_dc;
using win::gdi::unique_select_object;

constexpr wchar_t kMainClass[] = L"XLMAIN";
constexpr wchar_t kDeskClass[] = L"XLDESK";
constexpr wchar_t kBookClass[] = L"EXCEL7";
constexpr wchar_t kStripClass[] = L"TessalyStandInRibbon";

constexpr UINT kQuitMessage = WM_APP + 2;

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
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
    desk = main ? ::CreateWindowExW(0, kDeskClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, RibbonHeight(), 10, 10,
                                    main, nullptr, inst, this)
                : nullptr;
    if (main) mains_.push_back(main);
    if (main && !::CreateWindowExW(0, kStatusBarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, kStatusBarHeight, main, nullptr, inst, this))
      throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
    if (main && !strip_) {
      strip_ = ::CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, RibbonHeight(),
                                 main, nullptr, inst, this);
      if (strip_) CreateViewCommands(main);
    }
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
  if (formula_bar_ && ::GetParent(formula_bar_) == w && next && next != w && ::IsWindow(next)) ::SetParent(formula_bar_, next);
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
  if (laid_out_collapsed_ != model_->RibbonCollapsed() || laid_out_formula_bar_ != model_->FormulaBarShown()) {
    // The ribbon or the formula bar changed: every main window's desk moves, and Excel tells no add-in.
    laid_out_collapsed_ = model_->RibbonCollapsed();
    laid_out_formula_bar_ = model_->FormulaBarShown();
    quiet_resize_ = true;
    for (HWND each : mains_) OnMainSize(each);
    quiet_resize_ = false;
  }
  HWND main = Main();
  if (main && main != followed_ && std::find(mains_.begin(), mains_.end(), main) != mains_.end()) {
    // Another workbook became the active one: its main window comes to the front with the strip.
    followed_ = main;
    following_ = true;
    if (strip_ && ::GetParent(strip_) != main) {
      ::SetParent(strip_, main);
      ::RedrawWindow(strip_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (formula_bar_ && ::GetParent(formula_bar_) != main) ::SetParent(formula_bar_, main);
    OnMainSize(main);
    if (!::IsWindowVisible(main)) ::ShowWindow(main, SW_SHOW);
    if (::GetForegroundWindow() != main) ::SetForegroundWindow(main);
    following_ = false;
  }
  HWND book = Book();
  if (!book || !::IsWindow(book)) return;
  HWND desk = ::GetParent(book);
  if (::GetWindow(desk, GW_CHILD) != book) ::SetWindowPos(book, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A right-to-left sheet has its vertical scroll bar at the left, as in Excel.
  const LONG_PTR style = ::GetWindowLongPtrW(book, GWL_EXSTYLE);
  const LONG_PTR mirrored = model_->ActiveSheetModel().right_to_left ? style | WS_EX_LEFTSCROLLBAR : style & ~LONG_PTR{WS_EX_LEFTSCROLLBAR};
  if (mirrored != style) {
    ::SetWindowLongPtrW(book, GWL_EXSTYLE, mirrored);
    ::SetWindowPos(book, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    MirrorIntoModel();
  }
  UpdateScrollBars();
  UpdateFormulaBar();
  PlaceViewCommands();  // the add-in's controls may have changed
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
  LayOutBands(main, rc);
  const int top = RibbonHeight() + FormulaBarHeight();
  if (HWND desk = ::FindWindowExW(main, nullptr, kDeskClass, nullptr))
    ::MoveWindow(desk, 0, top, rc.right, std::max<LONG>(rc.bottom - top - kStatusBarHeight, 0), TRUE);
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
      PaintGrid(mem.get(), sheet, model_->Axes(sheet), model_->Layout(*book), ::GetDeviceCaps(dc, LOGPIXELSY),
                active && model_->Editing(), model_->EditText());
    } else if (auto shadow = OtherWindowShown(window)) {
      // A window its workbook does not have active draws its own sheet, selection and view.
      const SheetModel& sheet = *shadow->sheets[0];
      PaintGrid(mem.get(), sheet, model_->Axes(sheet), model_->Layout(*shadow), ::GetDeviceCaps(dc, LOGPIXELSY), false, {});
    } else {
      PaintBlank(mem.get(), rc);
    }
    ::BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(window, &ps);
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
  if (self && msg == WM_COMMAND)
    return Guarded([&] {
      if (!self->OnViewCommand(LOWORD(wp)) && self->on_strip_command) self->on_strip_command(LOWORD(wp));
      return LRESULT{0};
    });
  // A double click on the ribbon's tabs collapses it, or shows it in full again, as in Excel.
  if (self && msg == WM_LBUTTONDBLCLK) return Guarded([&] { return self->ToggleRibbon(), LRESULT{0}; });
  if (self && msg == WM_DRAWITEM && self->on_strip_draw)
    return Guarded([&] { return LRESULT{self->on_strip_draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE}; });
  if (self && msg == WM_NCDESTROY) self->strip_ = nullptr;
  if (self && msg == WM_APP + 1 && self->on_strip_refresh)
    return Guarded([&] { return self->on_strip_refresh(), LRESULT{0}; });
  return ::DefWindowProcW(w, msg, wp, lp);
}

}  // namespace tessaly::sim::exe
