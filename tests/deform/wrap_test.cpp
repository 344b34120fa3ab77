// Wrap along a baseline: the point map in each offset mode against hand-computed positions,
// settings normalisation, placement of whole units, bend mode, and failures that leave
// everything as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "alloc_sweep.hpp"
#include "deform_helpers.hpp"

namespace {

using namespace zo_test;

class WrapTest : public ModelTest {};

ZoPathWrapInfo settings(ZoPath* baseline, uint32_t deform = 1, uint32_t normal = 1) {
  ZoPathWrapInfo w{};
  w.baseline = baseline;
  w.deform = deform;
  w.followNormal = normal;
  w.startHeight = w.endHeight = 100;
  w.sizeOrRef.verticalRef = 0.0;  // the reference line runs one pixel below the bottom
  return w;
}

// The anchor points of a subpath: every node that ends a segment, and the first.
std::vector<PointDB> anchors(ZoPath* p) {
  std::vector<PointDB> out;
  const PathNode* n = ZoPathNodes(p);
  for (uint32_t i = 0; i < p->count; i += (n[i].type & PT_KIND_MASK) == PT_BEZIERTO ? 3 : 1)
    out.push_back(db(n[i + ((n[i].type & PT_KIND_MASK) == PT_BEZIERTO ? 2 : 0)].pt));
  return out;
}

ZoPath* wrapped(const std::string& source, ZoPathWrapInfo& w, uint32_t flags = 0) {
  ZoPath* p = path_from(source, flags);
  EXPECT_EQ(ZoPathWrap(&p, &w), 1u) << source;
  return p;
}

// Straight horizontal baseline, offset scale 1: one common vector for every node, in every
// offset mode without mitres, deformed or moved as a unit.
TEST_F(WrapTest, StraightBaselineTranslates) {
  ZoPath* base = path_from("M 0 100 L 400 100");
  const std::string src = "M 10 10 L 110 10 C 120 20 120 30 110 40 L 10 40 Z";
  ZoPath* ref = path_from(src);
  for (uint32_t mode = 0; mode < 4; ++mode) {
    ZoPathWrapInfo w = settings(base, mode & 1, mode >> 1);
    ZoPath* out = wrapped(src, w);
    ASSERT_EQ(out->count, ref->count) << mode;
    // x: left edge to the baseline start; y: the reference line (41) onto y = 100.
    for (uint32_t i = 0; i < out->count; ++i) {
      EXPECT_NEAR(FixToDb(point_of(out, i).x), FixToDb(point_of(ref, i).x) - 10, 2e-5) << mode;
      EXPECT_NEAR(FixToDb(point_of(out, i).y), FixToDb(point_of(ref, i).y) + 59, 2e-5) << mode;
    }
    EXPECT_EQ(out->flags & (ZOF_TEXT_CHAR | ZOF_TEXT_LINE), 0u);
    release_list(out);
  }
  // Heights scale offsets linearly across the width (u = (x - left) / (width + 1)); start
  // shifts along the baseline by start x L; fit puts the width onto the usable length.
  ZoPathWrapInfo w = settings(base);
  w.startHeight = 100, w.endHeight = 50, w.start = 0.25;
  ZoPath* out = wrapped("M 10 10 L 110 10", w);
  EXPECT_NEAR(FixToDb(point_of(out, 0).x), 100, 2e-5);
  EXPECT_NEAR(FixToDb(point_of(out, 1).y), 100 - 1 * (1 - 0.5 * 100 / 101.0), 2e-5);  // d = 1
  release_list(out);
  w = settings(base), w.fit = 1, w.start = 0.5;
  out = wrapped("M 10 10 L 110 10 L 110 40", w);
  EXPECT_NEAR(FixToDb(point_of(out, 1).x), 200 + 200 * 100 / 101.0, 2e-5);
  release_list(out);
  for (ZoPath* p : {base, ref}) ZoPathDeletePtr(p, 0);
}

// Closed baselines wrap around; open ones continue straight beyond their end.
TEST_F(WrapTest, AroundAndBeyondTheEnds) {
  ZoPath* square = path_from("M 0 0 L 100 0 L 100 100 L 0 100 L 0 0 Z");
  ZoPathWrapInfo w = settings(square);
  w.start = 0.05;  // arc positions 20, 40, 420 and 440
  ZoPath* out = wrapped("M 30 0 L 50 0 L 430 0 L 450 0", w);
  EXPECT_EQ(point_of(out, 0).x, point_of(out, 2).x);
  EXPECT_EQ(point_of(out, 1).y, point_of(out, 3).y);
  release_list(out);
  ZoPath* slope = path_from("M 0 0 L 60 80");  // length 100, direction (0.6, 0.8)
  w = settings(slope);
  out = wrapped("M 0 0 L 150 0", w);  // offset 1 along the normal (0.8, -0.6)
  EXPECT_NEAR(FixToDb(point_of(out, 1).x), 0.6 * 150 + 0.8, 2e-5);
  EXPECT_NEAR(FixToDb(point_of(out, 1).y), 0.8 * 150 - 0.6, 2e-5);
  release_list(out);
  for (ZoPath* p : {square, slope}) ZoPathDeletePtr(p, 0);
}

// At a mitred joint an offset point lies |d| / cos(theta / 2) from the joint; a turn of 4
// degrees is not mitred, one of 6 is.
TEST_F(WrapTest, MitredCorners) {
  for (double degrees : {90.0, 6.0, 4.0}) {
    double a = degrees * std::numbers::pi / 180;
    ZoPath* base = path_from("M 0 100 L 100 100 L " + std::to_string(100 + 100 * std::cos(a)) + " " +
                             std::to_string(100 + 100 * std::sin(a)));
    ZoPathWrapInfo w = settings(base);
    w.cornerMode = 1;
    ZoPath* out = wrapped("M 0 0 L 100 0 L 100 40", w);  // (100, 0): at the joint, d = 41
    std::vector<PointDB> ends = anchors(out);
    PointDB joint = ends[ends.size() - 2];
    double dist = std::hypot(joint.x - 100, joint.y - 100);
    double want = degrees > 5 ? 41 / std::cos(a / 2) : 41;
    EXPECT_NEAR(dist, want, 1e-3) << degrees;
    release_list(out);
    ZoPathDeletePtr(base, 0);
  }
}

// Bend mode: every anchor lies at its offset from the generated circle, over its top for a
// positive bend and along its bottom for a negative one.
TEST_F(WrapTest, BendAroundAGeneratedCircle) {
  for (int32_t bend : {50, -30, 100}) {
    ZoPathWrapInfo w = settings(nullptr);
    w.bend = bend;
    w.sizeOrRef.verticalRef = 0.5;
    ZoPath* out = wrapped("M 0 0 L 200 0 L 200 60 L 0 60 Z", w);
    double beta = std::abs(bend) / 200.0, r = 200 / (4 * std::numbers::pi * beta);
    double refY = 0 + 0.5 * 61;
    PointDB centre{100, bend > 0 ? refY + r : refY - r};
    for (PointDB p : anchors(out)) {
      double dist = std::hypot(p.x - centre.x, p.y - centre.y);
      // Within the radial error of the four-cubic circle (2.7e-4 of the radius).
      bool top = std::fabs(dist - (r + (bend > 0 ? 1 : -1) * (refY - 0))) < 0.03;
      bool bottom = std::fabs(dist - (r + (bend > 0 ? 1 : -1) * (refY - 60))) < 0.03;
      EXPECT_TRUE(top || bottom) << bend << " at " << p.x << ',' << p.y << " r " << dist;
      if (std::abs(bend) <= 50) {
        EXPECT_EQ(p.y < centre.y, bend > 0) << "half the circle or less";
      }
    }
    release_list(out);
  }
}

// Without deform every unit (a character starts at ZOF_TEXT_CHAR) is moved and turned as a
// whole: distances inside a unit stay, and its anchor sits on the baseline's normal.
TEST_F(WrapTest, UnitsMoveWhole) {
  ZoPath* arc = path_from("M 0 300 C 0 134 134 0 300 0");
  ZoPath* a = path_from("M 0 0 L 20 0 L 20 30 Z", ZOF_TEXT_CHAR);
  ZoPath* b = path_from("M 40 0 L 60 0 L 50 30 Z", ZOF_TEXT_CHAR);
  ZoPath* dot = path_from("M 45 10 L 55 10 L 50 15 Z");
  link_list({a, b, dot});
  std::vector<std::vector<PointDB>> before;
  for (ZoPath* p : members(a)) before.push_back(anchors(p));
  ZoPathWrapInfo w = settings(arc, 0);
  w.text = 1, w.sizeOrRef.size = 30, w.ascentDescent = (20u << 16) | 10u;
  ZoPath* list = a;
  ASSERT_EQ(ZoPathWrap(&list, &w), 1u);
  std::vector<ZoPath*> after = members(list);
  ASSERT_EQ(after.size(), 3u) << "no stored baseline yet";
  auto all = [&](size_t i) {
    std::vector<PointDB> v = anchors(after[i]);
    if (i == 1) for (PointDB p : anchors(after[2])) v.push_back(p);
    return v;
  };
  std::vector<PointDB> unit0 = before[0], unit1 = before[1];
  for (PointDB p : before[2]) unit1.push_back(p);
  for (auto [was, now] : {std::pair{unit0, all(0)}, std::pair{unit1, all(1)}})
    for (size_t i = 0; i < was.size(); ++i)
      for (size_t j = 0; j < i; ++j)
        EXPECT_NEAR(std::hypot(was[i].x - was[j].x, was[i].y - was[j].y),
                    std::hypot(now[i].x - now[j].x, now[i].y - now[j].y), 1e-3);
  release_list(list);
  ZoPathDeletePtr(arc, 0);
}

TEST_F(WrapTest, SettingsAreNormalisedAndTheBaselinePrepared) {
  ZoPath* base = path_from("M 0 100 L 400 100");
  struct Case {
    double start, spacing;
    int32_t count;
    uint32_t rotate;
    double wantStart, wantSpacing;
  } cases[] = {{1.5, -1.0, -3, 2, 0.5, 0.0},   {-0.25, -0.5, 4, 1, 0.75, -0.5},
               {1.0, -7.0, 0, 0, 0.999, 0.0}, {2.0, 0.5, 1, 5, 0.999, 0.5}};
  for (const Case& c : cases) {
    ZoPathWrapInfo w = settings(base);
    w.start = c.start, w.spacing = c.spacing, w.count = c.count, w.rotate = c.rotate;
    w.text = 1, w.sizeOrRef.size = 31;
    ZoPath* out = wrapped("M 10 10 L 20 10 L 20 20 Z", w, ZOF_TEXT_CHAR);
    EXPECT_EQ(w.start, c.wantStart);
    EXPECT_EQ(w.spacing, c.wantSpacing);
    EXPECT_EQ(w.count, std::max(0, c.count));
    EXPECT_EQ(w.rotate, c.rotate == 1 ? 1u : 0u);
    EXPECT_EQ(w.ascentDescent, (21u << 16) | 10u);
    EXPECT_EQ(w.closed, 0u);
    release_list(out);
  }
  EXPECT_EQ(base->flags, ZOF_WRAP_BASELINE);
  // Re-centring: 2 pixels away stays, 3 pixels away moves by the rounded offset.
  for (int32_t away : {2, 3}) {
    ZoPathWrapInfo w = settings(base);
    w.recentre = 1, w.centreX = 200 + away, w.centreY = 100;
    ZoPath* out = wrapped("M 10 10 L 20 10", w);
    EXPECT_EQ(describe(base), away == 2 ? "M 0 100 L 400 100" : "M 3 100 L 403 100");
    release_list(out);
  }
  ZoPathDeletePtr(base, 0);
}

// Failures: the codes, and source, baseline and second list exactly as they were.
TEST_F(WrapTest, FailuresChangeNothing) {
  struct Case {
    const char* baseline;
    uint32_t code;
  } cases[] = {{"M 0 0", 5404},
               {"M 0 0 L 3 0", 5404},
               {"M 0 0 L 1 0 L 2 0 L 3 0 L 3.5 0", 5404},
               {"M 0 0 L 100 0 M 0 10 L 100 10", 3200},
               {"M 0 0 L 100 0 N 0x200 5 5", 3200}};
  for (const Case& c : cases) {
    ZoPath* src = path_from("M 10 10 L 110 10 L 110 40 Z", ZOF_SELECTED);
    ZoPath* base = path_from(c.baseline, ZOF_SELECTED);
    std::string s0 = snapshot_list(src), b0 = snapshot_list(base);
    ZoPathWrapInfo w = settings(base);
    ZoPath* list = src;
    zo32commClearReports();
    EXPECT_EQ(ZoPathWrap(&list, &w), 0u) << c.baseline;
    EXPECT_EQ(list, src);
    EXPECT_EQ(snapshot_list(src), s0);
    EXPECT_EQ(snapshot_list(base), b0);
    ASSERT_FALSE(reports().empty());
    EXPECT_EQ(reports().back().code, c.code) << c.baseline;
    release_list(src);
    release_list(base);
  }
  ZoPath* src = path_from("M 10 10 L 110 10");
  ZoPath* base = path_from("M 0 0 L 100 0");
  ZoPath* extra = path_from("M 0 5 L 100 5");
  link_list({base, extra});
  ZoPathWrapInfo w = settings(base);
  EXPECT_EQ(ZoPathWrap(&src, &w), 0u) << "a baseline with a next";
  EXPECT_EQ(ZoPathWrap(&src, nullptr), 0u);
  EXPECT_EQ(ZoPathWrap(nullptr, &w), 0u);
  w = settings(nullptr);
  EXPECT_EQ(ZoPathWrap(&src, &w), 0u) << "no baseline and no bend";
  release_list(src);
  release_list(base);
}

// Trimmed ribbon (deform without follow normal): the source is cut where the baseline's y
// turns, and the pieces before and after the turn form two join chains.
TEST_F(WrapTest, TrimmedRibbonCutsAtTheTurn) {
  ZoPath* arc = path_from("M 0 100 C 100 0 200 0 300 100");  // y turns half way
  ZoPathWrapInfo w = settings(arc, 1, 0);
  ZoPathDoTrimmedRibbon(1);
  ZoPath* out = wrapped("M 10 0 L 210 0 L 210 30 L 10 30 Z", w);
  ZoPathDoTrimmedRibbon(0);
  std::string trace = trace_text();
  EXPECT_NE(trace.find("[TrimmedRibbon]: 2 y'=max/min points.\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find("\tpoint[01]: T = 10000\n"), std::string::npos);
  EXPECT_NE(trace.find("- WrapDoDeform(): nCutX = 1.\n"), std::string::npos);
  std::vector<ZoPath*> pieces = members(out);
  ASSERT_EQ(pieces.size(), 2u) << "one cut at x = 10 + L / 2";
  EXPECT_TRUE(pieces[0]->joinNext == nullptr && pieces[1]->joinPrev == nullptr)
      << "two chains, one piece each";
  for (ZoPath* p : pieces) EXPECT_EQ(p->flags & ZOF_WRAP_MARKER, 0u);
  release_list(out);
  ZoPathDeletePtr(arc, 0);
}

TEST_F(WrapTest, AllocationFailures) {
  auto wrap_case = [](const char* name, std::string baseline, bool update) {
    return SweepCase{name, true, [=] {
                       ZoPath* src = path_from("M 10 10 C 40 -10 80 30 110 10 L 110 40 Z");
                       ZoPath* base = path_from(baseline);
                       ZoPathTbl* t = table_with(src);
                       auto w = std::make_shared<ZoPathWrapInfo>(settings(base));
                       auto list = std::make_shared<ZoPath*>(src);
                       return Scenario{
                           [=] {
                             return update ? ZoPathWrapAndUpdate(t, src, base, w.get()) == 1
                                           : ZoPathWrap(list.get(), w.get()) == 1;
                           },
                           [=] { return snapshot_table(t) + snapshot_list(base); },
                           [=] {
                             if (!update && *list != src) release_list(*list), t->groups[0].first = nullptr;
                             if (w->baseline != base) release_list(w->baseline);
                             else release_list(base);
                             ZoPathTblDelete(t);
                           }};
                     }};
  };
  run_alloc_sweep({wrap_case("ZoPathWrap along a curve", "M 0 100 C 100 0 200 0 300 100", false),
                   wrap_case("ZoPathWrapAndUpdate", "M 0 100 L 100 100 L 200 50", true)});
}

}  // namespace
