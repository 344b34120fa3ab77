// Copying lists and selections, and deleting selected subpaths, nodes and segments.
// (Outline-information attachments cannot be made through the interface yet, so the copies
// here carry none.)
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "path_builders.hpp"

namespace {

using namespace zo_test;

class DuplicateDeleteTest : public ModelTest {};

const RECT kWindow{10, 20, 330, 220};

int position(const std::vector<ZoPath*>& v, const ZoPath* p) {
  auto it = std::find(v.begin(), v.end(), p);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

std::string rect_text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST_F(DuplicateDeleteTest, ListCopiesEqualTheirSourceNodeForNodeAndChainForChain) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 40; ++round) {
    ZoPath* src = random_list(rng, 1 + round % 9, round % 2 ? 40 : 8);
    std::vector<ZoPath*> s = members(src);
    const std::string before = snapshot_list(src);
    ZoPath* copy = nullptr;
    ASSERT_EQ(ZoPathDuplicatePtr(s[rng() % s.size()], &copy), 1u);
    EXPECT_EQ(snapshot_list(copy), before) << "round " << round;
    EXPECT_EQ(snapshot_list(src), before);
    std::vector<ZoPath*> c = members(copy);
    ASSERT_EQ(c.size(), s.size());
    EXPECT_EQ(c.front(), copy);
    for (size_t i = 0; i < c.size(); ++i) {
      EXPECT_EQ(position(s, c[i]), -1);
      EXPECT_EQ(ZoPlatHeapBlockSize(c[i]), ZoPlatHeapBlockSize(s[i]));
    }
    release_list(src);
    release_list(copy);
  }
  ZoPath* out = nullptr;
  EXPECT_EQ(ZoPathDuplicatePtr(nullptr, &out), 0u);
  EXPECT_EQ(ZoPathDuplicatePtrSingle(nullptr, &out), 0u);

  // Only the first selection chain found is copied.
  std::vector<ZoPath*> v{path_from("M 0 0"), path_from("M 1 1"), path_from("M 2 2"),
                         path_from("M 3 3")};
  link_list(v);
  link_selection({v[0], v[1]});
  link_selection({v[2], v[3]});
  ASSERT_EQ(ZoPathDuplicatePtr(v[3], &out), 1u);
  std::vector<ZoPath*> c = members(out);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_TRUE(c[0]->selNext == c[1] && c[2]->selNext == nullptr && c[3]->selPrev == nullptr);
  release_list(out);

  // A single record is copied whole, free of all six links.
  link_join(v);
  ZoPathPurge(&v[1]);  // an exact-size record keeps its size
  v[0]->next = v[0]->joinNext = v[0]->selNext = v[2]->prev = v[2]->joinPrev = v[1];
  ASSERT_EQ(ZoPathDuplicatePtrSingle(v[1], &out), 1u);
  EXPECT_EQ(ZoPlatHeapBlockSize(out), ZoPlatHeapBlockSize(v[1]));
  EXPECT_EQ(describe(out), describe(v[1]));
  EXPECT_TRUE(out->flags == v[1]->flags && out->primitiveKind == v[1]->primitiveKind);
  EXPECT_TRUE(!out->prev && !out->next && !out->joinPrev && !out->joinNext && !out->selPrev &&
              !out->selNext);
  ZoPathDeletePtr(out, 0);
  release_list(v[0]);
}

// One record's state: flags, join and selection links by position, nodes.
std::string row(uint32_t flags, int jp, int jn, int sp, int sn, const std::string& nodes) {
  char text[64];
  std::snprintf(text, sizeof text, "%08x j%d,%d s%d,%d ", flags, jp, jn, sp, sn);
  return text + nodes + "\n";
}

TEST_F(DuplicateDeleteTest, DuplicatingTheSelectionAppendsMovedCopiesThatBecomeTheSelection) {
  std::mt19937 rng(77);
  for (int round = 0; round < 30; ++round) {
    ZoPathTbl* t = table_with(random_list(rng, 1 + round % 7));
    const int32_t offset = round % 2 ? 491520 : 15 << 16;  // 7.5 image pixels at zoom 2
    CoordStruct view = view_of(kWindow, round % 2 ? 2.0 : 1.0);
    std::vector<ZoPath*> s = members(t->groups[0].first), sel;
    for (ZoPath* p = t->groups[0].selected; p != nullptr; p = p->selNext) sel.push_back(p);
    const size_t n = s.size();
    std::string expected;
    for (ZoPath* p : s) {
      expected += row(p->flags & ~ZOF_SELECTED, position(s, p->joinPrev), position(s, p->joinNext),
                      -1, -1, describe(p));
    }
    for (size_t j = 0; j < sel.size(); ++j) {
      auto copy_at = [&](ZoPath* source) {
        int k = position(sel, source);
        return k < 0 ? -1 : static_cast<int>(n) + k;
      };
      expected += row(sel[j]->flags, copy_at(sel[j]->joinPrev), copy_at(sel[j]->joinNext),
                      j == 0 ? -1 : static_cast<int>(n + j) - 1,
                      j + 1 == sel.size() ? -1 : static_cast<int>(n + j) + 1, describe(sel[j]));
    }
    const std::string before = snapshot_table(t);
    RECT out{1, 2, 3, 4};
    if (sel.empty()) {
      EXPECT_EQ(ZoPathDuplicate(nullptr, t, &view, &out), 0u);
      EXPECT_EQ(snapshot_table(t), before);
    } else {
      ASSERT_EQ(ZoPathDuplicate(nullptr, t, &view, &out), 1u) << "round " << round;
      EXPECT_EQ(rect_text(out), "10,20,10,20");  // no display buffer: empty, at the origin
      std::vector<ZoPath*> all = members(t->groups[0].first);
      std::string actual;
      for (size_t i = 0; i < all.size(); ++i) {
        ZoPath* p = all[i];
        actual += row(p->flags, position(all, p->joinPrev), position(all, p->joinNext),
                      position(all, p->selPrev), position(all, p->selNext),
                      describe(p, i < n ? 0 : offset));
      }
      EXPECT_EQ(actual, expected) << "round " << round;
      EXPECT_EQ(t->groups[0].selected, all[n]);
      EXPECT_EQ(members(all.back()), all);  // prev links mirror next links
    }
    ZoPathTblDelete(t);
  }
  // The group's selection must really be selected.
  ZoPathTbl* t = table_with(path_from("M 0 0 L 1 1"));
  t->groups[0].selected = t->groups[0].first;
  CoordStruct view = view_of(kWindow);
  RECT out;
  EXPECT_EQ(ZoPathDuplicate(nullptr, t, &view, &out), 0u);
  EXPECT_EQ(t->groups[0].first->next, nullptr);
  ZoPathTblDelete(t);
}

TEST_F(DuplicateDeleteTest, DeletingKeepsTheUnselectedSubpathsInOrder) {
  std::mt19937 rng(5);
  for (int round = 0; round < 30; ++round) {
    ZoPath* list = random_list(rng, 1 + round % 6);
    ZoPathTbl* t = table_with(list);
    CoordStruct view = view_of(kWindow);
    std::vector<ZoPath*> s = members(list), kept;
    std::string expected, actual;
    for (ZoPath* p : s) {
      if (!(p->flags & ZOF_SELECTED)) kept.push_back(p), expected += describe(p) + "\n";
    }
    RECT out{1, 2, 3, 4};
    EXPECT_EQ(ZoPathDelete(t, &view, &out), kept.size() < s.size() ? 1u : 0u);
    EXPECT_EQ(t->groups[0].selected, nullptr);
    EXPECT_EQ(t->groups[0].first, kept.empty() ? nullptr : kept[0]);
    EXPECT_EQ(members(kept.empty() ? nullptr : kept.back()), kept) << "round " << round;
    for (ZoPath* p : kept) actual += describe(p) + "\n";
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(rect_text(out), kept.size() < s.size() ? "10,20,10,20" : "1,2,3,4");
    for (ZoPath* p : s) {
      if (position(kept, p) < 0) release_if_live(p);
    }
    ZoPathTblDelete(t);
  }
  // On screen the outlines of the removed subpaths are taken out of the display buffer.
  ZoPath* a = path_from("M 10 10 L 100 10 L 100 80");
  ZoPath* b = path_from("M 20 90 L 200 90");
  ZoPath* c = path_from("M 30 30 C 60 0 90 60 120 30");
  link_list({a, b, c});
  link_selection({a, c});
  CoordStruct view = view_of(RECT{0, 0, 320, 200});
  ZoPathTbl* t = nullptr;
  RECT out;
  ASSERT_EQ(ZoPathAddPathGroup(&t, a, "screen", &view, &out), 1u);
  EXPECT_EQ(ZoPathDelete(nullptr, &view, &out), 0u);
  ASSERT_EQ(ZoPathDelete(t, &view, &out), 1u);
  EXPECT_TRUE(out.left <= 10 && out.top <= 10 && out.right >= 120 && out.bottom >= 80);
  std::vector<uint8_t> after(view.lpDB, view.lpDB + 320 * 200);
  std::fill(view.lpDB, view.lpDB + 320 * 200, 0);
  ZoPathDraw(&view, b, &out, 1);
  EXPECT_TRUE(std::equal(after.begin(), after.end(), view.lpDB)) << "only b stays drawn";
  release_if_live(c);
  ZoPathTblDelete(t);
}

TEST_F(DuplicateDeleteTest, DeletingSelectedNodesMendsTheFigure) {
  const std::pair<const char*, const char*> cases[] = {
      // Line ends are removed; the last one of a closed figure moves the start.
      {"M 0 0 L 10 0 s L 10 10 L 0 10", "M 0 0 L 10 10 L 0 10"},
      {"M 0 0 L 10 0 s L 20 0 s L 30 0 L 40 0", "M 0 0 L 30 0 L 40 0"},
      {"M 0 0 L 10 0 L 10 10 s", "M 0 0 L 10 0"},
      {"M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 s Z", "M 0 10 L 10 0 L 10 10 L 0 10 Z"},
      // Curve ends inside the figure: two curves merge, or the following line bends.
      {"M 0 0 C 1 1 2 2 3 3 s C 4 4 5 5 6 6", "M 0 0 C 1 1 5 5 6 6"},
      {"M 0 0 C 1 1 2 2 3 3 s L 10 0 L 20 0", "M 0 0 C 1 1 2 2 10 0 L 20 0"},
      // Curve ends at the last node.
      {"M 0 0 L 10 0 C 1 1 2 2 3 3 s", "M 0 0 L 10 0"},
      {"M 0 0 C 1 1 2 2 10 0 L 10 10 C 3 3 4 4 0 0 s Z", "M 10 0 L 10 10 C 3 3 2 2 10 0 Z"},
      {"M 0 0 L 10 0 L 10 10 C 1 1 2 2 0 0 s Z", "M 10 0 L 10 10 C 1 1 2 2 10 0 Z"},
      // The first node of an open figure.
      {"M 0 0 s L 10 0 L 10 10", "M 10 0 L 10 10"},
      {"M 0 0 s C 1 1 2 2 3 3 L 10 10", "M 3 3 L 10 10"},
      // Nothing valid would remain: the whole subpath is deleted instead.
      {"M 0 0 s L 10 0", nullptr},
      {"M 0 0 L 10 0 L 10 10 s L 0 0 Z", nullptr},
  };
  for (auto [before, after] : cases) {
    ZoPath* p = path_from(before, ZOF_SELECTED | ZOF_HAS_SEL_POINTS);
    p->primitiveKind = 3;
    ZoPathTbl* t = table_with(p);
    CoordStruct view = view_of(kWindow);
    EXPECT_EQ(ZoPathDelete(t, &view, nullptr), 1u) << before;
    if (after == nullptr) {
      EXPECT_EQ(t->groups[0].first, nullptr) << before;
      release_if_live(p);
    } else {
      ASSERT_EQ(t->groups[0].first, p) << before;
      EXPECT_EQ(describe(p), after) << before;
      EXPECT_TRUE(p->flags == ZOF_SELECTED && p->primitiveKind == 0) << before;
    }
    ZoPathTblDelete(t);
  }
}

TEST_F(DuplicateDeleteTest, DeleteLinkMeasuresTheSelectionBeforeDeletingWithoutDrawing) {
  std::vector<ZoPath*> v{path_from("M 0 0 L 1 1"), path_from("M 10 20 L 30 40", ZOF_SELECTED)};
  link_list(v);
  ZoPathTbl* t = nullptr;
  CoordStruct view = view_of(RECT{0, 0, 64, 48});
  RECT out;
  ASSERT_EQ(ZoPathAddPathGroup(&t, v[1], "", &view, &out), 1u);
  uint8_t* db = view.lpDB;
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(ZoPathDeleteLink(t, &view, &out), 1u);
  EXPECT_EQ(rect_text(out), "5,15,36,46");
  EXPECT_EQ(view.lpDB, db);
  EXPECT_EQ(members(t->groups[0].first), std::vector<ZoPath*>{v[0]});
  release_if_live(v[1]);
  ZoPathTblDelete(t);
}

TEST_F(DuplicateDeleteTest, LastSegmentsAndListMembersAreRemoved) {
  const std::pair<const char*, const char*> cases[] = {
      {"M 0 0 L 10 0", "M 0 0"},
      {"M 0 0 C 1 1 2 2 3 3", "M 0 0"},
      {"M 0 0 L 5 5 C 1 1 2 2 3 3", "M 0 0 L 5 5"},
      {"M 0 0", nullptr},
      {"M 0 0 N 0x200 1 1", nullptr},
  };
  for (auto [before, after] : cases) {
    ZoPath* p = path_from(before);
    EXPECT_EQ(ZoPathDeleteLinkLastSegment(p), after ? 1u : 0u) << before;
    EXPECT_EQ(describe(p), after ? after : before);
    ZoPathDeletePtr(p, 0);
  }
  EXPECT_EQ(ZoPathDeleteLinkLastSegment(nullptr), 0u);

  std::vector<ZoPath*> v{path_from("M 0 0"), path_from("M 1 1"), path_from("M 2 2"),
                         path_from("M 3 3")};
  ZoPath* head = link_list(v);
  link_join({v[1], v[2], v[3]});
  link_selection({v[0], v[2], v[3]});
  ZoPath* stranger = path_from("M 9 9");
  ZoPath* empty = nullptr;
  const std::string before = snapshot_list(head);
  ZoPathDeleteNodeFromList(&head, stranger);
  ZoPathDeleteNodeFromList(&head, nullptr);
  ZoPathDeleteNodeFromList(nullptr, v[1]);
  ZoPathDeleteNodeFromList(&empty, v[1]);
  EXPECT_EQ(snapshot_list(head), before);
  EXPECT_EQ(head, v[0]);

  const size_t live = ZoPlatHeapLiveBlocks();
  ZoPathDeleteNodeFromList(&head, v[2]);
  EXPECT_EQ(ZoPlatHeapLiveBlocks(), live - 1);
  EXPECT_EQ(members(v[3]), (std::vector<ZoPath*>{v[0], v[1], v[3]}));
  EXPECT_TRUE(v[1]->joinNext == v[3] && v[3]->joinPrev == v[1]);
  EXPECT_TRUE(v[0]->selNext == v[3] && v[3]->selPrev == v[0]);
  ZoPathDeleteNodeFromList(&head, v[0]);
  EXPECT_TRUE(head == v[1] && v[1]->prev == nullptr && v[3]->selPrev == nullptr);
  release_list(head);
  release_if_live(stranger);
}

}  // namespace
