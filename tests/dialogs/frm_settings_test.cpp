// The options dialog: load, validation stopping at the first bad field, storing only changes.
#include <gtest/gtest.h>

#include "dialogs/frm_date_format.h"
#include "dialogs/frm_settings.h"
#include "settings/option_ids.h"
#include "tests/dialogs/dialog_world.h"

namespace tessaly::testing {
namespace {

using S = frmSettings;
using Script = ScriptedDialogHost::Script;

// Plays the user: changes controls, then presses a button.
Script Then(std::function<void(FakeDialogWindow&)> edit, int button) {
  return [=](FakeDialogWindow& w, IDialogHandler& h) {
    edit(w);
    h.Click(button);
  };
}

TEST(SettingsDialog, LoadShowsTheOptionsInEffect) {
  DialogWorld world;
  world.reg().Value(opt::CalFirstDayOfWeek, Variant::i2(2));
  world.reg().Value(opt::ActiveForCellBelowDate, Variant::boolean(false));
  world.entry.ribbon = 1;
  world.dialogs.start.controls[S::chkActiveForStandardToolbarButton].top = 1200;
  FakeDialogWindow seen;
  world.Open<S>(DialogKind::Settings, [&](FakeDialogWindow& w, IDialogHandler&) { seen = w; });
  EXPECT_EQ(seen.icons, "app16");
  EXPECT_EQ(seen.at(S::cboWeekNames).items, (std::vector<std::string>{"Sunday", "Monday", "Tuesday", "Wednesday",
                                                                       "Thursday", "Friday", "Saturday"}));
  EXPECT_EQ(seen.at(S::cboWeekNames).index, 1);
  for (const auto& [box, value] : {std::pair{S::chkActiveForCellFormat, 1}, {S::chkActiveForCellBelowDate, 0},
                                   {S::chkDisplayTooltip, 1}, {S::chkActiveForRightClickMenu, 1}})
    EXPECT_EQ(seen.at(box).value, value) << box;
  for (const auto& [box, text] : {std::pair<int, std::string>{S::txtYearStart, "2000"}, {S::txtYearEnd, "2100"},
                                  {S::txtDefaultDateFormat, "dd.MM.yyyy"}})
    EXPECT_EQ(seen.at(box).text, text) << box;
  // Version 12: the install row in the toolbar box's place, the toolbar box hidden and never read.
  EXPECT_EQ(seen.at(S::cboInstallAs).items, (std::vector<std::string>{"A separate tab", "A group in Insert tab"}));
  EXPECT_EQ(seen.at(S::cboInstallAs).index, 1);
  EXPECT_FALSE(seen.at(S::chkActiveForStandardToolbarButton).visible);
  EXPECT_EQ(seen.at(S::lblInstallAs).top, 1205);
  EXPECT_EQ(seen.at(S::cboInstallAs).top, 1150);
  EXPECT_EQ(world.entry.toolbar_reads, 0);
  // The marks: off, ISO weeks, Saturday and Sunday first of WORKDAY.INTL's weekends, "Holidays".
  EXPECT_EQ(std::tuple(seen.at(S::chkShowWeekNumbers).value, seen.at(S::chkMarkWeekends).value,
                       seen.at(S::chkMarkHolidays).value, seen.at(S::txtHolidaysName).text),
            std::tuple(0, 0, 0, "Holidays"));
  EXPECT_EQ(seen.at(S::cboWeekNumberSystem).items, (std::vector<std::string>{kWeekNumbersIso, kWeekNumbersFirstJanuary}));
  EXPECT_EQ(seen.at(S::cboWeekNumberSystem).index, 0);
  const auto& weekends = seen.at(S::cboWeekendDays).items;
  ASSERT_EQ(weekends.size(), 14u);
  EXPECT_EQ(std::tuple(weekends[0], weekends[6], weekends[7], seen.at(S::cboWeekendDays).index),
            std::tuple("Saturday, Sunday", "Friday, Saturday", "Sunday", 0));
}

TEST(SettingsDialog, AWeekendOutsideTheNumberedOnesIsListedAndKept) {
  DialogWorld world;
  world.reg().Value(opt::CalWeekendDays, Variant::text("0101000"));
  FakeDialogWindow seen;
  world.Open<S>(DialogKind::Settings, Then([&](FakeDialogWindow& w) { seen = w; }, S::cmdOK));
  ASSERT_EQ(seen.at(S::cboWeekendDays).items.size(), 15u);
  EXPECT_EQ(std::tuple(seen.at(S::cboWeekendDays).items.back(), seen.at(S::cboWeekendDays).index),
            std::tuple("Tuesday, Thursday", 14));
  EXPECT_EQ(world.reg().Text(opt::CalWeekendDays), "0101000");
}

TEST(SettingsDialog, OlderHostsShowTheToolbarBoxAndHideTheInstallRow) {
  DialogWorld world("11.0");
  world.entry.toolbar = true;
  FakeDialogWindow seen;
  world.Open<S>(DialogKind::Settings, Then([&](FakeDialogWindow& w) {
    seen = w;
    w.at(S::chkActiveForStandardToolbarButton).value = 0;
  }, S::cmdOK));
  EXPECT_FALSE(seen.at(S::lblInstallAs).visible);
  EXPECT_FALSE(seen.at(S::cboInstallAs).visible);
  EXPECT_EQ(seen.at(S::chkActiveForStandardToolbarButton).value, 1);
  EXPECT_FALSE(world.entry.toolbar);
  EXPECT_EQ(world.entry.ribbon_writes, 0);
}

// Each row: the three texts typed, the message expected (empty: accepted) and the field focused.
struct ValidationCase {
  const char* from;
  const char* to;
  const char* format;
  std::string message;
  int focus;
};

TEST(SettingsDialog, ValidationStopsAtTheFirstBadFieldAndStoresNothing) {
  const ValidationCase cases[] = {
      {"20000", "2100", "dd.MM.yyyy", YearMessage("Year selection box / From"), S::txtYearStart},
      {"20a0", "2100", "dd.MM.yyyy", YearMessage("Year selection box / From"), S::txtYearStart},
      {"-200", "2100", "dd.MM.yyyy", YearMessage("Year selection box / From"), S::txtYearStart},
      {"", "2100", "dd.MM.yyyy", YearMessage("Year selection box / From"), S::txtYearStart},
      {"1899", "2100", "dd.MM.yyyy", YearMessage("Year selection box / From"), S::txtYearStart},
      {"2000", "21000", "nonsense", YearMessage("Year selection box / To"), S::txtYearEnd},
      {"1900", "1899", "nonsense", YearMessage("Year selection box / To"), S::txtYearEnd},
      {"2101", "2100", "nonsense", kYearRangeMessage, S::txtYearStart},
      {"2000", "2100", "0.00", kInvalidDefaultFormat, S::txtDefaultDateFormat},
      {"2000", "2100", "   ", kInvalidDefaultFormat, S::txtDefaultDateFormat},
  };
  for (const ValidationCase& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " " + c.to + " " + c.format);
    DialogWorld world;
    FakeDialogWindow after;
    world.Open<S>(DialogKind::Settings, [&](FakeDialogWindow& w, IDialogHandler& h) {
      w.at(S::chkActiveForCellFormat).value = 0;  // a change that must not be stored
      w.at(S::txtYearStart).text = c.from;
      w.at(S::txtYearEnd).text = c.to;
      w.at(S::txtDefaultDateFormat).text = c.format;
      h.Click(S::cmdOK);
      after = w;
    });
    ASSERT_EQ(world.messages().size(), 1u);
    EXPECT_EQ(world.messages()[0], (MessageRequest{c.message, "Tessaly", MsgIcon::Information, MsgButtons::OK}));
    EXPECT_EQ(after.focus, c.focus);
    EXPECT_FALSE(after.closed);
    EXPECT_EQ(world.platform.store.saves, 0);
    EXPECT_EQ(world.entry.ribbon_writes, 0);
  }
}

TEST(SettingsDialog, TrimmedEqualYearsAndFormatAreAcceptedAndStored) {
  DialogWorld world;
  FakeDialogWindow after;
  world.Open<S>(DialogKind::Settings, [&](FakeDialogWindow& w, IDialogHandler& h) {
    w.at(S::txtYearStart).text = " 2050 ";
    w.at(S::txtYearEnd).text = "2050  ";
    w.at(S::txtDefaultDateFormat).text = "  yyyy-mm-dd ";
    h.Click(S::cmdOK);
    after = w;
  });
  EXPECT_TRUE(world.messages().empty());
  EXPECT_TRUE(after.closed);
  EXPECT_EQ(after.at(S::txtYearStart).text, "2050");
  EXPECT_EQ(after.at(S::txtDefaultDateFormat).text, "yyyy-mm-dd");
  EXPECT_EQ(world.reg().Value(opt::CalendarYearMin), Variant::i2(2050));
  EXPECT_EQ(world.reg().Value(opt::CalendarYearMax), Variant::i2(2050));
  EXPECT_EQ(world.platform.store.at("DefaultDateFormat"), "yyyy-mm-dd");
}

// OK without a change, Close and the close box store nothing; OK always assigns the install row,
// on which the controller acts only when it changes.
TEST(SettingsDialog, NothingIsStoredWithoutAChangeOrWithoutOk) {
  const struct {
    const char* name;
    bool edit;
    int button;  // 0: none
    int ribbon_writes;
    bool host_answers;
  } cases[] = {{"OK", false, S::cmdOK, 1, true},
               {"Close", true, S::cmdClose, 0, true},
               {"the close box", true, 0, 0, true},
               {"OK while Excel is busy", true, S::cmdOK, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogWorld world;
    world.entry.ribbon = 1;
    world.entry.answers = c.host_answers;
    world.Open<S>(DialogKind::Settings, [&](FakeDialogWindow& w, IDialogHandler& h) {
      if (c.edit) w.at(S::chkActiveForCellFormat).value = 0, w.at(S::txtYearStart).text = "1990";
      if (c.button) h.Click(c.button);
    });
    EXPECT_EQ(world.messages(), std::vector<MessageRequest>{});
    EXPECT_EQ(world.platform.store.saves, 0);
    EXPECT_EQ(world.entry.writes, 0);
    EXPECT_EQ(world.entry.ribbon_writes, c.ribbon_writes);
    EXPECT_EQ(world.entry.ribbon, 1);
  }
}

TEST(SettingsDialog, OkStoresEachChange) {
  DialogWorld world;
  world.Open<S>(DialogKind::Settings, Then([](FakeDialogWindow& w) {
    w.at(S::chkActiveForDateColumn).value = 0;
    w.at(S::chkActiveForRightClickMenu).value = 0;
    w.at(S::cboInstallAs).index = 1;
    w.at(S::cboWeekNames).index = 6;
    w.at(S::chkSetDateFormatForNonDateCell).value = 0;
    w.at(S::chkDateCanContainTime).value = 1;
    w.at(S::chkShowWeekNumbers).value = 1;
    w.at(S::cboWeekNumberSystem).index = 1;
    w.at(S::chkMarkWeekends).value = 1;
    w.at(S::cboWeekendDays).index = 6;
    w.at(S::chkMarkHolidays).value = 1;
    w.at(S::txtHolidaysName).text = " Feiertage ";
  }, S::cmdOK));
  EXPECT_EQ(world.platform.store.at("ActiveForDateColumn"), "0");
  EXPECT_EQ(world.platform.store.at("CalFirstDayOfWeek"), "7");
  EXPECT_EQ(world.platform.store.at("SetDateFormatForNonDateCell"), "0");
  EXPECT_EQ(world.platform.store.at("DateCanContainTime"), "1");
  for (const auto& [key, text] : {std::pair<std::string, std::string>{"CalShowWeekNumbers", "1"},
                                  {"CalWeekNumberSystem", "1"}, {"CalMarkWeekends", "1"},
                                  {"CalWeekendDays", "0000110"}, {"CalMarkHolidays", "1"}, {"CalHolidaysName", "Feiertage"}})
    EXPECT_EQ(world.platform.store.at(key), text) << key;
  EXPECT_EQ(world.platform.store.saves, 10);
  EXPECT_FALSE(world.entry.menu);
  EXPECT_EQ(world.entry.ribbon, 1);
}

TEST(SettingsDialog, ASaveTheStoreRefusesIsReportedWithItsReason) {
  DialogWorld world;
  world.platform.store.fail_write = true;
  world.Open<S>(DialogKind::Settings, Then([](FakeDialogWindow& w) { w.at(S::chkActiveForCellFormat).value = 0; }, S::cmdOK));
  ASSERT_EQ(world.messages().size(), 1u);
  EXPECT_EQ(world.messages()[0].icon, MsgIcon::Critical);
  EXPECT_NE(world.messages()[0].text.find("'ActiveForCellFormat' could not be saved"), std::string::npos);
  EXPECT_NE(world.messages()[0].text.find("Access is denied."), std::string::npos);
  EXPECT_TRUE(world.reg().Bool(opt::ActiveForCellFormat));
}

TEST(SettingsDialog, AControlThatFailsIsSkippedWhileLoadingAndStoring) {
  DialogWorld world;
  FakeDialogWindow w;
  w.failing = {S::cboWeekNames, S::chkActiveForCellFormat};
  S dialog(world.services());
  dialog.Load(w);
  EXPECT_EQ(w.controls[S::txtYearEnd].text, "2100");
  w.controls[S::txtYearEnd].text = "2099";
  dialog.Click(S::cmdOK);
  EXPECT_TRUE(w.closed);
  EXPECT_EQ(world.platform.store.at("CalendarYearMax"), "2099");
  EXPECT_EQ(world.platform.store.saves, 1);
}

TEST(SettingsDialog, HelpAndTheTwoDialogsItOpens) {
  DialogWorld world;
  world.dialogs.scripts[DialogKind::DateFormat] = Then([](FakeDialogWindow& w) { w.at(frmDateFormat::lstValidList).items = {"yy"}; },
                                                       frmDateFormat::cmdOK);
  world.Open<S>(DialogKind::Settings, [](FakeDialogWindow&, IDialogHandler& h) {
    h.Click(S::cmdHelp);
    h.Click(S::cmdDateFormat);
    h.Click(S::cmdDefaultDate);
    h.Click(S::cmdClose);
  });
  EXPECT_EQ(world.desk.help_shown.size(), 1u);
  EXPECT_NE(world.desk.help_shown[0].find("settings.htm"), std::string::npos);
  // Both owned by the options dialog; what the custom formats dialog stored stays after Cancel here.
  EXPECT_EQ(world.dialogs.owners, (std::vector<WindowHandle>{0x100, 0x5000, 0x5000}));
  EXPECT_EQ(world.platform.store.at("CustomDateFormatsValid"), "yy");
}

}  // namespace
}  // namespace tessaly::testing
