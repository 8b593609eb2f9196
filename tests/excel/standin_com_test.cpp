// The add-in's controller on Excel's object model through COM: the stand-in Excel's automation
// objects over the in-memory model, reached only through the IDispatch adapters and the events
// sink. The main path works, and with every member of the model failing in turn nothing escapes.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/controller_world.h"
#include "sim/excel_exe/excel_objects.h"
#include "win/excel/excel_objects.h"

namespace tessaly::testing {
namespace {

using sim::SimExcel;

// The controller world of the core tests, with the controller holding the application as COM
// hands it out instead of the model itself.
struct ComWorld : ControllerWorld {
  explicit ComWorld(const std::string& version = "12.0") : ControllerWorld(version) {
    exe_host->model = host;
    app_object = sim::exe::MakeApplication(exe_host);
    app = win::excel::WrapExcelApplication(app_object.get());
  }
  void StartThroughCom() {
    controller = std::make_unique<cVantry>(
        ControllerServices{m, platform.messages, desk, desk, desk, platform.clock, *judge, parts, platform.files}, app,
        addin);
    controller->InitThisObject();
    tag().parent = host->Book("Book1").window;
  }
  std::shared_ptr<sim::exe::ExcelHost> exe_host = std::make_shared<sim::exe::ExcelHost>();
  win::com_ptr<IDispatch> app_object;
  ExcelApplicationPtr app;
};

TEST(ControllerThroughCom, MainPath) {
  ComWorld w;
  w.reg().Value(opt::DefaultDateFormat, Variant::text("yyyy/mm/dd"));
  w.StartThroughCom();
  EXPECT_EQ(w.host->Subscribers(), 1u);
  SimExcel::Cell(w.sheet(), "A1").value = Variant::text("Date");
  SimExcel::Cell(w.sheet(), "C5").number_format = "dd/mm/yyyy";
  SimExcel::Cell(w.sheet(), "C5").value = Variant::date(Ymd(2024, 2, 29));
  w.host->UserSelect("C5");
  EXPECT_TRUE(w.tag().Displayed());
  w.tag().TriggerClickEvent();
  ASSERT_TRUE(w.calendar().Shown());
  EXPECT_EQ(w.calendar().start, Variant::date(Ymd(2024, 2, 29)));
  w.calendar().Close(Variant::date(Ymd(2025, 1, 1)));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "C5").value, Variant::date(Ymd(2025, 1, 1)));

  w.host->UserSelect("A2");  // below the "Date" heading, General format: the new format comes too
  EXPECT_TRUE(w.tag().Displayed());
  w.tag().TriggerClickEvent();
  w.calendar().Close(Variant::date(Ymd(2025, 3, 4)));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A2").value, Variant::date(Ymd(2025, 3, 4)));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A2").number_format, "yyyy/mm/dd");

  w.host->UserSelect("D9");
  EXPECT_FALSE(w.tag().Displayed());
  w.controller.reset();
  EXPECT_EQ(w.host->Subscribers(), 0u);
}

// The handlers' whole round: selections, resize, sheet and workbook activation, the tag's click,
// the calendar command and its close, the disable toggle both ways.
void Round(ComWorld& w) {
  w.host->UserSelect("A2");
  w.host->UserSelect("B2");
  w.host->UserResizeWindow();
  w.host->UserActivateSheet("Sheet2");
  w.host->UserActivateSheet("Sheet1");
  w.host->UserActivateWorkbook("Book1");
  w.host->UserSelect("A2");
  w.tag().displayed = true;
  w.tag().TriggerClickEvent();
  w.controller->ClickCommandButton();
  w.calendar().Close(Variant::date(Ymd(2025, 1, 1)));
  w.controller->cbbDisable_Click();
  w.controller->cbbDisable_Click();
}

void Prepare(ComWorld& w, bool through_com) {
  w.reg().Value(opt::DefaultDateFormat, Variant::text("yyyy/mm/dd"));
  through_com ? w.StartThroughCom() : w.Start();
  SimExcel::Cell(w.sheet(), "A1").value = Variant::text("Date");
  SimExcel::Cell(w.sheet(), "B2").number_format = "yyyy-mm-dd";
  // A2's date rule takes its limit from D1, which the sheet evaluates.
  sim::ValidationModel from_d1;
  from_d1.op = 7;
  from_d1.formula1 = "=$D$1";
  SimExcel::SetValidation(w.sheet(), "A2", from_d1);
  SimExcel::Cell(w.sheet(), "D1").value = Variant::date(Ymd(2024, 12, 1));
  w.host->ResetCalls();
}

// Through COM the handlers make exactly the model calls they make on the model itself.
// A host without a ribbon: the first start builds the toolbar, the quick button and the cell entry
// through IDispatch, and the host's clicks come back through each button's connection point.
TEST(ControllerThroughCom, CommandBarsAndTheirClicks) {
  ComWorld w("11.0");
  w.StartThroughCom();
  ASSERT_EQ(w.host->Bar("Tessaly").controls.size(), 6u);
  EXPECT_EQ(w.host->Bar("Tessaly").controls[4]->caption, "About Tessaly");
  const auto undo = w.host->Bar("Tessaly").controls[5];
  EXPECT_EQ(undo->caption, "Undo Date");
  EXPECT_FALSE(undo->enabled);
  EXPECT_EQ(w.host->Bar("Standard").controls.back()->tag, "Brenmoor Quenby-QUICKBUTTON");
  const auto entry = w.host->Bar("Cell").controls.front();
  EXPECT_EQ(entry->tag, "Brenmoor Quenby-CELL");
  EXPECT_EQ(w.host->Bar("Cell").controls[1]->caption, "Undo Date");
  EXPECT_TRUE(w.host->Bar("Cell").controls[2]->begin_group) << "Cut is set off from the entries";
  EXPECT_EQ(w.host->ButtonSubscribers(), 9u);

  SimExcel::Cell(w.sheet(), "B2").number_format = "dd/mm/yyyy";
  w.host->UserSelect("B2");
  EXPECT_TRUE(w.host->UserClickControl(entry));
  EXPECT_TRUE(w.calendar().Shown());
  // A pick and its undo: what the cell held, read and put back through IDispatch.
  w.calendar().Close(Variant::date(45730));
  EXPECT_TRUE(undo->enabled);
  EXPECT_TRUE(w.host->UserClickControl(undo));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "B2").value, Variant());
  EXPECT_FALSE(undo->enabled);
  const auto disable = w.host->Bar("Tessaly").controls[2];
  EXPECT_TRUE(w.host->UserClickControl(disable));
  EXPECT_EQ(disable->state, xl::kButtonDown);
  EXPECT_EQ(disable->tooltip, "Click to enable Tessaly");

  w.controller.reset();
  EXPECT_EQ(w.host->ButtonSubscribers(), 0u);
  EXPECT_FALSE(w.host->UserClickControl(entry));
}

TEST(ControllerThroughCom, SameHostCallsAsOnTheModel) {
  ComWorld direct, com;
  Prepare(direct, false);
  Prepare(com, true);
  Round(direct);
  Round(com);
  EXPECT_EQ(com.host->CallCounts(), direct.host->CallCounts());
  EXPECT_EQ(com.calendar().limits, (DateLimits{LimitOperator::GreaterEqual, Ymd(2024, 12, 1), Ymd(2024, 12, 1)}));
  EXPECT_EQ(SimExcel::Cell(com.sheet(), "A2").value, SimExcel::Cell(direct.sheet(), "A2").value);
}

// Every member of the model fails in turn, once and always, under the handlers' whole round: no
// error escapes through COM, the calendar ends hidden, and no cell gets a format without its value.
TEST(ControllerThroughCom, FaultSweep) {
  std::size_t reached = 0;
  for (const std::string& member : SimExcel::Members()) {
    bool member_reached = false;
    for (bool always : {false, true}) {
      ComWorld w;
      Prepare(w, true);
      always ? w.host->FailAlways(member) : w.host->FailNext(member);
      EXPECT_NO_THROW(Round(w)) << member;
      member_reached |= w.host->Calls(member) > 0;
      EXPECT_FALSE(w.calendar().Shown()) << member;
      const sim::CellModel& a2 = SimExcel::Cell(w.sheet(), "A2");
      if (a2.value == Variant()) {
        EXPECT_EQ(a2.number_format, "General") << member;
      }
      EXPECT_NO_THROW(w.controller.reset()) << member;  // teardown, Unadvise failing included
      w.host->ClearFaults();
      w.host->UserSelect("B2");  // a late event after a failed unsubscribe reaches nobody
    }
    reached += member_reached;
  }
  std::printf("fault sweep through COM: %zu of %zu model members reached\n", reached, SimExcel::Members().size());
  EXPECT_GT(reached, 0u);
}

}  // namespace
}  // namespace tessaly::testing
