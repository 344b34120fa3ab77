// Out of memory at every allocation of the shape calls: each returns its failure value,
// reports 1001, leaves its inputs as they were and leaks nothing. The creation batch and the
// pen tool's growth end cleanly with what they had.
#include <memory>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"
#include "../support/alloc_sweep.hpp"
#include "pen_session.hpp"

namespace {

using zo_test::Scenario;
using zo_test::SweepCase;

class ShapesAllocFailureTest : public ModelTest {};

const RECT kDrag{20, 30, 90, 70};

// A table with a view and no selection; the call gets both.
struct Doc {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  ZoPath* out = nullptr;
  Doc() {
    ZoPathNew(&table);
    const RECT window{0, 0, 200, 100};
    ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
    table->groups[0].first = zo_test::path_from("M 0 0 L 5 5", 0);
  }
  ~Doc() {
    zo_test::release_if_live(out);
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
};

SweepCase on_doc(const char* name, std::function<bool(Doc&)> call) {
  return {name, true, [call] {
            auto d = std::make_shared<Doc>();
            return Scenario{[d, call] { return call(*d); },
                            [d] { return zo_test::snapshot_table(d->table); },
                            [d]() mutable { d.reset(); }};
          }};
}

// A call making a standalone path; `made` receives it for release.
SweepCase making(const char* name, std::function<ZoPath*()> call) {
  return {name, true, [call] {
            auto made = std::make_shared<ZoPath*>(nullptr);
            return Scenario{[made, call] { return (*made = call()) != nullptr; },
                            [] { return std::string(); },
                            [made] { zo_test::release_list(*made); }};
          }};
}

TEST_F(ShapesAllocFailureTest, EveryAllocatingShapeCallFailsCleanly) {
  const PointDB bez[4] = {{0, 0}, {1, 2}, {3, 4}, {0, 0}};
  const POINT pts[3] = {{0, 0}, {9, 0}, {9, 9}};
  std::vector<SweepCase> cases = {
      on_doc("ZoPathGetPrimitive", [](Doc& d) {
        return ZoPathGetPrimitive(1, nullptr, &d.out, d.view, 0, 0, &kDrag) == 1;
      }),
      on_doc("ZoPathGetPrimitive (template)", [](Doc& d) {
        return ZoPathGetPrimitive(0, d.table->groups[0].first, &d.out, d.view, 1, 1, &kDrag) == 1;
      }),
      on_doc("ZoPathAddPrimitive", [](Doc& d) {
        return ZoPathAddPrimitive(nullptr, 3, nullptr, d.table, d.view, 0, 0, &kDrag) == 1;
      }),
      on_doc("ZoPathPolyGet", [](Doc& d) {
        return ZoPathPolyGet(7, 10, nullptr, &d.out, d.view, &kDrag, 1, 1) == 1;
      }),
      on_doc("ZoPathPolyAdd", [](Doc& d) {
        return ZoPathPolyAdd(nullptr, 5, 2, nullptr, d.table, d.view, &kDrag, 0, 0) == 1;
      }),
      on_doc("ZoPathAppendEmptySubpath", [](Doc& d) {
        ZoPathAppendEmptySubpath(d.table->groups[0].first);
        return d.table->groups[0].first->next != nullptr;
      }),
      on_doc("ZoPathMouseProcDraw (start)", [](Doc& d) {
        ZoPlatSetCapture(0);
        const uint32_t r =
            ZoPathMouseProcDraw(nullptr, d.table, d.view, ZOMSG_LBUTTONDOWN, 0, POINT{5, 5}, 2, 1);
        ZoPathMouseProcDraw(nullptr, d.table, d.view, ZOMSG_KEYDOWN, ZOKEY_ESCAPE, POINT{}, 2, 1);
        return r == 0;
      }),
      making("ZoPathCreateFromCircle", [] {
        const RECT r{0, 0, 10, 10};
        return ZoPathCreateFromCircle(&r, 2.0);
      }),
      making("ZoPathCreateFromPoints", [&] { return ZoPathCreateFromPoints(pts, 3, 1.0); }),
      making("ZoPathCreateBezierFromPointDBs",
             [&] { return ZoPathCreateBezierFromPointDBs(bez, 4); }),
      making("ZoPathComposePureBezierSubpath",
             [&] { return ZoPathComposePureBezierSubpath(bez, 4); }),
  };
  zo_test::run_alloc_sweep(cases);
}

TEST_F(ShapesAllocFailureTest, TheBatchEndsBeforeTheRecordThatCannotGrow) {
  const POINT open[3] = {{0, 0}, {9, 0}, {9, 9}};
  for (uint32_t fail = 1; fail <= 3; ++fail) {
    SCOPED_TRACE(fail);
    const size_t live = ZoPlatHeapLiveBlocks();
    ZoPathCreateFrom_Begin();
    for (int i = 0; i < 3; ++i) ZoPathCreateFromPoints(open, 3, 1.0 + i);
    zo32commClearReports();
    ZoPlatFailAllocation(fail);
    ZoPath* head = ZoPathCreateFrom_End();
    ZoPlatFailAllocation(0);
    EXPECT_EQ(ZoPathGetSubpathsNumber(head), fail - 1);
    for (ZoPath* p = head; p != nullptr; p = p->next) EXPECT_EQ(p->count, 4u);
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), live + fail - 1);
    EXPECT_TRUE(reports().size() == 1 && reports()[0].code == 1001u);
    EXPECT_EQ(ZoPathCreateFrom_End(), nullptr);  // the batch is off
    zo_test::release_list(head);
  }
}

TEST_F(ShapesAllocFailureTest, PenToolGrowthEndsTheDrawingWithItsNodes) {
  for (int clicks : {0, 63}) {  // the record's first growth; the points buffer's
    SCOPED_TRACE(clicks);
    zo_test::PenSession s(ZOPEN_CLOSING);
    for (int i = 0; i <= clicks; ++i) s.click(10 + i * 15, 100 + (i % 2) * 30);
    const uint32_t count = s.path()->count;
    zo32commClearReports();
    ZoPlatTraceClear();
    ZoPlatFailAllocation(1);
    EXPECT_EQ(s.click(20, 300), 1u);
    EXPECT_FALSE(ZoPlatAllocationFailurePending());
    EXPECT_EQ(s.path()->count, count);
    EXPECT_EQ(s.path()->flags, ZOF_SELECTED);
    EXPECT_EQ(ZoPlatGetCapture(), 0u);
    EXPECT_TRUE(reports().size() == 1 && reports()[0].code == 1001u);
    EXPECT_NE(trace_text().find("ptsbuf released"), std::string::npos);
    EXPECT_TRUE(s.clean());
  }
}

}  // namespace
