#include <gtest/gtest.h>

#include "platform/copy_closing.h"

namespace nuv::test {
namespace {

TEST(CopyClosing, AsksWhereAWindowReachesAndEndsElsewhere) {
  constexpr int64_t kLate = kCopyCloseGraceMs;
  const struct {
    RunningCopy copy;
    std::optional<uint32_t> ownSession;
    int64_t elapsedMs;
    CopyStep step;
  } cases[] = {
      {{1, true, false}, 1, 0, CopyStep::kAsk},
      {{1, true, true}, 1, kLate - 1, CopyStep::kWait},
      {{1, false, false}, 1, kLate - 1, CopyStep::kWait},  // still starting
      {{1, true, true}, 1, kLate, CopyStep::kEnd},         // asked, but stays
      // Another user's session, a deployment as SYSTEM in session 0, unknown.
      {{2, true, false}, 1, 0, CopyStep::kEnd},
      {{1, false, false}, 0, 0, CopyStep::kEnd},
      {{std::nullopt, true, false}, 1, 0, CopyStep::kEnd},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextCopyStep(c.copy, c.ownSession, c.elapsedMs), c.step)
        << c.copy.session.value_or(99) << " " << c.copy.windowFound << c.copy.asked;
  }
}

}  // namespace
}  // namespace nuv::test
