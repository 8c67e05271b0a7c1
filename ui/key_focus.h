// The keyboard's way over the skinned face: which keys of the shown page take
// the focus, in what order Tab visits them, which of them form a group that
// the arrow keys move within, and how each key is named to assistive
// technology. A key reached by the keyboard is activated through the same
// dispatch as a click (MainWindowInput::Activate).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/accessible_face.h"
#include "ui/page_paint.h"

namespace nuv {

struct KeyRef {
  KeyTable table = KeyTable::kMain;
  uint32_t key = kNoSkinHit;
  bool operator==(const KeyRef&) const = default;
};

// Keys that the arrow keys move within; Tab stops once in a group, at its
// member that is on (or its first).
enum class FocusGroup : uint8_t {
  kNone,
  kProfileSlots,
  kPageTabs,
  kLanguages,
  kWheelMode,
  kActiveDpiLevel,
  kDpiRow1,
  kDpiRow2,
  kDpiRow3,
  kDpiRow4,
  kLightingModes,
  kPointerSpeed,
  kScrollLines,
};

struct FocusStop {
  KeyRef ref;
  SkinRect rect;
  FocusGroup group = FocusGroup::kNone;
};

// The keys of `page` that do something, the strip included, in the order a
// sighted user reads the shipped face: the strip's top row, tabs and slots,
// the page (the labels' column, then the DPI table row by row), the strip's
// bottom row. Keys without an area (a hand-edited skin) take no focus.
std::vector<FocusStop> FocusOrder(const PageSkin& skin, uint8_t page);

// The stop of `ref` in `order`, null when the key is not on the page.
const FocusStop* FindStop(const std::vector<FocusStop>& order, KeyRef ref);

// Whether a key that can be on (a radio button, check box, the shown page's
// tab) is on in this face.
bool IsKeyOn(const PaintInputs& face, KeyRef ref);

// The key as a screen reader presents it: the name a sighted user reads (its
// caption in the interface language, or a name for a key that shows only a
// picture), role, state, value and default action.
AccessibleItem DescribeKey(const PaintInputs& face, KeyRef ref, const SkinRect& rect);

// What a keyboard key does to the focus.
enum class FocusKey : uint8_t { kTab, kBackTab, kNext, kPrevious };

// The focus after `key`: Tab and Shift+Tab move between stops (wrapping),
// the arrow keys (kNext, kPrevious) within the focused key's group
// (wrapping; nothing outside a group). A focus that is not on the page
// (none yet, or a page change) starts again from the page's own tab.
std::optional<KeyRef> MoveFocus(const PaintInputs& face, const std::vector<FocusStop>& order,
                                std::optional<KeyRef> focus, FocusKey key);

// The focus of a page: `focus` when it is one of the page's keys, else the
// page's tab key.
KeyRef FocusOnPage(const std::vector<FocusStop>& order, std::optional<KeyRef> focus, uint8_t page);

// The accessible face of the page shown: one item per focusable key, in the
// focus order. The window provides the focus and the action.
class PageFace : public AccessibleFace {
 public:
  struct Hooks {
    std::function<PaintInputs()> inputs;
    std::function<std::optional<KeyRef>()> focus;
    // Carried out later, on the window's own thread.
    std::function<void(KeyRef)> activate;
    std::function<void(KeyRef)> takeFocus;
  };
  explicit PageFace(Hooks hooks) : hooks_(std::move(hooks)) {}

  size_t ItemCount() const override;
  AccessibleItem Item(size_t index) const override;
  std::optional<size_t> FocusedItem() const override;
  void DoDefaultAction(size_t index) override;
  void TakeFocus(size_t index) override;

  // The item index of a key, if it is on the page shown.
  std::optional<size_t> IndexOf(KeyRef ref) const;

 private:
  std::vector<FocusStop> Order() const;
  Hooks hooks_;
};

}  // namespace nuv
