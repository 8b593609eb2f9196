// The stand-in host's several windows on one workbook: each keeps its own selection, scroll and
// zoom, the window the user works in is the active one, and closing one keeps the workbook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/excel_sim.h"

namespace tessaly::sim {
namespace {

struct WindowEvents : IApplicationEvents {
  void SheetSelectionChange(const SheetPtr&, const RangePtr&) override {}
  void SheetActivate(const SheetPtr&) override {}
  void SheetDeactivate(const SheetPtr&) override {}
  void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    seen.push_back("activate " + wb->Name() + " " + wn->ActiveCell()->Address(false, false, xl::kA1, false));
  }
  void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr& wn) override {
    seen.push_back("deactivate " + wb->Name() + " " + wn->ActiveCell()->Address(false, false, xl::kA1, false));
  }
  void WindowResize(const WorkbookPtr&, const ExcelWindowPtr&) override {}
  std::vector<std::string> seen;
};

std::string ActiveCellOf(SimExcel& host) { return host.ActiveWindow()->ActiveCell()->Address(false, false, xl::kA1, false); }

class BookWindows : public ::testing::TestWithParam<const char*> {};

TEST_P(BookWindows, each_window_keeps_its_own_selection_scroll_and_zoom) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  auto events = std::make_shared<WindowEvents>();
  host->Advise(events);
  host->UserSelect("B2");
  host->UserNewWindow();
  EXPECT_EQ(host->WindowCaptions(), (std::vector<std::string>{"Book1:2", "Book1:1"}));
  EXPECT_EQ(host->Book("Book1").WindowCount(), 2);
  EXPECT_EQ(ActiveCellOf(*host), "B2") << "the new window shows what the first one showed";
  EXPECT_EQ(events->seen, (std::vector<std::string>{"deactivate Book1 B2", "activate Book1 B2"}));

  host->UserSelect("D5");
  host->UserScroll(10, 0);
  host->UserZoom(150);
  const WindowHandle second = host->Book("Book1").window;
  events->seen.clear();
  host->UserActivateWindow("Book1:1");
  EXPECT_EQ(events->seen, (std::vector<std::string>{"deactivate Book1 D5", "activate Book1 B2"}));
  EXPECT_EQ(ActiveCellOf(*host), "B2");
  EXPECT_EQ(host->ActiveCell()->Address(false, false, xl::kA1, false), "B2");
  EXPECT_EQ(host->ActiveWindow()->Zoom(), 100);
  EXPECT_EQ(host->ActiveWindow()->ActivePane()->ScrollRow(), 1);
  EXPECT_NE(host->Book("Book1").window, second);

  host->UserActivateWindow("Book1:2");
  EXPECT_EQ(ActiveCellOf(*host), "D5");
  EXPECT_EQ(host->ActiveWindow()->Zoom(), 150);
  EXPECT_EQ(host->ActiveWindow()->ActivePane()->ScrollRow(), 11);
  EXPECT_EQ(host->Book("Book1").window, second);
  EXPECT_EQ(host->WindowCaptions(), (std::vector<std::string>{"Book1:2", "Book1:1"})) << "numbers stay with their windows";
}

// The window the user works in is on top: its EXCEL7 first in its desk, and from version 15 on its
// own main window is the application's.
TEST_P(BookWindows, the_active_window_is_on_top) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  const WorkbookModel& book = host->Book("Book1");
  const WindowHandle first_main = book.main, first = book.window;
  host->UserNewWindow();
  SimDesktop& desk = host->Desktop();
  EXPECT_EQ(book.main != first_main, host->MainWindowPerWorkbook());
  for (const char* caption : {"Book1:1", "Book1:2", "Book1:1"}) {
    host->UserActivateWindow(caption);
    EXPECT_EQ(desk.FindChildWindow(book.desk, "EXCEL7", 0), book.window) << caption;
    EXPECT_EQ(desk.FindChildWindow(host->Hwnd(), "XLDESK", 0), book.desk) << caption;
  }
  EXPECT_EQ(book.window, first);
}

// Closing a window keeps the workbook with its other window, captioned by its name again; the
// closed window's object and its screen windows are gone. The last window closes the workbook.
TEST_P(BookWindows, closing_one_window_keeps_the_workbook) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  host->UserSelect("B2");
  host->UserNewWindow();
  host->UserSelect("C3");
  ExcelWindowPtr second = host->ActiveWindow();
  const WindowHandle second_window = host->Book("Book1").window;
  auto events = std::make_shared<WindowEvents>();
  host->Advise(events);
  host->UserCloseWindow();
  EXPECT_EQ(events->seen, (std::vector<std::string>{"deactivate Book1 C3", "activate Book1 B2"}));
  EXPECT_EQ(host->WindowCaptions(), std::vector<std::string>{"Book1"});
  EXPECT_FALSE(host->Desktop().Exists(second_window));
  EXPECT_TRUE(host->Desktop().Exists(host->Book("Book1").window));
  EXPECT_THROW(second->ActiveCell(), HostError);
  EXPECT_EQ(host->Workbooks("Book1")->Name(), "Book1");
  EXPECT_EQ(ActiveCellOf(*host), "B2");

  host->UserNewWindow();
  host->UserNewWindow();
  EXPECT_EQ(host->WindowCaptions(), (std::vector<std::string>{"Book1:3", "Book1:2", "Book1:1"}));
  host->UserActivateWindow("Book1:2");
  host->UserCloseWindow();
  EXPECT_EQ(host->WindowCaptions(), (std::vector<std::string>{"Book1:2", "Book1:1"})) << "the third is the second now";
  const WindowHandle left = host->Book("Book1").window;
  host->UserCloseWindow();
  host->UserCloseWindow();
  EXPECT_TRUE(host->WindowCaptions().empty());
  EXPECT_FALSE(host->Desktop().Exists(left));
  EXPECT_THROW(host->Workbooks("Book1"), HostError);
}

// A write through either window is in the one workbook, and both windows showing the sheet paint.
TEST_P(BookWindows, both_windows_show_the_one_sheet) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  host->UserNewWindow();
  const WindowHandle second = host->Book("Book1").window;
  host->UserActivateWindow("Book1:1");
  host->ActiveSheet()->Range("B2")->SetValue(Variant::number(7));
  host->UserActivateWindow("Book1:2");
  EXPECT_EQ(host->ActiveSheet()->Range("B2")->Value(), Variant::number(7));
  EXPECT_EQ(host->Book("Book1").window, second);
  const WindowHandle first = host->Book("Book1").other_windows.front().window;
  const auto painted = [&](WindowHandle w) { return host->Desktop().Repaints(w); };
  const auto before = std::pair(painted(first), painted(second));
  host->UserColumnWidth(2, 30);
  EXPECT_GT(painted(first), before.first);
  EXPECT_GT(painted(second), before.second);
}

// Ctrl+F6 goes round every window: each workbook in the order opened, its windows by number; a
// click on a window's own main window names that window.
TEST_P(BookWindows, ctrl_f6_goes_round_every_window) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  host->UserNewWindow();
  host->UserNewWorkbook("Book2");
  std::vector<std::string> round;
  for (int i = 0; i < 4; ++i) {
    host->UserActivateWindow(host->NextWindowCaption());
    round.push_back(host->WindowCaptions().front());
  }
  EXPECT_EQ(round, (std::vector<std::string>{"Book1:1", "Book1:2", "Book2", "Book1:1"}));
  const WorkbookModel& book = host->Book("Book1");
  EXPECT_EQ(host->CaptionOfMain(book.main), "Book1:1");
  if (host->MainWindowPerWorkbook()) {
    EXPECT_EQ(host->CaptionOfMain(book.other_windows.front().main), "Book1:2");
  }
}

// Application.Windows, Workbook.Windows and Workbook.NewWindow: the active window is Windows(1),
// a window is found by its caption, and a window object kept follows its caption's renumbering.
TEST_P(BookWindows, the_windows_collection_puts_the_active_window_first) {
  auto host = SimExcel::Create(GetParam());
  host->AddWorkbook("Book1");
  const ExcelWindowPtr first = host->Windows("").at(0);
  EXPECT_EQ(first->Caption(), "Book1");
  const ExcelWindowPtr second = host->NewWindow("book1");
  EXPECT_EQ(second->Caption(), "Book1:2");
  EXPECT_EQ(first->Caption(), "Book1:1");
  const auto all = host->Windows("Book1");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->Caption(), "Book1:2");
  EXPECT_EQ(all[1]->Caption(), "Book1:1");
  EXPECT_EQ(host->WindowsItem("", "BOOK1:1")->Caption(), "Book1:1");
  EXPECT_THROW(first->Zoom(), HostError) << "only the workbook's active window answers for its view";
  EXPECT_THROW(host->WindowsItem("", "Book1:3"), HostError);
  EXPECT_THROW(host->Windows("Book9"), HostError);
}

INSTANTIATE_TEST_SUITE_P(versions, BookWindows, ::testing::Values("12.0", "16.0"));

}  // namespace
}  // namespace tessaly::sim
