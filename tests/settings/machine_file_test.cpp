// The machine options file's record: any names and values survive, damage is detected.
#include "settings/machine_file.h"

#include <gtest/gtest.h>

#include "host/crc32.h"

namespace tessaly {
namespace {

PropertyBag sample() {
  std::string binary;
  for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
  return {{"UrlHome", "https://example.org/"}, {"", ""}, {binary, binary}, {std::string(70000, 'n'), std::string("\r\n=\0x", 5)}};
}

TEST(machine_file, round_trip_any_bytes_and_lengths) {
  PropertyBag bag = sample();
  auto back = DecodeMachineRecord(EncodeMachineRecord(bag));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, bag);
  EXPECT_EQ(DecodeMachineRecord(EncodeMachineRecord({})), PropertyBag{});
}

TEST(machine_file, damaged_records_are_refused) {
  const std::string good = EncodeMachineRecord(sample());
  EXPECT_FALSE(DecodeMachineRecord(""));
  EXPECT_FALSE(DecodeMachineRecord("TSLY"));
  for (std::size_t cut : {std::size_t{8}, std::size_t{20}, good.size() / 2, good.size() - 1})
    EXPECT_FALSE(DecodeMachineRecord(good.substr(0, cut))) << "truncated at " << cut;
  for (std::size_t at : {std::size_t{0}, std::size_t{9}, std::size_t{13}, std::size_t{17}, good.size() - 1}) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x5A);
    EXPECT_FALSE(DecodeMachineRecord(bad)) << "byte " << at << " changed";
  }
  // A sound header and checksum over a payload too short to hold its pair count is no option list;
  // four zero bytes are the empty one.
  const auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  for (std::uint32_t n = 0; n <= 4; ++n) {
    const std::string payload(n, '\0');
    EXPECT_EQ(DecodeMachineRecord("TSLYMOPT" + u32(1) + u32(n) + u32(Crc32(payload)) + payload),
              n == 4 ? std::optional(PropertyBag{}) : std::nullopt) << n << " bytes";
  }
}

TEST(machine_file, property_lookup_ignores_case) {
  PropertyBag bag{{"UrlHome", "a"}, {"urlhome", "b"}};
  ASSERT_NE(FindProperty(bag, "URLHOME"), nullptr);
  EXPECT_EQ(*FindProperty(bag, "URLHOME"), "a");
  EXPECT_EQ(FindProperty(bag, "UrlProduct"), nullptr);
}

}  // namespace
}  // namespace tessaly
