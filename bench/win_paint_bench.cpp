// Paint time of the system month calendar control printed into a memory bitmap, against the GDI
// surface drawing 42 day cells with their borders and copying them out, at 233 x 161 pixels.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/platform_graphics.h"
#include "win/gdi_graphics.h"

namespace {

constexpr int kWidth = 233, kHeight = 161, kRounds = 500;

double now_ms() {
  static const double ticks_per_ms = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticks_per_ms;
}

template <class F>
double ms_per_round(F&& paint) {
  paint();  // warm caches and fonts first
  const double start = now_ms();
  for (int i = 0; i < kRounds; ++i) paint();
  return (now_ms() - start) / kRounds;
}

void draw_cells(tessaly::ISurface& s, tessaly::ISurface& window) {
  using namespace tessaly;
  s.set_back_color(rgb(240, 240, 240));
  s.fill_solid(Rect{0, 0, kWidth, kHeight}, rgb(240, 240, 240));
  s.set_font(LogicalFont{"Tahoma", -11, 700, false, false, false, 0});
  s.draw_text_centred(Rect{60, 2, 170, 25}, "September 2026");
  for (int i = 0; i < 42; ++i) {
    s.set_font(LogicalFont{"Tahoma", -11, i == 17 ? 700 : 400, false, false, false, 0});
    const int x = 2 + (i % 7) * 32, y = 47 + (i / 7) * 18;
    s.set_back_color(rgb(255, 255, 255));
    s.text_cell(Rect{x, y, x + 32, y + 18}, 0, 0, "");
    s.set_back_color(rgb(160, 160, 160));
    s.text_cell(Rect{x, y, x + 31, y + 17}, 0, 0, "");
    s.set_back_color(rgb(240, 240, 240));
    const std::string text = std::to_string(i % 30 + 1);
    const Size e = s.text_extent(text);
    s.text_cell(Rect{x + 1, y + 1, x + 31, y + 17}, x + 1 + (30 - e.cx) / 2, y + 1 + (16 - e.cy) / 2, text);
  }
  s.blit_to(window, 0, 0, kWidth, kHeight, 0, 0, RasterOp::Copy);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
  if (!::InitCommonControlsEx(&icc)) return std::puts("common controls unavailable"), 1;
  HWND top = ::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPED, 0, 0, 300, 250, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  HWND cal = ::CreateWindowExW(0, MONTHCAL_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, top, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (!top || !cal) return std::puts("no month calendar window"), 1;

  auto graphics = tessaly::MakePlatformGraphics();
  auto image = graphics->try_create_surface(kWidth, kHeight);
  auto target = graphics->try_create_surface(kWidth, kHeight);
  if (!image || !target) return std::puts("no surface"), 1;
  HDC print_dc = static_cast<tessaly::win::gdi::GdiSurface&>(*target).hdc();

  const double system = ms_per_round([&] {
    ::SendMessageW(cal, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(print_dc), PRF_CLIENT | PRF_ERASEBKGND);
  });
  // Make sure the control really painted into the bitmap.
  int inked = 0;
  for (int y = 0; y < kHeight; y += 4)
    for (int x = 0; x < kWidth; x += 4) inked += target->pixel(x, y) != 0;
  if (inked == 0) return std::puts("the month calendar printed nothing"), 1;
  const double print_window = ms_per_round([&] { ::PrintWindow(cal, print_dc, PW_CLIENTONLY); });
  const double cells = ms_per_round([&] { draw_cells(*image, *target); });
  std::printf("month calendar control, WM_PRINTCLIENT: %.3f ms per paint\n", system);
  std::printf("month calendar control, PrintWindow:    %.3f ms per paint\n", print_window);
  std::printf("GDI surface, 42 text cells and copy:    %.3f ms per paint\n", cells);
  std::printf("ratio control / surface (WM_PRINTCLIENT): %.2f\n", system / cells);
  ::DestroyWindow(top);
  return 0;
}
