// Undo Date on the stand-in host: what a pick replaced comes back, only while the cell holds the
// pick, and the ribbon button shows when it can.
#include <gtest/gtest.h>

#include "controller_world.h"

namespace tessaly::testing {
namespace {

using sim::SimExcel;

struct UndoWorld : StartedWorld {
  UndoWorld() { controller->ZorelOnLoad(ribbon); }
  void Pick(const char* a1 = "B2") {
    host->UserSelect(a1);
    controller->ClickCommandButton();
    calendar().Close(picked);
  }
  bool Enabled() { return controller->ZorelGetEnabled(undo_button); }
  void Undo() { controller->ZorelButtonProc(undo_button); }
  std::vector<MessageRequest> Told(const char* text) { return {{text, m.ProductName, MsgIcon::Information, MsgButtons::OK}}; }

  std::shared_ptr<RecordingRibbon> ribbon = std::make_shared<RecordingRibbon>();
  RibbonControl undo_button{kUndoDateId};
  Variant picked = Variant::date(Ymd(2025, 3, 14));
};

TEST(controller_undo, puts_back_what_the_pick_replaced) {
  struct Case {
    const char* name;
    Variant value;
    const char* formula;
    const char* format;
  };
  const Case cases[] = {
      {"date_and_its_format", Variant::date(Ymd(2020, 5, 5)), "", "d mmm yyyy"},
      {"number_in_general", Variant::number(42), "", "General"},
      {"formula_as_formula", Variant(), "=TODAY()", "yyyy-mm-dd"},
      {"empty_cell", Variant(), "", "General"},
      {"text_that_reads_as_a_date", Variant::text("1/2/2003"), "", "@"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UndoWorld w;
    EXPECT_FALSE(w.Enabled()) << "nothing picked yet";
    sim::CellModel& cell = w.cell("B2");
    cell.value = c.value, cell.formula = c.formula, cell.number_format = c.format;
    w.Pick();
    ASSERT_EQ(cell.value, w.picked);
    EXPECT_TRUE(w.Enabled());
    EXPECT_EQ(w.ribbon->asked, std::vector<std::string>{kUndoDateId});
    w.Undo();
    EXPECT_EQ(cell.value, c.value);
    EXPECT_EQ(cell.formula, c.formula);
    EXPECT_EQ(cell.number_format, c.format);
    EXPECT_FALSE(w.Enabled()) << "the last pick only";
    EXPECT_EQ(w.ribbon->asked.size(), 2u);
    EXPECT_TRUE(w.platform.messages.shown().empty());
  }
}

// Any other change to the cell, or its workbook closing, ends the undo; a change elsewhere does not.
TEST(controller_undo, only_while_the_cell_holds_the_pick) {
  struct Case {
    const char* name;
    std::function<void(UndoWorld&)> change;
    bool still;
  };
  const Case cases[] = {
      {"typed_over", [](auto& w) { w.host->UserBeginEdit("5"), w.host->UserEndEdit(true); }, false},
      // The same date again is still another change: only the host's event tells it.
      {"same_date_written_again", [](auto& w) { w.host->Workbooks("Book1")->Worksheets("Sheet1")->Range("B2")->SetValue(w.picked); }, false},
      {"written_by_a_macro",
       [](auto& w) { w.host->Workbooks("Book1")->Worksheets("Sheet1")->Range("A1:C3")->SetValue(Variant::number(1)); }, false},
      {"reformatted", [](auto& w) { w.cell("B2").number_format = "0.00"; }, false},
      {"workbook_closed_behind", [](auto& w) { w.host->AddWorkbook("Book2"), w.host->CloseWorkbook("Book1"); }, false},
      {"another_cell_typed", [](auto& w) { w.host->UserSelect("C3"), w.host->UserBeginEdit("5"), w.host->UserEndEdit(true); }, true},
      {"same_cell_on_another_sheet",
       [](auto& w) { w.host->Workbooks("Book1")->Worksheets("Sheet2")->Range("B2")->SetValue(Variant::number(1)); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UndoWorld w;
    const auto sheet = w.host->SheetShared(&w.sheet());  // kept to look at after its workbook closed
    sim::CellModel& cell = w.cell("B2");
    cell.value = Variant::number(42);
    w.Pick();
    c.change(w);
    EXPECT_EQ(w.Enabled(), c.still);
    const Variant held = cell.value;
    w.Undo();
    if (c.still) continue;
    EXPECT_EQ(cell.value, held) << "nothing overwritten";
    EXPECT_EQ(w.platform.messages.shown(), w.Told(kUndoGone));
  }
}

// Closing the workbook that holds the pick disables the button at once when another comes forward.
TEST(controller_undo, closing_the_workbook_refreshes_the_button) {
  UndoWorld w;
  w.host->AddWorkbook("Book2");
  w.Pick();
  w.ribbon->asked.clear();
  w.host->UserCloseWorkbook("Book1");
  EXPECT_EQ(w.ribbon->asked, std::vector<std::string>{kUndoDateId});
  EXPECT_FALSE(w.Enabled());
}

// Busy, or a cell being edited: the user is told and the cell keeps the pick, which can still be undone.
TEST(controller_undo, busy_host_changes_nothing) {
  struct Case {
    const char* name;
    std::function<void(UndoWorld&, bool)> busy;
    const char* message;
  };
  const Case cases[] = {
      {"busy", [](auto& w, bool on) { w.host->SetBusy(on); }, kExcelBusy},
      {"editing", [](auto& w, bool on) { on ? w.host->UserBeginEdit("x") : w.host->UserEndEdit(false); }, kCellBeingEdited},
      // The format goes back first: a write refused after it leaves the pick's format in place.
      {"write_refused", [](auto& w, bool on) { if (on) w.host->FailNext("Range.Value.set"); }, kUndoRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UndoWorld w;
    w.cell("B2").value = Variant::number(42);
    w.Pick();
    c.busy(w, true);
    w.Undo();
    EXPECT_EQ(w.cell("B2").value, w.picked);
    EXPECT_EQ(w.cell("B2").number_format, w.reg().Text(opt::DefaultDateFormat));
    EXPECT_EQ(w.platform.messages.shown(), w.Told(c.message));
    c.busy(w, false);
    w.platform.messages.clear();
    w.Undo();
    EXPECT_EQ(w.cell("B2").value, Variant::number(42));
    EXPECT_TRUE(w.platform.messages.shown().empty());
  }
}

// The last pick outlives the controller: a reload's new one undoes it, unless the cell changed meanwhile.
TEST(controller_undo, across_a_reload) {
  for (const bool changed_meanwhile : {false, true}) {
    SCOPED_TRACE(changed_meanwhile ? "changed meanwhile" : "untouched");
    UndoWorld w;
    w.cell("B2").value = Variant::number(42);
    w.Pick();
    w.controller.reset();
    if (changed_meanwhile) w.cell("B2").value = Variant::number(7);
    const Variant held = w.cell("B2").value;
    w.Start();
    EXPECT_EQ(w.Enabled(), !changed_meanwhile);
    w.Undo();
    EXPECT_EQ(w.cell("B2").value, changed_meanwhile ? held : Variant::number(42));
  }
}

// Hosts with command bars: the toolbar's button and the cell menu's entry, enabled while there is
// a pick to take back.
TEST(controller_undo, toolbar_and_cell_menu) {
  for (const bool from_menu : {false, true}) {
    SCOPED_TRACE(from_menu ? "cell menu" : "toolbar");
    StartedWorld w("11.0");
    const auto button = w.host->Bar("Tessaly").controls.back();
    const auto entry = w.host->Bar("Cell").controls.at(1);
    ASSERT_EQ(std::pair(button->caption, entry->caption), std::pair(std::string(kUndoDateCaption), std::string(kUndoDateCaption)));
    EXPECT_FALSE(button->enabled || entry->enabled);
    w.cell("B2").value = Variant::number(42);
    w.host->UserSelect("B2");
    w.controller->ClickCommandButton();
    w.calendar().Close(Variant::date(Ymd(2025, 3, 14)));
    EXPECT_TRUE(button->enabled && entry->enabled);
    EXPECT_TRUE(w.host->UserClickControl(from_menu ? entry : button));
    EXPECT_EQ(w.cell("B2").value, Variant::number(42));
    EXPECT_FALSE(button->enabled || entry->enabled);
  }
}

}  // namespace
}  // namespace tessaly::testing
