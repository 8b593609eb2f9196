// The stand-in host behaves as the real one does where the controller depends on it: addresses,
// mixed properties, merged areas, the reaction to a date, edit mode, protection and faults.
#include "sim/excel_sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tessaly::sim {
namespace {

struct World {
  World() {
    host = SimExcel::Create("12.0");
    host->AddWorkbook("Book 1", {"Sheet1"});
  }
  SheetModel& sheet() { return host->Sheet("Book 1", "Sheet1"); }
  RangePtr range(const std::string& a1) { return host->ActiveSheet()->Range(a1); }
  std::shared_ptr<SimExcel> host;
};

TEST(sim_address, both_styles) {
  struct Case {
    const char* in;
    const char* a1;
    const char* r1c1;
  };
  const Case cases[] = {
      {"B3", "$B$3", "R3C2"},          {"b3:c4", "$B$3:$C$4", "R3C2:R4C3"}, {"$5:$7", "$5:$7", "R5:R7"},
      {"5:5", "$5:$5", "R5"},          {"C:C", "$C:$C", "C3"},              {"A1,C3", "$A$1,$C$3", "R1C1,R3C3"},
      {"XFD1048576", "$XFD$1048576", "R1048576C16384"},
  };
  World w;
  for (const Case& c : cases) {
    RangePtr r = w.range(c.in);
    EXPECT_EQ(r->Address(true, true, xl::kA1, false), c.a1) << c.in;
    EXPECT_EQ(r->Address(true, true, xl::kR1C1, false), c.r1c1) << c.in;
  }
  EXPECT_EQ(w.range("B3")->Address(false, false, xl::kA1, false), "B3");
  EXPECT_EQ(w.range("B3")->Address(true, true, xl::kA1, true), "'[Book 1]Sheet1'!$B$3");
  for (const char* bad : {"", "3", "B", "B0", "XFE1", "A1:", "1A"}) EXPECT_THROW(w.range(bad), HostError) << bad;
}

TEST(sim_range, mixed_properties_are_null) {
  World w;
  SimExcel::Cell(w.sheet(), "A1").number_format = "d/m/yyyy";
  SimExcel::Cell(w.sheet(), "A2").locked = false;
  SimExcel::SetFormula(w.sheet(), "A3", "=NOW()", Variant::date(45000));
  SimExcel::Merge(w.sheet(), "C1:D2");
  EXPECT_EQ(w.range("A1")->NumberFormat(), Variant::text("d/m/yyyy"));
  EXPECT_TRUE(w.range("A1:A2")->NumberFormat().is_null());
  EXPECT_EQ(w.range("B1:B9")->NumberFormat(), Variant::text("General"));
  EXPECT_TRUE(w.range("A1:A2")->Locked().is_null());
  EXPECT_TRUE(w.range("A3:A4")->HasFormula().is_null());
  EXPECT_EQ(w.range("A3")->HasFormula(), Variant::boolean(true));
  EXPECT_EQ(w.range("C1:D2")->MergeCells(), Variant::boolean(true));
  EXPECT_TRUE(w.range("C1:E2")->MergeCells().is_null());
  EXPECT_EQ(w.range("A1:B2")->MergeCells(), Variant::boolean(false));
  EXPECT_EQ(w.range("A1:B2")->CellsCount(), 4);
  EXPECT_THROW(w.range("A:XFD")->CellsCount(), HostError);  // more cells than a count holds
  EXPECT_THROW(w.range("A1:A2")->Value(), HostError);
  EXPECT_EQ(w.range("B2:C3")->CellsItem(3)->Address(true, true, xl::kA1, false), "$B$3");
  EXPECT_THROW(w.range("A1")->Offset(-1, 0), HostError);
}

TEST(sim_range, writing_replaces_formula_and_dates_get_a_format) {
  World w;
  SimExcel::SetFormula(w.sheet(), "A1", "=TODAY()", Variant::date(45000));
  w.range("A1")->SetValue(Variant::date(45100));
  EXPECT_TRUE(SimExcel::Cell(w.sheet(), "A1").formula.empty());
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A1").number_format, "m/d/yyyy");
  w.range("A2")->SetValue(Variant::date(45100.5));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A2").number_format, "m/d/yyyy h:mm");
  SimExcel::Cell(w.sheet(), "A3").number_format = "0.00";
  w.range("A3")->SetValue(Variant::date(45100));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A3").number_format, "0.00");
  w.range("A4")->SetValue(Variant::number(7));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "A4").number_format, "General");
}

TEST(sim_range, protection) {
  World w;
  w.sheet().protect_contents = true;
  SimExcel::Cell(w.sheet(), "B1").locked = false;
  EXPECT_FALSE(w.range("A1")->AllowEdit());
  EXPECT_TRUE(w.range("B1")->AllowEdit());
  EXPECT_THROW(w.range("A1")->SetValue(Variant::number(1)), HostError);
  EXPECT_THROW(w.range("A1")->SetNumberFormat("0"), HostError);
  w.range("B1")->SetValue(Variant::number(1));
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "B1").value, Variant::number(1));
}

TEST(sim_edit_mode, keys_end_it_and_the_probe_follows) {
  World w;
  auto probe = w.host->CommandBars("Visual Basic")->FindControl(xl::kControlButton, 3627, "");
  ASSERT_TRUE(probe);
  EXPECT_TRUE(probe->Enabled());
  w.host->UserSelect("C3");
  w.host->SendKeys("^~", true);  // outside edit mode the keys change nothing
  w.host->UserBeginEdit("42");
  EXPECT_FALSE(probe->Enabled());
  w.host->TypeKeys("^~");  // handled with the pending messages
  EXPECT_TRUE(w.host->Editing());
  w.host->ProcessPendingMessages();
  EXPECT_TRUE(probe->Enabled());
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "C3").value, Variant::number(42));
  w.host->UserBeginEdit("gone");
  w.host->TypeKeys("{ESC}");
  w.host->ProcessPendingMessages();
  EXPECT_FALSE(w.host->Editing());
  EXPECT_EQ(SimExcel::Cell(w.sheet(), "C3").value, Variant::number(42));
}

// Editing a cell, Excel answers no call of its object model (SendKeys too) but Office's command bars
// do; busy, it answers none. Either refusal leaves the model as it was.
TEST(sim_refusals, edit_mode_and_busy) {
  World w;
  auto probe = w.host->CommandBars("Visual Basic")->FindControl(xl::kControlButton, 3627, "");
  RangePtr c3 = w.range("C3");
  auto refusal = [](const std::function<void()>& call) {
    try {
      call();
    } catch (const HostError& e) {
      return e.number();
    }
    return 0;
  };
  w.host->UserBeginEdit("x");
  EXPECT_EQ(refusal([&] { c3->SetValue(Variant::number(1)); }), HostError::kVbaIgnore);
  EXPECT_EQ(refusal([&] { w.host->SendKeys("^~", true); }), HostError::kVbaIgnore);
  EXPECT_EQ(refusal([&] { w.host->Selection(); }), HostError::kVbaIgnore);
  EXPECT_EQ(refusal([&] { probe->Enabled(); }), 0);
  EXPECT_TRUE(w.host->Editing());
  w.host->UserEndEdit(false);
  w.host->SetBusy(true);
  EXPECT_EQ(refusal([&] { c3->SetValue(Variant::number(1)); }), HostError::kCallRejected);
  EXPECT_EQ(refusal([&] { probe->Enabled(); }), HostError::kCallRejected);
  EXPECT_EQ(refusal([&] { w.host->ProcessPendingMessages(); }), 0);
  EXPECT_TRUE(SimExcel::Cell(w.sheet(), "C3").value.is_empty());
}

TEST(sim_selection, merged_areas_widen_and_shapes_are_no_range) {
  World w;
  SimExcel::Merge(w.sheet(), "B2:C3");
  w.host->UserSelect("C3");
  EXPECT_EQ(w.host->Selection()->AsRange()->Address(true, true, xl::kA1, false), "$B$2:$C$3");
  w.host->UserSelectObject("Picture");
  HostObjectPtr sel = w.host->Selection();
  EXPECT_EQ(sel->TypeName(), "Picture");
  EXPECT_THROW(sel->AsRange(), HostError);
}

TEST(sim_faults, next_and_always_and_counting) {
  World w;
  w.host->FailNext("Range.Row");
  RangePtr r = w.range("B7");
  EXPECT_THROW(r->Row(), HostError);
  EXPECT_EQ(r->Row(), 7);
  w.host->FailAlways("Sheet.Name");
  SheetPtr s = w.host->ActiveSheet();
  EXPECT_THROW(s->Name(), HostError);
  EXPECT_THROW(s->Name(), HostError);
  EXPECT_EQ(w.host->Calls("Range.Row"), 2);
  EXPECT_EQ(w.host->Calls("Sheet.Name"), 2);
  w.host->ClearFaults();
  EXPECT_EQ(s->Name(), "Sheet1");
  // Every counted member is one the sweep can name.
  const std::vector<std::string>& members = SimExcel::Members();
  for (const auto& [member, n] : w.host->CallCounts())
    EXPECT_NE(std::find(members.begin(), members.end(), member), members.end()) << member;
}

// Data validation as strict as Excel's: every member fails on a cell without a rule and on cells
// of different rules, Formula2 on a rule of one limit, Operator on a custom rule; a date rule is
// judged from its formulas, which Evaluate reads on the sheet.
TEST(sim_validation, members_fail_as_excel_and_dates_are_judged) {
  World w;
  EXPECT_THROW(w.range("B2")->Validation()->Type(), HostError);
  sim::ValidationModel rule;
  rule.op = xl::kBetween;
  rule.formula1 = "=DATE(2024,9,10)";
  rule.formula2 = "=$D$1";
  SimExcel::Cell(w.sheet(), "D1").value = Variant::date(45555);
  SimExcel::SetValidation(w.sheet(), "B2:B3", rule);
  rule.op = 7;
  SimExcel::SetValidation(w.sheet(), "C2", rule);
  const ValidationPtr v = w.range("B2")->Validation();
  EXPECT_EQ(std::tuple(v->Type(), v->Operator(), v->Formula2()), std::tuple(xl::kValidateDate, 1, std::string("=$D$1")));
  EXPECT_THROW(w.range("C2")->Validation()->Formula2(), HostError);
  EXPECT_THROW(w.range("B2:C2")->Validation()->Type(), HostError);
  EXPECT_EQ(w.range("B2:B3")->Validation()->Type(), xl::kValidateDate);
  EXPECT_TRUE(v->Value()) << "a blank is allowed";
  for (const auto& [value, valid] : {std::pair(45545.0, true), std::pair(45555.5, false), std::pair(45544.0, false)}) {
    w.range("B2")->SetValue(Variant::date(value));
    EXPECT_EQ(v->Value(), valid) << value;
  }
  w.range("B2")->SetValue(Variant::text("soon"));
  EXPECT_FALSE(v->Value());
  rule.type = xl::kValidateCustom;
  SimExcel::SetValidation(w.sheet(), "C2", rule);
  EXPECT_THROW(w.range("C2")->Validation()->Operator(), HostError);
  const SheetPtr sheet = w.host->ActiveSheet();
  EXPECT_EQ(sheet->Evaluate("=DATE(2024,9,10)"), Variant::number(45545));
  EXPECT_EQ(sheet->Evaluate("D1"), Variant::date(45555));
  EXPECT_EQ(sheet->Evaluate("=NOSUCH(1)"), Variant::error(2029));
}

TEST(sim_closed, closed_workbook_disconnects_its_objects) {
  World w;
  RangePtr r = w.range("A1");
  w.host->CloseWorkbook("Book 1");
  EXPECT_THROW(r->Value(), HostError);
  EXPECT_EQ(w.host->ActiveSheet(), nullptr);
  EXPECT_THROW(w.host->Workbooks("Book 1"), HostError);
}

// The clipboard refuses what Windows refuses: a second window while one has it open, use of a closed
// clipboard, and data from a window that did not empty it.
TEST(sim_clipboard, as_strict_as_windows) {
  SimClipboard c;
  const SimClipboard::Format text{kClipText, "x", nullptr};
  EXPECT_THROW(c.Set(text), HostError);
  EXPECT_THROW(c.Enumerate(), HostError);
  EXPECT_THROW(c.Close(), HostError);
  ASSERT_TRUE(c.Open(1));
  EXPECT_FALSE(c.Open(2));
  EXPECT_THROW(c.Set(text), HostError) << "not emptied: no owner";
  c.Empty();
  c.Set(text);
  c.Close();
  ASSERT_TRUE(c.Open(0));
  EXPECT_THROW(c.Set(text), HostError) << "owned by window 1";
  c.Empty();
  EXPECT_THROW(c.Set(text), HostError) << "emptied without a window: no owner";
  c.Close();
  EXPECT_TRUE(c.Formats().empty());
}

// A window system that mirrors the model must have a new workbook's windows before any event asks
// for them, and must hear of a closed main window before the next workbook's activation.
TEST(sim_workbooks, windows_are_made_before_the_events_and_closed_before_the_next_activation) {
  struct Log : IApplicationEvents {
    std::vector<std::string>& seen;
    explicit Log(std::vector<std::string>& s) : seen(s) {}
    void SheetSelectionChange(const SheetPtr&, const RangePtr&) override {}
    void SheetActivate(const SheetPtr&) override {}
    void SheetDeactivate(const SheetPtr&) override {}
    void WindowActivate(const WorkbookPtr& wb, const ExcelWindowPtr&) override { seen.push_back("activate " + wb->Name()); }
    void WindowDeactivate(const WorkbookPtr& wb, const ExcelWindowPtr&) override { seen.push_back("deactivate " + wb->Name()); }
    void WindowResize(const WorkbookPtr&, const ExcelWindowPtr&) override {}
  };
  auto host = SimExcel::Create("16.0");
  // A real window took the handle the model would give out next.
  host->SetBookWindow(host->AddWorkbook("Book1.xlsx"), 0x20030);
  std::vector<std::string> seen;
  host->on_book_opened = [&](WorkbookModel& book) {
    seen.push_back("opened " + book.name);
    EXPECT_NE(book.window, WindowHandle{0x20030});
    host->SetBookMainWindows(book, 0x9990, 0x9998);
  };
  host->on_window_closed = [&](WindowHandle gone) { seen.push_back("closed " + std::to_string(gone)); };
  host->Advise(std::make_shared<Log>(seen));
  WorkbookPtr added = host->WorkbooksAdd();
  EXPECT_EQ(added->Name(), "Book2");
  EXPECT_EQ(host->WorkbooksCount(), 2);
  EXPECT_EQ(host->Hwnd(), WindowHandle{0x9990});
  EXPECT_EQ(host->Desktop().FindChildWindow(0x9990, "XLDESK", 0), WindowHandle{0x9998});
  host->UserCloseWorkbook("Book2");
  EXPECT_EQ(seen, (std::vector<std::string>{"opened Book2", "deactivate Book1.xlsx", "activate Book2", "deactivate Book2",
                                            "closed " + std::to_string(0x9990), "activate Book1.xlsx"}));
  host->FailNext("Workbooks.Add");
  EXPECT_THROW(host->WorkbooksAdd(), HostError);
  EXPECT_EQ(host->NewWorkbookName(), "Book3") << "a name is not used twice in a session";
}

}  // namespace
}  // namespace tessaly::sim
