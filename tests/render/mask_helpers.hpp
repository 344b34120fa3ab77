// Building test shapes and reading masks back for the rasteriser tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"
#include "Zo32path.h"

namespace zo_test {

struct Pt {
  double x, y;
};

// A record of closed polygons, one figure per vector of points.
inline ZoPath* polygon_record(const std::vector<std::vector<Pt>>& figures, uint32_t flags = 0) {
  ZoPath* p = ZoPathCreate();
  for (const auto& figure : figures) {
    for (size_t i = 0; i < figure.size(); ++i) {
      Ptfx pt{DbToFix(figure[i].x), DbToFix(figure[i].y)};
      uint16_t type = i == 0 ? PT_MOVETO : PT_LINETO;
      if (i + 1 == figure.size()) type |= PT_CLOSEFIGURE;
      ZoPathAddPoint(&p, &pt, type);
    }
  }
  p->flags = flags;
  return p;
}

inline std::vector<Pt> rect_points(double l, double t, double r, double b) {
  return {{l, t}, {r, t}, {r, b}, {l, b}};
}

// An ellipse as four cubics.
inline ZoPath* ellipse_record(double cx, double cy, double rx, double ry, uint32_t flags = 0) {
  const double k = 0.5522847;
  ZoPath* p = ZoPathCreate();
  auto add = [&](double x, double y, uint16_t type) {
    Ptfx pt{DbToFix(x), DbToFix(y)};
    ZoPathAddPoint(&p, &pt, type);
  };
  add(cx + rx, cy, PT_MOVETO);
  const double q[4][6] = {
      {cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry},
      {cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy},
      {cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry},
      {cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy},
  };
  for (int i = 0; i < 4; ++i) {
    add(q[i][0], q[i][1], PT_BEZIERTO);
    add(q[i][2], q[i][3], PT_BEZIERTO);
    add(q[i][4], q[i][5], static_cast<uint16_t>(PT_BEZIERTO | (i == 3 ? PT_CLOSEFIGURE : 0)));
  }
  p->flags = flags;
  return p;
}

// Links records into one list and one join chain, in order.
inline ZoPath* join_records(const std::vector<ZoPath*>& records) {
  link(records, &ZoPath::joinNext, &ZoPath::joinPrev);
  return link_list(records);
}
inline void delete_list(ZoPath* head) { release_list(head); }

// One rendered mask and its rectangle, released with the object.
struct Rendered {
  RECT rect{};
  uint8_t* buffer = nullptr;
  uint32_t width = 0, height = 0, bits = 0;
  Rendered() = default;
  Rendered(const Rendered&) = delete;
  Rendered& operator=(const Rendered&) = delete;
  Rendered(Rendered&& o) noexcept { *this = std::move(o); }
  Rendered& operator=(Rendered&& o) noexcept {
    std::swap(rect, o.rect);
    std::swap(buffer, o.buffer);
    width = o.width, height = o.height, bits = o.bits;
    return *this;
  }
  ~Rendered() { ZoPathBufFree(buffer); }
  uint8_t at(int32_t x, int32_t y) const { return buffer[size_t(y) * width + size_t(x)]; }
  // The byte of the pixel centred on image point (x, y) at the render scale.
  uint8_t image(int32_t x, int32_t y) const { return at(x - rect.left, y - rect.top); }
};

// All masks of one ZoPathToBuf call (the arrays are released here).
inline std::vector<Rendered> render_all(ZoPath* path, uint32_t format, uint32_t fillRule,
                                        uint32_t aaMode, uint32_t mode = 0, uint32_t scale = 65536,
                                        int32_t margin = 0) {
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  uint32_t n = ZoPathToBuf(path, format, fillRule, aaMode, mode, scale, &rects, &buffers, margin);
  std::vector<Rendered> out;
  for (uint32_t i = 0; i < n; ++i) {
    Rendered r;
    r.rect = rects[i];
    r.buffer = buffers[i];
    ZoPathBufGetWHU(r.buffer, &r.width, &r.height, &r.bits);
    out.push_back(std::move(r));
  }
  if (n > 0) {
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  }
  return out;
}

inline Rendered render(ZoPath* path, uint32_t format, uint32_t fillRule, uint32_t aaMode,
                       uint32_t mode = 0, uint32_t scale = 65536, int32_t margin = 0) {
  auto all = render_all(path, format, fillRule, aaMode, mode, scale, margin);
  EXPECT_EQ(all.size(), 1u);
  return all.empty() ? Rendered{} : std::move(all.front());
}

}  // namespace zo_test
