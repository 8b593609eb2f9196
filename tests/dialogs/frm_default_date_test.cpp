// The default date dialog: the four combinations of box and text, refused dates and trimming.
#include <gtest/gtest.h>

#include "date/serial_date.h"
#include "dialogs/frm_default_date.h"
#include "settings/option_ids.h"
#include "tests/dialogs/dialog_world.h"

namespace tessaly::testing {
namespace {

using D = frmDefaultDate;
const double kToday = 46000;  // 9 December 2025, the world clock's day
const double kChristmas = 46015;

TEST(DefaultDateDialog, OkInEachCombination) {
  struct Case {
    int restore;
    const char* typed;
    const char* stored_restore;
    const char* stored_date;
    double current;
  };
  const Case cases[] = {
      {1, "", "1", "", kToday},
      {1, "  24.12.2025 ", "1", "24.12.2025", kChristmas},
      {0, "24.12.2025", "0", "", kChristmas},
      {0, "", "0", "", kToday},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    DialogWorld world;
    world.reg().Value(opt::DefaultDateResotre, Variant::boolean(!c.restore));
    world.reg().Value(opt::DefaultDate, Variant::text(c.restore ? "1.1.2020" : ""));
    world.m.CurrentDefaultDate = 1;
    world.Open<D>(DialogKind::DefaultDate, [&](FakeDialogWindow& w, IDialogHandler& h) {
      w.at(D::chkRestore).value = c.restore;
      w.at(D::txtDate).text = c.typed;
      h.Click(D::cmdOK);
    });
    EXPECT_TRUE(world.messages().empty());
    EXPECT_EQ(world.platform.store.at("DefaultDateResotre"), c.stored_restore);
    EXPECT_EQ(world.reg().Text(opt::DefaultDate), c.stored_date);
    EXPECT_EQ(world.m.CurrentDefaultDate, c.current);
  }
}

TEST(DefaultDateDialog, ReopeningShowsWhatWasChosen) {
  DialogWorld world;
  const auto shown = [&] {
    FakeDialogWindow seen;
    world.Open<D>(DialogKind::DefaultDate, [&](FakeDialogWindow& w, IDialogHandler&) { seen = w; });
    return std::pair{seen.at(D::chkRestore).value, seen.at(D::txtDate).text};
  };
  world.m.CurrentDefaultDate = kChristmas;
  EXPECT_EQ(shown(), (std::pair<int, std::string>{0, "24.12.2025"}));
  world.reg().Value(opt::DefaultDateResotre, Variant::boolean(true));
  EXPECT_EQ(shown(), (std::pair<int, std::string>{1, ""}));
}

// A day that does not exist is refused with the focus on the text; Cancel takes nothing either.
TEST(DefaultDateDialog, RefusedOrCancelledChangesNothing) {
  const MessageRequest invalid{"Invalid date value.", "Tessaly", MsgIcon::Information, MsgButtons::OK};
  const struct {
    const char* typed;
    int button;
    bool refused;
  } cases[] = {{"31.02.2025", D::cmdOK, true}, {"someday", D::cmdOK, true}, {"24.12.2025", D::cmdCancel, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    DialogWorld world;
    world.m.CurrentDefaultDate = 1;
    FakeDialogWindow after;
    world.Open<D>(DialogKind::DefaultDate, [&](FakeDialogWindow& w, IDialogHandler& h) {
      w.at(D::chkRestore).value = 1;
      w.at(D::txtDate).text = c.typed;
      h.Click(c.button);
      after = w;
    });
    EXPECT_EQ(world.messages(), c.refused ? std::vector<MessageRequest>{invalid} : std::vector<MessageRequest>{});
    EXPECT_EQ(after.focus, c.refused ? D::txtDate : 0);
    EXPECT_EQ(after.closed, !c.refused);
    EXPECT_EQ(world.platform.store.saves, 0);
    EXPECT_EQ(world.m.CurrentDefaultDate, 1);
  }
}

}  // namespace
}  // namespace tessaly::testing
