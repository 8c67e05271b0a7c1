// The shipped skin and a paint state for the benchmark and the preview tool.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/host/recording_messages.h"
#include "ui/page_paint.h"
#ifdef _WIN32
#include "platform/win32/win32_ini.h"
#else
#include "platform/host/host_ini.h"
#endif

namespace nuv::bench {

// The skins folder given on the command line, else the repository's.
inline Text SkinFolderArgument(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : std::string(NUV_SOURCE_DIR) + "/skins";
#ifdef _WIN32
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
  for (auto& c : folder) {
    if (c == '/') c = '\\';
  }
#endif
  return Widen(folder);
}

// Everything a paint reads, with a profile and macros that exercise every
// kind of drawing: hover, attention mark, macro labels, enabled levels.
struct PaintScene {
  explicit PaintScene(const Text& skinFolder, int32_t uiLanguage = 1) : language(uiLanguage) {
#ifdef _WIN32
    win32::Win32Ini ini;
#else
    HostIni ini;
#endif
    RecordingMessages messages;
    SkinSources sources{ini, messages, u"bench", SkinFileExists, [] {}};
    loaded = LoadPageSkin(sources, skinFolder, language, skin);
    for (size_t l = 0; l < kDpiLevelCount; ++l) {
      profile.dpiKnobKey[l] = DpiKnobKey(static_cast<int>(l), static_cast<int>(l));
      profile.dpiEnabled[l] = l != 2;
    }
    const int32_t buttons[kButtonCount] = {1, 2, 3, 41, 5, 26, 42};
    for (size_t b = 0; b < kButtonCount; ++b) profile.buttons[b] = buttons[b];
    profile.dpiLevel = 1;
    profile.fireTime = 120;
    profile.pointerSpeed = 5;
    profile.wheelSpeed = 2;
    profile.ledMode = 1;
    macros.Write(0, MacroRecord::Named(u"Greeting"));
    macros.Write(1, MacroRecord::Named(u"Reload"));
    macros.SetCount(2);
    attention.armed = 0;
    attention.button = 4;
    attention.blinkPhase = 1;
    ui.mainHover = 10;
  }
  PaintInputs Inputs(uint8_t page) {
    ui.page = page;
    return {.ui = ui,
            .skin = skin,
            .language = language,
            .configNumber = 2,
            .profile = profile,
            .macros = macros,
            .recording = false,
            .counters = {4, 3},
            .attention = attention};
  }

  int32_t language;
  PageSkin skin;
  bool loaded = false;
  UiState ui;
  MouseProfile profile;
  MacroStore macros;
  AttentionState attention;
};

constexpr const char* kPageNames[] = {"main", "advanced", "colour"};

}  // namespace nuv::bench
