// The command bars of hosts without a ribbon and the cell context menu on the stand-in host: what
// the first start builds, what later starts find by tag, the re-creation question, the entry's
// separator, showing and hiding, and clicks routed through the host to the controller.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "controller_world.h"
#include "sim/command_bar_file.h"
#include "sim/manual_timers.h"

namespace tessaly::testing {
namespace {

using sim::ControlModel;
using sim::SimExcel;

struct Face {
  std::string caption, tooltip, tag, picture;
  friend bool operator==(const Face&, const Face&) = default;
};
std::ostream& operator<<(std::ostream& o, const Face& f) {
  return o << "{" << f.caption << " | " << f.tooltip << " | " << f.tag << " | " << f.picture << "}";
}

Face FaceOf(const ControlModel& c) { return {c.caption, c.tooltip, c.tag, c.picture}; }
std::vector<Face> Faces(SimExcel& host, const std::string& bar) {
  std::vector<Face> faces;
  for (const auto& c : host.Bar(bar).controls) faces.push_back(FaceOf(*c));
  return faces;
}

// A face as the toolbar file keeps it: here the key of the image it was written from.
struct StoredFace : IButtonImage {
  explicit StoredFace(std::string k) : key(std::move(k)) {}
  std::string Key() const override { return key; }
  std::string key;
};
const sim::FaceCodec kStoredFaces{[](const ButtonImagePtr& i) { return "bits of " + i->Key(); },
                                  [](const std::string&, const std::string& t) { return std::make_shared<StoredFace>(t); }};

// The controller goes and the host quits and starts again with the bars of its toolbar file; the
// next start is not the first.
void NextStart(ControllerWorld& w) {
  w.controller.reset();
  w.host->Restart();
  ASSERT_TRUE(sim::LoadCommandBars(*w.host, sim::SaveCommandBars(*w.host, kStoredFaces), kStoredFaces));
  w.m.FirstRun = false;
  w.Start();
}

const std::vector<Face> kToolbar = {
    {"Calendar!", "Open Quenby", "Calendar!", "display"},
    {"Settings", "Set options", "Settings", "setting16"},
    {"Disable", "Click to disable Tessaly", "DisableOrEnable", "disable"},
    {"Help", "Open the help document of Tessaly", "Help", "help"},
    {"About Tessaly", "Show the version of Tessaly and how to reach its maker", "About Tessaly", "about"},
    {"Undo Date", "Take back the last date picked", "UndoDate", ""},  // its caption alone
};

TEST(command_bars, first_start_builds_all_three_and_later_starts_find_them) {
  ControllerWorld w("11.0");
  ASSERT_TRUE(w.m.FirstRun);
  w.Start();
  const sim::CommandBarModel& bar = w.host->Bar("Tessaly");
  EXPECT_EQ(Faces(*w.host, "Tessaly"), kToolbar);
  EXPECT_TRUE(bar.visible);
  EXPECT_EQ(bar.position, xl::kBarTop);
  for (const auto& c : bar.controls) {
    EXPECT_EQ(c->style, c->picture.empty() ? xl::kButtonCaption : xl::kButtonIconAndCaption);
    EXPECT_EQ(c->on_action, "!<TESSALY.Connect>");
    EXPECT_EQ(c->mask, c->picture.empty() ? "" : c->picture + ".mask");
    EXPECT_FALSE(c->temporary);
  }
  EXPECT_FALSE(bar.controls.back()->enabled) << "no pick to undo yet";
  EXPECT_EQ(bar.controls[2]->state, xl::kButtonUp);
  const auto quick = w.host->Bar("Standard").controls.back();
  EXPECT_EQ(FaceOf(*quick),
            (Face{"Quenby", "Pick a date with the calendar (Brenmoor)", "Brenmoor Quenby-QUICKBUTTON", "display"}));
  EXPECT_TRUE(quick->begin_group);
  EXPECT_EQ(w.host->Bar("Standard").controls.size(), 4u);
  const auto entry = w.host->Bar("Cell").controls.front();
  EXPECT_EQ(FaceOf(*entry), (Face{"Quenby", "", "Brenmoor Quenby-CELL", "display"}));
  EXPECT_TRUE(entry->begin_group && !entry->temporary);
  EXPECT_EQ(entry->on_action, "!<TESSALY.Connect>");
  EXPECT_TRUE(w.controller->DisplayToolbarButton());
  EXPECT_TRUE(w.controller->DisplayRightClickMenu());

  const std::size_t bars = w.host->Bars().size();
  NextStart(w);
  EXPECT_EQ(w.host->Bars().size(), bars);
  EXPECT_EQ(Faces(*w.host, "Tessaly"), kToolbar);
  for (const auto& c : w.host->Bar("Tessaly").controls) {
    if (!c->picture_image) continue;
    EXPECT_EQ(std::pair(c->picture_image->Key(), c->mask_image->Key()), std::pair("bits of " + c->picture, "bits of " + c->mask));
  }
  EXPECT_EQ(w.host->Bar("Standard").controls.size(), 4u);
  EXPECT_EQ(w.host->Bar("Cell").controls.size(), 5u);
  EXPECT_TRUE(w.platform.messages.shown().empty());
  EXPECT_EQ(w.host->ButtonSubscribers(), 9u) << "the six buttons, the quick button and the two entries, found by tag";
  EXPECT_TRUE(w.controller->DisableButton());
  EXPECT_FALSE(sim::LoadCommandBars(*w.host, "not a toolbar file\n"));
  EXPECT_EQ(w.host->Bars().size(), bars);
}

// Each control's click reaches its own handler through the host, and only while the controller lives.
TEST(command_bars, clicks_route_through_the_action_text) {
  StartedWorld w("11.0");
  w.SelectDateCell("B2");
  const auto& toolbar = w.host->Bar("Tessaly").controls;
  struct Case {
    const char* what;
    std::shared_ptr<ControlModel> control;
    bool calendar;
    int settings, about, help;
  };
  const Case cases[] = {
      {"calendar button", toolbar[0], true, 0, 0, 0},
      {"settings", toolbar[1], false, 1, 0, 0},
      {"help", toolbar[3], false, 0, 0, 1},
      {"about", toolbar[4], false, 0, 1, 0},
      {"quick button", w.host->Bar("Standard").controls.back(), true, 0, 0, 0},
      {"context menu", w.host->Bar("Cell").controls.front(), true, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.calendar().HideCalendar();
    const int settings = w.parts.settings_shown;
    const std::size_t about = w.parts.about.size(), help = w.desk.help_shown.size();
    EXPECT_TRUE(w.host->UserClickControl(c.control));
    EXPECT_EQ(w.calendar().Shown(), c.calendar);
    EXPECT_EQ(w.parts.settings_shown - settings, c.settings);
    EXPECT_EQ(w.parts.about.size() - about, std::size_t(c.about));
    EXPECT_EQ(w.desk.help_shown.size() - help, std::size_t(c.help));
  }
  EXPECT_TRUE(w.host->UserClickControl(toolbar[2]));
  EXPECT_EQ(toolbar[2]->state, xl::kButtonDown);
  EXPECT_TRUE(w.reg().Bool(opt::CalendarDisabled));

  // Another add-in's action text reaches no one; after teardown no click reaches the controller.
  toolbar[0]->on_action = "!<Other.Connect>";
  EXPECT_FALSE(w.host->UserClickControl(toolbar[0]));
  w.controller.reset();
  EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
  EXPECT_FALSE(w.host->UserClickControl(toolbar[1]));
}

// A deleted toolbar: No leaves the add-in without one, Yes rebuilds all five with the disable
// button showing the stored state.
TEST(command_bars, recreation_question) {
  for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
    SCOPED_TRACE(answer == MsgResult::Yes ? "yes" : "no");
    StartedWorld w("11.0");
    w.host->RemoveBar("Tessaly");
    w.set(opt::CalendarDisabled, true);
    w.platform.messages.script(answer);
    NextStart(w);
    ASSERT_EQ(w.platform.messages.shown().size(), 1u);
    EXPECT_EQ(w.platform.messages.shown()[0],
              (MessageRequest{"Cannot find the toolbar for Tessaly\r\n\r\nDo you want to recreate it?", "Tessaly",
                              MsgIcon::Question, MsgButtons::YesNo}));
    if (answer == MsgResult::No) {
      EXPECT_THROW(w.host->Bar("Tessaly"), HostError);
      EXPECT_FALSE(w.controller->DisableButton());
      EXPECT_TRUE(w.controller->DisplayRightClickMenu()) << "the context menu still works";
      continue;
    }
    std::vector<Face> expected = kToolbar;
    expected[2] = {"Disable", "Click to enable Tessaly", "DisableOrEnable", "enable"};
    EXPECT_EQ(Faces(*w.host, "Tessaly"), expected);
    EXPECT_EQ(w.host->Bar("Tessaly").controls[2]->state, xl::kButtonDown);
    EXPECT_EQ(w.host->Bar("Standard").controls.size(), 4u) << "the quick button is not built twice";
  }
}

// The entry is set off from the host's Cut, and only from Cut.
TEST(command_bars, cut_separator) {
  for (bool cut_first : {true, false}) {
    ControllerWorld w("12.0");
    auto& cell = w.host->Bar("Cell").controls;
    if (!cut_first) std::swap(cell[0], cell[1]);
    w.Start();
    ASSERT_EQ(cell.size(), 5u);
    EXPECT_EQ(cell[0]->tag, "Brenmoor Quenby-CELL");
    EXPECT_EQ(std::pair(cell[1]->tag, cell[1]->caption), std::pair(std::string("Brenmoor Quenby-CELL-UNDO"), std::string("Undo Date")));
    EXPECT_EQ(cell[2]->id, cut_first ? xl::kControlCut : 19);
    EXPECT_EQ(cell[2]->begin_group, cut_first);
  }
}

// Unticking hides the entry and ticking shows the same one again; a later start does not bring
// back an entry the user deleted, the first start does; hosts with a ribbon have no quick button.
TEST(command_bars, showing_hiding_and_deleted_entries) {
  StartedWorld w("12.0");
  const auto entry = w.host->Bar("Cell").controls.front();
  w.controller->DisplayRightClickMenu(false);
  EXPECT_FALSE(entry->visible);
  EXPECT_FALSE(w.controller->DisplayRightClickMenu());
  EXPECT_FALSE(w.host->Bar("Cell").controls.at(1)->visible) << "Undo Date goes with it";
  w.controller->DisplayRightClickMenu(true);
  EXPECT_TRUE(entry->visible);
  EXPECT_TRUE(w.host->Bar("Cell").controls.at(1)->visible);
  EXPECT_EQ(w.host->Bar("Cell").controls.size(), 5u);
  EXPECT_EQ(w.host->Bar("Cell").controls.front(), entry);

  w.controller->DisplayToolbarButton(true);
  EXPECT_FALSE(w.controller->DisplayToolbarButton());
  EXPECT_EQ(w.host->Bar("Standard").controls.size(), 3u);
  EXPECT_THROW(w.host->Bar("Tessaly"), HostError);

  w.host->Bar("Cell").controls.erase(w.host->Bar("Cell").controls.begin());
  NextStart(w);
  EXPECT_EQ(w.host->Bar("Cell").controls.size(), 4u) << "only Undo Date's entry is left";
  EXPECT_FALSE(w.controller->DisplayRightClickMenu());
  w.controller->DisplayRightClickMenu(true);  // the options dialog asks for it
  EXPECT_EQ(w.host->Bar("Cell").controls.front()->tag, "Brenmoor Quenby-CELL");
}

// A quick button or entry the user deletes during the session no longer counts as there: ticking
// its option again builds it once more, once, and its clicks reach the controller.
TEST(command_bars, deleted_during_the_session_and_ticked_again) {
  StartedWorld w("11.0");
  w.SelectDateCell("B2");
  const struct {
    const char* bar;
    std::size_t position;
    std::function<bool(cVantry&)> shown;
    std::function<void(cVantry&, bool)> show;
  } cases[] = {
      {"Standard", 4, [](cVantry& c) { return c.DisplayToolbarButton(); }, [](cVantry& c, bool v) { c.DisplayToolbarButton(v); }},
      {"Cell", 1, [](cVantry& c) { return c.DisplayRightClickMenu(); }, [](cVantry& c, bool v) { c.DisplayRightClickMenu(v); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bar);
    auto& controls = w.host->Bar(c.bar).controls;
    const std::size_t count = controls.size();
    w.host->UserDeleteControl(c.bar, c.position);
    EXPECT_FALSE(c.shown(*w.controller));
    c.show(*w.controller, true);
    c.show(*w.controller, true);
    EXPECT_EQ(controls.size(), count);
    EXPECT_TRUE(c.shown(*w.controller));
    w.calendar().HideCalendar();
    EXPECT_TRUE(w.host->UserClickControl(w.host->ControlAt(c.bar, c.position)));
    EXPECT_TRUE(w.calendar().Shown());
  }
  EXPECT_EQ(w.host->ButtonSubscribers(), 9u) << "none for the deleted ones";
}

// Without a "Standard" bar there is no quick button, and the rest is built all the same.
TEST(command_bars, missing_or_failing_bars) {
  ControllerWorld w("11.0");
  w.host->RemoveBar("Standard");
  w.host->FailNext("Control.Caption.set");
  w.Start();
  EXPECT_FALSE(w.controller->DisplayToolbarButton());
  // The failed caption alone is skipped: the button is there, with its tag, and the rest are whole.
  std::vector<Face> expected = kToolbar;
  expected[0].caption = "";
  EXPECT_EQ(Faces(*w.host, "Tessaly"), expected);
  EXPECT_TRUE(w.platform.messages.shown().empty());
}

// Version 9 has no Picture or Mask: the faces go over the clipboard, which gets the user's content
// back afterwards; later versions never touch it. A clipboard held by another window costs the faces
// and nothing else; a failed paste still gives the content back.
TEST(command_bars, button_faces_and_the_users_clipboard) {
  using Format = sim::SimClipboard::Format;
  const std::vector<Format> users = {{sim::kClipText, "user's text", nullptr}, {0xC0DE, std::string("\0\1private", 9), nullptr}};
  constexpr WindowHandle kOtherProgram = 0x5EED;
  struct Case {
    const char* what;
    const char* version;
    std::vector<Format> before;
    bool held_by_other;
    const char* fault;
    bool faces, masks;
  };
  const Case cases[] = {
      {"version 11", "11.0", users, false, nullptr, true, true},
      {"version 10", "10.0", users, false, nullptr, true, true},
      {"version 9", "9.0", users, false, nullptr, true, false},
      {"version 9, empty clipboard", "9.0", {}, false, nullptr, true, false},
      {"version 9, clipboard held", "9.0", users, true, nullptr, false, false},
      {"version 9, paste fails", "9.0", users, false, "Control.PasteFace", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ControllerWorld w(c.version);
    w.host->clipboard->PutFromProgram(kOtherProgram, c.before);
    if (c.held_by_other) {
      ASSERT_TRUE(w.host->clipboard->Open(kOtherProgram));
    }
    if (c.fault) w.host->FailAlways(c.fault);
    w.Start();
    for (const auto& [button, face] : {std::pair{w.host->Bar("Standard").controls.back(), "display"},
                                       std::pair{w.host->Bar("Tessaly").controls.at(2), "disable"}}) {
      EXPECT_EQ(button->picture, c.faces ? face : "");
      EXPECT_EQ(button->mask, c.masks ? std::string(face) + ".mask" : "");
    }
    EXPECT_EQ(w.host->clipboard->Formats(), c.before);
    EXPECT_EQ(w.host->clipboard->IsOpen(), c.held_by_other);
    EXPECT_EQ(w.host->Bar("Tessaly").controls.size(), 6u) << "a missing face costs no button";
  }
}

// A ribbon toggle that cannot tell its id: the state is stored and the tag obeys it at once; no
// control is refreshed without an id. A state that cannot be stored is not acted on.
TEST(command_bars, ribbon_toggle_without_an_id) {
  struct Mute : IRibbonControl {
    std::string Id() override { throw HostError(-2147352567, "Exception occurred."); }
  } mute;
  auto ribbon = std::make_shared<RecordingRibbon>();
  StartedWorld w;
  w.controller->ZorelOnLoad(ribbon);
  w.SelectDateCell("B2");
  ASSERT_TRUE(w.tag().Displayed());
  for (const bool pressed : {true, false}) {
    SCOPED_TRACE(pressed ? "pressed" : "released");
    w.controller->ZorelToggleButtonProc(mute, pressed);
    EXPECT_EQ(w.reg().Bool(opt::CalendarDisabled), pressed);
    EXPECT_EQ(w.tag().Displayed(), !pressed);
  }
  EXPECT_TRUE(ribbon->asked.empty());
  RibbonControl toggle("ZorelToggleButtonDisable");
  w.controller->ZorelToggleButtonProc(toggle, true);
  EXPECT_EQ(ribbon->asked, std::vector<std::string>{"ZorelToggleButtonDisable"});
  // A refused store is told; the toggle is refreshed to read the state still in force.
  w.platform.store.fail_write = true;
  w.controller->ZorelToggleButtonProc(toggle, false);
  EXPECT_EQ(std::tuple(w.controller->ZorelToggleButtonGetPressed(toggle), ribbon->asked.size(), w.tag().Displayed()),
            std::tuple(true, 2u, false));
  ASSERT_EQ(w.platform.messages.shown().size(), 1u);
  EXPECT_EQ(w.platform.messages.shown()[0].text, "The setting 'CalendarDisabled' could not be saved.\r\n\r\nAccess is denied.");
}

// ---------------------------------------------------------------- made after the connection

const Face kCellEntry{"Quenby", "", "Brenmoor Quenby-CELL", "display"};

// The bars and their controls as the user sees them: captions with state and visibility.
std::string BarsSeen(SimExcel& host) {
  std::string seen;
  for (const auto& bar : host.Bars()) {
    seen += bar->name + (bar->visible ? ":" : " (hidden):");
    for (const auto& c : bar->controls)
      seen += " " + c->caption + (c->visible ? "" : "~") + (c->enabled ? "" : "-") + (c->picture.empty() ? "" : "[" + c->picture + "]");
    seen += "\n";
  }
  return seen;
}

// A world whose host makes the command bars at the first turn of its message loop.
// The timers outlive the controller, which gives its own back as it goes.
struct TimerLoop {
  sim::ManualTimers loop;
};
struct DeferredWorld : TimerLoop, ControllerWorld {
  explicit DeferredWorld(const char* version) : ControllerWorld(version) { timers = &loop; }
};

// While the host waits for the connection no command bar is built or searched; the first turn of
// its message loop makes them all, exactly as a start-up that makes them at once, and so does a
// command that needs them before (the options dialog reading its tick boxes); nothing more is made.
// A host with a ribbon has no quick button to ask about.
TEST(command_bars_after_connection, made_at_the_first_turn_of_the_hosts_loop_or_when_first_asked) {
  const std::tuple<const char*, std::function<bool(cVantry&)>, bool> firsts[] = {
      {"the loop turns", nullptr, true},
      {"menu asked", [](cVantry& c) { return c.DisplayRightClickMenu(); }, true},
      {"menu ticked", [](cVantry& c) { return c.DisplayRightClickMenu(true), c.DisplayRightClickMenu(); }, true},
      {"button asked", [](cVantry& c) { return c.DisplayToolbarButton(); }, false},
      {"button ticked", [](cVantry& c) { return c.DisplayToolbarButton(true), c.DisplayToolbarButton(); }, false},
  };
  for (const char* version : {"11.0", "16.0"}) {
    for (const auto& [first, ask, with_ribbon] : firsts) {
      if (!with_ribbon && std::string(version) == "16.0") continue;
      SCOPED_TRACE(std::string(version) + ", " + first);
      StartedWorld at_once(version);
      DeferredWorld w(version);
      const std::string before = BarsSeen(*w.host);
      w.host->ResetCalls();
      w.Start();
      EXPECT_EQ(w.host->Calls("CommandBar.FindControl"), 1) << "the edit-mode probe alone";
      EXPECT_EQ(w.host->Calls("CommandBar.Controls.Add") + w.host->Calls("Application.CommandBars.Add"), 0);
      EXPECT_EQ(BarsSeen(*w.host), before);
      EXPECT_TRUE(w.controller->CommandBarsPending());
      EXPECT_TRUE(w.controller->Subscribed()) << "the tag serves from the connection on";
      EXPECT_EQ(w.loop.Running(), 1u);

      if (ask) EXPECT_EQ(ask(*w.controller), ask(*at_once.controller));
      else w.loop.Elapse(1);
      EXPECT_FALSE(w.controller->CommandBarsPending());
      EXPECT_EQ(w.loop.Alive(), 0u) << "a one-shot";
      EXPECT_EQ(BarsSeen(*w.host), BarsSeen(*at_once.host));
      EXPECT_EQ(FaceOf(*w.host->Bar("Cell").controls.front()), kCellEntry);
      EXPECT_EQ(w.host->ButtonSubscribers(), at_once.host->ButtonSubscribers());
      w.loop.Elapse(1000);
      EXPECT_EQ(BarsSeen(*w.host), BarsSeen(*at_once.host)) << "made once";
      EXPECT_TRUE(w.platform.messages.shown().empty());
    }
  }
}

// The found path of later starts, and the question when the toolbar is gone, wait the same way.
TEST(command_bars_after_connection, later_starts_find_them_after_the_connection) {
  ControllerWorld w("11.0");
  w.Start();
  const std::string built = BarsSeen(*w.host);
  sim::ManualTimers timers;
  w.timers = &timers;
  NextStart(w);
  EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
  EXPECT_FALSE(w.controller->DisableButton());
  timers.Elapse(1);
  EXPECT_EQ(BarsSeen(*w.host), built);
  EXPECT_EQ(w.host->ButtonSubscribers(), 9u) << "the six buttons, the quick button and the two entries, found by tag";
  EXPECT_TRUE(w.controller->DisableButton());
  EXPECT_TRUE(w.platform.messages.shown().empty());

  w.controller.reset();
  w.host->RemoveBar("Tessaly");
  w.platform.messages.script(MsgResult::No);
  w.Start();
  EXPECT_TRUE(w.platform.messages.shown().empty()) << "never asked while the host waits for the connection";
  timers.Elapse(1);
  ASSERT_EQ(w.platform.messages.shown().size(), 1u);
  EXPECT_EQ(w.platform.messages.shown()[0].text, "Cannot find the toolbar for Tessaly\r\n\r\nDo you want to recreate it?");
}

// Turned off before the loop turned: nothing built, nothing left running, no click listened for.
TEST(command_bars_after_connection, gone_before_they_were_made) {
  for (const char* version : {"11.0", "16.0"}) {
    SCOPED_TRACE(version);
    DeferredWorld w(version);
    const std::string before = BarsSeen(*w.host);
    w.Start();
    w.controller.reset();
    EXPECT_EQ(w.loop.Alive(), 0u);
    w.loop.Elapse(1000);
    EXPECT_EQ(w.loop.fired, 0);
    EXPECT_EQ(BarsSeen(*w.host), before);
    EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
  }
}

// Host faults while the bars are made are the bars' own: each failing member costs what it
// touches, nothing escapes into the host's loop, and a timer the system will not give means the
// bars are made at start-up instead.
TEST(command_bars_after_connection, host_faults_while_they_are_made) {
  const char* members[] = {"Application.CommandBars", "Application.CommandBars.Add", "CommandBar.FindControl",
                           "CommandBar.Controls.Add", "Control.Caption.set", "Control.Picture.set", "Control.OnAction.set",
                           "Control.Advise"};
  for (const char* member : members) {
    SCOPED_TRACE(member);
    DeferredWorld w("11.0");
    w.Start();
    w.host->FailAlways(member);
    w.loop.Elapse(1);
    w.host->ClearFaults();
    EXPECT_FALSE(w.controller->CommandBarsPending());
    EXPECT_EQ(w.loop.Alive(), 0u);
    EXPECT_TRUE(w.controller->Subscribed());
    w.SelectDateCell("B2");
    EXPECT_TRUE(w.tag().Displayed()) << "the add-in goes on serving";
  }
  DeferredWorld w("11.0");
  w.loop.fail = true;
  w.Start();
  EXPECT_FALSE(w.controller->CommandBarsPending());
  EXPECT_EQ(Faces(*w.host, "Tessaly"), kToolbar);
}

}  // namespace
}  // namespace tessaly::testing
