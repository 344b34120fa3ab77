// Baseline measurement against dense sampling, and the calls around a wrap: comparisons,
// truncation, the stored baseline, list flags and reversal.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "alloc_sweep.hpp"
#include "deform_helpers.hpp"

namespace {

using namespace zo_test;

class BaselineTest : public ModelTest {};

// A dense polyline of a subpath (lines and cubics), 2000 samples a segment, independent of
// the library's curve code.
std::vector<PointDB> dense(ZoPath* p) {
  std::vector<PointDB> out;
  const PathNode* n = ZoPathNodes(p);
  out.push_back(db(n[0].pt));
  for (uint32_t i = 1; i < p->count;) {
    bool cubic = (n[i].type & PT_KIND_MASK) == PT_BEZIERTO;
    PointDB c[4] = {out.back(), db(n[i].pt), db(n[i + cubic].pt), db(n[i + 2 * cubic].pt)};
    if (!cubic) c[1] = PointDB{(2 * c[0].x + c[3].x) / 3, (2 * c[0].y + c[3].y) / 3},
                c[2] = PointDB{(c[0].x + 2 * c[3].x) / 3, (c[0].y + 2 * c[3].y) / 3};
    for (int k = 1; k <= 2000; ++k) out.push_back(bezier_at(c, k / 2000.0));
    i += cubic ? 3 : 1;
  }
  return out;
}

TEST_F(BaselineTest, MeasurementsAgreeWithDenseSampling) {
  std::mt19937 rng(21);
  for (int round = 0; round < 12; ++round) {
    ZoPath* p = random_list(rng, 1, 6);
    std::vector<PointDB> poly = dense(p);
    std::vector<double> run{0};
    for (size_t i = 1; i < poly.size(); ++i)
      run.push_back(run.back() + std::hypot(poly[i].x - poly[i - 1].x, poly[i].y - poly[i - 1].y));
    double total = run.back(), measured = ZoPathGetLength2(p);
    ASSERT_NEAR(measured, total, total * 2e-4 + 0.5) << round;
    for (float f : {0.0f, 0.1f, 0.37f, 0.5f, 0.93f, 1.0f}) {
      PointDB at{}, near{};
      ASSERT_EQ(ZoPathGetPointByLengthPercentage(p, f, &at), 1u);
      size_t k = std::lower_bound(run.begin(), run.end(), f * total) - run.begin();
      k = std::min(k, poly.size() - 1);
      EXPECT_LE(std::hypot(at.x - poly[k].x, at.y - poly[k].y), total * 5e-4 + 0.6) << f;
      float back = -1, dist = -1;
      ASSERT_EQ(ZoPathGetLengthPercentageByPoint(p, at, &back, &near), 1u);
      ASSERT_EQ(ZoPathGetNearestPointFromPoint(p, at, &dist, nullptr), 1u);
      EXPECT_LE(dist, 0.01);
      // On a self-crossing path another arc may pass through the same point.
      if (std::hypot(near.x - at.x, near.y - at.y) < 1e-3) {
        EXPECT_NEAR(back, f, 2e-3);
      }
    }
    // Nearest points of random probes: never farther than the dense polyline's nearest.
    std::uniform_real_distribution<double> coord(-2000, 2000);
    for (int probe = 0; probe < 10; ++probe) {
      PointDB q{coord(rng), coord(rng)}, near{};
      double best = INFINITY;
      for (PointDB s : poly) best = std::min(best, std::hypot(s.x - q.x, s.y - q.y));
      float dist = 0;
      ZoPathGetNearestPointFromPoint(p, q, &dist, &near);
      EXPECT_LE(dist, best + 1e-3);
      EXPECT_GE(dist, best - 2.0);
      EXPECT_NEAR(dist, std::hypot(near.x - q.x, near.y - q.y), 1e-3);
    }
    release_list(p);
  }
}

TEST_F(BaselineTest, PointsPositionsAndNulls) {
  ZoPath* p = path_from("M 0 0 L 30 0 C 40 0 50 10 50 20 N 0x200 7 7");
  PointDB pts[8];
  ASSERT_EQ(ZoPathGetBezierPointDBs(p, pts), 7u);
  EXPECT_EQ(ZoPathGetBezierPointDBs(p, nullptr), 7u);
  const double want[7][2] = {{0, 0}, {30 * 0.33333, 0}, {30 * 0.66667, 0}, {30, 0}, {40, 0}, {50, 10}, {50, 20}};
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(pts[i].x == want[i][0] && pts[i].y == want[i][1]) << i;
  double x = 0, y = 0;
  EXPECT_EQ(ZoPathGetPointPosition(p, 3, &x, &y), 1u);
  EXPECT_TRUE(x == 50 && y == 10);
  EXPECT_EQ(ZoPathGetPointPosition(p, 5, &x, nullptr), 1u);
  EXPECT_EQ(ZoPathGetPointPosition(p, 6, &x, &y), 0u);
  EXPECT_EQ(ZoPathGetPointPosition(p, -1, &x, &y), 0u);
  EXPECT_EQ(ZoPathGetLength2(nullptr), 0.0);
  PointDB at{};
  EXPECT_EQ(ZoPathGetPointByLengthPercentage(p, 0.00005f, &at), 1u);
  EXPECT_TRUE(at.x == 0 && at.y == 0);
  EXPECT_EQ(ZoPathGetPointByLengthPercentage(nullptr, 0.5f, &at), 0u);
  EXPECT_EQ(ZoPathGetNearestPointFromPoint(nullptr, at, nullptr, nullptr), 0u);
  ZoPathDeletePtr(p, 0);
}

ZoPathWrapInfo info_with(ZoPath* baseline) {
  ZoPathWrapInfo w{};
  w.baseline = baseline;
  w.deform = w.followNormal = 1;
  w.startHeight = w.endHeight = 100;
  w.sizeOrRef.verticalRef = 0.5;
  return w;
}

TEST_F(BaselineTest, ComparisonsAndTruncation) {
  ZoPath* base = path_from("M 0 0 L 80 0");
  ZoPath* same = path_from("M 0 0 L 80 0");
  EXPECT_EQ(IsSameSubpath(base, same), 1u);
  ZoPathNodes(same)[1].pt.x += 1;
  EXPECT_EQ(IsSameSubpath(base, same), 0u);
  EXPECT_EQ(IsSameSubpath(base, nullptr), 0u);
  ZoPathWrapInfo a = info_with(base), b = info_with(base);
  EXPECT_EQ(IsSameWrapInfo(nullptr, nullptr), 1u);
  EXPECT_EQ(IsSameWrapInfo(&a, nullptr), 0u);
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 1u);
  b.start = 0.00005, b.spacing = 0.0001, b.centreX = 9, b.recentre = 1, b.setting = 3;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 1u) << "within the tolerances, skipped fields";
  b.start = 0.0002;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 0u);
  b = a, b.sizeOrRef.verticalRef = 0.6;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 0u);
  b.text = a.text = 1, b.sizeOrRef.size = 7;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 1u) << "text does not compare the reference";
  uint32_t ZoPathWrapInfo::*fields[] = {&ZoPathWrapInfo::fit, &ZoPathWrapInfo::rotate,
                                        &ZoPathWrapInfo::deform, &ZoPathWrapInfo::cornerMode,
                                        &ZoPathWrapInfo::closed, &ZoPathWrapInfo::flag};
  for (auto f : fields) {
    b = a, b.*f += 1;
    EXPECT_EQ(IsSameWrapInfo(&a, &b), 0u);
  }
  b = a, b.baseline = same;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 0u);
  a.baseline = b.baseline = nullptr, a.bend = 20, b.bend = 20;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 1u);
  b.bend = 21;
  EXPECT_EQ(IsSameWrapInfo(&a, &b), 0u);
  // A 100-pixel-wide source on an open baseline of 80: cut at 80; of 120: no cut.
  ZoPath* source = path_from("M 10 0 L 110 0 L 110 30 Z");
  ZoPathWrapInfo w = info_with(base);
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 0, &w), 80u);
  w.start = 0.5;
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 0, &w), 40u);
  w.spacing = -0.7;  // 30 pixels of content fit into 40
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 0, &w), 0xFFFFFFFFu);
  w = info_with(base), w.count = 1;
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 0, &w), 0xFFFFFFFFu);
  w = info_with(base);
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 1, &w), 0xFFFFFFFFu) << "vertical without rotate";
  w.rotate = 1;
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 1, &w), 0xFFFFFFFFu) << "30 tall fits";
  ZoPathNodes(base)[1].pt.x = DbToFix(120);
  w = info_with(base);
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(source, 0, &w), 0xFFFFFFFFu);
  EXPECT_EQ(ZoPathWrapGetTruncatePosX(nullptr, 0, &w), 0xFFFFFFFFu);
  for (ZoPath* p : {base, same, source}) ZoPathDeletePtr(p, 0);
}

TEST_F(BaselineTest, StoredBaselineFlagsAndReversal) {
  ZoPath* a = path_from("M 0 0 L 10 0 L 10 10 Z", ZOF_SELECTED | ZOF_TEXT_CHAR);
  ZoPath* b = path_from("M 20 0 L 30 0", ZOF_SELECTED);
  ZoPath* dot = path_from("M 5 5");
  link_list({a, b, dot});
  link_selection({a, b});
  ZoPath* base = path_from("M 0 50 C 30 20 60 20 90 50 L 120 50", ZOF_POLY_STYLE1 | (6u << 5));
  ZoPathWrapInfo w = info_with(base);
  ASSERT_EQ(ZoPathAddWrapPath(b, &w), 1u);
  ASSERT_EQ(b->next->prev, b) << "the one-node subpath went";
  ZoPath* stored = b->next;
  EXPECT_EQ(stored->flags, ZOF_SELECTED | ZOF_WRAP_BASELINE | ZOF_POLY_STYLE1 | (6u << 5));
  EXPECT_EQ(describe(stored), describe(base));
  EXPECT_TRUE(a->joinNext == b && b->joinPrev == a && a->flags == ZOF_TEXT_CHAR && !a->selNext);
  EXPECT_EQ(ZoPathIsWrapBaseline(stored), 1u);
  EXPECT_EQ(ZoPathIsWrapBaseline(a), 0u);
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 10u);
  ASSERT_EQ(ZoPathSelectWrapBaseline(a, 3, 1), 1u);
  EXPECT_EQ(stored->flags & 0xFC000000u, ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
  ASSERT_EQ(ZoPathSelectWrapBaseline(a, -1, 3), 1u);
  EXPECT_EQ(stored->flags & 0xFC000000u, ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT);
  EXPECT_EQ(ZoPathNodes(stored)[3].type & (PT_SELECTED | PT_SEGMENT_MARK), PT_SEGMENT_MARK);
  ZoPathTbl* t = table_with(a);
  t->groups[0].selected = stored;
  ZoPath* copy = ZoPathMakeACopyOfBaseline(t);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(IsSameSubpath(copy, stored), 1u);
  EXPECT_TRUE(copy->prev == nullptr && ZoPlatHeapBlockSize(copy) == ZoPlatHeapBlockSize(stored));
  int32_t node = 7, segment = 7;
  EXPECT_EQ(ZoPathSeparateBaselineFromTable(t, &node, &segment), stored);
  EXPECT_TRUE(node == -1 && segment == 3 && b->next == nullptr && stored->prev == nullptr);
  EXPECT_TRUE(t->groups[0].selected == nullptr && (stored->flags & 0xFC000000u) == 0);
  EXPECT_EQ(ZoPathSeparateBaselineFromTable(t, &node, &segment), nullptr);
  ZoPathSetPathFlags(b, 1, 1, 1);
  EXPECT_TRUE(a->flags == ZOF_SELECTED && b->flags == (ZOF_SELECTED | ZOF_WRAP_BASELINE));
  ZoPathSetPathFlags(a, 0, 0, 0);
  EXPECT_EQ(b->flags, ZOF_SELECTED);
  // Reversal: backwards once, back again; refused with selected points.
  std::string before = describe(stored);
  stored->flags = ZOF_SELECTED;
  ASSERT_EQ(ZoPathInvertSubpaths(stored), 1u);
  EXPECT_EQ(describe(stored), "M 120 50 L 90 50 C 60 20 30 20 0 50");
  ZoPathInvertSubpaths(stored);
  EXPECT_EQ(describe(stored), before);
  ZoPath* closed = path_from("M 0 0 L 10 0 C 10 5 5 10 0 10 Z", ZOF_SELECTED);
  ZoPathInvertSubpaths(closed);
  EXPECT_EQ(describe(closed), "M 0 10 C 5 10 10 5 10 0 L 0 0 Z");
  closed->flags |= ZOF_HAS_SEL_POINTS;
  zo32commClearReports();
  EXPECT_EQ(ZoPathInvertSubpaths(closed), 0u);
  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(reports()[0].code, 3200u);
  for (ZoPath* p : {stored, copy, base, closed}) ZoPathDeletePtr(p, 0);
  ZoPathTblDelete(t);
}

TEST_F(BaselineTest, AllocationFailures) {
  auto on_list = [](const char* name, auto call) {
    return SweepCase{name, true, [=] {
                       ZoPath* a = path_from("M 0 0 L 10 0 L 10 10 Z");
                       ZoPath* b = path_from("M 0 40 L 100 40");
                       b->flags = ZOF_SELECTED | ZOF_WRAP_BASELINE;
                       link_list({a, b});
                       ZoPathTbl* t = table_with(a);
                       t->groups[0].selected = b;
                       auto out = std::make_shared<ZoPath*>(nullptr);
                       return Scenario{[=] { return call(t, a, b, out.get()); },
                                       [=] { return snapshot_table(t); },
                                       [=] {
                                         release_list(*out);
                                         ZoPathTblDelete(t);
                                       }};
                     }};
  };
  run_alloc_sweep({
      on_list("ZoPathMakeACopyOfBaseline",
              [](ZoPathTbl* t, ZoPath*, ZoPath*, ZoPath** out) {
                return (*out = ZoPathMakeACopyOfBaseline(t)) != nullptr;
              }),
      on_list("ZoPathAddWrapPath",
              [](ZoPathTbl*, ZoPath* a, ZoPath* b, ZoPath**) {
                ZoPathWrapInfo w = info_with(b);
                return ZoPathAddWrapPath(a, &w) == 1;
              }),
  });
}

}  // namespace
