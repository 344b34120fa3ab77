// Stretch: x mapped band by band, y unchanged, band edges present as nodes, the parts
// outside the bands only shifted, smooth joints kept smooth, failures clean.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "alloc_sweep.hpp"
#include "deform_helpers.hpp"

namespace {

using namespace zo_test;

class StretchTest : public ModelTest {};

ZoPath* stretched(ZoPath* list, double a, double b, double c, double d, uint32_t smooth = 0) {
  ZoPath* out = nullptr;
  EXPECT_EQ(ZoPathStretch(list, &out, &a, &b, &c, &d, smooth), 1u);
  return out;
}

// Stretching [lo, hi] onto [lo', hi'] moves each node of the identity stretch (which only adds
// the band-edge nodes) by the piecewise-linear map: outside the band nodes only shift, y never
// changes, and no straight segment jumps over a band edge.
TEST_F(StretchTest, BandsMapPiecewiseLinearly) {
  std::mt19937 rng(33);
  for (int round = 0; round < 20; ++round) {
    ZoPath* list = random_list(rng, 3, 8);
    const double lo = -300 + round * 7, hi = 500 - round * 11, lo2 = -100, hi2 = 900;
    ZoPath* id = stretched(list, lo - 5, hi - 5, lo - 5, hi - 5);
    ZoPath* s = stretched(list, hi - 5, lo - 5, lo2 - 5, hi2 - 5);  // order does not matter
    std::vector<ZoPath*> ids = members(id), ss = members(s);
    ASSERT_EQ(ids.size(), ss.size());
    for (size_t k = 0; k < ids.size(); ++k) {
      ASSERT_EQ(ids[k]->count, ss[k]->count);
      EXPECT_EQ(ss[k]->joinPrev, k == 0 ? nullptr : ss[k - 1]);
      EXPECT_EQ(ss[k]->flags & 0xFC000000u, 0u);
      for (uint32_t i = 0; i < ids[k]->count; ++i) {
        Ptfx p = point_of(ids[k], i), q = point_of(ss[k], i);
        EXPECT_EQ(p.y, q.y);
        double x = FixToDb(p.x), want = x <= lo   ? x + (lo2 - lo)
                                        : x >= hi ? x + (hi2 - hi)
                                                  : lo2 + (x - lo) * (hi2 - lo2) / (hi - lo);
        EXPECT_LE(std::fabs(FixToDb(q.x) - want), 5e-5) << "round " << round << " node " << i;
      }
      // No straight segment jumps over a band edge.
      const PathNode* n = ZoPathNodes(ss[k]);
      for (uint32_t i = 1; i < ss[k]->count; ++i) {
        if ((n[i].type & PT_KIND_MASK) != PT_LINETO) continue;
        for (double e : {lo2, hi2}) {
          double x0 = FixToDb(n[i - 1].pt.x) - e, x1 = FixToDb(n[i].pt.x) - e;
          EXPECT_FALSE(x0 * x1 < 0 && std::fabs(x0) > 1e-4 && std::fabs(x1) > 1e-4);
        }
      }
    }
    for (ZoPath* p : {list, id, s}) release_list(p);
  }
}

TEST_F(StretchTest, SmoothJointsStaySmooth) {
  // A smooth S-joint at (30, 0) on the band's lower edge: its left handle is only shifted, its
  // right one (after the division at the upper edge) is scaled by 3.
  ZoPath* s = path_from("M 0 0 C 10 20 20 20 30 0 C 40 -20 50 -20 60 0");
  for (uint32_t keep : {0u, 1u}) {
    ZoPath* out = stretched(s, 25, 45, 25, 85, keep);
    ASSERT_EQ(out->count, 10u) << "the second curve divided at the upper edge";
    const PathNode* n = ZoPathNodes(out);
    uint32_t joint = 0;
    // The joint is the anchor whose y is 0 between the band edges.
    for (uint32_t i = 3; i + 1 < out->count; i += 3)
      if (n[i].pt.y == 0) joint = i;
    ASSERT_GT(joint, 0u);
    PointDB o = db(n[joint].pt), a = db(n[joint - 1].pt), b = db(n[joint + 1].pt);
    PointDB ua{a.x - o.x, a.y - o.y}, ub{b.x - o.x, b.y - o.y};
    double c = (ua.x * ub.y - ua.y * ub.x) / (std::hypot(ua.x, ua.y) * std::hypot(ub.x, ub.y));
    EXPECT_EQ(std::fabs(c) < 1e-4, keep == 1) << c;
    release_list(out);
  }
  ZoPath* out = nullptr;
  double v = 0;
  zo32commClearReports();
  EXPECT_EQ(ZoPathStretch(nullptr, &out, &v, &v, &v, &v, 0), 0u);
  EXPECT_EQ(ZoPathStretch(s, nullptr, &v, &v, &v, &v, 0), 0u);
  ASSERT_EQ(reports().size(), 2u);
  EXPECT_EQ(reports()[1].code, 3200u);
  release_list(s);
}

TEST_F(StretchTest, AllocationFailures) {
  run_alloc_sweep({{"ZoPathStretch", true, [] {
                      std::mt19937 rng(4);
                      ZoPath* list = random_list(rng, 4, 8);
                      auto out = std::make_shared<ZoPath*>(nullptr);
                      return Scenario{[=] {
                                        double a = -100, b = 100, c = -300, d = 50;
                                        return ZoPathStretch(list, out.get(), &a, &b, &c, &d, 1) == 1;
                                      },
                                      [=] { return snapshot_list(list); },
                                      [=] {
                                        release_list(list);
                                        release_list(*out);
                                      }};
                    }}});
}

}  // namespace
