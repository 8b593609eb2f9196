// Time from a real click to a calendar painted on screen, in the same run: a click on Tessaly's tag
// opening its pop-up, and a click on the drop-down button of the system's date-time picker
// (SysDateTimePick32) opening its month calendar. The presses and releases go in through SendInput;
// each clock stops when the calendar's month has finished its first paint, and again when the
// thread has nothing left to paint. Tessaly's rounds follow the add-in's sequence: the tag shown,
// the calendar readied for its cell and window, the mouse moving to the tag, then the click. The
// first opening after the pop-up's windows are made is reported on its own.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/win_clock.h"
#include "calendar/frm_cal.h"
#include "core/controller.h"
#include "host/platform_graphics.h"
#include "settings/init_system.h"
#include "sim/memory_services.h"
#include "support/win_ui.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/system_timers.h"
#include "win/ui/tag_window.h"
#include "win/window_dpi.h"
#include "win/win_window_system.h"

namespace {

using namespace tessaly;
using bench::NowMs;

constexpr int kRounds = 40;
// The user's way to the tag: mouse moves with the messages dispatched between them.
constexpr int kMovesToTag = 4;

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
  // Tessaly's first paint in three: input to the tag's click, the click's showing, the paint.
  std::vector<double> to_click, showing, to_paint;
};

struct OpenOnClick : ITagFormEvents {
  void MouseMove() override {}
  void Timer() override {}
  void Click() override {
    clicked = true;
    clicked_at = NowMs();
    form->ShowCalendar(below.x, below.y, Variant(), parent);
    shown_at = NowMs();
  }
  ICalendarForm* form = nullptr;
  ScreenPoint below;
  WindowHandle parent = 0;
  bool clicked = false;
  double clicked_at = 0, shown_at = 0;
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
  std::unique_ptr<ITagForm> tag = win::CreateTagForm(host.main);
  const WindowHandle tag_handle = tag->Handle(), book = reinterpret_cast<WindowHandle>(host.book);
  windows.SetWindowStyles(tag_handle, ws::kChild | ws::kClipSiblings | ws::kClipChildren, ws::kExNoActivate | ws::kExTopmost);
  windows.SetParent(tag_handle, book);
  windows.MoveWindow(tag_handle, {200, 120, 220, 140});
  windows.ShowWindow(tag_handle, true);
  const ScreenPoint at = windows.ClientToScreen(book, {200, 120});

  // The tag's first showing after the add-in loaded: the pop-up's windows made, then readied.
  double start = NowMs();
  std::unique_ptr<ICalendarForm> form =
      win::CreateCalendarForm({m, *graphics, platform.clock, LocaleData::us_english(), {}, &windows}, host.main);
  const double made = NowMs() - start;
  start = NowMs();
  form->Prepare(Variant(), book);
  const double first_readied = NowMs() - start;

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
  // As the controller does: the selection that shows the tag arms a one-shot timer, which readies
  // the calendar for the cell and window once the selection is quiet.
  std::vector<double> armed, readied;
  win::Win32Timers timers;
  std::unique_ptr<ITimer> prepare = timers.CreateTimer([&] {
    prepare->SetInterval(0);
    const double from = NowMs();
    form->Prepare(Variant(), book);
    readied.push_back(NowMs() - from);
  });
  double first_opening = 0, first_all_painted = 0;
  // Where the picker keeps one month calendar, its paint is watched from the warm-up on, so the
  // first paint is caught whatever the order of the drop-down's show and its notification.
  HWND first_month = nullptr;
  int months_made = 0;
  // Rounds alternate, so both meet the same load; the first of each warms fonts and classes.
  for (int i = 0; i <= kRounds; ++i) {
    form->HideCalendar();
    // The tag shown for the cell; the calendar is readied while the mouse is on its way.
    if (i > 0) {
      start = NowMs();
      prepare->SetInterval(cVantry::kPrepareDelayMs);
      armed.push_back(NowMs() - start);
    }
    for (int k = kMovesToTag; k >= 0; --k) testing::MoveTo(at.x + 10 + 40 * k, at.y + 10 + 20 * k);
    sink.clicked = false;
    month_painted = 0;
    start = NowMs();
    Click();
    bool done = RunUntil([&] { return sink.clicked && month_painted != 0; });
    if (i == 0 && done) {
      first_opening = month_painted - start;
      first_all_painted = NowMs() - start;
    } else if (done) {
      ours.first_paint.push_back(month_painted - start);
      ours.all_painted.push_back(NowMs() - start);
      ours.to_click.push_back(sink.clicked_at - start);
      ours.showing.push_back(sink.shown_at - sink.clicked_at);
      ours.to_paint.push_back(month_painted - sink.shown_at);
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
  std::printf("Tessaly, the tag's first showing: the pop-up's windows made %.2f ms, readied %.2f ms\n", made, first_readied);
  std::printf("Tessaly, first opening: click on the tag to the month's first paint done %.2f ms, to nothing left to paint %.2f ms\n",
              first_opening, first_all_painted);
  Report("Tessaly: the timer armed in the selection change that shows the tag", armed);
  Report("Tessaly: readied for the cell and window at the timer, before the click", readied);
  Report("Tessaly: click on the tag to the month's first paint done", ours.first_paint);
  Report("Tessaly: click on the tag to nothing left to paint", ours.all_painted);
  Report("Tessaly, of the first paint: input sent to the tag's click event", ours.to_click);
  Report("Tessaly, of the first paint: the click's ShowCalendar", ours.showing);
  Report("Tessaly, of the first paint: shown to the month's first paint done", ours.to_paint);
  Report("SysDateTimePick32: click on the drop-down button to the month calendar's first paint done", system.first_paint);
  Report("SysDateTimePick32: click on the drop-down button to nothing left to paint", system.all_painted);
  return ours.first_paint.empty() || system.first_paint.empty() ? 1 : 0;
}
