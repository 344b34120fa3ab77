// The curve toolkit against independent power-form evaluation and dense sampling.
#include "geometry/bezier.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using zo::Cubic;

// B(t) in power form, a different formula from the de Casteljau construction under test.
PointDB power_point(const Cubic& c, double t) {
  double s = 1.0 - t;
  double w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
  return {w0 * c.p0.x + w1 * c.p1.x + w2 * c.p2.x + w3 * c.p3.x,
          w0 * c.p0.y + w1 * c.p1.y + w2 * c.p2.y + w3 * c.p3.y};
}
double power_derivative(double v0, double v1, double v2, double v3, double t) {
  double s = 1.0 - t;
  return 3 * (s * s * (v1 - v0) + 2 * s * t * (v2 - v1) + t * t * (v3 - v2));
}

Cubic random_cubic(std::mt19937& rng) {
  std::uniform_real_distribution<double> d(-100.0, 100.0);
  return Cubic{{d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}, {d(rng), d(rng)}};
}

TEST(Bezier, SplitPiecesRetraceTheCurveAndBoxesHoldIt) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int n = 0; n < 500; ++n) {
    Cubic c = random_cubic(rng), left, right;
    double u = unit(rng);
    zo::split_cubic(c, u, &left, &right);
    zo::BoxDB box = zo::control_box(c);
    for (double s = 0.0; s <= 1.0; s += 0.125) {
      PointDB a = power_point(left, s), b = power_point(c, s * u);
      PointDB e = power_point(right, s), f = power_point(c, u + s * (1 - u));
      ASSERT_NEAR(zo::distance(a, b), 0.0, 1e-9);
      ASSERT_NEAR(zo::distance(e, f), 0.0, 1e-9);
      ASSERT_NEAR(zo::distance(zo::cubic_point(c, s), power_point(c, s)), 0.0, 1e-9);
      ASSERT_TRUE(b.x >= box.minX && b.x <= box.maxX && b.y >= box.minY && b.y <= box.maxY);
    }
  }
  EXPECT_TRUE(zo::boxes_overlap({0, 0, 1, 1}, {1, 1, 2, 2}));  // touching counts
  EXPECT_FALSE(zo::boxes_overlap({0, 0, 1, 1}, {1.0001, 0, 2, 1}));
  EXPECT_FALSE(zo::boxes_overlap({0, 0, 1, 1}, {0, -2, 1, -0.5}));
}

TEST(Bezier, DerivativeRootsAreTheTurnsOfEachCoordinate) {
  std::mt19937 rng(11);
  for (int n = 0; n < 2000; ++n) {
    Cubic c = random_cubic(rng);
    const double v[4] = {c.p0.x, c.p1.x, c.p2.x, c.p3.x};
    double roots[2];
    int found = zo::derivative_roots(v[0], v[1], v[2], v[3], roots);
    int changes = 0;
    double prev = power_derivative(v[0], v[1], v[2], v[3], 1e-9);
    for (int i = 1; i <= 4000; ++i) {
      double d = power_derivative(v[0], v[1], v[2], v[3], i / 4000.0 - 1e-9);
      if ((d < 0) != (prev < 0)) ++changes;
      prev = d;
    }
    ASSERT_EQ(found, changes) << n;
    for (int i = 0; i < found; ++i) {
      ASSERT_GT(roots[i], 0.0);
      ASSERT_LT(roots[i], 1.0);
      ASSERT_NEAR(power_derivative(v[0], v[1], v[2], v[3], roots[i]), 0.0, 1e-7);
    }
    if (found == 2) {
      ASSERT_LT(roots[0], roots[1]);
    }
  }
  double roots[2];
  EXPECT_EQ(zo::derivative_roots(0, 1, 2, 3, roots), 0);  // uniform motion never turns
  EXPECT_EQ(zo::derivative_roots(0, 1, 1, 0, roots), 1);  // symmetric arch turns at 1/2
  EXPECT_DOUBLE_EQ(roots[0], 0.5);
  EXPECT_EQ(zo::derivative_roots(5, 5, 5, 5, roots), 0);
}

TEST(Bezier, AreaTermsMatchDenseShoelaceAndLengthMatchesPolyline) {
  std::mt19937 rng(3);
  for (int n = 0; n < 200; ++n) {
    Cubic a = random_cubic(rng), b = random_cubic(rng);
    b.p0 = a.p3;
    // Closed run: cubic a, cubic b, line back to the start.
    double exact = zo::cubic_area_term(a) + zo::cubic_area_term(b) + zo::line_area_term(b.p3, a.p0);
    double shoelace = 0.0, polyline = 0.0;
    const int steps = 20000;
    PointDB prev = a.p0;
    for (const Cubic* c : {&a, &b}) {
      for (int i = 1; i <= steps; ++i) {
        PointDB p = power_point(*c, double(i) / steps);
        shoelace += 0.5 * (prev.x * p.y - p.x * prev.y);
        if (c == &a) polyline += zo::distance(prev, p);
        prev = p;
      }
    }
    shoelace += 0.5 * (prev.x * a.p0.y - a.p0.x * prev.y);
    ASSERT_NEAR(exact, shoelace, 1e-4 * (1.0 + std::fabs(exact))) << n;
    // The control polygon bounds each leaf from above, the chord from below.
    ASSERT_GE(zo::cubic_length(a), polyline - 1e-6) << n;
    ASSERT_LE(zo::cubic_length(a), polyline * 1.005 + 0.1) << n;
  }
  // A circle of radius 10 from four quarter arcs: pi r^2 within the arc approximation's error,
  // positive because it runs clockwise on the y-down image.
  const double k = 0.5522847 * 10;
  Cubic q[4] = {{{10, 0}, {10, k}, {k, 10}, {0, 10}},
                {{0, 10}, {-k, 10}, {-10, k}, {-10, 0}},
                {{-10, 0}, {-10, -k}, {-k, -10}, {0, -10}},
                {{0, -10}, {k, -10}, {10, -k}, {10, 0}}};
  double circle = 0.0;
  for (const Cubic& c : q) circle += zo::cubic_area_term(c);
  EXPECT_NEAR(circle, M_PI * 100, 0.1);  // the arcs bulge by 0.03 per cent
}

}  // namespace
