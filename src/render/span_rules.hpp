// The fill rules: turning the sorted crossings of one sample line into spans [a, b).
#pragma once

#include <cmath>
#include <cstdint>

namespace zo::render {

// Even-odd pairs crossings; non-zero winding opens a span where the count leaves 0 and
// closes it where the count returns to 0. Spans with equal ends are dropped.
template <typename Fn>
void for_each_span(const double* crossings, uint32_t count, bool evenOdd, Fn&& fn) {
  if (evenOdd) {
    for (uint32_t i = 0; i + 1 < count; i += 2) {
      double a = std::fabs(crossings[i]), b = std::fabs(crossings[i + 1]);
      if (a != b) fn(a, b);
    }
    return;
  }
  int32_t winding = 0;
  double start = 0.0;
  for (uint32_t i = 0; i < count; ++i) {
    double x = crossings[i];
    if (winding == 0) start = std::fabs(x);
    winding += std::signbit(x) ? -1 : 1;
    if (winding == 0 && std::fabs(x) != start) fn(start, std::fabs(x));
  }
}

}  // namespace zo::render
