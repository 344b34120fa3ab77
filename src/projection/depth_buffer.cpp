// The depth buffer of a projected object: the depths of its bounding quadrilateral, seen
// through the same transform as the preview, as 32-bit floats.
#include <algorithm>
#include <cmath>

#include "Zo32path.h"
#include "eye_mapping.hpp"
#include "project_paths.hpp"
#include "render/float_buffer.hpp"

namespace zo::projection {

namespace {

inline constexpr double kBaseGrow = 2.0;
inline constexpr double kFocalGrowLimit = 23.0;
inline constexpr int64_t kDepthBorder = 99;  // pixels added on each side of an extruded object

struct QuadCorner {
  double x, y, z;
};

void quad_corners(const RectDB& r, double grow, const EyeMapping& eye, QuadCorner out[4]) {
  const double xs[4] = {r.left - grow, r.right + grow, r.right + grow, r.left - grow};
  const double ys[4] = {r.top - grow, r.top - grow, r.bottom + grow, r.bottom + grow};
  for (int i = 0; i < 4; ++i) {
    Vec3 p = eye.map(xs[i], ys[i], 0.0);
    PointDB s = eye.project(p);
    out[i] = QuadCorner{s.x, s.y, p.z};
  }
}

// Half away from zero, held inside [lo, hi] (NaN gives lo).
int64_t round_clamped(double v, int64_t lo, int64_t hi) {
  double r = std::round(v);
  if (!(r > double(lo))) return lo;
  return r < double(hi) ? int64_t(r) : hi;
}

// Scan fill of the quadrilateral: each buffer row it covers gets, between its left-most and
// right-most edge crossings, the depth interpolated along the edges and then along the row.
void fill_quad(float* pixels, int64_t width, int64_t height, const QuadCorner q[4]) {
  for (int i = 0; i < 4; ++i) {
    if (!std::isfinite(q[i].x) || !std::isfinite(q[i].y) || !std::isfinite(q[i].z)) return;
  }
  double top = std::min({q[0].y, q[1].y, q[2].y, q[3].y});
  double bottom = std::max({q[0].y, q[1].y, q[2].y, q[3].y});
  int64_t firstRow = round_clamped(top, 0, height), lastRow = round_clamped(bottom, -1, height - 1);
  for (int64_t row = firstRow; row <= lastRow; ++row) {
    double y = double(row), lx = INFINITY, rx = -INFINITY, lz = 0, rz = 0;
    for (int i = 0; i < 4; ++i) {
      const QuadCorner &a = q[i], &b = q[(i + 1) % 4];
      if (a.y == b.y || y < std::min(a.y, b.y) || y > std::max(a.y, b.y)) continue;
      double t = (y - a.y) / (b.y - a.y);
      double x = a.x + t * (b.x - a.x), z = a.z + t * (b.z - a.z);
      if (x < lx) lx = x, lz = z;
      if (x > rx) rx = x, rz = z;
    }
    if (lx > rx) continue;
    int64_t x0 = round_clamped(lx, INT32_MIN, INT32_MAX), x1 = round_clamped(rx, INT32_MIN, INT32_MAX);
    float* line = pixels + row * width;
    for (int64_t x = std::max<int64_t>(x0, 0); x <= std::min(x1, width - 1); ++x) {
      double z = x1 == x0 ? lz : lz + (rz - lz) * double(x - x0) / double(x1 - x0);
      line[x] = float(z);
    }
  }
}

bool make_depth_buffer(uint8_t** handle, const Transform3D& transform, ZoPath* path,
                       double zOffset, int32_t depth) {
  double margin = depth / 100 + 2.0;
  ZoPath* head = list_head(path);
  RectDB bounds{};
  ZoPathGetDoubleRectNoMargin(head, &bounds, 1);
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtr(head, &copy) == 0) {
    ZO_REPORT_NO_MEMORY();
    return false;
  }

  EyeMapping eye(transform, zOffset, kDepthBufferPi);
  QuadCorner corners[4];
  quad_corners(bounds, kBaseGrow + (depth != 0 ? margin : 0.0), eye, corners);
  if (depth != 0) {
    // How far the margin moves the projected corners tells how much the extrusion can spread.
    QuadCorner inner[4];
    quad_corners(bounds, kBaseGrow, eye, inner);
    double s = 0.0;
    for (int i = 0; i < 4; ++i) {
      for (double d : {corners[i].x - inner[i].x, corners[i].y - inner[i].y}) {
        double k = std::fabs(margin / d);
        if (d != 0.0 && std::isfinite(k)) s = std::max(s, k);
      }
    }
    double grow = margin * s;
    if (grow > kFocalGrowLimit) eye.f *= s;
    quad_corners(bounds, kBaseGrow + grow, eye, corners);
  }

  project_object(copy, transform, zOffset, false);
  RECT r{};
  ZoPathGetMiniMaxRect(copy, 65536, &r);
  int64_t border = depth != 0 ? kDepthBorder : 0;
  int64_t width = int64_t{r.right} - r.left + 1 + 2 * border;
  int64_t height = int64_t{r.bottom} - r.top + 1 + 2 * border;
  bool ok = render::make_float_buffer(handle, width, height);
  if (ok) {
    double f = eye.f;
    for (QuadCorner& c : corners) {
      c.x += double(border - r.left);
      c.y += double(border - r.top);
      c.z = c.z * f / (f - c.z);
    }
    float* pixels = render::float_pixels(*handle);
    fill_quad(pixels, width, height, corners);
    for (int64_t i = 0, n = width * height; i < n; ++i) {
      double v = pixels[i];
      if (v != 0.0) pixels[i] = float(v * f / (v + f));
    }
  }
  release_list(copy);
  return ok;
}

}  // namespace

}  // namespace zo::projection

using namespace zo;
using namespace zo::projection;

extern "C" {

ZO_API uint32_t ZoPathCreateZBufferFrom3DTransform(uint8_t** buffer, const Transform3D* transform,
                                                   ZoPath* path, double zOffset, int32_t depth) {
  if (buffer == nullptr || transform == nullptr || path == nullptr) return 0;
  if (make_depth_buffer(buffer, *transform, path, zOffset, depth)) return 1;
  render::buffer_free(*buffer);
  *buffer = nullptr;
  return 0;
}

}  // extern "C"
