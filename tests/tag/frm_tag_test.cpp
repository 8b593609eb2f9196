// The tag window on the stand-in desktop: placement and its left-side flip, the record, the
// window it becomes, hover, click, tooltip and icon, and nonsense options.
#include "tag/frm_tag.h"

#include <climits>
#include <tuple>

#include <gtest/gtest.h>

#include "sim/faulty_collaborators.h"
#include "tag/tag_world.h"

namespace tessaly::testing {
namespace {

TagPlacementInput Beside(ScreenPoint cell, std::int32_t client_right, double dpi) {
  TagPlacementInput in;
  in.cell = cell;
  in.cell_width = 48;
  in.scale = MakeScaleFactors(dpi, dpi);
  in.client_right = client_right;
  return in;
}

TEST(tag_placement, right_of_the_cell_or_flipped_to_its_left) {
  struct Row {
    const char* name;
    TagPlacementInput in;
    TagPlacement out;
  } rows[] = {
      // 64 px cell + 10 pt (13.33 px) gap; the top level with the cell's.
      {"right side at 96 dpi", Beside({100, 50}, 1000, 96), {{177, 50}, false, 20, 20}},
      {"right side at 144 dpi", Beside({100, 50}, 1000, 144), {{216, 50}, false, 30, 30}},
      // The cell's right edge 5 px from the border: the tag's right edge 14 px (10 pt, rounded
      // twice) left of the cell at 96 dpi, exactly 20 px (10 pt) at 144.
      {"flipped at 96 dpi", Beside({100, 50}, 169, 96), {{66, 50}, true, 20, 20}},
      {"flipped at 144 dpi", Beside({100, 50}, 201, 144), {{50, 50}, true, 30, 30}},
      // A cell on a second display, right of or below the first: the tag stays beside it.
      {"cell on a second display", Beside({1890, 1075}, 3840, 96), {{1967, 1075}, false, 20, 20}},
      // The room test and the flip use the stored size, not the window's size kept sane.
      {"stored size past the largest window", [] {
         TagPlacementInput in = Beside({100, 50}, 1000, 96);
         in.size_x = 15000;  // 1000 px
         return in;
       }(), {{-914, 50}, true, 256, 20}},
  };
  for (const Row& r : rows) EXPECT_EQ(PlaceTag(r.in), r.out) << r.name;
}

// A sheet shown right to left: the cell's corner is its right edge; the tag stands the same gap
// left of the cell, towards the reading, and flips to its right past the client's left edge.
TEST(tag_placement, left_of_the_cell_or_flipped_to_its_right_when_right_to_left) {
  auto mirrored = [](ScreenPoint corner, std::int32_t client_left, double dpi) {
    TagPlacementInput in = Beside(corner, 3000, dpi);
    in.client_left = client_left;
    in.right_to_left = true;
    return in;
  };
  struct Row {
    const char* name;
    TagPlacementInput in;
    TagPlacement out;
  } rows[] = {
      // The cell spans 100 to 164: the tag's right edge 13 px (10 pt) left of 100.
      {"left side at 96 dpi", mirrored({164, 50}, 0, 96), {{67, 50}, true, 20, 20}},
      {"left side at 144 dpi", mirrored({196, 50}, 0, 144), {{50, 50}, true, 30, 30}},
      {"left side just fits the client", mirrored({164, 50}, 67, 96), {{67, 50}, true, 20, 20}},
      // One pixel short: the tag's left edge 14 px right of the cell at 96 dpi, as the left-to-right
      // flip is 14 px left of it; exactly 20 px (10 pt) at 144.
      {"flipped at 96 dpi", mirrored({164, 50}, 68, 96), {{178, 50}, false, 20, 20}},
      {"flipped at 144 dpi", mirrored({196, 50}, 60, 144), {{216, 50}, false, 30, 30}},
      // A second display left of the first has negative coordinates: the tag stays beside the cell.
      {"cell on a display left of the first", mirrored({-1000, 300}, -1920, 96), {{-1097, 300}, true, 20, 20}},
  };
  for (const Row& r : rows) EXPECT_EQ(PlaceTag(r.in), r.out) << r.name;
}

TEST(tag_placement, nonsense_sizes_stay_sane) {
  TagPlacementInput in = Beside({100, 50}, 1000, 96);
  struct Row {
    std::int32_t twips;
    std::int32_t pixels;
  } rows[] = {{INT32_MIN, 4}, {0, 4}, {-1, 4}, {300, 20}, {INT32_MAX, 256}};
  for (const Row& r : rows) {
    in.size_x = in.size_y = r.twips;
    TagPlacement p = PlaceTag(in);
    EXPECT_EQ((std::pair{p.width, p.height}), (std::pair{r.pixels, r.pixels})) << r.twips;
  }
  in.size_x = in.size_y = 300;
  in.scale = MakeScaleFactors(0, 0);  // a display reporting no resolution
  EXPECT_EQ(PlaceTag(in).width, 5);   // 300 twips at 60 twips per pixel
}

// The tag becomes a non-activating child of the workbook window beside the painted cell, records
// what it was shown for, and goes back under the main window when hidden.
TEST(frm_tag, shown_as_a_child_of_the_workbook_window) {
  for (double dpi : {96.0, 144.0}) {
    TagWorld w("12.0", dpi);
    frmTag& tag = w.Start();
    const WindowHandle active_before = w.desk().active_window;
    ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
    const ScreenRect cell = w.Painted("B3");
    const std::int32_t gap = dpi == 96 ? 13 : 20, size = dpi == 96 ? 20 : 30;
    EXPECT_EQ(std::tuple(tag.X(), tag.Y(), tag.LeftSide()), std::tuple(cell.right + gap, cell.top, false)) << dpi;
    EXPECT_EQ(std::tuple(tag.TargetAddress(), tag.SheetName(), tag.WorkbookName()),
              std::tuple("$B$3", "Sheet1", "Book1"));
    const sim::SimDesktop::Window& win = w.form->Window();
    EXPECT_EQ(std::tuple(tag.ParentWindow(), win.parent, win.visible),
              std::tuple(w.book().window, w.book().window, true));
    EXPECT_EQ(std::tuple(win.style, win.ex_style),
              std::tuple(ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost));
    EXPECT_EQ(w.desk().WindowScreenRect(tag.Handle()), (ScreenRect{tag.X(), tag.Y(), tag.X() + size, tag.Y() + size}));
    EXPECT_EQ(w.form->look.icon, (ScreenRect{(size - 16) / 2, (size - 16) / 2, (size - 16) / 2 + 16, (size - 16) / 2 + 16}));
    EXPECT_EQ(w.desk().active_window, active_before);
    // Shown already: nothing moves.
    EXPECT_TRUE(tag.TagDisplay(w.Range("D9")));
    EXPECT_EQ(tag.TargetAddress(), "$B$3");
    tag.TagHide();
    EXPECT_EQ(std::tuple(tag.Displayed(), win.visible, win.parent), std::tuple(false, false, w.m.ExcelMainWindow));
  }
}

TEST(frm_tag, flips_left_when_the_window_ends_beside_the_cell) {
  TagWorld w;
  w.desk().Get(w.book().window).rect.right = 26 + 3 * 64 + 5;  // column C ends 5 px from the border
  frmTag& tag = w.Start();
  ASSERT_TRUE(tag.TagDisplay(w.Range("C2")));
  EXPECT_TRUE(tag.LeftSide());
  EXPECT_EQ(tag.X() + 20, w.Painted("C2").left - 14);
}

TEST(frm_tag, off_screen_and_merged_targets) {
  TagWorld w;
  w.book().win.scroll_row[0] = 10;
  frmTag& tag = w.Start();
  EXPECT_FALSE(tag.TagDisplay(w.Range("B3")));
  EXPECT_EQ(std::tuple(tag.Displayed(), w.form->Window().visible), std::tuple(false, false));
  EXPECT_TRUE(tag.TagDisplay(w.Range("B12:C13")));
  EXPECT_EQ(std::tuple(tag.TargetAddress(), tag.X()), std::tuple("$B$12:$C$13", w.Painted("C12").right + 13));
}

// High contrast, asked at each showing and at each colour change: the system's colour pairs, and
// the options' again once it is off.
TEST(frm_tag, high_contrast_uses_system_colours) {
  TagWorld w;
  frmTag& tag = w.Start();
  EXPECT_EQ(w.form->accessible_name, "Open the calendar");
  w.form->high_contrast = true;
  ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
  EXPECT_EQ(std::tuple(w.form->look.background, w.form->look.border), std::tuple(0x8000000Fu, 0x80000012u));
  w.form->MoveMouse({tag.X() + 10, tag.Y() + 10});
  EXPECT_EQ(w.form->look.background, 0x8000000Du);
  w.form->high_contrast = false;
  w.form->colors_changed();
  EXPECT_EQ(std::tuple(w.form->look.background, w.form->look.border), std::tuple(0x00FFFFFFu, 0x00FF0000u));
}

// The active colour under the mouse, over the icon too; back to the inactive colour within one
// timer period of the mouse leaving; a click anywhere on the square is the tag's.
TEST(frm_tag, hover_and_click) {
  TagWorld w;
  frmTag& tag = w.Start();
  ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
  const std::uint32_t active = 0x0000FFFF, inactive = 0x00FFFFFF;
  EXPECT_EQ(std::tuple(w.form->look.background, w.form->look.border), std::tuple(inactive, 0x00FF0000u));
  const ScreenPoint icon{tag.X() + 10, tag.Y() + 10}, corner{tag.X() + 1, tag.Y() + 1};
  for (ScreenPoint over : {icon, corner}) {
    w.form->MoveMouse(over);
    EXPECT_EQ(std::tuple(w.form->look.background, w.form->timer_ms), std::tuple(active, kHoverPeriodMs));
    w.form->Tick();  // still over it
    EXPECT_EQ(w.form->look.background, active);
    w.form->MoveMouse({tag.X() - 30, tag.Y() + 5});
    w.form->Tick();
    EXPECT_EQ(std::tuple(w.form->look.background, w.form->timer_ms), std::tuple(inactive, 0));
  }
  ASSERT_TRUE(tag.Tooltip());
  w.form->ClickAt(icon);
  w.form->ClickAt(corner);
  // A click takes the tip away, so it never stands over the calendar it opens, not even one still
  // waiting out its delay; it is back once the mouse has left the tag, and not before.
  EXPECT_FALSE(tag.Tooltip());
  w.form->Tick();
  ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
  EXPECT_FALSE(tag.Tooltip());
  w.form->ClickAt({tag.X() + 25, tag.Y() + 5});  // the cell beyond
  EXPECT_EQ(w.events.clicks, 2);
  w.form->Tick();
  EXPECT_TRUE(tag.Tooltip());
  // Without a timer nothing would turn the colour back: the tag stays inactive.
  w.form->MoveMouse({tag.X() - 30, tag.Y() + 5});
  w.form->Tick();
  w.form->refuse_timer = true;
  w.form->MoveMouse(icon);
  EXPECT_EQ(std::tuple(tag.Hovered(), w.form->look.background), std::tuple(false, inactive));
}

// A shown tag moves to the next qualifying cell in one move of its window, never hidden in between;
// to a cell off screen it is hidden.
TEST(frm_tag, moves_without_hiding_between_cells) {
  TagWorld w;
  w.Start();
  sim::FaultyWindowSystem windows(w.desk(), w.host->Faults());
  frmTag tag(TagServices{w.m, w.host, windows, w.desk()}, std::make_unique<sim::HeadlessTagForm>(w.desk(), w.m.ExcelMainWindow));
  tag.InitThisObject("");
  ASSERT_TRUE(tag.TagMove(w.Range("B3")));  // hidden: shown as TagDisplay shows it
  w.host->ResetCalls();
  ASSERT_TRUE(tag.TagMove(w.Range("D9")));
  EXPECT_EQ(std::tuple(tag.TargetAddress(), tag.X()), std::tuple("$D$9", w.Painted("D9").right + 13));
  EXPECT_EQ(w.desk().WindowScreenRect(tag.Handle()), (ScreenRect{tag.X(), tag.Y(), tag.X() + 20, tag.Y() + 20}));
  EXPECT_TRUE(w.desk().Get(tag.Handle()).visible);
  EXPECT_EQ(std::tuple(w.host->Calls("Windows.ShowWindow"), w.host->Calls("Windows.MoveWindow")), std::tuple(0, 1));
  w.book().win.scroll_row[0] = 20;
  EXPECT_FALSE(tag.TagMove(w.Range("D9")));
  const sim::SimDesktop::Window& win = w.desk().Get(tag.Handle());
  EXPECT_EQ(std::tuple(tag.Displayed(), win.visible, win.parent), std::tuple(false, false, w.m.ExcelMainWindow));
}

// A showing that fails at any window step leaves the window hidden under the main window, never
// inside the workbook window.
TEST(frm_tag, failed_window_steps_give_the_window_back) {
  for (const char* member : {"Windows.SetWindowStyles", "Windows.ScreenToClient", "Windows.SetParent",
                             "Windows.MoveWindow", "Windows.ShowWindow"}) {
    TagWorld w;
    w.Start();
    sim::FaultyWindowSystem windows(w.desk(), w.host->Faults());
    frmTag tag(TagServices{w.m, w.host, windows, w.desk()}, std::make_unique<sim::HeadlessTagForm>(w.desk(), w.m.ExcelMainWindow));
    tag.InitThisObject("");
    w.host->FailNext(member);
    EXPECT_FALSE(tag.TagDisplay(w.Range("B3"))) << member;
    const sim::SimDesktop::Window& win = w.desk().Get(tag.Handle());
    EXPECT_EQ(std::tuple(win.visible, win.parent), std::tuple(false, w.m.ExcelMainWindow)) << member;
    EXPECT_TRUE(tag.TagDisplay(w.Range("B3"))) << member;
  }
}

TEST(frm_tag, tooltip_follows_the_options_when_made_again) {
  TagWorld w;
  frmTag& tag = w.Start();
  auto show = [&] {
    tag.TagHide();
    ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
  };
  show();
  ASSERT_NE(tag.Tooltip(), nullptr);
  TooltipSettings t = tag.Tooltip()->Settings();
  EXPECT_EQ(std::tuple(t.text, t.owner, t.tool, t.always_tip, t.no_prefix, t.font_face),
            std::tuple("Click to pick a date from calendar", w.m.ExcelMainWindow, tag.Handle(), true, true, "Tahoma"));
  EXPECT_EQ(std::tuple(t.max_width, t.autopop_ms, t.initial_ms), std::tuple(400, 3000, 500));
  w.Set(opt::TooltipVisibleTime, 5000);
  show();
  EXPECT_EQ(tag.Tooltip()->Settings().autopop_ms, 3000);  // the live one stays
  w.Set(opt::DisplayTooltip, false);
  show();
  EXPECT_EQ(tag.Tooltip(), nullptr);
  EXPECT_EQ(w.form->live_tooltips, 0);
  w.Set(opt::DisplayTooltip, true);
  w.Set(opt::TooltipDelayTime, -7);
  show();
  t = tag.Tooltip()->Settings();
  EXPECT_EQ(std::tuple(t.autopop_ms, t.initial_ms), std::tuple(5000, 0));
  tag.Unload();
  EXPECT_EQ(w.form->live_tooltips, 0);
}

TEST(frm_tag, opens_the_calendar_at_once_when_asked) {
  for (bool automatic : {false, true}) {
    TagWorld w;
    w.Set(opt::DisplayCalendarAutomatically, automatic);
    frmTag& tag = w.Start();
    ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
    ASSERT_TRUE(tag.TagDisplay(w.Range("B3")));
    EXPECT_EQ(w.events.clicks, automatic ? 1 : 0);
  }
}

TEST(frm_tag, icon_file_or_the_built_in_one) {
  struct Row {
    const char* path;
    bool loaded;
  } rows[] = {{"", false}, {"C:\\Tessaly\\pictures\\missing.ico", false}, {"C:\\Tessaly\\pictures\\cal16.ico", true}};
  for (const Row& r : rows) {
    TagWorld w;
    EXPECT_EQ(w.Start(r.path).IconLoaded(), r.loaded) << r.path;
  }
}

// Every host member failing once while the tag is shown: nothing escapes, the tag is either
// shown where it belongs or hidden, and page layout's scrolling is put back.
TEST(frm_tag, host_failures_leave_the_tag_hidden) {
  for (const char* version : {"12.0", "11.0"}) {
    for (const std::string& member : sim::SimExcel::Members()) {
      TagWorld w(version);
      w.book().win.view = xl::kPageLayoutView;
      w.book().win.zoom = version[1] == '2' ? 100 : 75;
      w.book().win.scroll_row[0] = 2;
      frmTag& tag = w.Start();
      w.host->FailNext(member);
      bool shown = tag.TagDisplay(w.Range("C4"));
      EXPECT_EQ(std::tuple(tag.Displayed(), w.form->Window().visible), std::tuple(shown, shown)) << member;
      EXPECT_EQ(w.book().win.scroll_row[0], 2) << member;
      if (shown) {
        EXPECT_NEAR(tag.Y(), w.Painted("C4").top, 1) << member;
      }
    }
  }
}

}  // namespace
}  // namespace tessaly::testing
