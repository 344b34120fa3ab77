// The segments of a subpath as geometry: walking the nodes by kind (parameter runs and nodes
// of kind 0 passed over), each line or cubic is handed on with its points in doubles.
#pragma once

#include "geometry/fixed_point.hpp"
#include "node_walk.hpp"

namespace zo {

struct Piece {
  bool cubic;
  PointDB p[4];  // a line uses p[0] and p[1]; p[2] and p[3] repeat p[1]
  uint32_t firstNode;  // the node the segment starts at
};

// Calls fn(const Piece&) for each segment in order; fn returns false to stop. Returns the
// first point of the subpath through *start when it has one (start may be null).
template <typename Fn>
bool for_each_piece(const ZoPath* path, Fn&& fn, PointDB* start = nullptr) {
  const PathNode* n = nodes_of(path);
  bool have = false;
  PointDB cur{0, 0};
  uint32_t curNode = 0;
  for (uint32_t i = 0; i < path->count;) {
    uint16_t type = n[i].type;
    uint32_t run = node_run_length(type);
    if (is_parameter(type) || kind_of(type) == 0) {
      i += run;
      continue;
    }
    if (kind_of(type) == PT_MOVETO || !have) {
      if (!have && start != nullptr) *start = to_db(n[i].pt);
      have = true;
      cur = to_db(n[i].pt);
      curNode = i;
      i += kind_of(type) == PT_BEZIERTO ? 3 : 1;
      continue;
    }
    Piece piece{false, {cur, cur, cur, cur}, curNode};
    if (is_bezier(type)) {
      if (i + 2 >= path->count) return have;
      piece.cubic = true;
      for (int k = 0; k < 3; ++k) piece.p[k + 1] = to_db(n[i + k].pt);
      i += 3;
    } else {
      piece.p[1] = piece.p[2] = piece.p[3] = to_db(n[i].pt);
      i += 1;
    }
    cur = piece.p[3];
    curNode = i - 1;
    if (!fn(piece)) return have;
  }
  return have;
}

}  // namespace zo
