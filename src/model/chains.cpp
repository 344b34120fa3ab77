// The three chains through a group's subpaths: the path list, join chains (compound
// objects) and the selection chain.
#include "chains.hpp"

#include "node_walk.hpp"
#include "platform/trace.hpp"

namespace zo {

void unlink_from_chains(ZoPath* p) {
  if (p->prev != nullptr) p->prev->next = p->next;
  if (p->next != nullptr) p->next->prev = p->prev;
  if (!has_attachment(p)) {
    if (p->joinPrev != nullptr) p->joinPrev->joinNext = p->joinNext;
    if (p->joinNext != nullptr) p->joinNext->joinPrev = p->joinPrev;
    p->joinNext = nullptr;
  }
  if (p->selPrev != nullptr) p->selPrev->selNext = p->selNext;
  if (p->selNext != nullptr) p->selNext->selPrev = p->selPrev;
  p->prev = p->next = p->joinPrev = p->selPrev = p->selNext = nullptr;
}

void clear_links(ZoPath* p) {
  p->prev = p->next = p->joinPrev = p->selPrev = p->selNext = nullptr;
  if (!has_attachment(p)) p->joinNext = nullptr;
}

}  // namespace zo

using namespace zo;

namespace {

// Links the members of a chain (given by a successor function) as one join chain, leaving out
// subpaths that own an attachment: their join slot is not a link.
template <typename Next>
void join_along(ZoPath* first, Next next) {
  ZoPath* previous = nullptr;
  for (ZoPath* p = first; p != nullptr; p = next(p)) {
    if (has_attachment(p)) continue;
    p->joinPrev = previous;
    p->joinNext = nullptr;
    if (previous != nullptr) previous->joinNext = p;
    previous = p;
  }
}

void clear_join(ZoPath* p) {
  if (has_attachment(p)) return;
  p->joinPrev = nullptr;
  p->joinNext = nullptr;
}

}  // namespace

extern "C" {

ZO_API ZoPath* ZoPathChainZoPath(uint32_t n, ZoPath** paths) {
  // With fewer than two elements there is nothing to link, but element 0 is still the answer.
  if (paths == nullptr) return nullptr;
  for (uint32_t i = 0; i + 1 < n; ++i) {
    paths[i]->next = paths[i + 1];
    paths[i + 1]->prev = paths[i];
    paths[i]->joinNext = paths[i + 1];
    paths[i + 1]->joinPrev = paths[i];
  }
  return paths[0];
}

ZO_API uint32_t ZoPathChainPaths(ZoPath** list, ZoPath* append) {
  if (list == nullptr || append == nullptr) return 0;
  if (*list == nullptr) {
    *list = append;
    return 1;
  }
  ZoPath* tail = list_tail(*list);
  ZoPath* head = list_head(append);
  tail->next = head;
  head->prev = tail;
  return 1;
}

ZO_API uint32_t ZoPathJoin(ZoPath* path) {
  if (path == nullptr || !is_selected(path) || has_attachment(path)) return 0;
  join_along(selection_head(path), [](ZoPath* p) { return p->selNext; });
  return 1;
}

ZO_API uint32_t ZoPathJoinAll(ZoPath* path) {
  if (path == nullptr || has_attachment(path)) return 0;
  join_along(list_head(path), [](ZoPath* p) { return p->next; });
  return 1;
}

ZO_API uint32_t ZoPathDisjoin(ZoPath* path) {
  if (path == nullptr || !is_selected(path) || has_attachment(path)) return 0;
  for (ZoPath* p = selection_head(path); p != nullptr; p = p->selNext) clear_join(p);
  return 1;
}

ZO_API uint32_t ZoPathDisjoinAll(ZoPath* path) {
  if (path == nullptr || has_attachment(path)) return 0;
  ZoPath* head = list_head(path);
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (p->count > 0 && nodes_of(p)[p->count - 1].type == 0) {
      nodes_of(p)[p->count - 1].type = PT_BEZIERTO | PT_CLOSEFIGURE;
      plat::trace("- Invalid point type, corrected to PT_BEZIERTO|PT_CLOSEFIGURE.\n");
    }
  }
  for (ZoPath* p = head; p != nullptr; p = p->next) clear_join(p);
  return 1;
}

ZO_API uint32_t ZoPathAllPathSelected(ZoPath* path) {
  if (path == nullptr) return 0;
  for (ZoPath* p = list_head(path); p != nullptr; p = p->next) {
    if ((p->flags & (ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT)) != 0) deselect_fully(p);
    p->selPrev = p->prev;
    p->selNext = p->next;
    p->flags |= ZOF_SELECTED;
  }
  return 1;
}

ZO_API void ZoPathExchangeSubpathInTable(ZoPathTbl* table, ZoPath* oldPath, ZoPath* newPath) {
  if (oldPath == nullptr || newPath == nullptr || oldPath == newPath) return;
  newPath->prev = oldPath->prev;
  newPath->next = oldPath->next;
  newPath->selPrev = oldPath->selPrev;
  newPath->selNext = oldPath->selNext;
  if (newPath->prev != nullptr) newPath->prev->next = newPath;
  if (newPath->next != nullptr) newPath->next->prev = newPath;
  if (newPath->selPrev != nullptr) newPath->selPrev->selNext = newPath;
  if (newPath->selNext != nullptr) newPath->selNext->selPrev = newPath;
  // An attachment stays with the subpath that owns it; join links move only between
  // subpaths that can be joined.
  if (!has_attachment(oldPath) && !has_attachment(newPath)) {
    newPath->joinPrev = oldPath->joinPrev;
    newPath->joinNext = oldPath->joinNext;
    if (newPath->joinPrev != nullptr) newPath->joinPrev->joinNext = newPath;
    if (newPath->joinNext != nullptr) newPath->joinNext->joinPrev = newPath;
  }
  if (table != nullptr) {
    PathGroup& g = table->groups[0];
    if (g.first == oldPath) g.first = newPath;
    if (g.selected == oldPath) g.selected = newPath;
  }
  clear_links(oldPath);
}

ZO_API ZoPath* ZoPathSeparateSelectedPathFromTable(ZoPathTbl* table) {
  if (table == nullptr || table->groups[0].selected == nullptr ||
      table->groups[0].first == nullptr) {
    return nullptr;
  }
  PathGroup& g = table->groups[0];
  ZoPath* selected = nullptr;
  ZoPath* selectedTail = nullptr;
  ZoPath* unselected = nullptr;
  ZoPath* unselectedTail = nullptr;
  for (ZoPath* p = list_tail(g.first); p != nullptr;) {
    ZoPath* before = p->prev;
    p->prev = p->next = p->selPrev = p->selNext = nullptr;
    ZoPath*& head = is_selected(p) ? selected : unselected;
    ZoPath*& tail = is_selected(p) ? selectedTail : unselectedTail;
    if (tail == nullptr) {
      head = p;
    } else {
      tail->next = p;
      p->prev = tail;
    }
    tail = p;
    p = before;
  }
  g.first = unselected;
  g.selected = nullptr;
  for (ZoPath* p = selected; p != nullptr; p = p->next) deselect_fully(p);
  return selected;
}

ZO_API void ZoPathDeleteNodeFromList(ZoPath** head, ZoPath* path) {
  if (head == nullptr || *head == nullptr || path == nullptr) return;
  ZoPath* p = *head;
  while (p != nullptr && p != path) p = p->next;
  if (p == nullptr) return;  // not a member: the record may belong to another list
  if (*head == path) *head = path->next;
  unlink_from_chains(path);
  record_release(path);
}

}  // extern "C"
