// Shared by the cutting tests: random closed and open shapes as path text, winding numbers of
// a list computed from dense samples (no library code), and the pieces of a cut list.
#pragma once

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../model/path_builders.hpp"
#include "Zo32path.h"
#include "model/path_area.hpp"

namespace cut_test {

// A star-shaped closed figure around (cx, cy): polygon or smooth cubic blob, either direction.
inline std::string random_closed(std::mt19937& rng, double cx, double cy, bool cubic) {
  std::uniform_real_distribution<double> radius(10, 40), jitter(-0.2, 0.2);
  int n = std::uniform_int_distribution<int>(4, 10)(rng);
  double dir = std::bernoulli_distribution(0.5)(rng) ? 1 : -1;
  std::vector<double> ang(n), r(n);
  for (int i = 0; i < n; ++i) ang[i] = dir * (2 * M_PI * i / n + jitter(rng)), r[i] = radius(rng);
  auto pt = [&](int i, double dr, double da) {
    i %= n;
    std::ostringstream o;
    o << cx + (r[i] + dr) * std::cos(ang[i] + da) << ' '
      << cy + (r[i] + dr) * std::sin(ang[i] + da);
    return o.str();
  };
  std::string s = "M " + pt(0, 0, 0);
  double h = dir * 0.3;
  for (int i = 1; i <= n; ++i) {
    s += cubic ? " C " + pt(i - 1, 0, h) + ' ' + pt(i, 0, -h) + ' ' + pt(i, 0, 0)
               : " L " + pt(i, 0, 0);
  }
  return s + " Z";
}

struct Polyline {
  std::vector<PointDB> pts;  // closed back to the start
};

// Each subpath from `list` on (or only the first) sampled densely (64 steps per cubic),
// closed by its closing segment.
inline std::vector<Polyline> sample(ZoPath* list, bool whole = true) {
  std::vector<Polyline> out;
  for (ZoPath* p = list; p != nullptr; p = whole ? p->next : nullptr) {
    const PathNode* n = ZoPathNodes(p);
    Polyline line;
    auto at = [&](uint32_t i) { return PointDB{FixToDb(n[i].pt.x), FixToDb(n[i].pt.y)}; };
    for (uint32_t i = 0; i < p->count; ++i) {
      if ((n[i].type & 6) == 4 && i + 2 < p->count && !line.pts.empty()) {
        PointDB a = line.pts.back(), b = at(i), c = at(i + 1), d = at(i + 2);
        for (int k = 1; k <= 64; ++k) {
          double t = k / 64.0, s = 1 - t;
          line.pts.push_back(
              {s * s * s * a.x + 3 * s * s * t * b.x + 3 * s * t * t * c.x + t * t * t * d.x,
               s * s * s * a.y + 3 * s * s * t * b.y + 3 * s * t * t * c.y + t * t * t * d.y});
        }
        i += 2;
      } else {
        line.pts.push_back(at(i));
      }
    }
    if (!line.pts.empty()) line.pts.push_back(line.pts.front());
    out.push_back(line);
  }
  return out;
}

inline int winding(const Polyline& line, PointDB q) {
  int w = 0;
  for (size_t i = 0; i + 1 < line.pts.size(); ++i) {
    PointDB a = line.pts[i], b = line.pts[i + 1];
    double side = (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y);
    if (a.y <= q.y && b.y > q.y && side > 0) ++w;
    if (a.y > q.y && b.y <= q.y && side < 0) --w;
  }
  return w;
}
inline int winding(const std::vector<Polyline>& lines, PointDB q) {
  int w = 0;
  for (const Polyline& l : lines) w += winding(l, q);
  return w;
}
inline double distance_to(const std::vector<Polyline>& lines, PointDB q) {
  double best = INFINITY;
  for (const Polyline& l : lines) {
    for (size_t i = 0; i + 1 < l.pts.size(); ++i) {
      PointDB a = l.pts[i], b = l.pts[i + 1];
      double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
      double t = len2 > 0 ? std::clamp(((q.x - a.x) * dx + (q.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
      best = std::min(best, std::hypot(q.x - a.x - t * dx, q.y - a.y - t * dy));
    }
  }
  return best;
}

// Loops walk backwards into a side when that is the way away from the cut, so a piece may
// run the other way round from its original: areas add up unsigned.
inline double unsigned_area(ZoPath* list) {
  double sum = 0;
  for (ZoPath* p : zo_test::members(list)) sum += std::fabs(zo::signed_area(p));
  return sum;
}
inline std::vector<std::string> pieces(ZoPath* list) {
  std::vector<std::string> out;
  for (ZoPath* p : zo_test::members(list)) out.push_back(zo_test::describe(p));
  return out;
}
inline void release(ZoPath* list) {
  for (ZoPath* p : zo_test::members(list)) ZoPathDeletePtrSingle(p);
}

}  // namespace cut_test
