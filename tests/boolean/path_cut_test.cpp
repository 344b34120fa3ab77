// Cutting along a cutting subpath: small cases, random shapes cut by random zigzags (pieces tile
// the original), the cases that leave the list as it was, and allocation failures.
#include <gtest/gtest.h>

#include <random>

#include "../model/list_snapshot.hpp"
#include "../support/alloc_sweep.hpp"
#include "cut_helpers.hpp"

namespace {

using cut_test::pieces;
using cut_test::release;
using cut_test::unsigned_area;
using zo_test::path_from;

class PathCut : public ModelTest {};

TEST_F(PathCut, SmallCasesByHand) {
  using V = std::vector<std::string>;
  ZoPath* knife = path_from("M 5 -5 L 5 15");
  // Downwards along x = 5 the first side is the left one (the turn to the right is negative).
  ZoPath* list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z", ZOF_SELECTED);
  ZoPathCutWithPath(&list, knife, 0);
  EXPECT_EQ(pieces(list),
            (V{"M 5 0 L 0 0 L 0 10 L 5 10 L 5 0 Z", "M 5 0 L 10 0 L 10 10 L 5 10 L 5 0 Z"}));
  release(list);
  // Through the closing segment of a triangle that does not repeat its start point.
  ZoPath* across = path_from("M -5 5 L 15 5");
  list = path_from("M 0 0 L 10 0 L 0 10 Z");
  ZoPathCutWithPath(&list, across, 0);
  EXPECT_EQ(pieces(list), (V{"M 0 5 L 0 10 L 5 5 L 0 5 Z", "M 0 5 L 0 0 L 10 0 L 5 5 L 0 5 Z"}));
  release(list);
  // A curved knife: the new edges are pieces of its curve, cubic nodes and all.
  ZoPath* wave = path_from("M -10 5 C 0 -5 10 15 20 5");
  list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z");
  ZoPathCutWithPath(&list, wave, 0);
  EXPECT_EQ(ZoPathGetSubpathsNumber(list), 2u);
  EXPECT_NEAR(unsigned_area(list), 100.0, 1e-3);
  for (ZoPath* p : zo_test::members(list)) {
    ASSERT_EQ(p->count, 7u) << zo_test::describe(p);
    EXPECT_EQ(ZoPathNodes(p)[4].type, PT_BEZIERTO);
    EXPECT_EQ(ZoPathNodes(p)[6].type, PT_BEZIERTO | PT_CLOSEFIGURE);
  }
  release(list);
  // A ring cut through both boundaries, pairing along the cutter: two C shapes.
  for (uint32_t pairing : {1u, 0u}) {
    list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z");
    ZoPathChainPaths(&list, path_from("M 3 3 L 3 7 L 7 7 L 7 3 L 3 3 Z"));
    ZoPathCutWithPath(&list, knife, pairing);
    EXPECT_EQ(ZoPathGetSubpathsNumber(list), pairing ? 2u : 4u);
    EXPECT_EQ(unsigned_area(list), pairing ? 84.0 : 116.0);
    release(list);
  }
  // An open subpath, or a knife ending inside (an odd number of cuts): the list stays.
  for (const char* text :
       {static_cast<const char*>("M 0 20 L 10 20"), static_cast<const char*>(nullptr)}) {
    list = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z");
    if (text != nullptr) ZoPathChainPaths(&list, path_from(text));
    ZoPath* into = path_from("M 5 -5 L 5 5");
    std::string before = zo_test::snapshot_list(list);
    ZoPathCutWithPath(&list, text != nullptr ? knife : into, 1);
    EXPECT_EQ(zo_test::snapshot_list(list), before);
    ZoPathDeletePtrSingle(into);
    release(list);
  }
  // Null arguments do nothing.
  ZoPath* none = nullptr;
  ZoPathCutWithPath(&none, knife, 0);
  ZoPathCutWithPath(nullptr, knife, 0);
  list = path_from("M 0 0 L 10 0 L 0 10 Z");
  ZoPathCutWithPath(&list, nullptr, 0);
  ZoPathTblCutWithPath(nullptr, knife, 0);
  EXPECT_EQ(ZoPathGetSubpathsNumber(list), 1u);
  release(list);
  for (ZoPath* p : {knife, across, wave}) ZoPathDeletePtrSingle(p);
}

TEST_F(PathCut, RandomShapesCutByZigzagsTileTheOriginal) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> unit(0, 1);
  int cut = 0, pointsChecked = 0;
  for (int n = 0; n < 120; ++n) {
    ZoPath* list = path_from(cut_test::random_closed(rng, 50, 50, n % 2 == 1));
    // A zigzag of twelve straight strokes: the sides are judged against the polyline through
    // the cutter's nodes, which is here the cutter itself.
    std::ostringstream text;
    double y = 20 + 60 * unit(rng);
    text << "M -10 " << y;
    for (int k = 1; k <= 12; ++k) {
      y = std::clamp(y + 24 * unit(rng) - 12, 10.0, 90.0);
      text << " L " << -10 + 10 * k << ' ' << y;
    }
    ZoPath* knife = path_from(text.str());
    const double area = unsigned_area(list);
    const auto original = cut_test::sample(list), blade = cut_test::sample(knife);
    ZoPathCutWithPath(&list, knife, n % 3 == 0);
    if (ZoPathGetSubpathsNumber(list) > 1) {
      ++cut;
      ASSERT_NEAR(unsigned_area(list), area, 0.01) << n << ' ' << text.str() << '\n'
                                                   << zo_test::snapshot_list(list);
      const auto pieces = cut_test::sample(list);
      for (int k = 0; k < 40; ++k) {
        PointDB q{10 + 80 * unit(rng), 10 + 80 * unit(rng)};
        if (cut_test::winding(original, q) == 0 || cut_test::distance_to(original, q) < 0.05)
          continue;
        // The knife's own samples are not closed: its distance is to the open polyline.
        auto open = blade;
        open[0].pts.pop_back();
        if (cut_test::distance_to(open, q) < 0.05) continue;
        int inside = 0;
        for (const auto& piece : pieces) inside += cut_test::winding(piece, q) != 0;
        ASSERT_EQ(inside, 1) << n << ' ' << text.str();
        ++pointsChecked;
      }
    }
    ZoPathDeletePtrSingle(knife);
    release(list);
  }
  EXPECT_GT(cut, 80);
  EXPECT_GT(pointsChecked, 1000);
}

TEST_F(PathCut, TableAndAllocationFailures) {
  ZoPath* knife = path_from("M 5 -5 C 0 0 10 10 5 15");
  ZoPathTbl* table =
      zo_test::table_with(path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z", ZOF_SELECTED));
  ZoPathTblCutWithPath(table, knife, 0);
  EXPECT_EQ(ZoPathGetSubpathsNumber(table->groups[0].first), 2u);
  EXPECT_EQ(table->groups[0].selected, nullptr);
  ZoPathTblDelete(table);
  zo_test::run_alloc_sweep(
      {{"path", true, [knife] {
          auto list = std::make_shared<ZoPath*>(path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z"));
          ZoPathChainPaths(list.get(), path_from("M 3 3 L 3 7 L 7 7 L 7 3 L 3 3 Z"));
          ZoPathChainPaths(list.get(), path_from("M 20 0 L 30 0 L 30 10 L 20 0 Z"));
          return zo_test::Scenario{[list, knife] {
                                     ZoPathCutWithPath(list.get(), knife, 1);
                                     return zo32commReportCount() == 0;
                                   },
                                   [list] { return zo_test::snapshot_list(*list); },
                                   [list] { release(*list); }};
        }}});
  ZoPathDeletePtrSingle(knife);
}

}  // namespace
