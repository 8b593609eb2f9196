// The calendar drawn by the platform's own surface (Cairo natively, GDI on Windows) and copied
// to a window of the same kind: the colours that must survive real fonts and real block copies.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "tests/calendar/control_world.h"

#include "host/platform_graphics.h"

#ifndef _WIN32
// fontconfig keeps its parsed configuration and cached patterns until exit; they are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace tessaly::calendar {
namespace {

using testing::FixedClock;
using sim::ScreenPicture;
using testing::ymd;

bool near(Rgb a, Rgb b, int tolerance) {
  return std::abs(red_of(a) - red_of(b)) <= tolerance && std::abs(green_of(a) - green_of(b)) <= tolerance &&
         std::abs(blue_of(a) - blue_of(b)) <= tolerance;
}

int count_near(ISurface& s, const Rect& r, Rgb c, int tolerance) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += near(s.pixel(x, y), c, tolerance) ? 1 : 0;
  return n;
}

TEST(PlatformImage, ColoursReachTheWindow) {
  const std::unique_ptr<IGraphics> platform = MakePlatformGraphics();
  IGraphics& graphics = *platform;
  FixedClock clock(ymd(2024, 9, 18) + 0.5);
  ScreenPicture picture(graphics, 233, 161);
  clsDualMonths cal(graphics, clock);
  cal.LinkControl(&picture);
  cal.set_CalendarCustomDate(ymd(2024, 9, 1));
  cal.RebuildImage();
  const CalendarLayout& l = cal.Layout();
  const Rect ten = l.day_cell(0, 2, 2);
  picture.click((ten.left + ten.right) / 2, (ten.top + ten.bottom) / 2);
  ASSERT_EQ(cal.SelectedDays().count(), 1u);
  EXPECT_EQ(cal.SelectedDays().Item(1).DateTime(), ymd(2024, 9, 10));

  ISurface& screen = picture.screen();
  const Rgb face = *graphics.try_system_color(sys_color::kBtnFace);
  const Rgb highlight = *graphics.try_system_color(sys_color::kHighlight);
  EXPECT_EQ(screen.pixel(0, 0), face);
  EXPECT_EQ(screen.pixel(ten.left + 3, ten.top + 2), highlight);
  const Rect pre = l.day_cell(0, 0, 0);
  EXPECT_EQ(screen.pixel(pre.left + 3, pre.top + 2), 0x0080FFFFu);
  // Today's number in red; its neighbour's in dark blue with no red at all.
  const Rect today = l.day_cell(0, 3, 3), next = l.day_cell(0, 3, 4);
  EXPECT_GT(count_near(screen, today, 0x000000FF, 40), 0);
  EXPECT_EQ(count_near(screen, next, 0x000000FF, 40), 0);
  EXPECT_GT(count_near(screen, next, 0x00800000, 40), 0);
  // Both arrows show ink in the header colour, glyph or triangle.
  EXPECT_GT(count_near(screen, cal.PrevArrowRect(), 0x00800000, 40), 3);
  EXPECT_GT(count_near(screen, cal.NextArrowRect(), 0x00800000, 40), 3);
}

}  // namespace
}  // namespace tessaly::calendar
