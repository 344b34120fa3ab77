#include "selection_record.hpp"

#include "model/records.hpp"

namespace zo::undo {

namespace {

// Entries are kept with their role in the top bits: a position, or a marker naming a node.
// The host-visible entry of a marker is its node index with PT_SELECTED or PT_SEGMENT_MARK.
constexpr uint32_t kPointMarker = 0x40000000u;
constexpr uint32_t kSegmentMarker = 0x80000000u;
constexpr uint32_t kMarkers = kPointMarker | kSegmentMarker;
constexpr uint32_t kIndexMask = ~kMarkers;

// Finds list positions walking on from the last one found, so a chain in list order costs
// one walk of the list.
class Positions {
 public:
  explicit Positions(ZoPath* head) : head_(head), at_(head) {}
  // The position of p in the list, or false when it is not a member.
  bool find(const ZoPath* p, uint32_t* position) {
    for (int pass = 0; pass < 2; ++pass) {
      for (; at_ != nullptr; at_ = at_->next, ++index_) {
        if (at_ == p) {
          *position = index_;
          return true;
        }
      }
      at_ = head_, index_ = 0;
    }
    return false;
  }
  // The subpath at a position; null past the end of the list.
  ZoPath* at(uint32_t position) {
    if (position < index_ || at_ == nullptr) at_ = head_, index_ = 0;
    while (at_ != nullptr && index_ < position) at_ = at_->next, ++index_;
    return at_;
  }

 private:
  ZoPath* head_;
  ZoPath* at_;
  uint32_t index_ = 0;
};

uint32_t list_length(ZoPath* head) {
  uint32_t n = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next) ++n;
  return n;
}

// Calls emit(entry) for each entry of a snapshot of the current selection. The walk of the
// chain is bounded by the list's length, so a damaged chain cannot loop.
template <typename Emit>
void for_each_entry(ZoPathTbl* table, Emit&& emit) {
  PathGroup& g = current_group(table);
  if (g.first == nullptr || g.selected == nullptr) return;
  ZoPath* head = list_head(g.first);
  Positions positions(head);
  uint32_t budget = list_length(head);
  for (ZoPath* m = selection_head(g.selected); m != nullptr && budget > 0;
       m = m->selNext, --budget) {
    uint32_t position;
    if (!positions.find(m, &position)) continue;
    emit(position);
    if ((m->flags & (ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT)) == 0) continue;
    int32_t point = first_marked(m, PT_SELECTED), segment = first_marked(m, PT_SEGMENT_MARK);
    if (point >= 0)
      emit(kPointMarker | static_cast<uint32_t>(point));
    else if (segment >= 0)
      emit(kSegmentMarker | static_cast<uint32_t>(segment));
  }
}

// Calls fn(subpath, marker) for each recorded member still in the list, in record order;
// marker is 0 or the marker entry that followed it.
template <typename Fn>
void for_each_recorded(const Record* r, ZoPath* head, Fn&& fn) {
  Positions positions(head);
  const uint32_t* e = r->entries();
  for (uint32_t i = 0; i < r->entryCount; ++i) {
    if ((e[i] & kMarkers) != 0) continue;
    uint32_t marker = i + 1 < r->entryCount && (e[i + 1] & kMarkers) != 0 ? e[i + 1] : 0;
    // A position past the end of a list that has since become shorter is passed over.
    if (ZoPath* p = head == nullptr ? nullptr : positions.at(e[i])) fn(p, marker);
  }
}

}  // namespace

int32_t first_marked(const ZoPath* p, uint16_t mark) {
  const PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i)
    if ((nodes[i].type & mark) != 0) return static_cast<int32_t>(i);
  return -1;
}

bool is_selection_action(int32_t action) {
  return action == 18001 || action == 18002 || action == 18003 || action == 18026 ||
         action == 18027;
}

Record* record_selection(ZoPathTbl* table, int32_t action) {
  uint32_t n = 0;
  for_each_entry(table, [&n](uint32_t) { ++n; });
  Record* r = record_new(action, Payload::kSelection, n);
  if (r == nullptr) return nullptr;
  uint32_t* e = r->entries();
  for_each_entry(table, [&e](uint32_t entry) { *e++ = entry; });
  return r;
}

bool same_selection(ZoPathTbl* table, const Record* r) {
  uint32_t i = 0;
  bool same = true;
  for_each_entry(table, [&](uint32_t entry) {
    same = same && i < r->entryCount && r->entries()[i] == entry;
    ++i;
  });
  return same && i == r->entryCount;
}

bool swap_selection(ZoPathTbl* table, Record** link, const Screen& screen) {
  Record* recorded = *link;
  Record* current = record_selection(table, static_cast<int32_t>(recorded->action));
  if (current == nullptr) return false;
  PathGroup& g = current_group(table);
  ZoPath* head = g.first == nullptr ? nullptr : list_head(g.first);

  // Off with the current selection: segment highlights, handles, marks and links.
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if ((p->flags & ZOF_HAS_SEL_SEGMENT) != 0) {
      RECT dirty;
      ZoPathUnpickSegment(screen.view, table, p, &dirty);
      screen.extend(dirty);
    }
    if (is_selected(p)) screen.handles(p);
    deselect_fully(p);
    p->selPrev = p->selNext = nullptr;
  }

  // On with the recorded one, in record order.
  ZoPath* first = nullptr;
  ZoPath* last = nullptr;
  for_each_recorded(recorded, head, [&](ZoPath* p, uint32_t marker) {
    if (is_selected(p)) return;  // recorded twice
    p->flags |= ZOF_SELECTED;
    p->selPrev = last;
    if (last != nullptr) last->selNext = p;
    last = p;
    if (first == nullptr) first = p;
    uint32_t index = marker & kIndexMask;
    if ((marker & kPointMarker) != 0 && index < p->count) {
      nodes_of(p)[index].type |= PT_SELECTED;
      p->flags |= ZOF_SELECTED | ZOF_HAS_SEL_POINTS;
    }
  });
  g.selected = first;
  for (ZoPath* p = first; p != nullptr; p = p->selNext) screen.handles(p);
  for_each_recorded(recorded, head, [&](ZoPath* p, uint32_t marker) {
    if ((marker & kSegmentMarker) == 0 || (p->flags & ZOF_HAS_SEL_SEGMENT) != 0) return;
    RECT dirty;
    ZoPathPickSegment(screen.view, p, marker & kIndexMask, &dirty);
    screen.extend(dirty);
  });

  current->next = recorded->next;
  *link = current;
  record_free(recorded);
  return true;
}

}  // namespace zo::undo
