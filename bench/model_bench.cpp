// Whole-list operations against the floor of copying the same record bytes.
//
// A list of 100,000 subpaths in 10,000 join chains of 10, with one selection chain through
// every other join chain. Each benchmark reports its time per iteration and, as the counter
// x_memcpy, that time as a multiple of one memcpy of all the records' bytes; the duplicate
// also as x_fresh_copies, a multiple of copying every record into a new malloc block.
#include <benchmark/benchmark.h>

#include <chrono>

#include "big_list.hpp"

namespace {

using zo_bench::BigList;
using zo_bench::release;

BigList& big_list() {
  static BigList list(100000, 10);
  return list;
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
  double freshSeconds = zo_bench::time_fresh_copies(list);
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
  state.counters["x_fresh_copies"] = total / static_cast<double>(state.iterations()) / freshSeconds;
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
