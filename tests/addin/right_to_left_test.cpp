// Sheets shown right to left (Page Layout > Sheet Right-to-Left): column A at the right, the tag
// to the cell's left, and the calendar opening leftwards from it, at either edge of the screen.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/addin/desktop_world.h"

namespace tessaly::testing {
namespace {

// Default sizes at 96 DPI: a 20 px tag 10 pt (13 px) from its cell, a 345 by 177 px calendar.
constexpr std::int32_t kTag = 20, kGap = 13, kCalendarWidth = 345, kMargin = 8;

struct RightToLeftWorld : DesktopWorld {
  RightToLeftWorld() {
    host->SetDisplayRightToLeft("Book1", true);
    Measure();
  }
  // The main window moved across the screen, its workbook window with it.
  void MoveMainWindow(std::int32_t dx) {
    ScreenRect& r = host->Desktop().Get(host->Book("Book1").main).rect;
    r.left += dx, r.right += dx;
    Measure();
  }
  void Measure() {
    const sim::WorkbookModel& b = host->Book("Book1");
    window = host->Desktop().WindowScreenRect(b.window);
    const ScreenRect c = host->Desktop().ClientRect(b.window);
    const ScreenPoint o = host->Desktop().ClientToScreen(b.window, {0, 0});
    client = {o.x, o.y, o.x + c.width(), o.y + c.height()};
  }
  const ScreenRect& screen() { return host->Desktop().displays.front().rect; }
  ScreenRect window, client;
};

// The stand-in paints the sheet mirrored, and its object model answers as Excel's does: the
// window tells the sheet's direction, a cell's Left leads to its right edge, and the cell under a
// point is the one painted there.
TEST(right_to_left, the_sheet_is_painted_and_answered_mirrored) {
  RightToLeftWorld w;
  const ScreenRect a2 = w.Painted("Book1", "A2"), b2 = w.Painted("Book1", "B2");
  const std::int32_t row_headers = 26;
  EXPECT_EQ(a2.right, w.client.right - row_headers) << "column A at the right, the row numbers right of it";
  EXPECT_EQ(std::tuple(b2.right, b2.width()), std::tuple(a2.left, 64)) << "column B left of A";
  ExcelWindowPtr window = w.host->ActiveWindow();
  EXPECT_TRUE(window->DisplayRightToLeft());
  RangePtr b = w.host->ActiveSheet()->Range("B2");
  EXPECT_EQ(window->Panes(1)->PointsToScreenPixelsX(std::int32_t(b->Left())), b2.right);
  RangePtr under = window->RangeFromPoint(b2.right - 1, b2.top + 1)->AsRange();
  EXPECT_EQ(under->Address(false, false, xl::kA1, false), "B2");
  w.host->SetDisplayRightToLeft("Book1", false);
  EXPECT_FALSE(window->DisplayRightToLeft());
  EXPECT_EQ(w.Painted("Book1", "A2").left, w.client.left + row_headers);
}

// Column A at the screen's right edge: the tag left of the cell, the calendar below it with its
// right edge at the tag's.
TEST(right_to_left, tag_and_calendar_at_the_screens_right_edge) {
  RightToLeftWorld w;
  w.MoveMainWindow(w.screen().right - w.window.right);
  ASSERT_EQ(w.window.right, w.screen().right) << "the workbook window reaches the screen's right edge";
  w.DateCell("Book1", "A2");
  w.host->UserSelect("A2");
  ASSERT_TRUE(w.Shown());
  const ScreenRect cell = w.Painted("Book1", "A2");
  EXPECT_EQ(std::tuple(w.tag().X() + kTag, w.tag().Y(), w.tag().LeftSide()), std::tuple(cell.left - kGap, cell.top, true));
  const ScreenRect on_screen = w.host->Desktop().WindowScreenRect(w.tag().Handle());
  EXPECT_EQ(ScreenPoint(on_screen.left, on_screen.top), ScreenPoint(w.tag().X(), w.tag().Y()));
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  EXPECT_EQ(w.parts.calendar->at, ScreenPoint(w.tag().X() + kTag - kCalendarWidth, w.tag().Y() + kTag));
}

// A cell whose left edge lies 5 px from the window's left edge at the screen's left: no room for
// the tag left of it, so it stands right of the cell; the calendar, opening leftwards, is pushed
// back inside the window's left edge.
TEST(right_to_left, tag_and_calendar_at_the_screens_left_edge) {
  RightToLeftWorld w;
  sim::SimDesktop& desk = w.host->Desktop();
  w.MoveMainWindow(w.screen().left - w.window.left);
  ASSERT_EQ(w.window.left, w.screen().left) << "the workbook window starts at the screen's left edge";
  // Row numbers, then columns A to F, then 5 px: column F's left edge 5 px from the client's.
  sim::SimDesktop::Window& book = desk.Get(w.host->Book("Book1").window);
  book.rect.right = book.rect.left + 26 + 6 * 64 + 5;
  w.window = desk.WindowScreenRect(book.handle);
  w.DateCell("Book1", "F2");
  w.host->UserSelect("F2");
  ASSERT_TRUE(w.Shown());
  const ScreenRect cell = w.Painted("Book1", "F2");
  ASSERT_EQ(cell.left - w.window.left, 5);
  EXPECT_EQ(std::tuple(w.tag().X(), w.tag().Y(), w.tag().LeftSide()), std::tuple(cell.right + kGap + 1, cell.top, false));
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  EXPECT_EQ(w.parts.calendar->at, ScreenPoint(w.window.left + 4 * kMargin, w.tag().Y() + kTag));
}

// Turning the sheet right to left while the tag is shown moves every cell: the tag's watch of the
// view moves it to the cell's left, and closes the calendar that stood beside its old place.
TEST(right_to_left, the_shown_tag_follows_the_sheet_turned_right_to_left) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  w.host->UserSetDisplayRightToLeft(true);
  EXPECT_LT(w.Settle(), DesktopWorld::kMaxRounds);
  ASSERT_TRUE(w.Shown());
  const ScreenRect cell = w.Painted("Book1", "B2");
  EXPECT_EQ(ScreenPoint(w.tag().X() + kTag, w.tag().Y()), ScreenPoint(cell.left - kGap, cell.top));
  const ScreenRect on_screen = w.host->Desktop().WindowScreenRect(w.tag().Handle());
  EXPECT_EQ(ScreenPoint(on_screen.left, on_screen.top), ScreenPoint(w.tag().X(), w.tag().Y()));
  EXPECT_FALSE(w.parts.calendar->Shown());
  w.tag().TriggerClickEvent();
  EXPECT_EQ(w.parts.calendar->at, ScreenPoint(w.tag().X() + kTag - kCalendarWidth, w.tag().Y() + kTag));
}

}  // namespace
}  // namespace tessaly::testing
