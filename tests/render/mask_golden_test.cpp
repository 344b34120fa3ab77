// Golden masks: shapes rendered in several modes compared byte for byte with reviewed PNGs
// (tests/render/golden). ZO_UPDATE_GOLDEN=1 rewrites them; look at every rewritten image.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mask_helpers.hpp"
#include "test_support.hpp"

namespace {

using namespace zo_test;

struct Grey {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

bool read_png(const std::string& path, Grey* out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_GRAY;
  out->width = image.width;
  out->height = image.height;
  out->pixels.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr) != 0;
}

bool write_png(const std::string& path, const Grey& g) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = g.width;
  image.height = g.height;
  image.format = PNG_FORMAT_GRAY;
  return png_image_write_to_file(&image, path.c_str(), 0, g.pixels.data(), 0, nullptr) != 0;
}

// A five-pointed star in one self-crossing stroke.
ZoPath* star_record() {
  std::vector<Pt> pts;
  for (int i = 0; i < 5; ++i) {
    double a = -M_PI / 2 + i * 4 * M_PI / 5;
    pts.push_back({20.3 + 18 * std::cos(a), 20.1 + 18 * std::sin(a)});
  }
  return polygon_record({pts});
}

// A glyph-like letter: outer bowl, reversed counter and a stem, joined as one object.
ZoPath* glyph_record() {
  ZoPath* outer = ellipse_record(14.2, 16.4, 10.1, 12.3);
  ZoPath* stem = polygon_record({rect_points(22.0, 3.2, 25.4, 29.0)});
  // The counter runs the other way: reverse by mirroring the control sequence.
  ZoPath* counter = ellipse_record(14.2, 16.4, 5.2, 7.9);
  PathNode* n = ZoPathNodes(counter);
  for (uint32_t i = 0; i < counter->count; ++i) n[i].pt.y = DbToFix(2 * 16.4) - n[i].pt.y;
  return join_records({outer, counter, stem});
}

struct GoldenCase {
  const char* name;
  ZoPath* (*make)();
  uint32_t format, fillRule, aaMode, scale;
};

void check_golden(const GoldenCase& c) {
  ZoPath* p = c.make();
  Rendered m = render(p, c.format, c.fillRule, c.aaMode, 0, c.scale);
  delete_list(p);
  ASSERT_NE(m.buffer, nullptr);
  Grey got{m.width, m.height, {}};
  for (uint32_t y = 0; y < m.height; ++y)
    for (uint32_t x = 0; x < m.width; ++x) {
      if (m.bits == 32) {
        uint32_t v;
        std::memcpy(&v, m.buffer + (size_t(y) * m.width + x) * 4, 4);
        got.pixels.push_back(uint8_t((32 - __builtin_popcount(v)) * 255 / 32));
      } else {
        got.pixels.push_back(m.at(x, y));
      }
    }
  std::string path = std::string(ZO_GOLDEN_DIR) + "/" + c.name + ".png";
  if (std::getenv("ZO_UPDATE_GOLDEN") != nullptr) {
    ASSERT_TRUE(write_png(path, got)) << path;
    return;
  }
  Grey want;
  ASSERT_TRUE(read_png(path, &want)) << "missing golden " << path;
  ASSERT_EQ(got.width, want.width) << c.name;
  ASSERT_EQ(got.height, want.height) << c.name;
  EXPECT_TRUE(got.pixels == want.pixels) << c.name << " differs from its golden image";
}

class MaskGolden : public ZoTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(MaskGolden, MatchesTheReviewedImageByteForByte) { check_golden(GetParam()); }

ZoPath* ellipse_shape() { return ellipse_record(30.4, 20.7, 27.3, 16.2); }

INSTANTIATE_TEST_SUITE_P(
    Shapes, MaskGolden,
    ::testing::Values(GoldenCase{"ellipse_aa16", ellipse_shape, 8, 0, 1, 65536},
                      GoldenCase{"ellipse_bilevel", ellipse_shape, 8, 0, 0, 65536},
                      GoldenCase{"star_winding_aa4", star_record, 8, 0, 999, 2 * 65536},
                      GoldenCase{"star_evenodd_aa16", star_record, 8, 1, 1, 2 * 65536},
                      GoldenCase{"glyph_aa16_x3", glyph_record, 8, 0, 1, 3 * 65536},
                      GoldenCase{"glyph_32bit", glyph_record, 4, 0, 1, 2 * 65536},
                      GoldenCase{"glyph_supersampled", glyph_record, 16, 0, 1, 4 * 65536}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
