// The custom date formats dialog: the two lists' editing, storing on OK and the Format Cells look-up.
#include <gtest/gtest.h>

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

TEST(DateFormatDialog, FormatCellsLeavesTheActiveCellsFormat) {
  struct Case {
    bool ok;
    bool chart_sheet;
  };
  for (Case c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
    DialogWorld world;
    auto& cell = sim::SimExcel::Cell(world.host->Sheet("Book1", "Sheet1"), "A1");
    cell.number_format = "d/m/yy";
    if (c.chart_sheet) {
      world.host->AddChartSheet("Book1", "Chart1");
      world.host->UserActivateSheet("Chart1");
    }
    world.host->ScriptFormatCells({c.ok, "0.00"});
    world.Open<F>(DialogKind::DateFormat, [](FakeDialogWindow&, IDialogHandler& h) { h.Click(F::cmdFormatCells); });
    EXPECT_EQ(world.host->dialogs_shown.size(), c.chart_sheet ? 0u : 1u);
    EXPECT_EQ(cell.number_format, "d/m/yy");
    EXPECT_EQ(world.host->Calls("Range.NumberFormat.set"), c.ok && !c.chart_sheet ? 1 : 0);
  }
}

}  // namespace
}  // namespace tessaly::testing
