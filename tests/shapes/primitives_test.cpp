// Primitives from drags in every direction, checked node by node against a double-precision
// reference written here from the shapes' node lists; the roundness and identity questions at
// their thresholds; the constructors and the creation batch; refused input.
#include <cmath>
#include <vector>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"

namespace {

using zo_test::path_from;

class PrimitivesTest : public ModelTest {};

struct RefNode {
  uint16_t type;
  double x, y;
};

constexpr uint16_t M = 6, L = 2, C = 4, Z = 1;
constexpr double K = 0.5522847;

std::vector<RefNode> reference(int kind, const RECT& w, const RECT& d, double zoom, int sx,
                               int sy, bool centered) {
  const double px = (d.left - w.left + sx) / zoom - 0.5, py = (d.top - w.top + sy) / zoom - 0.5;
  double a = (std::abs(d.right - d.left) + 1) / zoom, b = (std::abs(d.bottom - d.top) + 1) / zoom;
  double cx = px, cy = py;
  if (!centered) {
    a /= 2, b /= 2;
    cx = d.right > d.left ? px + a : px - a;
    cy = d.bottom > d.top ? py + b : py - b;
  }
  const double l = cx - a, r = cx + a, t = cy - b, bt = cy + b;
  std::vector<RefNode> n;
  if (kind == 1) {
    const double ea = a - 0.01, eb = b - 0.01;
    n = {{M, cx, cy + eb},      {C, cx - K * ea, cy + eb}, {C, cx - ea, cy + K * eb},
         {C, cx - ea, cy},      {C, cx - ea, cy - K * eb}, {C, cx - K * ea, cy - eb},
         {C, cx, cy - eb},      {C, cx + K * ea, cy - eb}, {C, cx + ea, cy - K * eb},
         {C, cx + ea, cy},      {C, cx + ea, cy + K * eb}, {C, cx + K * ea, cy + eb},
         {C | Z, cx, cy + eb}};
  } else if (kind == 2) {
    n = {{M, r, bt}, {L, l, bt}, {L, l, t}, {L, r, t}, {L | Z, r, bt}};
  } else if (kind == 4) {
    n = {{M, cx, bt}, {L, l, cy}, {L, cx, t}, {L, r, cy}, {L | Z, cx, bt}};
  } else if (kind == 6) {
    n = {{M, cx, t}, {L, r, bt}, {L, l, bt}, {L | Z, cx, t}};
  } else if (kind == 5) {
    const double s = 2 * a / 12;
    n.push_back({M, l, t});
    for (int i = 1; i <= 12; ++i) n.push_back({C, l + i * s, t});
    n.push_back({L, r, bt});
    for (int i = 1; i <= 12; ++i) n.push_back({C, r - i * s, bt});
    n.push_back({L | Z, l, t});
  } else {
    const double rr = kind == 3 ? std::min(std::max(a, b) / 3, std::min(a, b))
                                : std::min(a, b) * (kind - 300) / 100.0;
    const double kr = K * rr;
    n = {{M, l + rr, bt},      {C, l + rr - kr, bt}, {C, l, bt - rr + kr}, {C, l, bt - rr},
         {L, l, t + rr},       {C, l, t + rr - kr},  {C, l + rr - kr, t},  {C, l + rr, t},
         {L, r - rr, t},       {C, r - rr + kr, t},  {C, r, t + rr - kr},  {C, r, t + rr},
         {L, r, bt - rr},      {C, r, bt - rr + kr}, {C, r - rr + kr, bt}, {C, r - rr, bt},
         {L | Z, l + rr, bt}};
  }
  return n;
}

TEST_F(PrimitivesTest, EveryKindFromDragsInEveryDirectionMatchesTheReference) {
  const RECT window{10, 20, 810, 620};
  const RECT drags[] = {{100, 120, 260, 200}, {260, 200, 100, 120}, {260, 120, 100, 200},
                        {100, 200, 260, 120}, {300, 300, 300, 300}};
  for (double zoom : {0.5, 1.0, 3.0}) {
    CoordStruct* view = nullptr;
    ZoPathCoordStruct(&window, 37, -11, zoom, nullptr, &view);
    for (int kind : {1, 2, 3, 4, 5, 6, 300, 330, 370, 400})
      for (const RECT& d : drags)
        for (int centered : {0, 1}) {
          SCOPED_TRACE(testing::Message() << "kind " << kind << " zoom " << zoom << " drag "
                                          << d.left << "," << d.top << " centered " << centered);
          ZoPath* p = nullptr;
          ASSERT_EQ(ZoPathGetPrimitive(kind, nullptr, &p, view, centered, 0, &d), 1u);
          auto ref = reference(kind, window, d, zoom, 37, -11, centered);
          ASSERT_EQ(p->count, ref.size());
          EXPECT_EQ(p->flags, ZOF_SELECTED);
          EXPECT_EQ(p->primitiveKind, kind == 6 ? 0u : uint32_t(kind));
          EXPECT_TRUE(p->prev == nullptr && p->next == nullptr && p->selNext == nullptr);
          for (size_t i = 0; i < ref.size(); ++i) {
            const PathNode& n = ZoPathNodes(p)[i];
            EXPECT_EQ(n.type, ref[i].type) << i;
            EXPECT_NEAR(n.pt.x, ref[i].x * 65536, 1.0) << i;
            EXPECT_NEAR(n.pt.y, ref[i].y * 65536, 1.0) << i;
          }
          const PathNode* n = ZoPathNodes(p);
          EXPECT_TRUE(n[0].pt.x == n[p->count - 1].pt.x && n[0].pt.y == n[p->count - 1].pt.y);
          ZoPathDeletePtr(p, 0);
        }
    ZoPathDeleteCoordStruct(view);
  }
}

TEST_F(PrimitivesTest, TemplateCopiesFillTheBoxFromItsCorner) {
  const RECT window{0, 0, 400, 400}, drag{50, 60, 150, 110};
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &view);
  for (int keep : {0, 1}) {
    ZoPath* templ = path_from("M 0 0 L 40 0 L 40 10 L 0 10 Z", 0);
    ZoPath* p = nullptr;
    ASSERT_EQ(ZoPathGetPrimitive(99, templ, &p, view, 0, keep, &drag), 1u);
    RectDB r{};
    ZoPathGetDoubleRectNoMargin(p, &r, 1);
    // The box is 101 x 51 from (49.5, 59.5); the copy's bounds sit 5 pixels inside its margin.
    EXPECT_NEAR(r.left, 49.5 - 5.5 + 5, 1e-3);
    EXPECT_NEAR(r.top, 59.5 - 5.5 + 5, 1e-3);
    EXPECT_NEAR(r.right - r.left, 101.0, 1e-3);
    EXPECT_NEAR(r.bottom - r.top, keep ? 25.25 : 51.0, 1e-3);
    EXPECT_EQ(p->primitiveKind, 0u);
    EXPECT_TRUE((p->flags & ZOF_SELECTED) != 0 && ZoPathIsAllPathsSelected(p) != 0);
    EXPECT_EQ(zo_test::describe(templ), "M 0 0 L 40 0 L 40 10 L 0 10 Z");
    ZoPathDeletePtr(templ, 0);
    zo_test::release_list(p);
  }
  ZoPathDeleteCoordStruct(view);
}

TEST_F(PrimitivesTest, AddPrimitiveClearsTheSelectionAndAppendsTheSelectedPath) {
  ZoPathTbl* table = nullptr;
  ZoPathNew(&table);
  CoordStruct* view = nullptr;
  const RECT window{0, 0, 300, 200}, drag{10, 10, 60, 40};
  ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
  ZoPath* old = path_from("M 0 0 s L 5 5 s", ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
  table->groups[0].first = table->groups[0].selected = old;
  ASSERT_EQ(ZoPathAddPrimitive(nullptr, 2, nullptr, table, view, 0, 0, &drag), 1u);
  ZoPath* added = old->next;
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->prev, old);
  EXPECT_EQ(table->groups[0].selected, added);
  EXPECT_EQ(old->flags & (ZOF_SELECTED | ZOF_HAS_SEL_POINTS), 0u);
  EXPECT_EQ(ZoPathNodes(old)[1].type & PT_SELECTED, 0);
  // A refused build still clears the selection and links nothing.
  EXPECT_EQ(ZoPathAddPrimitive(nullptr, 7, nullptr, table, view, 0, 0, &drag), 0u);
  EXPECT_EQ(table->groups[0].selected, nullptr);
  EXPECT_EQ(added->next, nullptr);
  ZoPathDeleteCoordStruct(view);
  ZoPathTblDelete(table);
}

TEST_F(PrimitivesTest, RoundnessQuestionsAndTheirThresholds) {
  const RECT window{0, 0, 400, 400}, drag{100, 100, 199, 159};
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &view);
  ZoPath* p = nullptr;
  ZoPathGetPrimitive(3, nullptr, &p, view, 0, 0, &drag);  // 100 x 60, radius 50 / 3
  uint32_t pct = 0, radius = 0;
  EXPECT_EQ(ZoPathGetRectangleRoundness(p, &pct, &radius), 1u);
  EXPECT_EQ(pct, 56u);  // 16.67 of a 30-pixel half side
  EXPECT_EQ(radius, 17u);
  double dist = 0;
  EXPECT_EQ(ZoPathGetPrimitiveMaxDist(p, &dist), 1u);
  EXPECT_NEAR(dist, 50.0 / 3, 1e-4);
  EXPECT_EQ(ZoPathIsOnlyPrimitive(p), 1u);
  RECT bounds{};
  for (int asked : {0, 40, 150}) {
    ASSERT_EQ(ZoPathSetRectangleRoundness(p, asked, &bounds), 1u);
    const uint32_t want = asked < 1 ? 1 : asked > 99 ? 99 : asked;
    EXPECT_EQ(p->primitiveKind, 300 + want);
    EXPECT_EQ(ZoPathGetRectangleRoundness(p, &pct, &radius), 1u);
    EXPECT_EQ(pct, want);
    EXPECT_EQ(radius, uint32_t(30.0 * want / 100 + 0.5));
    EXPECT_TRUE(bounds.left == 100 && bounds.top == 100 && bounds.right == 200 &&
                bounds.bottom == 160);
  }
  // The lower-left corner stops being a quarter circle beyond 0.01 pixel.
  ZoPathNodes(p)[3].pt.x += 650;  // 0.00992 pixel
  EXPECT_EQ(ZoPathIsOnlyPrimitive(p), 1u);
  ZoPathNodes(p)[3].pt.x += 10;  // 0.01007
  EXPECT_EQ(ZoPathIsOnlyPrimitive(p), 0u);
  // A following subpath keeps it a primitive only when it is an envelope frame.
  ZoPathSetRectangleRoundness(p, 50, nullptr);
  ZoPath* frame = path_from("M 0 0 L 1 1", ZOF_ENVELOPE_V);
  p->next = frame;
  EXPECT_EQ(ZoPathIsOnlyPrimitive(p), 1u);
  frame->flags = 0;
  EXPECT_EQ(ZoPathIsOnlyPrimitive(p), 0u);
  p->next = nullptr;
  ZoPathDeletePtr(frame, 0);
  // A mirrored rectangle keeps its direction.
  ZoPath* m = nullptr;
  ZoPathGetPrimitive(3, nullptr, &m, view, 0, 0, &drag);
  for (int i = 0; i < 17; ++i) ZoPathNodes(m)[i].pt.x = DbToFix(299.0) - ZoPathNodes(m)[i].pt.x;
  ZoPathSetRectangleRoundness(m, 50, &bounds);
  EXPECT_EQ(FixToDb(ZoPathNodes(m)[0].pt.x) - FixToDb(ZoPathNodes(m)[3].pt.x), -15.0);
  EXPECT_TRUE(bounds.left == 100 && bounds.right == 200);
  // Other kinds.
  ZoPath* r = nullptr;
  ZoPathGetPrimitive(2, nullptr, &r, view, 0, 0, &drag);
  EXPECT_EQ(ZoPathGetRectangleRoundness(r, &pct, &radius), 0u);
  EXPECT_TRUE(pct == 50 && radius == 0);
  EXPECT_EQ(ZoPathSetRectangleRoundness(r, 10, nullptr), 0u);
  ZoPathGetPrimitiveMaxDist(r, &dist);
  EXPECT_NEAR(dist, 30.0, 1e-4);
  ZoPathCancelPrimitive(r);
  EXPECT_EQ(r->primitiveKind, 0u);
  EXPECT_EQ(ZoPathGetPrimitiveMaxDist(r, &dist), 0u);
  EXPECT_EQ(ZoPathPrimitive(&r, 4), r);
  EXPECT_EQ(r->primitiveKind, 4u);
  for (ZoPath* q : {p, m, r}) ZoPathDeletePtr(q, 0);
  ZoPathDeleteCoordStruct(view);
}

TEST_F(PrimitivesTest, ConstructorsAndTheBatchWithRecordsThatMove) {
  const PointDB near[4] = {{1, 2}, {3, 4}, {5, 6}, {1.00005, 2}};
  EXPECT_EQ(ZoPathCreateBezierFromPointDBs(near, 5), nullptr);
  EXPECT_EQ(ZoPathCreateBezierFromPointDBs(near, 3), nullptr);
  EXPECT_EQ(ZoPathComposePureBezierSubpath(near, 3), nullptr);
  const POINT one[1] = {{1, 1}};
  EXPECT_EQ(ZoPathCreateFromPoints(one, 1, 1.0), nullptr);
  EXPECT_EQ(ZoPathCreateFrom_End(), nullptr);
  ZoPathCreateFrom_Begin();
  const POINT open[3] = {{0, 0}, {10, 0}, {10, 10}}, shut[3] = {{0, 0}, {5, 5}, {0, 0}};
  ZoPath* a = ZoPathCreateFromPoints(open, 3, 2.0);
  ZoPath* b = ZoPathCreateBezierFromPointDBs(near, 4);
  ZoPath* c = ZoPathCreateFromPoints(shut, 3, 1.0);
  const RECT box{0, 0, 20, 10};
  ZoPath* d = ZoPathCreateFromCircle(&box, 1.0);
  ZoPath* e = ZoPathComposePureBezierSubpath(near, 4);
  EXPECT_EQ(ZoPathCreateFrom_Begin(), a);  // a second begin keeps the batch
  ZoPath* head = ZoPathCreateFrom_End();
  ASSERT_NE(head, nullptr);
  std::vector<ZoPath*> got;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    EXPECT_TRUE(p->next == nullptr || p->next->prev == p);
    got.push_back(p);
  }
  ASSERT_EQ(got.size(), 4u);  // the composed subpath is never batched
  EXPECT_EQ(head->prev, nullptr);
  EXPECT_EQ(zo_test::describe(got[0]), "M 0 0 L 20 0 L 20 20 L 0 0 Z");
  EXPECT_EQ(got[1], b);
  EXPECT_EQ(zo_test::describe(b), "M 1 2 C 3 4 5 6 1 2 Z");
  EXPECT_EQ(zo_test::describe(got[2]), "M 0 0 L 5 5 L 0 0 Z");
  EXPECT_EQ(got[2], c);
  EXPECT_EQ(got[3], d);
  EXPECT_TRUE(d->count == 13 && d->primitiveKind == 1 && d->flags == 0);
  EXPECT_EQ(int32_t(ZoPathNodes(d)[0].pt.y), DbToFix(10.0));
  EXPECT_EQ(int32_t(ZoPathNodes(d)[3].pt.x), DbToFix(5.0));
  EXPECT_TRUE(e->flags == 0x40000000u && e->prev == nullptr && !(ZoPathNodes(e)[3].type & 1));
  ZoPathAppendEmptySubpath(head);
  ZoPath* tail = got[3]->next;
  ASSERT_NE(tail, nullptr);
  EXPECT_TRUE(tail->count == 1 && ZoPathNodes(tail)[0].type == 7 && tail->flags == 0x80010000u);
  (void)a;
  zo_test::release_list(head);
  ZoPathDeletePtr(e, 0);
}

TEST_F(PrimitivesTest, BadInputIsRefusedWithoutTouchingAnything) {
  const RECT window{0, 0, 400, 400}, drag{10, 10, 50, 50}, far{40000, 10, 40010, 20};
  CoordStruct* view = nullptr;
  ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &view);
  ZoPath* keep = reinterpret_cast<ZoPath*>(0x1234);
  struct Row {
    int kind;
    double zoom;
    const RECT* drag;
    bool reported;
  } rows[] = {{0, 1, &drag, true},  {7, 1, &drag, true},     {299, 1, &drag, true},
              {401, 1, &drag, true}, {-1, 1, &drag, true},   {1, 0, &drag, true},
              {1, -2, &drag, true},  {1, NAN, &drag, true},  {1, INFINITY, &drag, true},
              {1, 1, &far, true},    {1, 1e-9, &drag, true}, {1, 1, nullptr, false}};
  const size_t before = ZoPlatHeapLiveBlocks();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    zo32commClearReports();
    view->zoom = r.zoom;
    ZoPath* out = keep;
    EXPECT_EQ(ZoPathGetPrimitive(r.kind, nullptr, &out, view, 0, 0, r.drag), 0u);
    EXPECT_EQ(out, keep);
    EXPECT_EQ(reports().size(), r.reported ? 1u : 0u);
    EXPECT_TRUE(!r.reported || reports()[0].code == 3200u);
  }
  view->zoom = 1.0;
  EXPECT_EQ(ZoPathGetPrimitive(1, nullptr, &keep, nullptr, 0, 0, &drag), 0u);
  EXPECT_EQ(ZoPathGetPrimitive(1, nullptr, nullptr, view, 0, 0, &drag), 0u);
  ZoPath* line = path_from("M 0 0 L 0 30", 0);  // a template without width
  EXPECT_EQ(ZoPathGetPrimitive(1, line, &keep, view, 0, 0, &drag), 0u);
  EXPECT_EQ(ZoPathAddPrimitive(nullptr, 1, nullptr, nullptr, view, 0, 0, &drag), 0u);
  EXPECT_EQ(ZoPathGetRectangleRoundness(nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathPrimitive(nullptr, 1), nullptr);
  ZoPathCancelPrimitive(nullptr);
  EXPECT_EQ(ZoPathIsOnlyPrimitive(nullptr), 0u);
  const POINT huge[2] = {{0, 0}, {40000, 0}};
  EXPECT_EQ(ZoPathCreateFromPoints(huge, 2, 1.0), nullptr);
  const RECT hugeCircle{0, 0, 20, 20};
  EXPECT_EQ(ZoPathCreateFromCircle(&hugeCircle, NAN), nullptr);
  EXPECT_EQ(ZoPathCreateFromCircle(nullptr, 1.0), nullptr);
  ZoPathAppendEmptySubpath(nullptr);
  EXPECT_EQ(ZoPlatHeapLiveBlocks(), before + 1);  // only the line
  ZoPathDeletePtr(line, 0);
  ZoPathDeleteCoordStruct(view);
}

}  // namespace
