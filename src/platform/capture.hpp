// Mouse capture and the beep, as the tool procedures see them: what GetCapture answers (set by
// the host through ZoPlatSetCapture), ReleaseCapture, and MessageBeep, which only counts.
#pragma once

#include <cstdint>

namespace zo::plat {

bool GetCapture();
void ReleaseCapture();
void MessageBeep(uint32_t type);

}  // namespace zo::plat
