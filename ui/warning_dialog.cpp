#include "ui/warning_dialog.h"

namespace nuv {

int WarningHoverAt(const WarningSkinTable& table, int32_t x, int32_t y) {
  if (table.rects[0].Contains(x, y)) return kWarningContinue;
  if (table.rects[1].Contains(x, y)) return kWarningCancel;
  return kWarningNoHover;
}

std::optional<int> WarningResultOfRelease(int hover) {
  if (hover == kWarningContinue || hover == kWarningCancel) return hover;
  return std::nullopt;
}

int WarningHoverAfterKey(int hover, bool forward) {
  if (hover == kWarningContinue) return kWarningCancel;
  if (hover == kWarningCancel) return kWarningContinue;
  return forward ? kWarningContinue : kWarningCancel;
}

AccessibleItem DescribeWarningItem(const WarningSkinTable& table, size_t index, int hover,
                                   int32_t language) {
  if (index >= kWarningItems) return {};
  // The message (key 2) is read first.
  const size_t key = index == 0 ? 2 : index - 1;
  const SkinRect& r = table.rects[key];
  AccessibleItem item;
  item.name = table.captions[key];
  item.rect = {r.x, r.y, r.width, r.height};
  if (index == 0) {
    item.role = AccessibleRole::kStaticText;
    return item;
  }
  const bool english = language != 0;
  if (item.name.empty()) {
    item.name =
        index == 1 ? (english ? u"Continue" : u"Continuar") : (english ? u"Cancel" : u"Cancelar");
  }
  item.role = AccessibleRole::kPushButton;
  item.state = access_state::kFocusable;
  if (hover == static_cast<int>(index)) item.state |= access_state::kFocused;
  item.defaultAction = english ? u"Press" : u"Pressionar";
  return item;
}

void PaintWarning(CanvasPort& canvas, const WarningSkinTable& table, int hover, int32_t language) {
  canvas.BeginPage(SkinPicture::kWarningNormal);
  if (hover == kWarningContinue || hover == kWarningCancel) {
    const SkinRect& r = table.rects[static_cast<size_t>(hover - 1)];
    canvas.CopyFrom(SkinPicture::kWarningOver, r.x, r.y, r.x, r.y, r.width, r.height);
  }
  canvas.SelectFont(language != 0 ? TextFont::kEnglish : TextFont::kSecondLanguage);
  for (size_t key = 0; key < kWarningSkinKeys; ++key) {
    const SkinRect& r = table.rects[key];
    const Text& caption = table.captions[key];
    if (caption.empty()) continue;
    const TextExtent extent = canvas.MeasureText(caption);
    canvas.PutText(r.x + (r.width - extent.width) / 2, r.y + (r.height - extent.height) / 2,
                   caption, kRedText);
  }
}

}  // namespace nuv
