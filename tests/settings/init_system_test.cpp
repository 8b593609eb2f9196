// Start-up: the first-run flag, the data folders, the catalogue and the values derived from it.
#include "settings/init_system.h"

#include <gtest/gtest.h>

#include "host/error_policy.h"
#include "fakes.h"
#include "settings/option_catalogue.h"

namespace tessaly {
namespace {

using testing::FakePlatform;

struct InitSystemTest : ::testing::Test {
  mVantry start() {
    mVantry m;
    m.AddInFolder = "C:\\Addins\\";
    InitSystem(m, p.services());
    return m;
  }
  FakePlatform p;
};

TEST(option_catalogue, indices_keys_and_types_are_unique_and_valid) {
  std::set<int> indices;
  std::set<std::string> keys;
  for (const OptionSpec& o : OptionCatalogue()) {
    EXPECT_TRUE(indices.insert(o.index).second) << o.index;
    EXPECT_TRUE(keys.insert(to_lower(o.key)).second) << o.key;
    EXPECT_GE(o.index, 3);
    EXPECT_LE(o.index, opt::kMaxEntry);
    EXPECT_TRUE(o.type == 2 || o.type == 3 || o.type == 8 || o.type == 11) << o.key;
    EXPECT_TRUE(o.store == 0 || o.type == 8) << o.key;
  }
  EXPECT_EQ(indices.size(), 69u);  // 3..6, 8..49, 51..65, 72..79
}

TEST_F(InitSystemTest, fresh_profile_reads_defaults) {
  mVantry m = start();
  cUtilRegMan& r = *m.RegMan;
  EXPECT_EQ(m.HelpFilePath, "C:\\Addins\\TESSALY.chm");
  EXPECT_EQ(m.UserDataFolder, "C:\\Users\\user\\AppData\\Roaming\\Brenmoor\\Tessaly\\");
  EXPECT_EQ(m.MachineDataFolder, "C:\\ProgramData\\Brenmoor\\Tessaly\\");
  EXPECT_EQ(p.files.granted, (std::vector<std::string>{"C:\\ProgramData\\Brenmoor\\Tessaly"}));
  EXPECT_EQ(r.Value(opt::CalFormBorderColor), Variant::i2(-32513));
  EXPECT_EQ(r.ValueType(opt::CalFormBorderColor), 3);
  EXPECT_EQ(r.Value(opt::CalPostPeriodBackColor), Variant::i4(static_cast<std::int32_t>(0x80000018u)));
  EXPECT_EQ(r.Text(opt::DefaultDateFormat), "dd.MM.yyyy");
  EXPECT_FALSE(r.Bool(opt::DefaultDateResotre));
  EXPECT_EQ(m.UrlHome, r.Text(opt::UrlHome));
  EXPECT_EQ(m.CurrentDefaultDate, 46000.0);
  EXPECT_TRUE(p.messages.shown().empty());
  EXPECT_TRUE(p.files.files.empty()) << "per-machine options at their defaults: no machine file";
}

TEST_F(InitSystemTest, first_run_is_seen_once) {
  mVantry m;
  ReadFirstTimeRun(m, p.store);
  EXPECT_TRUE(m.FirstRun);
  EXPECT_EQ(p.store.at("FirstTimeRun"), "0");
  ReadFirstTimeRun(m, p.store);
  EXPECT_FALSE(m.FirstRun);
  p.store.put("FirstTimeRun", " 1 ");
  ReadFirstTimeRun(m, p.store);
  EXPECT_TRUE(m.FirstRun);
  p.store.put("FirstTimeRun", "1");
  p.store.fail_write = true;
  EXPECT_THROW(ReadFirstTimeRun(m, p.store), HostError);
  EXPECT_TRUE(m.FirstRun) << "the flag is known before the store refuses the 0";
}

TEST_F(InitSystemTest, default_date_restore) {
  struct Case {
    const char* restore;
    const char* date;
    double expected;
  } cases[] = {{"1", "2024-02-29", 45351.0}, {"1", "29/02/2024", 45351.0},  // the user's day-first locale
               {"1", "", 46000.0},           {"1", "no date", 46000.0},
               {"0", "2024-02-29", 46000.0}};
  for (const auto& c : cases) {
    p.store.put("DefaultDateResotre", c.restore);
    p.store.put("DefaultDate", c.date);
    EXPECT_EQ(start().CurrentDefaultDate, c.expected) << c.restore << " " << c.date;
  }
}

TEST_F(InitSystemTest, folder_that_cannot_be_made_warns_and_start_up_goes_on) {
  p.files.fail_create.insert("C:\\ProgramData\\Brenmoor");
  p.store.put("UrlHome", "https://mine/");
  mVantry m = start();
  ASSERT_EQ(p.messages.shown().size(), 3u);  // creation failure, the start-up warning, the failed save
  EXPECT_EQ(p.messages.shown()[1].text, "Warning: Cannot create the following folder: \r\n\r\nC:\\ProgramData\\Brenmoor\\Tessaly\\");
  EXPECT_EQ(p.messages.shown()[1].icon, MsgIcon::Critical);
  EXPECT_NE(p.messages.shown()[2].text.find("saving system settings"), std::string::npos);
  EXPECT_EQ(m.RegMan->Text(opt::UrlHome), "https://mine/");
  EXPECT_EQ(m.RegMan->Long(opt::TagSizeX), 300);
}

TEST_F(InitSystemTest, unknown_special_folders_leave_the_folders_unknown) {
  p.shell.fail = true;
  mVantry m = start();
  EXPECT_EQ(m.UserDataFolder, "");
  EXPECT_EQ(m.MachineDataFolder, "");
  ASSERT_EQ(p.messages.shown().size(), 2u);
  EXPECT_EQ(p.messages.shown()[0].text, "Warning: Cannot create the following folder: \r\n\r\nBrenmoor\\Tessaly\\");
  EXPECT_TRUE(p.files.created.empty());
  EXPECT_TRUE(m.RegMan->Bool(opt::DisplayTooltip));
}

// Each platform service failing on its own: start-up still ends with every option registered
// and at its default, and nothing escapes.
TEST(init_system_faults, every_service_failing_alone) {
  using Fault = void (*)(FakePlatform&);
  const std::pair<const char*, Fault> faults[] = {
      {"store read", [](FakePlatform& p) { p.store.fail_read = true; }},
      {"store write", [](FakePlatform& p) { p.store.fail_write = true; }},
      {"file read", [](FakePlatform& p) { p.files.fail_read = true; }},
      {"file write", [](FakePlatform& p) { p.files.fail_write = true; }},
      {"grant", [](FakePlatform& p) { p.files.fail_grant = true; }},
      {"shell", [](FakePlatform& p) { p.shell.fail = true; }},
      {"version", [](FakePlatform& p) { p.system.fail = true; }},
      {"locale", [](FakePlatform& p) { p.locale.fail = true; }},
      {"clock", [](FakePlatform& p) { p.clock.fail = true; }},
      {"user folder", [](FakePlatform& p) { p.files.fail_create.insert("C:\\Users\\user\\AppData\\Roaming\\Brenmoor"); }},
  };
  for (const auto& [name, fault] : faults) {
    SCOPED_TRACE(name);
    FakePlatform p;
    p.files.files["C:\\ProgramData\\Brenmoor\\Tessaly\\Tessaly.conf"] = "not a record";
    fault(p);
    mVantry m;
    m.AddInFolder = "C:\\Addins\\";
    SkipFailures()([&] { ReadFirstTimeRun(m, p.store); });  // as the connection handler runs it
    ASSERT_NO_THROW(InitSystem(m, p.services()));
    ASSERT_TRUE(m.RegMan);
    EXPECT_EQ(m.RegMan->Value(opt::CalendarYearMax), Variant::i2(2100));
    EXPECT_EQ(m.RegMan->Text(opt::RibbonFile), "C:\\Addins\\caltab.xml");
    EXPECT_FALSE(m.RegMan->Text(opt::DefaultDateFormat).empty());
    EXPECT_EQ(m.FormatDelimiter, "`1`");
    for (const MessageRequest& box : p.messages.shown()) EXPECT_EQ(box.icon, MsgIcon::Critical);
  }
}

}  // namespace
}  // namespace tessaly
