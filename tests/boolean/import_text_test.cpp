// The path import text reader.
#include "boolean/import_text.hpp"

#include <gtest/gtest.h>

#include <string>

#include "test_support.hpp"

namespace {

class ImportText : public ZoTest {
 protected:
  ZoPath* read(const std::string& text) {
    list_ = zo::import_text::read_paths(text.data(), text.size());
    return list_;
  }
  void TearDown() override {
    while (list_ != nullptr) {
      ZoPath* next = list_->next;
      ZoPathDeletePtrSingle(list_);
      list_ = next;
    }
    ZoTest::TearDown();
  }
  ZoPath* list_ = nullptr;
};

TEST_F(ImportText, TriangleBecomesOneSelectedClosedSubpath) {
  ZoPath* p = read("3 0\n0 0 6\n100 0 2\n100 100 3\n");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->count, 3u);
  EXPECT_EQ(p->flags, ZOF_SELECTED);
  EXPECT_EQ(p->next, nullptr);
  EXPECT_EQ(p->joinNext, nullptr);
  const PathNode* n = ZoPathNodes(p);
  EXPECT_EQ(+n[0].type, 6);
  EXPECT_EQ(+n[1].pt.x, 100 << 16);
  EXPECT_EQ(+n[2].type, 3);
  EXPECT_EQ(+n[2].pt.y, 100 << 16);
}

struct JoinCase {
  int first, second, third;
  bool joined12, joined23;
};

TEST_F(ImportText, JoinFlagsJoinRunsOfFlaggedSubpaths) {
  for (JoinCase c : {JoinCase{1, 1, 1, true, true},
                     {0, 1, 1, false, true},
                     {1, 0, 1, false, false},
                     {0, 0, 0, false, false}}) {
    std::string text;
    for (int j : {c.first, c.second, c.third}) text += "1 " + std::to_string(j) + "\n5 5 6\n";
    ZoPath* a = read(text);
    ASSERT_NE(a, nullptr);
    ZoPath* b = a->next;
    ZoPath* d = b->next;
    EXPECT_EQ(a->selNext, b);
    EXPECT_EQ(d->selPrev, b);
    EXPECT_EQ(a->joinNext == b && b->joinPrev == a, c.joined12);
    EXPECT_EQ(b->joinNext == d && d->joinPrev == b, c.joined23);
    TearDown();
  }
}

TEST_F(ImportText, CommentsRecordsAcrossLinesAndEarlyEnds) {
  ZoPath* p = read(
      "% comment\n\n/*\n2 0\n9 9 6\n*/\n2, 0\n"  // "2, 0" does not give two numbers
      "2 0\n1.5 -2.25\n6 3 4 2\n1 0\n7 7");      // the last record is cut short
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->next, nullptr);
  ASSERT_EQ(p->count, 2u);
  EXPECT_EQ(+ZoPathNodes(p)[0].pt.x, DbToFix(1.5));
  EXPECT_EQ(+ZoPathNodes(p)[0].pt.y, DbToFix(-2.25));
  EXPECT_EQ(+ZoPathNodes(p)[1].type, 2);
  EXPECT_EQ(read("% nothing\n"), nullptr);
  EXPECT_EQ(read(""), nullptr);
}

TEST_F(ImportText, OutOfMemoryKeepsNothing) {
  size_t live = ZoPlatHeapLiveBlocks();
  for (uint32_t n = 1; n < 6; ++n) {
    ZoPlatFailAllocation(n);
    ZoPath* p = read("1 0\n0 0 6\n1 0\n1 1 6\n");
    ZoPlatFailAllocation(0);
    if (p == nullptr) {
      EXPECT_EQ(ZoPlatHeapLiveBlocks(), live);
    }
    TearDown();
  }
}

}  // namespace
