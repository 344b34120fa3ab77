// Vector arithmetic on PointDB (and 3-D vectors) shared by the geometric code.
#pragma once

#include <cmath>

#include "Zo32path.h"

namespace zo {

inline PointDB operator+(PointDB a, PointDB b) { return {a.x + b.x, a.y + b.y}; }
inline PointDB operator-(PointDB a, PointDB b) { return {a.x - b.x, a.y - b.y}; }
inline PointDB operator*(PointDB a, double s) { return {a.x * s, a.y * s}; }
inline double dot(PointDB a, PointDB b) { return a.x * b.x + a.y * b.y; }
inline double cross(PointDB a, PointDB b) { return a.x * b.y - a.y * b.x; }
inline double length_sq(PointDB a) { return dot(a, a); }
inline double length(PointDB a) { return std::sqrt(length_sq(a)); }
inline double distance(PointDB a, PointDB b) { return length(a - b); }
inline PointDB left_normal(PointDB a) { return {-a.y, a.x}; }
// Scales by s; a factor of 0 leaves the vector as it is.
inline PointDB scaled(PointDB a, double s) { return s == 0.0 ? a : a * s; }
// Divides by the length only when the length exceeds 0.0001.
inline PointDB normalized(PointDB a) {
  double len = length(a);
  return len > 0.0001 ? PointDB{a.x / len, a.y / len} : a;
}
// Splits a into its part along b and the perpendicular remainder.
struct Projection {
  PointDB along;
  PointDB across;
  double alongLength;
  double acrossLength;
};
inline Projection project(PointDB a, PointDB b) {
  double bb = length_sq(b);
  PointDB along = bb > 0.0 ? b * (dot(a, b) / bb) : PointDB{0.0, 0.0};
  PointDB across = a - along;
  return {along, across, length(along), length(across)};
}

struct Vec3 {
  double x, y, z;
};
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// The cross product a x b into out; returns its length when asked, else 1.0.
inline double cross(Vec3 a, Vec3 b, Vec3* out, bool wantLength) {
  *out = Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  return wantLength ? std::sqrt(dot(*out, *out)) : 1.0;
}

}  // namespace zo
