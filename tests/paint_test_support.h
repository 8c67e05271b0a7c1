// Fixtures of the paint tests: a skin whose every key has a rectangle of its
// own, so that a copy tells which key it drew.
#pragma once

#include <memory>
#include <vector>

#include "platform/host/host_canvas.h"
#include "ui/page_paint.h"

namespace nuv::test {

// Main key k at x 10k, advanced key k at 1000 + 10k, colour key k at 2000 +
// 10k; y is k, each 8 wide and 20 high; captions "M<k>", "A<k>", "C<k>".
std::unique_ptr<PageSkin> DistinctKeySkin();

// The keys of `table` that a copy from `picture` covered (by position).
template <size_t N>
std::vector<uint32_t> KeysFrom(const HostCanvas& canvas, const SkinTable<N>& table,
                               SkinPicture picture) {
  std::vector<uint32_t> keys;
  for (const HostCanvas::Copy& c : canvas.CopiesFrom(picture)) {
    for (uint32_t k = 0; k < N; ++k) {
      if (table.rects[k].x == c.x && table.rects[k].y == c.y) keys.push_back(k);
    }
  }
  return keys;
}

}  // namespace nuv::test
