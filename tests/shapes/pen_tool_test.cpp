// The pen tool driven message by message through a window that plays the host's part: node
// lists after each message, capture, beeps and traces, the thresholds (drag, Shift, closing
// boxes), Backspace and Esc, scrolling, and a random property: a script that ends with Esc
// leaves the window's pixels as they were.
#include <random>
#include <string>

#include "../model/path_builders.hpp"
#include "pen_session.hpp"

namespace {

using zo_test::PenSession;

class PenToolTest : public ModelTest {};

// The drawn subpath in window pixels (zoom 1, no scroll: image = window - 0.5).
std::string nodes(const PenSession& s) {
  return s.path() == nullptr ? "" : zo_test::describe(s.path(), DbToFix(-0.5));
}

struct Step {
  char op;  // d down, u up, m move, c double click (515 alone), k key
  int x, y;
  uint32_t ret;
  const char* after;
  int capture;
};

void play(PenSession& s, const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& t = steps[i];
    SCOPED_TRACE(testing::Message() << "step " << i << " " << t.op << " " << t.x << "," << t.y);
    uint32_t r = t.op == 'd'   ? s.down(t.x, t.y)
                 : t.op == 'u' ? s.up(t.x, t.y)
                 : t.op == 'm' ? s.move(t.x, t.y)
                 : t.op == 'c' ? s.send(ZOMSG_LBUTTONDBLCLK, t.x, t.y)
                               : s.key(uint32_t(t.x));
    EXPECT_EQ(r, t.ret);
    EXPECT_EQ(nodes(s), t.after);
    EXPECT_EQ(ZoPlatGetCapture(), uint32_t(t.capture));
  }
}

TEST_F(PenToolTest, CornersSmoothPointsAndClosingMessageByMessage) {
  PenSession s(ZOPEN_CLOSING);
  const std::string a = "M 100 100", b = a + " L 200 100",
                    c = b + " N 0x4 200 100 N 0x4 140 200 N 0x2004 200 200",
                    d = c + " C 260 200 200 200 200 200", e = c + " C 260 200 100 200 100 200";
  play(s, {{'d', 100, 100, 0, a.c_str(), 1},  {'u', 100, 100, 0, a.c_str(), 1},
           {'m', 150, 120, 0, a.c_str(), 1},  {'d', 200, 100, 0, a.c_str(), 1},
           {'u', 200, 100, 0, b.c_str(), 1},  {'d', 200, 200, 0, b.c_str(), 1},
           {'m', 230, 200, 0, b.c_str(), 1},  {'u', 260, 200, 0, d.c_str(), 1},
           {'m', 120, 210, 0, d.c_str(), 1},  {'d', 100, 200, 0, d.c_str(), 1},
           {'u', 100, 200, 0, e.c_str(), 1},  {'k', 65, 0, 0, e.c_str(), 1},
           {'d', 104, 109, 0, e.c_str(), 1},  {'u', 104, 109, 0, (e + " L 104 109").c_str(), 1},
           {'c', 104, 109, 1, (e + " L 100 100 Z").c_str(), 0},
           {'u', 104, 109, 0, (e + " L 100 100 Z").c_str(), 0}});
  EXPECT_EQ(s.path()->flags, ZOF_SELECTED);
  EXPECT_EQ(s.table->groups[0].selected, s.path());
  EXPECT_TRUE(s.clean());
  const std::string trace = trace_text();
  EXPECT_NE(trace.find("** ZoPathMouseProcDraw(): subpath closed!\n"), std::string::npos);
  EXPECT_NE(trace.find("ZoPathMouseProcDraw(): ptsbuf released, size = 64.\n"), std::string::npos);
  EXPECT_EQ(ZoPlatBeepCount(), 0u);
}

TEST_F(PenToolTest, FreePathsDropShortEndHandlesAndClosedCurvesJoinSmoothly) {
  PenSession s(ZOPEN_FREE);
  s.down(100, 100);
  s.move(110, 100);
  s.up(103, 100);  // dragged out, released 3 pixels from the press: a short handle
  s.click(200, 150);
  s.down(300, 100);
  s.move(310, 100);
  s.up(302, 100);
  EXPECT_EQ(s.send(ZOMSG_LBUTTONDBLCLK, 302, 100), 1u);
  EXPECT_EQ(nodes(s), "M 100 100 C 100 100 200 150 200 150 N 0x4 200 150 N 0x4 300 100 N 0x2004 "
                      "300 100");
  PenSession t(ZOPEN_CLOSING);
  t.drag(100, 100, 100, 60);
  t.drag(200, 200, 240, 200);
  EXPECT_EQ(t.double_click(101, 101), 1u);
  ZoPath* p = t.path();
  const PathNode* n = ZoPathNodes(p);
  EXPECT_EQ(p->count, 7u);
  EXPECT_TRUE(n[6].pt.x == n[0].pt.x && n[6].pt.y == n[0].pt.y && n[6].type == 5);
  EXPECT_EQ(int32_t(n[5].pt.x), DbToFix(99.5));  // the mirror of node 1 through node 0
  EXPECT_EQ(int32_t(n[5].pt.y), DbToFix(139.5));
  EXPECT_TRUE(s.clean() && t.clean());
}

TEST_F(PenToolTest, BackspaceTakesBackNodesAndEscKeepsThem) {
  PenSession s(ZOPEN_CLOSING);
  s.click(100, 100);
  s.drag(100, 100, 100, 150);  // a handle out of the first point
  s.click(200, 100);
  s.drag(300, 100, 300, 160);
  play(s, {{'k', 8, 0, 0, "M 100 100 C 100 150 200 100 200 100", 1},
           {'k', 8, 0, 0, "M 100 100 C 100 150 100 100 100 100", 1},
           {'k', 8, 0, 0, "M 100 100", 1},
           {'k', 8, 0, 0, "M 100 100", 1}});
  s.click(150, 150);
  s.drag(250, 150, 250, 200);
  play(s, {{'m', 300, 300, 0, "M 100 100 L 150 150 N 0x4 150 150 N 0x4 250 100 N 0x2004 250 150 "
                              "C 250 200 250 150 250 150", 1},
           {'k', 27, 0, 0, "M 100 100 L 150 150 N 0x4 150 150 N 0x4 250 100 N 0x2004 250 150 "
                           "C 250 200 250 150 250 150", 0}});
  EXPECT_NE(s.path()->flags & ZOF_DRAWING, 0u);
  EXPECT_TRUE(s.clean());
  EXPECT_EQ(s.move(10, 10) + s.up(10, 10) + s.send(ZOMSG_LBUTTONDBLCLK, 10, 10), 0u);
}

TEST_F(PenToolTest, ThresholdsOfDragsShiftAndClosingBoxes) {
  {
    PenSession s(ZOPEN_CLOSING);
    s.click(100, 100);
    s.drag(200, 100, 204, 104);  // 4 pixels: a click
    s.drag(300, 100, 305, 100);  // 5 pixels: a smooth point
    EXPECT_EQ(nodes(s), "M 100 100 L 200 100 N 0x4 200 100 N 0x4 295 100 N 0x2004 300 100 "
                        "C 305 100 300 100 300 100");
  }
  {
    PenSession s(ZOPEN_CLOSING);
    s.click(100, 100);
    s.click(200, 100);
    EXPECT_EQ(s.double_click(105, 95), 0u);  // three nodes cannot close
    EXPECT_EQ(nodes(s), "M 100 100 L 200 100 L 105 95");
  }
  struct ShiftRow {
    int x, y, wantX, wantY;
  } rows[] = {{150, 110, 150, 100}, {150, 140, 145, 145}, {110, 150, 100, 150},
              {130, 140, 135, 135}, {60, 90, 60, 100},    {60, 150, 55, 145},
              {100, 100, 100, 100}, {140, 60, 140, 60}};
  for (const ShiftRow& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
    PenSession s(ZOPEN_CLOSING);
    s.click(100, 100);
    s.down(r.x, r.y, true);
    s.up(r.x, r.y);  // the unmoved pointer: still a click
    EXPECT_EQ(nodes(s), r.x == 100 && r.y == 100 ? std::string("M 100 100")
                                                 : "M 100 100 L " + std::to_string(r.wantX) +
                                                       " " + std::to_string(r.wantY));
  }
  for (int offset : {9, 10}) {
    for (uint32_t mode : {ZOPEN_CLOSING, ZOPEN_CLOSING_ADD}) {
      PenSession s(mode);
      s.click(100, 100);
      s.click(200, 100);
      s.click(150, 200);
      s.down(107, 93, true);  // within 8 pixels of the first point: Shift does nothing
      s.up(107, 93);
      EXPECT_EQ(nodes(s), "M 100 100 L 200 100 L 150 200 L 107 93");
      s.key(ZOKEY_BACKSPACE);
      EXPECT_EQ(s.double_click(100 + offset, 100 - offset), 1u);
      const std::string last = offset == 9 ? "L 100 100 Z" : "L 110 90";
      EXPECT_EQ(nodes(s), "M 100 100 L 200 100 L 150 200 " + last);
    }
  }
}

TEST_F(PenToolTest, TwoPointLinesHiddenPathsAndOddInput) {
  PenSession s(ZOPEN_LINE);
  play(s, {{'d', 100, 100, 0, "M 100 100", 1}, {'u', 100, 100, 0, "M 100 100", 1},
           {'d', 102, 103, 0, "M 100 100", 1}, {'u', 102, 103, 0, "M 100 100", 1},
           {'d', 150, 100, 1, "M 100 100 L 150 100", 0}});
  s.drag(300, 300, 350, 320);
  EXPECT_EQ(nodes(s), "M 300 300 L 350 320");
  s.table->shown = 0;
  EXPECT_EQ(s.down(10, 10), 0u);
  EXPECT_EQ(ZoPlatBeepCount(), 1u);
  EXPECT_EQ(s.proc(s.dc, nullptr, s.view, ZOMSG_LBUTTONDOWN, 0, POINT{1, 1}, 2, 1), 0u);
  EXPECT_EQ(ZoPlatBeepCount(), 2u);
  EXPECT_EQ(s.proc(s.dc, s.table, nullptr, ZOMSG_LBUTTONDOWN, 0, POINT{1, 1}, 2, 1), 0u);
  s.table->shown = 0x10000;
  // Without a dc the states still change; pointers far outside draw nothing outside.
  PenSession t(ZOPEN_CLOSING);
  HDC dc = t.dc;
  t.dc = nullptr;
  t.click(100, 100);
  t.dc = dc;
  t.click(1 << 27, -(1 << 27));
  t.drag(-(1 << 27), 1 << 27, 1 << 27, 1 << 27);
  t.move(50, 50);
  EXPECT_EQ(t.path()->count, 8u);
  EXPECT_EQ(int32_t(ZoPathNodes(t.path())[1].pt.x), DbToFix(32767.0));
  EXPECT_EQ(t.key(ZOKEY_ESCAPE), 0u);
  EXPECT_TRUE(s.clean());  // t's dc missed the first marker
}

TEST_F(PenToolTest, ManyNodesGrowTheBufferAndAnyScriptEndingWithEscRestoresThePixels) {
  {
    PenSession s(ZOPEN_FREE);
    for (int i = 0; i < 70; ++i) s.click(10 + i * 13, 100 + (i % 7) * 20);
    EXPECT_EQ(s.double_click(1000, 700), 1u);
    EXPECT_EQ(s.path()->count, 71u);
    EXPECT_NE(trace_text().find("ptsbuf released, size = 128."), std::string::npos);
  }
  std::mt19937 rng(1414);
  for (int run = 0; run < 40; ++run) {
    SCOPED_TRACE(run);
    PenSession s(rng() % 4, run % 3 == 0 ? 3.0 : 1.0, int(rng() % 50), int(rng() % 50));
    s.clipScroll = int(rng() % 2);
    auto coord = [&](int limit) { return int(rng() % uint32_t(limit + 200)) - 100; };
    for (int m = 0; m < 30; ++m) {
      const int x = coord(PenSession::kWidth), y = coord(PenSession::kHeight);
      switch (rng() % 8) {
        case 0: s.down(x, y, rng() % 3 == 0); break;
        case 1: s.up(x, y); break;
        case 2: s.click(x, y); break;
        case 3: s.drag(x, y, x + coord(60) - 50, y + coord(60) - 50); break;
        case 4: s.key(ZOKEY_BACKSPACE); break;
        case 5: s.scroll(int(rng() % 41) - 20, int(rng() % 41) - 20); break;
        default: s.move(x, y);
      }
    }
    s.key(ZOKEY_ESCAPE);
    ASSERT_TRUE(s.clean());
  }
}

}  // namespace
