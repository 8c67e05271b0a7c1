// The skin tables: numbered rectangles with captions for the three pages and the
// warning dialog, the names of the button functions, and the four macro-editor
// control rectangles; the loaders that fill them from the skin INI files of the
// interface language; and the hit test over a table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/display_scale.h"
#include "ui/skin_entry.h"

namespace nuv {

// A rectangle as the skin file gives it. Hit tests and drawing use the
// half-open box from (x, y) to (x + width, y + height).
struct SkinRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool Contains(int32_t px, int32_t py) const {
    // 64-bit sums: a hand-edited file may hold values near the int32 limits.
    return px >= x && py >= y && int64_t{px} < int64_t{x} + width &&
           int64_t{py} < int64_t{y} + height;
  }
  bool operator==(const SkinRect&) const = default;
};

// The same rectangle as left, top, right, bottom: the form in which child
// controls are created. Right and bottom saturate at the int32 range.
struct SkinBox {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const SkinBox&) const = default;
};
SkinBox ToBox(const SkinRect& rect);
// A box of skin units in the pixels of a window at `scale`: its edges scaled,
// so that boxes that touch in skin units touch in pixels too.
SkinBox ScaledBox(const SkinBox& box, const DisplayScale& scale);

template <size_t N>
struct SkinTable {
  static constexpr size_t kSize = N;
  std::array<SkinRect, N> rects{};
  std::array<Text, N> captions{};
};

constexpr size_t kMainSkinKeys = 100;
constexpr size_t kColourSkinKeys = 13;
constexpr size_t kAdvancedSkinKeys = 46;
constexpr size_t kWarningSkinKeys = 3;
constexpr size_t kFunctionNameCount = 54;
// Main keys 0 to 19 form the strip that every page shows.
constexpr size_t kSharedStripKeys = 20;

using MainSkinTable = SkinTable<kMainSkinKeys>;
using ColourSkinTable = SkinTable<kColourSkinKeys>;
using AdvancedSkinTable = SkinTable<kAdvancedSkinKeys>;
using WarningSkinTable = SkinTable<kWarningSkinKeys>;

// Display name of button-function code n at position n - 1.
using FunctionNameTable = std::array<Text, kFunctionNameCount>;
// The name of `code`, or the empty text for a code without an entry.
const Text& FunctionName(const FunctionNameTable& names, int32_t code);

// The macro editor's child controls on the advanced page.
struct MacroControlRects {
  SkinRect repeatCountEdit;  // EDIT "3", control 10004
  SkinRect macroNameEdit;    // EDIT "4", control 10000
  SkinRect macroNameList;    // MACRODISPLAY "1", control 10001
  SkinRect macroEventList;   // MACRODISPLAY "2", control 10002
  SkinBox repeatCountEditBox;
  SkinBox macroNameEditBox;
  SkinBox macroNameListBox;
  SkinBox macroEventListBox;
};
// The controls' rectangles and boxes in the pixels of a window at `scale`.
MacroControlRects ScaledControls(const MacroControlRects& controls, const DisplayScale& scale);

// Hit-test extents of the pages (last index included).
constexpr size_t kMainHitLastOnMainPage = 90;
constexpr size_t kMainHitLastOnOtherPages = 19;
constexpr size_t kAdvancedHitLast = 33;
constexpr size_t kColourHitLast = 4;
constexpr uint32_t kNoSkinHit = 255;

// The lowest index from 0 to `last` (inclusive, cut to the table's size) whose
// box contains the point, or 255 when none does.
uint32_t HitTest(int32_t x, int32_t y, std::span<const SkinRect> table, size_t last);

// The skin folder: the application folder followed by "\skins".
Text SkinFolderFor(TextView applicationFolder);

enum class SkinFile { kMain, kAdvanced, kColour, kWarning };
// The file's name relative to the skin folder for the language flag (non-zero
// English, zero the second language), e.g. "\INI_EN\skin_main_en.ini".
Text SkinIniName(SkinFile file, int32_t language);
Text SkinIniPath(const Text& skinFolder, SkinFile file, int32_t language);

// The loaders overwrite their tables completely, keys in ascending order, and
// store what they read without validation. Each returns false when its file is
// missing (the message and the close sequence have run; the caller stops
// loading); the tables are then left cleared.
bool LoadMainSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                  MainSkinTable& table, FunctionNameTable& functionNames);
bool LoadAdvancedSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                      AdvancedSkinTable& table, MacroControlRects& controls);
bool LoadColourSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                    ColourSkinTable& table);
bool LoadWarningSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                     WarningSkinTable& table);

// Rectangle fields (1 to 4) of an entry.
SkinRect SkinRectOf(const SkinEntry& entry);

}  // namespace nuv
