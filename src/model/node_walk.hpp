// Walking the nodes of a subpath by kind, and walking its segments. Every loop over nodes
// goes through these, so corrupt kinds can never make a walk leave the node array.
#pragma once

#include "records.hpp"

namespace zo {

// Nodes a walk by kind advances over from a node of this type: a whole Bezier triple,
// a parameter run, or one node.
inline uint32_t node_run_length(uint16_t type) {
  if ((type & (PT_PARAM_PAIR | PT_PARAM_PAIR2)) != 0) return 2;
  if ((type & PT_PARAM_SINGLE) != 0) return 1;
  return is_bezier(type) ? 3 : 1;
}
inline bool is_parameter(uint16_t type) {
  return (type & (PT_PARAM_PAIR | PT_PARAM_PAIR2 | PT_PARAM_SINGLE)) != 0;
}

// Calls fn(PathNode&) for every node that is a point: moves, line ends and all three nodes
// of each Bezier triple; parameter runs and nodes of kind 0 are passed over.
template <typename Node, typename Fn>
void for_each_point(Node* nodes, uint32_t count, Fn&& fn) {
  for (uint32_t i = 0; i < count;) {
    uint16_t type = nodes[i].type;
    uint32_t run = node_run_length(type);
    if (!is_parameter(type) && kind_of(type) != 0) {
      for (uint32_t j = i; j < i + run && j < count; ++j) fn(nodes[j]);
    }
    i += run;
  }
}
template <typename Fn>
void for_each_point(ZoPath* p, Fn&& fn) {
  for_each_point(nodes_of(p), p->count, fn);
}
template <typename Fn>
void for_each_point(const ZoPath* p, Fn&& fn) {
  for_each_point(nodes_of(p), p->count, fn);
}

// From a segment starting at node i, the node that ends it: i + 1 after a line end,
// i + 3 after a Bezier node.
inline uint32_t segment_end(const PathNode* nodes, uint32_t i) {
  return i + ((nodes[i + 1].type & PT_BEZIERTO) | PT_LINETO) / 2;
}

// Calls fn(start, end) for each segment of the subpath, in order. The walk stops at the last
// node; a segment that would run past it is not visited. fn may return false to stop.
template <typename Fn>
void for_each_segment(const ZoPath* p, Fn&& fn) {
  const PathNode* nodes = nodes_of(p);
  uint32_t last = p->count == 0 ? 0 : p->count - 1;
  for (uint32_t i = 0; i < last;) {
    uint32_t end = segment_end(nodes, i);
    if (end > last) return;
    if (!fn(i, end)) return;
    i = end;
  }
}

// Whether a segment of the subpath starts at node index.
inline bool starts_segment(const ZoPath* p, uint32_t index) {
  bool found = false;
  for_each_segment(p, [&](uint32_t start, uint32_t) {
    found = start == index;
    return start < index;
  });
  return found;
}

inline uint32_t segment_count(const ZoPath* p) {
  uint32_t n = 0;
  for_each_segment(p, [&](uint32_t, uint32_t) { return ++n, true; });
  return n;
}

}  // namespace zo
