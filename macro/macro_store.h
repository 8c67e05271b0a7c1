// The twelve macro records, their byte layout (which is also the unit of the
// macro file), how one event is named, and how a macro becomes the lines of
// the event list.
//
// Threads: the window thread is the only writer (editor, recorder, file
// loads). The host action executor plays a copy of a record that it takes
// with Snapshot() when a play starts. Every write and every Snapshot() holds
// the store's small mutex for the length of one record copy, so a snapshot is
// always one consistent record, never half an edit. Reads on the window thread
// itself need no lock (nobody else writes) and use Read().
#pragma once

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <type_traits>

#include "platform/atomic_field.h"
#include "platform/text.h"

namespace nuv {

constexpr int kMacroSlotCount = 12;
constexpr size_t kMacroRecordSize = 1064;
constexpr int kMacroEventSlots = 254;  // event slots 0..253
constexpr int kMacroDelayWords = 256;
constexpr size_t kMacroNameUnits = 20;  // UTF-16 units, terminator included
constexpr size_t kMacroNameMaxChars = kMacroNameUnits - 1;
constexpr uint16_t kInsertedEventPause = 30;  // ms after a newly inserted event

// Directions of a MacroEvent.
constexpr uint8_t kKeyDown = 1;
constexpr uint8_t kKeyUp = 2;
// Key codes from 240 up are mouse buttons.
constexpr uint8_t kLeftButtonKey = 240;
constexpr uint8_t kRightButtonKey = 241;
constexpr uint8_t kMiddleButtonKey = 242;

struct MacroEvent {
  uint8_t key = 0;        // virtual-key code 1..239, or 240..242 for mouse buttons
  uint8_t direction = 0;  // kKeyDown, kKeyUp; 0 only in unused slots
  friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};
static_assert(sizeof(MacroEvent) == 2);

// One macro exactly as it is stored: 1064 bytes, little-endian. Records are
// copied and moved as whole blocks; the file writes them byte by byte.
struct MacroRecord {
  char16_t name[kMacroNameUnits];       // 0: NUL-terminated UTF-16LE
  uint8_t repeatMode;                   // 40: 0 play once, 1 play repeatCount times
  uint8_t repeatCountBytes[2];          // 41: unsigned 16-bit, low byte first (unaligned)
  uint8_t eventCount;                   // 43: 0..254
  MacroEvent events[kMacroEventSlots];  // 44: slot k at 44 + 2k
  uint16_t delays[kMacroDelayWords];    // 552: word j = pause before event j; word n after the last

  // The name up to its terminator, never more than 19 characters, whatever
  // the bytes hold.
  Text Name() const;
  // Clears bytes 0..39 and stores `name`, cut to 19 UTF-16 units (a
  // surrogate pair is never split), so the terminator always fits.
  void SetName(TextView name);

  uint16_t RepeatCount() const;
  void SetRepeatCount(uint16_t count);

  // The event count as far as the slots go: a damaged count above 254 reads
  // as 254, so no caller indexes past the event slots.
  int EventCount() const { return eventCount < kMacroEventSlots ? eventCount : kMacroEventSlots; }
  // Event slot k; outside 0..253 an empty event.
  MacroEvent Event(int k) const;
  // Delay word j; outside 0..255 it reads 0 and writes nothing.
  uint16_t Delay(int j) const;
  void SetDelay(int j, uint16_t ms);
  // The pause played after event k: delay word k + 1.
  uint16_t PauseAfter(int k) const { return Delay(k + 1); }

  // Bytes 40..43 become 0, 1, 0, 0: play once, repeat count 1, no events
  // (a new macro, the slot a deleted macro vacates).
  void ResetPlayback();
  // A fresh macro: name only, play once, repeat count 1, no events.
  static MacroRecord Named(TextView name);

  std::array<uint8_t, kMacroRecordSize> Bytes() const;
  static MacroRecord FromBytes(const std::array<uint8_t, kMacroRecordSize>& bytes);

  friend bool operator==(const MacroRecord& a, const MacroRecord& b) {
    return a.Bytes() == b.Bytes();
  }
};

static_assert(std::endian::native == std::endian::little,
              "records are used in memory exactly as the file stores them");
static_assert(std::is_standard_layout_v<MacroRecord> && std::is_trivially_copyable_v<MacroRecord>);
static_assert(sizeof(MacroRecord) == kMacroRecordSize);
static_assert(offsetof(MacroRecord, name) == 0);
static_assert(offsetof(MacroRecord, repeatMode) == 40);
static_assert(offsetof(MacroRecord, repeatCountBytes) == 41);
static_assert(offsetof(MacroRecord, eventCount) == 43);
static_assert(offsetof(MacroRecord, events) == 44);
static_assert(offsetof(MacroRecord, delays) == 552);

class MacroStore {
 public:
  MacroStore();
  MacroStore(const MacroStore&) = delete;
  MacroStore& operator=(const MacroStore&) = delete;

  // Number of macros, always 0..12; slots 0..count-1 are the macros in list order.
  int Count() const { return count_.load(std::memory_order_acquire); }
  // Limits the value to 0..12.
  void SetCount(int count);

  // Slot shown in the editor (the macro list's selection).
  AtomicField<int32_t> currentMacro;

  // Window thread: the record of a slot, read in place. A slot outside 0..11
  // reads as an empty record.
  const MacroRecord& Read(int slot) const;
  // Any thread: a consistent copy of one record (an empty one outside 0..11).
  MacroRecord Snapshot(int slot) const;

  // Window thread: the writes. Outside 0..11 they do nothing.
  void Write(int slot, const MacroRecord& record);
  void Modify(int slot, const std::function<void(MacroRecord&)>& change);
  // Replaces the count and records 0..count-1 in one step (file loads); the
  // other records stay as they were. `records` holds at least the limited count.
  void Assign(int count, const MacroRecord* records);
  // Moves records from+1..count-1 down by one slot (deleting a macro).
  void MoveDown(int from);

 private:
  static bool Valid(int slot) { return slot >= 0 && slot < kMacroSlotCount; }

  mutable std::mutex mutex_;
  std::array<MacroRecord, kMacroSlotCount> records_;
  std::atomic<int16_t> count_{0};
};

// ---- Event naming ----

// Display name of a key code. `ui_language` is non-zero for English; it only
// chooses the text of codes without a name.
Text EventKeyName(int code, int32_t ui_language);
// "[↓]" + name for a press, "[↑]" + name for a release, the bare name otherwise.
Text EventText(MacroEvent event, int32_t ui_language);
// The delay line: four spaces, the pause, "ms".
Text DelayLineText(uint16_t ms);

// ---- Event list layout ----
//
// A macro with n events shows 2n - 1 lines: line 2k is event k, line 2k - 1
// (k >= 1) shows delay word k, the pause before event k. The editor and the
// recorder both go through these.
struct EventListLayout {
  static constexpr int LineCount(int events) { return events > 0 ? 2 * events - 1 : 0; }
  static constexpr int EventLine(int k) { return 2 * k; }
  static constexpr int DelayLineBefore(int k) { return 2 * k - 1; }  // k >= 1
  static constexpr int EventOfLine(int line) { return line / 2; }
  static constexpr bool IsDelayLine(int line) { return line > 0 && line % 2 == 1; }
};

// The event list as the macro logic sees it; the window implements it with
// the real list box, tests with a fake.
class EventListView {
 public:
  virtual ~EventListView() = default;
  virtual void AddLine(const Text& text) = 0;
  virtual void DeleteAllLines() = 0;
  virtual int LineCount() const = 0;
  virtual void SelectLine(int line) = 0;
};

// Press and release lines appended since the list was last cleared; drawn on
// the advanced page.
struct EventCounters {
  int32_t downCount = 0;
  int32_t upCount = 0;
};

// What appending to the event list needs from around it.
struct EventListContext {
  EventListView& view;
  EventCounters& counters;
  int32_t uiLanguage = 1;
  bool recording = false;    // select the newest line instead of selectedLine
  int32_t selectedLine = 0;  // the editor's remembered line
  std::function<void()> invalidateMainWindow;
};

// Empties the list and zeroes the counters (rebuild, start of a recording).
void ClearEventList(EventListContext& list);
// Appends the lines of event k of `record`: the delay line before it when
// k > 0, then the event line; counts the press or release, repaints, selects.
void AppendEventLines(const MacroRecord& record, int k, EventListContext& list);
// Nothing for a slot outside 0..11 or an event index outside 0..253.
void AppendEventLines(const MacroStore& store, int macro, int k, EventListContext& list);

}  // namespace nuv
