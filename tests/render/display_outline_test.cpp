// Outlines counted into the display buffer: every show is undone exactly by its hide, each
// mode applies its pixel operation, and bad views or coordinates stay inside the buffer.
#include <cmath>

#include "display_helpers.hpp"

namespace {

using namespace zo_display_test;

using DisplayOutlineTest = DisplayTest;

// Every changed byte lies inside the reported window rectangle.
void expect_inside(const Screen& s, const std::vector<uint8_t>& before, const RECT& dirty) {
  RECT box = changed_box(s.bytes(), before, s.width());
  if (box.right == 0) return;
  const int32_t x = s.view->rcWindow.left, y = s.view->rcWindow.top;
  EXPECT_TRUE(box.left + x >= dirty.left && box.right + x <= dirty.right &&
              box.top + y >= dirty.top && box.bottom + y <= dirty.bottom)
      << "pixels changed outside the dirty rectangle";
}

TEST_F(DisplayOutlineTest, ShowThenHideRestoresTheBufferByteForByteInEveryModeFamily) {
  int drawn = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    // A random view (window origin, scroll, zoom); paths reaching well outside the window.
    const double zooms[] = {0.25, 0.5, 1.0, 1.7, 3.0, 8.0};
    RECT window{int32_t(rng() % 40), int32_t(rng() % 30), 0, 0};
    int32_t scrollX = int32_t(rng() % 60) - 30, scrollY = int32_t(rng() % 60) - 30;
    double zoom = zooms[rng() % 6];
    window.right = window.left + 120 + int32_t(rng() % 50);
    window.bottom = window.top + 90 + int32_t(rng() % 40);
    Screen s(window, scrollX, scrollY, zoom);
    // Other outlines already shown, crossing the ones under test.
    ZoPath* background = link_list({random_path(rng, -40, 160, 6), random_path(rng, -40, 160, 6)});
    RECT dirty;
    ASSERT_EQ(ZoPathDraw(s.view, background, &dirty, 0), 1u);
    std::vector<ZoPath*> picked{random_path(rng, -60, 200, 8), random_path(rng, -60, 200, 5)};
    link_list(picked);
    link_selection(picked);
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
      EXPECT_EQ(edges(shown), edges(hidden));
    }
    // One segment of a selected path, shown and hidden, leaves buffer, nodes and flags alone.
    picked[0]->flags = ZOF_SELECTED;
    const std::string nodes = snapshot_list(picked[0]);
    const uint32_t index = uint32_t(rng() % (picked[0]->count - 1));
    ASSERT_EQ(ZoPathDrawSegment(s.view, picked[0], index, &dirty), 1u);
    ASSERT_EQ(ZoPathHideSegment(s.view, picked[0], index, &dirty), 1u);
    EXPECT_EQ(s.bytes(), base);
    EXPECT_EQ(snapshot_list(picked[0]), nodes);
    release_list(picked[0]);
    release_list(background);
  }
  EXPECT_GE(drawn, 45) << "most random outlines cross the window";
}

TEST_F(DisplayOutlineTest, SegmentCallsRefuseSelectedPointsTheLastIndexAndUnselectedPaths) {
  Screen s(RECT{0, 0, 50, 50}, 0, 0, 1.0);
  ZoPath* p = path_from("M 5 5 L 40 5 L 40 40", ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
  RECT dirty{1, 1, 2, 2};
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 0, &dirty), 0u);
  EXPECT_TRUE(s.blank());
  EXPECT_EQ(dirty.right, 0);
  p->flags = ZOF_SELECTED;
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 2, &dirty), 0u);
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 1, &dirty), 1u);
  EXPECT_EQ(s.at(40, 20), 1);  // the second segment only
  EXPECT_EQ(s.at(20, 5), 0);
  p->flags = 0;
  EXPECT_EQ(ZoPathDrawSegment(s.view, p, 0, &dirty), 0u) << "the path must be selected";
  EXPECT_EQ(ZoPathDrawSelectedSegments(s.view, nullptr, &dirty), 0u);
  EXPECT_EQ(ZoPathDrawSelectedSegments(nullptr, p, &dirty), 0u);
  ZoPathDeletePtr(p, 0);
}

// A horizontal line along row 10 from column 2 to 20 at zoom 1 (image y 9.5 maps to row 10).
const char* const kRowLine = "M 1.5 9.5 L 19.5 9.5";

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
    ZoPath* p = path_from(kRowLine, r.flags);
    for (int x = 0; x < 40; ++x) s.at(x, 10) = r.before;
    RECT dirty;
    if (r.call == 2) {
      link_list({p, path_from("M 1.5 14.5 L 19.5 14.5", ZOF_WRAP_BASELINE)});
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
    release_list(p);
  }
}

// Small figures whose every pixel is known: highlighted segments, repeated and crossing
// outlines, a diagonal, and the rectangle ZoPathHide reports.
TEST_F(DisplayOutlineTest, CountsHighlightsAndRectanglesOfKnownFigures) {
  Screen s(RECT{0, 0, 40, 40}, 0, 0, 1.0);
  ZoPath* p = path_from("M 1.5 9.5 L 19.5 9.5 g L 19.5 29.5", ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT);
  RECT d;
  ASSERT_EQ(ZoPathDraw(s.view, p, &d, 0), 1u);
  EXPECT_EQ(s.at(10, 10), 0x01);
  EXPECT_EQ(s.at(20, 20), 0x41) << "the marked segment is highlighted";
  ASSERT_EQ(ZoPathHideSelected(s.view, p, &d), 1u);
  EXPECT_TRUE(s.blank());
  ZoPathDeletePtr(p, 0);
  // Showing twice needs two hides; a crossing outline keeps its pixels.
  ZoPath* h = path_from(kRowLine, ZOF_SELECTED);
  ZoPath* v = path_from("M 9.5 1.5 L 9.5 25.5", ZOF_SELECTED);
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
  // ZoPathHide clears the buffer and reports the group's rectangle; clearFirst starts afresh.
  RECT expected;
  ZoPathGetAllMiniMaxRect(h, 65536, &expected);
  ASSERT_EQ(ZoPathHide(s.view, h, &d), 1u);
  EXPECT_EQ(edges(d), edges(expected));
  EXPECT_TRUE(s.blank());
  ZoPathDraw(s.view, h, &d, 0);
  ZoPathDraw(s.view, h, &d, 1);
  EXPECT_EQ(s.at(10, 10), 1) << "clearFirst starts from an empty buffer";
  for (ZoPath* x : {h, v}) ZoPathDeletePtr(x, 0);
  // A diagonal visits each pixel once; dirty is in window coordinates.
  Screen shifted(RECT{100, 50, 140, 90}, 0, 0, 1.0);
  p = path_from("M 0 0 L 10 10");
  ASSERT_EQ(ZoPathDraw(shifted.view, p, &d, 0), 1u);
  const std::vector<uint8_t> bytes = shifted.bytes();
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 1), 11);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size()) - 11);
  for (int i = 0; i <= 10; ++i) EXPECT_EQ(shifted.at(i, i), 1);
  EXPECT_TRUE(d.left <= 100 && d.right >= 111 && d.top <= 50 && d.bottom >= 61);
  ZoPathDeletePtr(p, 0);
}

TEST_F(DisplayOutlineTest, BadViewsAndExtremeCoordinatesStayInsideTheBuffer) {
  ZoPath* p =
      path_from("M -32767.9 -32767.9 L 32767.9 32767.9 C -32767.9 32767.9 32767.9 -32767.9 5 5",
                ZOF_SELECTED);
  RECT d{7, 7, 9, 9};
  EXPECT_EQ(ZoPathDraw(nullptr, p, &d, 0), 0u);
  CoordStruct bare = view_of(RECT{0, 0, 10, 10});
  EXPECT_EQ(ZoPathDraw(&bare, p, &d, 0), 1u) << "no buffer: nothing to draw";
  EXPECT_EQ(d.right, 0);
  EXPECT_EQ(ZoPathDraw(&bare, nullptr, &d, 0), 0u);
  for (double zoom : {1e-9, 0.001, 1.0, 1000.0, 1e9, 1e300}) {
    SCOPED_TRACE(zoom);
    Screen s(RECT{0, 0, 64, 48}, 1000, -1000, zoom);
    EXPECT_EQ(ZoPathDraw(s.view, p, &d, 0), 1u);
    EXPECT_EQ(ZoPathHideSelected(s.view, p, &d), 1u);
    EXPECT_TRUE(s.blank());
  }
  for (double zoom : {0.0, -1.0, std::nan(""), double(INFINITY)}) {
    Screen s(RECT{0, 0, 64, 48}, 0, 0, zoom);
    EXPECT_EQ(ZoPathDraw(s.view, p, &d, 0), 0u);
  }
  ZoPathDeletePtr(p, 0);
}

}  // namespace
