#include "ui/skin_tables.h"

#include <algorithm>
#include <limits>

namespace nuv {

namespace {

int32_t SaturatedSum(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

template <size_t N>
bool LoadButtonPositions(const SkinSources& sources, const Text& path, SkinTable<N>& table) {
  table = SkinTable<N>{};
  SkinEntry entry;
  for (size_t key = 0; key < N; ++key) {
    if (!ReadSkinEntry(sources, path, u"BUTTONPOS", static_cast<int>(key), entry)) return false;
    table.rects[key] = SkinRectOf(entry);
    table.captions[key] = entry[5];
  }
  return true;
}

bool ReadControlRect(const SkinSources& sources, const Text& path, const Text& section, int key,
                     SkinRect& rect, SkinBox& box) {
  SkinEntry entry;
  if (!ReadSkinEntry(sources, path, section, key, entry)) return false;
  rect = SkinRectOf(entry);
  box = ToBox(rect);
  return true;
}

}  // namespace

SkinBox ToBox(const SkinRect& rect) {
  return SkinBox{rect.x, rect.y, SaturatedSum(rect.x, rect.width),
                 SaturatedSum(rect.y, rect.height)};
}

SkinBox ScaledBox(const SkinBox& box, const DisplayScale& scale) {
  return SkinBox{scale.ToPixels(box.left), scale.ToPixels(box.top), scale.ToPixels(box.right),
                 scale.ToPixels(box.bottom)};
}

MacroControlRects ScaledControls(const MacroControlRects& c, const DisplayScale& scale) {
  // Edges scaled and clamped to int32 can lie further apart than int32 holds
  // (skin values are unchecked): the extent is taken in 64 bits and clamped.
  const auto extent = [](int32_t from, int32_t to) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{to} - int64_t{from}, INT32_MIN, INT32_MAX));
  };
  const auto rect = [&](const SkinRect& r) {
    const SkinBox b = ScaledBox(ToBox(r), scale);
    return SkinRect{b.left, b.top, extent(b.left, b.right), extent(b.top, b.bottom)};
  };
  return MacroControlRects{rect(c.repeatCountEdit),
                           rect(c.macroNameEdit),
                           rect(c.macroNameList),
                           rect(c.macroEventList),
                           ScaledBox(c.repeatCountEditBox, scale),
                           ScaledBox(c.macroNameEditBox, scale),
                           ScaledBox(c.macroNameListBox, scale),
                           ScaledBox(c.macroEventListBox, scale)};
}

SkinRect SkinRectOf(const SkinEntry& entry) {
  return SkinRect{ParseInt(entry[1]), ParseInt(entry[2]), ParseInt(entry[3]), ParseInt(entry[4])};
}

const Text& FunctionName(const FunctionNameTable& names, int32_t code) {
  static const Text kNone;
  if (code < 1 || code > static_cast<int32_t>(names.size())) return kNone;
  return names[static_cast<size_t>(code - 1)];
}

uint32_t HitTest(int32_t x, int32_t y, std::span<const SkinRect> table, size_t last) {
  const size_t end = last < table.size() ? last + 1 : table.size();
  for (size_t i = 0; i < end; ++i) {
    if (table[i].Contains(x, y)) return static_cast<uint32_t>(i);
  }
  return kNoSkinHit;
}

Text SkinFolderFor(TextView applicationFolder) { return Text(applicationFolder) + u"\\skins"; }

Text SkinIniName(SkinFile file, int32_t language) {
  const bool english = language != 0;
  switch (file) {
    case SkinFile::kMain:
      return english ? u"\\INI_EN\\skin_main_en.ini" : u"\\INI_CN\\skin_main.ini";
    case SkinFile::kAdvanced:
      return english ? u"\\INI_EN\\skin_advance_en.ini" : u"\\INI_CN\\skin_advance.ini";
    case SkinFile::kColour:
      return english ? u"\\INI_EN\\skin_color_en.ini" : u"\\INI_CN\\skin_color.ini";
    case SkinFile::kWarning:
      return english ? u"\\INI_EN\\LBWarning_en.ini" : u"\\INI_CN\\LBWarning.ini";
  }
  return Text();
}

Text SkinIniPath(const Text& skinFolder, SkinFile file, int32_t language) {
  return skinFolder + SkinIniName(file, language);
}

bool LoadMainSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                  MainSkinTable& table, FunctionNameTable& functionNames) {
  const Text path = SkinIniPath(skinFolder, SkinFile::kMain, language);
  functionNames = FunctionNameTable{};
  if (!LoadButtonPositions(sources, path, table)) return false;
  SkinEntry entry;
  for (size_t code = 1; code <= kFunctionNameCount; ++code) {
    if (!ReadSkinEntry(sources, path, u"FUN_STRING", static_cast<int>(code), entry)) return false;
    functionNames[code - 1] = entry[0];
  }
  return true;
}

bool LoadAdvancedSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                      AdvancedSkinTable& table, MacroControlRects& controls) {
  const Text path = SkinIniPath(skinFolder, SkinFile::kAdvanced, language);
  controls = MacroControlRects{};
  return LoadButtonPositions(sources, path, table) &&
         ReadControlRect(sources, path, u"EDIT", 3, controls.repeatCountEdit,
                         controls.repeatCountEditBox) &&
         ReadControlRect(sources, path, u"EDIT", 4, controls.macroNameEdit,
                         controls.macroNameEditBox) &&
         ReadControlRect(sources, path, u"MACRODISPLAY", 1, controls.macroNameList,
                         controls.macroNameListBox) &&
         ReadControlRect(sources, path, u"MACRODISPLAY", 2, controls.macroEventList,
                         controls.macroEventListBox);
}

bool LoadColourSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                    ColourSkinTable& table) {
  return LoadButtonPositions(sources, SkinIniPath(skinFolder, SkinFile::kColour, language), table);
}

bool LoadWarningSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                     WarningSkinTable& table) {
  return LoadButtonPositions(sources, SkinIniPath(skinFolder, SkinFile::kWarning, language), table);
}

}  // namespace nuv
