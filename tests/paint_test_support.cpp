#include "paint_test_support.h"

namespace nuv::test {

namespace {

template <size_t N>
void FillDistinct(SkinTable<N>& table, int32_t left, const char16_t* prefix) {
  for (size_t k = 0; k < N; ++k) {
    const auto key = static_cast<int32_t>(k);
    table.rects[k] = {left + 10 * key, key, 8, 20};
    table.captions[k] = Text(prefix) + FormatInt(key);
  }
}

}  // namespace

std::unique_ptr<PageSkin> DistinctKeySkin() {
  auto skin = std::make_unique<PageSkin>();
  FillDistinct(skin->main, 0, u"M");
  FillDistinct(skin->advanced, 1000, u"A");
  FillDistinct(skin->colour, 2000, u"C");
  for (size_t n = 0; n < kFunctionNameCount; ++n) {
    skin->functionNames[n] = u"F" + FormatInt(static_cast<int64_t>(n + 1));
  }
  return skin;
}

}  // namespace nuv::test
