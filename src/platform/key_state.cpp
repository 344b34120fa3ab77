#include "key_state.hpp"

#include <array>

#include "Zo32path_platform.h"

namespace zo::plat {

namespace {
// One entry per virtual key code; true while the host says the key is down.
std::array<bool, 256> g_keysDown{};

bool down(int32_t virtualKey) {
  return virtualKey >= 0 && virtualKey < static_cast<int32_t>(g_keysDown.size()) &&
         g_keysDown[static_cast<size_t>(virtualKey)];
}
}  // namespace

int16_t GetAsyncKeyState(int32_t virtualKey) {
  return down(virtualKey) ? static_cast<int16_t>(0x8000) : int16_t{0};
}
int16_t GetKeyState(int32_t virtualKey) {
  return down(virtualKey) ? static_cast<int16_t>(0x8000) : int16_t{0};
}

}  // namespace zo::plat

extern "C" {

ZO_API void ZoPlatSetKeyState(int32_t virtualKey, uint32_t down) {
  if (virtualKey < 0 || virtualKey >= 256) return;
  zo::plat::g_keysDown[static_cast<size_t>(virtualKey)] = down != 0;
}

}  // extern "C"
