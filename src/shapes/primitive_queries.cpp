// Questions about a path while it is still an unedited primitive: its kind, its corner
// roundness, its largest inset, and whether it is still exactly the primitive it was made as.
// They read fixed node positions of the node lists (primitive_nodes.hpp).
#include <algorithm>
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "primitive_nodes.hpp"

using namespace zo;
using namespace zo::shapes;

namespace {

double nx(const ZoPath* p, uint32_t i) { return fix_to_db(nodes_of(p)[i].pt.x); }
double ny(const ZoPath* p, uint32_t i) { return fix_to_db(nodes_of(p)[i].pt.y); }

bool is_rounded(uint32_t kind) { return kind == kRounded || is_percent_rounded(kind); }
// Rounded kinds whose corners are still circular arcs (400 has half-circle ends and is
// treated like a plain shape by the distance and identity questions).
bool has_round_corners(uint32_t kind) {
  return kind == kRounded || (kind >= kRoundedPercent && kind < kRoundedPercentMax);
}

}  // namespace

extern "C" {

ZO_API ZoPath* ZoPathPrimitive(ZoPath** p, uint32_t kind) {
  if (p == nullptr || *p == nullptr) return nullptr;
  (*p)->primitiveKind = kind;
  return *p;
}

ZO_API void ZoPathCancelPrimitive(ZoPath* p) {
  if (p == nullptr) return;
  p->primitiveKind = kNotPrimitive;
  // From the head of its object to the end of the list: the whole object and what follows.
  ZoPath* q = p;
  while (q->joinPrev != nullptr) q = q->joinPrev;
  for (; q != nullptr; q = q->next) q->primitiveKind = kNotPrimitive;
}

ZO_API uint32_t ZoPathGetRectangleRoundness(const ZoPath* s, uint32_t* percent,
                                            uint32_t* radius) {
  if (s == nullptr) return 0;
  uint32_t p = 50, r = 0, ok = 0;
  if (is_rounded(s->primitiveKind) && s->count >= kRoundedNodes) {
    const double inset = std::fabs(nx(s, 3) - nx(s, 0));
    if (s->primitiveKind == kRounded) {
      const double half = std::min(std::fabs(nx(s, 3) - nx(s, 12)), ny(s, 0) - ny(s, 7)) * 0.5;
      const double v = inset * 100.0 / half + 0.5;
      p = !(v >= 1.0) ? 1u : v > 99.0 ? 99u : static_cast<uint32_t>(v);
      r = static_cast<uint32_t>(inset + 0.5);
    } else {
      p = s->primitiveKind - kRoundedPercent;
      r = static_cast<uint32_t>(std::abs(static_cast<int64_t>(nx(s, 0) - nx(s, 3) + 0.5)));
    }
    ok = 1;
  }
  if (percent != nullptr) *percent = p;
  if (radius != nullptr) *radius = r;
  return ok;
}

ZO_API uint32_t ZoPathSetRectangleRoundness(ZoPath* s, int32_t percent, RECT* bounds) {
  if (s == nullptr || !is_rounded(s->primitiveKind) || s->count < kRoundedNodes) return 0;
  const int32_t p = std::clamp(percent, 1, 99);
  const double x = nx(s, 3), w = nx(s, 12) - x, bottom = ny(s, 0), top = ny(s, 7);
  const double d = w >= 0.0 ? 1.0 : -1.0;
  const double r = std::min(std::fabs(w), bottom - top) * 0.5 * p / 100.0;
  s->primitiveKind = kRoundedPercent + uint32_t(p);
  write_rounded(nodes_of(s), x, d, std::fabs(w), top, bottom, r);
  if (bounds != nullptr) {
    const double a = x, b = x + d * std::fabs(w);
    *bounds = RECT{static_cast<int32_t>(std::min(a, b) + 0.5), static_cast<int32_t>(top + 0.5),
                   static_cast<int32_t>(std::max(a, b) + 0.5),
                   static_cast<int32_t>(bottom + 0.5)};
  }
  return 1;
}

ZO_API uint32_t ZoPathGetPrimitiveMaxDist(const ZoPath* s, double* dist) {
  if (s == nullptr || dist == nullptr || s->primitiveKind == kNotPrimitive) return 0;
  const uint32_t kind = s->primitiveKind;
  double d = 0.0;
  if (kind == kEllipse && s->count >= 4) {
    d = std::min(std::fabs(nx(s, 3) - nx(s, 0)), std::fabs(ny(s, 0) - ny(s, 3)));
  } else if ((kind == kRectangle && s->count >= 3) || (kind == kBanded && s->count >= 14)) {
    const uint32_t c = kind == kRectangle ? 2 : 13;
    d = std::min(std::fabs(nx(s, c) - nx(s, 0)), std::fabs(ny(s, c) - ny(s, 0))) / 2.0;
  } else if (has_round_corners(kind) && s->count >= 4) {
    d = std::fabs(nx(s, 3) - nx(s, 0));
  } else if (s->count >= 4) {
    d = std::min(std::fabs(nx(s, 1) - nx(s, 3)) / 2.0, std::fabs(ny(s, 0) - ny(s, 2)) / 2.0);
  } else {
    return 0;  // too few nodes for any primitive
  }
  *dist = std::max(d, 1.0);
  return 1;
}

ZO_API uint32_t ZoPathIsOnlyPrimitive(const ZoPath* s) {
  if (s == nullptr || s->primitiveKind == kNotPrimitive) return 0;
  if (has_round_corners(s->primitiveKind)) {
    if (s->count < 4) return 0;
    const double dx = std::fabs(nx(s, 0) - nx(s, 3)), dy = std::fabs(ny(s, 0) - ny(s, 3));
    if (std::fabs(dx - dy) > 0.01) return 0;  // the lower-left corner is no quarter circle
  }
  if (s->next == nullptr) return 1;
  return (s->next->flags & (ZOF_ENVELOPE_H | ZOF_ENVELOPE_V)) != 0 ? 1 : 0;
}

}  // extern "C"
