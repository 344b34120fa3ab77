// Renders random paths (huge, tiny and degenerate coordinates, every node kind, joined
// chains, text flags) in every mode through all four mask calls. Under the sanitizers: no
// crash, no access outside a mask, no leak. Then fills the chain once more as a plain object
// and traps when a byte differs from the reference fill of the tests beyond its tolerance.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../tests/render/ref_fill.hpp"
#include "Zo32path.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename T>
  T take() {
    T v{};
    size_t n = std::min(sizeof(T), size_ - pos_);
    std::memcpy(&v, data_ + pos_, n);
    pos_ += n;
    return v;
  }
  bool empty() const { return pos_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

constexpr uint16_t kTypes[] = {PT_MOVETO,
                               PT_LINETO,
                               PT_BEZIERTO,
                               PT_LINETO | PT_CLOSEFIGURE,
                               PT_BEZIERTO | PT_CLOSEFIGURE,
                               PT_PARAM_PAIR,
                               PT_PARAM_SINGLE,
                               PT_PARAM_PAIR2,
                               0,
                               0x7FFF};
constexpr uint32_t kFlags[] = {
    0, ZOF_TEXT_CHAR, ZOF_TEXT_STYLE, ZOF_RICH_BAR, ZOF_TEXT_LINE, ZOF_COLOR_PIECE, ZOF_SELECTED,
    1};

// A coordinate: small pixel values most of the time, sometimes anything at all.
int32_t coordinate(Bytes& in, uint8_t range) {
  int32_t raw = in.take<int32_t>();
  switch (range % 4) {
    case 0:
      return raw % (64 << 16);
    case 1:
      return raw % (2000 << 16);
    case 2:
      return raw % 4096;  // sub-pixel
    default:
      return raw;  // up to the 16.16 limits
  }
}

// The fill of one plain object (no text flags, not selected) against the reference fill:
// 8-bit masks within the tolerance at rounding thresholds, 32-bit masks exactly.
void compare_with_reference(const std::vector<ZoPath*>& chain, uint32_t format, uint32_t fillRule,
                            uint32_t aaMode, uint32_t scale, int32_t margin) {
  for (ZoPath* p : chain) p->flags = 0;
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  uint32_t n = ZoPathToBuf(chain.front(), format, fillRule, aaMode, 0, scale, &rects, &buffers,
                           margin);
  if (n == 0) return;
  uint32_t w = 0, h = 0, bits = 0;
  ZoPathBufGetWHU(buffers[0], &w, &h, &bits);
  const bool wide = format == 4;
  zo_test::RefFill ref{w,
                       h,
                       aaMode == 0 ? 1u : aaMode == 999 || wide ? 4u : 16u,
                       50,
                       scale / 65536.0,
                       double(rects[0].left),
                       double(rects[0].top),
                       fillRule != 0,
                       wide};
  std::vector<uint8_t> want(size_t{w} * h * (wide ? 4 : 1)), loose(want.size());
  if (!wide) ref.loose = &loose;
  ref.fill(chain, want.data());
  bool same = wide ? std::memcmp(want.data(), buffers[0], want.size()) == 0
                   : zo_test::compare_with_tolerance(want.data(), buffers[0], want.size(), loose,
                                                     w, aaMode == 0) >= 0;
  if (!same) __builtin_trap();
  for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  Bytes in(data, size);
  const uint32_t formats[] = {8, 4, 16};
  const uint32_t aaModes[] = {0, 1, 2, 3, 999};
  uint32_t format = formats[in.take<uint8_t>() % 3];
  uint32_t fillRule = in.take<uint8_t>() % 2;
  uint32_t aaMode = aaModes[in.take<uint8_t>() % 5];
  uint32_t mode = in.take<uint8_t>() % 5;
  uint32_t scale = in.take<uint32_t>() % (8u << 16);
  int32_t margin = in.take<int8_t>();
  uint8_t range = in.take<uint8_t>();
  uint32_t records = 1 + in.take<uint8_t>() % 3;

  std::vector<ZoPath*> chain;
  for (uint32_t r = 0; r < records && !in.empty(); ++r) {
    ZoPath* p = ZoPathCreate();
    if (p == nullptr) break;
    uint32_t nodes = in.take<uint8_t>() % 40;
    for (uint32_t i = 0; i < nodes && !in.empty(); ++i) {
      uint16_t type = kTypes[in.take<uint8_t>() % (sizeof kTypes / sizeof kTypes[0])];
      if (i == 0) type = PT_MOVETO;
      Ptfx pt{coordinate(in, range), coordinate(in, range)};
      ZoPathAddPoint(&p, &pt, type);
    }
    p->flags = kFlags[in.take<uint8_t>() % (sizeof kFlags / sizeof kFlags[0])];
    if (!chain.empty()) {
      chain.back()->next = chain.back()->joinNext = p;
      p->prev = p->joinPrev = chain.back();
      if ((chain.back()->flags & ZOF_SELECTED) != 0 && (p->flags & ZOF_SELECTED) != 0) {
        chain.back()->selNext = p;
        p->selPrev = chain.back();
      }
    }
    chain.push_back(p);
  }
  if (chain.empty()) return 0;
  ZoPath* head = chain.front();

  // ZoPathToBuf only where the masks stay a sane size: the rectangle at the scale.
  RECT rect{};
  ZoPathGetAllMiniMaxRect(head, scale, &rect);
  int64_t w = int64_t{rect.right} - rect.left + 2 * (std::abs(margin) + 1);
  int64_t h = int64_t{rect.bottom} - rect.top + 2 * (std::abs(margin) + 1);
  if (w > 0 && h > 0 && w * h < (1 << 20)) {
    RECT* rects = nullptr;
    uint8_t** buffers = nullptr;
    uint32_t n =
        ZoPathToBuf(chain.back(), format, fillRule, aaMode, mode, scale, &rects, &buffers, margin);
    for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
    if (n != 0) {
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
    }
  }

  // Caller buffers of odd sizes at any position.
  uint32_t bw = in.take<uint8_t>() % 70, bh = in.take<uint8_t>() % 70;
  uint8_t* buffer = ZoPathBufAlloc(in.take<uint8_t>() % 2 ? 32 : 8, bw, bh);
  if (buffer != nullptr) {
    int64_t origin = static_cast<int64_t>(in.take<uint64_t>());
    uint32_t partKind = in.take<uint8_t>() % 3, partIndex = in.take<uint8_t>() % 3;
    ZoPathToPartialBuf(head, fillRule, aaMode, origin, buffer);
    ZoPathToSubBufPartial(head, origin, buffer, fillRule, aaMode, partKind, partIndex);
    if (w > 0 && h > 0 && w * h < (1 << 20))
      ZoPathToSubBuf(head, buffer, 0, fillRule, aaMode, scale, margin, partKind, partIndex);
    ZoPathBufFree(buffer);
  }
  if (w > 0 && h > 0 && w * h < (1 << 16)) {
    // 32-bit masks are compared as the tests compare them: sub-sampled, four rows a pixel.
    const uint32_t refAa = format == 4 ? 1 : aaMode == 999 ? 999 : aaMode % 2;
    compare_with_reference(chain, format == 4 ? 4 : 8, fillRule, refAa, scale, margin);
  }
  for (ZoPath* p : chain) ZoPathDeletePtrSingle(p);
  return 0;
}
