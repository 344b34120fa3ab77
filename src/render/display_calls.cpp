// Showing and hiding paths in the display buffer: whole lists, the selection chain, selected
// segments and single segments.
#include <cstring>

#include "display.hpp"
#include "model/records.hpp"
#include "platform/rect.hpp"

namespace zo::display {

namespace {

constexpr uint32_t kShapeKind = ZOF_ENVELOPE_H | ZOF_ENVELOPE_V;

void set_empty(RECT* r) {
  if (r != nullptr) plat::SetRectEmpty(r);
}

// The buffer-coordinate rectangle moved to window coordinates (empty stays empty).
void to_window(const CoordStruct* view, RECT* r) {
  if (!plat::IsRectEmpty(r)) plat::OffsetRect(r, view->rcWindow.left, view->rcWindow.top);
}

void clear_buffer(const CoordStruct* view) {
  Target t;
  if (target_of(view, &t)) std::memset(t.bytes, 0, size_t(t.width) * size_t(t.height));
}

// Runs mode(member) over the selection chain the subpath belongs to, from its first member.
template <typename ModeOf>
uint32_t over_selection(CoordStruct* view, ZoPath* path, RECT* dirty, ModeOf mode_of) {
  RECT changed{0, 0, 0, 0};
  for (ZoPath* p = selection_head(path); p != nullptr; p = p->selNext) {
    p->flags &= ~ZOF_DRAWING;
    outline_pass(view, p, mode_of(p), &changed);
  }
  to_window(view, &changed);
  if (dirty != nullptr) *dirty = changed;
  return 1;
}

uint32_t selection_pass(CoordStruct* view, ZoPath* path, RECT* dirty, bool show) {
  set_empty(dirty);
  if (view == nullptr || path == nullptr || !is_selected(path)) return 0;
  if (view->lpDB == nullptr) return 1;
  return over_selection(view, path, dirty, [show](ZoPath* p) {
    bool points = (p->flags & ZOF_HAS_SEL_POINTS) != 0;
    return show ? (points ? 3 : 0) : (points ? 4 : 2);
  });
}

uint32_t selected_segments_pass(CoordStruct* view, ZoPath* path, RECT* dirty, int mode) {
  set_empty(dirty);
  if (view == nullptr || path == nullptr) return 0;
  if (mode != 5 && !is_selected(path)) return 0;
  if (view->lpDB == nullptr) return 1;
  return over_selection(view, path, dirty, [mode](ZoPath*) { return mode; });
}

// Shows (mode 5) or hides (mode 6) one segment by marking it selected for the pass.
uint32_t segment_pass(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty, int mode) {
  set_empty(dirty);
  if (view == nullptr || path == nullptr || !is_selected(path)) return 0;
  if ((path->flags & (ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT)) != 0) return 0;
  if (path->count < 1 || index >= path->count - 1) return 0;
  if (view->lpDB == nullptr) return 1;
  PathNode& node = nodes_of(path)[index];
  uint16_t type = node.type;
  uint32_t flags = path->flags;
  node.type = static_cast<uint16_t>(type | PT_SEGMENT_MARK);
  path->flags |= ZOF_HAS_SEL_SEGMENT;
  RECT changed{0, 0, 0, 0};
  outline_pass(view, path, mode, &changed);
  node.type = type;
  path->flags = flags;
  to_window(view, &changed);
  if (dirty != nullptr) *dirty = changed;
  return 1;
}

}  // namespace

uint32_t draw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t clearFirst) {
  set_empty(dirty);
  if (view == nullptr || path == nullptr) return 0;
  if (view->lpDB == nullptr) return 1;
  Target t;
  if (!target_of(view, &t)) return 0;
  if (clearFirst != 0) clear_buffer(view);
  ZoPath* head = list_head(path);
  ZoPath* last = list_tail(head);
  // A baseline or a shape frame drawn last is the outline being worked on; the others
  // show as secondary outlines behind it.
  bool secondary = (last->flags & (ZOF_WRAP_BASELINE | kShapeKind)) != 0;
  RECT changed{0, 0, 0, 0};
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if ((p->flags & ZOF_DRAWING) != 0) continue;
    outline_pass(view, p, secondary && p != last ? 7 : kModeShow, &changed);
  }
  to_window(view, &changed);
  if (dirty != nullptr) *dirty = changed;
  return 1;
}

uint32_t hide(CoordStruct* view, ZoPath* path, RECT* dirty) {
  set_empty(dirty);
  if (view == nullptr || path == nullptr) return 0;
  clear_buffer(view);
  RECT group{0, 0, 0, 0};
  ZoPathGetAllMiniMaxRect(list_head(path), 65536, &group);
  if (dirty != nullptr) *dirty = group;
  return 1;
}

uint32_t draw_selected(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return selection_pass(view, path, dirty, true);
}

uint32_t mark_selected_segments(CoordStruct* view, ZoPath* path, int mode, RECT* dirty) {
  if (mode != kModeHighlight && mode != kModeUnhighlight) return 0;
  return selected_segments_pass(view, path, dirty, mode);
}

}  // namespace zo::display

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathDraw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t clearFirst) {
  return display::draw(view, path, dirty, clearFirst);
}
ZO_API uint32_t ZoPathHide(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return display::hide(view, path, dirty);
}
ZO_API uint32_t ZoPathDrawSelected(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return display::selection_pass(view, path, dirty, true);
}
ZO_API uint32_t ZoPathHideSelected(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return display::selection_pass(view, path, dirty, false);
}
ZO_API uint32_t ZoPathDrawSelectedSegments(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return display::selected_segments_pass(view, path, dirty, 5);
}
ZO_API uint32_t ZoPathHideSelectedSegments(CoordStruct* view, ZoPath* path, RECT* dirty) {
  return display::selected_segments_pass(view, path, dirty, 6);
}
ZO_API uint32_t ZoPathDrawSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty) {
  return display::segment_pass(view, path, index, dirty, 5);
}
ZO_API uint32_t ZoPathHideSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty) {
  return display::segment_pass(view, path, index, dirty, 6);
}

}  // extern "C"
