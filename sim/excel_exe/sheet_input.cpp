// The user's input on the sheet in the stand-in's workbook window: clicks, keys, typing, the
// wheel and the scroll bars, turned into the model's selection, cell editing and view.
#include <algorithm>
#include <string>
#include <utility>

#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/window_procedure.h"
#include "sim/excel_exe/workbook_window.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

std::string CellName(CellRef c) { return address::ColumnLetters(c.column) + std::to_string(c.row); }

}  // namespace

void HostWindows::UpdateScrollBars() const {
  HWND window = Book();
  const SheetModel& sheet = model_->ActiveSheetModel();
  const WindowLayout layout = model_->Layout(*sheet.parent);
  if (layout.panes.empty()) return;
  const PaneLayout& pane = layout.panes.back();  // the one that scrolls both ways
  std::int32_t used_row = 1, used_column = 1;
  for (const auto& entry : sheet.cells) {
    used_row = std::max(used_row, entry.first.first);
    used_column = std::max(used_column, entry.first.second);
  }
  // As Excel's: the range reaches a page past the used cells or the view, whichever is further.
  auto set = [window](int bar, std::int32_t first, std::int32_t last, std::int32_t used, std::int32_t most) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nPage = static_cast<UINT>(std::max(1, last - first));
    si.nMin = 1;
    si.nMax = std::min(most, std::max(used, last) + static_cast<std::int32_t>(si.nPage));
    si.nPos = first;
    ::SetScrollInfo(window, bar, &si, TRUE);
  };
  set(SB_VERT, pane.first_row, pane.last_row, used_row, model_->MaxRow());
  set(SB_HORZ, pane.first_column, pane.last_column, used_column, model_->MaxColumn());
}

void HostWindows::OnScroll(bool vertical, int code) {
  if (!model_->HasWorkbook()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ::GetScrollInfo(Book(), vertical ? SB_VERT : SB_HORZ, &si);
  int by = 0;
  switch (code) {
    case SB_LINEUP: by = -1; break;
    case SB_LINEDOWN: by = 1; break;
    case SB_PAGEUP: by = -static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: by = static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: by = si.nTrackPos - si.nPos; break;
    default: return;
  }
  if (by == 0) return;
  // The view moves; Excel tells its add-ins nothing.
  model_->UserScroll(vertical ? by : 0, vertical ? 0 : by);
  Refresh();
}

void HostWindows::Select(CellRef cell) {
  if (model_->Editing()) model_->UserEndEdit(true);
  Refresh();
  model_->UserSelect(CellName(cell));
  Refresh();
}

void HostWindows::OnClick(int x, int y) {
  ::SetFocus(Book());
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  if (auto hit = CellAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y})) Select({hit->row, hit->column});
}

void HostWindows::OnRightClick(int x, int y) {
  ::SetFocus(Book());
  if (!model_->HasWorkbook()) return;
  POINT p{x, y};
  ::ClientToScreen(Book(), &p);
  const SheetModel& sheet = model_->ActiveSheetModel();
  auto hit = CellAt(model_->Axes(sheet), model_->Layout(*sheet.parent), {p.x, p.y});
  if (!hit) return;
  const bool inside = sheet.selected_object.empty() &&
                      std::any_of(sheet.selection.begin(), sheet.selection.end(),
                                  [&](const Area& a) { return a.contains(hit->row, hit->column); });
  if (!inside) Select({hit->row, hit->column});
}

void HostWindows::OnContextMenu(POINT at) {
  if (!model_->HasWorkbook()) return;
  if (model_->Editing()) model_->UserEndEdit(true);
  ShowCellMenu(Main(), *model_, at);
  Refresh();
}

void HostWindows::MoveSelection(int rows, int columns) {
  const SheetModel& s = model_->ActiveSheetModel();
  const std::int32_t r = std::clamp(s.active_row + rows, 1, model_->MaxRow());
  const std::int32_t c = std::clamp(s.active_column + columns, 1, model_->MaxColumn());
  Select({r, c});
}

void HostWindows::OnKeyDown(WPARAM key) {
  if (OnKeyTip(key)) return Refresh();
  const bool editing = model_->Editing();
  if (::GetKeyState(VK_CONTROL) < 0 && key == VK_F1) return ToggleRibbon();  // Ctrl+F1, in edit mode too
  if (::GetKeyState(VK_CONTROL) < 0 && !editing && (key == 'N' || key == VK_F6)) {
    // Ctrl+N opens a new workbook, Ctrl+F6 goes to the next window, of this workbook or the next.
    if (key == 'N') {
      model_->UserNewWorkbook(model_->NewWorkbookName());
    } else {
      const std::string next = model_->NextWindowCaption();
      if (!next.empty()) model_->UserActivateWindow(next);
    }
    Refresh();
    return;
  }
  switch (key) {
    case VK_RETURN:
      // Enter moves down, entering the typed text first; Ctrl+Enter enters it and stays.
      if (::GetKeyState(VK_CONTROL) < 0) {
        if (editing) model_->UserEndEdit(true);
      } else {
        MoveSelection(1, 0);
      }
      break;
    case VK_ESCAPE:
      if (editing) model_->UserEndEdit(false);
      break;
    case VK_BACK:
      if (editing) {
        std::string t = model_->EditText();
        if (!t.empty()) t.pop_back();
        model_->UserBeginEdit(t);
      }
      break;
    case VK_UP: if (!editing) MoveSelection(-1, 0); break;
    case VK_DOWN: if (!editing) MoveSelection(1, 0); break;
    case VK_LEFT: if (!editing) MoveSelection(0, -1); break;
    case VK_RIGHT: if (!editing) MoveSelection(0, 1); break;
    default: break;
  }
  Refresh();
}

void HostWindows::OnWheel(int delta, int keys) {
  if (!model_->HasWorkbook()) return;
  // As Excel: three rows a notch, Ctrl+wheel zooms by 10 % a notch; no event tells the add-ins.
  const int notches = delta / WHEEL_DELTA;
  if (keys & MK_CONTROL) {
    model_->UserZoom(model_->Book(model_->ActiveSheetModel().parent->name).win.zoom + 10.0 * notches);
  } else {
    model_->UserScroll(-3 * notches, 0);
  }
  Refresh();
}

void HostWindows::OnChar(wchar_t ch) {
  if (ch < 32 || ch == 127) return;  // Enter, Escape and Backspace come as keys
  const std::string typed = win::to_utf8(std::wstring(1, ch));
  model_->UserBeginEdit(model_->Editing() ? model_->EditText() + typed : typed);
  Refresh();
}

LRESULT CALLBACK HostWindows::BookProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) Adopt(w, lp);
  HostWindows* self = Owner(w);
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: return Guarded([&] { return self->OnPaint(w), LRESULT{0}; });
    case WM_ERASEBKGND: return 1;  // the paint covers the whole window
    case WM_LBUTTONDOWN:
      self->key_tips_ = KeyTips::off;
      return Guarded([&] {
        const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        if (!self->BeginBorderDrag(x, y)) self->OnClick(x, y);
        return LRESULT{0};
      });
    case WM_LBUTTONUP:
      return Guarded([&] { return self->EndBorderDrag(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_CAPTURECHANGED:
      self->drag_.reset();
      return 0;
    case WM_RBUTTONDOWN:
      return Guarded([&] { return self->OnRightClick(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))), LRESULT{0}; });
    case WM_CONTEXTMENU:
      return Guarded([&] { return self->OnContextMenu({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}), LRESULT{0}; });
    case WM_KEYDOWN: return Guarded([&] { return self->OnKeyDown(wp), LRESULT{0}; });
    case WM_VSCROLL:
    case WM_HSCROLL:
      return Guarded([&] { return self->OnScroll(msg == WM_VSCROLL, LOWORD(wp)), LRESULT{0}; });
    case WM_MOUSEWHEEL: return Guarded([&] { return self->OnWheel(GET_WHEEL_DELTA_WPARAM(wp), GET_KEYSTATE_WPARAM(wp)), LRESULT{0}; });
    case WM_CHAR:
      if (std::exchange(self->swallow_char_, false)) return 0;  // the key went to a key tip
      return Guarded([&] { return self->OnChar(static_cast<wchar_t>(wp)), LRESULT{0}; });
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      if (Guarded([&] { return LRESULT{self->OnAltKey(msg == WM_SYSKEYDOWN, wp)}; })) return 0;
      return ::DefWindowProcW(w, msg, wp, lp);
    case WM_SIZE:
      // The host tells its add-ins when a workbook window changes size.
      return Guarded([&] {
        if (::IsWindowVisible(w) && w == self->Book() && !self->quiet_resize_) {
          self->MirrorIntoModel();
          self->model_->UserResizeWindow();
        }
        return LRESULT{0};
      });
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    default: return ::DefWindowProcW(w, msg, wp, lp);
  }
}

}  // namespace tessaly::sim::exe
