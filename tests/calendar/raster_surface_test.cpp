// The raster drawing backend the calendar tests draw on: metrics, cells, focus frames, copies.
#include "sim/raster_surface.h"

#include <tuple>

#include <gtest/gtest.h>

#include "sim/headless_picture.h"

namespace tessaly::sim {
namespace {

LogicalFont font(int height, int weight = 400) {
  LogicalFont f;
  f.face = "Tahoma";
  f.height = height;
  f.weight = weight;
  return f;
}

TEST(RasterMetrics, ExtentsAreFixedPerCharacter) {
  struct Case {
    int height;
    const char* text;
    Size extent;
  };
  const Case cases[] = {
      {-11, "Wednesday", {54, 13}},
      {-11, "", {0, 13}},
      {-16, "3", {9, 19}},
      {-11, "Mär", {18, 13}},  // characters, not bytes
      {13, "ab", {12, 13}},    // a positive height is the cell height
      {0, "a", {7, 14}},       // no size: the default 12-pixel font
  };
  for (const auto& c : cases) {
    RasterSurface s(10, 10, 96);
    s.set_font(font(c.height));
    EXPECT_EQ(s.text_extent(c.text), c.extent) << c.height << " " << c.text;
  }
}

TEST(RasterSurfaceDrawing, FocusFrameTwiceRestoresThePicture) {
  const Rect frames[] = {{2, 3, 12, 9}, {0, 0, 1, 1}, {5, 5, 6, 15}, {4, 4, 4, 8}, {-3, -3, 15, 15}};
  for (const Rect& f : frames) {
    PixelBuffer b(20, 20, rgb(10, 200, 30));
    b.set(7, 3, rgb(1, 2, 3));
    b.draw_focus_rect(f);
    if (!f.empty()) {
      EXPECT_GT(20 * 20 - b.count(Rect{0, 0, 20, 20}, rgb(10, 200, 30)), 0) << f.left;
    }
    b.draw_focus_rect(f);
    EXPECT_EQ(b.count(Rect{0, 0, 20, 20}, rgb(10, 200, 30)), 20 * 20 - 1) << f.left;
    EXPECT_EQ(b.at(7, 3), rgb(1, 2, 3));
  }
}

TEST(RasterSurfaceDrawing, BlitCopiesAndInverts) {
  RasterSurface s(4, 4, 96);
  s.fill_solid(Rect{0, 0, 4, 4}, rgb(0xF0, 0x0F, 0x55));
  s.fill_solid(Rect{1, 1, 2, 2}, rgb(1, 2, 3));
  HeadlessPicture p(6, 6);
  p.pixels().fill(Rect{0, 0, 6, 6}, rgb(0xFF, 0xFF, 0x00));
  s.blit_to(p.device(), 2, 2, 4, 4, 0, 0, RasterOp::Copy);
  EXPECT_EQ(std::tuple(p.pixels().at(1, 1), p.pixels().at(3, 3), p.pixels().at(5, 5)),
            std::tuple(rgb(0xFF, 0xFF, 0x00), rgb(1, 2, 3), rgb(0xF0, 0x0F, 0x55)));
  s.blit_to(p.device(), 0, 0, 1, 1, 0, 0, RasterOp::Invert);
  EXPECT_EQ(p.pixels().at(0, 0), rgb(0xFF ^ 0xF0, 0xFF ^ 0x0F, 0x55));
  // Out of the source, black comes through; out of the destination, nothing is written.
  s.blit_to(p.device(), 0, 0, 2, 1, 3, 0, RasterOp::Copy);
  EXPECT_EQ(p.pixels().at(1, 0), 0u);
  EXPECT_NO_THROW(s.blit_to(p.device(), 5, 5, 10, 10, 0, 0, RasterOp::Copy));
  s.stretch_to(p.device(), 0, 0, 6, 6);
  EXPECT_EQ(p.pixels().at(0, 0), rgb(0xF0, 0x0F, 0x55));
  EXPECT_EQ(p.pixels().at(2, 2), rgb(1, 2, 3));  // source pixel (1, 1) scaled by 1.5
}

TEST(RasterSurfaceDrawing, TriangleFillsItsInside) {
  RasterSurface s(20, 20, 96);
  s.set_text_color(rgb(5, 5, 5));
  s.fill_triangle(2, 10, 12, 2, 12, 18);
  EXPECT_EQ(s.pixel(8, 10), rgb(5, 5, 5));
  EXPECT_EQ(s.pixel(2, 10), rgb(5, 5, 5));   // the tip
  EXPECT_EQ(s.pixel(12, 2), rgb(5, 5, 5));   // a corner
  EXPECT_EQ(s.pixel(3, 3), 0u);
  EXPECT_EQ(s.pixel(13, 10), 0u);
  // Clockwise or not, the same pixels.
  RasterSurface t(20, 20, 96);
  t.set_text_color(rgb(5, 5, 5));
  t.fill_triangle(2, 10, 12, 18, 12, 2);
  EXPECT_EQ(t.buffer().count(Rect{0, 0, 20, 20}, rgb(5, 5, 5)), s.buffer().count(Rect{0, 0, 20, 20}, rgb(5, 5, 5)));
}

TEST(RasterGraphicsServices, SystemColoursFontsAndSurfaces) {
  RasterGraphics g;
  struct Case {
    int index;
    std::optional<Rgb> colour;
  };
  const Case cases[] = {{sys_color::kBtnFace, rgb(240, 240, 240)},   {sys_color::kBtnShadow, rgb(160, 160, 160)},
                        {sys_color::kBtnText, rgb(0, 0, 0)},         {sys_color::kHighlight, rgb(51, 153, 255)},
                        {sys_color::k3dDkShadow, rgb(105, 105, 105)}, {sys_color::kBtnHighlight, rgb(255, 255, 255)},
                        {31, std::nullopt},                          {-1, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(g.try_system_color(c.index), c.colour) << c.index;
  g.set_system_color(15, rgb(1, 1, 1));
  g.set_system_color(15, rgb(2, 2, 2));
  EXPECT_EQ(g.try_system_color(15), rgb(2, 2, 2));

  EXPECT_EQ(std::tuple(g.has_font("Marlett"), g.has_font("MARLETT"), g.has_font("Tahoma")),
            std::tuple(false, false, true));
  EXPECT_EQ(g.logical_pixels_per_inch_y(), 96);

  EXPECT_EQ(g.try_create_surface(0, 10), nullptr);
  EXPECT_EQ(g.try_create_surface(10, -1), nullptr);
  auto s = g.try_create_surface(3, 2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->width(), 3);
  EXPECT_EQ(s->pixel(2, 1), 0u);  // a new bitmap is black
  g.set_fail_create(true);
  EXPECT_EQ(g.try_create_surface(3, 2), nullptr);
  EXPECT_EQ(g.surfaces_created(), 1);
}

}  // namespace
}  // namespace tessaly::sim
