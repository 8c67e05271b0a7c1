#include "ui/page_animation.h"

#include <algorithm>

namespace nuv {

namespace {

void Repaint(const AnimationContext& context) {
  if (context.repaint) context.repaint();
}

bool ColourPageShown(const UiState& ui) { return ui.page == kColourPage; }

uint8_t CurrentLevel(const MouseProfile& profile) {
  return static_cast<uint8_t>(std::clamp<int32_t>(profile.dpiLevel, 0, kDpiLevelCount - 1));
}

}  // namespace

void RunBlinkThread(const AnimationContext& context, AttentionState& attention) {
  UiState& ui = context.ui;
  const auto wanted = [&] { return ui.page == kMainPage && !attention.armed; };
  do {
    while (wanted()) {
      for (int step = 0; step < kBlinkStepsPerRound; ++step) {
        attention.blinkPhase = attention.blinkPhase == kBlinkOver ? kBlinkDown : kBlinkOver;
        Repaint(context);
        context.clock.SleepFor(kBlinkStep);
      }
    }
    attention.blinkPhase = kBlinkOver;
    ui.blinkRunning.store(0, std::memory_order_release);
    // A start refused just before the flag was cleared would leave the mark
    // still; take the work over again instead.
  } while (wanted() && ClaimThreadStart(ui.blinkRunning));
}

void RunColourAnimation(const AnimationContext& context, const MouseProfile& profile) {
  UiState& ui = context.ui;
  do {
    AnimateColourPreview(context, profile);
    ui.colourAnimationRunning.store(0, std::memory_order_release);
    // The page may have been entered again while this thread was ending, its
    // start refused: then this thread goes on for it.
  } while (ColourPageShown(ui) && ClaimThreadStart(ui.colourAnimationRunning));
}

void AnimateColourPreview(const AnimationContext& context, const MouseProfile& profile) {
  UiState& ui = context.ui;
  uint8_t last = CurrentLevel(profile);
  ui.previewColour = last;
  if (ColourPageShown(ui)) {
    do {
      const uint8_t led = profile.appliedLedMode;
      const uint8_t level = CurrentLevel(profile);
      if (led == 3) {
        ui.previewOff = 1;
        ui.previewColour = level;
      } else if (led == 2) {
        ui.previewOff = 0;
        ui.previewColour = level;
      } else if (level != last) {
        // A new DPI level shows its colour steadily for a while first.
        ui.previewColour = level;
        last = level;
        ui.previewOff = 0;
        Repaint(context);
        context.clock.SleepFor(kPreviewLevelChangeHold);
      } else if (ui.previewOff) {
        ui.previewOff = 0;
      } else {
        ui.previewOff = 1;
        ui.previewColour = static_cast<uint8_t>((ui.previewColour + 1) % kDpiLevelCount);
      }
      Repaint(context);
      context.clock.SleepFor(led == 1 ? kPreviewFastStep : kPreviewSlowStep);
    } while (ColourPageShown(ui));
  }
}

}  // namespace nuv
