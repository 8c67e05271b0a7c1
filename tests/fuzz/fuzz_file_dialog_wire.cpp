// Feeds arbitrary bytes, as a user's process could send them over the file
// dialog helper's pipe, through the stream reader and every body decoder:
// nothing may crash, and whatever a decoder accepts encodes back to the same
// body.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_dialog_wire.h"

namespace {

#define CHECK(condition)                                      \
  do {                                                        \
    if (!(condition)) {                                       \
      std::fprintf(stderr, "check failed: %s\n", #condition); \
      std::abort();                                           \
    }                                                         \
  } while (0)

void Decode(const std::string& body) {
  using namespace nuv;
  if (auto request = DecodeRequest(body)) CHECK(EncodeRequest(*request) == body);
  if (auto chosen = DecodeChosen(body)) {
    CHECK(EncodeChosen(*chosen) == body);
    CHECK(chosen->bytes.size() <= kMaxExchangedFileBytes);
  }
  if (auto done = DecodeDone(body)) CHECK(EncodeDone(*done) == body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Decode(bytes);
  // The rest as a stream, in pieces of the size the first byte chooses.
  if (size == 0) return 0;
  nuv::WireReader reader;
  const size_t piece = data[0] % 16 + 1;
  for (size_t at = 1; at < size; at += piece) {
    reader.Feed(bytes.data() + at, std::min(piece, size - at));
    while (auto message = reader.Next()) {
      CHECK(!reader.broken());
      Decode(message->body);
      CHECK(nuv::FrameWireMessage(message->type, message->body).size() == message->body.size() + 5);
    }
  }
  return 0;
}
