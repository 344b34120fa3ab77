// Primitives from a dragged rectangle: ellipses, rectangles, rounded rectangles, diamonds,
// triangles, banded rectangles, and scaled copies of a template path.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "new_shape.hpp"
#include "platform/host_library.hpp"
#include "primitive_nodes.hpp"

using namespace zo;
using namespace zo::shapes;

namespace {

// The box of a drag in image pixels: centre and half-sizes.
struct Box {
  double cx, cy, a, b;
  double left() const { return cx - a; }
  double right() const { return cx + a; }
  double top() const { return cy - b; }
  double bottom() const { return cy + b; }
};

// The anchor is the drag's left/top field whatever the direction; sizes count both end
// pixels. From a corner the box extends toward the drag's other end.
bool drag_box(const CoordStruct* view, const RECT* drag, bool centered, Box* out) {
  if (!usable_zoom(view->zoom)) return ZO_REFUSE();
  const double zoom = view->zoom;
  const double px = (double(drag->left) - view->rcWindow.left + view->scrollX) / zoom - 0.5;
  const double py = (double(drag->top) - view->rcWindow.top + view->scrollY) / zoom - 0.5;
  double a = (std::fabs(double(drag->right) - drag->left) + 1.0) / zoom;
  double b = (std::fabs(double(drag->bottom) - drag->top) + 1.0) / zoom;
  Box box{px, py, a, b};
  if (!centered) {
    box.a = a * 0.5;
    box.b = b * 0.5;
    box.cx = drag->right > drag->left ? px + box.a : px - box.a;
    box.cy = drag->bottom > drag->top ? py + box.b : py - box.b;
  }
  if (!fits_fix(box.left()) || !fits_fix(box.right()) || !fits_fix(box.top()) ||
      !fits_fix(box.bottom()))
    return ZO_REFUSE();
  *out = box;
  return true;
}

bool known_kind(uint32_t kind) {
  return (kind >= kEllipse && kind <= kTriangle) || is_percent_rounded(kind);
}

uint32_t node_count(uint32_t kind) {
  switch (kind) {
    case kEllipse: return kEllipseNodes;
    case kRectangle: return kRectangleNodes;
    case kDiamond: return kDiamondNodes;
    case kBanded: return kBandedNodes;
    case kTriangle: return kTriangleNodes;
    default: return kRoundedNodes;
  }
}

ZoPath* shape_from_box(uint32_t kind, const Box& box) {
  ZoPath* p = record_alloc(node_count(kind));
  if (p == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  p->count = node_count(kind);
  p->flags = ZOF_SELECTED;
  p->primitiveKind = kind == kTriangle ? kNotPrimitive : kind;
  PathNode* n = nodes_of(p);
  const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
  switch (kind) {
    case kEllipse: write_ellipse(n, box.cx, box.cy, box.a - 0.01, box.b - 0.01); break;
    case kRectangle: write_rectangle(n, l, t, r, b); break;
    case kDiamond: write_diamond(n, l, t, r, b); break;
    case kBanded: write_banded(n, l, t, r, b); break;
    case kTriangle: write_triangle(n, l, t, r, b); break;
    default: {
      const double small = std::min(box.a, box.b);
      const double radius = kind == kRounded ? std::min(std::max(box.a, box.b) / 3.0, small)
                                             : small * (kind - kRoundedPercent) / 100.0;
      write_rounded(n, l, 1.0, 2.0 * box.a, t, b, radius);
    }
  }
  return p;
}

// A copy of the template scaled into the box: its margin rectangle (5 pixels each side and
// the end pixel) maps onto the box, and the copy lands with the box's left-top corner.
ZoPath* shape_from_template(ZoPath* templ, const Box& box, bool keepAspect) {
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtr(templ, &copy) == 0 || copy == nullptr) {
    ZO_REPORT_NO_MEMORY();  // the list copy fails silently
    return nullptr;
  }
  ZoPathJoinAll(copy);
  RectDB rect{};
  ZoPathGetDoubleMiniMaxRect(copy, uint32_t(DbToFix(1.0)), &rect, 1);
  double sx = 2.0 * box.a / (rect.right - rect.left - 10.0 - 1.0);
  double sy = 2.0 * box.b / (rect.bottom - rect.top - 10.0 - 1.0);
  if (keepAspect) {
    sx = std::min(sx, sy);
    sy = 0.0;  // the scaler takes 0 as "the same as sx"
  }
  // A template without width or height cannot be fitted into a box.
  if (!(std::isfinite(sx) && sx > 0.0 && std::isfinite(sy) && sy >= 0.0)) {
    release_list(list_head(copy));
    ZO_REFUSE();
    return nullptr;
  }
  ZoPathSize(copy, sx, sy);
  ZoPathGetDoubleMiniMaxRect(copy, uint32_t(DbToFix(1.0)), &rect, 1);
  const double dx = box.left() - rect.left - 5.0 - 0.5, dy = box.top() - rect.top - 5.0 - 0.5;
  if (!fits_fix(rect.right + dx) || !fits_fix(rect.bottom + dy) || !fits_fix(rect.left + dx) ||
      !fits_fix(rect.top + dy)) {
    release_list(list_head(copy));
    ZO_REFUSE();
    return nullptr;
  }
  ZoPathMovePathsByPtfx(copy, Ptfx{db_to_fix(dx), db_to_fix(dy)});
  ZoPathAllPathSelected(copy);
  copy->flags |= ZOF_SELECTED;
  copy->primitiveKind = kNotPrimitive;
  return copy;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathGetPrimitive(int32_t kind, ZoPath* templ, ZoPath** out,
                                   const CoordStruct* view, int32_t centered, int32_t keepAspect,
                                   const RECT* drag) {
  if (view == nullptr || out == nullptr || drag == nullptr) return 0;
  if (templ == nullptr && !known_kind(uint32_t(kind))) return ZO_REFUSE();
  Box box{};
  if (!drag_box(view, drag, centered != 0, &box)) return 0;
  ZoPath* p = templ != nullptr ? shape_from_template(templ, box, keepAspect != 0)
                               : shape_from_box(uint32_t(kind), box);
  if (p == nullptr) return 0;
  *out = p;
  return 1;
}

ZO_API uint32_t ZoPathAddPrimitive(HDC dc, uint32_t kind, ZoPath* templ, ZoPathTbl* table,
                                   const CoordStruct* view, int32_t centered, int32_t keepAspect,
                                   const RECT* drag) {
  if (table == nullptr || view == nullptr) return 0;
  clear_group_selection(dc, table, view);
  ZoPath* p = nullptr;
  if (ZoPathGetPrimitive(int32_t(kind), templ, &p, view, centered, keepAspect, drag) == 0)
    return 0;
  insert_into_group(table, list_head(p));
  return 1;
}

}  // extern "C"
