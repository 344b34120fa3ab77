// Rotation of a whole list about the centre of its bounds, by whole degrees.
#include <cmath>

#include "model/bounds.hpp"
#include "model/records.hpp"
#include "point_map.hpp"

using namespace zo;

extern "C" {

ZO_API void ZoPathRotateAboutCenter(ZoPath* list, double degrees) {
  if (list == nullptr || !std::isfinite(degrees)) return;
  double whole = std::trunc(degrees);
  if (whole == 0.0) return;
  ZoPath* head = list_head(list);
  RectDB r;
  bounds::double_rect(head, bounds::kList, 1.0, false, &r);
  double cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  double a = whole * 3.1415926535898 / 180.0;
  double c = std::cos(a), s = std::sin(a);
  double kx = cx - cx * c + cy * s, ky = cy - cx * s - cy * c;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    transform::map_every_node(p, [=](PointDB q) {
      return PointDB{q.x * c - q.y * s + kx, q.y * c + q.x * s + ky};
    });
  }
}

}  // extern "C"
