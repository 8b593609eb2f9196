// The calendar pop-up in real windows as the add-in draws it while the system's high-contrast mode
// is on (Wine cannot switch the mode: the drawing services report it on), in a high-contrast black
// theme set with SetSysColors; reads the screen back and tells whether only the theme's colours
// show (or, at the edges of smoothed text, mixes of two of them), the selected day keeps its frame
// and, the day grid having the keyboard while the system hides keyboard cues, the focus frame
// shows inside it in highlight text; then stays shown for a picture.
//   high_contrast_calendar.exe [seconds to stay]
#include <windows.h>

#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "calendar/frm_cal.h"
#include "date/serial_date.h"
#include "host/platform_graphics.h"
#include "settings/init_system.h"
#include "sim/memory_services.h"
#include "support/win_ui.h"
#include "win/ui/calendar_form_window.h"

namespace tessaly {
namespace {

// The platform's drawing services with the mode reported on.
class ContrastOn final : public IGraphics {
 public:
  explicit ContrastOn(std::unique_ptr<IGraphics> inner) : inner_(std::move(inner)) {}
  std::unique_ptr<ISurface> try_create_surface(int w, int h) override { return inner_->try_create_surface(w, h); }
  std::optional<Rgb> try_system_color(int index) const override { return inner_->try_system_color(index); }
  int logical_pixels_per_inch_y() const override { return inner_->logical_pixels_per_inch_y(); }
  bool has_font(std::string_view face) const override { return inner_->has_font(face); }
  bool high_contrast() const override { return true; }

 private:
  std::unique_ptr<IGraphics> inner_;
};

// High Contrast Black: every system colour a window of ours or a common control draws with.
constexpr std::pair<int, COLORREF> kTheme[] = {
    {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(255, 255, 255)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
    {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},   {COLOR_GRAYTEXT, RGB(63, 242, 63)},     {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},   {COLOR_BTNSHADOW, RGB(128, 128, 128)},  {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
    {COLOR_3DDKSHADOW, RGB(128, 128, 128)}, {COLOR_3DLIGHT, RGB(255, 255, 255)},   {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
    {COLOR_SCROLLBAR, RGB(0, 0, 0)},
};

COLORREF screen_pixel(HDC screen, int x, int y) { return ::GetPixel(screen, x, y) & 0xFFFFFF; }

// A mix of two theme colours, as the edge pixels of smoothed text are: on the line between them.
bool blend_of(COLORREF c, const std::set<COLORREF>& theme) {
  const auto ch = [](COLORREF v, int i) { return static_cast<double>((v >> (8 * i)) & 0xFF); };
  for (COLORREF a : theme)
    for (COLORREF b : theme) {
      int widest = 0;
      for (int i = 1; i < 3; ++i)
        if (std::abs(ch(b, i) - ch(a, i)) > std::abs(ch(b, widest) - ch(a, widest))) widest = i;
      if (a >= b || ch(b, widest) == ch(a, widest)) continue;
      const double t = (ch(c, widest) - ch(a, widest)) / (ch(b, widest) - ch(a, widest));
      bool on_line = t >= 0 && t <= 1;
      for (int i = 0; i < 3 && on_line; ++i) on_line = std::abs(ch(a, i) + t * (ch(b, i) - ch(a, i)) - ch(c, i)) <= 3;
      if (on_line) return true;
    }
  return false;
}

}  // namespace
}  // namespace tessaly

int main(int argc, char** argv) {
  using namespace tessaly;
  const int stay_seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  std::vector<int> indices;
  std::vector<COLORREF> colours, before;
  for (const auto& [index, colour] : kTheme) {
    indices.push_back(index);
    colours.push_back(colour);
    before.push_back(::GetSysColor(index));
  }
  ::SetSysColors(static_cast<int>(indices.size()), indices.data(), colours.data());
  const std::set<COLORREF> theme(colours.begin(), colours.end());
  BOOL cues_before = TRUE;
  ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues_before, 0);
  ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(FALSE), 0);

  int outside = 0, blended = 0, pixels = 0;
  bool framed = false, focus_framed = false;
  {
    testing::HostWindows host(40, 40, 700, 460);
    sim::MemoryServices platform;
    platform.clock.serial = *serial::from_ymd(2024, 2, 14) + 0.5;
    mVantry m;
    m.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(host.main);
    InitSystem(m, platform.services());
    ContrastOn graphics(MakePlatformGraphics());
    auto form = win::CreateCalendarForm({m, graphics, platform.clock, LocaleData::us_english(), {}}, host.main);
    auto& cal = static_cast<calendar::frmCal&>(*form);
    auto& window = static_cast<win::CalendarFormWindow&>(cal.Window());
    POINT at{60, 60};
    ::ClientToScreen(host.book, &at);
    form->ShowCalendar(at.x, at.y, Variant::date(*serial::from_ymd(2024, 2, 29)), reinterpret_cast<WindowHandle>(host.book));
    form->TakeFocus();
    testing::Pump(700);

    RECT r{};
    ::GetWindowRect(window.hwnd(), &r);
    std::printf("high contrast: calendar at %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    HDC screen = ::GetDC(nullptr);
    std::set<COLORREF> strays;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x, ++pixels) {
        const COLORREF c = screen_pixel(screen, x, y);
        if (theme.count(c)) continue;
        if (blend_of(c, theme))
          ++blended;
        else
          ++outside, strays.insert(c);
      }
    for (COLORREF c : strays) std::printf("high contrast: stray colour %06lx\n", c);
    // The selected day: framed in window text inside its edge, filled with highlight.
    for (const calendar::clsDateItem& d : cal.Calendar().SelectedDays()) {
      POINT edge{d.Left() + 1, (d.TOp() + d.Bottom()) / 2}, fill{d.Left() + 4, d.TOp() + 3};
      POINT focus{d.Left() + 4, d.TOp() + 4}, gap{d.Left() + 3, d.TOp() + 6};
      const HWND grid = window.control(FormControl::Calendar);
      for (POINT* p : {&edge, &fill, &focus, &gap}) ::ClientToScreen(grid, p);
      framed = screen_pixel(screen, edge.x, edge.y) == RGB(255, 255, 255) &&
               screen_pixel(screen, fill.x, fill.y) == RGB(26, 235, 255);
      focus_framed = screen_pixel(screen, focus.x, focus.y) == RGB(0, 0, 0) &&
                     screen_pixel(screen, gap.x, gap.y) == RGB(26, 235, 255);
    }
    ::ReleaseDC(nullptr, screen);
    std::printf("high contrast: %d pixels, %d of smoothed text, %d outside the system colours\n", pixels, blended,
                outside);
    std::printf("high contrast: the selected day %s\n", framed ? "framed in window text on highlight" : "not framed");
    std::printf("high contrast: the focus frame %s\n", focus_framed ? "in highlight text inside it" : "missing");
    std::fflush(stdout);
    testing::Pump(stay_seconds * 1000);
  }
  ::SetSysColors(static_cast<int>(indices.size()), indices.data(), before.data());
  ::SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(cues_before)), 0);
  return outside == 0 && framed && focus_framed ? 0 : 1;
}
