// Pixel buffers and the fixed-metric raster surface.
#include "sim/raster_surface.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "host/system_colors.h"

namespace tessaly::sim {

namespace {

Rect clip_to(const Rect& r, int width, int height) {
  return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
}

Rect intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

int round_half_even(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

int utf8_length(std::string_view text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// ---- PixelBuffer ----

PixelBuffer::PixelBuffer(int width, int height, Rgb fill) { resize(width, height, fill); }

void PixelBuffer::resize(int width, int height, Rgb fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

Rgb PixelBuffer::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void PixelBuffer::set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = c;
}

void PixelBuffer::invert(int x, int y) { set(x, y, at(x, y) ^ 0x00FFFFFF); }

void PixelBuffer::fill(const Rect& r, Rgb c) {
  const Rect k = clip_to(r, width_, height_);
  if (k.empty()) return;
  for (int y = k.top; y < k.bottom; ++y) {
    const auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_;
    std::fill(row + k.left, row + k.right, c);
  }
}

int PixelBuffer::count(const Rect& r, Rgb c) const {
  const Rect k = clip_to(r, width_, height_);
  int n = 0;
  for (int y = k.top; y < k.bottom; ++y)
    for (int x = k.left; x < k.right; ++x) n += at(x, y) == c ? 1 : 0;
  return n;
}

void PixelBuffer::draw_focus_rect(const Rect& r) {
  ++focus_rects_drawn_;
  if (r.empty()) return;
  // Each frame pixel is visited once, so a second draw puts every pixel back.
  const auto dot = [&](int x, int y) {
    if (((x - r.left) + (y - r.top)) % 2 == 0) invert(x, y);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
}

// ---- GlyphMetrics ----

GlyphMetrics GlyphMetrics::of(const LogicalFont& font) {
  GlyphMetrics m;
  // A positive height is the cell height, of which the character takes about five sixths.
  m.em = font.height < 0 ? -font.height : round_half_even(font.height * 5.0 / 6.0);
  if (m.em == 0) m.em = 12;  // the device's default font when no size was asked
  m.advance = std::max(round_half_even(0.55 * m.em), 1);
  m.line_height = round_half_even(1.2 * m.em);
  m.box_top = 1 + m.em / 5;
  m.box_height = std::max(round_half_even(0.7 * m.em), 1);
  return m;
}

// ---- RasterSurface ----

RasterSurface::RasterSurface(int width, int height, int /*pixels_per_inch*/, const IGraphics* colours)
    : buffer_(width, height, 0), colours_(colours) {}

Rgb RasterSurface::system(int index) const {
  return (colours_ ? colours_->try_system_color(index) : default_system_color(index)).value_or(0);
}

void RasterSurface::set_font(const LogicalFont& font) {
  font_ = font;
  ++fonts_selected_;
}

Size RasterSurface::text_extent(std::string_view text) {
  const GlyphMetrics m = GlyphMetrics::of(font_);
  return Size{utf8_length(text) * m.advance, m.line_height};
}

void RasterSurface::draw_glyphs(const Rect& clip, int x, int y, std::string_view text) {
  const GlyphMetrics m = GlyphMetrics::of(font_);
  const Rect k = clip_to(clip, width(), height());
  int gx = x;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t len = 1;
    while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80) ++len;
    if (text[i] != ' ') {
      // Bold glyphs are one pixel heavier on the right, within the same advance.
      const int w = std::max(m.advance - (font_.weight >= 700 ? 1 : 2), 1);
      buffer_.fill(intersect(Rect{gx, y + m.box_top, gx + w, y + m.box_top + m.box_height}, k), fore_);
    }
    gx += m.advance;
    i += len;
  }
}

void RasterSurface::text_cell(const Rect& cell, int x, int y, std::string_view text) {
  buffer_.fill(cell, back_);
  if (text.empty()) return;
  text_draws_.push_back(TextDraw{std::string(text), cell, x, y, font_, fore_, back_});
  draw_glyphs(cell, x, y, text);
}

void RasterSurface::draw_text_centred(const Rect& r, std::string_view text) {
  const Size e = text_extent(text);
  const int x = r.left + (r.width() - e.cx) / 2;
  const int y = r.top + (r.height() - e.cy) / 2;
  const Rect extent = intersect(Rect{x, y, x + e.cx, y + e.cy}, r);
  buffer_.fill(extent, back_);
  text_draws_.push_back(TextDraw{std::string(text), r, x, y, font_, fore_, back_});
  draw_glyphs(r, x, y, text);
}

void RasterSurface::fill_solid(const Rect& r, Rgb c) { buffer_.fill(r, c); }

void RasterSurface::fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) {
  // Pixel centres inside or on the triangle, by the sign of the three edge functions.
  const auto edge = [](long ax, long ay, long bx, long by, long px, long py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  const int left = std::min({x1, x2, x3}), right = std::max({x1, x2, x3});
  const int top = std::min({y1, y2, y3}), bottom = std::max({y1, y2, y3});
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const long a = edge(x1, y1, x2, y2, x, y), b = edge(x2, y2, x3, y3, x, y), c = edge(x3, y3, x1, y1, x, y);
      if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0)) buffer_.set(x, y, fore_);
    }
  }
}

void RasterSurface::draw_edge(const Rect& r, EdgeKind kind) {
  if (r.empty()) return;
  const EdgeColors e = edge_colors(kind);
  const Rgb top_left = system(e.top_left), bottom_right = system(e.bottom_right);
  buffer_.fill(Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  buffer_.fill(Rect{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
  buffer_.fill(Rect{r.left, r.top, r.right - 1, r.top + 1}, top_left);
  buffer_.fill(Rect{r.left, r.top, r.left + 1, r.bottom - 1}, top_left);
}

namespace {

PixelBuffer* pixels_of(IDevice& dest) {
  if (auto* p = dynamic_cast<PixelBuffer*>(&dest)) return p;
  if (auto* s = dynamic_cast<RasterSurface*>(&dest)) return &s->buffer();
  return nullptr;  // a device of another backend: nothing this surface can write to
}

}  // namespace

void RasterSurface::blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) {
  PixelBuffer* out = pixels_of(dest);
  if (out == nullptr) return;
  out->count_copy();
  const bool inside = sx >= 0 && sy >= 0 && sx + w <= width() && sy + h <= height() && dx >= 0 && dy >= 0 &&
                      dx + w <= out->width() && dy + h <= out->height();
  if (inside && op == RasterOp::Copy) {  // the usual full-window copy, a row at a time
    for (int y = 0; y < h; ++y) std::copy_n(buffer_.row(sy + y) + sx, w, out->row(dy + y) + dx);
    return;
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int px = sx + x, py = sy + y;
      // Pixels from outside the bitmap come out black, as from an unpainted device.
      const Rgb src = (px >= 0 && py >= 0 && px < width() && py < height()) ? buffer_.at(px, py) : 0;
      out->set(dx + x, dy + y, op == RasterOp::Invert ? (out->at(dx + x, dy + y) ^ src) : src);
    }
  }
}

void RasterSurface::stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) {
  PixelBuffer* out = pixels_of(dest);
  if (out == nullptr || dw <= 0 || dh <= 0 || width() == 0 || height() == 0) return;
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x)
      out->set(dx + x, dy + y,
               buffer_.at(static_cast<int>(static_cast<long>(x) * width() / dw),
                          static_cast<int>(static_cast<long>(y) * height() / dh)));
}

// ---- system colours and graphics ----


std::unique_ptr<ISurface> RasterGraphics::try_create_surface(int width, int height) {
  if (fail_create_ || width <= 0 || height <= 0) return nullptr;
  auto s = std::make_unique<RasterSurface>(width, height, ppi_, this);
  ++surfaces_created_;
  last_ = s.get();
  return s;
}

std::optional<Rgb> RasterGraphics::try_system_color(int index) const {
  for (auto it = overrides_.rbegin(); it != overrides_.rend(); ++it)
    if (it->first == index) return it->second;
  return default_system_color(index);
}

void RasterGraphics::set_system_color(int index, Rgb c) { overrides_.emplace_back(index, c); }

bool RasterGraphics::has_font(std::string_view face) const {
  std::string f(face);
  for (auto& ch : f) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return f != "marlett" && f != "symbol" && f != "wingdings" && f != "webdings";
}

}  // namespace tessaly::sim
