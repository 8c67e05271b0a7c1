// The blink thread and the colour animation thread: their steps, their ends
// and their running flags, on real threads so that ThreadSanitizer sees the
// sharing with the window thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "paint_test_support.h"
#include "platform/host/fake_clock.h"
#include "ui/page_animation.h"

namespace nuv {
namespace {

using std::chrono::milliseconds;

struct Animation {
  UiState ui;
  FakeClock clock;
  // Length of the sleep under way (inside duringSleep).
  milliseconds LastSleep() const {
    return std::chrono::duration_cast<milliseconds>(clock.Sleeps().back());
  }
  std::atomic<int> repaints{0};
  AnimationContext Context() {
    return {ui, clock, [this] { repaints.fetch_add(1, std::memory_order_relaxed); }};
  }
};

TEST(PaintAnimationConcurrency, BlinkRunsWhileDisarmedAndStopsWhenArmed) {
  Animation a;
  AttentionState attention;
  attention.armed = 0;
  attention.blinkPhase = kBlinkOver;
  std::vector<uint8_t> phases;
  a.clock.duringSleep = [&] {
    EXPECT_EQ(a.LastSleep(), kBlinkStep);
    phases.push_back(attention.blinkPhase);
    if (phases.size() == 9) attention.armed = 1;  // the mouse reported it is ready
  };
  ASSERT_TRUE(ClaimThreadStart(a.ui.blinkRunning));
  EXPECT_FALSE(ClaimThreadStart(a.ui.blinkRunning));
  std::thread worker([&] { RunBlinkThread(a.Context(), attention); });
  worker.join();
  // A round of six steps is finished before the flag is looked at again.
  ASSERT_EQ(phases.size(), 12u);
  for (size_t i = 0; i < phases.size(); ++i) {
    EXPECT_EQ(phases[i], i % 2 == 0 ? kBlinkDown : kBlinkOver) << i;
  }
  EXPECT_EQ(a.repaints, 12);
  EXPECT_EQ(attention.blinkPhase, kBlinkOver);
  EXPECT_EQ(a.ui.blinkRunning, 0);
  EXPECT_TRUE(ClaimThreadStart(a.ui.blinkRunning));
}

TEST(PaintAnimationConcurrency, BlinkEndsAtOnceWhenArmedOrOffTheMainPage) {
  for (const auto& [armed, page] : {std::pair{1, kMainPage}, std::pair{0, kColourPage}}) {
    Animation a;
    AttentionState attention;
    attention.armed = static_cast<uint8_t>(armed);
    attention.blinkPhase = kBlinkDown;
    a.ui.page = page;
    a.ui.blinkRunning = 1;
    std::thread worker([&] { RunBlinkThread(a.Context(), attention); });
    worker.join();
    EXPECT_TRUE(a.clock.Sleeps().empty());
    EXPECT_EQ(attention.blinkPhase, kBlinkOver);
    EXPECT_EQ(a.ui.blinkRunning, 0);
  }
}

TEST(PaintAnimationConcurrency, LeavingTheColourPageEndsTheAnimationWithinOneWait) {
  Animation a;
  MouseProfile profile;
  a.ui.page = kColourPage;
  a.ui.colourAnimationRunning = 1;
  std::atomic<int> sleeps{0};
  std::atomic<int> sleepsAfterLeaving{0};
  // A sleep that finds the page already left began after the worker's last
  // look at it (the one allowed) or after a later look (a fault).
  a.clock.duringSleep = [&] {
    ++sleeps;
    if (a.ui.page != kColourPage) ++sleepsAfterLeaving;
  };
  std::thread worker([&] { RunColourAnimation(a.Context(), profile); });
  while (sleeps < 5) std::this_thread::yield();
  a.ui.page = kMainPage;  // the window thread leaves the page
  worker.join();
  EXPECT_LE(sleepsAfterLeaving, 1);
  EXPECT_EQ(a.ui.colourAnimationRunning, 0);
}

TEST(PaintAnimationConcurrency, ColourAnimationEndsAtOnceOffTheColourPage) {
  Animation a;
  MouseProfile profile;
  profile.dpiLevel = 2;
  a.ui.colourAnimationRunning = 1;
  RunColourAnimation(a.Context(), profile);
  EXPECT_TRUE(a.clock.Sleeps().empty());
  EXPECT_EQ(a.ui.previewColour, 2);
  EXPECT_EQ(a.ui.colourAnimationRunning, 0);
}

struct PreviewStep {
  uint8_t off, colour;
  milliseconds wait;
  bool operator==(const PreviewStep&) const = default;
};

// Runs the animation for `steps` waits, the colour page shown all along;
// `change` may edit the profile before wait i.
std::vector<PreviewStep> PreviewSteps(MouseProfile& profile, size_t steps,
                                      const std::function<void(size_t)>& change = {}) {
  Animation a;
  a.ui.page = kColourPage;
  std::vector<PreviewStep> seen;
  a.clock.duringSleep = [&] {
    seen.push_back({a.ui.previewOff, a.ui.previewColour, a.LastSleep()});
    if (change) change(seen.size());
    if (seen.size() == steps) a.ui.page = kMainPage;
  };
  RunColourAnimation(a.Context(), profile);
  return seen;
}

TEST(PaintAnimationConcurrency, PreviewCyclesColoursFromTheCurrentLevel) {
  MouseProfile profile;
  profile.dpiLevel = 2;
  profile.appliedLedMode = 0;
  const milliseconds slow = kPreviewSlowStep;
  EXPECT_EQ(PreviewSteps(profile, 5),
            (std::vector<PreviewStep>{
                {1, 3, slow}, {0, 3, slow}, {1, 0, slow}, {0, 0, slow}, {1, 1, slow}}));
  profile.appliedLedMode = 1;
  EXPECT_EQ(PreviewSteps(profile, 2)[0].wait, kPreviewFastStep);
}

TEST(PaintAnimationConcurrency, PreviewHoldsANewLevelThenGoesOn) {
  MouseProfile profile;
  profile.dpiLevel = 0;
  const auto steps = PreviewSteps(profile, 4, [&](size_t n) {
    if (n == 1) profile.dpiLevel = 3;
  });
  const milliseconds slow = kPreviewSlowStep;
  EXPECT_EQ(steps, (std::vector<PreviewStep>{
                       {1, 1, slow}, {0, 3, kPreviewLevelChangeHold}, {0, 3, slow}, {1, 0, slow}}));
}

TEST(PaintAnimationConcurrency, AppliedLedModesTwoAndThreeHoldTheTile) {
  MouseProfile profile;
  profile.dpiLevel = 1;
  for (uint8_t led : {2, 3}) {
    profile.appliedLedMode = led;
    for (const PreviewStep& s : PreviewSteps(profile, 6)) {
      EXPECT_EQ(s.off, led == 3 ? 1 : 0);  // LED off: the tile stays grey
      EXPECT_EQ(s.colour, 1);
      EXPECT_EQ(s.wait, kPreviewSlowStep);
    }
  }
}

TEST(PaintAnimationConcurrency, GreyTileIsPaintedWhileTheAnimationRuns) {
  auto skin = test::DistinctKeySkin();
  MouseProfile profile;
  profile.appliedLedMode = 3;
  MacroStore macros;
  AttentionState attention;
  Animation a;
  a.ui.page = kColourPage;
  a.ui.colourAnimationRunning = 1;
  std::atomic<int> steps{0};
  a.clock.duringSleep = [&] { ++steps; };
  std::thread worker([&] { RunColourAnimation(a.Context(), profile); });
  while (steps == 0) std::this_thread::yield();  // the first step has been taken
  HostCanvas canvas;
  for (int paint = 0; paint < 50; ++paint) {
    PaintPage({.ui = a.ui,
               .skin = *skin,
               .profile = profile,
               .macros = macros,
               .counters = {},
               .attention = attention},
              canvas);
    EXPECT_EQ(test::KeysFrom(canvas, skin->colour, SkinPicture::kColourTileGrey),
              std::vector<uint32_t>{11});
  }
  a.ui.page = kMainPage;
  worker.join();
}

}  // namespace
}  // namespace nuv
