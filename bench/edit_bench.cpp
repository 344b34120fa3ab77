// Answering the mouse: a click must come back fast however large the drawing. Clicks on a
// drawing of 10,000 subpaths (closed figures of three lines and a cubic, on a 4K window):
// a miss the display-buffer probe settles, a hit on the last subpath tested, a hit on a
// cubic's body, and a rubber band over all of them.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Zo32path.h"

namespace {

constexpr int32_t kWidth = 3840, kHeight = 2160;
constexpr int kSubpaths = 10000;

int64_t pack(int32_t x, int32_t y) {
  return int64_t(uint64_t(uint32_t(x)) | (uint64_t(uint32_t(y)) << 32));
}

// Small figures on a grid of 100 x 100 cells, each 30 x 18 image pixels, so every click
// lands where the test of the whole drawing is needed.
struct Drawing {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  Drawing() {
    ZoPathInit();
    ZoPathNew(&table);
    RECT window{0, 0, kWidth, kHeight};
    ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
    ZoPath* previous = nullptr;
    for (int i = 0; i < kSubpaths; ++i) {
      double x = 20 + (i % 100) * 38.0, y = 20 + (i / 100) * 21.0;
      ZoPath* p = ZoPathCreate();
      auto add = [&](double px, double py, uint16_t type) {
        Ptfx pt{DbToFix(px), DbToFix(py)};
        ZoPathAddPoint(&p, &pt, type);
      };
      add(x, y, PT_MOVETO);
      add(x + 30, y, PT_LINETO);
      add(x + 38, y + 4, PT_BEZIERTO);
      add(x + 38, y + 14, PT_BEZIERTO);
      add(x + 30, y + 18, PT_BEZIERTO);
      add(x, y + 18, PT_LINETO);
      add(x, y, PT_LINETO | PT_CLOSEFIGURE);
      ZoPathPurge(&p);
      if (previous != nullptr) {
        previous->next = p;
        p->prev = previous;
      } else {
        table->groups[0].first = p;
      }
      previous = p;
    }
    RECT dirty;
    ZoPathDraw(view, table->groups[0].first, &dirty, 1);
  }
  ~Drawing() {
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  uint32_t click(int64_t point, uint32_t how) {
    ZoPath* p = nullptr;
    uint32_t index = 0;
    uint16_t param = 0;
    return ZoPathPtOn(point, how, nullptr, view, table, &p, &index, &param);
  }
};

// Empty space between figures: the probe answers without looking at any subpath.
void BM_PtOnMissByProbe(benchmark::State& state) {
  Drawing d;
  for (auto _ : state) benchmark::DoNotOptimize(d.click(pack(3830, 2150), ZOHIT_TEST));
}
BENCHMARK(BM_PtOnMissByProbe);

// The last subpath's first node: every other subpath is tested before it.
void BM_PtOnHitLastSubpath(benchmark::State& state) {
  Drawing d;
  const int64_t last = pack(20 + 99 * 38, 20 + 99 * 21);
  if (d.click(last, ZOHIT_TEST) != 1) state.SkipWithError("no hit");
  for (auto _ : state) benchmark::DoNotOptimize(d.click(last, ZOHIT_TEST));
}
BENCHMARK(BM_PtOnHitLastSubpath);

// The middle of the last subpath's cubic side: a nearest-point solve at the end.
void BM_PtOnHitCubicBody(benchmark::State& state) {
  Drawing d;
  const int64_t side = pack(20 + 99 * 38 + 36, 20 + 99 * 21 + 9);
  if (d.click(side, ZOHIT_TEST) != 1) state.SkipWithError("no hit");
  for (auto _ : state) benchmark::DoNotOptimize(d.click(side, ZOHIT_TEST));
}
BENCHMARK(BM_PtOnHitCubicBody);

// A rubber band over the whole drawing, catching by crossing and then by points inside,
// selecting everything (the first call) and then finding everything already selected.
void BM_RectClip(benchmark::State& state) {
  Drawing d;
  RECT all{0, 0, kWidth, kHeight};
  const uint32_t how = uint32_t(state.range(0)) | ZOHIT_ADD;
  for (auto _ : state) {
    uint32_t changed = 0;
    benchmark::DoNotOptimize(ZoPathRectClip(&all, d.table, nullptr, d.view, how, &changed));
  }
}
BENCHMARK(BM_RectClip)->Arg(ZOHIT_CROSSING)->Arg(ZOHIT_INSIDE);

}  // namespace
