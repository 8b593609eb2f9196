// The drawing surface over Cairo image surfaces.
#include "posix/cairo_graphics.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <strings.h>
#include <vector>

#include "host/platform_graphics.h"
#include "host/system_colors.h"

namespace tessaly::posix {
namespace {

// Cairo's RGB24 pixels are 0x00RRGGBB words; the product's colours are 0x00BBGGRR.
Rgb from_native(std::uint32_t p) {
  return rgb(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
}

// Wine's own Tahoma and Marlett, where installed, so this surface draws with the faces GDI uses.
constexpr const char* kWineFonts = "/usr/share/wine/fonts";

void add_wine_fonts_once() {
  static const bool added = [] {
    return FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(kWineFonts)) == FcTrue;
  }();
  (void)added;
}

std::unique_ptr<cairo_font_face_t, CairoDeleter> toy_face(const std::string& family, const LogicalFont& f) {
  add_wine_fonts_once();
  return std::unique_ptr<cairo_font_face_t, CairoDeleter>(cairo_toy_font_face_create(
      family.c_str(), f.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      f.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL));
}

// The edge colours of each kind: top and left, then bottom and right (system colour indices).
}  // namespace


bool font_installed(std::string_view face) {
  if (face.empty()) return false;
  const std::string family(face);
  auto ff = toy_face(family, LogicalFont{});
  cairo_matrix_t m, ctm;
  cairo_matrix_init_scale(&m, 12, 12);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(ff.get(), &m, &ctm, options);
  cairo_font_options_destroy(options);
  bool found = false;
  if (cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS) {
    if (FT_Face ft = cairo_ft_scaled_font_lock_face(scaled)) {
      found = ft->family_name && strcasecmp(ft->family_name, family.c_str()) == 0;
      cairo_ft_scaled_font_unlock_face(scaled);
    }
  }
  cairo_scaled_font_destroy(scaled);
  return found;
}

std::unique_ptr<CairoSurface> CairoSurface::try_create(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<cairo_surface_t, CairoDeleter> s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return std::unique_ptr<CairoSurface>(new CairoSurface(std::move(s), width, height));
}

CairoSurface::CairoSurface(std::unique_ptr<cairo_surface_t, CairoDeleter> surface, int width, int height)
    : surface_(std::move(surface)), cr_(cairo_create(surface_.get())), width_(width), height_(height) {
  cairo_set_antialias(cr_.get(), CAIRO_ANTIALIAS_NONE);  // fills and shapes land on whole pixels
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);  // whole-pixel advances, as GDI
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr_.get(), options);
  cairo_font_options_destroy(options);
  set_font(LogicalFont{});  // the device context's stock font
}

void CairoSurface::set_font(const LogicalFont& font) {
  font_ = font;
  drawn_face_ = font_installed(font.face) ? font.face : kFallbackFace;
  face_ = toy_face(drawn_face_, font);
  cairo_set_font_face(cr_.get(), face_.get());
  if (font.height < 0) {
    font_size_ = -font.height;  // character (em) height
  } else {
    // Cell height: scale the em so that ascent plus descent fill it; 0 asks for the default size.
    const double cell = font.height == 0 ? 16 : font.height;
    cairo_set_font_size(cr_.get(), 100);
    cairo_font_extents_t fe;
    cairo_font_extents(cr_.get(), &fe);
    font_size_ = fe.ascent + fe.descent > 0 ? cell * 100 / (fe.ascent + fe.descent) : cell;
  }
  cairo_set_font_size(cr_.get(), font_size_);
}

Size CairoSurface::text_extent(std::string_view text) {
  cairo_font_extents_t fe;
  cairo_font_extents(cr_.get(), &fe);
  const int cy = static_cast<int>(std::lround(fe.ascent + fe.descent));
  if (text.empty()) return {0, cy};
  const std::string s(text);
  cairo_text_extents_t te;
  cairo_text_extents(cr_.get(), s.c_str(), &te);
  return {static_cast<int>(std::lround(te.x_advance)), cy};
}

void CairoSurface::set_source(Rgb c) {
  cairo_set_source_rgb(cr_.get(), red_of(c) / 255.0, green_of(c) / 255.0, blue_of(c) / 255.0);
}

// Text with its cell's top left at (x, y), rotated counter-clockwise by the escapement about that
// point, underlined or struck out as the font asks; the caller sets any clip.
void CairoSurface::draw_text_at(int x, int y, std::string_view text) {
  if (text.empty()) return;
  cairo_t* cr = cr_.get();
  const std::string s(text);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  const double ascent = std::round(fe.ascent);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  if (font_.escapement != 0) cairo_rotate(cr, -font_.escapement * std::numbers::pi / 1800.0);
  set_source(fore_);
  cairo_move_to(cr, 0, ascent);
  cairo_show_text(cr, s.c_str());
  if (font_.underline || font_.strikeout) {
    cairo_text_extents_t te;
    cairo_text_extents(cr, s.c_str(), &te);
    const double thickness = std::max(1.0, std::round(font_size_ / 14));
    if (font_.underline) cairo_rectangle(cr, 0, ascent + 1, std::round(te.x_advance), thickness);
    if (font_.strikeout) cairo_rectangle(cr, 0, std::round(ascent * 2 / 3), std::round(te.x_advance), thickness);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void CairoSurface::text_cell(const Rect& cell, int x, int y, std::string_view text) {
  if (cell.empty()) return;
  cairo_t* cr = cr_.get();
  cairo_save(cr);
  cairo_rectangle(cr, cell.left, cell.top, cell.width(), cell.height());
  cairo_clip(cr);
  set_source(back_);
  cairo_paint(cr);
  draw_text_at(x, y, text);
  cairo_restore(cr);
}

void CairoSurface::draw_text_centred(const Rect& r, std::string_view text) {
  if (r.empty() || text.empty()) return;
  const Size e = text_extent(text);
  const int x = r.left + (r.width() - e.cx) / 2;
  const int y = r.top + (r.height() - e.cy) / 2;
  cairo_t* cr = cr_.get();
  cairo_save(cr);
  cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
  cairo_clip(cr);
  set_source(back_);
  cairo_rectangle(cr, x, y, e.cx, e.cy);
  cairo_fill(cr);
  draw_text_at(x, y, text);
  cairo_restore(cr);
}

void CairoSurface::fill_solid(const Rect& r, Rgb c) {
  if (r.empty()) return;
  set_source(c);
  cairo_rectangle(cr_.get(), r.left, r.top, r.width(), r.height());
  cairo_fill(cr_.get());
}

void CairoSurface::fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) {
  cairo_t* cr = cr_.get();
  set_source(fore_);
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_line_to(cr, x3, y3);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void CairoSurface::draw_edge(const Rect& r, EdgeKind kind) {
  if (r.empty()) return;
  const EdgeColors e = edge_colors(kind);
  const Rgb top_left = default_system_color(e.top_left).value_or(0);
  const Rgb bottom_right = default_system_color(e.bottom_right).value_or(0);
  // Top and left first; bottom and right drawn over them own the two far corners.
  fill_solid(Rect{r.left, r.top, r.right, r.top + 1}, top_left);
  fill_solid(Rect{r.left, r.top, r.left + 1, r.bottom}, top_left);
  fill_solid(Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
  fill_solid(Rect{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

std::uint32_t* CairoSurface::row(int y) const {
  unsigned char* data = cairo_image_surface_get_data(surface_.get());
  return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) *
                                                     cairo_image_surface_get_stride(surface_.get()));
}

void CairoSurface::draw_focus_rect(const Rect& r) {
  if (r.empty()) return;
  cairo_surface_flush(surface_.get());
  // Every other pixel of the one-pixel frame is inverted, each exactly once, so a second call
  // puts every pixel back.
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y) {
    std::uint32_t* p = row(y);
    const bool edge_row = y == r.top || y == r.bottom - 1;
    for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) {
      if (!edge_row && x != r.left && x != r.right - 1) continue;
      if (((x - r.left) + (y - r.top)) % 2 == 0) p[x] ^= 0x00FFFFFF;
    }
  }
  cairo_surface_mark_dirty(surface_.get());
}

void CairoSurface::blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) {
  auto* target = dynamic_cast<CairoSurface*>(&dest);
  if (!target) return;
  // The part of the block that lies on both bitmaps.
  const int i0 = std::max({0, -sx, -dx}), i1 = std::min({w, width_ - sx, target->width_ - dx});
  const int j0 = std::max({0, -sy, -dy}), j1 = std::min({h, height_ - sy, target->height_ - dy});
  if (i1 <= i0 || j1 <= j0) return;
  cairo_surface_flush(surface_.get());
  cairo_surface_flush(target->surface_.get());
  const auto n = static_cast<std::size_t>(i1 - i0);
  // Rows are read whole before any is written, so a transfer within one surface may overlap.
  std::vector<std::uint32_t> block(n * static_cast<std::size_t>(j1 - j0));
  for (int j = j0; j < j1; ++j) std::copy_n(row(sy + j) + sx + i0, n, block.begin() + (j - j0) * n);
  for (int j = j0; j < j1; ++j) {
    std::uint32_t* p = target->row(dy + j) + dx + i0;
    const std::uint32_t* b = block.data() + (j - j0) * n;
    if (op == RasterOp::Invert) {
      for (std::size_t i = 0; i < n; ++i) p[i] ^= b[i];
    } else {
      std::copy_n(b, n, p);
    }
  }
  cairo_surface_mark_dirty(target->surface_.get());
}

void CairoSurface::stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) {
  auto* target = dynamic_cast<CairoSurface*>(&dest);
  if (!target || dw <= 0 || dh <= 0) return;
  if (target == this) return;  // a stretch onto itself would read pixels it already wrote
  cairo_surface_flush(surface_.get());
  cairo_surface_flush(target->surface_.get());
  for (int j = 0; j < dh; ++j) {
    const int ty = dy + j;
    if (ty < 0 || ty >= target->height_) continue;
    const std::uint32_t* src = row(static_cast<int>(static_cast<long long>(j) * height_ / dh));
    std::uint32_t* p = target->row(ty);
    for (int i = 0; i < dw; ++i) {
      const int tx = dx + i;
      if (tx >= 0 && tx < target->width_) p[tx] = src[static_cast<long long>(i) * width_ / dw];
    }
  }
  cairo_surface_mark_dirty(target->surface_.get());
}

Rgb CairoSurface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  cairo_surface_flush(surface_.get());
  return from_native(row(y)[x]);
}

bool CairoSurface::write_png(const std::string& path) const {
  cairo_surface_flush(surface_.get());
  return cairo_surface_write_to_png(surface_.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<ISurface> CairoGraphics::try_create_surface(int width, int height) {
  return CairoSurface::try_create(width, height);
}

std::optional<Rgb> CairoGraphics::try_system_color(int index) const {
  return default_system_color(index);
}

}  // namespace tessaly::posix

namespace tessaly {
std::unique_ptr<IGraphics> MakePlatformGraphics() { return std::make_unique<posix::CairoGraphics>(); }
}  // namespace tessaly
