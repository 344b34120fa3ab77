// Selection by a dragged rectangle: nodes of the selected paths (ZoPathPtInRect,
// ZoPathRectClipPt) and whole paths of the current group (ZoPathRectClip).
#include <algorithm>
#include <cmath>

#include "drawn_segments.hpp"
#include "envelope/envelope_rules.hpp"
#include "model/bounds.hpp"
#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "model/node_walk.hpp"
#include "platform/host_library.hpp"
#include "selection_state.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

// The dragged rectangle in image coordinates, whichever way it was dragged.
struct Area {
  double left, top, right, bottom;

  bool strictly_inside(PointDB p) const {
    return p.x > left && p.x < right && p.y > top && p.y < bottom;
  }
  bool touches(PointDB p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  }
  // Whether any part of the segment a-b lies in the rectangle (Liang-Barsky clipping).
  bool meets(PointDB a, PointDB b) const {
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    auto clip = [&](double p, double q) {
      if (p == 0.0) return q >= 0.0;
      double r = q / p;
      if (p < 0.0) {
        if (r > t1) return false;
        t0 = std::max(t0, r);
      } else {
        if (r < t0) return false;
        t1 = std::min(t1, r);
      }
      return true;
    };
    return clip(-dx, a.x - left) && clip(dx, right - a.x) && clip(-dy, a.y - top) &&
           clip(dy, bottom - a.y);
  }
  // The box of the points against the rectangle: 0 apart, 1 overlapping, 2 inside it.
  int box_relation(const PointDB* pts, int n) const {
    double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (int i = 1; i < n; ++i) {
      x0 = std::min(x0, pts[i].x), x1 = std::max(x1, pts[i].x);
      y0 = std::min(y0, pts[i].y), y1 = std::max(y1, pts[i].y);
    }
    if (x1 < left || x0 > right || y1 < top || y0 > bottom) return 0;
    return x0 >= left && x1 <= right && y0 >= top && y1 <= bottom ? 2 : 1;
  }
};

bool area_of(const RECT* rect, const CoordStruct* view, Area* out) {
  if (rect == nullptr || view == nullptr || !std::isfinite(view->zoom) || !(view->zoom > 0.0))
    return false;
  RectDB r;
  ZoPathRectWndToImage(&r, rect, view);
  *out = Area{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
  return true;
}

// Anchor nodes: node 0 of an open subpath and every segment end.
template <typename Fn>
void for_each_anchor(const ZoPath* p, Fn&& fn) {
  const PathNode* nodes = nodes_of(p);
  if (p->count > 0 && !is_closed(p) && !is_parameter(nodes[0].type)) fn(0u);
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    if (!is_parameter(nodes[end].type)) fn(end);
    return true;
  });
}

PointDB point_of(const ZoPath* p, uint32_t i) { return to_db(nodes_of(p)[i].pt); }

void load_cubic(const ZoPath* p, uint32_t s, PointDB c[4]) {
  for (int k = 0; k < 4; ++k) c[k] = point_of(p, s + uint32_t(k));
}

// Visits the chord ends of a cubic subdivided finely enough that no chord strays a window
// pixel from the curve; visit returns true to stop.
template <typename Visit>
bool chords(const PointDB c[4], double zoom, Visit&& visit) {
  const double pixel = 1.0 / zoom;
  bool stop = false;
  PointDB from = c[0];
  forward_difference_cubic(c[0], c[1], c[2], c[3], StepLimits{pixel, 0.5 * pixel, true},
                           [&](PointDB to) {
                             if (!stop) stop = visit(from, to);
                             from = to;
                           });
  return stop;
}

// Caught by crossing: a segment (a cubic by its chords) has a part in the rectangle.
bool crosses(const ZoPath* p, const Area& a, double zoom) {
  bool caught = false;
  for_each_drawn_segment(
      p,
      [&](uint32_t s, uint32_t e, bool cubic) {
        if (caught) return;
        if (!cubic) {
          caught = a.meets(point_of(p, s), point_of(p, e));
          return;
        }
        PointDB c[4];
        load_cubic(p, s, c);
        int relation = a.box_relation(c, 4);
        if (relation == 2) caught = true;
        if (relation == 1)
          caught = chords(c, zoom, [&](PointDB u, PointDB v) { return a.meets(u, v); });
      },
      [&](uint32_t i) { caught = caught || a.touches(point_of(p, i)); });
  return caught;
}

// Caught by points inside: segment ends, frame corners, and the chord ends of curves.
bool has_point_inside(ZoPath* p, const Area& a, double zoom) {
  if (shape_marker(p) == PT_PARAM_PAIR) {
    PointDB corners[4];
    bounds::frame_corners(p, corners);
    for (const PointDB& c : corners)
      if (a.strictly_inside(c)) return true;
  }
  bool caught = false;
  for_each_drawn_segment(
      p,
      [&](uint32_t s, uint32_t e, bool cubic) {
        if (caught) return;
        caught = a.strictly_inside(point_of(p, s)) || a.strictly_inside(point_of(p, e));
        if (caught || !cubic) return;
        PointDB c[4];
        load_cubic(p, s, c);
        if (a.box_relation(c, 4) != 0)
          caught = chords(c, zoom, [&](PointDB, PointDB v) { return a.strictly_inside(v); });
      },
      [&](uint32_t i) { caught = caught || a.strictly_inside(point_of(p, i)); });
  return caught;
}

bool caught_record(ZoPath* p, uint32_t how, const Area& a, double zoom) {
  if ((how & ZOHIT_CROSSING) != 0) return crosses(p, a, zoom);
  if ((how & ZOHIT_INSIDE) != 0) return has_point_inside(p, a, zoom);
  return false;
}

bool caught_shape(ZoPath* p, uint32_t how, const Area& a, double zoom) {
  bool caught = false;
  for_each_joined(p, [&](ZoPath* q) { caught = caught || caught_record(q, how, a, zoom); });
  return caught;
}

// The shapes a rectangle is tested against: the group's wrap baseline alone when it is drawn
// last, otherwise each joined shape once, by its first record.
template <typename Fn>
void for_each_shape(ZoPath* head, Fn&& fn) {
  ZoPath* last = list_tail(head);
  if ((last->flags & ZOF_WRAP_BASELINE) != 0) {
    fn(last);
    return;
  }
  for (ZoPath* p = head; p != nullptr; p = p->next)
    if (joined_head(p) == p) fn(p);
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathPtInRect(const RECT* rect, ZoPath* path, CoordStruct* view, uint32_t how,
                               uint32_t* flag) {
  if (flag != nullptr) *flag = 0;
  Area a;
  if (path == nullptr || how > 4 || !area_of(rect, view, &a) || !is_selected(path)) return 0;
  const PathNode* nodes = nodes_of(path);
  uint32_t inside = 0;
  bool insideUnselected = false, outsideSelected = false;
  for_each_anchor(path, [&](uint32_t i) {
    bool selected = (nodes[i].type & PT_SELECTED) != 0;
    if (a.strictly_inside(point_of(path, i))) {
      ++inside;
      insideUnselected = insideUnselected || !selected;
    } else {
      outsideSelected = outsideSelected || selected;
    }
  });
  bool change = false;
  if (how == 1) {
    change = insideUnselected || outsideSelected;
    if (!change && inside == 0) change = envelope::wrap_type(path) == envelope::kNone;
  } else if (how == 2) {
    change = insideUnselected;
  } else if (how == 3) {
    change = inside > 0;
  }
  if (flag != nullptr) *flag = change ? 1 : 0;
  return inside;
}

ZO_API uint32_t ZoPathRectClipPt(const RECT* rect, ZoPath* path, uint32_t /*ignored*/,
                                 CoordStruct* view, uint32_t how) {
  Area a;
  if (path == nullptr || how > 4 || !is_selected(path) || !area_of(rect, view, &a)) return 0;
  uint32_t total = 0;
  for (ZoPath* p = path; p != nullptr; p = p->selNext) {
    if (polygon::is_polygon(p) && polygon::has_regular_sides(p)) {
      try {
        total += polygon::select_in_rect(
            p, [&](const PathNode& n) { return a.strictly_inside(to_db(n.pt)); }, how);
      } catch (const std::bad_alloc&) {
        ZO_REPORT_NO_MEMORY();
      }
      continue;
    }
    if (how == 1) clear_points(p);
    PathNode* nodes = nodes_of(p);
    for_each_anchor(p, [&](uint32_t i) {
      if (!a.strictly_inside(point_of(p, i))) return;
      ++total;
      if (how == 1 || how == 2) nodes[i].type |= PT_SELECTED;
      if (how == 3 || how == 4) nodes[i].type ^= PT_SELECTED;
    });
    if (how != 0) sync_point_flag(p);
  }
  return total;
}

ZO_API uint32_t ZoPathRectClip(const RECT* rect, ZoPathTbl* table, HDC dc, CoordStruct* view,
                               uint32_t how, uint32_t* out) {
  if (out != nullptr) *out = 0;
  Area a;
  if (table == nullptr || !area_of(rect, view, &a)) return 0;
  ZoPath* first = current_group(table).first;
  if (first == nullptr) return 2;
  ZoPath* head = list_head(first);
  const double zoom = view->zoom;
  const bool replace = (how & ZOHIT_REPLACE) != 0, add = (how & ZOHIT_ADD) != 0,
             toggle = (how & ZOHIT_TOGGLE) != 0;
  bool anyCaught = false, changed = false;
  if ((how & ZOHIT_TEST) != 0) {
    if ((how & ZOHIT_CROSSING) == 0) return 2;
    bool anySelected = false;
    for_each_shape(head, [&](ZoPath* shape) {
      bool caught = caught_shape(shape, ZOHIT_CROSSING, a, zoom), selected = is_selected(shape);
      anyCaught = anyCaught || caught;
      anySelected = anySelected || selected;
      if (replace && caught != selected) changed = true;
      if (add && caught && !selected) changed = true;
      if (toggle && caught) changed = true;
    });
    if (out != nullptr) *out = changed ? 1 : 0;
    bool some = (replace && anyCaught) || ((add || toggle) && (anyCaught || anySelected));
    return some ? 1 : 2;
  }
  const Screen screen{dc, view};
  // Replacing leaves only the caught shapes selected: everything outside the shapes tested
  // (the rest of the list behind a wrap baseline) is let go first.
  ZoPath* last = list_tail(head);
  if (replace && (last->flags & ZOF_WRAP_BASELINE) != 0) {
    for (ZoPath* p = head; p != last; p = p->next)
      if (is_selected(p)) deselect_shape(screen, p);
  }
  for_each_shape(head, [&](ZoPath* shape) {
    bool caught = caught_shape(shape, how, a, zoom), selected = is_selected(shape);
    anyCaught = anyCaught || caught;
    if (toggle) {
      if (!caught) return;
      selected ? deselect_shape(screen, shape) : select_shape(screen, shape);
      changed = true;
    } else if (replace || add) {
      if (caught && !selected) {
        select_shape(screen, shape);
        changed = true;
      } else if (caught && replace) {
        for_each_joined(shape, [&](ZoPath* q) {
          if (has_points(q)) restyle(screen, q, [q] { clear_points(q); });
          if (has_segments(q)) clear_segments(screen, q, nullptr);
        });
      } else if (!caught && replace && selected) {
        deselect_shape(screen, shape);
        changed = true;
      }
    }
  });
  if (replace || add || toggle) set_table_selection(table, rebuild_chain(screen, head, true));
  if (out != nullptr) *out = changed ? 1 : 0;
  return anyCaught ? 1 : 2;
}

}  // extern "C"
