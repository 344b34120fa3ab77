// Hit testing: the open tolerance square at several zooms, the order in which candidates are
// tried, the quick probe, and the nearest point on cubic bodies against a sampling oracle.
#include <random>

#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;

class HitTest : public ModelTest {};

TEST_F(HitTest, TheToleranceIsAnOpenSquareOfFourWindowPixelsAtEveryZoom) {
  for (double zoom : {0.5, 1.0, 2.0, 4.0}) {
    for (double gap : {3.9, 4.0}) {
      SCOPED_TRACE(testing::Message() << "zoom " << zoom << " gap " << gap);
      // A vertical line whose top node shows at window x = 50 + (4 - gap), y = 50: clicks at
      // (54, 50) and at (50 + 4 - gap, 46 + 4 - gap) are `gap` pixels from it.
      double x = (54.0 - gap) / zoom - 0.5, y = 50.0 / zoom - 0.5, y2 = 140.0 / zoom - 0.5;
      Desk d({path_from("M 0 0 L 0 0")}, RECT{0, 0, 200, 160}, zoom);
      ZoPathNodes(d.at(0))[0].pt = Ptfx{DbToFix(x), DbToFix(y)};
      ZoPathNodes(d.at(0))[1].pt = Ptfx{DbToFix(x), DbToFix(y2)};
      RECT dirty;
      ZoPathDraw(d.view, d.head(), &dirty, 1);
      const uint32_t expected = gap < 4.0 ? 1u : 3u;
      uint32_t index = 9;
      EXPECT_EQ(d.click(pack(54, 50), ZOHIT_TEST, nullptr, &index), expected) << "beside the node";
      if (expected == 1u) {
        EXPECT_EQ(index, 0u);
      }
      // Beside the line's middle: its body, at the same distance.
      uint16_t param = 0;
      EXPECT_EQ(d.click(pack(54, 95), ZOHIT_TEST, nullptr, &index, &param), expected);
      if (expected == 1u) {
        EXPECT_NEAR(param, 32767, 400);
      }
    }
  }
}

TEST_F(HitTest, LaterNodesWinAndNodesWinOverBodies) {
  // Two nodes 2 pixels apart: the later one is reported, whichever is nearer.
  Desk d({path_from("M 20.5 20.5 L 22.5 20.5 L 80.5 20.5 L 80.5 60.5")});
  uint32_t index = 0;
  ASSERT_EQ(d.click(pack(20, 21), ZOHIT_TEST, nullptr, &index), 1u);
  EXPECT_EQ(index, 1u);
  // A node within tolerance beats the body the click lies on.
  ASSERT_EQ(d.click(pack(80, 23), ZOHIT_TEST, nullptr, &index), 1u);
  EXPECT_EQ(index, 2u);
  uint16_t param = 1;
  ASSERT_EQ(d.click(pack(81, 41), ZOHIT_TEST, nullptr, &index, &param), 1u);
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(param, 32767u);
  // Selected subpaths are tried first, even when an unselected one lies nearer.
  Desk two({path_from("M 10.5 10.5 L 90.5 10.5"), path_from("M 10.5 13.5 L 90.5 13.5")});
  two.at(0)->flags |= ZOF_SELECTED;
  ZoPath* hit = nullptr;
  EXPECT_EQ(two.click(pack(50, 13), ZOHIT_TEST, &hit), 2u);
  EXPECT_EQ(hit, two.at(0));
  two.at(0)->flags = 0;
  two.at(1)->flags |= ZOF_SELECTED;
  EXPECT_EQ(two.click(pack(50, 12), ZOHIT_TEST, &hit), 2u);
  EXPECT_EQ(hit, two.at(1));
  // A wrap baseline drawn last is the only subpath tested.
  two.at(1)->flags = ZOF_WRAP_BASELINE;
  EXPECT_EQ(two.click(pack(50, 11), ZOHIT_TEST, &hit), 1u);
  EXPECT_EQ(hit, two.at(1));
  EXPECT_EQ(two.click(pack(50, 9), ZOHIT_TEST, &hit), 3u) << "the other subpath is not tried";
  // Grabbing a control point of a lone selected subpath keeps the node being edited.
  const char* edited = "M 10.5 10.5 L 20.5 10.5 s C 30.5 10.5 50.5 40.5 70.5 40.5 L 90.5 40.5";
  Desk one({path_from(edited, ZOF_SELECTED | ZOF_HAS_SEL_POINTS)});
  ASSERT_EQ(one.click(pack(31, 11), ZOHIT_REPLACE), 2u);
  EXPECT_EQ(zo_test::describe(one.at(0)), edited);
}

TEST_F(HitTest, TheProbeAndTheWindowDecideWhatIsTested) {
  Desk d({path_from("M 20.5 20.5 L 60.5 20.5")});
  // Nothing shown within 4 pixels: no geometry is tested, not even a node within tolerance
  // of a path the buffer does not show.
  std::fill(d.view->lpDB, d.view->lpDB + d.w * d.h, 0);
  EXPECT_EQ(d.click(pack(21, 21), ZOHIT_TEST), 3u);
  EXPECT_EQ(d.click(pack(21, 21), ZOHIT_ADD), 1u) << "adding skips the probe";
  RECT dirty;
  ZoPathDraw(d.view, d.head(), &dirty, 1);
  // Outside the window only the selection's nodes count.
  CoordStruct shifted = *d.view;
  shifted.scrollX = 30;  // the path's first node lies left of the window
  ZoPath* hit = nullptr;
  d.at(0)->flags &= ~ZOF_SELECTED;
  d.table->groups[0].selected = nullptr;
  EXPECT_EQ(ZoPathPtOn(pack(-9, 21), ZOHIT_TEST, d.dc, &shifted, d.table, &hit, nullptr, nullptr),
            3u);
  d.at(0)->flags |= ZOF_SELECTED;
  d.table->groups[0].selected = d.at(0);
  uint32_t index = 7;
  EXPECT_EQ(ZoPathPtOn(pack(-9, 21), ZOHIT_TEST, d.dc, &shifted, d.table, &hit, &index, nullptr),
            2u);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(ZoPathPtOn(pack(-20, 21), ZOHIT_TEST, d.dc, &shifted, d.table, &hit, nullptr, nullptr),
            3u);
  // No action bit: the chain is rebuilt and nothing is tested.
  EXPECT_EQ(d.click(pack(21, 21), 0), 0xFFFFFFFFu);
  EXPECT_EQ(d.table->groups[0].selected, d.at(0));
}

PointDB bezier(const PointDB c[4], double t) {
  const double u = 1 - t, a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
  return PointDB{a * c[0].x + b * c[1].x + d * c[2].x + e * c[3].x,
                 a * c[0].y + b * c[1].y + d * c[2].y + e * c[3].y};
}

// The distance from q to the cubic by dense sampling, refined around the best sample.
double oracle_distance(const PointDB c[4], PointDB q) {
  auto dist = [&](double t) { return std::hypot(bezier(c, t).x - q.x, bezier(c, t).y - q.y); };
  const int n = 20000;
  double best = 1e300, bestT = 0;
  for (int i = 0; i <= n; ++i)
    if (dist(double(i) / n) < best) best = dist(double(i) / n), bestT = double(i) / n;
  for (double step = 1.0 / n; step > 1e-12; step *= 0.5)
    for (double t : {bestT - step, bestT + step})
      if (t >= 0 && t <= 1 && dist(t) < best) best = dist(t), bestT = t;
  return best;
}

TEST_F(HitTest, CubicBodiesAreHitAtTheirNearestPointAsSamplingFindsIt) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> coord(20, 140), offset(-5, 5), unit(0, 1);
  int bodyHits = 0, misses = 0;
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(trial);
    ZoPath* p = ZoPathCreate();
    Ptfx pts[4];
    for (auto& pt : pts) pt = Ptfx{DbToFix(coord(rng)), DbToFix(coord(rng))};
    for (int k = 0; k < 4; ++k) ZoPathAddPoint(&p, &pts[k], k == 0 ? PT_MOVETO : PT_BEZIERTO);
    Desk d({p});
    PointDB c[4];
    for (int k = 0; k < 4; ++k) c[k] = PointDB{FixToDb(pts[k].x), FixToDb(pts[k].y)};
    const PointDB on = bezier(c, unit(rng));
    const int32_t wx = int32_t(std::lround(on.x + 0.5 + offset(rng)));
    const int32_t wy = int32_t(std::lround(on.y + 0.5 + offset(rng)));
    const PointDB q{wx - 0.5, wy - 0.5};
    auto nearNode = [&](int k) {
      return std::fabs(c[k].x - q.x) < 4 && std::fabs(c[k].y - q.y) < 4;
    };
    if (nearNode(0) || nearNode(3)) continue;
    const double truth = oracle_distance(c, q);
    uint32_t index = 9;
    uint16_t param = 0;
    // Adding skips the display-buffer probe: the geometry alone answers.
    uint32_t r = d.click(pack(wx, wy), ZOHIT_ADD, nullptr, &index, &param);
    if (truth < 4.0 - 1e-3) {
      ASSERT_EQ(r, 1u) << "distance " << truth;
      ASSERT_EQ(index, 0u);
      const PointDB at = bezier(c, param / 65535.0);
      EXPECT_NEAR(std::hypot(at.x - q.x, at.y - q.y), truth, 0.02)
          << "the parameter is the nearest point's";
      ++bodyHits;
    } else if (truth > 4.0 + 1e-3) {
      EXPECT_EQ(r, 3u) << "distance " << truth;
      ++misses;
    }
  }
  EXPECT_GT(bodyHits, 100);
  EXPECT_GT(misses, 20);
}

}  // namespace
