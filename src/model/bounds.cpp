#include "bounds.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "node_walk.hpp"
#include "platform/host_library.hpp"
#include "records.hpp"

namespace zo::bounds {

namespace {

struct Extent {
  double left, top, right, bottom;
  void add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// Calls fn(subpath) for each subpath the mode takes; false when the mode refuses the start.
template <typename Fn>
bool for_each_member(ZoPath* start, int mode, bool stopAfterAttachment, Fn&& fn) {
  switch (mode) {
    case kJoin:
      for (ZoPath* p = start; p != nullptr; p = p->joinNext) {
        fn(p);
        if (has_attachment(p)) break;
      }
      return true;
    case kSelection:
      for (ZoPath* p = start; p != nullptr && is_selected(p); p = p->selNext) fn(p);
      return true;
    case kTextChar:
      if ((start->flags & ZOF_TEXT_CHAR) == 0) return false;
      fn(start);
      if (has_attachment(start)) return true;
      for (ZoPath* p = start->joinNext; p != nullptr && (p->flags & ZOF_TEXT_CHAR) == 0;
           p = p->joinNext) {
        fn(p);
        if (has_attachment(p)) break;
      }
      return true;
    case kSingle:
      fn(start);
      return true;
    default:
      for (ZoPath* p = start; p != nullptr; p = p->next) {
        fn(p);
        if (stopAfterAttachment && has_attachment(p)) break;
      }
      return true;
  }
}

}  // namespace

void frame_corners(const ZoPath* p, PointDB corners[4]) {
  const PathNode* nodes = nodes_of(p);
  double x1 = fix_to_db(nodes[0].pt.x), y1 = fix_to_db(nodes[0].pt.y);
  double x2 = fix_to_db(nodes[1].pt.x), y2 = fix_to_db(nodes[1].pt.y);
  double angle = p->count > 2 ? fix_to_db(nodes[2].pt.x) : 0.0;
  double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  double c = std::cos(angle), s = std::sin(angle);
  const PointDB unrotated[4] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
  auto to16 = [](double v) {
    return std::isfinite(v) && std::fabs(v) < 2147483648.0
               ? static_cast<int16_t>(static_cast<int32_t>(v))
               : int16_t{0};
  };
  for (int i = 0; i < 4; ++i) {
    double x = (unrotated[i].x - cx) * c + (unrotated[i].y - cy) * s + cx;
    double y = (cx - unrotated[i].x) * s + (unrotated[i].y - cy) * c + cy;
    corners[i] = PointDB{static_cast<double>(to16(x)), static_cast<double>(to16(y))};
  }
}

namespace {

template <typename Add>
void add_frame_corners(const ZoPath* p, Add&& add) {
  PointDB corners[4];
  frame_corners(p, corners);
  for (const PointDB& corner : corners) add(corner.x, corner.y);
}

enum class Contribution { Frame, Nothing, Nodes };
Contribution contribution_of(const ZoPath* p) {
  uint16_t marker = shape_marker(p);
  if (marker == PT_PARAM_PAIR) return Contribution::Frame;
  if (marker == PT_PARAM_PAIR2) return Contribution::Nothing;
  return Contribution::Nodes;
}

Extent start_extent(const ZoPath* p) {
  Ptfx first = p->count > 0 ? nodes_of(p)[0].pt : Ptfx{0, 0};
  double x = fix_int(first.x), y = fix_int(first.y);
  return Extent{x, y, x, y};
}

bool unit_scale(double s) { return s == 1.0; }

// The curve points of one subpath's nodes, Bezier triples traced rather than their
// control points; coordinates in 1/65536 pixel.
void add_shape_nodes(const ZoPath* p, Extent& e) {
  const PathNode* nodes = nodes_of(p);
  PointDB current{0.0, 0.0};
  for (uint32_t i = 0; i < p->count;) {
    uint16_t type = nodes[i].type;
    if (is_parameter(type) || kind_of(type) == 0) {
      i += node_run_length(type);
      continue;
    }
    PointDB here{static_cast<double>(nodes[i].pt.x), static_cast<double>(nodes[i].pt.y)};
    if (!is_bezier(type) || i + 2 >= p->count) {
      e.add(here.x * kFixUnit, here.y * kFixUnit);
      current = here;
      i += is_bezier(type) ? 3 : 1;
      continue;
    }
    PointDB c2{static_cast<double>(nodes[i + 1].pt.x), static_cast<double>(nodes[i + 1].pt.y)};
    PointDB end{static_cast<double>(nodes[i + 2].pt.x), static_cast<double>(nodes[i + 2].pt.y)};
    forward_difference_cubic(current, here, c2, end, StepLimits{60000.0, 30000.0},
                             [&](PointDB q) { e.add(q.x * kFixUnit, q.y * kFixUnit); });
    e.add(end.x * kFixUnit, end.y * kFixUnit);
    current = end;
    i += 3;
  }
}

// The extent of the members `mode` selects, starting at the first node: a frame shape adds its
// corners, a subpath left out of bounds nothing, any other subpath what `addNodes` adds.
template <typename AddNodes>
bool member_extent(ZoPath* p, int mode, bool stopAfterAttachment, AddNodes addNodes, Extent* e) {
  *e = start_extent(p);
  return for_each_member(p, mode, stopAfterAttachment, [&](ZoPath* m) {
    switch (contribution_of(m)) {
      case Contribution::Frame:
        add_frame_corners(m, [&](double x, double y) { e->add(x, y); });
        break;
      case Contribution::Nothing:
        break;
      case Contribution::Nodes:
        addNodes(m, *e);
        break;
    }
  });
}

}  // namespace

bool integer_rect(ZoPath* p, int mode, double scale, bool margin, RECT* out) {
  if (p == nullptr || out == nullptr) return false;
  Extent e;
  auto nodes = [](ZoPath* m, Extent& x) {
    for_each_point(m, [&](const PathNode& n) { x.add(fix_int(n.pt.x), fix_int(n.pt.y)); });
  };
  if (!member_extent(p, mode, false, nodes, &e)) return false;
  RECT r{static_cast<int32_t>(e.left), static_cast<int32_t>(e.top), static_cast<int32_t>(e.right),
         static_cast<int32_t>(e.bottom)};
  if (!unit_scale(scale)) {
    auto scaled = [scale](int32_t v) {
      double d = std::trunc(v * scale);
      return std::isfinite(d) && std::fabs(d) < 2147483647.0 ? static_cast<int32_t>(d) : 0;
    };
    r = RECT{scaled(r.left), scaled(r.top), scaled(r.right), scaled(r.bottom)};
  }
  if (margin)
    r = RECT{r.left - kMarginBefore, r.top - kMarginBefore, r.right + kMarginAfter,
             r.bottom + kMarginAfter};
  *out = r;
  return true;
}

bool double_rect(ZoPath* p, int mode, double scale, bool margin, RectDB* out) {
  if (p == nullptr || out == nullptr) return false;
  Extent e;
  auto nodes = [](ZoPath* m, Extent& x) {
    for_each_point(m, [&](const PathNode& n) { x.add(fix_to_db(n.pt.x), fix_to_db(n.pt.y)); });
  };
  if (!member_extent(p, mode, true, nodes, &e)) return false;
  RectDB r{e.left, e.top, e.right, e.bottom};
  if (!unit_scale(scale))
    r = RectDB{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
  if (margin) r = RectDB{r.left - 5.0, r.top - 5.0, r.right + 6.0, r.bottom + 6.0};
  *out = r;
  return true;
}

bool shape_rect(ZoPath* p, int mode, double scale, RectDB* out) {
  if (p == nullptr || out == nullptr) return false;
  Extent e;
  if (!member_extent(p, mode, true, add_shape_nodes, &e)) return false;
  RectDB r{e.left, e.top, e.right, e.bottom};
  if (!unit_scale(scale))
    r = RectDB{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
  *out = r;
  return true;
}

}  // namespace zo::bounds

using namespace zo;

namespace {

double scale_of(uint32_t scale) { return fix_to_db(static_cast<int32_t>(scale)); }

double fraction(double v) { return v - std::floor(v); }

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathGetMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out) {
  return bounds::integer_rect(path, bounds::kJoin, scale_of(scale), true, out) ? 1 : 0;
}

ZO_API uint32_t ZoPathGetAllMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out) {
  return bounds::integer_rect(path, bounds::kList, scale_of(scale), true, out) ? 1 : 0;
}

ZO_API uint32_t ZoPathGetSelectedRect(ZoPath* path, uint32_t scale, RECT* out) {
  return bounds::integer_rect(path, bounds::kSelection, scale_of(scale), true, out) ? 1 : 0;
}

ZO_API uint32_t ZoPathGetUnselectedRect(ZoPath* path, uint32_t scale, RECT* out) {
  return bounds::integer_rect(path, bounds::kList, scale_of(scale), true, out) ? 1 : 0;
}

ZO_API void ZoPathGetRect(ZoPath* path, uint32_t scale, RECT* out) {
  if (out == nullptr) return;
  if (path == nullptr) {
    *out = RECT{0, 0, 0, 0};
    return;
  }
  RECT r{10000, 10000, -10000, -10000};
  auto add = [&](double x, double y) {
    int32_t ix = static_cast<int32_t>(x), iy = static_cast<int32_t>(y);
    r = RECT{std::min(r.left, ix), std::min(r.top, iy), std::max(r.right, ix),
             std::max(r.bottom, iy)};
  };
  uint16_t marker = shape_marker(path);
  if (marker == PT_PARAM_PAIR) {
    PointDB corners[4];
    bounds::frame_corners(path, corners);
    for (const PointDB& corner : corners) add(corner.x, corner.y);
  } else if (marker != PT_PARAM_PAIR2) {
    for_each_point(path, [&](const PathNode& n) { add(fix_int(n.pt.x), fix_int(n.pt.y)); });
  }
  double s = scale_of(scale);
  if (s != 1.0) {
    auto rounded = [s](int32_t v) {
      double d = std::trunc(v * s + 0.5);
      return std::isfinite(d) && std::fabs(d) < 2147483647.0 ? static_cast<int32_t>(d) : 0;
    };
    r = RECT{rounded(r.left), rounded(r.top), rounded(r.right), rounded(r.bottom)};
  }
  *out = r;
}

ZO_API uint32_t ZoPathGetDoubleMiniMaxRect(ZoPath* path, uint32_t scale, RectDB* out,
                                           uint32_t join) {
  return bounds::double_rect(path, join != 0 ? bounds::kJoin : bounds::kList, scale_of(scale), true,
                             out)
             ? 1
             : 0;
}

ZO_API uint32_t ZoPathGetDoubleRectNoMargin(ZoPath* path, RectDB* out, uint32_t join) {
  return bounds::double_rect(path, join != 0 ? bounds::kJoin : bounds::kList, 1.0, false, out) ? 1
                                                                                               : 0;
}

ZO_API uint32_t ZoPathGetDoubleShapeRectNoMargin(ZoPath* path, RectDB* out, uint32_t join) {
  return bounds::shape_rect(path, join != 0 ? bounds::kJoin : bounds::kList, 1.0, out) ? 1 : 0;
}

ZO_API uint32_t ZoPathGetMargin(ZoPath* list, int32_t mode, uint32_t margins[4]) {
  if (list == nullptr || margins == nullptr || has_attachment(list_head(list))) return 0;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  if (list->count > 0) {
    minX = maxX = fix_to_db(nodes_of(list)[0].pt.x);
    minY = maxY = fix_to_db(nodes_of(list)[0].pt.y);
  }
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    uint16_t marker = shape_marker(p);
    if (marker == PT_PARAM_PAIR || marker == PT_PARAM_PAIR2) continue;
    for_each_point(p, [&](const PathNode& n) {
      double x = fix_to_db(n.pt.x), y = fix_to_db(n.pt.y);
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    });
  }
  if (mode == 0) {
    margins[0] = fraction(minX) < 0.55 ? 5 : 6;
    margins[1] = fraction(minY) < 0.5 ? 5 : 6;
    margins[2] = fraction(maxX) > 0.45 ? 5 : 6;
    margins[3] = fraction(maxY) > 0.45 ? 5 : 6;
  } else {
    margins[0] = fraction(minX) < 0.5 ? 5 : 6;
    margins[1] = fraction(minY) < 0.5 ? 5 : 6;
    margins[2] = fraction(maxX) > 0.5 ? 4 : 5;
    margins[3] = fraction(maxY) > 0.5 ? 4 : 5;
  }
  return 1;
}

ZO_API ZoPath* ZoPathExtractSingleSubPath(ZoPath* list, uint32_t n) {
  if (list == nullptr || n == 0) return nullptr;
  ZoPath* p = list_head(list);
  for (uint32_t i = 1; p != nullptr && i < n; ++i) p = p->next;
  if (p == nullptr) return nullptr;
  ZoPath* copy = record_copy(p);
  if (copy == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  copy->prev = copy->next = copy->joinPrev = copy->joinNext = copy->selPrev = copy->selNext =
      nullptr;
  copy->flags = 0;
  return copy;
}

}  // extern "C"
