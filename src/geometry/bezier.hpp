// Cubic Bezier arithmetic in doubles: de Casteljau splitting, points, length, control-point
// boxes, the parameters where x(t) or y(t) turns, and exact signed areas.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geometry/vectors.hpp"

namespace zo {

struct Cubic {
  PointDB p0, p1, p2, p3;
};

// De Casteljau's construction at u on a Bernstein polynomial of any degree, whose N + 1
// coefficients are scalars or points: left[] and right[] receive the coefficients of the
// pieces over [0, u] and [u, 1], which share the value at u.
template <typename T, size_t N>
void split_bernstein(const T (&c)[N], double u, T (&left)[N], T (&right)[N]) {
  T row[N];
  for (size_t i = 0; i < N; ++i) row[i] = c[i];
  for (size_t level = 0; level < N; ++level) {
    left[level] = row[0];
    right[N - 1 - level] = row[N - 1 - level];
    for (size_t i = 0; i + level + 1 < N; ++i) row[i] = row[i] + (row[i + 1] - row[i]) * u;
  }
}

// The two halves of a cubic split at u; they share the point at u.
inline void split_cubic(const Cubic& c, double u, Cubic* left, Cubic* right) {
  const PointDB in[4] = {c.p0, c.p1, c.p2, c.p3};
  PointDB l[4], r[4];
  split_bernstein(in, u, l, r);
  *left = Cubic{l[0], l[1], l[2], l[3]};
  *right = Cubic{r[0], r[1], r[2], r[3]};
}

// B(t) by de Casteljau's construction.
inline PointDB cubic_point(const Cubic& c, double t) {
  Cubic left, right;
  split_cubic(c, t, &left, &right);
  return left.p3;
}

// Length of a cubic: the control polygon once it is within 0.1 unit of the chord, else the
// sum of the halves.
inline double cubic_length(const Cubic& c, int depth = 0) {
  double polygon = distance(c.p0, c.p1) + distance(c.p1, c.p2) + distance(c.p2, c.p3);
  double chord = distance(c.p0, c.p3);
  if (polygon - chord <= 0.1 || depth >= 40 || !std::isfinite(polygon)) return polygon;
  Cubic left, right;
  split_cubic(c, 0.5, &left, &right);
  return cubic_length(left, depth + 1) + cubic_length(right, depth + 1);
}

// An axis-aligned box of doubles, bounds included.
struct BoxDB {
  double minX, minY, maxX, maxY;
};
inline BoxDB box_of(PointDB a, PointDB b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}
// The box of the four defining points, which contains the curve.
inline BoxDB control_box(const Cubic& c) {
  BoxDB a = box_of(c.p0, c.p1), b = box_of(c.p2, c.p3);
  return {std::min(a.minX, b.minX), std::min(a.minY, b.minY), std::max(a.maxX, b.maxX),
          std::max(a.maxY, b.maxY)};
}
// Whether two boxes overlap as closed intervals on both axes.
inline bool boxes_overlap(const BoxDB& a, const BoxDB& b) {
  return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

// The parameters in (0, 1) where the derivative of the one-dimensional cubic with control
// values v0..v3 vanishes, in increasing order; returns how many (0 to 2).
inline int derivative_roots(double v0, double v1, double v2, double v3, double roots[2]) {
  // B'(t) / 3 = a t^2 + b t + c in power form.
  double a = v3 - 3.0 * v2 + 3.0 * v1 - v0;
  double b = 2.0 * (v2 - 2.0 * v1 + v0);
  double c = v1 - v0;
  double found[2];
  int n = 0;
  double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
  if (scale == 0.0 || !std::isfinite(scale)) return 0;
  if (std::fabs(a) <= 1e-12 * scale) {
    if (b != 0.0) found[n++] = -c / b;
  } else {
    double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) return 0;
    // The root of larger magnitude first, the other from the product: no cancellation.
    double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
    found[n++] = q / a;
    if (q != 0.0) found[n++] = c / q;
  }
  int kept = 0;
  for (int i = 0; i < n; ++i) {
    if (found[i] > 0.0 && found[i] < 1.0) roots[kept++] = found[i];
  }
  if (kept == 2) {
    if (roots[0] > roots[1]) std::swap(roots[0], roots[1]);
    if (roots[0] == roots[1]) kept = 1;
  }
  return kept;
}

// Signed area terms by Green's theorem, (1/2) integral of (x dy - y dx) along the segment.
// Summed over a closed run they give its area, positive when the run turns clockwise on a
// y-down image (counter-clockwise in y-up axes).
inline double line_area_term(PointDB a, PointDB b) { return 0.5 * cross(a, b); }
inline double cubic_area_term(const Cubic& c) {
  return (6.0 * cross(c.p0, c.p1) + 3.0 * cross(c.p0, c.p2) + cross(c.p0, c.p3) +
          3.0 * cross(c.p1, c.p2) + 3.0 * cross(c.p1, c.p3) + 6.0 * cross(c.p2, c.p3)) /
         20.0;
}

}  // namespace zo
