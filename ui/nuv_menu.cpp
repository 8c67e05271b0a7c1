#include "ui/nuv_menu.h"

#include <utility>

#include "res/menu_ids.h"

namespace nuv {

size_t MenuRecords::Convert(MenuTree& tree, MenuHandle menu) {
  const size_t before = count_;
  ConvertLevel(tree, menu);
  return count_ - before;
}

void MenuRecords::ConvertLevel(MenuTree& tree, MenuHandle menu) {
  const int32_t items = tree.ItemCount(menu);
  for (int32_t position = 0; position < items; ++position) {
    // A full table leaves the rest of the menu to the system rather than
    // writing past the records.
    if (count_ >= kMenuRecordCapacity) return;
    MenuItemRecord& record = records_[count_];
    Text text = tree.ItemText(menu, position);
    if (text.size() > kMenuTextCapacity) text.resize(kMenuTextCapacity);
    record.SetText(std::move(text));
    record.kind = tree.ItemId(menu, position);
    tree.MakeOwnerDrawn(menu, position, record);
    ++count_;
    if (const MenuHandle sub = tree.SubMenu(menu, position)) ConvertLevel(tree, sub);
  }
}

bool MenuRecords::Owns(const void* data) const {
  for (size_t i = 0; i < count_; ++i) {
    if (data == &records_[i]) return true;
  }
  return false;
}

MenuItemSize MeasureMenuItem(const MenuItemRecord& record) {
  MenuItemSize size;
  size.width = static_cast<uint32_t>(8 * record.text.size());
  size.height = record.kind == kMenuKindSeparator ? 1 : 20;
  return size;
}

MenuRgb GradientRow(MenuRgb top, MenuRgb bottom, int32_t rows, int32_t row) {
  if (rows <= 0) return top;
  const auto component = [&](uint8_t start, uint8_t end) {
    // The step is truncated, so the last row falls short of the end colour.
    const auto step = static_cast<int32_t>(static_cast<double>(end - start) / rows);
    return static_cast<uint8_t>((start + step * row) & 0xFF);
  };
  return {component(top.red, bottom.red), component(top.green, bottom.green),
          component(top.blue, bottom.blue)};
}

namespace {

void AddFill(std::vector<MenuDrawOp>& plan, MenuRect rect, MenuRgb colour) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  plan.push_back({MenuDrawOp::Kind::Fill, rect, colour, {}});
}

// A raised frame: the dark bottom and right edges first, then the light top and
// left ones, so that a frame only one pixel high still shows both colours (a
// light line ending in a dark pixel).
void AddFrame3d(std::vector<MenuDrawOp>& plan, MenuRect r, MenuRgb light, MenuRgb dark) {
  if (r.width() <= 0 || r.height() <= 0) return;
  AddFill(plan, {r.right - 1, r.top, r.right, r.bottom}, dark);
  AddFill(plan, {r.left, r.bottom - 1, r.right, r.bottom}, dark);
  AddFill(plan, {r.left, r.top, r.right - 1, r.top + 1}, light);
  AddFill(plan, {r.left, r.top, r.left + 1, r.bottom - 1}, light);
}

}  // namespace

std::vector<MenuDrawOp> PlanMenuItem(const MenuItemRecord& record, MenuRect item, bool selected) {
  std::vector<MenuDrawOp> plan;
  if (record.kind == kMenuKindSeparator) {
    MenuRect line = item;
    line.left += kMenuSeparatorIndent;
    AddFrame3d(plan, line, kMenuSeparatorLight, kMenuSeparatorDark);
    return plan;
  }
  if (!selected) {
    AddFill(plan, item, kMenuFillColour);
  } else {
    if (item.width() > 0 && item.height() > 0)
      plan.push_back({MenuDrawOp::Kind::Frame, item, kMenuSelectedFrame, {}});
    const MenuRect inner{item.left + 1, item.top + 1, item.right - 1, item.bottom - 1};
    const int32_t rows = inner.height();
    for (int32_t row = 0; row < rows; ++row) {
      AddFill(plan, {inner.left, inner.top + row, inner.right, inner.top + row + 1},
              GradientRow(kMenuGradientTop, kMenuGradientBottom, rows, row));
    }
  }
  MenuRect textBox = item;
  textBox.left += kMenuTextIndent;
  plan.push_back({MenuDrawOp::Kind::Text, textBox, kMenuTextColour, record.text});
  return plan;
}

uint16_t MenuResourceId(MenuRole role, int32_t uiLanguage) {
  const bool english = uiLanguage != 0;
  if (role == MenuRole::Tray) return english ? IDR_MENU_TRAY_EN : IDR_MENU_TRAY_CN;
  return english ? IDR_MENU_MACRO_EN : IDR_MENU_MACRO_CN;
}

}  // namespace nuv
