// A big path list for whole-list benchmarks, and the floor they are measured against: one
// memcpy of all the records' bytes.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Zo32path.h"

namespace zo_bench {

// `subpaths` subpaths of `nodes` nodes (lines and cubics) in join chains of 10, with one
// selection chain through every other join chain.
struct BigList {
  static constexpr int kChainLength = 10;
  ZoPath* head = nullptr;
  std::vector<ZoPath*> records;
  size_t bytes = 0;

  BigList(int subpaths, int nodes) {
    ZoPathInit();
    ZoPath* previous = nullptr;
    ZoPath* lastSelected = nullptr;
    for (int i = 0; i < subpaths; ++i) {
      ZoPath* p = ZoPathCreate();
      for (int k = 0; k < nodes; ++k) {
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
      runs.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
  }
};

// The floor of making new records: one malloc per record and a memcpy of its bytes into it
// (the median of seven runs; the copies are freed outside the timing).
inline double time_fresh_copies(const BigList& list) {
  std::vector<double> runs;
  std::vector<void*> copies(list.records.size());
  for (int r = 0; r < 7; ++r) {
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < list.records.size(); ++i) {
      size_t n = ZoPlatHeapBlockSize(list.records[i]);
      copies[i] = std::malloc(n);
      std::memcpy(copies[i], list.records[i], n);
    }
    benchmark::ClobberMemory();
    runs.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    for (void* c : copies) std::free(c);
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

inline void release(ZoPath* p) {
  while (p != nullptr) {
    ZoPath* next = p->next;
    ZoPathDeletePtr(p, 0);
    p = next;
  }
}

}  // namespace zo_bench
