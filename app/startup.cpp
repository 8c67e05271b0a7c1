#include "app/startup.h"

#include <vector>

#include "platform/key_codes.h"

namespace nuv {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The arguments after the program's path, split by the C runtime's rules.
std::vector<Text> ArgumentsAfterProgram(TextView line) {
  // The program's path: every quote opens or closes a quoted part, no escapes.
  size_t at = 0;
  for (bool quoted = false; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == u'"') quoted = !quoted;
  }
  std::vector<Text> arguments;
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size()) return arguments;
    Text argument;
    bool quoted = false;
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == u'\\') ++backslashes, ++at;
      if (at < line.size() && line[at] == u'"') {
        argument.append(backslashes / 2, u'\\');
        if (backslashes % 2) {
          argument += u'"';
        } else if (quoted && at + 1 < line.size() && line[at + 1] == u'"') {
          argument += u'"';  // "" inside quotes: a quote
          ++at;
        } else {
          quoted = !quoted;
        }
        ++at;
      } else {
        argument.append(backslashes, u'\\');
        if (at < line.size() && (quoted || !IsBlank(line[at]))) argument += line[at++];
      }
    }
    arguments.push_back(std::move(argument));
  }
}

std::optional<int> TestPageNamed(TextView value) {
  if (value == u"main" || value == u"0") return 0;
  if (value == u"advanced" || value == u"1") return 1;
  if (value == u"colour" || value == u"2") return 2;
  return std::nullopt;
}

}  // namespace

Text ApplicationFolderFromModulePath(TextView module_path) {
  const size_t last = module_path.rfind(u'\\');
  if (last == TextView::npos) return Text();
  return Text(module_path.substr(0, last));
}

bool CommandLineAsksHidden(TextView command_line) {
  const size_t dash = command_line.rfind(u'-');
  const TextView word =
      dash == TextView::npos ? command_line.substr(0, 4) : command_line.substr(dash + 1, 4);
  return word == u"HIDE";
}

CommandLineSwitches ParseCommandLineSwitches(TextView command_line) {
  constexpr TextView kVirtualMouse = u"-VIRTUALMOUSE";
  constexpr TextView kTestPage = u"-TESTPAGE=";
  CommandLineSwitches switches;
  for (const Text& argument : ArgumentsAfterProgram(command_line)) {
    const TextView a(argument);
    if (a == kVirtualMouse) switches.virtualMouse = true;
    if (a == u"-TESTFAULT") switches.testFault = true;
    if (a == u"-TESTPAINTCOUNT") switches.testPaintCount = true;
    if (a.starts_with(kTestPage)) switches.testPage = TestPageNamed(a.substr(kTestPage.size()));
  }
  return switches;
}

void RunCloseSequence(InputPort& input, SystemSettingsPort& system, const ShutdownSeams& seams) {
  // A playback cut off by the ending must not leave keys down system-wide.
  if (seams.releaseHeld) seams.releaseHeld();
  // A macro or shortcut may have been cut off while Alt was down.
  const KeyCode alt = KeyboardCode(input, kVkMenu);
  for (int i = 0; i < 7; ++i) input.KeyEvent(kVkMenu, alt.scanCode, alt.flags | kKeyEventKeyUp);
  if (seams.deleteTrayIcon) seams.deleteTrayIcon();
  if (seams.sendExitCommand) seams.sendExitCommand();
  if (system.GetPointerSpeed()) system.SetPointerSpeed(kClosePointerSpeed);
  if (seams.destroyWindow) seams.destroyWindow();
}

void RunDeviceRemovalSequence(AtomicField<uint8_t>& connected, const ShutdownSeams& seams) {
  connected = 0;
  if (seams.releaseHeld) seams.releaseHeld();
  if (seams.deleteTrayIcon) seams.deleteTrayIcon();
  if (seams.destroyWindow) seams.destroyWindow();
}

}  // namespace nuv
