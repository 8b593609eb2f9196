// Time from a real click to a calendar painted on screen, in the same run: a click on Tessaly's tag
// opening its pop-up, and a click on the drop-down button of the system's date-time picker
// (SysDateTimePick32) opening its month calendar. The presses and releases go in through SendInput;
// each clock stops when the calendar's month has finished its first paint, and again when the
// thread has nothing left to paint.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/win_clock.h"
#include "calendar/frm_cal.h"
#include "host/platform_graphics.h"
#include "settings/init_system.h"
#include "sim/memory_services.h"
#include "support/win_ui.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/tag_window.h"
#include "win/window_dpi.h"
#include "win/win_window_system.h"

namespace {

using namespace tessaly;
using bench::NowMs;

constexpr int kRounds = 40;

// The end of a window's first WM_PAINT after it was armed (0 until then).
LRESULT CALLBACK WatchPaint(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR painted_at) {
  const LRESULT r = ::DefSubclassProc(window, message, wparam, lparam);
  auto* at = reinterpret_cast<double*>(painted_at);
  if (message == WM_PAINT && *at == 0) *at = NowMs();
  return r;
}

bool NothingToPaint() { return (::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE) & 0xFFFF) == 0; }

// Dispatches messages until `done` holds and nothing is left to paint, or two seconds passed.
template <class Done>
bool RunUntil(Done done) {
  const double give_up = NowMs() + 2000;
  while (NowMs() < give_up) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done() && NothingToPaint()) return true;
    ::Sleep(0);
  }
  return false;
}

void Click() {
  testing::SendMouse(MOUSEEVENTF_LEFTDOWN);
  testing::SendMouse(MOUSEEVENTF_LEFTUP);
}

struct Figures {
  std::vector<double> first_paint, all_painted;
};

struct OpenOnClick : ITagFormEvents {
  void MouseMove() override {}
  void Timer() override {}
  void Click() override {
    clicked = true;
    form->ShowCalendar(below.x, below.y, Variant(), parent);
  }
  ICalendarForm* form = nullptr;
  ScreenPoint below;
  WindowHandle parent = 0;
  bool clicked = false;
};

// A window holding one date-time picker; it notes when the picker drops its month calendar and
// watches that calendar's paint.
struct PickerWindow {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<PickerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NOTIFY) {
      const auto* n = reinterpret_cast<const NMHDR*>(lparam);
      if (n->code == DTN_DROPDOWN) {
        self->dropped = true;
        self->month = reinterpret_cast<HWND>(::SendMessageW(self->picker, DTM_GETMONTHCAL, 0, 0));
        if (self->month) ::SetWindowSubclass(self->month, WatchPaint, 1, reinterpret_cast<DWORD_PTR>(&self->painted_at));
      }
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
  }

  PickerWindow() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PickerBench";
    ::RegisterClassExW(&wc);
    frame = ::CreateWindowExW(0, L"PickerBench", L"Date-time picker", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 960, 40, 300, 320,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    picker = ::CreateWindowExW(0, DATETIMEPICK_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT, 20,
                               20, 200, 24, frame, nullptr, wc.hInstance, nullptr);
    testing::Pump(200);
  }
  ~PickerWindow() {
    if (::IsWindow(frame)) ::DestroyWindow(frame);
  }
  // The drop-down button, at the picker's right end.
  POINT Button() const {
    RECT r{};
    ::GetClientRect(picker, &r);
    POINT p{r.right - ::GetSystemMetrics(SM_CXVSCROLL) / 2 - 1, (r.top + r.bottom) / 2};
    ::ClientToScreen(picker, &p);
    return p;
  }
  bool Open() const { return month && ::IsWindowVisible(month); }
  void Close() {
    if (Open()) ::SendMessageW(picker, DTM_CLOSEMONTHCAL, 0, 0);
    if (Open()) Click();  // a second click on the button closes it where that message is unknown
    testing::Pump(30);
  }

  HWND frame = nullptr, picker = nullptr, month = nullptr;
  bool dropped = false;
  double painted_at = 0;
};

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) {
    std::printf("%s: no round completed\n", what);
    return;
  }
  std::sort(v.begin(), v.end());
  std::printf("%s, %zu rounds: median %.2f ms, min %.2f ms, max %.2f ms\n", what, v.size(), v[v.size() / 2], v.front(),
              v.back());
}

}  // namespace

int main() {
  testing::HostWindows host;
  sim::MemoryServices platform;
  mVantry m;
  m.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(host.main);
  InitSystem(m, platform.services());
  std::unique_ptr<IGraphics> graphics = MakePlatformGraphics();
  win::Win32WindowSystem windows;
  std::unique_ptr<ICalendarForm> form =
      win::CreateCalendarForm({m, *graphics, platform.clock, LocaleData::us_english(), {}, &windows}, host.main);
  std::unique_ptr<ITagForm> tag = win::CreateTagForm(host.main);
  const WindowHandle tag_handle = tag->Handle(), book = reinterpret_cast<WindowHandle>(host.book);
  windows.SetWindowStyles(tag_handle, ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost);
  windows.SetParent(tag_handle, book);
  windows.MoveWindow(tag_handle, {200, 120, 220, 140});
  windows.ShowWindow(tag_handle, true);
  const ScreenPoint at = windows.ClientToScreen(book, {200, 120});

  OpenOnClick sink;
  sink.form = form.get();
  sink.below = {at.x, at.y + 20};
  sink.parent = book;
  tag->SetEventSink(&sink);
  // The month's own window: the end of its first paint is the month on screen.
  double month_painted = 0;
  const auto month_window = reinterpret_cast<HWND>(static_cast<calendar::frmCal&>(*form).Window().picture().window_handle());
  ::SetWindowSubclass(month_window, WatchPaint, 1, reinterpret_cast<DWORD_PTR>(&month_painted));

  PickerWindow picker;
  Figures ours, system;
  // Where the picker keeps one month calendar, its paint is watched from the warm-up on, so the
  // first paint is caught whatever the order of the drop-down's show and its notification.
  HWND first_month = nullptr;
  int months_made = 0;
  // Rounds alternate, so both meet the same load; the first of each warms fonts and classes.
  for (int i = 0; i <= kRounds; ++i) {
    form->HideCalendar();
    testing::MoveTo(at.x + 10, at.y + 10);
    sink.clicked = false;
    month_painted = 0;
    double start = NowMs();
    Click();
    bool done = RunUntil([&] { return sink.clicked && month_painted != 0; });
    if (i > 0 && done) {
      ours.first_paint.push_back(month_painted - start);
      ours.all_painted.push_back(NowMs() - start);
    }

    picker.Close();
    const POINT button = picker.Button();
    testing::MoveTo(button.x, button.y);
    picker.dropped = false;
    picker.painted_at = 0;
    start = NowMs();
    Click();
    done = RunUntil([&] { return picker.dropped && picker.painted_at != 0; });
    if (picker.month != first_month) {
      first_month = picker.month;
      ++months_made;
    }
    if (i > 0 && done) {
      system.first_paint.push_back(picker.painted_at - start);
      system.all_painted.push_back(NowMs() - start);
    }
    picker.Close();
  }
  std::printf("at %d dpi, input through SendInput; the picker's month calendar window: %d in %d rounds\n",
              win::WindowDpi(host.main), months_made, kRounds + 1);
  Report("Tessaly: click on the tag to the month's first paint done", ours.first_paint);
  Report("Tessaly: click on the tag to nothing left to paint", ours.all_painted);
  Report("SysDateTimePick32: click on the drop-down button to the month calendar's first paint done", system.first_paint);
  Report("SysDateTimePick32: click on the drop-down button to nothing left to paint", system.all_painted);
  return ours.first_paint.empty() || system.first_paint.empty() ? 1 : 0;
}
