// The calendar image: layout as pure functions, then the painting that follows it in order.
#include "calendar/rebuild_image.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "calendar/contrast.h"
#include "calendar/dual_months.h"
#include "date/serial_date.h"

namespace tessaly::calendar {

// ---- layout ----

Rect CalendarLayout::header_cell(int month, int column) const {
  const int x = month_left(month) + column * CellWidth;
  return Rect{x, HeaderTop, x + CellWidth + LineOffset, HeaderTop + HeaderHeight + LineOffset};
}

Rect CalendarLayout::day_cell(int month, int row, int column) const {
  const int x = month_left(month) + column * CellWidth;
  const int y = FirstRowTop + row * CellHeight;
  return Rect{x, y, x + CellWidth + LineOffset, y + CellHeight + LineOffset};
}

Rect CalendarLayout::week_cell(int month, int row) const {
  if (WeekColumnWidth == 0) return Rect{};
  const int x = month_left(month) - WeekColumnWidth;
  if (row < 0) return Rect{x, HeaderTop, x + WeekColumnWidth + LineOffset, HeaderTop + HeaderHeight + LineOffset};
  const int y = FirstRowTop + row * CellHeight;
  return Rect{x, y, x + WeekColumnWidth + LineOffset, y + CellHeight + LineOffset};
}

CalendarLayout compute_layout(const LayoutInput& in) {
  CalendarLayout l;
  const int W = in.width, H = in.height;
  l.months = in.dual_months ? 2 : 1;
  l.DualMonthsSpace = in.dual_months_space;
  l.MonthWidth = in.dual_months ? round_even((W - 4 - in.dual_months_space) / 2.0) : W - 4;
  // The week numbers take a narrow column out of the days' width.
  l.WeekColumnWidth = in.week_numbers ? std::min(in.week_text_width + 6, l.MonthWidth / 4) : 0;
  l.CellWidth = (l.MonthWidth - l.WeekColumnWidth) / 7;
  l.ArrowWidth = l.CellWidth;
  l.ArrowHeight = 23;
  l.PrevArrowRect = Rect{2, 2, l.ArrowWidth + 2, l.ArrowHeight + 2};
  l.NextArrowRect = Rect{W - l.ArrowWidth - 4, 2, W - 4, l.ArrowHeight + 2};

  const int S = in.title_text_width;
  const int P = in.dual_months ? round_even(W / 2.0) : W;
  l.TitleRects[0] = Rect{round_even((P - 4 - S) / 2.0), 2, round_even((P - 4 - S) / 2.0 + S), l.ArrowHeight + 2};
  if (in.dual_months) {
    const int h = round_even(W / 2.0);
    l.TitleRects[1] =
        Rect{round_even((h - 4 - S) / 2.0 + h), 2, round_even((h - 4 - S) / 2.0 + h + S), l.ArrowHeight + 2};
  }

  switch (in.line_style) {
    case 0: l.LineOffset = 2; break;
    case 2: l.LineOffset = 1; break;
    default: l.LineOffset = 0; break;
  }

  const int TH = in.header_text_height;
  l.HasHeader = in.show_day_header;
  l.HeaderTop = l.ArrowHeight + 7;
  const int fixed = 4 + l.ArrowHeight + 5 + in.stamp_day_head_space;
  if (in.show_day_header) {
    l.HeaderHeight = TH + (in.line_style == 2 ? 3 : 4);
    l.CellHeight = (H - l.HeaderHeight - fixed) / 6 - (in.line_style == 2 ? 1 : 0);
    const int j = in.line_style == 0 ? 5 : in.line_style == 2 ? 3 : 4;
    l.FirstRowTop = j + TH + l.ArrowHeight + in.stamp_day_head_space;
  } else {
    l.HeaderHeight = 0;
    l.CellHeight = (H - fixed) / 6;
    l.FirstRowTop = l.ArrowHeight + 2 + in.stamp_day_head_space;
  }
  return l;
}

Rect arrow_focus_rect(const Rect& a) { return Rect{a.left + 2, a.top + 2, a.right - 2, a.bottom - 2}; }

Triangle arrow_triangle(const Rect& a, bool points_left) {
  // About the size of the symbol font's triangle at 12 points: half as high as the button.
  const int half = std::max(std::min(a.width(), a.height()) / 4, 2);
  const int cx = a.left + a.width() / 2, cy = a.top + a.height() / 2;
  const int tip = points_left ? cx - half / 2 - 1 : cx + half / 2;
  const int base = points_left ? tip + half : tip - half;
  return Triangle{tip, cy, base, cy - half, base, cy + half};
}

std::array<GridDay, 42> month_grid(const clsDateVars& vars) {
  std::array<GridDay, 42> days{};
  for (int i = 0; i < 42; ++i) {
    const double d = vars.GridStartDate() + i;
    days[static_cast<std::size_t>(i)] = GridDay{
        d, d < vars.FirstDayOfMonth() ? Period::Pre : d > vars.LastDayOfMonth() ? Period::Post : Period::Current};
  }
  return days;
}

bool overlaps(const Rect& f, const Rect& c) {
  if (f.empty() || c.empty()) return false;  // as IntersectRect: nothing meets an empty rectangle
  return f.left < c.right && c.left < f.right && f.top < c.bottom && c.top < f.bottom;
}

// ---- painting ----

namespace {

// The first n characters of UTF-8 text.
std::string utf8_prefix(const std::string& s, int n) {
  std::size_t i = 0;
  for (int k = 0; k < n && i < s.size(); ++k) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return s.substr(0, i);
}

std::string weekday_text(const LocaleData& locale, int day, int format) {
  const auto i = static_cast<std::size_t>(day - 1);
  switch (format) {
    case 0: return utf8_prefix(locale.day_abbreviations[i], 1);
    case 1: return utf8_prefix(locale.day_abbreviations[i], 2);
    case 3: return locale.day_names[i];
    default: return locale.day_abbreviations[i];
  }
}

std::string month_title(const LocaleData& locale, double first_of_month) {
  const DateParts p = serial::to_parts(first_of_month);
  char year[8];
  std::snprintf(year, sizeof year, " %04d", p.year % 10000);
  return locale.month_names[static_cast<std::size_t>(p.month - 1)] + year;
}

EdgeKind arrow_edge(int state) {
  switch (state) {
    case 1: return EdgeKind::RaisedInner;
    case 2: return EdgeKind::SunkenOuter;
    default: return EdgeKind::RaisedInnerFlat;
  }
}

}  // namespace

void clsDualMonths::UseFont(bool bold) { draw_.SetFont("Tahoma", 8, bold); }

// In high contrast the system's colour pairs stand in for the option colours, which stay as set.
OleColor clsDualMonths::Shown(OleColor option, OleColor system) const { return high_contrast_ ? system : option; }

void clsDualMonths::FrameCell(const Rect& r, OleColor colour, int width) {
  const std::int64_t c = draw_.TranslateColor(colour);
  const Rect in{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  draw_.FillRect(in.left, in.top, in.right, in.top + width, c);
  draw_.FillRect(in.left, in.bottom - width, in.right, in.bottom, c);
  draw_.FillRect(in.left, in.top, in.left + width, in.bottom, c);
  draw_.FillRect(in.right - width, in.top, in.right, in.bottom, c);
}

// The focus frame lies inside the day's own frame, one pixel clear of it. In high contrast it is
// dotted in the day's text colour: the inverted pixels of a focus rectangle are no system colour.
void clsDualMonths::FrameFocusDay(const Rect& r, const DayCellLook& look) {
  const int inset = look.framed ? 2 + look.frame_width : 2;
  const Rect f{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
  if (!high_contrast_) {
    draw_.pDrawFocusRect(f.left, f.top, f.width(), f.height());
    return;
  }
  const std::int64_t c = draw_.TranslateColor(look.fore);
  const auto dot = [&](int x, int y) { draw_.FillRect(x, y, x + 1, y + 1, c); };
  for (int x = f.left; x < f.right; x += 2) {
    dot(x, f.top);
    dot(x, f.bottom - 1);
  }
  for (int y = f.top; y < f.bottom; y += 2) {
    dot(f.left, y);
    dot(f.right - 1, y);
  }
}

LayoutInput clsDualMonths::MeasureLayout() {
  LayoutInput in;
  in.width = width_;
  in.height = height_;
  in.dual_months = dual_months_;
  in.dual_months_space = dual_months_space_;
  in.line_style = line_style_;
  in.show_day_header = show_day_header_;
  in.stamp_day_head_space = stamp_day_head_space_;
  in.week_numbers = show_week_numbers_;
  if (in.week_numbers) {
    UseFont(false);  // the day numbers' face
    in.week_text_width = draw_.TextWidth("53");
  }
  UseFont(true);  // titles and header share the bold face
  in.title_text_width = draw_.TextWidth("SEPTEMPBER YYYY");
  in.header_text_height = draw_.TextHeight("Wednesday");
  return in;
}

void clsDualMonths::PlaceDayCells() {
  std::size_t c = 0;
  for (int m = 0; m < layout_.months; ++m) {
    double anchor = MonthAnchor(m);
    vars_.SetMonth(anchor, first_day_of_week_);
    const auto grid = month_grid(vars_);
    for (int i = 0; i < 42; ++i) {
      const GridDay& g = grid[static_cast<std::size_t>(i)];
      if (g.period != Period::Current) continue;
      ++c;
      const Rect r = layout_.day_cell(m, i / 7, i % 7);
      const auto place = [&](clsDateItem& item) {
        item.set_Left(r.left);
        item.set_TOp(r.top);
        item.set_Right(r.right);
        item.set_Bottom(r.bottom);
      };
      const std::string key = FormatKey(g.date);
      if (selected_.Exists(key)) place(selected_.Item(key));
      if (day_cells_.Exists(key) && day_cells_.Exists(c)) place(day_cells_.Item(c));
    }
  }
}

void clsDualMonths::PaintArrows() {
  const bool symbol_font = graphics_->has_font("Marlett");
  if (symbol_font) draw_.SetFont("Marlett", 12, false);
  draw_.set_Forecolor(Shown(header_fore_, hc::kWindowText));
  draw_.set_Backcolor(Shown(backcolor_, hc::kWindow));
  ISurface* s = draw_.surface();
  if (s == nullptr) return;
  const struct {
    Rect rect;
    const char* glyph;
    bool left;
    int state;
    bool focus;
  } arrows[] = {{layout_.PrevArrowRect, "3", true, prev_arrow_state_, prev_arrow_focus_},
                {layout_.NextArrowRect, "4", false, next_arrow_state_, next_arrow_focus_}};
  for (const auto& a : arrows) {
    if (symbol_font) {
      s->draw_text_centred(a.rect, a.glyph);
    } else {
      const Triangle t = arrow_triangle(a.rect, a.left);
      s->fill_triangle(t.x1, t.y1, t.x2, t.y2, t.x3, t.y3);
    }
    s->draw_edge(a.rect, arrow_edge(a.state));
    if (a.focus) {
      const Rect f = arrow_focus_rect(a.rect);
      draw_.pDrawFocusRect(f.left, f.top, f.width(), f.height());
    }
  }
}

void clsDualMonths::PaintTitles() {
  UseFont(true);
  draw_.set_Forecolor(Shown(header_fore_, hc::kWindowText));
  draw_.set_Backcolor(Shown(backcolor_, hc::kWindow));
  ISurface* s = draw_.surface();
  if (s == nullptr) return;
  for (int m = 0; m < layout_.months; ++m) {
    double anchor = MonthAnchor(m);
    vars_.SetMonth(anchor, first_day_of_week_);
    s->draw_text_centred(layout_.TitleRects[static_cast<std::size_t>(m)],
                         month_title(*locale_, vars_.FirstDayOfMonth()));
  }
}

void clsDualMonths::PaintHeader() {
  if (!layout_.HasHeader) return;
  UseFont(true);
  draw_.set_Forecolor(Shown(header_fore_, hc::kButtonText));
  draw_.set_Backcolor(Shown(header_back_, hc::kButtonFace));
  if (line_style_ == 2) draw_.set_FlatLineColor(Shown(flat_line_color_, hc::kWindowText));
  for (int m = 0; m < layout_.months; ++m) {
    const Rect w = layout_.week_cell(m, -1);  // the week column's corner, no text
    if (!w.empty()) draw_.Draw3DRect(w.left, w.top, w.width(), w.height(), "", day_head_alignment_, line_style_);
  }
  int d = (first_day_of_week_ >= 1 && first_day_of_week_ <= 7) ? first_day_of_week_ : 1;
  for (int col = 0; col < 7; ++col) {
    const std::string text = weekday_text(*locale_, d, day_header_format_);
    for (int m = 0; m < layout_.months; ++m) {
      const Rect r = layout_.header_cell(m, col);
      draw_.Draw3DRect(r.left, r.top, r.width(), r.height(), text, day_head_alignment_, line_style_);
    }
    d = d % 7 + 1;
  }
}

// The week numbers read as row headers: in the header's colours, in the days' face.
void clsDualMonths::PaintWeekNumbers() {
  if (layout_.WeekColumnWidth == 0) return;
  UseFont(false);
  draw_.set_Forecolor(Shown(header_fore_, hc::kButtonText));
  draw_.set_Backcolor(Shown(header_back_, hc::kButtonFace));
  if (line_style_ == 2) draw_.set_FlatLineColor(Shown(flat_line_color_, hc::kWindowText));
  const int first = first_day_of_week_ >= 1 && first_day_of_week_ <= 7 ? first_day_of_week_ : 1;
  for (int m = 0; m < layout_.months; ++m) {
    double anchor = MonthAnchor(m);
    vars_.SetMonth(anchor, first_day_of_week_);
    for (int row = 0; row < 6; ++row) {
      const Rect r = layout_.week_cell(m, row);
      const int week = RowWeekNumber(vars_.GridStartDate() + 7 * row, week_number_system_, first);
      draw_.Draw3DRect(r.left, r.top, r.width(), r.height(), std::to_string(week), day_number_alignment_, line_style_);
    }
  }
}

// A holiday's notch and a weekend's stripe, inside the cell's edge, in the cell's text colour.
void clsDualMonths::DrawMarks(const Rect& r, const DayCellLook& look) {
  ISurface* s = draw_.surface();
  if (s == nullptr) return;
  if (look.stripe) draw_.FillRect(r.left + 2, r.top + 2, r.left + 4, r.bottom - 2, draw_.TranslateColor(look.fore));
  if (look.corner) {
    const int n = std::max(3, std::min(r.width(), r.height()) / 3);
    s->fill_triangle(r.right - 2 - n, r.top + 1, r.right - 2, r.top + 1, r.right - 2, r.top + 1 + n);
  }
}

void clsDualMonths::PaintDays() {
  if (line_style_ == 2) draw_.set_FlatLineColor(Shown(flat_line_color_, hc::kWindowText));
  UseFont(false);
  const double now = today(*clock_);
  for (int m = 0; m < layout_.months; ++m) {
    double anchor = MonthAnchor(m);
    vars_.SetMonth(anchor, first_day_of_week_);
    const auto grid = month_grid(vars_);
    for (int i = 0; i < 42; ++i) {
      const GridDay& g = grid[static_cast<std::size_t>(i)];
      DayCellLook look;
      if (g.period == Period::Pre || g.period == Period::Post) {
        const bool pre = g.period == Period::Pre;
        if (!(pre ? show_pre_period_ : show_post_period_)) continue;
        look.back = Shown(pre ? pre_back_ : post_back_, hc::kWindow);
        look.fore = Shown(pre ? pre_fore_ : post_fore_, hc::kGrayText);
      } else if (!Allows(g.date)) {
        // A day the cell's rule refuses looks like the months around: shown, not to be picked.
        look.back = Shown(post_back_, hc::kWindow);
        look.fore = Shown(post_fore_, hc::kGrayText);
      } else {
        const bool selected = selected_.Exists(FormatKey(g.date));
        const bool is_today = g.date == now;
        const DayMarks marks = marks_.Of(g.date);
        if (high_contrast_) {
          look = HighContrastDay(selected, is_today, marks);
        } else {
          // Marked days take the header's tint, a holiday its text colour as well.
          const bool marked = marks.weekend || marks.holiday;
          look.back = selected ? selected_back_ : marked ? header_back_ : current_back_;
          look.fore = is_today || selected ? selected_fore_ : marks.holiday ? header_fore_ : current_fore_;
          look.bold = is_today;
          look.corner = marks.holiday;
          // Told apart by more than its colours: a frame in its text colour.
          look.framed = selected;
          look.frame = look.fore;
          look.frame_width = 1;
        }
      }
      draw_.set_Backcolor(look.back);
      draw_.set_Forecolor(look.fore);
      UseFont(look.bold);
      const Rect r = layout_.day_cell(m, i / 7, i % 7);
      draw_.Draw3DRect(r.left, r.top, r.width(), r.height(), std::to_string(serial::to_parts(g.date).day),
                       day_number_alignment_, line_style_);
      if (look.framed) FrameCell(r, look.frame, look.frame_width);
      if (look.corner || look.stripe) DrawMarks(r, look);
      // The keyboard's focus day, while the day grid has the focus.
      if (focus_visible_ && g.period == Period::Current && g.date == focus_date_) FrameFocusDay(r, look);
    }
  }
}

void clsDualMonths::RebuildImage() {
  if (image_holds_ > 0) {
    image_due_ = true;
    return;
  }
  image_due_ = false;
  draw_.ClearSurface();
  UseFont(true);
  draw_.set_Forecolor(Shown(forecolor_, hc::kWindowText));
  draw_.set_Backcolor(Shown(backcolor_, hc::kWindow));
  draw_.FillRect(0, 0, width_, height_, draw_.TranslateColor(Shown(backcolor_, hc::kWindow)));
  layout_ = compute_layout(MeasureLayout());
  PlaceDayCells();
  PaintArrows();
  PaintTitles();
  PaintHeader();
  PaintWeekNumbers();
  PaintDays();
  BlitImage();
  if (Drawn) Drawn();
}

void clsDualMonths::ReleaseImage() {
  if (image_holds_ > 0 && --image_holds_ == 0 && image_due_) RebuildImage();
}

}  // namespace tessaly::calendar
