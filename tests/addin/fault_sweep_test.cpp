// The fault sweep: every member of the stand-in host and of the add-in's own collaborators that a
// handler reaches fails in turn, once inside that handler and always from the connection on.
// Each case checks that nothing escapes, that the tag and the calendar end hidden after a failed
// decision, that no cell gets a format without its value and that the options in memory match
// the store; the coverage is printed. It drives the real tag on the stand-in desktop, over host
// versions whose start-up and command paths differ.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "addin/connect.h"
#include "sim/faulty_collaborators.h"
#include "sim/manual_timers.h"
#include "tests/addin/real_tag_parts.h"

namespace tessaly::testing {
namespace {

using sim::FaultPlan;
using sim::SimExcel;

const double kPicked = 45658;  // 1 January 2025

// Up to 9 the main window is found among the process's windows, 12 on has the ribbon, 16 a main
// window per workbook.
const char* const kVersions[] = {"9.0", "11.0", "12.0", "16.0"};

// The stand-in host of the given version (toolbar, quick button and context-menu entry from an
// earlier start, or built by the first start on version 11, so their handlers have buttons to work
// on) and the add-in's collaborators behind its plan.
struct SweepWorld {
  explicit SweepWorld(const std::string& version) : host(SimExcel::Create(version)) {
    host->AddWorkbook("Book1", {"Sheet1", "Sheet2"});
    host->AddWorkbook("Book2");
    headless.module = &addin->Module();
    SimExcel::Cell(host->Sheet("Book1", "Sheet1"), "A1").value = Variant::text("Date");
    SimExcel::Cell(host->Sheet("Book1", "Sheet1"), "B2").number_format = "yyyy-mm-dd";
    // Version 11 starts on a fresh profile and builds its command bars; the others find them.
    if (version != "11.0") {
      sim::CommandBarModel& own = host->AddBar("Tessaly");
      for (const char* tag : {"Calendar!", "Settings", "DisableOrEnable", "Help", "About Tessaly"}) Button(own, tag);
      Button(host->Bar("Standard"), "Brenmoor Quenby-QUICKBUTTON");
      Button(host->Bar("Cell"), "Brenmoor Quenby-CELL");
      for (const auto& bar : host->Bars())
        for (const auto& c : bar->controls)
          if (c->id == 1) c->on_action = "!<TESSALY.Connect>";
    }
    platform.files.folders.insert("C:\\Tessaly");
    platform.files.files["C:\\Tessaly\\caltab.xml"] = "<customUI/>";
  }
  static void Button(sim::CommandBarModel& bar, const std::string& tag) {
    bar.controls.push_back(std::make_shared<sim::ControlModel>());
    bar.controls.back()->tag = tag;
  }
  cVantry* controller() { return addin->Controller(); }
  // The tag lives as long as the controller that made it.
  bool TagShown() { return controller() && headless.real_tag && headless.real_tag->Displayed(); }
  const sim::CellModel& cell(const std::string& a1) { return SimExcel::Cell(host->Sheet("Book1", "Sheet1"), a1); }

  std::shared_ptr<SimExcel> host;
  FaultPlan& plan = host->Faults();
  FakePlatform platform;
  sim::FaultyUserSettings store{platform.store, plan};
  sim::FaultyMessageBox messages{platform.messages, plan};
  sim::FaultyClock clock{platform.clock, plan};
  sim::FaultyWindowSystem windows{host->Desktop(), plan};
  sim::FaultyScreenMetrics screen{host->Desktop(), plan};
  RealTagParts headless{host, windows, screen};  // the real tag, behind the plan
  sim::FaultyParts parts{headless, plan};
  sim::FaultyFileSystem files{platform.files, plan};
  sim::FaultyHelpShell help{host->Desktop(), plan};
  sim::SimClipboardAccess clipboard{host->clipboard, 0xADD1};  // version 9's faces pass over it
  sim::ManualTimers timers;  // the host's message loop, which makes the command bars after the connection
  std::unique_ptr<Connect> addin = std::make_unique<Connect>(ConnectServices{
      {store, files, platform.shell, platform.system, messages, platform.locale, clock}, screen, windows, help, parts,
      "C:\\Tessaly", &timers, &clipboard});
};

// One handler of the add-in as the host or the user reaches it; `decides` marks the activation
// rules, after whose failure the tag and the calendar must be hidden.
struct Step {
  const char* handler;
  bool decides;
  std::function<void(SweepWorld&)> run;
};

void Click(SweepWorld& w, const char* id) {
  sim::FaultyRibbonControl c(id, w.plan);
  w.addin->ZorelButtonProc(c);
}

// Every control the add-in put on the host's bars, clicked as the user does.
void ClickControls(SweepWorld& w, const std::string& name) {
  for (const auto& bar : w.host->Bars())
    if (bar->name == name)
      for (const auto& c : std::vector(bar->controls))
        if (c->id == 1) w.host->UserClickControl(c);
}

const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {"OnConnection", false,
       [](SweepWorld& w) {
         w.addin->OnConnection(w.host, kConnectStartup, std::make_shared<sim::FaultyAddInInstance>("TESSALY.Connect", w.plan),
                               {Variant::i4(1)});
         w.addin->ZorelOnLoad(std::make_shared<sim::FaultyRibbonUI>(w.plan));
       }},
      {"command bars after the connection", false, [](SweepWorld& w) { w.timers.Elapse(1); }},
      {"SheetSelectionChange", true, [](SweepWorld& w) { w.host->UserSelect("B2"); }},
      {"WindowResize", true, [](SweepWorld& w) { w.host->UserResizeWindow(); }},
      // Each user action raises the deactivation of one sheet or window and the activation of the next.
      {"SheetDeactivate+SheetActivate", true, [](SweepWorld& w) { w.host->UserActivateSheet("Sheet2"); }},
      {"SheetDeactivate+SheetActivate back", true, [](SweepWorld& w) { w.host->UserActivateSheet("Sheet1"); }},
      {"WindowDeactivate+WindowActivate", true, [](SweepWorld& w) { w.host->UserActivateWorkbook("Book2"); }},
      {"WindowDeactivate+WindowActivate back", true, [](SweepWorld& w) { w.host->UserActivateWorkbook("Book1"); }},
      {"TagClick", false, [](SweepWorld& w) {
         w.host->UserSelect("A2");
         if (w.TagShown()) w.headless.real_tag->TriggerClickEvent();
       }},
      {"CalendarClose", false, [](SweepWorld& w) {
         if (w.headless.calendar && w.headless.calendar->sink) w.headless.calendar->Close(Variant::date(kPicked));
       }},
      {"ClickCommandButton", false, [](SweepWorld& w) { Click(w, "ZorelButtonCalendar"); }},
      {"ClickCommandButton while editing", false, [](SweepWorld& w) {
         w.host->UserSelect("C3");
         w.host->UserBeginEdit("x");
         Click(w, "ZorelButtonCalendar");
       }},
      {"moRightClickMenu_Click", false, [](SweepWorld& w) {
         if (w.controller()) w.controller()->moRightClickMenu_Click();
       }},
      {"DisplayRightClickMenu", false, [](SweepWorld& w) {
         if (w.controller()) w.controller()->DisplayRightClickMenu(!w.controller()->DisplayRightClickMenu());
       }},
      {"cbbSettings+Help+About", false, [](SweepWorld& w) {
         Click(w, "ZorelButtonSettings"), Click(w, "ZorelButtonHelp"), Click(w, "ZorelButtonAbout");
       }},
      {"DisplayToolbarButton", false, [](SweepWorld& w) {
         if (w.controller()) w.controller()->DisplayToolbarButton(!w.controller()->DisplayToolbarButton());
       }},
      {"command-bar clicks", false, [](SweepWorld& w) {
         w.host->UserSelect("B2");
         for (const char* bar : {"Cell", "Standard", "Tessaly"}) ClickControls(w, bar);
         ClickControls(w, "Tessaly");  // the disable button again, and the rest
       }},
      {"cbbDisable_Click", false, [](SweepWorld& w) {
         if (w.controller()) w.controller()->cbbDisable_Click(), w.controller()->cbbDisable_Click();
       }},
      {"ZorelToggleButtonProc", false, [](SweepWorld& w) {
         sim::FaultyRibbonControl c("ZorelToggleButtonDisable", w.plan);
         w.addin->ZorelToggleButtonProc(c, true), w.addin->ZorelToggleButtonProc(c, false);
       }},
      {"Ribbon getters", false, [](SweepWorld& w) {
         sim::FaultyRibbonControl c("ZorelToggleButtonDisable", w.plan);
         w.addin->GetCustomUI("Microsoft.Excel.Workbook"), w.addin->ZorelToggleButtonGetPressed(c);
         w.addin->ZorelGetImage(c), w.addin->ZorelGetScreentip(c), w.addin->ZorelLoadImage("about");
       }},
      {"ClickCommandButton on a picture", false, [](SweepWorld& w) {
         w.host->UserSelectObject("Picture");
         Click(w, "ZorelButtonCalendar");
       }},
      // The toolbar's Undo Date, clicked above, may have taken the pick back already.
      {"UndoLastPick", false, [](SweepWorld& w) { Click(w, "ZorelButtonUndoDate"); }},
      {"TagClick+CalendarClose again", false, [](SweepWorld& w) {
         w.host->UserSelect("A2");
         if (w.TagShown()) w.headless.real_tag->TriggerClickEvent();
         if (w.headless.calendar && w.headless.calendar->sink) w.headless.calendar->Close(Variant::date(kPicked));
       }},
      // The sheet repainted after a zoom and a column's new width: the check of the tag's place.
      {"ViewChanged+CheckTagPlace", false, [](SweepWorld& w) {
         w.host->UserSelect("B2");
         w.host->UserSetZoom(200);  // whole: the old hosts' scan is not what the sweep is for
         w.host->UserColumnWidth(1, 60);
       }},
      {"OnDisconnection", false, [](SweepWorld& w) { w.addin->OnDisconnection(0, {}); }},
  };
  return steps;
}

// The stored text of every option whose memory and store disagree.
std::vector<std::string> OptionsApart(SweepWorld& w) {
  std::vector<std::string> apart;
  const cUtilRegMan* reg = w.addin->Module().RegMan.get();
  if (!reg) return apart;
  for (short i = 0; i <= reg->MaxEntry(); ++i) {
    if (reg->ValueType(i) == 0) continue;
    const std::string stored = w.platform.store.at(reg->Name(i));
    const std::string held = reg->ValueType(i) == kTypeBoolean ? (reg->Bool(i) ? "1" : "0") : reg->Value(i).to_text();
    if (stored != "<absent>" && stored != held) apart.push_back(reg->Name(i) + ": " + held + " / " + stored);
  }
  return apart;
}

using Pair = std::pair<std::string, std::string>;  // handler, member

// Runs every step; `before(k)` plans the faults before step k. Returns the pairs that failed.
// `shown[k]` tells whether the run without faults shows the tag after step k: a failure that
// lands only in the hide before a decision leaves that decision free to show it there.
std::set<Pair> RunCase(const std::string& version, const std::vector<bool>& shown, const std::string& label,
                       const std::string& member, const std::function<void(SweepWorld&, std::size_t)>& before) {
  SweepWorld w(version);
  const std::vector<sim::SimClipboard::Format> copied = {{sim::kClipText, "copied by the user", nullptr}};
  w.host->clipboard->PutFromProgram(0x5EED, copied);
  std::set<Pair> failed;
  const auto& steps = Steps();
  for (std::size_t k = 0; k < steps.size(); ++k) {
    before(w, k);
    const std::int64_t injected = w.plan.Injected();
    // The handlers are noexcept: an error escaping one ends the process, failing the sweep.
    EXPECT_NO_THROW(steps[k].run(w)) << label << " in " << steps[k].handler;
    if (w.plan.Injected() == injected) continue;
    failed.insert({steps[k].handler, member});
    // A failing hide leaves its own window up; that is the one exception.
    if (steps[k].decides && member != "Tag.TagHide" && member != "Form.HideCalendar" && w.headless.real_tag) {
      EXPECT_FALSE(w.TagShown() && !shown[k]) << label << " in " << steps[k].handler;
      EXPECT_FALSE(w.headless.calendar && w.headless.calendar->shown) << label << " in " << steps[k].handler;
    }
    // The option keeps its new value in memory when the store refuses it.
    if (member != "Store.save") {
      EXPECT_EQ(OptionsApart(w), std::vector<std::string>{}) << label << " in " << steps[k].handler;
    }
  }
  EXPECT_EQ(w.host->clipboard->Formats(), copied) << label << ": the user's clipboard";
  // A format is given only to the cell that received its value.
  for (const char* a1 : {"A2", "B2"}) {
    const sim::CellModel& c = w.cell(a1);
    const std::string before = std::string(a1) == "B2" ? "yyyy-mm-dd" : "General";
    if (c.number_format != before) {
      EXPECT_EQ(c.value, Variant::date(kPicked)) << label << " " << a1;
    }
  }
  return failed;
}

struct Coverage {
  std::set<std::string> reached;  // members
  std::size_t pairs = 0, once = 0, always = 0;
};

// The sweep on one host version.
Coverage Sweep(const std::string& version) {
  // A run without faults: which members each handler reaches.
  std::map<std::string, std::set<std::string>> reached;  // member -> handlers
  std::set<Pair> reached_pairs;
  std::vector<bool> shown;
  {
    SweepWorld w(version);
    for (const Step& s : Steps()) {
      const auto calls = w.plan.CallCounts();
      s.run(w);
      shown.push_back(w.TagShown());
      for (const auto& [member, n] : w.plan.CallCounts()) {
        auto it = calls.find(member);
        if (n > (it == calls.end() ? 0 : it->second)) reached[member].insert(s.handler), reached_pairs.insert({s.handler, member});
      }
    }
    EXPECT_EQ(w.plan.Calls("Tag.Unload"), 1) << version << ": the run reaches teardown";
    EXPECT_EQ(w.cell("A2").value, Variant::date(kPicked)) << version << ": the run writes a date";
  }
  std::set<Pair> covered_once, covered_always;
  for (const auto& [member, handlers] : reached) {
    // Once: inside each handler that reaches the member.
    for (std::size_t k = 0; k < Steps().size(); ++k) {
      if (!handlers.count(Steps()[k].handler)) continue;
      const std::string label = version + " " + member + " once in " + Steps()[k].handler;
      auto failed = RunCase(version, shown, label, member, [&](SweepWorld& w, std::size_t at) {
        if (at == k) w.plan.FailNext(member);
      });
      covered_once.insert(failed.begin(), failed.end());
    }
    // Always: from the connection on.
    auto failed = RunCase(version, shown, version + " " + member + " always", member, [&](SweepWorld& w, std::size_t at) {
      if (at == 0) w.plan.FailAlways(member);
    });
    covered_always.insert(failed.begin(), failed.end());
  }
  Coverage c;
  for (const auto& entry : reached) c.reached.insert(entry.first);
  c.pairs = reached_pairs.size();
  for (const Pair& p : reached_pairs) c.once += covered_once.count(p), c.always += covered_always.count(p);
  EXPECT_EQ(c.once, c.pairs) << version;
  std::printf("fault sweep, host %s: %zu members reached; member x handler pairs failed: once %zu of %zu, "
              "always %zu of %zu\n",
              version.c_str(), c.reached.size(), c.once, c.pairs, c.always, c.pairs);
  return c;
}

TEST(fault_sweep, every_handler_and_every_member_it_uses) {
  std::set<std::string> members_known(SimExcel::Members().begin(), SimExcel::Members().end());
  members_known.insert(sim::CollaboratorMembers().begin(), sim::CollaboratorMembers().end());
  std::set<std::string> reached;
  for (const char* version : kVersions) {
    const Coverage c = Sweep(version);
    reached.insert(c.reached.begin(), c.reached.end());
  }
  for (const std::string& member : reached) EXPECT_TRUE(members_known.count(member)) << "unlisted member " << member;
  std::string unreached;
  for (const std::string& m : members_known)
    if (!reached.count(m)) unreached += " " + m;
  std::printf("fault sweep: %zu of %zu handlers, %zu of %zu members reached over %zu host versions\n",
              Steps().size(), Steps().size(), reached.size(), members_known.size(), std::size(kVersions));
  std::printf("members no handler uses here:%s\n", unreached.c_str());
}

}  // namespace
}  // namespace tessaly::testing
