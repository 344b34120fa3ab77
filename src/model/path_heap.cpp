// The path heap and the subpath records it holds: creation, growth, trimming, release.
#include <algorithm>

#include "geometry/fixed_point.hpp"
#include "node_walk.hpp"
#include "outline/outline_info.hpp"
#include "platform/host_library.hpp"
#include "platform/library_state.hpp"
#include "platform/memory.hpp"
#include "records.hpp"

namespace zo {

namespace {

constexpr size_t kHeapReserve = 0x80000;
plat::Heap* g_pathHeap = nullptr;  // the module's one path heap, from ZoPathInit to unload

}  // namespace

bool path_heap_ready() { return g_pathHeap != nullptr; }

ZoPath* record_alloc(uint32_t capacity) {
  return static_cast<ZoPath*>(plat::heap_alloc(g_pathHeap, record_bytes(capacity), true));
}

ZoPath* record_copy(const ZoPath* source) {
  size_t bytes = plat::heap_block_size(source);
  if (bytes == 0) return nullptr;
  auto* copy = static_cast<ZoPath*>(plat::heap_alloc(g_pathHeap, bytes, false));
  if (copy != nullptr) std::memcpy(copy, source, bytes);
  return copy;
}

uint32_t record_capacity(const ZoPath* p) {
  size_t bytes = plat::heap_block_size(p);
  return bytes < record_bytes(0) ? 0 : static_cast<uint32_t>(bytes / kNodeBytes - kHeaderNodes);
}

ZoPath* record_resize(ZoPath* p, uint32_t capacity) {
  return static_cast<ZoPath*>(plat::heap_realloc(g_pathHeap, p, record_bytes(capacity)));
}

bool is_live_record(const void* p) { return plat::heap_owns(g_pathHeap, p); }

void* path_heap_block_alloc(size_t bytes) { return plat::heap_alloc(g_pathHeap, bytes, true); }
void* path_heap_block_realloc(void* block, size_t bytes) {
  return plat::heap_realloc(g_pathHeap, block, bytes);
}
void path_heap_block_free(void* block) { plat::heap_free(g_pathHeap, block); }

bool record_release(ZoPath* p) {
  if (!is_live_record(p)) return false;
  if (has_attachment(p)) outline_info_delete(attachment_of(p));
  plat::heap_free(g_pathHeap, p);
  return true;
}

void release_list(ZoPath* p) {
  while (p != nullptr && is_live_record(p)) {
    ZoPath* next = p->next;
    record_release(p);
    p = next;
  }
}

PathNode* node_reserve(ZoPath** path, uint32_t n) {
  if (path == nullptr || *path == nullptr) return nullptr;
  ZoPath* p = *path;
  uint64_t wanted = uint64_t{p->count} + n;
  if (wanted > UINT32_MAX / kNodeBytes) return nullptr;
  if (wanted > record_capacity(p)) {
    uint32_t capacity =
        static_cast<uint32_t>((wanted + kNodeGrowth - 1) / kNodeGrowth * kNodeGrowth);
    ZoPath* grown = record_resize(p, std::max(capacity, kNodeGrowth));
    if (grown == nullptr) return nullptr;
    *path = p = grown;
  }
  PathNode* first = nodes_of(p) + p->count;
  p->count = static_cast<uint32_t>(wanted);
  return first;
}

size_t table_bytes(uint32_t groupCount) {
  return offsetof(ZoPathTbl, groups) + size_t{groupCount} * sizeof(PathGroup);
}

ZoPathTbl* table_alloc(uint32_t groupCount) {
  return static_cast<ZoPathTbl*>(plat::heap_alloc(g_pathHeap, table_bytes(groupCount), true));
}

ZoPathTbl* table_resize(ZoPathTbl* table, uint32_t groupCount) {
  return static_cast<ZoPathTbl*>(plat::heap_realloc(g_pathHeap, table, table_bytes(groupCount)));
}

bool table_release(ZoPathTbl* table) { return plat::heap_free(g_pathHeap, table); }

void deselect_fully(ZoPath* p) {
  bool marked = (p->flags & (ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT)) != 0;
  p->flags &= 0x73FFFFFFu;
  if (!marked) return;
  PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].type &= 0x77FF;
}

void release_library_state() {
  release_shading_state();
  plat::heap_destroy(g_pathHeap);
  g_pathHeap = nullptr;
}

namespace {

uint32_t init_heap() {
  if (g_pathHeap == nullptr) g_pathHeap = plat::heap_create(kHeapReserve);
  return g_pathHeap != nullptr ? ZOPATH_VERSION : 0;
}

}  // namespace

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathInit(void) { return init_heap(); }

ZO_API size_t ZoPlatHeapLiveBlocks(void) { return plat::heap_live_blocks(g_pathHeap); }

ZO_API size_t ZoPlatHeapBlockSize(const void* block) { return plat::heap_size(g_pathHeap, block); }

ZO_API ZoPath* ZoPathCreate(void) { return record_alloc(kNodeGrowth); }

ZO_API uint32_t ZoPathAddPoint(ZoPath** path, const Ptfx* point, uint16_t type) {
  if (path == nullptr || *path == nullptr || point == nullptr) return 0;
  PathNode* node = node_reserve(path, 1);
  if (node == nullptr) return 0;
  node->type = type;
  node->pt = *point;
  return 1;
}

ZO_API uint32_t ZoPathPurge(ZoPath** path) {
  if (path == nullptr || *path == nullptr || !is_live_record(*path)) return 0;
  ZoPath* trimmed = record_resize(*path, (*path)->count);
  if (trimmed == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  *path = trimmed;
  return 1;
}

ZO_API uint32_t ZoPathDeletePtr(ZoPath* path, uint32_t /*unused*/) {
  return record_release(path) ? 1 : 0;
}

ZO_API uint32_t ZoPathDeletePtrSingle(ZoPath* path) { return record_release(path) ? 1 : 0; }

ZO_API ZoPath* ZoPathR2VToZoPath(int32_t n, const ZoPathR2VPoint* points) {
  if (n < 1 || points == nullptr || n > INT32_MAX / 16) return nullptr;
  const ZoPathR2VPoint& first = points[0];
  const ZoPathR2VPoint& last = points[n - 1];
  bool closesItself = first.x == last.x && first.y == last.y;
  uint32_t m = closesItself ? static_cast<uint32_t>(n) : static_cast<uint32_t>(n) + 1;
  ZoPath* p = record_alloc(m);
  if (p == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  p->count = m;
  p->flags = ZOF_SELECTED;
  PathNode* nodes = nodes_of(p);
  auto node_type = [](uint32_t t) -> uint16_t {
    return t == PT_BEZIERTO ? PT_BEZIERTO : static_cast<uint16_t>(t);
  };
  for (int32_t i = 0; i < n; ++i) {
    nodes[i].pt = Ptfx{db_to_fix(points[i].x), db_to_fix(points[i].y)};
    nodes[i].type = node_type(points[i].type);
  }
  nodes[0].type = PT_MOVETO;
  if (!closesItself) {
    nodes[m - 1].pt = nodes[0].pt;
    nodes[m - 1].type = PT_LINETO | PT_CLOSEFIGURE;
  } else if (n > 1) {
    uint32_t t = points[n - 1].type;
    nodes[n - 1].type = t == PT_BEZIERTO ? (PT_BEZIERTO | PT_CLOSEFIGURE)
                        : t == PT_LINETO ? (PT_LINETO | PT_CLOSEFIGURE)
                                         : static_cast<uint16_t>(t);
  }
  return p;
}

}  // extern "C"
