// The add-in with a second window on one workbook (View > New Window): the tag shows in the window
// the user works in, beside that window's cell, and a pick writes into the workbook once.
#include <gtest/gtest.h>

#include <string>

#include "tests/addin/desktop_world.h"

namespace tessaly::testing {
namespace {

class SecondWindow : public ::testing::TestWithParam<const char*> {};

TEST_P(SecondWindow, the_tag_shows_beside_the_cell_of_the_window_worked_in) {
  DesktopWorld w(GetParam());
  w.DateCell("Book1", "E12");
  sim::WorkbookModel& book = w.host->Book("Book1");
  w.host->UserSelect("B2");
  ASSERT_TRUE(w.Shown());
  const WindowHandle first = book.window;
  EXPECT_EQ(w.tag_window().parent, first);

  w.host->UserNewWindow();
  const WindowHandle second = book.window;
  ASSERT_NE(second, first);
  ASSERT_TRUE(w.Shown()) << "the new window shows B2 selected too";
  EXPECT_EQ(w.tag_window().parent, second);

  // Scrolled and zoomed apart from the first window, the second window's E12 sits elsewhere.
  w.host->UserScroll(3, 1);
  w.host->UserZoom(125);
  w.host->UserSelect("E12");
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag_window().parent, second);
  EXPECT_EQ(w.tag().X(), w.Painted("Book1", "E12").right + 13);
  EXPECT_EQ(w.tag().Y(), w.Painted("Book1", "E12").top);

  w.host->UserActivateWindow("Book1:1");
  ASSERT_TRUE(w.Shown()) << "back to the first window's B2";
  EXPECT_EQ(book.window, first);
  EXPECT_EQ(w.tag_window().parent, first);
  EXPECT_EQ(w.tag().X(), w.Painted("Book1", "B2").right + 13);
  EXPECT_EQ(w.tag().Y(), w.Painted("Book1", "B2").top);
  EXPECT_EQ(w.host->Desktop().Watches(first), 1u) << "the view watch follows the window worked in";
  EXPECT_EQ(w.host->Desktop().Watches(second), 0u);

  // A zoom from the status bar in this window moves the tag with its cell.
  w.host->UserSetZoom(150);
  w.Settle();
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag().X(), w.Painted("Book1", "B2").right + 13);
}

TEST_P(SecondWindow, a_pick_writes_into_the_workbook_once) {
  DesktopWorld w(GetParam());
  w.host->UserNewWindow();
  w.host->UserSelect("B2");
  int changes = 0;
  w.host->on_sheet_change = [&](sim::SheetModel&, const std::vector<sim::Area>&) { ++changes; };
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  w.parts.calendar->Close(Variant::date(45500));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(w.host->Calls("Range.Value.set"), 1);
  EXPECT_EQ(SimExcel::Cell(w.host->Sheet("Book1", "Sheet1"), "B2").value, Variant::date(45500));
  w.host->UserActivateWindow("Book1:1");
  EXPECT_EQ(w.host->ActiveSheet()->Range("B2")->Value(), Variant::date(45500)) << "the other window shows it";
  EXPECT_EQ(changes, 1);
}

// The second window closed with the tag shown in it: the tag shows in the first window, which the
// workbook keeps, and the closed window is watched no more.
TEST_P(SecondWindow, closing_the_second_window_leaves_the_tag_in_the_first) {
  DesktopWorld w(GetParam());
  w.host->UserSelect("B2");
  const WindowHandle first = w.host->Book("Book1").window;
  w.host->UserNewWindow();
  const WindowHandle second = w.host->Book("Book1").window;
  ASSERT_TRUE(w.Shown());
  w.host->UserCloseWindow();
  w.Settle();
  ASSERT_TRUE(w.Shown());
  EXPECT_EQ(w.tag_window().parent, first);
  EXPECT_EQ(w.tag().X(), w.Painted("Book1", "B2").right + 13);
  EXPECT_EQ(w.host->Desktop().Watches(second), 0u);
  EXPECT_EQ(w.host->Desktop().Watches(first), 1u);
}

INSTANTIATE_TEST_SUITE_P(versions, SecondWindow, ::testing::Values("14.0", "16.0"));

}  // namespace
}  // namespace tessaly::testing
