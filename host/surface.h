// The 2-D drawing seam: off-screen bitmaps with fonts, opaque text cells, fills, edges and block
// transfers, and the display facts (system colours, logical pixels per inch) drawing needs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// An RGB colour in COLORREF order, 0x00BBGGRR.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
  return static_cast<Rgb>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int red_of(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int green_of(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue_of(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

// A pixel rectangle, right and bottom exclusive as the platform's RECT.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  // The platform's point-in-rectangle test: right and bottom edges excluded.
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int cx = 0, cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A logical font as the platform builds it: height in pixels (negative = character height,
// positive = cell height), weight 400 regular / 700 bold, escapement in tenths of a degree.
struct LogicalFont {
  std::string face;
  int height = 0;
  int weight = 400;
  bool italic = false, underline = false, strikeout = false;
  int escapement = 0;
  friend bool operator==(const LogicalFont&, const LogicalFont&) = default;
};

// The beveled edges the calendar draws around its arrow buttons.
enum class EdgeKind {
  RaisedInnerFlat,  // BDR_RAISEDINNER | BF_FLAT, all four sides
  RaisedInner,      // BDR_RAISEDINNER, all four sides
  SunkenOuter,      // BDR_SUNKENOUTER, all four sides
};

enum class RasterOp { Copy, Invert };  // SRCCOPY, SRCINVERT

// Something pixels can be copied onto: a window's device or another surface.
class IDevice {
 public:
  virtual ~IDevice() = default;
  // The dotted focus frame, drawn by inverting pixels: drawing it twice restores the picture.
  virtual void draw_focus_rect(const Rect& r) = 0;
};

// An off-screen bitmap with one selected font and a back and a text colour. Text is UTF-8.
class ISurface : public IDevice {
 public:
  virtual int width() const = 0;
  virtual int height() const = 0;

  virtual void set_font(const LogicalFont& font) = 0;
  virtual Size text_extent(std::string_view text) = 0;

  virtual Rgb back_color() const = 0;
  virtual void set_back_color(Rgb c) = 0;
  virtual Rgb text_color() const = 0;
  virtual void set_text_color(Rgb c) = 0;

  // Fills `cell` in the back colour and draws the text with its origin (top left) at (x, y),
  // clipped to the cell (ExtTextOut with ETO_OPAQUE | ETO_CLIPPED).
  virtual void text_cell(const Rect& cell, int x, int y, std::string_view text) = 0;
  // One line of text centred both ways in `r`, its own extent filled in the back colour
  // (DrawText with DT_CENTER | DT_VCENTER | DT_SINGLELINE, opaque background).
  virtual void draw_text_centred(const Rect& r, std::string_view text) = 0;
  virtual void fill_solid(const Rect& r, Rgb c) = 0;
  // A filled polygon in the text colour, for glyphs drawn as shapes where a symbol font is missing.
  virtual void fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) = 0;
  virtual void draw_edge(const Rect& r, EdgeKind kind) = 0;

  // Copies (w, h) pixels from (sx, sy) of this surface to (dx, dy) of the destination.
  virtual void blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) = 0;
  // Stretches the whole surface into (dx, dy, dw, dh) of the destination, brush origin reset.
  virtual void stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) = 0;

  // The colour at a pixel; 0 outside the bitmap.
  virtual Rgb pixel(int x, int y) const = 0;
};

// The platform's drawing services.
class IGraphics {
 public:
  virtual ~IGraphics() = default;
  // A new bitmap of the size compatible with the display, filled black; empty when it cannot be
  // made (no size, out of resources).
  virtual std::unique_ptr<ISurface> try_create_surface(int width, int height) = 0;
  // System colour nn (COLOR_BTNFACE = 15, ...); empty for an index the platform does not know.
  virtual std::optional<Rgb> try_system_color(int index) const = 0;
  virtual int logical_pixels_per_inch_y() const = 0;
  // Whether text in the face shows that font's own glyphs (a symbol font like Marlett is
  // useless through a substitute).
  virtual bool has_font(std::string_view face) const = 0;
  // Whether the system's high-contrast mode is on, asked afresh at each call.
  virtual bool high_contrast() const { return false; }
};

// System colour indices the drawing code names.
namespace sys_color {
inline constexpr int kBtnFace = 15;
inline constexpr int kBtnShadow = 16;
inline constexpr int kBtnText = 18;
inline constexpr int kBtnHighlight = 20;
inline constexpr int k3dDkShadow = 21;
inline constexpr int kHighlight = 13;
inline constexpr int kMaxIndex = 30;  // COLOR_MENUBAR
}  // namespace sys_color

}  // namespace tessaly
