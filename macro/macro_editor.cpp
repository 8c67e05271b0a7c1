#include "macro/macro_editor.h"

#include <algorithm>
#include <limits>

#include "res/menu_ids.h"

namespace nuv {

namespace {

constexpr int kMaxMacroSlot = kMacroSlotCount - 1;

uint16_t Limit(int32_t value, int32_t low, int32_t high) {
  return static_cast<uint16_t>(std::clamp(value, low, high));
}

}  // namespace

MacroMenuCommand MacroMenuCommandOf(uint32_t commandId) {
  using Op = MacroMenuOperation;
  struct Entry {
    uint32_t english;
    uint32_t second;
    Op operation;
    uint8_t key;
    uint8_t direction;
  };
  static constexpr Entry kEntries[] = {
      {ID_ADD_FORWARD_LEFT_DOWN_EN, ID_ADD_FORWARD_LEFT_DOWN_CN, Op::kInsertBefore, kLeftButtonKey,
       kKeyDown},
      {ID_ADD_FORWARD_LEFT_UP_EN, ID_ADD_FORWARD_LEFT_UP_CN, Op::kInsertBefore, kLeftButtonKey,
       kKeyUp},
      {ID_ADD_FORWARD_RIGHT_DOWN_EN, ID_ADD_FORWARD_RIGHT_DOWN_CN, Op::kInsertBefore,
       kRightButtonKey, kKeyDown},
      {ID_ADD_FORWARD_RIGHT_UP_EN, ID_ADD_FORWARD_RIGHT_UP_CN, Op::kInsertBefore, kRightButtonKey,
       kKeyUp},
      {ID_ADD_FORWARD_MID_DOWN_EN, ID_ADD_FORWARD_MID_DOWN_CN, Op::kInsertBefore, kMiddleButtonKey,
       kKeyDown},
      {ID_ADD_FORWARD_MID_UP_EN, ID_ADD_FORWARD_MID_UP_CN, Op::kInsertBefore, kMiddleButtonKey,
       kKeyUp},
      {ID_ADD_BACKWARD_LEFT_DOWN_EN, ID_ADD_BACKWARD_LEFT_DOWN_CN, Op::kInsertAfter, kLeftButtonKey,
       kKeyDown},
      {ID_ADD_BACKWARD_LEFT_UP_EN, ID_ADD_BACKWARD_LEFT_UP_CN, Op::kInsertAfter, kLeftButtonKey,
       kKeyUp},
      {ID_ADD_BACKWARD_RIGHT_DOWN_EN, ID_ADD_BACKWARD_RIGHT_DOWN_CN, Op::kInsertAfter,
       kRightButtonKey, kKeyDown},
      {ID_ADD_BACKWARD_RIGHT_UP_EN, ID_ADD_BACKWARD_RIGHT_UP_CN, Op::kInsertAfter, kRightButtonKey,
       kKeyUp},
      {ID_ADD_BACKWARD_MID_DOWN_EN, ID_ADD_BACKWARD_MID_DOWN_CN, Op::kInsertAfter, kMiddleButtonKey,
       kKeyDown},
      {ID_ADD_BACKWARD_MID_UP_EN, ID_ADD_BACKWARD_MID_UP_CN, Op::kInsertAfter, kMiddleButtonKey,
       kKeyUp},
      {ID_MACRO_MODIFY_DELAY_EN, ID_MACRO_MODIFY_DELAY_CN, Op::kModifyDelay, 0, 0},
      {ID_MACRO_DELETE_EN, ID_MACRO_DELETE_CN, Op::kDeleteEvent, 0, 0},
  };
  for (const Entry& e : kEntries) {
    if (commandId == e.english || commandId == e.second) return {e.operation, {e.key, e.direction}};
  }
  return {};
}

uint16_t ParseTypedPause(TextView text) {
  // A pause shown as "    250ms" may come back with its unit.
  const size_t unit = text.find(u"ms");
  if (unit != TextView::npos) text = text.substr(0, unit);
  return Limit(ParseInt(text), 0, 65535);
}

uint16_t ParseRepeatCount(TextView text) { return Limit(ParseInt(text), 1, 65535); }

Text LimitMacroName(TextView name) { return MacroRecord::Named(name).Name(); }

// ---- Lists ----

void MacroEditor::SetStartLine() {
  const int events = store_.Read(store_.currentMacro).EventCount();
  state_.selectedLine = events > 0 ? EventListLayout::EventLine(events - 1) : 0;
}

EventListContext MacroEditor::ListContext() {
  return EventListContext{views_.eventList, state_.counters,     uiLanguage,
                          state_.recording, state_.selectedLine, invalidateMainWindow};
}

void MacroEditor::ShowRepeatBox(const MacroRecord& record) {
  const bool repeats = record.repeatMode == 1;
  views_.repeatBox.SetText(repeats ? FormatInt(record.RepeatCount()) : Text(u"1"));
  views_.repeatBox.SetEnabled(repeats);
}

void MacroEditor::RebuildEventList(int macro) {
  EventListContext list = ListContext();
  ClearEventList(list);
  const MacroRecord& record = store_.Read(macro);
  const int events = record.EventCount();
  // An empty macro leaves the repeat-count box as it was.
  if (events == 0) return;
  for (int k = 0; k < events; ++k) AppendEventLines(record, k, list);
  ShowRepeatBox(record);
}

void MacroEditor::MacroSelected() {
  const int selection = views_.macroList.Selection();
  if (selection < 0 || selection > kMaxMacroSlot) return;
  store_.currentMacro = selection;
  views_.nameBox.SetText(views_.macroList.LineText(selection));
  RebuildEventList(selection);
}

void MacroEditor::RefillMacroList() {
  LineListView& list = views_.macroList;
  list.DeleteAllLines();
  const int count = store_.Count();
  for (int i = 0; i < count; ++i) list.AddLine(store_.Read(i).Name());
  if (count == 0) return;
  const int current = std::clamp<int>(store_.currentMacro, 0, std::max(list.LineCount() - 1, 0));
  store_.currentMacro = current;
  list.SelectLine(current);
  MacroSelected();
}

// ---- Keys ----

void MacroEditor::NewMacro() {
  // The name as a record holds it, so that a long name matching an existing
  // macro in its first 19 characters selects that macro instead of making a
  // second one of the same name.
  const Text name = LimitMacroName(views_.nameBox.GetText());
  views_.macroList.Focus();
  const int count = store_.Count();
  if (count >= kMacroSlotCount || name.empty()) return;
  int slot = 0;
  while (slot < count && store_.Read(slot).Name() != name) ++slot;
  store_.currentMacro = slot;
  if (slot == count) {
    store_.Modify(slot, [&name](MacroRecord& r) {
      r.SetName(name);
      r.ResetPlayback();
    });
    views_.eventList.DeleteAllLines();
    views_.macroList.AddLine(name);
    store_.SetCount(count + 1);
  }
  // Only the selection moves: an existing macro's events stay in the list
  // until the user picks it.
  views_.macroList.SelectLine(slot);
}

void MacroEditor::DeleteMacro() {
  LineListView& list = views_.macroList;
  if (state_.recording || list.LineCount() == 0) return;
  const int count = store_.Count();
  const int doomed = list.Selection();
  if (doomed < 0 || doomed >= count) return;
  store_.MoveDown(doomed);
  list.DeleteLine(doomed);
  const int next = doomed > 0 ? doomed - 1 : 0;
  list.SelectLine(next);
  store_.currentMacro = next;
  if (list.LineCount() == 0) {
    views_.nameBox.SetText(Text());
    views_.repeatBox.SetText(u"1");
    views_.repeatBox.SetEnabled(false);
  } else {
    views_.nameBox.SetText(list.LineText(next));
  }
  store_.SetCount(count - 1);
  // The vacated last slot plays once, with no events.
  store_.Modify(count - 1, [](MacroRecord& r) { r.ResetPlayback(); });
  RebuildEventList(next);
}

void MacroEditor::TakeRepeatCount() {
  const int32_t typed = ParseInt(views_.repeatBox.GetText());
  const uint16_t count = ParseRepeatCount(views_.repeatBox.GetText());
  if (typed != count) views_.repeatBox.SetText(FormatInt(count));
  const int macro = store_.currentMacro;
  if (macro < 0 || macro >= store_.Count()) return;
  store_.Modify(macro, [count](MacroRecord& r) { r.SetRepeatCount(count); });
}

void MacroEditor::ToggleRepeatMode() {
  const int macro = store_.currentMacro;
  if (macro < 0 || macro >= store_.Count()) return;
  store_.Modify(macro, [](MacroRecord& r) { r.repeatMode = r.repeatMode == 0 ? 1 : 0; });
  ShowRepeatBox(store_.Read(macro));
  if (invalidateMainWindow) invalidateMainWindow();
}

void MacroEditor::NameBoxChanged() {
  const Text typed = views_.nameBox.GetText();
  const Text limited = LimitMacroName(typed);
  if (limited.size() < typed.size()) views_.nameBox.SetText(limited);
}

// ---- Context menu ----

bool MacroEditor::EventListRightClick(const ListClick& click) {
  EditableListView& list = views_.eventList;
  // 64 bits: a scroll position and line height from the system could overflow
  // their product.
  int64_t line = 0;
  if (click.lineHeight != 0) {
    line =
        (int64_t{click.lineHeight} * click.scrollPosition + click.y - click.top) / click.lineHeight;
  }
  line = std::clamp<int64_t>(line, -1, std::numeric_limits<int32_t>::max());
  state_.selectedLine = static_cast<int32_t>(line);
  list.SelectLine(state_.selectedLine);
  state_.menuLineCount = list.LineCount();

  const bool inside = click.x >= click.left && click.x < click.right && click.y >= click.top &&
                      click.y < click.bottom;
  const bool opens = inside && (line < state_.menuLineCount || state_.menuLineCount == 0);

  state_.menuMacro = std::min(views_.macroList.Selection(), kMaxMacroSlot);
  state_.menuEvent = EventListLayout::EventOfLine(list.Selection());
  return opens;
}

bool MacroEditor::MenuAllowed() const {
  return !state_.recording && views_.macroList.Selection() >= 0 && state_.menuMacro >= 0 &&
         state_.menuMacro < store_.Count();
}

bool MacroEditor::RunMenuCommand(uint32_t commandId) {
  const MacroMenuCommand command = MacroMenuCommandOf(commandId);
  if (command.operation == MacroMenuOperation::kNone) return false;
  if (!MenuAllowed()) return true;
  const bool emptyList = views_.eventList.LineCount() == 0;
  switch (command.operation) {
    case MacroMenuOperation::kInsertBefore:
      InsertEvent(state_.menuMacro, emptyList ? 0 : state_.menuEvent, command.event);
      break;
    case MacroMenuOperation::kInsertAfter:
      InsertEvent(state_.menuMacro, emptyList ? 0 : state_.menuEvent + 1, command.event);
      if (emptyList) {
        state_.selectedLine = 0;
        views_.eventList.SelectLine(0);
      }
      break;
    case MacroMenuOperation::kModifyDelay:
      ModifyDelay();
      break;
    case MacroMenuOperation::kDeleteEvent:
      DeleteEvent();
      break;
    case MacroMenuOperation::kNone:
      break;
  }
  return true;
}

void MacroEditor::InsertEvent(int macro, int position, MacroEvent event) {
  if (macro < 0 || macro >= store_.Count()) return;
  const int events = store_.Read(macro).EventCount();
  if (events >= kMacroEventSlots) {
    messages_.Show(kOverflowText, caption);
    return;
  }
  position = std::clamp(position, 0, events);
  store_.Modify(macro, [&](MacroRecord& r) {
    // Later events move up one slot, each with the pause before it; the pause
    // before the new event stays where it was.
    for (int i = events; i > position; --i) {
      r.events[i] = r.events[i - 1];
      r.SetDelay(i + 1, r.Delay(i));
    }
    r.events[position] = event;
    r.SetDelay(position + 1, kInsertedEventPause);
    r.eventCount = static_cast<uint8_t>(events + 1);
  });
  state_.selectedLine += 2;
  RebuildEventList(macro);
}

void MacroEditor::ModifyDelay() {
  if (state_.menuLineCount == 0 || !EventListLayout::IsDelayLine(state_.selectedLine)) return;
  views_.eventList.BeginEdit();
}

void MacroEditor::DeleteEvent() {
  const int macro = state_.menuMacro;
  if (macro < 0 || macro >= store_.Count()) return;
  const int doomed = std::max(state_.menuEvent, 0);
  store_.Modify(macro, [doomed](MacroRecord& r) {
    const int events = std::max(r.EventCount() - 1, 0);
    // Later events move down one slot, each with the pause before it; the
    // pause after the deleted event goes.
    for (int i = doomed; i < events; ++i) {
      r.events[i] = r.events[i + 1];
      r.SetDelay(i + 1, r.Delay(i + 2));
    }
    r.eventCount = static_cast<uint8_t>(events);
  });
  state_.selectedLine = state_.selectedLine < 3 ? 0 : state_.selectedLine - 2;
  RebuildEventList(macro);
}

void MacroEditor::DelayEdited() {
  const int macro = state_.menuMacro;
  if (state_.recording || macro < 0 || macro >= store_.Count()) return;
  // Only a pause line carries a pause: the edit may have been opened over an
  // event line (the character 1 typed into the list), whose text is no pause.
  const int line = state_.selectedLine;
  if (!EventListLayout::IsDelayLine(line) || line >= views_.eventList.LineCount()) return;
  const uint16_t pause = ParseTypedPause(views_.eventList.LineText(line));
  // Line 2k - 1 shows delay word k, the pause before event k.
  store_.Modify(macro,
                [&](MacroRecord& r) { r.SetDelay(EventListLayout::EventOfLine(line) + 1, pause); });
  RebuildEventList(macro);
}

}  // namespace nuv
