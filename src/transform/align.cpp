// Aligning and distributing the selected objects of the current group. An object is a join
// chain; the selection chain names the objects through the members that start their chains.
#include <cmath>

#include "model/bounds.hpp"
#include "model/move.hpp"
#include "model/records.hpp"
#include "platform/rect.hpp"
#include "point_map.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;

namespace {

constexpr uint32_t kMaxObjects = 128;

enum Command : int32_t {
  kCentreX = 18017,
  kCentreY = 18018,
  kLeft = 18020,
  kRight = 18021,
  kTop = 18022,
  kBottom = 18023,
  kDistributeX = 18024,
  kDistributeY = 18025,
  kCentreBoth = 18043,
};

struct Object {
  ZoPath* head;
  RectDB shape;    // of the whole join chain
  PointDB centre;  // the mean of its members' centres
};

// The centre one member contributes: a polygon's own centre, else the centre of the shape
// rectangle of the join chain from it.
PointDB member_centre(ZoPath* p) {
  PointDB c;
  if (polygon::centre(p, &c)) return c;
  RectDB r;
  bounds::shape_rect(p, bounds::kJoin, 1.0, &r);
  return PointDB{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

Object object_of(ZoPath* head) {
  Object o{head, {}, {0.0, 0.0}};
  bounds::shape_rect(head, bounds::kJoin, 1.0, &o.shape);
  uint32_t n = 0;
  for (ZoPath* p = head; p != nullptr; p = p->joinNext) {
    PointDB c = member_centre(p);
    o.centre = PointDB{o.centre.x + c.x, o.centre.y + c.y};
    ++n;
    if (has_attachment(p)) break;
  }
  o.centre = PointDB{o.centre.x / n, o.centre.y / n};
  return o;
}

// Moves one object: the translate walk over its own join chain.
void move_object(const Object& o, PointDB delta) {
  Ptfx offset = to_fix(delta);
  if (offset.x == 0 && offset.y == 0) return;
  for (ZoPath* p = o.head; p != nullptr; p = p->joinNext) {
    translate_subpath(p, offset);
    if (has_attachment(p)) break;
  }
}

// Targets evenly spaced from the smallest value to the largest, each handed to the nearest
// value still without one (the first in object order on a tie). Fewer than three values stay.
void distribute(const double* values, uint32_t n, double* targets) {
  for (uint32_t i = 0; i < n; ++i) targets[i] = values[i];
  if (n < 3) return;
  double lo = values[0], hi = values[0];
  for (uint32_t i = 1; i < n; ++i) lo = std::fmin(lo, values[i]), hi = std::fmax(hi, values[i]);
  double step = (hi - lo) / (n - 1);
  bool given[kMaxObjects] = {};
  for (uint32_t i = 0; i < n; ++i) {
    double target = lo + i * step;
    uint32_t best = n;
    for (uint32_t k = 0; k < n; ++k) {
      if (given[k]) continue;
      if (best == n || std::fabs(values[k] - target) < std::fabs(values[best] - target)) best = k;
    }
    given[best] = true;
    targets[best] = target;
  }
}

void run_command(int32_t command, Object* objects, uint32_t n) {
  PointDB mean{0.0, 0.0};
  for (uint32_t i = 0; i < n; ++i)
    mean = PointDB{mean.x + objects[i].centre.x, mean.y + objects[i].centre.y};
  mean = PointDB{mean.x / n, mean.y / n};
  double edge = 0.0;
  double values[kMaxObjects], targets[kMaxObjects];
  switch (command) {
    case kCentreX:
    case kCentreY:
    case kCentreBoth:
      for (uint32_t i = 0; i < n; ++i) {
        const PointDB& c = objects[i].centre;
        move_object(objects[i], PointDB{command == kCentreY ? 0.0 : mean.x - c.x,
                                        command == kCentreX ? 0.0 : mean.y - c.y});
      }
      return;
    case kLeft:
    case kRight:
    case kTop:
    case kBottom: {
      auto side = [command](const RectDB& r) {
        return command == kLeft    ? r.left
               : command == kRight ? r.right
               : command == kTop   ? r.top
                                   : r.bottom;
      };
      edge = side(objects[0].shape);
      for (uint32_t i = 1; i < n; ++i)
        edge = command == kLeft || command == kTop ? std::fmin(edge, side(objects[i].shape))
                                                   : std::fmax(edge, side(objects[i].shape));
      bool horizontal = command == kLeft || command == kRight;
      for (uint32_t i = 0; i < n; ++i) {
        double d = edge - side(objects[i].shape);
        move_object(objects[i], horizontal ? PointDB{d, 0.0} : PointDB{0.0, d});
      }
      return;
    }
    case kDistributeX:
    case kDistributeY: {
      bool horizontal = command == kDistributeX;
      for (uint32_t i = 0; i < n; ++i) {
        const RectDB& r = objects[i].shape;
        values[i] = horizontal ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2;
      }
      distribute(values, n, targets);
      for (uint32_t i = 0; i < n; ++i) {
        double d = targets[i] - values[i];
        move_object(objects[i], horizontal ? PointDB{d, 0.0} : PointDB{0.0, d});
      }
      return;
    }
    default:
      return;  // the other command numbers move nothing
  }
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathAlign(uint64_t /*unused*/, int32_t command, ZoPathTbl* table,
                            CoordStruct* view, RECT* out) {
  if (out != nullptr) plat::SetRectEmpty(out);
  if (table == nullptr) return 0;
  ZoPath* selected = nullptr;
  ZoPathFind(table, nullptr, nullptr, &selected, nullptr);
  if (selected == nullptr || !is_selected(selected)) return 0;
  ZoPath* head = selection_head(selected);
  RECT erased{0, 0, 0, 0}, drawn{0, 0, 0, 0};
  ZoPathHideSelected(view, head, &erased);

  Object objects[kMaxObjects];
  uint32_t n = 0;
  for (ZoPath* p = head; p != nullptr && n < kMaxObjects; p = p->selNext) {
    if (p->joinPrev == nullptr) objects[n++] = object_of(p);
  }
  if (n > 0) run_command(command, objects, n);

  ZoPathDrawSelected(view, head, &drawn);
  if (out != nullptr) plat::UnionRect(out, &erased, &drawn);
  return 1;
}

}  // extern "C"
