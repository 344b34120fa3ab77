// The library's pixel buffers and their exported calls. The calls take the argument order of
// the host's image calls, so code can address either kind of buffer the same way.
#include "pixel_buffer.hpp"

#include <cstring>
#include <limits>

#include "Zo32path.h"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

namespace zo::render {

uint8_t* buffer_alloc(uint32_t bits, uint32_t width, uint32_t height) {
  // A pixel is at most 8 bytes; keep the whole block well inside size_t and the allocator's
  // limits, so a size computation can never wrap.
  constexpr uint64_t kLimit = uint64_t{1} << 40;
  uint64_t pixels = uint64_t{width} * height;
  if (pixels > kLimit / 8) return nullptr;
  size_t bytes = kBufferHeaderBytes + static_cast<size_t>(pixels) * bytes_per_pixel(bits);
  auto* block = static_cast<uint8_t*>(plat::mem_alloc(bytes, plat::kZeroFill));
  if (block == nullptr) return nullptr;
  BufferHeader h{bits, width, height};
  std::memcpy(block, &h, sizeof h);
  return block + kBufferHeaderBytes;
}

void buffer_free(uint8_t* handle) {
  if (is_buffer_handle(handle)) plat::mem_free(handle - kBufferHeaderBytes);
}

}  // namespace zo::render

using namespace zo::render;

extern "C" {

ZO_API uint8_t* ZoPathBufAlloc(uint32_t bits, uint32_t width, uint32_t height) {
  uint8_t* handle = buffer_alloc(bits, width, height);
  if (handle == nullptr) ZO_REPORT_NO_MEMORY();
  return handle;
}

ZO_API uint8_t* ZoPathBufDuplicate(uint32_t /*ignored*/, const uint8_t* buffer) {
  if (!is_buffer_handle(buffer)) return nullptr;
  const uint8_t* source = buffer - kBufferHeaderBytes;
  size_t bytes = zo::plat::mem_size(source);
  if (bytes == SIZE_MAX) return nullptr;
  auto* copy = static_cast<uint8_t*>(zo::plat::mem_alloc(bytes, 0));
  if (copy == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  std::memcpy(copy, source, bytes);
  return copy + kBufferHeaderBytes;
}

ZO_API uint32_t ZoPathBufFree(uint8_t* buffer) {
  buffer_free(buffer);
  return 1;
}

ZO_API uint32_t ZoPathBufGetWHU(const uint8_t* buffer, uint32_t* width, uint32_t* height,
                                uint32_t* bits) {
  if (!is_buffer_handle(buffer)) return 0;
  BufferHeader h = header_of(buffer);
  if (width != nullptr) *width = h.width;
  if (height != nullptr) *height = h.height;
  if (bits != nullptr) *bits = h.bits;
  return 1;
}

ZO_API uint32_t ZoPathBufLock1(uint8_t* buffer, uint32_t /*ignored*/, uint32_t /*ignored*/,
                               uint32_t /*ignored*/, ZoPathBufLockInfo* lock) {
  if (!is_buffer_handle(buffer) || lock == nullptr) return 0;
  lock->pixels = buffer;
  lock->width = header_of(buffer).width;
  return 1;
}

ZO_API uint8_t* ZoPathBufLineRead(const ZoPathBufLockInfo* lock, int32_t y) {
  if (lock == nullptr || !is_buffer_handle(lock->pixels) || y < 0) return nullptr;
  BufferHeader h = header_of(lock->pixels);
  if (static_cast<uint32_t>(y) >= h.height) return nullptr;
  return lock->pixels + static_cast<size_t>(y) * row_bytes(h);
}

ZO_API uint32_t ZoPathBufUnlock1(ZoPathBufLockInfo* /*lock*/) { return 1; }

ZO_API size_t ZoPathBufSize(const uint8_t* buffer) {
  if (!is_buffer_handle(buffer)) return 0;
  size_t bytes = zo::plat::mem_size(buffer - kBufferHeaderBytes);
  return bytes == SIZE_MAX ? 0 : bytes;
}

}  // extern "C"
