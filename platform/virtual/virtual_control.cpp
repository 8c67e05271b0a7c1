#include "platform/virtual/virtual_control.h"

#include <charconv>
#include <string>

namespace nuv {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
    const size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

std::optional<int> Number(std::string_view word, int base, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::string Lower(std::string_view word) {
  std::string out(word);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::optional<VirtualControlCommand> ParseVirtualControlLine(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty() || words[0].front() == '#') return std::nullopt;
  const std::string verb = Lower(words[0]);
  VirtualControlCommand command;
  if (verb == "press" || verb == "click") {
    if (words.size() != 2) return std::nullopt;
    const auto button = Number(words[1], 10, 1, 8);
    if (!button) return std::nullopt;
    command.kind =
        verb == "press" ? VirtualControlCommand::Kind::kPress : VirtualControlCommand::Kind::kClick;
    command.button = *button;
    return command;
  }
  if (verb == "report") {
    if (words.size() < 2 || words.size() - 1 > kMaxControlReportBytes) return std::nullopt;
    for (size_t i = 1; i < words.size(); ++i) {
      const auto byte = words[i].size() <= 2 ? Number(words[i], 16, 0, 255) : std::nullopt;
      if (!byte) return std::nullopt;
      command.bytes.push_back(static_cast<uint8_t>(*byte));
    }
    command.kind = VirtualControlCommand::Kind::kReport;
    return command;
  }
  if (words.size() != 1) return std::nullopt;
  if (verb == "release")
    command.kind = VirtualControlCommand::Kind::kRelease;
  else if (verb == "unplug")
    command.kind = VirtualControlCommand::Kind::kUnplug;
  else if (verb == "plug")
    command.kind = VirtualControlCommand::Kind::kPlug;
  else if (verb == "timestamps")
    command.kind = VirtualControlCommand::Kind::kTimestamps;
  else
    return std::nullopt;
  return command;
}

}  // namespace nuv
