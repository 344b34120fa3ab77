// The segments of a subpath as the outline shows them: node kinds read with the parameter
// bits, so parameter runs are passed over and never taken for points.
#pragma once

#include "model/records.hpp"

namespace zo::edit {

// Calls fn(start, end, cubic) for each segment in order (for a cubic, start + 1 and
// start + 2 are its control points) and lone(i) for a figure that is a single node.
template <typename Segment, typename Lone>
void for_each_drawn_segment(const ZoPath* p, Segment&& fn, Lone&& lone) {
  const PathNode* nodes = nodes_of(p);
  int64_t current = -1;
  for (uint32_t i = 0; i < p->count;) {
    uint16_t kind = nodes[i].type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO) {
      current = i;
      if (i + 1 >= p->count || (nodes[i + 1].type & PT_KIND_PARAM_MASK) == PT_MOVETO) lone(i);
      i += 1;
    } else if (kind == PT_LINETO) {
      if (current >= 0) fn(static_cast<uint32_t>(current), i, false);
      current = i;
      i += 1;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= p->count) return;
      if (current >= 0 && i == uint32_t(current) + 1)
        fn(static_cast<uint32_t>(current), i + 2, true);
      current = i + 2;
      i += 3;
    } else {
      i += kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2 ? 2 : 1;
    }
  }
}

}  // namespace zo::edit
