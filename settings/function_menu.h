// Choosing a button's function: two levels of skinned popups beside the
// button's label. The first level has ten rows: functions 1..6 and four
// group rows (7, 8, 9 macros, 10) that open a second level with the group's
// functions. A choice stores the code in the working profile and keeps a
// primary click on the mouse; nothing is sent before the next apply.
//
// These are the popups' decisions; CMenuDlg and CSubMenuDlg (winapp/) carry
// them out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "macro/macro_store.h"
#include "platform/accessible_face.h"
#include "platform/canvas_port.h"
#include "settings/mouse_profile.h"
#include "ui/skin_tables.h"

namespace nuv {

constexpr int kFirstLevelRows = 10;
// Rows 1..12 are tried by a hit test; only those of the window's region can
// be under the pointer.
constexpr int kRowsTried = 12;
constexpr int kNoRow = 255;
// The row heights come from the mask pictures: a tenth of the first level's,
// a twelfth of the second level's.
constexpr int kFirstLevelMaskRows = 10;
constexpr int kSecondLevelMaskRows = 12;
// The window titles by which the levels and the main window find each other.
constexpr char16_t kFirstLevelTitle[] = u"MainMenuDlg";
// Size of the popups when they are placed (the region cuts them to their rows).
constexpr int32_t kFirstLevelSize = 300;
constexpr int32_t kSecondLevelWidth = 300;
constexpr int32_t kSecondLevelHeight = 400;

// The group rows of the first level.
constexpr int kGroupRowShortcuts = 7;  // codes 11..19
constexpr int kGroupRowSystem = 8;     // codes 21..26
constexpr int kGroupRowMacros = 9;     // codes 41..52, one row per macro
constexpr int kGroupRowActions = 10;   // codes 31..40

struct MenuGeometry {
  int32_t width = 0;
  int32_t rowHeight = 0;
  // Height of the window's rectangular region: the rows and one pixel more.
  int32_t regionHeight = 0;
};
// From the mask picture's size. No row height (a missing or tiny mask) gives
// an empty region.
MenuGeometry FirstLevelGeometry(int32_t maskWidth, int32_t maskHeight);
MenuGeometry SecondLevelGeometry(int32_t maskWidth, int32_t maskHeight, int rowCount);

// The row (1..12) whose strip (0, (i - 1) * h, width, h) holds the point, or
// 255. The pixel below the last row of the region lies in row rows + 1,
// which stores nothing.
int MenuRowAt(const MenuGeometry& geometry, int32_t x, int32_t y);

bool IsGroupRow(int firstLevelRow);
// Rows of the second level that a group row opens: 9, 6, the macro count, 10.
int GroupRowCount(int firstLevelRow, int macroCount);
// The code of row r of a group (no code for a row outside the group).
std::optional<int32_t> GroupRowCode(int firstLevelRow, int row, int macroCount);
// The text of a group's row: the function's name, or the macro slot's name.
Text GroupRowText(int firstLevelRow, int row, const FunctionNameTable& names,
                  const MacroStore& macros);

// Top of the second level for a hovered group row, from the first level's
// top: one row up for row 7, two down for row 8, level with the first for
// row 10; the macro group's last row lines up with row 9.
int32_t SecondLevelTop(int32_t firstLevelTop, int32_t rowHeight, int firstLevelRow, int macroCount);

// The code a release over first-level row `row` stores (rows 1..6 only).
std::optional<int32_t> FirstLevelChoice(int row);

// True when none of the six other buttons holds the primary click: giving
// `button` another function needs the user's confirmation first.
bool NeedsPrimaryClickWarning(const MouseProfile& profile, int button);

// ---- The keyboard in the popups ----

// Up and Down move over the rows (wrapping; from no row Down takes the first
// and Up the last); Right and Choose (Return, Space) open a group row's
// second level; Choose on rows 1..6 takes the function; Escape and Left
// close the first level, or leave the second for the first.
enum class MenuKey : uint8_t { kUp, kDown, kLeft, kRight, kChoose, kEscape };
enum class MenuKeyAction : uint8_t { kNone, kMove, kOpenLevel, kChoose, kBack, kClose };
struct MenuKeyResult {
  MenuKeyAction action = MenuKeyAction::kNone;
  int row = kNoRow;
  bool operator==(const MenuKeyResult&) const = default;
};
MenuKeyResult FirstLevelKey(int row, MenuKey key);
MenuKeyResult SecondLevelKey(int row, int rows, MenuKey key);

// A level as assistive technology sees it: its rows as menu items, the
// hovered one focused and selected, group rows opening a popup.
class MenuLevelFace : public AccessibleFace {
 public:
  struct Hooks {
    std::function<Text()> name;
    std::function<int()> rows;
    std::function<Text(int row)> rowText;
    std::function<bool(int row)> opensLevel;
    std::function<MenuGeometry()> geometry;
    std::function<int()> hoveredRow;
    std::function<int32_t()> language;
    // Carried out later, on the window's thread: the row's choice, the
    // row hovered.
    std::function<void(int row)> choose;
    std::function<void(int row)> hover;
  };
  explicit MenuLevelFace(Hooks hooks) : hooks_(std::move(hooks)) {}
  Text FaceName() const override { return hooks_.name(); }
  size_t ItemCount() const override;
  AccessibleItem Item(size_t index) const override;
  std::optional<size_t> FocusedItem() const override;
  void DoDefaultAction(size_t index) override;
  void TakeFocus(size_t index) override;

 private:
  Hooks hooks_;
};

// The pictures of a level.
struct MenuPictures {
  SkinPicture normal;
  SkinPicture over;
  SkinPicture down;
};
constexpr MenuPictures kFirstLevelPictures{SkinPicture::kMenuNormal, SkinPicture::kMenuOver,
                                           SkinPicture::kMenuDown};
constexpr MenuPictures kSecondLevelPictures{SkinPicture::kSubMenuNormal, SkinPicture::kSubMenuOver,
                                            SkinPicture::kSubMenuDown};

// A level's face: the normal picture, the hovered row's strip from the over
// picture (the down picture while pressed), and row i's text centred in its
// strip, red when hovered and white otherwise, in the interface font.
void PaintMenuLevel(CanvasPort& canvas, const MenuPictures& pictures, const MenuGeometry& geometry,
                    int rows, const std::function<Text(int row)>& rowText, int hoveredRow,
                    bool pressed, int32_t language);

}  // namespace nuv
