#include "macro/macro_store.h"

#include <algorithm>
#include <cstring>

namespace nuv {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

const MacroRecord& EmptyRecord() {
  static const MacroRecord empty{};
  return empty;
}

}  // namespace

// ---- MacroRecord ----

Text MacroRecord::Name() const {
  size_t n = 0;
  while (n < kMacroNameMaxChars && name[n] != u'\0') ++n;
  return Text(name, n);
}

void MacroRecord::SetName(TextView text) {
  std::fill(std::begin(name), std::end(name), u'\0');
  size_t n = std::min(text.size(), kMacroNameMaxChars);
  if (n < text.size() && n > 0 && IsHighSurrogate(text[n - 1])) --n;
  // A name ends at its first NUL in the record, so an embedded NUL cuts it there.
  n = std::min(n, text.substr(0, n).find(u'\0'));
  std::copy_n(text.data(), n, name);
}

uint16_t MacroRecord::RepeatCount() const {
  return static_cast<uint16_t>(repeatCountBytes[0] | (repeatCountBytes[1] << 8));
}

void MacroRecord::SetRepeatCount(uint16_t count) {
  repeatCountBytes[0] = static_cast<uint8_t>(count & 0xFF);
  repeatCountBytes[1] = static_cast<uint8_t>(count >> 8);
}

MacroEvent MacroRecord::Event(int k) const {
  if (k < 0 || k >= kMacroEventSlots) return MacroEvent{};
  return events[k];
}

uint16_t MacroRecord::Delay(int j) const {
  if (j < 0 || j >= kMacroDelayWords) return 0;
  return delays[j];
}

void MacroRecord::SetDelay(int j, uint16_t ms) {
  if (j < 0 || j >= kMacroDelayWords) return;
  delays[j] = ms;
}

void MacroRecord::ResetPlayback() {
  repeatMode = 0;
  SetRepeatCount(1);
  eventCount = 0;
}

MacroRecord MacroRecord::Named(TextView text) {
  MacroRecord record{};
  record.SetName(text);
  record.ResetPlayback();
  return record;
}

std::array<uint8_t, kMacroRecordSize> MacroRecord::Bytes() const {
  std::array<uint8_t, kMacroRecordSize> bytes;
  std::memcpy(bytes.data(), this, kMacroRecordSize);
  return bytes;
}

MacroRecord MacroRecord::FromBytes(const std::array<uint8_t, kMacroRecordSize>& bytes) {
  MacroRecord record{};
  std::memcpy(&record, bytes.data(), kMacroRecordSize);
  return record;
}

// ---- MacroStore ----

MacroStore::MacroStore() { records_.fill(MacroRecord{}); }

void MacroStore::SetCount(int count) {
  count_.store(static_cast<int16_t>(std::clamp(count, 0, kMacroSlotCount)),
               std::memory_order_release);
}

const MacroRecord& MacroStore::Read(int slot) const {
  return Valid(slot) ? records_[static_cast<size_t>(slot)] : EmptyRecord();
}

MacroRecord MacroStore::Snapshot(int slot) const {
  if (!Valid(slot)) return MacroRecord{};
  std::lock_guard lock(mutex_);
  return records_[static_cast<size_t>(slot)];
}

void MacroStore::Write(int slot, const MacroRecord& record) {
  if (!Valid(slot)) return;
  std::lock_guard lock(mutex_);
  records_[static_cast<size_t>(slot)] = record;
}

void MacroStore::Modify(int slot, const std::function<void(MacroRecord&)>& change) {
  if (!Valid(slot)) return;
  // The change works on a copy so the lock is not held while caller code runs.
  MacroRecord record = records_[static_cast<size_t>(slot)];
  change(record);
  Write(slot, record);
}

void MacroStore::Assign(int count, const MacroRecord* records) {
  count = std::clamp(count, 0, kMacroSlotCount);
  {
    std::lock_guard lock(mutex_);
    std::copy_n(records, count, records_.begin());
  }
  SetCount(count);
}

void MacroStore::MoveDown(int from) {
  if (!Valid(from)) return;
  const int count = Count();
  std::lock_guard lock(mutex_);
  for (int i = from; i + 1 < count; ++i)
    records_[static_cast<size_t>(i)] = records_[static_cast<size_t>(i) + 1];
}

// ---- Event naming ----

namespace {

// Names of the keys that have one; nullptr elsewhere.
using NameTable = std::array<const char16_t*, 256>;

NameTable BuildNameTable() {
  NameTable t{};
  const auto range = [&t](int first, std::initializer_list<const char16_t*> names) {
    for (const char16_t* n : names) t[static_cast<size_t>(first++)] = n;
  };
  range(8, {u"BACK", u"TAB"});
  range(12, {u"CLEAR", u"RETURN"});
  range(16, {u"SHIFT", u"CONTROL", u"MENU", u"PAUSE", u"CAPITAL", u"KANA"});
  range(23, {u"JUNJA", u"FINAL", u"HANJA"});
  range(27, {u"ESCAPE", u"CONVERT", u"NONCONVERT", u"ACCEPT",   u"MODECHANGE", u"SPACE",  u"PRIOR",
             u"NEXT",   u"END",     u"HOME",       u"LEFT",     u"UP",         u"RIGHT",  u"DOWN",
             u"SELECT", u"PRINT",   u"EXECUTE",    u"SNAPSHOT", u"INSERT",     u"DELETE", u"HELP"});
  range(91, {u"LWIN", u"RWIN", u"APPS"});
  range(95, {u"SLEEP",    u"NUMPAD0", u"NUMPAD1", u"NUMPAD2", u"NUMPAD3",  u"NUMPAD4", u"NUMPAD5",
             u"NUMPAD6",  u"NUMPAD7", u"NUMPAD8", u"NUMPAD9", u"MULTIPLY", u"ADD",     u"SEPARATOR",
             u"SUBTRACT", u"DECIMAL", u"DIVIDE",  u"F1",      u"F2",       u"F3",      u"F4",
             u"F5",       u"F6",      u"F7",      u"F8",      u"F9",       u"F10",     u"F11",
             u"F12",      u"F13",     u"F14",     u"F15",     u"F16",      u"F17",     u"F18",
             u"F19",      u"F20",     u"F21",     u"F22",     u"F23",      u"F24"});
  range(144, {u"NUMLOCK", u"SCROLL"});
  range(160, {u"LSHIFT", u"RSHIFT", u"LCONTROL", u"RCONTROL", u"LMENU", u"RMENU"});
  range(186, {u";:", u"+", u",", u"-", u".", u"/?", u"`~"});
  range(219, {u"[{", u"\\|", u"]}", u" ' "});
  range(240, {u"Left_Key", u"Right_Key", u"Middle_Key"});
  return t;
}

}  // namespace

Text EventKeyName(int code, int32_t ui_language) {
  if (code >= 'A' && code <= 'Z') return Text(1, static_cast<char16_t>(code));
  if (code >= '0' && code <= '9') return FormatInt(code - '0');
  static const NameTable table = BuildNameTable();
  if (code >= 0 && code < 256 && table[static_cast<size_t>(code)] != nullptr)
    return table[static_cast<size_t>(code)];
  return ui_language != 0 ? Text(u"Not Available") : Text(u"不可录制");
}

Text EventText(MacroEvent event, int32_t ui_language) {
  Text name = EventKeyName(event.key, ui_language);
  if (event.direction == kKeyDown) return u"[↓]" + name;
  if (event.direction == kKeyUp) return u"[↑]" + name;
  return name;
}

Text DelayLineText(uint16_t ms) { return u"    " + FormatInt(ms) + u"ms"; }

// ---- Event list ----

void ClearEventList(EventListContext& list) {
  list.counters.downCount = 0;
  list.counters.upCount = 0;
  list.view.DeleteAllLines();
}

void AppendEventLines(const MacroRecord& record, int k, EventListContext& list) {
  if (k < 0 || k >= kMacroEventSlots) return;
  const MacroEvent event = record.Event(k);
  if (k > 0) list.view.AddLine(DelayLineText(record.Delay(k)));
  if (event.direction == kKeyDown) ++list.counters.downCount;
  if (event.direction == kKeyUp) ++list.counters.upCount;
  list.view.AddLine(EventText(event, list.uiLanguage));
  if (list.invalidateMainWindow) list.invalidateMainWindow();
  list.view.SelectLine(list.recording ? list.view.LineCount() - 1 : list.selectedLine);
}

void AppendEventLines(const MacroStore& store, int macro, int k, EventListContext& list) {
  if (macro < 0 || macro >= kMacroSlotCount) return;
  AppendEventLines(store.Read(macro), k, list);
}

}  // namespace nuv
