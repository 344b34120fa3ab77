// The outline pass: walks one subpath's segments in steps of at most a pixel and applies
// the mode's operation to every display-buffer pixel the walk enters. Showing and hiding
// must undo each other exactly, so the pixels visited depend only on the geometry and the
// view, never on what the buffer holds; clipping only skips steps that lie outside.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "display.hpp"
#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "model/records.hpp"
#include "platform/memory.hpp"
#include "platform/rect.hpp"

namespace zo::display {

namespace {

enum class Segments { All, TouchingSelectedNode, Selected };

Segments segments_of(int mode) {
  switch (mode) {
    case 3:
    case 4:
      return Segments::TouchingSelectedNode;
    case 5:
    case 6:
    case 8:
    case 9:
      return Segments::Selected;
    default:
      return Segments::All;
  }
}

// The byte each pixel operation makes of a display-buffer byte, as a table.
using ByteTable = std::array<uint8_t, 256>;
uint8_t apply(int mode, uint8_t b) {
  uint8_t count = b & 0x3F;
  auto up = [&](uint8_t kind) { return static_cast<uint8_t>(((count + 1) & 0x3F) | kind); };
  switch (mode) {
    case 0:
    case 1:
    case 3:
    case 5:
      return up(0);
    case 2:
    case 4:
    case 6:
    case 11:
      return count <= 1 ? 0 : static_cast<uint8_t>(b - 1);
    case 7:
    case 15:
      return up(0x80);
    case 8:
      return count | 0x40;
    case 9:
    case 10:
      return count;
    case 12:
      return count | 0xC0;
    case 13:
      return count | 0x80;
    case 14:
      return up(0xC0);
    default:
      return b;
  }
}
ByteTable table_for(int mode) {
  ByteTable t{};
  for (int b = 0; b < 256; ++b) t[b] = apply(mode, static_cast<uint8_t>(b));
  return t;
}

// One pass's state: the buffer, the operation and the last pixel entered.
struct Walker {
  Target target;
  const ByteTable* op;
  RECT* dirty;
  int64_t last = -1;  // index of the last pixel entered inside the buffer; -1 for none

  void enter(double x, double y) {
    if (!(x >= 0.0 && y >= 0.0 && x < target.width && y < target.height)) {
      last = -1;
      return;
    }
    int64_t at = static_cast<int64_t>(y) * target.width + static_cast<int64_t>(x);
    if (at == last) return;
    last = at;
    uint8_t& b = target.bytes[at];
    b = (*op)[b];
  }

  // The box of the given points widened by a pixel, clipped to the buffer; false (and the
  // walk's memory of the last pixel dropped) when nothing of it is inside.
  bool box(const PointDB* pts, int n) {
    double x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (int i = 1; i < n; ++i) {
      x0 = std::min(x0, pts[i].x), x1 = std::max(x1, pts[i].x);
      y0 = std::min(y0, pts[i].y), y1 = std::max(y1, pts[i].y);
    }
    bool finite = std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1);
    if (!finite || x1 + 1 < 0 || y1 + 1 < 0 || x0 - 1 >= target.width || y0 - 1 >= target.height) {
      last = -1;
      return false;
    }
    auto clampi = [](double v, int32_t hi) {
      return static_cast<int32_t>(std::clamp(std::floor(v), 0.0, static_cast<double>(hi)));
    };
    RECT r{clampi(x0 - 1, target.width), clampi(y0 - 1, target.height),
           clampi(x1 + 2, target.width), clampi(y1 + 2, target.height)};
    plat::UnionRect(dirty, dirty, &r);
    return true;
  }

  // Steps of 1/8 of the segment, halved until a step moves at most a pixel on each axis;
  // only the steps near the buffer are taken.
  void line(PointDB a, PointDB b) {
    PointDB pts[2] = {a, b};
    if (!box(pts, 2)) return;
    double dx = b.x - a.x, dy = b.y - a.y;
    double n = 8;
    while (std::fabs(dx) / n > 1.0 || std::fabs(dy) / n > 1.0) n *= 2;
    double sx = dx / n, sy = dy / n;
    double lo = 0, hi = n;
    auto narrow = [&](double start, double step, double limit) {
      if (step == 0) return;
      double t0 = (-2.0 - start) / step, t1 = (limit + 2.0 - start) / step;
      if (t0 > t1) std::swap(t0, t1);
      lo = std::max(lo, std::ceil(t0));
      hi = std::min(hi, std::floor(t1));
    };
    narrow(a.x, sx, target.width);
    narrow(a.y, sy, target.height);
    // A step covers at least half a pixel, so no more steps than this can lie near the
    // buffer; the bound also keeps absurdly long segments from outrunning double precision.
    double bound = 4.0 * (double(target.width) + target.height + 8);
    if (!(hi >= lo)) return;  // no step lies near the buffer
    auto steps = static_cast<int64_t>(std::min(hi - lo, bound));
    if (lo > 0) last = -1;
    for (int64_t k = 0; k <= steps; ++k) {
      double i = lo + double(k);
      enter(a.x + i * sx, a.y + i * sy);
    }
    if (hi < n) last = -1;
  }

  // Adaptive forward differencing from steps of 1/4: a step moves between about 1/2 and 1
  // pixel on the larger axis.
  void cubic(PointDB p0, PointDB p1, PointDB p2, PointDB p3) {
    PointDB pts[4] = {p0, p1, p2, p3};
    if (!box(pts, 4)) return;
    enter(p0.x, p0.y);
    forward_difference_cubic(p0, p1, p2, p3, StepLimits{64000.0 / 65536.0, 32000.0 / 65536.0, true},
                             [&](PointDB p) { enter(p.x, p.y); });
  }
};

bool node_selected(const PathNode* nodes, uint32_t k, uint32_t last, bool closed) {
  if ((nodes[k].type & PT_SELECTED) != 0) return true;
  // The first and last nodes of a closed figure are one point; either carries its selection.
  if (closed && k == 0) return (nodes[last].type & PT_SELECTED) != 0;
  if (closed && k == last) return (nodes[0].type & PT_SELECTED) != 0;
  return false;
}

}  // namespace

bool target_of(const CoordStruct* view, Target* out) {
  if (view == nullptr || view->lpDB == nullptr) return false;
  if (!std::isfinite(view->zoom) || !(view->zoom > 0)) return false;
  int64_t width = int64_t{view->rcWindow.right} - view->rcWindow.left;
  int64_t height = int64_t{view->rcWindow.bottom} - view->rcWindow.top;
  size_t size = plat::mem_size(view->lpDB);
  if (size == SIZE_MAX || width <= 0 || height <= 0) return false;
  height = std::min<int64_t>(height, static_cast<int64_t>(size / static_cast<size_t>(width)));
  if (height <= 0) return false;
  *out = Target{view->lpDB, static_cast<int32_t>(width), static_cast<int32_t>(height)};
  return true;
}

void outline_pass(const CoordStruct* view, ZoPath* path, int mode, RECT* dirty) {
  Target target;
  if (path == nullptr || mode < 0 || mode > 15 || !target_of(view, &target)) return;
  // Operands of a pending boolean operation always show as secondary outlines.
  int opMode = mode;
  if ((path->flags & ZOF_BOOL_OPERAND) != 0 && (mode == 0 || mode == 1 || mode == 3 || mode == 5))
    opMode = 7;
  static const std::array<ByteTable, 16> tables = [] {
    std::array<ByteTable, 16> all{};
    for (int m = 0; m < 16; ++m) all[m] = table_for(m);
    return all;
  }();
  RECT scratch{0, 0, 0, 0};
  Walker walk{target, &tables[opMode], dirty != nullptr ? dirty : &scratch};
  const double zoom = view->zoom, scrollX = view->scrollX, scrollY = view->scrollY;
  const PathNode* nodes = nodes_of(path);
  auto map = [&](uint32_t k) {
    return PointDB{(fix_to_db(nodes[k].pt.x) + 0.5) * zoom - scrollX,
                   (fix_to_db(nodes[k].pt.y) + 0.5) * zoom - scrollY};
  };
  const Segments which = segments_of(mode);
  const uint32_t count = path->count, lastNode = count == 0 ? 0 : count - 1;
  const bool closed = is_closed(path);
  auto wanted = [&](uint32_t start, uint32_t end) {
    if (which == Segments::All) return true;
    if (which == Segments::Selected) return (nodes[start].type & PT_SEGMENT_MARK) != 0;
    for (uint32_t k = start; k <= end; ++k)
      if (node_selected(nodes, k, lastNode, closed)) return true;
    return false;
  };
  // Node kinds as the rasteriser reads them: the type masked with 0x7FE.
  int64_t current = -1;  // the node holding the current point
  for (uint32_t i = 0; i < count;) {
    uint16_t kind = nodes[i].type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO) {
      current = i;
      walk.last = -1;
      i += 1;
    } else if (kind == PT_LINETO) {
      if (current >= 0 && wanted(static_cast<uint32_t>(current), i)) {
        walk.line(map(static_cast<uint32_t>(current)), map(i));
      } else if (current >= 0) {
        walk.last = -1;
      }
      current = i;
      i += 1;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= count) break;
      if (current >= 0 && wanted(static_cast<uint32_t>(current), i + 2)) {
        walk.cubic(map(static_cast<uint32_t>(current)), map(i), map(i + 1), map(i + 2));
      } else if (current >= 0) {
        walk.last = -1;
      }
      current = i + 2;
      i += 3;
    } else {
      i += kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2 ? 2 : 1;
    }
  }
  // A shown subpath with selected segments shows them highlighted.
  if (mode == kModeShow && (path->flags & ZOF_HAS_SEL_SEGMENT) != 0)
    outline_pass(view, path, kModeHighlight, dirty);
}

}  // namespace zo::display
