// Bounding rectangles and margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "test_support.hpp"

namespace {

using zo_test::point_of;

struct N {
  uint16_t type;
  double x, y;
};

ZoPath* make(std::initializer_list<N> nodes) {
  ZoPath* p = ZoPathCreate();
  for (const N& n : nodes) {
    Ptfx pt{DbToFix(n.x), DbToFix(n.y)};
    ZoPathAddPoint(&p, &pt, n.type);
  }
  return p;
}

class BoundsTest : public ZoTest {
 protected:
  void TearDown() override {
    for (ZoPath* p : made_) ZoPathDeletePtr(p, 0);
    ZoTest::TearDown();
  }
  ZoPath* keep(ZoPath* p) {
    made_.push_back(p);
    return p;
  }
  std::vector<ZoPath*> made_;
};

bool same(const RECT& r, RECT e) { return r.left == e.left && r.top == e.top && r.right == e.right && r.bottom == e.bottom; }

TEST_F(BoundsTest, IntegerRectanglesScaleThenAddTheMargin) {
  ZoPath* dot = keep(make({{PT_MOVETO, 10.5, 20.25}}));
  RECT r;
  ASSERT_EQ(ZoPathGetMiniMaxRect(dot, 65536, &r), 1u);
  EXPECT_TRUE(same(r, {5, 15, 16, 26}));
  ZoPath* box = keep(make({{PT_MOVETO, 11.9, 21}, {PT_LINETO, 31.2, 41.7}}));
  ASSERT_EQ(ZoPathGetAllMiniMaxRect(box, 0x8000, &r), 1u);
  EXPECT_TRUE(same(r, {0, 5, 21, 26}));
  ZoPathGetRect(box, 0x8000, &r);  // rounds instead of truncating, no margin
  EXPECT_TRUE(same(r, {6, 11, 16, 21}));
  ZoPathGetRect(nullptr, 65536, &r);
  EXPECT_TRUE(same(r, {0, 0, 0, 0}));
  EXPECT_EQ(ZoPathGetMiniMaxRect(nullptr, 65536, &r), 0u);
}

TEST_F(BoundsTest, ModesChooseTheSubpathsThatTakePart) {
  ZoPath* a = keep(make({{PT_MOVETO, 0, 0}, {PT_LINETO, 10, 10}}));
  ZoPath* b = keep(make({{PT_MOVETO, 100, 100}, {PT_LINETO, 110, 110}}));
  ZoPath* c = keep(make({{PT_MOVETO, -50, 5}, {PT_LINETO, -40, 5}}));
  ZoPath* chain[] = {a, b};
  ZoPathChainZoPath(2, chain);  // a and b: list and join chain
  b->next = c;
  c->prev = b;
  RECT r;
  ZoPathGetMiniMaxRect(a, 65536, &r);  // join chain: a, b
  EXPECT_TRUE(same(r, {-5, -5, 116, 116}));
  ZoPathGetAllMiniMaxRect(a, 65536, &r);  // list: a, b, c
  EXPECT_TRUE(same(r, {-55, -5, 116, 116}));
  ZoPathGetUnselectedRect(b, 65536, &r);  // list from b
  EXPECT_TRUE(same(r, {-55, 0, 116, 116}));
  a->flags = c->flags = ZOF_SELECTED;
  a->selNext = c;
  c->selPrev = a;
  ZoPathGetSelectedRect(a, 65536, &r);
  EXPECT_TRUE(same(r, {-55, -5, 16, 16}));
  RectDB d;
  ASSERT_EQ(ZoPathGetDoubleMiniMaxRect(a, 0x20000, &d, 1), 1u);
  EXPECT_DOUBLE_EQ(d.left, -5.0);
  EXPECT_DOUBLE_EQ(d.right, 226.0);
  ASSERT_EQ(ZoPathGetDoubleRectNoMargin(a, &d, 0), 1u);
  EXPECT_DOUBLE_EQ(d.left, -50.0);
  EXPECT_DOUBLE_EQ(d.bottom, 110.0);
  // Frame shapes give rotated corners; the second parameter form is left out altogether.
  ZoPath* frame = keep(make({{PT_MOVETO, 0.5, 0.5}, {PT_PARAM_PAIR, 20.5, 10.5}, {PT_MOVETO, M_PI / 2, 0}}));
  ZoPathGetRect(frame, 65536, &r);
  EXPECT_TRUE(same(r, {5, -4, 15, 15}));
  ZoPath* hidden = keep(make({{PT_MOVETO, 500, 500}, {PT_PARAM_PAIR2, 900, 900}}));
  ZoPathGetRect(hidden, 65536, &r);
  EXPECT_TRUE(same(r, {10000, 10000, -10000, -10000}));
}

TEST_F(BoundsTest, ShapeRectangleFollowsTheCurveNotItsControlPoints) {
  // An arch whose control points reach far above the curve.
  ZoPath* arch = keep(make({{PT_MOVETO, 0, 100}, {PT_BEZIERTO, 0, -100}, {PT_BEZIERTO, 100, -100}, {PT_BEZIERTO, 100, 100}}));
  RectDB controls, shape;
  ZoPathGetDoubleRectNoMargin(arch, &controls, 0);
  ASSERT_EQ(ZoPathGetDoubleShapeRectNoMargin(arch, &shape, 0), 1u);
  EXPECT_DOUBLE_EQ(controls.top, -100.0);
  EXPECT_NEAR(shape.top, -50.0, 0.5);  // the curve peaks at y = -50
  EXPECT_DOUBLE_EQ(shape.bottom, 100.0);

  // Random cubics: the shape rectangle lies inside the control rectangle and within half a
  // pixel of the curve's true extent, found by dense sampling.
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-3000.0, 3000.0);
  for (int trial = 0; trial < 200; ++trial) {
    double x[4], y[4];
    for (int i = 0; i < 4; ++i) x[i] = coord(rng), y[i] = coord(rng);
    ZoPath* p = make({{PT_MOVETO, x[0], y[0]}, {PT_BEZIERTO, x[1], y[1]}, {PT_BEZIERTO, x[2], y[2]}, {PT_BEZIERTO, x[3], y[3]}});
    const PathNode* n = ZoPathNodes(p);
    double fx[4], fy[4];
    for (int i = 0; i < 4; ++i) fx[i] = FixToDb(n[i].pt.x), fy[i] = FixToDb(n[i].pt.y);
    RectDB truth{1e9, 1e9, -1e9, -1e9};
    for (int s = 0; s <= 20000; ++s) {
      double t = s / 20000.0, u = 1 - t;
      double px = u * u * u * fx[0] + 3 * u * u * t * fx[1] + 3 * u * t * t * fx[2] + t * t * t * fx[3];
      double py = u * u * u * fy[0] + 3 * u * u * t * fy[1] + 3 * u * t * t * fy[2] + t * t * t * fy[3];
      truth = RectDB{std::min(truth.left, px), std::min(truth.top, py), std::max(truth.right, px), std::max(truth.bottom, py)};
    }
    ZoPathGetDoubleShapeRectNoMargin(p, &shape, 0);
    ZoPathGetDoubleRectNoMargin(p, &controls, 0);
    // The rectangle starts from the integer part of node 0, a pixel corner near the curve.
    EXPECT_GE(shape.left, controls.left - 1e-9);
    EXPECT_LE(shape.right, controls.right + 1e-9);
    EXPECT_GE(shape.top, controls.top - 1e-9);
    EXPECT_NEAR(shape.left, std::min(truth.left, std::floor(fx[0])), 0.5);
    EXPECT_NEAR(shape.top, std::min(truth.top, std::floor(fy[0])), 0.5);
    EXPECT_NEAR(shape.right, truth.right, 0.5);
    EXPECT_NEAR(shape.bottom, truth.bottom, 0.5);
    ZoPathDeletePtr(p, 0);
  }
}

TEST_F(BoundsTest, MarginsPutTheExtremePixelsAtAFixedPosition) {
  struct Case {
    double minX, maxX;
    int32_t mode;
    uint32_t left, right;
  } cases[] = {{3.6, 7.75, 0, 6, 5}, {3.6, 7.75, 1, 6, 4}, {3.5, 7.5, 0, 5, 5}, {3.5, 7.5, 1, 6, 5},
               {3.54, 7.4, 0, 5, 6}, {3.0, 7.0, 1, 5, 5}};
  for (const Case& c : cases) {
    ZoPath* p = make({{PT_MOVETO, c.minX, 2.25}, {PT_LINETO, c.maxX, 9.75}});
    uint32_t m[4];
    ASSERT_EQ(ZoPathGetMargin(p, c.mode, m), 1u);
    EXPECT_EQ(m[0], c.left) << c.minX << " mode " << c.mode;
    EXPECT_EQ(m[2], c.right) << c.maxX << " mode " << c.mode;
    EXPECT_EQ(m[1], 5u);
    EXPECT_EQ(m[3], c.mode == 0 ? 5u : 4u);
    ZoPathDeletePtr(p, 0);
  }
  uint32_t m[4];
  EXPECT_EQ(ZoPathGetMargin(nullptr, 0, m), 0u);
}

TEST_F(BoundsTest, ExtractCopiesOneSubpathFreeOfItsList) {
  ZoPath* a = keep(make({{PT_MOVETO, 1, 1}}));
  ZoPath* b = keep(make({{PT_MOVETO, 2, 2}, {PT_LINETO, 3, 3}}));
  ZoPath* list[] = {a, b};
  ZoPathChainZoPath(2, list);
  a->flags = b->flags = ZOF_SELECTED;
  EXPECT_EQ(ZoPathExtractSingleSubPath(b, 0), nullptr);
  EXPECT_EQ(ZoPathExtractSingleSubPath(b, 3), nullptr);
  ZoPath* copy = keep(ZoPathExtractSingleSubPath(b, 2));  // counted from the head
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->count, 2u);
  EXPECT_EQ(copy->flags, 0u);
  EXPECT_TRUE(copy->prev == nullptr && copy->joinPrev == nullptr && copy->joinNext == nullptr);
  EXPECT_EQ(point_of(copy, 1).x, point_of(b, 1).x);
  EXPECT_EQ(ZoPlatHeapBlockSize(copy), ZoPlatHeapBlockSize(b));
}

}  // namespace
