// The drawing surface over GDI: a memory device context with a display-compatible bitmap, one
// created font, and the text, fill, edge, focus and block-transfer calls the calendar paints with.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "host/surface.h"
#include "win/handles.h"

namespace tessaly::win::gdi {

struct dc_traits {
  using pointer = HDC;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::DeleteDC(h); }
};
using unique_dc = unique_handle<dc_traits>;

template <class H>
struct gdi_object_traits {
  using pointer = H;
  static pointer invalid() { return nullptr; }
  static void close(pointer h) { ::DeleteObject(h); }
};
using unique_bitmap = unique_handle<gdi_object_traits<HBITMAP>>;
using unique_font = unique_handle<gdi_object_traits<HFONT>>;
using unique_brush = unique_handle<gdi_object_traits<HBRUSH>>;
using unique_pen = unique_handle<gdi_object_traits<HPEN>>;

// An object selected into a device context; destroying the guard selects the old one back.
class unique_select_object {
 public:
  unique_select_object() = default;
  unique_select_object(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {
    if (!old_ || old_ == HGDI_ERROR) dc_ = nullptr, old_ = nullptr;
  }
  unique_select_object(const unique_select_object&) = delete;
  unique_select_object& operator=(const unique_select_object&) = delete;
  unique_select_object(unique_select_object&& o) noexcept
      : dc_(std::exchange(o.dc_, nullptr)), old_(std::exchange(o.old_, nullptr)) {}
  unique_select_object& operator=(unique_select_object&& o) noexcept {
    if (this != &o) {
      reset();
      dc_ = std::exchange(o.dc_, nullptr);
      old_ = std::exchange(o.old_, nullptr);
    }
    return *this;
  }
  ~unique_select_object() { reset(); }
  explicit operator bool() const { return dc_ != nullptr; }
  void reset() {
    if (dc_) ::SelectObject(dc_, old_);
    dc_ = nullptr;
    old_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A window's device context from GetDC, released on destruction.
class unique_window_dc {
 public:
  explicit unique_window_dc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  unique_window_dc(const unique_window_dc&) = delete;
  unique_window_dc& operator=(const unique_window_dc&) = delete;
  ~unique_window_dc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A device that GDI can draw on: it lends a device context for one drawing call.
class GdiTarget {
 public:
  virtual ~GdiTarget() = default;
  virtual HDC acquire_dc() = 0;
  virtual void release_dc(HDC dc) = 0;
};

// A borrowed target device context, given back on destruction.
class TargetDc {
 public:
  explicit TargetDc(GdiTarget& target) : target_(&target), dc_(target.acquire_dc()) {}
  TargetDc(const TargetDc&) = delete;
  TargetDc& operator=(const TargetDc&) = delete;
  ~TargetDc() {
    if (dc_) target_->release_dc(dc_);
  }
  HDC get() const { return dc_; }

 private:
  GdiTarget* target_;
  HDC dc_;
};

class GdiSurface final : public ISurface, public GdiTarget {
 public:
  // Empty when the memory device context or bitmap cannot be made or selected.
  static std::unique_ptr<GdiSurface> try_create(int width, int height);

  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_font(const LogicalFont& font) override;
  Size text_extent(std::string_view text) override;
  Rgb back_color() const override { return ::GetBkColor(dc_.get()); }
  void set_back_color(Rgb c) override { ::SetBkColor(dc_.get(), c); }
  Rgb text_color() const override { return ::GetTextColor(dc_.get()); }
  void set_text_color(Rgb c) override { ::SetTextColor(dc_.get(), c); }
  void text_cell(const Rect& cell, int x, int y, std::string_view text) override;
  void draw_text_centred(const Rect& r, std::string_view text) override;
  void fill_solid(const Rect& r, Rgb c) override;
  void fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) override;
  void draw_edge(const Rect& r, EdgeKind kind) override;
  void draw_focus_rect(const Rect& r) override;
  void blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) override;
  void stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) override;
  Rgb pixel(int x, int y) const override;

  HDC acquire_dc() override { return dc_.get(); }
  void release_dc(HDC) override {}
  HDC hdc() const { return dc_.get(); }

 private:
  GdiSurface() = default;

  // Declared so that destruction puts back the first font and bitmap before deleting ours.
  unique_dc dc_;
  unique_bitmap bitmap_;
  unique_select_object bitmap_selection_;
  // Fonts made so far, kept while the surface lives: a paint switches between a few of them for
  // every cell, and making a font is the slowest call of the paint.
  std::vector<std::pair<LogicalFont, unique_font>> fonts_;
  unique_select_object font_selection_;
  int width_ = 0, height_ = 0;
};

class GdiGraphics final : public IGraphics {
 public:
  std::unique_ptr<ISurface> try_create_surface(int width, int height) override;
  std::optional<Rgb> try_system_color(int index) const override;
  int logical_pixels_per_inch_y() const override;
  bool has_font(std::string_view face) const override;
  bool high_contrast() const override;

 private:
  // The font families installed do not change while the add-in runs; asking enumerates them all.
  mutable std::vector<std::pair<std::string, bool>> known_faces_;
  mutable int pixels_per_inch_ = 0;
};

// The logical font record GDI is asked for.
LOGFONTW make_logfont(const LogicalFont& font);

}  // namespace tessaly::win::gdi
