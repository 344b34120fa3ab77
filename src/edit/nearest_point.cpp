#include "nearest_point.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/bezier.hpp"

namespace zo::edit {

namespace {

constexpr int kDegree = 5;
constexpr int kMaxDepth = 64;
// Roots are located to this width in t; far below what a 16.16 coordinate can tell apart.
const double kFlatEnough = std::ldexp(1.0, -kMaxDepth / 2);

// A polynomial of degree 5 in Bernstein form over the parameter interval [t0, t1]: the
// control points are (t0 + i/5 (t1 - t0), b[i]).
struct Bernstein5 {
  double b[kDegree + 1];
  double t0, t1;
};

int sign_changes(const Bernstein5& w) {
  int changes = 0;
  bool negative = w.b[0] < 0;
  for (int i = 1; i <= kDegree; ++i) {
    bool n = w.b[i] < 0;
    if (n != negative) ++changes;
    negative = n;
  }
  return changes;
}

// The control polygon lies in a band about the chord from its first to its last point; the
// band crosses the axis over an interval of t whose width bounds the root's uncertainty.
bool flat_enough(const Bernstein5& w) {
  const double dt = w.t1 - w.t0;
  // The chord as a x + b y + c = 0 over (t, value).
  const double a = w.b[0] - w.b[kDegree];
  const double b = dt;
  const double c = w.t0 * w.b[kDegree] - w.t1 * w.b[0];
  double above = 0.0, below = 0.0;
  for (int i = 1; i < kDegree; ++i) {
    double t = w.t0 + dt * i / kDegree;
    double d = a * t + b * w.b[i] + c;
    above = std::max(above, d);
    below = std::min(below, d);
  }
  if (a == 0.0) return false;
  // The band's edges, a t + b y + c - d = 0, meet value 0 (above - below) / |a| apart.
  return (above - below) / std::fabs(a) < kFlatEnough;
}

// Where the chord of the control polygon meets value 0.
double chord_root(const Bernstein5& w) {
  double v0 = w.b[0], v1 = w.b[kDegree];
  if (v0 == v1) return 0.5 * (w.t0 + w.t1);
  return std::clamp(w.t0 + (w.t1 - w.t0) * v0 / (v0 - v1), w.t0, w.t1);
}

// The two halves of the interval, by the shared de Casteljau split.
void halve(const Bernstein5& w, Bernstein5* left, Bernstein5* right) {
  split_bernstein(w.b, 0.5, left->b, right->b);
  double mid = 0.5 * (w.t0 + w.t1);
  left->t0 = w.t0;
  left->t1 = mid;
  right->t0 = mid;
  right->t1 = w.t1;
}

// Appends the roots in [t0, t1] in increasing order; at most kDegree of them.
void find_roots(const Bernstein5& w, int depth, double* roots, int* n) {
  int changes = sign_changes(w);
  if (changes == 0 || *n >= kDegree) return;
  if (changes == 1) {
    if (depth >= kMaxDepth) {
      roots[(*n)++] = 0.5 * (w.t0 + w.t1);
      return;
    }
    if (flat_enough(w)) {
      roots[(*n)++] = chord_root(w);
      return;
    }
  } else if (depth >= kMaxDepth) {
    roots[(*n)++] = 0.5 * (w.t0 + w.t1);
    return;
  }
  Bernstein5 left, right;
  halve(w, &left, &right);
  find_roots(left, depth + 1, roots, n);
  find_roots(right, depth + 1, roots, n);
}

// (B(t) - q) . B'(t) in Bernstein form: with c_i = P_i - q (degree 3) and
// d_j = 3 (P_{j+1} - P_j) (degree 2), the product's coefficient k sums
// C(3, i) C(2, j) / C(5, k) (c_i . d_j) over i + j = k.
Bernstein5 distance_derivative(const PointDB v[4], PointDB q) {
  static constexpr double kWeight[3][4] = {
      {1.0, 0.6, 0.3, 0.1}, {0.4, 0.6, 0.6, 0.4}, {0.1, 0.3, 0.6, 1.0}};
  PointDB c[4], d[3];
  for (int i = 0; i < 4; ++i) c[i] = v[i] - q;
  for (int j = 0; j < 3; ++j) d[j] = (v[j + 1] - v[j]) * 3.0;
  Bernstein5 w{{0, 0, 0, 0, 0, 0}, 0.0, 1.0};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 4; ++i) w.b[i + j] += dot(d[j], c[i]) * kWeight[j][i];
  return w;
}

}  // namespace

NearestPoint nearest_point_on_cubic(const PointDB cubic[4], PointDB q) {
  double roots[kDegree];
  int n = 0;
  find_roots(distance_derivative(cubic, q), 0, roots, &n);
  const Cubic curve{cubic[0], cubic[1], cubic[2], cubic[3]};
  NearestPoint best{0.0, cubic[0], distance(cubic[0], q)};
  for (int i = 0; i < n; ++i) {
    PointDB p = cubic_point(curve, roots[i]);
    double d = distance(p, q);
    if (d < best.distance) best = NearestPoint{roots[i], p, d};
  }
  double dEnd = distance(cubic[3], q);
  if (dEnd < best.distance) best = NearestPoint{1.0, cubic[3], dEnd};
  return best;
}

}  // namespace zo::edit
