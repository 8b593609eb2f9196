// The custom date formats dialog: the two lists' editing, storing on OK and the Format Cells look-up.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "dialogs/frm_date_format.h"
#include "settings/option_ids.h"
#include "tests/dialogs/dialog_world.h"

namespace tessaly::testing {
namespace {

using F = frmDateFormat;

MessageRequest Exclamation(const std::string& text) {
  return {text, "Tessaly", MsgIcon::Exclamation, MsgButtons::OK};
}

TEST(DateFormatDialog, LoadSplitsTheStoredListsUntrimmed) {
  DialogWorld world;
  world.reg().Value(opt::CustomDateFormatsValid, Variant::text("dd mm`1` yyyy`1`"));
  world.reg().Value(opt::CustomDateFormatsInvalid, Variant::text(""));
  FakeDialogWindow seen;
  world.Open<F>(DialogKind::DateFormat, [&](FakeDialogWindow& w, IDialogHandler&) { seen = w; });
  EXPECT_EQ(seen.at(F::lstValidList).items, (std::vector<std::string>{"dd mm", " yyyy", ""}));
  EXPECT_TRUE(seen.at(F::lstInvalidList).items.empty());
}

TEST(DateFormatDialog, AddRefusesDuplicatesInEitherListAndIgnoresSpaces) {
  struct Case {
    int edit, add;
    const char* typed;
    std::string message;  // empty: none
    std::vector<std::string> valid, invalid;
    const char* left_in_box;
  };
  const Case cases[] = {
      {F::txtInvalidEdit, F::cmdInvalidAdd, "mm/dd/yyyy", AlreadyListedMessage("mm/dd/yyyy", true), {"MM/DD/YYYY"}, {"yy"}, "mm/dd/yyyy"},
      {F::txtValidEdit, F::cmdValidAdd, " YY ", AlreadyListedMessage("YY", false), {"MM/DD/YYYY"}, {"yy"}, " YY "},
      {F::txtValidEdit, F::cmdValidAdd, "    ", "", {"MM/DD/YYYY"}, {"yy"}, "    "},
      {F::txtValidEdit, F::cmdValidAdd, " d-m ", "", {"MM/DD/YYYY", "d-m"}, {"yy"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    DialogWorld world;
    FakeDialogWindow after;
    world.Open<F>(DialogKind::DateFormat, [&](FakeDialogWindow& w, IDialogHandler& h) {
      w.at(F::lstValidList).items = {"MM/DD/YYYY"};
      w.at(F::lstInvalidList).items = {"yy"};
      w.at(c.edit).text = c.typed;
      h.Click(c.add);
      after = w;
    });
    if (c.message.empty()) EXPECT_TRUE(world.messages().empty());
    else EXPECT_EQ(world.messages(), std::vector<MessageRequest>{Exclamation(c.message)});
    EXPECT_EQ(after.at(F::lstValidList).items, c.valid);
    EXPECT_EQ(after.at(F::lstInvalidList).items, c.invalid);
    EXPECT_EQ(after.at(c.edit).text, c.left_in_box);
  }
}

TEST(DateFormatDialog, DeleteClearAllAndPickingAnItem) {
  DialogWorld world;
  FakeDialogWindow after;
  world.Open<F>(DialogKind::DateFormat, [&](FakeDialogWindow& w, IDialogHandler& h) {
    w.at(F::lstValidList).items = {"a", "b", "c"};
    w.at(F::lstInvalidList).items = {"x"};
    h.Click(F::cmdValidDelete);  // nothing selected
    w.at(F::lstValidList).index = 1;
    h.Click(F::lstValidList);
    h.Click(F::cmdValidDelete);
    h.Click(F::cmdInvalidClearAll);
    after = w;
  });
  EXPECT_EQ(world.messages(), std::vector<MessageRequest>{Exclamation("Please select the format you want to delete.")});
  EXPECT_EQ(after.at(F::txtValidEdit).text, "b");
  EXPECT_EQ(after.at(F::lstValidList).items, (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(after.at(F::lstInvalidList).items.empty());
  EXPECT_EQ(world.platform.store.saves, 0);  // nothing stored before OK
}

TEST(DateFormatDialog, OkWarnsOncePerItemHoldingTheDelimiterAndStoresBothLists) {
  DialogWorld world;
  world.Open<F>(DialogKind::DateFormat, [&](FakeDialogWindow& w, IDialogHandler& h) {
    w.at(F::lstValidList).items = {"a`1`b", "c"};
    w.at(F::lstInvalidList).items = {"X`1`"};
    h.Click(F::cmdOK);
  });
  const MessageRequest warning = Exclamation(
      "Warning: \r\n\r\nThe format codes you use contain the default delimiter. Your custom formats may not work "
      "propertly.\r\n\r\nPlease contact the author of Tessaly for a solution.");
  EXPECT_EQ(world.messages(), (std::vector<MessageRequest>{warning, warning}));
  EXPECT_EQ(world.platform.store.at("CustomDateFormatsValid"), "a`1`b`1`c");
  EXPECT_EQ(world.platform.store.at("CustomDateFormatsInvalid"), "X`1`");
}

TEST(DateFormatDialog, OkWithEmptyListsStoresEmptyTextsAndCancelNothing) {
  DialogWorld world;
  world.reg().Value(opt::CustomDateFormatsValid, Variant::text("a"));
  world.reg().Value(opt::CustomDateFormatsInvalid, Variant::text("b"));
  world.platform.store.saves = 0;
  world.Open<F>(DialogKind::DateFormat, [](FakeDialogWindow&, IDialogHandler& h) {
    h.Click(F::cmdValidClearAll);
    h.Click(F::cmdCancel);
  });
  EXPECT_EQ(world.platform.store.saves, 0);
  world.Open<F>(DialogKind::DateFormat, [](FakeDialogWindow&, IDialogHandler& h) {
    h.Click(F::cmdValidClearAll);
    h.Click(F::cmdInvalidClearAll);
    h.Click(F::cmdOK);
  });
  EXPECT_EQ(world.platform.store.at("CustomDateFormatsValid"), "");
  EXPECT_EQ(world.platform.store.at("CustomDateFormatsInvalid"), "");
}

// The host's OK formats the whole selection: no selected cell keeps what was picked there, a whole
// column's million cells are neither read nor made, and the user's selection comes back.
TEST(DateFormatDialog, FormatCellsLeavesEveryCellsFormat) {
  struct Case {
    const char* name;
    const char* select;
    std::int32_t active_row, active_column;
    bool ok, chart_sheet;
  };
  const Case cases[] = {
      {"three formats", "A1:C3", 2, 2, true, false},
      {"cancel", "A1:C3", 2, 2, false, false},
      {"whole column", "C:C", 5, 3, true, false},
      {"chart sheet", "A1", 1, 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogWorld world;
    sim::SheetModel& sheet = world.host->Sheet("Book1", "Sheet1");
    const std::map<std::string, std::string> formats{{"A1", "d/m/yy"}, {"B2", "0.00%"}, {"C3", "@"}, {"C5", "yyyy"}};
    for (const auto& [a1, format] : formats) sim::SimExcel::Cell(sheet, a1).number_format = format;
    world.host->UserSelect(c.select);
    sheet.active_row = c.active_row, sheet.active_column = c.active_column;
    const std::vector<sim::Area> selected = sheet.selection;
    if (c.chart_sheet) {
      world.host->AddChartSheet("Book1", "Chart1");
      world.host->UserActivateSheet("Chart1");
    }
    world.host->ScriptFormatCells({c.ok, "0.00"});
    world.Open<F>(DialogKind::DateFormat, [](FakeDialogWindow&, IDialogHandler& h) { h.Click(F::cmdFormatCells); });
    EXPECT_EQ(world.host->dialogs_shown.size(), c.chart_sheet ? 0u : 1u);
    for (const auto& [a1, format] : formats) EXPECT_EQ(sim::SimExcel::Cell(sheet, a1).number_format, format) << a1;
    EXPECT_EQ(sheet.cells.size(), formats.size());
    EXPECT_EQ(std::tuple(sheet.selection, sheet.active_row, sheet.active_column),
              std::tuple(selected, c.active_row, c.active_column));
    EXPECT_EQ(world.host->Calls("Range.NumberFormat.set"), c.ok && !c.chart_sheet ? 1 : 0);
  }
}

}  // namespace
}  // namespace tessaly::testing
