// Answering a click: the quick probe of the display buffer, the geometric test, and what
// the hit does to the selection.
#include <algorithm>
#include <cmath>

#include "hit_geometry.hpp"
#include "geometry/fixed_point.hpp"
#include "render/display.hpp"
#include "selection_state.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

constexpr uint32_t kAnyAction = ZOHIT_REPLACE | ZOHIT_ADD | ZOHIT_TEST | ZOHIT_TOGGLE;
constexpr double kTolerancePixels = 4.0;
constexpr int32_t kProbePixels = 4;
constexpr int32_t kSelectedRectSlack = 6;
constexpr uint32_t kHitUnselected = 1, kHitSelected = 2, kMiss = 3;

POINT unpack(int64_t packed) {
  return POINT{static_cast<int32_t>(static_cast<uint64_t>(packed) & 0xFFFFFFFFu),
               static_cast<int32_t>(static_cast<uint64_t>(packed) >> 32)};
}

bool usable_zoom(const CoordStruct* view) { return std::isfinite(view->zoom) && view->zoom > 0.0; }

// Some shown outline pixel lies within the probe square around the window point. A view
// without a display buffer shows nothing to probe, so the geometry decides.
bool outline_nearby(const CoordStruct* view, POINT w) {
  display::Target t;
  if (!display::target_of(view, &t)) return true;
  int32_t x0 = std::max(w.x - kProbePixels, 0), x1 = std::min(w.x + kProbePixels, t.width - 1);
  int32_t y0 = std::max(w.y - kProbePixels, 0), y1 = std::min(w.y + kProbePixels, t.height - 1);
  for (int32_t y = y0; y <= y1; ++y) {
    const uint8_t* row = t.bytes + size_t(y) * size_t(t.width);
    for (int32_t x = x0; x <= x1; ++x)
      if ((row[x] & 0x3F) != 0) return true;
  }
  return false;
}

// Outside the window only the selection's handles can be reached: the point must lie in the
// selection's rectangle at the view's zoom, widened a little.
bool near_selection(const CoordStruct* view, ZoPath* selected, POINT w) {
  RECT r;
  if (selected == nullptr || ZoPathGetSelectedRect(selected, DbToFix(view->zoom), &r) == 0)
    return false;
  int64_t x = int64_t{w.x} + view->scrollX, y = int64_t{w.y} + view->scrollY;
  return x >= int64_t{r.left} - kSelectedRectSlack && x <= int64_t{r.right} + kSelectedRectSlack &&
         y >= int64_t{r.top} - kSelectedRectSlack && y <= int64_t{r.bottom} + kSelectedRectSlack;
}

// The node a click on a node of a lone selected subpath selects.
uint32_t node_to_select(const ZoPath* p, const Hit& hit, int64_t lastSelectedBefore) {
  switch (hit.role) {
    case HitRole::FirstControl:
    case HitRole::SecondControl:
      // Grabbing a control point keeps the node that was being edited.
      if (lastSelectedBefore >= 0) return static_cast<uint32_t>(lastSelectedBefore);
      return hit.role == HitRole::FirstControl ? hit.index - 1 : hit.index + 1;
    default:
      return hit.index == 0 && is_closed(p) ? p->count - 1 : hit.index;
  }
}

int64_t last_selected_node(const ZoPath* p) {
  if (!has_points(p)) return -1;
  const PathNode* nodes = nodes_of(p);
  for (uint32_t i = p->count; i-- > 0;)
    if ((nodes[i].type & PT_SELECTED) != 0) return i;
  return -1;
}

// What the hit does to the selection; returns the result code.
uint32_t apply_hit(const Screen& screen, ZoPath* head, const Hit& hit, uint32_t how) {
  ZoPath* p = hit.path;
  if ((how & ZOHIT_TOGGLE) != 0) {
    if (!is_selected(p)) {
      select_shape(screen, p);
      return kHitUnselected;
    }
    deselect_shape(screen, p);
    return kHitSelected;
  }
  if (is_selected(p)) {
    if (linked_to_others(p)) return kHitSelected;
    int64_t before = last_selected_node(p);
    deselect_list(screen, head, true);
    p->flags |= ZOF_SELECTED;
    if (hit.role != HitRole::Body) {
      p->flags |= ZOF_HAS_SEL_POINTS;
      nodes_of(p)[node_to_select(p, hit, before)].type |= PT_SELECTED;
    }
    screen.handles(p);
    return kHitSelected;
  }
  if ((how & ZOHIT_REPLACE) != 0) deselect_list(screen, head, true);
  if ((how & (ZOHIT_REPLACE | ZOHIT_ADD)) != 0) select_shape(screen, p);
  return kHitUnselected;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathPtOn(int64_t point, uint32_t how, HDC dc, CoordStruct* view, ZoPathTbl* table,
                           ZoPath** path, uint32_t* index, uint16_t* param) {
  if (view == nullptr || table == nullptr || path == nullptr || !usable_zoom(view)) return 0;
  if (index != nullptr) *index = 0;
  if (param != nullptr) *param = 0;
  const POINT w = unpack(point);
  PointDB q;
  ZoPathPtWndToImage(&q, point, view);
  const int64_t width = int64_t{view->rcWindow.right} - view->rcWindow.left;
  const int64_t height = int64_t{view->rcWindow.bottom} - view->rcWindow.top;
  const bool inside = w.x >= 0 && w.y >= 0 && w.x < width && w.y < height;
  ZoPath* start = *path != nullptr ? *path : current_group(table).first;
  *path = nullptr;
  const Screen screen{dc, view};
  PathGroup& group = current_group(table);
  if (start == nullptr) return (how & kAnyAction) == 0 ? 0xFFFFFFFFu : kMiss;
  ZoPath* head = list_head(start);
  auto finish = [&](uint32_t result) {
    set_table_selection(table, rebuild_chain(screen, head, true));
    return result;
  };
  if ((how & kAnyAction) == 0) {
    set_table_selection(table, rebuild_chain(screen, head, false));
    return 0xFFFFFFFFu;
  }
  const bool testOnly = (how & ZOHIT_TEST) != 0;
  if (testOnly || (how & ZOHIT_REPLACE) != 0) {
    bool worth = inside ? outline_nearby(view, w) : near_selection(view, group.selected, w);
    if (!worth) {
      if (testOnly) return kMiss;
      deselect_list(screen, head, true);
      group.selected = nullptr;
      return finish(kMiss);
    }
  }
  HitQuery query{q, kTolerancePixels / view->zoom, inside, !inside};
  Hit hit;
  if (!hit_list(head, query, &hit)) {
    if (testOnly) return kMiss;
    if ((how & ZOHIT_REPLACE) != 0) deselect_list(screen, head, true);
    return finish(kMiss);
  }
  *path = hit.path;
  if (index != nullptr) *index = hit.index;
  if (param != nullptr) *param = hit.param;
  if (testOnly) return is_selected(hit.path) ? kHitSelected : kHitUnselected;
  return finish(apply_hit(screen, head, hit, how));
}

}  // extern "C"
