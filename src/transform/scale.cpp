// Scaling: a whole list about the origin, and one subpath about the centre of its rectangle.
#include "model/records.hpp"
#include "point_map.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathSize(ZoPath* list, double sx, double sy) {
  if (list == nullptr) return 0;
  if (sy == 0.0) sy = sx;
  if (sx == 1.0 && sy == 1.0) return 1;
  for (ZoPath* p = list_head(list); p != nullptr; p = p->next) {
    // A scaled polygon no longer has its generator's proportions.
    if (polygon::style(p) != 0) {
      p->primitiveKind = 0;
      polygon::clear_marks(p);
    }
    transform::map_points(p, [sx, sy](PointDB q) { return PointDB{q.x * sx, q.y * sy}; });
  }
  return 1;
}

ZO_API uint32_t ZoPathScaleCentered(ZoPath* path, double sx, double sy, POINT* centre) {
  if (path == nullptr) return 0;
  if (sx == 1.0 && sy == 1.0) return 1;
  RECT r;
  ZoPathGetRect(path, 65536, &r);
  POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  double kx = (1.0 - sx) * c.x, ky = (1.0 - sy) * c.y;
  transform::map_every_node(path, [=](PointDB q) { return PointDB{sx * q.x + kx, sy * q.y + ky}; });
  if (centre != nullptr) *centre = c;
  return 1;
}

}  // extern "C"
