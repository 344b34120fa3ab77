#include "polygon_rules.hpp"

#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "platform/host_library.hpp"

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

bool centre(const ZoPath* p, PointDB* out) {
  uint32_t n = side_count(p), s = side_span(p);
  if (!is_polygon(p) || n < 2 || s == 0) return false;
  const PathNode* nodes = nodes_of(p);
  double x = 0.0, y = 0.0;
  for (uint32_t k = 0; k < n; ++k) {
    x += fix_to_db(nodes[k * s].pt.x);
    y += fix_to_db(nodes[k * s].pt.y);
  }
  *out = PointDB{x / n, y / n};
  return true;
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

// ---- Handles ----

namespace zo::polygon {

namespace {

constexpr double kTwoPi = 6.2831853071796;

// The node standing for pattern position k on side m (the first node of the figure is
// represented by its closing copy, the last node).
uint32_t counterpart(const ZoPath* p, uint32_t k, uint32_t m) {
  uint32_t i = k + m * side_span(p);
  return i == 0 ? p->count - 1 : i;
}

// The pattern position of a node; the closing node is position 0.
uint32_t position_of(const ZoPath* p, uint32_t index) {
  uint32_t s = side_span(p);
  return index >= p->count - 1 ? 0 : index % s;
}

void set_mark(PathNode& n, uint16_t mark, bool on) {
  n.type = static_cast<uint16_t>(on ? (n.type | mark) : (n.type & ~mark));
}

bool any_mark(const ZoPath* p, uint16_t mark) {
  const PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i)
    if ((nodes[i].type & mark) != 0) return true;
  return false;
}

void follow_flag(ZoPath* p, uint16_t mark, uint32_t flag) {
  p->flags = any_mark(p, mark) ? (p->flags | flag) : (p->flags & ~flag);
}

// Applies an action to pattern position k on every side.
void apply(ZoPath* p, uint32_t k, uint16_t mark, HandleAction action) {
  PathNode* nodes = nodes_of(p);
  if (action == kSelectOnly) {
    for (uint32_t i = 0; i < p->count; ++i) set_mark(nodes[i], mark, false);
  }
  bool on = action != kToggle || (nodes[counterpart(p, k, 0)].type & mark) == 0;
  for (uint32_t m = 0; m < side_count(p); ++m) set_mark(nodes[counterpart(p, k, m)], mark, on);
  // The figure's first node shares the closing node's point and carries no mark of its own.
  set_mark(nodes[0], mark, false);
}

}  // namespace

bool has_regular_sides(const ZoPath* p) {
  uint32_t n = side_count(p), s = side_span(p);
  return is_polygon(p) && n > 0 && s > 0 && s * n == p->count - 1;
}

bool select_node(ZoPath* p, uint32_t index, HandleAction action) {
  if (!has_regular_sides(p) || index >= p->count) return false;
  apply(p, position_of(p, index), PT_SELECTED, action);
  follow_flag(p, PT_SELECTED, ZOF_HAS_SEL_POINTS);
  return true;
}

bool select_segment(ZoPath* p, uint32_t index, HandleAction action) {
  if (!has_regular_sides(p) || index >= p->count - 1) return false;
  PathNode* nodes = nodes_of(p);
  uint32_t k = index % side_span(p);
  if (action == kSelectOnly) {
    for (uint32_t i = 0; i < p->count; ++i) set_mark(nodes[i], PT_SEGMENT_MARK, false);
  }
  // Segments start at real nodes: position 0 is node 0 on the first side.
  bool on = action != kToggle || (nodes[k].type & PT_SEGMENT_MARK) == 0;
  for (uint32_t m = 0; m < side_count(p); ++m)
    set_mark(nodes[k + m * side_span(p)], PT_SEGMENT_MARK, on);
  follow_flag(p, PT_SEGMENT_MARK, ZOF_HAS_SEL_SEGMENT);
  return true;
}

uint32_t select_in_rect(ZoPath* p, const std::function<bool(const PathNode&)>& inside,
                        uint32_t how) {
  if (!has_regular_sides(p)) return 0;
  const PathNode* nodes = nodes_of(p);
  if (how == 1) {
    for (uint32_t i = 0; i < p->count; ++i) set_mark(nodes_of(p)[i], PT_SELECTED, false);
  }
  // Positions whose handle lies inside on some side; acted on once per position.
  std::vector<bool> hit(side_span(p), false);
  uint32_t count = 0;
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    if (inside(nodes[end])) {
      ++count;
      hit[position_of(p, end)] = true;
    }
    return true;
  });
  if (how >= 1 && how <= 4) {
    for (uint32_t k = 0; k < hit.size(); ++k)
      if (hit[k]) apply(p, k, PT_SELECTED, how <= 2 ? kAdd : kToggle);
    follow_flag(p, PT_SELECTED, ZOF_HAS_SEL_POINTS);
  }
  return count;
}

ZoPath* subdivide_sides(ZoPathTbl* table, ZoPath* p, uint32_t index, uint16_t t) {
  if (!has_regular_sides(p) || index >= p->count - 1) return nullptr;
  // The sides are split on an unlinked copy, so a failure part-way leaves the figure whole.
  ZoPath* copy = record_copy(p);
  if (copy == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  const uint32_t attachment = p->flags & ZOF_ATTACHMENT;
  copy->flags &= ~ZOF_ATTACHMENT;
  copy->prev = copy->next = copy->joinPrev = copy->joinNext = copy->selPrev = copy->selNext =
      nullptr;
  const uint32_t k = index % side_span(p), s = side_span(p);
  for (uint32_t m = side_count(p); m-- > 0;) {
    ZoPath* split = ZoPathSubdivide(nullptr, copy, k + m * s, t);
    if (split == nullptr) {
      record_release(copy);
      return nullptr;
    }
    copy = split;
  }
  ZoPathExchangeSubpathInTable(table, p, copy);
  if (attachment != 0) {
    copy->flags |= ZOF_ATTACHMENT;
    copy->joinNext = p->joinNext;
    p->flags &= ~ZOF_ATTACHMENT;
  }
  if (table != nullptr) {
    PathGroup& g = current_group(table);
    if (g.first == p) g.first = copy;
    if (g.selected == p) g.selected = copy;
  }
  record_release(p);
  return copy;
}

void follow_moved_nodes(ZoPath* p, PointDB centreBefore, const std::vector<bool>& moved) {
  if (!has_regular_sides(p) || moved.size() < p->count) return;
  const uint32_t n = side_count(p), s = side_span(p);
  const PointDB centre = centreBefore;
  PathNode* nodes = nodes_of(p);
  for (uint32_t k = 0; k < s; ++k) {
    // The first moved node of the position leads; the others follow it around the centre.
    uint32_t lead = UINT32_MAX;
    for (uint32_t m = 0; m < n && lead == UINT32_MAX; ++m) {
      uint32_t i = k + m * s;
      if (moved[i] || (i == 0 && moved[p->count - 1])) lead = m;
    }
    if (lead == UINT32_MAX) continue;
    uint32_t leadIndex = k + lead * s;
    if (leadIndex == 0 && moved[p->count - 1]) nodes[0].pt = nodes[p->count - 1].pt;
    PointDB v = to_db(nodes[leadIndex].pt);
    v = PointDB{v.x - centre.x, v.y - centre.y};
    for (uint32_t m = 0; m < n; ++m) {
      if (m == lead) continue;
      double a = kTwoPi * (double(m) - double(lead)) / n;
      PointDB r{centre.x + v.x * std::cos(a) - v.y * std::sin(a),
                centre.y + v.x * std::sin(a) + v.y * std::cos(a)};
      nodes[k + m * s].pt = to_fix(r);
    }
  }
  nodes[p->count - 1].pt = nodes[0].pt;
  release_side_style(p);
}

}  // namespace zo::polygon
