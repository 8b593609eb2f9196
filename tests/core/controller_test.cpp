// The controller on the stand-in host: the main path, the decision, commands, edit mode, the
// calendar's placement and start date, the write-back and statement-by-statement skipping.
#include "core/controller.h"
#include "core/cell_validation.h"

#include <gtest/gtest.h>

#include <tuple>

#include "controller_world.h"
#include "sim/manual_timers.h"

namespace tessaly::testing {
namespace {

using sim::SimExcel;

TEST(controller_main_path, date_cell_to_written_date) {
  StartedWorld w;
  EXPECT_EQ(w.parts.calendars_made, 0) << "the connection does not wait for the calendar's windows";
  w.cell("B3").number_format = "d mmm yyyy";
  w.cell("B3").value = Variant::date(Ymd(2024, 2, 29));
  w.host->UserSelect("B3");
  ASSERT_TRUE(w.tag().Displayed());
  EXPECT_EQ(w.parts.calendars_made, 1) << "made once the tag shows, before it can be clicked";
  EXPECT_EQ(w.tag().address, "$B$3");
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.calendar().Shown());
  EXPECT_TRUE(w.calendar().focused) << "a click on the tag gives the calendar the keyboard";
  EXPECT_EQ(w.calendar().start, Variant::date(Ymd(2024, 2, 29)));
  EXPECT_EQ(w.calendar().owner, w.host->Book("Book1").window);
  w.host->ResetCalls();
  w.calendar().Close(Variant::date(Ymd(2025, 3, 14)));
  // The edit-mode probe, the cell found (4 calls), its format, what it held for Undo Date (2), its
  // rule (2: none), the write, the value read back, the value and format the pick left (2), and Undo
  // Date's cell-menu entry enabled.
  EXPECT_EQ(w.host->TotalCalls(), 15);
  EXPECT_EQ(w.cell("B3").value, Variant::date(Ymd(2025, 3, 14)));
  EXPECT_EQ(w.cell("B3").number_format, "d mmm yyyy");
  EXPECT_FALSE(w.calendar().Shown());
  EXPECT_TRUE(w.tag().Displayed());
  // Opened on its own at a selection, the calendar leaves the arrows to the sheet.
  w.tag().opens_calendar = true;
  w.host->UserSelect("B3");
  ASSERT_TRUE(w.calendar().Shown());
  EXPECT_FALSE(w.calendar().focused) << "the arrows go on moving through the cells";
}

// ---------------------------------------------------------------- the decision

struct DecisionCase {
  const char* name;
  std::function<void(ControllerWorld&)> arrange;
  const char* select;
  bool shown;
};

TEST(controller_decision, stops_and_qualification_rules) {
  const std::vector<DecisionCase> cases = {
      {"date format", [](auto& w) { w.DateCell("C5"); }, "C5", true},
      {"general format, empty", [](auto&) {}, "C5", false},
      {"disabled", [](auto& w) { w.DateCell("C5"), w.set(opt::CalendarDisabled, true); }, "C5", false},
      {"not interactive", [](auto& w) { w.DateCell("C5"), w.host->SetInteractive(false); }, "C5", false},
      {"in place", [](auto& w) { w.DateCell("C5"), w.host->Book("Book1").inplace = true; }, "C5", false},
      {"locked on protected sheet", [](auto& w) { w.DateCell("C5"), w.sheet().protect_contents = true; }, "C5", false},
      {"locked, the sheet unprotected since",
       [](auto& w) {
         w.DateCell("C5"), w.sheet().protect_contents = true, w.host->UserSelect("C5");
         w.sheet().protect_contents = false;
       },
       "C5", true},
      {"unlocked on protected sheet",
       [](auto& w) { w.DateCell("C5"), w.sheet().protect_contents = true, w.cell("C5").locked = false; },
       "C5", true},
      {"two areas", [](auto& w) { w.DateCell("A1"), w.DateCell("C3"); }, "A1,C3", false},
      {"whole row", [](auto& w) { w.DateCell("C5"); }, "$5:$5", false},
      {"whole column", [](auto& w) { w.DateCell("C5"); }, "C:C", false},
      {"two cells", [](auto& w) { w.DateCell("A1"), w.DateCell("B1"); }, "A1:B1", false},
      {"one merged area", [](auto& w) { w.DateCell("A1"), SimExcel::Merge(w.sheet(), "A1:B2"); }, "A1:B2", true},
      {"partly merged", [](auto& w) { w.DateCell("A1"), SimExcel::Merge(w.sheet(), "A1:B1"); }, "A1:C1", false},
      {"read-only allowed", [](auto& w) { w.DateCell("C5"), w.host->Book("Book1").read_only = true; }, "C5", true},
      {"read-only refused",
       [](auto& w) { w.DateCell("C5"), w.host->Book("Book1").read_only = true, w.set(opt::ActiveForReadOnlyWorkbook, false); },
       "C5", false},
      {"formula", [](auto& w) { w.DateCell("C5"), SimExcel::SetFormula(w.sheet(), "C5", "=TODAY()", Variant::date(45000)); }, "C5", false},
      {"formula allowed",
       [](auto& w) {
         w.DateCell("C5"), SimExcel::SetFormula(w.sheet(), "C5", "=TODAY()", Variant::date(45000));
         w.set(opt::ActiveOverwriteFormula, true);
       },
       "C5", true},
      {"format rule off", [](auto& w) { w.DateCell("C5"), w.set(opt::ActiveForCellFormat, false); }, "C5", false},
      {"date value", [](auto& w) { w.cell("C5").value = Variant::date(45000); }, "C5", true},
      {"date text value", [](auto& w) { w.cell("C5").value = Variant::text("2020-05-06"); }, "C5", true},
      {"plain number", [](auto& w) { w.cell("C5").value = Variant::number(45000); }, "C5", false},
      {"value rule off",
       [](auto& w) { w.cell("C5").value = Variant::date(45000), w.set(opt::ActiveForGeneralFormatWithDateLikeValue, false); },
       "C5", false},
      {"below date format", [](auto& w) { w.DateCell("C4"); }, "C5", true},
      {"below date format, format rule off",
       [](auto& w) { w.DateCell("C4"), w.set(opt::ActiveForCellFormat, false); }, "C5", false},
      {"below date value", [](auto& w) { w.cell("C4").value = Variant::date(45000); }, "C5", true},
      {"below date rule off",
       [](auto& w) { w.DateCell("C4"), w.set(opt::ActiveForCellBelowDate, false); }, "C5", false},
      {"below text Start Date", [](auto& w) { w.cell("C4").value = Variant::text("Start Date"); }, "C5", true},
      {"below UPDATED", [](auto& w) { w.cell("C4").value = Variant::text("UPDATED"); }, "C5", true},
      {"below 2011", [](auto& w) { w.cell("C4").value = Variant::number(2011); }, "C5", false},
      {"date column off",
       [](auto& w) { w.cell("C4").value = Variant::text("Date"), w.set(opt::ActiveForDateColumn, false); }, "C5", false},
      {"row 1 never by the rules above", [](auto&) {}, "C1", false},
  };
  for (const DecisionCase& c : cases) {
    StartedWorld w;
    c.arrange(w);
    w.host->UserSelect(c.select);
    EXPECT_EQ(w.tag().Displayed(), c.shown) << c.name;
  }
}

// Every event closes the calendar without writing; the four that re-run the decision show the
// tag again for the date cell unless the add-in is disabled.
TEST(controller_decision, every_event_closes_the_calendar) {
  using Event = void (*)(cVantry&, SimExcel&);
  const std::pair<const char*, Event> events[] = {
      {"selection change", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_SheetSelectionChange(h.ActiveSheet(), h.Selection()->AsRange()); }},
      {"sheet activate", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_SheetActivate(h.ActiveSheet()); }},
      {"window activate", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_WindowActivate(h.ActiveWorkbook(), h.ActiveWindow()); }},
      {"window resize", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_WindowResize(h.ActiveWorkbook(), h.ActiveWindow()); }},
      {"sheet deactivate", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_SheetDeactivate(h.ActiveSheet()); }},
      {"window deactivate", [](cVantry& c, SimExcel& h) { c.AppExcelEvent_WindowDeactivate(h.ActiveWorkbook(), h.ActiveWindow()); }},
  };
  for (bool disabled : {false, true}) {
    for (std::size_t i = 0; i < std::size(events); ++i) {
      SCOPED_TRACE(std::string(events[i].first) + (disabled ? ", disabled" : ""));
      StartedWorld w;
      w.SelectDateCell("C5");
      w.tag().TriggerClickEvent();
      ASSERT_TRUE(w.calendar().Shown());
      w.set(opt::CalendarDisabled, disabled);
      events[i].second(*w.controller, *w.host);
      EXPECT_FALSE(w.calendar().Shown());
      EXPECT_EQ(w.tag().Displayed(), !disabled && i < 4);
      EXPECT_EQ(w.cell("C5").value, Variant());
    }
  }
}


TEST(controller_decision, window_activate_and_resize_rerun) {
  StartedWorld w;
  w.host->AddWorkbook("Book2", {"Data"});
  SimExcel::Cell(w.host->Sheet("Book2", "Data"), "A1").number_format = "yyyy-mm-dd";
  w.host->UserActivateWorkbook("Book2");
  EXPECT_TRUE(w.tag().Displayed());
  EXPECT_EQ(w.tag().book_name, "Book2");
  w.host->UserResizeWindow();
  EXPECT_TRUE(w.tag().Displayed());
  w.host->UserSelectObject("Picture");
  w.host->UserResizeWindow();  // under the address sanitizer, a call into the gone controller aborts here
  EXPECT_TRUE(w.platform.messages.shown().empty());
}

// Each value is asked once, and version 9, which has no Range.AllowEdit, is not asked it.
TEST(controller_decision, asks_the_host_once_per_value) {
  for (const std::string version : {"12.0", "9.0"}) {
    SCOPED_TRACE(version);
    StartedWorld w(version);
    w.tag().on_screen = false;  // only the decision's own calls are counted
    w.cell("D1").value = Variant::text("Due date");
    w.host->ResetCalls();
    w.host->UserSelect("D2");  // the last rule: every test runs
    for (const char* member : {"Application.ActiveWorkbook", "Application.Interactive", "Sheet.Type", "Range.Row",
                               "Range.Column", "Range.Areas.Count", "Range.Locked", "Range.HasFormula", "Range.Address",
                               "Range.MergeCells", "Range.Cells.Count", "Range.Offset", "Sheet.Cells"}) {
      EXPECT_LE(w.host->Calls(member), 1) << member;
    }
    EXPECT_EQ(w.host->Calls("Range.AllowEdit"), version == "9.0" ? 0 : 1);
    EXPECT_EQ(w.host->Calls("Range.Value.get"), 3);  // the cell, the cell above as a range, the heading cell
    EXPECT_EQ(w.tag().displays, 1);
  }
}

// ---------------------------------------------------------------- commands

TEST(controller_commands, disabled_message_on_every_route) {
  using Route = void (*)(cVantry&);
  const std::pair<const char*, Route> routes[] = {
      {"toolbar", [](cVantry& c) { c.cbbDisplayCalendar_Click(); }},
      {"quick button", [](cVantry& c) { c.moToolbarQuickButton_Click(); }},
      {"context menu", [](cVantry& c) { c.moRightClickMenu_Click(); }},
      {"ribbon", [](cVantry& c) { RibbonControl b("ZorelButtonCalendar"); c.ZorelButtonProc(b); }},
  };
  for (const char* version : {"12.0", "11.0"}) {
    for (const auto& [route, click] : routes) {
      SCOPED_TRACE(std::string(route) + " " + version);
      StartedWorld w(version);
      w.set(opt::CalendarDisabled, true);
      click(*w.controller);
      ASSERT_EQ(w.platform.messages.shown().size(), 1u);
      const MessageRequest& box = w.platform.messages.shown()[0];
      std::string n = w.m.ProductName;
      std::string tail = std::string(version) == "12.0" ? "click the Disable button again in the Quenby ribbon group."
                                                         : "click the Disable button again on the " + n + " toolbar.";
      EXPECT_EQ(box, (MessageRequest{"You have disabled " + n + ".\r\n\r\nTo enable " + n + ", " + tail, n,
                                     MsgIcon::Information, MsgButtons::OK}));
      EXPECT_FALSE(w.calendar().Shown());
    }
  }
}

// A picture asks for a cell; a cell off screen opens nothing, silently.
TEST(controller_commands, nothing_opens_without_a_cell_on_screen) {
  for (bool picture : {true, false}) {
    StartedWorld w;
    if (picture) w.host->UserSelectObject("Picture");
    w.tag().on_screen = picture;
    w.controller->ClickCommandButton();
    EXPECT_FALSE(w.calendar().Shown());
    EXPECT_EQ(w.platform.messages.shown().size(), picture ? 1u : 0u);
    if (picture) {
      EXPECT_EQ(w.platform.messages.shown()[0].text, "Please select a cell first.");
    }
  }
}

TEST(controller_commands, any_range_opens_the_calendar_without_the_rules) {
  StartedWorld w;
  w.host->Split("Book1", 0, 2);
  w.host->UserSelect("D4:E9");
  w.controller->ClickCommandButton();
  EXPECT_TRUE(w.calendar().Shown());
  EXPECT_TRUE(w.calendar().focused) << "a command gives the calendar the keyboard";
  EXPECT_EQ(w.tag().address, "$D$4:$E$9");
  EXPECT_EQ(w.host->Calls("Range.Activate"), 1);  // split window: the active cell is activated
}

// The command ends edit mode, the typed value kept or dropped, and opens on what the selected cell
// holds then; a selection change the host delivers while it handles the keys stops neither.
TEST(controller_commands, edit_mode_commits_or_discards) {
  struct Case {
    bool accept;
    const char* selected_meanwhile;  // by Excel while it handles the keys
    bool opens_on_the_typed_date;    // else on the default date
  };
  for (const Case& c : {Case{true, nullptr, true}, Case{false, nullptr, false}, Case{true, "C3", false}}) {
    SCOPED_TRACE(::testing::Message() << c.accept << " " << (c.selected_meanwhile ? c.selected_meanwhile : "-"));
    ControllerWorld w;
    w.set(opt::AcceptNewValueInEditingMode, c.accept);
    w.Start();
    w.host->UserSelect("B2");
    w.host->UserBeginEdit("2024-01-05");
    if (c.selected_meanwhile) w.host->Post([&] { w.host->UserSelect(c.selected_meanwhile); });
    w.controller->ClickCommandButton();
    EXPECT_FALSE(w.host->Editing());
    EXPECT_TRUE(w.calendar().Shown());
    EXPECT_EQ(w.host->typed_keys, std::vector<std::string>{c.accept ? "^~" : "{ESC}"});
    EXPECT_EQ(w.cell("B2").value, c.accept ? Variant::text("2024-01-05") : Variant());
    EXPECT_EQ(w.calendar().start, Variant::date(c.opens_on_the_typed_date ? Ymd(2024, 1, 5) : w.m.CurrentDefaultDate));
  }
}

// Typing in the sheet while the calendar is open starts edit mode, in which Excel refuses the write:
// the pick first ends it, as the calendar command does, then writes; else the user is told.
TEST(controller_refusals, typing_after_the_calendar_opened) {
  struct Case {
    const char* name;
    bool accept;
    bool keys_reach_excel;
    const char* selected_meanwhile;  // by Excel while it handles the keys
    Variant value;
    std::vector<std::string> messages;
  };
  const Variant picked = Variant::date(Ymd(2025, 3, 14));
  const Case cases[] = {
      {"entered_then_overwritten", true, true, nullptr, picked, {}},
      {"discarded", false, true, nullptr, picked, {}},
      {"selection_moved_by_the_keys", true, true, "C3", picked, {}},
      {"still_editing", true, false, nullptr, Variant::text("old"), {kDateNotWrittenEditing}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControllerWorld w;
    w.set(opt::AcceptNewValueInEditingMode, c.accept);
    w.Start();
    w.cell("B2").value = Variant::text("old");
    w.DateCell("C3");
    w.SelectDateCell("B2");
    w.tag().TriggerClickEvent();
    w.host->UserBeginEdit("7");
    if (!c.keys_reach_excel) w.host->FailAlways("Application.TypeKeys");
    if (c.selected_meanwhile) w.host->Post([&] { w.host->UserSelect(c.selected_meanwhile); });
    w.calendar().Close(picked);
    EXPECT_EQ(w.cell("B2").value, c.value);
    EXPECT_EQ(w.host->Editing(), !c.keys_reach_excel);
    std::vector<std::string> texts;
    for (const MessageRequest& m : w.platform.messages.shown()) texts.push_back(m.text);
    EXPECT_EQ(texts, c.messages);
    EXPECT_FALSE(w.calendar().Shown());
  }
}

// The keys that end edit mode reach the calendar, whose Enter closes it again with a date: the pick
// under way is written once, and nothing recurses.
TEST(controller_refusals, a_pick_inside_a_pick_is_dropped) {
  StartedWorld w;
  w.SelectDateCell("B2");
  w.tag().TriggerClickEvent();
  w.host->UserBeginEdit("7");
  int nested = 0;
  w.host->Post([&] { ++nested, w.calendar().Close(Variant::date(Ymd(2030, 1, 1))); });
  w.calendar().Close(Variant::date(Ymd(2025, 3, 14)));
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(w.cell("B2").value, Variant::date(Ymd(2025, 3, 14)));
  EXPECT_EQ(w.host->Calls("Range.Value.set"), 1);
}

// Busy with a dialog or a macro, Excel refuses every call: each command the user starts says so and
// changes nothing; a selection change, which the user did not ask of the add-in, stays silent.
TEST(controller_refusals, busy_host_at_each_user_command) {
  struct Case {
    const char* name;
    std::function<void(ControllerWorld&)> command;
    const char* message;
  };
  const Case cases[] = {
      {"pick", [](auto& w) { w.calendar().Close(Variant::date(Ymd(2025, 3, 14))); }, kDateNotWrittenBusy},
      {"calendar_command", [](auto& w) { w.controller->ClickCommandButton(); }, kExcelBusy},
      {"tag_click", [](auto& w) { w.tag().TriggerClickEvent(); }, kExcelBusy},
      {"ribbon_toggle", [](auto& w) {
         RibbonControl toggle("ZorelToggleButtonDisable");
         w.controller->ZorelToggleButtonProc(toggle, true);
       }, kExcelBusy},
      {"selection_change", [](auto& w) { w.host->UserSelect("C3"); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartedWorld w;
    w.SelectDateCell("B2");
    w.tag().TriggerClickEvent();
    w.calendar().HideCalendar();
    w.host->SetBusy(true);
    c.command(w);
    EXPECT_EQ(w.cell("B2").value, Variant());
    EXPECT_FALSE(w.calendar().Shown());
    EXPECT_FALSE(w.reg().Bool(opt::CalendarDisabled));
    std::vector<MessageRequest> told;
    if (c.message) told.push_back({c.message, w.m.ProductName, MsgIcon::Information, MsgButtons::OK});
    EXPECT_EQ(w.platform.messages.shown(), told);
  }
}

TEST(controller_commands, no_keys_outside_edit_mode_or_without_probe) {
  ControllerWorld w;
  w.host->RemoveBar("Visual Basic");
  w.Start();
  ASSERT_TRUE(w.controller->EditModeProbe());  // the WordArt menu's button stands in
  EXPECT_EQ(w.controller->EditModeProbe()->Id(), 2179);
  w.controller->ClickCommandButton();
  EXPECT_TRUE(w.host->sent_keys.empty());
}

TEST(controller_commands, disable_toggle) {
  ControllerWorld w("11.0");
  auto button = w.AddToolbarButton("DisableOrEnable");
  w.Start();
  ASSERT_TRUE(w.controller->DisableButton());
  w.SelectDateCell("C5");
  ASSERT_TRUE(w.tag().Displayed());
  for (const bool disabled : {true, false}) {
    SCOPED_TRACE(disabled ? "disabled" : "enabled again");
    w.controller->cbbDisable_Click();
    EXPECT_EQ(button->state, disabled ? xl::kButtonDown : xl::kButtonUp);
    EXPECT_EQ(button->tooltip, (disabled ? "Click to enable " : "Click to disable ") + w.m.ProductName);
    EXPECT_EQ(button->picture, disabled ? "enable" : "disable");
    EXPECT_EQ(w.reg().Bool(opt::CalendarDisabled), disabled);
    EXPECT_EQ(w.platform.store.at("CalendarDisabled"), disabled ? "1" : "0");
    EXPECT_EQ(w.tag().Displayed(), !disabled);  // shown again at once for the current cell
  }
  // A refused store is told, and the button goes on showing the add-in enabled, as it is.
  w.platform.store.fail_write = true;
  w.controller->cbbDisable_Click();
  EXPECT_EQ(std::tuple(button->state, button->picture, w.reg().Bool(opt::CalendarDisabled), w.tag().Displayed()),
            std::tuple(xl::kButtonUp, "disable", false, true));
  const MessageRequest refused{"The setting 'CalendarDisabled' could not be saved.\r\n\r\nAccess is denied.", "Tessaly",
                               MsgIcon::Critical, MsgButtons::OK};
  EXPECT_EQ(w.platform.messages.shown(), std::vector<MessageRequest>{refused});
}

TEST(controller_commands, help_about_settings) {
  StartedWorld w;
  w.controller->cbbHelp_Click();
  w.controller->cbbAbout_Click();
  w.controller->cbbSettings_Click();
  ASSERT_EQ(w.desk.help_shown.size(), 1u);
  EXPECT_EQ(w.desk.help_shown[0], "C:\\Tessaly\\TESSALY.chm::/index.htm");
  EXPECT_EQ(w.parts.about, std::vector<std::string>{"app32,app16"});
  EXPECT_EQ(w.parts.settings_shown, 1);
  w.desk.fail_help = true;
  w.controller->cbbHelp_Click();  // nothing escapes
}

// ---------------------------------------------------------------- placement and start value

// Below the tag, above it or pulled left to stay in the window; stored sizes and screen
// resolutions from outside the add-in cause no undefined behaviour and keep the calendar inside the
// client area of the workbook window (0, 0, 1000, 700). The form's own size where it opens places
// it, not the stored sizes, which do not resize it. Each case opens the calendar twice, telling the
// form's size before the second.
TEST(controller_placement, beside_the_tag_whatever_the_values) {
  struct Case {
    std::int32_t x, y;
    double dpi;
    std::int32_t tag_size_y;
    std::int16_t cal_size_x;
    ScreenPoint expected;
    std::optional<Size> form = std::nullopt;
  };
  // Tag 20 px high, calendar 345 x 177 px, window right 1000, bottom 700, m = 8.
  const double nan = std::nan("");
  const Case cases[] = {
      {100, 100, 96, 300, 5175, {100, 120}},
      {100, 600, 96, 300, 5175, {100, 423}},
      {900, 100, 96, 300, 5175, {1000 - 345 - 32, 120}},
      {900, 600, 96, 300, 5175, {623, 423}},
      {100, 100, 0, 300, 5175, {100, 120}},  // no resolution: 96 dots per inch
      {100, 100, nan, 300, 5175, {100, 120}},
      {100, 100, -96, 300, 5175, {100, 120}},
      {100, 100, 1e303, 300, 5175, {0, 0}},         // a twip a pixel at most: larger than the window, from its corner
      {100, 100, 96, INT32_MIN, 5175, {100, 100}},  // a negative tag is no tag
      {100, 100, 96, INT32_MAX, 5175, {100, 0}},    // a tag taller than any screen: above it, kept in the window
      {100, 100, 1e303, 300, INT16_MAX, {0, 0}},    // wider than the window: from its left edge
      {100, 100, 96, 300, INT16_MIN, {100, 120}},
      {700, 500, 96, 300, 5175, {623, 520}},
      // A form of 518 x 266 pixels (144 dots per inch) near the corner: above the tag, pulled left by its width.
      {700, 500, 96, 300, 5175, {1000 - 518 - 32, 500 - 266}, Size{518, 266}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " " << c.dpi << " " << c.tag_size_y << " "
                                      << c.cal_size_x << (c.form ? " told" : ""));
    StartedWorld w;
    for (auto& d : w.desk.displays) d.dpi_x = d.dpi_y = c.dpi;
    w.reg().Value(opt::TagSizeY, Variant::i4(c.tag_size_y));
    w.reg().Value(opt::CalSizeX, Variant::i2(c.cal_size_x));
    w.tag().x = c.x;
    w.tag().y = c.y;
    w.host->UserSelect("A1");
    w.tag().displayed = true;
    w.tag().TriggerClickEvent();
    w.calendar().HideCalendar();
    w.calendar().size = c.form;
    w.tag().TriggerClickEvent();
    EXPECT_EQ(w.calendar().at, c.expected);
  }
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
}

// The order of the tests stays; the result is then kept inside the client area: a calendar flipped
// above the tag in a short window keeps its title row, and a window on a second display keeps it there.
TEST(controller_placement, kept_inside_the_client_area) {
  struct Case {
    const char* name;
    double tag_x, tag_y;
    ScreenRect window, client;
    ScreenPoint expected;
  } cases[] = {
      {"short window, flipped above", 100, 100, {0, 0, 1000, 250}, {4, 30, 996, 246}, {100, 30}},
      {"below the tag", 100, 100, {0, 0, 1000, 700}, {4, 30, 996, 696}, {100, 120}},
      {"pulled left, then inside", 900, 100, {0, 0, 1000, 700}, {4, 30, 996, 696}, {623, 120}},
      {"second display", 2500, 300, {1920, 0, 3200, 1000}, {1924, 30, 3196, 996}, {2500, 320}},
      {"second display, right edge", 3100, 300, {1920, 0, 3200, 1000}, {1924, 30, 3196, 996}, {2823, 320}},
  };
  for (const Case& c : cases) {
    CalendarPlacementInput in{c.tag_x, c.tag_y, 20, 345, 177, c.window, c.client, 8};
    EXPECT_EQ(PlaceCalendar(in), c.expected) << c.name;
  }
}

// Right to left the calendar opens towards the reading: its right edge at the tag's right edge, or
// pushed back inside the window's left edge by the same four margins; one wider than the client
// area keeps its right part in view.
TEST(controller_placement, opens_leftwards_on_a_right_to_left_sheet) {
  struct Case {
    const char* name;
    double tag_x, tag_y;
    ScreenRect window, client;
    ScreenPoint expected;
    double calendar_width = 345;
  } cases[] = {
      {"below the tag, its right edge at the tag's", 600, 100, {0, 0, 1000, 700}, {4, 30, 996, 696}, {275, 120}},
      {"at the screen's right edge", 1880, 100, {920, 0, 1920, 700}, {924, 30, 1916, 696}, {1555, 120}},
      {"at the screen's left edge, pushed inside", 100, 100, {0, 0, 1000, 700}, {4, 30, 996, 696}, {32, 120}},
      {"left edge of a display left of the first", -1800, 100, {-1920, 0, -900, 700}, {-1916, 30, -904, 696}, {-1888, 120}},
      {"short window, flipped above", 600, 100, {0, 0, 1000, 250}, {4, 30, 996, 246}, {275, 30}},
      {"wider than the client area", 600, 100, {0, 0, 300, 700}, {4, 30, 296, 696}, {-49, 120}},
  };
  for (const Case& c : cases) {
    CalendarPlacementInput in{c.tag_x, c.tag_y, 20, c.calendar_width, 177, c.window, c.client, 8};
    in.tag_width = 20;
    in.right_to_left = true;
    EXPECT_EQ(PlaceCalendar(in), c.expected) << c.name;
  }
}

TEST(controller_start_value, cell_values) {
  struct Case {
    Variant value;
    Variant expected;
  };
  const double def = Ymd(2025, 12, 9);
  const Case cases[] = {
      {Variant(), Variant::date(def)},
      {Variant::text("abc"), Variant::date(def)},
      {Variant::number(3.5), Variant::date(def)},
      {Variant::date(Ymd(1850, 6, 1)), Variant::date(Ymd(1850, 6, 1))},
      {Variant::date(45000.5), Variant::date(45000.5)},
  };
  for (const Case& c : cases) {
    StartedWorld w;
    w.cell("A1").value = c.value;
    w.host->UserSelect("A1");
    w.controller->ClickCommandButton();
    EXPECT_EQ(w.calendar().start, c.expected) << c.value.to_text();
  }
}

// The calendar is readied for the tag's cell and window once the selection is quiet, not inside it;
// a burst of selections readies once, a tag gone by then readies nothing, and the click still
// opens on what the cell, the holidays and the cell's rule are when it comes.
TEST(controller_start_value, readied_while_the_user_moves_to_the_tag) {
  const double readied = Ymd(2024, 3, 5), later = Ymd(2025, 8, 1);
  struct Case {
    const char* what;
    void (*change)(ControllerWorld&);
    Variant start;
    std::size_t holidays;
    bool limited;
  };
  const Case cases[] = {
      {"nothing", [](ControllerWorld&) {}, Variant::date(readied), 0, false},
      {"the cell's value", [](ControllerWorld& w) { w.cell("C5").value = Variant::date(Ymd(2025, 8, 1)); }, Variant::date(later), 0, false},
      {"holidays marked", [](ControllerWorld& w) { w.set(opt::CalMarkHolidays, true); }, Variant::date(readied), 1, false},
      {"a rule on the cell",
       [](ControllerWorld& w) {
         sim::ValidationModel from;
         from.op = 7;  // xlGreaterEqual
         from.formula1 = "45000";
         SimExcel::SetValidation(w.sheet(), "C5", from);
       },
       Variant::date(readied), 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::ManualTimers timers;
    ControllerWorld w;
    w.timers = &timers;
    w.Start();
    w.reg().Value(opt::CalHolidaysName, Variant::text("Holidays"));
    w.host->Book("Book1").names = {{"Holidays", "=Sheet2!$E$1:$E$1"}};
    SimExcel::Cell(w.sheet("Sheet2"), "E1").value = Variant::date(Ymd(2024, 12, 25));
    w.cell("C5").value = Variant::date(readied);
    w.DateCell("C4");
    w.host->UserSelect("C4");
    w.SelectDateCell("C5");
    EXPECT_TRUE(w.calendar().prepared.empty()) << "not inside the selection change";
    timers.Elapse(cVantry::kPrepareDelayMs);
    ASSERT_EQ(w.calendar().prepared.size(), 1u) << "once for the burst";
    EXPECT_EQ(std::tuple(w.calendar().prepared[0].start, w.calendar().parked), std::tuple(Variant::date(readied), w.tag().parent));
    c.change(w);
    w.tag().TriggerClickEvent();
    EXPECT_EQ(std::tuple(w.calendar().start, w.calendar().holidays.size(), w.calendar().limits.has_value()),
              std::tuple(c.start, c.holidays, c.limited));
  }
  sim::ManualTimers timers;
  ControllerWorld w;
  w.timers = &timers;
  w.Start();
  w.SelectDateCell("C5");
  w.host->UserSelect("Z9");
  timers.Elapse(cVantry::kPrepareDelayMs);
  EXPECT_TRUE(w.calendar().prepared.empty()) << "the tag went before the calendar was readied";
}

// The holidays the calendar marks come from the workbook's defined name at each opening; a name
// that is missing or is no range, or a host that fails, gives none and the calendar still opens.
TEST(controller_start_value, holidays_from_the_workbook_name) {
  const double christmas = Ymd(2024, 12, 25), new_year = Ymd(2025, 1, 1);
  struct Case {
    const char* name;
    bool mark;
    std::string option_name, refers_to, fail;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {"marked", true, "Holidays", "=Sheet2!$E$1:$E$4", "", {christmas, new_year + 0.5}},
      {"off_asks_nothing", false, "Holidays", "=Sheet2!$E$1:$E$4", "", {}},
      {"name_case_ignored", true, "HOLIDAYS", "=Sheet2!$E$1:$E$4", "", {christmas, new_year + 0.5}},
      {"no_such_name", true, "Feiertage", "=Sheet2!$E$1:$E$4", "", {}},
      {"a_constant", true, "Holidays", "=5", "", {}},
      {"names_fail", true, "Holidays", "=Sheet2!$E$1:$E$4", "Workbook.Names", {}},
      {"refers_to_fails", true, "Holidays", "=Sheet2!$E$1:$E$4", "Name.RefersToRange", {}},
      {"another_book_sheet", true, "Holidays", "=Sheet9!$E$1:$E$4", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartedWorld w;
    w.set(opt::CalMarkHolidays, c.mark);
    w.reg().Value(opt::CalHolidaysName, Variant::text(c.option_name));
    sim::SheetModel& list = w.sheet("Sheet2");
    sim::SimExcel::Cell(list, "E1").value = Variant::date(christmas);
    sim::SimExcel::Cell(list, "E2").value = Variant::text("Boxing Day");  // no date: passed over
    sim::SimExcel::Cell(list, "E3").value = Variant::date(new_year + 0.5);
    w.host->Book("Book1").names = {{"Holidays", c.refers_to}};
    w.SelectDateCell("A1");
    if (!c.fail.empty()) w.host->FailNext(c.fail);
    w.host->ResetCalls();
    w.tag().TriggerClickEvent();
    EXPECT_EQ(w.calendar().holidays, c.expected);
    EXPECT_TRUE(w.calendar().shown);
    if (!c.mark) {
      EXPECT_EQ(w.host->Calls("Workbook.Names"), 0);
    }
  }
}

// ---------------------------------------------------------------- write-back

// The cell's own date rule gives the calendar its limits at each opening: limits as numbers, date
// texts or formulas the host evaluates; no rule, a rule that is not on dates, limits that cannot be
// read or a host that fails give none, and the calendar opens as ever.
TEST(controller_start_value, limits_from_the_cell_rule) {
  const double sep10 = Ymd(2024, 9, 10), sep20 = Ymd(2024, 9, 20);
  struct Case {
    const char* name;
    std::optional<sim::ValidationModel> rule;
    const char* fail;
    std::optional<DateLimits> expected;
  };
  const auto date_rule = [](std::int32_t op, std::string f1, std::string f2 = "") {
    sim::ValidationModel r;
    r.op = op, r.formula1 = std::move(f1), r.formula2 = std::move(f2);
    return r;
  };
  sim::ValidationModel custom;
  custom.type = xl::kValidateCustom;
  custom.formula1 = "=WEEKDAY(B2,2)<6";
  const Case cases[] = {
      {"none", std::nullopt, "", std::nullopt},
      {"between_numbers", date_rule(1, "45545", "45555"), "", DateLimits{LimitOperator::Between, sep10, sep20}},
      {"not_between_texts", date_rule(2, "2024-09-10", "2024-09-20"), "", DateLimits{LimitOperator::NotBetween, sep10, sep20}},
      {"greater_equal_formula", date_rule(7, "=DATE(2024,9,10)"), "", DateLimits{LimitOperator::GreaterEqual, sep10, sep10}},
      {"less_than_a_cell", date_rule(6, "=$D$1"), "", DateLimits{LimitOperator::Less, sep20, sep20}},
      {"formula_without_value", date_rule(8, "=NOSUCH()"), "", std::nullopt},
      {"custom_rule", custom, "", std::nullopt},
      {"type_fails", date_rule(1, "45545", "45555"), "Validation.Type", std::nullopt},
      {"evaluate_fails", date_rule(5, "=$D$1"), "Sheet.Evaluate", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartedWorld w;
    w.cell("D1").value = Variant::date(sep20);
    if (c.rule) SimExcel::SetValidation(w.sheet(), "B2", *c.rule);
    w.SelectDateCell("B2");
    if (*c.fail) w.host->FailNext(c.fail);
    w.tag().TriggerClickEvent();
    EXPECT_EQ(w.calendar().limits, c.expected);
    EXPECT_TRUE(w.calendar().shown);
  }
}

TEST(controller_write_back, value_and_format) {
  struct Case {
    const char* name;
    const char* default_format;
    std::function<void(ControllerWorld&)> before_open, after_open;
    const char* sheet;
    Variant value;
    const char* format;
  };
  const Variant written = Variant::date(Ymd(2025, 1, 1));
  const auto nothing = [](ControllerWorld&) {};
  const std::vector<Case> cases = {
      {"general_cell_gets_the_default_format", "yyyy/mm/dd", nothing, nothing, "Sheet1", written, "yyyy/mm/dd"},
      // The host's own short date format is kept when it is the default but for case.
      {"host_short_date_kept", "M/D/YYYY", nothing, nothing, "Sheet1", written, "m/d/yyyy"},
      {"formula_overwritten", "yyyy/mm/dd",
       [](auto& w) {
         SimExcel::SetFormula(w.sheet(), "B2", "=TODAY()", Variant::date(45000));
         w.cell("B2").number_format = "yyyy-mm-dd";
       },
       nothing, "Sheet1", written, "yyyy-mm-dd"},
      {"format_untouched_when_option_off", "yyyy/mm/dd",
       [](auto& w) {
         w.set(opt::SetDateFormatForNonDateCell, false);
         w.cell("B2").number_format = "0.00";
       },
       nothing, "Sheet1", written, "0.00"},
      {"time_of_day_not_kept_while_dates_carry_none", "yyyy/mm/dd",
       [](auto& w) { w.cell("B2").value = Variant::date(Ymd(2020, 5, 5) + 0.6); }, nothing, "Sheet1", written,
       "yyyy/mm/dd"},
      // A Text cell would keep the date as text: it takes the date format first, or, with the
      // option off, keeps the host's text.
      {"text_cell_holds_a_real_date", "yyyy/mm/dd", [](auto& w) { w.cell("B2").number_format = "@"; }, nothing,
       "Sheet1", written, "yyyy/mm/dd"},
      {"text_cell_keeps_text_when_option_off", "yyyy/mm/dd",
       [](auto& w) { w.set(opt::SetDateFormatForNonDateCell, false), w.cell("B2").number_format = "@"; }, nothing,
       "Sheet1", Variant::text("1/1/2025"), "@"},
      // Formatting allowed, editing not: the refused date leaves the cell formatted as Text.
      {"locked_text_cell_stays_text", "yyyy/mm/dd", [](auto& w) { w.cell("B2").number_format = "@"; },
       [](auto& w) { w.sheet().protect_contents = w.sheet().allow_formatting_cells = true; }, "Sheet1", Variant(), "@"},
      // Editing allowed, formatting not: the date is written in the host's own date format.
      {"unlocked_cell_on_a_sheet_refusing_formats", "yyyy/mm/dd", [](auto& w) { w.cell("B2").locked = false; },
       [](auto& w) { w.sheet().protect_contents = true; }, "Sheet1", written, "m/d/yyyy"},
      {"protected_cell_refuses_and_stays_whole", "yyyy/mm/dd", nothing,
       [](auto& w) { w.sheet().protect_contents = true; }, "Sheet1", Variant(), "General"},
      {"renamed_sheet_writes_nothing", "yyyy/mm/dd", nothing,
       [](auto& w) { w.host->UserRenameSheet("Book1", "Sheet1", "Renamed"); }, "Renamed", Variant(), "General"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControllerWorld w;
    w.reg().Value(opt::DefaultDateFormat, Variant::text(c.default_format));
    w.Start();
    c.before_open(w);
    w.host->UserSelect("B2");
    w.controller->ClickCommandButton();
    c.after_open(w);
    w.calendar().Close(written);
    const sim::CellModel& cell = SimExcel::Cell(w.sheet(c.sheet), "B2");
    EXPECT_EQ(cell.value, c.value);
    EXPECT_TRUE(cell.formula.empty());
    EXPECT_EQ(cell.number_format, c.format);
    EXPECT_FALSE(w.calendar().Shown());
    EXPECT_TRUE(w.platform.messages.shown().empty()) << "nothing reported that did not fail";
  }
}

// A workbook's Change macro runs inside the write: the format step is for the cell written, while it
// holds the date; a selection the macro makes is followed once the write is over.
TEST(controller_write_back, change_macros_run_inside_the_write) {
  struct Case {
    const char* name;
    std::function<void(ControllerWorld&)> macro;
    Variant value;
    const char* format;
    const char* tag_at;  // nullptr: hidden
  };
  const Variant picked = Variant::date(Ymd(2025, 1, 1));
  const Case cases[] = {
      {"selects_a_date_cell", [](auto& w) { w.SelectDateCell("D5"); }, picked, "yyyy/mm/dd", "$D$5"},
      {"selects_a_plain_cell", [](auto& w) { w.host->UserSelect("C9"); }, picked, "yyyy/mm/dd", nullptr},
      {"overwrites_the_cell", [](auto& w) { w.cell("B2").value = Variant::text("n/a"); }, Variant::text("n/a"), "m/d/yyyy",
       "$B$2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControllerWorld w;
    w.reg().Value(opt::DefaultDateFormat, Variant::text("yyyy/mm/dd"));
    w.Start();
    w.host->UserSelect("B2");
    w.controller->ClickCommandButton();
    std::string tag_inside;
    w.host->on_sheet_change = [&](sim::SheetModel&, const std::vector<sim::Area>&) {
      c.macro(w);
      tag_inside = w.tag().address;
    };
    w.calendar().Close(picked);
    EXPECT_EQ(tag_inside, "$B$2") << "the selection is followed after the write";
    EXPECT_EQ(w.cell("B2").value, c.value);
    EXPECT_EQ(w.cell("B2").number_format, c.format);
    EXPECT_FALSE(w.calendar().Shown());
    EXPECT_EQ(w.tag().Displayed(), c.tag_at != nullptr);
    if (c.tag_at) {
      EXPECT_EQ(w.tag().address, c.tag_at);
    }
  }
}

// A rule only the cell can judge is asked after the write: Stop puts the old value and format back
// and tells the rule's words or the host's; Warning and Information tell them and keep the date.
// A cell without a rule, or whose rule cannot be read, is written as ever and nothing is told.
TEST(controller_write_back, the_cell_rule_after_the_write) {
  struct Case {
    const char* name;
    std::int32_t alert;   // 0: no rule
    bool allows;
    const char* title;
    const char* fail;
    bool kept;
    std::optional<MessageRequest> told;
  };
  const char* own = "Weekdays only.";
  const MessageRequest stop{own, "Calendar", MsgIcon::Critical, MsgButtons::OK};
  const Case cases[] = {
      {"stop_puts_it_back", xl::kValidAlertStop, false, "Calendar", "", false, stop},
      {"stop_in_the_host_words", xl::kValidAlertStop, false, "", "Validation.ErrorMessage", false,
       MessageRequest{kValidationDefaultMessage, "Tessaly", MsgIcon::Critical, MsgButtons::OK}},
      {"warning_keeps_it", xl::kValidAlertWarning, false, "Calendar", "", true,
       MessageRequest{own, "Calendar", MsgIcon::Exclamation, MsgButtons::OK}},
      {"information_keeps_it", xl::kValidAlertInformation, false, "Calendar", "", true,
       MessageRequest{own, "Calendar", MsgIcon::Information, MsgButtons::OK}},
      {"allowed", xl::kValidAlertStop, true, "Calendar", "", true, std::nullopt},
      {"no_rule", 0, false, "", "", true, std::nullopt},
      {"rule_unreadable", xl::kValidAlertStop, false, "Calendar", "Validation.Type", true, std::nullopt},
      {"verdict_unreadable", xl::kValidAlertStop, false, "Calendar", "Validation.Value", true, std::nullopt},
  };
  const Variant picked = Variant::date(Ymd(2025, 1, 4));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartedWorld w;
    w.cell("B2").value = Variant::number(7);
    w.cell("B2").number_format = "0.00";
    if (c.alert) {
      sim::ValidationModel rule;
      rule.type = xl::kValidateCustom;
      rule.alert_style = c.alert;
      rule.error_title = c.title;
      rule.error_message = own;
      rule.allows = [&c](const Variant&) { return c.allows; };
      SimExcel::SetValidation(w.sheet(), "B2", rule);
    }
    w.host->UserSelect("B2");
    w.controller->ClickCommandButton();
    if (*c.fail) w.host->FailAlways(c.fail);
    w.calendar().Close(picked);
    const std::string date_format = w.reg().Text(opt::DefaultDateFormat);
    EXPECT_EQ(std::tuple(w.cell("B2").value, w.cell("B2").number_format),
              c.kept ? std::tuple(picked, date_format) : std::tuple(Variant::number(7), std::string("0.00")));
    EXPECT_EQ(w.platform.messages.shown(), c.told ? std::vector<MessageRequest>{*c.told} : std::vector<MessageRequest>{});
    EXPECT_FALSE(w.calendar().Shown());
  }
}

TEST(controller_write_back, cancel_and_non_dates_write_nothing) {
  StartedWorld w;
  w.host->UserSelect("B2");
  for (Variant v : {Variant::text(""), Variant::text("2025-01-01"), Variant::date(45000.25), Variant::number(45000),
                    Variant::date(Ymd(1899, 12, 31))}) {
    w.controller->ClickCommandButton();
    w.calendar().Close(v);
    EXPECT_EQ(w.cell("B2").value, Variant());
    EXPECT_FALSE(w.calendar().Shown());
  }
  // Only the day before 1900 was a day picked; it is told, never dropped unseen.
  const MessageRequest told{kDateBeforeCellYears, "Tessaly", MsgIcon::Information, MsgButtons::OK};
  EXPECT_EQ(w.platform.messages.shown(), std::vector<MessageRequest>{told});
}

// ---------------------------------------------------------------- start-up and teardown

TEST(controller_lifecycle, init_and_teardown) {
  ControllerWorld w;
  w.platform.store.put("FirstTimeRun", "0");
  w.Start();
  EXPECT_EQ(w.tag().icon, "C:\\Tessaly\\pictures\\cal16.ico");
  EXPECT_EQ(w.controller->ImageList()->Count(), 6u);
  EXPECT_EQ(w.controller->EditModeProbe()->Id(), 3627);
  EXPECT_EQ(w.host->Subscribers(), 1u);
  // Made at the first need, with today's date.
  w.controller->ClickCommandButton();
  EXPECT_EQ(w.calendar().init, Variant::date(std::floor(w.platform.clock.serial)));
  w.controller.reset();
  EXPECT_EQ(w.host->Subscribers(), 0u);
  EXPECT_EQ(w.parts.calendars_unloaded, 1);  // the form itself is gone with the controller
}

// A form readied in a workbook window goes back to the host's main window when that window goes:
// it would otherwise be destroyed with it.
TEST(controller_lifecycle, a_readied_form_leaves_the_closing_workbook_window) {
  StartedWorld w;
  w.host->AddWorkbook("Book2", {"Data"});
  w.SelectDateCell("C5");
  ASSERT_EQ(w.calendar().parked, w.host->Book("Book1").window);
  w.host->UserCloseWorkbook("Book1");
  EXPECT_EQ(std::tuple(w.calendar().parked, w.calendar().homes), std::tuple(WindowHandle{0}, 1));
}

// The host refuses to end the subscription: its late events reach no controller.
// A tag or calendar whose window went with a closed main window is made again when next needed,
// with its events and icon; never the tag while its own click runs.
TEST(controller_lifecycle, windows_lost_with_their_parent_are_made_again) {
  StartedWorld w;
  w.SelectDateCell("C5");
  w.tag().lost = true;
  w.calendar().lost = true;
  w.host->UserSelect("C5");
  EXPECT_EQ(w.parts.tags_made, 2);
  EXPECT_TRUE(w.tag().Displayed());
  EXPECT_EQ(w.tag().icon, "C:\\Tessaly\\pictures\\cal16.ico");
  w.tag().lost = true;
  w.tag().TriggerClickEvent();
  EXPECT_EQ(w.parts.tags_made, 2);
  EXPECT_EQ(w.parts.calendars_made, 2);
  EXPECT_TRUE(w.calendar().Shown());
  w.calendar().Close(Variant::text(""));
  EXPECT_FALSE(w.calendar().Shown()) << "the new form's events reach the controller";
}

TEST(controller_lifecycle, teardown_with_a_refused_unsubscribe) {
  StartedWorld w;
  w.host->FailAlways("Application.Unadvise");
  w.controller.reset();
  ASSERT_EQ(w.host->Subscribers(), 1u);
  w.host->UserSelect("B2");
  w.host->UserActivateSheet("Sheet2");
  w.host->UserResizeWindow();  // under the address sanitizer, a call into the gone controller aborts here
  EXPECT_TRUE(w.platform.messages.shown().empty());
}

// ---------------------------------------------------------------- faults

// A failing statement costs only itself: the tag's window, the active cell's Activate and the
// keystrokes each fail alone and the steps after them still run.
TEST(controller_faults, one_failing_statement_skips_only_itself) {
  ControllerWorld w("11.0");
  auto button = w.AddToolbarButton("DisableOrEnable");
  w.Start();
  w.SelectDateCell("C5");
  w.controller->cbbDisable_Click();
  w.host->FailNext("Range.Activate");
  w.controller->cbbDisable_Click();
  EXPECT_TRUE(w.tag().Displayed()) << "enabling re-runs the decision though Activate failed";

  w.tag().parent_lost = true;
  w.tag().x = 900;
  w.tag().TriggerClickEvent();
  EXPECT_EQ(w.calendar().at, (ScreenPoint{900, 120})) << "the tag's place is read without its window";

  w.host->UserBeginEdit("x");
  w.host->FailAlways("Application.SendKeys");
  w.host->ResetCalls();
  w.tag().TriggerClickEvent();
  EXPECT_EQ(w.host->Calls("Application.ProcessPendingMessages"), 1) << "the pending messages are still let through";
}

}  // namespace
}  // namespace tessaly::testing
