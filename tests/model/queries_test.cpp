// Structural queries asked before editing: minimal figures, deletable points, convertible
// segments, segment kinds, counts and stamps.
#include <gtest/gtest.h>

#include <string>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "path_builders.hpp"

namespace {

using namespace zo_test;

class QueriesTest : public ModelTest {};

struct Case {
  const char* path;
  int32_t expected;
};

// Runs a query over each case's subpath, made with the given flags.
template <typename Query>
void check(const std::vector<Case>& cases, uint32_t flags, Query query, const char* what) {
  for (const Case& c : cases) {
    ZoPath* p = path_from(c.path, flags);
    EXPECT_EQ(static_cast<int32_t>(query(p)), c.expected) << what << ": " << c.path;
    ZoPathDeletePtr(p, 0);
  }
  EXPECT_EQ(static_cast<int32_t>(query(nullptr)), 0) << what;
}

const uint32_t kPoints = ZOF_SELECTED | ZOF_HAS_SEL_POINTS;
const uint32_t kSegment = ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT;

TEST_F(QueriesTest, SimplestSubpathsByCountAndSegments) {
  check({{"M 0 0", -1},
         {"M 0 0 L 1 0", 0},
         {"M 0 0 C 1 1 2 2 3 3", 0},
         {"M 0 0 L 1 0 L 2 0", 1},
         {"M 0 0 L 1 0 L 2 0 L 3 0 L 4 0", 1},
         {"M 0 0 L 10 0 L 0 0 Z", -1},
         {"M 0 0 L 10 0 L 10 10 L 0 0 Z", 0},
         {"M 0 0 C 1 1 2 2 10 0 L 0 0 Z", 0},
         {"M 0 0 C 1 1 2 2 10 0 C 3 3 4 4 0 0 Z", 0},
         {"M 0 0 C 1 1 2 2 0 0 Z", -1},
         {"M 0 0 C 1 1 2 2 10 0 L 10 10 L 0 0 Z", 1},
         {"M 0 0 L 1 0 L 2 0 L 3 0 L 4 0 L 5 0 L 6 0 L 0 0 Z", 1}},
        0, ZoPathIsSimplestSubpath, "simplest");
}

TEST_F(QueriesTest, SelectedPointsCanBeDeletedWhenAValidFigureRemains) {
  const std::vector<Case> cases{
      {"M 0 0 s", 0},
      {"M 0 0 L 1 0 s", 0},
      {"M 0 0 L 1 0 s L 2 0", 1},
      {"M 0 0 s L 1 0", 0},
      {"M 0 0 s L 1 0 L 2 0 s", 0},
      {"M 0 0 s L 1 0 s L 2 0", 1},
      {"M 0 0 s C 1 1 2 2 3 3 L 4 4", 1},
      {"M 0 0 L 10 0 L 10 10 s L 0 0 Z", 0},
      {"M 0 0 L 10 0 L 10 10 s L 0 0 s Z", 0},
      {"M 0 0 L 10 0 L 10 10 L 0 10 s L 0 0 Z", 1},
      {"M 0 0 L 10 0 C 1 1 2 2 10 10 s L 0 0 Z", 1},
      {"M 0 0 C 1 1 2 2 10 0 L 10 10 s L 0 0 Z", 1},
  };
  check(cases, kPoints, ZoPathSelectedPointsCanBeDelete, "points");
  check({{"M 0 0 L 1 0 s L 2 0", 0}}, ZOF_HAS_SEL_POINTS, ZoPathSelectedPointsCanBeDelete,
        "unselected");
  for (uint32_t frame : {ZOF_ENVELOPE_H, ZOF_ENVELOPE_V})
    check({{"M 0 0 L 1 0 s L 2 0", 0}}, kPoints | frame, ZoPathSelectedPointsCanBeDelete,
          "envelope");
}

TEST_F(QueriesTest, MarkedSegmentsConvertBetweenLinesAndCurves) {
  check({{"M 0 0 L 10 0 L 10 10", 0},
         {"M 0 0 L 10 0 g", 0},
         {"M 0 0 g L 10 0", 1},
         {"M 0 0 L 5 5 g L 10 10", 1},
         {"M 0 0 g C 1 1 2 2 3 3 L 4 4", 1},
         {"M 0 0 g C 1 1 2 2 3 3", 1},
         {"M 0 0 g C 1 1 2 2 10 0 C 3 3 4 4 0 0 Z", 1},
         {"M 0 0 g C 1 1 2 2 10 0 L 0 0 Z", 0},
         {"M 0 0 g C 1 1 2 2 0 0 Z", 0}},
        kSegment, ZoPathSelectedSegmentCanBeConverted, "convert");
  check({{"M 0 0 g L 10 0", 0}}, ZOF_HAS_SEL_SEGMENT, ZoPathSelectedSegmentCanBeConverted,
        "unselected");

  check({{"M 0 0 g L 10 0", 1},
         {"M 0 0 C 1 1 2 2 3 3 g L 4 4", 1},
         {"M 0 0 g C 1 1 2 2 3 3", 0},
         {"M 0 0 L 10 0 g", 0},
         {"M 0 0 L 10 0", 0}},
        kSegment, ZoPathSelectedSegmentCanBeConvertedToCurve, "to curve");
  check({{"M 0 0 g L 10 0", 0}}, ZOF_SELECTED, ZoPathSelectedSegmentCanBeConvertedToCurve,
        "no bit");

  check({{"M 0 0 g C 1 1 2 2 3 3", 1},
         {"M 0 0 L 5 5 g C 1 1 2 2 3 3", 1},
         {"M 0 0 g L 1 1", 0},
         {"M 0 0 C 1 1 2 2 3 3", 0},
         {"M 0 0 g C 1 1 2 2 10 0 L 10 10 L 0 0 Z", 1},
         {"M 0 0 g C 1 1 2 2 10 0 L 0 0 Z", 0},
         {"M 0 0 g C 1 1 2 2 10 0 C 3 3 4 4 0 0 Z", 1},
         {"M 0 0 g C 1 1 2 2 10 0 g C 3 3 4 4 0 0 Z", 0},
         {"M 0 0 g C 1 1 2 2 10 0 g C 3 3 4 4 10 10 L 0 0 Z", 1},
         {"M 0 0 g C 1 1 2 2 10 0 g C 3 3 4 4 10 10 g C 5 5 6 6 0 0 Z", 1}},
        kSegment, ZoPathSelectedSegmentCanBeConvertedToLine, "to line");
  check({{"M 0 0 g C 1 1 2 2 3 3", 0}}, ZOF_SELECTED, ZoPathSelectedSegmentCanBeConvertedToLine,
        "no bit");
}

TEST_F(QueriesTest, SegmentKindsPointsAndOpenness) {
  ZoPath* p = path_from("M 0 0 L 1 0 C 1 1 2 2 3 3 L 4 4 N 6 5 5 N 0x200 7 7");
  const uint32_t kinds[] = {1, 2, 2, 2, 1, 3, 3, 0, 0};
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(ZoPathGetSegmentType(p, i), kinds[i]) << i;
  EXPECT_EQ(ZoPathGetSegmentType(p, 1000), 0u);
  EXPECT_EQ(ZoPathGetSegmentType(nullptr, 0), 0u);
  ZoPathDeletePtr(p, 0);

  ZoPath* q = path_from("M 1.5 -2 N 0x100 3 4.25 L 5 6");
  PointDB pts[4] = {{-9, -9}, {-9, -9}, {-9, -9}, {-9, -9}};
  EXPECT_EQ(ZoPathDeComposeSubpath(q, nullptr), 3u);
  EXPECT_EQ(ZoPathDeComposeSubpath(q, pts), 3u);
  const PointDB want[4] = {{1.5, -2}, {3, 4.25}, {5, 6}, {-9, -9}};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(pts[i].x == want[i].x && pts[i].y == want[i].y) << i;
  EXPECT_EQ(ZoPathDeComposeSubpath(nullptr, pts), 0u);
  EXPECT_EQ(ZoPathGetPointsNumber(q), 3u);
  EXPECT_EQ(ZoPathGetPointsNumber(nullptr), 0u);
  ZoPath* empty = ZoPathCreate();
  EXPECT_EQ(ZoPathDeComposeSubpath(empty, pts), 0u);
  EXPECT_EQ(pts[0].x, 1.5);

  check({{"M 0 0 L 1 1", 1}, {"M 0 0", 1}, {"M 0 0 L 1 1 Z", 0}}, 0, ZoPathIsSingleOpenPath,
        "open");
  EXPECT_EQ(ZoPathIsSingleOpenPath(empty), 0u);
  link_list({q, empty});
  EXPECT_EQ(ZoPathIsSingleOpenPath(q), 0u);
  ZoPath* r = path_from("M 0 0 L 1 1");
  link_list({empty, r});
  EXPECT_EQ(ZoPathIsSingleOpenPath(r), 0u);  // has a prev
  release_list(q);
}

TEST_F(QueriesTest, ListCountsAndChangeStamps) {
  std::vector<ZoPath*> v{path_from("M 0 0 L 1 1", ZOF_TEXT_CHAR | ZOF_COLOR_PIECE),
                         path_from("M 0 0 C 1 1 2 2 3 3", ZOF_TEXT_STYLE | ZOF_TEXT_LINE),
                         path_from("M 0 0", ZOF_TEXT_CHAR | ZOF_TEXT_STYLE),
                         path_from("M 0 0 L 1 1 L 2 2")};
  link_list(v);
  EXPECT_EQ(ZoPathGetSubpathsNumber(v[2]), 4u);
  EXPECT_EQ(ZoPathGetSubpathsNumber(nullptr), 0u);
  EXPECT_EQ(ZoPathGetCS(v[3]), 2u + 4 + 1 + 3 + 2);
  EXPECT_EQ(ZoPathGetCS(nullptr), 0u);
  const std::pair<int32_t, uint32_t> modes[] = {{1, 2}, {2, 1}, {0, 1}, {7, 1}, {-1, 1}};
  for (auto [mode, expected] : modes) {
    uint32_t n = 99;
    EXPECT_EQ(ZoPathGetSubpathsFlagNumber(v[1], mode, &n), 1u);
    EXPECT_EQ(n, expected) << "mode " << mode;
  }
  uint32_t n = 0;
  EXPECT_EQ(ZoPathGetSubpathsFlagNumber(nullptr, 1, &n), 0u);
  ZoPathOutputSubpathInfo(v[0]);
  release_list(v[0]);
}

}  // namespace
