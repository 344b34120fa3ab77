// Whole-list operations against the floor of copying the same record bytes.
//
// A list of 100,000 subpaths in 10,000 join chains of 10, with one selection chain through
// every other join chain. Each benchmark reports its time per iteration and, as the counter
// x_memcpy, that time as a multiple of one memcpy of all the records' bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "Zo32path.h"

namespace {

constexpr int kSubpaths = 100000;
constexpr int kChainLength = 10;
constexpr int kNodes = 10;

struct BigList {
  ZoPath* head = nullptr;
  std::vector<ZoPath*> records;
  size_t bytes = 0;

  BigList() {
    ZoPathInit();
    ZoPath* previous = nullptr;
    ZoPath* lastSelected = nullptr;
    for (int i = 0; i < kSubpaths; ++i) {
      ZoPath* p = ZoPathCreate();
      for (int k = 0; k < kNodes; ++k) {
        Ptfx pt{(i % 1000 + k) << 16, (i / 1000 + k * 3) << 16};
        ZoPathAddPoint(&p, &pt, k == 0 ? PT_MOVETO : (k % 4 == 0 ? PT_LINETO : PT_BEZIERTO));
      }
      ZoPathPurge(&p);
      if (previous != nullptr) {
        previous->next = p;
        p->prev = previous;
        if (i % kChainLength != 0) {
          previous->joinNext = p;
          p->joinPrev = previous;
        }
      }
      if ((i / kChainLength) % 2 == 0) {
        p->flags |= ZOF_SELECTED;
        p->selPrev = lastSelected;
        if (lastSelected != nullptr) lastSelected->selNext = p;
        lastSelected = p;
      }
      records.push_back(p);
      bytes += ZoPlatHeapBlockSize(p);
      previous = p;
    }
    head = records.front();
  }

  // The floor: one copy of every record's bytes into a buffer of the same total size.
  double time_memcpy() const {
    std::vector<char> target(bytes);
    std::vector<double> runs;
    for (int r = 0; r < 7; ++r) {
      auto start = std::chrono::steady_clock::now();
      char* out = target.data();
      for (ZoPath* p : records) {
        size_t n = ZoPlatHeapBlockSize(p);
        std::memcpy(out, p, n);
        out += n;
      }
      benchmark::DoNotOptimize(target.data());
      runs.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
  }
};

BigList& big_list() {
  static BigList list;
  return list;
}

void release(ZoPath* p) {
  while (p != nullptr) {
    ZoPath* next = p->next;
    ZoPathDeletePtr(p, 0);
    p = next;
  }
}

void BM_Memcpy(benchmark::State& state) {
  BigList& list = big_list();
  for (auto _ : state) state.SetIterationTime(list.time_memcpy());
  state.counters["x_memcpy"] = 1.0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.bytes));
}

void BM_DuplicatePtr(benchmark::State& state) {
  BigList& list = big_list();
  double floorSeconds = list.time_memcpy();  // measured now, under the same conditions
  double total = 0;
  for (auto _ : state) {
    ZoPath* copy = nullptr;
    auto start = std::chrono::steady_clock::now();
    ZoPathDuplicatePtr(list.head, &copy);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
    release(copy);
  }
  state.counters["x_memcpy"] = total / static_cast<double>(state.iterations()) / floorSeconds;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.bytes));
}

void BM_GetAllMiniMaxRect(benchmark::State& state) {
  BigList& list = big_list();
  double floorSeconds = list.time_memcpy();
  double total = 0;
  for (auto _ : state) {
    RECT r;
    auto start = std::chrono::steady_clock::now();
    ZoPathGetAllMiniMaxRect(list.head, 65536, &r);
    benchmark::DoNotOptimize(r);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["x_memcpy"] = total / static_cast<double>(state.iterations()) / floorSeconds;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.bytes));
}

BENCHMARK(BM_Memcpy)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DuplicatePtr)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GetAllMiniMaxRect)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
