// The parts of start-up and shutdown that do not need a window: the
// application folder, the hidden-start rule of the command line, and the two
// shutdown sequences with their seams into the window and the device link.
#pragma once

#include <functional>
#include <optional>

#include "platform/atomic_field.h"
#include "platform/input_port.h"
#include "platform/system_settings_port.h"
#include "platform/text.h"

namespace nuv {

constexpr char16_t kMainWindowTitle[] = u"QUARVEL 241-7730 GAMING MOUSE";
constexpr char16_t kSingleInstanceMutexName[] = u"CNUV_TalvApp";
constexpr int kClosePointerSpeed = 10;

// The executable's folder without a trailing backslash: the module path cut
// before its last backslash. A path without one gives the empty text.
Text ApplicationFolderFromModulePath(TextView module_path);

// True when the text of at most four characters after the last '-' (the first
// four characters when there is no '-') is exactly "HIDE".
bool CommandLineAsksHidden(TextView command_line);

// The test switches of the command line. The program runs elevated, so it
// takes them from its command line only, never from the environment, which a
// normal user's programs can set. A switch counts only as a whole argument
// after the program's path, spelt exactly so (upper case):
//   -VIRTUALMOUSE          the virtual mouse instead of the system's HID
//                          services (control file and trace in the
//                          application folder)
//   -TESTPAGE=<page>       show that page at start: main, advanced, colour
//                          or 0, 1, 2; any other value shows none
//   -TESTFAULT             the registered window message "NUV_Talv.TestFault"
//                          makes a fault in the main window's handler, so that
//                          a test sees the program end after it: with wParam 0
//                          a C++ exception, 1 an access violation, 2 a failed
//                          stack canary
//   -TESTPAINTCOUNT        the registered window message "NUV_Talv.PaintCount"
//                          answers how often the main window has painted
// Without its switch a test message is left unanswered.
// Arguments are split as the C runtime splits them (spaces and tabs outside
// quotes; backslashes before a quote escape it); the program's path ends at
// its closing quote, or at the first space or tab when it is not quoted.
// "-HIDE" keeps its own rule (CommandLineAsksHidden), so it goes last.
struct CommandLineSwitches {
  bool virtualMouse = false;
  std::optional<int> testPage;
  bool testFault = false;
  bool testPaintCount = false;
};
CommandLineSwitches ParseCommandLineSwitches(TextView command_line);

struct ShutdownSeams {
  // Lets go of every key and mouse button a playback or shortcut holds down.
  std::function<void()> releaseHeld;
  std::function<void()> deleteTrayIcon;
  // Command 0x20 to the mouse through the shared report buffer, if it is open.
  std::function<void()> sendExitCommand;
  std::function<void()> destroyWindow;
};

// Close: what the playback holds released, seven Alt key-ups, tray icon
// gone, exit command to the mouse, system pointer speed back to 10 (when it
// can be read), window destroyed.
void RunCloseSequence(InputPort& input, SystemSettingsPort& system, const ShutdownSeams& seams);

// The mouse went away: not connected any more, what the playback holds
// released, tray icon gone, window destroyed. No Alt release, no exit
// command, pointer speed untouched.
void RunDeviceRemovalSequence(AtomicField<uint8_t>& connected, const ShutdownSeams& seams);

}  // namespace nuv
