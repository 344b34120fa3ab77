// Polygons and stars: every side style at several side counts (node count, types, flags,
// closing node, n-fold symmetry, finite nodes or a clean refusal), the XOR preview, the
// editing calls on generated figures, and the walks over mixed lists.
#include <cmath>
#include <random>
#include <vector>

#include "../edit/edit_helpers.hpp"

namespace {

using namespace zo_edit_test;

class PolygonsTest : public ModelTest {};

constexpr uint32_t kPerSide[13] = {0, 1, 2, 3, 3, 3, 5, 6, 3, 4, 9, 5, 2};
const RECT kWindow{0, 0, 400, 300};

PointDB at(const ZoPath* p, uint32_t i) {
  const Ptfx q = ZoPathNodes(const_cast<ZoPath*>(p))[i].pt;
  return {FixToDb(q.x), FixToDb(q.y)};
}

// Side k is side 0 turned by 2 pi k / n about c, within `units` 16.16 units.
void expect_symmetric(const ZoPath* p, PointDB c, uint32_t n, double units) {
  const uint32_t s = (p->count - 1) / n;
  for (uint32_t k = 1; k < n; ++k)
    for (uint32_t j = 0; j < s; ++j) {
      const double a = 2 * M_PI * k / n;
      const PointDB v{at(p, j).x - c.x, at(p, j).y - c.y};
      const PointDB w = at(p, k * s + j);
      ASSERT_NEAR(w.x, c.x + v.x * std::cos(a) - v.y * std::sin(a), units / 65536) << k << "," << j;
      ASSERT_NEAR(w.y, c.y + v.x * std::sin(a) + v.y * std::cos(a), units / 65536) << k << "," << j;
    }
}

ZoPath* make(uint32_t n, int style, ZoPath* templ = nullptr, RECT drag = {200, 150, 280, 230},
             int centered = 1, uint32_t upright = 0) {
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&kWindow, 0, 0, 1.0, nullptr, &view);
  ZoPath* p = nullptr;
  ZoPathPolyGet(n, style, templ, &p, view, &drag, centered, upright);
  ZoPathDeleteCoordStruct(view);
  return p;
}

TEST_F(PolygonsTest, EveryStyleIsAClosedSymmetricFigureOrACleanRefusal) {
  ZoPath* templ = make(5, 2);
  const PointDB c{199.5, 149.5};
  for (uint32_t style = 0; style <= 12; ++style)
    for (uint32_t n : {1u, 2u, 3u, 5u, 8u, 63u}) {
      SCOPED_TRACE(testing::Message() << "style " << style << " sides " << n);
      zo32commClearReports();
      const size_t live = ZoPlatHeapLiveBlocks();
      ZoPath* p = make(n, int(style), templ);
      if (style == 5 && n == 2) {
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);
        EXPECT_TRUE(reports().size() == 1 && reports()[0].code == 3200u);
        continue;
      }
      ASSERT_NE(p, nullptr);
      const uint32_t s = style == 0 ? 2 : kPerSide[style];
      ASSERT_EQ(p->count, n * s + 1);
      uint32_t flags = ZOF_SELECTED | (n << 5) | (style == 9 ? ZOF_POLY_STYLE1 : ZOF_POLY_STYLE2);
      if (style >= 1 && style <= 4) flags |= style << 13;
      EXPECT_EQ(p->flags, flags);
      const PathNode* nd = ZoPathNodes(p);
      EXPECT_EQ(nd[0].type, PT_MOVETO);
      EXPECT_EQ(nd[p->count - 1].type, nd[s].type | PT_CLOSEFIGURE);
      EXPECT_TRUE(nd[0].pt.x == nd[p->count - 1].pt.x && nd[0].pt.y == nd[p->count - 1].pt.y);
      for (uint32_t i = 1; i + 1 < p->count; ++i) {
        EXPECT_NE(int32_t(nd[i].pt.x), INT32_MIN);
        EXPECT_EQ(nd[i].type, nd[(i - 1) % s + 1].type) << i;  // every side has the same types
      }
      EXPECT_EQ(ZoPathPolyGetSides(p), n);
      expect_symmetric(p, c, n, 2.5);  // two truncations, one of them turned
      ZoPathDeletePtr(p, 0);
    }
  // A five-sided star: radii alternate R and R / 3; style 0 repeats it on eight sides.
  ZoPath* again = make(8, 0, templ);
  for (uint32_t i = 0; i < 11; ++i) {
    const double r = std::hypot(at(templ, i).x - c.x, at(templ, i).y - c.y);
    EXPECT_NEAR(r, (i % 2 ? 1.0 / 3 : 1.0) * 80 * M_SQRT2, 1e-3);
    const double r8 = std::hypot(at(again, i).x - c.x, at(again, i).y - c.y);
    EXPECT_NEAR(r8, (i % 2 ? 1.0 / 3 : 1.0) * 80 * M_SQRT2, 1e-3);
  }
  ZoPathDeletePtr(again, 0);
  ZoPathDeletePtr(templ, 0);
}

TEST_F(PolygonsTest, FrameFollowsTheDragCentreAndUprightFlags) {
  // From a corner, upward with upright: the first vertex lies straight below the centre.
  ZoPath* p = make(4, 1, nullptr, RECT{100, 200, 160, 100}, 0, 1);
  const PointDB c{99.5 + 30.5, 199.5 - 50.5};
  EXPECT_NEAR(at(p, 0).x, c.x, 1e-4);
  EXPECT_NEAR(at(p, 0).y, c.y + 50.5, 1e-4);
  expect_symmetric(p, c, 4, 2.0);
  ZoPathDeletePtr(p, 0);
  // Without upright the first vertex is the drag's other corner.
  p = make(3, 1, nullptr, RECT{100, 100, 130, 140}, 1, 0);
  EXPECT_NEAR(at(p, 0).x, 129.5, 1e-4);
  EXPECT_NEAR(at(p, 0).y, 139.5, 1e-4);
  ZoPathDeletePtr(p, 0);
}

TEST_F(PolygonsTest, RefusedInputAllocatesNothing) {
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&kWindow, 0, 0, 1.0, nullptr, &view);
  const RECT drag{10, 10, 50, 50}, far{10, 10, 40000, 50};
  ZoPath* plain = path_from("M 0 0 L 10 0 L 10 10 Z", 0);
  ZoPath* keep = plain;
  struct Row {
    uint32_t sides;
    int style;
    ZoPath* templ;
    const RECT* drag;
    bool reported;
  } rows[] = {{0, 1, nullptr, &drag, true},   {64, 1, nullptr, &drag, true},
              {5, 13, nullptr, &drag, true},  {5, -1, nullptr, &drag, true},
              {2, 5, nullptr, &drag, true},   {5, 0, plain, &drag, true},
              {5, 0, nullptr, &drag, false},  {5, 1, nullptr, &far, true},
              {5, 1, nullptr, nullptr, false}};
  const size_t live = ZoPlatHeapLiveBlocks();
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.sides << " " << r.style);
    zo32commClearReports();
    EXPECT_EQ(ZoPathPolyGet(r.sides, r.style, r.templ, &keep, view, r.drag, 1, 0), 0u);
    EXPECT_EQ(ZoPathPolygonDrawWithGDIXOR(nullptr, view, r.drag, 1, 0, r.style, r.sides, r.templ),
              0u);
    EXPECT_EQ(keep, plain);
    EXPECT_EQ(reports().size(), r.reported ? 2u : 0u);
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);
  }
  view->zoom = 0;
  EXPECT_EQ(ZoPathPolyGet(5, 1, nullptr, &keep, view, &drag, 1, 0), 0u);
  EXPECT_EQ(ZoPathPolyGet(5, 1, nullptr, &keep, nullptr, &drag, 1, 0), 0u);
  EXPECT_EQ(ZoPathPolyAdd(nullptr, 5, 1, nullptr, nullptr, view, &drag, 1, 0), 0u);
  EXPECT_EQ(ZoPathPolyGetSides(nullptr) + ZoPathPolyGetStyle(nullptr), 0u);
  EXPECT_EQ(ZoPathGetPolySide(nullptr, nullptr, 0), 0);
  EXPECT_EQ(ZoPathHasPolyPath(nullptr, nullptr, 0), 0u);
  EXPECT_EQ(ZoPathSetPolyStyle(nullptr, nullptr, 0, 1), 0u);
  ZoPathDeletePtr(plain, 0);
  ZoPathDeleteCoordStruct(view);
}

TEST_F(PolygonsTest, PreviewDrawnTwiceRestoresEveryPixel) {
  std::mt19937 rng(14);
  ZoPath* templ = make(6, 10);
  std::vector<uint32_t> pixels(400 * 300, kFill);
  HDC dc = ZoPlatCreateMemoryDC(pixels.data(), 400, 300, 400);
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&kWindow, 13, -7, 1.5, nullptr, &view);
  for (int i = 0; i < 60; ++i) {
    const RECT drag{int(rng() % 500) - 50, int(rng() % 400) - 50, int(rng() % 500) - 50,
                    int(rng() % 400) - 50};
    const uint32_t style = rng() % 13, sides = 1 + rng() % 63;
    const int centered = int(rng() % 2);
    const uint32_t upright = rng() % 2;
    const uint32_t drawn = ZoPathPolygonDrawWithGDIXOR(dc, view, &drag, centered, upright, style,
                                                       sides, templ);
    EXPECT_EQ(drawn, style == 5 && sides == 2 ? 0u : 1u);
    const bool changed = pixels != std::vector<uint32_t>(pixels.size(), kFill);
    ZoPathPolygonDrawWithGDIXOR(dc, view, &drag, centered, upright, style, sides, templ);
    ASSERT_EQ(pixels, std::vector<uint32_t>(pixels.size(), kFill)) << i;
    const bool inside = drag.left > 0 && drag.left < 380 && drag.top > 0 && drag.top < 280;
    EXPECT_TRUE(changed || !drawn || !inside) << i;
  }
  ZoPlatDeleteDC(dc);
  ZoPathDeleteCoordStruct(view);
  ZoPathDeletePtr(templ, 0);
}

TEST_F(PolygonsTest, GeneratedFiguresKeepTheirSymmetryUnderTheEditingCalls) {
  Desk d({});
  const RECT drag{100, 80, 160, 140};
  ASSERT_EQ(ZoPathPolyAdd(d.dc, 6, 10, nullptr, d.table, d.view, &drag, 1, 0), 1u);
  ZoPath* p = d.head();
  EXPECT_EQ(d.table->groups[0].selected, p);
  const PointDB c{99.5, 79.5};
  // A node handle selects the node on every side.
  ZoPathHit hit{0, p, 3, 0};
  ASSERT_EQ(ZoPathHitAct(18027, d.dc, d.view, d.table, &hit), 1u);
  for (uint32_t i = 1; i < p->count; ++i)
    EXPECT_EQ((ZoPathNodes(p)[i].type & PT_SELECTED) != 0, i % 9 == 3) << i;
  EXPECT_EQ(ZoPathSelectedPointsCanBeDelete(p), 1u);
  EXPECT_EQ(ZoPathIsSimplestSubpath(p), 1);
  // Splitting a side splits every side; the figure stays symmetric.
  hit.index = 0;
  hit.param = 20000;
  ASSERT_EQ(ZoPathHitAct(18019, d.dc, d.view, d.table, &hit), 1u);
  p = hit.path;
  EXPECT_EQ(p->count, 6u * 12 + 1);
  expect_symmetric(p, c, 6, 4.0);
  // Scaling clears the marks.
  ZoPathSize(p, 2.0, 0);
  EXPECT_EQ(p->flags & ZOF_POLY_MARKS, 0u);
}

TEST_F(PolygonsTest, WalksOverMixedListsAndTheSelectionChain) {
  ZoPath* five = make(5, 1);
  ZoPath* plain = path_from("M 0 0 L 5 5", ZOF_SELECTED);
  ZoPath* six = make(6, 9);
  Desk d({five, plain, six});
  EXPECT_EQ(ZoPathGetPolySide(d.table, nullptr, 0), -6);
  EXPECT_EQ(ZoPathHasPolyPath(d.table, nullptr, 0), 2u);
  EXPECT_EQ(ZoPathGetPolySide(nullptr, six, 0), 6);
  EXPECT_EQ(ZoPathHasPolyPath(nullptr, plain, 0), 1u);
  // The selection chain: the star alone.
  d.table->groups[0].selected = six;
  EXPECT_EQ(ZoPathGetPolySide(d.table, nullptr, 1), 6);
  six->flags &= ~ZOF_SELECTED;  // a chain whose start is not selected is not walked
  EXPECT_EQ(ZoPathHasPolyPath(d.table, nullptr, 1), 0u);
  six->flags |= ZOF_SELECTED;
  EXPECT_EQ(ZoPathPolyGetStyle(six), 1u);
  EXPECT_EQ(ZoPathPolySetStyle(six, 2), 0u);  // style 2 only stays style 2
  EXPECT_EQ(ZoPathPolyGetStyle(six), 1u);
  EXPECT_EQ(ZoPathPolySetStyle(plain, 1), 0u);
  EXPECT_EQ(ZoPathSetPolyStyle(d.table, nullptr, 0, 1), 1u);
  EXPECT_EQ(ZoPathPolyGetStyle(five), 1u);
  EXPECT_EQ(ZoPathPolySetStyle(five, 2), 0u);
  EXPECT_EQ(ZoPathSetPolyStyle(d.table, nullptr, 1, 0), 1u);
  EXPECT_EQ(six->flags & ZOF_POLY_MARKS, 0u);
  EXPECT_EQ(ZoPathHasPolyPath(d.table, nullptr, 0), 1u);
}

}  // namespace
