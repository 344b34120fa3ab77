// Projecting paths and single points through a 3-D transform, and the preview's bounds.
#include <algorithm>

#include "Zo32path.h"
#include "eye_mapping.hpp"
#include "project_paths.hpp"
#include "model/node_walk.hpp"
#include "shapes/polygon_rules.hpp"

namespace zo::projection {

namespace {

int32_t add_saturated(int32_t v, int32_t delta) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{v} + delta, INT32_MIN, INT32_MAX));
}

void widen(RECT* r, PointDB p) {
  int32_t x = trunc_saturated(p.x), y = trunc_saturated(p.y);
  r->left = std::min(r->left, x), r->right = std::max(r->right, x);
  r->top = std::min(r->top, y), r->bottom = std::max(r->bottom, y);
}

}  // namespace

void project_object(ZoPath* path, const Transform3D& transform, double zOffset, bool keepTag) {
  EyeMapping eye(transform, zOffset, kPi);
  for_each_object_record(path, [&](ZoPath* p) {
    if (!keepTag) p->primitiveKind = 0;
    // A projected polygon is no longer regular.
    if (polygon::is_polygon(p)) polygon::clear_marks(p);
    for_each_point(p, [&](PathNode& n) {
      PointDB s = eye.screen(fix_to_db(n.pt.x), fix_to_db(n.pt.y), 0.0);
      n.pt = Ptfx{db_to_fix(s.x), db_to_fix(s.y)};
    });
  });
}

}  // namespace zo::projection

using namespace zo;
using namespace zo::projection;

extern "C" {

ZO_API void ZoPathTo3D(ZoPath* path, const Transform3D* transform, double zOffset,
                       uint32_t keepTag) {
  if (path == nullptr || transform == nullptr) return;
  project_object(path, *transform, zOffset, keepTag != 0);
}

ZO_API POINT* ZoProject2DTO3D(double dx, double dy, PointDB* out, const POINT* point,
                              POINT* origin, const double* eye, const double* target,
                              const double* matrix, double zOffset) {
  if (out == nullptr || point == nullptr || origin == nullptr || eye == nullptr ||
      target == nullptr || matrix == nullptr) {
    return nullptr;
  }
  Vec3 p = rotate(Vec3{point->x + dx - eye[0], point->y + dy - eye[1], 0.0}, matrix);
  p = Vec3{p.x + target[0], p.y + target[1], p.z + zOffset};
  double k = eye[2] / (eye[2] - p.z);
  *out = PointDB{eye[0] + (p.x - eye[0]) * k - origin->x, eye[1] + (p.y - eye[1]) * k - origin->y};
  return origin;
}

ZO_API uint32_t ZoPathGet3DMiniMaxRect(ZoPath* path, const Transform3D* transform,
                                       double frontDepth, double depth, RECT* out) {
  if (path == nullptr || transform == nullptr || out == nullptr) return 0;
  ZoPath* head = list_head(path);
  if (head->count == 0) return 0;
  EyeMapping eye(*transform, 0.0, kPi);
  const PathNode* nodes = nodes_of(head);
  Ptfx seed = ptfx_midpoint(nodes[0].pt, nodes[head->count > 1 ? 1 : 0].pt);
  PointDB s = eye.screen(fix_to_db(seed.x), fix_to_db(seed.y), frontDepth);
  RECT r{trunc_saturated(s.x), trunc_saturated(s.y), trunc_saturated(s.x), trunc_saturated(s.y)};
  for_each_object_record(path, [&](ZoPath* p) {
    for_each_point(static_cast<const ZoPath*>(p), [&](const PathNode& n) {
      double x = fix_to_db(n.pt.x), y = fix_to_db(n.pt.y);
      widen(&r, eye.screen(x, y, frontDepth));
      if (depth != 0.0) widen(&r, eye.screen(x, y, -depth));
    });
  });
  *out = RECT{add_saturated(r.left, -5), add_saturated(r.top, -5), add_saturated(r.right, 6),
              add_saturated(r.bottom, 6)};
  return 1;
}

}  // extern "C"
