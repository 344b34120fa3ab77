// The exact signed area enclosed by a subpath or a whole list, each subpath closed by its
// implicit closing segment (a closed figure repeats its start point, so that segment is empty).
#pragma once

#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "node_walk.hpp"

namespace zo {

// Positive for a run that turns clockwise on the y-down image.
inline double signed_area(const ZoPath* p) {
  if (p == nullptr || p->count < 2) return 0.0;
  const PathNode* nodes = nodes_of(p);
  double area = 0.0;
  uint32_t last = 0;
  for_each_segment(p, [&](uint32_t start, uint32_t end) {
    if (end == start + 3) {
      area += cubic_area_term(Cubic{to_db(nodes[start].pt), to_db(nodes[start + 1].pt),
                                    to_db(nodes[start + 2].pt), to_db(nodes[end].pt)});
    } else {
      area += line_area_term(to_db(nodes[start].pt), to_db(nodes[end].pt));
    }
    last = end;
    return true;
  });
  return area + line_area_term(to_db(nodes[last].pt), to_db(nodes[0].pt));
}

// The sum over every subpath from p to the end of its list.
inline double list_signed_area(const ZoPath* p) {
  double area = 0.0;
  for (; p != nullptr; p = p->next) area += signed_area(p);
  return area;
}

}  // namespace zo
