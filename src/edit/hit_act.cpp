// The host's node and segment commands (its context menu), applied to what an earlier click
// hit.
#include <new>
#include <vector>

#include "model/node_walk.hpp"
#include "platform/host_library.hpp"
#include "render/display.hpp"
#include "selection_state.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

enum Command : uint32_t {
  kSelectPath = 18001,
  kDeselectAll = 18002,
  kAddPath = 18003,
  kSubdivide = 18019,
  kSelectSegment = 18026,
  kSelectNode = 18027,
  kSelectNode2 = 18030,
  kTogglePath = 18031,
  kToggleNode = 18035,
  kAddNode = 18036,
  kSelectSegment2 = 18038,
  kToggleSegment = 18041,
  kAddSegment = 18042,
  kFirstCommand = 18001,
  kLastCommand = 18042,
};

constexpr int kModeShowSegments = 5, kModeHideSegments = 6;

// The node a node command acts on: a closed figure's first node is its last.
uint32_t node_for(const ZoPath* p, uint32_t index) {
  return index == 0 && is_closed(p) ? p->count - 1 : index;
}

bool any_segment_mark(const ZoPath* p) {
  const PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i)
    if ((nodes[i].type & PT_SEGMENT_MARK) != 0) return true;
  return false;
}

// One outline pass over the given segments only, by marking them for the pass alone; the
// node types are kept aside in scratch (reserved by the caller, so the pass cannot fail).
void segments_pass(const Screen& s, ZoPath* p, std::initializer_list<uint32_t> starts, int mode,
                   std::vector<uint16_t>& scratch) {
  PathNode* nodes = nodes_of(p);
  scratch.clear();
  for (uint32_t i = 0; i < p->count; ++i) {
    scratch.push_back(nodes[i].type);
    nodes[i].type &= static_cast<uint16_t>(~PT_SEGMENT_MARK);
  }
  for (uint32_t i : starts)
    if (i < p->count) nodes[i].type |= PT_SEGMENT_MARK;
  s.pass(p, mode, nullptr);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].type = scratch[i];
}

struct Act {
  const Screen& screen;
  ZoPathTbl* table;
  ZoPathHit* hit;

  ZoPath* head() const { return list_head(current_group(table).first); }
  void rebuild() const { set_table_selection(table, rebuild_chain(screen, head(), true)); }

  // Node marks change with the handles redrawn.
  template <typename Change>
  void nodes(ZoPath* p, Change&& change) const {
    restyle(screen, p, [&] {
      change();
      sync_point_flag(p);
    });
  }

  // Segment marks change with the highlight following them.
  template <typename Change>
  void segments(ZoPath* p, Change&& change) const {
    if (has_segments(p)) screen.pass(p, display::kModeUnhighlight, nullptr);
    change();
    p->flags =
        any_segment_mark(p) ? (p->flags | ZOF_HAS_SEL_SEGMENT) : (p->flags & ~ZOF_HAS_SEL_SEGMENT);
    if (has_segments(p)) screen.pass(p, display::kModeHighlight, nullptr);
  }

  // Node selections go once the split is made; a failed split leaves the path as it was.
  bool subdivide(ZoPath* p, uint32_t index, uint16_t t) const {
    if (!starts_segment(p, index)) return false;
    const bool polygon = polygon::has_regular_sides(p);
    std::vector<uint16_t> scratch;
    scratch.reserve(p->count + 3);
    const bool selected = is_selected(p);
    if (selected) screen.handles(p);
    // A polygon splits every side: its whole outline is taken down and put up again.
    if (polygon) {
      screen.pass(p, display::kModeHide, nullptr);
    } else {
      segments_pass(screen, p, {index}, kModeHideSegments, scratch);
    }
    ZoPath* split = polygon ? polygon::subdivide_sides(table, p, index, t)
                            : ZoPathSubdivide(table, p, index, t);
    if (split != nullptr) clear_points(split);
    ZoPath* shown = split != nullptr ? split : p;
    if (polygon) {
      screen.pass(shown, display::kModeShow, nullptr);
    } else if (split == nullptr) {
      segments_pass(screen, p, {index}, kModeShowSegments, scratch);
    } else {
      segments_pass(screen, split, {index, segment_end(nodes_of(split), index)}, kModeShowSegments,
                    scratch);
      if (has_segments(split)) screen.pass(split, display::kModeHighlight, nullptr);
    }
    if (selected) screen.handles(shown);
    if (split == nullptr) return false;
    hit->path = split;
    return true;
  }

  bool run(uint32_t command) const {
    ZoPath* p = hit->path;
    const uint32_t index = hit->index;
    switch (command) {
      case kSelectPath:
        deselect_list(screen, head(), true);
        select_shape(screen, p);
        rebuild();
        return true;
      case kDeselectAll:
        deselect_list(screen, head(), true);
        rebuild();
        return true;
      case kAddPath:
        select_shape(screen, p);
        rebuild();
        return true;
      case kTogglePath:
        is_selected(p) ? deselect_shape(screen, p) : select_shape(screen, p);
        rebuild();
        return true;
      case kSubdivide:
        return subdivide(p, index, hit->param);
      default:
        break;
    }
    if (index >= p->count) return false;
    const bool polygon = polygon::has_regular_sides(p);
    PathNode* n = nodes_of(p);
    switch (command) {
      case kSelectSegment:
      case kSelectSegment2:
        nodes(p, [p] { clear_points(p); });
        segments(p, [&] {
          if (polygon) {
            polygon::select_segment(p, index, polygon::kSelectOnly);
            return;
          }
          for (uint32_t i = 0; i < p->count; ++i) n[i].type &= uint16_t(~PT_SEGMENT_MARK);
          if (starts_segment(p, index)) n[index].type |= PT_SEGMENT_MARK;
        });
        return true;
      case kSelectNode:
      case kSelectNode2:
        nodes(p, [&] {
          if (polygon) {
            polygon::select_node(p, index, polygon::kSelectOnly);
            return;
          }
          clear_points(p);
          n[node_for(p, index)].type |= PT_SELECTED;
        });
        return true;
      case kToggleNode:
        nodes(p, [&] {
          if (!polygon || !polygon::select_node(p, index, polygon::kToggle))
            n[node_for(p, index)].type ^= PT_SELECTED;
        });
        return true;
      case kAddNode:
        nodes(p, [&] {
          if (!polygon || !polygon::select_node(p, index, polygon::kAdd))
            n[node_for(p, index)].type |= PT_SELECTED;
        });
        return true;
      case kToggleSegment:
        segments(p, [&] {
          if (polygon) {
            polygon::select_segment(p, index, polygon::kToggle);
          } else if (starts_segment(p, index)) {
            n[index].type ^= PT_SEGMENT_MARK;
          }
        });
        return true;
      case kAddSegment:
        segments(p, [&] {
          if (polygon) polygon::select_segment(p, index, polygon::kAdd);
          if (starts_segment(p, index)) n[index].type |= PT_SEGMENT_MARK;
        });
        return true;
      default:
        return true;
    }
  }
};

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathHitAct(uint32_t command, HDC dc, CoordStruct* view, ZoPathTbl* table,
                             ZoPathHit* hit) {
  if (table == nullptr || view == nullptr || hit == nullptr) return 0;
  if (command < kFirstCommand || command > kLastCommand) return 1;
  ZoPath* first = current_group(table).first;
  if (first == nullptr) return 0;
  // The hit must still name a subpath of the current group.
  const bool needsPath = command != kDeselectAll;
  if (needsPath && (hit->path == nullptr || !in_list(list_head(first), hit->path))) return 0;
  const Screen screen{dc, view};
  try {
    return Act{screen, table, hit}.run(command) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

}  // extern "C"
