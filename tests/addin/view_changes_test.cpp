// View changes the host reports by no event and no scroll message (zoom from the status bar,
// column widths and row heights, hidden rows and columns, frozen panes, the ribbon and the formula
// bar): the tag keeps to its cell or goes, and a repaint where nothing moved changes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/option_ids.h"
#include "tests/addin/desktop_world.h"

namespace tessaly::testing {
namespace {

enum class Outcome { Stays, Moves, Goes };

struct ViewChange {
  const char* name;
  std::function<void(SimExcel&)> set_up;  // before the cell is selected
  std::function<void(SimExcel&)> change;
  const char* cell;
  Outcome outcome;
};

const ViewChange kChanges[] = {
    {"status-bar zoom to 150 %", nullptr, [](SimExcel& h) { h.UserSetZoom(150); }, "B2", Outcome::Moves},
    {"View > Zoom to 75 %", nullptr, [](SimExcel& h) { h.UserSetZoom(75); }, "B2", Outcome::Moves},
    {"column A widened", nullptr, [](SimExcel& h) { h.UserColumnWidth(1, 96); }, "B2", Outcome::Moves},
    {"the cell's own column widened", nullptr, [](SimExcel& h) { h.UserColumnWidth(2, 96); }, "B2", Outcome::Moves},
    {"row 1 made taller", nullptr, [](SimExcel& h) { h.UserRowHeight(1, 30); }, "B2", Outcome::Moves},
    // The tag stands level with the cell's top, which stays.
    {"the cell's own row made taller", nullptr, [](SimExcel& h) { h.UserRowHeight(2, 30); }, "B2", Outcome::Stays},
    {"a column to the right widened", nullptr, [](SimExcel& h) { h.UserColumnWidth(5, 96); }, "B2", Outcome::Stays},
    {"column A hidden", nullptr, [](SimExcel& h) { h.UserHideColumns(1, 1, true); }, "B2", Outcome::Moves},
    {"row 1 hidden", nullptr, [](SimExcel& h) { h.UserHideRows(1, 1, true); }, "B2", Outcome::Moves},
    {"rows 1 to 3 unhidden", [](SimExcel& h) { h.UserHideRows(1, 3, true); }, [](SimExcel& h) { h.UserHideRows(1, 3, false); },
     "B5", Outcome::Moves},
    {"the cell's column hidden", nullptr, [](SimExcel& h) { h.UserHideColumns(2, 2, true); }, "B2", Outcome::Goes},
    {"the cell's row hidden", nullptr, [](SimExcel& h) { h.UserHideRows(2, 2, true); }, "B2", Outcome::Goes},
    // Frozen with three rows fixed and the lower band scrolled to row 10: unfreezing shows row 10
    // where it lies on the sheet again.
    {"panes unfrozen",
     [](SimExcel& h) {
       h.FreezePanes("Book1", 3, 0);
       h.Book("Book1").win.scroll_row[1] = 10;
     },
     [](SimExcel& h) { h.UserToggleFreezePanes(); }, "B10", Outcome::Moves},
    {"panes frozen at the cell", nullptr, [](SimExcel& h) { h.UserToggleFreezePanes(); }, "B2", Outcome::Stays},
    {"a column in a zoomed-out view made so wide the cell leaves the window",
     nullptr, [](SimExcel& h) { h.UserColumnWidth(1, 1342.5); }, "B2", Outcome::Goes},
    // The workbook window moves on screen with the tag inside it: the tag still stands beside the
    // cell, only its recorded place on screen is new.
    {"ribbon collapsed", nullptr, [](SimExcel& h) { h.UserCollapseRibbon(true); }, "B2", Outcome::Stays},
    {"formula bar hidden", nullptr, [](SimExcel& h) { h.UserShowFormulaBar(false); }, "B2", Outcome::Stays},
};

// Where the tag stands beside a cell painted at that rectangle, with the default sizes at 96 DPI.
ScreenPoint TagBeside(const ScreenRect& cell) { return {cell.right + 13, cell.top}; }

void ExpectBesideItsCell(DesktopWorld& w, const char* cell) {
  ASSERT_TRUE(w.Shown());
  const ScreenRect painted = w.Painted("Book1", cell);
  EXPECT_EQ(ScreenPoint(w.tag().X(), w.tag().Y()), TagBeside(painted)) << "the tag's record";
  const ScreenRect on_screen = w.host->Desktop().WindowScreenRect(w.tag().Handle());
  EXPECT_EQ(ScreenPoint(on_screen.left, on_screen.top), TagBeside(painted)) << "the tag's window";
}

// The change's date cell selected in the view it starts from.
void SelectDateCell(DesktopWorld& w, const ViewChange& c) {
  w.DateCell("Book1", c.cell);
  if (c.set_up) c.set_up(*w.host);
  w.host->UserSelect(c.cell);
}

TEST(view_changes, the_shown_tag_keeps_to_its_cell_or_goes) {
  for (const ViewChange& c : kChanges) {
    SCOPED_TRACE(c.name);
    DesktopWorld w;
    SelectDateCell(w, c);
    ASSERT_TRUE(w.Shown());
    const ScreenRect before = w.Painted("Book1", c.cell);
    const int moves = w.tag_window().moves;
    c.change(*w.host);
    EXPECT_LT(w.Settle(), DesktopWorld::kMaxRounds);
    if (c.outcome == Outcome::Goes) {
      EXPECT_FALSE(w.tag().Displayed());
      EXPECT_FALSE(w.tag_window().visible);
      continue;
    }
    ExpectBesideItsCell(w, c.cell);
    if (c.outcome == Outcome::Moves) {
      EXPECT_NE(TagBeside(before), TagBeside(w.Painted("Book1", c.cell))) << "a change that moves the cell";
    }
    EXPECT_EQ(w.tag_window().moves - moves, c.outcome == Outcome::Moves ? 1 : 0) << "one move of the tag's window, or none";
  }
}

// The calendar stands beside the tag's old place: when the tag moves or goes, it goes too; when
// nothing the user sees moved, it stays open.
TEST(view_changes, the_calendar_goes_with_a_tag_that_moved_and_stays_otherwise) {
  for (const ViewChange& c : kChanges) {
    SCOPED_TRACE(c.name);
    DesktopWorld w;
    SelectDateCell(w, c);
    w.tag().TriggerClickEvent();
    ASSERT_TRUE(w.parts.calendar->Shown());
    c.change(*w.host);
    w.Settle();
    EXPECT_EQ(w.parts.calendar->Shown(), c.outcome == Outcome::Stays);
    EXPECT_EQ(w.parts.calendar->shows, 1) << "never shown again by the check";
    if (c.outcome == Outcome::Goes) {
      EXPECT_FALSE(w.tag().Displayed());
    } else {
      ExpectBesideItsCell(w, c.cell);
    }
  }
}

// The tag's and the calendar's own showing, hiding and moving repaint the sheet, as does anything
// Excel draws; where no cell moved, the tag's window is neither moved nor hidden and the calendar
// the user works in stays open.
TEST(view_changes, a_repaint_where_nothing_moved_changes_nothing) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  const WindowHandle book = w.host->Book("Book1").window;
  const auto before = w.tag_window();
  for (int i = 0; i < 3; ++i) {
    w.host->Desktop().Repainted(book);
    w.host->Desktop().Invalidate(book);
    EXPECT_LT(w.Settle(), DesktopWorld::kMaxRounds);
  }
  EXPECT_TRUE(w.parts.calendar->Shown());
  EXPECT_EQ(w.parts.calendar->shows, 1);
  EXPECT_EQ(w.tag_window().moves, before.moves);
  EXPECT_EQ(w.tag_window().hides, before.hides);
  EXPECT_EQ(w.tag_window().rect, before.rect);
  EXPECT_TRUE(w.Shown());
}

// A paint is only a flag: however many come before the window is quiet, the host is asked once.
TEST(view_changes, many_repaints_make_one_check_once_the_window_is_quiet) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  w.timers.Elapse(cVantry::kPrepareDelayMs);  // the calendar readied for B2
  const WindowHandle book = w.host->Book("Book1").window;
  const int fired = w.timers.fired;
  w.host->ResetCalls();
  for (int i = 0; i < 50; ++i) w.host->Desktop().Repainted(book);
  EXPECT_EQ(w.host->TotalCalls(), 0) << "no host call on a paint";
  w.timers.Elapse(20);
  EXPECT_EQ(w.timers.fired - fired, 1);
  EXPECT_EQ(w.host->Calls("Pane.PointsToScreenPixelsX"), 1);
  w.host->ResetCalls();
  w.timers.Elapse(1000);
  EXPECT_EQ(w.host->TotalCalls(), 0) << "the timer ran once";
}

// With the tag hidden, a paint costs nothing and starts no timer.
TEST(view_changes, a_repaint_with_the_tag_hidden_asks_nothing) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  w.host->UserSelect("D4");  // no date there
  w.timers.Elapse(cVantry::kPrepareDelayMs);  // the readying, which finds no tag
  ASSERT_FALSE(w.tag().Displayed());
  const int fired = w.timers.fired;
  w.host->ResetCalls();
  w.host->Desktop().Repainted(w.host->Book("Book1").window);
  w.timers.Elapse(1000);
  EXPECT_EQ(w.timers.fired, fired);
  EXPECT_EQ(w.host->TotalCalls(), 0);
}

// In page layout view the position rule scrolls the pane with the window's drawing suppressed and
// draws it again afterwards: that paint is the check's own and starts no other.
TEST(view_changes, the_checks_own_repaint_in_page_layout_view_starts_no_other) {
  DesktopWorld w;
  w.host->Book("Book1").win.view = xl::kPageLayoutView;
  w.host->UserSelect("B2");
  ASSERT_TRUE(w.Shown());
  const WindowHandle book = w.host->Book("Book1").window;
  const int repaints = w.host->Desktop().Repaints(book);
  w.host->Desktop().Repainted(book);
  EXPECT_LT(w.Settle(), 3);
  EXPECT_GT(w.host->Desktop().Repaints(book), repaints + 1) << "the rule drew the window again";
  EXPECT_TRUE(w.Shown());
}

// While a cell is edited Excel refuses every call, yet its status bar may still zoom: the tag stays
// for the user to click, the check is asked again while Excel refuses it, and once the editing
// ends the tag goes beside its cell. A check that fails otherwise cannot tell where the cell is:
// both go.
TEST(view_changes, a_refused_check_is_asked_again_and_a_failed_one_withdraws_the_tag) {
  {
    DesktopWorld w;
    w.host->UserSelect("B2");
    w.host->UserBeginEdit("1");
    w.host->UserSetZoom(150);
    const int fired = w.timers.fired;
    w.host->ResetCalls();
    w.timers.Elapse(1000);
    EXPECT_TRUE(w.Shown());
    EXPECT_GE(w.timers.fired - fired, 3) << "asked again while refused";
    EXPECT_LE(w.host->TotalCalls(), w.timers.fired - fired) << "one refused call each time";
    w.host->UserEndEdit(true);
    w.timers.Elapse(1000);
    ExpectBesideItsCell(w, "B2");
    const int settled = w.timers.fired;
    w.timers.Elapse(1000);
    EXPECT_EQ(w.timers.fired, settled) << "no more checks once Excel answered";
  }
  {
    DesktopWorld w;
    w.host->UserSelect("B2");
    w.tag().TriggerClickEvent();
    w.host->FailNext("Pane.PointsToScreenPixelsX");
    w.host->Desktop().Repainted(w.host->Book("Book1").window);
    w.Settle();
    EXPECT_FALSE(w.tag().Displayed());
    EXPECT_FALSE(w.parts.calendar->Shown());
  }
}

// Excel's main window dragged on screen takes the workbook window and the tag inside it along and
// tells the workbook window nothing: a click on the tag still opens the calendar just below it,
// where it stands now.
TEST(view_changes, the_calendar_opens_below_the_tag_where_it_stands_after_the_main_window_moved) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  ASSERT_TRUE(w.Shown());
  sim::SimDesktop& desk = w.host->Desktop();
  const WindowHandle main = w.host->Book("Book1").main;
  ScreenRect r = desk.Get(main).rect;
  desk.MoveWindow(main, {r.left + 120, r.top + 60, r.right + 120, r.bottom + 60});
  w.Settle();
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.parts.calendar->Shown());
  const ScreenPoint tag = TagBeside(w.Painted("Book1", "B2"));
  EXPECT_EQ(w.parts.calendar->at, ScreenPoint(tag.x, tag.y + 20));
  EXPECT_EQ(ScreenPoint(w.tag().X(), w.tag().Y()), tag);
}

// Before Excel 2007 the computed place drifts off cells of fractional widths, and a chart moved onto
// the cell puts it right; the check never adds that chart, whose own repaint would ask again
// without end. A tag so placed stays while the rule's own answer stays, and goes when the cell moves.
TEST(view_changes, a_tag_the_chart_probe_put_right_stays_until_its_cell_moves) {
  DesktopWorld w("11.0");
  w.addin->Module().RegMan->Value(opt::AllowPositionByAddingChart, Variant::boolean(true));
  w.host->Sheet("Book1", "Sheet1").columns.standard = 48.4;
  w.DateCell("Book1", "K2");
  w.host->UserSelect("K2");
  ASSERT_TRUE(w.Shown());
  const std::int64_t probes = w.host->Calls("Sheet.ChartObjects.Add");
  ASSERT_GT(probes, 0) << "the probe placed the tag";
  const ScreenPoint placed(w.tag().X(), w.tag().Y());
  w.host->Desktop().Repainted(w.host->Book("Book1").window);
  EXPECT_LT(w.Settle(), DesktopWorld::kMaxRounds);
  EXPECT_TRUE(w.Shown());
  EXPECT_EQ(ScreenPoint(w.tag().X(), w.tag().Y()), placed);
  EXPECT_EQ(w.host->Calls("Sheet.ChartObjects.Add"), probes) << "no probe in the check";
  w.host->UserColumnWidth(1, 96);
  w.Settle();
  EXPECT_FALSE(w.tag().Displayed());
}

// The scroll bars and the wheel still hide both at once, before any paint.
TEST(view_changes, scrolling_still_hides_at_once) {
  DesktopWorld w;
  w.host->UserSelect("B2");
  w.tag().TriggerClickEvent();
  w.host->UserScroll(0, 1);
  EXPECT_FALSE(w.tag().Displayed());
  EXPECT_FALSE(w.parts.calendar->Shown());
  w.Settle();
  EXPECT_FALSE(w.tag().Displayed());
}

}  // namespace
}  // namespace tessaly::testing
