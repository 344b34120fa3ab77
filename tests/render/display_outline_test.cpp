// Outlines counted into the display buffer: every show is undone exactly by its hide, each
// mode applies its pixel operation, and bad views or coordinates stay inside the buffer.
#include <algorithm>
#include <cmath>
#include <vector>

#include "display_helpers.hpp"

namespace {

using namespace zo_display_test;

class DisplayOutlineTest : public ZoTest {};

// Random views: zoom, scroll and a window origin; paths reaching well outside the window.
struct Case {
  RECT window;
  int32_t scrollX, scrollY;
  double zoom;
};
Case random_case(std::mt19937& rng) {
  const double zooms[] = {0.25, 0.5, 1.0, 1.7, 3.0, 8.0};
  return Case{RECT{int32_t(rng() % 40), int32_t(rng() % 30), 0, 0}, int32_t(rng() % 60) - 30,
              int32_t(rng() % 60) - 30, zooms[rng() % 6]};
}

// Every changed byte lies inside the reported window rectangle.
void expect_inside(const Screen& s, const std::vector<uint8_t>& before, const RECT& dirty) {
  auto now = s.bytes();
  for (int32_t y = 0; y < s.height(); ++y) {
    for (int32_t x = 0; x < s.width(); ++x) {
      size_t i = size_t(y) * size_t(s.width()) + size_t(x);
      if (now[i] == before[i]) continue;
      int32_t wx = x + s.view->rcWindow.left, wy = y + s.view->rcWindow.top;
      ASSERT_TRUE(wx >= dirty.left && wx < dirty.right && wy >= dirty.top && wy < dirty.bottom)
          << "pixel " << x << "," << y << " changed outside the dirty rectangle";
    }
  }
}

TEST_F(DisplayOutlineTest, ShowThenHideRestoresTheBufferByteForByteInEveryModeFamily) {
  int drawn = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    Case c = random_case(rng);
    c.window.right = c.window.left + 120 + int32_t(rng() % 50);
    c.window.bottom = c.window.top + 90 + int32_t(rng() % 40);
    Screen s(c.window, c.scrollX, c.scrollY, c.zoom);
    // Other outlines already shown, crossing the ones under test.
    std::vector<ZoPath*> others{random_path(rng, -40, 160, 6), random_path(rng, -40, 160, 6)};
    ZoPath* background = chain(others);
    RECT dirty;
    ASSERT_EQ(ZoPathDraw(s.view, background, &dirty, 0), 1u);
    std::vector<ZoPath*> picked{random_path(rng, -60, 200, 8), random_path(rng, -60, 200, 5)};
    chain(picked);
    select_all(picked);
    // Random node and segment selections give the point and segment modes something to do.
    for (ZoPath* p : picked) {
      for (uint32_t k = 0; k < p->count; ++k) {
        if (rng() % 4 == 0) ZoPathNodes(p)[k].type |= PT_SELECTED;
        if (rng() % 3 == 0) ZoPathNodes(p)[k].type |= PT_SEGMENT_MARK;
      }
    }
    const auto base = s.bytes();
    for (int family = 0; family < 3; ++family) {
      SCOPED_TRACE(family);
      for (ZoPath* p : picked) {
        p->flags &= ~(ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT);
        if (family == 1) p->flags |= ZOF_HAS_SEL_POINTS;
      }
      RECT shown, hidden;
      if (family == 2) {
        ASSERT_EQ(ZoPathDrawSelectedSegments(s.view, picked[1], &shown), 1u);
      } else {
        ASSERT_EQ(ZoPathDrawSelected(s.view, picked[1], &shown), 1u);
      }
      expect_inside(s, base, shown);
      if (family == 0) drawn += s.bytes() != base;
      if (family == 2) {
        ASSERT_EQ(ZoPathHideSelectedSegments(s.view, picked[0], &hidden), 1u);
      } else {
        ASSERT_EQ(ZoPathHideSelected(s.view, picked[0], &hidden), 1u);
      }
      ASSERT_EQ(s.bytes(), base);
      EXPECT_EQ(std::memcmp(&shown, &hidden, sizeof(RECT)), 0);
    }
    ZoPathDeletePtr(picked[0], 0);
    ZoPathDeletePtr(background, 0);
  }
  EXPECT_GE(drawn, 45) << "most random outlines cross the window";
}

TEST_F(DisplayOutlineTest, SingleSegmentShowsAndHidesExactly) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    Screen s(RECT{0, 0, 100, 80}, 0, 0, 1.0);
    ZoPath* p = random_path(rng, -20, 120, 6);
    p->flags = ZOF_SELECTED;
    const auto before = s.bytes();
    const auto nodesBefore = std::vector<PathNode>(ZoPathNodes(p), ZoPathNodes(p) + p->count);
    uint32_t index = uint32_t(rng() % (p->count - 1));
    RECT dirty;
    ASSERT_EQ(ZoPathDrawSegment(s.view, p, index, &dirty), 1u);
    ASSERT_EQ(ZoPathHideSegment(s.view, p, index, &dirty), 1u);
    EXPECT_EQ(s.bytes(), before);
    EXPECT_EQ(p->flags, ZOF_SELECTED);
    EXPECT_EQ(std::memcmp(nodesBefore.data(), ZoPathNodes(p), p->count * sizeof(PathNode)), 0);
    ZoPathDeletePtr(p, 0);
  }
}

TEST_F(DisplayOutlineTest, SegmentCallsRefuseSelectedPointsAndTheLastIndex) {
  Screen s(RECT{0, 0, 50, 50}, 0, 0, 1.0);
  ZoPath* p = ZoPathCreate();
  add(&p, 5, 5, PT_MOVETO);
  add(&p, 40, 5, PT_LINETO);
  add(&p, 40, 40, PT_LINETO);
  p->flags = ZOF_SELECTED | ZOF_HAS_SEL_POINTS;
  RECT dirty{1, 1, 2, 2};
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 0, &dirty), 0u);
  EXPECT_EQ(s.bytes(), std::vector<uint8_t>(2500, 0));
  EXPECT_EQ(dirty.right, 0);
  p->flags = ZOF_SELECTED;
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 2, &dirty), 0u);
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 1, &dirty), 1u);
  EXPECT_EQ(s.at(40, 20), 1);  // the second segment only
  EXPECT_EQ(s.at(20, 5), 0);
  p->flags = 0;
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 0, &dirty), 0u) << "the path must be selected";
  ZoPathDeletePtr(p, 0);
}

// A horizontal line along row 10 from column 2 to 20 at zoom 1 (image y 9.5 maps to row 10).
ZoPath* row_line() {
  ZoPath* p = ZoPathCreate();
  add(&p, 1.5, 9.5, PT_MOVETO);
  add(&p, 19.5, 9.5, PT_LINETO);
  return p;
}

TEST_F(DisplayOutlineTest, EachModeAppliesItsPixelOperation) {
  struct Row {
    const char* name;
    uint8_t before, after;
    uint32_t flags;  // on the path
    int call;        // 0 draw, 1 hide selected, 2 draw with a baseline after it
  };
  const Row rows[] = {
      {"show counts up and clears the kind", 0x82, 0x03, 0, 0},
      {"the count wraps in six bits", 0x3F, 0x00, 0, 0},
      {"hide counts down keeping the kind", 0x43, 0x42, ZOF_SELECTED, 1},
      {"hide of a last count clears the byte", 0x81, 0x00, ZOF_SELECTED, 1},
      {"hide of an empty pixel stays empty", 0x00, 0x00, ZOF_SELECTED, 1},
      {"boolean operands show as secondary outlines", 0x01, 0x82, ZOF_BOOL_OPERAND, 0},
      {"paths before a baseline are secondary", 0x00, 0x81, 0, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Screen s(RECT{0, 0, 40, 30}, 0, 0, 1.0);
    ZoPath* p = row_line();
    p->flags = r.flags;
    for (int x = 0; x < 40; ++x) s.at(x, 10) = r.before;
    RECT dirty;
    if (r.call == 2) {
      ZoPath* baseline = row_line();
      baseline->flags = ZOF_WRAP_BASELINE;
      for (uint32_t k = 0; k < baseline->count; ++k) ZoPathNodes(baseline)[k].pt.y += 5 << 16;
      chain({p, baseline});
      ASSERT_EQ(ZoPathDraw(s.view, p, &dirty, 0), 1u);
      EXPECT_EQ(s.at(10, 15), 0x01) << "the baseline itself is a normal outline";
    } else if (r.call == 1) {
      ASSERT_EQ(ZoPathHideSelected(s.view, p, &dirty), 1u);
    } else {
      ASSERT_EQ(ZoPathDraw(s.view, p, &dirty, 0), 1u);
    }
    for (int x = 2; x <= 20; ++x) EXPECT_EQ(s.at(x, 10), r.after) << "column " << x;
    EXPECT_EQ(s.at(0, 10), r.before);
    EXPECT_EQ(s.at(22, 10), r.before);
    ZoPathDeletePtr(p, 0);
  }
}

TEST_F(DisplayOutlineTest, ShownSelectedSegmentsAreHighlightedAndHideCleanly) {
  Screen s(RECT{0, 0, 40, 40}, 0, 0, 1.0);
  ZoPath* p = ZoPathCreate();
  add(&p, 1.5, 9.5, PT_MOVETO);
  add(&p, 19.5, 9.5, PT_LINETO);
  add(&p, 19.5, 29.5, PT_LINETO);
  ZoPathNodes(p)[1].type |= PT_SEGMENT_MARK;  // the vertical segment
  p->flags = ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT;
  RECT dirty;
  ASSERT_EQ(ZoPathDraw(s.view, p, &dirty, 0), 1u);
  EXPECT_EQ(s.at(10, 10), 0x01);
  EXPECT_EQ(s.at(20, 20), 0x41);
  ASSERT_EQ(ZoPathHideSelected(s.view, p, &dirty), 1u);
  EXPECT_EQ(s.bytes(), std::vector<uint8_t>(1600, 0));
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayOutlineTest, ShowingTwiceNeedsTwoHidesAndCrossingsKeepTheOtherOutline) {
  Screen s(RECT{0, 0, 40, 40}, 0, 0, 1.0);
  ZoPath* h = row_line();
  ZoPath* v = ZoPathCreate();
  add(&v, 9.5, 1.5, PT_MOVETO);
  add(&v, 9.5, 25.5, PT_LINETO);
  h->flags = v->flags = ZOF_SELECTED;
  RECT d;
  ZoPathDraw(s.view, h, &d, 0);
  ZoPathDraw(s.view, h, &d, 0);
  ZoPathDraw(s.view, v, &d, 0);
  EXPECT_EQ(s.at(10, 10), 3);
  ZoPathHideSelected(s.view, h, &d);
  EXPECT_EQ(s.at(5, 10), 1) << "still shown after one hide";
  ZoPathHideSelected(s.view, h, &d);
  EXPECT_EQ(s.at(5, 10), 0);
  EXPECT_EQ(s.at(10, 10), 1) << "the crossing outline stays";
  EXPECT_EQ(s.at(10, 20), 1);
  ZoPathDeletePtr(h, 0);
  ZoPathDeletePtr(v, 0);
}

TEST_F(DisplayOutlineTest, DiagonalLinesVisitEachPixelOnceAndDirtyIsInWindowCoordinates) {
  Screen s(RECT{100, 50, 140, 90}, 0, 0, 1.0);
  ZoPath* p = ZoPathCreate();
  add(&p, 0, 0, PT_MOVETO);
  add(&p, 10, 10, PT_LINETO);
  RECT dirty;
  ASSERT_EQ(ZoPathDraw(s.view, p, &dirty, 0), 1u);
  const std::vector<uint8_t> bytes = s.bytes();
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 1), 11);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size()) - 11);
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(s.at(i, i), 1);
  EXPECT_LE(dirty.left, 100);
  EXPECT_GE(dirty.right, 111);
  EXPECT_LE(dirty.top, 50);
  EXPECT_GE(dirty.bottom, 61);
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayOutlineTest, HideClearsTheBufferAndReportsTheGroupRectangle) {
  Screen s(RECT{0, 0, 40, 40}, 0, 0, 1.0);
  ZoPath* p = row_line();
  RECT d;
  ZoPathDraw(s.view, p, &d, 0);
  RECT expected;
  ZoPathGetAllMiniMaxRect(p, 65536, &expected);
  ASSERT_EQ(ZoPathHide(s.view, p, &d), 1u);
  EXPECT_EQ(std::memcmp(&d, &expected, sizeof d), 0);
  EXPECT_EQ(s.bytes(), std::vector<uint8_t>(1600, 0));
  ZoPathDraw(s.view, p, &d, 0);
  ZoPathDraw(s.view, p, &d, 1);
  EXPECT_EQ(s.at(10, 10), 1) << "clearFirst starts from an empty buffer";
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayOutlineTest, BadViewsAndExtremeCoordinatesStayInsideTheBuffer) {
  ZoPath* p = ZoPathCreate();
  add(&p, -32767.9, -32767.9, PT_MOVETO);
  add(&p, 32767.9, 32767.9, PT_LINETO);
  add(&p, -32767.9, 32767.9, PT_BEZIERTO);
  add(&p, 32767.9, -32767.9, PT_BEZIERTO);
  add(&p, 5, 5, PT_BEZIERTO);
  p->flags = ZOF_SELECTED;
  RECT d{7, 7, 9, 9};
  EXPECT_EQ(ZoPathDraw(nullptr, p, &d, 0), 0u);
  CoordStruct bare{};
  bare.rcWindow = RECT{0, 0, 10, 10};
  bare.zoom = 1;
  EXPECT_EQ(ZoPathDraw(&bare, p, &d, 0), 1u) << "no buffer: nothing to draw";
  EXPECT_EQ(d.right, 0);
  EXPECT_EQ(ZoPathDraw(&bare, nullptr, &d, 0), 0u);
  for (double zoom : {1e-9, 0.001, 1.0, 1000.0, 1e9, 1e300}) {
    SCOPED_TRACE(zoom);
    Screen s(RECT{0, 0, 64, 48}, 1000, -1000, zoom);
    EXPECT_EQ(ZoPathDraw(s.view, p, &d, 0), 1u);
    EXPECT_EQ(ZoPathHideSelected(s.view, p, &d), 1u);
    EXPECT_EQ(s.bytes(), std::vector<uint8_t>(64 * 48, 0));
  }
  for (double zoom : {0.0, -1.0, std::nan(""), double(INFINITY)}) {
    Screen s(RECT{0, 0, 64, 48}, 0, 0, zoom);
    EXPECT_EQ(ZoPathDraw(s.view, p, &d, 0), 0u);
  }
  ZoPathDeletePtr(p, 0);
}

}  // namespace
