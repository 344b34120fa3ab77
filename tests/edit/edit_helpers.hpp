// A document on screen for the editing tests: a table of paths drawn into its display buffer,
// its view, and a memory device context that receives the handles, with the checks every
// editing step must pass.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"

namespace zo_edit_test {

using zo_test::path_from;

constexpr uint32_t kFill = 0x00204060;

inline int64_t pack(int32_t x, int32_t y) {
  return int64_t(uint64_t(uint32_t(x)) | (uint64_t(uint32_t(y)) << 32));
}

struct Desk {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  int32_t w, h;
  std::vector<uint32_t> pixels;
  HDC dc = nullptr;

  Desk(const std::vector<ZoPath*>& paths, RECT window = RECT{0, 0, 200, 160}, double zoom = 1.0,
       int32_t scrollX = 0, int32_t scrollY = 0)
      : w(window.right - window.left), h(window.bottom - window.top), pixels(size_t(w * h), kFill) {
    ZoPathNew(&table);
    ZoPathCoordStruct(&window, scrollX, scrollY, zoom, table, &view);
    table->groups[0].first = paths.empty() ? nullptr : zo_test::link_list(paths);
    for (ZoPath* p : paths)
      if (table->groups[0].selected == nullptr && (p->flags & ZOF_SELECTED))
        table->groups[0].selected = p;
    RECT dirty;
    if (!paths.empty()) ZoPathDraw(view, paths[0], &dirty, 1);
    dc = ZoPlatCreateMemoryDC(pixels.data(), w, h, w);
    for (ZoPath* p : paths)
      if (p->flags & ZOF_SELECTED) ZoPathDrawNodes(dc, p, view);
  }
  ~Desk() {
    ZoPlatDeleteDC(dc);
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  Desk(const Desk&) = delete;
  Desk& operator=(const Desk&) = delete;

  ZoPath* head() const { return table->groups[0].first; }
  ZoPath* at(size_t i) const { return zo_test::members(head())[i]; }
  size_t position(const ZoPath* p) const {
    auto all = zo_test::members(head());
    return size_t(std::find(all.begin(), all.end(), p) - all.begin());
  }
  uint32_t click(int64_t point, uint32_t how, ZoPath** hit = nullptr, uint32_t* index = nullptr,
                 uint16_t* param = nullptr) {
    ZoPath* p = nullptr;
    uint32_t i = 0xDEAD;
    uint16_t t = 0xBEEF;
    uint32_t r = ZoPathPtOn(point, how, dc, view, table, &p, &i, &t);
    if (hit) *hit = p;
    if (index) *index = i;
    if (param) *param = t;
    return r;
  }
  // The handles of exactly the selected subpaths, drawn on a fresh surface.
  std::vector<uint32_t> expected_handles() const {
    std::vector<uint32_t> out(pixels.size(), kFill);
    HDC other = ZoPlatCreateMemoryDC(out.data(), w, h, w);
    for (ZoPath* p = head(); p != nullptr; p = p->next)
      if (p->flags & ZOF_SELECTED) ZoPathDrawNodes(other, p, view);
    ZoPlatDeleteDC(other);
    return out;
  }
  // Display-buffer pixels whose mark kind is the segment highlight.
  int highlighted() const {
    int n = 0;
    for (int32_t i = 0; i < w * h; ++i)
      n += (view->lpDB[i] & 0x3F) && (view->lpDB[i] & 0xC0) == 0x40;
    return n;
  }
  // Positions of the selection chain from the group's selected path.
  std::string chain() const {
    std::string s;
    for (ZoPath* p = table->groups[0].selected; p != nullptr; p = p->selNext)
      s += std::to_string(position(p));
    return s;
  }
};

// What every step must leave: the chain links the selected subpaths in list order from the
// group's selected path, the flags agree with the node marks, and the screen shows the
// handles of the selected subpaths and nothing else.
inline void expect_consistent(const Desk& d) {
  std::string selected;
  ZoPath* previous = nullptr;
  for (ZoPath* p = d.head(); p != nullptr; p = p->next) {
    bool points = false, segments = false;
    for (uint32_t i = 0; i < p->count; ++i) {
      points = points || (ZoPathNodes(p)[i].type & PT_SELECTED);
      segments = segments || (ZoPathNodes(p)[i].type & PT_SEGMENT_MARK);
    }
    EXPECT_EQ(points, (p->flags & ZOF_HAS_SEL_POINTS) != 0) << "subpath " << d.position(p);
    EXPECT_EQ(segments, (p->flags & ZOF_HAS_SEL_SEGMENT) != 0) << "subpath " << d.position(p);
    if (!(p->flags & ZOF_SELECTED)) continue;
    selected += std::to_string(d.position(p));
    EXPECT_EQ(p->selPrev, previous);
    previous = p;
  }
  EXPECT_EQ(d.chain(), selected);
  EXPECT_TRUE(d.pixels == d.expected_handles()) << "handles on screen differ from the selection";
}

}  // namespace zo_edit_test
