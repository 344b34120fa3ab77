// Subpaths from a compact text and back, hand-linked chains, and a fixture that checks each
// test gives back every record and block it made.
//
// Text: "M x y", "L x y", "C x1 y1 x2 y2 x3 y3", "N type x y" (any type word), each followed
// by marks on its last node: "s" selected, "g" segment mark, "Z" closes the figure.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "test_support.hpp"

namespace zo_test {

inline ZoPath* path_from(const std::string& text, uint32_t flags = 0) {
  std::istringstream in(text);
  ZoPath* p = ZoPathCreate();
  const std::string marks = "sgZ";
  const uint16_t markBits[] = {PT_SELECTED, PT_SEGMENT_MARK, PT_CLOSEFIGURE};
  for (std::string tok; in >> tok;) {
    if (marks.find(tok) != std::string::npos) {
      ZoPathNodes(p)[p->count - 1].type |= markBits[marks.find(tok)];
      continue;
    }
    std::string type = tok == "M" ? "6" : tok == "L" ? "2" : tok == "C" ? "4" : "";
    if (tok == "N") in >> type;
    for (int n = tok == "C" ? 3 : 1; n > 0; --n) {
      double x = 0, y = 0;
      in >> x >> y;
      Ptfx pt{DbToFix(x), DbToFix(y)};
      ZoPathAddPoint(&p, &pt, static_cast<uint16_t>(std::stoul(type, nullptr, 0)));
    }
  }
  p->flags = flags;
  return p;
}

// The inverse of path_from: equal texts mean equal node arrays. `shift` (16.16) is taken
// off every coordinate first.
inline std::string describe(ZoPath* p, int32_t shift = 0) {
  std::ostringstream out;
  const PathNode* n = ZoPathNodes(p);
  const int marks = PT_SELECTED | PT_SEGMENT_MARK | PT_CLOSEFIGURE;
  for (uint32_t i = 0; i < p->count;) {
    const int base = n[i].type & ~marks;
    uint32_t last = i;
    if (base == PT_MOVETO || base == PT_LINETO) {
      out << (base == PT_MOVETO ? " M" : " L");
    } else if (base == PT_BEZIERTO && i + 2 < p->count && n[i].type == PT_BEZIERTO &&
               n[i + 1].type == PT_BEZIERTO && (n[i + 2].type & ~marks) == PT_BEZIERTO) {
      out << " C";
      last = i + 2;
    } else {
      out << " N 0x" << std::hex << base << std::dec;
    }
    for (; i <= last; ++i)
      out << ' ' << FixToDb(n[i].pt.x - shift) << ' ' << FixToDb(n[i].pt.y - shift);
    for (int k = 0; k < 3; ++k) {
      if (n[last].type & (k == 0 ? PT_SELECTED : k == 1 ? PT_SEGMENT_MARK : PT_CLOSEFIGURE)) {
        out << ' ' << "sgZ"[k];
      }
    }
  }
  return out.str().empty() ? "" : out.str().substr(1);
}

// Links the records in order through one chain; a selection chain also sets the flag.
using Link = ZoPath* ZoPath::*;
inline ZoPath* link(const std::vector<ZoPath*>& v, Link next, Link prev) {
  for (size_t i = 0; i + 1 < v.size(); ++i) v[i]->*next = v[i + 1], v[i + 1]->*prev = v[i];
  return v.front();
}
inline ZoPath* link_list(const std::vector<ZoPath*>& v) {
  return link(v, &ZoPath::next, &ZoPath::prev);
}
inline void link_join(const std::vector<ZoPath*>& v) {
  link(v, &ZoPath::joinNext, &ZoPath::joinPrev);
}
inline void link_selection(const std::vector<ZoPath*>& v) {
  for (ZoPath* p : v) p->flags |= ZOF_SELECTED;
  link(v, &ZoPath::selNext, &ZoPath::selPrev);
}

// The whole list of any member, from its head.
inline std::vector<ZoPath*> members(ZoPath* any) {
  std::vector<ZoPath*> v;
  while (any != nullptr && any->prev != nullptr) any = any->prev;
  for (; any != nullptr; any = any->next) v.push_back(any);
  return v;
}

// A one-group table over the list; its selection is the first selected subpath.
inline ZoPathTbl* table_with(ZoPath* list) {
  ZoPathTbl* t = nullptr;
  ZoPathNew(&t);
  t->groups[0].first = list;
  for (ZoPath* p = list; p != nullptr && t->groups[0].selected == nullptr; p = p->next) {
    if (p->flags & ZOF_SELECTED) t->groups[0].selected = p;
  }
  return t;
}

inline CoordStruct view_of(RECT window, double zoom = 1.0) {
  CoordStruct v{};
  v.rcWindow = window;
  v.zoom = zoom;
  return v;
}

// Releases a record only while it is still a live block of the path heap.
inline void release_if_live(ZoPath* p) {
  if (p != nullptr && ZoPlatHeapBlockSize(p) != 0) ZoPathDeletePtr(p, 0);
}

}  // namespace zo_test

// Every test must give back each record, table and block it made.
class ModelTest : public ZoTest {
 protected:
  void SetUp() override {
    ZoTest::SetUp();
    heap_ = ZoPlatHeapLiveBlocks();
    mem_ = ZoPlatMemLiveBlocks();
  }
  void TearDown() override {
    EXPECT_EQ(ZoPlatHeapLiveBlocks(), heap_) << "path-heap blocks leaked";
    EXPECT_EQ(ZoPlatMemLiveBlocks(), mem_) << "general-purpose blocks leaked";
    ZoTest::TearDown();
  }
  size_t heap_ = 0, mem_ = 0;
};
