// Adaptive forward differencing of a cubic Bezier: the one way this library walks along a
// curve. The step in t (out of 65536) starts at 1/4, is halved while a step would move more
// than `high` units on either axis and doubled while it moves less than `low` on both;
// coordinates are in whatever units the caller chose for the thresholds.
#pragma once

#include <cmath>
#include <cstdint>

#include "Zo32path.h"

namespace zo {

struct StepLimits {
  double high;  // halve while |step| on x or y exceeds this
  double low;   // double while |step| on x and y stays below this
  // The step that reaches (or would pass) t = 1 lands exactly on p3, so consecutive curves
  // and the segments after them meet without a rounding gap.
  bool landOnEnd = false;
};

// The walk one point at a time: its whole state is this object, so a caller may copy it to
// resume the walk later from the same point, with the same steps.
class CubicSteps {
 public:
  static constexpr uint32_t kOne = 65536;

  CubicSteps(PointDB p0, PointDB p1, PointDB p2, PointDB p3, StepLimits limits)
      : p3_(p3), point_(p0), limits_(limits) {
    PointDB a{p3.x - p0.x + 3.0 * (p1.x - p2.x), p3.y - p0.y + 3.0 * (p1.y - p2.y)};
    PointDB b{3.0 * (p0.x - 2.0 * p1.x + p2.x), 3.0 * (p0.y - 2.0 * p1.y + p2.y)};
    PointDB c{3.0 * (p1.x - p0.x), 3.0 * (p1.y - p0.y)};
    const double h = 0.25, h2 = h * h, h3 = h2 * h;
    d1_ = PointDB{a.x * h3 + b.x * h2 + c.x * h, a.y * h3 + b.y * h2 + c.y * h};
    d2_ = PointDB{6.0 * a.x * h3 + 2.0 * b.x * h2, 6.0 * a.y * h3 + 2.0 * b.y * h2};
    d3_ = PointDB{6.0 * a.x * h3, 6.0 * a.y * h3};
  }

  bool done() const { return t_ >= kOne; }
  // The point last reached (p0 before the first step) and its parameter out of 65536.
  PointDB point() const { return point_; }
  uint32_t t() const { return t_; }

  // Steps on and returns the point reached; only while !done(). Inlined: the walk is the
  // inner loop of every curve flattening.
  [[gnu::always_inline]] PointDB next() {
    while ((std::fabs(d1_.x) > limits_.high || std::fabs(d1_.y) > limits_.high) && step_ > 1) {
      d3_ = PointDB{d3_.x / 8.0, d3_.y / 8.0};
      d2_ = PointDB{d2_.x / 4.0 - d3_.x, d2_.y / 4.0 - d3_.y};
      d1_ = PointDB{(d1_.x - d2_.x) / 2.0, (d1_.y - d2_.y) / 2.0};
      step_ /= 2;
      justHalved_ = true;
    }
    // Doubling keeps t a multiple of the step, so the walk lands exactly on t = 1.
    while (!justHalved_ && std::fabs(d1_.x) < limits_.low && std::fabs(d1_.y) < limits_.low &&
           t_ % (2 * step_) == 0 && t_ + 2 * step_ <= kOne) {
      d1_ = PointDB{2.0 * d1_.x + d2_.x, 2.0 * d1_.y + d2_.y};
      d2_ = PointDB{4.0 * (d2_.x + d3_.x), 4.0 * (d2_.y + d3_.y)};
      d3_ = PointDB{8.0 * d3_.x, 8.0 * d3_.y};
      step_ *= 2;
    }
    point_ = limits_.landOnEnd && t_ + step_ >= kOne ? p3_
                                                     : PointDB{point_.x + d1_.x, point_.y + d1_.y};
    d1_ = PointDB{d1_.x + d2_.x, d1_.y + d2_.y};
    d2_ = PointDB{d2_.x + d3_.x, d2_.y + d3_.y};
    t_ += step_;
    justHalved_ = false;
    return point_;
  }

 private:
  PointDB d1_{}, d2_{}, d3_{};
  PointDB p3_;
  PointDB point_;
  StepLimits limits_;
  uint32_t t_ = 0;
  uint32_t step_ = kOne / 4;
  bool justHalved_ = false;
};

// Calls visit(PointDB) for each point reached after p0, ending with the point at t = 1
// (equal to p3 up to rounding unless limits.landOnEnd asks for p3 itself).
template <typename Visit>
void forward_difference_cubic(PointDB p0, PointDB p1, PointDB p2, PointDB p3, StepLimits limits,
                              Visit&& visit) {
  CubicSteps steps(p0, p1, p2, p3, limits);
  while (!steps.done()) visit(steps.next());
}

}  // namespace zo
