// The band fill and the two-direction bilevel fill.
#include "rasterizer.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "crossings.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "span_rules.hpp"

namespace zo::render {

namespace {

// The 8-bit coverage of one pixel row, accumulated over its sample rows. Whole columns
// inside a span are counted run-length in a difference array, so a wide span costs the same
// as a narrow one; the partial columns at span ends go to a row of doubles. Only the touched
// column range is visited when the row is written.
class CoverageRow {
 public:
  explicit CoverageRow(uint32_t width) : width_(width) {
    full_ = static_cast<int32_t*>(plat::mem_alloc((width + 1) * sizeof(int32_t), plat::kZeroFill));
    part_ = static_cast<double*>(plat::mem_alloc((width + 1) * sizeof(double), plat::kZeroFill));
  }
  ~CoverageRow() {
    plat::mem_free(full_);
    plat::mem_free(part_);
  }
  CoverageRow(const CoverageRow&) = delete;
  CoverageRow& operator=(const CoverageRow&) = delete;
  bool ready() const { return full_ != nullptr && part_ != nullptr; }

  // Column ⌊a⌋ gets 1 - frac(a), the columns between 1, column ⌊b⌋ frac(b); one column
  // holding both ends gets b - a. Columns at or past the width are ignored; a, b >= 0.
  void add_span(double a, double b) {
    uint32_t ca = column(a), cb = column(b);
    if (ca == cb) {
      if (ca < width_) add_part(ca, b - a);
      return;
    }
    if (ca < width_) add_part(ca, 1.0 - (a - std::floor(a)));
    uint32_t runEnd = std::min(cb, width_);
    if (ca + 1 < runEnd) {
      full_[ca + 1] += 1;
      full_[runEnd] -= 1;
      touch(ca + 1);
      touch(runEnd);
    }
    if (cb < width_) add_part(cb, b - std::floor(b));
  }

  // Writes the touched columns of the row whose coverage is non-zero and clears the row.
  // samples: sample rows per pixel row; 1 selects the bilevel rule.
  void flush(uint8_t* row, uint32_t samples) {
    if (lo_ > hi_) return;
    uint32_t last = std::min(hi_, width_ - 1);
    int32_t run = 0;
    for (uint32_t c = lo_; c <= last; ++c) {
      run += full_[c];
      part_[c] += run;
    }
    if (samples == 1) {
      write_bilevel(row, last);
    } else {
      const double unit = 256.0 / samples;
      for (uint32_t c = lo_; c <= last; ++c) {
        double acc = part_[c];
        if (acc != 0.0) row[c] = clamp_byte(std::trunc(acc * unit - 0.98));
      }
    }
    std::memset(full_ + lo_, 0, (hi_ - lo_ + 1) * sizeof(int32_t));
    std::memset(part_ + lo_, 0, (last - lo_ + 2) * sizeof(double));
    lo_ = UINT32_MAX;
    hi_ = 0;
  }

 private:
  static uint32_t column(double v) {
    return v >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(v);
  }
  static uint8_t clamp_byte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }
  void touch(uint32_t c) {
    lo_ = std::min(lo_, c);
    hi_ = std::max(hi_, c);
  }
  void add_part(uint32_t c, double v) {
    part_[c] += v;
    touch(c);
  }

  // Bilevel with drop-out control: a pixel at least half covered is set; a pixel between
  // 113 and 126 is set only when it stands alone; a weaker one is set only when its right
  // neighbour is weaker still and nothing is set to its left, so thin features keep one pixel.
  void write_bilevel(uint8_t* row, uint32_t last) {
    auto level = [](double acc) { return static_cast<int32_t>(std::trunc(acc * 256.0 - 0.5)); };
    for (uint32_t c = lo_; c <= last; ++c) {
      double acc = part_[c];
      if (acc == 0.0) continue;
      int32_t v = level(acc);
      int32_t n = c + 1 <= last ? level(part_[c + 1]) : 0;
      bool leftSet = c > 0 && row[c - 1] != 0;
      if (v >= 127) {
        row[c] = 255;
      } else if (v >= 113) {
        if (!(n >= 113 || leftSet)) row[c] = 255;
      } else {
        row[c] = v <= n || leftSet ? 0 : 255;
      }
    }
  }

  uint32_t width_;
  int32_t* full_ = nullptr;
  double* part_ = nullptr;
  uint32_t lo_ = UINT32_MAX;
  uint32_t hi_ = 0;
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

// Crossings of every fillable record of the range, for one band.
void collect(CrossingBand& band, const RecordRange& range, const DeviceMap& map, bool columns,
             bool* sawStyle) {
  range.for_each([&](ZoPath* r) {
    if ((r->flags & ZOF_TEXT_STYLE) != 0) {
      *sawStyle = true;
      return;
    }
    if (columns && (r->flags & ZOF_RICH_BAR) != 0) return;
    band.add_record(r, map, columns);
  });
  band.sort();
}

}  // namespace

Fill band_fill(const Mask& mask, const RecordRange& range, const FillOptions& options,
               bool* sawStyle) {
  const uint32_t samples = mask.wide ? 4 : options.samplesPerPixel;
  const DeviceMap map = fill_map(mask, samples, false);
  const double limit = static_cast<double>(mask.width) + 2.0;
  const size_t rowBytes = size_t{mask.width} * (mask.wide ? 4 : 1);
  CoverageRow coverage(mask.wide ? 0 : mask.width);
  if (!mask.wide && !coverage.ready()) {
    ZO_REPORT_NO_MEMORY();
    return Fill::Failed;
  }
  for (uint32_t top = 0; top < mask.height; top += static_cast<uint32_t>(options.bandRows)) {
    int32_t rows = static_cast<int32_t>(std::min<uint32_t>(options.bandRows, mask.height - top));
    CrossingBand band(static_cast<int32_t>(top), rows, samples, limit);
    if (!band.ready()) return Fill::Done;  // the rows written so far stay
    collect(band, range, map, false, sawStyle);
    if (band.failed()) return Fill::Failed;
    for (uint32_t j = 0; j < band.line_count(); ++j) {
      uint8_t* row = mask.pixels + (top + j / samples) * rowBytes;
      uint32_t count = 0;
      const double* crossings = band.line(j, &count);
      if (mask.wide) {
        uint32_t k = j % samples;
        if (k == 0) std::memset(row, 0xFF, rowBytes);
        for_each_span(crossings, count, options.evenOdd,
                      [&](double a, double b) { wide_span(row, mask.width, k, a, b); });
        continue;
      }
      for_each_span(crossings, count, options.evenOdd,
                    [&](double a, double b) { coverage.add_span(a, b); });
      if ((j + 1) % samples == 0) coverage.flush(row, samples);
    }
  }
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
Fill bilevel_pass(const Mask& mask, const RecordRange& range, bool evenOdd, int32_t bandRows,
                  bool columns, bool* sawStyle) {
  const DeviceMap map = fill_map(mask, 1, columns);
  const uint32_t lines = columns ? mask.width : mask.height;
  const uint32_t across = columns ? mask.height : mask.width;
  const double limit = static_cast<double>(across) + 2.0;
  for (uint32_t top = 0; top < lines; top += static_cast<uint32_t>(bandRows)) {
    int32_t rows = static_cast<int32_t>(std::min<uint32_t>(bandRows, lines - top));
    CrossingBand band(static_cast<int32_t>(top), rows, 1, limit);
    if (!band.ready()) return Fill::Done;
    collect(band, range, map, columns, sawStyle);
    if (band.failed()) return Fill::Failed;
    for (uint32_t j = 0; j < band.line_count(); ++j) {
      uint32_t count = 0;
      const double* crossings = band.line(j, &count);
      const uint32_t line = top + j;
      for_each_span(crossings, count, evenOdd, [&](double a, double b) {
        int64_t first = 0, last = 0;
        if (!pixel_range(a, b, &first, &last)) return;
        first = std::max<int64_t>(first, 0);
        last = std::min<int64_t>(last, int64_t{across} - 1);
        for (int64_t i = first; i <= last; ++i) {
          size_t at = columns ? static_cast<size_t>(i) * mask.width + line
                              : size_t{line} * mask.width + static_cast<size_t>(i);
          mask.pixels[at] = 255;
        }
      });
    }
  }
  return Fill::Done;
}

}  // namespace

Fill two_direction_fill(const Mask& mask, const RecordRange& range, bool evenOdd, int32_t bandRows,
                        bool* sawStyle) {
  if (bilevel_pass(mask, range, evenOdd, bandRows, false, sawStyle) == Fill::Failed)
    return Fill::Failed;
  return bilevel_pass(mask, range, evenOdd, bandRows, true, sawStyle);
}

}  // namespace zo::render
