#include "bevel_profile.hpp"

#include <array>
#include <cmath>

namespace zo::shading {

namespace {

inline constexpr double kPi = 3.14159265358979323846;

struct Profile {
  uint32_t kind;
  double (*height)(double);
  double (*slope)(double);
};

// The shapes, over t in [0, 1] from the outline inward; each height runs from 0 to 1.
const Profile kProfiles[] = {
    {0, [](double t) { return t; }, [](double) { return 1.0; }},  // flat chamfer
    {1, [](double t) { return std::sqrt(1.0 - (1.0 - t) * (1.0 - t)); },  // round
     [](double t) { return (1.0 - t) / std::sqrt(1.0 - (1.0 - t) * (1.0 - t)); }},
    {100, [](double t) { return 1.0 - std::sqrt(1.0 - t * t); },  // cove
     [](double t) { return t / std::sqrt(1.0 - t * t); }},
    {101, [](double t) { return t * t * (3.0 - 2.0 * t); },  // ogee
     [](double t) { return 6.0 * t * (1.0 - t); }},
    {102, [](double t) { return 1.0 - std::fabs(2.0 * t - 1.0); },  // ridge
     [](double t) { return t < 0.5 ? 2.0 : -2.0; }},
    {103, [](double t) { return t + std::sin(4.0 * kPi * t) / (4.0 * kPi); },  // two steps
     [](double t) { return 1.0 + std::cos(4.0 * kPi * t); }},
    {104, [](double t) { return (1.0 - std::cos(3.0 * kPi * t)) / 2.0; },  // ripple
     [](double t) { return 1.5 * kPi * std::sin(3.0 * kPi * t); }},
};
constexpr size_t kProfileCount = sizeof(kProfiles) / sizeof(kProfiles[0]);

struct Tables {
  bool built = false;
  std::array<double, kProfileSamples> height{};
  std::array<double, kProfileSamples> slope{};
};
// Built once per profile on first use and kept, like the rasteriser's gain table.
std::array<Tables, kProfileCount> g_tables;

size_t profile_slot(uint32_t kind) {
  for (size_t i = 0; i < kProfileCount; ++i) {
    if (kProfiles[i].kind == kind) return i;
  }
  return 0;
}

}  // namespace

ProfileTables profile_tables(uint32_t kind) {
  size_t slot = profile_slot(kind);
  Tables& t = g_tables[slot];
  if (!t.built) {
    // Sampled at the middle of each step, which keeps the round and cove slopes finite.
    for (uint32_t i = 0; i < kProfileSamples; ++i) {
      double u = (i + 0.5) / kProfileSamples;
      t.height[i] = kProfiles[slot].height(u);
      t.slope[i] = kProfiles[slot].slope(u);
    }
    t.built = true;
  }
  return {t.height.data(), t.slope.data()};
}

uint32_t profile_index(double distance, double width) {
  double ratio = distance / width;
  if (!(width > 0.0) || !(ratio < 1.0)) return kProfileSamples - 1;
  if (!(ratio > 0.0)) return 0;
  return static_cast<uint32_t>(ratio * kProfileSamples);
}

ProfileSample profile_sample(uint32_t kind, bool inverted, uint32_t mode, double distance,
                             double width) {
  ProfileTables t = profile_tables(kind);
  uint32_t i = profile_index(distance, width);
  ProfileSample s{t.height[i], t.slope[i]};
  if (mode == 1) {
    s.height = 1.0 - t.height[kProfileSamples - 1 - i];
    s.slope = t.slope[kProfileSamples - 1 - i];
  }
  if (inverted) s = ProfileSample{1.0 - s.height, -s.slope};
  return s;
}

}  // namespace zo::shading
