// Inserting a node into a segment, and measuring a subpath's length.
#include <cmath>
#include <cstring>

#include "curve_length.hpp"
#include "fixed_point.hpp"
#include "node_walk.hpp"
#include "platform/host_library.hpp"
#include "records.hpp"
#include "shapes/polygon_rules.hpp"
#include "vectors.hpp"

namespace zo {

namespace {

struct Cubic {
  PointDB p0, p1, p2, p3;
};

// De Casteljau's construction at u: the two halves share the point at u.
void split_cubic(const Cubic& c, double u, Cubic* left, Cubic* right) {
  auto lerp = [u](PointDB a, PointDB b) { return PointDB{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y)}; };
  PointDB p01 = lerp(c.p0, c.p1), p12 = lerp(c.p1, c.p2), p23 = lerp(c.p2, c.p3);
  PointDB p012 = lerp(p01, p12), p123 = lerp(p12, p23);
  PointDB p0123 = lerp(p012, p123);
  *left = Cubic{c.p0, p01, p012, p0123};
  *right = Cubic{p0123, p123, p23, c.p3};
}

// Length of a cubic: the control polygon once it is within 0.1 pixel of the chord, else the
// sum of the halves.
double cubic_length(const Cubic& c, int depth = 0) {
  double polygon = distance(c.p0, c.p1) + distance(c.p1, c.p2) + distance(c.p2, c.p3);
  double chord = distance(c.p0, c.p3);
  if (polygon - chord <= 0.1 || depth >= 40 || !std::isfinite(polygon)) return polygon;
  Cubic left, right;
  split_cubic(c, 0.5, &left, &right);
  return cubic_length(left, depth + 1) + cubic_length(right, depth + 1);
}

PointDB point_at(const ZoPath* p, uint32_t i) { return to_db(nodes_of(p)[i].pt); }

}  // namespace

void split_cubic_at(const PointDB c[4], double t, PointDB before[4], PointDB after[4]) {
  Cubic l, r;
  split_cubic(Cubic{c[0], c[1], c[2], c[3]}, t, &l, &r);
  before[0] = l.p0, before[1] = l.p1, before[2] = l.p2, before[3] = l.p3;
  after[0] = r.p0, after[1] = r.p1, after[2] = r.p2, after[3] = r.p3;
}

double cubic_curve_length(PointDB p0, PointDB p1, PointDB p2, PointDB p3) {
  return cubic_length(Cubic{p0, p1, p2, p3});
}

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API ZoPath* ZoPathSubdivide(ZoPathTbl* table, ZoPath* path, uint32_t index, uint16_t t) {
  if (path == nullptr || path->count < 2 || index >= path->count - 1) return nullptr;
  ZoPath* first = nullptr;
  if (table != nullptr) ZoPathFind(table, nullptr, &first, nullptr, nullptr);
  bool wasFirst = first == path;
  double u = t / 65535.0;
  uint16_t kind = kind_of(nodes_of(path)[index + 1].type);
  bool curve = kind == PT_BEZIERTO && index + 3 < path->count;
  if (!curve && kind != PT_LINETO) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return nullptr;
  }
  uint32_t added = curve ? 3 : 1;
  PathNode inserted[5];
  if (curve) {
    Cubic c{point_at(path, index), point_at(path, index + 1), point_at(path, index + 2), point_at(path, index + 3)};
    Cubic left, right;
    split_cubic(c, u, &left, &right);
    const PointDB points[5] = {left.p1, left.p2, left.p3, right.p1, right.p2};
    for (int k = 0; k < 5; ++k) inserted[k] = PathNode{PT_BEZIERTO, to_fix(points[k])};
  } else {
    PointDB a = point_at(path, index), b = point_at(path, index + 1);
    inserted[0] = PathNode{PT_LINETO, to_fix(PointDB{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y)})};
  }
  ZoPath* p = record_resize(path, path->count + added);
  if (p == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  // Curves replace their two control points by five new nodes; lines gain one node.
  PathNode* nodes = nodes_of(p);
  uint32_t keepFrom = curve ? index + 3 : index + 1;
  std::memmove(nodes + keepFrom + added, nodes + keepFrom, size_t{p->count - keepFrom} * kNodeBytes);
  std::memcpy(nodes + index + 1, inserted, size_t{curve ? 5u : 1u} * kNodeBytes);
  p->count += added;
  if (polygon::is_polygon(p)) polygon::release_side_style(p);
  p->primitiveKind = 0;
  relink_moved(p);
  if (table != nullptr) {
    if (wasFirst) ZoPathAssignActivePath(table, p);
    ZoPathAssignSelectedPath(table, p);
  }
  return p;
}

ZO_API double ZoPathGetLength(ZoPath* path) {
  if (path == nullptr || path->count <= 1) return 0.0;
  double total = 0.0;
  const PathNode* nodes = nodes_of(path);
  for (uint32_t i = 0; i + 1 < path->count;) {
    uint16_t next = nodes[i + 1].type;
    if ((next & PT_BEZIERTO) != 0) {
      if (i + 3 >= path->count) break;
      total += cubic_length(Cubic{point_at(path, i), point_at(path, i + 1), point_at(path, i + 2), point_at(path, i + 3)});
      i += 3;
    } else if ((next & PT_LINETO) != 0) {
      total += distance(point_at(path, i), point_at(path, i + 1));
      i += 1;
    } else {
      i += 1;  // neither a line nor a curve: not part of the outline
    }
  }
  return total;
}

}  // extern "C"
