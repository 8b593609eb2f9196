// A controller connected to the stand-in host, with recording doubles for the tag and the calendar
// form and the add-in's own date predicates, shared by the controller tests.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/controller.h"
#include "core/date_predicates.h"
#include "date/serial_date.h"
#include "settings/fakes.h"
#include "settings/init_system.h"
#include "settings/option_ids.h"
#include "sim/addin_instance.h"
#include "sim/desktop.h"
#include "sim/excel_sim.h"
#include "sim/headless_ui.h"
#include "sim/sim_clipboard.h"

namespace tessaly::testing {

using RecordingTag = sim::HeadlessTag;
using RecordingCalendar = sim::HeadlessCalendarForm;
using RecordingParts = sim::HeadlessParts;

inline double Ymd(int y, int m, int d) { return *serial::from_ymd(y, m, d); }

// A ribbon control as the host passes it to the callbacks: only its id.
struct RibbonControl : IRibbonControl {
  explicit RibbonControl(std::string i) : id(std::move(i)) {}
  std::string Id() override { return id; }
  std::string id;
};

// The host's ribbon, recording the controls it is asked to refresh.
struct RecordingRibbon : IRibbonUI {
  void InvalidateControl(const std::string& id) override { asked.push_back(id); }
  std::vector<std::string> asked;
};

struct ControllerWorld {
  explicit ControllerWorld(const std::string& version = "12.0") {
    m.AddInFolder = "C:\\Tessaly\\";
    InitSystem(m, platform.services());
    judge = MakeDatePredicates(m, platform.clock);
    m.ExcelVersion = std::atoi(version.c_str());
    m.FirstRun = true;  // a fresh profile, as the connection finds it
    m.CurrentDefaultDate = Ymd(2025, 12, 9);
    host = sim::SimExcel::Create(version);
    host->AddWorkbook("Book1", {"Sheet1", "Sheet2"});
    host->AddChartSheet("Book1", "Chart1");
    desk.AddWindow(host->Book("Book1").window, "EXCEL7", desk.current_process, {0, 0, 1000, 700});
    clipboard = std::make_unique<sim::SimClipboardAccess>(host->clipboard, kAddInWindow);
  }
  static constexpr WindowHandle kAddInWindow = 0xADD1;
  void Start() {
    controller = std::make_unique<cVantry>(
        ControllerServices{m, platform.messages, desk, desk, desk, platform.clock, *judge, parts, platform.files,
                           clipboard.get(), &undo, timers},
        host,
        addin);
    controller->InitThisObject();
    tag().parent = host->Book("Book1").window;
  }
  // A button of the add-in's own toolbar, found by its tag at start-up.
  std::shared_ptr<sim::ControlModel> AddToolbarButton(const std::string& tag) {
    auto button = std::make_shared<sim::ControlModel>();
    button->tag = tag;
    host->AddBar(m.ProductName).controls.push_back(button);
    return button;
  }
  sim::SheetModel& sheet(const std::string& name = "Sheet1") { return host->Sheet("Book1", name); }
  sim::CellModel& cell(const std::string& a1) { return sim::SimExcel::Cell(sheet(), a1); }
  void DateCell(const std::string& a1) { cell(a1).number_format = "dd/mm/yyyy"; }
  // A date-formatted cell selected: the tag shows beside it unless a rule stops it.
  void SelectDateCell(const std::string& a1) { DateCell(a1), host->UserSelect(a1); }
  RecordingTag& tag() { return *parts.tag; }
  // The form once made; until then one that was never shown.
  RecordingCalendar& calendar() { return parts.calendar ? *parts.calendar : not_made_; }
  cUtilRegMan& reg() { return *m.RegMan; }
  void set(opt::Index i, bool v) { reg().Value(i, Variant::boolean(v)); }

  RecordingCalendar not_made_;
  FakePlatform platform;
  mVantry m;
  std::shared_ptr<sim::SimExcel> host;
  sim::SimDesktop desk;
  RecordingParts parts;
  std::unique_ptr<IDateJudge> judge;
  std::shared_ptr<sim::SimAddInInstance> addin = std::make_shared<sim::SimAddInInstance>();
  std::unique_ptr<sim::SimClipboardAccess> clipboard;
  UndoPick undo;  // outlives each controller, as the add-in's does
  ITimerFactory* timers = nullptr;  // none: the command bars are made at start-up
  std::unique_ptr<cVantry> controller;
};

// A world whose controller has started, for tests that arrange nothing before the connection.
struct StartedWorld : ControllerWorld {
  explicit StartedWorld(const std::string& version = "12.0") : ControllerWorld(version) { Start(); }
};

}  // namespace tessaly::testing
