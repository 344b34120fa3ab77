// Library pixel buffers: one general-purpose block, a header of three words (bits per pixel,
// width, height) and the pixels; the handle callers hold is the address of the first pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zo::render {

struct BufferHeader {
  uint32_t bits;
  uint32_t width;
  uint32_t height;
};
inline constexpr size_t kBufferHeaderBytes = sizeof(BufferHeader);
static_assert(kBufferHeaderBytes == 12);

// 1 for 8 bits, 3 for 24, 4 for 32, 8 for anything else.
inline size_t bytes_per_pixel(uint32_t bits) {
  return bits == 8 ? 1 : bits == 24 ? 3 : bits == 32 ? 4 : 8;
}

inline BufferHeader header_of(const uint8_t* handle) {
  BufferHeader h;
  __builtin_memcpy(&h, handle - kBufferHeaderBytes, sizeof h);
  return h;
}
inline size_t row_bytes(const BufferHeader& h) { return h.width * bytes_per_pixel(h.bits); }

// A handle that names a buffer (null and the placeholder value 1 do not).
inline bool is_buffer_handle(const uint8_t* handle) {
  return handle != nullptr && reinterpret_cast<uintptr_t>(handle) != 1;
}

// A new zeroed buffer; null (nothing reported) when it cannot be allocated.
uint8_t* buffer_alloc(uint32_t bits, uint32_t width, uint32_t height);
void buffer_free(uint8_t* handle);

}  // namespace zo::render
