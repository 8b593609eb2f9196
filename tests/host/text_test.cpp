// Text helpers and the variant's text conversion.
#include <gtest/gtest.h>

#include "host/text.h"
#include "host/variant.h"

namespace tessaly {
namespace {

TEST(text_test, split_keeps_empty_pieces_and_whole_text_without_delimiter) {
  struct Case { const char* text; const char* delim; std::vector<std::string> pieces; };
  const Case cases[] = {
      {"yyyy`1`mmm", "`1`", {"yyyy", "mmm"}},
      {"yyyy", "`1`", {"yyyy"}},
      {"", "`1`", {""}},
      {"`1``1`", "`1`", {"", "", ""}},
      {"a,b", "", {"a,b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c.text, c.delim), c.pieces) << c.text;
}

TEST(text_test, trim_removes_spaces_only) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("\ta\t"), "\ta\t");
  EXPECT_EQ(trim("   "), "");
}

TEST(text_test, case_blind_comparison) {
  EXPECT_TRUE(iequals("DDDD", "dddd"));
  EXPECT_FALSE(iequals("ddd", "dddd"));
  EXPECT_TRUE(icontains("UPDATED", "date"));
  EXPECT_TRUE(icontains("Due date", "DATE"));
  EXPECT_FALSE(icontains("Dat", "date"));
}

TEST(variant_test, text_conversion_follows_the_host) {
  EXPECT_EQ(Variant::boolean(true).to_text(), "True");
  EXPECT_EQ(Variant::i4(-2147483624).to_text(), "-2147483624");
  EXPECT_EQ(Variant::number(3.5).to_text(), "3.5");
  EXPECT_EQ(Variant::number(0.1 + 0.2).to_text(), "0.3");
  EXPECT_EQ(Variant().to_text(), "");
  EXPECT_NE(Variant::i2(5), Variant::i4(5));
}

}  // namespace
}  // namespace tessaly
