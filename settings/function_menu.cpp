#include "settings/function_menu.h"

#include <algorithm>

namespace nuv {

namespace {

// Codes of a group's rows are row + this.
int GroupBase(int firstLevelRow) {
  switch (firstLevelRow) {
    case kGroupRowShortcuts:
      return 10;
    case kGroupRowSystem:
      return 20;
    case kGroupRowMacros:
      return 40;
    case kGroupRowActions:
      return 30;
    default:
      return 0;
  }
}

}  // namespace

MenuGeometry FirstLevelGeometry(int32_t maskWidth, int32_t maskHeight) {
  MenuGeometry g;
  g.width = maskWidth > 0 ? maskWidth : 0;
  g.rowHeight = maskHeight > 0 ? maskHeight / kFirstLevelMaskRows : 0;
  g.regionHeight = g.rowHeight > 0 ? kFirstLevelRows * g.rowHeight + 1 : 0;
  return g;
}

MenuGeometry SecondLevelGeometry(int32_t maskWidth, int32_t maskHeight, int rowCount) {
  MenuGeometry g;
  g.width = maskWidth > 0 ? maskWidth : 0;
  g.rowHeight = maskHeight > 0 ? maskHeight / kSecondLevelMaskRows : 0;
  // No macros: an empty, invisible window.
  g.regionHeight = g.rowHeight > 0 && rowCount > 0 ? rowCount * g.rowHeight + 1 : 0;
  return g;
}

int MenuRowAt(const MenuGeometry& g, int32_t x, int32_t y) {
  if (g.rowHeight <= 0 || x < 0 || x >= g.width || y < 0) return kNoRow;
  const int64_t row = int64_t{y} / g.rowHeight + 1;
  return row <= kRowsTried ? static_cast<int>(row) : kNoRow;
}

bool IsGroupRow(int firstLevelRow) { return GroupBase(firstLevelRow) != 0; }

int GroupRowCount(int firstLevelRow, int macroCount) {
  switch (firstLevelRow) {
    case kGroupRowShortcuts:
      return 9;
    case kGroupRowSystem:
      return 6;
    case kGroupRowMacros:
      return std::clamp(macroCount, 0, kMacroSlotCount);
    case kGroupRowActions:
      return 10;
    default:
      return 0;
  }
}

std::optional<int32_t> GroupRowCode(int firstLevelRow, int row, int macroCount) {
  if (row < 1 || row > GroupRowCount(firstLevelRow, macroCount)) return std::nullopt;
  return GroupBase(firstLevelRow) + row;
}

Text GroupRowText(int firstLevelRow, int row, const FunctionNameTable& names,
                  const MacroStore& macros) {
  if (firstLevelRow == kGroupRowMacros) return macros.Read(row - 1).Name();
  return FunctionName(names, GroupBase(firstLevelRow) + row);
}

int32_t SecondLevelTop(int32_t firstLevelTop, int32_t rowHeight, int firstLevelRow,
                       int macroCount) {
  int rows = 0;
  switch (firstLevelRow) {
    case kGroupRowShortcuts:
      rows = -1;
      break;
    case kGroupRowSystem:
      rows = 2;
      break;
    case kGroupRowMacros:
      rows = 9 - GroupRowCount(kGroupRowMacros, macroCount);
      break;
    default:
      break;
  }
  return firstLevelTop + rows * rowHeight;
}

std::optional<int32_t> FirstLevelChoice(int row) {
  if (row < 1 || row > 6) return std::nullopt;
  return row;
}

bool NeedsPrimaryClickWarning(const MouseProfile& profile, int button) {
  for (int i = 1; i <= kButtonCount; ++i) {
    if (i != button && profile.buttons[static_cast<size_t>(i - 1)] == kFnPrimaryClick) {
      return false;
    }
  }
  return true;
}

void PaintMenuLevel(CanvasPort& canvas, const MenuPictures& pictures, const MenuGeometry& g,
                    int rows, const std::function<Text(int row)>& rowText, int hoveredRow,
                    bool pressed, int32_t language) {
  canvas.BeginPage(pictures.normal);
  if (hoveredRow >= 1 && hoveredRow <= kRowsTried) {
    const int32_t top = (hoveredRow - 1) * g.rowHeight;
    canvas.CopyFrom(pressed ? pictures.down : pictures.over, 0, top, 0, top, g.width, g.rowHeight);
  }
  canvas.SelectFont(language != 0 ? TextFont::kEnglish : TextFont::kSecondLanguage);
  for (int i = 1; i <= rows; ++i) {
    const Text text = rowText(i);
    const TextExtent extent = canvas.MeasureText(text);
    canvas.PutText((g.width - extent.width) / 2,
                   (i - 1) * g.rowHeight + (g.rowHeight - extent.height) / 2, text,
                   i == hoveredRow ? kRedText : kWhiteText);
  }
}

namespace {

int Wrapped(int row, int rows, bool down) {
  if (row < 1 || row > rows) return down ? 1 : rows;
  return down ? row % rows + 1 : (row + rows - 2) % rows + 1;
}

}  // namespace

MenuKeyResult FirstLevelKey(int row, MenuKey key) {
  const bool onRow = row >= 1 && row <= kFirstLevelRows;
  switch (key) {
    case MenuKey::kUp:
    case MenuKey::kDown:
      return {MenuKeyAction::kMove, Wrapped(row, kFirstLevelRows, key == MenuKey::kDown)};
    case MenuKey::kRight:
      return onRow && IsGroupRow(row) ? MenuKeyResult{MenuKeyAction::kOpenLevel, row}
                                      : MenuKeyResult{};
    case MenuKey::kChoose:
      if (onRow && IsGroupRow(row)) return {MenuKeyAction::kOpenLevel, row};
      return FirstLevelChoice(row) ? MenuKeyResult{MenuKeyAction::kChoose, row} : MenuKeyResult{};
    case MenuKey::kLeft:
    case MenuKey::kEscape:
      return {MenuKeyAction::kClose, kNoRow};
  }
  return {};
}

MenuKeyResult SecondLevelKey(int row, int rows, MenuKey key) {
  switch (key) {
    case MenuKey::kUp:
    case MenuKey::kDown:
      if (rows < 1) return {};
      return {MenuKeyAction::kMove, Wrapped(row, rows, key == MenuKey::kDown)};
    case MenuKey::kChoose:
      return row >= 1 && row <= rows ? MenuKeyResult{MenuKeyAction::kChoose, row} : MenuKeyResult{};
    case MenuKey::kLeft:
    case MenuKey::kEscape:
      return {MenuKeyAction::kBack, kNoRow};
    case MenuKey::kRight:
      return {};
  }
  return {};
}

size_t MenuLevelFace::ItemCount() const { return static_cast<size_t>(std::max(0, hooks_.rows())); }

AccessibleItem MenuLevelFace::Item(size_t index) const {
  if (index >= ItemCount()) return {};
  const int row = static_cast<int>(index) + 1;
  const bool english = hooks_.language() != 0;
  const MenuGeometry g = hooks_.geometry();
  AccessibleItem item;
  item.name = hooks_.rowText(row);
  item.role = AccessibleRole::kMenuItem;
  item.state = access_state::kFocusable;
  if (hooks_.hoveredRow() == row) item.state |= access_state::kFocused | access_state::kSelected;
  const bool opens = hooks_.opensLevel(row);
  if (opens) item.state |= access_state::kHasPopup;
  item.defaultAction = opens ? (english ? u"Open" : u"Abrir") : (english ? u"Choose" : u"Escolher");
  item.rect = {0, (row - 1) * g.rowHeight, g.width, g.rowHeight};
  return item;
}

std::optional<size_t> MenuLevelFace::FocusedItem() const {
  const int row = hooks_.hoveredRow();
  if (row < 1 || row > hooks_.rows()) return std::nullopt;
  return static_cast<size_t>(row - 1);
}

void MenuLevelFace::DoDefaultAction(size_t index) {
  if (index < ItemCount()) hooks_.choose(static_cast<int>(index) + 1);
}

void MenuLevelFace::TakeFocus(size_t index) {
  if (index < ItemCount()) hooks_.hover(static_cast<int>(index) + 1);
}

}  // namespace nuv
