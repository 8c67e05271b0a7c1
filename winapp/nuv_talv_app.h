// The application object and the process-wide objects of the program.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/program_core.h"
#include "app/startup.h"
#include "macro/macro_file.h"
#include "platform/ini_files.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_messages.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_wake.h"
#include "platform/win32/wnd_shell.h"
#include "ui/page_animation.h"
#include "ui/page_paint.h"

namespace nuv::win32 {

// One instance for the process, made by the application object once the
// application folder is known. Never destroyed: worker threads may still be
// blocked in the HID port or reading the profile when the process ends.
//
// Whatever a worker thread or the virtual mouse's firmware thread uses lives
// here (or is leaked on purpose), never in a static object: statics are
// destroyed at process exit while those threads still run.
struct AppContext {
  AppContext(const Text& folder, const CommandLineSwitches& commandLine);

  Text applicationFolder;
  // The test switches of the command line (never the environment).
  CommandLineSwitches switches;
  Win32Files files;
  // config.ini, the macro files and the skin files; saves replace whole files.
  IniFiles ini{files};
  Win32Input input;
  Win32SystemSettings system;
  Win32Shell shell;
  Win32Clock clock;
  Win32Wake wake;
  Win32Messages messages;
  GdiplusPictures pictures;
  // Wakes the reader when the virtual mouse queues a report; before `hid`,
  // which is made with it.
  Win32Wake hidReaderWake;
  std::unique_ptr<HidPort> hid;
  ProgramCore core;
  MacroFiles macroFiles{ini, messages, core.macros};
  MainWindowSession session;
  // The window's drawing state: page, hover indices, held flag, animations.
  UiState ui;
  // What the two animation threads work with (the repaint is the window's).
  AnimationContext animation{ui, clock, {}};

  // Parts of the window that the macro recorder and editor supply to the
  // initialisation and the keyboard filter; empty ones do nothing.
  struct Seams {
    // Initialisation step 14: the editor's starting position once the macro
    // file is loaded.
    std::function<void()> setEditorStart;
    // Whether a macro recording runs, and what it does with a key message.
    std::function<bool()> recording;
    KeyboardFilterHooks keyboardHooks;

  } seams;
};

// Admits the first copy of the program in this session. A later copy restores
// the first copy's window (a window with the program's title whose process was
// started from this program's file) and gets false. Only a process with
// administrator rights can make a start look like a later copy.
bool AdmitSingleInstance();

class CNUV_TalvApp : public WinApp {
 public:
  // Fills `applicationFolder` (constructed before this object) from the
  // module path.
  explicit CNUV_TalvApp(Text& applicationFolder);

  // Wires the other subsystems' parts into the seams of the process's
  // objects, before the main dialog runs.
  std::function<void(AppContext&)> wireSubsystems;

 protected:
  // Single instance, common controls, the main dialog's modal run; always
  // false, so that the process ends after it.
  bool InitInstance() override;

 private:
  Text& applicationFolder_;
};

}  // namespace nuv::win32
