// The stand-in Excel's View commands that a user reaches with real input: New Window, the formula
// bar shown or hidden and the ribbon collapsed to its tabs, as buttons on the strip after the
// add-in's, Excel's key tips (Alt, W, N) and Ctrl+F1. Each goes to the model's own user action; the windows
// only lay out again what the model then says.
#include <algorithm>
#include <array>
#include <string>

#include "host/locale.h"
#include "sim/cell_text.h"
#include "sim/excel_exe/workbook_window.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

// The ribbon in full and collapsed to its tabs, and the formula bar, in pixels.
constexpr int kRibbonHeight = 34;
constexpr int kTabsHeight = 8;
constexpr int kFormulaBarHeight = 22;

struct ViewCommand {
  const char* name;
  const wchar_t* label;
  int id;
  int width;
  DWORD style;
};

// In order after the add-in's controls; ids above every add-in's own.
constexpr std::array<ViewCommand, 3> kCommands{{
    {"new-window", L"New Window", 0x7F01, 86, BS_PUSHBUTTON},
    {"formula-bar", L"Formula Bar", 0x7F02, 86, BS_AUTOCHECKBOX | BS_PUSHLIKE},
    {"collapse-ribbon", L"^", 0x7F03, 24, BS_PUSHBUTTON},
}};
constexpr std::size_t kNewWindow = 0, kFormulaBar = 1, kCollapse = 2;

bool IsViewCommand(int id) { return id >= kCommands.front().id && id <= kCommands.back().id; }

}  // namespace

int HostWindows::RibbonHeight() const { return model_->RibbonCollapsed() ? kTabsHeight : kRibbonHeight; }

int HostWindows::FormulaBarHeight() const { return model_->FormulaBarShown() ? kFormulaBarHeight : 0; }

void HostWindows::CreateViewCommands(HWND main) {
  HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  for (const ViewCommand& c : kCommands) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", c.label, WS_CHILD | WS_VISIBLE | c.style, 0, 5, c.width, 24, strip_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!button) throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  ::CheckDlgButton(strip_, kCommands[kFormulaBar].id, model_->FormulaBarShown() ? BST_CHECKED : BST_UNCHECKED);
  formula_bar_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                                   0, 10, kFormulaBarHeight, main, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!formula_bar_) throw HostError(static_cast<std::int32_t>(::GetLastError()), "A window could not be created.");
  ::SendMessageW(formula_bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void HostWindows::LayOutBands(HWND main, const RECT& client) {
  if (strip_ && ::GetParent(strip_) == main) {
    ::MoveWindow(strip_, 0, 0, client.right, RibbonHeight(), TRUE);
    PlaceViewCommands();
  }
  if (formula_bar_ && ::GetParent(formula_bar_) == main) {
    ::MoveWindow(formula_bar_, 0, RibbonHeight(), client.right, kFormulaBarHeight, TRUE);
    ::ShowWindow(formula_bar_, model_->FormulaBarShown() ? SW_SHOWNA : SW_HIDE);
  }
}

void HostWindows::PlaceViewCommands() {
  if (!strip_) return;
  // After the add-in's controls, which it lays out from the left, so that none lies under another.
  LONG x = 6;
  for (HWND c = ::GetWindow(strip_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (IsViewCommand(::GetDlgCtrlID(c)) || !::IsWindowVisible(c)) continue;
    RECT r{};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, strip_, reinterpret_cast<POINT*>(&r), 2);
    x = std::max<LONG>(x, r.right + 16);
  }
  for (const ViewCommand& c : kCommands) {
    HWND button = ::GetDlgItem(strip_, c.id);
    RECT r{};
    ::GetWindowRect(button, &r);
    ::MapWindowPoints(nullptr, strip_, reinterpret_cast<POINT*>(&r), 2);
    // Drawn afresh where it goes: bits copied from where it stood would carry the add-in's
    // controls that lay over it there.
    if (r.left != x) {
      ::SetWindowPos(button, nullptr, x, 5, c.width, 24, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
      ::InvalidateRect(button, nullptr, TRUE);
    }
    x += c.width + 6;
  }
}

std::optional<POINT> HostWindows::ViewCommandOnScreen(const std::string& name) const {
  for (const ViewCommand& c : kCommands) {
    HWND button = c.name == name && strip_ ? ::GetDlgItem(strip_, c.id) : nullptr;
    if (!button) continue;
    RECT r{}, strip{};
    ::GetWindowRect(button, &r);
    ::GetWindowRect(strip_, &strip);
    if (r.bottom > strip.bottom || r.right > strip.right) return std::nullopt;  // under the collapsed ribbon, or past its end
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  return std::nullopt;
}

bool HostWindows::OnViewCommand(int id) {
  if (id == kCommands[kNewWindow].id) {
    if (model_->Editing()) model_->UserEndEdit(true);
    model_->UserNewWindow();
  } else if (id == kCommands[kFormulaBar].id) {
    model_->UserShowFormulaBar(::IsDlgButtonChecked(strip_, id) == BST_CHECKED);
  } else if (id == kCommands[kCollapse].id) {
    model_->UserCollapseRibbon(!model_->RibbonCollapsed());
  } else {
    return false;
  }
  Refresh();
  if (HWND book = Book()) ::SetFocus(book);  // the keyboard goes back to the sheet, as in Excel
  return true;
}

void HostWindows::ToggleRibbon() {
  model_->UserCollapseRibbon(!model_->RibbonCollapsed());
  Refresh();
}

bool HostWindows::OnAltKey(bool down, WPARAM key) {
  // Alt pressed and let go alone shows the key tips; Alt with another key is the system's.
  if (key != VK_MENU) {
    alt_alone_ = false;
    return false;
  }
  if (down) {
    alt_alone_ = true;
    return true;
  }
  const bool alone = alt_alone_;
  alt_alone_ = false;
  if (!alone) return false;
  key_tips_ = key_tips_ == KeyTips::off ? KeyTips::tabs : KeyTips::off;
  return true;  // no system menu: Excel's key tips take the keys that follow
}

bool HostWindows::OnKeyTip(WPARAM key) {
  alt_alone_ = false;
  if (key_tips_ == KeyTips::off) return false;
  swallow_char_ = true;
  if (key_tips_ == KeyTips::tabs && key == 'W') {
    key_tips_ = KeyTips::view;
    return true;
  }
  const bool new_window = key_tips_ == KeyTips::view && key == 'N';
  key_tips_ = KeyTips::off;
  if (new_window) OnViewCommand(kCommands[kNewWindow].id);
  return true;
}

void HostWindows::UpdateFormulaBar() {
  if (!formula_bar_ || !model_->HasWorkbook()) return;
  ::CheckDlgButton(strip_, kCommands[kFormulaBar].id, model_->FormulaBarShown() ? BST_CHECKED : BST_UNCHECKED);
  // The active cell's name, then what it holds, or the text being typed.
  const SheetModel& sheet = model_->ActiveSheetModel();
  const auto cell = sheet.cells.find({sheet.active_row, sheet.active_column});
  const std::string held = model_->Editing()       ? model_->EditText()
                           : cell == sheet.cells.end() ? std::string()
                                                       : CellDisplayText(cell->second, LocaleData::us_english());
  const std::wstring text = L" " + win::to_wide(address::ColumnLetters(sheet.active_column) + std::to_string(sheet.active_row)) +
                            L"    " + win::to_wide(held);
  wchar_t shown[512] = L"";
  ::GetWindowTextW(formula_bar_, shown, 512);
  if (text != shown) ::SetWindowTextW(formula_bar_, text.c_str());
}

}  // namespace tessaly::sim::exe
