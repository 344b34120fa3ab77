// Copying subpaths: a whole list with its chains, one record, or the current selection.
#include <new>
#include <vector>

#include "chains.hpp"
#include "outline/outline_info.hpp"
#include "platform/host_library.hpp"
#include "platform/rect.hpp"
#include "position_map.hpp"
#include "records.hpp"
#include "render/display.hpp"

namespace zo {

namespace {

// A free-standing copy of one record with its attachment duplicated; null on failure with
// nothing left allocated.
ZoPath* duplicate_single(const ZoPath* source) {
  ZoPathOutlineInfo* info = nullptr;
  if (has_attachment(source) && attachment_of(source) != nullptr) {
    info = outline_info_duplicate(attachment_of(source));
    if (info == nullptr) return nullptr;
  }
  ZoPath* copy = record_copy(source);
  if (copy == nullptr) {
    outline_info_delete(info);
    return nullptr;
  }
  copy->prev = copy->next = copy->joinPrev = copy->selPrev = copy->selNext = nullptr;
  copy->joinNext = reinterpret_cast<ZoPath*>(info);
  return copy;
}

void release_copies(std::vector<ZoPath*>& copies) {
  for (ZoPath* c : copies) {
    if (c != nullptr) record_release(c);
  }
  copies.clear();
}

// While a list is being copied, each source record's prev slot holds its copy, tagged in
// the low bit (records are 16-byte aligned): a chain link is translated to the copy at the
// same position with one read, and a link to a record outside the list is recognised
// because its prev slot carries no tag. Nothing is allocated while the slots are borrowed.
ZoPath* tagged(ZoPath* copy) {
  return reinterpret_cast<ZoPath*>(reinterpret_cast<uintptr_t>(copy) | 1u);
}
ZoPath* copy_of(const ZoPath* source) {
  if (source == nullptr) return nullptr;
  auto bits = reinterpret_cast<uintptr_t>(source->prev);
  return (bits & 1u) != 0 ? reinterpret_cast<ZoPath*>(bits & ~uintptr_t{1}) : nullptr;
}

void connect_join(ZoPath* a, ZoPath* b) {
  a->joinNext = b;
  b->joinPrev = a;
}
void connect_selection(ZoPath* a, ZoPath* b) {
  a->selNext = b;
  b->selPrev = a;
}

// Follows a chain of source records from `start` (by `next`), linking their copies into the
// same chain. Bounded by the list length, so a cyclic chain cannot hang the copy.
template <typename Next, typename Connect>
void copy_chain(const ZoPath* start, size_t limit, Next next, Connect connect,
                bool stopAtAttachment) {
  ZoPath* at = copy_of(start);
  for (const ZoPath* s = start; limit-- > 0;) {
    if (stopAtAttachment && has_attachment(s)) return;
    const ZoPath* following = next(s);
    ZoPath* copy = copy_of(following);
    if (copy == nullptr) return;
    connect(at, copy);
    at = copy;
    s = following;
  }
}

// Copies the whole list; join and selection chains are rebuilt by position.
uint32_t duplicate_list(ZoPath* list, ZoPath** out) {
  ZoPath* head = list_head(list);
  std::vector<ZoPath*> sources;
  std::vector<ZoPath*> copies;
  try {
    for (ZoPath* p = head; p != nullptr; p = p->next) sources.push_back(p);
    copies.reserve(sources.size());
  } catch (const std::bad_alloc&) {
    return 0;
  }
  for (ZoPath* source : sources) {
    ZoPath* copy = record_copy(source);
    if (copy == nullptr) {
      release_copies(copies);
      return 0;
    }
    // The copy keeps the source's prev (restored from it below); its other links are rebuilt.
    copy->next = copy->joinPrev = copy->joinNext = copy->selPrev = copy->selNext = nullptr;
    copies.push_back(copy);
  }
  ZoPathOutlineInfo* info = nullptr;
  if (has_attachment(head) && attachment_of(head) != nullptr) {
    info = outline_info_duplicate(attachment_of(head));
    if (info == nullptr) {
      release_copies(copies);
      return 0;
    }
  }
  for (size_t i = 0; i < sources.size(); ++i) sources[i]->prev = tagged(copies[i]);
  for (const ZoPath* s : sources) {
    if (!has_attachment(s) && s->joinNext != nullptr && s->joinPrev == nullptr) {
      copy_chain(
          s, sources.size(), [](const ZoPath* p) { return p->joinNext; }, connect_join, true);
    }
  }
  for (const ZoPath* s : sources) {
    if (s->selNext != nullptr && s->selPrev == nullptr) {
      copy_chain(
          s, sources.size(), [](const ZoPath* p) { return p->selNext; }, connect_selection, false);
      break;  // one selection chain per list
    }
  }
  for (size_t i = 0; i < sources.size(); ++i) {
    sources[i]->prev = copies[i]->prev;
    copies[i]->prev = i > 0 ? copies[i - 1] : nullptr;
    if (i > 0) copies[i - 1]->next = copies[i];
  }
  if (info != nullptr) copies[0]->joinNext = reinterpret_cast<ZoPath*>(info);
  *out = copies[0];
  return 1;
}

}  // namespace

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathDuplicatePtr(ZoPath* list, ZoPath** copy) {
  if (copy != nullptr) *copy = nullptr;
  if (list == nullptr || copy == nullptr) return 0;
  return duplicate_list(list, copy);
}

ZO_API uint32_t ZoPathDuplicatePtrSingle(ZoPath* path, ZoPath** copy) {
  if (copy != nullptr) *copy = nullptr;
  if (path == nullptr || copy == nullptr) return 0;
  ZoPath* c = duplicate_single(path);
  if (c == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  *copy = c;
  return 1;
}

ZO_API uint32_t ZoPathDuplicate(HDC dc, ZoPathTbl* table, CoordStruct* view, RECT* out) {
  if (table == nullptr || view == nullptr) return 0;
  ZoPath* first = nullptr;
  ZoPath* selected = nullptr;
  ZoPathFind(table, nullptr, &first, &selected, nullptr);
  if (first == nullptr || selected == nullptr || !is_selected(selected)) return 0;
  std::vector<ZoPath*> copies;
  std::vector<ZoPath*> members;
  try {
    for (ZoPath* p = selection_head(selected); p != nullptr; p = p->selNext) members.push_back(p);
    copies.reserve(members.size());
    for (ZoPath* m : members) {
      ZoPath* c = duplicate_single(m);
      if (c == nullptr) throw std::bad_alloc();
      if (!copies.empty()) {
        copies.back()->next = c;
        c->prev = copies.back();
        copies.back()->selNext = c;
        c->selPrev = copies.back();
      }
      copies.push_back(c);
    }
    // Join chains among the selected objects become the same chains among their copies.
    PositionMap positions(members.size());
    for (size_t i = 0; i < members.size(); ++i) positions.add(members[i], static_cast<uint32_t>(i));
    for (size_t i = 0; i < members.size(); ++i) {
      if (has_attachment(members[i]) || has_attachment(copies[i])) continue;
      int64_t j = positions.find(members[i]->joinNext);
      if (j >= 0 && !has_attachment(copies[static_cast<size_t>(j)])) {
        connect_join(copies[i], copies[static_cast<size_t>(j)]);
      }
    }
  } catch (const std::bad_alloc&) {
    release_copies(copies);
    return 0;
  }
  ZoPath* tail = list_tail(first);
  tail->next = copies.front();
  copies.front()->prev = tail;
  // The sources leave the selection; the copies become all of it.
  for (ZoPath* m : members) {
    display::draw_nodes(dc, m, view);
    m->selNext = m->selPrev = nullptr;
    m->flags &= ~ZOF_SELECTED;
  }
  copies.front()->selPrev = nullptr;
  ZoPathMovePaths(copies.front(), view, POINT{15, 15});
  ZoPathAssignSelectedPath(table, copies.front());
  RECT changed{0, 0, 0, 0};
  if (view->lpDB != nullptr) {
    for (ZoPath* c : copies) display::outline_pass(view, c, display::kModeShowCopy, &changed);
  }
  plat::OffsetRect(&changed, view->rcWindow.left, view->rcWindow.top);
  if (out != nullptr) *out = changed;
  return 1;
}

}  // extern "C"
