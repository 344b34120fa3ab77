// Structural questions the editing tools ask before they act: counts, segment kinds, and
// whether a node or segment command would leave a valid figure.
#include "node_walk.hpp"
#include "records.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;

namespace {

bool node_selected(const PathNode& n) { return (n.type & PT_SELECTED) != 0; }

// Whether deleting the selected points of an open subpath leaves a figure.
bool open_points_can_be_deleted(const ZoPath* p) {
  const PathNode* nodes = nodes_of(p);
  if (p->count <= 1) return false;
  uint32_t from = 0;  // segment ends after this node are asked
  if (node_selected(nodes[0])) {
    if (segment_count(p) <= 1) return false;
    from = segment_end(nodes, 0);
  }
  bool keeps = false;
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    if (end > from && !node_selected(nodes[end])) keeps = true;
    return !keeps;
  });
  return keeps;
}

// A closed subpath needs more than two ends left, or two joined by at least one curve.
bool closed_points_can_be_deleted(const ZoPath* p) {
  const PathNode* nodes = nodes_of(p);
  uint32_t kept = 0;
  bool curve[2] = {false, false};
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    bool isCurve = is_bezier(nodes[end].type);
    if (!node_selected(nodes[end])) {
      if (++kept <= 2) curve[kept - 1] = isCurve;
    } else if (kept >= 1 && kept <= 2) {
      curve[kept - 1] = curve[kept - 1] || isCurve;
    }
    return true;
  });
  return kept > 2 || (kept == 2 && (curve[0] || curve[1]));
}

int32_t simplest_open(const ZoPath* p) {
  if (p->count > 4) return 1;
  if (p->count < 2) return -1;
  uint32_t n = segment_count(p);
  return n == 0 ? -1 : n == 1 ? 0 : 1;
}

int32_t simplest_closed(const ZoPath* p) {
  if (p->count > 7) return 1;
  if (p->count < 4) return -1;
  const PathNode* nodes = nodes_of(p);
  uint32_t segments = 0;
  bool anyCurve = false;
  for_each_segment(p, [&](uint32_t, uint32_t end) {
    anyCurve = anyCurve || is_bezier(nodes[end].type);
    return ++segments < 3;
  });
  if (segments == 3) return anyCurve ? 1 : 0;
  if (segments == 2) return anyCurve ? 0 : -1;
  return -1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathGetSubpathsNumber(ZoPath* list) {
  if (list == nullptr) return 0;
  uint32_t n = 0;
  for (ZoPath* p = list_head(list); p != nullptr; p = p->next) ++n;
  return n;
}

ZO_API uint32_t ZoPathGetPointsNumber(ZoPath* path) { return path == nullptr ? 0 : path->count; }

ZO_API uint32_t ZoPathDeComposeSubpath(ZoPath* path, PointDB* points) {
  if (path == nullptr) return 0;
  if (points != nullptr) {
    const PathNode* nodes = nodes_of(path);
    for (uint32_t i = 0; i < path->count; ++i)
      points[i] = PointDB{FixToDb(nodes[i].pt.x), FixToDb(nodes[i].pt.y)};
  }
  return path->count;
}

ZO_API void ZoPathOutputSubpathInfo(ZoPath* /*path*/) {}

ZO_API uint32_t ZoPathGetSegmentType(ZoPath* path, int32_t index) {
  if (path == nullptr || index < 0 || static_cast<uint32_t>(index) + 1 >= path->count) return 0;
  uint16_t kind = kind_of(nodes_of(path)[index + 1].type);
  return kind == PT_LINETO ? 1 : kind == PT_BEZIERTO ? 2 : 3;
}

ZO_API uint32_t ZoPathGetSubpathsFlagNumber(ZoPath* list, int32_t mode, uint32_t* number) {
  if (list == nullptr || number == nullptr) return 0;
  uint32_t flag = mode == 1 ? ZOF_TEXT_CHAR : mode == 2 ? ZOF_TEXT_LINE : ZOF_COLOR_PIECE;
  uint32_t n = 0;
  for (ZoPath* p = list_head(list); p != nullptr; p = p->next) n += (p->flags & flag) != 0 ? 1 : 0;
  *number = n;
  return 1;
}

ZO_API uint32_t ZoPathGetCS(ZoPath* list) {
  if (list == nullptr) return 0;
  uint32_t stamp = 0;
  for (ZoPath* p = list_head(list); p != nullptr; p = p->next) {
    stamp += p->count + ((p->flags & ZOF_TEXT_STYLE) != 0 ? 1 : 0);
  }
  return stamp;
}

ZO_API uint32_t ZoPathIsSingleOpenPath(ZoPath* path) {
  if (path == nullptr) return 0;
  return path->prev == nullptr && path->next == nullptr && path->count > 0 && !is_closed(path) ? 1
                                                                                               : 0;
}

ZO_API int32_t ZoPathIsSimplestSubpath(ZoPath* path) {
  if (path == nullptr) return 0;
  if (!is_closed(path)) return simplest_open(path);
  return polygon::is_polygon(path) ? polygon::simplest(path) : simplest_closed(path);
}

ZO_API uint32_t ZoPathSelectedPointsCanBeDelete(ZoPath* path) {
  if (path == nullptr || !is_selected(path) ||
      (path->flags & (ZOF_ENVELOPE_H | ZOF_ENVELOPE_V)) != 0) {
    return 0;
  }
  if (!is_closed(path)) return open_points_can_be_deleted(path) ? 1 : 0;
  if (polygon::is_polygon(path)) return polygon::selected_points_can_be_deleted(path) ? 1 : 0;
  return closed_points_can_be_deleted(path) ? 1 : 0;
}

ZO_API uint32_t ZoPathSelectedSegmentCanBeConverted(ZoPath* path) {
  if (path == nullptr || !is_selected(path)) return 0;
  const PathNode* nodes = nodes_of(path);
  uint32_t i = 0;
  while (i + 1 < path->count && (nodes[i].type & PT_SEGMENT_MARK) == 0) ++i;
  if (i + 1 >= path->count) return 0;
  if (is_line(nodes[i + 1].type)) return 1;
  if (!is_bezier(nodes[i + 1].type)) return 0;
  switch (ZoPathIsSimplestSubpath(path)) {
    case 1:
      return 1;
    case 0:
      return (!is_closed(path) && path->count == 4) || (is_closed(path) && path->count == 7) ? 1
                                                                                             : 0;
    default:
      return 0;
  }
}

ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToCurve(ZoPath* path) {
  if (path == nullptr || !is_selected(path) || (path->flags & ZOF_HAS_SEL_SEGMENT) == 0) return 0;
  const PathNode* nodes = nodes_of(path);
  for (uint32_t i = 0; i + 1 < path->count; ++i) {
    if ((nodes[i].type & PT_SEGMENT_MARK) != 0 && (nodes[i + 1].type & PT_LINETO) != 0) return 1;
  }
  return 0;
}

ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToLine(ZoPath* path) {
  if (path == nullptr || !is_selected(path) || (path->flags & ZOF_HAS_SEL_SEGMENT) == 0) return 0;
  const PathNode* nodes = nodes_of(path);
  bool open = !is_closed(path);
  uint32_t marked = 0, curves = 0, segments = 0;
  bool early = false;
  for_each_segment(path, [&](uint32_t start, uint32_t end) {
    ++segments;
    if (is_bezier(nodes[end].type)) {
      ++curves;
      if ((nodes[start].type & PT_SEGMENT_MARK) != 0 && (open || ++marked == 3)) {
        early = true;
        return false;
      }
    }
    return true;
  });
  if (early) return 1;
  if (marked == 1) return segments >= 3 || (segments == 2 && curves != 1) ? 1 : 0;
  if (marked == 2) return segments > 2 ? 1 : 0;
  return 0;
}

}  // extern "C"
