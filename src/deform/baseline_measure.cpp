// Measurements on a baseline subpath: its length, node positions, its points as a cubic run,
// the point at a fraction of the length, and the nearest point to a given one.
#include <algorithm>
#include <cmath>

#include "edit/nearest_point.hpp"
#include "cubic_pieces.hpp"
#include "model/segment_walk.hpp"
#include "geometry/vectors.hpp"

using namespace zo;
using namespace zo::deform;

namespace {

double piece_length(const Piece& s) {
  return s.cubic ? cubic_curve_length(s.p[0], s.p[1], s.p[2], s.p[3]) : distance(s.p[0], s.p[3]);
}

// The length of a piece from its start to parameter t.
double length_to(const Piece& s, double t) {
  if (!s.cubic) return distance(s.p[0], s.p[3]) * t;
  if (t <= 0.0) return 0.0;
  PointDB before[4], after[4];
  split_cubic_at(s.p, t, before, after);
  return cubic_curve_length(before[0], before[1], before[2], before[3]);
}

PointDB point_on(const Piece& s, double t) {
  if (!s.cubic) return s.p[0] + (s.p[3] - s.p[0]) * t;
  return deform::cubic_point_at(s.p, t);
}

// The parameter at which a piece has run the given length, by bisection on the length of
// the part before it (the lengths are those of the whole-subpath measure).
double parameter_at(const Piece& s, double along, double total) {
  if (!s.cubic) return total > 0.0 ? along / total : 0.0;
  double lo = 0.0, hi = 1.0;
  for (int k = 0; k < 40; ++k) {
    double mid = 0.5 * (lo + hi);
    (length_to(s, mid) < along ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

struct Nearest {
  PointDB point;
  double distance = INFINITY;
  double lengthBefore = 0.0;  // the subpath's length up to the nearest point
};

bool nearest_of(ZoPath* path, PointDB q, Nearest* out) {
  if (path == nullptr || path->count == 0) return false;
  double run = 0.0;
  PointDB start;
  bool any = for_each_piece(
      path,
      [&](const Piece& s) {
        double t;
        PointDB at;
        if (s.cubic) {
          edit::NearestPoint np = edit::nearest_point_on_cubic(s.p, q);
          t = np.t, at = np.point;
        } else {
          PointDB d = s.p[3] - s.p[0];
          double dd = length_sq(d);
          t = dd > 0.0 ? std::clamp(dot(q - s.p[0], d) / dd, 0.0, 1.0) : 0.0;
          at = point_on(s, t);
        }
        double dist = distance(at, q);
        if (dist < out->distance) *out = Nearest{at, dist, run + length_to(s, t)};
        run += piece_length(s);
        return true;
      },
      &start);
  if (!any) return false;
  if (out->distance == INFINITY) *out = Nearest{start, distance(start, q), 0.0};
  return true;
}

}  // namespace

extern "C" {

ZO_API double ZoPathGetLength2(ZoPath* path) {
  if (path == nullptr) return 0.0;
  double total = 0.0;
  for_each_piece(path, [&](const Piece& s) { return total += piece_length(s), true; });
  return total;
}

ZO_API uint32_t ZoPathGetPointPosition(ZoPath* path, int32_t index, double* x, double* y) {
  if (path == nullptr || index < 0 || static_cast<uint32_t>(index) >= path->count) return 0;
  PointDB p = to_db(nodes_of(path)[index].pt);
  if (x != nullptr) *x = p.x;
  if (y != nullptr) *y = p.y;
  return 1;
}

ZO_API uint32_t ZoPathGetBezierPointDBs(ZoPath* path, PointDB* points) {
  if (path == nullptr || path->count == 0) return 0;
  uint32_t n = 0;
  PointDB start;
  if (!for_each_piece(
          path,
          [&](const Piece& s) {
            if (points != nullptr) {
              if (n == 0) points[n] = s.p[0];
              PointDB d = s.p[3] - s.p[0];
              PointDB* out = points + (n == 0 ? 1 : n);
              out[0] = s.cubic ? s.p[1] : s.p[0] + d * 0.33333;
              out[1] = s.cubic ? s.p[2] : s.p[0] + d * 0.66667;
              out[2] = s.p[3];
            }
            n = (n == 0 ? 1 : n) + 3;
            return true;
          },
          &start))
    return 0;
  if (n == 0) {
    if (points != nullptr) points[0] = start;
    n = 1;
  }
  return n;
}

ZO_API uint32_t ZoPathGetPointByLengthPercentage(ZoPath* path, float fraction, PointDB* point) {
  if (path == nullptr || point == nullptr || path->count == 0) return 0;
  double total = ZoPathGetLength2(path);
  PointDB at;
  if (!for_each_piece(path, [](const Piece&) { return false; }, &at)) return 0;
  if (fraction > 0.0001f && total > 0.0) {
    double target = std::min(1.0, static_cast<double>(fraction)) * total, run = 0.0;
    for_each_piece(path, [&](const Piece& s) {
      double len = piece_length(s);
      at = s.p[3];
      if (run + len < target) return run += len, true;
      at = point_on(s, parameter_at(s, target - run, len));
      return false;
    });
  }
  *point = at;
  return 1;
}

ZO_API uint32_t ZoPathGetLengthPercentageByPoint(ZoPath* path, PointDB point, float* fraction,
                                                 PointDB* nearest) {
  Nearest n;
  if (!nearest_of(path, point, &n)) return 0;
  double total = ZoPathGetLength2(path);
  if (fraction != nullptr)
    *fraction = static_cast<float>(total > 0.0 ? std::min(1.0, n.lengthBefore / total) : 0.0);
  if (nearest != nullptr) *nearest = n.point;
  return 1;
}

ZO_API uint32_t ZoPathGetNearestPointFromPoint(ZoPath* path, PointDB point, float* distance,
                                               PointDB* nearest) {
  Nearest n;
  if (!nearest_of(path, point, &n)) return 0;
  if (distance != nullptr) *distance = static_cast<float>(n.distance);
  if (nearest != nullptr) *nearest = n.point;
  return 1;
}

}  // extern "C"
