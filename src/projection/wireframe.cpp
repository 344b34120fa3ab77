// The wire-frame preview of a (possibly extruded) object seen through a 3-D transform, drawn
// on a device context with whatever pen and raster operation it holds.
#include <cmath>
#include <cstring>

#include "Zo32path.h"
#include "eye_mapping.hpp"
#include "model/node_walk.hpp"
#include "platform/device_context.hpp"

namespace zo::projection {

namespace {

inline constexpr size_t kAcceptedBytes = 144;
static_assert(offsetof(Transform3D, matrix) + 9 * sizeof(double) == kAcceptedBytes);

// The last transform whose corners all lay in front of the eye; all zero at load, which
// gives an infinite focal distance that every corner passes.
unsigned char g_lastAcceptedTransform[kAcceptedBytes];

bool corners_in_front(const Transform3D& t, double halfWidth, double halfHeight, double zOffset) {
  double f = focal_distance(t, kPi);
  const double sx[4] = {1, -1, 1, -1}, sy[4] = {1, 1, -1, -1};
  for (int i = 0; i < 4; ++i) {
    Vec3 c = rotate(Vec3{sx[i] * halfWidth, sy[i] * halfHeight, 0.0}, t.matrix);
    if (zOffset + c.z > f) return false;
  }
  return true;
}

// Image to window with the preview's own rounding: below zoom 1 the position is truncated
// without the half-pixel shift.
struct ViewMapping {
  double zoom;
  int64_t left, top, scrollX, scrollY;
  bool shrinking;

  explicit ViewMapping(const CoordStruct& v)
      : zoom(v.zoom), left(v.rcWindow.left), top(v.rcWindow.top), scrollX(v.scrollX),
        scrollY(v.scrollY), shrinking(v.zoom < 1.0 && std::fabs(v.zoom - 1.0) > 1e-5) {}

  POINT map(PointDB p) const {
    double x = shrinking ? zoom * p.x : (p.x + 0.5) * zoom;
    double y = shrinking ? zoom * p.y : (p.y + 0.5) * zoom;
    return POINT{clamp32(left + trunc_saturated(x) - scrollX),
                 clamp32(top + trunc_saturated(y) - scrollY)};
  }
  static int32_t clamp32(int64_t v) {
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  }
};

struct Corner {
  POINT front, back;
};

class WireDrawer {
 public:
  WireDrawer(HDC dc, const EyeMapping& eye, const ViewMapping& view, double depth)
      : dc_(dc), eye_(eye), view_(view), depth_(depth) {}

  void subpath(const ZoPath* p) {
    pending_ = 0;
    for_each_point(p, [&](const PathNode& n) { node(n); });
  }

 private:
  Corner at(const PathNode& n) const {
    double x = fix_to_db(n.pt.x), y = fix_to_db(n.pt.y);
    Corner c{view_.map(eye_.screen(x, y, 0.0)), {}};
    if (depth_ != 0.0) c.back = view_.map(eye_.screen(x, y, -depth_));
    return c;
  }

  void node(const PathNode& n) {
    Corner c = at(n);
    uint16_t kind = kind_of(n.type);
    if (kind == PT_BEZIERTO) {
      triple_[pending_++] = c;
      if (pending_ == 3) cubic();
      return;
    }
    pending_ = 0;
    if (kind == PT_MOVETO) {
      plat::MoveToEx(dc_, c.front.x, c.front.y, nullptr);
      if (depth_ != 0.0) {
        plat::LineTo(dc_, c.back.x, c.back.y);
        plat::MoveToEx(dc_, c.front.x, c.front.y, nullptr);
      }
    } else {
      plat::MoveToEx(dc_, prev_.front.x, prev_.front.y, nullptr);
      plat::LineTo(dc_, c.front.x, c.front.y);
      if (depth_ != 0.0) {
        plat::LineTo(dc_, c.back.x, c.back.y);
        plat::LineTo(dc_, prev_.back.x, prev_.back.y);
      }
    }
    prev_ = c;
  }

  // The front copy forward, then the back copy from its end back to the previous point.
  void cubic() {
    pending_ = 0;
    plat::MoveToEx(dc_, prev_.front.x, prev_.front.y, nullptr);
    const POINT front[3] = {triple_[0].front, triple_[1].front, triple_[2].front};
    plat::PolyBezierTo(dc_, front, 3);
    if (depth_ != 0.0) {
      plat::LineTo(dc_, triple_[2].back.x, triple_[2].back.y);
      const POINT back[3] = {triple_[1].back, triple_[0].back, prev_.back};
      plat::PolyBezierTo(dc_, back, 3);
    }
    prev_ = triple_[2];
  }

  HDC dc_;
  const EyeMapping& eye_;
  const ViewMapping& view_;
  double depth_;
  Corner prev_{};
  Corner triple_[3]{};
  int pending_ = 0;
};

}  // namespace

}  // namespace zo::projection

using namespace zo;
using namespace zo::projection;

extern "C" {

ZO_API void ZoPath3DWireFrame(HDC dc, ZoPath* path, double halfWidth, double halfHeight,
                              const CoordStruct* view, Transform3D* transform, double depth,
                              double zOffset) {
  if (path == nullptr || transform == nullptr || view == nullptr) return;
  if (!corners_in_front(*transform, halfWidth, halfHeight, zOffset)) {
    std::memcpy(transform, g_lastAcceptedTransform, kAcceptedBytes);
    if (!corners_in_front(*transform, halfWidth, halfHeight, zOffset)) return;
  }
  std::memcpy(g_lastAcceptedTransform, transform, kAcceptedBytes);
  EyeMapping eye(*transform, zOffset, kPi);
  ViewMapping mapping(*view);
  WireDrawer drawer(dc, eye, mapping, depth);
  for_each_object_record(path, [&](ZoPath* p) { drawer.subpath(p); });
}

}  // extern "C"
