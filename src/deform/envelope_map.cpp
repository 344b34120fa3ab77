// Envelope mapping: the point maps of the bilinear and the two bi-Bezier frames, applied to
// every point of a path (control points included, no subdivision), and the restriction of an
// envelope to a sub-rectangle of its domain.
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;

namespace {

enum class Frame { kBilinear, kBezierH, kBezierV };

// The relative position of a point in the domain. A zero-width (or zero-height) domain keeps
// the previous u (or v), which starts at 0 for each call, instead of dividing by zero.
class Domain {
 public:
  explicit Domain(const RectDB& r) : r_(r) {}
  void locate(PointDB p, double* u, double* v) {
    if (r_.right - r_.left != 0.0) u_ = (p.x - r_.left) / (r_.right - r_.left);
    if (r_.bottom - r_.top != 0.0) v_ = (p.y - r_.top) / (r_.bottom - r_.top);
    *u = u_;
    *v = v_;
  }

 private:
  RectDB r_;
  double u_ = 0.0, v_ = 0.0;
};

// A cubic in power form: c0 + c1 t + c2 t^2 + c3 t^3.
struct Power {
  PointDB c0, c1, c2, c3;
  explicit Power(const Ptfx* p) {
    PointDB p0 = to_db(p[0]), p1 = to_db(p[1]), p2 = to_db(p[2]), p3 = to_db(p[3]);
    c0 = p0;
    c1 = (p1 - p0) * 3.0;
    c2 = (p2 - p1 * 2.0 + p0) * 3.0;
    c3 = p3 - p2 * 3.0 + p1 * 3.0 - p0;
  }
};

class EnvelopeMap {
 public:
  EnvelopeMap(Frame kind, const Ptfx* points, const RectDB& domain)
      : kind_(kind), domain_(domain), a_(points), b_(points + (kind == Frame::kBilinear ? 0 : 4)) {
    for (int i = 0; i < 4; ++i) corner_[i] = to_db(points[i]);
  }

  PointDB map(PointDB p) {
    double u, v;
    domain_.locate(p, &u, &v);
    if (kind_ == Frame::kBilinear) {
      const PointDB* c = corner_;
      return c[0] + (c[1] - c[0]) * u + (c[2] - c[0]) * v + (c[3] + c[0] - c[1] - c[2]) * (u * v);
    }
    // One curve at the start of the cross direction, the other at its end; straight between.
    double t = kind_ == Frame::kBezierH ? u : v, s = kind_ == Frame::kBezierH ? v : u;
    PointDB d0 = b_.c0 - a_.c0, d1 = b_.c1 - a_.c1, d2 = b_.c2 - a_.c2, d3 = b_.c3 - a_.c3;
    PointDB first = a_.c0 + a_.c1 * t + a_.c2 * (t * t) + a_.c3 * (t * t * t);
    return first + (d0 + d1 * t + d2 * (t * t) + d3 * (t * t * t)) * s;
  }
  Ptfx map(Ptfx p) { return to_fix(map(to_db(p))); }

 private:
  Frame kind_;
  Domain domain_;
  Power a_, b_;
  PointDB corner_[4];
};

uint32_t map_path(ZoPath* path, Frame kind, const RectDB& domain, const Ptfx* points) {
  EnvelopeMap envelope(kind, points, domain);
  for (ZoPath* p = path; p != nullptr; p = p->joinNext) {
    if (kind != Frame::kBilinear) {
      polygon::clear_marks(p);
      p->primitiveKind = 0;
    } else if (ZoPathIsKeepPrimitive(p, points) == 0) {
      p->primitiveKind = 0;
    }
    for_each_point(p, [&](PathNode& n) { n.pt = envelope.map(n.pt); });
    if (has_attachment(p)) break;
  }
  return 1;
}

// The envelope restricted to R: R's frame mapped through the envelope and read back as
// control points. For a bi-Bezier edge the images of the samples at 0.333 and 0.666 are
// taken as the points at 1/3 and 2/3 of the new curve.
void restrict_to(Frame kind, const RectDB& domain, const RectDB& r, Ptfx* points) {
  EnvelopeMap envelope(kind, points, domain);
  auto image = [&](double x, double y) { return envelope.map(Ptfx{db_to_fix(x), db_to_fix(y)}); };
  if (kind == Frame::kBilinear) {
    Ptfx tl = image(r.left, r.top), tr = image(r.right, r.top);
    Ptfx bl = image(r.left, r.bottom), br = image(r.right, r.bottom);
    points[0] = tl, points[1] = tr, points[2] = bl, points[3] = br;
    return;
  }
  static const double kSamples[4] = {0.0, 0.333, 0.666, 1.0};
  Ptfx sampled[2][4];
  for (int edge = 0; edge < 2; ++edge) {
    for (int k = 0; k < 4; ++k) {
      double f = kSamples[k];
      sampled[edge][k] = kind == Frame::kBezierH
                             ? image(r.left + (r.right - r.left) * f, edge == 0 ? r.top : r.bottom)
                             : image(edge == 0 ? r.left : r.right, r.top + (r.bottom - r.top) * f);
    }
  }
  for (int edge = 0; edge < 2; ++edge) {
    PointDB a = to_db(sampled[edge][0]), s1 = to_db(sampled[edge][1]);
    PointDB s2 = to_db(sampled[edge][2]), b = to_db(sampled[edge][3]);
    PointDB c1 = (s1 - a * (8.0 / 27.0) - b * (1.0 / 27.0)) * 3.0;
    PointDB c2 = (s2 - a * (1.0 / 27.0) - b * (8.0 / 27.0)) * 3.0;
    Ptfx* out = points + 4 * edge;
    out[0] = to_fix(a);
    out[1] = to_fix(c1 - c2 * 0.5);
    out[2] = to_fix(c2 - c1 * 0.5);
    out[3] = to_fix(b);
  }
}

uint32_t domain_range(ZoPath* path, const RectDB* domain, const RectDB* range, Ptfx* points,
                      Frame kind) {
  if (domain == nullptr || points == nullptr) return 0;
  if (path != nullptr) return map_path(path, kind, *domain, points);
  if (range == nullptr) return 0;
  restrict_to(kind, *domain, *range, points);
  return 1;
}

uint32_t map_from_bounds(ZoPath* path, const Ptfx* points, Frame kind) {
  if (path == nullptr || points == nullptr) return 0;
  RectDB box;
  if (ZoPathGetDoubleRectNoMargin(path, &box, 1) == 0) return 0;
  return domain_range(path, &box, nullptr, const_cast<Ptfx*>(points), kind);
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathDomainRangeBilinear(ZoPath* path, const RectDB* domain,
                                          const RectDB* range, Ptfx* points) {
  return domain_range(path, domain, range, points, Frame::kBilinear);
}

ZO_API uint32_t ZoPathDomainRangeBiCubic(ZoPath* path, const RectDB* domain, const RectDB* range,
                                         Ptfx* points) {
  return domain_range(path, domain, range, points, Frame::kBezierH);
}

ZO_API uint32_t ZoPathDomainRangeBiCubicV(ZoPath* path, const RectDB* domain,
                                          const RectDB* range, Ptfx* points) {
  return domain_range(path, domain, range, points, Frame::kBezierV);
}

ZO_API uint32_t ZoPathBiLinear(ZoPath* path, const Ptfx* points, uint32_t /*ignored*/) {
  return map_from_bounds(path, points, Frame::kBilinear);
}

ZO_API uint32_t ZoPathBiCubic(ZoPath* path, const Ptfx* points, uint32_t /*ignored*/) {
  return map_from_bounds(path, points, Frame::kBezierH);
}

ZO_API uint32_t ZoPathBiCubicV(ZoPath* path, const Ptfx* points, uint32_t /*ignored*/) {
  return map_from_bounds(path, points, Frame::kBezierV);
}

}  // extern "C"
