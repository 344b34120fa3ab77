// The curve toolkit in the form the deformation code walks point runs with: a cubic as four
// points, its length as subpath lengths measure it, and de Casteljau's split.
#pragma once

#include "geometry/bezier.hpp"

namespace zo::deform {

inline double cubic_curve_length(PointDB p0, PointDB p1, PointDB p2, PointDB p3) {
  return cubic_length(Cubic{p0, p1, p2, p3});
}

inline void split_cubic_at(const PointDB c[4], double t, PointDB before[4], PointDB after[4]) {
  Cubic l, r;
  split_cubic(Cubic{c[0], c[1], c[2], c[3]}, t, &l, &r);
  before[0] = l.p0, before[1] = l.p1, before[2] = l.p2, before[3] = l.p3;
  after[0] = r.p0, after[1] = r.p1, after[2] = r.p2, after[3] = r.p3;
}

inline PointDB cubic_point_at(const PointDB c[4], double t) {
  return cubic_point(Cubic{c[0], c[1], c[2], c[3]}, t);
}

}  // namespace zo::deform
