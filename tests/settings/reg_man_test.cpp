// The settings object: registration, loading with the per-machine reconciliation, writes.
#include "settings/reg_man.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/machine_file.h"

namespace tessaly {
namespace {

using testing::FakePlatform;

constexpr const char* kFolder = "C:\\ProgramData\\Brenmoor\\Tessaly\\";
constexpr const char* kFile = "C:\\ProgramData\\Brenmoor\\Tessaly\\Tessaly.conf";
enum : short { kColor = 3, kHome = 6, kProduct = 8, kTip = 9, kCaption = 13, kSize = 17 };

class RegManTest : public ::testing::Test {
 protected:
  RegManTest() {
    p.files.folders.insert("C:\\ProgramData\\Brenmoor");
    p.files.folders.insert("C:\\ProgramData\\Brenmoor\\Tessaly");
  }
  cUtilRegMan& make() {
    reg = std::make_unique<cUtilRegMan>(p.services(), "Tessaly", kFolder);
    reg->InitThisObject(73, "GlobalOptions");
    reg->InitValue(kColor, "TagActiveColor", kTypeLong, Variant::i4(0xFFFF), kStorePerUser);
    reg->InitValue(kHome, "UrlHome", kTypeString, Variant::text("https://home/"), kStorePerMachine);
    reg->InitValue(kProduct, "UrlProduct", kTypeString, Variant::text("https://product/"), kStorePerMachine);
    reg->InitValue(kTip, "DisplayTooltip", kTypeBoolean, Variant::boolean(true), kStorePerUser);
    reg->InitValue(kCaption, "CommandButtonCaption", kTypeString, Variant::text("Quenby"), kStorePerUser);
    reg->InitValue(kSize, "CalSizeX", kTypeInteger, Variant::i2(5175), kStorePerUser);
    return *reg;
  }
  void machine_file(const PropertyBag& bag) { p.files.files[kFile] = EncodeMachineRecord(bag); }
  PropertyBag machine_bag() const {
    auto it = p.files.files.find(kFile);
    if (it == p.files.files.end()) return {};
    return DecodeMachineRecord(it->second).value_or(PropertyBag{{"<corrupt>", ""}});
  }

  FakePlatform p;
  std::unique_ptr<cUtilRegMan> reg;
};

TEST_F(RegManTest, per_machine_non_string_option_warns_but_registers) {
  cUtilRegMan& r = make();
  ASSERT_TRUE(p.messages.shown().empty());
  r.InitValue(20, "CalLineStyle", kTypeInteger, Variant::i2(2), kStorePerMachine);
  ASSERT_EQ(p.messages.shown().size(), 1u);
  EXPECT_EQ(p.messages.shown()[0], (MessageRequest{"Warning: \r\n\r\nPer-machine options can only be string types.",
                                                   "Tessaly", MsgIcon::Critical, MsgButtons::OK}));
  EXPECT_EQ(r.Value(20), Variant::i2(2));
  EXPECT_EQ(r.StoreType(20), kStorePerMachine);
}

TEST_F(RegManTest, indices_outside_the_table) {
  cUtilRegMan& r = make();
  r.InitValue(74, "Beyond", kTypeString, Variant::text("x"), kStorePerUser);
  r.InitValue(-1, "Before", kTypeString, Variant::text("x"), kStorePerUser);
  for (short i : {short(-1), short(74), short(1000), short(-32768)}) {
    EXPECT_TRUE(r.Value(i).is_empty()) << i;
    EXPECT_EQ(r.ValueType(i), 0) << i;
    EXPECT_EQ(r.BooleanTo10(i), 0) << i;
    r.Value(i, Variant::text("x"));
  }
  EXPECT_EQ(p.store.saves, 0);
  EXPECT_EQ(r.ValueType(0), 0);  // in range, never registered
  EXPECT_EQ(r.SecName(), "GlobalOptions");
}

TEST_F(RegManTest, stored_values_replace_defaults_by_type) {
  p.store.put(" tagactivecolor ", " -2147483624 ");
  p.store.put("DisplayTooltip", "true");  // only "1" is true
  p.store.put("CalSizeX", "70000");       // does not fit 16 bits: default stays
  p.store.put("CommandButtonCaption", "  Pick a date ");
  p.store.put("NoSuchOption", "1");
  p.store.put("", "1");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Value(kColor), Variant::i4(-2147483624));
  EXPECT_EQ(r.Value(kTip), Variant::boolean(false));
  EXPECT_EQ(r.BooleanTo10(kTip), 0);
  EXPECT_EQ(r.Value(kSize), Variant::i2(5175));
  EXPECT_EQ(r.Text(kCaption), "Pick a date");
  EXPECT_TRUE(r.Value(0).is_empty());
  EXPECT_TRUE(p.messages.shown().empty());
}

TEST_F(RegManTest, unconvertible_integer_keeps_default_and_boolean_1_is_true) {
  p.store.put("TagActiveColor", "yellow");
  p.store.put("DisplayTooltip", "1");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Long(kColor), 0xFFFF);
  EXPECT_TRUE(r.Bool(kTip));
  EXPECT_EQ(r.BooleanTo10(kTip), 1);
}

TEST_F(RegManTest, unreadable_store_keeps_defaults) {
  p.store.put("TagActiveColor", "1");
  p.store.fail_read = true;
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Long(kColor), 0xFFFF);
}

// The reconciliation table: file present?, user section present?, what ends up where.
TEST_F(RegManTest, new_user_takes_machine_file_and_writes_nothing) {
  machine_file({{"UrlHome", "https://shared/"}});
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Text(kHome), "https://shared/");
  EXPECT_EQ(r.Text(kProduct), "https://product/");  // missing property: the default
  EXPECT_EQ(p.store.saves, 0);
  EXPECT_EQ(p.files.writes, 0);
}

TEST_F(RegManTest, machine_file_wins_and_is_copied_to_the_user) {
  machine_file({{"UrlHome", "https://shared/"}, {"UrlProduct", "https://product/"}});
  p.store.put("UrlHome", "https://mine/");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Text(kHome), "https://shared/");
  EXPECT_EQ(p.store.at("UrlHome"), "https://shared/");
  EXPECT_EQ(p.files.writes, 0);
  EXPECT_EQ(p.store.at("UpdatePMOption"), "<absent>");
}

TEST_F(RegManTest, listed_user_value_replaces_the_machine_file) {
  machine_file({{"UrlHome", "https://shared/"}, {"UrlProduct", "https://product/"}});
  p.store.put("UrlHome", "https://mine/");
  p.store.put("UpdatePMOption", " urlproduct , URLHOME ");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Text(kHome), "https://mine/");
  EXPECT_EQ(machine_bag(), (PropertyBag{{"UrlHome", "https://mine/"}, {"UrlProduct", "https://product/"}}));
  EXPECT_EQ(p.store.at("UpdatePMOption"), "");
}

TEST_F(RegManTest, no_file_and_defaults_creates_no_file) {
  p.store.put("TagActiveColor", "1");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_TRUE(p.files.files.empty());
}

TEST_F(RegManTest, no_file_and_changed_value_writes_it) {
  p.store.put("UrlProduct", "https://mine/");
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(machine_bag(), (PropertyBag{{"UrlHome", "https://home/"}, {"UrlProduct", "https://mine/"}}));
}

TEST_F(RegManTest, damaged_machine_file_counts_as_absent) {
  std::string good = EncodeMachineRecord({{"UrlHome", "https://shared/"}});
  for (const std::string& bytes : {std::string(), good.substr(0, good.size() - 3), "garbage" + good}) {
    p.files.files[kFile] = bytes;
    p.store.data.clear();
    p.store.put("UrlHome", "https://mine/");
    cUtilRegMan& r = make();
    r.LoadAll();
    EXPECT_EQ(r.Text(kHome), "https://mine/");
    EXPECT_EQ(machine_bag(), (PropertyBag{{"UrlHome", "https://mine/"}, {"UrlProduct", "https://product/"}}))
        << "rewritten since the values differ from the defaults";
  }
}

TEST_F(RegManTest, machine_file_with_a_tail_still_loads) {
  p.files.files[kFile] = EncodeMachineRecord({{"UrlHome", "https://shared/"}}) + "old tail";
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Text(kHome), "https://shared/");
}

TEST_F(RegManTest, write_rules) {
  cUtilRegMan& r = make();
  r.LoadAll();
  r.Value(kCaption, Variant::text("QUENBY"));  // letter case only
  r.Value(kSize, Variant::i4(100));             // 32-bit value into a 16-bit option
  r.Value(kTip, Variant::text("0"));            // text into a boolean
  EXPECT_EQ(p.store.saves, 0);
  EXPECT_EQ(r.Text(kCaption), "Quenby");

  r.Value(kTip, Variant::boolean(false));
  r.Value(kSize, Variant::i2(-3));
  r.Value(kCaption, Variant::text("Date"));
  EXPECT_EQ(p.store.at("DisplayTooltip"), "0");
  EXPECT_EQ(p.store.at("CalSizeX"), "-3");
  EXPECT_EQ(p.store.at("CommandButtonCaption"), "Date");
  EXPECT_FALSE(r.Bool(kTip));
  EXPECT_EQ(p.files.writes, 0);

  r.Value(kHome, Variant::text("https://new/"));
  EXPECT_EQ(p.store.at("UrlHome"), "https://new/");
  EXPECT_EQ(machine_bag(), (PropertyBag{{"UrlHome", "https://new/"}, {"UrlProduct", "https://product/"}}));
}

TEST_F(RegManTest, unwritable_machine_folder_reports_and_keeps_the_value) {
  cUtilRegMan& r = make();
  r.LoadAll();
  p.files.fail_write = true;
  r.Value(kHome, Variant::text("https://new/"));
  EXPECT_EQ(r.Text(kHome), "https://new/");
  EXPECT_EQ(p.store.at("UrlHome"), "https://new/");
  ASSERT_EQ(p.messages.shown().size(), 1u);
  EXPECT_EQ(p.messages.shown()[0],
            (MessageRequest{"The following error occurred while saving system settings: \r\n\r\nError Number: 5\r\n"
                            "Description: Access is denied.\r\n\r\n"
                            "You may need an Administrator windows account to run this program.",
                            "Tessaly", MsgIcon::Critical, MsgButtons::OK}));
}

TEST_F(RegManTest, unwritable_user_store_throws_after_keeping_the_value) {
  cUtilRegMan& r = make();
  r.LoadAll();
  p.store.fail_write = true;
  EXPECT_THROW(r.Value(kHome, Variant::text("https://new/")), HostError);
  EXPECT_EQ(r.Text(kHome), "https://new/");
  EXPECT_EQ(machine_bag()[0].second, "https://new/") << "the machine file is still written";
}

TEST_F(RegManTest, any_bytes_round_trip_through_the_machine_file) {
  std::string odd("a\0b\r\n=\xff\xfe", 8);
  odd += std::string(5000, 'z');
  cUtilRegMan& r = make();
  r.LoadAll();
  r.Value(kHome, Variant::text(odd));
  p.store.data.clear();  // a new user on the same computer
  cUtilRegMan& again = make();
  again.LoadAll();
  EXPECT_EQ(again.Text(kHome), odd);
}

TEST_F(RegManTest, typed_readers_are_neutral_for_other_types) {
  cUtilRegMan& r = make();
  EXPECT_FALSE(r.Bool(kColor));
  EXPECT_EQ(r.Long(kCaption), 0);
  EXPECT_EQ(r.Text(kColor), "");
  EXPECT_EQ(r.Long(kSize), 5175);
}

}  // namespace
}  // namespace tessaly
