// The stand-in's several windows on one workbook (View > New Window): each keeps its own sheet,
// selection, scroll, zoom and panes; only the active one's live in the workbook and its sheets,
// the others are kept aside until they are activated again.
#include "sim/excel_sim.h"

#include <algorithm>

#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

std::string WorkbookModel::Caption(std::int32_t id) const {
  if (other_windows.empty()) return name;
  std::int32_t number = 1;
  for (const auto& w : other_windows)
    if (w.id < id) ++number;
  if (window_id < id) ++number;
  return name + ":" + std::to_string(number);
}

std::vector<std::string> SimExcel::WindowCaptions() const {
  std::vector<std::string> captions;
  auto add = [&](const WorkbookModel& b) {
    captions.push_back(b.Caption(b.window_id));
    for (const auto& w : b.other_windows) captions.push_back(b.Caption(w.id));
  };
  if (active_book_) add(*active_book_);
  for (const auto& b : books_)
    if (b != active_book_) add(*b);
  return captions;
}

std::vector<ExcelWindowPtr> SimExcel::Windows(const std::string& book) {
  Enter(book.empty() ? "Application.Windows" : "Workbook.Windows");
  const WorkbookModel* only = book.empty() ? nullptr : &Book(book);
  std::vector<ExcelWindowPtr> windows;
  auto add = [&](const std::shared_ptr<WorkbookModel>& b) {
    if (only && b.get() != only) return;
    windows.push_back(WindowObject(b));
    for (const auto& w : b->other_windows) windows.push_back(WindowObject(b, w.id));
  };
  if (active_book_) add(active_book_);
  for (const auto& b : books_)
    if (b != active_book_) add(b);
  return windows;
}

ExcelWindowPtr SimExcel::WindowsItem(const std::string& book, const std::string& caption) {
  for (const auto& w : Windows(book))
    if (iequals(w->Caption(), caption)) return w;
  throw HostError(kErrSubscript, "Subscript out of range");
}

ExcelWindowPtr SimExcel::NewWindow(const std::string& book) {
  Enter("Workbook.NewWindow");
  const auto target = BookShared(&Book(book));
  if (target != active_book_) UserActivateWorkbook(target->name);
  UserNewWindow();
  return WindowObject(target);
}

namespace {

std::vector<SheetView> TakeViews(const WorkbookModel& book) {
  std::vector<SheetView> views;
  for (const auto& s : book.sheets) views.push_back({s->selection, s->active_row, s->active_column, s->selected_object});
  return views;
}

void PutViews(WorkbookModel& book, const std::vector<SheetView>& views) {
  for (std::size_t i = 0; i < book.sheets.size() && i < views.size(); ++i) {
    SheetModel& s = *book.sheets[i];
    s.selection = views[i].selection;
    s.active_row = views[i].active_row, s.active_column = views[i].active_column;
    s.selected_object = views[i].selected_object;
  }
}

OtherWindow TakeActive(const WorkbookModel& book) {
  return {book.window_id, book.window, book.main, book.desk, book.win, book.active_sheet, TakeViews(book)};
}

void PutActive(WorkbookModel& book, const OtherWindow& w) {
  book.window_id = w.id;
  book.window = w.window, book.main = w.main, book.desk = w.desk;
  book.win = w.win;
  book.active_sheet = w.active_sheet;
  PutViews(book, w.views);
}

}  // namespace

void SimExcel::SwapWindow(WorkbookModel& book, std::size_t other) {
  OtherWindow next = book.other_windows.at(other);
  book.other_windows.erase(book.other_windows.begin() + std::ptrdiff_t(other));
  book.other_windows.insert(book.other_windows.begin(), TakeActive(book));
  PutActive(book, next);
}

void SimExcel::RaiseWindowEvent(const std::shared_ptr<WorkbookModel>& book, bool activate) {
  WorkbookPtr wb = WorkbookObject(book);
  ExcelWindowPtr wn = WindowObject(book);
  if (activate) Raise([&](IApplicationEvents& e) { e.WindowActivate(wb, wn); });
  else Raise([&](IApplicationEvents& e) { e.WindowDeactivate(wb, wn); });
}

void SimExcel::UserNewWindow() {
  auto book = ActiveBook();
  if (!book) return;
  // The new window shows what the active one shows; up to version 14 it opens in the one desk,
  // from 15 on in a main window of its own, cascaded from the workbook's.
  OtherWindow fresh = TakeActive(*book);
  fresh.id = book->next_window_id++;
  fresh.window = FreshHandle();
  if (MainWindowPerWorkbook()) {
    const ScreenRect at = desktop_->Exists(book->main) ? desktop_->Get(book->main).rect : ScreenRect{0, 0, 1280, 800};
    fresh.main = FreshHandle();
    fresh.desk = FreshHandle();
    desktop_->AddWindow(fresh.main, "XLMAIN", desktop_->current_process,
                        {at.left + 30, at.top + 30, at.right + 30, at.bottom + 30}).frame = {4, 30, 4, 4};
    desktop_->AddChild(fresh.main, fresh.desk, "XLDESK", {0, 120, at.width() - 8, at.height() - 56});
  }
  desktop_->AddChild(fresh.desk, fresh.window, "EXCEL7", desktop_->ClientRect(fresh.desk));
  RaiseWindowEvent(book, false);
  book->other_windows.insert(book->other_windows.begin(), fresh);
  SwapWindow(*book, 0);
  if (on_book_opened) on_book_opened(*book);
  RaiseWindow(*book);
  RaiseWindowEvent(book, true);
}

std::string SimExcel::NextWindowCaption() const {
  // Ctrl+F6's round: every workbook in the order opened, each one's windows by number.
  std::vector<std::string> round;
  std::string active;
  for (const auto& b : books_) {
    std::vector<std::int32_t> ids{b->window_id};
    for (const auto& w : b->other_windows) ids.push_back(w.id);
    std::sort(ids.begin(), ids.end());
    for (std::int32_t id : ids) round.push_back(b->Caption(id));
    if (b == active_book_) active = b->Caption(b->window_id);
  }
  const auto at = std::find(round.begin(), round.end(), active);
  if (at == round.end()) return {};
  return std::next(at) == round.end() ? round.front() : *std::next(at);
}

std::string SimExcel::CaptionOfMain(WindowHandle main) const {
  for (const auto& b : books_) {
    if (b->main == main) return b->Caption(b->window_id);
    for (const auto& w : b->other_windows)
      if (w.main == main) return b->Caption(w.id);
  }
  return {};
}

void SimExcel::UserActivateWindow(const std::string& caption) {
  for (const auto& b : books_) {
    if (iequals(b->Caption(b->window_id), caption)) return UserActivateWorkbook(b->name);
    for (std::size_t i = 0; i < b->other_windows.size(); ++i) {
      if (!iequals(b->Caption(b->other_windows[i].id), caption)) continue;
      if (active_book_) RaiseWindowEvent(active_book_, false);
      SwapWindow(*b, i);
      active_book_ = b;
      RaiseWindow(*b);
      RaiseWindowEvent(b, true);
      return;
    }
  }
  throw HostError(kErrSubscript, "no window " + caption);
}

void SimExcel::UserCloseWindow() {
  auto book = ActiveBook();
  if (!book) return;
  if (book->other_windows.empty()) return UserCloseWorkbook(book->name);
  RaiseWindowEvent(book, false);
  // The window goes, with its own main window from version 15 on; the workbook's most recently
  // active other window takes its place.
  const WindowHandle gone = book->main != book->other_windows.front().main ? book->main : book->window;
  SwapWindow(*book, 0);
  book->other_windows.erase(book->other_windows.begin());
  desktop_->RemoveWindow(gone);
  if (on_window_closed) on_window_closed(gone);
  RaiseWindow(*book);
  RaiseWindowEvent(book, true);
}

}  // namespace tessaly::sim
