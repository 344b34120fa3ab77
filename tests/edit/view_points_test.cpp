// Dragging selected nodes through window-point lists: the runs around each selected anchor,
// the sentinels, and reading moved points back into exactly the nodes that moved.
#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;
using zo_test::describe;

class ViewPointsTest : public ModelTest {};

constexpr int32_t kSep = ZOSEL_RUN_END, kEnd = ZOSEL_LIST_END, kEndOpen = ZOSEL_LIST_END_OPEN;

std::vector<POINT> list_of(Desk& d, ZoPath* p, uint32_t* n) {
  std::vector<POINT> list(ZOSEL_LIST_SIZE, POINT{-1, -1});
  *n = ZoPathSelectedToView(d.view, p, list.data(), 0);
  return list;
}

TEST_F(ViewPointsTest, RunsSurroundEachSelectedAnchorBetweenSentinels) {
  struct Case {
    const char* path;
    std::vector<POINT> points;  // the written entries, separators included
    int32_t end;
  };
  // Window = image + 10 at zoom 2 with scroll 0 and the window at (10, 20): x' = 2x + 1 + 10.
  const std::vector<Case> cases = {
      {"M 0 0 L 10 0 s L 20 0 L 30 0", {{11, 21}, {31, 21}, {51, 21}}, kEndOpen},
      {"M 0 0 L 10 0 L 20 0 L 30 0 s", {{51, 21}, {71, 21}}, kEndOpen},
      {"M 0 0 L 10 0 L 20 0 s L 30 0 L 40 0", {{31, 21}, {51, 21}, {71, 21}}, kEnd},
      {"M 0 0 L 10 0 s L 20 0 L 30 0 s L 40 0",
       {{11, 21}, {31, 21}, {51, 21}, {kSep, kSep}, {51, 21}, {71, 21}, {91, 21}},
       kEndOpen},
      // A closed figure's last node runs on over the seam into its first segment.
      {"M 0 0 C 5 5 10 5 10 0 L 20 0 L 0 0 s Z",
       {{51, 21}, {11, 21}, {21, 31}, {31, 31}, {31, 21}},
       kEnd},
      // Runs that do not fit are left out whole: 7 + 1 + 7 points would pass 11.
      {"M 0 0 C 1 1 2 1 3 0 C 4 1 5 1 6 0 s C 7 1 8 1 9 0 C 10 1 11 1 12 0 s C 13 1 14 1 15 0",
       {{17, 21}, {19, 23}, {21, 23}, {23, 21}, {25, 23}, {27, 23}, {29, 21}},
       kEnd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Desk d({path_from(c.path, ZOF_SELECTED | ZOF_HAS_SEL_POINTS)}, RECT{10, 20, 210, 180}, 2.0);
    uint32_t n = 0;
    std::vector<POINT> list = list_of(d, d.at(0), &n);
    ASSERT_EQ(n, c.points.size());
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(list[i].x, c.points[i].x) << i;
      EXPECT_EQ(list[i].y, c.points[i].y) << i;
    }
    for (size_t i = n; i < ZOSEL_LIST_SIZE; ++i) EXPECT_EQ(list[i].x, c.end) << i;
    EXPECT_EQ(list[ZOSEL_LIST_SIZE - 1].y, c.end);
  }
}

TEST_F(ViewPointsTest, ReadingBackMovesOnlyTheEntriesThatChanged) {
  Desk d({path_from("M 0 0 L 10 0 L 20 0 s L 30 0 L 0 0 Z", ZOF_SELECTED | ZOF_HAS_SEL_POINTS)},
         RECT{0, 0, 200, 160}, 2.0);
  ZoPath* p = d.at(0);
  p->primitiveKind = 2;
  uint32_t n = 0;
  std::vector<POINT> list = list_of(d, p, &n);
  ASSERT_EQ(n, 3u);
  list[1].x += 6;  // the selected anchor, 3 image pixels right
  list[1].y -= 4;
  EXPECT_EQ(ZoPathSelectedToView(d.view, p, list.data(), 1), 3u);
  EXPECT_EQ(describe(p), "M 0 0 L 10 0 L 23 -2 s L 30 0 L 0 0 Z");
  EXPECT_EQ(p->primitiveKind, 0u) << "a dragged shape is no longer a primitive";
  // Each run of a two-run list writes back to its own nodes.
  Desk two({path_from("M 0 0 L 10 0 s L 20 0 L 30 0 s L 40 0", ZOF_SELECTED | ZOF_HAS_SEL_POINTS)},
           RECT{0, 0, 200, 160}, 2.0);
  std::vector<POINT> runs = list_of(two, two.at(0), &n);
  ASSERT_EQ(n, 7u);
  runs[1].y += 2;  // node 1, first run
  runs[5].x += 4;  // node 3, second run
  EXPECT_EQ(ZoPathSelectedToView(two.view, two.at(0), runs.data(), 1), 7u);
  EXPECT_EQ(describe(two.at(0)), "M 0 0 L 10 1 s L 20 0 L 32 0 s L 40 0");
  // The unlimited list: a closed figure with every anchor selected is one run, whole.
  for (uint32_t i = 0; i < p->count; ++i) ZoPathNodes(p)[i].type |= PT_SELECTED;
  uint32_t count = ZoPathGetSelPtListCount(d.view, p);
  ASSERT_EQ(count, p->count);
  std::vector<POINT> points(count);
  std::vector<uint16_t> types(count);
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 0), count);
  EXPECT_EQ(types[0] & PT_KIND_MASK, PT_MOVETO);
  EXPECT_EQ(types[1] & PT_KIND_MASK, PT_LINETO);
  // Only marked entries are read back; their marks are cleared.
  points[3].x += 2;
  points[1].x += 50;  // moved but not marked: ignored
  types[3] |= ZOSEL_MOVED;
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 1), count);
  EXPECT_EQ(types[3] & ZOSEL_MOVED, 0);
  EXPECT_EQ(describe(p), "M 0 0 s L 10 0 s L 23 -2 s L 31 0 s L 0 0 s Z");
  // Two runs that share a segment merge into one in the unlimited list.
  Desk open(
      {path_from("M 0 0 L 10 0 s L 20 0 s L 30 0 L 40 0", ZOF_SELECTED | ZOF_HAS_SEL_POINTS)});
  EXPECT_EQ(ZoPathGetSelPtListCount(open.view, open.at(0)), 4u);
  // Separate runs come in node order: an open figure's first run before its last.
  Desk ends({path_from("M 0 0 s L 10 0 L 20 0 L 30 0 L 40 0 s", ZOF_SELECTED | ZOF_HAS_SEL_POINTS)});
  ASSERT_EQ(ZoPathGetSelPtListCount(ends.view, ends.at(0)), 4u);
  ASSERT_EQ(ZoPathSelectedToView3(ends.view, ends.at(0), points.data(), types.data(), 0), 4u);
  EXPECT_EQ(points[0].x, 0);
  EXPECT_EQ(points[3].x, 40);
  // Preconditions: linked to others, no selected points, no display buffer.
  ZoPath* q = open.at(0);
  q->flags &= ~ZOF_HAS_SEL_POINTS;
  EXPECT_EQ(ZoPathGetSelPtListCount(open.view, q), 0u);
  q->flags |= ZOF_HAS_SEL_POINTS;
  CoordStruct bare = *open.view;
  bare.lpDB = nullptr;
  EXPECT_EQ(ZoPathSelectedToView(&bare, q, list.data(), 0), 0u);
  q->selNext = q;
  EXPECT_EQ(ZoPathSelectedToView(open.view, q, list.data(), 0), 0u);
  q->selNext = nullptr;
}

}  // namespace
