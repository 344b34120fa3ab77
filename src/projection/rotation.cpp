// Rotation arithmetic the host accumulates the user's turns with: axis-angle matrices,
// products, re-orthonormalisation and the composition of two axis-angle turns.
#include <cmath>
#include <cstring>

#include "Zo32path.h"
#include "eye_mapping.hpp"
#include "geometry/vectors.hpp"

namespace zo::projection {

namespace {

Vec3 load(const double* v) { return Vec3{v[0], v[1], v[2]}; }
void store(Vec3 v, double* out) { out[0] = v.x, out[1] = v.y, out[2] = v.z; }
Vec3 cross3(Vec3 a, Vec3 b) {
  Vec3 out;
  cross(a, b, &out, false);
  return out;
}
// Unit length; a zero vector stays as it is.
Vec3 unit(Vec3 v) {
  double len = std::sqrt(dot(v, v));
  return len > 0.0 ? Vec3{v.x / len, v.y / len, v.z / len} : v;
}

// An angle in degrees brought into [0, 360); one already there is left exactly as it is.
double reduce(double degrees) {
  if (degrees >= 0.0 && degrees < 360.0) return degrees;
  double r = std::fmod(degrees, 360.0);
  return r < 0.0 ? r + 360.0 : r;
}

// v turned about the unit axis by the angle, with the cosine taken from the sine.
Vec3 turn(Vec3 v, const double* axis, double degrees) {
  double s = std::sin(degrees * kPi / 180.0);
  double c = std::sqrt(1.0 - s * s);
  if (degrees > 90.0 && degrees < 270.0) c = -c;
  double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // stays the identity when the sine is 0
  VThitaGetMatrix(s, c, axis, m);
  double p[3];
  store(v, p);
  RotatePoint3D(p, m);
  return load(p);
}

}  // namespace

}  // namespace zo::projection

using namespace zo;
using namespace zo::projection;

extern "C" {

ZO_API void VThitaGetMatrix(double sinTheta, double cosTheta, const double* axis,
                            double* matrix) {
  if (axis == nullptr || matrix == nullptr || sinTheta == 0.0) return;
  double x = axis[0], y = axis[1], z = axis[2], s = sinTheta, c = cosTheta, t = 1.0 - c;
  double* m = matrix;
  m[0] = x * x + (1 - x * x) * c;
  m[4] = y * y + (1 - y * y) * c;
  m[8] = z * z + (1 - z * z) * c;
  m[1] = x * y * t + z * s;
  m[3] = x * y * t - z * s;
  m[2] = x * z * t - y * s;
  m[6] = x * z * t + y * s;
  m[5] = y * z * t + x * s;
  m[7] = y * z * t - x * s;
}

ZO_API void RotatePoint3D(double* point, const double* matrix) {
  if (point == nullptr || matrix == nullptr) return;
  store(rotate(load(point), matrix), point);
}

ZO_API void Matrix3X3(const double* a, const double* b, double* out) {
  if (a == nullptr || b == nullptr || out == nullptr) return;
  double r[9];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r[3 * i + j] = a[3 * i] * b[j] + a[3 * i + 1] * b[3 + j] + a[3 * i + 2] * b[6 + j];
    }
  }
  std::memcpy(out, r, sizeof r);
}

ZO_API void ORMatrix(double* matrix) {
  if (matrix == nullptr) return;
  Vec3 r1 = unit(load(matrix + 3)), r2 = load(matrix + 6);
  Vec3 r0 = unit(cross3(r1, r2));
  r2 = unit(cross3(r0, r1));
  store(r0, matrix);
  store(r1, matrix + 3);
  store(r2, matrix + 6);
}

ZO_API uint32_t AddRotation(const double* axis1, double angle1, const double* axis2,
                            double angle2, double* outAxis, double* outAngle) {
  if (axis1 == nullptr || axis2 == nullptr || outAxis == nullptr || outAngle == nullptr) return 0;
  if (angle1 == 0.0 && angle2 == 0.0) return 0;
  if (angle1 == 0.0 || angle2 == 0.0) {
    const double* axis = angle1 == 0.0 ? axis2 : axis1;
    std::memmove(outAxis, axis, 3 * sizeof(double));
    *outAngle = angle1 == 0.0 ? angle2 : angle1;
    return 1;
  }
  double u1[3], u2[3];
  store(unit(load(axis1)), u1);
  store(unit(load(axis2)), u2);
  angle1 = reduce(angle1);
  angle2 = reduce(angle2);
  Vec3 n = cross3(load(u1), load(u2));
  if (n.x == 0.0 && n.y == 0.0 && n.z == 0.0) {
    bool sameWay = dot(load(u1), load(u2)) >= 0.0;
    store(load(u1), outAxis);
    *outAngle = reduce(sameWay ? angle1 + angle2 : angle1 - angle2);
    return 1;
  }
  // The turn about p1 x p2 that carries n turned back by the first rotation onto n turned
  // by the second.
  n = unit(n);
  Vec3 p1 = turn(n, u1, reduce(-angle1));
  Vec3 p2 = turn(n, u2, reduce(angle2));
  Vec3 axis = cross3(p1, p2);
  double sine = std::sqrt(dot(axis, axis));
  double t = std::asin(sine < 1.0 ? sine : 1.0);
  if (dot(p1, p2) < 0.0) t = kPi - t;
  store(unit(axis), outAxis);
  *outAngle = t * 180.0 / kPi;
  return 1;
}

}  // extern "C"
