// The warning before the only primary click is given away: a small skinned
// dialog with two choices (warning key 0 continues, key 1 cancels) and a
// message (key 2). These are its decisions and its face; WarningDlg
// (winapp/) carries them out.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/accessible_face.h"
#include "platform/canvas_port.h"
#include "ui/skin_tables.h"

namespace nuv {

// Hover values and results of the dialog.
constexpr int kWarningContinue = 1;
constexpr int kWarningCancel = 2;
constexpr int kWarningNoHover = 255;

// 1 over warning key 0, 2 over key 1, 255 elsewhere.
int WarningHoverAt(const WarningSkinTable& table, int32_t x, int32_t y);
// A release over a choice ends the dialog with it; elsewhere it stays open.
std::optional<int> WarningResultOfRelease(int hover);

// The keyboard: the arrow keys and Tab move between the two choices (from
// none, forward to Continue and back to Cancel); Return and Space end the
// dialog with the choice under the keyboard; Escape cancels.
int WarningHoverAfterKey(int hover, bool forward);

// The dialog as assistive technology sees it: the message, then the two
// choices as push buttons.
AccessibleItem DescribeWarningItem(const WarningSkinTable& table, size_t index, int hover,
                                   int32_t language);
constexpr size_t kWarningItems = 3;

// The face: the normal picture, the hovered choice from the over picture,
// the three captions centred in their rectangles in red.
void PaintWarning(CanvasPort& canvas, const WarningSkinTable& table, int hover, int32_t language);

}  // namespace nuv
