#include "hit_geometry.hpp"

#include <algorithm>
#include <cmath>

#include "drawn_segments.hpp"
#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "nearest_point.hpp"

namespace zo::edit {

namespace {

constexpr double kDegenerateLength = 0.001;
constexpr uint16_t kDegenerateParam = 32768;

uint16_t param_of(double fraction) {
  return static_cast<uint16_t>(std::clamp(fraction * 65535.0, 0.0, 65535.0));
}

struct Tester {
  const ZoPath* p;
  const PathNode* nodes;
  const HitQuery& q;

  PointDB at(uint32_t i) const { return to_db(nodes[i].pt); }

  bool near_node(uint32_t i) const {
    PointDB n = at(i);
    return std::fabs(n.x - q.point.x) < q.tolerance && std::fabs(n.y - q.point.y) < q.tolerance;
  }

  // The box of the points widened by the tolerance holds the query point (open).
  bool near_box(const PointDB* pts, int n) const {
    double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (int i = 1; i < n; ++i) {
      x0 = std::min(x0, pts[i].x), x1 = std::max(x1, pts[i].x);
      y0 = std::min(y0, pts[i].y), y1 = std::max(y1, pts[i].y);
    }
    const double t = q.tolerance;
    return q.point.x > x0 - t && q.point.x < x1 + t && q.point.y > y0 - t && q.point.y < y1 + t;
  }

  bool line_body(uint32_t s, uint32_t e, uint16_t* param) const {
    PointDB pts[2] = {at(s), at(e)};
    if (!near_box(pts, 2)) return false;
    PointDB d = pts[1] - pts[0], v = q.point - pts[0];
    double len = length(d);
    if (len < kDegenerateLength) {
      if (length(v) >= q.tolerance) return false;
      *param = kDegenerateParam;
      return true;
    }
    if (std::fabs(cross(d, v) / len) >= q.tolerance) return false;
    *param = param_of(dot(d, v) / (len * len));
    return true;
  }

  bool cubic_body(uint32_t s, uint16_t* param) const {
    PointDB pts[4] = {at(s), at(s + 1), at(s + 2), at(s + 3)};
    if (!near_box(pts, 4)) return false;
    NearestPoint n = nearest_point_on_cubic(pts, q.point);
    if (!(n.distance < q.tolerance)) return false;
    *param = param_of(n.t);
    return true;
  }

  // The hit on one segment, in the promised order; cubic means s + 1, s + 2 are controls.
  bool segment(uint32_t s, uint32_t e, bool cubic, Hit* out) const {
    auto node = [&](uint32_t i, HitRole role) {
      *out = Hit{const_cast<ZoPath*>(p), i, 0, role};
      return true;
    };
    if (near_node(e)) return node(e, HitRole::Anchor);
    if (cubic && control_shown(p, e - 1, e) && near_node(e - 1))
      return node(e - 1, HitRole::SecondControl);
    if (cubic && control_shown(p, s + 1, s) && near_node(s + 1))
      return node(s + 1, HitRole::FirstControl);
    if (near_node(s)) return node(s, HitRole::Anchor);
    uint16_t param = 0;
    if (q.bodies && (cubic ? cubic_body(s, &param) : line_body(s, e, &param))) {
      *out = Hit{const_cast<ZoPath*>(p), s, param, HitRole::Body};
      return true;
    }
    return false;
  }
};

bool node_selected(const ZoPath* p, uint32_t i) {
  const PathNode* nodes = nodes_of(p);
  if ((nodes[i].type & PT_SELECTED) != 0) return true;
  // The first and last nodes of a closed figure are one anchor.
  uint32_t last = p->count - 1;
  if (is_closed(p) && i == 0) return (nodes[last].type & PT_SELECTED) != 0;
  if (is_closed(p) && i == last) return (nodes[0].type & PT_SELECTED) != 0;
  return false;
}

}  // namespace

bool control_shown(const ZoPath* p, uint32_t c, uint32_t a) {
  return is_selected(p) && (node_selected(p, a) || node_selected(p, c));
}

bool hit_subpath(ZoPath* p, const HitQuery& q, Hit* out) {
  Tester t{p, nodes_of(p), q};
  // Walked forward, the last segment that has a hit wins: that is the first hit of a walk
  // from the end.
  bool found = false;
  for_each_drawn_segment(
      p, [&](uint32_t s, uint32_t e, bool cubic) { found = t.segment(s, e, cubic, out) || found; },
      [&](uint32_t i) {
        if (!t.near_node(i)) return;
        *out = Hit{p, i, 0, HitRole::Anchor};
        found = true;
      });
  return found;
}

bool hit_list(ZoPath* head, const HitQuery& q, Hit* out) {
  ZoPath* last = head;
  while (last->next != nullptr) last = last->next;
  if ((last->flags & ZOF_WRAP_BASELINE) != 0) {
    return (!q.selectedOnly || is_selected(last)) && hit_subpath(last, q, out);
  }
  for (ZoPath* p = head; p != nullptr; p = p->next)
    if (is_selected(p) && hit_subpath(p, q, out)) return true;
  if (q.selectedOnly) return false;
  for (ZoPath* p = head; p != nullptr; p = p->next)
    if (!is_selected(p) && hit_subpath(p, q, out)) return true;
  return false;
}

}  // namespace zo::edit
