// The stand-in Excel's controls of the view that Excel reports to no add-in: the status bar's zoom
// buttons, and a column's or a row's border in the headers dragged to a new size.
#include <algorithm>
#include <cmath>
#include <string>

#include "sim/excel_exe/workbook_window.h"

namespace tessaly::sim::exe {

namespace {

// How near a header border, in pixels, the mouse takes it.
constexpr std::int32_t kBorderGrip = 2;

// The status bar's parts, from its right end: the zoom-out button, the slider, the zoom-in button
// and the percent.
struct StatusParts {
  RECT zoom_out, slider, zoom_in, percent;
};

StatusParts PartsOf(const RECT& client) {
  const LONG r = client.right, top = 2, bottom = client.bottom - 2;
  return {{r - 170, top, r - 150, bottom}, {r - 146, top, r - 74, bottom}, {r - 70, top, r - 50, bottom}, {r - 46, top, r - 4, bottom}};
}

// Excel's buttons step the zoom to the next multiple of ten.
double Stepped(double zoom, bool zoom_in) {
  const double next = zoom_in ? std::floor(zoom / 10 + 1e-9) * 10 + 10 : std::ceil(zoom / 10 - 1e-9) * 10 - 10;
  return std::clamp(next, 10.0, 400.0);
}

void Label(HDC dc, const std::wstring& text, RECT r) {
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

std::optional<POINT> HostWindows::ZoomButtonCentreOnScreen(bool zoom_in) const {
  HWND status = ::FindWindowExW(Main(), nullptr, kStatusBarClass, nullptr);
  if (!status) return std::nullopt;
  RECT client{};
  ::GetClientRect(status, &client);
  const StatusParts parts = PartsOf(client);
  POINT p = Centre(zoom_in ? parts.zoom_in : parts.zoom_out);
  ::ClientToScreen(status, &p);
  return p;
}

void HostWindows::OnStatusPaint(HWND status) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(status, &ps);
  RECT client{};
  ::GetClientRect(status, &client);
  const StatusParts parts = PartsOf(client);
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawEdge(dc, const_cast<RECT*>(&parts.zoom_out), EDGE_RAISED, BF_RECT);
  ::DrawEdge(dc, const_cast<RECT*>(&parts.zoom_in), EDGE_RAISED, BF_RECT);
  Label(dc, L"-", parts.zoom_out);
  Label(dc, L"+", parts.zoom_in);
  const double zoom = model_->HasWorkbook() ? model_->ActiveSheetModel().parent->win.zoom : 100;
  // The slider: 100 % in its middle, 10 % at its left end and 400 % at its right.
  const LONG mid_y = (parts.slider.top + parts.slider.bottom) / 2, half = (parts.slider.right - parts.slider.left) / 2;
  RECT track{parts.slider.left, mid_y - 1, parts.slider.right, mid_y + 1};
  ::FillRect(dc, &track, reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1));
  const double at = zoom <= 100 ? (zoom - 10) / 90 * half : half + (zoom - 100) / 300 * half;
  const LONG x = parts.slider.left + static_cast<LONG>(std::lround(at));
  RECT thumb{x - 2, parts.slider.top + 2, x + 3, parts.slider.bottom - 2};
  ::FillRect(dc, &thumb, reinterpret_cast<HBRUSH>(COLOR_BTNTEXT + 1));
  Label(dc, std::to_wstring(static_cast<int>(std::lround(zoom))) + L"%", parts.percent);
  ::EndPaint(status, &ps);
}

void HostWindows::OnStatusClick(HWND status, int x, int y) {
  if (!model_->HasWorkbook()) return;
  RECT client{};
  ::GetClientRect(status, &client);
  const StatusParts parts = PartsOf(client);
  const POINT p{x, y};
  const bool out = ::PtInRect(&parts.zoom_out, p) != FALSE, in = ::PtInRect(&parts.zoom_in, p) != FALSE;
  if (!out && !in) return;
  // The view changes and Excel tells its add-ins nothing: the workbook window only repaints.
  model_->UserSetZoom(Stepped(model_->ActiveSheetModel().parent->win.zoom, in));
  Refresh();
}

std::optional<POINT> HostWindows::ColumnBorderOnScreen(std::int32_t column) const {
  if (!model_->HasWorkbook()) return std::nullopt;
  const SheetModel& sheet = model_->ActiveSheetModel();
  const auto p = ColumnBorderPoint(model_->Axes(sheet), model_->Layout(*sheet.parent), column);
  if (!p) return std::nullopt;
  return POINT{p->x, p->y};
}

std::optional<POINT> HostWindows::RowBorderOnScreen(std::int32_t row) const {
  if (!model_->HasWorkbook()) return std::nullopt;
  const SheetModel& sheet = model_->ActiveSheetModel();
  const auto p = RowBorderPoint(model_->Axes(sheet), model_->Layout(*sheet.parent), row);
  if (!p) return std::nullopt;
  return POINT{p->x, p->y};
}

bool HostWindows::BeginBorderDrag(int x, int y) {
  if (!model_->HasWorkbook()) return false;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  drag_ = HeaderBorderAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y}, kBorderGrip);
  if (!drag_) return false;
  ::SetFocus(Book());
  ::SetCapture(Book());
  return true;
}

void HostWindows::EndBorderDrag(int x, int y) {
  if (!drag_) return;
  const HeaderBorder d = *drag_;
  drag_.reset();
  ::ReleaseCapture();
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
  const WindowLayout layout = model_->Layout(*model_->ActiveSheetModel().parent);
  // Let go at or beyond the opposite edge, the column or row hides.
  const double points = DraggedPixels(d, {p.x, p.y}) / (d.column ? layout.scale_x : layout.scale_y);
  // The cells move and Excel tells its add-ins nothing: the workbook window only repaints.
  if (d.column) model_->UserColumnWidth(d.index, points);
  else model_->UserRowHeight(d.index, points);
  Refresh();
}

LRESULT CALLBACK HostWindows::StatusProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<HostWindows*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  try {
    switch (msg) {
      case WM_PAINT: return self->OnStatusPaint(w), 0;
      case WM_LBUTTONDOWN: return self->OnStatusClick(w, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), 0;
      default: break;
    }
  } catch (...) {
    return 0;  // no C++ exception crosses the system's message loop
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

}  // namespace tessaly::sim::exe
