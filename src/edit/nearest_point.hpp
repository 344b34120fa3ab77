// The point of a cubic Bezier nearest to a given point, by the method of Graphics Gems
// (Schneider, "Solving the nearest-point-on-curve problem", 1990): the condition
// (B(t) - Q) . B'(t) = 0 is a degree-5 polynomial, written in Bernstein form, whose roots in
// [0, 1] are isolated by recursive subdivision.
#pragma once

#include "Zo32path.h"

namespace zo::edit {

struct NearestPoint {
  double t;         // parameter of the nearest point, 0 to 1
  PointDB point;    // the nearest point B(t)
  double distance;  // |B(t) - q|
};

// The nearest point of the cubic p0 p1 p2 p3 to q. Among equally near candidates the end at
// t = 0 is preferred, then the roots in increasing t, then t = 1.
NearestPoint nearest_point_on_cubic(const PointDB cubic[4], PointDB q);

}  // namespace zo::edit
