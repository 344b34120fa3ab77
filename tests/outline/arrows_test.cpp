#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../model/path_builders.hpp"
#include "alloc_sweep.hpp"
#include "test_support.hpp"

using namespace zo_test;

namespace {

class Arrows : public ZoTest {};

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6f", v);
  return buf;
}

// A triangle pointing along +x: half-base b, length l, half-height b.
ZoPath* triangle(double b, double l) {
  return path_from("M 0 " + num(-b) + " L " + num(l) + " 0 L 0 " + num(b) + " Z");
}

// Hangs outline information with the given templates on the line (templates become owned).
ZoPathOutlineInfo* outline(ZoPath* line, ZoPath* start, ZoPath* end, uint32_t width,
                           uint64_t disable = 0) {
  ZoPathOutlineInfo* info = nullptr;
  ZoPathAssignOutlineInfo(1, 1, start, 2, 2, end, 0, nullptr, 0, width, 0, 0, &info);
  info->disable = disable;
  ZoPathSetOutlineInfo(line, info);
  return info;
}

TEST_F(Arrows, FitBoundariesAndSizes) {
  // At record width 10 a template T(10, len) is len long; at width argument 4 it is 0.4 len
  // long and 8 wide.
  struct Row {
    double line, start, end;
    uint64_t disable;
    uint32_t hasStart, hasEnd;
  } rows[] = {
      {200, 20, 30, 0, 1, 1},     {200, 20, 30, 1, 0, 0},
      {49.5, 99.5, 10, 0, 0, 1},  // start - L = 50: dropped, the end still fits
      {50.5, 99.5, 10, 0, 0, 0},  // start - L = 49: kept, longer than L: nothing
      {49, 99, 10, 0, 0, 0},      // 99 is not long: kept, nothing fits
      {99, 10, 99.5, 0, 1, 0},    // end long and longer than L: dropped, L' = L
      {99.5, -1, 99.5, 0, 0, 1},  // end equal to L fits (L' = 0)
      {100, 60, 40, 0, 1, 1},     // start equal to L' fits
      {100, 60.5, 40, 0, 0, 0},   // start just over L'
      {10, -1, 20, 0, 0, 0},      // a 10-pixel line with a 20-pixel end arrow
      {100, 0.0, 10, 0, 0, 1},    // b = 0: an unusable start template is absent
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(num(r.line) + " " + num(r.start) + " " + num(r.end));
    ZoPath* line = path_from("M 5 7 L " + num(5 + r.line) + " 7");
    ZoPath* start = r.start < 0 ? nullptr : r.start == 0 ? triangle(0, 10) : triangle(10, r.start);
    outline(line, start, r.end < 0 ? nullptr : triangle(10, r.end), 10, r.disable);
    uint32_t hs = 9, he = 9;
    double sl = -1, sw = -1, el = -1, ew = -1;
    ASSERT_EQ(ZoPathGetArrowWidthHeight(line, 4.0, &hs, &sl, &sw, &he, &el, &ew), 1u);
    EXPECT_EQ(hs, r.hasStart);
    EXPECT_EQ(he, r.hasEnd);
    EXPECT_DOUBLE_EQ(sl, hs ? 0.4 * r.start : 0.0);
    EXPECT_DOUBLE_EQ(sw, hs ? 8.0 : 0.0);
    EXPECT_DOUBLE_EQ(el, he ? 0.4 * r.end : 0.0);
    EXPECT_DOUBLE_EQ(ew, he ? 8.0 : 0.0);
    ZoPath* body = nullptr;
    ASSERT_EQ(ZoPathGetLineArrowBody(line, &body), 1u);
    EXPECT_NEAR(ZoPathGetLength(body), r.line - (hs ? r.start : 0) - (he ? r.end : 0), 1e-4);
    if (!hs && !he) {
      EXPECT_EQ(describe(body), describe(line));
    }
    ZoPathDeletePtr(body, 0);
    ZoPathDeletePtr(line, 0);
  }
  ZoPath* plain = path_from("M 0 0 L 100 0");
  uint32_t h = 0;
  double d = 0;
  ZoPath* body = nullptr;
  EXPECT_EQ(ZoPathGetArrowWidthHeight(plain, 4, &h, &d, &d, &h, &d, &d), 0u);
  EXPECT_EQ(ZoPathGetLineArrowBody(plain, &body), 0u);
  ZoPathDeletePtr(plain, 0);
  // Without a line: trunc(b x 99 / h) of the start template, else the end one.
  ZoPath* t1 = triangle(5, 10);
  ZoPath* t2 = path_from("M 0 -2 L 10 0 L 0 2 L 3 6");  // b 2, h 4: 49.5
  EXPECT_EQ(ZoPathRenderArrowHead(nullptr, t1, t2, 1, nullptr, 0, 0), 99u);
  EXPECT_EQ(ZoPathRenderArrowHead(nullptr, nullptr, t2, 1, nullptr, 0, 0), 49u);
  ZoPathDeletePtr(t1, 0);
  ZoPathDeletePtr(t2, 0);
}

PointDB operator+(PointDB a, PointDB b) { return {a.x + b.x, a.y + b.y}; }
PointDB operator-(PointDB a, PointDB b) { return {a.x - b.x, a.y - b.y}; }
PointDB operator*(PointDB a, double k) { return {a.x * k, a.y * k}; }

// Dense arc-length samples of a line, written independently of the library.
struct Oracle {
  std::vector<PointDB> pts;
  std::vector<double> arc;
  explicit Oracle(ZoPath* p) {
    const PathNode* n = ZoPathNodes(p);
    auto at = [&](uint32_t i) { return PointDB{n[i].pt.x / 65536.0, n[i].pt.y / 65536.0}; };
    add(at(0));
    for (uint32_t i = 1; i < p->count;) {
      if ((n[i].type & 6) == PT_BEZIERTO) {
        PointDB a = at(i - 1), b = at(i), c = at(i + 1), d = at(i + 2);
        for (int k = 1; k <= 20000; ++k) {
          double t = k / 20000.0, u = 1 - t;
          add({u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
               u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y});
        }
        i += 3;
      } else {
        PointDB a = at(i - 1), b = at(i++);
        for (int k = 1; k <= 20000; ++k) add(a + (b - a) * (k / 20000.0));
      }
    }
  }
  void add(PointDB q) {
    arc.push_back(pts.empty() ? 0 : arc.back() + std::hypot(q.x - pts.back().x, q.y - pts.back().y));
    pts.push_back(q);
  }
  PointDB at(double s) const {
    size_t i = std::lower_bound(arc.begin(), arc.end(), s) - arc.begin();
    if (i == 0) return pts[0];
    if (i >= arc.size()) return pts.back();
    double f = (s - arc[i - 1]) / (arc[i] - arc[i - 1]);
    return {pts[i - 1].x + f * (pts[i].x - pts[i - 1].x), pts[i - 1].y + f * (pts[i].y - pts[i - 1].y)};
  }
};

TEST_F(Arrows, BodiesEndWhereTheArcLengthSays) {
  std::mt19937 rng(6);
  std::uniform_real_distribution<double> c(0, 300), frac(0.05, 0.4);
  const char* shapes[] = {"L", "LLL", "C", "LCL", "CC"};
  for (int round = 0; round < 40; ++round) {
    std::string text = "M " + num(c(rng)) + " " + num(c(rng));
    for (const char* k = shapes[round % 5]; *k; ++k) {
      int points = *k == 'C' ? 3 : 1;
      text += std::string(" ") + *k;
      for (int i = 0; i < points; ++i) text += " " + num(c(rng)) + " " + num(c(rng));
    }
    ZoPath* line = path_from(text);
    double total = ZoPathGetLength(line);
    bool both = round % 3 != 0, atStart = round % 3 != 1;
    double s = atStart ? total * frac(rng) : -1, e = both || !atStart ? total * frac(rng) : -1;
    outline(line, s > 0 ? triangle(10, s) : nullptr, e > 0 ? triangle(10, e) : nullptr, 10);
    ZoPath* body = nullptr;
    ASSERT_EQ(ZoPathGetLineArrowBody(line, &body), 1u);
    Oracle oracle(line);
    // ZoPathGetLength follows a cubic to 0.1 pixel and runs about 0.1 % long on curves: there
    // the ends must lie on the line and within 0.2 % of its length of the arc positions.
    bool straight = text.find('C') == std::string::npos;
    double tolerance = straight ? 0.02 : 0.002 * total;
    ASSERT_NEAR(oracle.arc.back(), total, straight ? 1e-6 : 0.002 * total);
    for (uint32_t i : {0u, body->count - 1}) {
      PointDB q{ZoPathNodes(body)[i].pt.x / 65536.0, ZoPathNodes(body)[i].pt.y / 65536.0};
      double nearest = 1e9;
      for (const PointDB& o : oracle.pts) nearest = std::min(nearest, std::hypot(o.x - q.x, o.y - q.y));
      EXPECT_LT(nearest, 0.03);
    }
    const PathNode* b = ZoPathNodes(body);
    PointDB first = oracle.at(s > 0 ? s : 0), last = oracle.at(e > 0 ? total - e : total);
    SCOPED_TRACE(text);
    EXPECT_NEAR(b[0].pt.x / 65536.0, first.x, tolerance);
    EXPECT_NEAR(b[0].pt.y / 65536.0, first.y, tolerance);
    EXPECT_NEAR(b[body->count - 1].pt.x / 65536.0, last.x, tolerance);
    EXPECT_NEAR(b[body->count - 1].pt.y / 65536.0, last.y, tolerance);
    // An untouched end keeps its node exactly.
    const PathNode* n = ZoPathNodes(line);
    if (s <= 0) {
      EXPECT_EQ(0, std::memcmp(&b[0], &n[0], sizeof(PathNode)));
    }
    if (e <= 0) {
      EXPECT_EQ(0, std::memcmp(&b[body->count - 1], &n[line->count - 1], sizeof(PathNode)));
    }
    ZoPathDeletePtr(body, 0);
    ZoPathDeletePtr(line, 0);
  }
}

// Renders the end arrowhead of a line from the centre of a 96 x 96 mask in direction angle.
void head_mask(double degrees, bool curved, ZoPath* templ, double* area) {
  double a = degrees * M_PI / 180, ex = 48 + 30 * std::cos(a), ey = 48 + 30 * std::sin(a);
  std::string end = num(ex) + " " + num(ey);
  ZoPath* line = path_from(curved ? "M 48 48 C 10 80 " + num(ex - 30 * std::sin(a)) + " " +
                                        num(ey + 30 * std::cos(a)) + " " + end
                                  : "M 48 48 L " + end);
  ZoPath* copy = nullptr;
  ZoPathDuplicatePtr(templ, &copy);
  outline(line, nullptr, copy, 6);
  uint8_t* mask = ZoPathBufAlloc(8, 96, 96);
  EXPECT_EQ(ZoPathRenderArrowHead(line, nullptr, templ, 6.0, mask, 0, ZOMASK_AA_SMOOTH), 1u);
  const uint8_t* out = mask;
  *area = 0;
  for (int i = 0; i < 96 * 96; ++i) *area += out[i] / 255.0;
  // The tip: no coverage further than a pixel past the line's end.
  double dx = std::cos(a), dy = std::sin(a);
  if (curved) {
    PointDB p3{ex, ey}, p2{ex - 30 * std::sin(a), ey + 30 * std::cos(a)};
    double len = std::hypot(p3.x - p2.x, p3.y - p2.y);
    dx = (p3.x - p2.x) / len, dy = (p3.y - p2.y) / len;
  }
  double reach = -1e9;
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 96; ++x) {
      if (out[y * 96 + x] > 0) reach = std::max(reach, (x - ex) * dx + (y - ey) * dy);
    }
  }
  EXPECT_LE(reach, 1.0) << degrees;
  EXPECT_GE(reach, -1.0) << degrees;
  ZoPathBufFree(mask);
  ZoPathDeletePtr(line, 0);
}

TEST_F(Arrows, RenderedHeadsSitOnTheLineEnd) {
  ZoPath* templ = triangle(5, 10);  // at width 6: 12 long, 12 wide, area 72
  for (int k = 0; k < 8; ++k) {
    double area = 0;
    head_mask(45.0 * k, false, templ, &area);
    EXPECT_NEAR(area, 72.0, 2.0) << k;
  }
  double area = 0;
  head_mask(30, true, templ, &area);  // on a curved end
  EXPECT_NEAR(area, 72.0, 2.0);
  ZoPathDeletePtr(templ, 0);
}

TEST_F(Arrows, OwnershipAndStorage) {
  LiveCounts start = live_counts();
  ZoPath* line = path_from("M 0 0 C 30 -20 60 20 90 0");
  ZoPath* curvedStart = path_from("M 0 -4 C 4 -4 8 -2 12 0 C 8 2 4 4 0 4 Z");
  ZoPathOutlineInfo* info = outline(line, curvedStart, triangle(3, 9), 7, 0x1234);
  info->values[0] = 11, info->values[3] = 44;
  ZoPath* copy = nullptr;
  ASSERT_EQ(ZoPathDuplicatePtrSingle(line, &copy), 1u);
  uint32_t size = 0;
  HGLOBAL block = nullptr;
  ASSERT_EQ(ZoPathFlatten(line, &size, &block), 1u);
  ZoPath* back = nullptr;
  ASSERT_EQ(ZoPathUnFlatten(&block, &back), 1u);
  for (ZoPath* p : {copy, back}) {
    ZoPathOutlineInfo* i = nullptr;
    ASSERT_EQ(ZoPathGetOutlineInfo(p, &i), 1u);
    EXPECT_NE(i, info);
    EXPECT_EQ(i->disable, 0x1234u);
    EXPECT_EQ(0, std::memcmp(i->values, info->values, sizeof i->values));
    EXPECT_NE(i->startTemplate, info->startTemplate);
    EXPECT_EQ(describe(i->startTemplate), describe(info->startTemplate));
    EXPECT_EQ(describe(i->endTemplate), describe(info->endTemplate));
    EXPECT_EQ(describe(p), describe(line));
    ZoPathDeletePtr(p, 0);
  }
  ZoPlatGlobalFree(block);
  // Assigning the same keys with a new template drops the new one and keeps the stored one.
  ZoPath* stored = info->startTemplate;
  ZoPathAssignOutlineInfo(1, 1, triangle(1, 1), 2, 2, nullptr, 0, nullptr, 1, 2, 3, 4, &info);
  EXPECT_EQ(info->startTemplate, stored);
  ZoPathDeletePtr(line, 0);
  EXPECT_TRUE(live_counts() == start);

  // Text-split records in fixed global blocks.
  auto block_of = [](size_t n) { return ZoPlatGlobalAlloc(GPTR, n); };
  size_t globals = ZoPlatGlobalLiveBlocks();
  ZoPathCoord* chain = nullptr;
  for (int i = 0; i < 3; ++i) {
    auto* c = static_cast<ZoPathCoord*>(static_cast<void*>(block_of(sizeof(ZoPathCoord))));
    c->next = chain, chain = c;
  }
  EXPECT_EQ(ZoPathDeleteCoord(chain), 1u);
  auto** runs = static_cast<ZoPathTextRun**>(static_cast<void*>(block_of(16)));
  runs[0] = static_cast<ZoPathTextRun*>(static_cast<void*>(block_of(sizeof(ZoPathTextRun))));
  runs[0]->text = static_cast<char*>(static_cast<void*>(block_of(4)));
  auto** points = static_cast<void**>(static_cast<void*>(block_of(24)));
  points[1] = block_of(32);
  EXPECT_EQ(ZoPathSplitTextDelREandPTArray(runs, 16, points, 24), 1u);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), globals);
}

TEST_F(Arrows, AllocationFailures) {
  ZoPath* line = path_from("M 0 0 L 40 0 C 60 0 80 20 80 40");
  outline(line, triangle(5, 10), triangle(5, 10), 6);
  auto snapshot = [=] { return describe(line); };
  run_alloc_sweep({
      {"ZoPathGetLineArrowBody", true,
       [=] {
         auto body = std::make_shared<ZoPath*>(nullptr);
         return Scenario{[=] { return ZoPathGetLineArrowBody(line, body.get()) == 1; }, snapshot,
                         [=] { ZoPathDeletePtr(*body, 0); }};
       }},
  });
  // The rasteriser finishes a fill whose band arrays cannot be made, so only the copy of the
  // template can make the call fail.
  ZoPathOutlineInfo* info = nullptr;
  ZoPathGetOutlineInfo(line, &info);
  uint8_t* mask = ZoPathBufAlloc(8, 100, 60);
  LiveCounts before = live_counts();
  zo32commClearReports();
  ZoPlatFailAllocation(1);
  EXPECT_EQ(ZoPathRenderArrowHead(line, nullptr, info->endTemplate, 6, mask, 0, 1), 0u);
  ZoPlatFailAllocation(0);
  EXPECT_EQ(no_memory_reports(), 1u);
  EXPECT_TRUE(live_counts() == before);
  EXPECT_EQ(std::count(mask, mask + 6000, 0), 6000);
  ZoPathBufFree(mask);
  ZoPathDeletePtr(line, 0);
}

}  // namespace
