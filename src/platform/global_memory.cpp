// Global memory blocks: the blocks handed to the host (rectangle arrays, serialised blocks).
// A fixed block's handle is its address; a movable block's handle is a separate small record
// pointing at the bytes. Every handle is checked against the set of live handles before use,
// so a reader can always learn a block's true size.
// The records are in the C allocator's memory so that a realloc of a fixed block
// moves record and bytes together.
#include "global_memory.hpp"

#include <cstdlib>
#include <cstring>

#include "memory.hpp"
#include "pointer_set.hpp"

struct ZoPlatGlobal {
  void* data;
  size_t size;
  uint32_t flags;
  uint32_t locks;
};

namespace zo::plat {

namespace {

// Fixed blocks are laid out as [record][bytes] and their handle is the address of the bytes;
// movable blocks have their record on its own and the bytes in a separate allocation.
PointerSet g_fixed;
PointerSet g_movable;

ZoPlatGlobal* record_of(HGLOBAL handle) {
  if (g_movable.contains(handle)) return reinterpret_cast<ZoPlatGlobal*>(handle);
  if (g_fixed.contains(handle)) {
    return reinterpret_cast<ZoPlatGlobal*>(reinterpret_cast<char*>(handle) - sizeof(ZoPlatGlobal));
  }
  return nullptr;
}

}  // namespace

HGLOBAL global_alloc(uint32_t flags, size_t size) {
  bool movable = (flags & GMEM_MOVEABLE) != 0;
  PointerSet& handles = movable ? g_movable : g_fixed;
  if (size > SIZE_MAX / 2 || allocation_fails() || !handles.reserve_one()) return nullptr;
  bool zero = (flags & GMEM_ZEROINIT) != 0;
  if (!movable) {
    void* raw = zero ? std::calloc(1, sizeof(ZoPlatGlobal) + size)
                     : std::malloc(sizeof(ZoPlatGlobal) + size);
    if (raw == nullptr) return nullptr;
    auto* rec = static_cast<ZoPlatGlobal*>(raw);
    *rec = ZoPlatGlobal{static_cast<char*>(raw) + sizeof(ZoPlatGlobal), size,
                        flags & ~GMEM_MOVEABLE, 0};
    handles.insert(rec->data);
    return static_cast<HGLOBAL>(rec->data);
  }
  auto* rec = static_cast<ZoPlatGlobal*>(std::malloc(sizeof(ZoPlatGlobal)));
  void* data = zero ? std::calloc(1, size ? size : 1) : std::malloc(size ? size : 1);
  if (rec == nullptr || data == nullptr) {
    std::free(rec);
    std::free(data);
    return nullptr;
  }
  *rec = ZoPlatGlobal{data, size, flags, 0};
  handles.insert(rec);
  return rec;
}

void* global_lock(HGLOBAL handle) {
  ZoPlatGlobal* rec = record_of(handle);
  if (rec == nullptr) return nullptr;
  ++rec->locks;
  return rec->data;
}

int32_t global_unlock(HGLOBAL handle) {
  ZoPlatGlobal* rec = record_of(handle);
  if (rec == nullptr || rec->locks == 0) return 0;
  return --rec->locks != 0 ? 1 : 0;
}

size_t global_size(HGLOBAL handle) {
  ZoPlatGlobal* rec = record_of(handle);
  return rec == nullptr ? 0 : rec->size;
}

HGLOBAL global_realloc(HGLOBAL handle, size_t size, uint32_t flags) {
  ZoPlatGlobal* rec = record_of(handle);
  if (rec == nullptr || size > SIZE_MAX / 2 || allocation_fails()) return nullptr;
  size_t old = rec->size;
  bool zero = (flags & GMEM_ZEROINIT) != 0;
  if ((rec->flags & GMEM_MOVEABLE) != 0) {
    void* data = std::realloc(rec->data, size ? size : 1);
    if (data == nullptr) return nullptr;
    rec->data = data;
    rec->size = size;
    if (zero && size > old) std::memset(static_cast<char*>(data) + old, 0, size - old);
    return handle;
  }
  if (!g_fixed.reserve_one()) return nullptr;
  auto* moved = static_cast<ZoPlatGlobal*>(std::realloc(rec, sizeof(ZoPlatGlobal) + size));
  if (moved == nullptr) return nullptr;
  g_fixed.erase(handle);
  moved->data = reinterpret_cast<char*>(moved) + sizeof(ZoPlatGlobal);
  moved->size = size;
  if (zero && size > old) std::memset(static_cast<char*>(moved->data) + old, 0, size - old);
  g_fixed.insert(moved->data);  // room was reserved above
  return static_cast<HGLOBAL>(moved->data);
}

HGLOBAL global_free(HGLOBAL handle) {
  ZoPlatGlobal* rec = record_of(handle);
  if (rec == nullptr) return handle;
  if (g_movable.erase(handle)) {
    std::free(rec->data);
  } else {
    g_fixed.erase(handle);
  }
  std::free(rec);
  return nullptr;
}

size_t global_live_blocks() { return g_fixed.size() + g_movable.size(); }

}  // namespace zo::plat

extern "C" {

ZO_API HGLOBAL ZoPlatGlobalAlloc(uint32_t flags, size_t size) {
  return zo::plat::global_alloc(flags, size);
}
ZO_API void* ZoPlatGlobalLock(HGLOBAL block) { return zo::plat::global_lock(block); }
ZO_API int32_t ZoPlatGlobalUnlock(HGLOBAL block) { return zo::plat::global_unlock(block); }
ZO_API size_t ZoPlatGlobalSize(HGLOBAL block) { return zo::plat::global_size(block); }
ZO_API HGLOBAL ZoPlatGlobalReAlloc(HGLOBAL block, size_t size, uint32_t flags) {
  return zo::plat::global_realloc(block, size, flags);
}
ZO_API HGLOBAL ZoPlatGlobalFree(HGLOBAL block) { return zo::plat::global_free(block); }
ZO_API size_t ZoPlatGlobalLiveBlocks(void) { return zo::plat::global_live_blocks(); }

}  // extern "C"
