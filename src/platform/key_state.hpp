// Keyboard state as the library reads it: what GetKeyState and GetAsyncKeyState answer on
// Windows. Here the host (or a test) sets it through ZoPlatSetKeyState.
#pragma once

#include <cstdint>

namespace zo::plat {

inline constexpr int32_t kVirtualKeyShift = 16;
inline constexpr int32_t kVirtualKeyControl = 17;

// Negative (the high bit set) while the key is down, 0 while it is up.
int16_t GetAsyncKeyState(int32_t virtualKey);
int16_t GetKeyState(int32_t virtualKey);

}  // namespace zo::plat
