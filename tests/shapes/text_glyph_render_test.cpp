// Glyph rendering into images: golden PNGs (reviewed when made; ZO_UPDATE_GOLDEN=1 rewrites
// them), both targets giving the same pixels, boxes outside the image skipped, and paths that
// do not belong to the record.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.hpp"
#include "text_helpers.hpp"
#include "zo32base.h"

using namespace zo_test;

namespace {

class GlyphRender : public ZoTest {};

constexpr uint32_t kW = 220, kH = 90;

// The test paragraph: DejaVu Sans at 12 and 24 pixels, coloured runs, a rotated run, an
// underline, on a white background.
struct Scene {
  TextRecord rec;
  ZoPath* path = nullptr;
  Scene() {
    rec.add("Small 12px text, kerned: AVAW", 12).kerning = 1;
    rec.add("\nBig ", 24).colour = ZO_RGB(200, 0, 0);
    richTextRun& turned = rec.add("turn", 24);
    turned.rotation = 25;
    turned.colour = ZO_RGB(0, 120, 0);
    richTextRun& under = rec.add(" under", 24);
    under.style = ZORUN_UNDERLINE;
    under.colour = ZO_RGB(0, 0, 220);
    path = lay_out(rec);
  }
  ~Scene() { delete_list(path); }
};

TEST_F(GlyphRender, GoldenImageInBothTargets) {
  Scene s;
  ASSERT_NE(s.path, nullptr);
  const POINT origin{-4, -30};
  uint8_t* buffer = ZoPathBufAlloc(24, kW, kH);
  std::fill(buffer, buffer + kW * kH * 3, 255);
  ASSERT_EQ(ZoPathGlyphToBuf(s.path, &origin, buffer, nullptr, 0, s.rec.get()), 1u);
  void* image = zo32baseCreateImage(kW, kH);
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) zo32baseSetPixel(image, x, y, 0xFFFFFF);
  ASSERT_EQ(ZoPathGlyphToBuf(s.path, &origin, nullptr, image, 0, s.rec.get()), 1u);
  EXPECT_EQ(zo32baseLockCount(image), 0u);
  size_t differ = 0;
  for (uint32_t y = 0; y < kH; ++y) {
    for (uint32_t x = 0; x < kW; ++x) {
      const uint8_t* px = buffer + (y * kW + x) * 3;
      uint32_t c = px[0] | px[1] << 8 | px[2] << 16;
      differ += zo32baseGetPixel(image, x, y) != c;
    }
  }
  EXPECT_EQ(differ, 0u);
  zo32baseFreeImage(image);

  const std::string file = std::string(ZO_GOLDEN_DIR) + "/glyphs_rich_text.png";
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = kW;
  png.height = kH;
  png.format = PNG_FORMAT_RGB;
  if (std::getenv("ZO_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(png_image_write_to_file(&png, file.c_str(), 0, buffer, 0, nullptr));
  }
  png_image golden{};
  golden.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&golden, file.c_str())) << file;
  golden.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> expected(PNG_IMAGE_SIZE(golden));
  ASSERT_TRUE(png_image_finish_read(&golden, nullptr, expected.data(), 0, nullptr));
  ASSERT_EQ(expected.size(), size_t(kW) * kH * 3);
  EXPECT_EQ(std::memcmp(expected.data(), buffer, expected.size()), 0);
  ZoPathBufFree(buffer);
}

TEST_F(GlyphRender, OutsideBoxesAreSkippedAndMismatchedPathsEndTheWalk) {
  Scene s;
  ASSERT_NE(s.path, nullptr);
  // Far outside, and a buffer smaller than the text: nothing written beyond the image.
  for (POINT origin : {POINT{100000, 100000}, POINT{-100000, 0}, POINT{20, -10}}) {
    uint8_t* small = ZoPathBufAlloc(8, 16, 8);
    ASSERT_EQ(ZoPathGlyphToBuf(s.path, &origin, small, nullptr, 0, s.rec.get()), 1u);
    bool touched = false;
    for (uint32_t i = 0; i < 16 * 8; ++i) touched |= small[i] != 0;
    EXPECT_EQ(touched, origin.x == 20);
    ZoPathBufFree(small);
  }
  // A path from another record: characters where the record has none.
  TextRecord other;
  other.add("abc", 12);
  const POINT origin{0, -20};
  uint8_t* buffer = ZoPathBufAlloc(8, 64, 32);
  EXPECT_EQ(ZoPathGlyphToBuf(s.path, &origin, buffer, nullptr, 0, other.get()), 1u);
  ZoPath* wrongHead = s.path->next;  // not the start of a character
  while (wrongHead != nullptr && (wrongHead->flags & ZOF_TEXT_CHAR) != 0) wrongHead = wrongHead->next;
  ASSERT_NE(wrongHead, nullptr);
  EXPECT_EQ(ZoPathGlyphToBuf(wrongHead, &origin, buffer, nullptr, 0, s.rec.get()), 0u);
  EXPECT_EQ(ZoPathGlyphToBuf(nullptr, &origin, buffer, nullptr, 0, s.rec.get()), 0u);
  EXPECT_EQ(ZoPathGlyphToBuf(s.path, &origin, nullptr, nullptr, 0, s.rec.get()), 0u);
  ZoPathBufFree(buffer);
}

}  // namespace
