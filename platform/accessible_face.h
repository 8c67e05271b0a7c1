// What assistive technology is told about a skinned face (the main window's
// page, a function popup, the warning): its items with the name a sighted
// user reads, their role, state, place and what their default action does.
// A port: the window's accessible object (platform/win32) answers the
// screen reader's questions from these; tests ask them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace nuv {

enum class AccessibleRole : uint8_t {
  kPushButton,
  kPageTab,
  kCheckBox,
  kRadioButton,
  kSlider,
  kEditText,
  kList,
  kMenuItem,
  kStaticText,
};

// State bits of an item, combined.
namespace access_state {
constexpr uint32_t kNone = 0;
constexpr uint32_t kPressed = 1u << 0;      // shown pressed (a held key, the shown page's tab)
constexpr uint32_t kChecked = 1u << 1;      // a check box or radio button that is on
constexpr uint32_t kSelected = 1u << 2;     // the chosen tab or row
constexpr uint32_t kFocused = 1u << 3;      // has the keyboard focus
constexpr uint32_t kUnavailable = 1u << 4;  // shown but does nothing now
constexpr uint32_t kFocusable = 1u << 5;
constexpr uint32_t kHasPopup = 1u << 6;  // opens a popup (the button labels)
}  // namespace access_state

// A box in a face's skin units, from the face's top-left corner.
struct AccessibleBox {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct AccessibleItem {
  Text name;
  AccessibleRole role = AccessibleRole::kPushButton;
  uint32_t state = access_state::kNone;
  // What the item shows as its value: a slider's "50ms", a label's function.
  Text value;
  // The verb of the default action ("Press", "Check", ...); empty: none.
  Text defaultAction;
  AccessibleBox rect;
};

// A face as assistive technology sees it. Items are counted from 0; the
// window's accessible object numbers its children from 1.
class AccessibleFace {
 public:
  virtual ~AccessibleFace() = default;
  // What the face as a whole is called; empty: the window's title.
  virtual Text FaceName() const { return {}; }
  virtual size_t ItemCount() const = 0;
  // Item `index` (< ItemCount()); an index out of range gives an empty item.
  virtual AccessibleItem Item(size_t index) const = 0;
  virtual std::optional<size_t> FocusedItem() const = 0;
  // The item's default action, as a click on it would do it. Called from
  // inside a question of another process: the face carries it out later (a
  // posted message), never while the question is being answered.
  virtual void DoDefaultAction(size_t index) = 0;
  // The keyboard focus moves to the item.
  virtual void TakeFocus(size_t index) = 0;
};

}  // namespace nuv
