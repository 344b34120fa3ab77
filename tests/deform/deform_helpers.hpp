// Shared pieces of the deformation tests: random subpaths, an independent double-precision
// model of the envelope formulas, and point comparisons in 16.16 units.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "../transform/transform_helpers.hpp"
#include "Zo32path.h"

namespace zo_test {

inline PointDB operator+(PointDB a, PointDB b) { return {a.x + b.x, a.y + b.y}; }
inline PointDB operator*(PointDB a, double s) { return {a.x * s, a.y * s}; }

// Bernstein form of a cubic, written independently of the library's power form.
inline PointDB bezier_at(const PointDB c[4], double t) {
  double s = 1 - t;
  double w[4] = {s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t};
  PointDB r{0, 0};
  for (int i = 0; i < 4; ++i) r.x += w[i] * c[i].x, r.y += w[i] * c[i].y;
  return r;
}

enum class Kind { kBilinear, kBezierH, kBezierV };

// The exact image of (x, y) under an envelope over the domain.
inline PointDB envelope_image(Kind kind, const Ptfx* pts, const RectDB& d, PointDB p) {
  double w = d.right - d.left, h = d.bottom - d.top;
  double u = w == 0 ? 0 : (p.x - d.left) / w, v = h == 0 ? 0 : (p.y - d.top) / h;
  if (kind == Kind::kBilinear) {
    PointDB c[4] = {db(pts[0]), db(pts[1]), db(pts[2]), db(pts[3])};
    double k[4] = {(1 - u) * (1 - v), u * (1 - v), (1 - u) * v, u * v};
    PointDB r{0, 0};
    for (int i = 0; i < 4; ++i) r.x += k[i] * c[i].x, r.y += k[i] * c[i].y;
    return r;
  }
  PointDB a[4], b[4];
  for (int i = 0; i < 4; ++i) a[i] = db(pts[i]), b[i] = db(pts[4 + i]);
  double t = kind == Kind::kBezierH ? u : v, s = kind == Kind::kBezierH ? v : u;
  PointDB first = bezier_at(a, t), second = bezier_at(b, t);
  return PointDB{first.x + s * (second.x - first.x), first.y + s * (second.y - first.y)};
}

inline double units_apart(Ptfx a, PointDB b) {
  return std::max(std::fabs(a.x - b.x * 65536.0), std::fabs(a.y - b.y * 65536.0));
}

// The frame of a box: its corners (bilinear), or straight top and bottom (left and right)
// edges with their inner control points at the thirds (bi-Bezier).
inline std::vector<Ptfx> box_frame(Kind kind, const RectDB& r) {
  auto at = [](double x, double y) { return Ptfx{DbToFix(x), DbToFix(y)}; };
  if (kind == Kind::kBilinear)
    return {at(r.left, r.top), at(r.right, r.top), at(r.left, r.bottom), at(r.right, r.bottom)};
  std::vector<Ptfx> f;
  for (int edge = 0; edge < 2; ++edge)
    for (int k = 0; k < 4; ++k) {
      double a = k / 3.0;
      f.push_back(kind == Kind::kBezierH
                      ? at(r.left + a * (r.right - r.left), edge ? r.bottom : r.top)
                      : at(edge ? r.right : r.left, r.top + a * (r.bottom - r.top)));
    }
  return f;
}

}  // namespace zo_test
