// Around the calendar pop-up by keyboard: tab order and access keys.
#include "calendar/form_keys.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tessaly::calendar {
namespace {

TEST(form_keys, tab_goes_round_the_controls_both_ways) {
  using F = FormControl;
  const F order[] = {F::Calendar, F::Months, F::Years, F::Today, F::Settings, F::Close};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(NextTabStop(order[i], false), order[(i + 1) % 6]) << i;
    EXPECT_EQ(NextTabStop(order[(i + 1) % 6], true), order[i]) << i;
  }
  EXPECT_EQ(NextTabStop(static_cast<F>(42), false), F::Calendar);
}

TEST(form_keys, access_keys_follow_the_captions) {
  const std::pair<char, std::optional<FormControl>> cases[] = {
      {'g', FormControl::Today}, {'G', FormControl::Today}, {'s', FormControl::Settings},
      {'C', FormControl::Close}, {'t', std::nullopt},       {'&', std::nullopt},
      {'\0', std::nullopt},
  };
  for (const auto& [letter, control] : cases) EXPECT_EQ(AccessKeyControl(letter), control) << int(letter);
  EXPECT_EQ(FormCaption(FormControl::Close), "&Cancel");
  EXPECT_TRUE(FormCaption(FormControl::Months).empty());
  // The boxes without a caption are named for readers by what they hold.
  EXPECT_EQ(std::tuple(AccessibleName(FormControl::Months), AccessibleName(FormControl::Years), AccessibleName(FormControl::Today)),
            std::tuple("Month", "Year", ""));
}

}  // namespace
}  // namespace tessaly::calendar
