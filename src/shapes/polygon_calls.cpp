// The polygon tool's calls: building a figure into a path or the table, its XOR preview, and
// reading or changing the polygon marks of one subpath or of a whole list.
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "new_shape.hpp"
#include "platform/device_context.hpp"
#include "platform/host_library.hpp"
#include "polygon_rules.hpp"
#include "polygon_shape.hpp"

using namespace zo;
using namespace zo::polygon;

namespace {

constexpr COLORREF kPreviewGrey = 0xC0C0C0;
// Window coordinates the device contexts accept.
constexpr double kDeviceLimit = 134217728.0;

bool prepare(uint32_t sides, uint32_t style, const ZoPath* templ, const CoordStruct* view,
             const RECT* drag, int32_t centered, uint32_t upright, SidePattern* pattern,
             Frame* frame) {
  if (view == nullptr || drag == nullptr) return false;
  if (style == 0 && templ == nullptr) return false;
  if (!pattern->init(sides, style, templ)) return false;
  if (!frame_of(view, drag, centered != 0, upright != 0, frame)) return false;
  // Every node lies within the pattern's reach of the centre.
  const double reach = frame->radius * pattern->reach();
  const PointDB c = frame->centre;
  const bool fits = shapes::fits_fix(c.x - reach) && shapes::fits_fix(c.x + reach) &&
                    shapes::fits_fix(c.y - reach) && shapes::fits_fix(c.y + reach);
  return fits || ZO_REFUSE();
}

int32_t to_window(double v, int32_t origin, int32_t scroll, double zoom) {
  const double w = std::round(origin - double(scroll) + (v + 0.5) * zoom);
  return static_cast<int32_t>(std::fmax(-kDeviceLimit, std::fmin(kDeviceLimit, w)));
}

// Walks the polygon subpaths of the current group's list (from p without a table), or with
// selectedOnly the selection chain (whose start must be selected). fn returns false to stop.
template <typename Fn>
bool walk_polygons(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly, Fn&& fn) {
  if (table == nullptr && p == nullptr) return false;
  ZoPath* start = p;
  if (table != nullptr) {
    PathGroup& g = current_group(table);
    start = selectedOnly ? g.selected : g.first;
  }
  if (selectedOnly && (start == nullptr || !is_selected(start))) return true;
  for (ZoPath* q = start; q != nullptr; q = selectedOnly ? q->selNext : q->next)
    if (is_polygon(q) && !fn(q)) break;
  return true;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathPolyGet(uint32_t sides, int32_t style, ZoPath* templ, ZoPath** out,
                              const CoordStruct* view, const RECT* drag, int32_t centered,
                              uint32_t upright) {
  if (out == nullptr) return 0;
  SidePattern pattern;
  Frame frame{};
  if (!prepare(sides, uint32_t(style), templ, view, drag, centered, upright, &pattern, &frame))
    return 0;
  const uint32_t count = pattern.sides() * pattern.per_side() + 1;
  ZoPath* p = record_alloc(count);
  if (p == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  p->count = count;
  p->flags = pattern.flags();
  PathNode* nodes = nodes_of(p);
  for_each_node(pattern, frame, [&](uint32_t i, PointDB pt, uint16_t type) {
    nodes[i] = PathNode{type, to_fix(pt)};
  });
  nodes[count - 1].pt = nodes[0].pt;
  *out = p;
  return 1;
}

ZO_API uint32_t ZoPathPolyAdd(HDC dc, uint32_t sides, uint32_t style, ZoPath* templ,
                              ZoPathTbl* table, const CoordStruct* view, const RECT* drag,
                              int32_t centered, uint32_t upright) {
  if (table == nullptr || view == nullptr) return 0;
  shapes::clear_group_selection(dc, table, view);
  ZoPath* p = nullptr;
  if (ZoPathPolyGet(sides, int32_t(style), templ, &p, view, drag, centered, upright) == 0)
    return 0;
  shapes::insert_into_group(table, p);
  return 1;
}

ZO_API uint32_t ZoPathPolygonDrawWithGDIXOR(HDC dc, const CoordStruct* view, const RECT* drag,
                                            int32_t centered, uint32_t upright, uint32_t style,
                                            uint32_t sides, ZoPath* templ) {
  SidePattern pattern;
  Frame frame{};
  if (!prepare(sides, style, templ, view, drag, centered, upright, &pattern, &frame)) return 0;
  HPEN pen = plat::CreatePen(PS_SOLID, 1, kPreviewGrey);
  if (pen == nullptr) return 0;
  const int32_t oldRop = plat::SetROP2(dc, R2_XORPEN);
  HGDIOBJ oldPen = plat::SelectObject(dc, pen);
  HGDIOBJ oldBrush = plat::SelectObject(dc, plat::GetStockObject(NULL_BRUSH));
  POINT curve[3];
  uint32_t pending = 0;
  for_each_node(pattern, frame, [&](uint32_t i, PointDB p, uint16_t type) {
    const POINT w{to_window(p.x, view->rcWindow.left, view->scrollX, view->zoom),
                  to_window(p.y, view->rcWindow.top, view->scrollY, view->zoom)};
    if (i == 0) {
      plat::MoveToEx(dc, w.x, w.y, nullptr);
    } else if (is_bezier(type)) {
      curve[pending++] = w;
      if (pending == 3) plat::PolyBezierTo(dc, curve, 3), pending = 0;
    } else {
      plat::LineTo(dc, w.x, w.y);
    }
  });
  if (oldBrush != nullptr) plat::SelectObject(dc, oldBrush);
  if (oldPen != nullptr) plat::SelectObject(dc, oldPen);
  if (oldRop != 0) plat::SetROP2(dc, oldRop);
  plat::DeleteObject(pen);
  return 1;
}

ZO_API uint32_t ZoPathPolyGetSides(const ZoPath* p) {
  return p != nullptr && is_polygon(p) ? side_count(p) : 0;
}

ZO_API uint32_t ZoPathPolyGetStyle(const ZoPath* p) { return p != nullptr ? style(p) : 0; }

ZO_API uint32_t ZoPathPolySetStyle(ZoPath* p, uint32_t polygonStyle) {
  if (p == nullptr) return 0;
  if (polygonStyle == 0) {
    clear_marks(p);
    return 1;
  }
  if (!is_polygon(p)) return 0;
  if (polygonStyle == 1) {
    p->flags = (p->flags & ~(ZOF_POLY_STYLE1 | ZOF_POLY_STYLE2)) | ZOF_POLY_STYLE1;
    return 1;
  }
  return polygonStyle == 2 && (p->flags & ZOF_POLY_STYLE2) != 0 ? 1 : 0;
}

ZO_API int32_t ZoPathGetPolySide(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly) {
  int32_t shared = 0;
  walk_polygons(table, p, selectedOnly, [&](ZoPath* q) {
    const int32_t n = int32_t(side_count(q));
    if (shared == 0) shared = n;
    if (n == shared) return true;
    shared = -n;
    return false;
  });
  return shared;
}

ZO_API uint32_t ZoPathHasPolyPath(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly) {
  uint32_t n = 0;
  walk_polygons(table, p, selectedOnly, [&](ZoPath*) { return ++n, true; });
  return n;
}

ZO_API uint32_t ZoPathSetPolyStyle(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly,
                                   uint32_t polygonStyle) {
  return walk_polygons(table, p, selectedOnly, [&](ZoPath* q) {
           ZoPathPolySetStyle(q, polygonStyle);
           return true;
         })
             ? 1
             : 0;
}

}  // extern "C"
