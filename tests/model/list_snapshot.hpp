// Deep snapshots of lists and tables (nodes, flags and the three chains as positions) for
// comparing a structure before and after an operation, and random lists to feed them.
#pragma once

#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "Zo32path.h"

namespace zo_test {

// Node i's point, copied out of its unaligned place in the packed node array.
inline Ptfx point_of(const ZoPath* p, size_t i) { return ZoPathNodes(const_cast<ZoPath*>(p))[i].pt; }

inline std::string snapshot_list(ZoPath* any) {
  if (any == nullptr) return "(none)";
  ZoPath* head = any;
  while (head->prev != nullptr) head = head->prev;
  std::unordered_map<const ZoPath*, int> position;
  int i = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next) position[p] = i++;
  auto at = [&](const ZoPath* p) { return p == nullptr ? -1 : position.count(p) ? position[p] : -2; };
  std::ostringstream out;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    out << "[v" << p->version << " f" << std::hex << p->flags << std::dec << " k" << p->primitiveKind << " c"
        << p->count << " links " << at(p->prev) << ',' << at(p->next) << ',' << at(p->joinPrev) << ','
        << ((p->flags & ZOF_ATTACHMENT) ? -3 : at(p->joinNext)) << ',' << at(p->selPrev) << ','
        << at(p->selNext) << " nodes";
    const PathNode* n = ZoPathNodes(p);
    for (uint32_t k = 0; k < p->count; ++k) out << ' ' << n[k].type << ':' << n[k].pt.x << ',' << n[k].pt.y;
    out << "]\n";
  }
  return out.str();
}

inline std::string snapshot_table(ZoPathTbl* t) {
  if (t == nullptr) return "(no table)";
  std::ostringstream out;
  out << "cur " << t->curGroup << " shown " << t->shown << " groups " << t->groupCount << " db "
      << static_cast<const void*>(t->lpDB) << ' ' << t->dbDesc.width << 'x' << t->dbDesc.height << '\n';
  for (uint32_t g = 0; g < t->groupCount; ++g) {
    const PathGroup& grp = t->groups[g];
    int selected = -1, i = 0;
    for (ZoPath* p = grp.first; p != nullptr; p = p->next, ++i) {
      if (p == grp.selected) selected = i;
    }
    out << "group " << grp.number << " '" << grp.name << "' selected " << selected << '\n'
        << snapshot_list(grp.first);
  }
  return out.str();
}

// A list of `count` subpaths of lines and curves, with random join chains and one random
// selection chain.
inline ZoPath* random_list(std::mt19937& rng, int count, int maxNodes = 12) {
  std::uniform_int_distribution<int> coord(-2000 << 16, 2000 << 16);
  std::uniform_int_distribution<int> nodes(1, maxNodes);
  std::bernoulli_distribution coin(0.4);
  std::vector<ZoPath*> paths;
  for (int i = 0; i < count; ++i) {
    ZoPath* p = ZoPathCreate();
    Ptfx pt{coord(rng), coord(rng)};
    ZoPathAddPoint(&p, &pt, PT_MOVETO);
    for (int k = nodes(rng); k > 0; --k) {
      int run = coin(rng) ? 3 : 1;
      for (int j = 0; j < run; ++j) {
        pt = Ptfx{coord(rng), coord(rng)};
        ZoPathAddPoint(&p, &pt, run == 3 ? PT_BEZIERTO : PT_LINETO);
      }
    }
    if (coin(rng)) ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
    p->primitiveKind = static_cast<uint32_t>(i % 3);
    if (!paths.empty()) {
      paths.back()->next = p;
      p->prev = paths.back();
      if (coin(rng)) {  // continue the previous subpath's join chain
        paths.back()->joinNext = p;
        p->joinPrev = paths.back();
      }
    }
    paths.push_back(p);
  }
  // Whole join chains are selected together.
  ZoPath* lastSelected = nullptr;
  for (ZoPath* head = paths.front(); head != nullptr;) {
    ZoPath* end = head;
    while (end->joinNext != nullptr) end = end->joinNext;
    bool select = coin(rng);
    for (ZoPath* p = head;; p = p->next) {
      if (select) {
        p->flags |= ZOF_SELECTED;
        p->selPrev = lastSelected;
        if (lastSelected != nullptr) lastSelected->selNext = p;
        lastSelected = p;
      }
      if (p == end) break;
    }
    head = end->next;
  }
  return paths.front();
}

inline void release_list(ZoPath* any) {
  if (any == nullptr) return;
  while (any->prev != nullptr) any = any->prev;
  while (any != nullptr) {
    ZoPath* next = any->next;
    ZoPathDeletePtr(any, 0);
    any = next;
  }
}

}  // namespace zo_test
