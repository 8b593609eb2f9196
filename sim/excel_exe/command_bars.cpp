// The stand-in Excel's toolbars and cell context menu, drawn from the command-bar model.
#include "sim/excel_exe/command_bars.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>

#include "sim/excel_exe/excel_objects.h"
#include "win/handles.h"
#include "win/ui/gdi_graphics.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

using win::gdi::unique_dc;
using win::gdi::unique_select_object;

constexpr int kFirstCommand = 0x3000;
constexpr int kButtonHeight = 24;
constexpr int kIcon = 16;
constexpr int kGroupGap = 8;  // before a control that begins a group
constexpr int kBarGap = 14;   // between two bars

bool ShowsIcon(const ControlModel& c) { return c.style != 2 && BitmapOf(c.picture_image); }   // msoButtonCaption
bool ShowsCaption(const ControlModel& c) { return c.style != 1 || !ShowsIcon(c); }         // msoButtonIcon

std::wstring Caption(const ControlModel& c) { return win::to_wide(c.caption); }

int TextWidth(HWND w, const std::wstring& text) {
  HDC dc = ::GetDC(w);
  HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(w, dc);
  return r.right;
}

// The picture at (x, y), its mask's white parts left transparent as the host draws them.
void DrawFace(HDC dc, const ControlModel& c, int x, int y) {
  HBITMAP picture = BitmapOf(c.picture_image);
  if (!picture) return;
  unique_dc source(::CreateCompatibleDC(dc));
  unique_select_object use(source.get(), picture);
  BITMAP mask_info{};
  HBITMAP mask = BitmapOf(c.mask_image);
  if (mask && ::GetObjectW(mask, sizeof mask_info, &mask_info) && mask_info.bmBitsPixel == 1 &&
      ::MaskBlt(dc, x, y, kIcon, kIcon, source.get(), 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY)))
    return;
  ::BitBlt(dc, x, y, kIcon, kIcon, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

HBITMAP BitmapOf(const ButtonImagePtr& image) {
  auto face = dynamic_cast<const PictureFace*>(image.get());
  if (!face || !face->Picture()) return nullptr;
  win::com_ptr<IPicture> picture;
  if (FAILED(face->Picture()->QueryInterface(IID_IPicture, picture.put_void())) || !picture) return nullptr;
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

ToolbarStrip::ToolbarStrip(HWND strip, std::shared_ptr<SimExcel> model) : strip_(strip), model_(std::move(model)) { Refresh(); }

ToolbarStrip::~ToolbarStrip() {
  for (const Button& b : buttons_) ::DestroyWindow(b.window);
}

std::string ToolbarStrip::Signature() const {
  std::string s;
  for (const auto& bar : model_->Bars()) {
    if (!bar->visible || bar->position != xl::kBarTop) continue;
    s += bar->name + "{";
    for (const auto& c : bar->controls)
      if (c->visible) s += c->caption + "|" + std::to_string(c->style) + (c->begin_group ? "|g" : "") + (c->picture_image ? "|p" : "") + ";";
    s += "}";
  }
  return s;
}

void ToolbarStrip::Refresh() {
  std::string now = Signature();
  if (now != signature_) {
    signature_ = std::move(now);
    Lay();
  }
  for (const Button& b : buttons_) ::InvalidateRect(b.window, nullptr, FALSE);
}

void ToolbarStrip::Lay() {
  for (const Button& b : buttons_) ::DestroyWindow(b.window);
  buttons_.clear();
  int x = 4;
  for (const auto& bar : model_->Bars()) {
    if (!bar->visible || bar->position != xl::kBarTop) continue;
    if (x > 4) x += kBarGap;
    for (std::size_t i = 0; i < bar->controls.size(); ++i) {
      const auto& c = bar->controls[i];
      if (!c->visible) continue;
      if (c->begin_group && i > 0) x += kGroupGap;
      const int width = 8 + (ShowsIcon(*c) ? kIcon + 4 : 0) + (ShowsCaption(*c) ? TextWidth(strip_, Caption(*c)) : 0);
      const int id = kFirstCommand + static_cast<int>(buttons_.size());
      HWND w = ::CreateWindowExW(0, L"BUTTON", Caption(*c).c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, 5, width,
                                 kButtonHeight, strip_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
      buttons_.push_back({bar->name, i + 1, c, w});
      x += width + 2;
    }
  }
  ::InvalidateRect(strip_, nullptr, TRUE);
}

bool ToolbarStrip::OnCommand(int command) {
  const int index = command - kFirstCommand;
  if (index < 0 || index >= static_cast<int>(buttons_.size())) return false;
  auto control = buttons_[static_cast<std::size_t>(index)].control;  // the click may lay the strip out again
  model_->UserClickControl(control);
  Refresh();
  return true;
}

bool ToolbarStrip::OnDrawItem(const DRAWITEMSTRUCT& item) {
  auto it = std::find_if(buttons_.begin(), buttons_.end(), [&](const Button& b) { return b.window == item.hwndItem; });
  if (it == buttons_.end()) return false;
  const ControlModel& c = *it->control;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool down = c.state == xl::kButtonDown || (item.itemState & ODS_SELECTED);
  ::FillRect(dc, &r, ::GetSysColorBrush(down ? COLOR_3DLIGHT : COLOR_BTNFACE));
  if (down) ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  int x = r.left + 4;
  if (ShowsIcon(c)) {
    DrawFace(dc, c, x, r.top + (kButtonHeight - kIcon) / 2);
    x += kIcon + 4;
  }
  if (ShowsCaption(c)) {
    RECT text{x, r.top, r.right, r.bottom};
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    std::wstring caption = Caption(c);
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER);
    ::SelectObject(dc, old);
  }
  return true;
}

std::optional<POINT> ToolbarStrip::ControlCentreOnScreen(const std::string& bar, std::size_t position) const {
  for (const Button& b : buttons_) {
    if (b.bar != bar || b.position != position) continue;
    RECT r{};
    ::GetWindowRect(b.window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  return std::nullopt;
}

bool ShowCellMenu(HWND owner, SimExcel& model, POINT at) {
  std::vector<std::shared_ptr<ControlModel>> shown;
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return false;
  for (const auto& c : model.Bar("Cell").controls) {
    if (!c->visible) continue;
    if (c->begin_group && !shown.empty()) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    shown.push_back(c);
    std::wstring caption = Caption(*c);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | (BitmapOf(c->picture_image) ? MIIM_BITMAP : 0);
    item.wID = static_cast<UINT>(shown.size());
    item.dwTypeData = caption.data();
    item.fState = c->enabled && !(c->disabled_while_editing && model.Editing()) ? MFS_ENABLED : MFS_DISABLED;
    item.hbmpItem = BitmapOf(c->picture_image);
    ::InsertMenuItemW(menu, static_cast<UINT>(shown.size()), TRUE, &item);
  }
  // The menu's modal loop holds the script's steps up: what waits for the menu reads this line.
  std::printf("cell menu at %ld %ld\n", static_cast<long>(at.x), static_cast<long>(at.y));
  std::fflush(stdout);
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, owner, nullptr));
  ::DestroyMenu(menu);
  if (chosen == 0 || chosen > shown.size()) return false;
  return model.UserClickControl(shown[chosen - 1]);
}

}  // namespace tessaly::sim::exe
