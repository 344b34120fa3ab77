// The lighting settings the host adjusts, the metal reflectance and gamma tables, and moving
// a light by a picked pixel.
#include <cmath>
#include <cstring>

#include "Zo32path.h"
#include "bevel_profile.hpp"
#include "lighting_state.hpp"
#include "platform/global_memory.hpp"
#include "platform/host_library.hpp"
#include "platform/library_state.hpp"

namespace zo::shading {

namespace {

inline constexpr double kInvSqrt3 = 0.5773502691896258;
inline constexpr double kPickedGamma = 0.625;
inline constexpr double kDepthScaleUnit = 30.0;

ZoPlatLightingState load_time_settings() {
  ZoPlatLightingState s{};
  for (int i = 0; i < kLights; ++i) {
    s.phongIntensity[i] = 0.8;
    s.phongDiffuse[i] = 0.75;
    s.phongExponent[i] = 28.0;
    s.phongColour[i][0] = s.phongColour[i][1] = s.phongColour[i][2] = 255;
    s.metalIntensity[i] = 2.0;
    s.metalExponent[i] = 8.0;
    s.metalDiffuse[i] = 0.3;
    s.lightDirection[i][0] = (i & 1) != 0 ? kInvSqrt3 : -kInvSqrt3;
    s.lightDirection[i][1] = (i & 2) != 0 ? kInvSqrt3 : -kInvSqrt3;
    s.lightDirection[i][2] = kInvSqrt3;
  }
  s.phongAmbient = 0.2;
  s.metalAmbient = 0.8;
  s.phongExtraExponent = 4.0;
  return s;
}

LightingState g_lighting{load_time_settings(), nullptr};

struct MetalConstants {
  double n, k;
};
MetalConstants metal_constants(int32_t kind) {
  switch (kind) {
    case 2: return {0.37, 2.82};
    case 3: return {0.177, 3.638};
    case 4: return {2.485, 3.433};
    default: return {0.617, 2.63};
  }
}

// Fresnel reflectance of a conductor, averaged over the two polarisations, against the
// cosine of the angle of incidence.
void fill_reflectance(double* table, int32_t kind) {
  MetalConstants m = metal_constants(kind);
  double mm = m.n * m.n + m.k * m.k;
  for (int i = 0; i < kReflectanceEntries; ++i) {
    double c = i / 1000.0;
    double rs = (mm - 2 * m.n * c + c * c) / (mm + 2 * m.n * c + c * c);
    double rp = (mm * c * c - 2 * m.n * c + 1) / (mm * c * c + 2 * m.n * c + 1);
    table[i] = (rs + rp) / 2;
  }
  ZoPlatLightingState& s = g_lighting.settings;
  s.metalKind = kind;
  s.metalKindRecorded = 1;
  ++s.reflectanceFills;
}

uint8_t scaled_byte(uint32_t byte, double factor) {
  double v = std::trunc(byte * factor);
  return static_cast<uint8_t>(v < 0.0 ? 0.0 : v > 255.0 ? 255.0 : v);
}

bool light_count_ok(int32_t lightCount) {
  if (lightCount > 0) return true;
  ZO_REPORT(plat::kErrBadArgument, 1);
  return false;
}

// The unit surface normal of the bevelled object at a distance vector (pointing from the
// pixel to the nearest outline point).
void bevel_normal(DistanceVector d, double width, uint32_t kind, bool inverted,
                  uint32_t depthScale, uint32_t mode, double n[3]) {
  double dist = std::hypot(d.dx, d.dy);
  if (d.flat() || !std::isfinite(dist) || !(width > 0.0)) {
    n[0] = 0.0, n[1] = 0.0, n[2] = 1.0;
    return;
  }
  // The height rises away from the outline, so the normal leans toward it.
  ProfileSample s = profile_sample(kind, inverted, mode, dist, width);
  n[0] = s.slope * d.dx / dist;
  n[1] = s.slope * d.dy / dist;
  n[2] = depthScale != 0 ? kDepthScaleUnit / depthScale : 1.0;
  double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (int i = 0; i < 3; ++i) n[i] /= len;
}

}  // namespace

LightingState& lighting() { return g_lighting; }

}  // namespace zo::shading

namespace zo {

void release_shading_state() {
  using shading::g_lighting;
  if (g_lighting.block != nullptr) plat::global_free(g_lighting.block);
  g_lighting = shading::LightingState{shading::load_time_settings(), nullptr};
}

}  // namespace zo

using namespace zo;
using namespace zo::shading;

extern "C" {

ZO_API uint32_t ZoPathAdjPhongIllum(const int32_t* exponents, const int32_t* intensities,
                                    uint32_t ambientColour, const uint8_t* lightColours,
                                    int32_t lightCount, int32_t ambientPercent) {
  if (exponents == nullptr || intensities == nullptr || lightColours == nullptr) return 0;
  if (!light_count_ok(lightCount)) return 0;
  ZoPlatLightingState& s = g_lighting.settings;
  for (int i = 0; i < kLights; ++i) {
    s.phongIntensity[i] = intensities[i] / 100.0;
    s.phongDiffuse[i] = s.phongIntensity[i] * 0.3 + 0.7 / lightCount;
    s.phongExponent[i] = exponents[i] == 0 ? 1.0 : exponents[i];
    std::memcpy(s.phongColour[i], lightColours + 4 * i, 3);
  }
  // The factor first, then each byte: byte * percent / 100 in integers gives other bytes.
  double a = ambientPercent / 100.0;
  s.phongAmbient = a;
  for (int c = 0; c < 3; ++c) s.phongAmbientColour[c] = scaled_byte((ambientColour >> (8 * c)) & 0xFF, a);
  return 1;
}

ZO_API uint32_t ZoPathAdjMetallicIllum(const int32_t* exponentSettings,
                                       const int32_t* intensitySettings, int32_t lightCount,
                                       int32_t ambientPercent) {
  if (exponentSettings == nullptr || intensitySettings == nullptr) return 0;
  if (!light_count_ok(lightCount)) return 0;
  ZoPlatLightingState& s = g_lighting.settings;
  for (int i = 0; i < kLights; ++i) {
    s.metalIntensity[i] = intensitySettings[i] * 0.02 + 0.8;
    s.metalExponent[i] = exponentSettings[i] * 0.06 + 2.0;
    s.metalDiffuse[i] = (s.metalIntensity[i] - 0.8) * 0.5 * 0.3 + 0.2 / lightCount;
  }
  s.metalAmbient = ambientPercent / 100.0;
  return 1;
}

ZO_API uint32_t ZoPathSetMetallicEffect(int32_t kind) {
  if (g_lighting.block == nullptr) {
    HGLOBAL block = plat::global_alloc(GPTR, kReflectanceBlockBytes);
    if (block == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    g_lighting.block = block;
    fill_reflectance(static_cast<double*>(plat::global_lock(block)), 1);
    plat::global_unlock(block);
  }
  if (g_lighting.settings.metalKind != kind) {
    fill_reflectance(static_cast<double*>(plat::global_lock(g_lighting.block)), kind);
    plat::global_unlock(g_lighting.block);
  }
  return 1;
}

ZO_API void ShadingGammaToMap(void) {
  uint8_t* gamma = g_lighting.settings.gamma;
  for (int v = 0; v < 256; ++v) {
    gamma[v] = static_cast<uint8_t>(std::trunc(std::pow(v / 255.0, kPickedGamma) * 255.0));
  }
}

ZO_API uint32_t ZopathChangeLightNormal(double width, uint32_t profileKind, uint32_t inverted,
                                        uint32_t depthScale, const uint32_t* pixelIndex,
                                        int32_t floatMode, const uint8_t* distanceBuffer,
                                        uint32_t profileMode, int32_t lightIndex, double* out) {
  if (pixelIndex == nullptr || distanceBuffer == nullptr || out == nullptr) return 0;
  if (lightIndex < 0 || lightIndex >= kLights) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  DistanceVector d = read_distance(distanceBuffer, *pixelIndex, floatMode != 0);
  double n[3];
  bevel_normal(d, width, profileKind, inverted != 0, depthScale, profileMode, n);
  double* light = g_lighting.settings.lightDirection[lightIndex];
  for (int i = 0; i < 3; ++i) light[i] = n[i];
  // The direction a light must come from for the viewer on +z to see its mirror image here.
  light[0] = 2 * n[2] * n[0];
  light[1] = 2 * n[2] * n[1];
  light[2] = 2 * n[2] * n[2] - 1;
  for (int i = 0; i < 3; ++i) out[i] = light[i];
  return 1;
}

ZO_API uint32_t ZoPlatGetLightingState(ZoPlatLightingState* out) {
  if (out == nullptr) return 0;
  *out = g_lighting.settings;
  out->reflectanceBlock = g_lighting.block;
  if (g_lighting.block != nullptr) {
    std::memcpy(out->reflectance, plat::global_lock(g_lighting.block), sizeof out->reflectance);
    plat::global_unlock(g_lighting.block);
  }
  return 1;
}

}  // extern "C"
