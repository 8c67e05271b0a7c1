// A canvas in memory for tests and the native benchmark: it records every call
// (what was drawn where, from which picture, in which colour) and, when it is
// given the skin pictures, also composes the face's pixels.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "platform/canvas_port.h"
#include "platform/picture_port.h"

namespace nuv {

class HostCanvas : public CanvasPort {
 public:
  struct Copy {
    SkinPicture source;
    int32_t sourceX, sourceY, x, y, width, height;
    bool operator==(const Copy&) const = default;
  };
  struct Frame {
    int32_t x, y, width, height, thickness;
    TextColour colour;
  };
  struct DrawnText {
    int32_t x, y;
    Text text;
    TextColour colour;
    TextFont font;
  };

  // Records only.
  HostCanvas() = default;
  // Records and composes pixels from the pictures of `skinFolder`, decoded on
  // first use and kept until ForgetPictures().
  HostCanvas(PicturePort& decoder, Text skinFolder);

  void BeginPage(SkinPicture background) override;
  void CopyFrom(SkinPicture source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                int32_t width, int32_t height) override;
  void SelectFont(TextFont font) override { font_ = font; }
  // Fixed metrics: each character is the font's average width wide (7 or 6)
  // and the text is the font's height (15 or 12) tall.
  TextExtent MeasureText(TextView text) override;
  void PutText(int32_t x, int32_t y, TextView text, TextColour colour) override;
  void FrameBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness,
                TextColour colour) override {
    frames_.push_back({x, y, width, height, thickness, colour});
  }

  void ForgetPictures();

  std::optional<SkinPicture> background() const { return background_; }
  const std::vector<Copy>& copies() const { return copies_; }
  const std::vector<DrawnText>& texts() const { return texts_; }
  const std::vector<Frame>& frames() const { return frames_; }
  // The composed face (the background's size; empty when recording only).
  const Picture& face() const { return face_; }

  // Test helpers.
  std::vector<Copy> CopiesFrom(SkinPicture source) const;
  const DrawnText* FindText(TextView text) const;

 private:
  const Picture* PictureOf(SkinPicture picture);

  PicturePort* decoder_ = nullptr;
  Text skinFolder_;
  std::array<std::optional<Picture>, kSkinPictureCount> pictures_{};
  TextFont font_ = TextFont::kEnglish;
  std::optional<SkinPicture> background_;
  std::vector<Copy> copies_;
  std::vector<DrawnText> texts_;
  std::vector<Frame> frames_;
  Picture face_;
};

}  // namespace nuv
