#include "smooth.hpp"

#include <cmath>

#include "geometry/vectors.hpp"
#include "platform/host_library.hpp"
#include "platform/trace.hpp"

namespace zo::deform {

void realign_handles(PointDB* pts, uint32_t prev, uint32_t node, uint32_t next, bool report) {
  PointDB o = pts[node], a = pts[prev] - o, b = pts[next] - o;
  double la = length(a), lb = length(b);
  if (la < 0.01 || lb < 0.01) {
    if (!report) return;
    ZO_REPORT(plat::kErrBadArgument, 1);
    plat::trace("-WrapMaintainPathG1() warning: vector length too small, ignored.\n");
    return;
  }
  PointDB u = a * (1.0 / la) - b * (1.0 / lb);
  double lu = length(u);
  if (lu < 0.01) return;
  u = u * (1.0 / lu);
  pts[prev] = o + u * la;
  pts[next] = o - u * lb;
}

bool handles_smooth(const PointDB* pts, uint32_t prev, uint32_t node, uint32_t next) {
  PointDB a = pts[prev] - pts[node], b = pts[next] - pts[node];
  auto long_enough = [](PointDB v) { return std::fabs(v.x) >= 0.1 || std::fabs(v.y) >= 0.1; };
  if (!long_enough(a) || !long_enough(b)) return false;
  PointDB ua = a * (1.0 / length(a)), ub = b * (1.0 / length(b));
  return std::fabs(cross(ua, ub)) < 0.01 && dot(ua, ub) < 0.0;
}

}  // namespace zo::deform
