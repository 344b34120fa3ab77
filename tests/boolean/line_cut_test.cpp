// Cutting along lines: exact small cases, then random shapes whose pieces must add up to the
// original, lie on their sides, be closed and share the original's inside without overlap.
#include <gtest/gtest.h>

#include <random>

#include "../model/list_snapshot.hpp"
#include "../support/alloc_sweep.hpp"
#include "cut_helpers.hpp"

namespace {

using cut_test::pieces;
using cut_test::release;
using cut_test::unsigned_area;
using zo_test::describe;
using zo_test::path_from;

int64_t pack(int32_t x, int32_t y) {
  return static_cast<int64_t>((uint64_t{static_cast<uint32_t>(y)} << 32) |
                              static_cast<uint32_t>(x));
}

class LineCut : public ModelTest {};

TEST_F(LineCut, SmallCasesByHand) {
  using V = std::vector<std::string>;
  ZoPath* list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z", ZOF_SELECTED | ZOF_TEXT_CHAR);
  ZoPathNodes(list)[1].type |= PT_SELECTED;
  ZoPathCutWithLineX(nullptr, &list, 5, 0);
  EXPECT_EQ(pieces(list),
            (V{"M 5 0 L 10 0 L 10 10 L 5 10 L 5 0 Z", "M 5 0 L 0 0 L 0 10 L 5 10 L 5 0 Z"}));
  EXPECT_EQ(list->flags, 0u);  // selection and text bits gone
  // Squares wholly on one side move there unchanged; nodes already on the line stay single.
  ZoPath* right = path_from("M 6 0 L 9 0 L 9 3 L 6 0 Z");
  ZoPathChainPaths(&list, right);
  ZoPathChainPaths(&list, path_from("M 1 0 L 4 0 L 4 3 L 1 0 Z"));
  ZoPathCutWithLineX(nullptr, &list, 5, 1);
  EXPECT_EQ(pieces(list), (V{"M 5 0 L 10 0 L 10 10 L 5 10 L 5 0 Z", "M 6 0 L 9 0 L 9 3 L 6 0 Z",
                             "M 5 0 L 0 0 L 0 10 L 5 10 L 5 0 Z", "M 1 0 L 4 0 L 4 3 L 1 0 Z"}));
  release(list);
  // An open polyline crossing twice: three pieces, each on the side of its ends' mean x.
  list = path_from("M 0 0 L 10 0 L 10 10 L 0 10");
  ZoPathCutWithLineX(nullptr, &list, 5, 0);
  EXPECT_EQ(pieces(list), (V{"M 5 0 L 10 0 L 10 10 L 5 10", "M 0 0 L 5 0", "M 5 10 L 0 10"}));
  release(list);
  // A cut through the closing segment of a figure that does not repeat its start point.
  list = path_from("M 0 0 L 10 5 L 0 10 Z");
  ZoPathCutWithLineX(nullptr, &list, 5, 0);
  EXPECT_EQ(pieces(list),
            (V{"M 5 2.5 L 10 5 L 5 7.5 L 5 2.5 Z", "M 5 2.5 L 0 0 L 0 10 L 5 7.5 L 5 2.5 Z"}));
  release(list);
  // A ring: pairing along the cut gives two C shapes, pairing per subpath four halves.
  for (uint32_t pairing : {1u, 0u}) {
    list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z");
    ZoPathChainPaths(&list, path_from("M 3 3 L 3 7 L 7 7 L 7 3 L 3 3 Z"));
    ZoPathCutWithLineX(nullptr, &list, 5, pairing);
    EXPECT_EQ(ZoPathGetSubpathsNumber(list), pairing ? 2u : 4u);
    if (pairing) {
      EXPECT_EQ(pieces(list)[0], "M 5 0 L 10 0 L 10 10 L 5 10 L 5 7 L 7 7 L 7 3 L 5 3 L 5 0 Z");
    }
    EXPECT_EQ(unsigned_area(list), pairing ? 84.0 : 116.0);
    release(list);
  }
  // A line through two points with one x is the vertical cut; a line too short does nothing.
  ZoPath* a = path_from("M 0 0 C 5 -5 10 5 10 10 L 0 10 L 0 0 Z");
  ZoPath* b = path_from("M 0 0 C 5 -5 10 5 10 10 L 0 10 L 0 0 Z");
  ZoPathCutWithLineX(nullptr, &a, 4, 0);
  ZoPathCutWithLine(nullptr, &b, pack(4, -3), pack(4, 30), 0);
  EXPECT_EQ(pieces(a), pieces(b));
  std::string before = zo_test::snapshot_list(a);
  CoordStruct view = zo_test::view_of(RECT{0, 0, 100, 100}, 100000.0);
  ZoPathCutWithLine(&view, &a, pack(1, 1), pack(2, 2), 0);
  EXPECT_EQ(zo_test::snapshot_list(a), before);
  ZoPath* none = nullptr;
  ZoPathCutWithLineX(nullptr, &none, 5, 0);
  ZoPathCutWithLineX(nullptr, nullptr, 5, 0);
  EXPECT_EQ(none, nullptr);
  release(a);
  release(b);
}

TEST_F(LineCut, RandomShapesSplitIntoPiecesThatTileThem) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  int pointsChecked = 0;
  for (int n = 0; n < 160; ++n) {
    bool general = n % 2 == 1;
    ZoPath* list = path_from(cut_test::random_closed(rng, 50, 50, n % 4 >= 2));
    const double area = unsigned_area(list);
    const auto original = cut_test::sample(list);
    // The line: x = 50 + u, or through two random points around the shape.
    int32_t ax = 20 + static_cast<int32_t>(60 * unit(rng)),
            ay = static_cast<int32_t>(100 * unit(rng));
    int32_t bx = general ? 20 + static_cast<int32_t>(60 * unit(rng)) : ax, by = ay + 50;
    if (general && bx == ax) ++bx;
    double dx = bx - ax, dy = by - ay, len = std::hypot(dx, dy);
    auto offset = [&](PointDB q) { return (dy * (q.x - ax) - dx * (q.y - ay)) / len; };
    ZoPathCutWithLine(nullptr, &list, pack(ax, ay), pack(bx, by), n % 3 == 0);
    ASSERT_NEAR(unsigned_area(list), area, 0.01) << n;
    // Every piece closed and wholly on one side; first-side pieces first.
    int lastSide = 0;
    for (ZoPath* p : zo_test::members(list)) {
      const PathNode* nd = ZoPathNodes(p);
      ASSERT_TRUE(nd[p->count - 1].type & PT_CLOSEFIGURE);
      ASSERT_EQ(+nd[0].pt.x, +nd[p->count - 1].pt.x);
      ASSERT_EQ(+nd[0].pt.y, +nd[p->count - 1].pt.y);
      double lo = INFINITY, hi = -INFINITY;
      for (const auto& line : cut_test::sample(p, false)) {
        for (PointDB q : line.pts) lo = std::min(lo, offset(q)), hi = std::max(hi, offset(q));
      }
      int side = hi > 0.05 ? 1 : 2;
      ASSERT_TRUE(side == 1 ? lo > -0.05 : hi < 0.05) << n << ' ' << describe(p);
      ASSERT_GE(side, lastSide) << n;
      lastSide = side;
    }
    // Inside points away from the line and the boundary lie in exactly one piece.
    const auto cut = cut_test::sample(list);
    for (int k = 0; k < 40; ++k) {
      PointDB q{10 + 80 * unit(rng), 10 + 80 * unit(rng)};
      if (cut_test::winding(original, q) == 0 || std::fabs(offset(q)) < 0.05 ||
          cut_test::distance_to(original, q) < 0.05)
        continue;
      int inside = 0;
      for (const auto& piece : cut) inside += cut_test::winding(piece, q) != 0;
      ASSERT_EQ(inside, 1) << n;
      ++pointsChecked;
    }
    release(list);
  }
  EXPECT_GT(pointsChecked, 1500);
}

TEST_F(LineCut, OpenPiecesChainBackIntoTheOriginal) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> c(0, 100);
  for (int n = 0; n < 60; ++n) {
    std::ostringstream text;
    text << "M " << c(rng) << ' ' << c(rng);
    for (int k = 0; k < 6; ++k) {
      if (k % 2)
        text << " C " << c(rng) << ' ' << c(rng) << ' ' << c(rng) << ' ' << c(rng) << ' ';
      else
        text << " L ";
      text << c(rng) << ' ' << c(rng);
    }
    ZoPath* list = path_from(text.str());
    const double length = ZoPathGetLength(list);
    const Ptfx start = ZoPathNodes(list)[0].pt, end = ZoPathNodes(list)[list->count - 1].pt;
    ZoPathCutWithLineX(nullptr, &list, 50, 0);
    std::vector<ZoPath*> left = zo_test::members(list);
    double total = 0;
    Ptfx at = start;
    while (!left.empty()) {
      auto next = std::find_if(left.begin(), left.end(), [&](ZoPath* p) {
        return ZoPathNodes(p)[0].pt.x == at.x && ZoPathNodes(p)[0].pt.y == at.y;
      });
      ASSERT_NE(next, left.end()) << n;
      total += ZoPathGetLength(*next);
      at = ZoPathNodes(*next)[(*next)->count - 1].pt;
      left.erase(next);
    }
    EXPECT_TRUE(at.x == end.x && at.y == end.y);
    EXPECT_NEAR(total, length, 0.2 + 1e-3 * length) << n;
    release(list);
  }
}

TEST_F(LineCut, TablesAndAllocationFailures) {
  ZoPath* list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z", ZOF_SELECTED);
  ZoPathTbl* table = zo_test::table_with(list);
  ZoPathTblCutWithLine(nullptr, table, pack(5, 0), pack(5, 1), 0);
  EXPECT_EQ(ZoPathGetSubpathsNumber(table->groups[0].first), 2u);
  EXPECT_EQ(table->groups[0].selected, nullptr);
  ZoPathTblCutWithLineX(nullptr, table, 7, 0);
  EXPECT_EQ(ZoPathGetSubpathsNumber(table->groups[0].first), 3u);
  ZoPathTblCutWithLineX(nullptr, nullptr, 7, 0);
  ZoPathTblDelete(table);

  struct Input {
    ZoPath* list;
  };
  auto sweep = [](const char* name, std::function<void(ZoPath**)> cut) {
    return zo_test::SweepCase{
        name, true, [cut] {
          auto in = std::make_shared<Input>();
          in->list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z");
          ZoPathChainPaths(&in->list, path_from("M 3 3 L 3 7 L 7 7 L 7 3 L 3 3 Z"));
          ZoPathChainPaths(&in->list, path_from("M 0 20 L 10 20 L 10 30"));
          return zo_test::Scenario{[in, cut] {
                                     cut(&in->list);
                                     return zo32commReportCount() == 0;
                                   },
                                   [in] { return zo_test::snapshot_list(in->list); },
                                   [in] { release(in->list); }};
        }};
  };
  zo_test::run_alloc_sweep({sweep("x", [](ZoPath** l) { ZoPathCutWithLineX(nullptr, l, 5, 1); }),
                            sweep("line", [](ZoPath** l) {
                              ZoPathCutWithLine(nullptr, l, pack(5, 0), pack(6, 30), 0);
                            })});
}

}  // namespace
