// Cell screen geometry against the stand-in host's own painting: every position rule must land on
// the cell's painted corner, and a cell not wholly in its pane's view gets no position.
#include "tag/cell_geometry.h"

#include <cstdlib>
#include <algorithm>
#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "tag/tag_world.h"

namespace tessaly::testing {
namespace {

GeometrySettings SettingsOf(TagWorld& w, double dpi) {
  GeometrySettings g;
  g.excel_version = w.m.ExcelVersion;
  g.main_window = w.m.ExcelMainWindow;
  g.scale = MakeScaleFactors(dpi, dpi);
  g.allow_chart = w.m.RegMan->Bool(opt::AllowPositionByAddingChart);
  return g;
}

std::string LastVisibleCell(TagWorld& w) {
  const sim::PaneLayout p = w.host->Layout(w.book()).panes[0];
  return sim::address::ColumnLetters(p.last_column) + std::to_string(p.last_row);
}

// kNear: the old hosts' rules round the split bars to whole points and probe every second pixel
// for the grid's corner, so they may land a pixel off the painted corner, inside the cell.
enum class Expect { kNone, kPainted, kNear, kElsewhere };

struct Case {
  const char* name;
  const char* version;
  double dpi;
  std::function<void(TagWorld&)> setup;
  std::function<std::string(TagWorld&)> target;
  Expect expect;
};

auto At(const char* a1) {
  return [a1](TagWorld&) { return std::string(a1); };
}
void Nothing(TagWorld&) {}
// Split at F7 with the lower right pane active and scrolled to row 41.
void SplitScrolled(TagWorld& w) {
  w.host->Split("Book1", 6, 3);
  w.book().win.active_pane = 4;
  w.book().win.scroll_row[1] = 40;
}

const Case kCases[] = {
    {"normal view", "12.0", 96, Nothing, At("B3"), Expect::kPainted},
    {"normal view at 144 dpi, zoom 85", "12.0", 144, [](TagWorld& w) { w.book().win.zoom = 85; }, At("D7"), Expect::kPainted},
    {"minimised window", "12.0", 96, [](TagWorld& w) { w.book().win.state = xl::kMinimized; }, At("B3"), Expect::kNone},
    {"not a workbook window", "12.0", 96, [](TagWorld& w) { w.book().win.type = xl::kChartInPlace; }, At("B3"), Expect::kNone},
    {"merged area partly scrolled out at the top", "12.0", 96, [](TagWorld& w) { w.book().win.scroll_row[0] = 3; },
     At("B2:C4"), Expect::kNone},
    {"partly scrolled out at the left", "12.0", 96, [](TagWorld& w) { w.book().win.scroll_column[0] = 2; }, At("A3:B3"),
     Expect::kNone},
    {"last, partly visible cell at the bottom right", "12.0", 96, Nothing, LastVisibleCell, Expect::kPainted},
    {"reaching past the visible range", "12.0", 96, Nothing,
     [](TagWorld& w) {
       const sim::PaneLayout p = w.host->Layout(w.book()).panes[0];
       return LastVisibleCell(w) + ":" + sim::address::ColumnLetters(p.last_column + 1) + std::to_string(p.last_row);
     },
     Expect::kNone},
    {"frozen rows 1-4 and A-B, cell in pane 4", "12.0", 96, [](TagWorld& w) { w.host->FreezePanes("Book1", 4, 2); },
     At("C5"), Expect::kPainted},
    {"frozen rows 1-4 and A-B, cell in pane 1", "12.0", 144, [](TagWorld& w) { w.host->FreezePanes("Book1", 4, 2); },
     At("B4"), Expect::kPainted},
    {"split, target shown by the active pane", "12.0", 96, SplitScrolled, At("E45"), Expect::kPainted},
    {"split, target shown only by another pane", "12.0", 96, SplitScrolled, At("E9"), Expect::kNone},
    {"page layout view, scrolled", "12.0", 96,
     [](TagWorld& w) {
       w.book().win.view = xl::kPageLayoutView;
       w.book().win.scroll_row[0] = 5;
       w.book().win.scroll_column[0] = 3;
     },
     At("E8"), Expect::kPainted},
    {"old host, whole zoom", "11.0", 96, Nothing, At("C4"), Expect::kPainted},
    {"old host, 200 %, frozen, pane 4", "11.0", 96,
     [](TagWorld& w) {
       w.book().win.zoom = 200;
       w.host->FreezePanes("Book1", 2, 1);
       w.book().win.scroll_row[1] = 6;
     },
     At("C8"), Expect::kPainted},
    {"old host, split, scrolled pane 4", "11.0", 96,
     [](TagWorld& w) {
       w.host->Split("Book1", 4, 2);
       w.book().win.active_pane = 4;
       w.book().win.scroll_row[1] = 8;
       w.book().win.scroll_column[1] = 4;
     },
     At("F10"), Expect::kNear},
    {"old host, 75 % with hidden rows and columns", "11.0", 96,
     [](TagWorld& w) {
       w.book().win.zoom = 75;
       w.sheet().rows.hidden = {2, 3};
       w.sheet().columns.hidden = {2};
       w.sheet().rows.sizes[4] = 30;
     },
     At("D6"), Expect::kNear},
    {"old host, 75 % at 144 dpi, split, pane 4", "11.0", 144,
     [](TagWorld& w) {
       w.book().win.zoom = 75;
       w.host->Split("Book1", 3, 2);
       w.book().win.active_pane = 4;
     },
     At("D6"), Expect::kNear},
    // Fractional column widths: the sheet-point rule drifts a whole column off by column K; the
    // check under the corner finds another cell and a chart moved onto the target tells the truth.
    {"old host, drift corrected by a chart", "11.0", 96,
     [](TagWorld& w) {
       w.sheet().columns.standard = 48.4;
       w.Set(opt::AllowPositionByAddingChart, true);
     },
     At("K2"), Expect::kPainted},
    {"old host, drift kept with charts not allowed", "11.0", 96, [](TagWorld& w) { w.sheet().columns.standard = 48.4; },
     At("K2"), Expect::kElsewhere},
};

// Each rule against the cell as the stand-in paints it. On a sheet shown right to left the host
// measures a cell's Left leftwards from column A at the right, so every rule lands on the cell's
// top-right corner, and the check under it looks two pixels in from that corner.
void ExpectEachRuleOnThePaintedCell(bool right_to_left) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(right_to_left ? "right to left" : "left to right");
    TagWorld w(c.version, c.dpi);
    w.host->SetDisplayRightToLeft("Book1", right_to_left);
    c.setup(w);
    const std::string target = c.target(w);
    auto pos = LocateTarget(*w.host, w.desk(), SettingsOf(w, c.dpi), w.Range(target));
    ASSERT_EQ(pos.has_value(), c.expect != Expect::kNone) << c.name;
    if (!pos) continue;
    const ScreenRect painted = w.Painted(target);
    const std::int32_t corner = right_to_left ? painted.right : painted.left;
    EXPECT_EQ(std::tuple(pos->window, pos->client, pos->right_to_left), std::tuple(w.book().window, w.Client(), right_to_left))
        << c.name;
    if (c.expect == Expect::kPainted) {
      EXPECT_EQ(pos->at, (ScreenPoint{corner, painted.top})) << c.name << " " << target;
    }
    if (c.expect == Expect::kElsewhere) {
      EXPECT_NE(pos->at.x, corner) << c.name;
    }
    if (c.expect == Expect::kNear) {
      EXPECT_LE(std::max(std::abs(pos->at.x - corner), std::abs(pos->at.y - painted.top)), 1) << c.name;
      const std::int32_t inside = right_to_left ? pos->at.x - 3 : pos->at.x + 2;
      RangePtr under = w.host->ActiveWindow()->RangeFromPoint(inside, pos->at.y + 2)->AsRange();
      EXPECT_EQ(under->Address(false, false, xl::kA1, false), target) << c.name;
    }
    EXPECT_EQ(w.book().sheets[0]->charts.size(), 0u) << c.name;  // a helper chart never stays
  }
}

TEST(cell_geometry, each_rule_lands_on_the_painted_cell) { ExpectEachRuleOnThePaintedCell(false); }

TEST(cell_geometry, each_rule_lands_on_the_painted_cell_right_to_left) { ExpectEachRuleOnThePaintedCell(true); }

TEST(cell_geometry, pane_choice) {
  PaneSetup frozen4{4, true, 96, 60, 1, 5, 3, 5};  // rows 1-4 and columns A-B fixed
  PaneSetup frozen_rows{2, true, 0, 60, 1, 5, 1, 1};
  PaneSetup frozen_columns{2, true, 96, 0, 1, 1, 3, 1};
  PaneSetup split{4, false, 96, 60, 3, 5, 3, 5};
  struct Row {
    const PaneSetup* panes;
    std::int32_t row, column, pane;
  } rows[] = {
      {&frozen4, 5, 3, 4}, {&frozen4, 4, 2, 1}, {&frozen4, 1, 3, 2}, {&frozen4, 9, 1, 3},
      {&frozen_rows, 5, 1, 2}, {&frozen_rows, 4, 9, 1}, {&frozen_columns, 90, 3, 2}, {&frozen_columns, 90, 2, 1},
      {&split, 1, 1, 3}, {&split, 90, 90, 3},
  };
  for (const Row& r : rows) EXPECT_EQ(ChoosePane(*r.panes, r.row, r.column), r.pane) << r.row << "," << r.column;
}

// The page-layout rule scrolls unseen and puts the scroll back, even when the host fails a step.
TEST(cell_geometry, page_layout_restores_the_scroll_and_the_painting) {
  for (const char* fault : {"", "Pane.ScrollRow.set", "Pane.PointsToScreenPixelsX", "Pane.ScrollColumn.set",
                            "Pane.PointsToScreenPixelsY"}) {
    TagWorld w;
    w.book().win.view = xl::kPageLayoutView;
    w.book().win.scroll_row[0] = 5;
    w.book().win.scroll_column[0] = 3;
    if (*fault) w.host->FailNext(fault);
    auto pos = LocateTarget(*w.host, w.desk(), SettingsOf(w, 96), w.Range("E8"));
    EXPECT_EQ(pos.has_value(), !*fault) << fault;
    EXPECT_EQ(std::tuple(w.book().win.scroll_row[0], w.book().win.scroll_column[0]), std::tuple(5, 3)) << fault;
    EXPECT_EQ(std::tuple(w.desk().Get(w.book().window).suppressions, w.desk().Get(w.book().window).repaint_suppressed),
              std::tuple(1, false))
        << fault;
    EXPECT_EQ(w.desk().Get(w.m.ExcelMainWindow).suppressions, 0) << "the host's frame is never held back";
  }
}

// A sheet's direction that the host fails to tell leaves the cell's side unknown: no position.
TEST(cell_geometry, a_failed_direction_gives_no_position) {
  for (bool right_to_left : {false, true}) {
    TagWorld w;
    w.host->SetDisplayRightToLeft("Book1", right_to_left);
    w.host->FailNext("Window.DisplayRightToLeft");
    EXPECT_FALSE(LocateTarget(*w.host, w.desk(), SettingsOf(w, 96), w.Range("B3")).has_value()) << right_to_left;
    EXPECT_TRUE(LocateTarget(*w.host, w.desk(), SettingsOf(w, 96), w.Range("B3")).has_value()) << "once it answers";
  }
}

// With nothing under any probe the scan asks every point of its window, then takes the corner + 20.
TEST(cell_geometry, grid_scan_worst_case) {
  TagWorld w("11.0");
  w.host->AddChartSheet("Book1", "Chart1");
  w.book().active_sheet = 1;
  ScreenRect client = w.Client();
  w.host->ResetCalls();
  ScreenPoint p = GetTopLeftCellPosition(*w.host->ActiveWindow(), client, ScanWindow{});
  EXPECT_EQ(p, (ScreenPoint{client.left + 20, client.top + 20}));
  EXPECT_EQ(w.host->Calls("Window.RangeFromPoint"), 75 * 75);
  // A step stored as 0 probes every pixel; a window end past the client area is cut to it.
  w.host->ResetCalls();
  GetTopLeftCellPosition(*w.host->ActiveWindow(), {0, 0, 10, 10}, ScanWindow{0, 32767, 0, 32767, 0});
  EXPECT_EQ(w.host->Calls("Window.RangeFromPoint"), 100);
}

TEST(cell_geometry, scale_from_the_display) {
  struct Row {
    double dpi;
    float device;
    double twips;
  } rows[] = {{96, 96.f / 72, 15}, {144, 2.f, 10}, {0, 24.f / 72, 60}, {-5, 24.f / 72, 60}, {1e9, 2400.f / 72, 0.6}};
  for (const Row& r : rows) {
    ScaleFactors f = MakeScaleFactors(r.dpi, r.dpi);
    EXPECT_FLOAT_EQ(f.device_x, r.device) << r.dpi;
    EXPECT_DOUBLE_EQ(f.twips_per_pixel_y, r.twips) << r.dpi;
    EXPECT_FLOAT_EQ(f.form_x, f.device_x) << r.dpi;
  }
}

}  // namespace
}  // namespace tessaly::testing
