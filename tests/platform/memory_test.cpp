// The platform extensions reached through the public interface: global memory blocks, the
// debug trace and the allocation-failure switch with its live-block counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "test_support.hpp"

namespace {

class MemoryTest : public ZoTest {};

// ---- Global memory blocks -----------------------------------------------------------------

struct GlobalCase {
  const char* name;
  uint32_t flags;
  size_t size;
};

void PrintTo(const GlobalCase& c, std::ostream* out) { *out << c.name; }

class GlobalBlockTest : public ZoTest, public ::testing::WithParamInterface<GlobalCase> {};

bool movable(const GlobalCase& c) { return (c.flags & GMEM_MOVEABLE) != 0; }
bool zeroed(const GlobalCase& c) { return (c.flags & GMEM_ZEROINIT) != 0; }

unsigned char pattern(size_t i) { return static_cast<unsigned char>(i * 7 + 3); }

void fill(HGLOBAL block, size_t size) {
  auto* bytes = static_cast<unsigned char*>(ZoPlatGlobalLock(block));
  ASSERT_TRUE(bytes != nullptr || size == 0);
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

TEST_P(GlobalBlockTest, AllocatesLocksCountsAndFrees) {
  const GlobalCase& c = GetParam();
  size_t live = ZoPlatGlobalLiveBlocks();
  HGLOBAL block = ZoPlatGlobalAlloc(c.flags, c.size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live + 1);
  EXPECT_EQ(ZoPlatGlobalSize(block), c.size);

  void* bytes = ZoPlatGlobalLock(block);
  ASSERT_NE(bytes, nullptr);
  // A fixed block's handle is its address; a movable block's handle is not.
  EXPECT_EQ(bytes == static_cast<void*>(block), !movable(c));
  if (zeroed(c)) {
    EXPECT_EQ(first_mismatch(block, 0, c.size, true), c.size);
  }
  // Locks nest: the same address each time, and only the last unlock ends the lock.
  EXPECT_EQ(ZoPlatGlobalLock(block), bytes);
  EXPECT_EQ(ZoPlatGlobalLock(block), bytes);
  EXPECT_EQ(ZoPlatGlobalUnlock(block), 1);
  EXPECT_EQ(ZoPlatGlobalUnlock(block), 1);
  EXPECT_EQ(ZoPlatGlobalUnlock(block), 0);
  EXPECT_EQ(ZoPlatGlobalUnlock(block), 0);  // not locked any more

  EXPECT_EQ(ZoPlatGlobalFree(block), nullptr);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live);
  // The handle is dead now: every call recognises it without touching it.
  EXPECT_EQ(ZoPlatGlobalSize(block), 0u);
  EXPECT_EQ(ZoPlatGlobalLock(block), nullptr);
  EXPECT_EQ(ZoPlatGlobalFree(block), block);
}

TEST_P(GlobalBlockTest, ReallocKeepsContentsAndZeroFillsGrowth) {
  const GlobalCase& c = GetParam();
  size_t live = ZoPlatGlobalLiveBlocks();
  HGLOBAL block = ZoPlatGlobalAlloc(c.flags, c.size);
  ASSERT_NE(block, nullptr);
  fill(block, c.size);

  const size_t grown = c.size * 2 + 37;
  HGLOBAL bigger = ZoPlatGlobalReAlloc(block, grown, GMEM_ZEROINIT);
  ASSERT_NE(bigger, nullptr);
  if (movable(c)) {
    EXPECT_EQ(bigger, block);  // a movable block keeps its handle
  } else if (bigger != block) {
    EXPECT_EQ(ZoPlatGlobalSize(block), 0u);  // a fixed block that moved left its old handle
  }
  EXPECT_EQ(ZoPlatGlobalSize(bigger), grown);
  EXPECT_EQ(first_mismatch(bigger, 0, c.size, false), c.size);
  EXPECT_EQ(first_mismatch(bigger, c.size, grown, true), grown);

  const size_t shrunk = c.size / 2;
  HGLOBAL smaller = ZoPlatGlobalReAlloc(bigger, shrunk, 0);
  ASSERT_NE(smaller, nullptr);
  EXPECT_EQ(ZoPlatGlobalSize(smaller), shrunk);
  EXPECT_EQ(first_mismatch(smaller, 0, shrunk, false), shrunk);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live + 1);

  EXPECT_EQ(ZoPlatGlobalFree(smaller), nullptr);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live);
}

TEST_P(GlobalBlockTest, FailedReallocLeavesTheBlockAsItWas) {
  const GlobalCase& c = GetParam();
  HGLOBAL block = ZoPlatGlobalAlloc(c.flags, c.size);
  ASSERT_NE(block, nullptr);
  fill(block, c.size);
  size_t live = ZoPlatGlobalLiveBlocks();

  ZoPlatFailAllocation(1);
  EXPECT_EQ(ZoPlatGlobalReAlloc(block, c.size + 4096, GMEM_ZEROINIT), nullptr);
  EXPECT_EQ(ZoPlatAllocationFailurePending(), 0u);
  EXPECT_EQ(ZoPlatGlobalSize(block), c.size);
  EXPECT_EQ(first_mismatch(block, 0, c.size, false), c.size);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), live);
  EXPECT_EQ(ZoPlatGlobalFree(block), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GlobalBlockTest,
                         ::testing::Values(GlobalCase{"Fixed", GMEM_FIXED, 24},
                                           GlobalCase{"FixedZeroed", GPTR, 1000},
                                           GlobalCase{"FixedEmpty", GPTR, 0},
                                           GlobalCase{"Movable", GMEM_MOVEABLE, 24},
                                           GlobalCase{"MovableZeroed", GHND, 70000},
                                           GlobalCase{"MovableEmpty", GHND, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

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

struct Live {
  size_t heap, mem, global;
  bool operator==(const Live&) const = default;
};
Live live_blocks() {
  return {ZoPlatHeapLiveBlocks(), ZoPlatMemLiveBlocks(), ZoPlatGlobalLiveBlocks()};
}

// One allocation from each allocator of the library, through the public interface. Each
// step makes exactly one allocation and keeps what it made for release at the end.
struct Allocations {
  std::vector<HGLOBAL> globals;
  std::vector<ZoPath*> records;
  std::vector<CoordStruct*> views;

  bool global() {
    HGLOBAL h = ZoPlatGlobalAlloc(GHND, 16);
    if (h != nullptr) globals.push_back(h);
    return h != nullptr;
  }
  bool record() {  // path heap
    ZoPath* p = ZoPathCreate();
    if (p != nullptr) records.push_back(p);
    return p != nullptr;
  }
  bool view() {  // general-purpose memory
    RECT window{0, 0, 10, 10};
    CoordStruct* v = nullptr;
    if (ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &v) == 0) return false;
    views.push_back(v);
    return true;
  }
  ~Allocations() {
    for (HGLOBAL h : globals) ZoPlatGlobalFree(h);
    for (ZoPath* p : records) ZoPathDeletePtrSingle(p);
    for (CoordStruct* v : views) ZoPathDeleteCoordStruct(v);
  }
};

TEST_F(MemoryTest, FailAllocationFailsExactlyTheNthAllocationOfAnyAllocator) {
  using Step = bool (Allocations::*)();
  const std::vector<Step> steps = {&Allocations::global, &Allocations::record, &Allocations::view,
                                   &Allocations::global, &Allocations::record, &Allocations::view};
  const Live before = live_blocks();
  for (uint32_t n = 0; n <= steps.size() + 1; ++n) {
    SCOPED_TRACE("failing allocation " + std::to_string(n));
    {
      Allocations made;
      ZoPlatFailAllocation(n);
      for (uint32_t i = 1; i <= steps.size(); ++i) {
        EXPECT_EQ(ZoPlatAllocationFailurePending(), n >= i ? 1u : 0u) << "before step " << i;
        EXPECT_EQ((made.*steps[i - 1])(), i != n) << "step " << i;
      }
      EXPECT_EQ(ZoPlatAllocationFailurePending(), n > steps.size() ? 1u : 0u);
      ZoPlatFailAllocation(0);
      EXPECT_EQ(ZoPlatAllocationFailurePending(), 0u);
      size_t made_count = n >= 1 && n <= steps.size() ? steps.size() - 1 : steps.size();
      EXPECT_EQ(made.globals.size() + made.records.size() + made.views.size(), made_count);
      EXPECT_EQ(live_blocks(),
                (Live{before.heap + made.records.size(), before.mem + made.views.size(),
                      before.global + made.globals.size()}));
    }
    EXPECT_EQ(live_blocks(), before);
  }
}

TEST_F(MemoryTest, ZeroSwitchesAPendingFailureOff) {
  const Live before = live_blocks();
  {
    Allocations made;
    ZoPlatFailAllocation(2);
    EXPECT_TRUE(made.global());
    ZoPlatFailAllocation(0);
    EXPECT_TRUE(made.global());
    EXPECT_TRUE(made.record());
    EXPECT_EQ(live_blocks(), (Live{before.heap + 1, before.mem, before.global + 2}));
  }
  EXPECT_EQ(live_blocks(), before);
}

// ---- Debug trace --------------------------------------------------------------------------

// A subpath whose last node has no type: ZoPathDisjoinAll corrects it and traces one message.
class TraceTest : public ZoTest {
 protected:
  void SetUp() override {
    ZoTest::SetUp();
    path_ = ZoPathCreate();
    ASSERT_NE(path_, nullptr);
    Ptfx a{0, 0}, b{65536, 65536};
    ASSERT_EQ(ZoPathAddPoint(&path_, &a, PT_MOVETO), 1u);
    ASSERT_EQ(ZoPathAddPoint(&path_, &b, PT_LINETO), 1u);
    ASSERT_EQ(ZoPathAddPoint(&path_, &b, 0), 1u);
    emit();
    message_ = trace_text();
    ASSERT_FALSE(message_.empty());
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

TEST_F(TraceTest, ReadsBackAndClears) {
  EXPECT_NE(message_.find("Invalid point type"), std::string::npos) << message_;
  EXPECT_EQ(ZoPlatTraceRead(nullptr, 0), 0u);
  emit();
  emit();
  EXPECT_EQ(trace_text(), message_ + message_);
  EXPECT_EQ(ZoPlatTraceRead(nullptr, 0), 2 * message_.size());
  ZoPlatTraceClear();
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(ZoPlatTraceRead(buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
}

TEST_F(TraceTest, ShortBufferGetsATerminatedPrefixAndTheFullLength) {
  emit();
  const size_t sizes[] = {1, 2, 8, message_.size(), message_.size() + 1};
  for (size_t size : sizes) {
    std::vector<char> buffer(size + 4, '#');
    EXPECT_EQ(ZoPlatTraceRead(buffer.data(), size), message_.size()) << size;
    size_t copied = std::min(size - 1, message_.size());
    EXPECT_EQ(std::string(buffer.data()), message_.substr(0, copied)) << size;
    EXPECT_EQ(std::string(buffer.begin() + static_cast<long>(size), buffer.end()), "####") << size;
  }
}

TEST_F(TraceTest, CallbackReceivesEachMessageUntilRemoved) {
  struct Seen {
    std::vector<std::string> messages;
  } seen;
  ZoPlatSetTraceCallback(
      [](const char* message, void* user) {
        static_cast<Seen*>(user)->messages.emplace_back(message);
      },
      &seen);
  emit();
  emit();
  ASSERT_EQ(seen.messages.size(), 2u);
  EXPECT_EQ(seen.messages[0], message_);
  EXPECT_EQ(seen.messages[1], message_);
  EXPECT_EQ(trace_text(), message_ + message_);  // the text is still kept as well

  ZoPlatSetTraceCallback(nullptr, nullptr);
  emit();
  EXPECT_EQ(seen.messages.size(), 2u);
  EXPECT_EQ(trace_text().size(), 3 * message_.size());
}

TEST_F(TraceTest, KeepsTheMostRecent64KiB) {
  constexpr size_t kKeep = 64 * 1024;
  const size_t count = kKeep / message_.size() + 3;
  std::string all;
  for (size_t i = 0; i < count; ++i) {
    emit();
    all += message_;
  }
  ASSERT_GT(all.size(), kKeep);
  EXPECT_EQ(ZoPlatTraceRead(nullptr, 0), kKeep);
  std::string kept = trace_text();
  ASSERT_EQ(kept.size(), kKeep);
  EXPECT_TRUE(kept == all.substr(all.size() - kKeep)) << "kept text is not the newest 64 KiB";
}

}  // namespace
