// The day grid's UI Automation provider in a real calendar window, read through its own
// interfaces as a UI Automation client would (Wine has no IUIAutomation client to do it).
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "date/serial_date.h"
#include "host/platform_graphics.h"
#include "settings/init_system.h"
#include "sim/memory_services.h"
#include "support/win_ui.h"
#include "win/ui/calendar_form_window.h"
#include "win/ui/picture_window.h"

namespace tessaly {
namespace {

using win::com_ptr;
using Element = com_ptr<IRawElementProviderSimple>;

double ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }

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

class DayGridUiaTest : public ::testing::Test, public ICalendarFormEvents {
 protected:
  void SetUp() override {
    platform_.clock.serial = ymd(2024, 2, 12) + 0.5;
    m_.ExcelMainWindow = reinterpret_cast<std::uintptr_t>(host_.main);
    InitSystem(m_, platform_.services());
    form_ = win::CreateCalendarForm({m_, *graphics_, platform_.clock, LocaleData::us_english(), {}}, host_.main);
    form_->SetEventSink(this);
    POINT at{60, 60};
    ::ClientToScreen(host_.book, &at);
    form_->ShowCalendar(at.x, at.y, Variant::date(ymd(2024, 2, 29)), reinterpret_cast<WindowHandle>(host_.book));
    testing::Pump(150);
    window_ = static_cast<win::CalendarFormWindow*>(&static_cast<calendar::frmCal&>(*form_).Window());
    picture_ = static_cast<win::PictureWindow*>(&window_->picture());
    root_ = picture_->uia_root();
    ASSERT_TRUE(root_);
  }
  void CalendarClose(const Variant& v) override { closes.push_back(v); }

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

  testing::HostWindows host_;
  std::unique_ptr<IGraphics> graphics_ = MakePlatformGraphics();
  sim::MemoryServices platform_;
  mVantry m_;
  std::unique_ptr<ICalendarForm> form_;
  win::CalendarFormWindow* window_ = nullptr;
  win::PictureWindow* picture_ = nullptr;
  Element root_;
  std::vector<Variant> closes;
};

TEST_F(DayGridUiaTest, the_day_grid_is_a_calendar_of_42_days_named_by_their_long_date) {
  EXPECT_NE(::SendMessageW(picture_->hwnd(), WM_GETOBJECT, 0, static_cast<LPARAM>(win::uia::kRootObjectId)), 0)
      << "the window hands its provider to UI Automation";
  EXPECT_EQ(Int(root_, UIA_ControlTypePropertyId), 50001);
  EXPECT_EQ(Text(root_, UIA_NamePropertyId), L"February 2024");
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

  // The tree: the header row with its seven items, then one list item per day.
  const Element header_row = Go(root_, NavigateDirection_FirstChild);
  EXPECT_EQ(Int(header_row, UIA_ControlTypePropertyId), 50034);
  std::vector<Element> items;
  for (Element e = Go(header_row, NavigateDirection_FirstChild); e; e = Go(e, NavigateDirection_NextSibling)) items.push_back(e);
  EXPECT_EQ(Names(items), weekdays);
  std::vector<Element> days;
  for (Element e = Go(header_row, NavigateDirection_NextSibling); e; e = Go(e, NavigateDirection_NextSibling)) days.push_back(e);
  ASSERT_EQ(days.size(), 42u);
  EXPECT_EQ(Text(Go(days[0], NavigateDirection_Parent), UIA_NamePropertyId), L"February 2024");

  struct Day {
    int index;
    const wchar_t* name;
    const wchar_t* status;
  };
  for (const Day& d : {Day{0, L"Sunday, January 28, 2024", L""}, Day{15, L"Monday, February 12, 2024", L"Today"},
                       Day{32, L"Thursday, February 29, 2024", L""}, Day{41, L"Saturday, March 9, 2024", L""}}) {
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
  EXPECT_EQ(Text(selected[0], UIA_NamePropertyId), L"Thursday, February 29, 2024");
  BOOL is = FALSE;
  EXPECT_EQ(As<ISelectionItemProvider>(days[32], UIA_SelectionItemPatternId)->get_IsSelected(&is), S_OK);
  EXPECT_TRUE(is);
  As<ISelectionItemProvider>(days[31], UIA_SelectionItemPatternId)->get_IsSelected(&is);
  EXPECT_FALSE(is);
  int row = -1, column = -1;
  const auto place = As<IGridItemProvider>(days[32], UIA_GridItemPatternId);
  place->get_Row(&row);
  place->get_Column(&column);
  EXPECT_EQ(row * 10 + column, 44);
  UiaRect box{};
  ASSERT_EQ(days[32].as<IRawElementProviderFragment>()->get_BoundingRectangle(&box), S_OK);
  const calendar::clsDateItem& cell = static_cast<calendar::frmCal&>(*form_).Calendar().DayCells().Item(29);
  POINT origin{0, 0};
  ::ClientToScreen(picture_->hwnd(), &origin);
  EXPECT_EQ(box.left, origin.x + cell.Left());
  EXPECT_EQ(box.top, origin.y + cell.TOp());
  EXPECT_EQ(box.width, cell.Right() - cell.Left());
  com_ptr<IRawElementProviderFragment> hit;
  ASSERT_EQ(root_.as<IRawElementProviderFragmentRoot>()->ElementProviderFromPoint(box.left + box.width / 2,
                                                                                    box.top + box.height / 2, hit.put()),
            S_OK);
  EXPECT_EQ(Text(hit.as<IRawElementProviderSimple>(), UIA_NamePropertyId), L"Thursday, February 29, 2024");
  EXPECT_TRUE(closes.empty());
}

TEST_F(DayGridUiaTest, select_moves_the_focus_day_without_writing_and_invoke_writes_the_day) {
  calendar::clsDualMonths& cal = static_cast<calendar::frmCal&>(*form_).Calendar();
  const Element feb17 = Cell(2, 6);
  ASSERT_EQ(As<ISelectionItemProvider>(feb17, UIA_SelectionItemPatternId)->Select(), S_OK);
  EXPECT_EQ(cal.FocusDate(), ymd(2024, 2, 17));
  EXPECT_EQ(Names(Selection()), std::vector<std::wstring>{L"Saturday, February 17, 2024"});
  EXPECT_EQ(As<ISelectionItemProvider>(Cell(4, 4), UIA_SelectionItemPatternId)->AddToSelection(), win::uia::kInvalidOperation)
      << "one day at a time";
  EXPECT_TRUE(closes.empty()) << "selecting writes nothing";

  ASSERT_EQ(As<IInvokeProvider>(Cell(1, 3), UIA_InvokePatternId)->Invoke(), S_OK);
  EXPECT_EQ(closes, std::vector<Variant>{Variant::date(ymd(2024, 2, 7))});
}

TEST_F(DayGridUiaTest, elements_outliving_the_window_are_no_longer_available) {
  const Element day = Cell(4, 4), header = Go(root_, NavigateDirection_FirstChild);
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
