#include "polygon_shape.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "geometry/vectors.hpp"
#include "model/records.hpp"
#include "new_shape.hpp"
#include "polygon_rules.hpp"

namespace zo::polygon {

namespace {

constexpr uint16_t L = PT_LINETO;
constexpr uint16_t C = PT_BEZIERTO;

// Nodes one side contributes, by side style (style 0 takes the template's).
constexpr uint32_t kPerSide[kMaxSideStyle + 1] = {0, 1, 2, 3, 3, 3, 5, 6, 3, 4, 9, 5, 2};

// A pattern entry with its angle given as a fraction of the side angle.
PolarNode frac(double radius, double fraction, uint16_t type, double step) {
  return PolarNode{radius, fraction * step, type};
}

double angle_of(PointDB v) { return std::atan2(v.y, v.x); }

// An angle brought into (-pi, pi].
double wrapped(double a) {
  while (a > kPi) a -= kTwoPi;
  while (a <= -kPi) a += kTwoPi;
  return a;
}

}  // namespace

bool SidePattern::init(uint32_t sides, uint32_t style, const ZoPath* templ) {
  if (sides == 0 || sides > kMaxSides || style > kMaxSideStyle) return ZO_REFUSE();
  // Two sides put the bulge controls of style 5 at R / cos(pi / 2): no finite figure.
  if (style == 5 && sides == 2) return ZO_REFUSE();
  sides_ = sides;
  style_ = style;
  step_ = kTwoPi / sides;
  turn_ = style == 3 ? kPi / sides : style == 8 ? step_ * 0.5 : 0.0;
  perSide_ = kPerSide[style];
  if (style == 0 && !init_template(templ)) return false;
  reach_ = 1.0;
  for (uint32_t j = 1; j <= perSide_; ++j) {
    const PolarNode e = entry(j);
    const bool finite = std::isfinite(e.radius) && std::isfinite(e.angle);
    reach_ = finite ? std::max(reach_, std::fabs(e.radius)) : INFINITY;
    if (j <= kCached) {
      unit_[j - 1] = PointDB{e.radius * std::cos(e.angle), e.radius * std::sin(e.angle)};
      type_[j - 1] = e.type;
    }
  }
  return true;
}

PointDB SidePattern::unit(uint32_t j, uint16_t* type) const {
  if (j <= kCached) {
    *type = type_[j - 1];
    return unit_[j - 1];
  }
  const PolarNode e = entry(j);
  *type = e.type;
  return PointDB{e.radius * std::cos(e.angle), e.radius * std::sin(e.angle)};
}

bool SidePattern::init_template(const ZoPath* templ) {
  // The template's first side, in polar form around its centre, repeated on every side: the
  // centre is the mean of its side-start vertices, the radius and start angle those of node 0.
  if (templ == nullptr || !has_regular_sides(templ) || side_count(templ) < 2 ||
      !centre(templ, &templCentre_))
    return ZO_REFUSE();
  const PointDB v0 = to_db(nodes_of(templ)[0].pt) - templCentre_;
  templRadius_ = length(v0);
  if (!(templRadius_ > 0.0)) return ZO_REFUSE();
  templAngle_ = angle_of(v0);
  templ_ = templ;
  templSpan_ = (templ->count - 1) / side_count(templ);
  // The template's side angle maps onto this figure's side angle.
  templStepRatio_ = double(side_count(templ)) / sides_;
  perSide_ = templSpan_;
  return true;
}

PolarNode SidePattern::entry(uint32_t j) const {
  const double s = step_;
  const bool end = j == perSide_;
  switch (style_) {
    case 0: {
      const PathNode& n = nodes_of(templ_)[j];
      if (end) return PolarNode{1.0, s, static_cast<uint16_t>(n.type & PT_KIND_MASK)};
      const PointDB v = to_db(n.pt) - templCentre_;
      const double a = wrapped(angle_of(v) - templAngle_) * templStepRatio_;
      return PolarNode{length(v) / templRadius_, a, static_cast<uint16_t>(n.type & PT_KIND_MASK)};
    }
    case 1: return frac(1.0, 1.0, L, s);
    case 2: return j == 1 ? frac(1.0 / 3.0, 0.5, L, s) : frac(1.0, 1.0, L, s);
    case 3: {
      // Arcs bulging from vertex to vertex: controls at radius R t cos a, delta off the ends.
      const double a = (double(sides_) - 2.0) * kPi / (2.0 * sides_);
      const double t = std::tan(a) + 5.0 / 3.0;
      const double delta = kPi / sides_ - std::atan(1.0 / t);
      const double rho = t * std::cos(a);
      if (j == 1) return PolarNode{rho, delta, C};
      if (j == 2) return PolarNode{rho, s - delta, C};
      return PolarNode{1.0, s, C};
    }
    case 4: {  // concave sides: both controls pulled in to half the radius
      const double f[] = {0.25, 0.75, 1.0}, r[] = {0.5, 0.5, 1.0};
      return frac(r[j - 1], f[j - 1], C, s);
    }
    case 5: {  // outward bulge: both controls on the bisector at R / cos(pi / n)
      if (end) return frac(1.0, 1.0, C, s);
      return PolarNode{1.0 / std::cos(kPi / sides_), kPi / sides_, C};
    }
    case 6: {  // a tab: in to 3/4 R, a bulge along the side, back out to the vertex
      const PolarNode p[] = {frac(0.75, 0.125, L, s), frac(1.0, 0.25, C, s), frac(1.0, 0.75, C, s),
                             frac(0.75, 0.875, C, s), frac(1.0, 1.0, L, s)};
      return p[j - 1];
    }
    case 7: {  // two lobes meeting at a valley of radius R cos(step / 3)
      const double v = std::cos(s / 3.0), c = std::cos(0.675 * s) * 0.5 + 0.5;
      const PolarNode p[] = {frac(1.0, 0.25, C, s), frac(v + (1.0 - v) * c, 0.375, C, s),
                             frac(v, 0.5, C, s),    frac(v + (1.0 - v) * c, 0.625, C, s),
                             frac(1.0, 0.75, C, s), frac(1.0, 1.0, C, s)};
      return p[j - 1];
    }
    case 8: {  // a swirl: one control flung out to 1.5 R, the other pulled in to R / 5
      const PolarNode p[] = {frac(1.5, 0.25, C, s), frac(0.2, 0.75, C, s), frac(1.0, 1.0, C, s)};
      return p[j - 1];
    }
    case 9: {  // a step in to 3/4 R, then a curve back out to the vertex
      const PolarNode p[] = {frac(0.75, 0.25, L, s), frac(0.75, 0.5, C, s), frac(1.0, 0.75, C, s),
                             frac(1.0, 1.0, C, s)};
      return p[j - 1];
    }
    case 10: {  // scallops: dips to 8/9 R at the quarter steps, an arch between them
      const double in = 8.0 / 9.0;
      const PolarNode p[] = {frac(0.75, 0.0625, C, s), frac(0.75, 0.1875, C, s),
                             frac(in, 0.25, C, s),     frac(1.0, 0.375, C, s),
                             frac(1.0, 0.625, C, s),   frac(in, 0.75, C, s),
                             frac(0.75, 0.8125, C, s), frac(0.75, 0.9375, C, s),
                             frac(1.0, 1.0, C, s)};
      return p[j - 1];
    }
    case 11: {  // a notch: in to 3/4 R at the quarter steps, a scoop to R / 2 between
      const PolarNode p[] = {frac(0.75, 0.25, L, s), frac(0.5, 0.375, C, s), frac(0.5, 0.625, C, s),
                             frac(0.75, 0.75, C, s), frac(1.0, 1.0, L, s)};
      return p[j - 1];
    }
    default: {  // 12: a shallow star, its inner points at half the side's apothem
      if (end) return frac(1.0, 1.0, L, s);
      return frac(0.5 * std::cos(s * 0.5), 0.5, L, s);
    }
  }
}

uint32_t SidePattern::flags() const {
  uint32_t f = ZOF_SELECTED | (sides_ << 5);
  if (style_ >= 1 && style_ <= 4) f |= style_ << 13;
  f |= style_ == 9 ? ZOF_POLY_STYLE1 : ZOF_POLY_STYLE2;
  return f;
}

bool frame_of(const CoordStruct* view, const RECT* drag, bool centered, bool upright,
              Frame* out) {
  if (!shapes::usable_zoom(view->zoom)) return ZO_REFUSE();
  const double zoom = view->zoom;
  auto image = [&](int32_t x, int32_t y) {
    return PointDB{(double(x) - view->rcWindow.left + view->scrollX) / zoom - 0.5,
                   (double(y) - view->rcWindow.top + view->scrollY) / zoom - 0.5};
  };
  PointDB c = image(drag->left, drag->top), p = image(drag->right, drag->bottom);
  const double w = (std::fabs(double(drag->right) - drag->left) + 1.0) / zoom;
  const double h = (std::fabs(double(drag->bottom) - drag->top) + 1.0) / zoom;
  if (!centered) {
    c.x += drag->right > drag->left ? w / 2 : -w / 2;
    c.y += drag->bottom > drag->top ? h / 2 : -h / 2;
  }
  if (upright) p = PointDB{c.x, drag->bottom > drag->top ? c.y - h / 2 : c.y + h / 2};
  const PointDB v = p - c;
  *out = Frame{c, length(v), std::atan2(v.y, v.x)};
  return true;
}

}  // namespace zo::polygon
