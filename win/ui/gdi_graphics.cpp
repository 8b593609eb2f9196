// The drawing surface over GDI.
#include "win/ui/gdi_graphics.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "host/platform_graphics.h"
#include "win/ui/system_change_watch.h"
#include "win/utf.h"

namespace tessaly::win::gdi {
namespace {

RECT to_rect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The DrawEdge arguments of each edge kind.
struct EdgeCall {
  UINT edge, flags;
};
EdgeCall edge_call(EdgeKind kind) {
  switch (kind) {
    case EdgeKind::RaisedInnerFlat: return {BDR_RAISEDINNER, BF_RECT | BF_FLAT};
    case EdgeKind::RaisedInner: return {BDR_RAISEDINNER, BF_RECT};
    case EdgeKind::SunkenOuter: return {BDR_SUNKENOUTER, BF_RECT};
  }
  return {BDR_RAISEDINNER, BF_RECT | BF_FLAT};
}

int CALLBACK note_font_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

}  // namespace

LOGFONTW make_logfont(const LogicalFont& font) {
  LOGFONTW lf{};
  lf.lfHeight = font.height;
  lf.lfWidth = 0;
  lf.lfEscapement = lf.lfOrientation = font.escapement;
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfStrikeOut = font.strikeout ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  // Only TrueType fonts turn; ask for one when the text is rotated.
  lf.lfOutPrecision = font.escapement != 0 ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = to_wide(font.face);
  const std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::wmemcpy(lf.lfFaceName, face.data(), n);
  lf.lfFaceName[n] = L'\0';
  return lf;
}

std::unique_ptr<GdiSurface> GdiSurface::try_create(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  unique_dc display(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!display) return nullptr;
  std::unique_ptr<GdiSurface> s(new GdiSurface());
  s->dc_.reset(::CreateCompatibleDC(display.get()));
  if (!s->dc_) return nullptr;
  s->bitmap_.reset(::CreateCompatibleBitmap(display.get(), width, height));
  if (!s->bitmap_) return nullptr;
  s->bitmap_selection_ = unique_select_object(s->dc_.get(), s->bitmap_.get());
  if (!s->bitmap_selection_) return nullptr;
  s->width_ = width;
  s->height_ = height;
  ::PatBlt(s->dc_.get(), 0, 0, width, height, BLACKNESS);
  return s;
}

void GdiSurface::set_font(const LogicalFont& font) {
  font_selection_.reset();
  for (const auto& [made, handle] : fonts_) {
    if (made == font) {
      font_selection_ = unique_select_object(dc_.get(), handle.get());
      return;
    }
  }
  const LOGFONTW lf = make_logfont(font);
  unique_font handle(::CreateFontIndirectW(&lf));
  if (!handle) return;
  font_selection_ = unique_select_object(dc_.get(), handle.get());
  fonts_.emplace_back(font, std::move(handle));
}

Size GdiSurface::text_extent(std::string_view text) {
  const std::wstring w = to_wide(text);
  SIZE size{};
  if (!::GetTextExtentPoint32W(dc_.get(), w.c_str(), static_cast<int>(w.size()), &size)) return {};
  return {size.cx, size.cy};
}

void GdiSurface::text_cell(const Rect& cell, int x, int y, std::string_view text) {
  if (cell.empty()) return;  // GDI would order an inverted rectangle; an empty cell shows nothing
  const std::wstring w = to_wide(text);
  const RECT rc = to_rect(cell);
  ::ExtTextOutW(dc_.get(), x, y, ETO_OPAQUE | ETO_CLIPPED, &rc, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

void GdiSurface::draw_text_centred(const Rect& r, std::string_view text) {
  if (r.empty() || text.empty()) return;
  const std::wstring w = to_wide(text);
  RECT rc = to_rect(r);
  ::DrawTextW(dc_.get(), w.c_str(), static_cast<int>(w.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GdiSurface::fill_solid(const Rect& r, Rgb c) {
  if (r.empty()) return;
  unique_brush brush(::CreateSolidBrush(c));
  if (!brush) return;
  const RECT rc = to_rect(r);
  ::FillRect(dc_.get(), &rc, brush.get());
}

void GdiSurface::fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3) {
  const Rgb c = text_color();
  unique_pen pen(::CreatePen(PS_SOLID, 1, c));
  unique_brush brush(::CreateSolidBrush(c));
  if (!pen || !brush) return;
  unique_select_object pen_selection(dc_.get(), pen.get());
  unique_select_object brush_selection(dc_.get(), brush.get());
  const POINT points[] = {{x1, y1}, {x2, y2}, {x3, y3}};
  ::Polygon(dc_.get(), points, 3);
}

void GdiSurface::draw_edge(const Rect& r, EdgeKind kind) {
  if (r.empty()) return;
  RECT rc = to_rect(r);
  const EdgeCall call = edge_call(kind);
  ::DrawEdge(dc_.get(), &rc, call.edge, call.flags);
}

void GdiSurface::draw_focus_rect(const Rect& r) {
  if (r.empty()) return;
  const RECT rc = to_rect(r);
  ::DrawFocusRect(dc_.get(), &rc);
}

void GdiSurface::blit_to(IDevice& dest, int dx, int dy, int w, int h, int sx, int sy, RasterOp op) {
  auto* target = dynamic_cast<GdiTarget*>(&dest);
  if (!target || w <= 0 || h <= 0) return;
  TargetDc dc(*target);
  if (dc.get()) ::BitBlt(dc.get(), dx, dy, w, h, dc_.get(), sx, sy, op == RasterOp::Invert ? SRCINVERT : SRCCOPY);
}

void GdiSurface::stretch_to(IDevice& dest, int dx, int dy, int dw, int dh) {
  auto* target = dynamic_cast<GdiTarget*>(&dest);
  if (!target || target == this || dw <= 0 || dh <= 0) return;
  TargetDc dc(*target);
  if (!dc.get()) return;
  ::SetBrushOrgEx(dc.get(), 0, 0, nullptr);
  ::StretchBlt(dc.get(), dx, dy, dw, dh, dc_.get(), 0, 0, width_, height_, SRCCOPY);
}

Rgb GdiSurface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const COLORREF c = ::GetPixel(dc_.get(), x, y);
  return c == CLR_INVALID ? 0 : c;
}

std::unique_ptr<ISurface> GdiGraphics::try_create_surface(int width, int height) {
  return GdiSurface::try_create(width, height);
}

std::optional<Rgb> GdiGraphics::try_system_color(int index) const {
  // GetSysColor answers 0 (black) for an index it does not know; only the defined range counts.
  if (index < 0 || index > sys_color::kMaxIndex) return std::nullopt;
  return ::GetSysColor(index);
}

int GdiGraphics::logical_pixels_per_inch_y() const {
  // Asked for every font a paint selects; the screen's device context costs more than the answer.
  if (pixels_per_inch_ == 0) {
    unique_window_dc screen(nullptr);
    pixels_per_inch_ = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  }
  return pixels_per_inch_;
}

bool GdiGraphics::has_font(std::string_view face) const {
  // An empty face would enumerate every family.
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  for (const auto& [name, found] : known_faces_)
    if (name == face) return found;
  unique_window_dc screen(nullptr);
  if (!screen.get()) return false;
  LOGFONTW lf = make_logfont(LogicalFont{std::string(face), 0, 400, false, false, false, 0});
  bool found = false;
  ::EnumFontFamiliesExW(screen.get(), &lf, note_font_found, reinterpret_cast<LPARAM>(&found), 0);
  known_faces_.emplace_back(std::string(face), found);
  return found;
}

bool GdiGraphics::high_contrast() const {
  return SystemHighContrast();
}

}  // namespace tessaly::win::gdi

namespace tessaly {
std::unique_ptr<IGraphics> MakePlatformGraphics() { return std::make_unique<win::gdi::GdiGraphics>(); }
}  // namespace tessaly
