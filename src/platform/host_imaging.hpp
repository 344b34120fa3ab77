// The host's image calls (buf32GetWHU, buf32Lock, buf32Line, buf32Unlock), reached through
// the imaging host library, which is loaded by name the first time one of them is needed.
#pragma once

#include <cstdint>

namespace zo::plat {

// Each returns false when the host library or the call is missing, or the host refused.
bool host_image_size(void* image, uint32_t* width, uint32_t* height, uint32_t* unit);
bool host_image_lock(void* image, uint32_t mode, uint32_t flags);
inline constexpr uint32_t kHostRowRead = 1;   // host row -> caller's RGB row
inline constexpr uint32_t kHostRowWrite = 2;  // caller's RGB row -> host row
bool host_image_line(void* image, int32_t y, uint32_t direction, uint8_t* row);
bool host_image_unlock(void* image);

}  // namespace zo::plat
