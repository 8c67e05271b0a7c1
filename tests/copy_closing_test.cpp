#include <gtest/gtest.h>

#include "platform/copy_closing.h"

namespace nuv::test {
namespace {

TEST(CopyClosing, AsksWhereAWindowReachesAndEndsElsewhere) {
  constexpr uint32_t kOwn = 1;
  constexpr int64_t kLate = kCopyCloseGraceMs;
  struct Case {
    RunningCopy copy;
    std::optional<uint32_t> ownSession;
    int64_t elapsedMs;
    CopyStep step;
  };
  const Case cases[] = {
      {{kOwn, true, false}, kOwn, 0, CopyStep::kAsk},
      {{kOwn, true, true}, kOwn, 0, CopyStep::kWait},
      {{kOwn, false, false}, kOwn, kLate - 1, CopyStep::kWait},  // still starting
      {{kOwn, true, true}, kOwn, kLate, CopyStep::kEnd},         // asked, did not end
      {{kOwn, false, false}, kOwn, kLate, CopyStep::kEnd},
      // Another user's session, or a deployment as SYSTEM in session 0.
      {{2, false, false}, kOwn, 0, CopyStep::kEnd},
      {{1, false, false}, 0, 0, CopyStep::kEnd},
      {{std::nullopt, false, false}, kOwn, 0, CopyStep::kEnd},
      {{kOwn, true, false}, std::nullopt, 0, CopyStep::kEnd},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextCopyStep(c.copy, c.ownSession, c.elapsedMs), c.step)
        << "session " << c.copy.session.value_or(99) << " window " << c.copy.windowFound
        << " asked " << c.copy.asked << " after " << c.elapsedMs;
  }
}

}  // namespace
}  // namespace nuv::test
