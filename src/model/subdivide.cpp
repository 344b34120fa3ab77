// Inserting a node into a segment, and measuring a subpath's length.
#include <cmath>
#include <cstring>

#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "node_walk.hpp"
#include "platform/host_library.hpp"
#include "records.hpp"
#include "shapes/polygon_rules.hpp"

namespace zo {

namespace {

PointDB point_at(const ZoPath* p, uint32_t i) { return to_db(nodes_of(p)[i].pt); }

}  // namespace

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
