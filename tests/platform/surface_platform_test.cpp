// The platform's drawing surface: fills, text cells, extents, edges, focus frames, block
// transfers and display facts (natively Cairo, under Wine GDI).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "win/utf.h"
#endif

#include "host/platform_graphics.h"
#include "host/surface.h"

#ifndef _WIN32
// fontconfig keeps its parsed configuration and cached patterns until exit; they are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace tessaly {
namespace {

constexpr Rgb kBlue = rgb(0, 0, 255), kGreen = rgb(0, 255, 0), kRed = rgb(255, 0, 0);
constexpr Rgb kBlack = rgb(0, 0, 0), kWhite = rgb(255, 255, 255);

std::vector<Rgb> snapshot(const ISurface& s) {
  std::vector<Rgb> px;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) px.push_back(s.pixel(x, y));
  return px;
}

// Every pixel outside `r` as it was in `before`.
int changed_outside(const ISurface& s, const std::vector<Rgb>& before, const Rect& r) {
  int changed = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (!r.contains(x, y) && s.pixel(x, y) != before[static_cast<std::size_t>(y * s.width() + x)]) ++changed;
  return changed;
}

int count_inside(const ISurface& s, const Rect& r, Rgb c, bool equal) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if ((s.pixel(x, y) == c) == equal) ++n;
  return n;
}

// The smallest rectangle holding every pixel that differs from `back`; empty when none does.
Rect ink_box(const ISurface& s, Rgb back) {
  Rect box{s.width(), s.height(), 0, 0};
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.pixel(x, y) != back) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

LogicalFont font(int height, int weight = 400, int escapement = 0) {
  return {.face = "Tahoma", .height = height, .weight = weight, .escapement = escapement};
}

#ifdef _WIN32
int CALLBACK first_family(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM out) {
  if (lf->lfFaceName[0] == L'@') return 1;  // vertical variants are not families of their own
  *reinterpret_cast<std::wstring*>(out) = lf->lfFaceName;
  return 0;
}
#endif

class SurfaceTest : public ::testing::Test {
 protected:
  // A surface the test draws on: one that cannot be made fails the test here.
  std::unique_ptr<ISurface> make(int w, int h, Rgb fill) {
    auto s = graphics_->try_create_surface(w, h);
    if (!s) throw std::runtime_error("no surface of " + std::to_string(w) + " by " + std::to_string(h));
    s->fill_solid(Rect{0, 0, w, h}, fill);
    return s;
  }
  Rgb system(int index) const { return graphics_->try_system_color(index).value_or(0xFFFFFFFF); }

  std::unique_ptr<IGraphics> graphics_ = MakePlatformGraphics();
};

TEST_F(SurfaceTest, creation_sizes) {
  struct Case {
    int w, h;
    bool made;
  };
  const Case cases[] = {{10, 7, true},  {1, 1, true},   {233, 161, true}, {0, 10, false},
                        {10, 0, false}, {0, 0, false},  {-1, 5, false},   {5, -1, false},
                        {100000, 100000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    auto s = graphics_->try_create_surface(c.w, c.h);
    ASSERT_EQ(s != nullptr, c.made);
    if (!s) continue;
    EXPECT_EQ(std::tuple(s->width(), s->height()), std::tuple(c.w, c.h));
    // A new bitmap is black, with the device context's white back and black text colours.
    EXPECT_EQ(s->pixel(0, 0), kBlack);
    EXPECT_EQ(s->pixel(c.w - 1, c.h - 1), kBlack);
    EXPECT_EQ(s->back_color(), kWhite);
    EXPECT_EQ(s->text_color(), kBlack);
  }
}

TEST_F(SurfaceTest, fills_are_cut_at_the_edges_and_bad_ones_change_nothing) {
  struct Case {
    Rect r, painted;
    Rgb c;
  };
  const Case cases[] = {
      {{2, 3, 7, 8}, {2, 3, 7, 8}, kRed},           {{0, 0, 1, 1}, {0, 0, 1, 1}, rgb(1, 2, 3)},
      {{5, 0, 12, 12}, {5, 0, 12, 12}, rgb(250, 128, 7)}, {{-5, -5, 3, 3}, {0, 0, 3, 3}, kGreen},
      {{8, 8, 50, 50}, {8, 8, 12, 12}, kBlue},      {{5, 5, 5, 9}, {}, kRed},
      {{5, 5, 9, 5}, {}, kRed},                     {{8, 8, 2, 2}, {}, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.r.left) + "," + std::to_string(c.r.top) + "," + std::to_string(c.r.right));
    auto s = make(12, 12, kBlack);
    const auto before = snapshot(*s);
    s->fill_solid(c.r, c.c);
    EXPECT_EQ(count_inside(*s, c.painted, c.c, false), 0);
    EXPECT_EQ(changed_outside(*s, before, c.painted), 0);
  }
  auto s = make(10, 10, kWhite);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}, {1000, 1000}}) EXPECT_EQ(s->pixel(x, y), 0u);
}

TEST_F(SurfaceTest, text_cell_is_opaque_and_clipped) {
  struct Case {
    const char* text;
    int dx;  // text origin relative to the cell's left
    Rect cell;
    bool ink;
  };
  const Rect cell{10, 10, 34, 26};
  // Texts fitting, starting left of the cell, and far wider than it; an empty text only fills; an
  // empty cell draws nothing at all, text included.
  const Case cases[] = {
      {"17", 2, cell, true}, {"WWWWWW", -6, cell, true},         {"Wednesday Wednesday", 0, cell, true},
      {"", 0, cell, false},  {"8", 0, {20, 20, 20, 28}, false}, {"8", 0, {20, 20, 15, 15}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in a cell " + std::to_string(c.cell.width()) + " wide");
    auto s = make(80, 40, kBlue);
    s->set_font(font(-11));
    s->set_back_color(kGreen);
    s->set_text_color(kBlack);
    const auto before = snapshot(*s);
    s->text_cell(c.cell, c.cell.left + c.dx, c.cell.top + 1, c.text);
    EXPECT_EQ(changed_outside(*s, before, c.cell), 0);
    EXPECT_EQ(count_inside(*s, c.cell, kGreen, false) > 0, c.ink) << "text drawn";
    EXPECT_EQ(count_inside(*s, c.cell, kBlue, true), 0) << "cell not filled";
    EXPECT_EQ(s->back_color(), kGreen);
  }
}

TEST_F(SurfaceTest, text_extent_grows_with_text_height_and_weight) {
  auto s = make(10, 10, kWhite);
  s->set_font(font(-11));
  const Size one = s->text_extent("1"), two = s->text_extent("11"), four = s->text_extent("1111");
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(two.cx, one.cx);
  EXPECT_GT(four.cx, two.cx);
  EXPECT_EQ(one.cy, four.cy) << "one line, one height";
  EXPECT_GE(one.cy, 11) << "the cell holds the character height";
  EXPECT_EQ(s->text_extent("").cx, 0);
  const int regular = s->text_extent("Wednesday").cx;
  s->set_font(font(-11, 700));
  EXPECT_GT(s->text_extent("Wednesday").cx, regular);

  s->set_font(font(-22));
  const Size big = s->text_extent("1111");
  EXPECT_GT(big.cx, four.cx);
  EXPECT_GT(big.cy, four.cy);
  // A positive height is the whole cell.
  s->set_font(font(20));
  EXPECT_NEAR(s->text_extent("1").cy, 20, 1);
  // A face the machine lacks still measures.
  s->set_font({.face = "No Such Face 7Q", .height = -11});
  EXPECT_GT(s->text_extent("Wednesday").cx, 0);
}

TEST_F(SurfaceTest, text_centred_fills_only_its_extent) {
  auto s = make(100, 40, kBlue);
  s->set_font(font(-11, 700));
  s->set_back_color(kGreen);
  s->set_text_color(kBlack);
  const Rect r{10, 5, 90, 35};
  const auto before = snapshot(*s);
  s->draw_text_centred(r, "HOH");
  EXPECT_EQ(changed_outside(*s, before, r), 0);
  EXPECT_EQ(s->pixel(r.left, r.top), kBlue) << "the back colour covers the text's extent only";
  const Rect ink = ink_box(*s, kBlue);
  const Size e = s->text_extent("HOH");
  EXPECT_EQ(std::tuple(ink.width(), ink.height()), std::tuple(e.cx, e.cy));
  EXPECT_LE(std::abs((ink.left - r.left) - (r.right - ink.right)), 1);
  EXPECT_LE(std::abs((ink.top - r.top) - (r.bottom - ink.bottom)), 1);
}

TEST_F(SurfaceTest, escapement_turns_text_upwards) {
  auto s = make(60, 80, kWhite);
  s->set_back_color(kWhite);
  s->set_text_color(kBlack);
  s->set_font(font(-14, 400, 900));
  s->text_cell(Rect{0, 0, 60, 80}, 10, 70, "WWWW");
  const Rect ink = ink_box(*s, kWhite);
  ASSERT_FALSE(ink.empty());
  EXPECT_GT(ink.height(), 2 * ink.width()) << "a quarter turn runs the text up the surface";
  EXPECT_LE(ink.bottom, 71);
}

TEST_F(SurfaceTest, triangle_in_text_colour) {
  auto s = make(20, 20, kWhite);
  s->set_text_color(kRed);
  s->fill_triangle(4, 4, 16, 10, 4, 16);
  EXPECT_EQ(s->pixel(8, 10), kRed);
  EXPECT_EQ(s->pixel(15, 4), kWhite);
  EXPECT_EQ(s->pixel(1, 1), kWhite);
}

TEST_F(SurfaceTest, focus_rect_inverts_its_frame_and_twice_restores) {
  struct Case {
    Rect f;
    bool shows;  // GDI draws no frame one pixel wide and high; Cairo inverts that pixel
  };
  const Case cases[] = {{{5, 5, 25, 15}, true},    {{0, 0, 30, 20}, true}, {{-3, -3, 10, 10}, true},
                        {{28, 18, 40, 30}, true}, {{7, 7, 8, 8}, false}};
  for (const auto& [f, shows] : cases) {
    SCOPED_TRACE(std::to_string(f.left) + "," + std::to_string(f.top));
    auto s = make(30, 20, rgb(10, 200, 60));
    s->fill_solid(Rect{0, 0, 15, 20}, rgb(200, 30, 90));
    const auto before = snapshot(*s);
    s->draw_focus_rect(f);
    EXPECT_EQ(changed_outside(*s, before, f), 0);
    const Rect inner{f.left + 1, f.top + 1, f.right - 1, f.bottom - 1};
    int inside_changed = 0, frame_changed = 0, frame_pixels = 0;
    for (int y = std::max(f.top, 0); y < std::min(f.bottom, 20); ++y)
      for (int x = std::max(f.left, 0); x < std::min(f.right, 30); ++x) {
        const bool changed = s->pixel(x, y) != before[static_cast<std::size_t>(y * 30 + x)];
        (inner.contains(x, y) ? inside_changed : frame_changed) += changed;
        frame_pixels += !inner.contains(x, y);
      }
    EXPECT_EQ(inside_changed, 0);
    if (shows) {
      EXPECT_GT(frame_changed, 0);
      EXPECT_LT(frame_changed, frame_pixels) << "the frame is dotted";
    }
    s->draw_focus_rect(f);
    EXPECT_EQ(snapshot(*s), before);
  }
}

TEST_F(SurfaceTest, blit_copies_inverts_and_clips) {
  auto src = make(4, 4, rgb(0x10, 0x20, 0x30));
  src->fill_solid(Rect{1, 1, 2, 2}, rgb(0xF0, 0x0F, 0x55));
  src->fill_solid(Rect{2, 1, 3, 2}, kWhite);
  src->fill_solid(Rect{1, 2, 3, 3}, kRed);
  struct Case {
    RasterOp op;
    Rgb dest_fill;
  };
  for (const Case& c : {Case{RasterOp::Copy, kBlue}, Case{RasterOp::Invert, kBlue}, Case{RasterOp::Invert, rgb(0x0F, 0xFF, 0x81)}}) {
    auto dest = make(10, 10, c.dest_fill);
    const auto before = snapshot(*dest);
    src->blit_to(*dest, 3, 4, 2, 2, 1, 1, c.op);
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i) {
        const Rgb s = src->pixel(1 + i, 1 + j);
        const Rgb want = c.op == RasterOp::Copy ? s : (s ^ c.dest_fill);
        EXPECT_EQ(dest->pixel(3 + i, 4 + j), want) << i << "," << j;
      }
    EXPECT_EQ(changed_outside(*dest, before, Rect{3, 4, 5, 6}), 0);
  }
  // Partly off the destination: only the part on it lands.
  auto dest = make(6, 6, kBlue);
  src->fill_solid(Rect{0, 0, 4, 4}, kRed);
  src->blit_to(*dest, 4, 4, 4, 4, 0, 0, RasterOp::Copy);
  EXPECT_EQ(dest->pixel(5, 5), kRed);
  EXPECT_EQ(dest->pixel(3, 3), kBlue);
  // Nothing to copy.
  const auto before = snapshot(*dest);
  src->blit_to(*dest, 0, 0, 0, 3, 0, 0, RasterOp::Copy);
  src->blit_to(*dest, 0, 0, -2, 3, 0, 0, RasterOp::Copy);
  EXPECT_EQ(snapshot(*dest), before);
  // Inverting a surface onto itself clears it.
  src->blit_to(*src, 0, 0, 4, 4, 0, 0, RasterOp::Invert);
  EXPECT_EQ(src->pixel(2, 2), kBlack);
}

TEST_F(SurfaceTest, stretch_doubles_every_pixel) {
  auto src = make(2, 2, kRed);
  src->fill_solid(Rect{1, 0, 2, 1}, kGreen);
  src->fill_solid(Rect{0, 1, 1, 2}, kBlue);
  src->fill_solid(Rect{1, 1, 2, 2}, kWhite);
  auto dest = make(8, 8, rgb(9, 9, 9));
  const auto before = snapshot(*dest);
  src->stretch_to(*dest, 2, 2, 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dest->pixel(2 + x, 2 + y), src->pixel(x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(changed_outside(*dest, before, Rect{2, 2, 6, 6}), 0);
}

TEST_F(SurfaceTest, edges_use_the_bevel_colours) {
  struct Case {
    EdgeKind kind;
    int top_left, bottom_right;
  };
  const Case cases[] = {
      {EdgeKind::RaisedInner, sys_color::kBtnHighlight, sys_color::kBtnShadow},
      {EdgeKind::SunkenOuter, sys_color::kBtnShadow, sys_color::kBtnHighlight},
      {EdgeKind::RaisedInnerFlat, sys_color::kBtnFace, sys_color::kBtnFace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    auto s = make(20, 20, rgb(1, 2, 3));
    const Rect r{2, 2, 14, 12};
    const auto before = snapshot(*s);
    s->draw_edge(r, c.kind);
    EXPECT_EQ(s->pixel(7, 2), system(c.top_left)) << "top";
    EXPECT_EQ(s->pixel(2, 6), system(c.top_left)) << "left";
    EXPECT_EQ(s->pixel(7, 11), system(c.bottom_right)) << "bottom";
    EXPECT_EQ(s->pixel(13, 6), system(c.bottom_right)) << "right";
    EXPECT_EQ(s->pixel(7, 6), rgb(1, 2, 3)) << "the inside is left alone";
    EXPECT_EQ(changed_outside(*s, before, r), 0);
  }
}

TEST_F(SurfaceTest, system_colours) {
  for (int i = 0; i <= sys_color::kMaxIndex; ++i) EXPECT_TRUE(graphics_->try_system_color(i).has_value()) << i;
  for (int i : {-1, sys_color::kMaxIndex + 1, 255, 100000}) EXPECT_FALSE(graphics_->try_system_color(i).has_value()) << i;
  const auto brightness = [](Rgb c) { return red_of(c) + green_of(c) + blue_of(c); };
  EXPECT_GT(brightness(system(sys_color::kBtnHighlight)), brightness(system(sys_color::kBtnShadow)));
  EXPECT_GT(brightness(system(sys_color::kBtnShadow)), brightness(system(sys_color::k3dDkShadow)));
  EXPECT_GT(brightness(system(sys_color::kBtnFace)), brightness(system(sys_color::kBtnText)));
}

TEST_F(SurfaceTest, display_facts) {
  EXPECT_GE(graphics_->logical_pixels_per_inch_y(), 72);
  EXPECT_LE(graphics_->logical_pixels_per_inch_y(), 480);
  for (const char* face : {"", "No Such Face 7Q"}) EXPECT_FALSE(graphics_->has_font(face)) << face;
#ifndef _WIN32
  // Wine's own Tahoma and Marlett (fonts-wine) reach Cairo through fontconfig, so both platforms
  // draw with the same faces and the arrows are glyphs; faces match case-blind.
  for (const char* face : {"Marlett", "Tahoma", "DejaVu Sans", "dejavu sans"}) EXPECT_TRUE(graphics_->has_font(face)) << face;
#else
  // Which families a Windows (or Wine) machine has varies; the first one it lists must be found.
  LOGFONTW any{};
  any.lfCharSet = DEFAULT_CHARSET;
  std::wstring first;
  HDC screen = ::GetDC(nullptr);
  ::EnumFontFamiliesExW(screen, &any, first_family, reinterpret_cast<LPARAM>(&first), 0);
  ::ReleaseDC(nullptr, screen);
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(graphics_->has_font(win::to_utf8(first)));
#endif
}

}  // namespace
}  // namespace tessaly
