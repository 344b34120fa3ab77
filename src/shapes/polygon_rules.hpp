// The editing rules of polygon and star subpaths: their nodes repeat one side n times, so
// node editing asks about the first side only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Zo32path.h"

namespace zo::polygon {

inline constexpr uint32_t kSideStyleMask = 0xE000;

inline bool is_polygon(const ZoPath* p) {
  return (p->flags & (ZOF_POLY_STYLE1 | ZOF_POLY_STYLE2)) != 0;
}
inline uint32_t side_count(const ZoPath* p) { return (p->flags >> 5) & 0x3F; }

// Node editing makes the sides irregular: the side style goes, count and style stay.
inline void release_side_style(ZoPath* p) { p->flags &= ~kSideStyleMask; }
// Whether the selected points of a polygon may be deleted.
bool selected_points_can_be_deleted(const ZoPath* p);
// 1 more than minimal, 0 minimal, -1 degenerate, judged on the first side.
int32_t simplest(const ZoPath* p);
// The polygon style: 2 with the second style bit, else 1 with the first, else 0.
inline uint32_t style(const ZoPath* p) {
  return (p->flags & ZOF_POLY_STYLE2) != 0 ? 2 : (p->flags & ZOF_POLY_STYLE1) != 0 ? 1 : 0;
}
// Style 0: the subpath stops being a polygon (side count and side style go too).
inline void clear_marks(ZoPath* p) { p->flags &= ~ZOF_POLY_MARKS; }
// The centre of a polygon of two or more sides, the mean of its side-start vertices (the
// figure repeats one side around the centre); false when the nodes cannot tell it.
bool centre(const ZoPath* p, PointDB* out);
// Copies the polygon marks of one subpath onto another.
inline void copy_marks(ZoPath* target, const ZoPath* source) {
  target->flags = (target->flags & ~ZOF_POLY_MARKS) | (source->flags & ZOF_POLY_MARKS);
}

// ---- Handles. A polygon's sides repeat one pattern, so a handle stands for one node of the
// pattern and selecting it selects that node on every side. The sub-codes of the handle calls:
enum HandleAction : int { kSelectOnly = 1, kAdd = 2, kToggle = 3 };

// True when the subpath's nodes really repeat per side (count - 1 a multiple of the side
// count); the handle calls below answer false for anything else and leave it alone.
bool has_regular_sides(const ZoPath* p);
// Selects the node at index and its counterparts on the other sides (the first node of a
// closed figure stands as its last); ZOF_HAS_SEL_POINTS follows the node marks.
bool select_node(ZoPath* p, uint32_t index, HandleAction action);
// The same for the segment starting at index: segment marks and ZOF_HAS_SEL_SEGMENT.
bool select_segment(ZoPath* p, uint32_t index, HandleAction action);
// Selection by rectangle: counts the anchors for which inside(node) holds and, for how 1 and
// 2, selects them with their counterparts (how 1 clears the point selection first); 3 and 4
// toggle them; 0 only counts. Returns the count.
uint32_t select_in_rect(ZoPath* p, const std::function<bool(const PathNode&)>& inside,
                        uint32_t how);
// Splits the segment starting at index at parameter t (0-65535) on every side, so the
// figure keeps its symmetry. The record may move: the new address is returned (linked like
// the old one, and the table's entries updated), null on failure with the path unchanged.
ZoPath* subdivide_sides(ZoPathTbl* table, ZoPath* p, uint32_t index, uint16_t t);
// After nodes were dragged: every moved node's counterparts on the other sides take the same
// position turned about the centre the figure had before the drag (centre() then), so the
// figure stays regular; moved flags the nodes written. The side style is released.
void follow_moved_nodes(ZoPath* p, PointDB centreBefore, const std::vector<bool>& moved);

}  // namespace zo::polygon
