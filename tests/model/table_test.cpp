// Path tables and their groups: adding groups, finding them, naming the list and selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "Zo32path.h"
#include "list_snapshot.hpp"
#include "path_builders.hpp"

namespace {

using namespace zo_test;

class TableTest : public ModelTest {};

// Three subpaths of which the second and third are selected; returns the last.
ZoPath* three_selecting_last_two(std::vector<ZoPath*>& v) {
  v = {path_from("M 0 0 L 1 1"), path_from("M 2 2 L 3 3"), path_from("M 4 4 L 5 5")};
  link_list(v);
  link_selection({v[1], v[2]});
  return v[2];
}

// "current/count shown" then "number name first selected" per group, by list position.
std::string summary(ZoPathTbl* t) {
  uint32_t cur = 99, shown = 99, count = 99;
  ZoPath *first = nullptr, *sel = nullptr;
  ZoPathFind(t, &cur, &first, &sel, &shown);
  ZoPathFindGroups(t, &count);
  std::string s = std::to_string(cur) + "/" + std::to_string(count) + (shown ? " shown" : "");
  for (int32_t g = -1; g <= static_cast<int32_t>(count); ++g) {
    char* name = reinterpret_cast<char*>(1);
    ZoPathFindGroupName(t, g, &name);
    if (g < 0 || g == static_cast<int32_t>(count)) {
      EXPECT_EQ(name, nullptr) << g;
      continue;
    }
    const PathGroup& grp = t->groups[g];
    std::vector<ZoPath*> list = members(grp.first);
    const int at = std::find(list.begin(), list.end(), grp.selected) - list.begin();
    s += " | " + std::to_string(grp.number) + " " + (std::strlen(name) > 20 ? "long" : name) + " " +
         std::to_string(list.size()) + " " + (grp.selected ? std::to_string(at) : "-");
    EXPECT_EQ(name, grp.name);
    EXPECT_EQ(grp.first, list.empty() ? nullptr : list[0]);
  }
  EXPECT_TRUE(first == t->groups[cur].first && sel == t->groups[cur].selected);
  return s;
}

TEST_F(TableTest, AddPathGroupCreatesReusesAndGrowsTables) {
  CoordStruct view = view_of(RECT{10, 20, 330, 220}, 2.0);
  view.scrollX = 3;
  view.scrollY = 4;
  RECT out;
  ZoPathTbl* t = nullptr;
  std::vector<ZoPath*> a, d;
  EXPECT_EQ(ZoPathAddPathGroup(&t, nullptr, "x", &view, &out), 0u);
  EXPECT_EQ(t, nullptr);

  // No table yet: one is made, with a display buffer of right x bottom bytes.
  const size_t blocks = ZoPlatMemLiveBlocks();
  ASSERT_EQ(ZoPathAddPathGroup(&t, three_selecting_last_two(a), "first", &view, &out), 1u);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(summary(t), "0/1 shown | 0 first 3 1");
  EXPECT_EQ(ZoPlatMemLiveBlocks(), blocks + 1);
  ASSERT_NE(t->lpDB, nullptr);
  EXPECT_EQ(view.lpDB, t->lpDB);
  EXPECT_TRUE(t->dbDesc.width == 330 && t->dbDesc.height == 220 && t->dbDesc.scrollX == 3 &&
              t->dbDesc.scrollY == 4 && t->dbDesc.zoom == 2.0);

  // A non-empty only group: the table grows and the new group becomes current. A long name
  // is cut to fit its 260-character field.
  const std::string longName(300, 'n');
  t->shown = 0;
  ASSERT_EQ(ZoPathAddPathGroup(&t, path_from("M 9 9"), longName.c_str(), &view, &out), 1u);
  EXPECT_EQ(summary(t), "1/2 shown | 0 first 3 1 | 1 long 1 -");
  EXPECT_EQ(std::string(t->groups[1].name), longName.substr(0, 259));
  ASSERT_EQ(ZoPathAddPathGroup(&t, path_from("M 7 7", ZOF_SELECTED), "third", &view, &out), 1u);
  EXPECT_EQ(summary(t), "2/3 shown | 0 first 3 1 | 1 long 1 - | 2 third 1 0");
  t->shown = 5;
  EXPECT_EQ(summary(t).substr(0, 9), "2/3 shown");
  t->shown = 0;
  EXPECT_EQ(summary(t).substr(0, 5), "2/3 |");
  EXPECT_EQ(ZoPathTblDelete(t), 1u);

  // A table whose only group is empty: group 0 is reused and keeps a name it already has.
  ASSERT_EQ(ZoPathNew(&t), 1u);
  std::strcpy(t->groups[0].name, "kept");
  CoordStruct other = view_of(RECT{0, 0, 50, 40});
  ASSERT_EQ(ZoPathAddPathGroup(&t, three_selecting_last_two(d), "ignored", &other, &out), 1u);
  EXPECT_EQ(summary(t), "0/1 shown | 0 kept 3 1");
  EXPECT_EQ(t->lpDB, nullptr);  // only a table made here gets a display buffer
  EXPECT_EQ(ZoPathTblDelete(t), 1u);

  uint32_t outs[2] = {7, 7};
  char* name = nullptr;
  ZoPathFind(nullptr, &outs[0], nullptr, nullptr, &outs[1]);
  ZoPathFindGroupName(nullptr, 0, &name);
  EXPECT_TRUE(outs[0] == 7 && outs[1] == 7 && name == nullptr);
  ZoPathFindGroups(nullptr, &outs[0]);
  EXPECT_EQ(outs[0], 0u);
}

TEST_F(TableTest, AssigningTheListAndSelectionTouchesOnlyTheCurrentGroup) {
  std::vector<ZoPath*> v{path_from("M 0 0"), path_from("M 1 1"), path_from("M 2 2"),
                         path_from("M 3 3")};
  link_list(v);
  link_selection({v[3], v[1]});  // v[3] was selected first
  ZoPath* zero = path_from("M 5 5");
  ZoPath* other = path_from("M 6 6");
  ZoPathTbl* t = table_with(zero);
  CoordStruct view = view_of(RECT{0, 0, 10, 10});
  RECT out;
  ASSERT_EQ(ZoPathAddPathGroup(&t, other, "g1", &view, &out), 1u);
  const PathGroup& g = t->groups[1];
  auto is = [&](ZoPath* first, ZoPath* selected) {
    return g.first == first && g.selected == selected;
  };

  EXPECT_EQ(ZoPathAssignActivePath(t, v[2]), 1u);
  EXPECT_TRUE(is(v[0], v[1]));  // the first selected in list order
  EXPECT_EQ(ZoPathAssignSelectedPath(t, v[1]), 1u);
  EXPECT_TRUE(is(v[0], v[3]));                       // the head of its selection chain
  EXPECT_EQ(ZoPathAssignSelectedPath(t, v[0]), 0u);  // not selected: refused
  EXPECT_TRUE(is(v[0], v[3]));
  EXPECT_EQ(ZoPathAssignSelectedPath(t, nullptr), 1u);
  EXPECT_TRUE(is(v[0], nullptr));
  EXPECT_EQ(ZoPathAssignSelectedPathBlindly(t, v[2]), 1u);
  EXPECT_TRUE(is(v[0], v[3]));
  for (ZoPath* p : v) p->flags = 0, p->selPrev = p->selNext = nullptr;
  EXPECT_EQ(ZoPathAssignSelectedPathBlindly(t, v[3]), 1u);
  EXPECT_TRUE(is(v[0], nullptr));
  v[0]->flags = ZOF_SELECTED;
  EXPECT_EQ(ZoPathAssignSelectedPathBlindly(t, v[2]), 1u);  // searched from the list head
  EXPECT_TRUE(is(v[0], v[0]));
  EXPECT_EQ(ZoPathAssignSelectedPathBlindly(t, nullptr), 0u);
  EXPECT_EQ(ZoPathAssignActivePath(nullptr, v[0]), 0u);
  EXPECT_EQ(ZoPathAssignSelectedPath(nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathAssignActivePath(t, nullptr), 1u);
  EXPECT_TRUE(is(nullptr, nullptr));
  EXPECT_TRUE(t->groups[0].first == zero && t->groups[0].selected == nullptr);
  ZoPathTblDelete(t);
  release_list(v[0]);
  release_list(other);
}

}  // namespace
