// The calendar as the pop-up first shows it, drawn by the platform's own surface (Cairo natively, GDI on
// Windows) and copied to a window of the same kind: the colours that must survive real fonts and real
// block copies, and the whole picture against a committed one. Each run leaves its picture (and, on a
// mismatch, a difference picture) in render-artifacts/ beside the test, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <tuple>

#include "host/platform_graphics.h"
#include "support/png.h"
#include "support/test_data.h"
#include "tests/calendar/control_world.h"

#ifndef _WIN32
// fontconfig keeps its parsed configuration and cached patterns until exit; they are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace tessaly::calendar {
namespace {

using tessaly::testing::DecodePng;
using tessaly::testing::EncodePng;
using tessaly::testing::RgbImage;
using testing::ymd;

#ifdef _WIN32
constexpr const char* kPlatform = "gdi";
#else
constexpr const char* kPlatform = "cairo";
#endif

// The control on the platform's surface, linked to a window of the same kind, showing a month.
struct PlatformCalendar {
  PlatformCalendar(double today, double shown) : clock(today) {
    cal.LinkControl(&picture);
    cal.set_CalendarCustomDate(shown);
    cal.RebuildImage();
  }
  const std::unique_ptr<IGraphics> graphics = MakePlatformGraphics();
  testing::FixedClock clock;
  sim::ScreenPicture picture{*graphics, 233, 161};
  clsDualMonths cal{*graphics, clock};
};

RgbImage Capture(const ISurface& s) {
  RgbImage img{s.width(), s.height(), {}};
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const Rgb c = s.pixel(x, y);
      img.rgb.insert(img.rgb.end(), {static_cast<std::uint8_t>(red_of(c)), static_cast<std::uint8_t>(green_of(c)),
                                     static_cast<std::uint8_t>(blue_of(c))});
    }
  }
  return img;
}

std::string Artifact(const std::string& name) {
  std::filesystem::create_directories("render-artifacts");
  return (std::filesystem::path("render-artifacts") / name).string();
}

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
  PlatformCalendar w(ymd(2024, 9, 18) + 0.5, ymd(2024, 9, 1));
  const CalendarLayout& l = w.cal.Layout();
  const Rect ten = l.day_cell(0, 2, 2);
  w.picture.click((ten.left + ten.right) / 2, (ten.top + ten.bottom) / 2);
  ASSERT_EQ(w.cal.SelectedDays().count(), 1u);
  EXPECT_EQ(w.cal.SelectedDays().Item(1).DateTime(), ymd(2024, 9, 10));

  ISurface& screen = w.picture.screen();
  const Rgb face = *w.graphics->try_system_color(sys_color::kBtnFace);
  const Rgb highlight = *w.graphics->try_system_color(sys_color::kHighlight);
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
  EXPECT_GT(count_near(screen, w.cal.PrevArrowRect(), 0x00800000, 40), 3);
  EXPECT_GT(count_near(screen, w.cal.NextArrowRect(), 0x00800000, 40), 3);
}

TEST(ReferenceImage, PopUpCalendarMatchesTheCommittedPicture) {
  PlatformCalendar w(ymd(2026, 3, 5) + 0.5, ymd(2026, 3, 12));
  w.cal.SelectDay(ymd(2026, 3, 12));
  w.cal.RebuildImage();
  const RgbImage got = Capture(w.picture.screen());

  const std::string name = std::string("calendar_") + kPlatform + ".png";
  ASSERT_TRUE(tessaly::testing::WriteFile(Artifact(name), EncodePng(got)));
  const std::string reference = tessaly::testing::TestDataPath("render/" + name);
  if (std::getenv("TESSALY_UPDATE_REFERENCES")) {
    ASSERT_TRUE(tessaly::testing::WriteFile(reference, EncodePng(got)));
    GTEST_SKIP() << "reference picture written to " << reference;
  }
  const auto bytes = tessaly::testing::ReadFile(reference);
  ASSERT_TRUE(bytes.has_value()) << "no reference picture at " << reference
                                 << "; run once with TESSALY_UPDATE_REFERENCES=1 and look at it";
  const auto want = DecodePng(*bytes);
  ASSERT_TRUE(want.has_value()) << reference << " is not a picture this test wrote";
  ASSERT_EQ(want->width, got.width);
  ASSERT_EQ(want->height, got.height);

  // Font rasterisers may move a few edge pixels; a picture that changed shows many more.
  RgbImage diff{got.width, got.height, std::vector<std::uint8_t>(got.rgb.size(), 255)};
  int differing = 0;
  for (std::size_t p = 0; p < got.rgb.size(); p += 3) {
    int worst = 0;
    for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(got.rgb[p + c] - want->rgb[p + c]));
    if (worst > 48) {
      ++differing;
      diff.rgb[p] = 255, diff.rgb[p + 1] = 0, diff.rgb[p + 2] = 0;
    }
  }
  const int allowed = got.width * got.height / 200;  // half a percent
  if (differing > allowed) tessaly::testing::WriteFile(Artifact("diff_" + name), EncodePng(diff));
  EXPECT_LE(differing, allowed) << "pixels differing from " << reference << "; see render-artifacts/";
}

TEST(ReferenceImage, PictureCodecRoundTripsAndRejectsDamage) {
  RgbImage img{3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 250, 251, 252}};
  std::vector<std::uint8_t> bytes = EncodePng(img);
  const auto back = DecodePng(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(std::tuple(back->rgb, back->width, back->height), std::tuple(img.rgb, 3, 2));
  bytes[bytes.size() / 2] ^= 0x40;  // a flipped bit fails the chunk's checksum
  EXPECT_FALSE(DecodePng(bytes).has_value());
  bytes.resize(20);
  EXPECT_FALSE(DecodePng(bytes).has_value());
}

}  // namespace
}  // namespace tessaly::calendar
