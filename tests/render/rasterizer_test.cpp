// The path rasteriser: coverage against an exact-area oracle, byte-for-byte equality with a
// plain reference fill on random paths, fill rules, sample-line vertices, bilevel drop-out,
// 32-bit patterns, super-sampling, outputs and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "mask_helpers.hpp"
#include "ref_fill.hpp"
#include "test_support.hpp"

namespace {

using namespace zo_test;

class Rasterizer : public ZoTest {};

// ---- The oracle: exact area of a simple polygon inside one pixel square ----

std::vector<Pt> clip(const std::vector<Pt>& poly, int axis, double bound, bool keepBelow) {
  std::vector<Pt> out;
  auto coord = [axis](const Pt& p) { return axis == 0 ? p.x : p.y; };
  auto inside = [&](const Pt& p) { return keepBelow ? coord(p) <= bound : coord(p) >= bound; };
  for (size_t i = 0; i < poly.size(); ++i) {
    const Pt& a = poly[i];
    const Pt& b = poly[(i + 1) % poly.size()];
    if (inside(a)) out.push_back(a);
    if (inside(a) != inside(b)) {
      double t = (bound - coord(a)) / (coord(b) - coord(a));
      out.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
    }
  }
  return out;
}

double area(const std::vector<Pt>& poly) {
  double s = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Pt& a = poly[i];
    const Pt& b = poly[(i + 1) % poly.size()];
    s += a.x * b.y - b.x * a.y;
  }
  return std::fabs(s) / 2;
}

double pixel_coverage(const std::vector<Pt>& poly, double x0, double y0) {
  auto p =
      clip(clip(clip(clip(poly, 0, x0, false), 0, x0 + 1, true), 1, y0, false), 1, y0 + 1, true);
  return p.size() < 3 ? 0.0 : area(p);
}

// A random star-shaped (so simple) polygon around (cx, cy).
std::vector<Pt> random_star(std::mt19937& rng, double cx, double cy, double radius, int n) {
  std::uniform_real_distribution<double> r(0.2 * radius, radius), jitter(0.0, 0.9);
  std::vector<Pt> pts;
  for (int i = 0; i < n; ++i) {
    double a = (i + jitter(rng)) * 2 * M_PI / n;
    double d = r(rng);
    pts.push_back({cx + d * std::cos(a), cy + d * std::sin(a)});
  }
  return pts;
}

TEST_F(Rasterizer, AntiAliasedCoverageStaysCloseToTheExactArea) {
  std::mt19937 rng(2024);
  for (uint32_t aaMode : {1u, 999u}) {
    for (int round = 0; round < 12; ++round) {
      auto poly = random_star(rng, 40.3, 30.7, 25.0, 5 + round * 3);
      ZoPath* p = polygon_record({poly});
      for (uint32_t rule : {0u, 1u}) {
        Rendered m = render(p, 8, rule, aaMode);
        ASSERT_NE(m.buffer, nullptr);
        // Vertical sampling is exact to one sample row per edge, horizontal coverage exact.
        const double rows = aaMode == 999 ? 4.0 : 16.0;
        double worst = 0, total = 0, exactTotal = 0;
        for (uint32_t y = 0; y < m.height; ++y) {
          for (uint32_t x = 0; x < m.width; ++x) {
            double exact = pixel_coverage(poly, m.rect.left + x - 0.5, m.rect.top + y - 0.5);
            double got = m.at(x, y) / 255.0;
            worst = std::max(worst, std::fabs(got - exact));
            total += got;
            exactTotal += exact;
          }
        }
        EXPECT_LE(worst, 2.0 / rows + 0.02) << "aa " << aaMode << " round " << round;
        EXPECT_NEAR(total, exactTotal, exactTotal * 0.02 + 2.0);
      }
      delete_list(p);
    }
  }
}

// A random joined chain: straight and curved figures, sometimes snapped to the sample grids,
// sometimes tall enough for several bands.
std::vector<ZoPath*> random_chain(std::mt19937& rng, uint32_t round) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  double size = round % 5 == 0 ? 300 + 300 * unit(rng) : 4 + 60 * unit(rng);
  double grid = std::array<double, 4>{0, 16, 4, 1}[rng() % 4];
  auto coord = [&] {
    double v = size * unit(rng) - size * 0.1;
    return grid == 0 ? v : std::round(v * grid) / grid;
  };
  std::vector<ZoPath*> chain;
  if (round % 4 == 1) {
    // Simple figures side by side and nested (most pixel rows take the per-edge path): an
    // ellipse, a star around it or inside it, in either direction.
    double c = size / 2, rx = size * (0.1 + 0.4 * unit(rng)), ry = size * (0.1 + 0.4 * unit(rng));
    chain.push_back(ellipse_record(c + unit(rng), c + unit(rng), rx, ry));
    auto star = random_star(rng, c, c, std::max(rx, ry) * (0.3 + unit(rng)), 3 + rng() % 20);
    if (rng() % 2) std::reverse(star.begin(), star.end());
    chain.push_back(polygon_record({star}));
    join_records(chain);
    return chain;
  }
  for (uint32_t r = 0, records = 1 + rng() % 3; r < records; ++r) {
    ZoPath* p = ZoPathCreate();
    for (uint32_t f = 0, figures = 1 + rng() % 3; f < figures; ++f) {
      for (uint32_t i = 0, nodes = 2 + rng() % 10; i < nodes; ++i) {
        uint16_t type = i == 0 ? PT_MOVETO : rng() % 2 ? PT_LINETO : PT_BEZIERTO;
        for (int k = 0; k < (type == PT_BEZIERTO ? 3 : 1); ++k) {
          Ptfx pt{DbToFix(coord()), DbToFix(coord())};
          ZoPathAddPoint(&p, &pt, type);
        }
      }
    }
    p->flags = rng() % 8 == 0 ? ZOF_RICH_BAR : 0;
    chain.push_back(p);
  }
  join_records(chain);
  return chain;
}

TEST_F(Rasterizer, RandomPathsMatchTheReferenceFill) {
  std::mt19937 rng(77);
  // Bytes may differ from the reference only where its accumulator sits on a threshold
  // (32-bit masks and the two-direction fill leave nothing loose: they must match exactly).
  int64_t tolerated = 0;
  size_t compared = 0;
  auto check = [&](const std::vector<uint8_t>& want, const uint8_t* got,
                   const std::vector<uint8_t>& loose, uint32_t width, bool bilevel,
                   uint32_t round, uint32_t rule, uint32_t aa) {
    size_t where = 0;
    int64_t n = loose.empty() ? (std::memcmp(want.data(), got, want.size()) == 0 ? 0 : -1)
                              : compare_with_tolerance(want.data(), got, want.size(), loose,
                                                       width, bilevel, &where);
    EXPECT_GE(n, 0) << "round " << round << " rule " << rule << " aa " << aa << " byte " << where
                    << ": " << int(want[where]) << " wanted, " << int(got[where]) << " made";
    tolerated += std::max<int64_t>(n, 0);
    compared += want.size();
  };
  for (uint32_t round = 0; round < 60; ++round) {
    std::vector<ZoPath*> chain = random_chain(rng, round);
    ZoPath* head = chain.front();
    const uint32_t scale = round % 3 == 0 ? 98304 : 65536;  // 1.5 or 1
    for (uint32_t rule : {0u, 1u}) {
      // ZoPathToBuf: 16 or 4 sample rows, bilevel, 32-bit; bands of 50 rows.
      for (uint32_t aa : {0u, 1u, 999u, 4u}) {
        uint32_t format = aa == 4 ? 4 : 8, aaMode = aa == 4 ? 1 : aa;
        Rendered m = render(head, format, rule, aaMode, 0, scale);
        ASSERT_NE(m.buffer, nullptr);
        RefFill ref{m.width,
                    m.height,
                    aaMode == 0 ? 1u
                    : aa == 1   ? 16u
                                : 4u,
                    50,
                    scale / 65536.0,
                    double(m.rect.left),
                    double(m.rect.top),
                    rule != 0,
                    format == 4};
        std::vector<uint8_t> want(size_t(m.width) * m.height * (format == 4 ? 4 : 1));
        std::vector<uint8_t> loose(format == 4 ? 0 : want.size());
        if (format != 4) ref.loose = &loose;
        ref.fill(chain, want.data());
        check(want, m.buffer, loose, m.width, aaMode == 0, round, rule, aa);
      }
      // A positioned caller buffer that clips the shape, with bytes already in it (bands of
      // 250 rows, 4 sample rows); then the two-direction fill of a text character.
      for (uint32_t aa : {1u, 0u}) {
        uint32_t w = 8 + rng() % 90, h = 8 + rng() % 400;
        int32_t x = int32_t(rng() % 40) - 20, y = int32_t(rng() % 40) - 20;
        head->flags = (head->flags & ~ZOF_TEXT_CHAR) | (aa == 0 ? ZOF_TEXT_CHAR : 0);
        uint8_t* buf = ZoPathBufAlloc(8, w, h);
        for (uint32_t i = 0; i < w * h; i += 7) buf[i] = uint8_t(i);
        std::vector<uint8_t> want(buf, buf + size_t(w) * h);
        ASSERT_EQ(ZoPathToPartialBuf(head, rule, aa, (int64_t(y) << 32) | uint32_t(x), buf), 1u);
        RefFill ref{w, h, aa == 0 ? 1u : 4u, 250, 1.0, double(x), double(y), rule != 0, false};
        std::vector<uint8_t> loose(want.size());
        ref.loose = &loose;
        if (aa == 0)
          ref.two_direction(chain, want.data());
        else
          ref.fill(chain, want.data());
        check(want, buf, loose, w, false, round, rule, aa + 10);
        ZoPathBufFree(buf);
      }
      head->flags &= ~ZOF_TEXT_CHAR;
    }
    delete_list(head);
  }
  RecordProperty("bytes_within_tolerance", std::to_string(tolerated));
  RecordProperty("bytes_compared", std::to_string(compared));
  std::printf("bytes within tolerance: %lld of %zu\n", static_cast<long long>(tolerated), compared);
  EXPECT_LE(tolerated * 100000, int64_t(compared));  // vanishingly rare
}

// ---- Exact cases ----

struct SquareCase {
  uint32_t format, aaMode;
};

TEST_F(Rasterizer, PixelAlignedSquareIsFullInsideAndEmptyOutsideInEveryMode) {
  // Pixel edges lie at half-integer image coordinates.
  ZoPath* p = polygon_record({rect_points(9.5, 19.5, 29.5, 34.5)});
  for (SquareCase c : {SquareCase{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 999}}) {
    for (uint32_t rule : {0u, 1u}) {
      Rendered m = render(p, c.format, rule, c.aaMode);
      ASSERT_NE(m.buffer, nullptr);
      EXPECT_EQ(m.rect.left, 9 - 5);
      EXPECT_EQ(m.rect.top, 19 - 5);
      EXPECT_EQ(m.width, uint32_t(29 + 6 - (9 - 5) + 1));
      for (uint32_t y = 0; y < m.height; ++y)
        for (uint32_t x = 0; x < m.width; ++x) {
          int32_t ix = m.rect.left + int32_t(x), iy = m.rect.top + int32_t(y);
          bool inside = ix >= 10 && ix <= 29 && iy >= 20 && iy <= 34;
          ASSERT_EQ(m.at(x, y), inside ? 255 : 0) << x << "," << y << " aa " << c.aaMode;
        }
    }
  }
  delete_list(p);
}

TEST_F(Rasterizer, HalfCoveredPixelGives127WithSixteenRows) {
  ZoPath* p = polygon_record({rect_points(9.5, 9.5, 12.0, 13.5)});
  Rendered m = render(p, 8, 0, 1);
  EXPECT_EQ(m.image(11, 11), 255);
  EXPECT_EQ(m.image(12, 11), 127);  // trunc(256 / 16 * 8 - 0.98)
  EXPECT_EQ(m.image(13, 11), 0);
  Rendered four = render(p, 8, 0, 999);
  EXPECT_EQ(four.image(12, 11), 127);  // trunc(256 / 4 * 2 - 0.98)
  delete_list(p);
}

TEST_F(Rasterizer, FillRulesDecideOverlapsAndSelfIntersections) {
  // Two overlapping squares of the same direction in one joined chain.
  ZoPath* a = polygon_record({rect_points(9.5, 9.5, 19.5, 19.5)});
  ZoPath* b = polygon_record({rect_points(14.5, 14.5, 24.5, 24.5)});
  ZoPath* chain = join_records({a, b});
  for (uint32_t aa : {0u, 1u}) {
    Rendered winding = render(chain, 8, 0, aa);
    Rendered evenOdd = render(chain, 8, 1, aa);
    EXPECT_EQ(winding.image(17, 17), 255);
    EXPECT_EQ(evenOdd.image(17, 17), 0);
    EXPECT_EQ(evenOdd.image(12, 12), 255);
    EXPECT_EQ(evenOdd.image(22, 22), 255);
  }
  delete_list(chain);
  // A figure eight crossing itself once: both rules fill both lobes; a doubly wound square
  // (twice around) is full under winding and empty under even-odd.
  auto sq = rect_points(9.5, 9.5, 19.5, 19.5);
  std::vector<Pt> twice = sq;
  twice.insert(twice.end(), sq.begin(), sq.end());
  ZoPath* wound = polygon_record({twice});
  EXPECT_EQ(render(wound, 8, 0, 1).image(14, 14), 255);
  EXPECT_EQ(render(wound, 8, 1, 1).image(14, 14), 0);
  delete_list(wound);
  ZoPath* bow = polygon_record({{{9.5, 9.5}, {29.5, 19.5}, {29.5, 9.5}, {9.5, 19.5}}});
  for (uint32_t rule : {0u, 1u}) {
    Rendered m = render(bow, 8, rule, 1);
    EXPECT_EQ(m.image(11, 14), 255);
    EXPECT_EQ(m.image(28, 14), 255);
    EXPECT_EQ(m.image(19, 11), 0);
  }
  delete_list(bow);
}

TEST_F(Rasterizer, VerticesOnSampleLinesAreCountedOnce) {
  // A diamond whose vertices lie exactly on sample lines of every sampling (integer and
  // sixteenth device ordinates): a miscounted vertex would leave an unmatched crossing and
  // streak the row to the mask's edge.
  for (double yShift : {0.0, 0.0625, 0.5}) {
    ZoPath* p = polygon_record({{{20.0, 10.0 + yShift},
                                 {30.0, 20.0 + yShift},
                                 {20.0, 30.0 + yShift},
                                 {10.0, 20.0 + yShift}}});
    for (uint32_t aa : {0u, 1u, 999u}) {
      for (uint32_t rule : {0u, 1u}) {
        Rendered m = render(p, 8, rule, aa);
        for (uint32_t y = 0; y < m.height; ++y) {
          EXPECT_EQ(m.at(0, y), 0);
          EXPECT_EQ(m.at(m.width - 1, y), 0) << "row " << y << " aa " << aa;
        }
        EXPECT_EQ(m.image(20, int32_t(20 + yShift)), 255);
      }
    }
    delete_list(p);
  }
}

TEST_F(Rasterizer, BilevelDropOutKeepsThinFeaturesOnlyWhereTheRulesSay) {
  // Vertical sliver 0.45 px wide between pixel centres: coverage 115 with empty neighbours
  // is set; a 0.2 px sliver (coverage 50, neighbour 0) whose right neighbour is weaker is set
  // too, because nothing is set to its left.
  ZoPath* wide = polygon_record({rect_points(10.55, 9.5, 11.0, 19.5)});
  Rendered m = render(wide, 8, 0, 0);
  EXPECT_EQ(m.image(11, 14), 255);  // trunc(0.45·256 − 0.5) = 114
  EXPECT_EQ(m.image(10, 14), 0);
  delete_list(wide);
  // A sliver split over two columns 0.3 + 0.3: the left one (76) is not above its right
  // neighbour (76), so it is cleared; the right one is above its next neighbour (0) but its
  // left neighbour... is 0, so it is set.
  ZoPath* split = polygon_record({rect_points(10.2, 9.5, 10.8, 19.5)});
  Rendered s = render(split, 8, 0, 0);
  EXPECT_EQ(s.image(10, 14), 0);
  EXPECT_EQ(s.image(11, 14), 255);
  delete_list(split);
  // A horizontal hairline 0.3 px thick between sample lines vanishes in the band fill and
  // survives as one pixel row in the two-direction fill of text characters.
  ZoPath* line = polygon_record({rect_points(9.5, 14.1, 29.5, 14.4)});
  Rendered band = render(line, 8, 0, 0);
  for (uint32_t y = 0; y < band.height; ++y)
    for (uint32_t x = 0; x < band.width; ++x) ASSERT_EQ(band.at(x, y), 0);
  line->flags = ZOF_TEXT_CHAR;
  Rendered both = render(line, 8, 0, 0);
  for (int32_t x = 10; x <= 29; ++x) EXPECT_EQ(both.image(x, 14), 255) << x;
  EXPECT_EQ(both.image(20, 13), 0);
  EXPECT_EQ(both.image(20, 15), 0);
  delete_list(line);
}

TEST_F(Rasterizer, TwoDirectionFillTakesPixelCentresAndNearestPixelForMisses) {
  // A 0.4 px vertical sliver between centres: the column pass keeps one pixel per row.
  ZoPath* p = polygon_record({rect_points(12.05, 9.5, 12.45, 19.5)}, ZOF_TEXT_CHAR);
  Rendered m = render(p, 8, 0, 0);
  for (int32_t y = 10; y <= 19; ++y) {
    EXPECT_EQ(m.image(12, y), 255);
    EXPECT_EQ(m.image(13, y), 0);
  }
  // ZOF_RICH_BAR leaves the record out of the column pass: the sliver (rows only) vanishes
  // from rows... but survives because each row span keeps its nearest pixel.
  p->flags = ZOF_TEXT_CHAR | ZOF_RICH_BAR;
  Rendered rows = render(p, 8, 0, 0);
  EXPECT_EQ(rows.image(12, 14), 255);
  delete_list(p);
  // A thin horizontal bar of a text record with ZOF_RICH_BAR: no column pass, row pass drops
  // it (no sample line inside): nothing.
  ZoPath* bar = polygon_record({rect_points(9.5, 14.1, 29.5, 14.4)}, ZOF_TEXT_CHAR | ZOF_RICH_BAR);
  Rendered b = render(bar, 8, 0, 0);
  EXPECT_EQ(b.image(20, 14), 0);
  delete_list(bar);
}

TEST_F(Rasterizer, ThirtyTwoBitMasksHoldSubSampleBits) {
  // x from 10.25 to 12.75 image = device 5.75 .. 8.25 (left 5, +0.5); rows 19.5 .. 22.5.
  ZoPath* p = polygon_record({rect_points(10.25, 19.5, 12.75, 22.5)});
  Rendered m = render(p, 4, 0, 1);
  ASSERT_EQ(m.bits, 32u);
  auto px = [&](int32_t x, int32_t y) {
    uint32_t v;
    std::memcpy(&v, m.buffer + (size_t(y - m.rect.top) * m.width + size_t(x - m.rect.left)) * 4, 4);
    return v;
  };
  EXPECT_EQ(px(10, 21), 0xFCFCFCFCu);  // pixel 10 covers 9.5..10.5: inside from 10.25 = 6/8
  EXPECT_EQ(px(11, 21), 0x00000000u);
  EXPECT_EQ(px(12, 21), 0x00000000u);
  EXPECT_EQ(px(13, 21), 0x3F3F3F3Fu);  // pixel 13 covers 12.5..13.5: inside up to 12.75 = 2/8
  EXPECT_EQ(px(14, 21), 0xFFFFFFFFu);
  EXPECT_EQ(px(11, 18), 0xFFFFFFFFu);
  // Both ends in one pixel: L | R.
  ZoPath* thin = polygon_record({rect_points(10.0, 19.5, 10.25, 22.5)});
  Rendered t = render(thin, 4, 0, 0);
  uint32_t v;
  std::memcpy(&v, t.buffer + (size_t(21 - t.rect.top) * t.width + size_t(10 - t.rect.left)) * 4, 4);
  EXPECT_EQ(v, 0xF3F3F3F3u);  // L[4] | R[6] = F0 | 03
  delete_list(thin);
  delete_list(p);
}

TEST_F(Rasterizer, SuperSamplingAveragesBoxesOfTheLargeMask) {
  ZoPath* p = ellipse_record(30.3, 20.6, 14.2, 9.1);
  for (uint32_t aa : {0u, 1u}) {
    Rendered large = render(p, 8, 0, aa, 0, 2 * 65536);
    Rendered small = render(p, 16, 0, aa, 0, 2 * 65536);
    EXPECT_EQ(small.rect.left, int32_t(std::trunc(large.rect.left / 2.0)));
    EXPECT_EQ(small.rect.bottom, int32_t(std::trunc(large.rect.bottom / 2.0)));
    EXPECT_EQ(small.width, uint32_t(small.rect.right - small.rect.left + 1));
    for (uint32_t y = 0; y < small.height; ++y)
      for (uint32_t x = 0; x < small.width; ++x) {
        uint32_t sum = 0, n = 0;
        for (uint32_t yy = 2 * y + 1; yy <= 2 * y + 2 && yy < large.height; ++yy)
          for (uint32_t xx = 2 * x + 1; xx <= 2 * x + 2 && xx < large.width; ++xx)
            sum += large.at(xx, yy), ++n;
        uint32_t mean = n == 0 ? 0 : sum / n;
        if (aa == 0) mean = mean > 127 ? 255 : 0;
        ASSERT_EQ(small.at(x, y), mean) << x << "," << y;
      }
  }
  // With a non-zero mode the scale drops to 1.
  Rendered outline = render(p, 16, 0, 1, 1, 2 * 65536);
  Rendered plain = render(p, 8, 0, 1, 1, 65536);
  EXPECT_EQ(outline.width, plain.width);
  delete_list(p);
}

TEST_F(Rasterizer, GainAndSharpeningApplyOnlyToTextCharacters) {
  ZoPath* p = polygon_record({rect_points(9.5, 9.5, 12.0, 13.5)});
  EXPECT_EQ(render(p, 8, 0, 2).image(12, 11), 127);
  p->flags = ZOF_TEXT_CHAR;
  EXPECT_EQ(render(p, 8, 0, 2).image(12, 11), 222);  // trunc(1.75 · 127)
  Rendered sharp = render(p, 8, 0, 3);
  // Centre pixel of a full interior: (9·255 − 4·255) / 5 = 255; the half pixel next to the
  // edge: (9·127 − 255 − 0 − 127 − 127) / 5 = 126... computed from the unfiltered mask.
  Rendered base = render(p, 8, 0, 1);
  for (int32_t y = 9; y <= 14; ++y)
    for (int32_t x = 9; x <= 13; ++x) {
      auto at = [&](int32_t xx, int32_t yy) {
        if (xx < base.rect.left || yy < base.rect.top) return 0;
        return int(base.image(xx, yy));
      };
      int v = 9 * at(x, y) - at(x - 1, y) - at(x + 1, y) - at(x, y - 1) - at(x, y + 1);
      EXPECT_EQ(sharp.image(x, y), std::clamp(v / 5, 0, 255)) << x << "," << y;
    }
  delete_list(p);
}

TEST_F(Rasterizer, OutlinePassDrawsTextStyleRecordsAndNonZeroModes) {
  ZoPath* fill = polygon_record({rect_points(9.5, 9.5, 19.5, 19.5)});
  ZoPath* styled = polygon_record({rect_points(30.0, 10.0, 40.0, 20.0)}, ZOF_TEXT_STYLE);
  ZoPath* chain = join_records({fill, styled});
  Rendered m = render(chain, 8, 0, 0);
  EXPECT_EQ(m.image(15, 15), 255);
  EXPECT_EQ(m.image(35, 15), 0);    // not filled
  EXPECT_EQ(m.image(35, 10), 255);  // drawn as a line
  EXPECT_EQ(m.image(40, 15), 255);
  Rendered lines = render(chain, 8, 0, 1, 1);
  EXPECT_EQ(lines.image(15, 15), 0);
  EXPECT_EQ(lines.image(15, 10), 128);  // line at 9.5: half way between two pixels
  EXPECT_EQ(lines.image(35, 20), 255);
  delete_list(chain);
}

TEST_F(Rasterizer, SelectionOfTwentyFivePathsGrowsTheOutputs) {
  std::vector<ZoPath*> paths;
  for (int i = 0; i < 25; ++i) {
    ZoPath* p = polygon_record({rect_points(i * 3.0, 0, i * 3.0 + 2, 2)}, ZOF_SELECTED);
    if (!paths.empty()) {
      paths.back()->next = p, p->prev = paths.back();
      paths.back()->selNext = p, p->selPrev = paths.back();
    }
    paths.push_back(p);
  }
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  ASSERT_EQ(ZoPathToBuf(paths[7], 8, 0, 1, 0, 65536, &rects, &buffers, -2), 25u);
  EXPECT_EQ(ZoPlatGlobalSize(reinterpret_cast<HGLOBAL>(rects)), 40 * sizeof(RECT));
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(rects[i].left, i * 3 - 5 - 2);
    EXPECT_EQ(rects[i].right, i * 3 + 2 + 6 + 2);
    ZoPathBufFree(buffers[i]);
  }
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  delete_list(paths.front());
}

TEST_F(Rasterizer, ScaledRenderingMatchesTheShapeDrawnLarger) {
  ZoPath* small = polygon_record({rect_points(4.75, 5.25, 10.25, 9.75)});
  ZoPath* big = polygon_record({rect_points(14.25, 15.75, 30.75, 29.25)});
  Rendered a = render(small, 8, 0, 1, 0, 3 * 65536);
  Rendered b = render(big, 8, 0, 1);
  for (int32_t y = 12; y < 33; ++y)
    for (int32_t x = 12; x < 33; ++x) EXPECT_EQ(a.image(x, y), b.image(x, y)) << x << "," << y;
  delete_list(small);
  delete_list(big);
}

// ---- Caller buffers ----

TEST_F(Rasterizer, SubBufferVariantsFillOnePartAtItsPlace) {
  ZoPath* c0 = polygon_record({rect_points(9.5, 9.5, 14.5, 14.5)}, ZOF_TEXT_CHAR);
  ZoPath* c0b = polygon_record({rect_points(11.5, 11.5, 12.5, 12.5)});  // hole of part 0
  ZoPath* c1 = polygon_record({rect_points(19.5, 9.5, 24.5, 14.5)}, ZOF_TEXT_CHAR);
  ZoPath* chain = join_records({c0, c0b, c1});
  uint8_t* buf = ZoPathBufAlloc(8, 40, 30);
  // Positioned at image (5, 5): pixel (x, y) is image (x + 5, y + 5).
  int64_t origin = (int64_t{5} << 32) | 5;
  ASSERT_EQ(ZoPathToSubBufPartial(c1, origin, buf, 1, 1, 1, 1), 1u);
  EXPECT_EQ(buf[(12 - 5) * 40 + (22 - 5)], 255);
  EXPECT_EQ(buf[(12 - 5) * 40 + (12 - 5)], 0);
  std::memset(buf, 0, 40 * 30);
  ASSERT_EQ(ZoPathToSubBufPartial(c1, origin, buf, 1, 1, 1, 0), 1u);
  EXPECT_EQ(buf[(10 - 5) * 40 + (10 - 5)], 255);
  EXPECT_EQ(buf[(12 - 5) * 40 + (12 - 5)], 0);  // the hole, even-odd
  EXPECT_EQ(buf[(12 - 5) * 40 + (22 - 5)], 0);
  EXPECT_EQ(ZoPathToSubBufPartial(c1, origin, buf, 1, 1, 1, 2), 0u);  // no such part
  std::memset(buf, 0, 40 * 30);
  ASSERT_EQ(ZoPathToPartialBuf(c0, 0, 0, origin, buf), 1u);
  EXPECT_EQ(buf[(12 - 5) * 40 + (22 - 5)], 255);
  EXPECT_EQ(buf[(12 - 5) * 40 + (12 - 5)], 255);  // winding fills the same-direction square
  // ZoPathToSubBuf: pixel (0, 0) is the head's rectangle corner (9 - 5 - 1, 9 - 5 - 1).
  std::memset(buf, 0, 40 * 30);
  ASSERT_EQ(ZoPathToSubBuf(c0, buf, 0, 0, 1, 65536, -1, 1, 1), 1u);
  EXPECT_EQ(buf[(12 - 3) * 40 + (22 - 3)], 255);
  EXPECT_EQ(buf[(12 - 3) * 40 + (21 - 3) - 0], 255);
  EXPECT_EQ(buf[(12 - 3) * 40 + (12 - 3)], 0);
  ZoPathBufFree(buf);
  delete_list(chain);
}

TEST_F(Rasterizer, BadInputGivesTheFailureValues) {
  RECT* rects = reinterpret_cast<RECT*>(1);
  uint8_t** buffers = reinterpret_cast<uint8_t**>(1);
  EXPECT_EQ(ZoPathToBuf(nullptr, 8, 0, 1, 0, 65536, &rects, &buffers, 0), 0u);
  EXPECT_EQ(rects, nullptr);
  EXPECT_EQ(buffers, nullptr);
  ZoPath* plain = polygon_record({rect_points(0, 0, 5, 5)});
  ZoPath* attached = polygon_record({rect_points(0, 0, 5, 5)});
  attached->flags = ZOF_ATTACHMENT;  // no record behind it: never read by the fill
  uint8_t* buf = ZoPathBufAlloc(8, 8, 8);
  EXPECT_EQ(ZoPathToSubBuf(nullptr, buf, 0, 0, 1, 65536, 0, 1, 0), 0u);
  EXPECT_EQ(ZoPathToSubBuf(plain, nullptr, 0, 0, 1, 65536, 0, 1, 0), 0u);
  EXPECT_EQ(ZoPathToSubBuf(plain, buf, 0, 0, 1, 65536, 0, 1, 0), 0u);  // head not a character
  EXPECT_EQ(ZoPathToSubBufPartial(plain, 0, buf, 0, 1, 1, 0), 0u);
  EXPECT_EQ(ZoPathToPartialBuf(nullptr, 0, 1, 0, buf), 0u);
  EXPECT_EQ(ZoPathToPartialBuf(plain, 0, 1, 0, nullptr), 0u);
  EXPECT_EQ(ZoPathToPartialBuf(attached, 0, 1, 0, buf), 0u);
  // An object with an attachment yields its rectangle and an empty mask.
  Rendered m = render(attached, 8, 0, 1);
  ASSERT_NE(m.buffer, nullptr);
  for (uint32_t i = 0; i < m.width * m.height; ++i) ASSERT_EQ(m.buffer[i], 0);
  attached->flags = 0;
  ZoPathBufFree(buf);
  delete_list(plain);
  delete_list(attached);
}

TEST_F(Rasterizer, AllocationFailuresInsideAFillKeepWrittenRowsAndLeakNothing) {
  // Tall enough for several bands of 250 rows. The gain filter works pixel by pixel, so rows
  // written before an early end stay comparable.
  ZoPath* p = ellipse_record(60.2, 300.7, 50.3, 290.1, ZOF_TEXT_CHAR);
  const uint32_t w = 130, h = 620;
  uint8_t* full = ZoPathBufAlloc(8, w, h);
  ASSERT_EQ(ZoPathToPartialBuf(p, 0, 2, 0, full), 1u);
  bool succeededUnderFailure = false;
  for (uint32_t n = 1; n < 40; ++n) {
    uint8_t* buf = ZoPathBufAlloc(8, w, h);
    size_t heap = ZoPlatHeapLiveBlocks(), mem = ZoPlatMemLiveBlocks();
    zo32commClearReports();
    ZoPlatFailAllocation(n);
    uint32_t result = ZoPathToPartialBuf(p, 0, 2, 0, buf);
    bool failed = ZoPlatAllocationFailurePending() == 0;
    ZoPlatFailAllocation(0);
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), heap);
    EXPECT_EQ(ZoPlatMemLiveBlocks(), mem);
    if (!failed) {
      EXPECT_EQ(result, 1u);
      EXPECT_EQ(std::memcmp(buf, full, size_t(w) * h), 0);
      ZoPathBufFree(buf);
      break;
    }
    // Either the fill failed (0, reported), or a band's list array was missing and the fill
    // ended early: every row is then the full render's row or still empty.
    if (result == 0) {
      ASSERT_EQ(reports().size(), 1u);
      EXPECT_EQ(reports()[0].code, 1001u);
    } else {
      succeededUnderFailure = true;
      for (uint32_t y = 0; y < h; ++y) {
        bool same = std::memcmp(buf + y * w, full + y * w, w) == 0;
        bool empty = std::all_of(buf + y * w, buf + (y + 1) * w, [](uint8_t b) { return b == 0; });
        ASSERT_TRUE(same || empty) << "row " << y << " after failing allocation " << n;
      }
    }
    ZoPathBufFree(buf);
  }
  EXPECT_TRUE(succeededUnderFailure);
  ZoPathBufFree(full);
  delete_list(p);
}

TEST_F(Rasterizer, SharpeningThatCannotAllocateFailsTheCallAndLeaksNothing) {
  ZoPath* p = polygon_record({rect_points(2.5, 2.5, 9.5, 9.5)}, ZOF_TEXT_CHAR);
  uint8_t* buf = ZoPathBufAlloc(8, 16, 16);
  bool sawFailure = false;
  for (uint32_t n = 1; n < 12; ++n) {
    size_t mem = ZoPlatMemLiveBlocks(), heap = ZoPlatHeapLiveBlocks();
    ZoPlatFailAllocation(n);
    uint32_t result = ZoPathToPartialBuf(p, 0, 3, 0, buf);
    bool failed = ZoPlatAllocationFailurePending() == 0;
    ZoPlatFailAllocation(0);
    EXPECT_EQ(ZoPlatMemLiveBlocks(), mem);
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), heap);
    if (!failed) break;
    sawFailure = sawFailure || result == 0;
  }
  EXPECT_TRUE(sawFailure);
  ZoPathBufFree(buf);
  delete_list(p);
}

TEST_F(Rasterizer, ExtremeCoordinatesNeverWriteOutsideTheMask) {
  // Near the 16.16 limits, clipped into a small caller buffer at several positions and scales.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> coord(INT32_MIN, INT32_MAX);
  for (int round = 0; round < 40; ++round) {
    ZoPath* p = ZoPathCreate();
    for (int i = 0; i < 6; ++i) {
      Ptfx pt{coord(rng), coord(rng)};
      uint16_t type = i == 0 ? PT_MOVETO : (i % 3 == 0 ? PT_LINETO : PT_BEZIERTO);
      ZoPathAddPoint(&p, &pt, type);
    }
    p->flags = ZOF_TEXT_CHAR;
    uint8_t* buf = ZoPathBufAlloc(round % 2 ? 32 : 8, 17, 9);
    int64_t origin = (int64_t{coord(rng) >> 16} << 32) | uint32_t(coord(rng) >> 16);
    for (uint32_t aa : {0u, 1u, 3u}) {
      ZoPathToPartialBuf(p, round % 2, aa, origin, buf);
      ZoPathToSubBufPartial(p, origin, buf, 0, aa, 1, 0);
    }
    // Huge scales make rectangles that cannot be allocated: 0 and no outputs.
    RECT* rects = nullptr;
    uint8_t** buffers = nullptr;
    uint32_t n = ZoPathToBuf(p, 8, 0, 1, 0, 0xFFFFFFFFu, &rects, &buffers, 0);
    if (n == 0) {
      EXPECT_EQ(rects, nullptr);
    } else {
      for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
    }
    ZoPathBufFree(buf);
    delete_list(p);
  }
}

}  // namespace
