// One value of a skin INI file and the seven fields it is split into. Every
// skin key (rectangles, captions, function names) goes through ReadSkinEntry.
#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include "platform/ini_port.h"
#include "platform/message_port.h"
#include "platform/text.h"

namespace nuv {

// Fields: 0 free label (or the whole value when it has no comma), 1 x, 2 y,
// 3 width, 4 height, 5 caption, 6 the rest (unused).
using SkinEntry = std::array<Text, 7>;

// The private-profile read of a skin value goes through a 260-character buffer.
constexpr size_t kSkinValueCapacity = 260;
constexpr size_t kSkinEntryMaxCommas = 6;

constexpr char16_t kSkinFileMissingText[] = u"找不到配置文件";
constexpr char16_t kSkinEntryMalformedText[] = u"加载ini错误！";

// What reading skin files needs from around it.
struct SkinSources {
  IniPort& ini;
  MessagePort& messages;
  // Caption of the message boxes: the application's name.
  Text messageCaption;
  // Whether a file exists (SkinFileExists unless a test or platform says otherwise).
  std::function<bool(const Text& path)> fileExists;
  // The main window's close sequence; runs once when a skin file is missing.
  std::function<void()> closeWindow;
};

// Splits a value at its commas: field k (0 to 5) is the text before comma k + 1
// (after comma k), field 6 everything after the sixth comma, further commas
// included. Without a comma the whole value is field 0.
SkinEntry SplitSkinValue(TextView value);

size_t CountCommas(TextView value);

// Reads key number `key` of `section`. When the file does not exist it shows
// "找不到配置文件", runs the close sequence, leaves `out` empty and returns false,
// so that the caller stops reading (one message, not one per key). A value with
// more than six commas shows "加载ini错误！" and is still split.
bool ReadSkinEntry(const SkinSources& sources, const Text& path, const Text& section, int key,
                   SkinEntry& out);

// Existence of a file named as the system names it (backslashes allowed).
bool SkinFileExists(const Text& path);

}  // namespace nuv
