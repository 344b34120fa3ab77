#include "crossings.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/fixed_point.hpp"
#include "model/forward_diff.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

namespace zo::render {

namespace {

constexpr uint32_t kListGrowth = 50;
constexpr size_t kListSpare = 24;
size_t list_bytes(uint32_t capacity) { return sizeof(ListHead) + capacity * 8u + kListSpare; }
static_assert(sizeof(ListHead) + 50 * 8 + kListSpare == 432);
constexpr uint32_t kSliceEntries = 14;
constexpr size_t kSliceBytes = sizeof(ListHead) + kSliceEntries * 8 + 8;  // 128

ListHead* head_of(double* list) { return reinterpret_cast<ListHead*>(list) - 1; }
double* entries_of(ListHead* head) { return reinterpret_cast<double*>(head + 1); }

// Moves a coordinate off the sample grid: no vertex may lie on a sample line.
double off_grid(double v, double samples) {
  double scaled = v * samples;
  return scaled == std::floor(scaled) ? v + 1e-5 : v;
}

// Flattening threshold: a chord moves at most 60000/65536 of a pixel on either axis.
constexpr StepLimits kFlatten{60000.0 / 65536.0, -1.0, true};

}  // namespace

CrossingBand::CrossingBand(int32_t firstPixel, int32_t pixelRows, uint32_t samplesPerPixel,
                           double limit)
    : samples_(samplesPerPixel),
      step_(1.0 / samplesPerPixel),
      firstLine_(int64_t{firstPixel} * samplesPerPixel),
      limit_(limit) {
  lineCount_ = static_cast<uint32_t>(pixelRows) * samplesPerPixel;
  lists_ =
      static_cast<double**>(plat::mem_alloc((lineCount_ + 2) * sizeof(double*), plat::kZeroFill));
}

CrossingBand::~CrossingBand() {
  if (lists_ == nullptr) return;
  for (uint32_t j = 0; j < lineCount_ + 2; ++j)
    if (lists_[j] != nullptr && head_of(lists_[j])->capacity != kSliceEntries)
      path_heap_block_free(head_of(lists_[j]));
  while (chunk_ != nullptr) {
    char* previous;
    std::memcpy(&previous, chunk_, sizeof previous);
    path_heap_block_free(chunk_);
    chunk_ = previous;
  }
  plat::mem_free(lists_);
}

void CrossingBand::append(uint32_t j, double value) {
  double* list = lists_[j];
  ListHead* head = list == nullptr ? nullptr : head_of(list);
  if (head == nullptr || head->count == head->capacity) {
    ListHead* grown = head == nullptr ? new_slice() : grow(head);
    if (grown == nullptr) {
      if (!failed_) ZO_REPORT_NO_MEMORY();
      failed_ = true;
      return;
    }
    head = grown;
    lists_[j] = entries_of(head);
  }
  lists_[j][head->count++] = value;
}

// New lists start as small slices of a shared path-heap chunk: most sample lines hold a few
// crossings, so a band of hundreds of sample lines costs a handful of small allocations and
// never touches fresh pages. A list that outgrows its slice moves to a block of its own of 50
// entries, grown 50 at a time.
ListHead* CrossingBand::new_slice() {
  if (chunk_ == nullptr || chunkUsed_ == kSlicesPerChunk) {
    auto* chunk =
        static_cast<char*>(path_heap_block_alloc(kChunkLink + kSlicesPerChunk * kSliceBytes));
    if (chunk == nullptr) return nullptr;
    std::memcpy(chunk, &chunk_, sizeof chunk_);  // chain the chunks for release
    chunk_ = chunk;
    chunkUsed_ = 0;
  }
  auto* head = reinterpret_cast<ListHead*>(chunk_ + kChunkLink + chunkUsed_++ * kSliceBytes);
  head->capacity = kSliceEntries;
  return head;
}

ListHead* CrossingBand::grow(ListHead* head) {
  if (head->capacity == kSliceEntries) {  // leaving its slice
    uint32_t capacity = kListGrowth;
    auto* own = static_cast<ListHead*>(path_heap_block_alloc(list_bytes(capacity)));
    if (own == nullptr) return nullptr;
    std::memcpy(own, head, sizeof(ListHead) + kSliceEntries * sizeof(double));
    own->capacity = capacity;
    return own;
  }
  uint32_t capacity = head->capacity + kListGrowth;
  auto* own = static_cast<ListHead*>(path_heap_block_realloc(head, list_bytes(capacity)));
  if (own != nullptr) own->capacity = capacity;
  return own;
}

// One edge from (u0, v0) to (u1, v1), v the sampled axis: a crossing on every sample line
// g·step with min(v) <= g·step < max(v) inside the band. The half-open rule counts a line
// through a shared vertex once even if the off-grid shift was lost to rounding.
void CrossingBand::add_edge(double u0, double v0, double u1, double v1) {
  if (v0 == v1 || failed_) return;
  if (!std::isfinite(u0) || !std::isfinite(v0) || !std::isfinite(u1) || !std::isfinite(v1)) return;
  double n = samples_;
  u0 = off_grid(u0, n), v0 = off_grid(v0, n), u1 = off_grid(u1, n), v1 = off_grid(v1, n);
  const bool down = v1 > v0;
  double lo = down ? v0 : v1, hi = down ? v1 : v0;
  double first = std::ceil(lo * n), last = std::ceil(hi * n) - 1.0;
  double bandFirst = static_cast<double>(firstLine_ + 1);
  double bandLast = static_cast<double>(firstLine_ + lineCount_);
  first = std::max(first, bandFirst);
  last = std::min(last, bandLast);
  if (first > last) return;
  const double slope = (u1 - u0) / (v1 - v0);
  double u = u0 + (first * step_ - v0) * slope;
  const double du = slope * step_;
  const double sign = down ? 1.0 : -1.0;
  uint32_t j = static_cast<uint32_t>(static_cast<int64_t>(first) - firstLine_ - 1);
  uint32_t end = static_cast<uint32_t>(static_cast<int64_t>(last) - firstLine_ - 1);
  for (;; ++j) {
    // Clamping keeps the order of every crossing inside [0, limit] and turns the spans
    // outside into empty ones.
    append(j, sign * std::clamp(u, 0.0, limit_));
    if (j == end || failed_) break;
    u += du;
  }
}

void CrossingBand::add_record(const ZoPath* record, const DeviceMap& map, bool columns) {
  if (lists_ == nullptr || failed_) return;
  const PathNode* nodes = nodes_of(record);
  const double n = samples_;
  const double bandLo = static_cast<double>(firstLine_) / n;
  const double bandHi = static_cast<double>(firstLine_ + lineCount_) / n;
  auto device = [&](Ptfx p) {
    PointDB d{fix_to_db(p.x) * map.scale + map.offsetX, fix_to_db(p.y) * map.scale + map.offsetY};
    return columns ? PointDB{d.y, d.x} : d;  // (u, v): v is the sampled axis
  };
  PointDB current{0, 0}, figureStart{0, 0};
  bool open = false;
  auto line_to = [&](PointDB to) {
    add_edge(current.x, current.y, to.x, to.y);
    current = to;
  };
  auto close_figure = [&] {
    if (open && (current.x != figureStart.x || current.y != figureStart.y)) line_to(figureStart);
    open = false;
  };
  for (uint32_t i = 0; i < record->count && !failed_;) {
    uint16_t type = nodes[i].type;
    uint16_t kind = type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO) {
      close_figure();
      current = figureStart = device(nodes[i].pt);
      open = true;
      ++i;
    } else if (kind == PT_LINETO) {
      line_to(device(nodes[i].pt));
      ++i;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= record->count) break;
      PointDB c1 = device(nodes[i].pt), c2 = device(nodes[i + 1].pt), end = device(nodes[i + 2].pt);
      // A curve lies inside its control points: one that misses the band only moves on.
      double vmin = std::min({current.y, c1.y, c2.y, end.y});
      double vmax = std::max({current.y, c1.y, c2.y, end.y});
      if (vmax < bandLo || vmin > bandHi) {
        current = end;
      } else {
        forward_difference_cubic(current, c1, c2, end, kFlatten, line_to);
        current = end;
      }
      i += 3;
    } else if (kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2) {
      i += 2;
    } else {
      ++i;
    }
  }
  close_figure();
}

void CrossingBand::sort() {
  if (lists_ == nullptr) return;
  auto less = [](double a, double b) { return std::fabs(a) < std::fabs(b); };
  for (uint32_t j = 0; j < lineCount_; ++j) {
    double* list = lists_[j];
    if (list == nullptr) continue;
    uint32_t count = head_of(list)->count;
    if (count > 32) {
      std::sort(list, list + count, less);
      continue;
    }
    // Lists are short and nearly sorted (each figure adds its crossings in order along its
    // edges): insertion sort does little more than one pass.
    for (uint32_t i = 1; i < count; ++i) {
      double v = list[i];
      uint32_t k = i;
      for (; k > 0 && less(v, list[k - 1]); --k) list[k] = list[k - 1];
      list[k] = v;
    }
  }
}

const double* CrossingBand::line(uint32_t j, uint32_t* count) const {
  double* list = lists_ == nullptr || j >= lineCount_ ? nullptr : lists_[j];
  *count = list == nullptr ? 0 : head_of(list)->count;
  return list;
}

}  // namespace zo::render
