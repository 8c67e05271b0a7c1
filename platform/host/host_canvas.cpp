#include "platform/host/host_canvas.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace nuv {

HostCanvas::HostCanvas(PicturePort& decoder, Text skinFolder)
    : decoder_(&decoder), skinFolder_(std::move(skinFolder)) {}

void HostCanvas::ForgetPictures() {
  for (auto& p : pictures_) p.reset();
}

const Picture* HostCanvas::PictureOf(SkinPicture picture) {
  if (decoder_ == nullptr || picture >= SkinPicture::kCount) return nullptr;
  auto& slot = pictures_[static_cast<size_t>(picture)];
  if (!slot) {
    slot.emplace();
    decoder_->Load(skinFolder_ + SkinPictureFileName(picture), *slot);
  }
  return slot->empty() ? nullptr : &*slot;
}

void HostCanvas::BeginPage(SkinPicture background) {
  background_ = background;
  copies_.clear();
  texts_.clear();
  frames_.clear();
  const Picture* picture = PictureOf(background);
  if (picture != nullptr) {
    face_ = *picture;
  } else if (decoder_ != nullptr) {
    // A missing background leaves the face black at its last size.
    std::fill(face_.rgb.begin(), face_.rgb.end(), uint8_t{0});
  }
}

void HostCanvas::CopyFrom(SkinPicture source, int32_t sourceX, int32_t sourceY, int32_t x,
                          int32_t y, int32_t width, int32_t height) {
  copies_.push_back({source, sourceX, sourceY, x, y, width, height});
  const Picture* from = PictureOf(source);
  if (from == nullptr || face_.empty()) return;
  CopyBlock b{sourceX, sourceY, x, y, width, height};
  if (!ClipCopy(from->width, from->height, face_.width, face_.height, b)) return;
  const auto offset = [](const Picture& p, int32_t px, int32_t py) {
    return (static_cast<size_t>(py) * static_cast<size_t>(p.width) + static_cast<size_t>(px)) * 3;
  };
  for (int32_t row = 0; row < b.height; ++row) {
    std::memcpy(face_.rgb.data() + offset(face_, b.x, b.y + row),
                from->rgb.data() + offset(*from, b.sourceX, b.sourceY + row),
                static_cast<size_t>(b.width) * 3);
  }
}

TextExtent HostCanvas::MeasureText(TextView text) {
  const bool english = font_ == TextFont::kEnglish;
  return {static_cast<int32_t>(text.size()) * (english ? 7 : 6), english ? 15 : 12};
}

void HostCanvas::PutText(int32_t x, int32_t y, TextView text, TextColour colour) {
  texts_.push_back({x, y, Text(text), colour, font_});
}

std::vector<HostCanvas::Copy> HostCanvas::CopiesFrom(SkinPicture source) const {
  std::vector<Copy> out;
  for (const Copy& c : copies_) {
    if (c.source == source) out.push_back(c);
  }
  return out;
}

const HostCanvas::DrawnText* HostCanvas::FindText(TextView text) const {
  for (const DrawnText& t : texts_) {
    if (t.text == text) return &t;
  }
  return nullptr;
}

}  // namespace nuv
