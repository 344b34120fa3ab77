#include "memory.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

#include "Zo32path_platform.h"
#include "pointer_set.hpp"

namespace zo::plat {

namespace {

// The failure switch: counts allocations down to the one that must fail.
uint32_t g_failCountdown = 0;

// Blocks carry a small prefix with their requested size; the prefix keeps the payload
// 16-byte aligned like malloc's.
struct alignas(16) BlockPrefix {
  size_t size;
  uint64_t magic;
};
constexpr uint64_t kMemMagic = 0x5a6f4d656d426c6bULL;   // "ZoMemBlk"
constexpr uint64_t kHeapMagic = 0x5a6f48656170426bULL;  // "ZoHeapBk"

BlockPrefix* prefix_of(const void* block) {
  return reinterpret_cast<BlockPrefix*>(const_cast<char*>(static_cast<const char*>(block)) -
                                        sizeof(BlockPrefix));
}
void* payload_of(BlockPrefix* prefix) {
  return reinterpret_cast<char*>(prefix) + sizeof(BlockPrefix);
}

BlockPrefix* raw_alloc(size_t size, bool zero) {
  if (size > SIZE_MAX / 2) return nullptr;
  void* raw =
      zero ? std::calloc(1, sizeof(BlockPrefix) + size) : std::malloc(sizeof(BlockPrefix) + size);
  auto* prefix = static_cast<BlockPrefix*>(raw);
  if (prefix != nullptr) prefix->size = size;
  return prefix;
}

size_t g_memLive = 0;

}  // namespace

bool allocation_fails() {
  if (g_failCountdown == 0) return false;
  return --g_failCountdown == 0;
}

// ---- Heap ----

class Heap {
 public:
  PointerSet blocks;
};

Heap* heap_create(size_t /*initialReserve*/) {
  // The reserve is a Windows tuning hint; the C allocator grows on demand.
  return new (std::nothrow) Heap();
}

void heap_destroy(Heap* heap) {
  if (heap == nullptr) return;
  heap->blocks.drain([](void* block) {
    prefix_of(block)->magic = 0;
    std::free(prefix_of(block));
  });
  delete heap;
}

void* heap_alloc(Heap* heap, size_t size, bool zero) {
  if (heap == nullptr || allocation_fails()) return nullptr;
  BlockPrefix* prefix = raw_alloc(size, zero);
  if (prefix == nullptr) return nullptr;
  prefix->magic = kHeapMagic;
  void* block = payload_of(prefix);
  if (!heap->blocks.insert(block)) {
    std::free(prefix);
    return nullptr;
  }
  return block;
}

void* heap_realloc(Heap* heap, void* block, size_t size) {
  if (heap == nullptr || !heap->blocks.contains(block) || size > SIZE_MAX / 2) return nullptr;
  if (allocation_fails()) return nullptr;
  // Make sure the set can take the new address before the old one is given up.
  if (!heap->blocks.reserve_one()) return nullptr;
  auto* prefix =
      static_cast<BlockPrefix*>(std::realloc(prefix_of(block), sizeof(BlockPrefix) + size));
  if (prefix == nullptr) return nullptr;
  prefix->size = size;
  void* moved = payload_of(prefix);
  if (moved != block) {
    heap->blocks.erase(block);
    heap->blocks.insert(moved);  // room was reserved above
  }
  return moved;
}

bool heap_free(Heap* heap, void* block) {
  if (heap == nullptr || !heap->blocks.erase(block)) return false;
  prefix_of(block)->magic = 0;
  std::free(prefix_of(block));
  return true;
}

size_t heap_size(const Heap* heap, const void* block) {
  if (!heap_owns(heap, block)) return 0;
  return prefix_of(block)->size;
}

size_t heap_block_size(const void* block) {
  const BlockPrefix* prefix = prefix_of(block);
  return prefix->magic == kHeapMagic ? prefix->size : 0;
}

bool heap_owns(const Heap* heap, const void* block) {
  return heap != nullptr && heap->blocks.contains(block);
}

size_t heap_live_blocks(const Heap* heap) { return heap == nullptr ? 0 : heap->blocks.size(); }

// ---- General-purpose blocks ----

void* mem_alloc(size_t size, uint32_t flags) {
  if (allocation_fails()) return nullptr;
  BlockPrefix* prefix = raw_alloc(size, (flags & kZeroFill) != 0);
  if (prefix == nullptr) return nullptr;
  prefix->magic = kMemMagic;
  ++g_memLive;
  return payload_of(prefix);
}

void* mem_realloc(void* block, size_t size, uint32_t flags) {
  if (block == nullptr) return mem_alloc(size, flags);
  size_t old = mem_size(block);
  if (old == SIZE_MAX || size > SIZE_MAX / 2 || allocation_fails()) return nullptr;
  auto* prefix =
      static_cast<BlockPrefix*>(std::realloc(prefix_of(block), sizeof(BlockPrefix) + size));
  if (prefix == nullptr) return nullptr;
  prefix->size = size;
  void* moved = payload_of(prefix);
  if ((flags & kZeroFill) != 0 && size > old)
    std::memset(static_cast<char*>(moved) + old, 0, size - old);
  return moved;
}

void mem_free(void* block) {
  if (block == nullptr) return;
  BlockPrefix* prefix = prefix_of(block);
  if (prefix->magic != kMemMagic) return;
  prefix->magic = 0;
  --g_memLive;
  std::free(prefix);
}

size_t mem_size(const void* block) {
  if (block == nullptr) return SIZE_MAX;
  const BlockPrefix* prefix = prefix_of(block);
  return prefix->magic == kMemMagic ? prefix->size : SIZE_MAX;
}

size_t mem_live_blocks() { return g_memLive; }

}  // namespace zo::plat

extern "C" {

ZO_API void ZoPlatFailAllocation(uint32_t n) { zo::plat::g_failCountdown = n; }

ZO_API uint32_t ZoPlatAllocationFailurePending(void) {
  return zo::plat::g_failCountdown != 0 ? 1u : 0u;
}

ZO_API size_t ZoPlatMemLiveBlocks(void) { return zo::plat::mem_live_blocks(); }

}  // extern "C"
