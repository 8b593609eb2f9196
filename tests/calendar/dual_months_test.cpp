// The calendar control: defaults, linking and borders, day collections, mouse, drag and keys.
#include "calendar/dual_months.h"

#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;
using testing::sep;
using testing::World;
using testing::ymd;

TEST(DualMonthsLink, TakesOverThePictureAndFollowsItsSizeAndPaints) {
  World w;
  EXPECT_EQ(std::tuple(w.picture.no_border_calls(), w.picture.auto_redraw(), w.picture.back_color()),
            std::tuple(1, false, rgb(240, 240, 240)));
  EXPECT_EQ(w.picture.listener(), &w.cal);
  EXPECT_EQ((std::pair{w.cal.Surface().Width(), w.cal.Surface().Height()}), (std::pair{233, 161}));
  w.show(sep(1));
  w.picture.resize(303, 170);
  EXPECT_EQ((std::pair{w.cal.Surface().Width(), w.cal.Surface().Height()}), (std::pair{303, 170}));
  EXPECT_EQ(w.cal.CellWidth(), 299 / 7);
  // A paint copies the finished image; nothing else changes the window.
  w.picture.pixels().fill(Rect{0, 0, 303, 170}, rgb(1, 2, 3));
  w.picture.paint();
  EXPECT_EQ(w.picture.pixels().count(Rect{0, 0, 303, 170}, rgb(1, 2, 3)), 0);
  EXPECT_EQ(w.picture.pixels().at(0, 0), w.surface().pixel(0, 0));
  EXPECT_EQ(w.picture.pixels().at(150, 100), w.surface().pixel(150, 100));
  w.cal.LinkControl(nullptr);
  EXPECT_EQ(w.picture.listener(), nullptr);
}

TEST(DualMonthsBorder, StylesReplaceTheEdgeBits) {
  constexpr std::uint32_t kOther = 0x50000001, kExOther = 0x00000008;
  const WindowStyles all{kOther | ws::kBorder | ws::kThickFrame,
                         kExOther | ws::kExWindowEdge | ws::kExClientEdge | ws::kExStaticEdge};
  struct Case {
    int style;
    Appearance before, after;
    WindowStyles expected;
  };
  const Case cases[] = {
      {0, Appearance::ThreeD, Appearance::Flat, {kOther, kExOther}},
      {1, Appearance::ThreeD, Appearance::Flat,
       {kOther | ws::kBorder | ws::kThickFrame, kExOther | ws::kExWindowEdge}},
      {2, Appearance::ThreeD, Appearance::ThreeD, {kOther, kExOther | ws::kExStaticEdge}},
      {2, Appearance::Flat, Appearance::Flat, {kOther, kExOther | ws::kExStaticEdge}},
      {3, Appearance::Flat, Appearance::ThreeD, {kOther, kExOther | ws::kExClientEdge}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    World w;
    w.picture.preset_styles(all);
    w.picture.set_appearance(c.before);
    w.cal.set_BorderStyle(c.style);
    EXPECT_EQ(w.picture.window_styles(), c.expected);
    EXPECT_EQ(w.picture.appearance(), c.after);
    EXPECT_EQ(w.picture.frame_refreshes(), 1);
  }
}

TEST(DualMonthsCollection, HoldsTheDisplayedMonthsDays) {
  struct Case {
    const char* name;
    double anchor;
    bool dual;
    std::size_t count;
    double first, last;
  };
  const Case cases[] = {
      {"september", sep(18), false, 30, sep(1), sep(30)},
      {"leap_january_february", ymd(2024, 1, 31), true, 60, ymd(2024, 1, 1), ymd(2024, 2, 29)},
      {"december_into_january", ymd(2023, 12, 5), true, 62, ymd(2023, 12, 1), ymd(2024, 1, 31)},
      {"common_february_end_clamped", ymd(2023, 1, 31), true, 59, ymd(2023, 1, 1), ymd(2023, 2, 28)},
      {"not_a_date_is_today", std::numeric_limits<double>::quiet_NaN(), false, 30, sep(1), sep(30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    w.cal.set_DualMonths(c.dual);
    w.cal.set_CalendarCustomDate(c.anchor);
    ASSERT_EQ(w.cal.DayCells().count(), c.count);
    EXPECT_EQ(w.cal.DayCells().Item(1).DateTime(), c.first);
    EXPECT_EQ(w.cal.DayCells().Item(c.count).DateTime(), c.last);
    // In date order, one day apart.
    for (std::size_t i = 2; i <= c.count; ++i)
      ASSERT_EQ(w.cal.DayCells().Item(i).DateTime() - w.cal.DayCells().Item(i - 1).DateTime(), 1.0) << i;
  }
  World w;
  w.cal.set_CalendarCustomDate(-1e9);
  EXPECT_EQ(w.cal.CalendarCustomDate(), ymd(2024, 9, 18));
}

TEST(DualMonthsSelection, SelectAndUnselectRaiseOnlyOnChange) {
  World w;
  w.cal.SelectDay(sep(3));
  w.cal.SelectDay(sep(3) + 0.75);  // same day, same key
  EXPECT_EQ(w.clicked.size(), 1u);
  w.cal.UnSelectDay(sep(4));
  EXPECT_EQ(w.clicked.size(), 1u);
  w.cal.UnSelectDay(sep(3));
  // The owner's SelectDay leaves the focus alone.
  EXPECT_EQ(std::tuple(w.clicked.size(), w.cal.SelectedDays().count(), w.cal.HasFocusDate()),
            std::tuple(2u, 0u, false));

  clsDateItems other;
  other.Add(sep(5));
  other.Add(sep(9));
  w.cal.set_SelectedDays(other);
  EXPECT_THAT(w.selected(), ElementsAre(sep(5), sep(9)));
}

// ---- mouse ----

struct PointCase {
  const char* name;
  int x, y;
  double selects;  // 0: nothing
  bool dual = false;
};

TEST(DualMonthsMouse, PressSelectsTheFirstCellContainingThePoint) {
  // September 2024, Sunday first: August fills row 0, 1 Sep is at (2, 67)-(34, 84).
  const PointCase cases[] = {
      {"inside", 18, 75, sep(1)},
      {"top_left_corner", 2, 67, sep(1)},
      {"shared_vertical_edge_goes_earlier", 34, 75, sep(1)},
      {"shared_horizontal_edge_goes_earlier", 20, 84, sep(1)},
      {"shared_corner_goes_earliest", 34, 84, sep(1)},
      {"right_edge_of_last_day", 66, 140, sep(30)},
      {"bottom_edge_of_last_row", 50, 152, sep(30)},
      {"below_the_grid", 50, 153, 0},
      {"left_of_the_grid", 1, 75, 0},
      {"pre_period", 18, 58, 0},
      {"pre_period_edge_belongs_to_the_day_below", 200, 67, sep(7)},
      {"post_period", 80, 140, 0},
      {"title", 110, 12, 0},
      // The arrows' right and bottom edges, and the border around them, are not the arrows.
      {"prev_arrow_right_edge", 34, 10, 0},
      {"prev_arrow_bottom_edge", 10, 25, 0},
      {"next_arrow_right_edge", 229, 10, 0},
      {"next_arrow_bottom_edge", 200, 25, 0},
      {"left_of_the_prev_arrow", 1, 10, 0},
      {"above_the_prev_arrow", 10, 1, 0},
      // October 2024 opens on a Tuesday: the second month's first two cells are 29 and 30 September.
      {"second_month_leading_day", 250, 58, 0, true},
      {"second_month_second_leading_day", 282, 58, 0, true},
      {"second_months_first_day", 314, 58, ymd(2024, 10, 1), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w(ymd(2024, 9, 18) + 0.4, c.dual ? 466 : 233);
    w.cal.set_DualMonths(c.dual);
    w.show(sep(1));
    w.picture.click(c.x, c.y);
    EXPECT_EQ(std::tuple(w.changed, w.cal.CalendarCustomDate()), std::tuple(0, sep(1)));
    EXPECT_EQ(w.selected(), c.selects == 0 ? std::vector<double>{} : std::vector<double>{c.selects});
    EXPECT_EQ(w.cal.HasFocusDate() ? w.cal.FocusDate() : 0, c.selects) << "the focus day, 0 for none";
  }
}

TEST(DualMonthsMouse, DaysNotYetDrawnAreNeverHit) {
  World w;
  w.show(sep(1));
  // The new month's days are collected but not placed until the next redraw.
  w.cal.set_CalendarCustomDate(ymd(2024, 10, 1));
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{18, 75}}) w.picture.click(x, y);
  EXPECT_THAT(w.selected(), IsEmpty());
  EXPECT_THAT(w.clicked, IsEmpty());
}

TEST(DualMonthsMouse, SingleSelectionReplacesAndReportsThePreviousFocus) {
  World w;
  w.show(sep(1));
  w.click_date(sep(10));
  w.click_date(sep(12));
  EXPECT_THAT(w.selected(), ElementsAre(sep(12)));
  EXPECT_THAT(w.clicked, ElementsAre(0.0, sep(10)));
  // Only the left button picks; Shift and Ctrl mean nothing without multiple selection.
  w.picture.hold(vk::kControl);
  w.click_date(sep(14));
  EXPECT_THAT(w.selected(), ElementsAre(sep(14)));
  const clsDateItem& ten = w.day(sep(10));
  w.picture.mouse_down(mouse::kRight, ten.Left() + 2, ten.TOp() + 2);
  EXPECT_THAT(w.selected(), ElementsAre(sep(14)));
}

TEST(DualMonthsArrows, PressMovesTheMonthOnceUntilThePointerMoves) {
  World w;
  w.show(sep(18));
  w.picture.mouse_down(mouse::kLeft, 33, 24);  // last pixel inside the previous arrow
  EXPECT_EQ(std::tuple(w.cal.CalendarCustomDate(), w.changed, w.cal.PrevArrowState(), w.cal.PrevArrowFocus()),
            std::tuple(ymd(2024, 8, 18), 1, 2, true));
  EXPECT_EQ(w.cal.DayCells().Item(1).DateTime(), ymd(2024, 8, 1));
  w.picture.mouse_up(mouse::kLeft, 33, 24);
  // A press on a pressed arrow falls through to the days and finds none.
  w.picture.mouse_down(mouse::kLeft, 20, 10);
  EXPECT_EQ(w.changed, 1);
  EXPECT_THAT(w.selected(), IsEmpty());
  w.picture.mouse_move(20, 11);
  EXPECT_EQ(w.cal.PrevArrowState(), 1);
  w.picture.mouse_down(mouse::kLeft, 20, 10);
  EXPECT_EQ(std::tuple(w.cal.CalendarCustomDate(), w.changed), std::tuple(ymd(2024, 7, 18), 2));

  w.picture.mouse_down(mouse::kLeft, 197, 2);  // the next arrow's top-left corner
  EXPECT_EQ(std::tuple(w.cal.CalendarCustomDate(), w.changed, w.cal.NextArrowState(), w.cal.NextArrowFocus()),
            std::tuple(ymd(2024, 8, 18), 3, 2, true));
  EXPECT_FALSE(w.cal.PrevArrowFocus());
}

TEST(DualMonthsArrows, HoverFollowsThePointerOneRuleAtATime) {
  World w;
  w.show(sep(18));
  struct Step {
    int x, y;
    int prev, next;
  };
  const Step steps[] = {
      {10, 10, 1, 0},   // enters the previous arrow
      {100, 100, 0, 0},  // leaves it
      {200, 10, 0, 1},  // enters the next arrow
      {10, 10, 1, 1},   // the first rule that applies lights the previous arrow only
      {11, 10, 1, 0},   // the next move puts the next arrow back
      {-1, -1, 0, 0},   // the pointer leaves the control over the hot arrow
      {200, 10, 0, 1},
      {-1, -1, 0, 0},
  };
  for (const auto& s : steps) {
    if (s.x < 0)
      w.picture.mouse_leave();
    else
      w.picture.mouse_move(s.x, s.y);
    EXPECT_EQ((std::pair{w.cal.PrevArrowState(), w.cal.NextArrowState()}), (std::pair{s.prev, s.next}))
        << s.x << "," << s.y;
  }
  w.picture.mouse_down(mouse::kLeft, 10, 10);
  w.picture.lose_focus();
  EXPECT_EQ((std::pair{w.cal.PrevArrowState(), w.cal.NextArrowState()}), (std::pair{0, 0}));
  EXPECT_EQ((std::pair{w.cal.PrevArrowFocus(), w.cal.NextArrowFocus()}), (std::pair{false, false}));
}

// ---- multiple selection ----

TEST(DualMonthsMulti, ShiftExtendsFromTheFocusCtrlTogglesBothChangeNothing) {
  struct Step {
    double day;  // clicked, or the focus a key leaves
    bool shift, ctrl;
    std::vector<double> selected;  // in collection order
    int key = 0;                   // pressed instead of a click
  };
  const std::pair<const char*, std::vector<Step>> runs[] = {
      {"shift_from_the_focus_towards_the_day",
       {{sep(10), false, false, {sep(10)}},
        {sep(13), true, false, {sep(10), sep(11), sep(12), sep(13)}},
        {sep(8), true, false, {sep(13), sep(12), sep(11), sep(10), sep(9), sep(8)}},
        {sep(8), true, false, {sep(8)}}}},
      {"shift_without_a_focus_selects_one_day",
       {{sep(20), true, false, {sep(20)}}, {sep(22), true, false, {sep(20), sep(21), sep(22)}}}},
      {"ctrl_toggles_and_both_keys_change_nothing",
       {{sep(10), false, false, {sep(10)}},
        {sep(12), false, true, {sep(10), sep(12)}},
        {sep(10), false, true, {sep(12)}},
        {sep(15), true, true, {sep(12)}},
        {sep(16), false, false, {sep(16)}}}},
      // Moving keys leave the selection alone, an emptied one too.
      {"keys_move_without_selecting",
       {{sep(10), false, false, {sep(10)}}, {sep(10), false, true, {}}, {sep(11), false, false, {}, vk::kRight}}},
  };
  for (const auto& [name, steps] : runs) {
    SCOPED_TRACE(name);
    World w;
    w.cal.set_MultiSelect(true);
    w.show(sep(1));
    for (const auto& s : steps) {
      w.picture.release_all_keys();
      if (s.shift) w.picture.hold(vk::kShift);
      if (s.ctrl) w.picture.hold(vk::kControl);
      // The events' own flags say the opposite of the keyboard: only the keyboard counts.
      if (s.key != 0)
        w.picture.key_down(s.key);
      else
        w.click_date(s.day, (s.shift ? 0 : shift::kShift) | (s.ctrl ? 0 : shift::kCtrl));
      EXPECT_THAT(w.selected(), ElementsAreArray(s.selected)) << "after " << s.day << " key " << s.key;
      EXPECT_EQ(w.cal.FocusDate(), s.day);
      // The image shows the selection at once.
      for (double d : s.selected)
        EXPECT_EQ(w.surface().pixel(w.day(d).Left() + 3, w.day(d).TOp() + 2), rgb(51, 153, 255)) << d;
    }
  }
}

// ---- drag ----

TEST(DualMonthsDrag, FrameSelectsTheCellsItOverlapsByAPixel) {
  struct Case {
    const char* name;
    int x0, y0, x1, y1;
    std::vector<double> selected;
  };
  // 10 September is (66..98, 84..101), 19 September (130..162, 101..118).
  const Case cases[] = {
      {"down_right", 82, 92, 146, 109, {sep(10), sep(11), sep(12), sep(17), sep(18), sep(19)}},
      {"up_left_is_normalised", 146, 109, 82, 92, {sep(19), sep(10), sep(11), sep(12), sep(17), sep(18)}},
      // Pressed on the edge of 10 and 11 September (10 wins the press); the frame ends exactly on
      // the left edge of 12 September and the top edge of row 3, so neither is taken.
      {"touching_edges_select_nothing", 98, 90, 130, 101, {sep(10), sep(11)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    w.cal.set_MultiSelect(true);
    w.show(sep(1));
    w.picture.mouse_down(mouse::kLeft, c.x0, c.y0);
    w.picture.mouse_move((c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2, mouse::kLeft);
    w.picture.mouse_move(c.x1, c.y1, mouse::kLeft);
    EXPECT_EQ(w.cal.DragRect(),
              (Rect{std::min(c.x0, c.x1), std::min(c.y0, c.y1), std::max(c.x0, c.x1), std::max(c.y0, c.y1)}));
    w.picture.mouse_up(mouse::kLeft, c.x1, c.y1);
    EXPECT_THAT(w.selected(), UnorderedElementsAreArray(c.selected));
    EXPECT_EQ(w.cal.DragRect(), (Rect{-1, -1, -1, -1}));
  }
}

TEST(DualMonthsDrag, RubberBandIsErasedAndWipedByTheRedraw) {
  World w;
  w.cal.set_MultiSelect(true);
  w.show(sep(1));
  w.picture.mouse_down(mouse::kLeft, 82, 92);
  w.picture.mouse_move(120, 100, mouse::kLeft);
  w.picture.mouse_move(10, 10, mouse::kLeft);  // over the arrow: a redraw wipes the band meanwhile
  w.picture.mouse_move(146, 130, mouse::kLeft);
  // Only the last frame is on the screen: every pixel that differs from the image lies on it.
  const Rect band = w.cal.DragRect();
  int differing = 0;
  for (int y = 0; y < 161; ++y) {
    for (int x = 0; x < 233; ++x) {
      if (w.picture.pixels().at(x, y) == w.surface().pixel(x, y)) continue;
      ++differing;
      const bool on_frame = (x == band.left || x == band.right - 1 || y == band.top || y == band.bottom - 1) &&
                            band.contains(x, y);
      ASSERT_TRUE(on_frame) << x << "," << y;
    }
  }
  EXPECT_GT(differing, 0);
  w.picture.mouse_up(mouse::kLeft, 146, 130);
  for (int y = 0; y < 161; ++y)
    for (int x = 0; x < 233; ++x) ASSERT_EQ(w.picture.pixels().at(x, y), w.surface().pixel(x, y)) << x << "," << y;
}

TEST(DualMonthsDrag, NoBandWithoutMultipleSelectionOrWithoutAPress) {
  for (bool multi : {false, true}) {
    SCOPED_TRACE(multi);
    World w;
    w.cal.set_MultiSelect(multi);
    w.show(sep(1));
    // Single selection drags with the button held; multiple selection moves after the release.
    w.picture.mouse_down(mouse::kLeft, 82, 92);
    if (multi) w.picture.mouse_up(mouse::kLeft, 82, 92);
    w.picture.mouse_move(146, 109, multi ? 0 : mouse::kLeft);
    if (!multi) w.picture.mouse_up(mouse::kLeft, 146, 109);
    EXPECT_EQ(w.picture.pixels().focus_rects_drawn(), 0);
    EXPECT_THAT(w.selected(), ElementsAre(sep(10)));
  }
}

// ---- keys ----

// Moving keys move only the focus day, drawn as a focus frame, and the month follows it; Enter and
// Space pick it as a click would.
TEST(DualMonthsKeys, MoveTheFocusDayAndPickOnlyOnEnter) {
  constexpr int kEnter = vk::kReturn, kSpace = vk::kSpace;
  struct Case {
    const char* name;
    double from;
    std::vector<std::pair<int, bool>> keys;  // key, Shift held
    double focus;
    double shown;                   // the month's anchor afterwards
    std::vector<double> selected;   // the start day stays selected until a pick
    int picks;
    bool dual = false;  // two months shown: the month scrolls only when the focus leaves both
  };
  const double oct1 = ymd(2024, 10, 1), aug31 = ymd(2024, 8, 31);
  const Case cases[] = {
      {"right", sep(10), {{vk::kRight, false}}, sep(11), sep(10), {sep(10)}, 0},
      {"up_down_back_into_the_month", sep(10), {{vk::kUp, false}, {vk::kUp, false}, {vk::kDown, false}}, sep(3), sep(3), {sep(10)}, 0},
      {"home_end", sep(17), {{vk::kHome, false}}, sep(1), sep(17), {sep(17)}, 0},
      {"end", sep(17), {{vk::kEnd, false}}, sep(30), sep(17), {sep(17)}, 0},
      {"right_leaves_the_month", sep(30), {{vk::kRight, false}}, oct1, oct1, {sep(30)}, 0},
      {"up_leaves_the_month", sep(3), {{vk::kUp, false}}, ymd(2024, 8, 27), ymd(2024, 8, 27), {sep(3)}, 0},
      {"left_leaves_the_month", sep(1), {{vk::kLeft, false}}, aug31, aug31, {sep(1)}, 0},
      {"page_down_keeps_the_day", sep(10), {{vk::kPageDown, false}}, ymd(2024, 10, 10), ymd(2024, 10, 10), {sep(10)}, 0},
      {"page_up_clamps", ymd(2024, 3, 31) , {{vk::kPageUp, false}}, ymd(2024, 2, 29), ymd(2024, 2, 29), {ymd(2024, 3, 31)}, 0},
      {"shift_page_down_leap_day", ymd(2024, 2, 29), {{vk::kPageDown, true}}, ymd(2025, 2, 28), ymd(2025, 2, 28), {ymd(2024, 2, 29)}, 0},
      {"shift_page_up_year", sep(10), {{vk::kPageUp, true}}, ymd(2023, 9, 10), ymd(2023, 9, 10), {sep(10)}, 0},
      {"other_key_ignored", sep(17), {{0x41, false}}, sep(17), sep(17), {sep(17)}, 0},
      {"enter_picks", sep(10), {{vk::kRight, false}, {vk::kRight, false}, {vk::kRight, false}, {kEnter, false}}, sep(13), sep(10), {sep(13)}, 1},
      {"space_picks_the_start_day", sep(10), {{kSpace, false}}, sep(10), sep(10), {sep(10)}, 1},
      {"enter_after_leaving_the_month", sep(30), {{vk::kDown, false}, {kEnter, false}}, ymd(2024, 10, 7), ymd(2024, 10, 7), {ymd(2024, 10, 7)}, 1},
      // The last day the host can date: the focus stays.
      {"end_of_the_calendar", ymd(9999, 12, 31), {{vk::kRight, false}, {vk::kPageDown, true}}, ymd(9999, 12, 31), ymd(9999, 12, 31), {ymd(9999, 12, 31)}, 0},
      {"two_months_into_the_second", sep(30), {{vk::kRight, false}}, oct1, sep(30), {sep(30)}, 0, true},
      {"two_months_past_both", sep(30), {{vk::kRight, false}, {vk::kEnd, false}, {vk::kRight, false}},
       ymd(2024, 11, 1), oct1, {sep(30)}, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w(ymd(2024, 9, 18) + 0.4, c.dual ? 466 : 233);
    w.cal.set_DualMonths(c.dual);
    int picks = 0;
    w.cal.DateClicked = [&](double) { ++picks; };
    w.show(c.from);
    w.cal.SelectDay(c.from);
    w.cal.set_FocusDate(c.from + 0.5);
    picks = 0;
    for (const auto& [key, shift] : c.keys) {
      if (shift) w.picture.hold(vk::kShift);
      w.picture.key_down(key, shift ? shift::kShift : 0);
      w.picture.release_all_keys();
    }
    EXPECT_EQ(std::tuple(w.cal.FocusDate(), w.cal.CalendarCustomDate(), picks), std::tuple(c.focus, c.shown, c.picks));
    EXPECT_THAT(w.selected(), ElementsAreArray(c.selected));
  }
}

TEST(DualMonthsKeys, FocusDayIsFramedOnlyWhileTheGridHasTheFocus) {
  World w;
  w.show(sep(1));
  w.cal.set_FocusDate(sep(12));
  int draws = 0, month_changes = 0;
  w.cal.Drawn = [&] { ++draws; };
  w.cal.DateChanged = [&] { ++month_changes; };
  const int before = w.surface().buffer().focus_rects_drawn();
  w.picture.gain_focus();
  EXPECT_EQ(std::tuple(w.cal.FocusVisible(), w.surface().buffer().focus_rects_drawn()), std::tuple(true, before + 1));
  w.picture.key_down(vk::kPageDown);
  EXPECT_EQ(w.surface().buffer().focus_rects_drawn(), before + 2);
  EXPECT_EQ(std::tuple(draws, month_changes), std::tuple(2, 1));
  w.picture.lose_focus();
  EXPECT_EQ(std::tuple(w.cal.FocusVisible(), w.surface().buffer().focus_rects_drawn()), std::tuple(false, before + 2));
}

TEST(DualMonthsKeys, ArrowButtonsCarryTheFocusDayToTheNewMonth) {
  World w;
  w.show(sep(1));
  w.click_date(sep(10));
  w.picture.mouse_down(mouse::kLeft, 200, 10);  // next month: October
  EXPECT_EQ(w.cal.FocusDate(), ymd(2024, 10, 10));
  w.picture.key_down(vk::kRight);
  EXPECT_EQ(std::tuple(w.cal.FocusDate(), w.cal.CalendarCustomDate()), std::tuple(ymd(2024, 10, 11), ymd(2024, 10, 1)));
  EXPECT_THAT(w.selected(), ElementsAre(sep(10)));
}

// ---- failures stay inside ----

TEST(DualMonthsFailures, ListenerAndSurfaceFailuresNeverReachTheControl) {
  World w;
  w.show(sep(1));
  w.throw_in_listener = true;
  EXPECT_NO_THROW(w.click_date(sep(10)));
  EXPECT_THAT(w.selected(), ElementsAre(sep(10)));
  EXPECT_NO_THROW(w.picture.key_down(vk::kRight));
  w.throw_in_listener = false;

  w.graphics.set_fail_create(true);
  EXPECT_NO_THROW(w.picture.resize(300, 200));
  EXPECT_FALSE(w.cal.Surface().IsCreated());
  EXPECT_NO_THROW(w.picture.paint());
  EXPECT_NO_THROW(w.picture.click(50, 100));
  EXPECT_NO_THROW(w.picture.lose_focus());
  w.graphics.set_fail_create(false);
  w.picture.resize(233, 161);
  EXPECT_EQ(std::tuple(w.cal.Surface().IsCreated(), w.cal.CellWidth()), std::tuple(true, 32));
}

TEST(DualMonthsBadInput, OutOfRangeOptionsAndDateEdgesStillDraw) {
  struct Case {
    const char* name;
    int first_day, header_format, line_style, alignment;
    double anchor;
    bool dual;
    std::size_t days;
  };
  const Case cases[] = {
      {"first_day_zero_is_sunday", 0, 2, 3, 0, sep(1), false, 30},
      {"first_day_nine_is_sunday", 9, 2, 3, 0, sep(1), false, 30},
      {"header_format_out_of_range", 1, 9, 3, 0, sep(1), false, 30},
      {"line_style_out_of_range", 1, 2, 7, 12, sep(1), false, 30},
      {"last_month_of_the_date_range_twice", 1, 2, 3, 0, ymd(9999, 12, 31), true, 31},
      {"first_month_of_the_date_range", 1, 2, 3, 0, ymd(100, 1, 1), true, 59},  // 100 is no leap year
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w(sep(18), 466, 161);
    w.cal.set_FirstDayOfWeek(c.first_day);
    w.cal.set_DayHeaderFormat(c.header_format);
    w.cal.set_LineStyle(c.line_style);
    w.cal.set_DayNumberAlignment(static_cast<std::int16_t>(c.alignment));
    w.cal.set_DualMonths(c.dual);
    ASSERT_NO_THROW(w.show(c.anchor));
    EXPECT_EQ(w.cal.DayCells().count(), c.days);
    // The first day is still where a Sunday-first grid puts it, and clickable.
    const clsDateItem& first = w.cal.DayCells().Item(1);
    w.picture.click(first.Left() + 1, first.TOp() + 1);
    EXPECT_THAT(w.selected(), ElementsAre(first.DateTime()));
    w.picture.mouse_down(mouse::kLeft, 200 + 233, 10);  // the next arrow, at the range's end too
    w.picture.mouse_down(mouse::kLeft, 10, 10);
    EXPECT_EQ(w.changed, 2);
  }
}


// High contrast: the image holds only the theme's system colours (the focus frame's as well), the
// selected day keeps a frame in window text, today one in highlight, and the option colours come
// back when it is turned off, with the selected day's frame in its text colour.
TEST(DualMonthsContrast, SystemColoursOnlyWithFramedSelectionAndToday) {
  World w;
  // A high-contrast black theme, every colour the calendar could draw with.
  const std::pair<int, Rgb> theme[] = {{5, rgb(0, 0, 0)},       {8, rgb(255, 255, 255)},  {13, rgb(26, 235, 255)},
                                       {14, rgb(0, 0, 0)},       {17, rgb(63, 242, 63)},   {15, rgb(0, 0, 0)},
                                       {18, rgb(255, 255, 255)}, {16, rgb(128, 128, 128)}, {20, rgb(255, 255, 255)},
                                       {21, rgb(128, 128, 128)}, {22, rgb(255, 255, 255)}};
  std::set<Rgb> allowed;
  for (const auto& [index, colour] : theme) {
    w.graphics.set_system_color(index, colour);
    allowed.insert(colour);
  }
  w.cal.set_DateSelectedBackColor(0x00030201);
  w.cal.SelectDay(sep(10));
  w.cal.set_FocusDate(sep(10));
  w.cal.set_HighContrast(true);
  // Week numbers and marks as well: a weekend and a holiday are shapes, not colours.
  w.cal.set_ShowWeekNumbers(true);
  w.cal.set_MarkWeekends(true);
  w.cal.set_Holidays({sep(16)});
  w.show(sep(1));
  w.picture.gain_focus();  // the focus frame too, on the selected day
  std::set<Rgb> seen;
  for (int y = 0; y < 161; ++y)
    for (int x = 0; x < 233; ++x) seen.insert(w.surface().pixel(x, y));
  for (Rgb c : seen) EXPECT_TRUE(allowed.count(c)) << std::hex << c;
  const auto frame_pixel = [&](double date) {
    const clsDateItem& d = w.day(date);
    return w.surface().pixel(d.Left() + 1, (d.TOp() + d.Bottom()) / 2);
  };
  const auto fill_pixel = [&](double date) {
    const clsDateItem& d = w.day(date);
    return w.surface().pixel(d.Left() + 4, d.TOp() + 3);
  };
  // The selected day's frame and fill, today's frame, a plain day's fill.
  EXPECT_EQ(std::tuple(frame_pixel(sep(10)), fill_pixel(sep(10)), frame_pixel(sep(18)), fill_pixel(sep(11))),
            std::tuple(rgb(255, 255, 255), rgb(26, 235, 255), rgb(26, 235, 255), rgb(0, 0, 0)));
  // The focus frame in highlight text, clear of the selected day's two-pixel frame.
  const clsDateItem& focus = w.day(sep(10));
  EXPECT_EQ(std::tuple(w.surface().pixel(focus.Left() + 4, focus.TOp() + 4), w.surface().pixel(focus.Left() + 2, focus.TOp() + 6),
                       w.surface().pixel(focus.Left() + 3, focus.TOp() + 6)),
            std::tuple(rgb(0, 0, 0), rgb(255, 255, 255), rgb(26, 235, 255)));
  // Saturday's stripe down its left side, the holiday's notch, in window text; Friday has neither.
  const auto stripe_pixel = [&](double date) { return w.surface().pixel(w.day(date).Left() + 2, w.day(date).TOp() + 5); };
  const auto notch_pixel = [&](double date) { return w.surface().pixel(w.day(date).Right() - 3, w.day(date).TOp() + 2); };
  EXPECT_EQ(std::tuple(stripe_pixel(sep(14)), notch_pixel(sep(16)), stripe_pixel(sep(13)), notch_pixel(sep(13))),
            std::tuple(rgb(255, 255, 255), rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 0, 0)));

  w.cal.set_HighContrast(false);
  w.cal.RebuildImage();
  EXPECT_EQ(w.cal.DateSelectedBackColor(), 0x00030201u);
  EXPECT_EQ(fill_pixel(sep(10)), rgb(1, 2, 3)) << "the option's colour again";
  // Told apart by more than colour still: framed in its text colour, where a plain day shows its fill.
  EXPECT_EQ(std::tuple(frame_pixel(sep(10)), frame_pixel(sep(11))), std::tuple(Rgb{0x000000FF}, fill_pixel(sep(11))));
}

// Days outside the cell's rule are drawn grey and refused by a click and by Enter; the days it
// takes are picked as ever.
TEST(DualMonthsLimits, RefusedDaysAreGreyAndCannotBePicked) {
  World w;
  w.cal.set_Limits(DateLimits{LimitOperator::Between, sep(10), sep(20)});
  w.show(sep(1));
  const auto fill = [&](double date) { return w.surface().pixel(w.day(date).Left() + 4, w.day(date).TOp() + 3); };
  const Rgb grey = w.surface().pixel(w.cal.Layout().day_cell(0, 5, 6).left + 4, w.cal.Layout().day_cell(0, 5, 6).top + 3);
  EXPECT_EQ(std::tuple(fill(sep(9)), fill(sep(21))), std::tuple(grey, grey)) << "as October's days";
  EXPECT_NE(fill(sep(10)), grey);
  w.click_date(sep(9));
  w.cal.set_FocusDate(sep(21));
  w.picture.key_down(vk::kReturn, 0);
  EXPECT_THAT(w.clicked, IsEmpty());
  EXPECT_THAT(w.selected(), IsEmpty());
  w.click_date(sep(20));
  EXPECT_THAT(w.selected(), ElementsAre(sep(20)));
}

}  // namespace
}  // namespace tessaly::calendar
