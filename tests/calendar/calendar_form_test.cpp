// The calendar pop-up form on a windowless form window: settings on show, the month list and the
// year box against the calendar, Go to Today, the ways it closes, and the page keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "calendar/form_layout.h"
#include "calendar/frm_cal.h"
#include "date/serial_date.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/desktop.h"
#include "sim/headless_form.h"
#include "sim/memory_services.h"
#include "sim/raster_surface.h"

namespace tessaly::calendar {
namespace {

double ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }

struct FormWorld : ICalendarFormEvents {
  FormWorld() {
    clock.serial = ymd(2024, 9, 18) + 0.4;
    m.ExcelMainWindow = 0x99;
    InitSystem(m, platform.services());
    auto w = std::make_unique<sim::HeadlessCalendarFormWindow>();
    window = w.get();
    form = std::make_unique<frmCal>(CalendarFormServices{m, graphics, clock, LocaleData::us_english(),
                                                         [this](std::uintptr_t owner) {
                                                           options_owner = owner;
                                                           if (on_options) on_options();
                                                         }},
                                    std::move(w));
    form->SetEventSink(this);
  }
  void CalendarClose(const Variant& v) override { closes.push_back(v); }
  void show(double start) { form->ShowCalendar(10, 20, Variant::date(start), 0x77); }
  void click_day(double date) {
    for (const clsDateItem& d : form->Calendar().DayCells())
      if (d.DateTime() == date) window->headless_picture().click((d.Left() + d.Right()) / 2, (d.TOp() + d.Bottom()) / 2);
  }
  cUtilRegMan& reg() { return *m.RegMan; }

  sim::MemoryServices platform;
  sim::SettableClock& clock = platform.clock;
  sim::RasterGraphics graphics;
  mVantry m;
  sim::HeadlessCalendarFormWindow* window = nullptr;
  std::unique_ptr<frmCal> form;
  std::vector<Variant> closes;
  std::uintptr_t options_owner = 0;
  std::function<void()> on_options;
};

// A form on a desktop of two displays, 96 and 144 DPI, with a workbook window on each (0x77, 0x78).
struct TwoDisplayDesk : sim::SimDesktop {
  TwoDisplayDesk() {
    displays = {{{0, 0, 1920, 1080}, 96, 96}, {{1920, 0, 3840, 1080}, 144, 144}};
    AddWindow(0x77, "EXCEL7", current_process, {100, 100, 900, 700});
    AddWindow(0x78, "EXCEL7", current_process, {2000, 100, 3000, 900});
  }
};
struct TwoDisplays {
  FormWorld w;
  TwoDisplayDesk desk;
  std::unique_ptr<sim::HeadlessCalendarFormWindow> made = std::make_unique<sim::HeadlessCalendarFormWindow>();
  sim::HeadlessCalendarFormWindow& window = *made;
  frmCal form{CalendarFormServices{w.m, w.graphics, w.clock, LocaleData::us_english(), {}, &desk}, std::move(made)};
};

TEST(calendar_form, show_applies_settings_once) {
  FormWorld w;
  w.show(ymd(2023, 2, 14));
  const auto& win = *w.window;
  EXPECT_EQ(std::tuple(w.form->Shown(), win.visible, win.parent), std::tuple(true, true, 0x77u));
  EXPECT_EQ(win.at, (Rect{10, 20, 10, 20}));
  // The stored border colour is no colour at all, so the design's orange stays.
  EXPECT_EQ(std::tuple(win.border_color, win.back_color), std::tuple(0x000080FFu, 0x00C0FFFFu));
  EXPECT_EQ(win.border, (Rect{0, 0, 345, 177}));
  const auto& months = w.window->headless_months();
  ASSERT_EQ(months.items.size(), 12u);
  EXPECT_EQ(std::tuple(months.items[1], months.index), std::tuple("February", 1));
  const auto& years = w.window->headless_years();
  ASSERT_EQ(years.items.size(), 101u);
  EXPECT_EQ(std::tuple(years.items.front(), years.items.back(), years.edit_text), std::tuple("2000", "2100", "2023"));
  ASSERT_EQ(w.form->Calendar().SelectedDays().count(), 1u);
  EXPECT_EQ(w.form->Calendar().SelectedDays().Item(1).DateTime(), ymd(2023, 2, 14));
  EXPECT_EQ(w.form->Calendar().DateSelectedBackColor(), static_cast<OleColor>(w.reg().Long(opt::CalDateSelectedBackColor)));
  const int surfaces = w.graphics.surfaces_created();
  EXPECT_EQ(w.window->headless_picture().pixels().copies_in(), 1) << "one month image per opening";
  ASSERT_TRUE(win.tooltips);
  EXPECT_EQ(std::tuple(win.tooltips->max_width, win.tooltips->visible_time_ms), std::tuple(400, 3000));
  EXPECT_EQ(win.tooltips->tips.front().text, "Set options to control how " + w.m.ProductName + "\r\n works");
  EXPECT_TRUE(w.closes.empty()) << "applying settings selects the start day without closing";

  // A second show while shown is ignored; a show after hiding starts again, on today for a non-date.
  w.form->ShowCalendar(500, 600, Variant::date(ymd(2020, 1, 1)), 0x78);
  EXPECT_EQ(win.at, (Rect{10, 20, 10, 20}));
  // Hidden, it waits in the window it was shown in; sent home, in the host's main window.
  w.form->HideCalendar();
  EXPECT_EQ(std::tuple(w.form->Shown(), win.visible, win.parent), std::tuple(false, false, 0x77u));
  w.form->ReturnHome();
  EXPECT_EQ(std::tuple(win.visible, win.parent), std::tuple(false, 0x99u));
  w.form->ShowCalendar(1, 2, Variant::text("soon"), 0x78);
  EXPECT_EQ(std::tuple(w.form->StartDate(), years.edit_text), std::tuple(ymd(2024, 9, 18), "2024"));
  // A second opening keeps the year list, the tooltips and the month's surface it has, and draws
  // one image.
  EXPECT_EQ(win.tooltips_destroyed, 0);
  EXPECT_EQ(w.graphics.surfaces_created(), surfaces);
  EXPECT_EQ(w.window->headless_picture().pixels().copies_in(), 2);
  EXPECT_EQ(months.clears + years.clears, 2) << "each list filled once";
  EXPECT_EQ(years.items.size(), 101u);
  // The tooltip control's times are 16-bit milliseconds.
  w.reg().Value(opt::TooltipVisibleTime, Variant::i4(100000));
  w.form->HideCalendar();
  w.form->ShowCalendar(1, 2, Variant::text("soon"), 0x78);
  EXPECT_EQ(win.tooltips->visible_time_ms, 32767);
  EXPECT_EQ(win.tooltips_destroyed, 1) << "made again for the changed time";
  w.reg().Value(opt::CalendarYearMax, Variant::i2(2030));
  w.form->HideCalendar();
  w.form->ShowCalendar(1, 2, Variant::text("soon"), 0x78);
  EXPECT_EQ(years.items.size(), 31u) << "filled again for the new range";
}

// The marks' options reach the calendar at each showing; the workbook's holidays only while they
// are asked for, and a weekend text that is no weekend keeps Saturday and Sunday.
TEST(calendar_form, marks_follow_their_options) {
  FormWorld w;
  w.form->SetHolidays({ymd(2024, 9, 16)});
  w.show(ymd(2024, 9, 18));
  const clsDualMonths& c = w.form->Calendar();
  EXPECT_EQ(std::tuple(c.ShowWeekNumbers(), c.MarkWeekends(), c.Holidays().size()), std::tuple(false, false, 0u));
  w.reg().Value(opt::CalShowWeekNumbers, Variant::boolean(true));
  w.reg().Value(opt::CalWeekNumberSystem, Variant::i2(1));
  w.reg().Value(opt::CalMarkWeekends, Variant::boolean(true));
  w.reg().Value(opt::CalWeekendDays, Variant::text("0000110"));
  w.reg().Value(opt::CalMarkHolidays, Variant::boolean(true));
  w.form->HideCalendar();
  w.show(ymd(2024, 9, 18));
  EXPECT_EQ(std::tuple(c.ShowWeekNumbers(), c.WeekNumberSystem(), c.MarkWeekends(), c.Weekend(), c.Holidays()),
            std::tuple(true, WeekNumbering::FirstJanuary, true, *ParseWeekendDays("0000110"),
                       std::vector<double>{ymd(2024, 9, 16)}));
  w.reg().Value(opt::CalWeekendDays, Variant::text("weekend"));
  w.form->HideCalendar();
  w.show(ymd(2024, 9, 18));
  EXPECT_EQ(c.Weekend(), kSaturdaySunday);
}

// The cell's rule for one opening: a cell date it refuses opens the month of the nearest day it
// takes, with the month list and the year box on that month; the tooltip tells the limits; the
// next opening without a rule takes every day again.
TEST(calendar_form, limits_choose_the_month_and_tell_themselves) {
  FormWorld w;
  w.form->SetLimits(DateLimits{LimitOperator::Between, ymd(2024, 11, 5), ymd(2024, 12, 20)});
  w.show(ymd(2024, 9, 18));
  const clsDualMonths& c = w.form->Calendar();
  EXPECT_EQ(std::tuple(c.CalendarCustomDate(), w.window->headless_months().index, w.window->headless_years().edit_text),
            std::tuple(ymd(2024, 11, 5), 10, "2024"));
  EXPECT_EQ(c.SelectedDays().Item(1).DateTime(), ymd(2024, 9, 18)) << "the cell's own date";
  EXPECT_EQ(w.window->tooltips->tips.back().text,
            "Click a date to put it into the current cell\r\nThe cell takes dates from 11/5/2024 to 12/20/2024.");
  w.click_day(ymd(2024, 11, 4));
  EXPECT_TRUE(w.closes.empty());
  w.form->HideCalendar();
  w.form->SetLimits(std::nullopt);
  w.show(ymd(2024, 9, 18));
  EXPECT_EQ(std::tuple(c.CalendarCustomDate(), c.Allows(ymd(2024, 9, 1))), std::tuple(ymd(2024, 9, 18), true));
  EXPECT_EQ(w.window->tooltips->tips.back().text, "Click a date to put it into the current cell");
}

// Readied for a cell while the user moves to the tag, the form is shown as it stands when nothing
// changed before the click; whatever changed (the cell's date, an option, the day, the cell's rule,
// the window's display) is done again, and the opening shows the month and options in effect.
TEST(calendar_form, readied_opening_does_again_what_changed_before_the_click) {
  const double readied = ymd(2023, 2, 14), other = ymd(2024, 7, 3);
  struct Case {
    const char* what;
    std::function<void(FormWorld&, frmCal&)> change;
    double start;
    WindowHandle shown_in;
    int images;  // drawn by the showing
  };
  const Case cases[] = {
      {"nothing", [](FormWorld&, frmCal&) {}, readied, 0x77, 0},
      {"the cell's date", [](FormWorld&, frmCal&) {}, other, 0x77, 1},
      {"the first day of the week", [](FormWorld& w, frmCal&) { w.reg().Value(opt::CalFirstDayOfWeek, Variant::i2(2)); },
       readied, 0x77, 1},
      {"the day", [](FormWorld& w, frmCal&) { w.clock.serial += 1; }, readied, 0x77, 1},
      {"the cell's rule",
       [](FormWorld&, frmCal& f) { f.SetLimits(DateLimits{LimitOperator::GreaterEqual, ymd(2023, 5, 2), 0}); }, readied,
       0x77, 1},
      {"the window's display", [](FormWorld&, frmCal&) {}, readied, 0x78, 1},
  };
  for (const Case& c : cases) {
    TwoDisplays d;
    auto& [w, desk, made, window, form] = d;
    form.Prepare(Variant::date(readied), 0x77);
    EXPECT_EQ(std::tuple(form.Shown(), window.visible, window.parent), std::tuple(false, false, 0x77u)) << c.what;
    const int images = window.headless_picture().pixels().copies_in();
    EXPECT_EQ(images, 1) << c.what;
    c.change(w, form);
    form.ShowCalendar(10, 20, Variant::date(c.start), c.shown_in);
    EXPECT_EQ(window.headless_picture().pixels().copies_in() - images, c.images) << c.what;
    const clsDualMonths& cal = form.Calendar();
    const double opening = cal.Limits() ? cal.Limits()->Nearest(c.start).value_or(c.start) : c.start;
    const DateParts month = serial::to_parts(opening);
    EXPECT_EQ(std::tuple(cal.SelectedDays().Item(1).DateTime(), cal.CalendarCustomDate(), window.headless_months().index,
                         window.headless_years().edit_text),
              std::tuple(c.start, opening, month.month - 1, std::to_string(month.year))) << c.what;
    EXPECT_EQ(cal.FirstDayOfWeek(), w.reg().Long(opt::CalFirstDayOfWeek)) << c.what;
    EXPECT_EQ(std::tuple(window.resolution, window.parent, window.visible), std::tuple(c.shown_in == 0x78 ? 144.0 : 96.0, c.shown_in, true))
        << c.what;
    // The moves made in an opening are undone at the next, readied or not.
    window.choose_month(0);
    form.HideCalendar();
    form.Prepare(Variant::date(c.start), c.shown_in);
    form.ShowCalendar(10, 20, Variant::date(c.start), c.shown_in);
    EXPECT_EQ(window.headless_months().index, month.month - 1) << c.what;
  }
}

// One resolution for the whole form, the display's that shows the window it opens in, read at each
// showing: after a 96-DPI display, a 144-DPI one gets the form's size, controls, picture and day
// cells at 144, and the outline drawn at that size.
TEST(calendar_form, laid_out_for_the_display_of_each_showing) {
  TwoDisplays d;
  auto& [w, desk, made, window, form] = d;
  double cell_96 = 0;
  for (auto [parent, dpi] : {std::pair{0x77, 96.0}, {0x78, 144.0}, {0x77, 96.0}}) {
    const int images = window.headless_picture().pixels().copies_in();
    const FormLayout want = CalendarFormLayout(1440 / dpi, 1440 / dpi);
    // The size the controller places it by is the one it takes there.
    EXPECT_EQ(form.SizeIn(parent), want.client) << dpi;
    form.ShowCalendar(10, 20, Variant::date(ymd(2024, 9, 18)), parent);
    EXPECT_EQ(window.headless_picture().pixels().copies_in() - images, 1) << "one month image per opening, " << dpi;
    // The day numbers in Tahoma 8 points at the display's resolution.
    EXPECT_EQ(w.graphics.last_surface()->font().height, dpi == 96 ? -11 : -16) << dpi;
    EXPECT_EQ(std::tuple(window.client_size(), window.border),
              std::tuple(want.client, Rect{0, 0, want.client.cx, want.client.cy})) << dpi;
    const Rect& picture = want[FormControl::Calendar];
    EXPECT_EQ(std::tuple(window.headless_picture().scale_width(), window.headless_picture().scale_height()),
              std::tuple(picture.width(), picture.height())) << dpi;
    const clsDateItem& day = form.Calendar().DayCells().Item(1);
    if (dpi == 96) cell_96 = day.Right() - day.Left();
    else EXPECT_NEAR(day.Right() - day.Left(), cell_96 * 1.5, 1.5);
    form.HideCalendar();
  }
}

// The month list, the year box (left with a whole year or not), the page keys and Go to Today move the
// calendar, keeping the day where the month has it; afterwards the list and the box name its month,
// the start day stays picked, and a click on a day of the month shown closes with that day.
TEST(calendar_form, month_list_year_box_and_page_keys_agree_with_the_calendar) {
  using Act = std::function<void(sim::HeadlessCalendarFormWindow&)>;
  const auto type = [](std::string s) -> Act { return [s](auto& win) { win.type_year(s); }; };
  const auto year = [](std::string s) -> Act { return [s](auto& win) { win.choose_year(s); }; };
  const auto month = [](int i) -> Act { return [i](auto& win) { win.choose_month(i); }; };
  const auto keys = [](std::vector<int> ks) -> Act {
    return [ks](auto& win) {
      for (int k : ks) win.press(k);
    };
  };
  struct Case {
    double start;
    Act act;
    int month_index;
    std::string year_text;
    double shown;  // the calendar's anchor afterwards
  };
  const double may31 = ymd(2023, 5, 31);
  const Case cases[] = {
      {may31, type("11"), 4, "2011", ymd(2011, 5, 31)},
      {may31, type(" 29 "), 4, "2029", ymd(2029, 5, 31)},
      {may31, type("30"), 4, "1930", ymd(1930, 5, 31)},
      {may31, type("0"), 4, "2000", ymd(2000, 5, 31)},
      // Outside the list's years, still accepted.
      {may31, type("2150"), 4, "2150", ymd(2150, 5, 31)},
      {may31, type("1850"), 4, "1850", ymd(1850, 5, 31)},
      {may31, type("abc"), 4, "abc", may31},
      {may31, type(""), 4, "", may31},
      {may31, type("12a"), 4, "12a", may31},
      {may31, type("10000"), 4, "10000", may31},
      {may31, type("-5"), 4, "-5", may31},
      {ymd(2024, 1, 31), month(1), 1, "2024", ymd(2024, 2, 29)},
      {ymd(2023, 1, 31), month(1), 1, "2023", ymd(2023, 2, 28)},
      {ymd(2024, 3, 31), month(3), 3, "2024", ymd(2024, 4, 30)},
      {ymd(2024, 5, 15), month(11), 11, "2024", ymd(2024, 12, 15)},
      {ymd(2024, 2, 29), year("2023"), 1, "2023", ymd(2023, 2, 28)},
      {ymd(2024, 2, 29), year("2028"), 1, "2028", ymd(2028, 2, 29)},
      {ymd(2024, 1, 31), keys({vk::kPageUp}), 11, "2023", ymd(2023, 12, 31)},
      {ymd(2024, 1, 31), keys({vk::kPageDown}), 1, "2024", ymd(2024, 2, 29)},
      {ymd(2024, 12, 5), keys({vk::kPageDown, vk::kPageDown}), 1, "2025", ymd(2025, 2, 5)},
      {ymd(2024, 2, 29),
       [](auto& win) {
         win.headless_picture().hold(vk::kShift);
         win.press(vk::kPageDown);
       },
       1, "2025", ymd(2025, 2, 28)},
      // The last month the host can date stays.
      {ymd(9999, 12, 5), keys({vk::kPageDown}), 11, "9999", ymd(9999, 12, 5)},
      {ymd(2023, 2, 14), [](auto& win) { win.click(FormControl::Today); }, 8, "2024", ymd(2024, 9, 18)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    FormWorld w;
    w.show(c.start);
    c.act(*w.window);
    EXPECT_EQ(std::tuple(w.window->headless_months().index, w.window->headless_years().edit_text,
                         w.form->Calendar().CalendarCustomDate()),
              std::tuple(c.month_index, c.year_text, c.shown));
    ASSERT_EQ(w.form->Calendar().SelectedDays().count(), 1u);
    EXPECT_EQ(w.form->Calendar().SelectedDays().Item(1).DateTime(), c.start);
    EXPECT_TRUE(w.closes.empty());
    w.click_day(c.shown);
    EXPECT_EQ(w.closes, std::vector<Variant>{Variant::date(c.shown)});
  }
}

TEST(calendar_form, takes_the_focus_only_when_asked_and_starts_on_the_start_day) {
  FormWorld w;
  w.form->TakeFocus();
  EXPECT_FALSE(w.window->grid_focused) << "not while hidden";
  w.show(ymd(2024, 6, 10));
  EXPECT_FALSE(w.window->grid_focused);
  w.form->TakeFocus();
  EXPECT_TRUE(w.window->grid_focused);
  EXPECT_EQ(std::tuple(w.form->Calendar().FocusDate(), w.form->Calendar().FocusVisible()),
            std::tuple(ymd(2024, 6, 10), true));
  w.form->HideCalendar();
  EXPECT_FALSE(w.window->grid_focused);
}

// The system's high-contrast mode, asked at each showing and at each colour change, swaps the form's
// colours for the system's and back, the options untouched.
TEST(calendar_form, high_contrast_follows_the_system) {
  FormWorld w;
  w.graphics.set_system_color(5, 0x00000000);  // window: black
  w.graphics.set_system_color(8, 0x00FFFFFF);  // window text: white
  w.show(ymd(2024, 6, 10));
  EXPECT_FALSE(w.form->Calendar().HighContrast());
  w.graphics.set_high_contrast(true);
  w.window->colors_changed();
  EXPECT_EQ(std::tuple(w.form->Calendar().HighContrast(), w.window->back_color, w.window->border_color),
            std::tuple(true, 0x00000000u, 0x00FFFFFFu));
  w.graphics.set_high_contrast(false);
  w.window->colors_changed();
  EXPECT_EQ(std::tuple(w.form->Calendar().HighContrast(), w.window->back_color, w.window->border_color),
            std::tuple(false, 0x00C0FFFFu, 0x000080FFu));
  EXPECT_EQ(w.reg().Long(opt::CalBackColor), 0x00C0FFFF);
}

// What a screen reader hears: the focus day's moves, the selection's changes and the texts told.
struct Heard : IAccessibleListener {
  void on_focus_moved(int child) override { moves.push_back(child); }
  void on_selection_changed(int child) override { selections.push_back(child); }
  void on_announcement(const std::string& text) override { told.push_back(text); }
  std::vector<int> moves, selections;
  std::vector<std::string> told;
};

// The day grid told to screen readers through the picture: a table named by its month, 42 cells,
// the start day selected, the focus day's moves and the month shown told, a cell's action writing.
TEST(calendar_form, screen_readers_read_the_grid_hear_its_moves_and_pick_a_day) {
  Heard heard;
  FormWorld w;
  w.show(ymd(2024, 6, 10));
  IAccessibleSource* grid = w.window->headless_picture().accessible();
  ASSERT_NE(grid, nullptr);
  grid->set_listener(&heard);
  EXPECT_EQ(grid->Self().name, "June 2024");
  EXPECT_EQ(grid->Self().role, AccessibleRole::Table);
  EXPECT_EQ(grid->Table().column_headers.at(3).name, "Wednesday");
  ASSERT_EQ(grid->ChildCount(), 44) << "42 days and the two month arrows";
  const int selected = grid->SelectedChild();
  ASSERT_EQ(selected, 6 + 9) << "June 2024 opens on a Saturday";
  EXPECT_EQ(std::tuple(grid->Child(selected).name, grid->Child(selected).states),
            std::tuple("Monday, June 10, 2024", acc_state::kSelected | acc_state::kSelectable | acc_state::kFocusable));
  EXPECT_EQ(grid->Child(0).states, acc_state::kUnavailable) << "a grey day of May is not picked";
  EXPECT_EQ(grid->FocusedChild(), -1) << "no keyboard focus yet";
  w.form->TakeFocus();
  EXPECT_EQ(std::tuple(grid->FocusedChild(), grid->Self().states & acc_state::kFocused),
            std::tuple(selected, acc_state::kFocused));
  w.window->headless_picture().key_down(vk::kRight);
  EXPECT_EQ(std::tuple(grid->SelectedChild(), grid->Child(selected + 1).states & acc_state::kSelected),
            std::tuple(selected, 0u)) << "a move picks nothing";
  // The page keys are the form's, whichever control has the focus: told as the picture's own keys.
  w.window->press(vk::kPageDown);
  w.window->press(vk::kPageUp);
  w.window->press(vk::kPageDown);
  EXPECT_EQ(std::tuple(heard.moves, heard.told, heard.selections),
            std::tuple(std::vector<int>{selected, selected + 1, 11, selected + 1, 11},
                       std::vector<std::string>{"July 2024", "June 2024", "July 2024"}, std::vector<int>{}))
      << "the focus arriving on the start day, then on 11 July";
  EXPECT_EQ(grid->SelectedChild(), -1) << "10 June is not in July";
  EXPECT_FALSE(grid->FocusChild(0)) << "30 June, shown grey";
  EXPECT_TRUE(grid->FocusChild(5));
  EXPECT_EQ(std::tuple(w.form->Calendar().FocusDate(), heard.moves.back()), std::tuple(ymd(2024, 7, 5), 5));
  grid->DoDefaultAction(0);   // 30 June, shown grey
  grid->DoDefaultAction(99);  // no such cell
  EXPECT_TRUE(w.closes.empty());
  grid->DoDefaultAction(1 + 19);
  EXPECT_EQ(std::tuple(w.closes, heard.selections), std::tuple(std::vector<Variant>{Variant::date(ymd(2024, 7, 20))},
                                                                std::vector<int>{1 + 19}));
  grid->set_listener(nullptr);
}

// Grey days of the months around read as they show (long date, place, today) and are unavailable;
// the days the options hide are in no tree, and the places of the rest stay theirs.
TEST(calendar_form, screen_readers_read_grey_days_and_skip_hidden_ones) {
  FormWorld w;
  w.clock.serial = ymd(2024, 7, 1) + 0.4;
  w.show(ymd(2024, 6, 10));  // 26 May to 6 July
  IAccessibleSource* grid = w.window->headless_picture().accessible();
  ASSERT_EQ(grid->ChildCount(), 44);
  const AccessibleElement may = grid->Child(0), july = grid->Child(36);
  EXPECT_EQ(std::tuple(may.name, may.states, may.default_action, may.bounds),
            std::tuple("Sunday, May 26, 2024", acc_state::kUnavailable, "", w.form->Calendar().Layout().day_cell(0, 0, 0)));
  EXPECT_FALSE(may.bounds.empty());
  EXPECT_EQ(std::tuple(july.name, july.description, july.row, july.column), std::tuple("Monday, July 1, 2024", "Today", 5, 1));
  const long july1 = static_cast<long>(ymd(2024, 7, 1));
  EXPECT_EQ(std::tuple(grid->ChildId(36), grid->IndexOfId(july1)), std::tuple(july1, 36)) << "a cell is known by its day";
  w.form->HideCalendar();
  w.reg().Value(opt::CalShowPrePeriod, Variant::boolean(false));
  w.reg().Value(opt::CalShowPostPeriod, Variant::boolean(false));
  w.show(ymd(2024, 6, 10));
  ASSERT_EQ(grid->ChildCount(), 32);
  EXPECT_EQ(std::tuple(grid->Child(0).name, grid->Child(0).row, grid->Child(0).column),
            std::tuple("Saturday, June 1, 2024", 0, 6));
  EXPECT_EQ(std::tuple(grid->ChildAt(0, 0), grid->ChildAt(0, 6), grid->ChildAt(5, 1), grid->SelectedChild()),
            std::tuple(-1, 0, -1, 9));
  EXPECT_EQ(std::tuple(grid->IndexOfId(july1), grid->ChildId(0)), std::tuple(-1, static_cast<long>(ymd(2024, 6, 1))));
}

// The month list, the year box, Go to Today and the month arrows, pressed as buttons by a reader,
// tell readers the month they show.
TEST(calendar_form, screen_readers_hear_each_month_the_boxes_and_today_show) {
  Heard heard;
  FormWorld w;  // today: 18 September 2024
  w.show(ymd(2024, 6, 10));
  IAccessibleSource& grid = *w.window->headless_picture().accessible();
  grid.set_listener(&heard);
  const auto arrow = [&](bool previous) { return grid.ChildCount() - (previous ? 2 : 1); };
  const AccessibleElement next = grid.Child(arrow(false));
  EXPECT_EQ(std::tuple(next.name, next.role, next.default_action, next.bounds),
            std::tuple("Next month", AccessibleRole::PushButton, "Press", w.form->Calendar().NextArrowRect()));
  EXPECT_EQ(grid.Child(arrow(true)).name, "Previous month");
  const struct {
    std::function<void()> act;
    const char* told;  // nullptr: nothing, the month is the one last told
  } steps[] = {
      {[&] { w.window->choose_month(7); }, "August 2024"},
      {[&] { w.window->choose_year("2025"); }, "August 2025"},
      {[&] { w.window->click(FormControl::Today); }, "September 2024"},
      {[&] { w.window->click(FormControl::Today); }, nullptr},
      {[&] { grid.DoDefaultAction(arrow(false)); }, "October 2024"},
      {[&] { grid.DoDefaultAction(arrow(true)); }, "September 2024"},
  };
  for (const auto& step : steps) {
    heard.told.clear();
    step.act();
    EXPECT_EQ(heard.told, step.told ? std::vector<std::string>{step.told} : std::vector<std::string>{});
  }
  w.window->headless_picture().accessible()->set_listener(nullptr);
}

TEST(calendar_form, closes_with_the_day_or_with_nothing) {
  struct Case {
    const char* name;
    std::function<void(FormWorld&)> act;
    std::vector<Variant> closes;
  };
  const double day = ymd(2024, 6, 20);
  const Case cases[] = {
      {"cancel", [](FormWorld& w) { w.window->click(FormControl::Close); }, {Variant::text("")}},
      {"escape", [](FormWorld& w) { w.window->press(vk::kEscape); }, {Variant::text("")}},
      {"day", [&](FormWorld& w) { w.click_day(day); }, {Variant::date(day)}},
      // Each press of a double click is one pick, never two.
      {"double", [&](FormWorld& w) { w.click_day(day); w.click_day(day); }, {Variant::date(day), Variant::date(day)}},
      // Moving never writes; Enter picks the focus day.
      {"key", [](FormWorld& w) { w.window->headless_picture().key_down(vk::kRight); }, {}},
      {"keys and enter",
       [](FormWorld& w) {
         for (int k : {vk::kRight, vk::kRight, vk::kRight, 0x0D}) w.window->headless_picture().key_down(k);
       },
       {Variant::date(ymd(2024, 6, 13))}},
      {"other key", [](FormWorld& w) { w.window->press(0x41); }, {}},
  };
  for (const Case& c : cases) {
    FormWorld w;
    w.show(ymd(2024, 6, 10));
    c.act(w);
    EXPECT_EQ(w.closes, c.closes) << c.name;
    EXPECT_TRUE(w.form->Shown()) << c.name << ": the form waits for the controller to hide it";
  }
}

TEST(calendar_form, tooltips_follow_the_option_when_the_options_dialog_closes) {
  FormWorld w;
  w.reg().Value(opt::DisplayTooltip, Variant::boolean(false));
  w.show(ymd(2024, 6, 10));
  EXPECT_FALSE(w.window->tooltips);
  w.on_options = [&] { w.reg().Value(opt::DisplayTooltip, Variant::boolean(true)); };
  w.window->click(FormControl::Settings);
  EXPECT_EQ(w.options_owner, w.window->window_handle());
  ASSERT_TRUE(w.window->tooltips);
  EXPECT_EQ(w.window->tooltips->tips.size(), 4u);
  w.on_options = [&] { w.reg().Value(opt::DisplayTooltip, Variant::boolean(false)); };
  w.window->click(FormControl::Settings);
  EXPECT_EQ(std::tuple(w.window->tooltips.has_value(), w.window->tooltips_destroyed), std::tuple(false, 1));
}

TEST(calendar_form, layout_follows_the_screen_resolution) {
  struct Case {
    double tpp;
    Size client;
    Rect picture, years, close;
  };
  const Case cases[] = {
      {15, {345, 177}, {8, 8, 241, 169}, {248, 40, 337, 61}, {248, 147, 337, 169}},
      // 144 dots per inch: halves go to the even neighbour (349.5 -> 350, 241.5 -> 242).
      {10, {518, 266}, {12, 12, 362, 254}, {372, 60, 506, 92}, {372, 220, 506, 253}},
      {12, {431, 221}, {10, 10, 301, 211}, {310, 50, 421, 76}, {310, 184, 421, 212}},
  };
  for (const Case& c : cases) {
    const FormLayout l = CalendarFormLayout(c.tpp, c.tpp);
    EXPECT_EQ(l.client, c.client) << c.tpp;
    EXPECT_EQ(std::tuple(l[FormControl::Calendar], l[FormControl::Years], l[FormControl::Close]),
              std::tuple(c.picture, c.years, c.close)) << c.tpp;
  }
}

}  // namespace
}  // namespace tessaly::calendar
