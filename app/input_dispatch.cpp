#include "app/input_dispatch.h"

#include "platform/ini_document.h"

namespace nuv {

FileDialogSetup FileDialogFor(FileDialogKind kind) {
  constexpr const char16_t* kProfileFilter = u"All Files(*.ini)|*.ini||";
  switch (kind) {
    case FileDialogKind::kProfileImport:
      return {false, kProfileFilter, u""};
    case FileDialogKind::kProfileExport:
      return {true, kProfileFilter, u"ini"};
    case FileDialogKind::kMacroImport:
      return {false, MacroFiles::kDialogFilter, u""};
    case FileDialogKind::kMacroExport:
      return {true, MacroFiles::kDialogFilter, MacroFiles::kExportExtension};
  }
  return {};
}

Hovers HoversAt(const PageSkin& skin, uint8_t page, int32_t x, int32_t y) {
  // Off the main page only the strip counts: the main page's other
  // rectangles lie under the other pages' elements.
  const size_t mainLast = page == kMainPage ? kMainHitLastOnMainPage : kMainHitLastOnOtherPages;
  return Hovers{HitTest(x, y, skin.main.rects, mainLast),
                HitTest(x, y, skin.colour.rects, kColourHitLast),
                HitTest(x, y, skin.advanced.rects, kAdvancedHitLast)};
}

void MainWindowInput::OnPointerMove(int32_t x, int32_t y) {
  hoverUnknown_ = false;
  const Hovers now = HoversAt(t_.skin, t_.ui.page, x, y);
  t_.ui.mainHover = now.main;
  t_.ui.colourHover = now.colour;
  t_.ui.advancedHover = now.advanced;
  // One repaint shows every change: a move that changes two indices paints
  // once, a move that changes none not at all.
  // A held press looks pressed only while the pointer is on its key.
  const uint8_t held = pressed_ && pressedKey_ && KeyUnderPointer() == pressedKey_ ? 1 : 0;
  const bool heldChanged = pressed_ && t_.ui.held != held;
  if (pressed_) t_.ui.held = held;
  if (now == previous_ && !heldChanged) return;
  previous_ = now;
  view_.Repaint();
}

std::optional<KeyRef> MainWindowInput::KeyUnderPointer() const {
  const UiState& ui = t_.ui;
  if (ui.mainHover != kNoSkinHit) return KeyRef{KeyTable::kMain, ui.mainHover};
  if (ui.page == kColourPage && ui.colourHover != kNoSkinHit) {
    return KeyRef{KeyTable::kColour, ui.colourHover};
  }
  if (ui.page == kAdvancedPage && ui.advancedHover != kNoSkinHit) {
    return KeyRef{KeyTable::kAdvanced, ui.advancedHover};
  }
  return std::nullopt;
}

void MainWindowInput::OnPointerLeave() {
  UiState& ui = t_.ui;
  const bool wasHeld = ui.held != 0;
  ui.held = 0;
  ui.mainHover = kNoSkinHit;
  ui.colourHover = kNoSkinHit;
  ui.advancedHover = kNoSkinHit;
  // The pointer may come back without a move (a modal dialog took it and
  // went): the next press or release looks where it is.
  hoverUnknown_ = true;
  pressed_ = false;
  if (previous_ == Hovers{} && !wasHeld) return;
  previous_ = Hovers{};
  view_.Repaint();
}

void MainWindowInput::OnLeftPress(int32_t x, int32_t y) {
  if (hoverUnknown_) OnPointerMove(x, y);
  // A click puts the focus on its key, as it does on a button, and hides the
  // mark until the keyboard moves the focus again.
  UiState& ui = t_.ui;
  const std::optional<KeyRef> clicked = KeyUnderPointer();
  if (clicked || ui.focusShown != 0) {
    ui.focusShown = 0;
    const std::vector<FocusStop> order = FocusOrder(t_.skin, ui.page);
    const KeyRef focus = FocusOnPage(order, clicked ? clicked : FocusOf(ui), ui.page);
    if (!FocusOf(ui) || focus != *FocusOf(ui)) {
      SetFocusOf(ui, focus);
      view_.FocusMoved(focus, false);
    }
  }
  Press(x, y);
}

void MainWindowInput::Press(int32_t x, int32_t y) {
  pressed_ = true;
  UiState& ui = t_.ui;
  // Held only over a key of the page shown: the hover indices of the other
  // pages' tables are computed too, and a press there drags the window.
  pressedKey_ = KeyUnderPointer();
  if (pressedKey_) {
    ui.held = 1;
    view_.InvalidateAll();
  }
  switch (ui.page) {
    case kMainPage:
      PressOnMain(x, y);
      break;
    case kColourPage:
      PressOnColour(x, y);
      break;
    case kAdvancedPage:
      PressOnAdvanced(x, y);
      break;
    default:
      break;
  }
}

bool MainWindowInput::PressOnStripTab(uint32_t key) {
  const uint8_t page = t_.ui.page;
  uint8_t to = page;
  if (key == strip::kTabMain) to = kMainPage;
  if (key == strip::kTabAdvanced) to = kAdvancedPage;
  if (key == strip::kTabColour) to = kColourPage;
  if (to == page) return false;
  GoToPage(to);
  return true;
}

void MainWindowInput::PressOnMain(int32_t x, int32_t y) {
  if (view_.FunctionDialogOpen()) view_.CloseFunctionDialog();
  const uint32_t key = t_.ui.mainHover;
  if (PressOnStripTab(key)) return;
  if (key >= kFirstButtonLabelKey && key <= kLastButtonLabelKey) {
    ChooseFunctionOf(key);
  } else if (key == kNoSkinHit) {
    DragWindow(x, y);
  } else {
    EditMainPageKey(t_.profile, static_cast<int>(key));
  }
}

void MainWindowInput::ChooseFunctionOf(uint32_t key) {
  // Just below the label.
  const SkinRect& label = t_.skin.main.rects[key];
  view_.ChooseButtonFunction(static_cast<int>(key - kFirstButtonLabelKey) + 1, label.x,
                             label.y + label.height);
  // The warning, when it opened, took the release.
  ReleasedInDialog();
}

void MainWindowInput::PressOnColour(int32_t x, int32_t y) {
  if (PressOnStripTab(t_.ui.mainHover)) return;
  const uint32_t key = t_.ui.colourHover;
  if (key == kNoSkinHit) {
    if (t_.ui.mainHover == kNoSkinHit) {
      DragWindow(x, y);
    }
    return;
  }
  EditColourPageKey(t_.profile, static_cast<int>(key));
}

void MainWindowInput::PressOnAdvanced(int32_t x, int32_t y) {
  if (PressOnStripTab(t_.ui.mainHover)) return;
  const uint32_t key = t_.ui.advancedHover;
  switch (key) {
    case kNoSkinHit:
      if (t_.ui.mainHover == kNoSkinHit) {
        DragWindow(x, y);
      }
      return;
    case advanced::kImportMacros:
      ImportMacros();
      return;
    case advanced::kExportMacros:
      ExportMacros();
      return;
    case advanced::kNewMacro:
      view_.NewMacro();
      return;
    case advanced::kDeleteMacro:
      view_.DeleteMacro();
      return;
    case advanced::kRecord:
      view_.ToggleRecording();
      return;
    case advanced::kSaveMacros:
      SaveMacros();
      return;
    case advanced::kRepeatMode:
      view_.ToggleRepeatMode();
      return;
    case advanced::kFireTimeSlider: {
      const SkinRect& bar = t_.skin.advanced.rects[key];
      SetFireTimeFromSlider(t_.profile, x, bar.x, bar.width);
      view_.Repaint();
      return;
    }
    default:
      break;
  }
  if (EditAdvancedPageKey(t_.profile, static_cast<int>(key)) &&
      (key == advanced::kFireTimeUp || key == advanced::kFireTimeDown)) {
    view_.Repaint();  // the fire time's steps
  }
}

void MainWindowInput::OnLeftRelease(int32_t x, int32_t y) {
  if (hoverUnknown_) OnPointerMove(x, y);
  UiState& ui = t_.ui;
  ui.held = 0;
  view_.InvalidateAll();
  if (!pressed_) return;
  pressed_ = false;
  // Only on the key pressed: a press dragged onto another key (a profile
  // slot dragged onto Reset) is no click on either.
  if (KeyUnderPointer() != pressedKey_) return;
  ConfigStore& store = t_.store;
  const uint32_t key = ui.mainHover;
  switch (key) {
    case strip::kCancel:
      ui.mainHover = kNoSkinHit;
      store.Cancel();
      break;
    case strip::kApply:
      view_.ApplyProfile();
      break;
    case strip::kMinimise:
      ui.mainHover = kNoSkinHit;
      view_.PostMinimise(x, y);
      break;
    case strip::kTray:
      ui.mainHover = kNoSkinHit;
      view_.HideToTray();
      break;
    case strip::kImportProfile:
      ImportProfile();
      break;
    case strip::kExportProfile:
      ExportProfile();
      break;
    case strip::kReset:
      store.Reset();
      break;
    case strip::kSecondLanguage:
      view_.SwitchLanguage(0);
      break;
    case strip::kEnglish:
      view_.SwitchLanguage(1);
      break;
    case strip::kWebSite:
      view_.OpenWebSite();
      break;
    default:
      if (key >= strip::kFirstSlot && key <= strip::kLastSlot) {
        store.ChooseSlot(static_cast<int>(key));
      }
      break;
  }
}

std::optional<KeyRef> FocusOf(const UiState& ui) {
  if (ui.focusKey == kNoSkinHit || ui.focusTable > static_cast<uint8_t>(KeyTable::kControl)) {
    return std::nullopt;
  }
  return KeyRef{static_cast<KeyTable>(uint8_t{ui.focusTable}), ui.focusKey};
}

void SetFocusOf(UiState& ui, KeyRef focus) {
  ui.focusTable = static_cast<uint8_t>(focus.table);
  ui.focusKey = focus.key;
}

void MainWindowInput::TakeFocus(KeyRef focus, bool markShown) {
  UiState& ui = t_.ui;
  const std::vector<FocusStop> order = FocusOrder(t_.skin, ui.page);
  const KeyRef on = FocusOnPage(order, focus, ui.page);
  const bool moved = !FocusOf(ui) || on != *FocusOf(ui) || (ui.focusShown != 0) != markShown;
  SetFocusOf(ui, on);
  ui.focusShown = markShown ? 1 : 0;
  if (moved) view_.FocusMoved(on, false);
}

bool MainWindowInput::OnKeyDown(uint32_t virtualKey, bool shift, bool repeat,
                                const PaintInputs& face) {
  UiState& ui = t_.ui;
  const std::vector<FocusStop> order = FocusOrder(t_.skin, ui.page);
  const std::optional<KeyRef> focus = FocusOf(ui);
  const bool onControl = focus && focus->table == KeyTable::kControl;
  const bool onSlider =
      focus && focus->table == KeyTable::kAdvanced && focus->key == advanced::kFireTimeSlider;
  std::optional<FocusKey> move;
  switch (virtualKey) {
    case kVkTab:
      move = shift ? FocusKey::kBackTab : FocusKey::kTab;
      break;
    case kVkLeft:
    case kVkUp:
    case kVkRight:
    case kVkDown: {
      if (onControl) return false;  // the control's own
      const bool forward = virtualKey == kVkRight || virtualKey == kVkDown;
      if (onSlider) {
        // The slider's - and + keys: the same step a click on them makes.
        ui.focusShown = 1;
        Activate({KeyTable::kAdvanced, forward ? advanced::kFireTimeUp : advanced::kFireTimeDown});
        return true;
      }
      move = forward ? FocusKey::kNext : FocusKey::kPrevious;
      break;
    }
    case kVkSpace:
    case kVkReturn:
      if (onControl) return false;
      // A held key repeats its key-down: one activation per press.
      if (!repeat && focus && !onSlider && FocusOnPage(order, focus, ui.page) == *focus) {
        ui.focusShown = 1;
        Activate(*focus);
      }
      return true;
    default:
      return false;
  }
  const std::optional<KeyRef> next = MoveFocus(face, order, focus, *move);
  if (next) TakeFocus(*next, true);
  return true;
}

void MainWindowInput::Activate(KeyRef key) {
  UiState& ui = t_.ui;
  if (key.table == KeyTable::kControl) return TakeFocus(key, ui.focusShown != 0);
  const std::vector<FocusStop> order = FocusOrder(t_.skin, ui.page);
  const FocusStop* stop = FindStop(order, key);
  if (!stop) return;  // not a key of the page shown
  // A press and a release at the key's centre, its table's hover index being
  // the key and the others none.
  const int32_t x = static_cast<int32_t>(stop->rect.x + int64_t{stop->rect.width} / 2);
  const int32_t y = static_cast<int32_t>(stop->rect.y + int64_t{stop->rect.height} / 2);
  Hovers at;
  if (key.table == KeyTable::kMain) at.main = key.key;
  if (key.table == KeyTable::kColour) at.colour = key.key;
  if (key.table == KeyTable::kAdvanced) at.advanced = key.key;
  ui.mainHover = at.main;
  ui.colourHover = at.colour;
  ui.advancedHover = at.advanced;
  previous_ = at;
  hoverUnknown_ = false;
  Press(x, y);
  OnLeftRelease(x, y);
  // The pointer is somewhere else: the next move or click looks again.
  ui.mainHover = kNoSkinHit;
  ui.colourHover = kNoSkinHit;
  ui.advancedHover = kNoSkinHit;
  previous_ = Hovers{};
  hoverUnknown_ = true;
  view_.Repaint();
}

void MainWindowInput::GoToPage(uint8_t page) {
  const PageChange change = PlanPageChange(t_.ui.page, page);
  // A recording is seen only on the advanced page.
  if (change.destroyMacroControls) view_.EndRecording();
  t_.ui.page = page;
  if (change.destroyMacroControls) view_.DestroyMacroControls();
  if (change.startBlinker) view_.StartBlinkThread();
  if (change.startColourAnimation) view_.StartColourAnimation();
  if (change.createMacroControls) {
    view_.InvalidateRepaintRegion();
    view_.CreateMacroControls();
    view_.UpdateWindow();
    view_.RefillMacroList();
    view_.UpdateWindow();
  } else {
    view_.Repaint();
  }
  // The focus stays on a key the new page has (the strip's), else it goes to
  // the new page's tab.
  UiState& ui = t_.ui;
  const KeyRef focus = FocusOnPage(FocusOrder(t_.skin, page), FocusOf(ui), page);
  SetFocusOf(ui, focus);
  view_.FocusMoved(focus, true);
}

void MainWindowInput::ImportProfile() {
  // Loaded into the working profile only: the mouse learns it at the next
  // apply, the slots when it is applied.
  // (A release opens the dialog: no press is held or pending by then.)
  auto file = view_.ImportFile(FileDialogKind::kProfileImport);
  if (!file) return;
  // A file that holds no profile changes nothing: loading it would leave
  // the mouse without a primary click and every DPI level off. A file that
  // could not be read holds none.
  DocumentIni contents(IniDocument::Parse(file->bytes));
  if (!t_.store.Import(contents)) {
    view_.ShowMessage(t_.session.uiLanguage != 0 ? kNoProfileText : kNoProfileTextSecond);
  }
}

namespace {

// What a chosen file holds after a write into it, as the private-profile
// routines would have left it; a file that could not be read whole is left
// as it is rather than replaced by what little the program would write.
template <typename Write>
std::optional<std::string> WrittenInto(const ChosenFile& existing, Write write) {
  if (existing.state == ChosenFile::State::kUnreadable) return std::nullopt;
  return write(existing.bytes);
}

}  // namespace

void MainWindowInput::ExportProfile() {
  ExportTo(FileDialogKind::kProfileExport, [&](const ChosenFile& existing) {
    return WrittenInto(existing, [&](const std::string& bytes) {
      DocumentIni file(IniDocument::Parse(bytes));
      t_.store.Export(file);
      return file.document.Serialise();
    });
  });
}

void MainWindowInput::ExportTo(FileDialogKind kind, const InputView::ExportContents& contents) {
  // Nothing is taken for saved that was not: a chosen file left as it was
  // is said so.
  if (view_.ExportFile(kind, contents) == SaveOutcome::kFailed) {
    view_.ShowMessage(SaveFailedText(Text(), t_.session.uiLanguage != 0));
  }
}

void MainWindowInput::ImportMacros() {
  // The working file is not written: Save does that.
  auto file = view_.ImportFile(FileDialogKind::kMacroImport);
  ReleasedInDialog();
  if (!file) return;
  view_.EndRecording();
  t_.macroFiles.ImportMacroFile(file->state == ChosenFile::State::kRead ? &file->bytes : nullptr);
  view_.RefillMacroList();
  view_.Repaint();
}

void MainWindowInput::ExportMacros() {
  ExportTo(FileDialogKind::kMacroExport, [&](const ChosenFile& existing) {
    return WrittenInto(
        existing, [&](const std::string& bytes) { return t_.macroFiles.ExportMacroFile(bytes); });
  });
  ReleasedInDialog();
}

void MainWindowInput::DragWindow(int32_t x, int32_t y) {
  view_.DragWindow(x, y);
  ReleasedInDialog();  // the move loop took the release
}

void MainWindowInput::ReleasedInDialog() {
  pressed_ = false;
  if (t_.ui.held == 0) return;
  t_.ui.held = 0;
  view_.InvalidateAll();
}

void MainWindowInput::SaveMacros() {
  view_.TakeRepeatCount();
  t_.macroFiles.SaveMacroFile(t_.macroFiles.workingPath);
}

void MainWindowInput::RestoreDefaultMacros() {
  MacroFiles& files = t_.macroFiles;
  view_.EndRecording();
  files.LoadMacroFile(MacroFiles::DefaultFilePath(t_.session.skinFolder, t_.session.uiLanguage));
  if (t_.ui.page == kAdvancedPage) {
    view_.RefillMacroList();
    view_.Repaint();
  }
  files.SaveMacroFile(files.workingPath);
}

}  // namespace nuv
