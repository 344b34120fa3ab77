#include "polygon_rules.hpp"

#include "model/node_walk.hpp"

namespace zo::polygon {

namespace {
// Nodes one side spans; 0 for a polygon without sides.
uint32_t side_span(const ZoPath* p) {
  uint32_t n = side_count(p);
  return n == 0 || p->count == 0 ? 0 : (p->count - 1) / n;
}
}  // namespace

bool selected_points_can_be_deleted(const ZoPath* p) {
  uint32_t s = side_span(p);
  const PathNode* nodes = nodes_of(p);
  if (s >= p->count) return false;
  if ((p->flags & ZOF_POLY_STYLE2) != 0 && (nodes[s].type & PT_SELECTED) != 0) return false;
  bool answer = false;
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    if (end > s) return false;
    if ((nodes[end].type & PT_SELECTED) == 0) {
      answer = true;
      return false;
    }
    return true;
  });
  return answer;
}

int32_t simplest(const ZoPath* p) {
  uint32_t s = side_span(p);
  if (s > 3) return 1;
  if (s == 0) return -1;
  uint32_t segments = 0;
  for_each_segment(p, [&](uint32_t start, uint32_t) {
    if (start >= s) return false;
    ++segments;
    return true;
  });
  if (segments == 0) return -1;
  return segments == 1 ? 0 : 1;
}

}  // namespace zo::polygon
