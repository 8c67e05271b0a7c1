// The macro editor of the advanced page: the macro list, the name and
// repeat-count boxes, the event list with its context menu, and the page's
// New, Delete, Save and Repeat mode keys, acting on the macro store.
//
// The window (CNUV_TalvDlg with its list and edit controls) implements the
// views below and calls the operations from its messages; everything runs on
// the window thread. The control objects live as long as the window while
// their windows come and go with the page, so a view whose window is gone
// simply does nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "macro/macro_store.h"
#include "platform/message_port.h"
#include "platform/text.h"

namespace nuv {

// A list box: lines of text with at most one selected line.
class LineListView : public EventListView {
 public:
  // The selected line, -1 when none. SelectLine with a line outside the list
  // leaves none selected, as the list box does.
  virtual int Selection() const = 0;
  // The text of a line; empty outside the list.
  virtual Text LineText(int line) const = 0;
  virtual void DeleteLine(int line) = 0;
  virtual void Focus() = 0;
};

// The event list, which can open an edit box over its selected line (the
// character 1 sent to the list).
class EditableListView : public LineListView {
 public:
  virtual void BeginEdit() = 0;
};

// An edit box.
class TextBoxView {
 public:
  virtual ~TextBoxView() = default;
  virtual Text GetText() const = 0;
  virtual void SetText(const Text& text) = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

struct MacroEditorViews {
  LineListView& macroList;      // control 10001
  EditableListView& eventList;  // control 10002
  TextBoxView& nameBox;         // control 10000
  TextBoxView& repeatBox;       // control 10004
};

// What the editor and the recorder share, and what the advanced page draws
// (the counters, the record key pressed while recording).
struct MacroEditorState {
  int32_t selectedLine = 0;   // line selected after each rebuild; Modify Delay's line
  int32_t menuLineCount = 0;  // event-list lines at the last right-click
  int32_t menuMacro = 0;      // macro the context menu acts on
  int32_t menuEvent = 0;      // event the context menu acts on
  EventCounters counters;
  bool recording = false;
};

// Where a right button was released over the event list. Coordinates are the
// screen's; the rectangle is the list's client area (right and bottom
// outside it).
struct ListClick {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int scrollPosition = 0;  // the list's vertical scroll position (first visible line)
  int lineHeight = 0;      // height of line 0
  int x = 0;
  int y = 0;
};

enum class MacroMenuOperation { kNone, kInsertBefore, kInsertAfter, kModifyDelay, kDeleteEvent };

struct MacroMenuCommand {
  MacroMenuOperation operation = MacroMenuOperation::kNone;
  MacroEvent event;  // what an insert adds
};

// The operation behind a command of the event list's context menu. Both
// languages' identifiers lead to the same operations, whichever language is
// shown; any other identifier gives kNone.
MacroMenuCommand MacroMenuCommandOf(uint32_t commandId);

// The typed pause of a delay line ("250", "250ms", "  250ms"): the number
// before the first "ms", limited to 0..65535; text without digits gives 0.
uint16_t ParseTypedPause(TextView text);

// The repeat count as Save takes it from its box: limited to 1..65535.
uint16_t ParseRepeatCount(TextView text);

// `name` as far as a record holds it: 19 UTF-16 units, one fewer when the
// 19th would be the first half of a surrogate pair.
Text LimitMacroName(TextView name);

constexpr const char16_t* kOverflowText = u"Overflow!!!";

class MacroEditor {
 public:
  MacroEditor(MacroStore& store, MacroEditorState& state, MacroEditorViews views,
              MessagePort& messages)
      : store_(store), state_(state), views_(views), messages_(messages) {}

  // Caption of the "Overflow!!!" box: the application's name.
  Text caption;
  // Non-zero for English; names the keys without a name of their own.
  int32_t uiLanguage = 1;
  // Repaints the main window (the counters, key 6).
  std::function<void()> invalidateMainWindow;

  // After the macro file is loaded at start: the last event line of the
  // current macro, or 0.
  void SetStartLine();

  // Entering the advanced page, after an import, a reset or a language change.
  void RefillMacroList();
  // The macro list's selection changed (LBN_SELCHANGE of control 10001).
  void MacroSelected();
  // Fills the event list from the macro's record.
  void RebuildEventList(int macro);

  // Advanced-page keys: 2 New, 3 Delete, 5 Save (the repeat count, before the
  // working file is written), 6 Repeat mode.
  void NewMacro();
  void DeleteMacro();
  void TakeRepeatCount();
  void ToggleRepeatMode();
  // The name box's text changed (EN_CHANGE of control 10000): a name longer
  // than a record holds is cut back in the box, so the user sees what New
  // will store.
  void NameBoxChanged();

  // Right button released over the advanced page while no recording runs.
  // Selects the line under the cursor and notes what the menu acts on; true
  // when the context menu is to open at the cursor.
  bool EventListRightClick(const ListClick& click);
  // A command of the context menu (WM_COMMAND); false when it is none of the
  // menu's commands.
  bool RunMenuCommand(uint32_t commandId);

  // The menu's operations on the macro and event noted by the right-click.
  void InsertEvent(int macro, int position, MacroEvent event);
  void ModifyDelay();
  void DeleteEvent();
  // The in-place edit ended (the list's edit-ended message, kept or not).
  void DelayEdited();

  // The event list's context for appending lines (the recorder appends too).
  EventListContext ListContext();

  MacroStore& store() { return store_; }
  MacroEditorState& state() { return state_; }
  const MacroEditorViews& views() const { return views_; }

 private:
  // Menu commands act only on an existing macro and never while recording.
  bool MenuAllowed() const;
  void ShowRepeatBox(const MacroRecord& record);

  MacroStore& store_;
  MacroEditorState& state_;
  MacroEditorViews views_;
  MessagePort& messages_;
};

}  // namespace nuv
