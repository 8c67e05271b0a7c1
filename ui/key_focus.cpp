#include "ui/key_focus.h"

#include <algorithm>
#include <utility>

namespace nuv {

namespace {

using Stops = std::vector<FocusStop>;

// Main keys with an action on every page (the strip; keys 0 and 1 are
// captions) and on the main page only.
constexpr uint32_t kFirstSlot = 4;
constexpr uint32_t kLastSlot = 8;
constexpr uint32_t kFirstTab = 9;
constexpr uint32_t kLastTab = 11;
constexpr uint32_t kMinimise = 12;
constexpr uint32_t kTray = 13;
constexpr uint32_t kSecondLanguage = 17;
constexpr uint32_t kEnglish = 18;
constexpr uint32_t kWebSite = 19;
constexpr uint32_t kFirstLabel = 25;
constexpr uint32_t kLastLabel = 31;
constexpr uint32_t kWheelOff = 41;
constexpr uint32_t kWheelOn = 42;
constexpr uint32_t kFirstDpiEnable = 46;
constexpr uint32_t kLastDpiEnable = 49;
constexpr uint32_t kFirstDpiActive = 54;
constexpr uint32_t kLastDpiActive = 57;
constexpr uint32_t kFirstKnob = 60;
constexpr uint32_t kLastKnob = 79;
constexpr uint32_t kKnobsPerLevel = 5;
// Colour keys 0..3 choose the lighting mode.
constexpr uint32_t kLastLightingMode = 3;
// Advanced keys.
constexpr uint32_t kImportMacros = 0;
constexpr uint32_t kExportMacros = 1;
constexpr uint32_t kRecord = 4;
constexpr uint32_t kRepeatMode = 6;
constexpr uint32_t kHoldMode = 7;
constexpr uint32_t kFirstPointerSpeed = 8;
constexpr uint32_t kLastPointerSpeed = 17;
constexpr uint32_t kFirstScrollLines = 18;
constexpr uint32_t kLastScrollLines = 27;
constexpr uint32_t kFireTimeBar = 30;
constexpr uint32_t kFireTimeUp = 31;
constexpr uint32_t kFireTimeDown = 32;
constexpr uint32_t kRepeatCountCaption = 40;
constexpr uint32_t kMacrosCaption = 35;
constexpr uint32_t kEventsCaption = 36;
constexpr uint32_t kPointerSpeedCaption = 41;
constexpr uint32_t kScrollLinesCaption = 42;
constexpr uint32_t kFireTimeCaption = 43;

bool Between(uint32_t key, uint32_t first, uint32_t last) { return key >= first && key <= last; }

FocusGroup GroupOf(KeyRef ref) {
  const uint32_t k = ref.key;
  switch (ref.table) {
    case KeyTable::kMain:
      if (Between(k, kFirstSlot, kLastSlot)) return FocusGroup::kProfileSlots;
      if (Between(k, kFirstTab, kLastTab)) return FocusGroup::kPageTabs;
      if (k == kSecondLanguage || k == kEnglish) return FocusGroup::kLanguages;
      if (k == kWheelOff || k == kWheelOn) return FocusGroup::kWheelMode;
      if (Between(k, kFirstDpiActive, kLastDpiActive)) return FocusGroup::kActiveDpiLevel;
      if (Between(k, kFirstKnob, kLastKnob)) {
        return static_cast<FocusGroup>(static_cast<uint32_t>(FocusGroup::kDpiRow1) +
                                       (k - kFirstKnob) / kKnobsPerLevel);
      }
      return FocusGroup::kNone;
    case KeyTable::kColour:
      return k <= kLastLightingMode ? FocusGroup::kLightingModes : FocusGroup::kNone;
    case KeyTable::kAdvanced:
      if (Between(k, kFirstPointerSpeed, kLastPointerSpeed)) return FocusGroup::kPointerSpeed;
      if (Between(k, kFirstScrollLines, kLastScrollLines)) return FocusGroup::kScrollLines;
      return FocusGroup::kNone;
    case KeyTable::kControl:
      return FocusGroup::kNone;
  }
  return FocusGroup::kNone;
}

// A key that no click can reach (no area) takes no focus either.
void AddStop(Stops& stops, KeyRef ref, const SkinRect& rect) {
  if (rect.width <= 0 || rect.height <= 0) return;
  stops.push_back({ref, rect, GroupOf(ref)});
}

// The order in which a sighted user reads the face: the strip's top row, the
// page tabs and profile slots, the page's own keys column by column and row
// by row, the strip's bottom row. Fixed by key, so that a skin that moves a
// key keeps the order its users know.
constexpr uint32_t kStripTop[] = {17, 18, 19, 12, 13, 9, 10, 11, 4, 5, 6, 7, 8};
constexpr uint32_t kStripBottom[] = {14, 15, 16, 2, 3};
constexpr uint32_t kMainPageKeys[] = {25, 26, 27, 28, 29, 30, 31,  // labels
                                      46, 54, 61, 62, 63, 64, 60,  // DPI level 1
                                      47, 55, 66, 67, 68, 69, 65,  // level 2
                                      48, 56, 71, 72, 73, 74, 70,  // level 3
                                      49, 57, 76, 77, 78, 79, 75,  // level 4
                                      41, 42};
constexpr KeyRef kAdvancedPageKeys[] = {
    {KeyTable::kControl, control_key::kMacroList},
    {KeyTable::kControl, control_key::kMacroName},
    {KeyTable::kControl, control_key::kEventList},
    {KeyTable::kAdvanced, 2},
    {KeyTable::kAdvanced, 3},
    {KeyTable::kAdvanced, 4},
    {KeyTable::kAdvanced, 5},
    {KeyTable::kAdvanced, 6},
    {KeyTable::kControl, control_key::kRepeatCount},
    {KeyTable::kAdvanced, kImportMacros},
    {KeyTable::kAdvanced, kExportMacros},
};

const Text* CaptionOf(const PageSkin& skin, KeyRef ref) {
  switch (ref.table) {
    case KeyTable::kMain:
      return ref.key < kMainSkinKeys ? &skin.main.captions[ref.key] : nullptr;
    case KeyTable::kColour:
      return ref.key < kColourSkinKeys ? &skin.colour.captions[ref.key] : nullptr;
    case KeyTable::kAdvanced:
      return ref.key < kAdvancedSkinKeys ? &skin.advanced.captions[ref.key] : nullptr;
    case KeyTable::kControl:
      return nullptr;
  }
  return nullptr;
}

struct Words {
  bool english;
  Text Say(const char16_t* en, const char16_t* pt) const { return english ? en : pt; }
};

// A caption of the advanced table, or `fallback` when the skin has none.
Text AdvancedCaption(const PageSkin& skin, uint32_t key, Text fallback) {
  const Text& caption = skin.advanced.captions[key];
  return caption.empty() ? fallback : caption;
}

Text NameOf(const PaintInputs& face, KeyRef ref) {
  const Words w{face.language != 0};
  const PageSkin& skin = face.skin;
  const uint32_t k = ref.key;
  const Text number = FormatInt(static_cast<int32_t>(k));
  if (ref.table == KeyTable::kControl) {
    switch (k) {
      case control_key::kRepeatCount:
        return AdvancedCaption(skin, kRepeatCountCaption, w.Say(u"Repeat count", u"Repetições"));
      case control_key::kMacroName:
        return w.Say(u"Macro name", u"Nome da macro");
      case control_key::kMacroList:
        return AdvancedCaption(skin, kMacrosCaption, u"Macros");
      default:
        return AdvancedCaption(skin, kEventsCaption, w.Say(u"Events", u"Eventos"));
    }
  }
  if (ref.table == KeyTable::kMain) {
    const auto ordinal = [&](uint32_t first) {
      return FormatInt(static_cast<int32_t>(k - first + 1));
    };
    if (Between(k, kFirstSlot, kLastSlot))
      return w.Say(u"Profile ", u"Perfil ") + ordinal(kFirstSlot);
    if (k == kMinimise) return w.Say(u"Minimise", u"Minimizar");
    if (k == kTray) return w.Say(u"Close", u"Fechar");
    if (k == kWebSite) return w.Say(u"Web site", u"Site");
    if (k == kSecondLanguage) return u"Português";
    if (k == kEnglish) return u"English";
    if (Between(k, kFirstLabel, kLastLabel)) {
      const Text function =
          FunctionLabel(face.profile.buttons[k - kFirstLabel], skin.functionNames, face.macros);
      return w.Say(u"Button ", u"Botão ") + ordinal(kFirstLabel) + u": " + function;
    }
    if (Between(k, kFirstDpiEnable, kLastDpiEnable)) {
      return w.Say(u"DPI level ", u"Nível de DPI ") + ordinal(kFirstDpiEnable) +
             w.Say(u" on", u" ligado");
    }
    if (Between(k, kFirstDpiActive, kLastDpiActive)) {
      return w.Say(u"DPI level ", u"Nível de DPI ") + ordinal(kFirstDpiActive) +
             w.Say(u" active", u" atual");
    }
    if (Between(k, kFirstKnob, kLastKnob) && !skin.main.captions[k].empty()) {
      return skin.main.captions[k] + u" DPI";
    }
  }
  if (ref.table == KeyTable::kAdvanced) {
    if (k == kImportMacros) return w.Say(u"Import macros", u"Importar macros");
    if (k == kExportMacros) return w.Say(u"Export macros", u"Exportar macros");
    if (Between(k, kFirstPointerSpeed, kLastPointerSpeed)) {
      return AdvancedCaption(skin, kPointerSpeedCaption, w.Say(u"Pointer speed", u"Velocidade")) +
             u" " + FormatInt(static_cast<int32_t>(k - kFirstPointerSpeed + 1));
    }
    if (Between(k, kFirstScrollLines, kLastScrollLines)) {
      return AdvancedCaption(skin, kScrollLinesCaption, w.Say(u"Scroll lines", u"Rolagem")) + u" " +
             FormatInt(static_cast<int32_t>(k - kFirstScrollLines + 1));
    }
    if (k == kFireTimeBar) {
      return AdvancedCaption(skin, kFireTimeCaption, w.Say(u"Fire time", u"Tempo de disparo"));
    }
    if (k == kFireTimeUp) return w.Say(u"Longer fire time", u"Aumentar o tempo de disparo");
    if (k == kFireTimeDown) return w.Say(u"Shorter fire time", u"Diminuir o tempo de disparo");
  }
  const Text* caption = CaptionOf(skin, ref);
  if (caption && !caption->empty()) return *caption;
  return w.Say(u"Key ", u"Tecla ") + number;
}

AccessibleRole RoleOf(KeyRef ref) {
  const uint32_t k = ref.key;
  if (ref.table == KeyTable::kControl) {
    return k <= control_key::kMacroName ? AccessibleRole::kEditText : AccessibleRole::kList;
  }
  if (ref.table == KeyTable::kMain && Between(k, kFirstTab, kLastTab)) {
    return AccessibleRole::kPageTab;
  }
  if ((ref.table == KeyTable::kMain && Between(k, kFirstDpiEnable, kLastDpiEnable)) ||
      (ref.table == KeyTable::kAdvanced && (k == kRepeatMode || k == kHoldMode))) {
    return AccessibleRole::kCheckBox;
  }
  if (ref.table == KeyTable::kAdvanced && k == kFireTimeBar) return AccessibleRole::kSlider;
  return GroupOf(ref) == FocusGroup::kNone ? AccessibleRole::kPushButton
                                           : AccessibleRole::kRadioButton;
}

uint32_t HoverOf(const PaintInputs& face, KeyTable table) {
  switch (table) {
    case KeyTable::kMain:
      return face.ui.mainHover;
    case KeyTable::kColour:
      return face.ui.colourHover;
    case KeyTable::kAdvanced:
      return face.ui.advancedHover;
    case KeyTable::kControl:
      break;
  }
  return kNoSkinHit;
}

// The stops at which Tab halts: each key outside a group, and each group once
// (at its first key in reading order), represented by its key that is on.
struct TabStop {
  FocusGroup group;
  KeyRef ref;
};
std::vector<TabStop> TabStops(const PaintInputs& face, const Stops& order) {
  std::vector<TabStop> stops;
  for (const FocusStop& s : order) {
    if (s.group == FocusGroup::kNone) {
      stops.push_back({s.group, s.ref});
      continue;
    }
    auto same = std::find_if(stops.begin(), stops.end(),
                             [&](const TabStop& t) { return t.group == s.group; });
    if (same == stops.end()) {
      stops.push_back({s.group, s.ref});
    } else if (IsKeyOn(face, s.ref) && !IsKeyOn(face, same->ref)) {
      same->ref = s.ref;
    }
  }
  return stops;
}

size_t Step(size_t at, size_t count, bool forward) {
  return forward ? (at + 1) % count : (at + count - 1) % count;
}

}  // namespace

std::vector<FocusStop> FocusOrder(const PageSkin& skin, uint8_t page) {
  Stops stops;
  const auto main = [&](uint32_t key) {
    AddStop(stops, {KeyTable::kMain, key}, skin.main.rects[key]);
  };
  for (uint32_t key : kStripTop) main(key);
  switch (page) {
    case kColourPage:
      for (uint32_t key = 0; key <= kLastLightingMode; ++key) {
        AddStop(stops, {KeyTable::kColour, key}, skin.colour.rects[key]);
      }
      break;
    case kAdvancedPage: {
      const MacroControlRects& c = skin.macroControls;
      const SkinRect* controls[] = {&c.repeatCountEdit, &c.macroNameEdit, &c.macroNameList,
                                    &c.macroEventList};
      const auto add = [&](KeyRef ref) {
        AddStop(
            stops, ref,
            ref.table == KeyTable::kControl ? *controls[ref.key] : skin.advanced.rects[ref.key]);
      };
      for (KeyRef ref : kAdvancedPageKeys) add(ref);
      for (uint32_t key = kFirstPointerSpeed; key <= kLastScrollLines; ++key) {
        add({KeyTable::kAdvanced, key});
      }
      for (uint32_t key : {kHoldMode, kFireTimeDown, kFireTimeBar, kFireTimeUp}) {
        add({KeyTable::kAdvanced, key});
      }
      break;
    }
    default:
      for (uint32_t key : kMainPageKeys) main(key);
      break;
  }
  for (uint32_t key : kStripBottom) main(key);
  return stops;
}

bool IsKeyOn(const PaintInputs& face, KeyRef ref) {
  const MouseProfile& p = face.profile;
  const uint32_t k = ref.key;
  const auto is = [](int64_t value, uint32_t index) { return value == int64_t{index}; };
  switch (ref.table) {
    case KeyTable::kMain:
      if (Between(k, kFirstSlot, kLastSlot)) return is(face.configNumber, k - kFirstSlot + 1);
      if (Between(k, kFirstTab, kLastTab)) return is(face.ui.page, k - kFirstTab);
      if (k == kSecondLanguage) return face.language == 0;
      if (k == kEnglish) return face.language != 0;
      if (k == kWheelOff) return p.wheelStatus != 1;
      if (k == kWheelOn) return p.wheelStatus == 1;
      if (Between(k, kFirstDpiEnable, kLastDpiEnable)) {
        return p.dpiEnabled[k - kFirstDpiEnable] != 0;
      }
      if (Between(k, kFirstDpiActive, kLastDpiActive)) return is(p.dpiLevel, k - kFirstDpiActive);
      if (Between(k, kFirstKnob, kLastKnob)) {
        return is(p.dpiKnobKey[(k - kFirstKnob) / kKnobsPerLevel], k);
      }
      return false;
    case KeyTable::kColour:
      return k <= kLastLightingMode && is(p.ledMode, k);
    case KeyTable::kAdvanced:
      if (k == kRecord) return face.recording;
      if (k == kRepeatMode) return face.macros.Read(face.macros.currentMacro).repeatMode == 1;
      if (k == kHoldMode) return p.macroHoldMode != 0;
      if (Between(k, kFirstPointerSpeed, kLastPointerSpeed)) {
        return is(p.pointerSpeed, k - kFirstPointerSpeed);
      }
      if (Between(k, kFirstScrollLines, kLastScrollLines)) {
        return is(p.wheelSpeed, k - kFirstScrollLines);
      }
      return false;
    case KeyTable::kControl:
      return false;
  }
  return false;
}

AccessibleItem DescribeKey(const PaintInputs& face, KeyRef ref, const SkinRect& rect) {
  const Words w{face.language != 0};
  AccessibleItem item;
  item.name = NameOf(face, ref);
  item.role = RoleOf(ref);
  item.rect = {rect.x, rect.y, rect.width, rect.height};
  item.state = access_state::kFocusable;
  const bool on = IsKeyOn(face, ref);
  if (face.ui.held != 0 && ref.table != KeyTable::kControl && HoverOf(face, ref.table) == ref.key) {
    item.state |= access_state::kPressed;
  }
  const uint32_t k = ref.key;
  switch (item.role) {
    case AccessibleRole::kPageTab:
      if (on) item.state |= access_state::kSelected | access_state::kPressed;
      item.defaultAction = w.Say(u"Switch", u"Alternar");
      break;
    case AccessibleRole::kCheckBox:
      if (on) item.state |= access_state::kChecked;
      item.defaultAction = on ? w.Say(u"Uncheck", u"Desmarcar") : w.Say(u"Check", u"Marcar");
      break;
    case AccessibleRole::kRadioButton:
      if (on) item.state |= access_state::kChecked;
      item.defaultAction = w.Say(u"Check", u"Marcar");
      break;
    case AccessibleRole::kSlider:
      item.value = FormatInt(face.profile.fireTime) + u"ms";
      break;
    case AccessibleRole::kPushButton:
      if (on) item.state |= access_state::kPressed;  // a recording runs
      item.defaultAction = w.Say(u"Press", u"Pressionar");
      break;
    default:
      break;
  }
  if (ref.table == KeyTable::kMain && Between(k, kFirstLabel, kLastLabel)) {
    item.state |= access_state::kHasPopup;
    item.value =
        FunctionLabel(face.profile.buttons[k - kFirstLabel], face.skin.functionNames, face.macros);
  }
  // A level that is off cannot be made the active one.
  if (ref.table == KeyTable::kMain && Between(k, kFirstDpiActive, kLastDpiActive) &&
      face.profile.dpiEnabled[k - kFirstDpiActive] == 0) {
    item.state |= access_state::kUnavailable;
  }
  return item;
}

const FocusStop* FindStop(const Stops& order, KeyRef ref) {
  const auto at =
      std::find_if(order.begin(), order.end(), [&](const FocusStop& s) { return s.ref == ref; });
  return at == order.end() ? nullptr : &*at;
}

KeyRef FocusOnPage(const Stops& order, std::optional<KeyRef> focus, uint8_t page) {
  if (focus && FindStop(order, *focus)) return *focus;
  const uint8_t shown = page <= kColourPage ? page : uint8_t{kMainPage};
  return KeyRef{KeyTable::kMain, kFirstTab + shown};
}

std::optional<KeyRef> MoveFocus(const PaintInputs& face, const Stops& order,
                                std::optional<KeyRef> focus, FocusKey key) {
  if (order.empty()) return std::nullopt;
  const KeyRef start = FocusOnPage(order, focus, face.ui.page);
  if (!focus || start != *focus) return start;
  const FocusGroup group = FindStop(order, start)->group;
  if (key == FocusKey::kNext || key == FocusKey::kPrevious) {
    if (group == FocusGroup::kNone) return start;
    Stops members;
    std::copy_if(order.begin(), order.end(), std::back_inserter(members),
                 [&](const FocusStop& s) { return s.group == group; });
    const size_t i = static_cast<size_t>(FindStop(members, start) - members.data());
    return members[Step(i, members.size(), key == FocusKey::kNext)].ref;
  }
  const std::vector<TabStop> stops = TabStops(face, order);
  const auto mine = std::find_if(stops.begin(), stops.end(), [&](const TabStop& t) {
    return group == FocusGroup::kNone ? t.ref == start : t.group == group;
  });
  const size_t i = static_cast<size_t>(mine - stops.begin());
  return stops[Step(i, stops.size(), key == FocusKey::kTab)].ref;
}

std::vector<FocusStop> PageFace::Order() const {
  const PaintInputs face = hooks_.inputs();
  return FocusOrder(face.skin, face.ui.page);
}

size_t PageFace::ItemCount() const { return Order().size(); }

AccessibleItem PageFace::Item(size_t index) const {
  const PaintInputs face = hooks_.inputs();
  const Stops order = FocusOrder(face.skin, face.ui.page);
  if (index >= order.size()) return {};
  AccessibleItem item = DescribeKey(face, order[index].ref, order[index].rect);
  if (hooks_.focus() == order[index].ref) item.state |= access_state::kFocused;
  return item;
}

std::optional<size_t> PageFace::IndexOf(KeyRef ref) const {
  const Stops order = Order();
  const FocusStop* stop = FindStop(order, ref);
  if (!stop) return std::nullopt;
  return static_cast<size_t>(stop - order.data());
}

std::optional<size_t> PageFace::FocusedItem() const {
  const std::optional<KeyRef> focus = hooks_.focus();
  return focus ? IndexOf(*focus) : std::nullopt;
}

void PageFace::DoDefaultAction(size_t index) {
  const Stops order = Order();
  if (index < order.size()) hooks_.activate(order[index].ref);
}

void PageFace::TakeFocus(size_t index) {
  const Stops order = Order();
  if (index < order.size()) hooks_.takeFocus(order[index].ref);
}

}  // namespace nuv
