// A document with a display buffer, and random paths to draw into it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"

namespace zo_display_test {

using namespace zo_test;

// Every display test gives back each record and block it made.
class DisplayTest : public ModelTest {};

// A table with a display buffer made the way a host makes one, and its view.
struct Screen {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  Screen(RECT window, int32_t scrollX, int32_t scrollY, double zoom) {
    ZoPathNew(&table);
    ZoPathCoordStruct(&window, scrollX, scrollY, zoom, table, &view);
  }
  ~Screen() {
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  int32_t width() const { return view->rcWindow.right - view->rcWindow.left; }
  int32_t height() const { return view->rcWindow.bottom - view->rcWindow.top; }
  std::vector<uint8_t> bytes() const {
    return std::vector<uint8_t>(view->lpDB, view->lpDB + size_t(width()) * size_t(height()));
  }
  bool blank() const {
    auto b = bytes();
    return std::all_of(b.begin(), b.end(), [](uint8_t v) { return v == 0; });
  }
  uint8_t& at(int32_t x, int32_t y) { return view->lpDB[size_t(y) * size_t(width()) + size_t(x)]; }
};

inline std::vector<int32_t> edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The box of the pixels of a width-w image that differ between two states (right and bottom
// exclusive; empty as {w, h, 0, 0}).
template <class Pixel>
RECT changed_box(const std::vector<Pixel>& now, const std::vector<Pixel>& base, int32_t w) {
  const int32_t h = int32_t(now.size()) / w;
  RECT r{w, h, 0, 0};
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (now[size_t(y * w + x)] != base[size_t(y * w + x)])
        r = RECT{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                 std::max(r.bottom, y + 1)};
  return r;
}

// A random subpath of lines and cubics in [lo, hi) image pixels; closed half of the time.
inline ZoPath* random_path(std::mt19937& rng, double lo, double hi, int segments) {
  std::uniform_real_distribution<double> coord(lo, hi);
  ZoPath* p = ZoPathCreate();
  auto add = [&](double x, double y, uint16_t type) {
    Ptfx pt{DbToFix(x), DbToFix(y)};
    ASSERT_EQ(ZoPathAddPoint(&p, &pt, type), 1u);
  };
  double x0 = coord(rng), y0 = coord(rng);
  add(x0, y0, PT_MOVETO);
  for (int s = 0; s < segments; ++s) {
    if (rng() % 2 == 0) {
      add(coord(rng), coord(rng), PT_LINETO);
    } else {
      for (int k = 0; k < 3; ++k) add(coord(rng), coord(rng), PT_BEZIERTO);
    }
  }
  if (rng() % 2 == 0) {
    add(x0, y0, PT_LINETO);
    ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
  }
  return p;
}

}  // namespace zo_display_test
