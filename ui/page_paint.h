// What the main window shows: one of the three pages composed from its skin
// pictures, the state of every skin rectangle, the working profile as pictures
// and texts. The paint is a plan issued against the canvas port; the window
// runs it on every WM_PAINT and tests run it against the host canvas.
#pragma once

#include <cstdint>

#include "macro/macro_store.h"
#include "platform/atomic_field.h"
#include "platform/canvas_port.h"
#include "settings/mouse_profile.h"
#include "settings/settings_protocol.h"
#include "ui/skin_tables.h"

namespace nuv {

enum SkinPage : uint8_t { kMainPage = 0, kAdvancedPage = 1, kColourPage = 2 };

// The table a focusable key belongs to; kControl numbers the macro editor's
// child controls (control_key).
enum class KeyTable : uint8_t { kMain, kColour, kAdvanced, kControl };

namespace control_key {
constexpr uint32_t kRepeatCount = 0;
constexpr uint32_t kMacroName = 1;
constexpr uint32_t kMacroList = 2;
constexpr uint32_t kEventList = 3;
}  // namespace control_key

// Blink phases of the attention mark (AttentionState::blinkPhase).
constexpr uint8_t kBlinkDown = 0;
constexpr uint8_t kBlinkOver = 1;

// The window's own drawing state. The window thread writes the page, the hover
// indices and the held flag; the animation threads read the page and write
// the preview, so every field is atomic.
struct UiState {
  AtomicField<uint8_t> page{kMainPage};
  AtomicField<uint32_t> mainHover{kNoSkinHit};
  AtomicField<uint32_t> advancedHover{kNoSkinHit};
  AtomicField<uint32_t> colourHover{kNoSkinHit};
  AtomicField<uint8_t> held{0};
  // 1 while the blink thread or the colour animation thread runs.
  AtomicField<uint8_t> blinkRunning{0};
  AtomicField<uint8_t> colourAnimationRunning{0};
  // LED preview tile of the colour page, written by the colour animation.
  AtomicField<uint8_t> previewOff{0};
  AtomicField<uint8_t> previewColour{0};
  // The keyboard focus: its table (KeyTable) and key, 255 before the
  // keyboard first moved it on the page; its mark shows after the keyboard
  // moved it, until the next click. Written and read on the window thread.
  AtomicField<uint8_t> focusTable{0};
  AtomicField<uint32_t> focusKey{kNoSkinHit};
  AtomicField<uint8_t> focusShown{0};
};

// The focus mark: a frame this many skin units thick, in yellow, along the
// inside of a key (outside a macro editor control, whose face is its own).
constexpr int32_t kFocusFrameUnits = 2;
constexpr TextColour kFocusColour{255, 255, 0};

// The loaded skin layout of the main window; the paint rewrites a few
// advanced captions, which stay so until the next load.
struct PageSkin {
  MainSkinTable main;
  ColourSkinTable colour;
  AdvancedSkinTable advanced;
  FunctionNameTable functionNames;
  MacroControlRects macroControls;
};

// Loads the three page layouts in the order main, colour, advanced. False when
// a file was missing (its message and the close sequence have run).
bool LoadPageSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                  PageSkin& skin);

// Everything a paint reads.
struct PaintInputs {
  const UiState& ui;
  PageSkin& skin;
  int32_t language = 1;      // non-zero English
  int32_t configNumber = 1;  // current configuration slot
  const MouseProfile& profile;
  const MacroStore& macros;
  bool recording = false;  // a macro recording runs
  EventCounters counters;  // press and release lines of the event list
  const AttentionState& attention;
};

// Composes the current page into the canvas: background, page states, the
// shared strip, texts.
void PaintPage(const PaintInputs& in, CanvasPort& canvas);

// The label of a button's function code: the function's name, or for codes
// 41 to 52 the name of macro slot code - 41.
Text FunctionLabel(int32_t code, const FunctionNameTable& names, const MacroStore& macros);
// The colour page's DPI readout for an applied DPI value index.
const char16_t* DpiReadout(int valueIndex);

}  // namespace nuv
