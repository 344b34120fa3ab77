// Bevel profiles: the cross-section of a bevelled edge as a height and a slope over the bevel
// width, tabulated in 4096 steps. The lit renderers, the light picker and the depth buffer
// built from a distance field all read the same tables.
#pragma once

#include <cstdint>

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

}  // namespace zo::shading
