// A member some hosts lack answers its stand-in value only when the host has no such member; any
// other failure leaves the answer unknown.
#include <gtest/gtest.h>

#include "host/error_policy.h"

namespace tessaly {
namespace {

TEST(error_policy, a_missing_member_answers_absent_and_a_failed_one_nothing) {
  struct Case {
    const char* name;
    std::int32_t number;
    std::optional<bool> answer;
  };
  const Case cases[] = {
      {"the object model's 438", HostError::kNotSupported, false},
      {"438 as Excel's HRESULT", HostError::kVbaNotSupported, false},
      {"DISP_E_UNKNOWNNAME", HostError::kUnknownName, false},
      {"DISP_E_MEMBERNOTFOUND", HostError::kMemberNotFound, false},
      {"DISP_E_EXCEPTION", -2147352567, std::nullopt},
      {"VBA_E_IGNORE, a cell being edited", HostError::kVbaIgnore, std::nullopt},
      {"RPC_E_CALL_REJECTED", HostError::kCallRejected, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AttemptMember([&]() -> bool { throw HostError(c.number, c.name); }, false), c.answer) << c.name;
  }
  EXPECT_EQ(AttemptMember([]() -> bool { throw std::runtime_error("not the host's"); }, false), std::nullopt);
  EXPECT_EQ(AttemptMember([] { return true; }, false), std::optional<bool>(true));
}

}  // namespace
}  // namespace tessaly
