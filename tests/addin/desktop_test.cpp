// The add-in on a desktop as users have it: a main window per workbook, workbooks opened and closed,
// scrolling and zoom that the host reports by no event, and a second display.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "tests/addin/desktop_world.h"

namespace tessaly::testing {
namespace {

using sim::SimExcel;

// From Excel 2013 on each workbook has its own main window: the tag goes into the active one's,
// and when the first workbook closes, taking the parked tag with its main window, a new tag is made.
TEST(workbook_windows, the_tag_follows_the_active_workbook_and_outlives_a_closed_one) {
  DesktopWorld w;
  sim::WorkbookModel& book1 = w.host->Book("Book1");
  w.host->UserSelect("B2");
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag_window().parent, book1.window);

  w.host->UserNewWorkbook("Book2");
  sim::WorkbookModel& book2 = w.host->Book("Book2");
  ASSERT_NE(book2.main, book1.main);
  w.DateCell("Book2", "C3");
  w.host->UserSelect("C3");
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag_window().parent, book2.window);
  EXPECT_EQ(w.tag().X(), w.Painted("Book2", "C3").right + 13);
  EXPECT_EQ(w.addin->Module().ExcelMainWindow, book2.main);

  w.host->UserActivateWorkbook("Book1");  // back to B2, whose tag is parked in Book1's main window
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag_window().parent, book1.window);
  w.host->UserCloseWorkbook("Book1");
  ASSERT_TRUE(w.Shown()) << "Book2's C3 gets a tag again";
  EXPECT_EQ(w.parts.tags_made, 2);
  EXPECT_EQ(w.tag_window().parent, w.host->Book("Book2").window);
  EXPECT_EQ(w.tag().WorkbookName(), "Book2");
}

// The main window found at connection closes with the first workbook: Settings and About, from
// the toolbar's handlers or the ribbon, open over the main window active when they are given.
TEST(workbook_windows, commands_open_over_the_active_main_window) {
  DesktopWorld w;
  w.host->UserNewWorkbook("Book2");
  w.host->UserCloseWorkbook("Book1");
  w.addin->Controller()->cbbSettings_Click();
  w.addin->Controller()->cbbAbout_Click();
  RibbonControl settings("ZorelButtonSettings");
  w.addin->ZorelButtonProc(settings);
  const WindowHandle main = w.host->Book("Book2").main;
  EXPECT_EQ(w.parts.dialog_owners, std::vector<WindowHandle>(3, main));
}

// Before Excel 2013 the one main window of the session is used and Window.Hwnd, which the object
// model lacks there, is never asked.
TEST(workbook_windows, one_main_window_before_excel_2013) {
  DesktopWorld w("14.0");
  w.host->AddWorkbook("Book2");
  EXPECT_EQ(w.host->Book("Book2").main, w.host->Book("Book1").main);
  w.host->UserSelect("B2");
  EXPECT_TRUE(w.Shown());
  EXPECT_EQ(w.host->Calls("Window.Hwnd"), 0);
}

// The wheel, the scroll bars and Ctrl+wheel change what the window shows without an event: the tag
// and the calendar go, and the next selection brings the tag back.
TEST(workbook_windows, scrolling_and_zoom_hide_the_tag_and_the_calendar) {
  const std::function<void(SimExcel&)> moves[] = {
      [](SimExcel& h) { h.UserScroll(3, 0); }, [](SimExcel& h) { h.UserScroll(0, 1); },
      [](SimExcel& h) { h.UserZoom(150); }};
  for (const auto& move : moves) {
    DesktopWorld w;
    w.host->UserSelect("B2");
    w.tag().TriggerClickEvent();
    ASSERT_TRUE(w.parts.calendar->Shown());
    move(*w.host);
    EXPECT_FALSE(w.tag().Displayed());
    EXPECT_FALSE(w.tag_window().visible);
    EXPECT_FALSE(w.parts.calendar->Shown());
    w.host->UserSelect("E20");
    w.host->UserSelect("B2");
    EXPECT_EQ(w.Shown(), w.host->Book("Book1").win.scroll_row[0] <= 2);
    EXPECT_EQ(w.host->Desktop().Watches(w.host->Book("Book1").window), 1u) << "one watch per window";
  }
}

// A cell on the second display gets its tag beside it, though most of the workbook window lies on
// the first.
TEST(workbook_windows, a_cell_on_the_second_display_gets_its_tag_beside_it) {
  DesktopWorld w;
  sim::SimDesktop& desk = w.host->Desktop();
  desk.displays = {{{0, 0, 1920, 1080}}, {{1920, 0, 3840, 1080}}};
  desk.Get(w.host->Book("Book1").main).rect = {800, 100, 2100, 900};
  w.DateCell("Book1", "R2");  // column R ends past 1920
  w.host->UserSelect("R2");
  ASSERT_TRUE(w.Shown());
  const ScreenRect cell = w.Painted("Book1", "R2");
  ASSERT_GT(cell.right, 1920);
  EXPECT_EQ(w.tag().X(), cell.right + 13);
  EXPECT_EQ(w.tag().Y(), cell.top);
}

// While dates may carry a time, a picked day keeps the cell's 14:30 however the real pop-up picks
// it: a click on the day, arrow keys and Enter, or a screen reader's default action on the cell.
TEST(picking, the_cells_time_of_day_is_kept_on_every_route) {
  const double june_10 = *serial::from_ymd(2024, 6, 10);
  const std::pair<const char*, std::function<void(calendar::frmCal&, sim::HeadlessCalendarFormWindow&)>> routes[] = {
      {"click", [&](calendar::frmCal& form, sim::HeadlessCalendarFormWindow& window) {
         for (const calendar::clsDateItem& d : form.Calendar().DayCells())
           if (d.DateTime() == june_10 + 3) window.headless_picture().click((d.Left() + d.Right()) / 2, (d.TOp() + d.Bottom()) / 2);
       }},
      {"keys", [](calendar::frmCal&, sim::HeadlessCalendarFormWindow& window) {
         for (int key : {vk::kRight, vk::kRight, vk::kRight, 0x0D}) window.headless_picture().key_down(key);
       }},
      {"invoke", [](calendar::frmCal&, sim::HeadlessCalendarFormWindow& window) {
         IAccessibleSource& grid = *window.headless_picture().accessible();
         grid.DoDefaultAction(grid.SelectedChild() + 3);
       }},
  };
  for (const auto& [route, pick] : routes) {
    SCOPED_TRACE(route);
    DesktopWorld w;
    w.parts.clock = &w.platform.clock;
    w.addin->Module().RegMan->Value(opt::DateCanContainTime, Variant::boolean(true));
    SimExcel::Cell(w.host->Sheet("Book1", "Sheet1"), "B2").value = Variant::date(june_10 + serial::time_fraction(14, 30, 0));
    w.host->UserSelect("B2");
    w.tag().TriggerClickEvent();
    ASSERT_TRUE(w.parts.real_calendar && w.parts.real_calendar->Shown());
    pick(*w.parts.real_calendar, *w.parts.real_calendar_window);
    const Variant written = SimExcel::Cell(w.host->Sheet("Book1", "Sheet1"), "B2").value;
    ASSERT_TRUE(written.is_date());
    const DateParts p = serial::to_parts(written.as_double());
    EXPECT_EQ(std::tuple(p.day, p.hour, p.minute), std::tuple(13, 14, 30));
  }
}

}  // namespace
}  // namespace tessaly::testing
