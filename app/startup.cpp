#include "app/startup.h"

namespace nuv {

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

void RunCloseSequence(InputPort& input, SystemSettingsPort& system, const ShutdownSeams& seams) {
  // A macro or shortcut may have been cut off while Alt was down.
  for (int i = 0; i < 7; ++i) input.KeyEvent(kVkMenu, 0, kKeyEventKeyUp);
  if (seams.deleteTrayIcon) seams.deleteTrayIcon();
  if (seams.sendExitCommand) seams.sendExitCommand();
  if (system.GetPointerSpeed()) system.SetPointerSpeed(kClosePointerSpeed);
  if (seams.destroyWindow) seams.destroyWindow();
}

void RunDeviceRemovalSequence(AtomicField<uint8_t>& connected, const ShutdownSeams& seams) {
  connected = 0;
  if (seams.deleteTrayIcon) seams.deleteTrayIcon();
  if (seams.destroyWindow) seams.destroyWindow();
}

}  // namespace nuv
