// Library pixel buffers.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.hpp"

namespace {

class PixelBuffer : public ZoTest {};

struct Layout {
  uint32_t bits, width, height;
  size_t rowBytes;
};

TEST_F(PixelBuffer, HeaderRowsAndSizeFollowTheBitsPerPixel) {
  for (Layout c :
       {Layout{8, 7, 3, 7}, {24, 5, 4, 15}, {32, 3, 6, 12}, {1, 4, 2, 32}, {16, 2, 2, 16}}) {
    uint8_t* b = ZoPathBufAlloc(c.bits, c.width, c.height);
    ASSERT_NE(b, nullptr);
    uint32_t header[3];
    std::memcpy(header, b - 12, 12);
    EXPECT_EQ(header[0], c.bits);
    EXPECT_EQ(header[1], c.width);
    EXPECT_EQ(header[2], c.height);
    EXPECT_EQ(ZoPathBufSize(b), 12 + c.rowBytes * c.height);
    for (size_t i = 0; i < c.rowBytes * c.height; ++i) ASSERT_EQ(b[i], 0);
    ZoPathBufLockInfo lock{};
    ASSERT_EQ(ZoPathBufLock1(b, 0, 0, 0, &lock), 1u);
    EXPECT_EQ(lock.pixels, b);
    EXPECT_EQ(lock.width, c.width);
    for (uint32_t y = 0; y < c.height; ++y)
      EXPECT_EQ(ZoPathBufLineRead(&lock, int32_t(y)), b + y * c.rowBytes);
    EXPECT_EQ(ZoPathBufLineRead(&lock, int32_t(c.height)), nullptr);
    EXPECT_EQ(ZoPathBufLineRead(&lock, -1), nullptr);
    EXPECT_EQ(ZoPathBufUnlock1(&lock), 1u);
    uint32_t w = 0, h = 0, bits = 0;
    EXPECT_EQ(ZoPathBufGetWHU(b, &w, nullptr, nullptr), 1u);
    EXPECT_EQ(ZoPathBufGetWHU(b, nullptr, &h, &bits), 1u);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(bits, c.bits);
    EXPECT_EQ(ZoPathBufFree(b), 1u);
  }
}

TEST_F(PixelBuffer, DuplicateCopiesHeaderAndPixels) {
  uint8_t* b = ZoPathBufAlloc(24, 9, 5);
  for (size_t i = 0; i < 9 * 3 * 5; ++i) b[i] = uint8_t(i * 7);
  uint8_t* copy = ZoPathBufDuplicate(0, b);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, b);
  EXPECT_EQ(ZoPathBufSize(copy), ZoPathBufSize(b));
  EXPECT_EQ(std::memcmp(copy - 12, b - 12, ZoPathBufSize(b)), 0);
  ZoPathBufFree(copy);
  ZoPathBufFree(b);
}

TEST_F(PixelBuffer, NullAndPlaceholderHandlesAreHarmless) {
  size_t live = ZoPlatMemLiveBlocks();
  EXPECT_EQ(ZoPathBufFree(nullptr), 1u);
  EXPECT_EQ(ZoPathBufFree(reinterpret_cast<uint8_t*>(1)), 1u);
  EXPECT_EQ(ZoPathBufSize(nullptr), 0u);
  EXPECT_EQ(ZoPathBufDuplicate(0, nullptr), nullptr);
  EXPECT_EQ(ZoPathBufGetWHU(nullptr, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathBufLineRead(nullptr, 0), nullptr);
  EXPECT_EQ(ZoPlatMemLiveBlocks(), live);
}

TEST_F(PixelBuffer, ASizeNoAllocatorCanGiveIsReportedAndReturnsNull) {
  // (Failures of the allocator itself are in the allocation-failure sweep.)
  EXPECT_EQ(ZoPathBufAlloc(32, 0xFFFFFFFFu, 0xFFFFFFFFu), nullptr);
  ASSERT_EQ(reports().size(), 1u);
  EXPECT_EQ(reports()[0].code, 1001u);
}

}  // namespace
