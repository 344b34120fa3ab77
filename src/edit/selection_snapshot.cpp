// Saving and restoring the selection marks of one subpath around an operation that may
// disturb them.
#include <algorithm>

#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "selection_state.hpp"

using namespace zo;

namespace {

constexpr uint16_t kNodeMarks = PT_SELECTED | PT_SEGMENT_MARK;

// A snapshot the library made and has not freed: both blocks live and large enough.
bool readable(const ZoPathSelectStatus* s) {
  size_t size = plat::mem_size(s);
  if (size == SIZE_MAX || size < sizeof(ZoPathSelectStatus) || s->count < 0) return false;
  size_t typesSize = plat::mem_size(s->types);
  return typesSize != SIZE_MAX && typesSize >= size_t(s->count) * sizeof(uint16_t);
}

void release(ZoPathSelectStatus* s) {
  plat::mem_free(s->types);
  plat::mem_free(s);
}

}  // namespace

extern "C" {

ZO_API ZoPathSelectStatus* ZoPathCopySelectStatus(ZoPath* path) {
  if (path == nullptr || path->count > INT32_MAX) return nullptr;
  auto* s = static_cast<ZoPathSelectStatus*>(
      plat::mem_alloc(sizeof(ZoPathSelectStatus), plat::kZeroFill));
  auto* types = s == nullptr ? nullptr
                             : static_cast<uint16_t*>(plat::mem_alloc(
                                   std::max<size_t>(path->count, 1) * sizeof(uint16_t), 0));
  if (types == nullptr) {
    plat::mem_free(s);
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  s->count = static_cast<int32_t>(path->count);
  s->flags = path->flags;
  s->types = types;
  const PathNode* nodes = nodes_of(path);
  for (uint32_t i = 0; i < path->count; ++i) types[i] = nodes[i].type;
  return s;
}

ZO_API uint32_t ZopathPasteSelectStatus(ZoPathSelectStatus* status, ZoPath* path,
                                        uint32_t consume) {
  if (status == nullptr || path == nullptr || !readable(status)) return 0;
  if (uint32_t(status->count) != path->count) return 0;
  path->flags = (path->flags & ~edit::kSelectionFlags) | (status->flags & edit::kSelectionFlags);
  PathNode* nodes = nodes_of(path);
  for (uint32_t i = 0; i < path->count; ++i) {
    nodes[i].type =
        static_cast<uint16_t>((nodes[i].type & ~kNodeMarks) | (status->types[i] & kNodeMarks));
  }
  if (consume != 0) release(status);
  return 1;
}

ZO_API uint32_t ZoPathCleanSelectStatusClipboard(ZoPathSelectStatus* status) {
  if (status == nullptr || plat::mem_size(status) == SIZE_MAX) return 0;
  release(status);
  return 1;
}

}  // extern "C"
