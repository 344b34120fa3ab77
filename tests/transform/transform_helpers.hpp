// Random documents for the transform and undo tests, and an independent double-precision
// model of a list's points to check transforms against.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "../model/list_snapshot.hpp"
#include "../model/path_builders.hpp"
#include "Zo32path.h"

namespace zo_test {

// Number of parameter nodes appended to each random subpath: a single and a pair.
inline constexpr uint32_t kParamNodes = 3;

// A random list whose subpaths each end with parameter nodes that no by-kind walk may touch.
inline ZoPath* random_list_with_parameters(std::mt19937& rng, int count) {
  ZoPath* head = random_list(rng, count);
  std::vector<ZoPath*> all = members(head);
  for (ZoPath*& p : all) {
    const Ptfx a{0x12345, -0x54321}, b{-0x777, 0x999};
    ZoPath* before = p;
    ZoPathAddPoint(&p, &a, PT_PARAM_SINGLE);
    ZoPathAddPoint(&p, &b, PT_PARAM_PAIR);
    ZoPathAddPoint(&p, &a, 0);
    if (p != before) ADD_FAILURE() << "random subpaths keep room for three more nodes";
  }
  return head;
}

inline bool is_parameter_slot(const ZoPath* p, uint32_t i) { return i + kParamNodes >= p->count; }

inline PointDB db(Ptfx p) { return PointDB{FixToDb(p.x), FixToDb(p.y)}; }
inline Ptfx fx(PointDB p) { return Ptfx{DbToFix(p.x), DbToFix(p.y)}; }

// Fixed-point values agree within one unit (a different but equivalent order of operations).
inline bool near(Ptfx a, Ptfx b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; }

}  // namespace zo_test
