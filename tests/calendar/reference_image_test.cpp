// The calendar as the pop-up first shows it, drawn by the platform's own surface and compared with
// a committed picture. Each run leaves its picture (and, on a mismatch, a difference picture) in
// render-artifacts/ beside the test, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "host/platform_graphics.h"
#include "support/png.h"
#include "support/test_data.h"
#include "tests/calendar/control_world.h"

namespace tessaly::calendar {
namespace {

using tessaly::testing::DecodePng;
using tessaly::testing::EncodePng;
using tessaly::testing::RgbImage;

#ifdef _WIN32
constexpr const char* kPlatform = "gdi";
#else
constexpr const char* kPlatform = "cairo";
#endif

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

TEST(ReferenceImage, PopUpCalendarMatchesTheCommittedPicture) {
  const std::unique_ptr<IGraphics> graphics = MakePlatformGraphics();
  testing::FixedClock clock(testing::ymd(2026, 3, 5) + 0.5);
  sim::ScreenPicture picture(*graphics, 233, 161);
  clsDualMonths cal(*graphics, clock);
  cal.LinkControl(&picture);
  cal.set_CalendarCustomDate(testing::ymd(2026, 3, 12));
  cal.SelectDay(testing::ymd(2026, 3, 12));
  cal.RebuildImage();
  const RgbImage got = Capture(picture.screen());

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
  EXPECT_EQ(back->rgb, img.rgb);
  EXPECT_EQ(back->width, 3);
  bytes[bytes.size() / 2] ^= 0x40;  // a flipped bit fails the chunk's checksum
  EXPECT_FALSE(DecodePng(bytes).has_value());
  bytes.resize(20);
  EXPECT_FALSE(DecodePng(bytes).has_value());
}

}  // namespace
}  // namespace tessaly::calendar
