// The host's questions about the selection and the calls that clear it or set it to one
// shape.
#include "model/node_walk.hpp"
#include "selection_state.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

constexpr uint32_t kPreset = 3;

// Selection answer about one subpath: 0 unselected, 1 selected alone, 3 linked to others.
uint32_t sel_kind_alone(const ZoPath* p) {
  if (!is_selected(p)) return 0;
  return linked_to_others(p) ? 3 : 1;
}

bool joined(const ZoPath* p) {
  return !has_attachment(p) && (p->joinPrev != nullptr || p->joinNext != nullptr);
}

// The whole selection chain: how its members (all but the last) are joined.
uint32_t chain_join_kind(ZoPath* p) {
  ZoPath* first = selection_head(p);
  if (first->selNext == nullptr) return 3;
  bool some = false, all = true;
  for (ZoPath* q = first; q->selNext != nullptr; q = q->selNext) {
    bool has = !has_attachment(q) && q->joinNext != nullptr;
    some = some || has;
    all = all && has;
  }
  return all ? 1 : some ? 2 : 0;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathIsSelected(ZoPath* path) {
  return path != nullptr && is_selected(path) ? 1 : 0;
}

ZO_API uint32_t ZoPathHasSelectedPoint(ZoPath* path) {
  return path != nullptr && has_points(path) ? 1 : 0;
}

ZO_API uint32_t ZoPathHasSelectedSegment(ZoPath* path) {
  return path != nullptr && has_segments(path) ? 1 : 0;
}

ZO_API uint32_t ZoPathIsAllPathsSelected(ZoPath* path) {
  if (path == nullptr) return 0;
  for (ZoPath* p = list_head(path); p != nullptr; p = p->next)
    if (!is_selected(p)) return 0;
  return 1;
}

ZO_API uint32_t ZoPathInfo(ZoPath* path, uint32_t* selKind, uint32_t* joinKind) {
  if (path == nullptr || selKind == nullptr || joinKind == nullptr) return 0;
  if (*selKind == kPreset) {
    *selKind = sel_kind_alone(path);
    *joinKind = joined(path) ? 1 : 0;
  } else {
    *selKind = is_selected(selection_head(path)) ? 1 : 0;
    *joinKind = chain_join_kind(path);
  }
  return 1;
}

ZO_API uint32_t ZoPathGetSelState(ZoPathTbl* table, ZoPath* path) {
  if (path == nullptr && table != nullptr) path = current_group(table).selected;
  if (path == nullptr || !is_selected(path)) return 0;
  if (linked_to_others(path)) return 1;
  if (has_points(path)) return 3;
  if (has_segments(path)) return 4;
  return 2;
}

ZO_API uint32_t ZoPathGetSelectedGroupsNumber(ZoPathTbl* table) {
  if (table == nullptr) return 0;
  uint32_t n = 0;
  for (ZoPath* p = current_group(table).selected; p != nullptr; p = p->selNext)
    n += joined_head(p) == p ? 1 : 0;
  return n;
}

ZO_API uint32_t ZoPathGetSelectedSegmentType(ZoPath* path) {
  if (path == nullptr || !single_selected(path)) return 0;
  const PathNode* nodes = nodes_of(path);
  uint32_t kinds = 0;
  for (uint32_t i = 0; i + 1 < path->count; ++i) {
    if ((nodes[i].type & PT_SEGMENT_MARK) == 0) continue;
    uint16_t next = nodes[i + 1].type & PT_KIND_PARAM_MASK;
    kinds |= next == PT_LINETO ? 1 : next == PT_BEZIERTO && i + 3 < path->count ? 2 : 3;
  }
  return kinds > 3 ? 3 : kinds;
}

ZO_API ZoPath* ZoPathGetSubPathWithSelectedSegment(ZoPathTbl* table, ZoPath* after) {
  if (table == nullptr) return nullptr;
  ZoPath* p = current_group(table).first;
  if (p == nullptr) return nullptr;
  p = list_head(p);
  if (after != nullptr) {
    if (!in_list(p, after)) return nullptr;
    p = after->next;
  }
  for (; p != nullptr; p = p->next)
    if (has_segments(p)) return p;
  return nullptr;
}

ZO_API uint32_t ZoPathDeselectPts(ZoPath* path) {
  if (path != nullptr) clear_points(path);
  return 1;
}

ZO_API uint32_t ZoPathDeSelectAll(HDC dc, ZoPath* path, CoordStruct* view, uint32_t redraw) {
  if (path == nullptr) return 0;
  deselect_list(Screen{dc, view}, path, redraw != 0);
  return 1;
}

ZO_API uint32_t ZoPathSingleSelectPath(ZoPathTbl* table, ZoPath* path, CoordStruct* view, HDC dc,
                                       uint32_t redraw) {
  if (table == nullptr || path == nullptr || table->groups[0].first == nullptr) return 0;
  ZoPath* head = list_head(table->groups[0].first);
  ZoPath* shape = joined_head(path);
  if (!in_list(head, shape)) return 0;
  Screen screen{redraw != 0 ? dc : nullptr, view};
  deselect_list(screen, head, true);
  ZoPath* last = nullptr;
  for_each_joined(shape, [&](ZoPath* q) {
    q->flags |= ZOF_SELECTED;
    q->selPrev = last;
    if (last != nullptr) last->selNext = q;
    last = q;
    screen.handles(q);
  });
  table->groups[0].selected = shape;
  return 1;
}

}  // extern "C"
