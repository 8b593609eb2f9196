// Integer and boolean texts in the per-user store read as the host's CInt/CLng read them.
#include "settings/stored_text.h"

#include <gtest/gtest.h>

#include "settings/reg_man.h"

namespace tessaly {
namespace {

struct IntCase {
  const char* text;
  std::optional<std::int32_t> i2;  // as a 16-bit option
  std::optional<std::int32_t> i4;  // as a 32-bit option
};

TEST(stored_text, integer_texts) {
  const IntCase cases[] = {
      {"0", 0, 0},
      {"  42  ", 42, 42},
      {"-2147483624", std::nullopt, -2147483624},
      {"+7", 7, 7},
      {"32767", 32767, 32767},
      {"32768", std::nullopt, 32768},
      {"-32768", -32768, -32768},
      {"-32769", std::nullopt, -32769},
      {"2147483647", std::nullopt, 2147483647},
      {"2147483648", std::nullopt, std::nullopt},
      {"2.5", 2, 2},     // half to even, as CInt
      {"3.5", 4, 4},
      {"-1.5", -2, -2},
      {"1.2", 1, 1},
      {"&H80FF", -32513, 33023},
      {"&hFFFF", -1, 65535},
      {"&H10000", std::nullopt, 65536},
      {"&HFFFFFFFF", std::nullopt, -1},
      {"&O17", 15, 15},
      {"&H", std::nullopt, std::nullopt},
      {"&HXY", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"   ", std::nullopt, std::nullopt},
      {"12abc", std::nullopt, std::nullopt},
      {"1,000", std::nullopt, std::nullopt},
      {"1e3", std::nullopt, std::nullopt},
      {"--1", std::nullopt, std::nullopt},
      {".", std::nullopt, std::nullopt},
      {"99999999999999999999", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto a = ParseInteger16(c.text);
    auto b = ParseInteger32(c.text);
    EXPECT_EQ(a ? std::optional<std::int32_t>(*a) : std::nullopt, c.i2);
    EXPECT_EQ(b, c.i4);
  }
}

TEST(stored_text, booleans_are_true_only_for_1) {
  for (const char* t : {"true", "True", "-1", "yes", "", "01", "0"})
    EXPECT_EQ(FromStoreText(kTypeBoolean, t), Variant::boolean(false)) << t;
  EXPECT_EQ(FromStoreText(kTypeBoolean, "1"), Variant::boolean(true));
  EXPECT_EQ(StoreText(Variant::boolean(true)), "1");
  EXPECT_EQ(StoreText(Variant::boolean(false)), "0");
  EXPECT_EQ(StoreText(Variant::i4(static_cast<std::int32_t>(0x80000018u))), "-2147483624");
}

}  // namespace
}  // namespace tessaly
