// Stored blocks, subdivision and length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "test_support.hpp"

namespace {

using zo_test::point_of;
using zo_test::random_list;
using zo_test::release_list;
using zo_test::snapshot_list;

class StorageTest : public ZoTest {};

std::vector<uint8_t> bytes_of(HGLOBAL block) {
  auto* p = static_cast<uint8_t*>(ZoPlatGlobalLock(block));
  std::vector<uint8_t> out(p, p + ZoPlatGlobalSize(block));
  ZoPlatGlobalUnlock(block);
  return out;
}

HGLOBAL block_of(const std::vector<uint8_t>& bytes) {
  HGLOBAL h = ZoPlatGlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!bytes.empty()) std::memcpy(ZoPlatGlobalLock(h), bytes.data(), bytes.size());
  ZoPlatGlobalUnlock(h);
  return h;
}

// An open line carrying outline information with two template lists.
ZoPath* line_with_arrows(std::mt19937& rng) {
  ZoPath* line = random_list(rng, 1);
  ZoPathOutlineInfo* info = nullptr;
  EXPECT_EQ(ZoPathAssignOutlineInfo(1, 2, random_list(rng, 2), 3, 4, nullptr, 5, random_list(rng, 1), 6, 7, 8,
                                    9, &info),
            1u);
  EXPECT_EQ(ZoPathSetOutlineInfo(line, info), 1u);
  return line;
}

std::string snapshot_with_info(ZoPath* list) {
  std::string s = snapshot_list(list);
  ZoPathOutlineInfo* info = nullptr;
  if (ZoPathGetOutlineInfo(list, &info) == 1) {
    s += "info " + std::to_string(info->startKind) + "," + std::to_string(info->endSize) + "," +
         std::to_string(info->values[3]) + "\n" + snapshot_list(info->startTemplate) + snapshot_list(info->endTemplate) +
         snapshot_list(info->thirdTemplate);
  }
  return s;
}

TEST_F(StorageTest, RandomListsReadBackIdentical) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 40; ++trial) {
    ZoPath* list = trial % 4 == 0 ? line_with_arrows(rng) : random_list(rng, 1 + trial % 9);
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    ASSERT_EQ(ZoPathFlatten(list, &size, &block), 1u);
    EXPECT_EQ(size, ZoPlatGlobalSize(block));
    uint32_t sizeOnly = 0;
    ASSERT_EQ(ZoPathFlatten(list->next != nullptr ? list->next : list, &sizeOnly, nullptr), 1u);
    EXPECT_EQ(sizeOnly, size);
    ZoPath* back = nullptr;
    ASSERT_EQ(ZoPathUnFlatten(&block, &back), 1u);
    EXPECT_EQ(snapshot_with_info(back), snapshot_with_info(list));  // versions: both stamped 0x500
    // The copy is a block of its own: writing it again gives the same bytes.
    HGLOBAL again = nullptr;
    ASSERT_EQ(ZoPathFlatten(back, &size, &again), 1u);
    EXPECT_EQ(bytes_of(again), bytes_of(block));
    ZoPlatGlobalFree(block);
    ZoPlatGlobalFree(again);
    release_list(list);
    release_list(back);
  }
}

TEST_F(StorageTest, BlockLayoutAndOlderLayouts) {
  ZoPath* a = ZoPathCreate();
  ZoPath* b = ZoPathCreate();
  Ptfx pt{65536, 131072};
  for (int i = 0; i < 3; ++i) ZoPathAddPoint(&a, &pt, i == 0 ? PT_MOVETO : PT_LINETO);
  for (int i = 0; i < 4; ++i) ZoPathAddPoint(&b, &pt, i == 0 ? PT_MOVETO : PT_BEZIERTO);
  ZoPathChainPaths(&a, b);
  uint32_t size = 0;
  HGLOBAL block = nullptr;
  ASSERT_EQ(ZoPathFlatten(a, &size, &block), 1u);
  EXPECT_EQ(size, 182u);
  std::vector<uint8_t> bytes = bytes_of(block);
  uint32_t word;
  std::memcpy(&word, bytes.data(), 4);
  EXPECT_EQ(word, 32u);
  EXPECT_EQ(a->version, 0x500u);
  ZoPlatGlobalFree(block);
  release_list(a);

  // Hand-made blocks of one record in the 0x301 layout and in the oldest layout: the old flag
  // word is mapped and a Bezier selection mark moves to the segment's end point.
  auto record = [](bool oldest) {
    std::vector<uint8_t> r(oldest ? 32 : 40, 0);
    uint32_t header[10] = {0x301, 0, 0, 0, 0, 0, 0, 4, 0x88800000u, 7};
    if (oldest) {
      uint32_t old[8] = {0, 0, 0, 0, 0, 0, 4, 0x88800000u};
      std::memcpy(r.data(), old, 32);
    } else {
      std::memcpy(r.data(), header, 40);
    }
    const uint16_t types[4] = {PT_MOVETO, PT_BEZIERTO | PT_SELECTED, PT_BEZIERTO, PT_BEZIERTO};
    for (uint16_t t : types) {
      uint8_t node[10] = {};
      std::memcpy(node, &t, 2);
      r.insert(r.end(), node, node + 10);
    }
    std::vector<uint8_t> b(24, 0);
    uint32_t d = 24, tag = 5, rs = static_cast<uint32_t>(r.size());
    std::memcpy(b.data(), &d, 4);
    std::memcpy(b.data() + 8, &tag, 4);
    std::memcpy(b.data() + 12, &rs, 4);
    b.insert(b.end(), r.begin(), r.end());
    return b;
  };
  for (bool oldest : {false, true}) {
    HGLOBAL h = block_of(record(oldest));
    ZoPath* p = nullptr;
    ZoPlatTraceClear();
    ASSERT_EQ(ZoPathUnFlatten(&h, &p), 1u);
    EXPECT_EQ(p->flags, 0x80100000u);
    EXPECT_EQ(p->version, 0x500u);
    EXPECT_EQ(p->primitiveKind, oldest ? 0u : 7u);
    EXPECT_EQ(ZoPathNodes(p)[1].type, PT_BEZIERTO);
    EXPECT_EQ(ZoPathNodes(p)[3].type, PT_BEZIERTO | PT_SELECTED);
    EXPECT_NE(trace_text().find("- CheckPathsBeforeUPI5(): PT_SELECTED flag adjusted.\n"), std::string::npos);
    ZoPathDeletePtr(p, 0);
    ZoPlatGlobalFree(h);
  }
  // An empty directory reads back as no list at all.
  HGLOBAL empty = block_of(std::vector<uint8_t>(16, 0));
  std::memcpy(ZoPlatGlobalLock(empty), "\x10\0\0\0", 4);
  ZoPath* none = reinterpret_cast<ZoPath*>(1);
  EXPECT_EQ(ZoPathUnFlatten(&empty, &none), 1u);
  EXPECT_EQ(none, nullptr);
  ZoPlatGlobalFree(empty);
}

TEST_F(StorageTest, DamagedBlocksAreRefusedOrReadSafely) {
  std::mt19937 rng(5);
  ZoPath* list = line_with_arrows(rng);
  ZoPath* more = random_list(rng, 5);
  ZoPathChainPaths(&list, more);
  uint32_t size = 0;
  HGLOBAL block = nullptr;
  ASSERT_EQ(ZoPathFlatten(list, &size, &block), 1u);
  std::vector<uint8_t> good = bytes_of(block);
  size_t heap = ZoPlatHeapLiveBlocks(), mem = ZoPlatMemLiveBlocks();
  auto read = [&](const std::vector<uint8_t>& bytes) {
    HGLOBAL h = block_of(bytes);
    ZoPath* p = nullptr;
    uint32_t ok = ZoPathUnFlatten(&h, &p);
    if (ok == 0) {
      EXPECT_EQ(p, nullptr);
    }
    release_list(p);
    ZoPlatGlobalFree(h);
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), heap);
    EXPECT_EQ(ZoPlatMemLiveBlocks(), mem);
    return ok;
  };
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(read(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))), 0u) << cut;
  }
  std::uniform_int_distribution<size_t> where(0, good.size() - 1);
  for (int flip = 0; flip < 2000; ++flip) {
    std::vector<uint8_t> bad = good;
    for (int k = 0; k < 1 + flip % 4; ++k) bad[where(rng)] ^= static_cast<uint8_t>(1u << (flip % 8));
    read(bad);
  }
  HGLOBAL none = nullptr;
  ZoPath* p = nullptr;
  EXPECT_EQ(ZoPathUnFlatten(&none, &p), 0u);
  EXPECT_EQ(ZoPathUnFlatten(nullptr, &p), 0u);
  ZoPlatGlobalFree(block);
  release_list(list);
}

PointDB cubic_at(const PointDB c[4], double t) {
  double u = 1 - t;
  return {u * u * u * c[0].x + 3 * u * u * t * c[1].x + 3 * u * t * t * c[2].x + t * t * t * c[3].x,
          u * u * u * c[0].y + 3 * u * u * t * c[1].y + 3 * u * t * t * c[2].y + t * t * t * c[3].y};
}

TEST_F(StorageTest, SubdivisionKeepsTheShapeAndLengthMatchesIntegration) {
  ZoPath* line = ZoPathCreate();
  Ptfx a{0, 0}, b{10 << 16, 0};
  ZoPathAddPoint(&line, &a, PT_MOVETO);
  ZoPathAddPoint(&line, &b, PT_LINETO);
  line = ZoPathSubdivide(nullptr, line, 0, 32768);
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->count, 3u);
  EXPECT_EQ(ZoPathNodes(line)[1].type, PT_LINETO);
  EXPECT_NEAR(FixToDb(point_of(line, 1).x), 5.0001, 1e-4);
  EXPECT_EQ(ZoPathSubdivide(nullptr, line, 2, 100), nullptr);
  EXPECT_TRUE(reports().empty()) << "past the last segment: refused without a report";
  ZoPathDeletePtr(line, 0);

  std::mt19937 rng(17);
  std::uniform_real_distribution<double> coord(-500, 500);
  std::uniform_int_distribution<int> param(0, 65535);
  for (int trial = 0; trial < 50; ++trial) {
    // A selected cubic between two neighbours in a table: splitting may move it.
    ZoPathTbl* table = nullptr;
    ZoPathNew(&table);
    ZoPath* p = ZoPathCreate();
    PointDB c[4];
    for (int i = 0; i < 4; ++i) {
      c[i] = {coord(rng), coord(rng)};
      Ptfx pt{DbToFix(c[i].x), DbToFix(c[i].y)};
      ZoPathAddPoint(&p, &pt, i == 0 ? PT_MOVETO : PT_BEZIERTO);
      c[i] = {FixToDb(pt.x), FixToDb(pt.y)};
    }
    ZoPathPurge(&p);
    ZoPath* before = ZoPathCreate();
    ZoPath* after = ZoPathCreate();
    ZoPath* list[] = {before, p, after};
    ZoPathChainZoPath(3, list);
    p->flags = ZOF_SELECTED;
    ZoPathAssignActivePath(table, before);
    ZoPathAssignSelectedPath(table, p);
    int t = param(rng);
    ZoPath* q = ZoPathSubdivide(table, p, 0, static_cast<uint16_t>(t));
    ASSERT_NE(q, nullptr);
    ASSERT_EQ(q->count, 7u);
    EXPECT_EQ(before->next, q);
    EXPECT_EQ(after->prev, q);
    EXPECT_EQ(before->joinNext, q);
    EXPECT_EQ(table->groups[0].selected, q);
    // Both halves trace the original curve.
    PointDB left[4], right[4];
    for (int i = 0; i < 4; ++i) {
      left[i] = {FixToDb(point_of(q, i).x), FixToDb(point_of(q, i).y)};
      right[i] = {FixToDb(point_of(q, 3 + i).x), FixToDb(point_of(q, 3 + i).y)};
    }
    double u = t / 65535.0;
    // The halves' control points are rounded to the 16.16 grid, which moves any point of a
    // half by at most half a unit in each coordinate.
    constexpr double kOneUnit = 1.0 / 65536;
    for (double s = 0; s <= 1.0; s += 0.125) {
      PointDB l = cubic_at(left, s), r = cubic_at(right, s), ol = cubic_at(c, s * u), orr = cubic_at(c, u + s * (1 - u));
      EXPECT_NEAR(l.x, ol.x, kOneUnit);
      EXPECT_NEAR(l.y, ol.y, kOneUnit);
      EXPECT_NEAR(r.x, orr.x, kOneUnit);
      EXPECT_NEAR(r.y, orr.y, kOneUnit);
    }
    // Length against a fine numeric integration of the same cubic.
    double integral = 0;
    PointDB prev = c[0];
    for (int s = 1; s <= 100000; ++s) {
      PointDB here = cubic_at(c, s / 100000.0);
      integral += std::hypot(here.x - prev.x, here.y - prev.y);
      prev = here;
    }
    // Each piece of the measure stops at its control polygon, within 0.1 pixel of its chord,
    // so the result may only overshoot the arc, and by little.
    double length = ZoPathGetLength(q);
    EXPECT_GE(length, integral - 1e-6);
    EXPECT_LE(length, integral * 1.002 + 0.1);
    ZoPathTblDelete(table);
  }
  ZoPath* poly = ZoPathCreate();
  const Ptfx pts[] = {{0, 0}, {3 << 16, 4 << 16}, {3 << 16, 10 << 16}};
  for (int i = 0; i < 3; ++i) ZoPathAddPoint(&poly, &pts[i], i == 0 ? PT_MOVETO : PT_LINETO);
  EXPECT_DOUBLE_EQ(ZoPathGetLength(poly), 11.0);
  ZoPathDeletePtr(poly, 0);
  ZoPathDoTrimmedRibbon(3);
  EXPECT_EQ(ZoPathIsTrimmedRibbonEnabled(), 3);
  ZoPathDoTrimmedRibbon(0);
}

}  // namespace
