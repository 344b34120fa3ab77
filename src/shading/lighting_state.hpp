// The module-wide lighting settings and tables the shaded renderers read: one instance for
// the process, holding the load-time values until the host changes them.
#pragma once

#include <cstdint>

#include "Zo32path_platform.h"

namespace zo::shading {

inline constexpr int kLights = 4;
inline constexpr int kReflectanceEntries = 1000;
inline constexpr size_t kReflectanceBlockBytes = 8212;

struct LightingState {
  ZoPlatLightingState settings;  // everything but the reflectance values, which live in block
  HGLOBAL block;                 // the reflectance table's zero-filled global block, or null
};

// The one instance (load-time values on first use).
LightingState& lighting();

}  // namespace zo::shading
