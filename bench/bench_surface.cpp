// The platform drawing surface composing one month's image: the fills, font switches, 42 day
// cells with their borders and the final block transfer that a full redraw costs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/platform_graphics.h"

namespace tessaly {
namespace {

constexpr int kWidth = 233, kHeight = 161;

LogicalFont tahoma(bool bold) { return LogicalFont{"Tahoma", -11, bold ? 700 : 400, false, false, false, 0}; }

// A sunken one-pixel border around a text cell, as the calendar draws each day.
void day_cell(ISurface& s, int x, int y, int w, int h, const std::string& text) {
  const Rgb back = s.back_color();
  s.set_back_color(rgb(255, 255, 255));
  s.text_cell(Rect{x, y, x + w, y + h}, 0, 0, "");
  s.set_back_color(rgb(160, 160, 160));
  s.text_cell(Rect{x, y, x + w - 1, y + h - 1}, 0, 0, "");
  s.set_back_color(back);
  const Size e = s.text_extent(text);
  s.text_cell(Rect{x + 1, y + 1, x + w - 1, y + h - 1}, x + 1 + (w - 2 - e.cx) / 2, y + 1 + (h - 2 - e.cy) / 2, text);
}

void compose_month(ISurface& s, ISurface& window) {
  s.set_back_color(rgb(240, 240, 240));
  s.fill_solid(Rect{0, 0, kWidth, kHeight}, rgb(240, 240, 240));
  s.set_font(LogicalFont{"Marlett", -16, 400, false, false, false, 0});
  s.draw_edge(Rect{2, 2, 34, 25}, EdgeKind::RaisedInnerFlat);
  s.fill_triangle(21, 8, 13, 13, 21, 18);
  s.draw_edge(Rect{197, 2, 229, 25}, EdgeKind::RaisedInnerFlat);
  s.fill_triangle(210, 8, 218, 13, 210, 18);
  s.set_font(tahoma(true));
  s.draw_text_centred(Rect{60, 2, 170, 25}, "September 2026");
  static const char* const kDays[] = {"S", "M", "T", "W", "T", "F", "S"};
  for (int d = 0; d < 7; ++d) day_cell(s, 2 + d * 32, 30, 32, 17, kDays[d]);
  for (int i = 0; i < 42; ++i) {
    s.set_font(tahoma(i == 17));  // today in bold
    day_cell(s, 2 + (i % 7) * 32, 47 + (i / 7) * 18, 32, 18, std::to_string(i % 30 + 1));
  }
  s.blit_to(window, 0, 0, kWidth, kHeight, 0, 0, RasterOp::Copy);
}

void BM_ComposeMonth(benchmark::State& state) {
  auto graphics = MakePlatformGraphics();
  auto image = graphics->try_create_surface(kWidth, kHeight);
  auto window = graphics->try_create_surface(kWidth, kHeight);
  for (auto _ : state) {
    compose_month(*image, *window);
    benchmark::DoNotOptimize(window->pixel(5, 5));
  }
}
BENCHMARK(BM_ComposeMonth)->Unit(benchmark::kMicrosecond);

void BM_TextCells42(benchmark::State& state) {
  auto graphics = MakePlatformGraphics();
  auto image = graphics->try_create_surface(kWidth, kHeight);
  image->set_font(tahoma(false));
  for (auto _ : state)
    for (int i = 0; i < 42; ++i) {
      const int x = 2 + (i % 7) * 32, y = 47 + (i / 7) * 18;
      image->text_cell(Rect{x, y, x + 32, y + 18}, x + 10, y + 3, std::to_string(i % 30 + 1));
    }
}
BENCHMARK(BM_TextCells42)->Unit(benchmark::kMicrosecond);

void BM_SetFont(benchmark::State& state) {
  auto graphics = MakePlatformGraphics();
  auto image = graphics->try_create_surface(10, 10);
  bool bold = false;
  for (auto _ : state) image->set_font(tahoma(bold = !bold));
}
BENCHMARK(BM_SetFont)->Unit(benchmark::kMicrosecond);

void BM_Blit(benchmark::State& state) {
  auto graphics = MakePlatformGraphics();
  auto image = graphics->try_create_surface(kWidth, kHeight);
  auto window = graphics->try_create_surface(kWidth, kHeight);
  for (auto _ : state) image->blit_to(*window, 0, 0, kWidth, kHeight, 0, 0, RasterOp::Copy);
}
BENCHMARK(BM_Blit)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessaly

BENCHMARK_MAIN();
