// The length of a cubic as subpath lengths measure it: the control polygon once it lies within
// 0.1 pixel of the chord, otherwise the sum of the two halves.
#pragma once

#include "Zo32path.h"

namespace zo {

double cubic_curve_length(PointDB p0, PointDB p1, PointDB p2, PointDB p3);

}  // namespace zo

namespace zo {

// De Casteljau's split of the cubic c at t into the parts before and after it.
void split_cubic_at(const PointDB c[4], double t, PointDB before[4], PointDB after[4]);

}  // namespace zo
