// The off-screen drawing surface of the calendar control.
#include "calendar/memory_draw.h"

#include <cmath>

namespace tessaly::calendar {

std::int64_t translate_ole_color(OleColor color, const IGraphics& graphics) {
  switch (color >> 24) {
    case 0x00:
      return color;
    case 0x02:  // a palette-relative RGB names the RGB itself on a true-colour device
      return color & 0x00FFFFFF;
    case 0x80: {
      if ((color & 0x00FFFF00) != 0) return kNoColor;
      const auto c = graphics.try_system_color(static_cast<int>(color & 0xFF));
      return c ? std::int64_t{*c} : kNoColor;
    }
    default:
      return kNoColor;
  }
}

int round_even(double v) { return static_cast<int>(std::nearbyint(v)); }

clsMemoryDraw::clsMemoryDraw(IGraphics& graphics)
    : graphics_(&graphics), flat_line_color_(graphics.try_system_color(sys_color::kBtnShadow).value_or(0)) {}

clsMemoryDraw::~clsMemoryDraw() { DestroySurface(); }

Rgb clsMemoryDraw::system(int index) const { return graphics_->try_system_color(index).value_or(0); }

Rgb clsMemoryDraw::Backcolor() const { return IsCreated() ? surface_->back_color() : 0; }
Rgb clsMemoryDraw::Forecolor() const { return IsCreated() ? surface_->text_color() : 0; }

// A colour that cannot be translated is ignored here, once for every platform: the colour in
// effect stays, as a device context keeps its colour when it is given an invalid one.
void clsMemoryDraw::set_Backcolor(OleColor color) {
  const auto c = TranslateColor(color);
  if (IsCreated() && c != kNoColor) surface_->set_back_color(static_cast<Rgb>(c));
}

void clsMemoryDraw::set_Forecolor(OleColor color) {
  const auto c = TranslateColor(color);
  if (IsCreated() && c != kNoColor) surface_->set_text_color(static_cast<Rgb>(c));
}

void clsMemoryDraw::set_FlatLineColor(OleColor color) {
  const auto c = TranslateColor(color);
  if (c != kNoColor) flat_line_color_ = static_cast<Rgb>(c);
}

void clsMemoryDraw::CreateSurface(int width, int height) {
  DestroySurface();
  surface_ = graphics_->try_create_surface(width, height);
  if (surface_) ClearSurface();
}

void clsMemoryDraw::DestroySurface() {
  surface_.reset();  // the surface puts back its first font and bitmap and releases its own
  has_font_ = false;
}

void clsMemoryDraw::ClearSurface() {
  if (!IsCreated()) return;
  const Rgb back = surface_->back_color();
  surface_->text_cell(Rect{0, 0, surface_->width(), surface_->height()}, 0, 0, "");
  surface_->set_back_color(back);
}

void clsMemoryDraw::Resize(int width, int height) {
  if (IsCreated() && width == surface_->width() && height == surface_->height()) return;
  if (!IsCreated() && width <= 0 && height <= 0) return;
  const bool had_font = has_font_;
  const LogicalFont font = font_;
  CreateSurface(width, height);
  if (had_font && IsCreated()) {
    surface_->set_font(font);
    font_ = font;
    has_font_ = true;
  }
}

void clsMemoryDraw::SetFont(const std::string& face, double size_points, bool bold, bool italic, bool strikeout,
                            bool underline, int angle_degrees) {
  if (!IsCreated()) return;
  LogicalFont f;
  f.face = face;
  const int ppi = pixels_per_inch_ > 0 ? pixels_per_inch_ : graphics_->logical_pixels_per_inch_y();
  f.height = -round_even(size_points * ppi / 72.0);
  f.weight = bold ? 700 : 400;
  f.italic = italic;
  f.underline = underline;
  f.strikeout = strikeout;
  f.escapement = angle_degrees * 10;
  // The same font again needs no new one: the selected font already is it.
  if (has_font_ && f == font_) return;
  surface_->set_font(f);
  font_ = f;
  has_font_ = true;
}

int clsMemoryDraw::TextHeight(std::string_view text) { return IsCreated() ? surface_->text_extent(text).cy : 0; }
int clsMemoryDraw::TextWidth(std::string_view text) { return IsCreated() ? surface_->text_extent(text).cx : 0; }

void clsMemoryDraw::BlitImage(IDevice& dest, int x, int y, int width, int height, bool stretch, int source_x,
                              int source_y, bool invert) {
  if (!IsCreated()) return;
  if (width == 0) width = surface_->width();
  if (height == 0) height = surface_->height();
  if (stretch && (width != surface_->width() || height != surface_->height())) {
    surface_->stretch_to(dest, x, y, width, height);
  } else {
    surface_->blit_to(dest, x, y, width, height, source_x, source_y, invert ? RasterOp::Invert : RasterOp::Copy);
  }
}

void clsMemoryDraw::FillRect(int x1, int y1, int x2, int y2, std::int64_t color) {
  if (!IsCreated()) return;
  if (x2 < x1) x2 = surface_->width();
  if (y2 < y1) y2 = surface_->height();
  const Rgb c = color == kNoColor ? surface_->back_color() : static_cast<Rgb>(color);
  surface_->fill_solid(Rect{x1, y1, x2, y2}, c);
}

void clsMemoryDraw::pDrawFocusRect(int x, int y, int width, int height) {
  if (IsCreated()) surface_->draw_focus_rect(Rect{x, y, x + width, y + height});
}

void clsMemoryDraw::pFillRect(int x, int y, int w, int h, std::int64_t color, std::string_view text, int alignment) {
  if (!IsCreated()) return;
  const Rgb back = surface_->back_color();
  if (color != kNoColor) surface_->set_back_color(static_cast<Rgb>(color));
  int tx = 0, ty = 0;
  if (!text.empty() && alignment >= 0 && alignment <= 8) {
    const Size e = surface_->text_extent(text);
    switch (alignment % 3) {  // 0, 3, 6 centre; 1, 4, 7 left; 2, 5, 8 right
      case 0: tx = x + (w - e.cx) / 2; break;
      case 1: tx = x; break;
      default: tx = x + w - e.cx; break;
    }
    switch (alignment / 3) {  // 0..2 centre, 3..5 top, 6..8 bottom
      case 0: ty = y + (h - e.cy) / 2; break;
      case 1: ty = y; break;
      default: ty = y + h - e.cy; break;
    }
  }
  surface_->text_cell(Rect{x, y, x + w, y + h}, tx, ty, text);
  surface_->set_back_color(back);
}

void clsMemoryDraw::Draw3DRect(int x, int y, int w, int h, std::string_view text, int alignment, int style) {
  if (!IsCreated()) return;
  const Rgb light = system(sys_color::kBtnHighlight);
  const Rgb dark = system(sys_color::kBtnShadow);
  Rgb outer = 0, inner = 0;
  bool bordered = true;
  switch (style) {
    case 1: outer = dark; inner = light; break;
    case 2: outer = inner = flat_line_color_; break;
    case 3: outer = light; inner = dark; break;
    default: bordered = false; break;
  }
  if (bordered) {
    pFillRect(x, y, w, h, outer, "", 0);
    pFillRect(x, y, w - 1, h - 1, inner, "", 0);
  }
  pFillRect(x + 1, y + 1, w - 2, h - 2, surface_->back_color(), text, alignment);
}

}  // namespace tessaly::calendar
