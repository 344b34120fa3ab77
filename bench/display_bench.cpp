// Display-buffer speed: showing and hiding a long outline costs time in proportion to the
// pixels it visits, and painting a whole 4K buffer is compared with copying the image bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "Zo32path.h"

namespace {

constexpr int32_t kWidth = 3840, kHeight = 2160;

struct Screen {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  Screen() {
    ZoPathInit();
    ZoPathNew(&table);
    RECT window{0, 0, kWidth, kHeight};
    ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
  }
  ~Screen() {
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
};

// 10,000 segments, lines and cubics alternately, wandering over the whole window.
ZoPath* long_path() {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight);
  ZoPath* p = ZoPathCreate();
  auto add = [&](uint16_t type) {
    Ptfx pt{DbToFix(x(rng)), DbToFix(y(rng))};
    ZoPathAddPoint(&p, &pt, type);
  };
  add(PT_MOVETO);
  for (int s = 0; s < 10000; ++s) {
    if (s % 2 == 0) {
      add(PT_LINETO);
    } else {
      for (int k = 0; k < 3; ++k) add(PT_BEZIERTO);
    }
  }
  p->flags = ZOF_SELECTED;
  return p;
}

void BM_DrawThenHide(benchmark::State& state) {
  Screen s;
  ZoPath* p = long_path();
  RECT dirty;
  // Pixels visited: the count left behind by one show, summed over the buffer.
  ZoPathDraw(s.view, p, &dirty, 0);
  double visited = 0;
  for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i) visited += s.view->lpDB[i] & 0x3F;
  ZoPathHideSelected(s.view, p, &dirty);
  for (auto _ : state) {
    ZoPathDraw(s.view, p, &dirty, 0);
    ZoPathHideSelected(s.view, p, &dirty);
    benchmark::ClobberMemory();
  }
  state.counters["Mpixels"] = visited / 1e6;
  state.counters["ns_per_Mpixel"] =
      benchmark::Counter(2 * visited / 1e6, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
  ZoPathDeletePtr(p, 0);
}
BENCHMARK(BM_DrawThenHide)->Unit(benchmark::kMillisecond);

// The whole buffer with the long outline shown, painted over a 3-byte image.
void BM_PaintMem(benchmark::State& state) {
  Screen s;
  ZoPath* p = long_path();
  RECT dirty, all{0, 0, kWidth, kHeight};
  ZoPathDraw(s.view, p, &dirty, 0);
  std::vector<uint8_t> image(size_t(kWidth) * kHeight * 3, 0x55);
  for (auto _ : state) {
    ZoPathPaintMem(&all, s.table, image.data());
    benchmark::ClobberMemory();
  }
  ZoPathDeletePtr(p, 0);
}
BENCHMARK(BM_PaintMem)->Unit(benchmark::kMillisecond);

void BM_MemcpyImage(benchmark::State& state) {
  std::vector<uint8_t> from(size_t(kWidth) * kHeight * 3, 0x55), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyImage)->Unit(benchmark::kMillisecond);

}  // namespace
