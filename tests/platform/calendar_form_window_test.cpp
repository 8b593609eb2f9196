// The calendar pop-up as real windows in a workbook window tree: placed without taking activation,
// laid out at the display's resolution, and driven by real mouse and keyboard input.
#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <uiautomationclient.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "date/serial_date.h"
#include "host/platform_graphics.h"
#include "settings/init_system.h"
#include "sim/memory_services.h"
#include "support/win_ui.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/picture_window.h"
#include "win/ui/tag_window.h"
#include "win/utf.h"
#include "win/window_dpi.h"

namespace tessaly {
namespace {

using testing::ClickAt;
using testing::ClickWindow;
using testing::Pump;

double ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }

class CalendarFormWindowTest : public ::testing::Test, public ICalendarFormEvents {
 protected:
  void SetUp() override {
    platform_.clock.serial = ymd(2026, 3, 5) + 0.5;
    m_.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(host_.main);
    InitSystem(m_, platform_.services());
    form_ = win::CreateCalendarForm({m_, *graphics_, platform_.clock, LocaleData::us_english(), {}}, host_.main);
    form_->SetEventSink(this);
    window_ = static_cast<win::CalendarFormWindow*>(&static_cast<calendar::frmCal&>(*form_).Window());
  }
  void CalendarClose(const Variant& v) override { closes.push_back(v); }

  // Shows the form 60 pixels into the workbook window, as the controller would below a tag.
  void show(double start) {
    POINT at{60, 60};
    ::ClientToScreen(host_.book, &at);
    at_ = at;
    form_->ShowCalendar(at.x, at.y, Variant::date(start), reinterpret_cast<WindowHandle>(host_.book));
    Pump(150);
  }
  calendar::clsDualMonths& cal() { return static_cast<calendar::frmCal&>(*form_).Calendar(); }
  HWND control(FormControl c) { return window_->control(c); }
  // The centre of a rectangle of the calendar, on screen.
  POINT on_screen(const Rect& r) {
    return testing::ScreenCentre(control(FormControl::Calendar), {r.left, r.top, r.right, r.bottom});
  }
  POINT day_on_screen(double date) {
    for (const calendar::clsDateItem& d : cal().DayCells())
      if (d.DateTime() == date) return on_screen({d.Left(), d.TOp(), d.Right(), d.Bottom()});
    ADD_FAILURE() << "day not displayed";
    return {};
  }
  // A point of the calendar where no day is: its title.
  void click_title() {
    const POINT p = on_screen(cal().TitleRect());
    ClickAt(p.x, p.y);
  }
  std::wstring text_of(FormControl c) {
    wchar_t text[32] = {};
    ::GetWindowTextW(control(c), text, 32);
    return text;
  }
  void expect_host_keeps_activation() {
    EXPECT_EQ(::GetForegroundWindow(), host_.main);
    EXPECT_EQ(::GetActiveWindow(), host_.main);
  }
  // The form's size and its controls' places in it as the design lays them out at `dpi`; a combo
  // box's height is its closed field's, whatever the design gives it.
  void expect_laid_out_at(int dpi) {
    const calendar::FormLayout want = calendar::CalendarFormLayout(1440.0 / dpi, 1440.0 / dpi);
    RECT r{};
    ::GetWindowRect(window_->hwnd(), &r);
    EXPECT_EQ(std::tuple(r.right - r.left, r.bottom - r.top), std::tuple(want.client.cx, want.client.cy));
    for (FormControl c : {FormControl::Calendar, FormControl::Months, FormControl::Years, FormControl::Today,
                          FormControl::Settings, FormControl::Close}) {
      RECT cr{};
      ::GetWindowRect(control(c), &cr);
      ::MapWindowPoints(nullptr, window_->hwnd(), reinterpret_cast<POINT*>(&cr), 2);
      const Rect& w = want[c];
      EXPECT_EQ(std::tuple(cr.left, cr.top, cr.right), std::tuple(w.left, w.top, w.right)) << static_cast<int>(c);
      if (c != FormControl::Months && c != FormControl::Years) {
        EXPECT_EQ(cr.bottom, w.bottom) << static_cast<int>(c);
      }
    }
  }

  testing::HostWindows host_;
  std::unique_ptr<IGraphics> graphics_ = MakePlatformGraphics();
  sim::MemoryServices platform_;
  mVantry m_;
  std::unique_ptr<ICalendarForm> form_;
  win::CalendarFormWindow* window_ = nullptr;
  POINT at_{};
  std::vector<Variant> closes;
};

TEST_F(CalendarFormWindowTest, shown_as_a_non_activating_child_laid_out_at_the_display_resolution) {
  const HWND form = window_->hwnd();
  EXPECT_FALSE(::IsWindowVisible(form));
  show(ymd(2026, 3, 12));
  EXPECT_EQ(::GetParent(form), host_.book);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE)), DWORD{WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VISIBLE});
  // The window manager keeps WS_EX_TOPMOST to itself (SetWindowLong neither sets nor clears it, on
  // Windows as under Wine): the form is asked for both and keeps the non-activating bit.
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_EXSTYLE)) & ~DWORD{WS_EX_TOPMOST}, DWORD{WS_EX_NOACTIVATE});
  RECT r{};
  ::GetWindowRect(form, &r);
  EXPECT_EQ(std::tuple(r.left, r.top), std::tuple(at_.x, at_.y));
  const int dpi = win::WindowDpi(host_.main);
  expect_laid_out_at(dpi);
  EXPECT_EQ(text_of(FormControl::Years), L"2026");
  EXPECT_EQ(text_of(FormControl::Months), L"March");
  expect_host_keeps_activation();
  EXPECT_TRUE(testing::SaveScreen({at_.x - 20, at_.y - 20, r.right + 20, r.bottom + 20},
                                  "calendar_form_" + std::to_string(dpi) + "dpi.png"));

  form_->HideCalendar();
  EXPECT_FALSE(::IsWindowVisible(form));
  EXPECT_EQ(::GetParent(form), host_.book) << "it waits where it was shown";
  form_->ReturnHome();
  EXPECT_EQ(std::tuple(::IsWindowVisible(form), ::GetParent(form)), std::tuple(FALSE, host_.main));
}

// Readied in a workbook window, the form waits there hidden; sent home before that window closes it
// lives on, and left there it is known lost, never used through its dead handle.
TEST_F(CalendarFormWindowTest, readied_in_a_workbook_window_and_out_before_it_closes) {
  for (const bool sent_home : {true, false}) {
    const HWND book = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, host_.main, nullptr,
                                        nullptr, nullptr);
    ASSERT_TRUE(book);
    form_->Prepare(Variant::date(ymd(2026, 3, 12)), reinterpret_cast<WindowHandle>(book));
    const HWND form = window_->hwnd();
    EXPECT_EQ(std::tuple(::IsWindowVisible(form), ::GetParent(form)), std::tuple(FALSE, book)) << sent_home;
    if (sent_home) form_->ReturnHome();
    ::DestroyWindow(book);
    EXPECT_EQ(std::tuple(form_->WindowLost(), ::IsWindow(form) != FALSE), std::tuple(!sent_home, sent_home)) << sent_home;
  }
}

// The host's window gone to a display of another resolution: the form, its controls and its picture
// are laid out again there, and the calendar inside follows the picture's new size.
TEST_F(CalendarFormWindowTest, laid_out_again_at_another_resolution) {
  show(ymd(2026, 3, 12));
  const int dpi = win::WindowDpi(host_.main) * 3 / 2;
  window_->set_resolution(dpi);
  Pump(50);
  expect_laid_out_at(dpi);
  EXPECT_GE(cal().DayCells().Item(1).Right() - cal().DayCells().Item(1).Left(), 47) << "day cells of 32 pixels at 96";
  form_->HideCalendar();
}

TEST_F(CalendarFormWindowTest, a_click_on_a_day_closes_with_it_and_a_double_click_picks_twice) {
  show(ymd(2026, 3, 12));
  const POINT p = day_on_screen(ymd(2026, 3, 19));
  ClickAt(p.x, p.y);
  ASSERT_EQ(closes, (std::vector<Variant>{Variant::date(ymd(2026, 3, 19))}));
  expect_host_keeps_activation();
  closes.clear();
  const POINT q = day_on_screen(ymd(2026, 3, 24));
  testing::DoubleClickAt(q.x, q.y);
  EXPECT_EQ(closes, (std::vector<Variant>{Variant::date(ymd(2026, 3, 24)), Variant::date(ymd(2026, 3, 24))}));
}

TEST_F(CalendarFormWindowTest, buttons_and_keys) {
  show(ymd(2025, 11, 30));
  ClickWindow(control(FormControl::Today));
  EXPECT_EQ(serial::to_parts(cal().CalendarCustomDate()).month, 3);
  EXPECT_TRUE(closes.empty());

  click_title();  // the calendar takes the keys
  testing::PressKey(VK_NEXT);
  EXPECT_EQ(serial::to_parts(cal().CalendarCustomDate()).month, 4);
  EXPECT_EQ(window_->months().selected_index(), 3);
  testing::PressKey(VK_PRIOR);
  testing::PressKey(VK_PRIOR);
  EXPECT_EQ(serial::to_parts(cal().CalendarCustomDate()).month, 2);
  EXPECT_TRUE(closes.empty());
  testing::PressKey(VK_ESCAPE);
  EXPECT_EQ(closes, (std::vector<Variant>{Variant::text("")}));

  closes.clear();
  ClickWindow(control(FormControl::Close));
  EXPECT_EQ(closes, (std::vector<Variant>{Variant::text("")}));
  expect_host_keeps_activation();
}

TEST_F(CalendarFormWindowTest, month_list_chosen_by_keys_and_its_escape_kept_for_the_open_list) {
  show(ymd(2026, 1, 31));
  ClickWindow(control(FormControl::Months));  // opens the list
  ASSERT_TRUE(::SendMessageW(control(FormControl::Months), CB_GETDROPPEDSTATE, 0, 0));
  testing::PressKey(VK_ESCAPE);
  EXPECT_FALSE(::SendMessageW(control(FormControl::Months), CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_TRUE(closes.empty()) << "Escape in an open list only closes the list";
  testing::PressKey(VK_DOWN);  // the closed list steps to February
  EXPECT_EQ(cal().CalendarCustomDate(), ymd(2026, 2, 28));
  EXPECT_EQ(window_->months().selected_index(), 1);
  testing::PressKey(VK_ESCAPE);
  EXPECT_EQ(closes, (std::vector<Variant>{Variant::text("")}));
}

TEST_F(CalendarFormWindowTest, a_two_digit_year_typed_into_the_year_box) {
  show(ymd(2026, 3, 12));
  ClickWindow(control(FormControl::Years));
  testing::PressKey(VK_END);
  for (int i = 0; i < 4; ++i) testing::PressKey(VK_BACK);
  testing::TypeText("11");
  click_title();  // leaving the box
  EXPECT_EQ(text_of(FormControl::Years), L"2011");
  EXPECT_EQ(serial::to_parts(cal().CalendarCustomDate()).year, 2011);
  EXPECT_TRUE(closes.empty());
}

// The text of the tooltip on screen, or empty when none shows.
std::wstring ShownTooltipText() {
  for (HWND t = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); t;
       t = ::FindWindowExW(nullptr, t, TOOLTIPS_CLASSW, nullptr)) {
    if (!::IsWindowVisible(t)) continue;
    wchar_t text[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.lpszText = text;
    if (::SendMessageW(t, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info))) return text;
  }
  return {};
}

TEST_F(CalendarFormWindowTest, tooltip_shows_when_the_pointer_rests_on_a_button) {
  show(ymd(2026, 3, 12));
  RECT r{};
  ::GetClientRect(control(FormControl::Today), &r);
  const POINT p = testing::ScreenCentre(control(FormControl::Today), r);
  testing::MoveTo(p.x, p.y);
  testing::MoveTo(p.x + 1, p.y);
  Pump(1200);  // the default delay is 500 ms
  EXPECT_EQ(ShownTooltipText(), L"Display today's date");
}

// The pop-up and the tag are made in the DPI awareness of the host's window, whatever the thread's,
// so that they can become children of the host's windows; the thread keeps its own afterwards. The
// functions are looked up as the add-in does: a system without them has one awareness for all.
template <class Function>
Function FromUser32(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

TEST(CalendarFormWindowAwareness, windows_made_in_the_awareness_of_the_host_window) {
  using Context = DPI_AWARENESS_CONTEXT;
  const auto of_window = FromUser32<Context(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
  const auto set_thread = FromUser32<Context(WINAPI*)(Context)>("SetThreadDpiAwarenessContext");
  const auto of_thread = FromUser32<Context(WINAPI*)()>("GetThreadDpiAwarenessContext");
  const auto same = FromUser32<BOOL(WINAPI*)(Context, Context)>("AreDpiAwarenessContextsEqual");
  if (!of_window || !set_thread || !of_thread || !same) GTEST_SKIP() << "no per-window DPI awareness on this system";

  // The host's windows made per-monitor aware, the thread then unaware.
  const Context before = set_thread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  ASSERT_NE(before, nullptr);
  testing::HostWindows host;
  set_thread(DPI_AWARENESS_CONTEXT_UNAWARE);
  const Context host_context = of_window(host.main);
  ASSERT_TRUE(same(host_context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) << "the system keeps an awareness per window";
  ASSERT_FALSE(same(of_thread(), host_context));

  sim::MemoryServices platform;
  mVantry m;
  m.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(host.main);
  InitSystem(m, platform.services());
  std::unique_ptr<IGraphics> graphics = MakePlatformGraphics();
  std::unique_ptr<ICalendarForm> form =
      win::CreateCalendarForm({m, *graphics, platform.clock, LocaleData::us_english(), {}}, host.main);
  std::unique_ptr<ITagForm> tag = win::CreateTagForm(host.main);
  auto& window = static_cast<win::CalendarFormWindow&>(static_cast<calendar::frmCal&>(*form).Window());
  EXPECT_TRUE(same(of_window(window.hwnd()), host_context));
  EXPECT_TRUE(same(of_window(window.control(FormControl::Years)), host_context)) << "its controls too";
  EXPECT_TRUE(same(of_window(reinterpret_cast<HWND>(tag->Handle())), host_context));
  EXPECT_TRUE(same(of_thread(), DPI_AWARENESS_CONTEXT_UNAWARE)) << "the thread keeps its own";

  // Shown in the workbook window: a child of a window of the same awareness.
  POINT at{60, 60};
  ::ClientToScreen(host.book, &at);
  form->ShowCalendar(at.x, at.y, Variant(), reinterpret_cast<WindowHandle>(host.book));
  EXPECT_EQ(::GetParent(window.hwnd()), host.book);
  form->HideCalendar();
  set_thread(before);
}

using win::com_ptr;
using Element = com_ptr<IRawElementProviderSimple>;

std::wstring Text(const Element& e, PROPERTYID id) {
  win::unique_variant v;
  if (FAILED(e->GetPropertyValue(id, v.put())) || v.type() != VT_BSTR) return {};
  return V_BSTR(&v.get());
}
int Int(const Element& e, PROPERTYID id) {
  win::unique_variant v;
  return SUCCEEDED(e->GetPropertyValue(id, v.put())) && v.type() == VT_I4 ? V_I4(&v.get()) : -1;
}
Element Go(const Element& e, NavigateDirection direction) {
  com_ptr<IRawElementProviderFragment> next;
  if (!e || FAILED(e.as<IRawElementProviderFragment>()->Navigate(direction, next.put()))) return {};
  return next.as<IRawElementProviderSimple>();
}
std::vector<int> RuntimeIdOf(const Element& e) {
  SAFEARRAY* a = nullptr;
  if (FAILED(e.as<IRawElementProviderFragment>()->GetRuntimeId(&a)) || !a) return {};
  win::unique_safearray owned(a);
  std::vector<int> id;
  LONG lo = 0, hi = -1;
  ::SafeArrayGetLBound(a, 1, &lo);
  ::SafeArrayGetUBound(a, 1, &hi);
  for (LONG i = lo; i <= hi; ++i) {
    LONG v = 0;
    ::SafeArrayGetElement(a, &i, &v);
    id.push_back(static_cast<int>(v));
  }
  return id;
}
template <class Pattern>
com_ptr<Pattern> As(const Element& e, PATTERNID id) {
  com_ptr<IUnknown> p;
  if (FAILED(e->GetPatternProvider(id, p.put())) || !p) return {};
  return p.as<Pattern>();
}
// The elements of a SAFEARRAY of providers, which it takes over.
std::vector<Element> Unpack(SAFEARRAY* array) {
  win::unique_safearray owned(array);
  std::vector<Element> out;
  LONG lo = 0, hi = -1;
  if (!array || FAILED(::SafeArrayGetLBound(array, 1, &lo)) || FAILED(::SafeArrayGetUBound(array, 1, &hi))) return out;
  for (LONG i = lo; i <= hi; ++i) {
    com_ptr<IUnknown> u;
    if (SUCCEEDED(::SafeArrayGetElement(array, &i, u.put_void()))) out.push_back(u.as<IRawElementProviderSimple>());
  }
  return out;
}
std::vector<std::wstring> Names(const std::vector<Element>& elements) {
  std::vector<std::wstring> names;
  for (const Element& e : elements) names.push_back(Text(e, UIA_NamePropertyId));
  return names;
}

// What UI Automation was told, through stand-ins for its functions: an event and the name of the
// element it names.
struct Heard {
  EVENTID event;  // 0: the window let go of its elements
  std::wstring text;
  friend bool operator==(const Heard&, const Heard&) = default;
  friend std::ostream& operator<<(std::ostream& o, const Heard& h) { return o << h.event << ' ' << win::to_utf8(h.text); }
};
std::vector<Heard> g_heard;
LRESULT WINAPI HeardReturn(HWND, WPARAM, LPARAM, IRawElementProviderSimple* element) {
  if (!element) g_heard.push_back({0, L""});
  return element ? 1 : 0;
}
HRESULT WINAPI HeardEvent(IRawElementProviderSimple* element, EVENTID event) {
  g_heard.push_back({event, Text(Element(element), UIA_NamePropertyId)});
  return S_OK;
}
HRESULT WINAPI HeardStructure(IRawElementProviderSimple* element, win::uia::StructureChangeType, int*, int) {
  g_heard.push_back({win::uia::kStructureChangedEvent, Text(Element(element), UIA_NamePropertyId)});
  return S_OK;
}
HRESULT WINAPI HeardProperty(IRawElementProviderSimple* element, PROPERTYID id, VARIANT, VARIANT) {
  if (id == UIA_NamePropertyId) g_heard.push_back({win::uia::kPropertyChangedEvent, Text(Element(element), id)});
  return S_OK;
}
HRESULT WINAPI HeardNotification(IRawElementProviderSimple*, win::uia::NotificationKind, win::uia::NotificationProcessing,
                                 BSTR text, BSTR) {
  g_heard.push_back({win::uia::kNotificationEvent, text});
  return S_OK;
}

// The day grid's UI Automation provider read through its own interfaces, as a UI Automation client
// would (Wine has no IUIAutomation client to do it).
class DayGridUiaTest : public CalendarFormWindowTest {
 protected:
  void SetUp() override {
    CalendarFormWindowTest::SetUp();
    show(ymd(2026, 3, 12));
    picture_ = static_cast<win::PictureWindow*>(&window_->picture());
    ASSERT_TRUE(picture_->uia());
    root_ = picture_->uia()->root();
    ASSERT_TRUE(root_);
  }
  Element Cell(int row, int column) {
    Element cell;
    EXPECT_EQ(As<IGridProvider>(root_, UIA_GridPatternId)->GetItem(row, column, cell.put()), S_OK);
    return cell;
  }
  std::vector<Element> Selection() {
    SAFEARRAY* a = nullptr;
    EXPECT_EQ(As<ISelectionProvider>(root_, UIA_SelectionPatternId)->GetSelection(&a), S_OK);
    return Unpack(a);
  }

  win::PictureWindow* picture_ = nullptr;
  Element root_;
};

TEST_F(DayGridUiaTest, the_day_grid_is_a_calendar_of_42_days_named_by_their_long_date_and_two_month_buttons) {
  EXPECT_NE(::SendMessageW(picture_->hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(win::uia::kRootObjectId)), 0)
      << "the window hands its provider to UI Automation";
  EXPECT_EQ(Int(root_, UIA_ControlTypePropertyId), 50001);
  EXPECT_EQ(Text(root_, UIA_NamePropertyId), L"March 2026");
  int rows = 0, columns = 0;
  const auto grid = As<IGridProvider>(root_, UIA_GridPatternId);
  ASSERT_TRUE(grid && As<ITableProvider>(root_, UIA_TablePatternId));
  EXPECT_EQ(grid->get_RowCount(&rows), S_OK);
  EXPECT_EQ(grid->get_ColumnCount(&columns), S_OK);
  EXPECT_EQ(rows * 100 + columns, 607);

  const std::vector<std::wstring> weekdays{L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
  SAFEARRAY* headers = nullptr;
  ASSERT_EQ(As<ITableProvider>(root_, UIA_TablePatternId)->GetColumnHeaders(&headers), S_OK);
  EXPECT_EQ(Names(Unpack(headers)), weekdays);

  // The tree: the calendar holds a data grid of the header row with its seven items, one list item
  // per day, and the month arrows.
  const Element data_grid = Go(root_, NavigateDirection_FirstChild);
  EXPECT_EQ(std::tuple(Int(data_grid, UIA_ControlTypePropertyId), Text(data_grid, UIA_NamePropertyId),
                       Text(Go(data_grid, NavigateDirection_Parent), UIA_NamePropertyId), Text(root_, UIA_FrameworkIdPropertyId)),
            std::tuple(50028, std::wstring(L"March 2026"), std::wstring(L"March 2026"), std::wstring(L"Win32")));
  const Element header_row = Go(data_grid, NavigateDirection_FirstChild);
  EXPECT_EQ(Int(header_row, UIA_ControlTypePropertyId), 50034);
  std::vector<Element> items;
  for (Element e = Go(header_row, NavigateDirection_FirstChild); e; e = Go(e, NavigateDirection_NextSibling)) items.push_back(e);
  EXPECT_EQ(Names(items), weekdays);
  std::vector<Element> days;
  for (Element e = Go(header_row, NavigateDirection_NextSibling); e; e = Go(e, NavigateDirection_NextSibling)) days.push_back(e);
  ASSERT_EQ(days.size(), 44u);
  EXPECT_EQ(Text(Go(days[0], NavigateDirection_Parent), UIA_NamePropertyId), L"March 2026");
  EXPECT_EQ(std::tuple(Int(days[42], UIA_ControlTypePropertyId), Text(days[42], UIA_NamePropertyId), Text(days[43], UIA_NamePropertyId)),
            std::tuple(50000, std::wstring(L"Previous month"), std::wstring(L"Next month")));
  ASSERT_TRUE(As<IInvokeProvider>(days[43], UIA_InvokePatternId));
  EXPECT_FALSE(As<ISelectionItemProvider>(days[43], UIA_SelectionItemPatternId)) << "a button, not a day";

  struct Day {
    int index;
    const wchar_t* name;
    const wchar_t* status;
  };
  for (const Day& d : {Day{0, L"Sunday, February 22, 2026", L""}, Day{11, L"Thursday, March 5, 2026", L"Today"},
                       Day{18, L"Thursday, March 12, 2026", L""}, Day{41, L"Saturday, April 4, 2026", L""}}) {
    const Element& e = days[static_cast<std::size_t>(d.index)];
    EXPECT_EQ(Int(e, UIA_ControlTypePropertyId), 50007) << d.index;
    EXPECT_EQ(Text(e, UIA_NamePropertyId), d.name) << d.index;
    EXPECT_EQ(Text(e, UIA_ItemStatusPropertyId), d.status) << d.index;
    EXPECT_EQ(Text(Cell(d.index / 7, d.index % 7), UIA_NamePropertyId), d.name) << d.index;
  }
  Element none;
  EXPECT_EQ(grid->GetItem(6, 0, none.put()), E_INVALIDARG);
  EXPECT_EQ(grid->GetItem(0, -1, none.put()), E_INVALIDARG);

  // The start day is the one selected, in its place, where it shows on the screen.
  const std::vector<Element> selected = Selection();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(Text(selected[0], UIA_NamePropertyId), L"Thursday, March 12, 2026");
  BOOL is = FALSE;
  EXPECT_EQ(As<ISelectionItemProvider>(days[18], UIA_SelectionItemPatternId)->get_IsSelected(&is), S_OK);
  EXPECT_TRUE(is);
  As<ISelectionItemProvider>(days[17], UIA_SelectionItemPatternId)->get_IsSelected(&is);
  EXPECT_FALSE(is);
  int row = -1, column = -1;
  const auto place = As<IGridItemProvider>(days[18], UIA_GridItemPatternId);
  place->get_Row(&row);
  place->get_Column(&column);
  EXPECT_EQ(row * 10 + column, 24);
  UiaRect box{};
  ASSERT_EQ(days[18].as<IRawElementProviderFragment>()->get_BoundingRectangle(&box), S_OK);
  const calendar::clsDateItem& cell = cal().DayCells().Item(12);
  POINT origin{0, 0};
  ::ClientToScreen(picture_->hwnd(), &origin);
  EXPECT_EQ(box.left, origin.x + cell.Left());
  EXPECT_EQ(box.top, origin.y + cell.TOp());
  EXPECT_EQ(box.width, cell.Right() - cell.Left());
  com_ptr<IRawElementProviderFragment> hit;
  ASSERT_EQ(root_.as<IRawElementProviderFragmentRoot>()->ElementProviderFromPoint(box.left + box.width / 2,
                                                                                    box.top + box.height / 2, hit.put()),
            S_OK);
  EXPECT_EQ(Text(hit.as<IRawElementProviderSimple>(), UIA_NamePropertyId), L"Thursday, March 12, 2026");
  EXPECT_TRUE(closes.empty());
}

TEST_F(DayGridUiaTest, select_moves_the_focus_day_without_writing_and_invoke_writes_the_day) {
  ASSERT_EQ(As<ISelectionItemProvider>(Cell(3, 6), UIA_SelectionItemPatternId)->Select(), S_OK);
  EXPECT_EQ(cal().FocusDate(), ymd(2026, 3, 21));
  EXPECT_EQ(Names(Selection()), std::vector<std::wstring>{L"Thursday, March 12, 2026"}) << "the day a pick replaces";
  EXPECT_EQ(As<ISelectionItemProvider>(Cell(2, 3), UIA_SelectionItemPatternId)->AddToSelection(), win::uia::kInvalidOperation)
      << "one day at a time";
  EXPECT_TRUE(closes.empty()) << "selecting writes nothing";
  for (HRESULT hr : {As<ISelectionItemProvider>(Cell(0, 0), UIA_SelectionItemPatternId)->Select(),
                     As<IInvokeProvider>(Cell(0, 0), UIA_InvokePatternId)->Invoke()})
    EXPECT_EQ(hr, win::uia::kElementNotEnabled) << "22 February is shown grey";
  EXPECT_EQ(cal().FocusDate(), ymd(2026, 3, 21));
  EXPECT_TRUE(closes.empty());

  ASSERT_EQ(As<IInvokeProvider>(Cell(1, 3), UIA_InvokePatternId)->Invoke(), S_OK);
  EXPECT_TRUE(closes.empty()) << "the pick waits for the call to return";
  testing::Pump(50);
  EXPECT_EQ(closes, std::vector<Variant>{Variant::date(ymd(2026, 3, 4))});
}

TEST_F(DayGridUiaTest, readers_hear_the_focus_day_move_the_month_change_and_a_day_picked) {
  constexpr EVENTID kFocus = win::uia::kFocusChangedEvent, kSelected = win::uia::kElementSelectedEvent;
  constexpr EVENTID kStructure = win::uia::kStructureChangedEvent, kName = win::uia::kPropertyChangedEvent;
  const win::uia::CoreFunctions all{HeardReturn, HeardEvent, HeardNotification, nullptr, HeardStructure, HeardProperty};
  win::uia::CoreFunctions older = all;  // before Windows 10's notifications
  older.raise_notification = nullptr;
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<Heard> heard;
  };
  const std::vector<Step> steps{
      {"Right", [] { testing::PressKey(VK_RIGHT); }, {{kFocus, L"Friday, March 13, 2026"}}},
      {"Page Down",
       [] { testing::PressKey(VK_NEXT); },
       {{kStructure, L"April 2026"}, {kName, L"April 2026"}, {win::uia::kNotificationEvent, L"April 2026"},
        {kFocus, L"Monday, April 13, 2026"}}},
      {"Select", [&] { As<ISelectionItemProvider>(Cell(3, 1), UIA_SelectionItemPatternId)->Select(); },
       {{kFocus, L"Monday, April 20, 2026"}}},
      {"Page Down without notifications",
       [&] {
         picture_->uia()->use(older);
         testing::PressKey(VK_NEXT);
       },
       {{kStructure, L"May 2026"}, {kName, L"May 2026"}, {kFocus, L"Wednesday, May 20, 2026"}}},
      {"the Next month button",
       [&] {
         As<IInvokeProvider>(Go(Go(root_, NavigateDirection_FirstChild), NavigateDirection_LastChild), UIA_InvokePatternId)
             ->Invoke();
         testing::Pump(50);
       },
       {{win::uia::kInvokedEvent, L"Next month"}, {kStructure, L"June 2026"}, {kName, L"June 2026"},
        {kFocus, L"Saturday, June 20, 2026"}}},
      // The pick is told while the calendar still shows it.
      {"Invoke",
       [&] {
         As<IInvokeProvider>(Cell(1, 0), UIA_InvokePatternId)->Invoke();
         testing::Pump(50);
       },
       {{win::uia::kInvokedEvent, L"Sunday, June 7, 2026"}, {kFocus, L"Sunday, June 7, 2026"}, {kSelected, L"Sunday, June 7, 2026"}}},
      {"the window goes", [&] { form_.reset(); }, {{0, L""}}},
  };
  picture_->uia()->use(all);
  click_title();  // the calendar takes the keys
  for (const Step& step : steps) {
    g_heard.clear();
    step.act();
    EXPECT_EQ(g_heard, step.heard) << step.what;
  }
  EXPECT_EQ(closes, std::vector<Variant>{Variant::date(ymd(2026, 6, 7))});
}

// A cell is its day: its runtime id is the day's, it follows the day to its new place when the
// month changes, and it is gone once the day is no longer shown.
TEST_F(DayGridUiaTest, a_cell_is_its_day_across_a_change_of_month) {
  const Element march12 = Cell(2, 4), april1 = Cell(5, 3);
  const std::vector<int> id = RuntimeIdOf(march12);
  EXPECT_EQ(id, (std::vector<int>{win::uia::kAppendRuntimeId, 3, static_cast<int>(ymd(2026, 3, 12))}));
  EXPECT_EQ(Text(march12, UIA_FrameworkIdPropertyId), L"Win32");
  ASSERT_EQ(As<IInvokeProvider>(Go(Go(root_, NavigateDirection_FirstChild), NavigateDirection_LastChild), UIA_InvokePatternId)
                ->Invoke(),
            S_OK);
  testing::Pump(50);
  ASSERT_EQ(Text(root_, UIA_NamePropertyId), L"April 2026");
  win::unique_variant v;
  EXPECT_EQ(march12->GetPropertyValue(UIA_NamePropertyId, v.put()), win::uia::kElementNotAvailable) << "12 March is not shown";
  const Element april16 = Cell(2, 4);
  EXPECT_EQ(Text(april16, UIA_NamePropertyId), L"Thursday, April 16, 2026");
  EXPECT_NE(RuntimeIdOf(april16), id) << "another day at the same place is another element";
  int row = -1;
  As<IGridItemProvider>(april1, UIA_GridItemPatternId)->get_Row(&row);
  EXPECT_EQ(std::tuple(Text(april1, UIA_NamePropertyId), row), std::tuple(std::wstring(L"Wednesday, April 1, 2026"), 0));
}

// Without UI Automation on the system the window answers nothing, and its MSAA object alone serves.
TEST_F(DayGridUiaTest, without_ui_automation_nothing_answers_for_it) {
  picture_->uia()->use({});
  EXPECT_EQ(::SendMessageW(picture_->hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(win::uia::kRootObjectId)), 0);
  EXPECT_NE(::SendMessageW(picture_->hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
}

TEST_F(DayGridUiaTest, elements_outliving_the_window_are_no_longer_available) {
  const Element day = Cell(2, 4), header = Go(root_, NavigateDirection_FirstChild);
  form_.reset();
  win::unique_variant v;
  com_ptr<IRawElementProviderFragment> next;
  com_ptr<IUnknown> pattern;
  int rows = 0;
  const std::vector<std::function<HRESULT()>> calls{
      [&] { return root_->GetPropertyValue(UIA_NamePropertyId, v.put()); },
      [&] { return root_->GetPatternProvider(UIA_GridPatternId, pattern.put()); },
      [&] { return root_.as<IGridProvider>()->get_RowCount(&rows); },
      [&] { return day->GetPropertyValue(UIA_NamePropertyId, v.put()); },
      [&] { return day.as<IInvokeProvider>()->Invoke(); },
      [&] { return day.as<ISelectionItemProvider>()->Select(); },
      [&] { return day.as<IRawElementProviderFragment>()->Navigate(NavigateDirection_Parent, next.put()); },
      [&] { return header->GetPropertyValue(UIA_NamePropertyId, v.put()); },
  };
  for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i](), win::uia::kElementNotAvailable) << i;
  EXPECT_TRUE(closes.empty());
}

}  // namespace
}  // namespace tessaly
#endif  // _WIN32
