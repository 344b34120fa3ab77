// The exported mask calls: ZoPathToBuf, which makes one mask per object and hands the masks
// and their rectangles to the host, and the three calls that fill into a caller's buffer.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Zo32path.h"
#include "model/bounds.hpp"
#include "model/records.hpp"
#include "pixel_buffer.hpp"
#include "platform/global_memory.hpp"
#include "platform/host_library.hpp"
#include "rasterizer.hpp"

namespace zo::render {

namespace {

constexpr uint32_t kFormatWide = 4;
constexpr uint32_t kFormatSuperSample = 16;
constexpr uint32_t kModeWholeGroup = 3;
constexpr uint32_t kAaFourRows = 999;
constexpr int32_t kToBufBandRows = 50;
constexpr int32_t kPartialBandRows = 250;
constexpr uint32_t kArrayGrowth = 20;

uint32_t part_flag(uint32_t partKind) {
  return partKind == 1 ? ZOF_TEXT_CHAR : partKind == 2 ? ZOF_TEXT_LINE : ZOF_COLOR_PIECE;
}

// A rectangle widened by |margin| on each side, saturating at the 32-bit limits.
RECT widen(RECT r, int32_t margin) {
  int64_t m = std::llabs(int64_t{margin});
  auto clamp32 = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  return RECT{clamp32(r.left - m), clamp32(r.top - m), clamp32(r.right + m), clamp32(r.bottom + m)};
}

// The pixel size of a rectangle (right and bottom inclusive); false when it is not a
// usable size.
bool rect_size(const RECT& r, uint32_t* width, uint32_t* height) {
  int64_t w = int64_t{r.right} - r.left + 1, h = int64_t{r.bottom} - r.top + 1;
  if (w <= 0 || h <= 0 || w > UINT32_MAX || h > UINT32_MAX) return false;
  *width = static_cast<uint32_t>(w);
  *height = static_cast<uint32_t>(h);
  return true;
}

Mask mask_over(uint8_t* buffer, double scale, double left, double top) {
  BufferHeader h = header_of(buffer);
  return Mask{buffer, h.width, h.height, h.bits == 32, scale, left, top};
}

struct RenderResult {
  bool ok;      // false when the fill failed
  bool result;  // the result of the last step that ran (fill, outline pass, post-filter)
};

// Fills (or, for a non-zero mode, outlines) one object into its mask and runs the steps that
// follow a fill: the outline pass for text-style records and the post-filter of text
// characters.
RenderResult render_object(const Mask& mask, const RecordRange& range, uint32_t fillRule,
                           uint32_t aaMode, uint32_t mode, uint32_t samplesAa, int32_t bandRows) {
  ZoPath* first = range.first;
  if (mode != 0) {
    outline_pass(mask, range, aaMode != 0, false);
    return {true, true};
  }
  bool evenOdd = fillRule != 0;
  bool textChar = (first->flags & ZOF_TEXT_CHAR) != 0;
  bool sawStyle = false;
  // An object carrying an attachment is left empty: its outline stands in for it.
  if ((first->flags & ZOF_ATTACHMENT) == 0 && !range.alongNext) {
    Fill fill =
        aaMode != 0 || !textChar
            ? band_fill(mask, range, FillOptions{evenOdd, aaMode != 0 ? samplesAa : 1u, bandRows},
                        &sawStyle)
            : two_direction_fill(mask, range, evenOdd, bandRows, &sawStyle);
    if (fill == Fill::Failed) return {false, false};
  }
  bool result = true;
  if (sawStyle) outline_pass(mask, range, aaMode != 0, true);
  if (aaMode != 0 && textChar) result = post_filter(mask, aaMode);
  return {true, result};
}

// The record that ends an object's join chain.
ZoPath* join_tail(ZoPath* p) {
  while ((p->flags & ZOF_ATTACHMENT) == 0 && p->joinNext != nullptr) p = p->joinNext;
  return p;
}

// The two output arrays of ZoPathToBuf, grown 20 entries at a time.
class OutputArrays {
 public:
  bool start() { return grow(); }
  bool append(const RECT& r, uint8_t* buffer) {
    if (count_ == capacity_ && !grow()) return false;
    rects_[count_] = r;
    buffers_[count_] = buffer;
    ++count_;
    return true;
  }
  void replace_last(const RECT& r, uint8_t* buffer) {
    rects_[count_ - 1] = r;
    buffers_[count_ - 1] = buffer;
  }
  uint8_t* last_buffer() const { return buffers_[count_ - 1]; }
  uint32_t count() const { return count_; }
  void hand_over(RECT** rects, uint8_t*** buffers) {
    *rects = rects_;
    *buffers = buffers_;
    rects_ = nullptr;
    buffers_ = nullptr;
  }
  // Releases both arrays and every mask in them.
  void release() {
    for (uint32_t i = 0; i < count_; ++i) buffer_free(buffers_[i]);
    free_block(rects_);
    free_block(buffers_);
    rects_ = nullptr;
    buffers_ = nullptr;
    count_ = capacity_ = 0;
  }

 private:
  static void free_block(void* p) {
    if (p != nullptr) plat::global_free(static_cast<HGLOBAL>(p));
  }
  template <typename T>
  static bool grow_block(T** block, uint32_t capacity) {
    size_t bytes = size_t{capacity} * sizeof(T);
    HGLOBAL handle = *block == nullptr ? plat::global_alloc(GPTR, bytes)
                                       : plat::global_realloc(reinterpret_cast<HGLOBAL>(*block),
                                                              bytes, GMEM_ZEROINIT);
    if (handle == nullptr) return false;
    *block = static_cast<T*>(plat::global_lock(handle));
    return *block != nullptr;
  }
  bool grow() {
    uint32_t capacity = capacity_ + kArrayGrowth;
    if (!grow_block(&rects_, capacity) || !grow_block(&buffers_, capacity)) return false;
    capacity_ = capacity;
    return true;
  }

  RECT* rects_ = nullptr;
  uint8_t** buffers_ = nullptr;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
};

// Reduces the last mask of the outputs, rendered at scale s > 1, by the scale.
bool super_sample(OutputArrays& out, const RECT& large, bool bilevel, double s) {
  auto down = [s](int32_t v) { return static_cast<int32_t>(std::trunc(v / s)); };
  RECT r{down(large.left), down(large.top), down(large.right), down(large.bottom)};
  uint32_t w = 0, h = 0;
  if (!rect_size(r, &w, &h)) return false;
  uint8_t* small = buffer_alloc(8, w, h);
  if (small == nullptr) return false;
  uint8_t* big = out.last_buffer();
  BufferHeader bh = header_of(big);
  box_reduce(big, bh.width, bh.height, s, small, w, h, bilevel);
  buffer_free(big);
  out.replace_last(r, small);
  return true;
}

uint32_t to_buf(ZoPath* path, uint32_t format, uint32_t fillRule, uint32_t aaMode, uint32_t mode,
                uint32_t scale, RECT** rects, uint8_t*** buffers, int32_t margin) {
  ZoPath* p = path;
  if (p->flags != 1) p = is_selected(p) ? selection_head(p) : list_head(p);
  double s = scale / 65536.0;
  if (format == kFormatSuperSample && mode != 0 && s > 1.0) s = 1.0;
  const bool wide = format == kFormatWide;
  const bool superSample = format == kFormatSuperSample && mode == 0 && s > 1.0;
  const uint32_t samplesAa = aaMode == kAaFourRows || wide ? 4 : 16;

  OutputArrays out;
  auto fail = [&] {
    out.release();
    ZO_REPORT_NO_MEMORY();
    return 0u;
  };
  if (!out.start()) return fail();
  for (;;) {
    RECT r{};
    ZoPath* rectFrom = mode == kModeWholeGroup ? list_head(p) : p;
    bounds::integer_rect(rectFrom, mode == kModeWholeGroup ? bounds::kList : bounds::kJoin, s, true,
                         &r);
    r = widen(r, margin);
    uint32_t w = 0, h = 0;
    if (!rect_size(r, &w, &h)) return fail();
    uint8_t* buffer = buffer_alloc(wide ? 32 : 8, w, h);
    if (buffer == nullptr) return fail();
    if (!out.append(r, buffer)) {
      buffer_free(buffer);
      return fail();
    }
    RecordRange range =
        mode == kModeWholeGroup ? RecordRange{list_head(p), 0, true} : RecordRange{p, 0, false};
    render_object(mask_over(buffer, s, r.left, r.top), range, fillRule, aaMode, mode, samplesAa,
                  kToBufBandRows);
    if (superSample && !super_sample(out, r, aaMode == 0, s)) return fail();
    if (mode == kModeWholeGroup || !is_selected(p)) break;
    ZoPath* next = (p->flags & ZOF_ATTACHMENT) != 0 ? p->selNext : join_tail(p)->selNext;
    if (next == nullptr) break;
    p = next;
  }
  uint32_t n = out.count();
  out.hand_over(rects, buffers);
  return n;
}

// The first record of part `index` of the head's join chain, or null.
ZoPath* find_part(ZoPath* head, uint32_t flag, uint32_t index) {
  uint32_t seen = 0;
  for (ZoPath* r = head; r != nullptr; r = r->joinNext) {
    if ((r->flags & flag) != 0 && seen++ == index) return r;
    if ((r->flags & ZOF_ATTACHMENT) != 0) break;
  }
  return nullptr;
}

uint32_t fill_into(uint8_t* buffer, const RecordRange& range, double scale, double left, double top,
                   uint32_t fillRule, uint32_t aaMode, int32_t bandRows) {
  RenderResult r =
      render_object(mask_over(buffer, scale, left, top), range, fillRule, aaMode, 0, 4, bandRows);
  return r.ok && r.result ? 1 : 0;
}

}  // namespace

}  // namespace zo::render

using namespace zo;
using namespace zo::render;

extern "C" {

ZO_API uint32_t ZoPathToBuf(ZoPath* path, uint32_t format, uint32_t fillRule, uint32_t aaMode,
                            uint32_t mode, uint32_t scale, RECT** rects, uint8_t*** buffers,
                            int32_t margin) {
  if (rects != nullptr) *rects = nullptr;
  if (buffers != nullptr) *buffers = nullptr;
  if (path == nullptr || rects == nullptr || buffers == nullptr) return 0;
  try {
    return to_buf(path, format, fillRule, aaMode, mode, scale, rects, buffers, margin);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

ZO_API uint32_t ZoPathToSubBuf(ZoPath* path, uint8_t* buffer, uint32_t /*ignored*/,
                               uint32_t fillRule, uint32_t aaMode, uint32_t scale, int32_t margin,
                               uint32_t partKind, uint32_t partIndex) {
  if (path == nullptr || !is_buffer_handle(buffer)) return 0;
  ZoPath* head = list_head(path);
  if ((head->flags & ZOF_TEXT_CHAR) == 0) return 0;
  double s = scale / 65536.0;
  RECT r{};
  bounds::integer_rect(head, bounds::kJoin, s, true, &r);
  r = widen(r, margin);
  uint32_t flag = part_flag(partKind);
  ZoPath* first = find_part(head, flag, partIndex);
  if (first == nullptr) return 0;
  return fill_into(buffer, RecordRange{first, flag, false}, s, r.left, r.top, fillRule, aaMode,
                   kToBufBandRows);
}

ZO_API uint32_t ZoPathToSubBufPartial(ZoPath* path, int64_t origin, uint8_t* buffer,
                                      uint32_t fillRule, uint32_t aaMode, uint32_t partKind,
                                      uint32_t partIndex) {
  if (path == nullptr || !is_buffer_handle(buffer)) return 0;
  ZoPath* head = list_head(path);
  if ((head->flags & ZOF_TEXT_CHAR) == 0) return 0;
  uint32_t flag = part_flag(partKind);
  ZoPath* first = find_part(head, flag, partIndex);
  if (first == nullptr) return 0;
  auto x = static_cast<int32_t>(static_cast<uint32_t>(origin));
  auto y = static_cast<int32_t>(static_cast<uint64_t>(origin) >> 32);
  return fill_into(buffer, RecordRange{first, flag, false}, 1.0, x, y, fillRule, aaMode,
                   kPartialBandRows);
}

ZO_API uint32_t ZoPathToPartialBuf(ZoPath* path, uint32_t fillRule, uint32_t aaMode, int64_t origin,
                                   uint8_t* buffer) {
  if (path == nullptr || !is_buffer_handle(buffer)) return 0;
  if ((path->flags & ZOF_ATTACHMENT) != 0) return 0;
  auto x = static_cast<int32_t>(static_cast<uint32_t>(origin));
  auto y = static_cast<int32_t>(static_cast<uint64_t>(origin) >> 32);
  return fill_into(buffer, RecordRange{path, 0, false}, 1.0, x, y, fillRule, aaMode,
                   kPartialBandRows);
}

}  // extern "C"
