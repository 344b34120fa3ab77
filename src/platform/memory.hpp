// Memory services standing in for the Windows heap, the C run-time allocator and global
// memory. Every allocator consults the one allocation-failure switch, so out-of-memory
// behaviour can be tested at any allocation of any operation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zo::plat {

// True when this allocation is the one the failure switch asked to fail.
bool allocation_fails();

// ---- Private heap with the semantics of the Windows heap calls ----
class Heap;
Heap* heap_create(size_t initialReserve);
// Releases every block still allocated from the heap, then the heap.
void heap_destroy(Heap* heap);
// Zero-filled when zero is set; null on failure.
void* heap_alloc(Heap* heap, size_t size, bool zero);
// Keeps the contents; the grown part is not cleared. Null on failure (the block stays).
void* heap_realloc(Heap* heap, void* block, size_t size);
// False for a pointer that is not a live block of this heap (nothing is touched then).
bool heap_free(Heap* heap, void* block);
// The requested size of a live block; 0 for anything else.
size_t heap_size(const Heap* heap, const void* block);
// The requested size of a block the caller knows to be live (read from the block itself,
// without the exact lookup); 0 when the block does not look like one of the heap's.
size_t heap_block_size(const void* block);
bool heap_owns(const Heap* heap, const void* block);
size_t heap_live_blocks(const Heap* heap);

// ---- General-purpose blocks ----
inline constexpr uint32_t kZeroFill = 64;
void* mem_alloc(size_t size, uint32_t flags);
// Allocates afresh for a null block; zero-fills the grown tail with kZeroFill; null when the
// block's size cannot be read or the allocation fails (the block stays).
void* mem_realloc(void* block, size_t size, uint32_t flags);
void mem_free(void* block);
// The requested size, or SIZE_MAX for a pointer that is not a live block.
size_t mem_size(const void* block);
size_t mem_live_blocks();

}  // namespace zo::plat
