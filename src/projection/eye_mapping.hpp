// The one object-to-eye mapping of the 3-D preview: a node is moved to the pivot, turned by
// the transform's matrix, placed at the target and pushed along z, then seen in perspective
// from the eye at (centre x, centre y, f). Also the object walk every 3-D call uses.
#pragma once

#include <cmath>
#include <cstdint>

#include "Zo32path.h"
#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"

namespace zo::projection {

// The host's angles were turned into radians with this value of pi.
inline constexpr double kPi = 3.14159;
// The depth-buffer fill's focal distance uses a longer one.
inline constexpr double kDepthBufferPi = 3.1415926535898;

// Row vector times row-major matrix.
inline Vec3 rotate(Vec3 p, const double* m) {
  return Vec3{p.x * m[0] + p.y * m[3] + p.z * m[6], p.x * m[1] + p.y * m[4] + p.z * m[7],
              p.x * m[2] + p.y * m[5] + p.z * m[8]};
}

// f = view extent / tan(field of view / 2).
inline double focal_distance(const Transform3D& t, double pi) {
  return t.viewExtent / std::tan(t.fieldOfView * pi / 180.0 / 2.0);
}

struct EyeMapping {
  double cx, cy, tx, ty, f, zOffset;
  double m[9];  // a copy: stores through node pointers cannot alias it

  EyeMapping(const Transform3D& t, double zOff, double pi)
      : cx(fix_to_db(t.centreX)), cy(fix_to_db(t.centreY)), tx(fix_to_db(t.targetX)),
        ty(fix_to_db(t.targetY)), f(focal_distance(t, pi)), zOffset(zOff) {
    for (int i = 0; i < 9; ++i) m[i] = t.matrix[i];
  }

  // The node (x, y) at object depth d, in eye space.
  Vec3 map(double x, double y, double d) const {
    Vec3 p = rotate(Vec3{x - cx, y - cy, d}, m);
    return Vec3{p.x + tx, p.y + ty, p.z + zOffset};
  }
  // Its projection onto z = 0 from the eye; an infinite focal distance (a field of view of
  // 0) looks along parallel rays.
  PointDB project(Vec3 p) const {
    double k = std::isinf(f) ? 1.0 : f / (f - p.z);
    return PointDB{cx + (p.x - cx) * k, cy + (p.y - cy) * k};
  }
  PointDB screen(double x, double y, double d) const { return project(map(x, y, d)); }
};

// The object of a path: from the head of its list along joinNext, stopping after a subpath
// whose join slot holds an attachment.
template <typename Fn>
void for_each_object_record(ZoPath* path, Fn&& fn) {
  for (ZoPath* p = list_head(path); p != nullptr;) {
    fn(p);
    if (has_attachment(p)) break;
    p = p->joinNext;
  }
}

// A double truncated toward zero into 32 bits, saturating (NaN gives INT32_MIN).
inline int32_t trunc_saturated(double v) {
  if (!(v > -2147483649.0)) return INT32_MIN;
  if (!(v < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(v);
}

}  // namespace zo::projection

namespace zo::projection {
static_assert(offsetof(Transform3D, centreY) == 4 && offsetof(Transform3D, targetX) == 8);
static_assert(offsetof(Transform3D, targetY) == 12 && offsetof(Transform3D, viewExtent) == 16);
static_assert(offsetof(Transform3D, unused1) == 24 && offsetof(Transform3D, fieldOfView) == 32);
static_assert(offsetof(Transform3D, unused2) == 40 && offsetof(Transform3D, matrix) == 72);
static_assert(sizeof(Transform3D) == 144);
}  // namespace zo::projection
