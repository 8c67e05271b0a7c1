#include "platform/file_dialog_wire.h"

namespace nuv {

namespace {

constexpr size_t kHeaderBytes = 5;
// The longest body: a file's bytes behind a state byte (kChosen), or a
// request of four texts, whichever is more.
constexpr size_t kMaxBodyBytes = kMaxExchangedFileBytes + 1;
static_assert(1 + 3 * (4 + 2 * kMaxWireTextUnits) <= kMaxBodyBytes);

bool KnownType(uint8_t type) {
  return type >= static_cast<uint8_t>(WireType::kRequest) &&
         type <= static_cast<uint8_t>(WireType::kDone);
}

void PutU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

uint32_t GetU32(const std::string& in, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<uint8_t>(in[at + i])} << (8 * i);
  return value;
}

void PutText(std::string& out, const Text& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
}

// Reads a body front to back; any read past its end fails the whole decode.
class BodyReader {
 public:
  explicit BodyReader(const std::string& body) : body_(body) {}
  std::optional<uint8_t> Flag() {
    if (at_ >= body_.size()) return std::nullopt;
    const auto value = static_cast<uint8_t>(body_[at_++]);
    if (value > 1) return std::nullopt;
    return value;
  }
  std::optional<Text> TakeText() {
    if (body_.size() - at_ < 4) return std::nullopt;
    const uint32_t units = GetU32(body_, at_);
    at_ += 4;
    if (units > kMaxWireTextUnits || body_.size() - at_ < size_t{2} * units) return std::nullopt;
    Text text(units, u'\0');
    for (auto& unit : text) {
      unit = static_cast<char16_t>(static_cast<uint8_t>(body_[at_]) |
                                   static_cast<uint8_t>(body_[at_ + 1]) << 8);
      at_ += 2;
    }
    return text;
  }
  bool AtEnd() const { return at_ == body_.size(); }

 private:
  const std::string& body_;
  size_t at_ = 0;
};

}  // namespace

std::string FrameWireMessage(WireType type, const std::string& body) {
  if (body.size() > kMaxBodyBytes) return std::string();
  std::string out;
  out.reserve(kHeaderBytes + body.size());
  out += static_cast<char>(type);
  PutU32(out, static_cast<uint32_t>(body.size()));
  out += body;
  return out;
}

void WireReader::Feed(const char* data, size_t size) {
  if (broken_) return;
  // What was handed out goes before more comes in: the buffer holds at most
  // one message not yet whole and the bytes of one read.
  buffer_.erase(0, start_);
  start_ = 0;
  buffer_.append(data, size);
}

std::optional<WireMessage> WireReader::Next() {
  if (broken_ || buffer_.size() - start_ < kHeaderBytes) return std::nullopt;
  const auto type = static_cast<uint8_t>(buffer_[start_]);
  const uint32_t length = GetU32(buffer_, start_ + 1);
  if (!KnownType(type) || length > kMaxBodyBytes) {
    broken_ = true;
    buffer_.clear();
    start_ = 0;
    return std::nullopt;
  }
  if (buffer_.size() - start_ - kHeaderBytes < length) return std::nullopt;
  WireMessage message{static_cast<WireType>(type), buffer_.substr(start_ + kHeaderBytes, length)};
  start_ += kHeaderBytes + length;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  return message;
}

std::string EncodeRequest(const DialogRequest& request) {
  std::string out(1, request.save ? '\1' : '\0');
  PutText(out, request.filter);
  PutText(out, request.defaultExtension);
  PutText(out, request.initialFolder);
  return out;
}

std::optional<DialogRequest> DecodeRequest(const std::string& body) {
  BodyReader in(body);
  const auto save = in.Flag();
  if (!save) return std::nullopt;
  auto filter = in.TakeText();
  if (!filter) return std::nullopt;
  auto extension = in.TakeText();
  if (!extension) return std::nullopt;
  auto folder = in.TakeText();
  if (!folder || !in.AtEnd()) return std::nullopt;
  return DialogRequest{*save != 0, std::move(*filter), std::move(*extension), std::move(*folder)};
}

std::string EncodeChosen(const ChosenFile& chosen) {
  std::string out(1, static_cast<char>(chosen.state));
  if (chosen.state == ChosenFile::State::kRead) out += chosen.bytes;
  return out;
}

std::optional<ChosenFile> DecodeChosen(const std::string& body) {
  if (body.empty()) return std::nullopt;
  const auto state = static_cast<uint8_t>(body[0]);
  if (state == static_cast<uint8_t>(ChosenFile::State::kRead)) {
    if (body.size() - 1 > kMaxExchangedFileBytes) return std::nullopt;
    return ChosenFile{ChosenFile::State::kRead, body.substr(1)};
  }
  if (body.size() != 1 || state > static_cast<uint8_t>(ChosenFile::State::kUnreadable)) {
    return std::nullopt;
  }
  return ChosenFile{static_cast<ChosenFile::State>(state), std::string()};
}

std::string EncodeDone(bool written) { return std::string(1, written ? '\1' : '\0'); }

std::optional<bool> DecodeDone(const std::string& body) {
  if (body.size() != 1 || static_cast<uint8_t>(body[0]) > 1) return std::nullopt;
  return body[0] == '\1';
}

}  // namespace nuv
