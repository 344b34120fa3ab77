// Bevel profiles: the cross-section of a bevelled edge as a height and a slope over the bevel
// width, tabulated in 4096 steps. The lit renderers, the light picker and the depth buffer
// built from a distance field all read the same tables.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zo::shading {

inline constexpr uint32_t kProfileSamples = 4096;

struct ProfileTables {
  const double* height;  // 0 at the outline, rising toward 1 at the inner end of the bevel
  const double* slope;   // d height / d t, t = distance / bevel width
};

// The tables of a profile kind (0, 1, 100-104; other kinds are kind 0), built on first use
// and kept for the process.
ProfileTables profile_tables(uint32_t kind);

// The table index of a distance inside a bevel of the given width: min(trunc(d / w * 4096),
// 4095); the last entry for a width that is not positive or a ratio that is not finite.
uint32_t profile_index(double distance, double width);

// Height and slope at one distance with the inverted flag and the profile mode applied:
// profile mode 1 turns the profile end for end (h(t) = 1 - H(1 - t): a round edge becomes a
// cove); inverted then turns the bevel into a groove (height 1 - h, slope negated).
struct ProfileSample {
  double height;
  double slope;
};
ProfileSample profile_sample(uint32_t kind, bool inverted, uint32_t mode, double distance,
                             double width);

// One pixel of a distance field: the vector from the pixel to the nearest point of the
// outline, 8 bytes a pixel, two floats or two signed 16-bit values with 8 fraction bits at
// the start of the pixel.
struct DistanceVector {
  double dx, dy;
  // Shorter than 1e-6 in both components, or not finite: the flat top of the object.
  bool flat() const {
    return (std::fabs(dx) < 1e-6 && std::fabs(dy) < 1e-6) || !std::isfinite(dx) ||
           !std::isfinite(dy);
  }
};
inline DistanceVector read_distance(const uint8_t* field, size_t pixel, bool floats) {
  const uint8_t* p = field + pixel * 8;
  if (floats) {
    float v[2];
    std::memcpy(v, p, sizeof v);
    return {v[0], v[1]};
  }
  int16_t v[2];
  std::memcpy(v, p, sizeof v);
  return {v[0] / 256.0, v[1] / 256.0};
}

}  // namespace zo::shading
