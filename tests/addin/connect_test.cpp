// The add-in entry: version and main window, the connection's early stops, the first-run flag,
// reloads and the ribbon calls with and without a controller.
#include "addin/connect.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/controller_world.h"
#include "dialogs/frm_settings.h"
#include "host/callback_depth.h"
#include "settings/machine_file.h"
#include "sim/manual_timers.h"
#include "tests/dialogs/dialog_world.h"

namespace tessaly::testing {
namespace {

struct AddInWorld {
  explicit AddInWorld(const char* version = "12.0") {
    host = sim::SimExcel::Create(version);
    host->AddWorkbook("Book1");
    desk.AddWindow(host->Book("Book1").window, "EXCEL7", desk.current_process, {0, 0, 1000, 700});
  }
  std::unique_ptr<Connect> Make() {
    return std::make_unique<Connect>(
        ConnectServices{platform.services(), desk, desk, desk, parts, "C:\\Tessaly", &timers});
  }
  // Connected as the user starts the host; the host's COMAddIns(ProgId).Connect reaches this add-in.
  std::unique_ptr<Connect> Connected() {
    auto addin = Make();
    instance->on_connect = [this, a = addin.get()](bool on) {
      if (on) a->OnConnection(host, kConnectAfterStartup, instance, {Variant::i4(1)});
      else a->OnDisconnection(1, {});
    };
    addin->OnConnection(host, kConnectStartup, instance, {Variant::i4(1)});
    return addin;
  }
  sim::ManualTimers timers;
  std::shared_ptr<sim::SimAddInInstance> instance = std::make_shared<sim::SimAddInInstance>();
  FakePlatform platform;
  std::shared_ptr<sim::SimExcel> host;
  sim::SimDesktop desk;
  RecordingParts parts;
};

TEST(addin_version, leading_digits) {
  const std::pair<const char*, int> cases[] = {{"12.0", 12}, {"14.0", 14}, {"9.0", 9}, {"11.0a", 11},
                                               {"  16.0 ", 16}, {"v12", 0}, {"", 0}, {"99999999999999", 999999}};
  for (auto [text, expected] : cases) EXPECT_EQ(ExtractExcelVersionNumber(text), expected) << text;
}

TEST(addin_main_window, by_version) {
  AddInWorld w;
  w.host->SetHwnd(0x777);
  w.desk.AddWindow(0x100, "XLMAIN", 1, {});                       // another host process
  w.desk.AddWindow(0x200, "XLMAIN", w.desk.current_process, {});  // ours
  EXPECT_EQ(GetExcelMainWindow(9, *w.host, w.desk), 0x200u);
  EXPECT_EQ(GetExcelMainWindow(10, *w.host, w.desk), 0x777u);
  sim::SimDesktop empty;
  EXPECT_EQ(GetExcelMainWindow(9, *w.host, empty), 0u);
}

TEST(addin_connection, early_stops_create_no_controller) {
  struct Case {
    const char* name;
    std::int32_t mode;
    std::vector<Variant> custom;
    bool reload;
    bool controller;
  };
  const std::vector<Case> cases = {
      {"external program", kConnectExternal, {Variant::i4(1)}, false, false},
      {"command line", kConnectCommandLine, {Variant::i4(1)}, false, false},
      {"automation", kConnectStartup, {Variant::i4(3)}, false, false},
      {"reload pending", kConnectStartup, {Variant::i4(1)}, true, false},
      {"user interface", kConnectStartup, {Variant::i4(1)}, false, true},
      {"embedded", kConnectAfterStartup, {Variant::i4(2)}, false, true},
      {"no custom value", kConnectStartup, {}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddInWorld w;
    auto addin = w.Make();
    if (c.reload) addin->SetPendingReload(std::make_shared<int>(0));
    addin->OnConnection(w.host, c.mode, std::make_shared<sim::SimAddInInstance>(), c.custom);
    EXPECT_EQ(addin->Controller() != nullptr, c.controller);
    EXPECT_EQ(addin->Module().AddInFolder, "C:\\Tessaly\\");
    EXPECT_EQ(w.host->Subscribers(), c.controller ? 1u : 0u);
    if (c.controller) continue;
    // Without a controller the ribbon's calls do nothing and say nothing.
    RibbonControl toggle("ZorelToggleButtonDisable");
    EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "");
    EXPECT_FALSE(addin->ZorelToggleButtonGetPressed(toggle));
    EXPECT_EQ(addin->ZorelGetScreentip(toggle), "");
    EXPECT_EQ(addin->ZorelGetImage(toggle), nullptr);
    addin->ZorelButtonProc(toggle);
    addin->ZorelToggleButtonProc(toggle, true);
    EXPECT_TRUE(w.platform.messages.shown().empty());
  }
}

TEST(addin_connection, start_up_values) {
  AddInWorld w;
  w.host->SetHwnd(0x4321);
  w.platform.store.put("DefaultDateResotre", "1");
  w.platform.store.put("DefaultDate", "02/01/2020");  // the user's day-first short date
  auto addin = w.Connected();
  ASSERT_TRUE(addin->Controller());
  EXPECT_EQ(addin->Module().ExcelVersion, 12);
  EXPECT_EQ(addin->Module().ExcelMainWindow, 0x4321u);
  EXPECT_EQ(addin->Module().HelpFilePath, "C:\\Tessaly\\TESSALY.chm");
  EXPECT_EQ(addin->Controller()->OnActionText(), "!<TESSALY.Connect>");
  EXPECT_EQ(addin->Module().CurrentDefaultDate, 43832.0);  // 2 January 2020
  EXPECT_TRUE(addin->Module().FirstRun);
}

// The "FirstTimeRun" marker is stored before the options load, yet the user stays new: the
// machine file's values are taken and nothing is copied into the user's store.
TEST(addin_connection, new_user_takes_the_machine_file) {
  AddInWorld w;
  w.platform.files.files["C:\\ProgramData\\Brenmoor\\Tessaly\\Tessaly.conf"] =
      EncodeMachineRecord({{"UrlHome", "https://shared/"}});
  auto addin = w.Connected();
  EXPECT_EQ(addin->Module().UrlHome, "https://shared/");
  EXPECT_EQ(w.platform.store.at("FirstTimeRun"), "0");
  EXPECT_EQ(w.platform.store.at("UrlHome"), "<absent>");
  EXPECT_EQ(w.platform.files.writes, 0);
}

// The add-in's ProgId is one statement of the controller's start-up: its failure costs only the
// command-bar action text. (Host failures at connection are the fault sweep's.)
TEST(addin_connection, failing_prog_id_costs_only_the_action_text) {
  AddInWorld w;
  w.instance->fail = true;
  auto addin = w.Connected();
  ASSERT_NE(addin->Controller(), nullptr);
  EXPECT_EQ(addin->Controller()->OnActionText(), "");
  EXPECT_EQ(addin->Controller()->ImageList()->Count(), 6u);
  EXPECT_EQ(w.host->Subscribers(), 1u);
}

TEST(addin_disconnection, reload_keeps_the_controller) {
  AddInWorld w;
  auto addin = w.Connected();
  cVantry* controller = addin->Controller();
  ASSERT_TRUE(controller);
  addin->SetPendingReload(std::make_shared<int>(0));
  addin->OnDisconnection(0, {});
  addin->OnConnection(w.host, kConnectStartup, std::make_shared<sim::SimAddInInstance>(), {Variant::i4(1)});
  EXPECT_EQ(addin->Controller(), controller);
  EXPECT_FALSE(w.parts.tag->unloaded);
  EXPECT_EQ(w.host->Subscribers(), 1u);
  addin->SetPendingReload(nullptr);
  addin->OnDisconnection(0, {});
  EXPECT_EQ(addin->Controller(), nullptr);
  EXPECT_EQ(w.host->Subscribers(), 0u);
}

// The user turns the add-in off and on in the COM add-ins list: the new controller can still undo
// the last pick, and the button shows it.
TEST(addin_disconnection, last_pick_undone_after_turning_off_and_on) {
  AddInWorld w;
  auto addin = w.Connected();
  sim::CellModel& cell = sim::SimExcel::Cell(w.host->Sheet("Book1", "Sheet1"), "B2");
  cell.value = Variant::number(42);
  w.host->UserSelect("B2");
  addin->Controller()->ClickCommandButton();
  w.parts.calendar->Close(Variant::date(Ymd(2025, 3, 14)));
  ASSERT_TRUE(cell.value.is_date());
  w.instance->SetConnectInHost("TESSALY.Connect", false);
  ASSERT_EQ(addin->Controller(), nullptr);
  w.instance->SetConnectInHost("TESSALY.Connect", true);
  RibbonControl undo(kUndoDateId);
  EXPECT_TRUE(addin->ZorelGetEnabled(undo));
  addin->ZorelButtonProc(undo);
  EXPECT_EQ(std::pair(cell.value, cell.number_format), std::pair(Variant::number(42), std::string("General")));
  EXPECT_FALSE(addin->ZorelGetEnabled(undo));
}

TEST(addin_ribbon, forwarded_to_the_controller) {
  AddInWorld w;
  auto addin = w.Connected();
  const std::string name = addin->Module().ProductName;
  RibbonControl toggle("ZorelToggleButtonDisable");
  EXPECT_FALSE(addin->ZorelToggleButtonGetPressed(toggle));
  EXPECT_EQ(addin->ZorelGetScreentip(toggle), "Click to disable " + name);
  EXPECT_EQ(addin->ZorelGetImage(toggle)->Key(), "disable");
  addin->ZorelToggleButtonProc(toggle, true);
  EXPECT_TRUE(addin->ZorelToggleButtonGetPressed(toggle));
  EXPECT_EQ(addin->ZorelGetScreentip(toggle), "Click to enable " + name);
  EXPECT_EQ(w.platform.store.at("CalendarDisabled"), "1");
  // The ribbon file is missing: the warning names the path and the system's reason.
  EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "");
  ASSERT_EQ(w.platform.messages.shown().size(), 1u);
  EXPECT_EQ(w.platform.messages.shown()[0].text,
            "Warning: Cannot load the following Ribbon XML file: \r\n\r\nC:\\Tessaly\\caltab.xml\r\n\r\n"
            "Error message returned by the system: The system cannot find the file specified.");
  // A file far larger than any ribbon description is not read at all: the warning says why.
  w.platform.files.files["C:\\Tessaly\\caltab.xml"] = std::string((16 << 20) + 1, ' ');
  EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "");
  ASSERT_EQ(w.platform.messages.shown().size(), 2u);
  EXPECT_TRUE(w.platform.messages.shown()[1].text.ends_with("The file size exceeds the limit allowed."));
  w.platform.files.files["C:\\Tessaly\\caltab.xml"] = "<customUI/>";
  EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "<customUI/>");
  w.platform.files.files["C:\\Tessaly\\caltab.xml"] = "\xEF\xBB\xBF<customUI/>";  // saved by an editor that marks UTF-8
  EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "<customUI/>");
}

TEST(addin_ribbon_mode, read_from_the_ribbon_file_in_any_case) {
  const std::pair<const char*, std::int32_t> cases[] = {{"C:\\Tessaly\\calgroup.xml", 1},
                                                        {"c:\\other\\CalGroup.XML", 1},
                                                        {"C:\\Tessaly\\caltab.xml", 0},
                                                        {"", 0},
                                                        {"C:\\Tessaly\\calgroup.xm", 0}};
  for (auto [file, mode] : cases) {
    AddInWorld w;
    w.platform.store.put("RibbonFile", file);
    auto addin = w.Connected();
    EXPECT_EQ(addin->Controller()->RibbonUIType(), mode) << file;
  }
}

const char* const kModeMessage =
    "You have changed the installation mode of Tessaly. Please restart Excel to make the changes take effect.";

// The switch to the Insert-tab group: stored, then off and on through the host 20 ms apart each,
// the controller and its windows kept, and the new file read when the host asks for the ribbon.
TEST(addin_ribbon_mode, switching_reloads_through_the_host) {
  AddInWorld w;
  w.platform.files.files["C:\\Tessaly\\calgroup.xml"] = "<group/>";
  auto addin = w.Connected();
  cVantry* controller = addin->Controller();
  controller->RibbonUIType(0);  // no change: nothing happens
  EXPECT_FALSE(addin->ReloadPending());
  controller->RibbonUIType(1);
  EXPECT_EQ(w.platform.store.at("RibbonFile"), "C:\\Tessaly\\calgroup.xml");
  EXPECT_TRUE(addin->ReloadPending());
  EXPECT_TRUE(w.instance->connect_calls.empty());  // nothing inside the call that asked
  w.timers.Elapse(19);
  EXPECT_TRUE(w.instance->connect_calls.empty());
  w.timers.Elapse(1);
  EXPECT_EQ(w.instance->connect_calls, std::vector<std::string>{"TESSALY.Connect off"});
  EXPECT_EQ(addin->Controller(), controller);
  w.timers.Elapse(20);
  EXPECT_EQ(w.instance->connect_calls, (std::vector<std::string>{"TESSALY.Connect off", "TESSALY.Connect on"}));
  EXPECT_FALSE(addin->ReloadPending());
  EXPECT_EQ(addin->Controller(), controller);
  EXPECT_FALSE(w.parts.tag->unloaded);
  EXPECT_EQ(w.host->Subscribers(), 1u);
  EXPECT_EQ(w.timers.Alive(), 0u);
  EXPECT_EQ(addin->GetCustomUI("Microsoft.Excel.Workbook"), "<group/>");
  EXPECT_EQ(controller->RibbonUIType(), 1);
  EXPECT_TRUE(w.platform.messages.shown().empty());
}

// A refused reload is over: nothing stays pending, and the user's own turning off in the COM
// Add-ins dialog then takes the controller down.
TEST(addin_ribbon_mode, refusals_tell_the_user_once) {
  struct Case {
    const char* name;
    bool refuse_unload, refuse_load, no_timers, missing_file, refuse_store;
    std::vector<std::string> calls;
    const char* message;
    bool stored;
  };
  const std::string cannot_find = "Cannot find the following Ribbon XML file: \r\n\r\nC:\\Tessaly\\calgroup.xml";
  const std::vector<Case> cases = {
      {"unload refused", true, false, false, false, false, {"TESSALY.Connect off"}, kModeMessage, true},
      {"load refused", false, true, false, false, false, {"TESSALY.Connect off", "TESSALY.Connect on"}, kModeMessage, true},
      {"no timer", false, false, true, false, false, {}, kModeMessage, true},
      {"file missing", false, false, false, true, false, {}, cannot_find.c_str(), false},
      {"store refused", false, false, false, false, true, {}, "The setting 'RibbonFile' could not be saved.\r\n\r\nAccess is denied.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddInWorld w;
    if (!c.missing_file) w.platform.files.files["C:\\Tessaly\\calgroup.xml"] = "<group/>";
    w.instance->refuse_unload = c.refuse_unload;
    w.instance->refuse_load = c.refuse_load;
    w.timers.fail = c.no_timers;
    auto addin = w.Connected();
    w.platform.store.fail_write = c.refuse_store;
    addin->Controller()->RibbonUIType(1);
    w.timers.Elapse(1000);
    EXPECT_EQ(w.instance->connect_calls, c.calls);
    ASSERT_EQ(w.platform.messages.shown().size(), 1u);
    const MessageRequest& m = w.platform.messages.shown()[0];
    EXPECT_EQ(m.text, c.message);
    EXPECT_EQ(m.icon, c.missing_file || c.refuse_store ? MsgIcon::Critical : MsgIcon::Information);
    EXPECT_EQ(m.title, "Tessaly");
    EXPECT_EQ(w.platform.store.at("RibbonFile") == "C:\\Tessaly\\calgroup.xml", c.stored);
    EXPECT_FALSE(addin->ReloadPending());
    EXPECT_NE(addin->Controller(), nullptr);
    EXPECT_EQ(w.timers.Running(), 0u);
    addin->OnDisconnection(1, {});
    EXPECT_EQ(addin->Controller(), nullptr);
  }
}

// The calendar command leaves edit mode; the host's pending messages disconnect the add-in
// meanwhile: the handler runs to its end on a live controller, which goes once the call returns.
void DisconnectedDuringTheCalendarCommand(AddInWorld& w, Connect& addin, const std::function<void()>& command) {
  w.host->UserSelect("A1");
  w.host->UserBeginEdit("7");
  bool deferred = false;
  w.host->Post([&] {
    addin.OnDisconnection(1, {});
    deferred = addin.Controller() != nullptr && addin.TeardownPending();
  });
  command();
  EXPECT_TRUE(deferred);
  EXPECT_FALSE(w.host->typed_keys.empty());
  EXPECT_EQ(addin.Controller(), nullptr);
  EXPECT_EQ(w.host->Subscribers(), 0u);
  EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
}

// A disconnection that arrives while a call into the add-in is on the stack tears down only once
// the outermost call returns; a connection before that keeps the controller.
TEST(addin_disconnection, waits_for_the_outermost_callback) {
  AddInWorld w;
  auto addin = w.Connected();
  {
    CallbackScope outer;
    {
      CallbackScope inner;
      addin->OnDisconnection(1, {});
    }
    EXPECT_NE(addin->Controller(), nullptr);
    EXPECT_TRUE(addin->TeardownPending());
  }
  EXPECT_EQ(addin->Controller(), nullptr);
  EXPECT_EQ(w.host->Subscribers(), 0u);

  addin->OnConnection(w.host, kConnectStartup, w.instance, {Variant::i4(1)});
  cVantry* controller = addin->Controller();
  {
    CallbackScope call;
    addin->OnDisconnection(1, {});
    addin->OnConnection(w.host, kConnectAfterStartup, w.instance, {Variant::i4(1)});
  }
  EXPECT_EQ(addin->Controller(), controller);
  EXPECT_EQ(w.host->Subscribers(), 1u);

  RibbonControl calendar("ZorelButtonCalendar");
  DisconnectedDuringTheCalendarCommand(w, *addin, [&] { addin->ZorelButtonProc(calendar); });
}

// The same through a command-bar button's Click.
TEST(addin_disconnection, waits_for_a_command_bar_click) {
  AddInWorld w("11.0");
  auto addin = w.Connected();
  w.timers.Elapse(1);  // the host's message loop turns: the toolbar is made
  const auto calendar_button = w.host->Bar("Tessaly").controls.at(0);
  DisconnectedDuringTheCalendarCommand(w, *addin, [&] { EXPECT_TRUE(w.host->UserClickControl(calendar_button)); });
}

// Turned off before the host's message loop turned: no command bar was made and no timer is left,
// and the next connection is the first run still, so it makes what the first would have made.
// Turned off after them, the first run is over.
TEST(addin_disconnection, before_the_command_bars_were_made) {
  AddInWorld w("11.0");
  auto addin = w.Connected();
  EXPECT_EQ(w.platform.store.at("FirstTimeRun"), "0");
  addin->OnDisconnection(1, {});
  EXPECT_EQ(w.timers.Alive(), 0u);
  EXPECT_THROW(w.host->Bar("Tessaly"), HostError);
  EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
  EXPECT_EQ(w.platform.store.at("FirstTimeRun"), "1");

  addin = w.Connected();
  EXPECT_TRUE(addin->Module().FirstRun);
  w.timers.Elapse(1);
  EXPECT_EQ(w.host->Bar("Tessaly").controls.size(), 6u);
  EXPECT_EQ(w.host->Bar("Cell").controls.front()->caption, "Quenby");
  EXPECT_TRUE(w.platform.messages.shown().empty()) << "built, not asked for";
  addin->OnDisconnection(1, {});
  EXPECT_EQ(w.platform.store.at("FirstTimeRun"), "0");
}

// The options dialog through the connected add-in reads and sets the controller's own entry points.
TEST(addin_options_dialog, sets_the_controllers_ribbon_mode) {
  AddInWorld w;
  w.platform.files.files["C:\\Tessaly\\calgroup.xml"] = "<group/>";
  w.platform.locale.data.date_separator = ".";  // as the day-first pattern has it
  auto addin = w.Connected();
  ScriptedDialogHost dialogs;
  int shown_mode = -2;
  dialogs.scripts[DialogKind::Settings] = [&](FakeDialogWindow& win, IDialogHandler& h) {
    shown_mode = win.at(frmSettings::cboInstallAs).index;
    win.at(frmSettings::cboInstallAs).index = 1;
    h.Click(frmSettings::cmdOK);
  };
  addin->ShowOptions(0, dialogs);
  EXPECT_EQ(shown_mode, 0);
  EXPECT_EQ(dialogs.owners, std::vector<WindowHandle>{0});
  EXPECT_EQ(w.platform.store.at("RibbonFile"), "C:\\Tessaly\\calgroup.xml");
  EXPECT_TRUE(addin->ReloadPending());
  EXPECT_TRUE(w.platform.messages.shown().empty());
}

}  // namespace
}  // namespace tessaly::testing
