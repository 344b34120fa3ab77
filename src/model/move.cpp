// Moving subpaths by a fixed-point offset or by window pixels, and shifting whole lists by
// whole pixels.
#include "move.hpp"

#include <cmath>

#include "geometry/fixed_point.hpp"
#include "node_walk.hpp"
#include "records.hpp"

namespace zo {

void translate_subpath(ZoPath* p, Ptfx offset) {
  for_each_point(p, [offset](PathNode& n) { n.pt = ptfx_add(n.pt, offset); });
}

void shift_list_by_units(ZoPath* from, int32_t dx, int32_t dy) {
  for (ZoPath* p = from; p != nullptr; p = p->next) {
    for_each_point(p, [dx, dy](PathNode& n) {
      n.pt.x = fix_add_int(n.pt.x, dx);
      n.pt.y = fix_add_int(n.pt.y, dy);
    });
  }
}

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathMovePathsByPtfx(ZoPath* path, Ptfx offset) {
  if (path == nullptr) return 0;
  if (offset.x == 0 && offset.y == 0) return 1;
  if (is_selected(path)) {
    for (ZoPath* p = path; p != nullptr; p = p->selNext) translate_subpath(p, offset);
  } else {
    for (ZoPath* p = path; p != nullptr; p = p->joinNext) {
      translate_subpath(p, offset);
      if (has_attachment(p)) break;
    }
  }
  return 1;
}

ZO_API uint32_t ZoPathMovePaths(ZoPath* path, const CoordStruct* view, POINT offset) {
  if (path == nullptr || view == nullptr || !(view->zoom > 0.0) || !std::isfinite(view->zoom))
    return 0;
  return ZoPathMovePathsByPtfx(
      path, Ptfx{db_to_fix(offset.x / view->zoom), db_to_fix(offset.y / view->zoom)});
}

}  // extern "C"
