// Mapping the points of subpaths through a function of doubles: each coordinate is converted
// with FixToDb, mapped, and converted back with DbToFix (truncation).
#pragma once

#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"

namespace zo::transform {

// Maps the points of one subpath walked by kind: Bezier triples together, parameter nodes
// left alone.
template <typename Map>
void map_points(ZoPath* p, Map&& map) {
  for_each_point(p, [&map](PathNode& n) { n.pt = to_fix(map(to_db(n.pt))); });
}

// Maps every node of one subpath as a point, parameter nodes included.
template <typename Map>
void map_every_node(ZoPath* p, Map&& map) {
  PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].pt = to_fix(map(to_db(nodes[i].pt)));
}

}  // namespace zo::transform
