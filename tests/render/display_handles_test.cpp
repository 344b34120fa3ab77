// Software device contexts and node handles: GDI's pixel conventions, exclusive-or drawing
// that undoes itself, handle sizes and the handle switch.
#include "display_helpers.hpp"

namespace {

using namespace zo_display_test;

using DisplayHandlesTest = DisplayTest;

// A memory device context over its own pixels, filled with one colour.
struct Surface {
  int32_t w, h;
  std::vector<uint32_t> pixels;
  HDC dc;
  Surface(int32_t width, int32_t height, uint32_t fill = 0xFF102030)
      : w(width), h(height), pixels(size_t(width * height), fill) {
    dc = ZoPlatCreateMemoryDC(pixels.data(), w, h, w);
  }
  ~Surface() { ZoPlatDeleteDC(dc); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  RECT changed(const std::vector<uint32_t>& base) const { return changed_box(pixels, base, w); }
  int count_changed(const std::vector<uint32_t>& base) const {
    int n = 0;
    for (size_t i = 0; i < pixels.size(); ++i) n += pixels[i] != base[i];
    return n;
  }
};

TEST_F(DisplayHandlesTest, LinesExcludeTheirEndPixelAndRectanglesTheirRightAndBottom) {
  Surface s(40, 40, 0);
  ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(WHITE_PEN));
  ZoPlatMoveToEx(s.dc, 2, 3, nullptr);
  ASSERT_EQ(ZoPlatLineTo(s.dc, 12, 3), 1u);
  EXPECT_EQ(s.count_changed(std::vector<uint32_t>(1600, 0)), 10);
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 12, 3), 0u);
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 11, 3), 0xFFFFFFu);
  ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(BLACK_PEN));
  std::fill(s.pixels.begin(), s.pixels.end(), 0xFFFFFF);
  auto base = s.pixels;
  ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(NULL_BRUSH));
  ASSERT_EQ(ZoPlatRectangle(s.dc, 5, 6, 15, 11), 1u);
  EXPECT_EQ(edges(s.changed(base)), (std::vector<int32_t>{5, 6, 15, 11}));
  EXPECT_EQ(s.count_changed(base), 2 * 10 + 2 * 3) << "a one-pixel frame, hollow inside";
  // A wide pen lies inside the rectangle.
  HPEN wide = ZoPlatCreatePen(PS_SOLID, 3, ZO_RGB(255, 0, 0));
  ZoPlatSelectObject(s.dc, wide);
  base = s.pixels;
  ZoPlatRectangle(s.dc, 20, 20, 30, 30);
  EXPECT_EQ(edges(s.changed(base)), (std::vector<int32_t>{20, 20, 30, 30}));
  EXPECT_EQ(s.count_changed(base), 100 - 16);
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 22, 22), ZO_RGB(255, 0, 0));
  ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(BLACK_PEN));
  EXPECT_EQ(ZoPlatDeleteObject(wide), 1u);
  // A dotted pen: runs of 3 pixels on and 3 off along the line.
  Surface d(30, 4, 0);
  HPEN dot = ZoPlatCreatePen(PS_DOT, 1, ZO_RGB(255, 255, 255));
  ZoPlatSelectObject(d.dc, dot);
  ZoPlatMoveToEx(d.dc, 0, 1, nullptr);
  ZoPlatLineTo(d.dc, 30, 1);
  for (int x = 0; x < 30; ++x) EXPECT_EQ(ZoPlatGetPixel(d.dc, x, 1) != 0, x / 3 % 2 == 0) << x;
  ZoPlatSelectObject(d.dc, ZoPlatGetStockObject(BLACK_PEN));
  EXPECT_EQ(ZoPlatDeleteObject(dot), 1u);
  EXPECT_EQ(ZoPlatCreatePen(PS_SOLID, 4, 0), nullptr) << "pens are at most 3 pixels wide";
  EXPECT_EQ(ZoPlatCreatePen(PS_SOLID, -1, 0), nullptr);
}

TEST_F(DisplayHandlesTest, ExclusiveOrFiguresDrawnTwiceRestoreEveryPixel) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    Surface s(64, 48);
    for (auto& p : s.pixels) p = rng();
    const auto base = s.pixels;
    auto coord = [&] { return int32_t(rng() % 120) - 30; };
    HPEN pen = ZoPlatCreatePen(int32_t(rng() % 3), int32_t(rng() % 4), rng() & 0xFFFFFF);
    ZoPlatSelectObject(s.dc, pen);
    ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(int32_t(rng() % 6)));
    ZoPlatSetROP2(s.dc, seed % 2 == 0 ? R2_XORPEN : R2_NOT);
    RECT clip{int32_t(rng() % 20), int32_t(rng() % 20), 40 + int32_t(rng() % 30), 48};
    HRGN region = ZoPlatCreateRectRgnIndirect(&clip);
    if (seed % 3 == 0) ZoPlatSelectClipRgn(s.dc, region);
    std::vector<POINT> pts;
    for (int i = 0; i < 6; ++i) pts.push_back(POINT{coord(), coord()});
    RECT r{coord(), coord(), coord(), coord()};
    for (int twice = 0; twice < 2; ++twice) {
      ZoPlatMoveToEx(s.dc, pts[0].x, pts[0].y, nullptr);
      ZoPlatLineTo(s.dc, pts[1].x, pts[1].y);
      ZoPlatLineTo(s.dc, pts[2].x, pts[2].y);
      ZoPlatPolyBezierTo(s.dc, pts.data() + 3, 3);
      ZoPlatRectangle(s.dc, r.left, r.top, r.right, r.bottom);
      if (twice == 0 && seed % 3 == 0) {
        for (int32_t y = 0; y < 48; ++y)
          for (int32_t x = 0; x < 64; ++x)
            if (!(x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom)) {
              ASSERT_EQ(s.pixels[size_t(y * 64 + x)], base[size_t(y * 64 + x)]) << "clipped";
            }
      }
    }
    EXPECT_EQ(s.pixels, base);
    ZoPlatDeleteObject(region);
    ZoPlatDeleteObject(pen);
  }
}

TEST_F(DisplayHandlesTest, RegionsCombineIntoTheirKindsAndNullDevicesDrawNothing) {
  RECT a{0, 0, 10, 10}, b{5, 0, 15, 10}, c{20, 20, 30, 30};
  HRGN ra = ZoPlatCreateRectRgnIndirect(&a), rb = ZoPlatCreateRectRgnIndirect(&b),
       rc = ZoPlatCreateRectRgnIndirect(&c), out = ZoPlatCreateRectRgnIndirect(&a);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rb, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rb, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rc, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rb, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rb, RGN_DIFF), SIMPLEREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, rc, RGN_AND), NULLREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(ZoPlatCombineRgn(out, ra, reinterpret_cast<HRGN>(&a), RGN_AND), RGN_ERROR);
  // Drawing through the XOR region of a and b leaves the shared part alone.
  Surface s(40, 40, 0);
  ZoPlatCombineRgn(out, ra, rb, RGN_XOR);
  EXPECT_EQ(ZoPlatSelectClipRgn(s.dc, out), COMPLEXREGION);
  ZoPlatSelectObject(s.dc, ZoPlatGetStockObject(WHITE_PEN));
  ZoPlatMoveToEx(s.dc, 0, 5, nullptr);
  ZoPlatLineTo(s.dc, 40, 5);
  for (int x = 0; x < 20; ++x)
    EXPECT_EQ(ZoPlatGetPixel(s.dc, x, 5), (x < 5 || (x >= 10 && x < 15)) ? 0xFFFFFFu : 0u) << x;
  EXPECT_EQ(ZoPlatDeleteDC(reinterpret_cast<HDC>(rc)), 0u) << "a region is not a device context";
  for (HRGN r : {ra, rb, rc, out}) EXPECT_EQ(ZoPlatDeleteObject(r), 1u);
  EXPECT_EQ(ZoPlatLineTo(nullptr, 1, 1), 0u);
  EXPECT_EQ(ZoPlatRectangle(nullptr, 0, 0, 5, 5), 0u);
  EXPECT_EQ(ZoPlatSetPixel(s.dc, 40, 0, 0), CLR_INVALID);
  EXPECT_EQ(ZoPathDrawActiveNode(nullptr, POINT{1, 1}, 0), 0u);
  EXPECT_EQ(ZoPlatCreateMemoryDC(nullptr, 4, 4, 4), nullptr);
  uint32_t px[4];
  EXPECT_EQ(ZoPlatCreateMemoryDC(px, 4, 1, 3), nullptr) << "stride below width";
  // Figures far outside, with huge coordinates, touch nothing.
  auto base = s.pixels;
  ZoPlatSelectClipRgn(s.dc, nullptr);
  EXPECT_EQ(ZoPlatSetPixel(s.dc, 0, 40, 0), CLR_INVALID) << "below the bitmap";
  EXPECT_EQ(ZoPlatSetPixel(s.dc, -1, 5, 0), CLR_INVALID) << "left of the bitmap";
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 40, 0), CLR_INVALID) << "right of the bitmap";
  ZoPlatMoveToEx(s.dc, INT32_MIN, INT32_MIN, nullptr);
  ZoPlatLineTo(s.dc, INT32_MAX, INT32_MIN);
  ZoPlatRectangle(s.dc, INT32_MIN, INT32_MIN, -5, -5);
  EXPECT_EQ(s.pixels, base);
}

TEST_F(DisplayHandlesTest, HandleSquaresHaveTheSizesOfBothNodeSizes) {
  struct Row {
    uint32_t size;
    int anchor, control;
  };
  for (Row r : {Row{0, 5, 3}, Row{1, 7, 5}}) {
    ZoPathSetNodeSize(r.size);
    Surface s(30, 30);
    auto base = s.pixels;
    ASSERT_EQ(ZoPathDrawInactiveNode(s.dc, POINT{10, 10}, 0), 1u);
    const int32_t a = 10 - r.anchor / 2, c = 10 - r.control / 2;
    EXPECT_EQ(edges(s.changed(base)), (std::vector<int32_t>{a, a, a + r.anchor, a + r.anchor}));
    ZoPathDrawInactiveNode(s.dc, POINT{10, 10}, 0);
    EXPECT_EQ(s.pixels, base);
    ZoPathDrawSmallNode(s.dc, POINT{10, 10}, 0);
    EXPECT_EQ(edges(s.changed(base)), (std::vector<int32_t>{c, c, c + r.control, c + r.control}));
    ZoPathDrawSmallNode(s.dc, POINT{10, 10}, 0);
    ZoPathDrawActiveNode(s.dc, POINT{10, 10}, 0);
    EXPECT_EQ(s.count_changed(base), r.anchor * r.anchor - (r.anchor - 2 * (1 + int(r.size))) *
                                                               (r.anchor - 2 * (1 + int(r.size))))
        << "hollow: only the pen's frame";
    ZoPathDrawActiveNode(s.dc, POINT{10, 10}, 0);
    EXPECT_EQ(s.pixels, base);
  }
  ZoPathSetNodeSize(7);  // other values keep the pen width and set the small sizes
  ZoPathSetNodeSize(0);
  // Handle colour: cyan normally, yellow for polygon styles, under exclusive-or.
  Surface s(20, 20, 0);
  ZoPathDrawActiveNode(s.dc, POINT{5, 5}, 0);
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 3, 3), ZO_RGB(0, 255, 255));
  ZoPathDrawActiveNode(s.dc, POINT{5, 5}, ZOF_POLY_STYLE1);
  EXPECT_EQ(ZoPlatGetPixel(s.dc, 3, 3), ZO_RGB(255, 0, 255)) << "cyan, then yellow";
}

TEST_F(DisplayHandlesTest, PathHandlesDrawnTwiceRestoreTheDeviceContext) {
  int drawn = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    ZoPathSetNodeSize(seed % 2);
    Screen screen(RECT{3, 4, 83, 64}, int32_t(rng() % 20), 0, seed % 3 + 0.5);
    ZoPath* p = random_path(rng, -10, 90, 6);
    for (uint32_t k = 0; k < p->count; ++k)
      if (rng() % 3 == 0) ZoPathNodes(p)[k].type |= PT_SELECTED;
    Surface s(90, 70);
    for (auto& px : s.pixels) px = rng();
    const auto base = s.pixels;
    ASSERT_EQ(ZoPathDrawNodes(s.dc, p, screen.view), 1u);
    drawn += s.pixels != base;
    ZoPathDrawNodes(s.dc, p, screen.view);
    EXPECT_EQ(s.pixels, base);
    ZoPathDrawNodesOnUnselectedSegments(s.dc, p, screen.view);
    ZoPathDrawNodesOnUnselectedSegments(s.dc, p, screen.view);
    EXPECT_EQ(s.pixels, base);
    ZoPathDeletePtr(p, 0);
  }
  EXPECT_GE(drawn, 30) << "most random paths have handles in view";
  ZoPathSetNodeSize(0);
  // A closed figure's first node has its own square unless the last node lies on the same
  // point: the same column or row alone is not enough.
  Screen screen(RECT{0, 0, 60, 60}, 0, 0, 1.0);
  for (const char* text : {"M 10 10 L 50 10 L 10 40 Z", "M 10 10 L 50 40 L 40 10 Z"}) {
    ZoPath* p = path_from(text);
    Surface s(60, 60, 0);
    ZoPathDrawNodes(s.dc, p, screen.view);
    EXPECT_NE(ZoPlatGetPixel(s.dc, 10, 10), 0u) << text;
    ZoPathDeletePtr(p, 0);
  }
  // A selected anchor shows the control point next to it, and only that one; an unselected
  // control point is a filled square.
  ZoPath* q = path_from("M 10 10 s C 30 10 50 40 50 55");
  Surface t(60, 60, 0);
  ZoPathDrawNodes(t.dc, q, screen.view);
  EXPECT_NE(ZoPlatGetPixel(t.dc, 30, 10), 0u);
  EXPECT_EQ(ZoPlatGetPixel(t.dc, 50, 40), 0u);
  ZoPathNodes(q)[3].type |= PT_SELECTED;
  ZoPathDrawNodes(t.dc, q, screen.view);
  EXPECT_NE(ZoPlatGetPixel(t.dc, 50, 40), 0u);
  ZoPathDeletePtr(q, 0);
}

TEST_F(DisplayHandlesTest, UnselectedSegmentHandlesSkipTheSelectedNodeAndItsNeighbours) {
  Screen screen(RECT{0, 0, 100, 30}, 0, 0, 1.0);
  ZoPath* p = path_from("M 5.5 10.5 L 20.5 10.5 L 35.5 10.5 s L 50.5 10.5 L 65.5 10.5 L 80.5 10.5");
  Surface s(100, 30, 0);
  ASSERT_EQ(ZoPathDrawNodesOnUnselectedSegments(s.dc, p, screen.view), 1u);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(ZoPlatGetPixel(s.dc, 6 + 15 * i, 11) != 0, i == 0 || i == 4 || i == 5) << i;
  ZoPathDrawNodesOnUnselectedSegments(s.dc, p, screen.view);
  p->flags = ZOF_ENVELOPE_H;
  auto base = s.pixels;
  ZoPathDrawNodesOnUnselectedSegments(s.dc, p, screen.view);
  EXPECT_EQ(s.pixels, base) << "shape frames show their own handles";
  ZoPathDeletePtr(p, 0);
  // Closed: without a selected node every anchor is drawn; a selected first node is the seam,
  // whose neighbours are the second and last but one nodes.
  p = path_from("M 5.5 10.5 L 20.5 10.5 L 35.5 10.5 L 50.5 10.5 L 65.5 10.5 L 5.5 10.5 Z");
  for (bool first : {false, true}) {
    if (first) ZoPathNodes(p)[0].type |= PT_SELECTED;
    Surface c(100, 30, 0);
    ZoPathDrawNodesOnUnselectedSegments(c.dc, p, screen.view);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(ZoPlatGetPixel(c.dc, 6 + 15 * i, 11) != 0, !first || i == 2 || i == 3) << i;
  }
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayHandlesTest, SwitchedOffHandlesDrawNothingAndRepaintFollowsTheSelection) {
  Screen screen(RECT{0, 0, 40, 40}, 0, 0, 1.0);
  std::mt19937 rng(3);
  std::vector<ZoPath*> paths{random_path(rng, 0, 40, 3), random_path(rng, 0, 40, 3)};
  link_list(paths);
  link_selection(paths);
  RECT d;
  ASSERT_EQ(ZoPathAddPathGroup(&screen.table, paths[0], "g", screen.view, &d), 1u);
  Surface s(40, 40);
  auto base = s.pixels;
  ZoPathDrawNodesTurnOn(0);
  EXPECT_EQ(ZoPathDrawNodes(s.dc, paths[0], screen.view), 0u);
  EXPECT_EQ(ZoPathDrawNodesOnUnselectedSegments(s.dc, paths[0], screen.view), 0u);
  EXPECT_EQ(s.pixels, base);
  ZoPathDrawNodesTurnOn(1);
  ASSERT_EQ(ZoPathTblRepaintNodes(s.dc, screen.table, screen.view), 1u);
  ZoPathDrawNodes(s.dc, paths[0], screen.view);
  ZoPathDrawNodes(s.dc, paths[1], screen.view);
  EXPECT_EQ(s.pixels, base) << "repaint drew exactly the handles of both selected paths";
  paths[1]->flags |= ZOF_DRAWING;
  ZoPathTblRepaintNodes(s.dc, screen.table, screen.view);
  ZoPathDrawNodes(s.dc, paths[0], screen.view);
  EXPECT_EQ(s.pixels, base) << "a path being drawn is left out";
  CoordStruct bare = *screen.view;
  bare.lpDB = nullptr;
  EXPECT_EQ(ZoPathDrawNodes(s.dc, paths[0], &bare), 1u);
  EXPECT_EQ(s.pixels, base);
  screen.table->shown = 0;
  EXPECT_EQ(ZoPathTblRepaintNodes(s.dc, screen.table, screen.view), 0u);
  EXPECT_EQ(ZoPathTblRepaintNodes(s.dc, nullptr, screen.view), 0u);
}

}  // namespace
