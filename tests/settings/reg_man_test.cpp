// The settings object: registration, loading with the per-machine reconciliation, writes.
#include "settings/reg_man.h"

#include <gtest/gtest.h>

#include <optional>

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
}

// Stored texts over the defaults: trimmed keys and values, only "1" is true, a number that does
// not fit or does not convert keeps the default, unknown and empty keys are ignored.
TEST_F(RegManTest, stored_values_replace_defaults_by_type) {
  struct Case {
    const char* key;
    const char* text;
    short index;
    Variant expected;
  };
  const Case cases[] = {
      {" tagactivecolor ", " -2147483624 ", kColor, Variant::i4(-2147483624)},
      {"TagActiveColor", "yellow", kColor, Variant::i4(0xFFFF)},
      {"DisplayTooltip", "true", kTip, Variant::boolean(false)},
      {"DisplayTooltip", "1", kTip, Variant::boolean(true)},
      {"CalSizeX", "70000", kSize, Variant::i2(5175)},
      {"CalSizeX", "-3", kSize, Variant::i2(-3)},
      {"CommandButtonCaption", "  Pick a date ", kCaption, Variant::text("Pick a date")},
      {"NoSuchOption", "1", 0, Variant()},
      {"", "1", 0, Variant()},
  };
  for (const Case& c : cases) {
    p.store.data.clear();
    p.store.put(c.key, c.text);
    cUtilRegMan& r = make();
    r.LoadAll();
    EXPECT_EQ(r.Value(c.index), c.expected) << c.key << "=" << c.text;
    EXPECT_EQ(r.BooleanTo10(c.index), c.expected == Variant::boolean(true) ? 1 : 0) << c.key;
  }
  p.store.fail_read = true;  // an unreadable store keeps the defaults
  cUtilRegMan& r = make();
  r.LoadAll();
  EXPECT_EQ(r.Long(kColor), 0xFFFF);
  EXPECT_TRUE(p.messages.shown().empty());
}

// The reconciliation of the per-machine options: the machine file's state and the user's values
// decide what is in effect, what the user's store holds afterwards and what the file holds.
TEST_F(RegManTest, machine_file_reconciliation) {
  const std::string shared = EncodeMachineRecord({{"UrlHome", "https://shared/"}, {"UrlProduct", "https://product/"}});
  const PropertyBag mine{{"UrlHome", "https://mine/"}, {"UrlProduct", "https://product/"}};
  struct Case {
    const char* name;
    std::optional<std::string> file;
    std::vector<std::pair<const char*, const char*>> user;
    const char* in_effect;
    const char* user_store;  // UrlHome in the user's store afterwards
    std::optional<PropertyBag> file_after;  // empty: the file is not written
  };
  const std::vector<Case> cases = {
      {"new user takes the file, writes nothing", EncodeMachineRecord({{"UrlHome", "https://shared/"}}), {},
       "https://shared/", "<absent>", std::nullopt},
      {"the file wins and is copied to the user", shared, {{"UrlHome", "https://mine/"}}, "https://shared/",
       "https://shared/", std::nullopt},
      {"a listed user value replaces the file", shared, {{"UrlHome", "https://mine/"}, {"UpdatePMOption", " urlproduct , URLHOME "}},
       "https://mine/", "https://mine/", mine},
      {"no file and defaults: no file", std::nullopt, {{"TagActiveColor", "1"}}, "https://home/", "<absent>", std::nullopt},
      {"no file and a changed value: written", std::nullopt, {{"UrlHome", "https://mine/"}}, "https://mine/", "https://mine/", mine},
      {"empty file counts as absent", std::string(), {{"UrlHome", "https://mine/"}}, "https://mine/", "https://mine/", mine},
      {"garbage counts as absent", "garbage" + shared, {{"UrlHome", "https://mine/"}}, "https://mine/", "https://mine/", mine},
      {"an old tail after the record", shared + "old tail", {}, "https://shared/", "<absent>", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.store.data.clear();
    p.files.files.clear();
    p.files.writes = 0;
    if (c.file) p.files.files[kFile] = *c.file;
    for (const auto& [key, value] : c.user) p.store.put(key, value);
    cUtilRegMan& r = make();
    r.LoadAll();
    EXPECT_EQ(r.Text(kHome), c.in_effect);
    EXPECT_EQ(p.store.at("UrlHome"), c.user_store);
    EXPECT_EQ(c.file_after ? machine_bag() : PropertyBag{}, c.file_after.value_or(PropertyBag{}));
    EXPECT_EQ(p.files.writes, c.file_after ? 1 : 0);
    EXPECT_EQ(p.store.at("UpdatePMOption"), c.user.size() == 2 ? "" : "<absent>") << "a pending list is cleared";
  }
}

// What each write reports, and what is in effect and stored afterwards: a value the per-user
// store refuses does not take effect (the next start would not see it), and leaves the machine
// file alone; a machine file the shared folder refuses is reported once, by its own message.
TEST_F(RegManTest, save_results) {
  using S = SaveResult::Status;
  struct Case {
    const char* name;
    bool store_fails, file_fails;
    short index;
    Variant value;
    S status;
    Variant in_effect;
    const char* stored;  // the option's text in the user's store afterwards
    bool reported;
  };
  const Variant home = Variant::text("https://home/"), mine = Variant::text("https://new/");
  const char* none = "<absent>";
  const Case cases[] = {
      {"stored", false, false, kHome, mine, S::Stored, mine, "https://new/", false},
      {"letter case only", false, false, kHome, Variant::text("HTTPS://HOME/"), S::Unchanged, home, none, false},
      {"letter case only, per user", false, false, kCaption, Variant::text("QUENBY"), S::Unchanged,
       Variant::text("Quenby"), none, false},
      {"wrong type", false, false, kHome, Variant::i4(1), S::Dropped, home, none, false},
      {"32-bit value into a 16-bit option", false, false, kSize, Variant::i4(100), S::Dropped, Variant::i2(5175), none,
       false},
      {"text into a boolean", false, false, kTip, Variant::text("0"), S::Dropped, Variant::boolean(true), none, false},
      {"out of range", false, false, 74, Variant::text("x"), S::Dropped, Variant(), none, false},
      {"a boolean per user", false, false, kTip, Variant::boolean(false), S::Stored, Variant::boolean(false), "0", false},
      {"a 16-bit number per user", false, false, kSize, Variant::i2(-3), S::Stored, Variant::i2(-3), "-3", false},
      {"a text per user", false, false, kCaption, Variant::text("Date"), S::Stored, Variant::text("Date"), "Date", false},
      {"user store refuses", true, false, kHome, mine, S::Failed, home, none, false},
      {"machine file refuses", false, true, kHome, mine, S::Failed, mine, "https://new/", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.store.data.clear();
    p.files.files.clear();
    p.messages.clear();
    cUtilRegMan& r = make();
    r.LoadAll();
    p.store.fail_write = c.store_fails;
    p.files.fail_write = c.file_fails;
    const SaveResult result = r.Save(c.index, c.value);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.ok(), c.status != S::Failed);
    EXPECT_EQ(result.reason, c.status == S::Failed ? "Access is denied." : "");
    EXPECT_EQ(result.reported, c.reported);
    EXPECT_EQ(r.Value(c.index), c.in_effect) << r.Value(c.index).to_text();
    EXPECT_EQ(p.store.at(r.Name(c.index)), c.stored);
    const PropertyBag written{{"UrlHome", "https://new/"}, {"UrlProduct", "https://product/"}};
    const bool file_written = c.index == kHome && c.status == S::Stored;  // only its own options write the file
    EXPECT_EQ(machine_bag(), file_written ? written : PropertyBag{});
    EXPECT_EQ(p.messages.shown().size(), c.reported ? 1u : 0u);
    // The older setter throws exactly when the refusal was not shown to the user already.
    p.store.data.clear();
    cUtilRegMan& again = make();
    again.LoadAll();
    if (c.status == S::Failed && !c.reported) EXPECT_THROW(again.Value(c.index, c.value), HostError);
    else EXPECT_NO_THROW(again.Value(c.index, c.value));
  }
  ASSERT_FALSE(p.messages.shown().empty());
  EXPECT_EQ(p.messages.shown()[0],
            (MessageRequest{"The following error occurred while saving system settings: \r\n\r\nError Number: 5\r\n"
                            "Description: Access is denied.\r\n\r\n"
                            "You may need an Administrator windows account to run this program.",
                            "Tessaly", MsgIcon::Critical, MsgButtons::OK}));
  EXPECT_EQ(SaveFailureMessage("Custom Date Formats", {S::Failed, "Disk full.", false}, "Tessaly"),
            (MessageRequest{"The setting 'Custom Date Formats' could not be saved.\r\n\r\nDisk full.", "Tessaly",
                            MsgIcon::Critical, MsgButtons::OK}));
}

// Another process saved its own per-machine option after this one loaded: a save here changes
// only its own option in the file as it is now. A file that cannot be read back is written whole.
TEST_F(RegManTest, machine_saves_keep_what_others_saved) {
  machine_file({{"UrlHome", "https://home/"}, {"UrlProduct", "https://product/"}});
  cUtilRegMan& r = make();
  r.LoadAll();
  machine_file({{"UrlHome", "https://home/"}, {"UrlProduct", "https://theirs/"}, {"Future", "kept"}});
  ASSERT_TRUE(r.Save(kHome, Variant::text("https://mine/")).ok());
  EXPECT_EQ(machine_bag(),
            (PropertyBag{{"UrlHome", "https://mine/"}, {"UrlProduct", "https://theirs/"}, {"Future", "kept"}}));
  const SaveResult huge = r.Save(kHome, Variant::text(std::string(kMaxMachineFileBytes, 'h')));
  EXPECT_EQ(huge.status, SaveResult::Status::Failed);
  EXPECT_TRUE(huge.reported);
  EXPECT_EQ(machine_bag(),
            (PropertyBag{{"UrlHome", "https://mine/"}, {"UrlProduct", "https://theirs/"}, {"Future", "kept"}}))
      << "a record that could not be read back is not written";
  p.files.files[kFile] = "damaged";
  ASSERT_TRUE(r.Save(kHome, Variant::text("https://again/")).ok());
  EXPECT_EQ(machine_bag(), (PropertyBag{{"UrlHome", "https://again/"}, {"UrlProduct", "https://product/"}}));
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

}  // namespace
}  // namespace tessaly
