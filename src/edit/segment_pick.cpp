// Picking a segment: the segment mark on its first node, the subpath's segment flag, and the
// highlight in the display buffer.
#include "model/node_walk.hpp"
#include "platform/rect.hpp"
#include "render/display.hpp"
#include "selection_state.hpp"

using namespace zo;
using namespace zo::edit;

extern "C" {

ZO_API uint32_t ZoPathPickSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty) {
  if (dirty != nullptr) plat::SetRectEmpty(dirty);
  if (path == nullptr || !is_selected(path) || has_points(path) || path->count < 2) return 0;
  if (index == path->count - 1) index = 0;
  if (!starts_segment(path, index)) return 0;
  nodes_of(path)[index].type |= PT_SEGMENT_MARK;
  path->flags |= ZOF_HAS_SEL_SEGMENT;
  Screen{nullptr, view}.pass(path, display::kModeHighlight, dirty);
  return 1;
}

ZO_API uint32_t ZoPathUnpickSegment(CoordStruct* view, ZoPathTbl* table, ZoPath* path,
                                    RECT* dirty) {
  if (dirty != nullptr) plat::SetRectEmpty(dirty);
  if (table == nullptr && path == nullptr) return 0;
  Screen screen{nullptr, view};
  if (path != nullptr) {
    clear_segments(screen, path, dirty);
    return 1;
  }
  ZoPath* first = current_group(table).first;
  for (ZoPath* p = first == nullptr ? nullptr : list_head(first); p != nullptr; p = p->next)
    if (has_segments(p)) clear_segments(screen, p, dirty);
  return 1;
}

}  // extern "C"
