// The reference fill of the rasteriser tests and the rasteriser fuzz target: one crossing
// list per sample line, one accumulator per column, built the plain way. It is test code and
// stays out of the library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../../src/geometry/forward_diff.hpp"  // the library's one curve walk
#include "Zo32path.h"

namespace zo_test {

// Built the plain way, band by band: every record's segments and curve chords add their
// crossings to the lists of the band's sample lines, each list is sorted, and every column
// adds up its coverage in order. Partial end columns are summed as doubles and whole columns
// counted, the count added last. It shares nothing with the library's fill but the curve walk.
struct RefFill {
  uint32_t width, height, samples, bandRows;
  double scale, left, top;
  bool evenOdd, wide, columns = false;

  // When set (one byte a pixel), marks the pixels whose accumulator lies within 1e-9 of a
  // threshold of the byte formula: there a fill that adds the same coverages in another order
  // may write a different byte (one apart; bilevel: either value, and so may its right
  // neighbour). Zero counts too: an accumulator of zero leaves the byte alone.
  std::vector<uint8_t>* loose = nullptr;

  using Lists = std::vector<std::vector<double>>;

  // 0: the byte is fixed; 1: it may be one apart; 2: it may be anything (zero: written or
  // kept; bilevel: either level).
  uint8_t near_threshold(double acc, double next) const {
    constexpr double kTolerance = 1e-9;
    auto near_whole = [](double v, double within) { return std::fabs(v - std::round(v)) <= within; };
    if (std::fabs(acc) <= kTolerance) return 2;
    if (samples > 1) return near_whole(acc * 256 / samples - 0.98, kTolerance * 256 / samples);
    // Bilevel: v and n are compared with 113, 127 and each other.
    bool near = near_whole(acc * 256 - 0.5, kTolerance * 256) ||
                near_whole(next * 256 - 0.5, kTolerance * 256) || std::fabs(next) <= kTolerance;
    return near ? 2 : 0;
  }
  static double off_grid(double v, double n) { return v * n == std::floor(v * n) ? v + 1e-5 : v; }
  void edge(Lists& lists, int64_t firstLine, double limit, PointDB p, PointDB q) const {
    double u0 = p.x, v0 = p.y, u1 = q.x, v1 = q.y, n = samples;
    if (v0 == v1 || !std::isfinite(u0 + v0 + u1 + v1)) return;
    u0 = off_grid(u0, n), v0 = off_grid(v0, n), u1 = off_grid(u1, n), v1 = off_grid(v1, n);
    double first = std::max(std::ceil(std::min(v0, v1) * n), double(firstLine + 1));
    double last = std::min(std::ceil(std::max(v0, v1) * n) - 1, double(firstLine) + lists.size());
    double slope = (u1 - u0) / (v1 - v0), u = u0 + (first / n - v0) * slope;
    for (double g = first; g <= last; g += 1, u += slope / n)
      lists[size_t(g - firstLine - 1)].push_back((v1 > v0 ? 1.0 : -1.0) *
                                                 std::clamp(u, 0.0, limit));
  }
  void record(Lists& lists, int64_t firstLine, double limit, const ZoPath* r) const {
    const PathNode* nodes = ZoPathNodes(const_cast<ZoPath*>(r));
    double extra = samples % 2 == 1 ? 0.5 / samples : 0.0;
    auto device = [&](Ptfx f) {
      PointDB d{FixToDb(f.x) * scale + 0.5 - left, FixToDb(f.y) * scale + 0.5 - top};
      (columns ? d.x : d.y) += extra;
      return columns ? PointDB{d.y, d.x} : d;
    };
    PointDB at{0, 0}, start{0, 0};
    bool open = false;
    auto line_to = [&](PointDB to) { edge(lists, firstLine, limit, at, to), at = to; };
    double bandLo = double(firstLine) / samples, bandHi = bandLo + double(lists.size()) / samples;
    for (uint32_t i = 0; i < r->count;) {
      uint16_t kind = nodes[i].type & PT_KIND_PARAM_MASK;
      if (kind == PT_MOVETO || kind == PT_LINETO || kind == PT_BEZIERTO) {
        if (kind == PT_MOVETO && open && (at.x != start.x || at.y != start.y)) line_to(start);
        if (kind == PT_MOVETO) at = start = device(nodes[i].pt), open = true;
        if (kind == PT_LINETO) line_to(device(nodes[i].pt));
        if (kind == PT_BEZIERTO) {
          if (i + 2 >= r->count) break;
          PointDB c1 = device(nodes[i].pt), c2 = device(nodes[i + 1].pt),
                  e = device(nodes[i + 2].pt);
          if (std::max({at.y, c1.y, c2.y, e.y}) < bandLo ||
              std::min({at.y, c1.y, c2.y, e.y}) > bandHi)
            at = e;  // the curve misses the band
          else
            zo::forward_difference_cubic(at, c1, c2, e, {60000.0 / 65536.0, -1.0, true}, line_to);
          i += 2;
        }
        ++i;
      } else {
        i += kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2 ? 2 : 1;
      }
    }
    if (open && (at.x != start.x || at.y != start.y)) line_to(start);
  }
  template <typename Fn>
  void spans(std::vector<double>& c, Fn&& fn) const {
    auto less = [](double a, double b) { return std::fabs(a) < std::fabs(b); };
    if (c.size() > 32)
      std::sort(c.begin(), c.end(), less);
    else
      std::stable_sort(c.begin(), c.end(), less);
    int winding = 0;
    double from = 0;
    for (size_t i = 0; i < c.size(); ++i) {
      double x = std::fabs(c[i]);
      if (evenOdd) {
        if (i % 2 == 1 && x != std::fabs(c[i - 1])) fn(std::fabs(c[i - 1]), x);
        continue;
      }
      if (winding == 0) from = x;
      winding += std::signbit(c[i]) ? -1 : 1;
      if (winding == 0 && x != from) fn(from, x);
    }
  }
  // Every band of lines (rows, or columns for the column pass): fn(lists, first line).
  template <typename Fn>
  void bands(const std::vector<ZoPath*>& chain, uint32_t lines, double limit, Fn&& fn) const {
    for (uint32_t top = 0; top < lines; top += bandRows) {
      Lists lists(size_t(std::min(bandRows, lines - top)) * samples);
      for (ZoPath* r : chain)
        if ((r->flags & ZOF_TEXT_STYLE) == 0 && !(columns && (r->flags & ZOF_RICH_BAR) != 0))
          record(lists, int64_t(top) * samples, limit, r);
      fn(lists, top);
    }
  }
  void fill(const std::vector<ZoPath*>& chain, uint8_t* mask) const {
    static const uint8_t kL[9] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
    static const uint8_t kR[9] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01, 0x00};
    auto eighths = [](double v) { return int(std::trunc((v - std::floor(v)) * 8 + 0.5)); };
    std::vector<double> part(width + 1);
    std::vector<int> whole(width + 1);
    bands(chain, height, width + 2.0, [&](Lists& lists, uint32_t top) {
      for (size_t j = 0; j < lists.size(); ++j) {
        uint8_t* row = mask + (top + j / samples) * size_t(width) * (wide ? 4 : 1);
        if (wide && j % samples == 0) std::memset(row, 0xFF, size_t(width) * 4);
        spans(lists[j], [&](double a, double b) {
          uint64_t ca = uint64_t(std::min(a, 1e18)), cb = uint64_t(std::min(b, 1e18));
          if (wide) {
            uint8_t* px = row + j % samples;
            if (ca == cb && ca < width) px[ca * 4] = kL[eighths(a)] | kR[eighths(b)];
            if (ca == cb) return;
            if (ca < width) px[ca * 4] = kL[eighths(a)];
            for (uint64_t c = ca + 1; c < std::min<uint64_t>(cb, width); ++c) px[c * 4] = 0;
            if (cb < width) px[cb * 4] = kR[eighths(b)];
            return;
          }
          if (ca == cb && ca < width) part[ca] += b - a;
          if (ca == cb) return;
          if (ca < width) part[ca] += 1 - (a - std::floor(a));
          for (uint64_t c = ca + 1; c < std::min<uint64_t>(cb, width); ++c) ++whole[c];
          if (cb < width) part[cb] += b - std::floor(b);
        });
        if (wide || (j + 1) % samples != 0) continue;
        auto level = [](double acc) { return int(std::trunc(acc * 256 - 0.5)); };
        for (uint32_t c = 0; c < width; ++c) part[c] += whole[c];
        for (uint32_t c = 0; c < width; ++c) {
          double acc = part[c];
          if (loose != nullptr)
            (*loose)[(top + j / samples) * size_t(width) + c] =
                near_threshold(acc, c + 1 < width ? part[c + 1] : 0.0);
          if (acc == 0) continue;
          if (samples > 1) {
            row[c] = uint8_t(std::clamp(std::trunc(acc * 256 / samples - 0.98), 0.0, 255.0));
            continue;
          }
          int v = level(acc), n = c + 1 < width ? level(part[c + 1]) : 0;
          bool leftSet = c > 0 && row[c - 1] != 0;
          if (v >= 127)
            row[c] = 255;
          else if (v >= 113)
            row[c] = n >= 113 || leftSet ? row[c] : 255;
          else
            row[c] = v <= n || leftSet ? 0 : 255;
        }
        std::fill(part.begin(), part.end(), 0.0);
        std::fill(whole.begin(), whole.end(), 0);
      }
    });
  }
  // The two-direction bilevel fill of text characters: pixel centres a span covers, or the
  // one nearest its middle, by rows and then by columns.
  void two_direction(const std::vector<ZoPath*>& chain, uint8_t* mask) {
    for (bool cols : {false, true}) {
      columns = cols;
      uint32_t lines = cols ? width : height, across = cols ? height : width;
      bands(chain, lines, across + 2.0, [&](Lists& lists, uint32_t top) {
        for (size_t j = 0; j < lists.size(); ++j) {
          spans(lists[j], [&](double a, double b) {
            if (a >= b || b < 0.3) return;
            double fa = std::floor(a), fb = std::floor(b);
            int64_t first = int64_t(fa) + (a - fa > 0.5), last = int64_t(fb) - (b - fb < 0.5);
            if (last < first) {
              double mid = (a + b) / 2;
              first = last =
                  int64_t(std::fabs(fa + 0.5 - mid) < std::fabs(fb + 0.5 - mid) ? fa : fb);
            }
            for (int64_t i = std::max<int64_t>(first, 0); i <= std::min<int64_t>(last, across - 1);
                 ++i)
              mask[cols ? size_t(i) * width + top + j : (top + j) * size_t(width) + size_t(i)] =
                  255;
          });
        }
      });
    }
  }
};

// Compares a mask with the reference's: every byte equal except the loose ones, and in
// bilevel a byte whose left neighbour differed (the drop-out rule reads it). Returns how many bytes needed the tolerance, or -1 on a real
// difference (*where then holds its index).
inline int64_t compare_with_tolerance(const uint8_t* want, const uint8_t* got, size_t size,
                                      const std::vector<uint8_t>& loose, uint32_t width,
                                      bool bilevel, size_t* where = nullptr) {
  int64_t tolerated = 0;
  for (size_t i = 0; i < size; ++i) {
    if (want[i] == got[i]) continue;
    bool leftDiffered = bilevel && i % width != 0 && want[i - 1] != got[i - 1];
    bool close = loose[i] == 2 || (loose[i] == 1 && std::abs(int(want[i]) - int(got[i])) <= 1);
    if (close || leftDiffered) {
      ++tolerated;
      continue;
    }
    if (where != nullptr) *where = i;
    return -1;
  }
  return tolerated;
}

}  // namespace zo_test
