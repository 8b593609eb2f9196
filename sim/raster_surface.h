// A pure C++ drawing backend: pixel buffers, a surface that draws text as one filled box per glyph
// with fixed metrics, and Windows' default system colours, so drawing gives exact pixels anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/surface.h"

namespace tessaly::sim {

// A block of pixels that can receive copies: a window's client area or a surface's bitmap.
class PixelBuffer : public IDevice {
 public:
  PixelBuffer(int width, int height, Rgb fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  // 0 outside the buffer; writes outside it are dropped.
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb c);
  void fill(const Rect& r, Rgb c);
  // The pixels of a row inside the buffer, left to right.
  Rgb* row(int y) { return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_; }
  const Rgb* row(int y) const { return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_; }
  void resize(int width, int height, Rgb fill = 0);
  // Number of pixels of a colour inside a rectangle (clipped to the buffer).
  int count(const Rect& r, Rgb c) const;

  // Every other pixel of the frame inverted, starting at the top-left corner.
  void draw_focus_rect(const Rect& r) override;
  int focus_rects_drawn() const { return focus_rects_drawn_; }
  // Copies a surface made into this buffer (each a whole image reaching a window).
  int copies_in() const { return copies_in_; }
  void count_copy() { ++copies_in_; }

 private:
  void invert(int x, int y);

  int width_ = 0, height_ = 0;
  std::vector<Rgb> pixels_;
  int focus_rects_drawn_ = 0;
  int copies_in_ = 0;
};

// The fixed glyph metrics of the raster surface: every character of a font of em height e is
// round(0.55 e) wide, a line is round(1.2 e) high; the glyph box is the advance less one pixel by
// round(0.7 e), one pixel in from the top of the line plus a fifth of the em.
struct GlyphMetrics {
  int em = 0;
  int advance = 0;
  int line_height = 0;
  int box_top = 0, box_height = 0;
  static GlyphMetrics of(const LogicalFont& font);
};

// One text draw, for tests that ask which font and colours a text was drawn with.
struct TextDraw {
  std::string text;
  Rect cell;
  int x = 0, y = 0;
  LogicalFont font;
  Rgb text_color = 0, back_color = 0;
};

class RasterSurface : public ISurface {
 public:
  // Edges take their system colours from `colours` (which must outlive the surface) when given,
  // else from the Windows defaults.
  RasterSurface(int width, int height, int pixels_per_inch, const IGraphics* colours = nullptr);

  int width() const override { return buffer_.width(); }
  int height() const override { return buffer_.height(); }
  void set_font(const LogicalFont& font) override;
  Size text_extent(std::string_view text) override;
  Rgb back_color() const override { return back_; }
  void set_back_color(Rgb c) override { back_ = c; }
  Rgb text_color() const override { return fore_; }
  void set_text_color(Rgb c) override { fore_ = c; }
  void text_cell(const Rect& cell, int x, int y, std::string_view text) override;
  void draw_text_centred(const Rect& r, std::string_view text) override;
  void fill_solid(const Rect& r, Rgb c) override;
  void fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) override;
  void draw_edge(const Rect& r, EdgeKind kind) override;
  void blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) override;
  void stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) override;
  Rgb pixel(int x, int y) const override { return buffer_.at(x, y); }
  void draw_focus_rect(const Rect& r) override { buffer_.draw_focus_rect(r); }

  PixelBuffer& buffer() { return buffer_; }
  const LogicalFont& font() const { return font_; }
  int fonts_selected() const { return fonts_selected_; }
  const std::vector<TextDraw>& text_draws() const { return text_draws_; }
  void clear_text_draws() { text_draws_.clear(); }

 private:
  void draw_glyphs(const Rect& clip, int x, int y, std::string_view text);

  Rgb system(int index) const;

  PixelBuffer buffer_;
  const IGraphics* colours_;
  LogicalFont font_;
  Rgb back_ = 0x00FFFFFF, fore_ = 0;  // a fresh device context: white background, black text
  int fonts_selected_ = 0;
  std::vector<TextDraw> text_draws_;
};


class RasterGraphics : public IGraphics {
 public:
  explicit RasterGraphics(int pixels_per_inch = 96) : ppi_(pixels_per_inch) {}

  std::unique_ptr<ISurface> try_create_surface(int width, int height) override;
  std::optional<Rgb> try_system_color(int index) const override;
  int logical_pixels_per_inch_y() const override { return ppi_; }
  // No symbol fonts: Marlett and the like are reported missing.
  bool has_font(std::string_view face) const override;
  bool high_contrast() const override { return high_contrast_; }

  // Test controls: refuse new surfaces, override a system colour, turn high contrast on.
  void set_high_contrast(bool on) { high_contrast_ = on; }
  void set_fail_create(bool fail) { fail_create_ = fail; }
  void set_system_color(int index, Rgb c);
  int surfaces_created() const { return surfaces_created_; }
  RasterSurface* last_surface() const { return last_; }

 private:
  int ppi_;
  bool fail_create_ = false;
  bool high_contrast_ = false;
  int surfaces_created_ = 0;
  RasterSurface* last_ = nullptr;  // not owned; valid while its owner keeps it
  std::vector<std::pair<int, Rgb>> overrides_;
};

// Number of characters (code points) of UTF-8 text.
int utf8_length(std::string_view text);

}  // namespace tessaly::sim
