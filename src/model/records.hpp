// Layout of the path records and the small operations on them that every subsystem uses:
// reaching the node array, capacities, node kinds, and the path heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Zo32path.h"

namespace zo {

inline constexpr size_t kNodeBytes = 10;
inline constexpr size_t kHeaderNodes = 7;  // a record's header takes less room than 7 nodes
inline constexpr uint32_t kNodeGrowth = 100;
inline constexpr size_t kNodeOffset = offsetof(ZoPath, nodes);

static_assert(sizeof(Ptfx) == 8);
static_assert(sizeof(PathNode) == kNodeBytes);
static_assert(offsetof(PathNode, pt) == 2);
static_assert(sizeof(void*) == 8);
static_assert(offsetof(ZoPath, prev) == 8 && offsetof(ZoPath, selNext) == 48);
static_assert(offsetof(ZoPath, count) == 56 && offsetof(ZoPath, flags) == 60);
static_assert(offsetof(ZoPath, primitiveKind) == 64 && kNodeOffset == 68);
static_assert(kNodeOffset <= kHeaderNodes * kNodeBytes);
static_assert(sizeof(ZoPath) == (1 + kHeaderNodes) * kNodeBytes);  // one-node placeholder: 80 bytes
static_assert(sizeof(PathGroup) == 280 && offsetof(PathGroup, first) == 264);
static_assert(offsetof(ZoPathTbl, lpDB) == 16 && offsetof(ZoPathTbl, dbDesc) == 24);
static_assert(offsetof(ZoPathDBDesc, zoom) == 16 && offsetof(ZoPathDBDesc, extra) == 24);
static_assert(offsetof(CoordStruct, zoom) == 24 && offsetof(CoordStruct, lpDB) == 32);
static_assert(sizeof(ZoPathR2VPoint) == 24);

// The node array; valid for any index below the record's capacity.
inline PathNode* nodes_of(ZoPath* p) {
  return reinterpret_cast<PathNode*>(reinterpret_cast<char*>(p) + kNodeOffset);
}
inline const PathNode* nodes_of(const ZoPath* p) {
  return reinterpret_cast<const PathNode*>(reinterpret_cast<const char*>(p) + kNodeOffset);
}

inline constexpr size_t record_bytes(size_t capacity) {
  return (capacity + kHeaderNodes) * kNodeBytes;
}

inline uint16_t kind_of(uint16_t type) { return type & PT_KIND_MASK; }
inline bool is_line(uint16_t type) { return kind_of(type) == PT_LINETO; }
inline bool is_bezier(uint16_t type) { return kind_of(type) == PT_BEZIERTO; }
inline bool is_closed(const ZoPath* p) {
  return p->count > 0 && (nodes_of(p)[p->count - 1].type & PT_CLOSEFIGURE) != 0;
}
inline bool has_attachment(const ZoPath* p) { return (p->flags & ZOF_ATTACHMENT) != 0; }
inline bool is_selected(const ZoPath* p) { return (p->flags & ZOF_SELECTED) != 0; }
inline ZoPathOutlineInfo* attachment_of(const ZoPath* p) {
  return has_attachment(p) ? reinterpret_cast<ZoPathOutlineInfo*>(p->joinNext) : nullptr;
}

// The kind of node 1 marks frame shapes and subpaths left out of bounds.
inline uint16_t shape_marker(const ZoPath* p) {
  return p->count > 1 ? nodes_of(p)[1].type & PT_KIND_PARAM_MASK : 0;
}

// Points the neighbours of a record that a reallocation moved at its new address, in all
// three chains (an attachment in the join slot has no back link).
inline void relink_moved(ZoPath* p) {
  if (p->prev != nullptr) p->prev->next = p;
  if (p->next != nullptr) p->next->prev = p;
  if (p->joinPrev != nullptr) p->joinPrev->joinNext = p;
  if (!has_attachment(p) && p->joinNext != nullptr) p->joinNext->joinPrev = p;
  if (p->selPrev != nullptr) p->selPrev->selNext = p;
  if (p->selNext != nullptr) p->selNext->selPrev = p;
}

// The group the table's calls work on (a table always has at least one group).
inline PathGroup& current_group(ZoPathTbl* t) {
  uint32_t last = t->groupCount - 1;
  return t->groups[t->curGroup < last ? t->curGroup : last];
}

inline ZoPath* list_head(ZoPath* p) {
  while (p->prev != nullptr) p = p->prev;
  return p;
}
inline ZoPath* list_tail(ZoPath* p) {
  while (p->next != nullptr) p = p->next;
  return p;
}
inline ZoPath* selection_head(ZoPath* p) {
  while (p->selPrev != nullptr) p = p->selPrev;
  return p;
}

// ---- The path heap ----

bool path_heap_ready();
// A zero-filled record of the given node capacity; null on failure (nothing reported).
ZoPath* record_alloc(uint32_t capacity);
// A byte-for-byte copy of a live record, with the same allocation size.
ZoPath* record_copy(const ZoPath* source);
// The node capacity of a live record, read from its allocation.
uint32_t record_capacity(const ZoPath* p);
// Reallocates a record to hold exactly `capacity` nodes; null on failure (record unchanged).
ZoPath* record_resize(ZoPath* p, uint32_t capacity);
// Releases the record and its attachment; false for a pointer that is not a live record.
bool record_release(ZoPath* p);
// Releases every record of the list from p along next.
void release_list(ZoPath* p);
bool is_live_record(const void* p);

// Scratch blocks of the path heap that are not records (the rasteriser's crossing lists).
void* path_heap_block_alloc(size_t bytes);  // zero-filled; null on failure
void* path_heap_block_realloc(void* block, size_t bytes);  // null on failure (block stays)
void path_heap_block_free(void* block);

// Makes room for n more nodes, raises count by n and returns the first new node; may move
// the record (stored back). Null on failure with the record and count unchanged.
PathNode* node_reserve(ZoPath** path, uint32_t n);

// Tables: a header and groupCount entries in one path-heap block.
size_t table_bytes(uint32_t groupCount);
ZoPathTbl* table_alloc(uint32_t groupCount);  // zero-filled
// Keeps the contents; the grown entries are not cleared. Null on failure (table unchanged).
ZoPathTbl* table_resize(ZoPathTbl* table, uint32_t groupCount);
bool table_release(ZoPathTbl* table);

// Clears the selection of a subpath: the selected, selected-
// points and selected-segment flags, and the node marks when points or segments were marked.
void deselect_fully(ZoPath* p);

}  // namespace zo
