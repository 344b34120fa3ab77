// Converting selected segments: the three control-point constructions, both directions, and
// the refusals that leave the path as it was.
#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;
using zo_test::describe;

class ConvertSegmentTest : public ModelTest {
 protected:
  void TearDown() override {
    ZoPlatSetKeyState(17, 0);
    ModelTest::TearDown();
  }
};

// A single selected path with the segment starting at `segment` picked, converted once.
struct Converted {
  std::string before, after;
  uint32_t result;
  PointDB c1, c2;
};
Converted convert_one(const std::string& text, uint32_t segment, uint32_t toKind,
                      uint32_t flags = ZOF_SELECTED) {
  Desk d({path_from(text, flags)});
  ZoPath* p = d.at(0);
  d.table->groups[0].selected = p;
  RECT dirty;
  if (!(flags & ZOF_HAS_SEL_SEGMENT)) {
    EXPECT_EQ(ZoPathPickSegment(d.view, p, segment, &dirty), 1u);
  }
  Converted c{describe(p), "", 0, {}, {}};
  c.result = ZoPathConvertSelectedSegment(d.view, d.table, &dirty, toKind);
  p = d.table->groups[0].selected;
  c.after = describe(p);
  if (c.result == 1u && toKind == 1 && p->count > segment + 2) {
    c.c1 = PointDB{FixToDb(ZoPathNodes(p)[segment + 1].pt.x),
                   FixToDb(ZoPathNodes(p)[segment + 1].pt.y)};
    c.c2 = PointDB{FixToDb(ZoPathNodes(p)[segment + 2].pt.x),
                   FixToDb(ZoPathNodes(p)[segment + 2].pt.y)};
  }
  return c;
}

void expect_point(PointDB p, double x, double y) {
  EXPECT_NEAR(p.x, x, 2e-4);
  EXPECT_NEAR(p.y, y, 2e-4);
}

TEST_F(ConvertSegmentTest, NewCurvesFollowTheirNeighbours) {
  const double k = 0.5522847, third = 100.0 / 3;
  // Collinear neighbours: the chord turned by -30 degrees, a third of its length from each end.
  Converted c = convert_one("M 0 0 L 100 0 L 200 0 L 300 0", 1, 1);
  ASSERT_EQ(c.result, 1u);
  expect_point(c.c1, 100 + third * std::cos(M_PI / 6), -third * 0.5);
  expect_point(c.c2, 200 - third * std::cos(M_PI / 6), third * 0.5);
  // A right angle at the start: along the bisector, 0.5522847 L cos 45 from P0; no anchor
  // after: C2 halfway between C1 and P1.
  c = convert_one("M 0 100 L 0 0 L 100 0", 1, 1);
  double along = k * 100 * std::sqrt(0.5) * std::sqrt(0.5);
  expect_point(c.c1, along, -along);
  expect_point(c.c2, (along + 100) / 2, -along / 2);
  EXPECT_EQ(c.after.rfind("M 0 100 L 0 0 g C ", 0), 0u) << c.after;
  // A closed figure wraps: the segment before the first is the last (a 135 degree corner).
  c = convert_one("M 0 0 L 100 0 L 100 100 L 0 0 Z", 0, 1);
  PointDB s{1 - std::sqrt(0.5), -std::sqrt(0.5)};
  double len = std::hypot(s.x, s.y);
  PointDB t{s.x / len, s.y / len};
  expect_point(c.c1, t.x * t.x * 100 * k, t.y * t.x * 100 * k);
  expect_point(c.c2, 100 - 50 * k, -50 * k);
  // A lone segment bulges to its side; so does any segment of a polygon.
  c = convert_one("M 0 0 L 100 0", 0, 1);
  expect_point(c.c1, 25, -25);
  expect_point(c.c2, 75, -25);
  c = convert_one("M 0 0 L 100 0 L 200 0 L 0 0 Z", 0, 1, ZOF_SELECTED | ZOF_POLY_STYLE2 | (3 << 5));
  expect_point(c.c1, 25, -25);
  // With Control held the curve stays straight.
  ZoPlatSetKeyState(17, 1);
  c = convert_one("M 0 0 L 100 0 L 200 0 L 300 0", 1, 1);
  expect_point(c.c1, 0.6667 * 100 + 0.3333 * 200, 0);
  expect_point(c.c2, 0.3333 * 100 + 0.6667 * 200, 0);
}

TEST_F(ConvertSegmentTest, ConversionRefusesWithoutChangingAnything) {
  // Only curves selected and curves asked for: nothing to do.
  Converted c = convert_one("M 0 0 C 10 10 20 10 30 0 L 40 0", 0, 1);
  EXPECT_EQ(c.result, 0u);
  EXPECT_EQ(c.after, c.before);
  // Curve to line and back to a curve keeps the anchors.
  c = convert_one("M 0 0 C 10 10 20 10 30 0 L 40 0", 0, 2);
  EXPECT_EQ(c.result, 1u);
  EXPECT_EQ(c.after, "M 0 0 g L 30 0 L 40 0");
  // A selected segment of another kind: error 3200, path untouched.
  c = convert_one("M 0 0 g N 0x100 10 10 L 40 0", 0, 0, ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT);
  EXPECT_EQ(c.result, 0u);
  EXPECT_EQ(c.after, c.before);
  ASSERT_FALSE(reports().empty());
  EXPECT_EQ(reports().back().code, 3200u);
  // Not a single selected path: joined, linked or unselected.
  ZoPath* a = path_from("M 0 0 g L 10 0", ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT);
  ZoPath* b = path_from("M 0 5 L 10 5", ZOF_SELECTED);
  Desk d({a, b});
  zo_test::link_join({a, b});
  d.table->groups[0].selected = a;
  RECT dirty{1, 1, 2, 2};
  EXPECT_EQ(ZoPathConvertSelectedSegment(d.view, d.table, &dirty, 1), 0u);
  EXPECT_EQ(dirty.right - dirty.left, 0) << "dirty is emptied";
  EXPECT_EQ(ZoPathConvertSelectedSegment(d.view, nullptr, &dirty, 1), 0u);
}

}  // namespace
