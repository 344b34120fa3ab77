// Global memory blocks handed to the host (see the ZoPlatGlobal... calls).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Zo32path_platform.h"

namespace zo::plat {

HGLOBAL global_alloc(uint32_t flags, size_t size);
void* global_lock(HGLOBAL handle);
int32_t global_unlock(HGLOBAL handle);
// The requested size of a live block; 0 for anything else.
size_t global_size(HGLOBAL handle);
HGLOBAL global_realloc(HGLOBAL handle, size_t size, uint32_t flags);
// Null on success; the handle itself when it was not a live block.
HGLOBAL global_free(HGLOBAL handle);
size_t global_live_blocks();

}  // namespace zo::plat
