#include "selection_state.hpp"

#include "platform/rect.hpp"
#include "render/display.hpp"

namespace zo::edit {

bool single_selected(const ZoPath* p) {
  if (!is_selected(p) || linked_to_others(p)) return false;
  if (has_attachment(p)) return true;
  return p->joinPrev == nullptr && p->joinNext == nullptr;
}

ZoPath* joined_head(ZoPath* p) {
  if (has_attachment(p)) return p;
  while (p->joinPrev != nullptr && p->joinPrev != p) p = p->joinPrev;
  return p;
}

void Screen::handles(ZoPath* p) const {
  if (dc != nullptr && view != nullptr) display::draw_nodes(dc, p, view);
}

void Screen::pass(ZoPath* p, int mode, RECT* dirty) const {
  if (view == nullptr || view->lpDB == nullptr) return;
  RECT changed{0, 0, 0, 0};
  display::outline_pass(view, p, mode, &changed);
  if (dirty == nullptr || plat::IsRectEmpty(&changed)) return;
  plat::OffsetRect(&changed, view->rcWindow.left, view->rcWindow.top);
  plat::UnionRect(dirty, dirty, &changed);
}

void clear_points(ZoPath* p) {
  PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].type &= static_cast<uint16_t>(~PT_SELECTED);
  p->flags &= ~ZOF_HAS_SEL_POINTS;
}

void clear_segments(const Screen& s, ZoPath* p, RECT* dirty) {
  if (has_segments(p)) s.pass(p, display::kModeUnhighlight, dirty);
  PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].type &= static_cast<uint16_t>(~PT_SEGMENT_MARK);
  p->flags &= ~ZOF_HAS_SEL_SEGMENT;
}

void sync_point_flag(ZoPath* p) {
  const PathNode* nodes = nodes_of(p);
  bool any = false;
  for (uint32_t i = 0; i < p->count && !any; ++i) any = (nodes[i].type & PT_SELECTED) != 0;
  p->flags = any ? (p->flags | ZOF_HAS_SEL_POINTS) : (p->flags & ~ZOF_HAS_SEL_POINTS);
}

void deselect_list(const Screen& s, ZoPath* any, bool redraw) {
  ZoPath* head = list_head(any);
  if (redraw) {
    for (ZoPath* p = head; p != nullptr; p = p->next)
      if (is_selected(p)) s.handles(p);
  }
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (is_selected(p) && has_segments(p)) s.pass(p, display::kModeUnhighlight, nullptr);
    p->selPrev = p->selNext = nullptr;
    if (is_selected(p)) deselect_fully(p);
  }
}

void select_shape(const Screen& s, ZoPath* p) {
  for_each_joined(p, [&](ZoPath* q) {
    if (is_selected(q)) return;
    q->flags |= ZOF_SELECTED;
    s.handles(q);
  });
}

void deselect_shape(const Screen& s, ZoPath* p) {
  for_each_joined(p, [&](ZoPath* q) {
    if (!is_selected(q)) return;
    s.handles(q);
    clear_segments(s, q, nullptr);
    deselect_fully(q);
  });
}

ZoPath* rebuild_chain(const Screen& s, ZoPath* any, bool clearWhenMany) {
  ZoPath* head = list_head(any);
  uint32_t selected = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next) selected += is_selected(p) ? 1 : 0;
  ZoPath* first = nullptr;
  ZoPath* last = nullptr;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    p->selPrev = p->selNext = nullptr;
    if (!is_selected(p)) continue;
    if (clearWhenMany && selected >= 2) {
      if (has_points(p)) restyle(s, p, [p] { clear_points(p); });
      if (has_segments(p)) clear_segments(s, p, nullptr);
    }
    if (last == nullptr) {
      first = p;
    } else {
      last->selNext = p;
      p->selPrev = last;
    }
    last = p;
  }
  return first;
}

void set_table_selection(ZoPathTbl* table, ZoPath* first) {
  if (table != nullptr) current_group(table).selected = first;
}

bool in_list(ZoPath* head, const ZoPath* p) {
  for (ZoPath* q = head; q != nullptr; q = q->next)
    if (q == p) return true;
  return false;
}

}  // namespace zo::edit
