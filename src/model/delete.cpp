// Deleting what the user selected: the selected nodes of a subpath, or the selected
// subpaths of the current group.
#include <cstring>

#include "chains.hpp"
#include "node_walk.hpp"
#include "platform/rect.hpp"
#include "records.hpp"
#include "render/display.hpp"
#include "shapes/polygon_rules.hpp"

namespace zo {

namespace {

void remove_nodes(ZoPath* p, uint32_t at, uint32_t n) {
  PathNode* nodes = nodes_of(p);
  std::memmove(nodes + at, nodes + at + n, (p->count - at - n) * kNodeBytes);
  p->count -= n;
}

void make_bezier_end(PathNode& node) {
  node.type = static_cast<uint16_t>((node.type & ~PT_LINETO) | PT_BEZIERTO);
}
void make_move(PathNode& node) {
  node.type = static_cast<uint16_t>((node.type & ~PT_KIND_MASK) | PT_MOVETO);
}

// A selected curve end at the last node of a closed figure.
bool remove_closing_curve_end(ZoPath* p, uint32_t k) {
  PathNode* nodes = nodes_of(p);
  if (is_bezier(nodes[1].type)) {
    // The last curve and the first curve become one curve ending at the first curve's end.
    if (p->count < 7) return false;
    PathNode firstEnd = nodes[3];
    PathNode firstControl2 = nodes[2];
    PathNode lastControl1 = nodes[k - 2];
    uint32_t keep = k - 3 - 3;  // nodes 4 .. k-3
    std::memmove(nodes + 1, nodes + 4, keep * kNodeBytes);
    uint32_t at = 1 + keep;
    nodes[0] = PathNode{PT_MOVETO, firstEnd.pt};
    nodes[at] = lastControl1;
    nodes[at + 1] = firstControl2;
    nodes[at + 2] = PathNode{PT_BEZIERTO | PT_CLOSEFIGURE, firstEnd.pt};
    p->count -= 3;
    return true;
  }
  // The first line is absorbed: the figure now starts and ends at the line's end.
  if (p->count < 3) return false;
  remove_nodes(p, 0, 1);
  make_move(nodes[0]);
  nodes[p->count - 1] = PathNode{PT_BEZIERTO | PT_CLOSEFIGURE, nodes[0].pt};
  return true;
}

// Removes the selected nodes of one subpath, keeping a valid figure.
void remove_selected_nodes(ZoPath* p) {
  p->flags &= ~ZOF_HAS_SEL_POINTS;
  if (polygon::is_polygon(p)) polygon::release_side_style(p);
  p->primitiveKind = 0;
  bool closed = is_closed(p);
  PathNode* nodes = nodes_of(p);
  for (uint32_t k = 0; k < p->count;) {
    uint32_t last = p->count - 1;
    uint16_t type = nodes[k].type & 0x8FFE;
    uint16_t following = k < last ? kind_of(nodes[k + 1].type)
                                  : (closed && p->count > 1 ? kind_of(nodes[1].type) : 0);
    bool removed = false;
    if (type == (PT_SELECTED | PT_LINETO)) {
      if (k == last && closed && k >= 1) {
        nodes[0].pt = nodes[k - 1].pt;
        nodes[k - 1].type |= PT_CLOSEFIGURE;
      }
      remove_nodes(p, k, 1);
      removed = true;
    } else if (type == (PT_SELECTED | PT_BEZIERTO)) {
      if (k < last) {
        if (following == PT_BEZIERTO && k >= 1) {
          remove_nodes(p, k - 1, 3);
          removed = true;
        } else if (following == PT_LINETO) {
          remove_nodes(p, k, 1);
          make_bezier_end(nodes[k]);
          removed = true;
        }
      } else if (!closed) {
        if (p->count >= 4) {
          p->count -= 3;
          removed = true;
        }
      } else {
        removed = remove_closing_curve_end(p, k);
      }
    } else if (type == (PT_SELECTED | PT_MOVETO) && !closed && p->count > 1) {
      remove_nodes(p, 0, is_bezier(nodes[1].type) && p->count >= 4 ? 3 : 1);
      make_move(nodes[0]);
      k = 0;
      removed = true;
    }
    if (!removed) ++k;
  }
}

uint32_t delete_selection(ZoPathTbl* table, CoordStruct* view, RECT* out) {
  ZoPath* first = nullptr;
  ZoPath* selected = nullptr;
  ZoPathFind(table, nullptr, &first, &selected, nullptr);
  if (first == nullptr || selected == nullptr) return 0;
  ZoPath* head = selection_head(selected);
  RECT changed{0, 0, 0, 0};
  if (view->lpDB != nullptr) {
    for (ZoPath* p = head; p != nullptr; p = p->selNext)
      display::outline_pass(view, p, display::kModeHide, &changed);
  }
  if (out != nullptr) {
    *out = changed;
    plat::OffsetRect(out, view->rcWindow.left, view->rcWindow.top);
  }
  if ((head->flags & ZOF_HAS_SEL_POINTS) != 0 && ZoPathSelectedPointsCanBeDelete(head) != 0) {
    remove_selected_nodes(head);
    RECT drawn;
    display::draw_selected(view, head, &drawn);
    return 1;
  }
  // Keep the unselected subpaths, in order. A join link from a kept subpath to a removed one
  // would dangle, so it is cut before anything is released.
  ZoPath* keptHead = nullptr;
  ZoPath* keptTail = nullptr;
  ZoPath* removed = nullptr;
  for (ZoPath* p = list_head(first); p != nullptr;) {
    ZoPath* next = p->next;
    if (is_selected(p)) {
      p->prev = p->selPrev = p->selNext = nullptr;
      p->next = removed;
      removed = p;
    } else {
      if (p->joinPrev != nullptr && is_selected(p->joinPrev)) p->joinPrev = nullptr;
      if (!has_attachment(p) && p->joinNext != nullptr && is_selected(p->joinNext))
        p->joinNext = nullptr;
      p->prev = keptTail;
      p->next = nullptr;
      if (keptTail != nullptr) keptTail->next = p;
      if (keptHead == nullptr) keptHead = p;
      keptTail = p;
    }
    p = next;
  }
  release_list(removed);
  ZoPathAssignSelectedPath(table, nullptr);
  ZoPathAssignActivePath(table, keptHead);
  return 1;
}

}  // namespace

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathDelete(ZoPathTbl* table, CoordStruct* view, RECT* out) {
  if (table == nullptr || view == nullptr) return 0;
  return delete_selection(table, view, out);
}

ZO_API uint32_t ZoPathDeleteLink(ZoPathTbl* table, CoordStruct* view, RECT* out) {
  if (table == nullptr || view == nullptr) return 0;
  ZoPath* selected = nullptr;
  ZoPathFind(table, nullptr, nullptr, &selected, nullptr);
  RECT bounds{0, 0, 0, 0};
  if (selected != nullptr) ZoPathGetMiniMaxRect(selected, 65536, &bounds);
  uint8_t* buffer = view->lpDB;
  view->lpDB = nullptr;
  delete_selection(table, view, nullptr);
  view->lpDB = buffer;
  if (out != nullptr) *out = bounds;
  return 1;
}

ZO_API uint32_t ZoPathDeleteLinkLastSegment(ZoPath* path) {
  if (path == nullptr || path->count < 2) return 0;
  uint16_t kind = kind_of(nodes_of(path)[path->count - 1].type);
  if (kind == PT_LINETO) {
    path->count -= 1;
    return 1;
  }
  if (kind == PT_BEZIERTO && path->count >= 4) {
    path->count -= 3;
    return 1;
  }
  return 0;
}

}  // extern "C"
