// The undo log: a recorded editing session undone to its start and redone to its end, and
// the bookkeeping of contexts, positions and records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "transform_helpers.hpp"

namespace {

using namespace zo_test;

class UndoTest : public ModelTest {
 protected:
  void TearDown() override {
    for (uint32_t c : {7u, 8u})
      for (int i = 0; i < 40; ++i) ZoPathURFree(c, 0, 1);
    ModelTest::TearDown();
  }
};

// Deselects the whole list, then selects the subpaths at the given positions in that order.
void select_only(ZoPathTbl* t, const std::vector<int>& positions, CoordStruct* view = nullptr) {
  std::vector<ZoPath*> all = members(t->groups[0].first);
  for (ZoPath* p : all) {
    if (p->flags & (ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT))
      ZoPathUnpickSegment(view, nullptr, p, nullptr);
    p->flags &= 0x73FFFFFF;
    for (uint32_t i = 0; i < p->count; ++i) ZoPathNodes(p)[i].type &= 0x77FF;
    p->selPrev = p->selNext = nullptr;
  }
  std::vector<ZoPath*> chosen;
  for (int i : positions) chosen.push_back(all[i]);
  if (!chosen.empty()) link_selection(chosen);
  t->groups[0].selected = chosen.empty() ? nullptr : chosen[0];
}

struct State {
  std::string table;
  std::vector<uint8_t> screen;
  bool operator==(const State&) const = default;
};

TEST_F(UndoTest, ASessionUndoesToItsStartAndRedoesToItsEnd) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    CoordStruct view = view_of(RECT{0, 0, 240, 160}, 0.05);
    view.scrollX = -120, view.scrollY = -80;
    ZoPathTbl* t = nullptr;
    RECT r;
    ZoPath* list = random_list(rng, 6);
    ZoPathDisjoinAll(list);  // joins and disjoins below then undo each other exactly
    ASSERT_EQ(ZoPathAddPathGroup(&t, list, "doc", &view, &r), 1u);
    std::vector<ZoPath*> all = members(t->groups[0].first);
    auto state = [&] {
      return State{snapshot_table(t), std::vector<uint8_t>(t->lpDB, t->lpDB + 240 * 160)};
    };
    // Each step records the state before the command, the way a host does.
    std::vector<State> states{state()};
    auto step = [&](int32_t action, const std::function<void()>& command) {
      EXPECT_EQ(ZoPathBackupAction(7, action, t), 1u);
      command();
      states.push_back(state());
    };
    step(ZOUNDO_SELECT, [&] { select_only(t, {3, 0}, &view); });
    step(ZOUNDO_SELECT2, [&] {
      select_only(t, {2}, &view);
      ZoPathNodes(all[2])[0].type |= PT_SELECTED;
      all[2]->flags |= ZOF_HAS_SEL_POINTS;
    });
    step(ZOUNDO_MOVE_SELECTED, [&] {
      ZoPathNodes(all[2])[0].type &= ~PT_SELECTED;
      all[2]->flags &= ~ZOF_HAS_SEL_POINTS;
      ZoPathHideSelected(&view, all[2], &r);
      ZoPathMovePathsByPtfx(all[2], Ptfx{DbToFix(-40.25), DbToFix(17)});
      ZoPathDrawSelected(&view, all[2], &r);
    });
    step(ZOUNDO_SELECT3, [&] { select_only(t, {1, 4}, &view); });
    step(ZOUNDO_JOIN, [&] { ZoPathJoin(all[1]); });
    step(ZOUNDO_SELECT4, [&] {
      select_only(t, {5}, &view);
      ZoPathPickSegment(&view, all[5], 0, &r);
    });
    step(ZOUNDO_ENVELOPE, [] {});  // no envelope frame is selected: nothing to swap
    step(ZOUNDO_SELECT5, [&] {
      select_only(t, {1, 4}, &view);
      ZoPathNodes(all[4])[0].type |= PT_SELECTED;
      all[4]->flags |= ZOF_HAS_SEL_POINTS;
    });
    step(ZOUNDO_DISJOIN, [&] { ZoPathDisjoin(all[4]); });
    step(ZOUNDO_SELECT, [&] { select_only(t, {}, &view); });
    const size_t n = states.size() - 1;
    for (size_t k = 1; k <= n; ++k)
      EXPECT_EQ(states[k] == states[k - 1], k == 7)
          << "only the envelope step changes nothing: " << k;
    EXPECT_NE(std::count(states[3].screen.begin(), states[3].screen.end(), 0), 240 * 160);
    for (size_t k = n; k > 0; --k) {
      ASSERT_EQ(ZoPathUndo(7, t, &view, &r, nullptr), 1u) << "undo of step " << k;
      ASSERT_TRUE(state() == states[k - 1]) << "after undoing step " << k << "\n"
                                            << state().table << "expected\n"
                                            << states[k - 1].table;
    }
    EXPECT_EQ(ZoPathUndo(7, t, &view, &r, nullptr), 0u) << "nothing left to undo";
    for (size_t k = 1; k <= n; ++k) {
      ASSERT_EQ(ZoPathRedo(7, t, &view, &r, nullptr), 1u) << "redo of step " << k;
      ASSERT_TRUE(state() == states[k]) << "after redoing step " << k;
    }
    EXPECT_EQ(ZoPathRedo(7, t, &view, &r, nullptr), 0u) << "nothing left to redo";
    for (size_t k = 0; k < n; ++k) ZoPathURFree(7, 0, 0);
    EXPECT_EQ(ZoPathUndo(7, t, &view, &r, nullptr), 0u) << "the log is empty";
    ZoPathTblDelete(t);
  }
}

TEST_F(UndoTest, PositionsSameStateAndTrimming) {
  std::mt19937 rng(3);
  ZoPathTbl* t = table_with(random_list(rng, 5));
  select_only(t, {1});
  ZoPathBackupAction(7, ZOUNDO_SELECT, t);
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT), 1u);
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT2), 0u) << "another action";
  select_only(t, {2, 3});
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT), 0u) << "another selection";
  ZoPathBackupAction(7, ZOUNDO_SELECT, t);
  ZoPathBackupAction(7, 12345, t);  // not an action the log knows: nothing recorded
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT), 1u);
  // Two records: undo lowers the position to 1, redo raises it to 2 again.
  EXPECT_EQ(ZoPathUndo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT), 0u) << "record 1 holds {1}, the state is {2, 3}";
  EXPECT_EQ(ZoPathRedo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(ZoPathRedo(7, t, nullptr, nullptr, nullptr), 0u);
  // Removing the newest keeps the position within the records; the oldest lowers it.
  ZoPathBackupAction(7, ZOUNDO_SELECT, t);
  EXPECT_EQ(ZoPathURFree(7, 0, 0), 1u);
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT), 1u) << "on the newest record left, {2, 3}";
  EXPECT_EQ(ZoPathURFree(7, 0, 0), 1u);
  EXPECT_EQ(ZoPathRedo(7, t, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathUndo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(ZoPathGetURAction(), 1u);  // position back to 1 in context 7, the one used last
  EXPECT_EQ(ZoPathGetURAction(), 1u);  // never past the newest
  EXPECT_EQ(ZoPathRedo(7, t, nullptr, nullptr, nullptr), 0u);
  // Records without a context number go to the context used last.
  EXPECT_EQ(BackupDuplicate(ZOUNDO_SELECT3, t), 1u);
  EXPECT_EQ(ZoPathSameUR(7, t, ZOUNDO_SELECT3), 1u);
  // The group's selected subpath comes back while it is still selected.
  ZoPath* before = t->groups[0].selected;
  EXPECT_EQ(BackupSelected(18030, t), 1u);
  t->groups[0].selected = nullptr;
  before->flags &= ~ZOF_SELECTED;
  EXPECT_EQ(ZoPathUndo(7, t, nullptr, nullptr, nullptr), 0u) << "no longer selected";
  before->flags |= ZOF_SELECTED;
  EXPECT_EQ(ZoPathUndo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(t->groups[0].selected, before);
  EXPECT_EQ(ZoPathRedo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(t->groups[0].selected, nullptr);
  select_only(t, {2, 4});
  // The origin of the selected subpath: undo moves the selection chain back.
  std::string placed = snapshot_list(t->groups[0].first);
  EXPECT_EQ(BackupSelectMove(18031, t), 1u);
  ZoPathMovePathsByPtfx(t->groups[0].selected, Ptfx{5 << 16, -(3 << 16)});
  EXPECT_EQ(ZoPathUndo(7, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(snapshot_list(t->groups[0].first), placed);
  // Undoing a join disjoins, redoing joins.
  ZoPathBackupAction(8, ZOUNDO_JOIN, t);
  ZoPathJoin(t->groups[0].selected);
  EXPECT_EQ(ZoPathUndo(8, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(t->groups[0].selected->joinNext, nullptr);
  EXPECT_EQ(ZoPathRedo(8, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_NE(t->groups[0].selected->joinNext, nullptr);
  // Emptying a context frees its slot; the number then starts an empty log.
  ZoPathURFree(8, 0, 1);
  EXPECT_EQ(ZoPathUndo(8, t, nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(ZoPathSetUndoLimit(3), 1u);
  uint32_t a = 9, b = 9;
  EXPECT_EQ(ZoPathZoPathGetURInfo(&a, &b), 1u);
  EXPECT_TRUE(a == 0 && b == 0);
  EXPECT_EQ(ZoPathBackupAction(7, ZOUNDO_SELECT, nullptr), 0u);
  EXPECT_EQ(BackupDuplicate(ZOUNDO_SELECT3, nullptr), 0u);
  ZoPathTblDelete(t);
}

TEST_F(UndoTest, TwentyContextsAreKeptAndATwentyFirstIsNot) {
  std::mt19937 rng(5);
  ZoPathTbl* t = table_with(random_list(rng, 3));
  select_only(t, {0});
  for (uint32_t c = 101; c <= 120; ++c) ZoPathBackupAction(c, ZOUNDO_SELECT, t);
  size_t blocks = ZoPlatMemLiveBlocks();
  EXPECT_EQ(ZoPathBackupAction(121, ZOUNDO_SELECT, t), 1u);
  EXPECT_EQ(ZoPlatMemLiveBlocks(), blocks) << "the 21st context keeps nothing";
  EXPECT_EQ(ZoPathSameUR(121, t, ZOUNDO_SELECT), 0u);
  EXPECT_EQ(ZoPathBackupAction(0, ZOUNDO_SELECT, t), 1u);
  EXPECT_EQ(ZoPlatMemLiveBlocks(), blocks) << "context 0 is never kept";
  for (uint32_t c = 101; c <= 120; ++c) EXPECT_EQ(ZoPathSameUR(c, t, ZOUNDO_SELECT), 1u) << c;
  // Freeing one context's only record frees its slot for the 21st.
  ZoPathURFree(105, 0, 0);
  ZoPathBackupAction(121, ZOUNDO_SELECT, t);
  EXPECT_EQ(ZoPathSameUR(121, t, ZOUNDO_SELECT), 1u);
  EXPECT_EQ(ZoPathSameUR(120, t, ZOUNDO_SELECT), 1u) << "the slots after the freed one moved up";
  for (uint32_t c = 101; c <= 121; ++c) ZoPathURFree(c, 0, 1);
  EXPECT_EQ(ZoPlatMemLiveBlocks(), blocks - 20);
  ZoPathTblDelete(t);
}

}  // namespace
