// Affine transformation by a 2x3 matrix (the XFORM layout: eM11, eM12, eM21, eM22, eDx, eDy)
// and the handles of the transformed rectangle.
#include "model/bounds.hpp"
#include "model/records.hpp"
#include "point_map.hpp"

using namespace zo;

namespace {

PointDB apply(const float m[6], PointDB q) {
  return PointDB{double(m[0]) * q.x + double(m[2]) * q.y + double(m[4]),
                 double(m[1]) * q.x + double(m[3]) * q.y + double(m[5])};
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathMat(ZoPath* path, const float matrix[6]) {
  if (path == nullptr) return 1;
  if (matrix == nullptr) return 0;
  for (ZoPath* p = path; p != nullptr; p = p->joinNext) {
    transform::map_points(p, [matrix](PointDB q) { return apply(matrix, q); });
    p->primitiveKind = 0;
    if (has_attachment(p)) break;
  }
  return 1;
}

ZO_API uint32_t ZoPathGetMatHandle(ZoPath* path, const float matrix[6], Ptfx handles[4]) {
  if (path == nullptr || matrix == nullptr || handles == nullptr) return 0;
  RectDB r;
  bounds::double_rect(path, bounds::kSingle, 1.0, false, &r);
  const PointDB corners[4] = {
      {r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
  for (int i = 0; i < 4; ++i) handles[i] = to_fix(apply(matrix, corners[i]));
  return 1;
}

}  // extern "C"
