// A calendar control linked to a windowless picture on the raster surface, with its events recorded.
#pragma once

#include <memory>
#include <stdexcept>
#include <vector>

#include "calendar/dual_months.h"
#include "date/serial_date.h"
#include "sim/headless_picture.h"
#include "sim/raster_surface.h"

namespace tessaly::calendar::testing {

inline double ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }
// September 2024, the month most tests show: it opens on a Sunday.
inline double sep(int d) { return ymd(2024, 9, d); }

class FixedClock : public IClock {
 public:
  explicit FixedClock(double now) : now_(now) {}
  double now() const override { return now_; }
  void set(double now) { now_ = now; }

 private:
  double now_;
};

// Raster graphics that can be told to have the symbol font, for the glyph arrows.
class Graphics : public sim::RasterGraphics {
 public:
  bool has_font(std::string_view face) const override { return marlett || sim::RasterGraphics::has_font(face); }
  bool marlett = false;
};

struct World {
  explicit World(double today = ymd(2024, 9, 18) + 0.4, int width = 233, int height = 161)
      : clock(today), picture(width, height), cal(graphics, clock) {
    cal.DateClicked = [this](double focus) {
      clicked.push_back(focus);
      if (throw_in_listener) throw std::runtime_error("listener failed");
    };
    cal.DateChanged = [this] { ++changed; };
    cal.LinkControl(&picture);
  }

  // Shows the month of `date` and draws it, as the pop-up does when it opens.
  void show(double date) {
    cal.set_CalendarCustomDate(date);
    cal.RebuildImage();
  }
  // A displayed day, with the cell it was drawn in.
  const clsDateItem& day(double date) const {
    for (const clsDateItem& d : cal.DayCells())
      if (d.DateTime() == date) return d;
    throw std::logic_error("day not displayed");
  }
  // Clicks the centre of a displayed day's recorded cell, the events carrying `event_shift`.
  void click_date(double date, int event_shift = 0) {
    const clsDateItem& d = day(date);
    const int x = (d.Left() + d.Right()) / 2, y = (d.TOp() + d.Bottom()) / 2;
    picture.mouse_down(mouse::kLeft, x, y, event_shift);
    picture.mouse_up(mouse::kLeft, x, y, event_shift);
  }
  std::vector<double> selected() const {
    std::vector<double> out;
    for (const clsDateItem& d : cal.SelectedDays()) out.push_back(d.DateTime());
    return out;
  }
  sim::RasterSurface& surface() { return *dynamic_cast<sim::RasterSurface*>(cal.Surface().surface()); }

  Graphics graphics;
  FixedClock clock;
  sim::HeadlessPicture picture;
  clsDualMonths cal;
  std::vector<double> clicked;
  int changed = 0;
  bool throw_in_listener = false;
};

}  // namespace tessaly::calendar::testing
