// The script's steps of real input: clicks, drags and keys through the system's input queue, where
// things are on screen, and waits for what the input brings up.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "sim/excel_exe/command_bars.h"
#include "sim/excel_exe/ribbon_strip.h"
#include "sim/excel_exe/script.h"
#include "sim/excel_exe/script_steps.h"
#include "win/utf.h"

namespace tessaly::sim::exe {

namespace {

INPUT MouseAt(POINT p, DWORD flags) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT i{};
  i.type = INPUT_MOUSE;
  i.mi.dx = static_cast<LONG>((p.x * 65535LL + w / 2) / (w - 1));
  i.mi.dy = static_cast<LONG>((p.y * 65535LL + h / 2) / (h - 1));
  i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | flags;
  return i;
}

// The left button pressed at one point, the mouse moved to another in steps, and let go there.
void SendMouseDrag(POINT from, POINT to) {
  INPUT in[6] = {MouseAt(from, MOUSEEVENTF_MOVE), MouseAt(from, MOUSEEVENTF_LEFTDOWN),
                 MouseAt({(2 * from.x + to.x) / 3, (2 * from.y + to.y) / 3}, MOUSEEVENTF_MOVE),
                 MouseAt({(from.x + 2 * to.x) / 3, (from.y + 2 * to.y) / 3}, MOUSEEVENTF_MOVE),
                 MouseAt(to, MOUSEEVENTF_MOVE), MouseAt(to, MOUSEEVENTF_LEFTUP)};
  ::SendInput(6, in, sizeof(INPUT));
}

void SendKey(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

void SendText(const std::string& text) {
  for (wchar_t ch : win::to_wide(text)) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = ch;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
  }
}

const std::map<std::string, WORD> kKeys = {
    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},   {"backspace", VK_BACK},
    {"up", VK_UP},        {"down", VK_DOWN},     {"left", VK_LEFT}, {"right", VK_RIGHT},
    {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
};


struct WindowSearch {
  std::wstring name;
  HWND found = nullptr;
};

BOOL CALLBACK VisitWindow(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  wchar_t name[256];
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && ::GetClassNameW(w, name, 256) && s->name == name) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK VisitTopWindow(HWND top, LPARAM lp) {
  if (!VisitWindow(top, lp)) return FALSE;
  ::EnumChildWindows(top, VisitWindow, lp);
  return reinterpret_cast<WindowSearch*>(lp)->found ? FALSE : TRUE;
}

POINT Centre(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

void SendMouseClick(POINT p) {
  INPUT in[3] = {MouseAt(p, MOUSEEVENTF_MOVE), MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)};
  ::SendInput(3, in, sizeof(INPUT));
}

HWND FindOwnWindow(const std::wstring& class_name) {
  WindowSearch search{class_name};
  ::EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<bool> ScriptRunner::InputStep(const ScriptStep& s) {
  [[maybe_unused]] const auto [first, rest] = Split(s.argument);
  if (s.verb == "click") {
    auto p = windows_.CellCentreOnScreen(CellOf(s.argument));
    if (!p) return false;
    SendMouseClick(*p);
  } else if (s.verb == "click-window") {
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    if (!w) return false;
    SendMouseClick(Centre(w));
  } else if (s.verb == "click-button") {
    // click-button <window class> <caption>: a real click on a button of one of the own windows.
    HWND w = FindOwnWindow(win::to_wide(first));
    HWND button = w ? ::FindWindowExW(w, nullptr, nullptr, win::to_wide(rest).c_str()) : nullptr;
    if (!button) return false;
    SendMouseClick(Centre(button));
  } else if (s.verb == "ribbon") {
    RibbonStrip* ribbon = addins_.ribbon();
    auto p = ribbon ? ribbon->ButtonCentreOnScreen(s.argument) : std::nullopt;
    if (!p) return false;
    SendMouseClick(*p);
  } else if (s.verb == "ribbon-where") {
    RibbonStrip* ribbon = addins_.ribbon();
    auto p = ribbon ? ribbon->ButtonCentreOnScreen(s.argument) : std::nullopt;
    // A greyed-out button says so after its place.
    Report("ribbon %s %s", s.argument,
           p ? "at " + std::to_string(p->x) + " " + std::to_string(p->y) + " in " + ribbon->Tab() +
                   (ribbon->ButtonEnabled(s.argument) ? "" : " disabled")
             : std::string("absent"));
  } else if (s.verb == "type") {
    SendText(s.argument);
  } else if (s.verb == "key") {
    auto k = kKeys.find(s.argument);
    if (k == kKeys.end()) return false;
    SendKey(k->second);
  } else if (s.verb == "zoom-button" || s.verb == "where-zoom") {
    // zoom-button in|out: a real click on the status bar's + or - button; where-zoom: where it is.
    if (s.argument != "in" && s.argument != "out") return false;
    auto p = windows_.ZoomButtonCentreOnScreen(s.argument == "in");
    if (!p) return false;
    if (s.verb == "zoom-button") SendMouseClick(*p);
    else Report("zoom-button %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "where-command") {
    // where-command new-window|formula-bar|collapse-ribbon: where the host's own View button is.
    auto p = windows_.ViewCommandOnScreen(s.argument);
    Report("command %s %s", s.argument, p ? std::to_string(p->x) + " " + std::to_string(p->y) : std::string("hidden"));
  } else if (s.verb == "drag-border" || s.verb == "where-border") {
    // drag-border column|row <letters or row> <pixels>: a real drag of the column's right border
    // (the row's bottom border) in the headers, by that many pixels; where-border: where it is.
    std::istringstream words(s.argument);
    std::string kind, which;
    int by = 0;
    words >> kind >> which >> by;
    if (kind != "column" && kind != "row") return false;
    const CellRef at = CellOf(kind == "column" ? which + "1" : "A" + which);
    auto p = kind == "column" ? windows_.ColumnBorderOnScreen(at.column) : windows_.RowBorderOnScreen(at.row);
    if (!p) return false;
    if (s.verb == "where-border") {
      Report("border %s %s", kind + " " + which, std::to_string(p->x) + " " + std::to_string(p->y));
    } else {
      SendMouseDrag(*p, kind == "column" ? POINT{p->x + by, p->y} : POINT{p->x, p->y + by});
      PumpMessages(200);
    }
  } else if (s.verb == "click-points") {
    // A click just inside the corner the object model gives for the cell: what it answers must be on screen.
    const CellRef cell = CellOf(s.argument);
    const SheetModel& sheet = model_.ActiveSheetModel();
    const std::int32_t pane = PaneShowing(model_.Layout(*sheet.parent), cell.row, cell.column).index;
    RangePtr range = model_.ActiveSheet()->Range(s.argument);
    PanePtr p = model_.ActiveWindow()->Panes(pane);
    const POINT at{p->PointsToScreenPixelsX(static_cast<std::int32_t>(std::lround(range->Left()))) + 3,
                   p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top()))) + 3};
    SendMouseClick(at);
  } else if (s.verb == "check-edge") {
    // The selected cell's drawn edge lies where the object model puts the cell's left side.
    const CellRef cell = CellOf(s.argument);
    const SheetModel& sheet = model_.ActiveSheetModel();
    const std::int32_t pane = PaneShowing(model_.Layout(*sheet.parent), cell.row, cell.column).index;
    RangePtr range = model_.ActiveSheet()->Range(s.argument);
    PanePtr p = model_.ActiveWindow()->Panes(pane);
    const int x = p->PointsToScreenPixelsX(static_cast<std::int32_t>(std::lround(range->Left())));
    const int top = p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top())));
    const int bottom = p->PointsToScreenPixelsY(static_cast<std::int32_t>(std::lround(range->Top() + range->Height())));
    HDC screen = ::GetDC(nullptr);
    const COLORREF seen = ::GetPixel(screen, x, (top + bottom) / 2);
    ::ReleaseDC(nullptr, screen);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%02X%02X%02X", GetRValue(seen), GetGValue(seen), GetBValue(seen));
    Report("edge %s %s", s.argument, std::string("at ") + std::to_string(x) + " " + std::to_string((top + bottom) / 2) + " #" + colour);
  } else if (s.verb == "where") {
    auto p = windows_.CellCentreOnScreen(CellOf(s.argument));
    if (!p) return false;
    Report("where %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "where-control") {
    // where-control <bar> <position>: the centre of a toolbar's control on screen.
    auto [bar, position] = Split(s.argument);
    ToolbarStrip* toolbars = addins_.toolbars();
    auto p = toolbars ? toolbars->ControlCentreOnScreen(bar, static_cast<std::size_t>(std::atoi(position.c_str())))
                      : std::nullopt;
    if (!p) return false;
    Report("control %s %s", s.argument, std::to_string(p->x) + " " + std::to_string(p->y));
  } else if (s.verb == "cell-box") {
    auto r = windows_.CellOnScreen(CellOf(s.argument));
    if (!r) return false;
    Report("cell-box %s %s", s.argument, Corners(*r));
  } else if (s.verb == "focus") {
    // The window with the keyboard focus: its class, and its parent's.
    const HWND f = ::GetFocus();
    const auto class_of = [](HWND w) {
      wchar_t name[128] = L"";
      if (w) ::GetClassNameW(w, name, 128);
      return win::to_utf8(w ? name : L"none");
    };
    Report("focus %s in %s", class_of(f), class_of(f ? ::GetParent(f) : nullptr));
  } else if (s.verb == "window") {
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    RECT r{};
    if (w) ::GetWindowRect(w, &r);
    Report("window %s %s", s.argument,
           w ? "shown " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
                   " " + std::to_string(r.bottom - r.top)
             : std::string("hidden"));
  } else if (s.verb == "owner") {
    // owner <class>: the top-level window that holds the visible window of the class.
    HWND w = FindOwnWindow(win::to_wide(s.argument));
    Report("owner %s %s", s.argument, w ? std::to_string(reinterpret_cast<std::uintptr_t>(::GetAncestor(w, GA_ROOT))) : std::string("none"));
  } else if (s.verb == "client") {
    // The active workbook window's client area on screen.
    RECT r{};
    ::GetClientRect(windows_.Book(), &r);
    ::MapWindowPoints(windows_.Book(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    Report("client %s%s", Corners(r), "");
  } else if (s.verb == "await-window" || s.verb == "await-gone") {
    // Waits, handling messages, for a window of the class to show (or to go), then reports it.
    auto [class_name, timeout] = Split(s.argument);
    const bool want = s.verb == "await-window";
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    HWND w = FindOwnWindow(win::to_wide(class_name));
    while ((w != nullptr) != want && ::GetTickCount64() < end) {
      if (!PumpMessages(50)) return false;
      w = FindOwnWindow(win::to_wide(class_name));
    }
    RECT r{};
    if (w) ::GetWindowRect(w, &r);
    Report("window %s %s", class_name,
           w ? "shown " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
                   " " + std::to_string(r.bottom - r.top)
             : std::string("hidden"));
  } else if (s.verb == "await-bar") {
    // await-bar NAME TIMEOUT: waits, handling messages, for a visible command bar of that name; an
    // add-in may build its bars once its connection has returned.
    auto [name, timeout] = Split(s.argument);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    const auto shown = [&] {
      const auto& bars = model_.Bars();
      return std::any_of(bars.begin(), bars.end(), [&](const auto& bar) { return bar->name == name && bar->visible; });
    };
    while (!shown() && ::GetTickCount64() < end)
      if (!PumpMessages(50)) return false;
    Report("awaited bar %s %s", name, shown() ? "shown" : "missing");
  } else if (s.verb == "await-file") {
    // await-file <path> <ms>: handles messages until the file exists, so input from outside the
    // process can be interleaved with the steps.
    auto [path, timeout] = Split(s.argument);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(std::atoi(timeout.c_str()));
    const std::wstring wide = win::to_wide(path);
    while (::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetTickCount64() < end)
      if (!PumpMessages(50)) return false;
    Report("file %s %s", path, ::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES ? "missing" : "found");
  } else if (s.verb == "bars") {
    // Each visible toolbar and the cell menu: the controls' captions, "|" before a group, "*" when down.
    for (const auto& bar : model_.Bars()) {
      if (!bar->visible && bar->name != "Cell") continue;
      std::string line;
      for (const auto& c : bar->controls) {
        if (!c->visible) continue;
        line += std::string(line.empty() ? "" : " ") + (c->begin_group ? "| " : "") + c->caption +
                (c->state == xl::kButtonDown ? "*" : "") + (c->picture_image ? " [picture]" : "");
      }
      Report("bar %s: %s", bar->name, line);
    }
  } else if (s.verb == "clipboard") {
    // The user's content as another program reads it: the text, the private format's text, and
    // whether a bitmap is there.
    if (!::OpenClipboard(nullptr)) return false;
    auto text_of = [](UINT format, std::size_t terminator) {
      HANDLE h = ::GetClipboardData(format);
      const auto* p = h ? static_cast<const wchar_t*>(::GlobalLock(h)) : nullptr;
      if (!p) return std::string("-");
      std::wstring t(p, ::GlobalSize(h) / sizeof(wchar_t) - terminator);
      ::GlobalUnlock(h);
      return win::to_utf8(t.c_str());
    };
    const std::string text = text_of(CF_UNICODETEXT, 1);
    const std::string own = text_of(::RegisterClipboardFormatW(kPrivateClipboardFormat), 0);
    const bool bitmap = ::IsClipboardFormatAvailable(CF_BITMAP);
    ::CloseClipboard();
    Report("clipboard text %s, private %s", text, own + (bitmap ? ", a bitmap" : ""));
  } else {
    return std::nullopt;
  }
  return true;
}

}  // namespace tessaly::sim::exe
