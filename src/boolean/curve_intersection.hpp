// Where two edges (straight segments or cubics) cross: the parameters of every crossing on
// each edge, and whether the edges run together. The boolean overlay and the cut along a path
// split their edges at these parameters.
#pragma once

#include <cstdint>

#include "geometry/bezier.hpp"

namespace zo::boolean {

// The most crossings one pair of edges reports; further ones are dropped.
inline constexpr int kMaxCrossings = 20;

// A parameter within 0.001 of an end becomes that end.
double snap_parameter(double t);

// Straight segment P0-P1 with straight segment Q0-Q1: 0, 1 or 2 crossings with their
// parameters on each segment. *coincident (when given) is 1 when the segments are collinear
// and overlap between two crossings, else 0.
int intersect_lines(PointDB p0, PointDB p1, PointDB q0, PointDB q1, double ta[kMaxCrossings],
                    double tb[kMaxCrossings], uint8_t* coincident);

// Cubic A with straight segment Q0-Q1; ta[] are parameters on the cubic. *coincident (when
// given) is always 0. *visits (when given) receives how many piece pairs the halving visited,
// a measure of its cost.
int intersect_cubic_line(const Cubic& a, PointDB q0, PointDB q1, double ta[kMaxCrossings],
                         double tb[kMaxCrossings], uint8_t* coincident, uint64_t* visits = nullptr);

// Cubic A with cubic B. *coincident (when given) is 1 only when B has A's control points, in
// the same or the reverse order (then the ends are reported as the two crossings), else 0.
int intersect_cubics(const Cubic& a, const Cubic& b, double ta[kMaxCrossings],
                     double tb[kMaxCrossings], uint8_t* coincident, uint64_t* visits = nullptr);

// Subdivision depth that makes a cubic's halves flat within 2^-23 of their chords; 0 for a
// flat cubic (or a degenerate one whose second differences are not finite).
int subdivision_depth(const Cubic& c);

}  // namespace zo::boolean
