// The resize-and-rotate driven by handle drags: the list is scaled and rotated about its
// anchor and the anchor placed at the target point; the handles show the result beforehand.
#include <cmath>

#include "model/bounds.hpp"
#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "point_map.hpp"

using namespace zo;

namespace {

constexpr double kPi = 3.14159;  // the precision the host's handle code was tuned to

// Wrap baselines and envelope frames keep their own geometry: they are never resized here.
bool refuses(ZoPath* head) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if ((p->flags & (ZOF_WRAP_BASELINE | ZOF_ENVELOPE_H | ZOF_ENVELOPE_V)) != 0) return true;
  }
  return false;
}

// The point that stays in place: an edge or the centre named by the alignment record when
// the parameters ask for it, else the top-left of the shape rectangle.
PointDB anchor_of(ZoPath* head, const ZoPathRSRParams* params, const uint32_t* align,
                  RectDB* shape) {
  bounds::shape_rect(head, bounds::kList, 1.0, shape);
  if ((head->flags & ZOF_TEXT_CHAR) == 0 && params->anchorMode != 0) {
    if (align == nullptr) return PointDB{0.0, 0.0};
    bool xAxis = align[ZOPATH_ALIGN_AXIS_WORD] == 0;
    uint32_t bits = align[ZOPATH_ALIGN_BITS_WORD];
    if ((bits & 1) != 0) return xAxis ? PointDB{shape->right, 0.0} : PointDB{0.0, shape->bottom};
    if ((bits & 2) != 0)
      return xAxis ? PointDB{(shape->left + shape->right) / 2, 0.0}
                   : PointDB{0.0, (shape->top + shape->bottom) / 2};
    return PointDB{0.0, 0.0};
  }
  return PointDB{shape->left, shape->top};
}

struct Rotation {
  double c = 1.0, s = 0.0;
  explicit Rotation(double degrees) {
    if (degrees != 0.0) {
      double a = degrees * kPi / 180.0;
      c = std::cos(a);
      s = std::sin(a);
    }
  }
  PointDB operator()(PointDB q) const { return PointDB{q.x * c - q.y * s, q.y * c + q.x * s}; }
};

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathResizeSlantRotate(ZoPath* list, const ZoPathRSRParams* params,
                                        const uint32_t* align) {
  if (list == nullptr || params == nullptr) return 0;
  ZoPath* head = list_head(list);
  if (refuses(head)) return 0;
  RectDB shape;
  PointDB a = anchor_of(head, params, align, &shape);
  ZoPathMovePathsByPtfx(head, to_fix(PointDB{-a.x, -a.y}));
  ZoPathSize(head, params->scaleX, params->scaleY);
  if (params->angle != 0.0) {
    Rotation rotate(params->angle);
    for (ZoPath* p = head; p != nullptr; p = p->next) transform::map_every_node(p, rotate);
  }
  ZoPathMovePathsByPtfx(head, to_fix(PointDB{params->targetX, params->targetY}));
  return 1;
}

ZO_API uint32_t ZoPathGetRSRHandle(ZoPath* list, const ZoPathRSRParams* params,
                                   const uint32_t* align, Ptfx handles[4]) {
  if (list == nullptr || params == nullptr || handles == nullptr) return 0;
  ZoPath* head = list_head(list);
  if (refuses(head)) return 0;
  RectDB r;
  PointDB a = anchor_of(head, params, align, &r);
  // The same scale rule as ZoPathSize: no vertical scale means the horizontal one.
  double sx = params->scaleX, sy = params->scaleY == 0.0 ? sx : params->scaleY;
  double l = (r.left - a.x) * sx, t = (r.top - a.y) * sy;
  double rr = (r.right - a.x) * sx, b = (r.bottom - a.y) * sy;
  const PointDB corners[4] = {{l, t}, {rr, t}, {l, b}, {rr, b}};
  Rotation rotate(params->angle);
  Ptfx target = to_fix(PointDB{params->targetX, params->targetY});
  for (int i = 0; i < 4; ++i) handles[i] = ptfx_add(to_fix(rotate(corners[i])), target);
  return 1;
}

}  // extern "C"
