#include "arrow_geometry.hpp"

#include <cmath>
#include <cstring>

#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"

namespace zo::arrows {

namespace {

inline constexpr double kLongArrow = 99.0;
inline constexpr double kStartOverhang = 50.0;
inline constexpr double kCutTolerance = 1.0 / 65536.0;

PointDB point(const ZoPath* p, uint32_t i) { return to_db(nodes_of(p)[i].pt); }

Cubic cubic_at(const ZoPath* p, uint32_t i) {
  return Cubic{point(p, i), point(p, i + 1), point(p, i + 2), point(p, i + 3)};
}

double arrow_length(const ZoPath* templ, double width) {
  TemplateShape s = measure(templ);
  return s.usable ? width * s.length / s.halfBase : -1.0;
}

// The parameter where the cubic's length from its start reaches `target`, by bisection.
double cubic_parameter_at(const Cubic& c, double target) {
  double lo = 0.0, hi = 1.0, mid = 1.0;
  for (int i = 0; i < 64; ++i) {
    mid = (lo + hi) / 2;
    Cubic left, right;
    split_cubic(c, mid, &left, &right);
    double len = cubic_length(left);
    if (std::fabs(len - target) <= kCutTolerance) break;
    (len < target ? lo : hi) = mid;
  }
  return mid;
}

// Where the arc length from the start reaches `target`: the segment [start, end] and the
// cut point; for a cubic also its two pieces.
struct Cut {
  bool found;
  uint32_t start, end;
  PointDB at;
  Cubic before, after;
};

Cut find_cut(const ZoPath* p, double target) {
  Cut cut{};
  double walked = 0.0;
  for_each_segment(p, [&](uint32_t start, uint32_t end) {
    bool curve = end == start + 3;
    double len = curve ? cubic_length(cubic_at(p, start)) : distance(point(p, start), point(p, end));
    if (walked + len < target || len == 0.0) {
      walked += len;
      return true;
    }
    double rest = target - walked;
    cut = Cut{true, start, end, {}, {}, {}};
    if (curve) {
      split_cubic(cubic_at(p, start), cubic_parameter_at(cubic_at(p, start), rest), &cut.before,
                  &cut.after);
      cut.at = cut.after.p0;
    } else {
      PointDB a = point(p, start), b = point(p, end);
      cut.at = a + (b - a) * (rest / len);
    }
    return false;
  });
  return cut;
}

}  // namespace

TemplateShape measure(const ZoPath* templ) {
  TemplateShape s{};
  if (templ == nullptr) return s;
  // The two left-most nodes (first met on ties) and the extents.
  uint32_t n = 0;
  PointDB first{}, second{}, lo{}, hi{};
  for_each_point(templ, [&](const PathNode& node) {
    PointDB q = to_db(node.pt);
    if (n == 0) {
      first = lo = hi = q;
    } else {
      if (q.x < first.x) {
        second = first, first = q;
      } else if (n == 1 || q.x < second.x) {
        second = q;
      }
      lo = PointDB{std::fmin(lo.x, q.x), std::fmin(lo.y, q.y)};
      hi = PointDB{std::fmax(hi.x, q.x), std::fmax(hi.y, q.y)};
    }
    ++n;
  });
  if (n < 2) return s;
  s.halfBase = std::fabs(first.y - second.y) / 2;
  s.length = hi.x - lo.x;
  s.halfHeight = (hi.y - lo.y) / 2;
  s.anchor = PointDB{-lo.x - 1.0, -(first.y + second.y) / 2};
  s.usable = s.halfBase > 0.0 && std::isfinite(s.length / s.halfBase);
  return s;
}

ArrowFit fit_arrows(ZoPath* line, const ZoPathOutlineInfo& info) {
  ArrowFit fit{};
  if (info.disable != 0) return fit;
  double total = ZoPathGetLength(line);
  fit.lineLength = total;
  double width = info.values[1];
  double start = arrow_length(info.startTemplate, width);
  double end = arrow_length(info.endTemplate, width);
  fit.start = start >= 0.0 && !(start > kLongArrow && start - total >= kStartOverhang);
  fit.end = end >= 0.0 && !(end > kLongArrow && end > total);
  fit.startLength = fit.start ? start : 0.0;
  fit.endLength = fit.end ? end : 0.0;
  double rest = total - fit.endLength;
  if (rest < 0.0 || fit.startLength > total || fit.startLength > rest) return ArrowFit{false, false, 0.0, 0.0, total};
  return fit;
}

bool end_direction(const ZoPath* line, bool atEnd, PointDB* direction, PointDB* endPoint) {
  uint32_t first = 0, last = 0;
  bool found = false;
  for_each_segment(line, [&](uint32_t start, uint32_t end) {
    if (!found || atEnd) first = start, last = end;
    found = true;
    return atEnd;
  });
  if (!found) return false;
  // Points of the end segment, from the far end inward.
  PointDB pts[4] = {};
  uint32_t n = last - first + 1;
  for (uint32_t k = 0; k < n; ++k) pts[k] = point(line, atEnd ? last - k : first + k);
  *endPoint = pts[0];
  for (uint32_t k = 1; k < n; ++k) {
    PointDB d = pts[0] - pts[k];
    double len = length(d);
    if (len > 0.0) {
      *direction = d * (1.0 / len);
      return true;
    }
  }
  return false;
}

void trim_line(ZoPath* line, const ArrowFit& fit) {
  PathNode* nodes = nodes_of(line);
  Cut end = fit.end ? find_cut(line, fit.lineLength - fit.endLength) : Cut{};
  if (end.found) {
    if (end.end == end.start + 3) {
      nodes[end.start + 1].pt = to_fix(end.before.p1);
      nodes[end.start + 2].pt = to_fix(end.before.p2);
    }
    nodes[end.end].pt = to_fix(end.at);
    line->count = end.end + 1;
  }
  if (!fit.start) return;
  Cut start = find_cut(line, fit.startLength);
  if (!start.found) return;
  if (start.end == start.start + 3) {
    nodes[start.start + 1].pt = to_fix(start.after.p1);
    nodes[start.start + 2].pt = to_fix(start.after.p2);
  }
  // The cut point starts the figure with the first node's type word.
  nodes[start.start] = PathNode{nodes[0].type, to_fix(start.at)};
  std::memmove(nodes, nodes + start.start, size_t{line->count - start.start} * sizeof(PathNode));
  line->count -= start.start;
}

}  // namespace zo::arrows
