// Paint time of the system month calendar control printed into a memory bitmap, against the
// calendar control's whole image (RebuildImage and the copy to its window) on the GDI surface, at
// 233 x 161 pixels with one month and at 466 x 161 with two.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/win_clock.h"
#include "calendar/dual_months.h"
#include "date/serial_date.h"
#include "host/platform_graphics.h"
#include "sim/headless_picture.h"
#include "win/ui/gdi_graphics.h"

namespace {

constexpr int kWidth = 233, kHeight = 161, kRounds = 500;

template <class F>
double ms_per_round(F&& paint) {
  paint();  // warm caches and fonts first
  const double start = tessaly::bench::NowMs();
  for (int i = 0; i < kRounds; ++i) paint();
  return (tessaly::bench::NowMs() - start) / kRounds;
}

class FixedClock : public tessaly::IClock {
 public:
  double now() const override { return *tessaly::serial::from_ymd(2026, 9, 18); }
};

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
  auto target = graphics->try_create_surface(kWidth, kHeight);
  if (!target) return std::puts("no surface"), 1;
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
  FixedClock clock;
  auto rebuild_ms = [&](bool dual) {
    tessaly::sim::ScreenPicture picture(*graphics, dual ? 2 * kWidth : kWidth, kHeight);
    tessaly::calendar::clsDualMonths control(*graphics, clock);
    control.set_DualMonths(dual);
    control.LinkControl(&picture);
    control.set_CalendarCustomDate(clock.now());
    control.SelectDay(clock.now() + 3);
    return ms_per_round([&] { control.RebuildImage(); });
  };
  const double one = rebuild_ms(false), two = rebuild_ms(true);
  std::printf("month calendar control, WM_PRINTCLIENT: %.3f ms per paint\n", system);
  std::printf("month calendar control, PrintWindow:    %.3f ms per paint\n", print_window);
  std::printf("calendar control on GDI, one month:     %.3f ms per image\n", one);
  std::printf("calendar control on GDI, two months:    %.3f ms per image\n", two);
  std::printf("ratio control / surface (WM_PRINTCLIENT): %.2f\n", system / one);
  ::DestroyWindow(top);
  return 0;
}
