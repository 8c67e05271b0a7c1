// The window thread edits the working profile while a worker reads it and
// steps the DPI level; run under ThreadSanitizer by the test script.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "settings/mouse_profile.h"

namespace nuv {
namespace {

TEST(ProfileConcurrency, EditsAndWorkerStepsNeverLeaveTheRanges) {
  MouseProfile p;
  ResetToFactory(p);
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::thread worker([&] {
    while (!stop.load()) {
      const int32_t level = p.dpiLevel;
      if (level < 0 || level > 3) ++bad;
      const int32_t role = DpiStepRole(p.buttons[6]);
      p.dpiLevel = (level + (role != 0 ? 1 : 0)) % kDpiLevelCount;
      p.ledOverride = p.ledOverride == 3 ? p.appliedLedMode.load() : uint8_t{3};
    }
  });
  for (int round = 0; round < 20000; ++round) {
    ToggleDpiLevelEnabled(p, round % 4);
    SetButtonFunction(p, 1 + round % 7, round % 2 ? 17 : 1);
    p.appliedLedMode = static_cast<uint8_t>(round % 4);
  }
  stop = true;
  worker.join();
  EXPECT_EQ(bad.load(), 0);
  int with_primary = 0;
  for (auto& b : p.buttons) with_primary += b == kFnPrimaryClick;
  EXPECT_GE(with_primary, 1);
}

}  // namespace
}  // namespace nuv
