#include "platform/file_dialog_wire.h"

#include <gtest/gtest.h>

#include <string>

namespace nuv::test {
namespace {

std::string Header(uint8_t type, uint32_t length) {
  std::string h(1, static_cast<char>(type));
  for (int shift = 0; shift < 32; shift += 8) h += static_cast<char>(length >> shift & 0xFF);
  return h;
}

TEST(FileDialogWire, StreamsHandOutWholeMessagesOnly) {
  const DialogRequest request{true, u"All Files(*.ini)|*.ini||", u"ini", u"C:\\Program Files\\é"};
  const std::string stream = FrameWireMessage(WireType::kRequest, EncodeRequest(request)) +
                             FrameWireMessage(WireType::kCancelled, "");
  // Byte by byte, as a pipe may deliver them.
  WireReader reader;
  std::vector<WireMessage> got;
  for (char c : stream) {
    reader.Feed(&c, 1);
    while (auto message = reader.Next()) got.push_back(*message);
  }
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].type, WireType::kRequest);
  EXPECT_EQ(DecodeRequest(got[0].body), request);
  EXPECT_EQ(got[1].type, WireType::kCancelled);
  EXPECT_TRUE(got[1].body.empty());
  EXPECT_FALSE(reader.broken());
}

TEST(FileDialogWire, BrokenStreamsAndBodies) {
  struct Case {
    const char* what;
    std::string stream;
    bool broken;
  };
  const Case streams[] = {
      {"unknown type", Header(7, 0), true},
      {"type zero", Header(0, 0), true},
      {"body over the limit", Header(3, kMaxExchangedFileBytes + 2), true},
      {"body at the limit, not yet whole", Header(3, kMaxExchangedFileBytes + 1), false},
      {"header not yet whole", Header(2, 0).substr(0, 4), false},
  };
  for (const Case& c : streams) {
    WireReader reader;
    reader.Feed(c.stream.data(), c.stream.size());
    EXPECT_FALSE(reader.Next()) << c.what;
    EXPECT_EQ(reader.broken(), c.broken) << c.what;
    const std::string more = FrameWireMessage(WireType::kCancelled, "");
    reader.Feed(more.data(), more.size());
    if (c.broken) {
      EXPECT_FALSE(reader.Next()) << c.what << ": nothing after a break";
    }
  }
  EXPECT_TRUE(
      FrameWireMessage(WireType::kWrite, std::string(kMaxExchangedFileBytes + 2, 'x')).empty());

  const std::string request = EncodeRequest({false, u"a", u"", u"b"});
  const std::string bodies[] = {
      "",                                                                 // no flag
      std::string("\2") + request.substr(1),                              // flag other than 0 or 1
      request.substr(0, request.size() - 1),                              // short text
      request + "x",                                                      // trailing byte
      std::string("\0", 1) + Header(0, kMaxWireTextUnits + 1).substr(1),  // text too long
  };
  for (const std::string& body : bodies) EXPECT_FALSE(DecodeRequest(body)) << body.size();

  EXPECT_EQ(DecodeChosen(EncodeChosen({ChosenFile::State::kRead, "[A]\r\n"})),
            (ChosenFile{ChosenFile::State::kRead, "[A]\r\n"}));
  EXPECT_EQ(DecodeChosen(std::string(1, '\2')), (ChosenFile{ChosenFile::State::kUnreadable, ""}));
  for (const std::string& body : {std::string(), std::string("\1x"), std::string("\3")}) {
    EXPECT_FALSE(DecodeChosen(body)) << body.size();
  }
  EXPECT_FALSE(DecodeChosen(std::string(1, '\0') + std::string(kMaxExchangedFileBytes + 1, 'x')));
  EXPECT_EQ(DecodeDone(EncodeDone(true)), true);
  EXPECT_FALSE(DecodeDone(std::string("\2")));
  EXPECT_FALSE(DecodeDone(std::string("\1\1")));
}

}  // namespace
}  // namespace nuv::test
