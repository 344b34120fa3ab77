#include "x_crossings.hpp"

#include <algorithm>
#include <utility>

namespace zo::deform {

int x_crossings(const PointDB c[4], const double* xs, int count, double* out, int max) {
  int n = 0;
  auto x_at = [&](double t) {
    double s = 1 - t;
    return s * s * s * c[0].x + 3 * s * s * t * c[1].x + 3 * s * t * t * c[2].x + t * t * t * c[3].x;
  };
  double lo = std::min({c[0].x, c[1].x, c[2].x, c[3].x});
  double hi = std::max({c[0].x, c[1].x, c[2].x, c[3].x});
  for (int e = 0; e < count; ++e) {
    if (xs[e] <= lo || xs[e] >= hi) continue;  // the curve stays on one side
    constexpr int kSteps = 32;
    double prevT = 0.0, prevF = x_at(0.0) - xs[e];
    for (int i = 1; i <= kSteps && n < max; ++i) {
      double t = static_cast<double>(i) / kSteps, f = x_at(t) - xs[e];
      if ((prevF < 0 && f > 0) || (prevF > 0 && f < 0)) {
        double a = prevT, b = t, fa = prevF;
        for (int k = 0; k < 60; ++k) {
          double m = 0.5 * (a + b), fm = x_at(m) - xs[e];
          if ((fa < 0) == (fm < 0)) a = m, fa = fm; else b = m;
        }
        out[n++] = 0.5 * (a + b);
      } else if (f == 0.0 && i < kSteps) {
        out[n++] = t;
      }
      prevT = t, prevF = f;
    }
  }
  for (int i = 1; i < n; ++i)  // insertion sort of a few values
    for (int j = i; j > 0 && out[j - 1] > out[j]; --j) std::swap(out[j - 1], out[j]);
  return n;
}

}  // namespace zo::deform
