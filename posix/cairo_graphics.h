// The drawing surface over Cairo image surfaces: fonts through fontconfig with a fallback face,
// opaque text cells, fills, beveled edges, XOR focus frames and pixel block transfers.
#pragma once

#include <cairo.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/surface.h"

namespace tessaly::posix {

// The face drawn where the requested one is not installed.
inline constexpr const char* kFallbackFace = "DejaVu Sans";
// Logical pixels per inch; Cairo has no display to ask, so the Windows default.
inline constexpr int kLogicalPixelsPerInch = 96;

// Whether fontconfig matches the face to a font of that family (not to a substitute).
bool font_installed(std::string_view face);

struct CairoDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
  void operator()(cairo_t* c) const { cairo_destroy(c); }
  void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};

class CairoSurface final : public ISurface {
 public:
  // Empty for a size of zero or less or one Cairo cannot allocate.
  static std::unique_ptr<CairoSurface> try_create(int width, int height);

  int width() const override { return width_; }
  int height() const override { return height_; }
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
  void draw_focus_rect(const Rect& r) override;
  void blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) override;
  void stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) override;
  Rgb pixel(int x, int y) const override;

  const LogicalFont& font() const { return font_; }
  // The face actually drawn: the font's own, or the fallback where it is not installed.
  const std::string& drawn_face() const { return drawn_face_; }
  // Writes the picture as a PNG file; false when it cannot be written.
  bool write_png(const std::string& path) const;

 private:
  CairoSurface(std::unique_ptr<cairo_surface_t, CairoDeleter> surface, int width, int height);
  void set_source(Rgb c);
  void draw_text_at(int x, int y, std::string_view text);
  std::uint32_t* row(int y) const;

  std::unique_ptr<cairo_surface_t, CairoDeleter> surface_;
  std::unique_ptr<cairo_t, CairoDeleter> cr_;
  std::unique_ptr<cairo_font_face_t, CairoDeleter> face_;
  int width_ = 0, height_ = 0;
  Rgb back_ = 0xFFFFFF, fore_ = 0;
  LogicalFont font_;
  std::string drawn_face_;
  double font_size_ = 0;
};

class CairoGraphics final : public IGraphics {
 public:
  std::unique_ptr<ISurface> try_create_surface(int width, int height) override;
  std::optional<Rgb> try_system_color(int index) const override;
  int logical_pixels_per_inch_y() const override { return kLogicalPixelsPerInch; }
  bool has_font(std::string_view face) const override { return font_installed(face); }
};

}  // namespace tessaly::posix
