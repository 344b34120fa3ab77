// Adaptive forward differencing of a cubic Bezier: the one way this library walks along a
// curve. The step in t (out of 65536) starts at 1/4, is halved while a step would move more
// than `high` units on either axis and doubled while it moves less than `low` on both;
// coordinates are in whatever units the caller chose for the thresholds.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "Zo32path.h"

namespace zo {

struct StepLimits {
  double high;  // halve while |step| on x or y exceeds this
  double low;   // double while |step| on x and y stays below this
  // The step that reaches (or would pass) t = 1 lands exactly on p3, so consecutive curves
  // and the segments after them meet without a rounding gap.
  bool landOnEnd = false;
  // Bounds on the step in t (out of 65536): the walk takes between 65536 / maxStep and
  // 65536 / minStep steps.
  uint32_t minStep = 1;
  uint32_t maxStep = 65536;
};

// Calls visit(PointDB) (or visit(PointDB, t) with t out of 65536) for each point reached
// after p0, ending with the point at t = 1 (equal to p3 up to rounding unless
// limits.landOnEnd asks for p3 itself).
template <typename Visit>
void forward_difference_cubic(PointDB p0, PointDB p1, PointDB p2, PointDB p3, StepLimits limits,
                              Visit&& visit) {
  constexpr uint32_t kOne = 65536;
  PointDB a{p3.x - p0.x + 3.0 * (p1.x - p2.x), p3.y - p0.y + 3.0 * (p1.y - p2.y)};
  PointDB b{3.0 * (p0.x - 2.0 * p1.x + p2.x), 3.0 * (p0.y - 2.0 * p1.y + p2.y)};
  PointDB c{3.0 * (p1.x - p0.x), 3.0 * (p1.y - p0.y)};
  uint32_t step = kOne / 4;
  const double h = 0.25, h2 = h * h, h3 = h2 * h;
  PointDB d1{a.x * h3 + b.x * h2 + c.x * h, a.y * h3 + b.y * h2 + c.y * h};
  PointDB d2{6.0 * a.x * h3 + 2.0 * b.x * h2, 6.0 * a.y * h3 + 2.0 * b.y * h2};
  PointDB d3{6.0 * a.x * h3, 6.0 * a.y * h3};
  PointDB point = p0;
  bool justHalved = false;
  for (uint32_t t = 0; t < kOne;) {
    while ((std::fabs(d1.x) > limits.high || std::fabs(d1.y) > limits.high || step > limits.maxStep) &&
           step > 1 && step > limits.minStep) {
      d3 = PointDB{d3.x / 8.0, d3.y / 8.0};
      d2 = PointDB{d2.x / 4.0 - d3.x, d2.y / 4.0 - d3.y};
      d1 = PointDB{(d1.x - d2.x) / 2.0, (d1.y - d2.y) / 2.0};
      step /= 2;
      justHalved = true;
    }
    // Doubling keeps t a multiple of the step, so the walk lands exactly on t = 1.
    while (!justHalved && std::fabs(d1.x) < limits.low && std::fabs(d1.y) < limits.low &&
           t % (2 * step) == 0 && t + 2 * step <= kOne && 2 * step <= limits.maxStep) {
      d1 = PointDB{2.0 * d1.x + d2.x, 2.0 * d1.y + d2.y};
      d2 = PointDB{4.0 * (d2.x + d3.x), 4.0 * (d2.y + d3.y)};
      d3 = PointDB{8.0 * d3.x, 8.0 * d3.y};
      step *= 2;
    }
    point = limits.landOnEnd && t + step >= kOne ? p3 : PointDB{point.x + d1.x, point.y + d1.y};
    d1 = PointDB{d1.x + d2.x, d1.y + d2.y};
    d2 = PointDB{d2.x + d3.x, d2.y + d3.y};
    t += step;
    justHalved = false;
    if constexpr (std::is_invocable_v<Visit, PointDB, uint32_t>) {
      visit(point, t);
    } else {
      visit(point);
    }
  }
}

}  // namespace zo
