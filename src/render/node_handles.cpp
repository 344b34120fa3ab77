// Node handles: squares on anchors and control points, and dotted lines from each shown
// control point to its anchor, drawn straight onto the window's device context under
// exclusive-or so that drawing them again removes them.
#include <algorithm>
#include <cmath>
#include <vector>

#include "display.hpp"
#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "platform/device_context.hpp"

namespace zo::display {

namespace {

// Library-wide handle settings.
struct HandleSettings {
  bool on = true;
  int32_t anchorHalf = 2;
  int32_t controlHalf = 1;
  int32_t penWidth = 1;
  COLORREF normal = ZO_RGB(0, 255, 255);
  COLORREF polygonStyle1 = ZO_RGB(255, 255, 0);
  COLORREF polygonStyle2 = ZO_RGB(255, 255, 0);
};
HandleSettings g_handles;

constexpr uint32_t kShapeKind = ZOF_ENVELOPE_H | ZOF_ENVELOPE_V;

COLORREF colour_for(uint32_t pathFlags) {
  if ((pathFlags & ZOF_POLY_STYLE1) != 0) return g_handles.polygonStyle1;
  if ((pathFlags & ZOF_POLY_STYLE2) != 0) return g_handles.polygonStyle2;
  return g_handles.normal;
}

// Window pixel of an image coordinate, truncated; far-off points stay far off without
// overflowing.
int32_t window_coord(int32_t fix, double zoom, int32_t scroll, int32_t origin) {
  double v = (fix_to_db(fix) + 0.5) * zoom - scroll + origin;
  if (!std::isfinite(v)) return v > 0 ? (1 << 28) : -(1 << 28);
  return static_cast<int32_t>(std::clamp(v, -268435456.0, 268435456.0));
}

// The exclusive-or state of one handle drawing: raster operation, the handle pen in the
// path's colour, and the dotted line pen; put back as it was when done.
class XorHandles {
 public:
  XorHandles(HDC dc, uint32_t pathFlags) : dc_(dc) {
    oldRop_ = plat::SetROP2(dc, R2_XORPEN);
    squarePen_ = plat::CreatePen(PS_SOLID, g_handles.penWidth, colour_for(pathFlags));
    // On a window the gaps of a black dotted pen are painted with the white background and
    // so invert the screen; these device contexts have no opaque background, so the dots
    // themselves invert (the pen's inverse, exclusive-or'ed).
    linePen_ = plat::CreatePen(PS_DOT, 0, ZO_RGB(0, 0, 0));
    oldPen_ = plat::SelectObject(dc, squarePen_);
    oldBrush_ = plat::SelectObject(dc, plat::GetStockObject(GRAY_BRUSH));
  }
  ~XorHandles() {
    plat::SelectObject(dc_, oldPen_);
    plat::SelectObject(dc_, oldBrush_);
    plat::SetROP2(dc_, oldRop_);
    plat::DeleteObject(squarePen_);
    plat::DeleteObject(linePen_);
  }
  XorHandles(const XorHandles&) = delete;
  XorHandles& operator=(const XorHandles&) = delete;

  void square(POINT p, int32_t half, bool hollow) {
    plat::SelectObject(dc_, plat::GetStockObject(hollow ? NULL_BRUSH : GRAY_BRUSH));
    plat::Rectangle(dc_, p.x - half, p.y - half, p.x + half + 1, p.y + half + 1);
  }
  void line(POINT from, POINT to) {
    plat::SelectObject(dc_, linePen_);
    int32_t rop = plat::SetROP2(dc_, R2_NOTXORPEN);
    plat::MoveToEx(dc_, from.x, from.y, nullptr);
    plat::LineTo(dc_, to.x, to.y);
    plat::SetROP2(dc_, rop);
    plat::SelectObject(dc_, squarePen_);
  }

 private:
  HDC dc_;
  int32_t oldRop_ = 0;
  HPEN squarePen_, linePen_;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
};

// One anchor of a subpath: its node, and for a cubic ending there, the cubic's first node.
struct Anchor {
  uint32_t node;
  int64_t cubic;  // index of the first control point, or -1
};

// The anchors in order, node kinds read as by the outline pass.
std::vector<Anchor> anchors_of(const ZoPath* p) {
  std::vector<Anchor> out;
  const PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count;) {
    uint16_t kind = nodes[i].type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO || kind == PT_LINETO) {
      out.push_back(Anchor{i, -1});
      i += 1;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= p->count) break;
      out.push_back(Anchor{i + 2, i});
      i += 3;
    } else {
      i += kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2 ? 2 : 1;
    }
  }
  return out;
}

bool same_point(const PathNode& a, const PathNode& b) {
  return a.pt.x == b.pt.x && a.pt.y == b.pt.y;
}

uint32_t draw_nodes_of(HDC dc, ZoPath* path, const CoordStruct* view) {
  if (!g_handles.on) return 0;
  if (path == nullptr || view == nullptr) return 0;
  if (view->lpDB == nullptr || dc == nullptr || path->count == 0) return 1;
  const PathNode* nodes = nodes_of(path);
  auto at = [&](uint32_t k) {
    return POINT{window_coord(nodes[k].pt.x, view->zoom, view->scrollX, view->rcWindow.left),
                 window_coord(nodes[k].pt.y, view->zoom, view->scrollY, view->rcWindow.top)};
  };
  const uint32_t last = path->count - 1;
  const bool seam = same_point(nodes[0], nodes[last]);
  const bool closed = is_closed(path);
  auto selected = [&](uint32_t k) {
    if ((nodes[k].type & PT_SELECTED) != 0) return true;
    if (closed && seam && k == 0) return (nodes[last].type & PT_SELECTED) != 0;
    if (closed && seam && k == last) return (nodes[0].type & PT_SELECTED) != 0;
    return false;
  };
  std::vector<Anchor> anchors;
  try {
    anchors = anchors_of(path);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  XorHandles draw(dc, path->flags);
  for (size_t j = 0; j < anchors.size(); ++j) {
    const Anchor& a = anchors[j];
    if (a.cubic >= 0 && j > 0) {
      auto c1 = static_cast<uint32_t>(a.cubic), c2 = c1 + 1;
      uint32_t start = anchors[j - 1].node;
      if (selected(start) || selected(c1)) {
        draw.line(at(start), at(c1));
        draw.square(at(c1), g_handles.controlHalf, (nodes[c1].type & PT_SELECTED) != 0);
      }
      if (selected(a.node) || selected(c2)) {
        draw.line(at(a.node), at(c2));
        draw.square(at(c2), g_handles.controlHalf, (nodes[c2].type & PT_SELECTED) != 0);
      }
    }
    // The first node of a figure that ends where it starts is the last node's square.
    if (j == 0 && seam && last > 0) continue;
    draw.square(at(a.node), g_handles.anchorHalf, (nodes[a.node].type & PT_SELECTED) != 0);
  }
  return 1;
}

uint32_t one_node(HDC dc, POINT point, uint32_t pathFlags, int32_t half, bool hollow) {
  if (dc == nullptr) return 0;
  XorHandles draw(dc, pathFlags);
  draw.square(point, half, hollow);
  return 1;
}

}  // namespace

uint32_t draw_nodes(HDC dc, ZoPath* path, const CoordStruct* view) {
  return draw_nodes_of(dc, path, view);
}

}  // namespace zo::display

using namespace zo;
using display::g_handles;

extern "C" {

ZO_API uint32_t ZoPathDrawNodes(HDC dc, ZoPath* path, CoordStruct* view) {
  return display::draw_nodes_of(dc, path, view);
}

ZO_API uint32_t ZoPathDrawNodesOnUnselectedSegments(HDC dc, ZoPath* path, CoordStruct* view) {
  if (!g_handles.on || dc == nullptr || path == nullptr || view == nullptr) return 0;
  if ((path->flags & display::kShapeKind) != 0 || path->count == 0) return 1;
  std::vector<display::Anchor> ring;
  try {
    ring = display::anchors_of(path);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  const PathNode* nodes = nodes_of(path);
  const uint32_t last = path->count - 1;
  // In a closed figure the last node stands for the seam: the first anchor is left out of
  // the ring, and a selection on the first node counts as one on the last.
  const bool wraps = is_closed(path) && display::same_point(nodes[0], nodes[last]) &&
                     ring.size() > 1 && ring.back().node == last;
  if (wraps) ring.erase(ring.begin());
  int64_t chosen = -1;
  for (size_t j = 0; j < ring.size() && chosen < 0; ++j)
    if ((nodes[ring[j].node].type & PT_SELECTED) != 0) chosen = int64_t(j);
  if (chosen < 0 && wraps && (nodes[0].type & PT_SELECTED) != 0) chosen = int64_t(ring.size()) - 1;
  const int64_t n = int64_t(ring.size());
  auto excluded = [&](int64_t j) {
    if (chosen < 0) return false;
    if (j == chosen) return true;
    if (wraps) return (j + 1) % n == chosen || (chosen + 1) % n == j;
    return j + 1 == chosen || chosen + 1 == j;
  };
  display::XorHandles draw(dc, path->flags);
  for (int64_t j = 0; j < n; ++j) {
    if (excluded(j)) continue;
    uint32_t k = ring[size_t(j)].node;
    POINT p{display::window_coord(nodes[k].pt.x, view->zoom, view->scrollX, view->rcWindow.left),
            display::window_coord(nodes[k].pt.y, view->zoom, view->scrollY, view->rcWindow.top)};
    draw.square(p, g_handles.anchorHalf, false);
  }
  return 1;
}

ZO_API uint32_t ZoPathDrawActiveNode(HDC dc, POINT point, uint32_t pathFlags) {
  return display::one_node(dc, point, pathFlags, g_handles.anchorHalf, true);
}
ZO_API uint32_t ZoPathDrawInactiveNode(HDC dc, POINT point, uint32_t pathFlags) {
  return display::one_node(dc, point, pathFlags, g_handles.anchorHalf, false);
}
ZO_API uint32_t ZoPathDrawSmallNode(HDC dc, POINT point, uint32_t pathFlags) {
  return display::one_node(dc, point, pathFlags, g_handles.controlHalf, false);
}

ZO_API void ZoPathDrawNodesTurnOn(uint32_t on) { g_handles.on = on != 0; }

ZO_API void ZoPathSetNodeSize(uint32_t size) {
  if (size == 0) g_handles.penWidth = 1;
  if (size == 1) g_handles.penWidth = 2;
  g_handles.anchorHalf = size == 1 ? 3 : 2;
  g_handles.controlHalf = size == 1 ? 2 : 1;
}

ZO_API uint32_t ZoPathTblRepaintNodes(HDC dc, ZoPathTbl* table, CoordStruct* view) {
  if (table == nullptr || table->shown == 0) return 0;
  ZoPath* selected = nullptr;
  ZoPathFind(table, nullptr, nullptr, &selected, nullptr);
  if (selected == nullptr) return 0;
  for (ZoPath* p = selected; p != nullptr; p = p->selNext) {
    if ((p->flags & ZOF_DRAWING) == 0) display::draw_nodes_of(dc, p, view);
  }
  return 1;
}

}  // extern "C"
