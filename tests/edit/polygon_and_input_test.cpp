// Polygon handles, which act on every side at once, and calls given null or malformed input.
#include <cmath>

#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;

class PolygonAndInputTest : public ModelTest {};

// A five-pointed star as the generator lays it out: 5 sides of 2 nodes, and the closing node.
ZoPath* star() {
  ZoPath* p = ZoPathCreate();
  for (int i = 0; i <= 10; ++i) {
    double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 == 0 ? 60 : 20;
    Ptfx pt{DbToFix(100 + r * std::cos(a)), DbToFix(80 + r * std::sin(a))};
    if (i == 10) pt = ZoPathNodes(p)[0].pt;
    ZoPathAddPoint(&p, &pt, i == 0 ? PT_MOVETO : i == 10 ? PT_LINETO | PT_CLOSEFIGURE : PT_LINETO);
  }
  p->flags = ZOF_SELECTED | ZOF_POLY_STYLE2 | (5u << 5) | (2u << 13);
  return p;
}

double radius(ZoPath* p, uint32_t i) {
  return std::hypot(FixToDb(ZoPathNodes(p)[i].pt.x) - 100, FixToDb(ZoPathNodes(p)[i].pt.y) - 80);
}

TEST_F(PolygonAndInputTest, PolygonHandlesActOnEverySide) {
  Desk d({star()});
  ZoPath* p = d.at(0);
  d.table->groups[0].selected = p;
  ZoPathHit hit{0, p, 2, 0};
  ASSERT_EQ(ZoPathHitAct(18027, d.dc, d.view, d.table, &hit), 1u);
  for (uint32_t i = 0; i < p->count; ++i)
    EXPECT_EQ((ZoPathNodes(p)[i].type & PT_SELECTED) != 0, i != 0 && i % 2 == 0) << i;
  for (bool again : {false, true}) {  // toggling a node toggles its counterparts
    ASSERT_EQ(ZoPathHitAct(18035, d.dc, d.view, d.table, &hit), 1u);
    EXPECT_EQ((ZoPathNodes(p)[4].type & PT_SELECTED) != 0, again);
  }
  RECT around{0, 0, 200, 160};
  for (bool again : {false, true}) {  // toggled by rectangle, side by side
    EXPECT_GT(ZoPathRectClipPt(&around, p, 0, d.view, 4), 0u);
    EXPECT_EQ((ZoPathNodes(p)[4].type & PT_SELECTED) != 0, again);
  }
  hit.index = 3;
  ASSERT_EQ(ZoPathHitAct(18041, d.dc, d.view, d.table, &hit), 1u);
  for (uint32_t i = 0; i < p->count; ++i)
    EXPECT_EQ((ZoPathNodes(p)[i].type & PT_SEGMENT_MARK) != 0, i % 2 == 1) << i;
  expect_consistent(d);
  // Dragging one outer point: the other sides follow, turned about the centre.
  std::vector<POINT> points(ZoPathGetSelPtListCount(d.view, p));
  std::vector<uint16_t> types(points.size());
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 0), points.size());
  for (size_t k = 0; k < points.size(); ++k) {
    if (points[k].x == 100 && points[k].y == 20) {  // the top point, nodes 0 and 10
      points[k].y -= 20;
      types[k] |= ZOSEL_MOVED;
    }
  }
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 1), points.size());
  EXPECT_GT(radius(p, 10), 79.0);
  for (uint32_t i = 0; i < 10; i += 2) EXPECT_NEAR(radius(p, i), radius(p, 10), 0.01) << i;
  for (uint32_t i = 1; i < 10; i += 2) EXPECT_NEAR(radius(p, i), 20, 0.01) << i;
  // Any other outer point leads the same way.
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 0), points.size());
  const Ptfx fourth = ZoPathNodes(p)[4].pt;
  const double outer = radius(p, 4);
  for (size_t k = 0; k < points.size(); ++k) {
    if (points[k].x == int32_t(FixToDb(fourth.x) + 0.5) &&
        points[k].y == int32_t(FixToDb(fourth.y) + 0.5))
      points[k].x += 30, types[k] |= ZOSEL_MOVED;
  }
  ASSERT_EQ(ZoPathSelectedToView3(d.view, p, points.data(), types.data(), 1), points.size());
  for (uint32_t i = 0; i <= 10; i += 2) EXPECT_NEAR(radius(p, i), radius(p, 4), 0.01) << i;
  EXPECT_GT(std::fabs(radius(p, 4) - outer), 1.0);
  // Splitting a side splits them all.
  hit.index = 1;
  hit.param = 32768;
  ASSERT_EQ(ZoPathHitAct(18019, d.dc, d.view, d.table, &hit), 1u);
  EXPECT_EQ(hit.path->count, 16u);
  EXPECT_EQ(d.table->groups[0].first, hit.path);
}

TEST_F(PolygonAndInputTest, NullAndMalformedInputIsRefused) {
  Desk d({path_from("M 10 10 L 50 10 L 50 50", ZOF_SELECTED)});
  ZoPath* p = d.at(0);
  const std::string before = zo_test::snapshot_table(d.table);
  RECT r{0, 0, 100, 100}, dirty;
  uint32_t flag = 5, selKind = 3, joinKind = 0;
  POINT list[ZOSEL_LIST_SIZE];
  uint16_t types[4];
  ZoPathHit hit{0, nullptr, 0, 0};
  EXPECT_EQ(ZoPathPtOn(0, ZOHIT_REPLACE, d.dc, nullptr, d.table, &p, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathPtOn(0, ZOHIT_REPLACE, d.dc, d.view, nullptr, &p, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathPtInRect(nullptr, p, d.view, 1, &flag), 0u);
  EXPECT_EQ(flag, 0u);
  EXPECT_EQ(ZoPathPtInRect(&r, p, d.view, 5, &flag), 0u);
  EXPECT_EQ(ZoPathPtInRect(&r, p, nullptr, 1, &flag), 0u);
  CoordStruct flat = *d.view;  // a zero zoom maps no window area to the image
  flat.zoom = 0;
  EXPECT_EQ(ZoPathPtInRect(&r, p, &flat, 1, &flag), 0u);
  EXPECT_EQ(ZoPathRectClipPt(&r, p, 0, &flat, 1), 0u);
  EXPECT_EQ(ZoPathRectClip(&r, d.table, d.dc, &flat, ZOHIT_CROSSING | ZOHIT_REPLACE, &flag), 0u);
  EXPECT_EQ(ZoPathRectClip(nullptr, d.table, d.dc, d.view, ZOHIT_CROSSING | ZOHIT_REPLACE, &flag),
            0u);
  EXPECT_EQ(ZoPathRectClipPt(&r, nullptr, 0, d.view, 1), 0u);
  ZoPath* loose = path_from("M 10 10 L 20 20");  // not selected
  EXPECT_EQ(ZoPathRectClipPt(&r, loose, 0, d.view, 1), 0u);
  ZoPathDeletePtr(loose, 0);
  EXPECT_EQ(ZoPathRectClip(&r, nullptr, d.dc, d.view, 5, &flag), 0u);
  EXPECT_EQ(ZoPathPickSegment(d.view, nullptr, 0, &dirty), 0u);
  EXPECT_EQ(ZoPathPickSegment(d.view, p, 7, &dirty), 0u) << "past the nodes";
  EXPECT_EQ(ZoPathUnpickSegment(d.view, nullptr, nullptr, &dirty), 0u);
  EXPECT_EQ(ZoPathHitAct(18027, d.dc, nullptr, d.table, &hit), 0u);
  EXPECT_EQ(ZoPathHitAct(18027, d.dc, d.view, d.table, &hit), 0u) << "no path";
  ZoPath* stranger = path_from("M 0 0 L 1 1");
  hit.path = stranger;
  EXPECT_EQ(ZoPathHitAct(18027, d.dc, d.view, d.table, &hit), 0u) << "not in the table";
  EXPECT_EQ(ZoPathHitAct(17000, d.dc, d.view, d.table, &hit), 1u) << "not a command: nothing";
  EXPECT_EQ(ZoPathInfo(nullptr, &selKind, &joinKind), 0u);
  EXPECT_EQ(ZoPathSelectedToView(d.view, nullptr, list, 0), 0u);
  EXPECT_EQ(ZoPathSelectedToView3(d.view, p, nullptr, types, 0), 0u);
  EXPECT_EQ(ZoPathSingleSelectPath(d.table, stranger, d.view, d.dc, 1), 0u);
  EXPECT_EQ(ZoPathCopySelectStatus(nullptr), nullptr);
  EXPECT_EQ(ZopathPasteSelectStatus(nullptr, p, 0), 0u);
  EXPECT_EQ(ZoPathCleanSelectStatusClipboard(nullptr), 0u);
  for (auto* query : {ZoPathIsSelected, ZoPathHasSelectedPoint, ZoPathHasSelectedSegment,
                      ZoPathIsAllPathsSelected, ZoPathGetSelectedSegmentType})
    EXPECT_EQ(query(nullptr), 0u);
  EXPECT_EQ(ZoPathGetSelState(nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathDeSelectAll(d.dc, nullptr, d.view, 1), 0u);
  EXPECT_EQ(ZoPathGetSubPathWithSelectedSegment(nullptr, nullptr), nullptr);
  EXPECT_EQ(zo_test::snapshot_table(d.table), before);
  // A snapshot pasted onto a path of another node count is refused and stays the caller's.
  ZoPathSelectStatus* s = ZoPathCopySelectStatus(stranger);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(ZopathPasteSelectStatus(s, p, 1), 0u);
  EXPECT_EQ(ZoPathCleanSelectStatusClipboard(s), 1u);
  // On a path of the same node count it brings back every node's marks and the flags.
  ZoPath* marked = path_from("M 0 0 L 1 0 s L 2 0 g L 3 0 s", ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
  const std::string marks = zo_test::describe(marked);
  s = ZoPathCopySelectStatus(marked);
  for (uint32_t i = 0; i < marked->count; ++i)
    ZoPathNodes(marked)[i].type &= uint16_t(~(PT_SELECTED | PT_SEGMENT_MARK));
  marked->flags = 0;
  EXPECT_EQ(ZopathPasteSelectStatus(s, marked, 1), 1u);
  EXPECT_EQ(zo_test::describe(marked), marks);
  EXPECT_EQ(marked->flags, ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
  EXPECT_EQ(ZoPathDeselectPts(marked), 1u);
  EXPECT_EQ(zo_test::describe(marked), "M 0 0 L 1 0 L 2 0 g L 3 0");
  EXPECT_EQ(marked->flags, ZOF_SELECTED);
  marked->flags = 0;
  EXPECT_EQ(ZoPathGetSelectedSegmentType(marked), 0u) << "not selected";
  ZoPathDeletePtr(marked, 0);
  // Picking at the last node picks segment 0.
  EXPECT_EQ(ZoPathPickSegment(d.view, p, 2, &dirty), 1u);
  EXPECT_EQ(zo_test::describe(p), "M 10 10 g L 50 10 L 50 50");
  // A band's edge running along a line that crosses the band catches the line.
  Desk edge({path_from("M -50 9.5 L 200 9.5")});
  RECT band{0, 10, 100, 50};
  EXPECT_EQ(ZoPathRectClip(&band, edge.table, edge.dc, edge.view, 1 | ZOHIT_TEST | ZOHIT_REPLACE,
                           &flag),
            1u);
  // A lone node is a node, not a polygon without sides.
  Desk dot({path_from("M 50 50", ZOF_SELECTED)});
  ZoPathHit one{0, dot.at(0), 0, 0};
  EXPECT_EQ(ZoPathHitAct(18027, dot.dc, dot.view, dot.table, &one), 1u);
  EXPECT_EQ(zo_test::describe(dot.at(0)), "M 50 50 s");
  // Nodes of kind 0 and truncated cubics are walked over without harm.
  ZoPath* odd = path_from("M 10 10 N 0 20 20 N 0x8000 30 30 C 40 40 50 50 60 60 N 4 70 70");
  Desk broken({odd});
  broken.click(pack(21, 21), ZOHIT_REPLACE);
  broken.click(pack(71, 71), ZOHIT_TOGGLE);
  RECT all{0, 0, 200, 160};
  ZoPathRectClip(&all, broken.table, broken.dc, broken.view, 1 | ZOHIT_REPLACE, &flag);
  ZoPathDeletePtr(stranger, 0);
}

}  // namespace
