// Depth buffers: library pixel buffers of 32-bit floats, reused when the size is unchanged.
#pragma once

#include <cstdint>
#include <cstring>

#include "pixel_buffer.hpp"
#include "platform/host_library.hpp"

namespace zo::render {

// The largest depth buffer made: 2^26 pixels (256 MiB), so a runaway size fails quickly
// like an allocation failure instead of filling for minutes.
inline constexpr uint64_t kMaxDepthPixels = uint64_t{1} << 26;

// *handle becomes a zeroed 32-bit buffer of width x height: an existing buffer of exactly
// that size is cleared and kept (same handle), anything else is freed and replaced. On
// failure (reported as 1001) the old buffer is freed too and *handle is null.
inline bool make_float_buffer(uint8_t** handle, int64_t width, int64_t height) {
  uint8_t* old = *handle;
  if (is_buffer_handle(old)) {
    BufferHeader h = header_of(old);
    if (h.bits == 32 && h.width == width && h.height == height) {
      std::memset(old, 0, size_t(width) * size_t(height) * 4);
      return true;
    }
    buffer_free(old);
  }
  *handle = nullptr;
  bool fits = width > 0 && height > 0 && uint64_t(width) * uint64_t(height) <= kMaxDepthPixels;
  if (fits) *handle = buffer_alloc(32, uint32_t(width), uint32_t(height));
  if (*handle == nullptr) ZO_REPORT_NO_MEMORY();
  return *handle != nullptr;
}

inline float* float_pixels(uint8_t* handle) { return reinterpret_cast<float*>(handle); }

}  // namespace zo::render
