// The owner-drawn pop-up menus (macro context menu and tray menu): the item
// records, the depth-first conversion of a menu tree into owner-drawn items, the
// item sizes, and what an item looks like as a list of simple drawing operations.
// The Win32 menu class carries these out with the system's menus and GDI.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace nuv {

constexpr size_t kMenuRecordCapacity = 30;
// Characters of an item text that a record keeps (a 1024-unit buffer with its
// terminator).
constexpr size_t kMenuTextCapacity = 1023;

constexpr int32_t kMenuKindSeparator = 0;
constexpr int32_t kMenuKindSubMenu = -1;

// What the system's menu accessibility reads at the start of an owner-drawn
// item's data to name the item to a screen reader (the system cannot read the
// name from a drawn item): a signature, then the name's length in UTF-16
// units without its terminator and the name itself, terminated. The layout
// is the system's; winapp/nuv_menu.cpp checks it.
constexpr uint32_t kMenuAccessibleSignature = 0xAA0DF00D;
struct MenuAccessibleName {
  uint32_t signature = kMenuAccessibleSignature;
  uint32_t textLength = 0;
  const char16_t* text = nullptr;
};

// One converted item. Its address is the item's owner-draw data, so records
// never move while their menu exists.
struct MenuItemRecord {
  MenuItemRecord() { SetText({}); }
  MenuItemRecord(Text itemText, int32_t itemKind) : kind(itemKind) { SetText(std::move(itemText)); }
  // A copy names its own text, never the original's.
  MenuItemRecord(const MenuItemRecord& other) : MenuItemRecord(other.text, other.kind) {}
  MenuItemRecord& operator=(const MenuItemRecord& other) {
    kind = other.kind;
    SetText(other.text);
    return *this;
  }

  // Sets `text` and the accessible name that points into it; the one way to
  // change the text.
  void SetText(Text itemText) {
    text = std::move(itemText);
    accessibleName.textLength = static_cast<uint32_t>(text.size());
    accessibleName.text = text.c_str();
  }

  MenuAccessibleName accessibleName;  // first: the record's address is its address
  Text text;
  int32_t kind = kMenuKindSeparator;  // 0 separator, -1 opens a sub-menu, else the command
};

// An opaque handle of a system menu, as the menu tree hands it out.
using MenuHandle = uintptr_t;

// What the conversion needs of the system's menus. Positions count from 0.
class MenuTree {
 public:
  virtual ~MenuTree() = default;
  virtual int32_t ItemCount(MenuHandle menu) const = 0;
  virtual Text ItemText(MenuHandle menu, int32_t position) const = 0;
  // The item's identifier as the system reports it: -1 for an item that opens a
  // sub-menu, 0 for a separator.
  virtual int32_t ItemId(MenuHandle menu, int32_t position) const = 0;
  // The sub-menu the item opens, 0 if none.
  virtual MenuHandle SubMenu(MenuHandle menu, int32_t position) const = 0;
  // Turns the item into an owner-drawn one with `record` as its data, keeping
  // its identifier and the sub-menu it opens.
  virtual void MakeOwnerDrawn(MenuHandle menu, int32_t position, const MenuItemRecord& record) = 0;
};

// The fixed table of 30 records of one menu object.
class MenuRecords {
 public:
  MenuRecords() = default;
  MenuRecords(const MenuRecords&) = delete;  // item data points into the table
  MenuRecords& operator=(const MenuRecords&) = delete;

  // Forgets all records; the next conversion starts again at record 0.
  void Reset() { count_ = 0; }

  // Converts every item of `menu` and, depth first, of its sub-menus into
  // owner-drawn items, each with the next record. Items beyond the 30th are left
  // as they are (the system draws them), as are their sub-menus. Returns the
  // number of items converted by this call.
  size_t Convert(MenuTree& tree, MenuHandle menu);

  size_t count() const { return count_; }
  const MenuItemRecord& operator[](size_t i) const { return records_[i]; }
  // True if `data` is the address of one of the records in use.
  bool Owns(const void* data) const;

 private:
  // Recursion is bounded: every level first takes a record.
  void ConvertLevel(MenuTree& tree, MenuHandle menu);

  std::array<MenuItemRecord, kMenuRecordCapacity> records_{};
  size_t count_ = 0;
};

struct MenuItemSize {
  uint32_t width = 0;
  uint32_t height = 0;
  bool operator==(const MenuItemSize&) const = default;
};

// 8 pixels per character of the text and 20 high; a separator is 1 high.
MenuItemSize MeasureMenuItem(const MenuItemRecord& record);

struct MenuRgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const MenuRgb&) const = default;
};

// Half-open like the system's rectangles: right and bottom are outside.
struct MenuRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const MenuRect&) const = default;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
};

inline constexpr MenuRgb kMenuTextColour{255, 255, 255};
inline constexpr MenuRgb kMenuFillColour{0, 120, 153};
inline constexpr MenuRgb kMenuSeparatorLight{255, 0, 0};
inline constexpr MenuRgb kMenuSeparatorDark{0, 0, 255};
inline constexpr MenuRgb kMenuGradientTop{0, 0, 255};
inline constexpr MenuRgb kMenuGradientBottom{0, 255, 255};
inline constexpr MenuRgb kMenuSelectedFrame{0, 0, 0};
inline constexpr int32_t kMenuSeparatorIndent = 25;
inline constexpr int32_t kMenuTextIndent = 10;

// One drawing operation of an item. Fill paints `rect` in `colour`; Frame draws
// a 1-pixel outline just inside `rect`; Text draws `text` in `colour` with a
// transparent background, single line, vertically centred in `rect`, starting
// at its left edge, with the font the device context holds.
struct MenuDrawOp {
  enum class Kind { Fill, Frame, Text };
  Kind kind = Kind::Fill;
  MenuRect rect;
  MenuRgb colour;
  Text text;
  bool operator==(const MenuDrawOp&) const = default;
};

// The operations that draw one item in order: a separator as a three-dimensional
// frame from 25 pixels in (red top-left, blue bottom-right); any other item as
// its fill, or when selected a frame with a blue-to-cyan gradient inside, then
// its text 10 pixels in.
std::vector<MenuDrawOp> PlanMenuItem(const MenuItemRecord& record, MenuRect item, bool selected);

// The colour of row `row` (0 at the top) of a gradient `rows` high: each
// component steps by (end - start) / rows truncated to an integer, modulo 256.
MenuRgb GradientRow(MenuRgb top, MenuRgb bottom, int32_t rows, int32_t row);

enum class MenuRole { MacroContext, Tray };

// The menu resource of a role in a language (`uiLanguage` non-zero: English).
uint16_t MenuResourceId(MenuRole role, int32_t uiLanguage);

}  // namespace nuv
