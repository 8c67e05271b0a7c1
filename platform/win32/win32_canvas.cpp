#include "platform/win32/win32_canvas.h"

#include <algorithm>
#include <cstring>

namespace nuv::win32 {

namespace {

const wchar_t* Wide(TextView text) { return reinterpret_cast<const wchar_t*>(text.data()); }

int Length(TextView text) {
  // Captions come from 260-character values; the cast cannot overflow.
  return static_cast<int>(text.size());
}

}  // namespace

void GdiCanvas::Surface::Release() {
  selection.reset();
  dc.reset();
  bitmap.reset();
  bits = nullptr;
  width = 0;
  height = 0;
  decoded = false;
}

bool GdiCanvas::MakeSurface(int width, int height, Surface& out) {
  out.Release();
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top, like the pictures
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  out.dc.reset(CreateCompatibleDC(nullptr));
  out.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &out.bits, nullptr, 0));
  if (!out.dc || !out.bitmap || out.bits == nullptr) {
    out.Release();
    return false;
  }
  out.selection = SelectedObject(out.dc.get(), out.bitmap.get());
  out.width = width;
  out.height = height;
  return true;
}

GdiCanvas::GdiCanvas(PicturePort& decoder) : decoder_(decoder) {
  MakeFonts();
  blackBrush_.reset(CreateSolidBrush(RGB(0, 0, 0)));
}

void GdiCanvas::MakeFonts() {
  // The two interface fonts, their cells in skin units at the canvas's scale:
  // weight 400, not italic, underlined or struck out.
  if (back_.dc) SelectObject(back_.dc.get(), GetStockObject(SYSTEM_FONT));
  english_.reset(CreateFontW(scale_.ToPixels(15), scale_.ToPixels(7), 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, 0, 2, 1, 0, 0x11, L"Arial"));
  second_.reset(CreateFontW(scale_.ToPixels(12), scale_.ToPixels(6), 0, 0, FW_NORMAL, FALSE, FALSE,
                            FALSE, 0, 0, 0, 0, 0x20, L"Verdana"));
}

void GdiCanvas::SetScale(const DisplayScale& scale) {
  if (scale.dpi() == scale_.dpi()) return;
  scale_ = scale;
  ForgetPictures();
  MakeFonts();
}

GdiCanvas::~GdiCanvas() {
  ForgetPictures();
  // The back buffer may hold a font selected into it: DC first, fonts after.
  back_.Release();
}

HBRUSH GdiCanvas::PrepareControlColours(HDC control, int32_t language) const {
  SelectObject(control, FontFor(language));
  SetBkColor(control, RGB(0, 0, 0));
  SetTextColor(control, RGB(255, 255, 255));
  return blackBrush_.get();
}

void GdiCanvas::SetSkinFolder(const Text& folder) {
  if (folder == skinFolder_) return;
  skinFolder_ = folder;
  ForgetPictures();
}

void GdiCanvas::ForgetPictures() {
  for (Surface& s : pictures_) s.Release();
}

const GdiCanvas::Surface* GdiCanvas::PictureOf(SkinPicture picture) {
  if (picture >= SkinPicture::kCount) return nullptr;
  Surface& s = pictures_[static_cast<size_t>(picture)];
  if (!s.decoded) {
    const Picture decoded =
        LoadPictureAtScale(decoder_, skinFolder_ + SkinPictureFileName(picture), scale_);
    if (!decoded.empty() && MakeSurface(decoded.width, decoded.height, s)) {
      auto* out = static_cast<uint8_t*>(s.bits);
      const uint8_t* in = decoded.rgb.data();
      const size_t pixels =
          static_cast<size_t>(decoded.width) * static_cast<size_t>(decoded.height);
      for (size_t i = 0; i < pixels; ++i, in += 3, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = 0;
      }
      GdiFlush();
    }
    // A picture that could not be loaded is not tried again until the skin changes.
    s.decoded = true;
  }
  return s.dc ? &s : nullptr;
}

size_t GdiCanvas::DecodedPictureBytes() const {
  size_t bytes = 0;
  for (const Surface& s : pictures_) bytes += static_cast<size_t>(s.width) * s.height * 4;
  return bytes;
}

bool GdiCanvas::PrepareBackBuffer(int width, int height) {
  if (back_.dc && back_.width == width && back_.height == height) return true;
  if (!MakeSurface(width, height, back_)) return false;
  SetBkMode(back_.dc.get(), TRANSPARENT);
  return true;
}

void GdiCanvas::Present(HDC target, int width, int height) const {
  if (!back_.dc) return;
  BitBlt(target, 0, 0, width, height, back_.dc.get(), 0, 0, SRCCOPY);
}

uint32_t GdiCanvas::BackBufferPixel(int x, int y) const {
  if (back_.bits == nullptr || x < 0 || y < 0 || x >= back_.width || y >= back_.height) return 0;
  GdiFlush();
  uint32_t value = 0;
  std::memcpy(
      &value,
      static_cast<const uint8_t*>(back_.bits) +
          (static_cast<size_t>(y) * static_cast<size_t>(back_.width) + static_cast<size_t>(x)) * 4,
      4);
  return value & 0xFFFFFFu;
}

void GdiCanvas::BeginPage(SkinPicture background) {
  if (!caching_) ForgetPictures();
  // Above 100 % a page's pictures take several megabytes each: only the face
  // being painted keeps its pictures decoded (at 200 % about 27 MB at most,
  // instead of 53 MB for every page).
  if (!scale_.IsBase()) {
    for (size_t p = 0; p < pictures_.size(); ++p) {
      if (GroupOf(static_cast<SkinPicture>(p)) != GroupOf(background)) pictures_[p].Release();
    }
  }
  if (!back_.dc) return;
  const Surface* picture = PictureOf(background);
  if (picture == nullptr || picture->width < back_.width || picture->height < back_.height) {
    // What the picture does not cover stays black.
    PatBlt(back_.dc.get(), 0, 0, back_.width, back_.height, BLACKNESS);
  }
  if (picture != nullptr) {
    BitBlt(back_.dc.get(), 0, 0, std::min(picture->width, back_.width),
           std::min(picture->height, back_.height), picture->dc.get(), 0, 0, SRCCOPY);
  }
}

void GdiCanvas::CopyFrom(SkinPicture source, int32_t sourceX, int32_t sourceY, int32_t x, int32_t y,
                         int32_t width, int32_t height) {
  if (!back_.dc) return;
  const Surface* from = PictureOf(source);
  if (from == nullptr) return;
  // Both edges of the block to pixels (in 64 bits: skin values are unchecked).
  const auto edge = [this](int32_t start, int32_t length) {
    return scale_.ToPixels(
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{start} + length, INT32_MIN, INT32_MAX)));
  };
  const int32_t left = scale_.ToPixels(x);
  const int32_t top = scale_.ToPixels(y);
  CopyBlock b{scale_.ToPixels(sourceX), scale_.ToPixels(sourceY), left, top,
              edge(x, width) - left,    edge(y, height) - top};
  if (!ClipCopy(from->width, from->height, back_.width, back_.height, b)) return;
  BitBlt(back_.dc.get(), b.x, b.y, b.width, b.height, from->dc.get(), b.sourceX, b.sourceY,
         SRCCOPY);
}

void GdiCanvas::SelectFont(TextFont font) {
  if (back_.dc) SelectObject(back_.dc.get(), Font(font));
}

TextExtent GdiCanvas::MeasureText(TextView text) {
  SIZE size{};
  if (!back_.dc || !GetTextExtentPoint32W(back_.dc.get(), Wide(text), Length(text), &size)) {
    return {};
  }
  return {scale_.ToUnits(size.cx), scale_.ToUnits(size.cy)};
}

void GdiCanvas::PutText(int32_t x, int32_t y, TextView text, TextColour colour) {
  if (!back_.dc) return;
  SetTextColor(back_.dc.get(), RGB(colour.red, colour.green, colour.blue));
  TextOutW(back_.dc.get(), scale_.ToPixels(x), scale_.ToPixels(y), Wide(text), Length(text));
}

void GdiCanvas::FrameBox(int32_t x, int32_t y, int32_t width, int32_t height, int32_t thickness,
                         TextColour colour) {
  if (!back_.dc || width <= 0 || height <= 0 || thickness <= 0) return;
  // Edges scaled like a copy's; the thickness at least one pixel.
  const auto edge = [this](int64_t units) {
    return scale_.ToPixels(
        static_cast<int32_t>(std::clamp<int64_t>(units, INT32_MIN / 4, INT32_MAX / 4)));
  };
  const RECT box{edge(x), edge(y), edge(int64_t{x} + width), edge(int64_t{y} + height)};
  const int32_t t = std::max(1, scale_.ToPixels(thickness));
  BrushHandle brush(CreateSolidBrush(RGB(colour.red, colour.green, colour.blue)));
  if (!brush) return;
  const RECT edges[] = {{box.left, box.top, box.right, box.top + t},
                        {box.left, box.bottom - t, box.right, box.bottom},
                        {box.left, box.top, box.left + t, box.bottom},
                        {box.right - t, box.top, box.right, box.bottom}};
  for (const RECT& edge : edges) FillRect(back_.dc.get(), &edge, brush.get());
}

}  // namespace nuv::win32
