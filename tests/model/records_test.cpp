// Subpath records, the path heap and the fixed-point helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "test_support.hpp"
#include "zo32comm.h"

namespace {

using zo_test::point_of;

class RecordsTest : public ZoTest {};

uint32_t capacity_of(const ZoPath* p) { return static_cast<uint32_t>(ZoPlatHeapBlockSize(p) / 10 - 7); }

TEST_F(RecordsTest, LoadingGreetsTheHostOnceAndInitIsIdempotent) {
  EXPECT_EQ(zo32commInitMsgCalls(), 1u);
  EXPECT_NE(zo32commInitMsgModule(), nullptr);
  size_t live = ZoPlatHeapLiveBlocks();
  EXPECT_EQ(ZoPathInit(), 0x30000u);
  EXPECT_EQ(ZoPathInit(), 0x30000u);
  EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);  // still the same heap with the same blocks
}

TEST_F(RecordsTest, NodesGrowInStepsOfHundredAndPurgeTrims) {
  ZoPath* p = ZoPathCreate();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(ZoPlatHeapBlockSize(p), 1070u);
  EXPECT_EQ(p->count, 0u);
  EXPECT_EQ(p->prev, nullptr);
  EXPECT_EQ(p->joinNext, nullptr);
  EXPECT_EQ(p->flags, 0u);
  for (int32_t i = 0; i < 101; ++i) {
    Ptfx pt{i << 16, -i};
    ASSERT_EQ(ZoPathAddPoint(&p, &pt, static_cast<uint16_t>(i == 0 ? PT_MOVETO : PT_LINETO)), 1u);
  }
  EXPECT_EQ(ZoPlatHeapBlockSize(p), 2070u);
  EXPECT_EQ(capacity_of(p), 200u);
  for (int32_t i = 0; i < 101; ++i) {
    EXPECT_EQ(point_of(p, i).x, i << 16);
  }
  ASSERT_EQ(ZoPathPurge(&p), 1u);
  EXPECT_EQ(ZoPlatHeapBlockSize(p), (101u + 7) * 10);
  // Capacity is read from the allocation, so the next node grows the record again.
  Ptfx pt{1, 2};
  ASSERT_EQ(ZoPathAddPoint(&p, &pt, PT_LINETO), 1u);
  EXPECT_EQ(p->count, 102u);
  EXPECT_EQ(capacity_of(p), 200u);
  EXPECT_EQ(point_of(p, 101).y, 2);
  EXPECT_EQ(point_of(p, 100).x, 100 << 16);

  ZoPath* none = nullptr;
  EXPECT_EQ(ZoPathAddPoint(&none, &pt, PT_LINETO), 0u);
  EXPECT_EQ(ZoPathAddPoint(nullptr, &pt, PT_LINETO), 0u);
  EXPECT_EQ(ZoPathPurge(&none), 0u);
  EXPECT_EQ(ZoPathDeletePtr(p, 0), 1u);
}

TEST_F(RecordsTest, DeleteRefusesWhatIsNotALiveRecord) {
  size_t live = ZoPlatHeapLiveBlocks();
  ZoPath* p = ZoPathCreate();
  ZoPath onStack{};
  void* foreign = std::malloc(1070);
  EXPECT_EQ(ZoPathDeletePtr(nullptr, 0), 0u);
  EXPECT_EQ(ZoPathDeletePtr(&onStack, 0), 0u);
  EXPECT_EQ(ZoPathDeletePtr(static_cast<ZoPath*>(foreign), 0), 0u);
  EXPECT_EQ(ZoPathDeletePtrSingle(reinterpret_cast<ZoPath*>(reinterpret_cast<char*>(p) + 10)), 0u);
  EXPECT_EQ(ZoPathDeletePtrSingle(p), 1u);
  EXPECT_EQ(ZoPathDeletePtr(p, 0), 0u);  // already released
  ZoPath* stranger = &onStack;
  Ptfx pt{1, 1};
  EXPECT_EQ(ZoPathAddPoint(&stranger, &pt, PT_MOVETO), 0u) << "not grown: not a heap record";
  EXPECT_EQ(stranger, &onStack);
  EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);
  std::free(foreign);
}

TEST_F(RecordsTest, FixedPointConversions) {
  struct Case {
    double in;
    int32_t out;
  };
  const Case cases[] = {{1.0, 65536},         {-0.5, -32768},        {0.99999, 65535},
                        {-0.99999, -65535},   {32767.5, 2147450880}, {-32768.0, INT32_MIN},
                        {40000.0, INT32_MIN}, {-40000.0, INT32_MIN}, {0.0, 0}};
  for (const Case& c : cases) EXPECT_EQ(DbToFix(c.in), c.out) << c.in;
  EXPECT_EQ(DbToFix(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(FixToDb(65536), 1.0);
  EXPECT_EQ(FixToDb(-1), -1.52587890625e-5);
  Ptfx sum = PtfxAdd(Ptfx{0x7FFFFFFF, 0}, Ptfx{1, 0});
  EXPECT_EQ(sum.x, INT32_MIN);
  EXPECT_EQ(sum.y, 0);
}

TEST_F(RecordsTest, TablesStartWithOneEmptyGroupAndReleaseTheirLists) {
  size_t live = ZoPlatHeapLiveBlocks();
  EXPECT_EQ(ZoPathNew(nullptr), 0u);
  ZoPathTbl* t = reinterpret_cast<ZoPathTbl*>(1);
  ASSERT_EQ(ZoPathNew(&t), 1u);
  EXPECT_EQ(t->curGroup, 0u);
  EXPECT_EQ(t->shown, 0x10000u);
  EXPECT_EQ(t->groupCount, 1u);
  EXPECT_EQ(t->groups[0].first, nullptr);
  EXPECT_EQ(t->groups[0].name[0], '\0');
  EXPECT_EQ(t->lpDB, nullptr);
  ZoPath* a = ZoPathCreate();
  ZoPath* b = ZoPathCreate();
  ZoPathChainPaths(&a, b);
  ZoPathAssignActivePath(t, b);
  EXPECT_EQ(t->groups[0].first, a);
  EXPECT_EQ(ZoPathTblDelete(t), 1u);
  EXPECT_EQ(ZoPathTblDelete(nullptr), 0u);
  EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);
}

TEST_F(RecordsTest, PointRecordsBecomeClosedSelectedSubpaths) {
  struct Case {
    std::vector<ZoPathR2VPoint> in;
    std::vector<uint16_t> types;  // expected node types
  };
  const Case cases[] = {
      // First and last differ: a closing line back to the start is added.
      {{{0, 0, 2}, {10, 0, 2}, {10, 10, 2}}, {6, 2, 2, 3}},
      // Closed by its own last point: the last node closes with its kind.
      {{{0, 0, 2}, {10, 0, 4}, {10, 10, 4}, {0, 0, 4}}, {6, 4, 4, 5}},
      {{{0, 0, 2}, {10, 0, 2}, {0, 0, 2}}, {6, 2, 3}},
      {{{0, 0, 2}, {10, 0, 0x12}, {0, 0, 0x12}}, {6, 0x12, 0x12}},
      {{{1, 2, 0}}, {6}},
  };
  for (const Case& c : cases) {
    ZoPath* p = ZoPathR2VToZoPath(static_cast<int32_t>(c.in.size()), c.in.data());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->flags, 0x80000000u);
    ASSERT_EQ(p->count, c.types.size());
    EXPECT_EQ(ZoPlatHeapBlockSize(p), (c.types.size() + 7) * 10);
    for (size_t i = 0; i < c.types.size(); ++i) EXPECT_EQ(ZoPathNodes(p)[i].type, c.types[i]) << i;
    // The figure ends where it starts.
    EXPECT_EQ(point_of(p, c.types.size() - 1).x, point_of(p, 0).x);
    EXPECT_EQ(point_of(p, c.types.size() - 1).y, point_of(p, 0).y);
    ZoPathDeletePtr(p, 0);
  }
  EXPECT_EQ(ZoPathR2VToZoPath(0, nullptr), nullptr);
}

}  // namespace
