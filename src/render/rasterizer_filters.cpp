// Post-filters of anti-aliased text masks, and the box reduction of super-sampled masks.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "rasterizer.hpp"

namespace zo::render {

namespace {

// The gain table: v -> min(255, trunc(1.75 v)), built on first use and kept.
const std::array<uint8_t, 256>& gain_table() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(std::min(255, v * 7 / 4));
    return t;
  }();
  return table;
}

// Convolution with 0 -1 0 / -1 9 -1 / 0 -1 0, divided by 5 and clamped; pixels outside the
// mask count as 0. Keeps the unfiltered previous and current rows, so the mask is filtered
// in place with two rows of scratch.
bool sharpen(const Mask& mask) {
  const uint32_t w = mask.width;
  if (w == 0 || mask.height == 0) return true;
  auto* scratch = static_cast<uint8_t*>(plat::mem_alloc(size_t{w} * 2, plat::kZeroFill));
  if (scratch == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return false;
  }
  uint8_t* above = scratch;  // the previous row before filtering (zeros above the mask)
  uint8_t* current = scratch + w;
  for (uint32_t y = 0; y < mask.height; ++y) {
    uint8_t* row = mask.pixels + size_t{y} * w;
    const uint8_t* below = y + 1 < mask.height ? row + w : nullptr;
    std::memcpy(current, row, w);
    for (uint32_t x = 0; x < w; ++x) {
      int32_t sum = 9 * current[x] - above[x] - (below != nullptr ? below[x] : 0) -
                    (x > 0 ? current[x - 1] : 0) - (x + 1 < w ? current[x + 1] : 0);
      row[x] = static_cast<uint8_t>(std::clamp(sum / 5, 0, 255));
    }
    std::swap(above, current);
  }
  plat::mem_free(scratch);
  return true;
}

}  // namespace

bool post_filter(const Mask& mask, uint32_t aaMode) {
  if (mask.wide) return true;
  if (aaMode == 2) {
    const auto& table = gain_table();
    uint8_t* p = mask.pixels;
    for (size_t i = 0, n = size_t{mask.width} * mask.height; i < n; ++i) p[i] = table[p[i]];
    return true;
  }
  if (aaMode == 3) return sharpen(mask);
  return true;
}

void box_reduce(const uint8_t* large, uint32_t largeWidth, uint32_t largeHeight, double s,
                uint8_t* small, uint32_t smallWidth, uint32_t smallHeight, bool bilevel) {
  // Pixel x averages columns ⌊x·s⌋ + 1 … ⌊x·s + s⌋ of the large mask, and likewise rows.
  auto span = [s](uint32_t i, uint32_t limit, uint32_t* first, uint32_t* end) {
    double from = std::floor(i * s) + 1.0, to = std::floor(i * s + s) + 1.0;
    *first = static_cast<uint32_t>(std::min<double>(from, limit));
    *end = static_cast<uint32_t>(std::min<double>(to, limit));
  };
  for (uint32_t y = 0; y < smallHeight; ++y) {
    uint32_t y0, y1;
    span(y, largeHeight, &y0, &y1);
    for (uint32_t x = 0; x < smallWidth; ++x) {
      uint32_t x0, x1;
      span(x, largeWidth, &x0, &x1);
      uint64_t sum = 0, count = uint64_t{x1 > x0 ? x1 - x0 : 0} * (y1 > y0 ? y1 - y0 : 0);
      for (uint32_t yy = y0; yy < y1; ++yy)
        for (uint32_t xx = x0; xx < x1; ++xx) sum += large[size_t{yy} * largeWidth + xx];
      uint32_t mean = count == 0 || sum == 0 ? 0 : static_cast<uint32_t>(sum / count);
      if (bilevel) mean = mean > 127 ? 255 : 0;
      small[size_t{y} * smallWidth + x] = static_cast<uint8_t>(mean);
    }
  }
}

}  // namespace zo::render
