// Whether a primitive survives a four-corner mapping of its bounding box as the same
// axis-aligned primitive (the bilinear envelope asks before it keeps the primitive kind).
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"

using namespace zo;

namespace {

bool is_rounded_rectangle(uint32_t kind) { return kind == 3 || (kind >= 300 && kind <= 399); }

// Nodes of a rounded rectangle that span its width (4 and 11) and its height (8 and 15).
constexpr uint32_t kRoundedNodes = 16;

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathIsKeepPrimitive(const ZoPath* path, const Ptfx corners[4]) {
  if (path == nullptr || corners == nullptr || path->primitiveKind == 0) return 0;
  PointDB c[4];
  for (int i = 0; i < 4; ++i) c[i] = to_db(corners[i]);
  // c0-c1 a horizontal edge and c0-c2 a vertical one, or the same turned by a right angle.
  bool straight = std::fabs(c[0].x - c[2].x) < 1 && std::fabs(c[1].x - c[3].x) < 1 &&
                  std::fabs(c[0].y - c[1].y) < 1 && std::fabs(c[2].y - c[3].y) < 1;
  bool turned = std::fabs(c[0].y - c[2].y) < 1 && std::fabs(c[1].y - c[3].y) < 1 &&
                std::fabs(c[0].x - c[1].x) < 1 && std::fabs(c[2].x - c[3].x) < 1;
  if (!is_rounded_rectangle(path->primitiveKind)) return straight || turned ? 1 : 0;
  // The corner arcs stay circular only when the aspect ratio survives.
  if (path->count < kRoundedNodes) return 0;
  const PathNode* n = nodes_of(path);
  double w0 = std::fabs(fix_to_db(n[4].pt.x) - fix_to_db(n[11].pt.x));
  double h0 = std::fabs(fix_to_db(n[8].pt.y) - fix_to_db(n[15].pt.y));
  auto same_ratio = [](double a, double b, double c2, double d) {
    if (b == 0.0 || d == 0.0) return false;
    return std::fabs(a / b - c2 / d) < 0.001;
  };
  if (straight)
    return same_ratio(w0, h0, std::fabs(c[1].x - c[0].x), std::fabs(c[2].y - c[0].y)) ? 1 : 0;
  if (turned)
    return same_ratio(h0, w0, std::fabs(c[2].x - c[0].x), std::fabs(c[1].y - c[0].y)) ? 1 : 0;
  return 0;
}

}  // extern "C"
