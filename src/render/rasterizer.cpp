// The band fill and the two-direction bilevel fill.
#include "rasterizer.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "crossings.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "span_rules.hpp"

namespace zo::render {

namespace {

// The 8-bit coverage of one pixel row, accumulated over its sample rows. Whole columns
// inside a span are counted run-length in a difference array; the partial columns at span
// ends go to a row of doubles. Every column where something changes is marked in a bitmap,
// so writing the row visits only those columns: between two of them the coverage is a whole
// number of sample rows, written as one run of equal bytes.
class CoverageRow {
 public:
  // memory: bytes(width) bytes, 8-byte aligned, cleared here.
  CoverageRow(uint32_t width, void* memory) : width_(width), words_((size_t{width} + 1) / 64 + 1) {
    std::memset(memory, 0, bytes(width));
    part_ = static_cast<double*>(memory);
    marks_ = reinterpret_cast<uint64_t*>(part_ + width + 1);
    full_ = reinterpret_cast<int32_t*>(marks_ + words_);
  }
  static size_t bytes(uint32_t width) {
    size_t columns = size_t{width} + 1;
    return columns * (sizeof(double) + sizeof(int32_t)) + (columns / 64 + 1) * 8;
  }
  CoverageRow(const CoverageRow&) = delete;
  CoverageRow& operator=(const CoverageRow&) = delete;

  // Column ⌊a⌋ gets 1 - frac(a), the columns between 1, column ⌊b⌋ frac(b); one column
  // holding both ends gets b - a. Columns at or past the width are ignored; 0 <= a < b.
  void add_span(double a, double b) {
    uint32_t ca = column(a), cb = column(b);
    if (ca >= width_) return;
    loWord_ = std::min(loWord_, ca >> 6);
    if (ca == cb) {
      add_part(ca, b - a);
      hiWord_ = std::max(hiWord_, ca >> 6);
      return;
    }
    add_part(ca, 1.0 - (a - static_cast<double>(ca)));
    uint32_t runEnd = std::min(cb, width_);
    hiWord_ = std::max(hiWord_, runEnd >> 6);
    if (ca + 1 < runEnd) {
      full_[ca + 1] += 1;
      full_[runEnd] -= 1;
      mark(ca + 1);
      mark(runEnd);
    }
    if (cb < width_) add_part(cb, b - static_cast<double>(cb));
  }

  // Column c gets area (signed) and every column after it `cover` whole sample rows; columns
  // at or past the width are ignored.
  void add_cell(uint32_t c, double area, int32_t cover) {
    if (c >= width_) {  // the run before it still ends at the width
      mark(width_);
      loWord_ = std::min(loWord_, width_ >> 6);
      hiWord_ = std::max(hiWord_, width_ >> 6);
      return;
    }
    part_[c] += area;
    full_[c + 1] += cover;
    mark(c);
    mark(c + 1);
    loWord_ = std::min(loWord_, c >> 6);
    hiWord_ = std::max(hiWord_, (c + 1) >> 6);
  }

  // Writes the columns of the row whose coverage is non-zero and clears the row.
  // samples: sample rows per pixel row; 1 selects the bilevel rule.
  void flush(uint8_t* row, uint32_t samples) {
    if (loWord_ > hiWord_) return;
    if (samples == 1) {
      flush_bilevel(row);
    } else {
      flush_aa(row, 256.0 / samples);
    }
    loWord_ = UINT32_MAX;
    hiWord_ = 0;
  }

 private:
  static uint32_t column(double v) {
    return v >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(v);
  }
  static uint8_t clamp_byte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }
  // The caller keeps loWord_ and hiWord_ around the marked columns.
  void mark(uint32_t c) { marks_[c >> 6] |= uint64_t{1} << (c & 63); }
  void add_part(uint32_t c, double v) {
    part_[c] += v;
    mark(c);
  }

  // Visits the marked columns in order: fn(c, run) with run the whole sample rows covering
  // columns from the previous mark up to c (exclusive); the marks are cleared.
  template <typename Fn>
  [[gnu::always_inline]] void for_each_mark(Fn&& fn) {
    for (uint32_t w = loWord_; w <= hiWord_; ++w) {
      uint64_t bits = marks_[w];
      marks_[w] = 0;
      while (bits != 0) {
        uint32_t c = w * 64 + static_cast<uint32_t>(std::countr_zero(bits));
        bits &= bits - 1;
        fn(c);
      }
    }
  }

  static void fill(uint8_t* to, uint8_t value, uint32_t n) {
    if (n > 16) {
      std::memset(to, value, n);
      return;
    }
    for (uint32_t i = 0; i < n; ++i) to[i] = value;
  }

  void flush_aa(uint8_t* row, double unit) {
    int32_t run = 0;
    uint32_t next = 0;  // first column not yet written
    auto level = [unit](double acc) { return clamp_byte(std::trunc(acc * unit - 0.98)); };
    for_each_mark([&](uint32_t c) __attribute__((always_inline)) {
      if (run != 0) fill(row + next, level(run), c - next);
      run += full_[c];
      full_[c] = 0;
      if (c < width_) {
        double acc = part_[c] + run;
        part_[c] = 0.0;
        if (acc != 0.0) row[c] = level(acc);
      }
      next = c + 1;
    });
  }

  // Bilevel with drop-out control: a pixel at least half covered is set; a pixel between
  // 113 and 126 is set only when it stands alone; a weaker one is set only when its right
  // neighbour is weaker still and nothing is set to its left, so thin features keep one pixel.
  void flush_bilevel(uint8_t* row) {
    auto level = [](double acc) { return static_cast<int32_t>(std::trunc(acc * 256.0 - 0.5)); };
    int32_t run = 0;
    uint32_t next = 0;
    const uint32_t last = width_ - 1;
    for_each_mark([&](uint32_t c) __attribute__((always_inline)) {
      // A column covered by whole sample rows only is at least half covered.
      if (run != 0) fill(row + next, 255, c - next);
      run += full_[c];
      full_[c] = 0;
      next = c + 1;
      if (c >= width_) return;
      double acc = part_[c] + run;
      part_[c] = 0.0;
      if (acc == 0.0) return;
      int32_t v = level(acc);
      int32_t n = c + 1 <= last ? level(part_[c + 1] + (run + full_[c + 1])) : 0;
      bool leftSet = c > 0 && row[c - 1] != 0;
      if (v >= 127) {
        row[c] = 255;
      } else if (v >= 113) {
        if (!(n >= 113 || leftSet)) row[c] = 255;
      } else {
        row[c] = v <= n || leftSet ? 0 : 255;
      }
    });
  }

  uint32_t width_;
  size_t words_;
  double* part_ = nullptr;
  uint64_t* marks_ = nullptr;
  int32_t* full_ = nullptr;
  uint32_t loWord_ = UINT32_MAX;
  uint32_t hiWord_ = 0;
};

// 32-bit masks: byte k of a pixel holds sample row k, bit 7 the leftmost of 8 sub-positions,
// a set bit outside. Partial end pixels take the edge's sub-positions.
constexpr uint8_t kLeftEdge[9] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
constexpr uint8_t kRightEdge[9] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01, 0x00};

uint32_t eighths(double v) {
  return static_cast<uint32_t>(std::trunc((v - std::floor(v)) * 8.0 + 0.5));
}

void wide_span(uint8_t* row, uint32_t width, uint32_t k, double a, double b) {
  auto at = [&](uint32_t px) -> uint8_t& { return row[size_t{px} * 4 + k]; };
  uint32_t pa = a >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(a);
  uint32_t pb = b >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(b);
  if (pa == pb) {
    if (pa < width) at(pa) = kLeftEdge[eighths(a)] | kRightEdge[eighths(b)];
    return;
  }
  if (pa < width) at(pa) = kLeftEdge[eighths(a)];
  for (uint32_t px = pa + 1; px < std::min(pb, width); ++px) at(px) = 0;
  if (pb < width) at(pb) = kRightEdge[eighths(b)];
}

// The device map of a fill with n sample rows a pixel along the sampled axis.
DeviceMap fill_map(const Mask& mask, uint32_t samples, bool columns) {
  double extra = samples % 2 == 1 ? 0.5 / samples : 0.0;
  DeviceMap map{mask.scale, 0.5 - mask.left, 0.5 - mask.top};
  (columns ? map.offsetX : map.offsetY) += extra;
  return map;
}

// Text-style records are drawn, not filled: *sawStyle tells the caller the range has one.
void note_style(const RecordRange& range, bool* sawStyle) {
  range.for_each([&](const ZoPath* r) {
    if ((r->flags & ZOF_TEXT_STYLE) != 0) *sawStyle = true;
  });
}

// Whether a pass fills the record: the column pass also leaves out records with
// ZOF_RICH_BAR.
bool fillable(const ZoPath* r, bool columns) {
  return (r->flags & ZOF_TEXT_STYLE) == 0 && !(columns && (r->flags & ZOF_RICH_BAR) != 0);
}

// Runs fn(walk) over every band of the table in turn: the table is rebuilt from the records
// for each band, and its block (edges, then the walk's scratch) is reused from band to band.
// A band whose arrays cannot be allocated ends the pass there; the lines written so far stay.
template <typename Fn>
void for_each_band(EdgeTable& table, const RecordRange& range, const DeviceMap& map, bool columns,
                   double limit, bool wholeRows, Fn&& fn) {
  CrossingWalk walk(table, limit, wholeRows);
  for (uint32_t index = 0; index < table.band_count(); ++index) {
    table.begin_band(index);
    bool ok = true;
    range.for_each([&](const ZoPath* r) {
      if (ok && fillable(r, columns)) ok = table.add_record(r, map, columns);
    });
    void* scratch = ok ? table.tail(walk.scratch_bytes(table)) : nullptr;
    if (scratch == nullptr) return;
    walk.begin_band(scratch);
    fn(walk);
  }
}

}  // namespace

Fill band_fill(const Mask& mask, const RecordRange& range, const FillOptions& options,
               bool* sawStyle) {
  if (mask.height == 0) return Fill::Done;
  const uint32_t samples = mask.wide ? 4 : options.samplesPerPixel;
  const DeviceMap map = fill_map(mask, samples, false);
  const double limit = static_cast<double>(mask.width) + 2.0;
  const size_t rowBytes = size_t{mask.width} * (mask.wide ? 4 : 1);
  const auto bandRows = static_cast<uint32_t>(options.bandRows);
  note_style(range, sawStyle);
  // The accumulator row lives for the whole fill; a 32-bit mask writes spans straight in.
  const uint32_t coverageWidth = mask.wide ? 0 : mask.width;
  void* coverageMemory = plat::mem_alloc(CoverageRow::bytes(coverageWidth), 0);
  if (coverageMemory == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return Fill::Failed;
  }
  CoverageRow coverage(coverageWidth, coverageMemory);
  EdgeTable table(samples, mask.height, bandRows);
  // With fewer sample lines a pixel row the per-line walk costs less than the test.
  const bool byEdges = !mask.wide && samples == 16;
  constexpr uint32_t kMostWait = 15;
  uint32_t backOff = 0, wait = 0;
  for_each_band(table, range, map, false, limit, byEdges, [&](CrossingWalk& walk) {
    for (uint32_t r = 0; r < table.band_pixels(); ++r) {
      uint8_t* row = mask.pixels + (table.band_top() + r) * rowBytes;
      if (mask.wide) std::memset(row, 0xFF, rowBytes);
      if (walk.quiet(samples)) {  // nothing crosses this pixel row
        walk.skip(samples);
        continue;
      }
      // Rows of 16 sample lines are tried edge by edge; after a row that needs its lines the
      // next tries wait a little longer each time (self-crossing shapes need most rows).
      if (byEdges && wait == 0) {
        if (walk.next_row(samples, options.evenOdd, [&](uint32_t c, double area, int32_t cover) {
              coverage.add_cell(c, area, cover);
            })) {
          coverage.flush(row, samples);
          backOff = 0;
          continue;
        }
        backOff = std::min<uint32_t>(backOff * 2 + 1, kMostWait);
        wait = backOff;
      } else if (wait > 0) {
        --wait;
      }
      for (uint32_t k = 0; k < samples; ++k) {
        if (mask.wide) {
          walk.next_line(options.evenOdd,
                         [&](double a, double b) { wide_span(row, mask.width, k, a, b); });
        } else {
          walk.next_line(options.evenOdd, [&](double a, double b) { coverage.add_span(a, b); });
        }
      }
      if (!mask.wide) coverage.flush(row, samples);
    }
  });
  plat::mem_free(coverageMemory);
  return Fill::Done;
}

namespace {

// One span of a bilevel pass as a range of pixels whose centres it covers; a span that
// misses every centre keeps the one pixel nearer its middle. False when it is dropped.
bool pixel_range(double a, double b, int64_t* first, int64_t* last) {
  if (a >= b || b < 0.3) return false;
  double fa = std::floor(a), fb = std::floor(b);
  *first = static_cast<int64_t>(fa) + (a - fa > 0.5 ? 1 : 0);
  *last = static_cast<int64_t>(fb) - (b - fb < 0.5 ? 1 : 0);
  if (*last < *first) {
    double middle = (a + b) / 2.0;
    bool takeA = std::fabs(fa + 0.5 - middle) < std::fabs(fb + 0.5 - middle);
    *first = *last = static_cast<int64_t>(takeA ? fa : fb);
  }
  return true;
}

// One direction of the two-direction fill: rows (columns false) or columns.
void bilevel_pass(const Mask& mask, const RecordRange& range, bool evenOdd, int32_t bandRows,
                  bool columns, bool* sawStyle) {
  const DeviceMap map = fill_map(mask, 1, columns);
  const uint32_t lines = columns ? mask.width : mask.height;
  const uint32_t across = columns ? mask.height : mask.width;
  const double limit = static_cast<double>(across) + 2.0;
  if (lines == 0) return;
  note_style(range, sawStyle);
  EdgeTable table(1, lines, static_cast<uint32_t>(bandRows));
  for_each_band(table, range, map, columns, limit, false, [&](CrossingWalk& walk) {
    for (uint32_t j = 0; j < walk.line_count(); ++j) {
      const uint32_t line = table.band_top() + j;
      walk.next_line(evenOdd, [&](double a, double b) {
        int64_t first = 0, last = 0;
        if (!pixel_range(a, b, &first, &last)) return;
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, int64_t{across} - 1);
        if (first > last) return;
        if (!columns) {
          std::memset(mask.pixels + size_t{line} * mask.width + static_cast<size_t>(first), 255,
                      static_cast<size_t>(last - first + 1));
          return;
        }
        for (int64_t i = first; i <= last; ++i)
          mask.pixels[static_cast<size_t>(i) * mask.width + line] = 255;
      });
    }
  });
}

}  // namespace

Fill two_direction_fill(const Mask& mask, const RecordRange& range, bool evenOdd, int32_t bandRows,
                        bool* sawStyle) {
  bilevel_pass(mask, range, evenOdd, bandRows, false, sawStyle);
  bilevel_pass(mask, range, evenOdd, bandRows, true, sawStyle);
  return Fill::Done;
}

}  // namespace zo::render
