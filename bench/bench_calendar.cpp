// Calendar image: a whole RebuildImage with the copy to the window, one month at the pop-up's
// 233 x 161 and two months at 466 x 161, on the raster surface and on Cairo; and one month with
// week numbers, weekends and holidays all marked.
#include <benchmark/benchmark.h>

#include <memory>
#include <type_traits>

#include "calendar/dual_months.h"
#include "date/serial_date.h"
#include "posix/cairo_graphics.h"
#include "sim/headless_picture.h"
#include "sim/raster_surface.h"

namespace {

using namespace tessaly;

class FixedClock : public IClock {
 public:
  double now() const override { return *serial::from_ymd(2024, 9, 18); }
};

template <class Graphics, class Picture>
void rebuild(benchmark::State& state, bool dual, bool marks = false) {
  Graphics graphics;
  FixedClock clock;
  const int width = dual ? 466 : 233;
  std::unique_ptr<sim::HeadlessPicture> picture;
  if constexpr (std::is_same_v<Picture, sim::ScreenPicture>)
    picture = std::make_unique<sim::ScreenPicture>(graphics, width, 161);
  else
    picture = std::make_unique<sim::HeadlessPicture>(width, 161);
  calendar::clsDualMonths cal(graphics, clock);
  cal.set_DualMonths(dual);
  cal.LinkControl(picture.get());
  cal.set_CalendarCustomDate(*serial::from_ymd(2024, 9, 18));
  cal.SelectDay(*serial::from_ymd(2024, 9, 12));
  if (marks) {
    cal.set_ShowWeekNumbers(true);
    cal.set_MarkWeekends(true);
    cal.set_Holidays({*serial::from_ymd(2024, 9, 2), *serial::from_ymd(2024, 9, 16), *serial::from_ymd(2024, 12, 25)});
  }
  for (auto _ : state) {
    cal.RebuildImage();
    benchmark::DoNotOptimize(cal.Layout().CellWidth);
  }
}

void BM_RebuildRasterOneMonth(benchmark::State& s) { rebuild<sim::RasterGraphics, sim::HeadlessPicture>(s, false); }
void BM_RebuildRasterTwoMonths(benchmark::State& s) { rebuild<sim::RasterGraphics, sim::HeadlessPicture>(s, true); }
void BM_RebuildCairoOneMonth(benchmark::State& s) { rebuild<posix::CairoGraphics, sim::ScreenPicture>(s, false); }
void BM_RebuildCairoTwoMonths(benchmark::State& s) { rebuild<posix::CairoGraphics, sim::ScreenPicture>(s, true); }
void BM_RebuildRasterOneMonthMarked(benchmark::State& s) { rebuild<sim::RasterGraphics, sim::HeadlessPicture>(s, false, true); }
void BM_RebuildCairoOneMonthMarked(benchmark::State& s) { rebuild<posix::CairoGraphics, sim::ScreenPicture>(s, false, true); }

// Hover over the arrows: each entry and exit is a full redraw.
void BM_ArrowHoverRaster(benchmark::State& state) {
  sim::RasterGraphics graphics;
  FixedClock clock;
  sim::HeadlessPicture picture(233, 161);
  calendar::clsDualMonths cal(graphics, clock);
  cal.LinkControl(&picture);
  cal.RebuildImage();
  bool inside = false;
  for (auto _ : state) {
    inside = !inside;
    picture.mouse_move(inside ? 10 : 100, inside ? 10 : 100);
  }
}

BENCHMARK(BM_RebuildRasterOneMonth);
BENCHMARK(BM_RebuildRasterTwoMonths);
BENCHMARK(BM_RebuildCairoOneMonth);
BENCHMARK(BM_RebuildCairoTwoMonths);
BENCHMARK(BM_RebuildRasterOneMonthMarked);
BENCHMARK(BM_RebuildCairoOneMonthMarked);
BENCHMARK(BM_ArrowHoverRaster);

}  // namespace

BENCHMARK_MAIN();
