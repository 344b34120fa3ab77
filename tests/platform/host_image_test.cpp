// The stand-in imaging host library: images of 3-byte RGB rows behind the buf32 calls.
#include <gtest/gtest.h>

#include <vector>

#include "zo32base.h"

namespace {

TEST(HostImage, RowsReadAndWriteBackInRedGreenBlueOrder) {
  void* image = zo32baseCreateImage(4, 3);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(zo32baseSetPixel(image, 2, 1, 0x00332211u), 1u);  // red 0x11, green 0x22, blue 0x33
  uint32_t w = 0, h = 0, unit = 0;
  ASSERT_EQ(buf32GetWHU(image, &w, &h, &unit), 1u);
  EXPECT_EQ(w, 4u);
  EXPECT_EQ(h, 3u);
  EXPECT_EQ(unit, 3u);
  std::vector<uint8_t> row(w * 3);
  EXPECT_EQ(buf32Line(image, 1, 1, row.data()), 0u);  // not locked yet
  ASSERT_EQ(buf32Lock(image, 3, 0), 1u);
  ASSERT_EQ(buf32Line(image, 1, 1, row.data()), 1u);
  EXPECT_EQ(row[6], 0x11);
  EXPECT_EQ(row[7], 0x22);
  EXPECT_EQ(row[8], 0x33);
  row[0] = 0xAA, row[1] = 0xBB, row[2] = 0xCC;
  ASSERT_EQ(buf32Line(image, 1, 2, row.data()), 1u);
  EXPECT_EQ(zo32baseGetPixel(image, 0, 1), 0x00CCBBAAu);
  EXPECT_EQ(zo32baseGetPixel(image, 2, 1), 0x00332211u);
  EXPECT_EQ(buf32Line(image, 3, 1, row.data()), 0u);
  EXPECT_EQ(buf32Line(image, -1, 1, row.data()), 0u);
  EXPECT_EQ(buf32Line(image, 0, 7, row.data()), 0u);
  EXPECT_EQ(zo32baseLockCount(image), 1u);
  EXPECT_EQ(buf32Unlock(image), 1u);
  EXPECT_EQ(buf32Unlock(image), 0u);
  zo32baseFreeImage(image);
  zo32baseFreeImage(nullptr);
  EXPECT_EQ(buf32GetWHU(nullptr, &w, &h, &unit), 0u);
}

}  // namespace
