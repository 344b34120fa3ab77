// The calls around a wrap: comparing subpaths and wrap settings, the stored baseline (marking,
// selecting, separating, copying, appending), list flags, truncation and reversal.
#include <cmath>
#include <cstring>

#include "model/chains.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "outline/outline_info.hpp"
#include "platform/host_library.hpp"
#include "shapes/polygon_rules.hpp"
#include "wrap_info.hpp"

using namespace zo;

namespace {

constexpr uint32_t kStoredBaselineFlags = ZOF_SELECTED | ZOF_WRAP_BASELINE;

void deselect_with_links(ZoPath* p) {
  deselect_fully(p);
  p->selPrev = p->selNext = nullptr;
}

bool close_enough(double a, double b) { return std::fabs(a - b) <= 0.0001; }

// Reverses the outline nodes 0..last in place: the points run backwards, each node takes the
// segment kind of the node that followed its point, and keeps its own other bits.
void reverse_outline(ZoPath* p, uint32_t last) {
  PathNode* n = nodes_of(p);
  const uint16_t kindBits = PT_KIND_MASK | PT_CLOSEFIGURE;
  uint16_t closed = n[last].type & PT_CLOSEFIGURE;
  for (uint32_t i = 0, j = last; i < j; ++i, --j) std::swap(n[i], n[j]);
  for (uint32_t k = last; k >= 1; --k)
    n[k].type = static_cast<uint16_t>((n[k].type & ~kindBits) | kind_of(n[k - 1].type));
  n[0].type = static_cast<uint16_t>((n[0].type & ~kindBits) | PT_MOVETO);
  n[last].type |= closed;
}

}  // namespace

extern "C" {

ZO_API uint32_t IsSameSubpath(const ZoPath* a, const ZoPath* b) {
  if (a == nullptr || b == nullptr) return 0;
  if (a->count != b->count || a->flags != b->flags || a->primitiveKind != b->primitiveKind)
    return 0;
  return std::memcmp(nodes_of(a), nodes_of(b), a->count * sizeof(PathNode)) == 0 ? 1 : 0;
}

ZO_API uint32_t IsSameWrapInfo(const ZoPathWrapInfo* a, const ZoPathWrapInfo* b) {
  if (a == nullptr || b == nullptr) return a == b ? 1 : 0;
  bool baseline = a->baseline == nullptr && b->baseline == nullptr
                      ? a->bend == b->bend
                      : IsSameSubpath(a->baseline, b->baseline) == 1;
  bool settings = a->fit == b->fit && a->count == b->count && a->rotate == b->rotate &&
                  a->followNormal == b->followNormal && a->deform == b->deform &&
                  a->startHeight == b->startHeight && a->endHeight == b->endHeight &&
                  a->cornerMode == b->cornerMode && a->closed == b->closed && a->flag == b->flag;
  bool values = close_enough(a->spacing, b->spacing) && close_enough(a->start, b->start);
  if (a->text == 0 && b->text == 0)
    values = values && close_enough(a->sizeOrRef.verticalRef, b->sizeOrRef.verticalRef);
  return baseline && settings && values ? 1 : 0;
}

ZO_API uint32_t ZoPathIsWrapBaseline(ZoPath* path) {
  return path != nullptr && (path->flags & ZOF_WRAP_BASELINE) != 0 ? 1 : 0;
}

ZO_API uint32_t ZoPathSelectWrapBaseline(ZoPath* list, int32_t node, int32_t segment) {
  if (list == nullptr) return 0;
  ZoPath* last = list_tail(list);
  if (ZoPathIsWrapBaseline(last) == 0) return 0;
  deselect_with_links(last);
  last->flags |= ZOF_SELECTED;
  if (node >= 0 && static_cast<uint32_t>(node) < last->count) {
    nodes_of(last)[node].type |= PT_SELECTED;
    last->flags |= ZOF_HAS_SEL_POINTS;
  } else if (node < 0 && segment >= 0 && static_cast<uint32_t>(segment) < last->count) {
    nodes_of(last)[segment].type |= PT_SEGMENT_MARK;
    last->flags |= ZOF_HAS_SEL_SEGMENT;
  }
  return 1;
}

ZO_API ZoPath* ZoPathSeparateBaselineFromTable(ZoPathTbl* table, int32_t* node,
                                               int32_t* segment) {
  if (table == nullptr) return nullptr;
  ZoPath* base = current_group(table).selected;
  if (ZoPathIsWrapBaseline(base) == 0 || base->next != nullptr) return nullptr;
  if (base->prev != nullptr) base->prev->next = nullptr;
  base->prev = nullptr;
  table->groups[0].selected = nullptr;
  if (node != nullptr) *node = -1;
  if (segment != nullptr) *segment = -1;
  const PathNode* n = nodes_of(base);
  for (uint32_t i = 0; i < base->count; ++i) {
    if (node != nullptr && (n[i].type & PT_SELECTED) != 0) {
      *node = static_cast<int32_t>(i);
      break;
    }
    if (segment != nullptr && (n[i].type & PT_SEGMENT_MARK) != 0) {
      *segment = static_cast<int32_t>(i);
      break;
    }
  }
  deselect_with_links(base);
  return base;
}

ZO_API ZoPath* ZoPathMakeACopyOfBaseline(ZoPathTbl* table) {
  if (table == nullptr) return nullptr;
  ZoPath* base = current_group(table).selected;
  if (ZoPathIsWrapBaseline(base) == 0) return nullptr;
  ZoPath* copy = nullptr;
  ZoPathDuplicatePtrSingle(base, &copy);  // reports 1001 itself
  return copy;
}

ZO_API uint32_t ZoPathSetPathFlags(ZoPath* list, int32_t select, int32_t baseline,
                                   int32_t clearText) {
  if (list == nullptr) return 0;
  ZoPath* head = list_head(list);
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (select != 0) {
      deselect_with_links(p);
      p->flags |= ZOF_SELECTED;
    }
    if (baseline == 0) p->flags &= ~ZOF_WRAP_BASELINE;
    if (clearText != 0) p->flags &= ~(ZOF_TEXT_CHAR | ZOF_TEXT_LINE);
  }
  if (baseline != 0) list_tail(head)->flags |= ZOF_WRAP_BASELINE;
  return 1;
}

ZO_API uint32_t ZoPathWrapGetTruncatePosX(ZoPath* list, int32_t vertical,
                                          const ZoPathWrapInfo* info) {
  const uint32_t kNone = 0xFFFFFFFFu;
  if (list == nullptr || info == nullptr || info->baseline == nullptr || info->count > 0)
    return kNone;
  if ((vertical != 0) != (info->rotate == 1)) return kNone;
  RectDB box;
  if (!deform::source_box(list_head(list), &box)) return kNone;
  double extent = (vertical != 0 ? box.bottom - box.top : box.right - box.left) *
                  (1.0 + info->spacing);
  double available = ZoPathGetLength2(info->baseline);
  if (!is_closed(info->baseline)) available *= 1.0 - info->start;
  if (!(extent > available) || !(available >= 0.0) || available >= 4294967295.0) return kNone;
  return static_cast<uint32_t>(std::floor(available));
}

ZO_API uint32_t ZoPathInvertSubpaths(ZoPath* path) {
  if (path == nullptr) return 0;
  if ((path->flags & 0x8C000000u) != ZOF_SELECTED) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  uint32_t last = 0;
  for_each_segment(path, [&](uint32_t, uint32_t end) { return last = end, true; });
  if (last > 0) reverse_outline(path, last);
  return 1;
}

ZO_API uint32_t ZoPathAddWrapPath(ZoPath* list, const ZoPathWrapInfo* info) {
  if (list == nullptr || info == nullptr || info->baseline == nullptr) return 0;
  ZoPath* head = list_head(list);
  ZoPath* last = list_tail(head);
  if (last->count == 1 && last->prev == nullptr) return 0;
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtrSingle(info->baseline, &copy) == 0) return 0;
  if (last->count == 1) {
    ZoPath* before = last->prev;
    unlink_from_chains(last);
    record_release(last);
    last = before;
  }
  for (ZoPath* p = head; p != nullptr; p = p->next) deselect_with_links(p);
  ZoPathJoinAll(head);
  deselect_with_links(copy);
  if (has_attachment(copy)) outline_info_delete(attachment_of(copy));  // baselines carry none
  copy->joinNext = nullptr;
  copy->flags = kStoredBaselineFlags;
  if (polygon::is_polygon(info->baseline)) polygon::copy_marks(copy, info->baseline);
  last->next = copy;
  copy->prev = last;
  return 1;
}

}  // extern "C"
