// A document with a display buffer, and random paths to draw into it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "Zo32path.h"
#include "test_support.hpp"

namespace zo_display_test {

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
  uint8_t& at(int32_t x, int32_t y) { return view->lpDB[size_t(y) * size_t(width()) + size_t(x)]; }
};

inline void add(ZoPath** p, double x, double y, uint16_t type) {
  Ptfx pt{DbToFix(x), DbToFix(y)};
  ASSERT_EQ(ZoPathAddPoint(p, &pt, type), 1u);
}

// A random subpath of lines and cubics in [lo, hi) image pixels; closed half of the time.
inline ZoPath* random_path(std::mt19937& rng, double lo, double hi, int segments) {
  std::uniform_real_distribution<double> coord(lo, hi);
  ZoPath* p = ZoPathCreate();
  double x0 = coord(rng), y0 = coord(rng);
  add(&p, x0, y0, PT_MOVETO);
  for (int s = 0; s < segments; ++s) {
    if (rng() % 2 == 0) {
      add(&p, coord(rng), coord(rng), PT_LINETO);
    } else {
      for (int k = 0; k < 3; ++k) add(&p, coord(rng), coord(rng), PT_BEZIERTO);
    }
  }
  if (rng() % 2 == 0) {
    add(&p, x0, y0, PT_LINETO);
    ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
  }
  return p;
}

// Links the paths into one list and returns its head.
inline ZoPath* chain(const std::vector<ZoPath*>& paths) {
  for (size_t i = 1; i < paths.size(); ++i) {
    paths[i - 1]->next = paths[i];
    paths[i]->prev = paths[i - 1];
  }
  return paths.front();
}

// Makes every path selected and links them into the selection chain.
inline void select_all(const std::vector<ZoPath*>& paths) {
  for (size_t i = 0; i < paths.size(); ++i) {
    paths[i]->flags |= ZOF_SELECTED;
    if (i > 0) {
      paths[i - 1]->selNext = paths[i];
      paths[i]->selPrev = paths[i - 1];
    }
  }
}

}  // namespace zo_display_test
