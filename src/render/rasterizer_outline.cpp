// The outline pass: records drawn as lines one pixel wide into a mask.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "model/records.hpp"
#include "rasterizer.hpp"

namespace zo::render {

namespace {

// Steps of at most one pixel along curves.
constexpr StepLimits kOutlineSteps{1.0, -1.0, true};

class LineDrawer {
 public:
  LineDrawer(const Mask& mask, bool antiAliased) : mask_(mask), antiAliased_(antiAliased) {}

  // Visits the pixel centres along the axis in which the line moves more; at each, d is the
  // line's offset from the centre of the pixel it passes through, measured across the line.
  void line(PointDB p, PointDB q) {
    double dx = q.x - p.x, dy = q.y - p.y;
    if (!std::isfinite(dx) || !std::isfinite(dy) || (dx == 0.0 && dy == 0.0)) return;
    bool alongX = std::fabs(dx) >= std::fabs(dy);
    double major0 = alongX ? p.x : p.y, major1 = alongX ? q.x : q.y;
    double minor0 = alongX ? p.y : p.x;
    double slope = alongX ? dy / dx : dx / dy;
    double lo = std::min(major0, major1), hi = std::max(major0, major1);
    double extent = alongX ? mask_.width : mask_.height;
    // Centres c + 0.5 in [lo, hi), limited to the mask.
    double first = std::max(std::ceil(lo - 0.5), 0.0);
    double last = std::min(std::ceil(hi - 0.5) - 1.0, extent - 1.0);
    bool endPixel = false;
    for (double c = first; c <= last + 1.0 && !endPixel; c += 1.0) {
      double minor = minor0 + (c + 0.5 - major0) * slope;
      if (c > last) {
        endPixel = true;
        // The pixel holding the end point: where consecutive steps change their major axis
        // no centre may fall between them, and the outline must stay connected.
        double end = alongX ? q.x : q.y;
        c = std::floor(end);
        if (c < 0.0 || c >= extent) break;
        minor = alongX ? q.y : q.x;
      }
      double cell = std::floor(minor);
      double d = minor - (cell + 0.5);
      auto major = static_cast<int64_t>(c);
      if (cell < -2.0 || cell > 4294967295.0) continue;
      auto at = static_cast<int64_t>(cell);
      int64_t neighbour = at + (d < 0 ? -1 : 1);
      auto weight = static_cast<uint32_t>(std::trunc(std::fabs(d) * 255.0));
      if (antiAliased_) {
        raise(alongX, major, at, 255 - weight);
        raise(alongX, major, neighbour, weight);
      } else {
        raise(alongX, major, weight < 128 ? at : neighbour, 255);
      }
    }
  }

 private:
  void raise(bool alongX, int64_t major, int64_t minor, uint32_t value) {
    int64_t x = alongX ? major : minor, y = alongX ? minor : major;
    if (x < 0 || y < 0 || x >= mask_.width || y >= mask_.height || value == 0) return;
    size_t at = static_cast<size_t>(y) * mask_.width + static_cast<size_t>(x);
    if (mask_.wide) {
      // A 32-bit mask records inside or outside only: a pixel drawn at least half strong
      // becomes fully inside.
      if (value >= 128) std::memset(mask_.pixels + at * 4, 0, 4);
      return;
    }
    uint8_t& byte = mask_.pixels[at];
    byte = std::max<uint8_t>(byte, static_cast<uint8_t>(value));
  }

  const Mask& mask_;
  bool antiAliased_;
};

void draw_record(const ZoPath* record, const Mask& mask, LineDrawer& drawer) {
  const PathNode* nodes = nodes_of(record);
  auto device = [&](Ptfx p) {
    return PointDB{fix_to_db(p.x) * mask.scale + 0.5 - mask.left,
                   fix_to_db(p.y) * mask.scale + 0.5 - mask.top};
  };
  PointDB current{0, 0}, figureStart{0, 0};
  auto line_to = [&](PointDB to) {
    drawer.line(current, to);
    current = to;
  };
  for (uint32_t i = 0; i < record->count;) {
    uint16_t type = nodes[i].type;
    uint16_t kind = type & PT_KIND_PARAM_MASK;
    uint32_t last = i;
    if (kind == PT_MOVETO) {
      current = figureStart = device(nodes[i].pt);
      ++i;
    } else if (kind == PT_LINETO) {
      line_to(device(nodes[i].pt));
      ++i;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= record->count) break;
      forward_difference_cubic(current, device(nodes[i].pt), device(nodes[i + 1].pt),
                               device(nodes[i + 2].pt), kOutlineSteps, line_to);
      last = i + 2;
      i += 3;
    } else {
      i += kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2 ? 2 : 1;
      continue;
    }
    if ((nodes[last].type & PT_CLOSEFIGURE) != 0) line_to(figureStart);
  }
}

}  // namespace

void outline_pass(const Mask& mask, const RecordRange& range, bool antiAliased, bool styleOnly) {
  if (mask.wide && !styleOnly) {
    // Nothing was filled: start from all outside.
    std::memset(mask.pixels, 0xFF, size_t{mask.width} * mask.height * 4);
  }
  LineDrawer drawer(mask, antiAliased);
  range.for_each([&](ZoPath* r) {
    if (styleOnly && (r->flags & ZOF_TEXT_STYLE) == 0) return;
    draw_record(r, mask, drawer);
  });
}

}  // namespace zo::render
