// Aligning and distributing the selected objects of a table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "transform_helpers.hpp"

namespace {

using namespace zo_test;

class AlignTest : public ModelTest {};

ZoPath* box(double l, double t, double r, double b) {
  char text[160];
  std::snprintf(text, sizeof text, "M %g %g L %g %g L %g %g L %g %g Z", l, t, r, t, r, b, l, b);
  return path_from(text);
}

// The extent of the nodes of the join chain from head (the boxes are straight lines, so this
// is their shape).
RectDB shape(ZoPath* head) {
  RectDB r{1e9, 1e9, -1e9, -1e9};
  for (ZoPath* p = head; p != nullptr; p = p->joinNext)
    for (uint32_t i = 0; i < p->count; ++i) {
      PointDB q = db(point_of(p, i));
      r = RectDB{std::min(r.left, q.x), std::min(r.top, q.y), std::max(r.right, q.x),
                 std::max(r.bottom, q.y)};
    }
  return r;
}

// Objects A, B (two joined subpaths) and C selected, D not; returns the table and the heads.
ZoPathTbl* document(std::vector<ZoPath*>* heads) {
  ZoPath* a = box(10, 10, 30, 20);
  ZoPath* b1 = box(40, 50, 100, 90);
  ZoPath* b2 = box(45, 55, 100, 60);
  ZoPath* c = box(20, 30, 25, 35);
  ZoPath* d = box(0, 0, 5, 5);
  link_list({a, b1, b2, c, d});
  link_join({b1, b2});
  link_selection({a, b1, b2, c});
  *heads = {a, b1, c, d};
  return table_with(a);
}

TEST_F(AlignTest, CommandsMoveEachObjectToItsTarget) {
  struct Case {
    int32_t command;
    double expected[4];  // per object: the side or centre the command acts on, after
    char side;           // l t r b, x y: centre
  };
  const Case cases[] = {
      {ZOALIGN_LEFT, {10, 10, 10, 0}, 'l'},
      {ZOALIGN_RIGHT, {100, 100, 100, 5}, 'r'},
      {ZOALIGN_TOP, {10, 10, 10, 0}, 't'},
      {ZOALIGN_BOTTOM, {90, 90, 90, 5}, 'b'},
      {ZOALIGN_DISTRIBUTE_X, {20, 70, 45, 2.5}, 'x'},
      {ZOALIGN_DISTRIBUTE_Y, {15, 70, 42.5, 2.5}, 'y'},
      {18019, {20, 70, 22.5, 2.5}, 'x'},
      {18030, {15, 70, 32.5, 2.5}, 'y'},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.command);
    std::vector<ZoPath*> heads;
    ZoPathTbl* t = document(&heads);
    RECT out{1, 1, 1, 1};
    ASSERT_EQ(ZoPathAlign(0, k.command, t, nullptr, &out), 1u);
    EXPECT_TRUE(out.left == 0 && out.right == 0) << "nothing drawn without a view";
    for (int i = 0; i < 4; ++i) {
      RectDB r = shape(heads[i]);
      double v = k.side == 'l'   ? r.left
                 : k.side == 'r' ? r.right
                 : k.side == 't' ? r.top
                 : k.side == 'b' ? r.bottom
                 : k.side == 'x' ? (r.left + r.right) / 2
                                 : (r.top + r.bottom) / 2;
      EXPECT_NEAR(v, k.expected[i], 2e-5) << "object " << i;
    }
    ZoPathTblDelete(t);
  }
  // Centring: every object's centre (the mean of its members' centres) goes to the mean.
  std::vector<ZoPath*> heads;
  ZoPathTbl* t = document(&heads);
  ASSERT_EQ(ZoPathAlign(0, ZOALIGN_CENTRE_BOTH, t, nullptr, nullptr), 1u);
  const double mx = (20 + 71.25 + 22.5) / 3, my = (15 + 63.75 + 32.5) / 3;
  RectDB a = shape(heads[0]), b1 = shape(heads[1]), b2 = shape(heads[1]->joinNext),
         c = shape(heads[2]);
  EXPECT_NEAR((a.left + a.right) / 2, mx, 2e-5);
  EXPECT_NEAR((b1.left + b1.right + b2.left + b2.right) / 4, mx, 2e-5);
  EXPECT_NEAR((c.top + c.bottom) / 2, my, 2e-5);
  EXPECT_NEAR(shape(heads[3]).left, 0, 0) << "unselected objects stay";
  ZoPathTblDelete(t);
  // A polygon stands at its own centre (the mean of its side-start vertices), not at the
  // centre of its rectangle.
  ZoPath* triangle = path_from("M 0 0 L 30 0 L 0 30 L 0 0 Z", ZOF_POLY_STYLE1 | (3u << 5));
  ZoPath* square = box(90, 0, 110, 20);
  link_list({triangle, square});
  link_selection({triangle, square});
  t = table_with(triangle);
  ZoPathAlign(0, ZOALIGN_CENTRE_X, t, nullptr, nullptr);
  EXPECT_EQ(point_of(triangle, 0).x, DbToFix(45));
  EXPECT_EQ(point_of(square, 0).x, DbToFix(45));
  ZoPathTblDelete(t);
  // No table, no selection.
  EXPECT_EQ(ZoPathAlign(0, ZOALIGN_LEFT, nullptr, nullptr, nullptr), 0u);
  ZoPathTbl* empty = table_with(box(0, 0, 1, 1));
  EXPECT_EQ(ZoPathAlign(0, ZOALIGN_LEFT, empty, nullptr, nullptr), 0u);
  ZoPathTblDelete(empty);
}

TEST_F(AlignTest, DistributionHandsTargetsToTheNearestValueFirstInOrderOnTies) {
  struct Case {
    std::vector<double> centres, expected;
  };
  const Case cases[] = {
      {{0, 100, 30}, {0, 100, 50}},
      {{0, 90, 20, 40}, {0, 90, 30, 60}},
      {{0, 90, 40, 20}, {0, 60, 30, 90}},  // the tie at 30 goes to the first object, 40
      {{5, 50}, {5, 50}},
  };
  for (const Case& k : cases) {
    std::vector<ZoPath*> v;
    for (double x : k.centres) v.push_back(box(x - 1, 0, x + 1, 2));
    link_list(v);
    link_selection(v);
    ZoPathTbl* t = table_with(v[0]);
    ZoPathAlign(0, ZOALIGN_DISTRIBUTE_X, t, nullptr, nullptr);
    for (size_t i = 0; i < v.size(); ++i) {
      RectDB r = shape(v[i]);
      EXPECT_NEAR((r.left + r.right) / 2, k.expected[i], 2e-5) << i;
    }
    ZoPathTblDelete(t);
  }
}

TEST_F(AlignTest, OnlyTheFirst128ObjectsTakePartAndTheScreenFollows) {
  std::vector<ZoPath*> v;
  for (int i = 0; i < 130; ++i)
    v.push_back(i < 128 ? box(200 + i, i, 210 + i, i + 5) : box(i - 128, 0, 20, 20));
  link_list(v);
  link_selection(v);
  CoordStruct view = view_of(RECT{0, 0, 400, 200});
  ZoPathTbl* t = nullptr;
  RECT r;
  ASSERT_EQ(ZoPathAddPathGroup(&t, v[0], "many", &view, &r), 1u);
  RECT out;
  ASSERT_EQ(ZoPathAlign(0, ZOALIGN_DISTRIBUTE_X, t, &view, &out), 1u);
  EXPECT_EQ(shape(v[127]).left, 327) << "128 centres evenly spaced already";
  ASSERT_EQ(ZoPathAlign(0, ZOALIGN_LEFT, t, &view, &out), 1u);
  EXPECT_EQ(shape(v[127]).left, 200);
  EXPECT_EQ(shape(v[129]).left, 1) << "the 130th object stays";
  EXPECT_TRUE(out.left <= 0 && out.right >= 337) << out.left << ' ' << out.right;
  // The buffer shows the moved objects exactly as a fresh drawing does.
  std::vector<uint8_t> after(t->lpDB, t->lpDB + 400 * 200);
  ZoPathDraw(&view, v[0], &r, 1);
  EXPECT_EQ(0, std::memcmp(after.data(), t->lpDB, after.size()));
  ZoPathTblDelete(t);
}

}  // namespace
