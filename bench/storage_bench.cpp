// Storing and reading back a big list, against the floor of copying the stored block's bytes.
//
// 100,000 subpaths of 100 nodes (10 million nodes, about 100 MB stored) in join chains of 10
// with a selection chain. Two floors, measured in the same run: x_memcpy is the time as a
// multiple of one memcpy of the block's bytes between two buffers already in memory;
// x_fresh_memcpy as a multiple of allocating a new buffer of that size and copying the bytes
// into it, which is what any call that hands back a new block of this size must pay at least
// (the operating system supplies and clears every new page on first touch).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "big_list.hpp"

namespace {

using zo_bench::BigList;
using zo_bench::release;

struct StoredList {
  BigList list{100000, 100};
  HGLOBAL block = nullptr;
  uint32_t size = 0;
  double memcpySeconds = 0;
  double freshSeconds = 0;

  StoredList() {
    ZoPathFlatten(list.head, &size, &block);
    std::vector<char> from(size, 1), to(size, 0);
    memcpySeconds = median_of_7([&] { std::memcpy(to.data(), from.data(), size); });
    freshSeconds = median_of_7([&] {
      char* fresh = static_cast<char*>(std::malloc(size));
      std::memcpy(fresh, from.data(), size);
      benchmark::DoNotOptimize(fresh);
      std::free(fresh);
    });
  }

  template <typename Copy>
  static double median_of_7(Copy copy) {
    std::vector<double> runs;
    for (int r = 0; r < 7; ++r) {
      auto start = std::chrono::steady_clock::now();
      copy();
      benchmark::ClobberMemory();
      runs.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
  }
};

StoredList& stored() {
  static StoredList s;
  return s;
}

template <typename Run>
void measure(benchmark::State& state, Run run) {
  StoredList& s = stored();
  double total = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    run(s);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  double mean = total / static_cast<double>(state.iterations());
  state.counters["x_memcpy"] = mean / s.memcpySeconds;
  state.counters["x_fresh_memcpy"] = mean / s.freshSeconds;
  state.counters["MB"] = s.size / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.size);
}

void BM_Flatten(benchmark::State& state) {
  HGLOBAL last = nullptr;
  measure(state, [&](StoredList& s) {
    ZoPlatGlobalFree(last);
    uint32_t size = 0;
    last = nullptr;
    ZoPathFlatten(s.list.head, &size, &last);
  });
  ZoPlatGlobalFree(last);
}

void BM_UnFlatten(benchmark::State& state) {
  ZoPath* last = nullptr;
  measure(state, [&](StoredList& s) {
    release(last);
    last = nullptr;
    ZoPathUnFlatten(&s.block, &last);
  });
  release(last);
}

BENCHMARK(BM_Flatten)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UnFlatten)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
