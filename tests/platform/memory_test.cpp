// The platform extensions reached through the public interface: global memory blocks, the
// debug trace and the allocation-failure switch with its live-block counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "alloc_sweep.hpp"
#include "test_support.hpp"

namespace {

using zo_test::live_counts;
using zo_test::LiveCounts;

class MemoryTest : public ZoTest {};

// ---- Global memory blocks -----------------------------------------------------------------

unsigned char pattern(size_t i) { return static_cast<unsigned char>(i * 7 + 3); }

void fill(HGLOBAL block, size_t size) {
  auto* bytes = static_cast<unsigned char*>(ZoPlatGlobalLock(block));
  for (size_t i = 0; i < size; ++i) bytes[i] = pattern(i);
  ZoPlatGlobalUnlock(block);
}

// Index of the first byte in [from, to) that differs from the fill pattern (or from zero),
// or `to` when all match.
size_t first_mismatch(HGLOBAL block, size_t from, size_t to, bool zeros) {
  auto* bytes = static_cast<const unsigned char*>(ZoPlatGlobalLock(block));
  size_t i = from;
  while (i < to && bytes[i] == (zeros ? 0 : pattern(i))) ++i;
  ZoPlatGlobalUnlock(block);
  return i;
}

// Each kind of block through its whole life: allocate, lock, a failed and two successful
// reallocations, free, and the dead handle afterwards.
TEST_F(MemoryTest, GlobalBlocksOfEveryKindKeepTheirContentsThroughTheirLife) {
  struct Case {
    const char* name;
    uint32_t flags;
    size_t size;
  };
  const Case cases[] = {{"fixed", GMEM_FIXED, 24},       {"fixed zeroed", GPTR, 1000},
                        {"fixed empty", GPTR, 0},        {"movable", GMEM_MOVEABLE, 24},
                        {"movable zeroed", GHND, 70000}, {"movable empty", GHND, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool movable = (c.flags & GMEM_MOVEABLE) != 0;
    const size_t live = ZoPlatGlobalLiveBlocks();
    HGLOBAL block = ZoPlatGlobalAlloc(c.flags, c.size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live + 1);
    EXPECT_EQ(ZoPlatGlobalSize(block), c.size);
    void* bytes = ZoPlatGlobalLock(block);
    ASSERT_NE(bytes, nullptr);
    // A fixed block's handle is its address; a movable block's handle is not.
    EXPECT_EQ(bytes == static_cast<void*>(block), !movable);
    if (c.flags & GMEM_ZEROINIT) {
      EXPECT_EQ(first_mismatch(block, 0, c.size, true), c.size);
    }
    // Locks nest: the same address each time, and only the last unlock ends the lock.
    EXPECT_EQ(ZoPlatGlobalLock(block), bytes);
    EXPECT_EQ(ZoPlatGlobalLock(block), bytes);
    for (int32_t expected : {1, 1, 0, 0}) EXPECT_EQ(ZoPlatGlobalUnlock(block), expected);

    fill(block, c.size);
    ZoPlatFailAllocation(1);
    EXPECT_EQ(ZoPlatGlobalReAlloc(block, c.size + 4096, GMEM_ZEROINIT), nullptr);
    EXPECT_EQ(ZoPlatAllocationFailurePending(), 0u);
    EXPECT_EQ(ZoPlatGlobalSize(block), c.size) << "a failed realloc leaves the block as it was";
    EXPECT_EQ(first_mismatch(block, 0, c.size, false), c.size);

    const size_t grown = c.size * 2 + 37;
    HGLOBAL bigger = ZoPlatGlobalReAlloc(block, grown, GMEM_ZEROINIT);
    ASSERT_NE(bigger, nullptr);
    if (movable) {
      EXPECT_EQ(bigger, block);  // a movable block keeps its handle
    } else if (bigger != block) {
      EXPECT_EQ(ZoPlatGlobalSize(block), 0u);  // a fixed block that moved left its old handle
    }
    EXPECT_EQ(ZoPlatGlobalSize(bigger), grown);
    EXPECT_EQ(first_mismatch(bigger, 0, c.size, false), c.size);
    EXPECT_EQ(first_mismatch(bigger, c.size, grown, true), grown);
    const size_t shrunk = c.size / 2;
    block = ZoPlatGlobalReAlloc(bigger, shrunk, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ZoPlatGlobalSize(block), shrunk);
    EXPECT_EQ(first_mismatch(block, 0, shrunk, false), shrunk);
    EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live + 1);

    EXPECT_EQ(ZoPlatGlobalFree(block), nullptr);
    EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live);
    // The handle is dead now: every call recognises it without touching it.
    EXPECT_EQ(ZoPlatGlobalSize(block), 0u);
    EXPECT_EQ(ZoPlatGlobalLock(block), nullptr);
    EXPECT_EQ(ZoPlatGlobalFree(block), block);
  }
}

TEST_F(MemoryTest, HandlesThatAreNotLiveBlocksAreRefused) {
  int onStack = 0;
  std::vector<unsigned char> heapBytes(64);
  HGLOBAL strangers[] = {nullptr, reinterpret_cast<HGLOBAL>(&onStack),
                         reinterpret_cast<HGLOBAL>(heapBytes.data() + 16)};
  size_t live = ZoPlatGlobalLiveBlocks();
  for (HGLOBAL h : strangers) {
    EXPECT_EQ(ZoPlatGlobalFree(h), h);
    EXPECT_EQ(ZoPlatGlobalLock(h), nullptr);
    EXPECT_EQ(ZoPlatGlobalUnlock(h), 0);
    EXPECT_EQ(ZoPlatGlobalSize(h), 0u);
    EXPECT_EQ(ZoPlatGlobalReAlloc(h, 8, GMEM_ZEROINIT), nullptr);
  }
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live);
}

// ---- Allocation-failure switch ------------------------------------------------------------

// n = 0 never fails; n past the last step leaves a failure pending, which 0 switches off.
TEST_F(MemoryTest, FailAllocationFailsExactlyTheNthAllocationOfAnyAllocator) {
  const LiveCounts before = live_counts();
  for (uint32_t n = 0; n <= 7; ++n) {
    SCOPED_TRACE("failing allocation " + std::to_string(n));
    std::vector<HGLOBAL> globals;
    std::vector<ZoPath*> records;
    std::vector<CoordStruct*> views;
    auto keep = [](auto& made, auto* block) {
      if (block != nullptr) made.push_back(block);
      return block != nullptr;
    };
    // One allocation from each allocator: global memory, the path heap, general-purpose memory.
    auto allocate = [&](uint32_t step) {
      RECT window{0, 0, 10, 10};
      CoordStruct* view = nullptr;
      if (step % 3 == 0) return keep(globals, ZoPlatGlobalAlloc(GHND, 16));
      if (step % 3 == 1) return keep(records, ZoPathCreate());
      ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &view);
      return keep(views, view);
    };
    ZoPlatFailAllocation(n);
    for (uint32_t i = 1; i <= 6; ++i) {
      EXPECT_EQ(ZoPlatAllocationFailurePending(), n >= i ? 1u : 0u) << "before step " << i;
      EXPECT_EQ(allocate(i - 1), i != n) << "step " << i;
    }
    EXPECT_EQ(ZoPlatAllocationFailurePending(), n > 6 ? 1u : 0u);
    ZoPlatFailAllocation(0);
    EXPECT_EQ(ZoPlatAllocationFailurePending(), 0u);
    EXPECT_TRUE(allocate(0)) << "no failure after switching off";
    EXPECT_EQ(globals.size() + records.size() + views.size(), n >= 1 && n <= 6 ? 6u : 7u);
    EXPECT_EQ(live_counts(), (LiveCounts{before.heap + records.size(), before.mem + views.size(),
                                         before.global + globals.size()}));
    for (HGLOBAL h : globals) ZoPlatGlobalFree(h);
    for (ZoPath* p : records) ZoPathDeletePtrSingle(p);
    for (CoordStruct* v : views) ZoPathDeleteCoordStruct(v);
    EXPECT_EQ(live_counts(), before);
  }
}

// ---- Debug trace --------------------------------------------------------------------------

// A subpath whose last node has no type: ZoPathDisjoinAll corrects it and traces one message.
class TraceTest : public ZoTest {
 protected:
  void SetUp() override {
    ZoTest::SetUp();
    path_ = ZoPathCreate();
    Ptfx a{0, 0}, b{65536, 65536};
    ASSERT_EQ(ZoPathAddPoint(&path_, &a, PT_MOVETO), 1u);
    ASSERT_EQ(ZoPathAddPoint(&path_, &b, PT_LINETO), 1u);
    ASSERT_EQ(ZoPathAddPoint(&path_, &b, 0), 1u);
    emit();
    message_ = trace_text();
    ASSERT_NE(message_.find("Invalid point type"), std::string::npos) << message_;
    ZoPlatTraceClear();
  }
  void TearDown() override {
    ZoPlatSetTraceCallback(nullptr, nullptr);
    ZoPathDeletePtrSingle(path_);
    ZoTest::TearDown();
  }
  void emit() {
    ZoPathNodes(path_)[path_->count - 1].type = 0;
    ASSERT_EQ(ZoPathDisjoinAll(path_), 1u);
  }

  ZoPath* path_ = nullptr;
  std::string message_;  // the text one emit() adds to the trace
};

TEST_F(TraceTest, ReadsBackWholeOrAsATerminatedPrefixAndClears) {
  EXPECT_EQ(ZoPlatTraceRead(nullptr, 0), 0u);
  emit();
  emit();
  const std::string both = message_ + message_;
  EXPECT_EQ(trace_text(), both);
  for (size_t size : {size_t(1), size_t(2), size_t(8), both.size(), both.size() + 1}) {
    std::vector<char> buffer(size + 4, '#');
    EXPECT_EQ(ZoPlatTraceRead(buffer.data(), size), both.size()) << size;
    EXPECT_EQ(std::string(buffer.data()), both.substr(0, std::min(size - 1, both.size())));
    EXPECT_EQ(std::string(buffer.begin() + static_cast<long>(size), buffer.end()), "####") << size;
  }
  ZoPlatTraceClear();
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(ZoPlatTraceRead(buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
}

TEST_F(TraceTest, CallbackReceivesEachMessageUntilRemoved) {
  std::vector<std::string> seen;
  ZoPlatSetTraceCallback(
      [](const char* message, void* user) {
        static_cast<std::vector<std::string>*>(user)->emplace_back(message);
      },
      &seen);
  emit();
  emit();
  EXPECT_EQ(seen, (std::vector<std::string>{message_, message_}));
  EXPECT_EQ(trace_text(), message_ + message_);  // the text is still kept as well
  ZoPlatSetTraceCallback(nullptr, nullptr);
  emit();
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(trace_text().size(), 3 * message_.size());
}

TEST_F(TraceTest, KeepsTheMostRecent64KiB) {
  constexpr size_t kKeep = 64 * 1024;
  std::string all;
  while (all.size() <= kKeep + 2 * message_.size()) {
    emit();
    all += message_;
  }
  EXPECT_EQ(ZoPlatTraceRead(nullptr, 0), kKeep);
  EXPECT_TRUE(trace_text() == all.substr(all.size() - kKeep)) << "kept text is not the newest";
}

}  // namespace
