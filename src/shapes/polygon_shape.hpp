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
// next vertex. Styles 3 and 8 turn every vertex by `turn`.
class SidePattern {
 public:
  // False (error 3200 reported) for a side count outside 1 to 63, an unknown style, the
  // degenerate style 5 of two sides, or a style-0 template that is not a regular polygon.
  bool init(uint32_t sides, uint32_t style, const ZoPath* templ);
  uint32_t sides() const { return sides_; }
  uint32_t per_side() const { return perSide_; }
  double turn() const { return turn_; }
  // Entry j (1 to per_side()) of the side pattern.
  PolarNode entry(uint32_t j) const;
  // The subpath flag word of the figure: selected and the polygon marks.
  uint32_t flags() const;

 private:
  uint32_t sides_ = 0, style_ = 0, perSide_ = 0;
  double step_ = 0.0, turn_ = 0.0;
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
// last one closes onto the first.
template <typename Fn>
void for_each_node(const SidePattern& pattern, const Frame& f, Fn&& fn) {
  const double step = kTwoPi / pattern.sides();
  const double start = f.angle + pattern.turn();
  auto at = [&](double r, double a) {
    return PointDB{f.centre.x + r * std::cos(a), f.centre.y + r * std::sin(a)};
  };
  const PointDB first = at(f.radius, start);
  fn(0u, first, uint16_t{PT_MOVETO});
  const uint32_t s = pattern.per_side();
  for (uint32_t k = 0; k < pattern.sides(); ++k) {
    for (uint32_t j = 1; j <= s; ++j) {
      const PolarNode e = pattern.entry(j);
      const uint32_t index = k * s + j;
      if (index == pattern.sides() * s) {
        fn(index, first, static_cast<uint16_t>(pattern.entry(s).type | PT_CLOSEFIGURE));
      } else {
        fn(index, at(f.radius * e.radius, start + k * step + e.angle), e.type);
      }
    }
  }
}

}  // namespace zo::polygon
