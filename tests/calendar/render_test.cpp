// The calendar image on the raster surface: colours, fonts, today, periods, header texts, arrows.
#include <algorithm>
#include <string>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

using testing::sep;
using testing::World;
using testing::ymd;

constexpr Rgb kButtonFace = rgb(240, 240, 240);
constexpr Rgb kHighlight = rgb(51, 153, 255);
constexpr Rgb kRed = 0x000000FF;
constexpr Rgb kDarkBlue = 0x00800000;
constexpr Rgb kGrey = 0x00808080;
constexpr Rgb kLightYellow = 0x0080FFFF;

// The draws of a text whose cell lies inside a rectangle.
std::vector<sim::TextDraw> draws_in(World& w, const Rect& r, const std::string& text) {
  std::vector<sim::TextDraw> out;
  for (const auto& d : w.surface().text_draws())
    if (d.text == text && d.cell.left >= r.left && d.cell.top >= r.top && d.cell.right <= r.right &&
        d.cell.bottom <= r.bottom)
      out.push_back(d);
  return out;
}

// The one text draw of a grid cell.
sim::TextDraw cell_draw(World& w, int month, int row, int column, const std::string& text) {
  const auto found = draws_in(w, w.cal.Layout().day_cell(month, row, column), text);
  EXPECT_EQ(found.size(), 1u) << text;
  return found.empty() ? sim::TextDraw{} : found.front();
}

// A point of the cell's interior away from its border and its centred text.
Rgb cell_background(World& w, int month, int row, int column) {
  const Rect r = w.cal.Layout().day_cell(month, row, column);
  return w.surface().pixel(r.left + 3, r.top + 2);
}

void redraw(World& w) {
  w.surface().clear_text_draws();
  w.cal.RebuildImage();
}

TEST(CalendarImage, DayCellColoursAndFonts) {
  struct Case {
    const char* name;
    double today, picked;
    int row, column;
    std::string text;
    int weight;
    Rgb fore, back;
  };
  // September 2024 from Sunday: 25 August at (0, 0), 1 September at (1, 0), 1 October at (5, 2).
  const Case cases[] = {
      {"today_bold_red", sep(18), sep(10), 3, 3, "18", 700, kRed, kButtonFace},
      {"next_to_today", sep(18), sep(10), 3, 4, "19", 400, kDarkBlue, kButtonFace},
      {"today_selected", sep(18), sep(18), 3, 3, "18", 700, kRed, kHighlight},
      {"today_in_the_pre_period", ymd(2024, 8, 28), sep(10), 0, 3, "28", 400, kGrey, kLightYellow},
      {"pre_period", sep(18), sep(10), 0, 0, "25", 400, kGrey, kLightYellow},
      // Selected by the owner, but drawn as the pre-period it is shown in.
      {"selected_pre_period_day", sep(18), sep(10), 0, 5, "30", 400, kGrey, kLightYellow},
      {"current", sep(18), sep(10), 1, 0, "1", 400, kDarkBlue, kButtonFace},
      {"selected", sep(18), sep(10), 2, 2, "10", 400, kRed, kHighlight},
      {"post_period", sep(18), sep(10), 5, 2, "1", 400, kGrey, kLightYellow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w(c.today);
    w.show(sep(1));
    w.click_date(c.picked);
    w.cal.SelectDay(ymd(2024, 8, 30));
    redraw(w);
    const sim::TextDraw d = cell_draw(w, 0, c.row, c.column, c.text);
    EXPECT_EQ(std::tuple(d.font.face, d.font.height, d.font.weight, d.text_color, d.back_color),
              std::tuple("Tahoma", -11, c.weight, c.fore, c.back));
    EXPECT_EQ(cell_background(w, 0, c.row, c.column), c.back);
    // The glyphs really are in the text colour on the surface, and no other cell's red leaks in.
    const Rect cell = w.cal.Layout().day_cell(0, c.row, c.column);
    EXPECT_GT(w.surface().buffer().count(cell, c.fore), 0);
    if (c.fore != kRed) {
      EXPECT_EQ(w.surface().buffer().count(cell, kRed), 0);
    }
  }
}

TEST(CalendarImage, HiddenPeriodsShowTheBackground) {
  World w;
  w.cal.set_ShowPrePeriod(false);
  w.cal.set_ShowPostPeriod(false);
  w.cal.set_Backcolor(0x00112233);
  w.show(sep(1));
  redraw(w);
  // August's whole first row and the last cell, 5 October.
  for (const auto& [row, col] : {std::pair{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {5, 6}}) {
    const Rect r = w.cal.Layout().day_cell(0, row, col);
    EXPECT_EQ(w.surface().buffer().count(r, 0x00112233), r.width() * r.height()) << row << "," << col;
  }
  EXPECT_TRUE(draws_in(w, w.cal.Layout().day_cell(0, 0, 0), "25").empty());
  // Clicks there select nothing, shown or not.
  w.picture.click(18, 58);
  EXPECT_TRUE(w.selected().empty());
}

TEST(CalendarImage, SystemColoursAreResolved) {
  World w;
  w.show(sep(1));
  EXPECT_EQ(w.surface().pixel(0, 0), kButtonFace);  // Backcolor, system button face
  w.graphics.set_system_color(sys_color::kBtnFace, rgb(10, 20, 30));
  w.graphics.set_system_color(sys_color::kHighlight, rgb(200, 0, 100));
  w.click_date(sep(10));
  EXPECT_EQ(w.surface().pixel(0, 0), rgb(10, 20, 30));
  EXPECT_EQ(cell_background(w, 0, 2, 2), rgb(200, 0, 100));
  EXPECT_EQ(cell_background(w, 0, 2, 3), rgb(10, 20, 30));
  EXPECT_EQ(w.surface().pixel(w.cal.PrevArrowRect().left, 2), rgb(10, 20, 30));  // the flat arrow edge
  // What reached the window is the same picture.
  EXPECT_EQ(w.picture.pixels().at(0, 0), rgb(10, 20, 30));
}

TEST(CalendarImage, SunkenAndFlatCellBorders) {
  struct Case {
    int line_style;
    Rgb top_left, bottom_right;
  };
  const Case cases[] = {
      {1, rgb(255, 255, 255), rgb(160, 160, 160)},  // raised: light inside, dark outside
      {3, rgb(160, 160, 160), rgb(255, 255, 255)},  // sunken
      {2, rgb(105, 105, 105), rgb(105, 105, 105)},  // flat lines in the 3-D dark shadow
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line_style);
    World w;
    w.cal.set_LineStyle(c.line_style);
    w.show(sep(1));
    const Rect r = w.cal.Layout().day_cell(0, 2, 2);
    EXPECT_EQ(w.surface().pixel(r.left, r.top + 5), c.top_left);
    EXPECT_EQ(w.surface().pixel(r.left + 5, r.top), c.top_left);
    EXPECT_EQ(w.surface().pixel(r.right - 1, r.top + 5), c.bottom_right);
    EXPECT_EQ(w.surface().pixel(r.left + 5, r.bottom - 1), c.bottom_right);
  }
}

TEST(CalendarImage, HeaderTextsByFormatAndFirstDay) {
  struct Case {
    int format, first_day;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {0, 1, {"S", "M", "T", "W", "T", "F", "S"}},
      {1, 1, {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"}},
      {2, 2, {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}},
      {3, 7, {"Saturday", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"}},
      {2, 1, {}},  // no header: no weekdays anywhere
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    World w;
    w.cal.set_DayHeaderFormat(c.format);
    w.cal.set_FirstDayOfWeek(c.first_day);
    w.cal.set_ShowDayHeader(!c.texts.empty());
    w.show(sep(1));
    redraw(w);
    if (c.texts.empty()) {
      EXPECT_TRUE(draws_in(w, Rect{0, 0, 233, 161}, "Wed").empty());
    }
    for (int col = 0; col < static_cast<int>(c.texts.size()); ++col) {
      const auto found = draws_in(w, w.cal.Layout().header_cell(0, col), c.texts[static_cast<std::size_t>(col)]);
      ASSERT_EQ(found.size(), 1u) << col;
      EXPECT_EQ(std::tuple(found[0].font.weight, found[0].back_color, found[0].text_color),
                std::tuple(700, kLightYellow, kDarkBlue));
    }
  }
}


TEST(CalendarImage, TitlesNameEachMonth) {
  World w(sep(18), 466, 161);
  w.cal.set_DualMonths(true);
  w.show(ymd(2024, 12, 31));
  redraw(w);
  EXPECT_EQ(std::tuple(draws_in(w, w.cal.Layout().TitleRects[0], "December 2024").size(),
                       draws_in(w, w.cal.Layout().TitleRects[1], "January 2025").size()), std::tuple(1u, 1u));
  // Both months' grids are drawn, the second from x = 234.
  EXPECT_EQ(draws_in(w, w.cal.Layout().day_cell(1, 0, 3), "1").size(), 1u);  // 1 Jan 2025, Wednesday
}

// With the symbol font the arrows are its glyphs; without it, triangles pointing the way they go.
TEST(CalendarImage, ArrowsAsGlyphsOrTriangles) {
  for (bool marlett : {false, true}) {
    SCOPED_TRACE(marlett);
    World w;
    w.graphics.marlett = marlett;
    w.show(sep(1));
    redraw(w);
    const auto prev = draws_in(w, w.cal.PrevArrowRect(), "3");
    ASSERT_EQ(prev.size(), marlett ? 1u : 0u);
    ASSERT_EQ(draws_in(w, w.cal.NextArrowRect(), "4").size(), prev.size());
    if (marlett) {
      EXPECT_EQ(std::tuple(prev[0].font.face, prev[0].font.height, prev[0].font.weight, prev[0].text_color),
                std::tuple("Marlett", -16, 400, kDarkBlue));
      continue;
    }
    for (const Rect& a : {w.cal.PrevArrowRect(), w.cal.NextArrowRect()}) {
      EXPECT_GT(w.surface().buffer().count(a, kDarkBlue), 6);
      // The wide base is on the right of a left-pointing arrow: more ink right of centre.
      int left = 0, right = 0;
      for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x)
          if (w.surface().pixel(x, y) == kDarkBlue) (x < (a.left + a.right) / 2 ? left : right) += 1;
      EXPECT_GT(a == w.cal.PrevArrowRect() ? right - left : left - right, 0);
    }
  }
}

TEST(CalendarImage, ArrowEdgesAndFocusFollowTheState) {
  World w;
  w.show(sep(1));
  const Rect a = w.cal.PrevArrowRect();
  // Normal: a flat edge in the face colour, all round.
  EXPECT_EQ(w.surface().pixel(a.left, a.top), kButtonFace);
  EXPECT_EQ(w.surface().pixel(a.right - 1, a.bottom - 1), kButtonFace);
  w.picture.mouse_move(10, 10);  // hot: raised
  EXPECT_EQ(w.surface().pixel(a.left, a.top), rgb(255, 255, 255));
  EXPECT_EQ(w.surface().pixel(a.right - 1, a.bottom - 1), rgb(160, 160, 160));
  w.picture.mouse_down(mouse::kLeft, 10, 10);  // pressed: sunken, with the focus frame
  EXPECT_EQ(w.surface().pixel(a.left, a.top), rgb(160, 160, 160));
  EXPECT_EQ(w.surface().pixel(a.right - 1, a.bottom - 1), rgb(255, 255, 255));
  const Rect f = arrow_focus_rect(a);
  EXPECT_EQ(w.surface().pixel(f.left, f.top), kButtonFace ^ 0x00FFFFFF);
  w.picture.lose_focus();
  EXPECT_EQ(w.surface().pixel(f.left, f.top), kButtonFace);
}

// Week numbers head each row in the header's colours; weekends take the header's tint, holidays
// its text colour too and a notch in their corner.
TEST(CalendarImage, WeekNumbersWeekendsAndHolidays) {
  constexpr Rgb kHeaderText = 0x00112233;
  struct Case {
    WeekNumbering system;
    const char* first_row;   // the row from Sunday 27 December 2020
    const char* fourth_row;  // from Sunday 17 January 2021
  };
  for (const Case& c : {Case{WeekNumbering::Iso8601, "53", "3"}, Case{WeekNumbering::FirstJanuary, "1", "4"}}) {
    SCOPED_TRACE(c.first_row);
    World w;
    w.cal.set_DayHeaderForeColor(kHeaderText);
    w.cal.set_ShowWeekNumbers(true);
    w.cal.set_WeekNumberSystem(c.system);
    w.cal.set_MarkWeekends(true);
    w.cal.set_Holidays({ymd(2021, 1, 1), ymd(2021, 1, 18)});
    w.show(ymd(2021, 1, 1));
    redraw(w);
    const CalendarLayout& l = w.cal.Layout();
    const auto week = draws_in(w, l.week_cell(0, 0), c.first_row);
    ASSERT_EQ(week.size(), 1u);
    EXPECT_EQ(std::tuple(week[0].font.weight, week[0].back_color, week[0].text_color),
              std::tuple(400, kLightYellow, kHeaderText));
    EXPECT_EQ(draws_in(w, l.week_cell(0, 3), c.fourth_row).size(), 1u);
    // Saturday 9 January, Monday 18 January (a holiday), Tuesday 19 January.
    const sim::TextDraw sat = cell_draw(w, 0, 1, 6, "9"), hol = cell_draw(w, 0, 3, 1, "18"), tue = cell_draw(w, 0, 3, 2, "19");
    EXPECT_EQ(std::tuple(sat.back_color, sat.text_color, hol.back_color, hol.text_color, tue.back_color, tue.text_color),
              std::tuple(kLightYellow, kDarkBlue, kLightYellow, kHeaderText, kButtonFace, kDarkBlue));
    const Rect h = l.day_cell(0, 3, 1);
    EXPECT_EQ(w.surface().pixel(h.right - 3, h.top + 2), kHeaderText) << "the holiday's notch";
    const Rect t = l.day_cell(0, 3, 2);
    EXPECT_EQ(w.surface().pixel(t.right - 3, t.top + 2), kButtonFace);
  }
}

TEST(CalendarImage, DayCellsRecordTheirRectangles) {
  World w;
  w.show(sep(1));
  const CalendarLayout& l = w.cal.Layout();
  const clsDateItems& days = w.cal.DayCells();
  for (std::size_t i = 1; i <= days.count(); ++i) {
    const int grid_index = static_cast<int>(i - 1) + 7;  // a whole week of August first
    const Rect r = l.day_cell(0, grid_index / 7, grid_index % 7);
    const clsDateItem& d = days.Item(i);
    ASSERT_EQ((Rect{d.Left(), d.TOp(), d.Right(), d.Bottom()}), r) << i;
  }
  EXPECT_EQ(l.day_cell(0, 1, 0), (Rect{2, 67, 34, 84}));
}

}  // namespace
}  // namespace tessaly::calendar
