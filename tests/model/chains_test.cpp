// The three chains through a list: chaining, joining, selecting all, exchanging, separating.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "path_builders.hpp"

namespace {

using namespace zo_test;

class ChainsTest : public ModelTest {};

// A chain's forward links as "i>j" by position in `order`; backward links must mirror them.
std::string chain(const std::vector<ZoPath*>& order, Link next, Link prev) {
  auto pos = [&](ZoPath* p) {
    return std::to_string(std::find(order.begin(), order.end(), p) - order.begin());
  };
  std::string s;
  for (ZoPath* p : order) {
    if (p->*next != nullptr) {
      if (!s.empty()) s += ' ';
      s += pos(p) + ">" + pos(p->*next);
    }
    EXPECT_TRUE(p->*next == nullptr || (p->*next)->*prev == p);
    EXPECT_TRUE(p->*prev == nullptr || (p->*prev)->*next == p);
  }
  return s;
}
std::string joins(const std::vector<ZoPath*>& v) {
  return chain(v, &ZoPath::joinNext, &ZoPath::joinPrev);
}
std::string selection(const std::vector<ZoPath*>& v) {
  return chain(v, &ZoPath::selNext, &ZoPath::selPrev);
}

std::vector<ZoPath*> five(bool linked = true) {
  std::vector<ZoPath*> v;
  for (int i = 0; i < 5; ++i) v.push_back(path_from("M " + std::to_string(i) + " 0 s L 9 9"));
  if (linked) link_list(v);
  return v;
}

TEST_F(ChainsTest, ChainingBuildsListsAndJoinChains) {
  auto v = five(false);
  EXPECT_EQ(ZoPathChainZoPath(3, v.data()), v[0]);
  EXPECT_EQ(ZoPathChainZoPath(1, &v[3]), v[3]);
  EXPECT_EQ(ZoPathChainZoPath(0, &v[4]), v[4]);
  EXPECT_EQ(ZoPathChainZoPath(2, nullptr), nullptr);
  EXPECT_EQ(chain(v, &ZoPath::next, &ZoPath::prev), "0>1 1>2");
  EXPECT_EQ(joins(v), "0>1 1>2");

  // Appending links the tail of one list to the head of the other.
  ZoPath* list = nullptr;
  EXPECT_EQ(ZoPathChainPaths(&list, nullptr), 0u);
  EXPECT_EQ(ZoPathChainPaths(&list, v[1]), 1u);
  EXPECT_EQ(list, v[1]);  // the pointer itself, not its head
  link_list({v[3], v[4]});
  EXPECT_EQ(ZoPathChainPaths(&list, v[4]), 1u);
  EXPECT_EQ(list, v[1]);
  EXPECT_EQ(chain(v, &ZoPath::next, &ZoPath::prev), "0>1 1>2 2>3 3>4");
  release_list(v[0]);
}

TEST_F(ChainsTest, JoiningFollowsTheSelectionOrTheWholeList) {
  auto v = five();
  link_selection({v[0], v[2], v[3]});
  const std::string before = snapshot_list(v[0]);
  EXPECT_EQ(ZoPathJoin(v[1]), 0u);  // not selected
  EXPECT_EQ(ZoPathDisjoin(v[4]), 0u);
  EXPECT_EQ(ZoPathJoin(nullptr), 0u);
  EXPECT_EQ(snapshot_list(v[0]), before);
  EXPECT_EQ(ZoPathJoin(v[3]), 1u);
  EXPECT_EQ(joins(v), "0>2 2>3");
  EXPECT_EQ(ZoPathDisjoin(v[2]), 1u);
  EXPECT_EQ(joins(v), "");
  EXPECT_EQ(ZoPathJoinAll(v[4]), 1u);
  EXPECT_EQ(joins(v), "0>1 1>2 2>3 3>4");
  EXPECT_EQ(ZoPathDisjoinAll(v[3]), 1u);
  EXPECT_EQ(joins(v), "");
  EXPECT_EQ(selection(v), "0>2 2>3");

  // A subpath that owns an attachment takes no part in joining.
  v[1]->flags |= ZOF_ATTACHMENT;
  v[2]->flags |= ZOF_ATTACHMENT;
  const std::string attached = snapshot_list(v[0]);
  EXPECT_EQ(ZoPathJoin(v[2]) + ZoPathDisjoin(v[2]) + ZoPathJoinAll(v[1]) + ZoPathDisjoinAll(v[1]),
            0u);
  EXPECT_EQ(snapshot_list(v[0]), attached);
  v[1]->flags &= ~ZOF_ATTACHMENT;
  v[2]->flags &= ~ZOF_ATTACHMENT;
  release_list(v[0]);
}

TEST_F(ChainsTest, DisjoiningAllRepairsALastNodeWithoutAType) {
  std::vector<ZoPath*> v{path_from("M 0 0 L 5 5 N 0 9 9"), path_from("M 0 0 L 5 5 N 1 9 9"),
                         path_from("M 0 0 N 0 1 1 L 5 5"),
                         path_from("M 0 0 C 1 1 2 2 0 0 N 0 3 3")};
  link_list(v);
  link_join(v);
  EXPECT_EQ(ZoPathDisjoinAll(v[2]), 1u);
  EXPECT_EQ(describe(v[0]), "M 0 0 L 5 5 N 0x4 9 9 Z");
  EXPECT_EQ(describe(v[1]), "M 0 0 L 5 5 N 0x0 9 9 Z");  // a bare close word is not zero
  EXPECT_EQ(describe(v[2]), "M 0 0 N 0x0 1 1 L 5 5");    // only last nodes are repaired
  EXPECT_EQ(describe(v[3]), "M 0 0 C 1 1 2 2 0 0 N 0x4 3 3 Z");
  EXPECT_EQ(joins(v), "");
  const std::string line = "- Invalid point type, corrected to PT_BEZIERTO|PT_CLOSEFIGURE.\n";
  EXPECT_EQ(trace_text(), line + line);
  release_list(v[0]);
}

TEST_F(ChainsTest, SelectingAllClearsPointMarksOnlyWhereFlagged) {
  std::vector<ZoPath*> v{path_from("M 0 0 s L 5 5 g", ZOF_TEXT_STYLE),
                         path_from("M 0 0 s L 5 5 g", ZOF_HAS_SEL_POINTS | ZOF_WRAP_BASELINE),
                         path_from("M 0 0 C 1 1 2 2 3 3 s g", ZOF_HAS_SEL_SEGMENT | ZOF_SELECTED)};
  link_list(v);
  v[2]->selPrev = v[0];  // a stale selection link is replaced
  EXPECT_EQ(ZoPathAllPathSelected(v[1]), 1u);
  EXPECT_EQ(ZoPathAllPathSelected(nullptr), 0u);
  EXPECT_EQ(selection(v), "0>1 1>2");
  EXPECT_EQ(v[0]->flags, ZOF_SELECTED | ZOF_TEXT_STYLE);
  EXPECT_EQ(v[1]->flags, ZOF_SELECTED | ZOF_WRAP_BASELINE);
  EXPECT_EQ(v[2]->flags, ZOF_SELECTED);
  EXPECT_EQ(describe(v[0]) + "|" + describe(v[1]) + "|" + describe(v[2]),
            "M 0 0 s L 5 5 g|M 0 0 L 5 5|M 0 0 C 1 1 2 2 3 3");
  release_list(v[0]);
}

TEST_F(ChainsTest, ExchangingHandsAllSixLinksToTheNewSubpath) {
  auto v = five();
  link_join({v[0], v[1], v[2]});
  link_selection({v[0], v[1], v[3]});
  ZoPathTbl* t = table_with(v[0]);
  ZoPath* head = path_from("M 7 7");
  ZoPath* middle = path_from("M 8 8");
  const std::string before = snapshot_table(t);
  ZoPathExchangeSubpathInTable(t, v[0], nullptr);
  ZoPathExchangeSubpathInTable(t, nullptr, head);
  EXPECT_EQ(snapshot_table(t), before);

  ZoPathExchangeSubpathInTable(t, v[0], head);
  ZoPathExchangeSubpathInTable(t, v[1], middle);
  EXPECT_TRUE(t->groups[0].first == head && t->groups[0].selected == head);
  const std::vector<ZoPath*> now{head, middle, v[2], v[3], v[4]};
  EXPECT_EQ(members(v[4]), now);
  EXPECT_EQ(joins(now), "0>1 1>2");
  EXPECT_EQ(selection(now), "0>1 1>3");
  for (ZoPath* old : {v[0], v[1]}) {
    EXPECT_TRUE(!old->prev && !old->next && !old->joinPrev && !old->joinNext && !old->selPrev &&
                !old->selNext);
    ZoPathDeletePtr(old, 0);
  }
  ZoPathTblDelete(t);
}

TEST_F(ChainsTest, SeparatingTheSelectionReversesBothLists) {
  auto v = five();
  link_join({v[3], v[4]});
  link_selection({v[1], v[3], v[4]});
  v[3]->flags |= ZOF_HAS_SEL_POINTS;
  v[4]->flags |= ZOF_TEXT_CHAR;
  ZoPathTbl* t = table_with(v[0]);
  EXPECT_EQ(ZoPathSeparateSelectedPathFromTable(nullptr), nullptr);
  t->groups[0].selected = nullptr;
  EXPECT_EQ(ZoPathSeparateSelectedPathFromTable(t), nullptr);
  EXPECT_EQ(members(t->groups[0].first).size(), 5u);
  t->groups[0].selected = v[1];

  EXPECT_EQ(ZoPathSeparateSelectedPathFromTable(t), v[4]);
  EXPECT_EQ(members(v[1]), (std::vector<ZoPath*>{v[4], v[3], v[1]}));
  EXPECT_EQ(members(v[0]), (std::vector<ZoPath*>{v[2], v[0]}));
  EXPECT_TRUE(v[1]->next == nullptr && v[0]->next == nullptr);
  EXPECT_TRUE(t->groups[0].first == v[2] && t->groups[0].selected == nullptr);
  EXPECT_EQ(joins(v), "3>4");  // join links stay
  EXPECT_EQ(selection(v), "");
  EXPECT_TRUE(v[1]->flags == 0 && v[3]->flags == 0 && v[4]->flags == ZOF_TEXT_CHAR);
  // Node marks go only with the point flag; unselected subpaths are untouched.
  EXPECT_EQ(describe(v[3]) + "|" + describe(v[1]) + "|" + describe(v[0]),
            "M 3 0 L 9 9|M 1 0 s L 9 9|M 0 0 s L 9 9");
  release_list(v[4]);
  ZoPathTblDelete(t);
}

}  // namespace
