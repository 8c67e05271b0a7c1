// The outside control channel of the virtual mouse: one command per line, so a
// script or a person can play the mouse's part from a shell.
//
//   press <n>        button n of the mouse (its own numbering 1..8) goes down
//   release          the button that is down comes up
//   click <n>        press and release
//   report <hex>...  the mouse sends these bytes as an input report
//   unplug / plug    the mouse leaves and comes back; the last of them in
//                    the file also says whether the mouse is plugged when
//                    the program starts
//   timestamps       from now on every trace line ends with " @<t>", t the
//                    steady clock's count in microseconds when the mouse sent
//                    or received the report (bench/macro_timing.sh)
//
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace nuv {

struct VirtualControlCommand {
  enum class Kind { kPress, kRelease, kClick, kReport, kUnplug, kPlug, kTimestamps };
  Kind kind = Kind::kRelease;
  int button = 0;              // press, click: 1..8
  std::vector<uint8_t> bytes;  // report: 1..kMaxReportBytes
};

constexpr size_t kMaxControlReportBytes = 64;

// Nothing for blank lines, comments and anything that is not a whole command.
std::optional<VirtualControlCommand> ParseVirtualControlLine(std::string_view line);

}  // namespace nuv
