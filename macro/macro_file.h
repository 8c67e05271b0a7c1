// Macro files: an INI file with one section, "Macros", holding the macro count
// and each record as 3192 decimal digits, three per record byte.
//
// The working file of each language lies beside the executable, the defaults
// in the skin folder; Import and Export use any file the user picks.
#pragma once

#include <string>

#include "macro/macro_store.h"
#include "platform/ini_port.h"
#include "platform/message_port.h"

namespace nuv {

constexpr size_t kMacroValueDigits = 3 * kMacroRecordSize;  // 3192

// Record byte that group j (0..1063) of a record value stands for: the 44
// header bytes in order, then per event slot k = 0..254 its key, its
// direction and the low and high byte of delay word k + 1.
size_t MacroGroupOffset(size_t group);

// The 3192-digit value of a record.
Text EncodeMacroRecord(const MacroRecord& record);
// A record from a value as read from a file: each three-character group is
// read as a decimal number and its low 8 bits kept; groups missing from a
// short value give 0.
MacroRecord DecodeMacroRecord(TextView value);

// Loading and saving the macro store through the private-profile routines.
class MacroFiles {
 public:
  MacroFiles(IniPort& ini, MessagePort& messages, MacroStore& store)
      : ini_(ini), messages_(messages), store_(store) {}

  // Caption of the missing-file message: the application's name.
  Text caption;
  // The working file of the interface language (see WorkingFilePath): set at
  // start and at every language change; Save and reset write it.
  Text workingPath;

  // Replaces the count and records 0..count-1 from the file; the other
  // records stay. A file that cannot be opened is reported to the user and
  // then loads as empty (0 macros). Counts above 12 load 12 macros, negative
  // counts none.
  void LoadMacroFile(const Text& path);
  // Writes the count and records 0..count-1. Keys of higher slots that an
  // earlier save left in the file stay; the count makes loads ignore them.
  void SaveMacroFile(const Text& path);

  // Import and Export of a file the user chose, through its contents: the
  // program is handed what the file holds and never opens the path. Import
  // loads as LoadMacroFile does (no contents: the file could not be read,
  // which is reported and loads as empty); Export gives what the file holds
  // after SaveMacroFile wrote into it, from what it holds now.
  void ImportMacroFile(const std::string* contents);
  std::string ExportMacroFile(const std::string& existing);

  // application folder + "\Macro_EN.dat", or "\Macro_CN.dat" in the second
  // language (`ui_language` zero).
  static Text WorkingFilePath(const Text& app_folder, int32_t ui_language);
  // The read-only defaults that reset restores: skin folder +
  // "\INI_EN\defMacro.dat" or "\INI_CN\defMacro.dat".
  static Text DefaultFilePath(const Text& skin_folder, int32_t ui_language);

  // Import and Export pick any ".dat" file.
  static constexpr const char16_t* kDialogFilter = u"All Files(*.dat)|*.dat||";
  static constexpr const char16_t* kExportExtension = u"dat";

  static constexpr const char16_t* kSection = u"Macros";
  static constexpr const char16_t* kCountKey = u"macroNum";
  static constexpr const char16_t* kMissingFileText = u"找不到配置文件";

 private:
  void Read(IniPort& ini, const Text& path);
  void Write(IniPort& ini, const Text& path);

  IniPort& ini_;
  MessagePort& messages_;
  MacroStore& store_;
};

// Whether `path` (as the system builds it, with backslashes) can be opened
// for reading.
bool CanOpenForReading(const Text& path);

}  // namespace nuv
