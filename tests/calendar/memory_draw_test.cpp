// The calendar's drawing surface over the raster backend: text placement in a cell, fills,
// colours that cannot be translated, and the surface's absence and resizing.
#include "calendar/memory_draw.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

#include "sim/raster_surface.h"

namespace tessaly::calendar {
namespace {

using sim::RasterGraphics;
using sim::RasterSurface;

struct Drawn {
  RasterGraphics graphics;
  clsMemoryDraw draw{graphics};
  Drawn() {
    draw.CreateSurface(40, 24);
    draw.SetFont("Tahoma", 8, false);  // 11 pixels: characters 6 wide, lines 13 high
  }
  RasterSurface& surface() { return static_cast<RasterSurface&>(*draw.surface()); }
};

// The text's origin in the cell (10, 2) 21 x 17 for every alignment code, outside codes too, and
// a text wider than the cell, whose negative offset is halved toward zero.
TEST(memory_draw, text_placed_by_alignment_code) {
  struct Case {
    int alignment;
    const char* text;
    int x, y;
  };
  const Case cases[] = {
      {0, "ab", 14, 4},  {1, "ab", 10, 4},      {2, "ab", 19, 4},  {3, "ab", 14, 2},  {4, "ab", 10, 2},
      {5, "ab", 19, 2},  {6, "ab", 14, 6},      {7, "ab", 10, 6},  {8, "ab", 19, 6},  {9, "ab", 0, 0},
      {-1, "ab", 0, 0},  {0, "WWWWW", 6, 4},    {2, "WWWWW", 1, 4},
  };
  for (const Case& c : cases) {
    Drawn d;
    d.draw.set_Forecolor(0x00090909);
    d.draw.pFillRect(10, 2, 21, 17, rgb(1, 2, 3), c.text, c.alignment);
    ASSERT_EQ(d.surface().text_draws().size(), 1u);
    const sim::TextDraw& t = d.surface().text_draws()[0];
    EXPECT_EQ((std::pair{t.x, t.y}), (std::pair{c.x, c.y})) << c.alignment << " " << c.text;
    EXPECT_EQ(t.cell, (Rect{10, 2, 31, 19}));
    EXPECT_EQ(d.surface().pixel(10, 2), rgb(1, 2, 3));
    EXPECT_NE(d.surface().pixel(9, 10), rgb(1, 2, 3)) << "clipped to the cell";
    EXPECT_NE(d.surface().pixel(31, 10), rgb(1, 2, 3));
    const int ink = d.surface().buffer().count(Rect{0, 0, 40, 24}, rgb(9, 9, 9));
    EXPECT_EQ(d.surface().buffer().count(Rect{10, 2, 31, 19}, rgb(9, 9, 9)), ink) << "glyphs stay in the cell";
    EXPECT_EQ(ink > 0, c.x > 0) << "text at the origin lies outside the cell";
  }
}

// One colour that cannot be translated changes nothing, whichever setter or fill receives it.
TEST(memory_draw, colours_that_cannot_be_translated_are_ignored) {
  const OleColor bad[] = {0x80FF0000u, 0x800000FFu, 0x05000000u};
  for (OleColor colour : bad) {
    Drawn d;
    d.draw.set_Backcolor(0x00112233);
    d.draw.set_Forecolor(0x00445566);
    d.draw.set_FlatLineColor(0x00778899);
    d.draw.set_Backcolor(colour);
    d.draw.set_Forecolor(colour);
    d.draw.set_FlatLineColor(colour);
    EXPECT_EQ(std::tuple(d.draw.Backcolor(), d.draw.Forecolor(), d.draw.FlatLineColor()),
              std::tuple(0x00112233u, 0x00445566u, 0x00778899u)) << colour;
    d.draw.pFillRect(0, 0, 5, 5, d.draw.TranslateColor(colour), "", 0);
    EXPECT_EQ(d.surface().pixel(2, 2), 0x00112233u) << "the cell takes the back colour in effect";
  }
}

TEST(memory_draw, fills_to_the_surface_edges) {
  struct Case {
    int x1, y1, x2, y2;
    Rect filled;
  };
  const Case cases[] = {{5, 6, -1, 9, {5, 6, 40, 9}}, {5, 6, 9, -1, {5, 6, 9, 24}}, {2, 3, 4, 5, {2, 3, 4, 5}}};
  for (const Case& c : cases) {
    Drawn d;
    d.draw.FillRect(c.x1, c.y1, c.x2, c.y2, rgb(9, 8, 7));
    EXPECT_EQ(d.surface().buffer().count(Rect{0, 0, 40, 24}, rgb(9, 8, 7)), c.filled.width() * c.filled.height())
        << c.x2 << "," << c.y2;
    EXPECT_EQ(d.surface().pixel(c.filled.right - 1, c.filled.bottom - 1), rgb(9, 8, 7));
  }
}

TEST(memory_draw, without_a_surface_and_resized_to_its_size) {
  RasterGraphics graphics;
  clsMemoryDraw none(graphics);
  none.set_Backcolor(0x00112233);
  none.SetFont("Tahoma", 8, true);
  none.pFillRect(0, 0, 5, 5, 0, "x", 0);
  none.FillRect(0, 0, -1, -1, 0);
  EXPECT_EQ((std::array{none.Width(), none.Height(), none.TextWidth("ab"), none.TextHeight("ab")}),
            (std::array{0, 0, 0, 0}));
  EXPECT_EQ(std::tuple(none.Backcolor(), none.Forecolor()), std::tuple(0u, 0u));

  Drawn d;
  d.draw.set_Backcolor(0x00112233);
  d.draw.FillRect(0, 0, -1, -1, rgb(4, 4, 4));
  const int made = d.graphics.surfaces_created();
  d.draw.Resize(40, 24);
  EXPECT_EQ(d.graphics.surfaces_created(), made) << "the same size keeps the surface";
  EXPECT_EQ(d.surface().pixel(39, 23), rgb(4, 4, 4));
  d.draw.Resize(50, 30);
  EXPECT_EQ((std::pair{d.draw.Width(), d.draw.Height()}), (std::pair{50, 30}));
  EXPECT_EQ(d.draw.TextWidth("ab"), 12) << "the font survives a new size";
}

}  // namespace
}  // namespace tessaly::calendar
