// Regular figures of n sides in polar form around a centre: the frame a drag gives, the side
// patterns of the twelve side styles (and of a polygon template), and the walk that turns
// them into nodes, shared by the polygon builder and its XOR preview.
#pragma once

#include <cmath>
#include <cstdint>

#include "Zo32path.h"

namespace zo::polygon {

inline constexpr double kTwoPi = 6.2831853071796;
inline constexpr double kPi = 3.1415926535898;
inline constexpr uint32_t kMaxSides = 63;
inline constexpr uint32_t kMaxSideStyle = 12;

// Centre, radius and start angle of the figure, in image pixels.
struct Frame {
  PointDB centre;
  double radius;
  double angle;
};

// One node of a side pattern: radius as a factor of the figure's radius, angle after the
// side's first vertex (radians), node type.
struct PolarNode {
  double radius;
  double angle;
  uint16_t type;
};

// The side pattern of one style for n sides: nodesPerSide entries, the last of which is the
// next vertex. Styles 3 and 8 turn every vertex by `turn`. Patterns of up to kCached entries
// are kept as unit vectors, so a figure costs one sine and cosine per side.
class SidePattern {
 public:
  static constexpr uint32_t kCached = 16;
  // False (error 3200 reported) for a side count outside 1 to 63, an unknown style, the
  // degenerate style 5 of two sides, or a style-0 template that is not a regular polygon.
  bool init(uint32_t sides, uint32_t style, const ZoPath* templ);
  uint32_t sides() const { return sides_; }
  uint32_t per_side() const { return perSide_; }
  double turn() const { return turn_; }
  // Entry j (1 to per_side()) of the side pattern.
  PolarNode entry(uint32_t j) const;
  // Entry j as a vector from the centre for a unit radius and a side starting at angle 0.
  PointDB unit(uint32_t j, uint16_t* type) const;
  // The largest radius factor of the pattern (at least 1), or infinity when one is not finite.
  double reach() const { return reach_; }
  // The subpath flag word of the figure: selected and the polygon marks.
  uint32_t flags() const;

 private:
  uint32_t sides_ = 0, style_ = 0, perSide_ = 0;
  double step_ = 0.0, turn_ = 0.0, reach_ = 1.0;
  PointDB unit_[kCached] = {};
  uint16_t type_[kCached] = {};
  bool init_template(const ZoPath* templ);
  // Style 0: the template, its side span, centre, radius and start angle.
  const ZoPath* templ_ = nullptr;
  uint32_t templSpan_ = 0;
  double templStepRatio_ = 1.0;
  PointDB templCentre_{};
  double templRadius_ = 0.0, templAngle_ = 0.0;
};

// The frame of a drag: false (3200 reported) for a zoom that is not positive and finite.
bool frame_of(const CoordStruct* view, const RECT* drag, bool centered, bool upright,
              Frame* out);

// Calls fn(index, PointDB, type) for the figure's sides * per_side + 1 nodes in order; the
// last one closes onto the first. Side k is the pattern turned by the side's start angle.
template <typename Fn>
void for_each_node(const SidePattern& pattern, const Frame& f, Fn&& fn) {
  const double step = kTwoPi / pattern.sides();
  const double start = f.angle + pattern.turn();
  const PointDB first{f.centre.x + f.radius * std::cos(start),
                      f.centre.y + f.radius * std::sin(start)};
  fn(0u, first, uint16_t{PT_MOVETO});
  const uint32_t s = pattern.per_side(), last = pattern.sides() * s;
  for (uint32_t k = 0; k < pattern.sides(); ++k) {
    const double a = start + k * step, c = std::cos(a) * f.radius, sn = std::sin(a) * f.radius;
    for (uint32_t j = 1; j <= s; ++j) {
      uint16_t type = 0;
      const PointDB u = pattern.unit(j, &type);
      const uint32_t index = k * s + j;
      if (index == last) {
        fn(index, first, static_cast<uint16_t>(type | PT_CLOSEFIGURE));
      } else {
        fn(index, PointDB{f.centre.x + c * u.x - sn * u.y, f.centre.y + sn * u.x + c * u.y}, type);
      }
    }
  }
}

}  // namespace zo::polygon
