// The host's side of the display buffer: painting with the inversion tables, cropping,
// validity, scrolling and the window-to-image conversions.
#include "display_helpers.hpp"

namespace {

using namespace zo_display_test;

using DisplayBufferTest = DisplayTest;

// What painting must do to one pixel of 3 (or 1) bytes.
void reference_paint(uint8_t b, uint8_t* p, int bytes) {
  static const uint8_t x3[4][3] = {
      {0xC0, 0xC0, 0xC0}, {0, 0xEE, 0xEE}, {0x40, 0x40, 0x40}, {0xFF, 0x6F, 0xFF}};
  static const uint8_t x1[4] = {0xC0, 0x77, 0x40, 0x7F};
  if ((b & 0x3F) == 0) return;
  for (int k = 0; k < bytes; ++k) p[k] ^= bytes == 3 ? x3[b >> 6][k] : x1[b >> 6];
}

TEST_F(DisplayBufferTest, PaintingAppliesExactlyTheInversionTableOverAnyRectangle) {
  const RECT rects[] = {{0, 0, 50, 40}, {-7, -3, 20, 15},   {30, 25, 70, 60},
                        {10, 5, 11, 6}, {-100, 0, -50, 10}, {45, 35, 45, 40}};
  for (int bytes : {3, 1}) {
    for (const RECT& r : rects) {
      SCOPED_TRACE(testing::Message() << bytes << " bytes, rect " << r.left << "," << r.top);
      Screen s(RECT{0, 0, 50, 40}, 0, 0, 1.0);
      std::mt19937 rng(bytes * 100 + r.left);
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) s.at(x, y) = uint8_t(rng() % 3 == 0 ? rng() : 0);
      const int64_t w = int64_t(r.right) - r.left, h = int64_t(r.bottom) - r.top;
      std::vector<uint8_t> image(size_t(std::max<int64_t>(w * h * bytes, 1)));
      for (auto& v : image) v = uint8_t(rng());
      std::vector<uint8_t> expected = image;
      for (int64_t y = std::max(r.top, 0); y < std::min(r.bottom, 40); ++y)
        for (int64_t c = std::max(0, -r.left); c < std::min(r.right, 50) - r.left; ++c)
          reference_paint(s.at(int32_t(r.left + c), int32_t(y)),
                          &expected[size_t(((y - r.top) * w + c) * bytes)], bytes);
      uint32_t ok = bytes == 3 ? ZoPathPaintMem(&r, s.table, image.data())
                               : ZoPathPaintMem1(&r, s.table, image.data());
      ASSERT_EQ(ok, 1u);
      EXPECT_EQ(image, expected);
    }
  }
  uint8_t pixel[3] = {};
  RECT r{0, 0, 1, 1};
  EXPECT_EQ(ZoPathPaintMem(&r, nullptr, pixel), 0u);
  ZoPathTbl* bare = nullptr;
  ZoPathNew(&bare);
  EXPECT_EQ(ZoPathPaintMem(&r, bare, pixel), 0u) << "no buffer";
  EXPECT_EQ(ZoPathPaintMem1(&r, bare, pixel), 0u);
  ZoPathTblDelete(bare);
}

TEST_F(DisplayBufferTest, CropKeepsTheTopLeftRowsAndRefusesToGrow) {
  Screen s(RECT{0, 0, 30, 20}, 0, 0, 1.0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) s.at(x, y) = uint8_t(y * 30 + x);
  EXPECT_EQ(ZoPathCropDB(s.table, 31, 20), 0u);
  EXPECT_EQ(ZoPathCropDB(s.table, 30, 21), 0u);
  ASSERT_EQ(ZoPathCropDB(s.table, 12, 7), 1u);
  EXPECT_EQ(s.table->dbDesc.width, 12u);
  EXPECT_EQ(s.table->dbDesc.height, 7u);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(s.table->lpDB[y * 12 + x], uint8_t(y * 30 + x));
  EXPECT_EQ(ZoPathCropDB(nullptr, 1, 1), 0u);
  s.view->lpDB = nullptr;  // the view's pointer went stale with the old buffer
  EXPECT_EQ(ZoPathTblDeletelpDB(s.table), 1u);
  EXPECT_EQ(s.table->lpDB, nullptr);
  EXPECT_EQ(ZoPathTblDeletelpDB(nullptr), 0u);
}

TEST_F(DisplayBufferTest, ValidityComparesSizeScrollKeyAndZoomWithinTolerance) {
  ZoPathTbl* table = nullptr;
  ZoPathNew(&table);
  CoordStruct* view = nullptr;
  RECT window{10, 20, 330, 260};
  ASSERT_EQ(ZoPathNewCoordStruct(&window, 5, -6, 2.0, 77, table, &view), 1u);
  struct Row {
    RECT rect;
    int32_t sx, sy;
    double zoom;
    uint32_t key, valid;
  };
  const Row rows[] = {
      {{10, 20, 330, 260}, 5, -6, 2.0, 77, 1},
      {{0, 0, 320, 240}, 5, -6, 2.0, 77, 1},
      {{10, 20, 330, 260}, 5, -6, 2.0 + 5e-6, 77, 1},
      {{10, 20, 330, 260}, 5, -6, 2.0 + 2e-5, 77, 0},
      {{10, 20, 330, 260}, 5, -6, 2.0 - 2e-5, 77, 0},
      {{10, 20, 331, 260}, 5, -6, 2.0, 77, 0},
      {{10, 20, 330, 259}, 5, -6, 2.0, 77, 0},
      {{10, 20, 330, 260}, 4, -6, 2.0, 77, 0},
      {{10, 20, 330, 260}, 5, -5, 2.0, 77, 0},
      {{10, 20, 330, 260}, 5, -6, 2.0, 78, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ZoPathTblIsValid(&r.rect, r.sx, r.sy, r.zoom, r.key, table), r.valid)
        << r.rect.right << " " << r.sx << " " << r.zoom << " " << r.key;
  EXPECT_EQ(ZoPathTblIsValid(&window, 5, -6, 2.0, 77, nullptr), 0u);
  ZoPathDeleteCoordStruct(view);
  ZoPathTblDelete(table);
}

TEST_F(DisplayBufferTest, ScrollMovesTheViewAndRedrawsOnACleanBuffer) {
  Screen s(RECT{0, 0, 60, 40}, 0, 0, 1.0);
  Screen fresh(RECT{0, 0, 60, 40}, 7, -3, 1.0);
  std::mt19937 rng(5);
  ZoPath* p = random_path(rng, 0, 60, 5);
  RECT d;
  ZoPathDraw(s.view, p, &d, 0);
  EXPECT_EQ(ZoPathScrollDB(s.view, p, 0, 0), 1u);
  EXPECT_EQ(s.view->scrollX, 0);
  ASSERT_EQ(ZoPathScrollDB(s.view, p, 7, -3), 1u);
  EXPECT_EQ(s.view->scrollX, 7);
  EXPECT_EQ(s.view->scrollY, -3);
  ZoPathDraw(fresh.view, p, &d, 0);
  EXPECT_EQ(s.bytes(), fresh.bytes());
  EXPECT_EQ(ZoPathScrollDB(s.view, nullptr, 1, 1), 1u);
  EXPECT_EQ(s.view->scrollX, 8);
  EXPECT_EQ(s.bytes(), fresh.bytes()) << "without a path nothing is redrawn";
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayBufferTest, WindowPointsAndRectanglesConvertToImageCoordinates) {
  CoordStruct view = view_of(RECT{10, 10, 100, 100}, 2.0);
  view.scrollX = 6;
  view.scrollY = -4;
  PointDB pt{};
  int64_t packed = int64_t(uint32_t(int32_t(-3))) | (int64_t(17) << 32);
  ASSERT_EQ(ZoPathPtWndToImage(&pt, packed, &view), &pt);
  EXPECT_DOUBLE_EQ(pt.x, (-3 + 6) / 2.0 - 0.5);
  EXPECT_DOUBLE_EQ(pt.y, (17 - 4) / 2.0 - 0.5);
  RectDB r{};
  RECT in{2, 4, 8, 10};
  ASSERT_EQ(ZoPathRectWndToImage(&r, &in, &view), &r);
  EXPECT_EQ((std::vector<double>{r.left, r.top, r.right, r.bottom}),
            (std::vector<double>{3.5, -0.5, 6.5, 2.5}));
  EXPECT_EQ(ZoPathPtWndToImage(nullptr, 0, &view), nullptr);
}

}  // namespace
