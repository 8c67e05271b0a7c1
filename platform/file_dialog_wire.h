// What the program and its file dialog helper say to each other over their
// pipe. The helper runs with the desktop user's rights and shows the open and
// save dialogs; the elevated program never opens a path the user chose, it
// only reads and makes files' contents.
//
// A conversation:
//   program -> helper   kRequest  (the dialog to show)
//   helper  -> program  kCancelled, or kChosen (open: the chosen file; save:
//                       what the chosen file holds now, so that the program
//                       writes into it as the private-profile routines would)
//   program -> helper   (save only) kWrite with the new contents, or kAbandon
//   helper  -> program  (save only) kDone: whether the file was written
//
// Each message is one byte of type, the length of its body (32 bits, little
// endian) and the body. The helper is a process of the user's, so everything
// it sends is read as untrusted: lengths are limited before anything is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/text.h"

namespace nuv {

// Profile and macro files are a few kilobytes; a larger file is not read.
constexpr size_t kMaxExchangedFileBytes = size_t{1} << 20;
// The longest text of a request (a path or a filter), in UTF-16 units.
constexpr size_t kMaxWireTextUnits = 32768;

enum class WireType : uint8_t {
  kRequest = 1,
  kCancelled = 2,
  kChosen = 3,
  kWrite = 4,
  kAbandon = 5,
  kDone = 6,
};

struct WireMessage {
  WireType type = WireType::kCancelled;
  std::string body;
};

// The dialog to show: open or save (asking before overwriting), the filter in
// its short form ("Name|*.ext||"), the extension a save adds, the folder it
// starts in.
struct DialogRequest {
  bool save = false;
  Text filter;
  Text defaultExtension;
  Text initialFolder;
  bool operator==(const DialogRequest&) const = default;
};

// The file the user chose, as the helper found it: its contents, no file by
// that name (a save's new file, or a name typed for an open), or a file it
// could not read (refused, locked, larger than kMaxExchangedFileBytes, not a
// disk file).
// How a save through the dialog ended: no file chosen (cancelled, or the
// dialog could not be shown), the file written, or a file chosen but not
// written (it is then as it was, and the user is told).
enum class SaveOutcome { kNotChosen, kWritten, kFailed };

struct ChosenFile {
  enum class State : uint8_t { kRead = 0, kAbsent = 1, kUnreadable = 2 };
  State state = State::kAbsent;
  std::string bytes;  // kRead only
  bool operator==(const ChosenFile&) const = default;
};

// One message on the wire; empty when the body is too long to be sent.
std::string FrameWireMessage(WireType type, const std::string& body);

// Takes the bytes of a stream as they arrive and hands out whole messages.
class WireReader {
 public:
  // Adds received bytes. Once the stream is broken (an unknown type, a body
  // over the limit) nothing more is taken or handed out.
  void Feed(const char* data, size_t size);
  std::optional<WireMessage> Next();
  bool broken() const { return broken_; }

 private:
  std::string buffer_;
  size_t start_ = 0;
  bool broken_ = false;
};

// Bodies. A decoder refuses a body that is not exactly what its encoder
// makes (short, trailing bytes, a flag other than 0 or 1, an odd text).
std::string EncodeRequest(const DialogRequest& request);
std::optional<DialogRequest> DecodeRequest(const std::string& body);
std::string EncodeChosen(const ChosenFile& chosen);
std::optional<ChosenFile> DecodeChosen(const std::string& body);
std::string EncodeDone(bool written);
std::optional<bool> DecodeDone(const std::string& body);
// kWrite's body is the file's bytes; kCancelled and kAbandon have none.

}  // namespace nuv
