// The selection as records carry it, and the moves every editing call makes on it: joined
// shapes selected as one, point and segment marks, the selection chain, and keeping the
// handles on screen (exclusive-or) and the segment highlight in the display buffer in step
// with the flags.
#pragma once

#include "model/records.hpp"

namespace zo::edit {

inline constexpr uint32_t kSelectionFlags = ZOF_SELECTED | ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT;
inline constexpr uint32_t kShapeKind = ZOF_ENVELOPE_H | ZOF_ENVELOPE_V;

inline bool has_points(const ZoPath* p) { return (p->flags & ZOF_HAS_SEL_POINTS) != 0; }
inline bool has_segments(const ZoPath* p) { return (p->flags & ZOF_HAS_SEL_SEGMENT) != 0; }
inline bool linked_to_others(const ZoPath* p) {
  return p->selPrev != nullptr || p->selNext != nullptr;
}
// Selected, alone in the selection chain and not part of a joined shape.
bool single_selected(const ZoPath* p);

// The first record of the joined shape p belongs to (a record with an attachment is a shape
// of its own).
ZoPath* joined_head(ZoPath* p);
// Calls fn(record) for each record of the joined shape, in join order.
template <typename Fn>
void for_each_joined(ZoPath* p, Fn&& fn) {
  for (ZoPath* q = joined_head(p); q != nullptr; q = has_attachment(q) ? nullptr : q->joinNext) {
    fn(q);
  }
}

// Where handles and highlights are shown: a device context and a view, either may be null
// (nothing is drawn then).
struct Screen {
  HDC dc = nullptr;
  const CoordStruct* view = nullptr;
  // Draws, or with exclusive-or erases, the handles of one subpath.
  void handles(ZoPath* p) const;
  // One outline pass over a subpath, extending dirty (window coordinates) when given.
  void pass(ZoPath* p, int mode, RECT* dirty) const;
};

// Runs change() on a subpath with its handles taken off the screen before and put back after
// (only while it is selected), so the screen follows the new marks.
template <typename Change>
void restyle(const Screen& s, ZoPath* p, Change&& change) {
  if (is_selected(p)) s.handles(p);
  change();
  if (is_selected(p)) s.handles(p);
}

// Clears the point marks (PT_SELECTED, ZOF_HAS_SEL_POINTS) of one subpath.
void clear_points(ZoPath* p);
// Removes the segment highlight and clears the segment marks (PT_SEGMENT_MARK,
// ZOF_HAS_SEL_SEGMENT); dirty (window coordinates) grows by what was repainted.
void clear_segments(const Screen& s, ZoPath* p, RECT* dirty);
// Recomputes ZOF_HAS_SEL_POINTS from the node marks.
void sync_point_flag(ZoPath* p);

// Deselects every subpath of the list from its head: handles erased (when redraw), marks,
// flags and selection links cleared.
void deselect_list(const Screen& s, ZoPath* any, bool redraw);
// Selects (or deselects) every record of p's joined shape, drawing (erasing) their handles.
void select_shape(const Screen& s, ZoPath* p);
void deselect_shape(const Screen& s, ZoPath* p);

// Links the selected subpaths of the list in list order as the selection chain and returns
// the first (null when none). With clearWhenMany, two or more selected subpaths lose their
// point and segment marks (a point or segment selection belongs to one subpath alone).
ZoPath* rebuild_chain(const Screen& s, ZoPath* any, bool clearWhenMany);
// Makes the chain's first member the current group's selected path (null clears it).
void set_table_selection(ZoPathTbl* table, ZoPath* first);

// Whether p is a member of the list that starts at head.
bool in_list(ZoPath* head, const ZoPath* p);

}  // namespace zo::edit
