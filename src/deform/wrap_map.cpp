#include "wrap_map.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/vectors.hpp"

namespace zo::deform {

namespace {

PointDB normal_of(PointDB t) { return PointDB{t.y, -t.x}; }
PointDB left_of(PointDB n) { return PointDB{-n.y, n.x}; }

// The tangent of the half-angle between a mitre vector and the segment's own normal, signed
// to turn the normal toward the mitre.
double half_angle_term(PointDB mitre, PointDB normal) {
  double c = std::max(0.001, dot(mitre, normal));
  double s = std::sqrt(std::max(0.0, 1.0 / (c * c) - 1.0));
  return cross(normal, mitre) < 0 ? -s : s;
}

}  // namespace

WrapFrame frame_of(const RectDB& box, const ZoPathWrapInfo& info, bool bend) {
  WrapFrame f{box.left, box.right - box.left, box.top, box.bottom - box.top, 0.0};
  double h1 = f.height + 1.0;
  if (info.text != 0) {
    double ascent = info.ascentDescent >> 16, descent = info.ascentDescent & 0xFFFFu;
    double share = bend || ascent + descent == 0 ? 0.5 : ascent / (ascent + descent);
    f.refY = f.top + h1 * share;
  } else {
    f.refY = f.top + (1.0 - info.sizeOrRef.verticalRef) * h1;
  }
  return f;
}

WrapSetup setup_of(const ZoPathWrapInfo& info) {
  const WrapTables& w = wrap_tables();
  WrapSetup s{};
  s.fit = info.fit != 0;
  s.followNormal = info.followNormal != 0;
  s.rotate = info.rotate == 1;
  s.deform = info.deform != 0;
  s.mitre = s.deform && s.followNormal && info.cornerMode != 0;
  s.total = w.total;
  s.start = info.start;
  s.usable = w.open ? (1.0 - info.start) * w.total : w.total;
  s.startScale = info.startHeight / 100.0;
  s.endScale = info.endHeight / 100.0;
  return s;
}

double arc_of(const WrapSetup& s, const WrapFrame& f, double x, double* u) {
  double w1 = f.width + 1.0;
  *u = std::fabs(w1) > 0.01 ? (x - f.left) / w1 : 0.0;
  return (s.fit ? *u * s.usable : x - f.left) + s.start * s.total;
}

PointDB offset_at(const WrapSetup& s, const BaselinePoint& at, double d) {
  if (!s.followNormal) return s.rotate ? at.point + PointDB{d, 0} : at.point - PointDB{0, d};
  PointDB n = normal_of(at.tangent);
  if (at.seg >= 0 && s.mitre) {
    const WrapSegment& seg = wrap_tables().segs[at.seg];
    if (seg.corner != 0 && seg.kind == 1) {
      double s0 = half_angle_term(seg.m0, normal_of(segment_tangent(seg, 0.0)));
      double s1 = half_angle_term(seg.m1, normal_of(segment_tangent(seg, 1.0)));
      double blend = (1.0 - at.t) * s0 + at.t * s1;
      return at.point + (n + left_of(n) * blend) * d;
    }
    if (seg.corner != 0) {
      PointDB dir = seg.m0 * (1.0 - at.t) + seg.m1 * at.t;
      double len = length(dir);
      if (len > 0.0) dir = dir * (1.0 / len);
      return at.point + dir * (d / std::max(0.001, dot(dir, n)));
    }
  }
  return at.point + n * d;
}

PointDB map_point(const WrapSetup& s, const WrapFrame& f, PointDB p) {
  double u = 0.0;
  double arc = arc_of(s, f, p.x, &u);
  double k = s.startScale - (s.startScale - s.endScale) * u;
  return offset_at(s, locate(arc), k * (f.refY - p.y));
}

}  // namespace zo::deform
