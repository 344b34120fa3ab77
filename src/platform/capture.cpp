#include "capture.hpp"

#include "Zo32path_platform.h"

namespace zo::plat {

namespace {
// Whether the host's window holds the mouse, and the beeps sounded since the last reset.
struct PointerState {
  bool captured = false;
  uint32_t beeps = 0;
};
PointerState g_pointer;
}  // namespace

bool GetCapture() { return g_pointer.captured; }
void ReleaseCapture() { g_pointer.captured = false; }
void MessageBeep(uint32_t) { ++g_pointer.beeps; }

}  // namespace zo::plat

extern "C" {

ZO_API void ZoPlatSetCapture(uint32_t captured) { zo::plat::g_pointer.captured = captured != 0; }
ZO_API uint32_t ZoPlatGetCapture(void) { return zo::plat::g_pointer.captured ? 1 : 0; }
ZO_API uint32_t ZoPlatBeepCount(void) { return zo::plat::g_pointer.beeps; }
ZO_API void ZoPlatResetBeeps(void) { zo::plat::g_pointer.beeps = 0; }

}  // extern "C"
