// The two small animations of the main window, each a worker thread that
// sleeps between steps and asks the window for a repaint: the attention mark
// on the main page blinks until the mouse reports it is ready, and the LED
// preview tile on the colour page follows the applied LED mode.
#pragma once

#include <chrono>
#include <functional>

#include "platform/atomic_field.h"
#include "platform/clock_port.h"
#include "settings/mouse_profile.h"
#include "settings/settings_protocol.h"
#include "ui/page_paint.h"

namespace nuv {

constexpr std::chrono::milliseconds kBlinkStep{500};
constexpr int kBlinkStepsPerRound = 6;
constexpr std::chrono::milliseconds kPreviewLevelChangeHold{2000};
constexpr std::chrono::milliseconds kPreviewFastStep{800};
constexpr std::chrono::milliseconds kPreviewSlowStep{1200};

struct AnimationContext {
  UiState& ui;
  ClockPort& clock;
  // Invalidates the whole window (with erase); safe from any thread.
  std::function<void()> repaint;
};

// Sets `running` and returns true when it was clear: the caller then starts
// the thread. A second start while one runs is refused.
inline bool ClaimThreadStart(AtomicField<uint8_t>& running) { return running.exchange(1) == 0; }

// Blink thread: while the main page is shown and the attention flag is
// disarmed, six times invert the blink phase, repaint and wait 500 ms. On the
// way out the phase becomes "over" and the running flag is cleared.
void RunBlinkThread(const AnimationContext& context, AttentionState& attention);

// Colour animation thread: animates the preview tile from the applied LED
// mode until the colour page is left; clears its running flag on the way out.
void RunColourAnimation(const AnimationContext& context, const MouseProfile& profile);
// One run of the preview animation, without the running flag.
void AnimateColourPreview(const AnimationContext& context, const MouseProfile& profile);

}  // namespace nuv
