// Where a cubic crosses vertical lines: the parameters at which its x passes given values.
#pragma once

#include "Zo32path.h"

namespace zo::deform {

// The parameters in (0, 1), in increasing order, where x(t) of the cubic crosses one of the
// `count` values xs (sign changes found on 32 steps, then bisection); at most `max` of them.
int x_crossings(const PointDB c[4], const double* xs, int count, double* out, int max);

}  // namespace zo::deform
