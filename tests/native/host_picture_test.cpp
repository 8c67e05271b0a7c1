// libjpeg decoding of the native build: shipped pictures decode to their size,
// damaged data fails cleanly.
#include "platform/host/host_picture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "skin_test_support.h"

namespace nuv::test {
namespace {

std::string ReadBytes(const Text& path) {
  std::string name = Narrow(path);
  for (auto& c : name) {
    if (c == '\\') c = '/';
  }
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(HostPictures, ShippedPicturesDecodeToTheirSizes) {
  HostJpegPictures pictures;
  struct Expect {
    const char* name;
    int32_t width, height;
  };
  for (const Expect& e :
       {Expect{"main_normal.jpg", 720, 480}, Expect{"main_mask.jpg", 720, 480},
        Expect{"color_over_blue.jpg", 720, 480}, Expect{"warning_over.jpg", 440, 170}}) {
    Picture picture;
    ASSERT_TRUE(pictures.Load(ShippedSkinFolder() + u"\\" + Widen(e.name), picture)) << e.name;
    EXPECT_EQ(picture.width, e.width) << e.name;
    EXPECT_EQ(picture.height, e.height) << e.name;
    EXPECT_EQ(picture.rgb.size(), static_cast<size_t>(e.width) * e.height * 3);
  }
}

TEST(HostPictures, DamagedOrMissingDataGivesAnEmptyPicture) {
  HostJpegPictures pictures;
  Picture picture;
  EXPECT_FALSE(pictures.Load(ShippedSkinFolder() + u"\\missing.jpg", picture));
  EXPECT_TRUE(picture.empty());

  const std::string bytes = ReadBytes(ShippedSkinFolder() + u"\\dpi_slider.jpg");
  ASSERT_GT(bytes.size(), 200u);
  for (size_t cut : {size_t{0}, size_t{2}, size_t{100}, bytes.size() / 2}) {
    picture.width = 9;
    const bool ok = HostJpegPictures::Decode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                             cut, picture);
    if (!ok)
      EXPECT_TRUE(picture.empty()) << cut;
    else
      EXPECT_EQ(picture.rgb.size(), static_cast<size_t>(picture.width) * picture.height * 3);
  }
  std::string noise(500, '\xFF');
  EXPECT_FALSE(HostJpegPictures::Decode(reinterpret_cast<const unsigned char*>(noise.data()),
                                        noise.size(), picture));
  EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace nuv::test
