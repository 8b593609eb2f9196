// Excel's object model over IDispatch: each adapter member calls Excel's member of the same name
// with its arguments in order and converts the result; DISPIDs are asked once per name and kind;
// every failure arrives as HostError with the object's or the system's own text.
#include <gtest/gtest.h>

#include <functional>

#include "fake_dispatch.h"
#include "win/com_error.h"
#include "win/excel/dispatch_caller.h"
#include "win/excel/excel_objects.h"
#include "win/utf.h"

namespace tessaly::win {
namespace {

using excel::NameLookups;
using test::FakeKind;
using test::FakeWorld;
using Log = std::vector<std::string>;

// A GUID of this world's kind n; kind 0 has none.
GUID kind_guid(const FakeWorld& world, unsigned long n) { return n ? GUID{n, world.salt, 1, {}} : GUID_NULL; }

// One object of each kind the adapters wrap, all recording into one world.
struct Host {
  std::shared_ptr<FakeWorld> world = std::make_shared<FakeWorld>();
  com_ptr<IDispatch> object(const wchar_t* kind, unsigned long n) {
    return test::MakeFakeObject(world, FakeKind{kind, kind_guid(*world, n)});
  }
  ExcelApplicationPtr app = excel::WrapExcelApplication(object(L"Application", 1).get());
  RangePtr range = excel::WrapRange(object(L"Range", 2).get());
  SheetPtr sheet = excel::WrapSheet(object(L"Worksheet", 3).get());
  WorkbookPtr book = excel::WrapWorkbook(object(L"Workbook", 4).get());
  ExcelWindowPtr window = excel::WrapExcelWindow(object(L"Window", 5).get());
  CommandBarPtr bar = excel::WrapCommandBar(object(L"CommandBar", 6).get());
  CommandBarControlPtr control = excel::WrapCommandBarControl(object(L"CommandBarButton", 7).get());
  RibbonUIPtr ribbon = excel::WrapRibbonUI(object(L"IRibbonUI", 8).get());
  std::shared_ptr<IRibbonControl> ribbon_control = excel::WrapRibbonControl(object(L"IRibbonControl", 9).get());
  AddInInstancePtr add_in = excel::WrapAddInInstance(object(L"COMAddIn", 10).get());
};

std::string shown(const Variant& v) { return v.is_null() ? "null" : v.to_text(); }
template <class T>
std::string present(const std::shared_ptr<T>& p) {
  return p ? "object" : "nothing";
}

TEST(ExcelObjects, MembersCallExcelsNamesInOrder) {
  struct Case {
    const char* what;
    std::map<std::wstring, Variant> results;
    std::function<std::string(Host&)> act;
    Log log;
    std::string result;
  };
  const Case cases[] = {
      {"version in the asked locale", {{L"Version", Variant::text("12.0")}}, [](Host& h) { return h.app->Version(1031); },
       {"Application.get Version() @1031"}, "12.0"},
      {"32-bit window handle widens with its sign", {{L"Hwnd", Variant::i4(-2)}},
       [](Host& h) { return std::to_string(static_cast<std::intptr_t>(h.app->Hwnd())); },
       {"Application.get Hwnd()"}, "-2"},
      {"workbook by name", {}, [](Host& h) { return present(h.app->Workbooks("Book1.xlsx")); },
       {"Application.get Workbooks()", "Workbooks.get Item(Book1.xlsx)"}, "object"},
      {"command bar by name", {}, [](Host& h) { return present(h.app->CommandBars("Cell")); },
       {"Application.get CommandBars()", "CommandBars.get Item(Cell)"}, "object"},
      {"keys and wait", {}, [](Host& h) { h.app->SendKeys("^~", true); return ""; },
       {"Application.call SendKeys(^~, True)"}, ""},
      {"interactive", {{L"Interactive", Variant::boolean(false)}},
       [](Host& h) { return std::to_string(h.app->Interactive()); }, {"Application.get Interactive()"}, "0"},
      {"nothing selected", {{L"Selection", Variant()}}, [](Host& h) { return present(h.app->Selection()); },
       {"Application.get Selection()"}, "nothing"},
      {"date value", {{L"Value", Variant::date(46000.25)}}, [](Host& h) { return shown(h.range->Value()); },
       {"Range.get Value()"}, "46000.25"},
      {"value written", {}, [](Host& h) { h.range->SetValue(Variant::date(46001.5)); return ""; },
       {"Range.put Value(46001.5)"}, ""},
      {"mixed formats", {{L"NumberFormat", Variant::null()}}, [](Host& h) { return shown(h.range->NumberFormat()); },
       {"Range.get NumberFormat()"}, "null"},
      {"format written", {}, [](Host& h) { h.range->SetNumberFormat("dd/mm/yyyy"); return ""; },
       {"Range.put NumberFormat(dd/mm/yyyy)"}, ""},
      {"address arguments in order", {{L"Address", Variant::text("R3C2")}},
       [](Host& h) { return h.range->Address(false, true, xl::kR1C1, true); },
       {"Range.get Address(False, True, -4150, True)"}, "R3C2"},
      {"offset", {}, [](Host& h) { return present(h.range->Offset(2, -1)); }, {"Range.get Offset(2, -1)"}, "object"},
      {"areas", {{L"Count", Variant::i4(3)}}, [](Host& h) { return std::to_string(h.range->AreasCount()); },
       {"Range.get Areas()", "Areas.get Count()"}, "3"},
      {"cell of a range", {}, [](Host& h) { return present(h.range->CellsItem(4)); }, {"Range.get Item(4)"}, "object"},
      {"activate", {}, [](Host& h) { h.range->Activate(); return ""; }, {"Range.call Activate()"}, ""},
      {"short integer row", {{L"Row", Variant::i2(7)}}, [](Host& h) { return std::to_string(h.range->Row()); },
       {"Range.get Row()"}, "7"},
      {"cell of a sheet", {}, [](Host& h) { return present(h.sheet->Cells(4, 5)); },
       {"Worksheet.get Cells()", "Cells.get Item(4, 5)"}, "object"},
      {"range of a sheet", {}, [](Host& h) { return present(h.sheet->Range("B3:C4")); },
       {"Worksheet.get Range(B3:C4)"}, "object"},
      {"sheet type", {{L"Type", Variant::i4(xl::kWorksheet)}}, [](Host& h) { return std::to_string(h.sheet->Type()); },
       {"Worksheet.get Type()"}, "-4167"},
      {"worksheet by name", {}, [](Host& h) { return present(h.book->Worksheets("Data")); },
       {"Workbook.get Worksheets()", "Worksheets.get Item(Data)"}, "object"},
      {"panes", {{L"Count", Variant::i4(2)}}, [](Host& h) { return std::to_string(h.window->PanesCount()); },
       {"Window.get Panes()", "Panes.get Count()"}, "2"},
      {"position in points", {{L"Left", Variant::number(48.75)}}, [](Host& h) { return std::to_string(h.range->Left()); },
       {"Range.get Left()"}, "48.750000"},
      {"row of a range", {}, [](Host& h) { return present(h.range->RowsItem(2)); },
       {"Range.get Rows()", "Rows.get Item(2)"}, "object"},
      {"hidden columns", {{L"Hidden", Variant::boolean(true)}}, [](Host& h) { return std::to_string(h.range->Hidden()); },
       {"Range.get Hidden()"}, "1"},
      {"new chart", {}, [](Host& h) { return present(h.sheet->ChartObjectsAdd(1.5, 2, 300, 200)); },
       {"Worksheet.call ChartObjects()", "ChartObjects.call Add(1.5, 2, 300, 200)"}, "object"},
      {"second pane scrolled",
       {},
       [](Host& h) { h.window->Panes(2)->SetScrollRow(40); return ""; },
       {"Window.get Panes()", "Panes.get Item(2)", "Item.put ScrollRow(40)"}, ""},
      {"zoom", {{L"Zoom", Variant::i4(150)}}, [](Host& h) { return std::to_string(h.window->Zoom()); },
       {"Window.get Zoom()"}, "150.000000"},
      {"points to pixels", {{L"PointsToScreenPixelsY", Variant::i4(412)}},
       [](Host& h) { return std::to_string(h.window->PointsToScreenPixelsY(96)); },
       {"Window.call PointsToScreenPixelsY(96)"}, "412"},
      {"nothing under the point", {{L"RangeFromPoint", Variant()}},
       [](Host& h) { return present(h.window->RangeFromPoint(10, 20)); }, {"Window.call RangeFromPoint(10, 20)"}, "nothing"},
      {"control without a tag", {}, [](Host& h) { return present(h.bar->FindControl(1, 3627, "")); },
       {"CommandBar.call FindControl(1, 3627)"}, "object"},
      {"control by tag", {{L"FindControl", Variant()}}, [](Host& h) { return present(h.bar->FindControl(1, 1, "T-CELL")); },
       {"CommandBar.call FindControl(1, 1, T-CELL)"}, "nothing"},
      {"button state", {}, [](Host& h) { h.control->SetState(xl::kButtonDown); return ""; },
       {"CommandBarButton.put State(-1)"}, ""},
      {"tooltip", {}, [](Host& h) { h.control->SetTooltipText("Click to enable"); return ""; },
       {"CommandBarButton.put TooltipText(Click to enable)"}, ""},
      {"ribbon control refresh", {}, [](Host& h) { h.ribbon->InvalidateControl("btnDisable"); return ""; },
       {"IRibbonUI.call InvalidateControl(btnDisable)"}, ""},
      {"ribbon control id", {{L"Id", Variant::text("btnCal")}}, [](Host& h) { return h.ribbon_control->Id(); },
       {"IRibbonControl.get Id()"}, "btnCal"},
      {"add-in ProgId", {{L"ProgId", Variant::text("TESSALY.Connect")}}, [](Host& h) { return h.add_in->ProgId(); },
       {"COMAddIn.get ProgId()"}, "TESSALY.Connect"},
  };
  for (const Case& c : cases) {
    Host host;
    host.world->results = c.results;
    EXPECT_EQ(c.act(host), c.result) << c.what;
    EXPECT_EQ(host.world->log, c.log) << c.what;
  }
}

TEST(ExcelObjects, SelectionKnowsItsTypeName) {
  Host host;
  HostObjectPtr selection = host.app->Selection();
  EXPECT_EQ(selection->TypeName(), "Selection");  // the fake names a member's object after it
  EXPECT_THROW(selection->AsRange(), HostError);
  auto range = excel::WrapHostObject(test::MakeFakeObject(host.world, {L"Range", kind_guid(*host.world, 2)}).get());
  EXPECT_NE(range->AsRange(), nullptr);
}

TEST(DispatchCaller, NamesAreLookedUpOncePerKind) {
  auto world = std::make_shared<FakeWorld>();
  auto make = [&](const wchar_t* kind, unsigned long n, bool type_info, DISPID first) {
    return excel::AutomationObject(test::MakeFakeObject(world, FakeKind{kind, kind_guid(*world, n), type_info, first}));
  };
  excel::AutomationObject a1 = make(L"Range", 1, true, 100), a2 = make(L"Range", 1, true, 100);
  excel::AutomationObject b = make(L"Worksheet", 2, true, 200);
  a1.Get(L"Row");
  a2.Get(L"Row");
  a1.Get(L"Column");
  EXPECT_EQ(world->lookups, 2) << "one per name for objects of one kind";
  b.Get(L"Column");  // same name, another kind with other DISPIDs
  EXPECT_EQ(world->lookups, 3);
  EXPECT_EQ(world->log.back(), "Worksheet.get Column()") << "a DISPID of another kind was used";

  excel::AutomationObject plain1 = make(L"Plain", 3, false, 300), plain2 = make(L"Plain", 3, false, 300);
  plain1.Get(L"Row");
  plain1.Get(L"Row");
  plain2.Get(L"Row");
  EXPECT_EQ(world->lookups, 5) << "objects without type information keep their own DISPIDs";

  // Two kinds of one type name without GUIDs, numbering their members differently.
  excel::AutomationObject r1 = make(L"Range", 0, true, 400), r2 = make(L"Range", 0, true, 500);
  r1.Get(L"Item");
  r2.Get(L"Item");
  EXPECT_EQ(world->log.back(), "Range.get Item()") << "a DISPID of another object of that name was used";
}

TEST(DispatchCaller, FailuresBecomeHostErrors) {
  const std::string not_found = hresult_text(DISP_E_MEMBERNOTFOUND);
  struct Case {
    const char* what;
    std::wstring failing;
    HRESULT hr;
    bool deferred;
    std::map<std::wstring, Variant> results;
    std::function<void(Host&)> act;
    HRESULT number;
    std::string text;
  };
  const Case cases[] = {
      {"the object's exception text", L"Value", DISP_E_EXCEPTION, false, {}, [](Host& h) { h.range->SetValue(Variant::i4(1)); },
       static_cast<HRESULT>(0x800A03EC), "Unable to set the Value property"},
      {"a description filled in later", L"Value", DISP_E_EXCEPTION, true, {}, [](Host& h) { h.range->Value(); },
       static_cast<HRESULT>(0x800A03EC), "Filled in later"},
      {"no such member", L"Row", DISP_E_MEMBERNOTFOUND, false, {}, [](Host& h) { h.range->Row(); },
       DISP_E_MEMBERNOTFOUND, not_found},
      {"unknown name", L"?Tag", S_OK, false, {}, [](Host& h) { h.control->Tag(); }, DISP_E_UNKNOWNNAME, ""},
      {"a text where a number belongs", L"", S_OK, false, {{L"Row", Variant::text("abc")}},
       [](Host& h) { h.range->Row(); }, DISP_E_TYPEMISMATCH, ""},
      {"null where a name belongs", L"", S_OK, false, {{L"Name", Variant::null()}}, [](Host& h) { h.sheet->Name(); },
       DISP_E_TYPEMISMATCH, ""},
      {"no workbook of that name", L"", S_OK, false, {{L"Item", Variant()}},
       [](Host& h) { h.app->Workbooks("Gone.xlsx"); }, DISP_E_BADINDEX, ""},
      {"a picture of another platform", L"", S_OK, false, {}, [](Host& h) { h.control->SetPicture(nullptr); },
       DISP_E_TYPEMISMATCH, ""},
  };
  for (const Case& c : cases) {
    Host host;
    host.world->failures[c.failing] = c.hr;
    host.world->exception_text = L"Unable to set the Value property";
    host.world->deferred_description = c.deferred;
    host.world->results = c.results;
    try {
      c.act(host);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const HostError& e) {
      EXPECT_EQ(e.number(), c.number) << c.what;
      if (!c.text.empty()) {
        EXPECT_EQ(e.description(), c.text) << c.what;
      }
      EXPECT_NE(e.description(), "") << c.what;
      std::string member = to_utf8(c.failing[0] == L'?' ? c.failing.substr(1) : c.failing);
      EXPECT_EQ(std::string(e.what()).rfind(member, 0), 0u) << c.what << ": names the member called";
    }
  }
}

}  // namespace
}  // namespace tessaly::win
