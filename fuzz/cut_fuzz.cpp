// Cutting on arbitrary small shapes: subpaths, a cutting subpath and a line are decoded from
// the bytes on a coarse grid (so points coincide and edges overlap often), every cut runs in
// both pairing modes, and each result must be a well-formed list whose closed pieces end where
// they start. The crossings of every pair of segments are computed too, which bounds the
// halving on coincident and degenerate curves.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Zo32path.h"
#include "boolean/curve_intersection.hpp"

namespace {

struct Bytes {
  const uint8_t* data;
  size_t size, at = 0;
  uint8_t next() { return at < size ? data[at++] : 0; }
  // A coordinate on a quarter-pixel grid within +-32 pixels.
  int32_t coordinate() { return static_cast<int32_t>(static_cast<int8_t>(next())) * 16384; }
};

// One subpath: a header byte (bit 0 closed, bits 1-4 the segment count - 1), then per segment
// a kind byte (bit 0: cubic) and its points; a closed one ends with a line back to its start.
ZoPath* decode(Bytes* in) {
  uint8_t header = in->next();
  ZoPath* p = ZoPathCreate();
  if (p == nullptr) return nullptr;
  Ptfx pt{in->coordinate(), in->coordinate()};
  ZoPathAddPoint(&p, &pt, PT_MOVETO);
  for (int s = 0; s <= ((header >> 1) & 15); ++s) {
    bool cubic = (in->next() & 1) != 0;
    for (int k = 0; k < (cubic ? 3 : 1); ++k) {
      pt = Ptfx{in->coordinate(), in->coordinate()};
      ZoPathAddPoint(&p, &pt, cubic ? PT_BEZIERTO : PT_LINETO);
    }
  }
  if ((header & 1) != 0) {  // closed figures repeat their start point, as the library makes them
    Ptfx start = ZoPathNodes(p)[0].pt;
    ZoPathAddPoint(&p, &start, PT_LINETO | PT_CLOSEFIGURE);
  }
  return p;
}

void release(ZoPath* list) {
  while (list != nullptr) {
    ZoPath* next = list->next;
    ZoPathDeletePtrSingle(list);
    list = next;
  }
}

void check(ZoPath* list) {
  if (list != nullptr && list->prev != nullptr) std::abort();
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    if ((p->next != nullptr && p->next->prev != p) || p->joinPrev != nullptr ||
        p->selPrev != nullptr || p->selNext != nullptr || p->count == 0)
      std::abort();
    const PathNode* n = ZoPathNodes(p);
    bool closed = (n[p->count - 1].type & PT_CLOSEFIGURE) != 0;
    if (closed && (n[0].pt.x != n[p->count - 1].pt.x || n[0].pt.y != n[p->count - 1].pt.y))
      std::abort();
  }
}

ZoPath* copy(ZoPath* list) {
  ZoPath* c = nullptr;
  ZoPathDuplicatePtr(list, &c);
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  Bytes in{data, size};
  ZoPath* list = nullptr;
  for (int n = 1 + in.next() % 4; n > 0; --n) {
    ZoPath* p = decode(&in);
    if (p != nullptr) ZoPathChainPaths(&list, p);
  }
  ZoPath* cutter = decode(&in);
  auto packed = [&] {
    uint32_t x = static_cast<uint32_t>(static_cast<int8_t>(in.next()));
    uint32_t y = static_cast<uint32_t>(static_cast<int8_t>(in.next()));
    return static_cast<int64_t>((uint64_t{y} << 32) | x);
  };
  int64_t a = packed(), b = packed();
  for (uint32_t pairing : {0u, 1u}) {
    ZoPath* work = copy(list);
    ZoPathCutWithLineX(nullptr, &work, static_cast<int8_t>(a), pairing);
    check(work);
    release(work);
    work = copy(list);
    ZoPathCutWithLine(nullptr, &work, a, b, pairing);
    check(work);
    release(work);
    work = copy(list);
    ZoPathCutWithPath(&work, cutter, pairing);
    check(work);
    release(work);
  }
  // Every segment of the list against every segment of the cutter.
  std::vector<zo::Cubic> mine, theirs;
  auto collect = [](ZoPath* p, std::vector<zo::Cubic>* out) {
    const PathNode* n = ZoPathNodes(p);
    auto at = [&](uint32_t i) { return PointDB{FixToDb(n[i].pt.x), FixToDb(n[i].pt.y)}; };
    for (uint32_t i = 0; i + 1 < p->count;) {
      bool cubic = (n[i + 1].type & 0xE) == PT_BEZIERTO && i + 3 < p->count;
      out->push_back(cubic ? zo::Cubic{at(i), at(i + 1), at(i + 2), at(i + 3)}
                           : zo::Cubic{at(i), at(i), at(i + 1), at(i + 1)});
      i += cubic ? 3 : 1;
    }
  };
  for (ZoPath* p = list; p != nullptr; p = p->next) collect(p, &mine);
  if (cutter != nullptr) collect(cutter, &theirs);
  double ta[zo::boolean::kMaxCrossings], tb[zo::boolean::kMaxCrossings];
  for (const zo::Cubic& s : mine) {
    for (const zo::Cubic& t : theirs) {
      int n = zo::boolean::intersect_cubics(s, t, ta, tb, nullptr);
      n += zo::boolean::intersect_cubic_line(s, t.p0, t.p3, ta, tb, nullptr);
      n += zo::boolean::intersect_lines(s.p0, s.p3, t.p0, t.p3, ta, tb, nullptr);
      if (n > 3 * zo::boolean::kMaxCrossings) std::abort();
    }
  }
  release(list);
  release(cutter);
  return 0;
}
