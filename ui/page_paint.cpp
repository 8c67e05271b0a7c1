#include "ui/page_paint.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace nuv {

namespace {

struct PagePictures {
  SkinPicture normal;
  SkinPicture over;
  SkinPicture down;
};

PagePictures PicturesOf(uint8_t page) {
  switch (page) {
    case kAdvancedPage:
      return {SkinPicture::kAdvancedNormal, SkinPicture::kAdvancedOver, SkinPicture::kAdvancedDown};
    case kColourPage:
      return {SkinPicture::kColourNormal, SkinPicture::kColourOver, SkinPicture::kColourDown};
    default:
      return {SkinPicture::kMainNormal, SkinPicture::kMainOver, SkinPicture::kMainDown};
  }
}

// Strip keys with a fixed role.
constexpr uint32_t kFirstSlotKey = 4;
constexpr int32_t kSlotCount = 5;
constexpr uint32_t kYellowCaptionKey = 1;
constexpr uint32_t kSecondLanguageKey = 17;
constexpr uint32_t kEnglishKey = 18;
constexpr uint32_t kFirstTabKey = 9;
// Main page keys.
constexpr uint32_t kFirstFunctionLabel = 25;
constexpr uint32_t kLastFunctionLabel = 31;
constexpr uint32_t kLabelToMarkOffset = 65;
constexpr uint32_t kAttentionMarkBase = 89;
constexpr uint32_t kWheelOffKey = 41;
constexpr uint32_t kWheelOnKey = 42;
constexpr uint32_t kFirstDpiEnableKey = 46;
constexpr uint32_t kFirstDpiCaptionKey = 50;
constexpr uint32_t kLastMainTextKey = 53;
constexpr uint32_t kFirstCurrentLevelKey = 80;
constexpr int32_t kLabelIndent = 5;
// Advanced page keys.
constexpr uint32_t kRecordKey = 4;
constexpr uint32_t kRepeatModeKey = 6;
constexpr uint32_t kHoldModeKey = 7;
constexpr uint32_t kFirstPointerSpeedKey = 8;
constexpr uint32_t kFirstWheelSpeedKey = 18;
constexpr uint32_t kFireTimeBarKey = 30;
constexpr uint32_t kFireTimeTextKey = 33;
constexpr uint32_t kDownCountKey = 38;
constexpr uint32_t kUpCountKey = 39;
// Colour page keys.
constexpr uint32_t kPreviewTileKey = 11;
constexpr uint32_t kDpiReadoutKey = 9;

// Copies keys of one table from the page's pictures; indices outside the
// table (a hover or profile value gone astray) draw nothing.
template <size_t N>
class KeyDrawer {
 public:
  KeyDrawer(CanvasPort& canvas, const SkinTable<N>& table, const PagePictures& pictures)
      : canvas_(canvas), table_(table), pictures_(pictures) {}

  void From(SkinPicture picture, uint32_t key) const {
    if (key >= N) return;
    const SkinRect& r = table_.rects[key];
    canvas_.CopyFrom(picture, r.x, r.y, r.x, r.y, r.width, r.height);
  }
  void Pressed(uint32_t key) const { From(pictures_.down, key); }
  void Hovered(uint32_t key) const { From(pictures_.over, key); }
  void HoverOrHeld(uint32_t key, bool held) const { held ? Pressed(key) : Hovered(key); }

 private:
  CanvasPort& canvas_;
  const SkinTable<N>& table_;
  const PagePictures& pictures_;
};

uint32_t ByteIndex(int32_t value) { return value < 0 ? kNoSkinHit : static_cast<uint32_t>(value); }

void PaintMainStates(const PaintInputs& in, CanvasPort& canvas,
                     const KeyDrawer<kMainSkinKeys>& keys) {
  const MouseProfile& p = in.profile;
  keys.Pressed(kFirstCurrentLevelKey + ByteIndex(p.dpiLevel));

  for (int level = 0; level < kDpiLevelCount; ++level) {
    const auto l = static_cast<size_t>(level);
    const uint32_t knob = ByteIndex(p.dpiKnobKey[l]);
    if (knob < kMainSkinKeys) {
      // The knob picture's top-left block, cut to the size of the knob's key.
      const SkinRect& r = in.skin.main.rects[knob];
      canvas.CopyFrom(SkinPicture::kDpiSlider, 0, 0, r.x, r.y, r.width, r.height);
    }
    if (p.dpiEnabled[l]) keys.Pressed(kFirstDpiEnableKey + static_cast<uint32_t>(level));
  }

  keys.Pressed(p.wheelStatus == 1 ? kWheelOnKey : kWheelOffKey);

  const uint32_t hover = in.ui.mainHover;
  if (hover >= kFirstFunctionLabel && hover <= kLastFunctionLabel) {
    keys.Hovered(hover + kLabelToMarkOffset);
  } else if (!in.attention.armed) {
    const int32_t button = in.attention.button;
    if (button >= 1 && button <= kButtonCount) {
      const uint32_t mark = kAttentionMarkBase + static_cast<uint32_t>(button);
      in.attention.blinkPhase == kBlinkDown ? keys.Pressed(mark) : keys.Hovered(mark);
    }
  }
}

void PaintAdvancedStates(const PaintInputs& in, CanvasPort& canvas,
                         const KeyDrawer<kAdvancedSkinKeys>& keys, const PagePictures& pictures) {
  const MouseProfile& p = in.profile;
  if (in.recording) keys.Pressed(kRecordKey);
  keys.Pressed(kFirstPointerSpeedKey + p.pointerSpeed);
  keys.Pressed(kFirstWheelSpeedKey + p.wheelSpeed);

  // The bar shows FIRE_TIME / 300 of its width from the left; the value is
  // limited to the bar so that a stray value never paints past it.
  const SkinRect& bar = in.skin.advanced.rects[kFireTimeBarKey];
  const int64_t fire = std::clamp<int64_t>(p.fireTime, 0, kFireTimeMax);
  const int64_t width = bar.width > 0 ? fire * bar.width / kFireTimeMax : 0;
  if (width > 0) {
    canvas.CopyFrom(pictures.down, bar.x, bar.y, bar.x, bar.y, static_cast<int32_t>(width),
                    bar.height);
  }

  if (p.macroHoldMode != 0) keys.Pressed(kHoldModeKey);
  if (in.macros.Read(in.macros.currentMacro).repeatMode == 1) keys.Pressed(kRepeatModeKey);
}

void PaintColourStates(const PaintInputs& in, const KeyDrawer<kColourSkinKeys>& keys,
                       const PagePictures& pictures) {
  keys.Pressed(in.profile.ledMode);
  if (in.ui.previewOff) {
    keys.From(SkinPicture::kColourTileGrey, kPreviewTileKey);
    return;
  }
  switch (in.ui.previewColour) {
    case 0:
      keys.From(SkinPicture::kColourTileBlue, kPreviewTileKey);
      break;
    case 2:
      keys.From(pictures.over, kPreviewTileKey);
      break;
    case 3:
      keys.From(pictures.down, kPreviewTileKey);
      break;
    default:
      break;  // colour 1 is the background's own tile
  }
}

// Strip keys 0 to 19; the first rule that applies decides each key.
void PaintSharedStrip(const PaintInputs& in, uint8_t page, const KeyDrawer<kMainSkinKeys>& keys) {
  const uint32_t hover = in.ui.mainHover;
  const bool held = in.ui.held != 0;
  const uint32_t tab = kFirstTabKey + page;
  const uint32_t language = in.language != 0 ? kEnglishKey : kSecondLanguageKey;
  // Only the five user slots have a button; the internal slots 6 and up
  // would otherwise press a page tab or a language button.
  const bool userSlot = in.configNumber >= 1 && in.configNumber <= kSlotCount;
  const uint32_t slot =
      userSlot ? kFirstSlotKey - 1 + static_cast<uint32_t>(in.configNumber) : kNoSkinHit;
  for (uint32_t key = 0; key < kSharedStripKeys; ++key) {
    if (key == slot) {
      keys.Pressed(key);
    } else if (key == hover) {
      keys.HoverOrHeld(key, held);
    } else if (key == tab || key == language) {
      keys.Pressed(key);
    }
  }
}

class TextPainter {
 public:
  explicit TextPainter(CanvasPort& canvas) : canvas_(canvas) {}

  void Centred(const SkinRect& r, TextView text, TextColour colour) const {
    if (text.empty()) return;
    const TextExtent size = canvas_.MeasureText(text);
    canvas_.PutText(r.x + (r.width - size.width) / 2, r.y + (r.height - size.height) / 2, text,
                    colour);
  }
  void LeftAligned(const SkinRect& r, TextView text, TextColour colour) const {
    if (text.empty()) return;
    const TextExtent size = canvas_.MeasureText(text);
    canvas_.PutText(r.x + kLabelIndent, r.y + (r.height - size.height) / 2, text, colour);
  }

  // Main keys 0 to `last`; the function labels and DPI captions only on the main page.
  void MainKeys(const PaintInputs& in, uint32_t last) const {
    const MainSkinTable& t = in.skin.main;
    for (uint32_t key = 0; key <= last; ++key) {
      const SkinRect& r = t.rects[key];
      if (key >= kFirstFunctionLabel && key <= kLastFunctionLabel) {
        const auto button = static_cast<size_t>(key - kFirstFunctionLabel);
        const Text label =
            FunctionLabel(in.profile.buttons[button], in.skin.functionNames, in.macros);
        LeftAligned(r, label, key == in.ui.mainHover ? kRedText : kWhiteText);
        continue;
      }
      TextColour colour = key == kYellowCaptionKey ? kYellowText : kWhiteText;
      if (key >= kFirstDpiCaptionKey && key <= kLastMainTextKey) {
        colour = in.profile.dpiEnabled[key - kFirstDpiCaptionKey] ? kRedText : kGreyText;
      }
      Centred(r, t.captions[key], colour);
    }
  }

  void AdvancedKeys(const PaintInputs& in) const {
    AdvancedSkinTable& t = in.skin.advanced;
    const bool english = in.language != 0;
    t.captions[kRecordKey] =
        in.recording ? (english ? u"Stop" : u"Parar") : (english ? u"Record" : u"Gravar");
    t.captions[kFireTimeTextKey] = FormatInt(in.profile.fireTime) + u"ms";
    t.captions[kDownCountKey] = u"[↓]" + FormatInt(in.counters.downCount);
    t.captions[kUpCountKey] = u"[↑]" + FormatInt(in.counters.upCount);
    for (uint32_t key = 0; key < kAdvancedSkinKeys; ++key) {
      Centred(t.rects[key], t.captions[key], key == in.ui.advancedHover ? kRedText : kWhiteText);
    }
  }

  void ColourKeys(const PaintInputs& in) const {
    const ColourSkinTable& t = in.skin.colour;
    const auto level =
        static_cast<size_t>(std::clamp<int32_t>(in.profile.dpiLevel, 0, kDpiLevelCount - 1));
    for (uint32_t key = 0; key < kColourSkinKeys; ++key) {
      const TextView text = key == kDpiReadoutKey
                                ? TextView(DpiReadout(in.profile.appliedDpiValue[level]))
                                : TextView(t.captions[key]);
      Centred(t.rects[key], text, kWhiteText);
    }
  }

 private:
  CanvasPort& canvas_;
};

// The focused key's box on `page`, if the focus is one of its tables' keys.
std::optional<SkinRect> FocusBox(const PaintInputs& in, uint8_t page) {
  const uint32_t key = in.ui.focusKey;
  const MacroControlRects& c = in.skin.macroControls;
  switch (in.ui.focusTable) {
    case 0:  // the main table; off the main page only its strip
      if (key < (page == kMainPage ? kMainSkinKeys : kSharedStripKeys))
        return in.skin.main.rects[key];
      break;
    case 1:
      if (page == kColourPage && key < kColourSkinKeys) return in.skin.colour.rects[key];
      break;
    case 2:
      if (page == kAdvancedPage && key < kAdvancedSkinKeys) return in.skin.advanced.rects[key];
      break;
    case 3: {
      if (page != kAdvancedPage) break;
      const SkinRect* controls[] = {&c.repeatCountEdit, &c.macroNameEdit, &c.macroNameList,
                                    &c.macroEventList};
      if (key >= std::size(controls)) break;
      // Around the control: its inside is the control's own.
      const SkinRect& r = *controls[key];
      return SkinRect{r.x - kFocusFrameUnits, r.y - kFocusFrameUnits,
                      r.width + 2 * kFocusFrameUnits, r.height + 2 * kFocusFrameUnits};
    }
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

bool LoadPageSkin(const SkinSources& sources, const Text& skinFolder, int32_t language,
                  PageSkin& skin) {
  return LoadMainSkin(sources, skinFolder, language, skin.main, skin.functionNames) &&
         LoadColourSkin(sources, skinFolder, language, skin.colour) &&
         LoadAdvancedSkin(sources, skinFolder, language, skin.advanced, skin.macroControls);
}

Text FunctionLabel(int32_t code, const FunctionNameTable& names, const MacroStore& macros) {
  if (code >= kFnFirstMacro && code <= kFnLastMacro) {
    return macros.Read(code - kFnFirstMacro).Name();
  }
  return FunctionName(names, code);
}

const char16_t* DpiReadout(int valueIndex) {
  switch (valueIndex) {
    case 0:
      return u"3200";
    case 2:
      return u"1600";
    case 3:
      return u"2000";
    case 4:
      return u"2400";
    default:
      return u"1200";
  }
}

void PaintPage(const PaintInputs& in, CanvasPort& canvas) {
  // A page number out of range shows the main page.
  const uint8_t page = in.ui.page <= kColourPage ? uint8_t{in.ui.page} : uint8_t{kMainPage};
  const PagePictures pictures = PicturesOf(page);
  canvas.BeginPage(pictures.normal);

  const KeyDrawer<kMainSkinKeys> mainKeys(canvas, in.skin.main, pictures);
  switch (page) {
    case kAdvancedPage: {
      const KeyDrawer<kAdvancedSkinKeys> keys(canvas, in.skin.advanced, pictures);
      if (in.ui.advancedHover != kNoSkinHit) keys.HoverOrHeld(in.ui.advancedHover, in.ui.held);
      PaintAdvancedStates(in, canvas, keys, pictures);
      break;
    }
    case kColourPage: {
      const KeyDrawer<kColourSkinKeys> keys(canvas, in.skin.colour, pictures);
      if (in.ui.colourHover != kNoSkinHit) keys.HoverOrHeld(in.ui.colourHover, in.ui.held);
      PaintColourStates(in, keys, pictures);
      break;
    }
    default:
      if (in.ui.mainHover != kNoSkinHit) mainKeys.HoverOrHeld(in.ui.mainHover, in.ui.held);
      PaintMainStates(in, canvas, mainKeys);
      break;
  }

  PaintSharedStrip(in, page, mainKeys);

  canvas.SelectFont(in.language != 0 ? TextFont::kEnglish : TextFont::kSecondLanguage);
  const TextPainter texts(canvas);
  switch (page) {
    case kAdvancedPage:
      texts.MainKeys(in, kSharedStripKeys - 1);
      texts.AdvancedKeys(in);
      break;
    case kColourPage:
      texts.MainKeys(in, kSharedStripKeys - 1);
      texts.ColourKeys(in);
      break;
    default:
      texts.MainKeys(in, kLastMainTextKey);
      break;
  }

  if (in.ui.focusShown != 0) {
    if (const auto box = FocusBox(in, page)) {
      canvas.FrameBox(box->x, box->y, box->width, box->height, kFocusFrameUnits, kFocusColour);
    }
  }
}

}  // namespace nuv
