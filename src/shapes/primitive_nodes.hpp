// The node lists of the primitive shapes. Each writer fills a record's node array (which must
// have room for the listed count) in the fixed order the roundness and editing calls rely on:
// node 3, 7 and 12 of a rounded rectangle are its left, upper and right edges.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::shapes {

// The circle-arc control factor of ellipses and rounded corners.
inline constexpr double kKappa = 0.5522847;

inline constexpr uint32_t kEllipseNodes = 13;
inline constexpr uint32_t kRectangleNodes = 5;
inline constexpr uint32_t kRoundedNodes = 17;
inline constexpr uint32_t kDiamondNodes = 5;
inline constexpr uint32_t kBandedNodes = 27;
inline constexpr uint32_t kTriangleNodes = 4;

// The primitive kinds of the path header.
enum PrimitiveKind : uint32_t {
  kNotPrimitive = 0,
  kEllipse = 1,
  kRectangle = 2,
  kRounded = 3,  // automatic corner radius
  kDiamond = 4,
  kBanded = 5,
  kTriangle = 6,  // requested only; stored as kNotPrimitive
  kRoundedPercent = 300,  // 300 + corner radius in percent of the smaller half-side
  kRoundedPercentMax = 400,
};
inline bool is_percent_rounded(uint32_t kind) {
  return kind >= kRoundedPercent && kind <= kRoundedPercentMax;
}

// Ellipse about (cx, cy) with radii a and b, starting at the bottom and running clockwise on
// screen (through the left side first); the last node closes onto node 0.
void write_ellipse(PathNode* n, double cx, double cy, double a, double b);
void write_rectangle(PathNode* n, double l, double t, double r, double b);
void write_diamond(PathNode* n, double l, double t, double r, double b);
void write_triangle(PathNode* n, double l, double t, double r, double b);
void write_banded(PathNode* n, double l, double t, double r, double b);
// Rounded rectangle from its left edge x (the start of the lower-left arc), direction d (+1,
// or -1 for a horizontally mirrored one), width w >= 0, edges top and bottom, corner radius r.
void write_rounded(PathNode* n, double x, double d, double w, double top, double bottom,
                   double r);

}  // namespace zo::shapes
