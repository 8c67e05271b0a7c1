// The standard file dialogs, shown by a helper program of ours that runs as
// the desktop's user.
//
// A file dialog is a whole Explorer view: "Open with", a folder's context
// menu and every shell extension the user installed run inside the process
// that shows it, and a save follows whatever link the chosen path holds. The
// program runs elevated, so it shows no file dialog itself and never opens a
// path the user chose: the helper (NUV_Talv_FileDialog.exe beside the
// program) is started as a child of the desktop's shell, with the user's
// token, shows the dialog, and reads or writes the chosen file with the
// user's own rights. The two talk over a pipe made for that one helper
// (platform/file_dialog_wire.h): a random name, one instance, open to the
// desktop's user, SYSTEM and Administrators only, no remote clients, and the
// connected client must be the process just started; anything else ends the
// exchange. What the helper sends is read as untrusted input.
//
// While the helper runs, the owner window is disabled and keeps painting, as
// under a modal dialog, and the helper's dialog is brought in front of it
// whenever the owner comes to the front. A helper that cannot be started,
// ends, breaks the pipe or does not answer in time leaves everything as it
// was; one that is still running is ended.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/file_dialog_wire.h"
#include "platform/text.h"

namespace nuv::win32 {

// The helper's file name, beside the program.
constexpr char16_t kFileDialogHelperName[] = u"NUV_Talv_FileDialog.exe";
// The pipes the program makes for it: this prefix and 32 random hex digits.
constexpr char16_t kFileDialogPipePrefix[] = u"\\\\.\\pipe\\NUV_Talv.FileDialog.";

// The open dialog: the chosen file as the helper found it; nothing when the
// user cancelled or the exchange failed. Nothing, at once, while another
// dialog of the helper is up (the window thread's loop runs during it).
std::optional<ChosenFile> OpenThroughHelper(const Text& helperPath, HWND owner,
                                            const DialogRequest& request);

// The save dialog: `contents` is given what the chosen file holds now and
// returns what it is to hold (nothing: the file stays as it is).
using HelperExportContents = std::function<std::optional<std::string>(const ChosenFile& existing)>;
SaveOutcome SaveThroughHelper(const Text& helperPath, HWND owner, const DialogRequest& request,
                              const HelperExportContents& contents);

}  // namespace nuv::win32
