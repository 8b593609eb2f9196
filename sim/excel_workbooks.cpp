// The stand-in's workbooks and sheets: opening and closing them, Workbook, Worksheet and Chart
// sheet members, and embedded charts.
#include "sim/excel_sim.h"

#include <algorithm>

#include "host/rounding.h"
#include "host/text.h"
#include "sim/excel_member.h"

namespace tessaly::sim {

namespace {

class SimChartObject : public IChartObject {
 public:
  SimChartObject(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet, std::shared_ptr<ChartModel> chart)
      : host_(std::move(host)), sheet_(std::move(sheet)), chart_(std::move(chart)) {}
  void SetPlacement(std::int32_t placement) override { Enter("ChartObject.Placement.set"), chart_->placement = placement; }
  void SetLeft(double points) override { Enter("ChartObject.Left.set"), chart_->left = points; }
  void SetTop(double points) override { Enter("ChartObject.Top.set"), chart_->top = points; }
  // The chart opens in its own EXCELE window inside XLDESK, over the chart's place on screen.
  void Activate() override {
    Enter("ChartObject.Activate");
    WorkbookModel& book = *sheet_->parent;
    WindowLayout layout = host_->Layout(book);
    SheetAxes axes = host_->Axes(*sheet_);
    auto row = sheet_->rows.IndexAtPoints(chart_->top, host_->MaxRow());
    auto column = sheet_->columns.IndexAtPoints(chart_->left, host_->MaxColumn());
    const PaneLayout& pane = PaneShowing(layout, row, column);
    const ScreenRect on_screen = ObjectRect(axes, layout, pane, chart_->left, chart_->top, chart_->width, chart_->height);
    SimDesktop& desk = host_->Desktop();
    ScreenPoint in_desk = desk.ScreenToClient(host_->DeskWindow(), {on_screen.left, on_screen.top});
    ScreenRect rect{in_desk.x, in_desk.y, in_desk.x + on_screen.width(), in_desk.y + on_screen.height()};
    if (WindowHandle old = desk.FindChildWindow(host_->DeskWindow(), "EXCELE", 0)) desk.RemoveWindow(old);
    WindowHandle chart_window = desk.NewHandle();
    desk.AddChild(host_->DeskWindow(), chart_window, "EXCELE", rect);
    desk.BringToTop(chart_window);
  }
  // The chart goes at once; its EXCELE window lingers until the host next handles its messages.
  void Delete() override {
    Enter("ChartObject.Delete");
    chart_->deleted = true;
    std::erase(sheet_->charts, chart_);
    std::weak_ptr<SimExcel> host = host_;
    host_->Post([host] {
      if (auto h = host.lock())
        while (WindowHandle w = h->Desktop().FindChildWindow(h->DeskWindow(), "EXCELE", 0)) h->Desktop().RemoveWindow(w);
    });
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, chart_->deleted || sheet_->closed); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
  std::shared_ptr<ChartModel> chart_;
};

class SimSheet : public ISheet {
 public:
  SimSheet(std::shared_ptr<SimExcel> host, std::shared_ptr<SheetModel> sheet) : host_(std::move(host)), sheet_(std::move(sheet)) {}
  std::int32_t Type() override {
    Enter("Sheet.Type");
    return sheet_->type;
  }
  std::string Name() override {
    Enter("Sheet.Name");
    return sheet_->name;
  }
  bool ProtectContents() override {
    Enter("Sheet.ProtectContents");
    return sheet_->protect_contents;
  }
  RangePtr Cells(std::int32_t row, std::int32_t column) override {
    Enter("Sheet.Cells");
    RequireWorksheet();
    if (row < 1 || column < 1 || row > host_->MaxRow() || column > host_->MaxColumn())
      throw HostError(kErrApplication, "Application-defined or object-defined error");
    return host_->RangeObject(sheet_, {Area{row, column, row, column}});
  }
  RangePtr Range(const std::string& a1) override {
    Enter("Sheet.Range");
    RequireWorksheet();
    return host_->RangeObject(sheet_, address::Parse(a1, host_->MaxRow(), host_->MaxColumn()));
  }
  WorkbookPtr Parent() override {
    Enter("Sheet.Parent");
    return host_->WorkbookObject(host_->BookShared(sheet_->parent));
  }
  Variant Evaluate(const std::string& formula) override {
    Enter("Sheet.Evaluate");
    return host_->EvaluateOn(*sheet_, formula);
  }
  ChartObjectPtr ChartObjectsAdd(double left, double top, double width, double height) override {
    Enter("Sheet.ChartObjects.Add");
    RequireWorksheet();
    auto chart = std::make_shared<ChartModel>(ChartModel{left, top, width, height});
    sheet_->charts.push_back(chart);
    return std::make_shared<SimChartObject>(host_, sheet_, chart);
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, sheet_->closed); }
  void RequireWorksheet() {
    if (sheet_->type != xl::kWorksheet) throw HostError(438, "Object doesn't support this property or method");
  }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<SheetModel> sheet_;
};

// A defined name; what it refers to is read afresh at each call, as the user may redefine it.
class SimName : public IName {
 public:
  SimName(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book, std::string name)
      : host_(std::move(host)), book_(std::move(book)), name_(std::move(name)) {}
  RangePtr RefersToRange() override {
    EnterLive(*host_, "Name.RefersToRange", book_->closed);
    const auto it = std::find_if(book_->names.begin(), book_->names.end(), [&](const auto& n) { return iequals(n.first, name_); });
    if (it == book_->names.end()) throw HostError(kErrApplication, "Application-defined or object-defined error");
    // "=Sheet!address" on a worksheet of this workbook; a constant or a formula is no range.
    const std::string& refers = it->second;
    const std::size_t bang = refers.rfind('!');
    if (refers.empty() || refers[0] != '=' || bang == std::string::npos)
      throw HostError(kErrApplication, "Application-defined or object-defined error");
    std::string sheet = refers.substr(1, bang - 1);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
    for (const auto& s : book_->sheets) {
      if (s->type != xl::kWorksheet || !iequals(s->name, sheet)) continue;
      try {
        return host_->RangeObject(s, address::Parse(refers.substr(bang + 1), host_->MaxRow(), host_->MaxColumn()));
      } catch (const HostError&) {
        break;
      }
    }
    throw HostError(kErrApplication, "Application-defined or object-defined error");
  }

 private:
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
  std::string name_;
};

class SimWorkbook : public IWorkbook {
 public:
  SimWorkbook(std::shared_ptr<SimExcel> host, std::shared_ptr<WorkbookModel> book) : host_(std::move(host)), book_(std::move(book)) {}
  std::string Name() override {
    Enter("Workbook.Name");
    return book_->name;
  }
  bool ReadOnly() override {
    Enter("Workbook.ReadOnly");
    return book_->read_only;
  }
  bool IsInplace() override {
    Enter("Workbook.IsInplace");
    return book_->inplace;
  }
  SheetPtr Worksheets(const std::string& name) override {
    Enter("Workbook.Worksheets");
    for (const auto& s : book_->sheets)
      if (s->type == xl::kWorksheet && iequals(s->name, name)) return host_->SheetObject(s);
    throw HostError(kErrSubscript, "Subscript out of range");
  }
  NamePtr Names(const std::string& name) override {
    Enter("Workbook.Names");
    for (const auto& n : book_->names)
      if (iequals(n.first, name)) return std::make_shared<SimName>(host_, book_, n.first);
    throw HostError(kErrApplication, "Application-defined or object-defined error");
  }

 private:
  void Enter(const char* member) { EnterLive(*host_, member, book_->closed); }
  std::shared_ptr<SimExcel> host_;
  std::shared_ptr<WorkbookModel> book_;
};

}  // namespace

WorkbookModel& SimExcel::AddWorkbook(const std::string& name, const std::vector<std::string>& sheets) {
  auto book = std::make_shared<WorkbookModel>();
  book->name = name;
  book->window = FreshHandle();
  book->main = hwnd_, book->desk = desk_;
  const bool own_main = MainWindowPerWorkbook() &&
                        (!desktop_->Exists(hwnd_) || std::any_of(books_.begin(), books_.end(), [&](const auto& b) { return b->main == hwnd_; }));
  if (own_main) {
    // A main window of its own, cascaded from the host's first one, with the same ribbon and desk.
    const WindowHandle first = desktop_->Exists(hwnd_) ? hwnd_ : 0;
    const ScreenRect at = first ? desktop_->Get(first).rect : ScreenRect{0, 0, 1280, 800};
    const std::int32_t step = 30 * std::int32_t(books_.size() % 8);
    book->main = FreshHandle();
    book->desk = FreshHandle();
    desktop_->AddWindow(book->main, "XLMAIN", desktop_->current_process,
                        {at.left + step, at.top + step, at.right + step, at.bottom + step}).frame = {4, 30, 4, 4};
    desktop_->AddChild(book->main, book->desk, "XLDESK", {0, 120, at.width() - 8, at.height() - 56});
  }
  // Maximised inside the desk, under the active workbook's window.
  desktop_->AddChild(book->desk, book->window, "EXCEL7", desktop_->ClientRect(book->desk));
  for (const std::string& s : sheets) {
    auto sheet = std::make_shared<SheetModel>();
    sheet->name = s;
    sheet->parent = book.get();
    book->sheets.push_back(sheet);
  }
  books_.push_back(book);
  ++opened_;
  if (!active_book_) active_book_ = book;  // set-up opens in the background; UserActivateWorkbook switches
  RaiseWindow(*active_book_);
  if (on_book_opened) on_book_opened(*book);
  return *book;
}

SheetModel& SimExcel::AddChartSheet(const std::string& workbook, const std::string& name) {
  WorkbookModel& book = Book(workbook);
  auto sheet = std::make_shared<SheetModel>();
  sheet->name = name;
  sheet->type = xl::kChart;
  sheet->parent = &book;
  book.sheets.push_back(sheet);
  return *sheet;
}

WorkbookModel& SimExcel::Book(const std::string& name) {
  for (auto& b : books_)
    if (iequals(b->name, name)) return *b;
  throw HostError(kErrSubscript, "no workbook " + name);
}

SheetModel& SimExcel::Sheet(const std::string& workbook, const std::string& sheet) {
  for (auto& s : Book(workbook).sheets)
    if (iequals(s->name, sheet)) return *s;
  throw HostError(kErrSubscript, "no sheet " + sheet);
}

SheetModel& SimExcel::ActiveSheetModel() {
  auto book = ActiveBook();
  if (!book) throw HostError(kErrApplication, "no workbook is open");
  return *book->sheets[book->active_sheet];
}

void SimExcel::CloseWorkbook(const std::string& name) {
  for (auto it = books_.begin(); it != books_.end(); ++it)
    if (iequals((*it)->name, name)) {
      (*it)->closed = true;
      for (auto& s : (*it)->sheets) s->closed = true;
      // A workbook's own main window goes with it, and every window inside it.
      const WindowHandle gone = MainWindowPerWorkbook() ? (*it)->main : (*it)->window;
      desktop_->RemoveWindow(gone);
      for (const auto& w : (*it)->other_windows) {
        const WindowHandle other = MainWindowPerWorkbook() ? w.main : w.window;
        desktop_->RemoveWindow(other);
        if (on_window_closed) on_window_closed(other);
      }
      if (active_book_ == *it) active_book_ = nullptr;
      books_.erase(it);
      if (!active_book_ && !books_.empty()) active_book_ = books_.back();
      if (on_window_closed) on_window_closed(gone);
      return;
    }
}

std::shared_ptr<SheetModel> SimExcel::SheetShared(const SheetModel* sheet) const {
  for (const auto& b : books_)
    for (const auto& s : b->sheets)
      if (s.get() == sheet) return s;
  Disconnected();
}

std::shared_ptr<WorkbookModel> SimExcel::BookShared(const WorkbookModel* book) const {
  for (const auto& b : books_)
    if (b.get() == book) return b;
  Disconnected();
}

WorkbookPtr SimExcel::WorkbooksAdd() {
  Enter("Workbooks.Add");
  UserNewWorkbook(NewWorkbookName());
  return WorkbookObject(active_book_);
}

std::int32_t SimExcel::WorkbooksCount() {
  Enter("Workbooks.Count");
  return static_cast<std::int32_t>(books_.size());
}

void SimExcel::UserRenameSheet(const std::string& workbook, const std::string& old_name, const std::string& new_name) {
  Sheet(workbook, old_name).name = new_name;
}

SheetPtr SimExcel::SheetObject(const std::shared_ptr<SheetModel>& sheet) {
  return std::make_shared<SimSheet>(shared_from_this(), sheet);
}
WorkbookPtr SimExcel::WorkbookObject(const std::shared_ptr<WorkbookModel>& book) {
  return std::make_shared<SimWorkbook>(shared_from_this(), book);
}
WorkbookPtr SimExcel::Workbooks(const std::string& name) {
  Enter("Application.Workbooks");
  for (const auto& b : books_)
    if (iequals(b->name, name)) return WorkbookObject(b);
  throw HostError(kErrSubscript, "Subscript out of range");
}

}  // namespace tessaly::sim
