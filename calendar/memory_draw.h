// The calendar's off-screen drawing surface: a bitmap with one selected font, back and text
// colours, and the text-cell, fill, 3-D cell, focus and block-transfer primitives it paints with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/surface.h"

namespace tessaly::calendar {

// OLE colours: RGB in COLORREF order, or 0x800000nn for system colour nn.
using OleColor = std::uint32_t;
inline constexpr std::int64_t kNoColor = -1;  // what an untranslatable colour becomes

// The RGB of an OLE colour, system colours resolved; kNoColor when it cannot be translated.
std::int64_t translate_ole_color(OleColor color, const IGraphics& graphics);

// Rounds to the nearest integer, halves to the even neighbour.
int round_even(double v);

class clsMemoryDraw {
 public:
  explicit clsMemoryDraw(IGraphics& graphics);
  ~clsMemoryDraw();
  clsMemoryDraw(const clsMemoryDraw&) = delete;
  clsMemoryDraw& operator=(const clsMemoryDraw&) = delete;

  Rgb Backcolor() const;
  void set_Backcolor(OleColor color);
  Rgb Forecolor() const;
  void set_Forecolor(OleColor color);
  Rgb FlatLineColor() const { return flat_line_color_; }
  void set_FlatLineColor(OleColor color);

  // A width or height of 0 means the surface's.
  void BlitImage(IDevice& dest, int x, int y, int width = 0, int height = 0, bool stretch = false, int source_x = 0,
                 int source_y = 0, bool invert = false);
  // Border styles: 0 none, 1 raised, 2 flat, 3 sunken. Alignment codes 0 to 8.
  void Draw3DRect(int x, int y, int width, int height, std::string_view text, int alignment, int style);
  // x2 < x1 means the surface width, y2 < y1 its height. Colour kNoColor: fill with the surface's
  // back colour (this surface has no brushes of its own to lend).
  void FillRect(int x1, int y1, int x2, int y2, std::int64_t color);
  void pDrawFocusRect(int x, int y, int width, int height);
  // Colour kNoColor: the cell takes the back colour in effect.
  void pFillRect(int x, int y, int width, int height, std::int64_t color, std::string_view text, int alignment);
  void Resize(int width, int height);
  // Fonts are made for a display of that many pixels per inch; 0: the screen's.
  void set_PixelsPerInch(int pixels_per_inch) { pixels_per_inch_ = pixels_per_inch > 0 ? pixels_per_inch : 0; }
  void SetFont(const std::string& face, double size_points, bool bold, bool italic = false, bool strikeout = false,
               bool underline = false, int angle_degrees = 0);
  int TextHeight(std::string_view text);
  int TextWidth(std::string_view text);

  bool IsCreated() const { return surface_ != nullptr; }
  int Width() const { return IsCreated() ? surface_->width() : 0; }
  int Height() const { return IsCreated() ? surface_->height() : 0; }
  // The platform surface while one exists (nullptr otherwise), for the drawing its owner does
  // directly (the arrow glyphs, edges).
  ISurface* surface() { return surface_.get(); }
  IGraphics& graphics() { return *graphics_; }

  // Internal operations, public for the owner and tests.
  void CreateSurface(int width, int height);
  void DestroySurface();
  void ClearSurface();
  std::int64_t TranslateColor(OleColor color) const { return translate_ole_color(color, *graphics_); }

 private:
  Rgb system(int index) const;

  IGraphics* graphics_;
  std::unique_ptr<ISurface> surface_;
  Rgb flat_line_color_;
  bool has_font_ = false;
  LogicalFont font_;
  int pixels_per_inch_ = 0;
};

}  // namespace tessaly::calendar
