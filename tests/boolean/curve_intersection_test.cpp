// Crossings of straight and cubic edges: a table of exact cases, then random pairs checked
// against dense sampling that shares no code with the halving under test.
#include "boolean/curve_intersection.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using zo::Cubic;
using zo::boolean::kMaxCrossings;
using zo::operator+;
using zo::operator-;
using zo::operator*;

struct Found {
  int n;
  double ta[kMaxCrossings], tb[kMaxCrossings];
  uint8_t coincident;
};
Found lines(PointDB p0, PointDB p1, PointDB q0, PointDB q1) {
  Found f{};
  f.n = zo::boolean::intersect_lines(p0, p1, q0, q1, f.ta, f.tb, &f.coincident);
  return f;
}
Found cubic_line(const Cubic& a, PointDB q0, PointDB q1) {
  Found f{};
  f.n = zo::boolean::intersect_cubic_line(a, q0, q1, f.ta, f.tb, &f.coincident);
  return f;
}
Found cubics(const Cubic& a, const Cubic& b, uint64_t* visits = nullptr) {
  Found f{};
  f.n = zo::boolean::intersect_cubics(a, b, f.ta, f.tb, &f.coincident, visits);
  return f;
}
PointDB at(const Cubic& c, double t) {  // power form, independent of the code under test
  double s = 1 - t, w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
  return {w0 * c.p0.x + w1 * c.p1.x + w2 * c.p2.x + w3 * c.p3.x,
          w0 * c.p0.y + w1 * c.p1.y + w2 * c.p2.y + w3 * c.p3.y};
}
void expect_pairs(const Found& f, std::vector<std::pair<double, double>> want, int coincident,
                  double tol = 0.0) {
  ASSERT_EQ(f.n, static_cast<int>(want.size()));
  for (int i = 0; i < f.n; ++i) {
    EXPECT_NEAR(f.ta[i], want[i].first, tol) << i;
    EXPECT_NEAR(f.tb[i], want[i].second, tol) << i;
  }
  EXPECT_EQ(f.coincident, coincident);
}

// Arch y = 30 t (1 - t) over x = 10 t (control points at the thirds, so x is linear in t).
const Cubic kArch{{0, 0}, {10.0 / 3, 10}, {20.0 / 3, 10}, {10, 0}};

TEST(CurveIntersection, StraightEdgeTable) {
  expect_pairs(lines({0, 0}, {1, 1}, {0, 1}, {1, 0}), {{0.5, 0.5}}, 0);
  // Collinear: each of the three rules, and the flag only with two crossings.
  expect_pairs(lines({0, 0}, {10, 0}, {5, 0}, {15, 0}), {{0.5, 0}, {1, 0.5}}, 1);
  expect_pairs(lines({0, 0}, {10, 0}, {2, 0}, {4, 0}), {{0.2, 0}, {0.4, 1}}, 1);
  expect_pairs(lines({2, 0}, {4, 0}, {0, 0}, {10, 0}), {{0, 0.2}, {1, 0.4}}, 1);
  expect_pairs(lines({0, 0}, {10, 0}, {0, 0}, {20, 0}), {{0, 0}, {1, 0.5}}, 1);
  expect_pairs(lines({0, 0}, {10, 0}, {10, 0}, {20, 0}), {{1, 0}}, 0);
  expect_pairs(lines({0, 0}, {10, 0}, {12, 0}, {20, 0}), {}, 0);
  expect_pairs(lines({0, 0}, {0, 10}, {0, 5}, {0, 20}), {{0.5, 0}, {1, 1.0 / 3}}, 1, 1e-15);
  // Nearly parallel within 0.1 of each other's lines counts as collinear; farther does not.
  expect_pairs(lines({0, 0}, {10, 0}, {0, 0.005}, {10, 0.005}), {{0, 0}, {1, 1}}, 1);
  expect_pairs(lines({0, 0}, {10, 0}, {0, 0.02}, {10, 0.02}), {}, 0);
  expect_pairs(lines({0, 0}, {10, 0}, {0, 1}, {10, 1}), {}, 0);
  // Shared end points and crossings within 0.001 of an end snap to it.
  expect_pairs(lines({0, 0}, {10, 0}, {10, 0}, {10, 10}), {{1, 0}}, 0);
  expect_pairs(lines({0, 0}, {10, 0}, {9.995, -5}, {9.995, 5}), {{1, 0.5}}, 0);
  expect_pairs(lines({0, 0}, {10, 0}, {5, 1}, {5, 10}), {}, 0);
}

TEST(CurveIntersection, CubicTable) {
  const Cubic reversed{kArch.p3, kArch.p2, kArch.p1, kArch.p0};
  expect_pairs(cubics(kArch, kArch), {{0, 0}, {1, 1}}, 1);
  expect_pairs(cubics(kArch, reversed), {{0, 1}, {1, 0}}, 1);
  // The mirrored arch y = 10 - 30 t (1 - t) crosses at t (1 - t) = 1/6.
  const Cubic mirror{{0, 10}, {10.0 / 3, 0}, {20.0 / 3, 0}, {10, 10}};
  const double r = (1 - std::sqrt(1.0 / 3)) / 2;
  expect_pairs(cubics(kArch, mirror), {{r, r}, {1 - r, 1 - r}}, 0, 1e-6);
  // A crossing on a leaf boundary of both halvings is found twice and reported once.
  expect_pairs(cubic_line(kArch, {5, -1}, {5, 20}), {{0.5, 8.5 / 21}}, 0, 1e-9);
  // A cubic with no second differences is flat at depth 0 and crossed through its chord; one
  // flat but unevenly spaced still has depth and reports the curve's own parameter.
  const Cubic thirds{{0, 0}, {2, 0}, {4, 0}, {6, 0}}, uneven{{0, 0}, {1, 0}, {2, 0}, {10, 0}};
  EXPECT_EQ(zo::boolean::subdivision_depth(thirds), 0);
  EXPECT_EQ(zo::boolean::subdivision_depth(uneven), 13);
  expect_pairs(cubic_line(thirds, {1.5, -1}, {1.5, 1}), {{0.25, 0.5}}, 0, 1e-12);
  Found f = cubic_line(uneven, {5, -1}, {5, 1});
  ASSERT_EQ(f.n, 1);
  EXPECT_NEAR(at(uneven, f.ta[0]).x, 5.0, 1e-6);
  // Tangent arches (top of one on the bottom of the other) and an arch tangent to a line:
  // whatever is reported lies at the touching point.
  const Cubic below{{0, 15}, {10.0 / 3, 5}, {20.0 / 3, 5}, {10, 15}};
  for (const Found& f : {cubics(kArch, below), cubic_line(kArch, {0, 7.5}, {10, 7.5})}) {
    ASSERT_GE(f.n, 1);
    for (int i = 0; i < f.n; ++i) EXPECT_NEAR(f.ta[i], 0.5, 2e-3);
  }
  // A line through a loop meets the curve three times, twice across the loop.
  const Cubic loop{{0, 0}, {30, 30}, {-20, 30}, {10, 0}};
  f = cubic_line(loop, {4, -50}, {4, 50});
  const double want[3] = {0.0512, 0.53354, 0.91528};  // x(t) = 4 by dense sampling
  ASSERT_EQ(f.n, 3);
  // Reported in the order of the second edge's parameter.
  EXPECT_TRUE(f.tb[0] < f.tb[1] && f.tb[1] < f.tb[2]);
  std::sort(f.ta, f.ta + 3);
  for (int i = 0; i < f.n; ++i) EXPECT_NEAR(f.ta[i], want[i], 2e-5);
  // A piece of a cubic against the whole: not flagged, and the halving is bounded.
  Cubic half, rest;
  zo::split_cubic(kArch, 0.5, &half, &rest);
  uint64_t visits = 0;
  f = cubics(kArch, half, &visits);
  EXPECT_EQ(f.coincident, 0);
  EXPECT_GE(f.n, 1);
  EXPECT_LT(visits, 1000u);  // the walk stops once the record table is full
  for (int i = 0; i < f.n; ++i) {
    EXPECT_NEAR(zo::distance(at(kArch, f.ta[i]), at(half, f.tb[i])), 0.0, 1e-3);
  }
}

// Crossings of the polylines through 400 samples of each curve that are transversal, away
// from the ends and from each other: the halving must report each of them.
std::vector<std::pair<double, double>> sampled_crossings(const Cubic& a, const Cubic& b) {
  const int n = 400;
  std::vector<PointDB> pa(n + 1), pb(n + 1);
  for (int i = 0; i <= n; ++i) pa[i] = at(a, double(i) / n), pb[i] = at(b, double(i) / n);
  std::vector<std::pair<double, double>> out;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      PointDB u = pa[i + 1] - pa[i], v = pb[j + 1] - pb[j], w = pb[j] - pa[i];
      double den = zo::cross(u, v);
      if (std::fabs(den) < 0.3 * zo::length(u) * zo::length(v)) continue;
      double s = zo::cross(w, v) / den, t = zo::cross(w, u) / den;
      if (s >= 0 && s < 1 && t >= 0 && t < 1) out.push_back({(i + s) / n, (j + t) / n});
    }
  }
  std::vector<std::pair<double, double>> isolated;
  for (auto c : out) {
    bool alone = c.first > 0.01 && c.first < 0.99 && c.second > 0.01 && c.second < 0.99;
    for (auto d : out) {
      if (&c != &d && (d.first != c.first || d.second != c.second) &&
          std::fabs(d.first - c.first) < 0.02 && std::fabs(d.second - c.second) < 0.02)
        alone = false;
    }
    if (alone) isolated.push_back(c);
  }
  return isolated;
}

TEST(CurveIntersection, RandomPairsAgreeWithSampling) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> d(0.0, 100.0);
  int checked = 0;
  for (int n = 0; n < 240; ++n) {
    Cubic a{{d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}};
    Cubic b{{d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}};
    bool straight = n % 3 == 0;
    if (straight) b.p1 = b.p0 + (b.p3 - b.p0) * (1.0 / 3), b.p2 = b.p0 + (b.p3 - b.p0) * (2.0 / 3);
    Found f = straight ? cubic_line(a, b.p0, b.p3) : cubics(a, b);
    zo::BoxDB box = zo::control_box(a), boxB = zo::control_box(b);
    double size = std::max(
        {box.maxX - box.minX, box.maxY - box.minY, boxB.maxX - boxB.minX, boxB.maxY - boxB.minY});
    for (int i = 0; i < f.n; ++i) {
      if (f.ta[i] == 0 || f.ta[i] == 1 || f.tb[i] == 0 || f.tb[i] == 1) continue;  // snapped
      ASSERT_LT(zo::distance(at(a, f.ta[i]), at(b, f.tb[i])), 1e-6 * size) << n;
    }
    if (f.n == kMaxCrossings) continue;
    for (auto c : sampled_crossings(a, b)) {
      bool reported = false;
      for (int i = 0; i < f.n; ++i) {
        reported |= std::fabs(f.ta[i] - c.first) < 0.005 && std::fabs(f.tb[i] - c.second) < 0.005;
      }
      ASSERT_TRUE(reported) << n << " at " << c.first << ", " << c.second;
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
