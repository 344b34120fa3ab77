// Out of memory at every allocation of every call that records or replays a step: the call
// keeps the log and the table as they were, reports 1001 and leaks nothing. (The transforms
// allocate nothing.)
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "alloc_sweep.hpp"
#include "transform_helpers.hpp"

namespace {

using namespace zo_test;

constexpr uint32_t kContext = 901;

// A table over a random list whose selected subpath has a point and a segment marked, or,
// with a frame, whose selected subpath is a bilinear envelope frame.
ZoPathTbl* document(bool frame) {
  std::mt19937 rng(17);
  ZoPath* list = random_list(rng, 5);
  ZoPathTbl* t = table_with(list);
  if (t->groups[0].selected == nullptr) {
    link_selection({list});
    t->groups[0].selected = list;
  }
  ZoPath* sel = t->groups[0].selected;
  if (frame) {
    ZoPath* f = path_from("M 0 0 L 10 0 L 10 10 L 0 10 L 0 0 Z", 0x80100000u);
    ZoPath* tail = list;
    while (tail->next) tail = tail->next;
    link_list({tail, f});
    for (ZoPath* p = list; p; p = p->next)
      p->selPrev = p->selNext = nullptr, p->flags &= ~ZOF_SELECTED;
    f->flags |= ZOF_SELECTED;
    t->groups[0].selected = f;
  } else {
    ZoPathNodes(sel)[0].type |= PT_SELECTED;
    sel->flags |= ZOF_HAS_SEL_POINTS;
  }
  return t;
}

void clear_log() {
  for (int i = 0; i < 4; ++i) ZoPathURFree(kContext, 0, 1);
}

// A run on a document; the log is emptied when it is released.
Scenario on_table(ZoPathTbl* t, std::function<bool()> attempt) {
  return Scenario{attempt, [t] { return snapshot_table(t); },
                  [t] {
                    clear_log();
                    ZoPathTblDelete(t);
                  }};
}

// Recording: success shows as one more general-purpose block (the record).
SweepCase recording(const char* name, bool frame, std::function<void(ZoPathTbl*)> call) {
  return {name, true, [=] {
            ZoPathTbl* t = document(frame);
            ZoPathGetURAction();  // any call makes the context current first
            return on_table(t, [=] {
              size_t before = ZoPlatMemLiveBlocks();
              call(t);
              return ZoPlatMemLiveBlocks() > before;
            });
          }};
}
SweepCase backup(const char* name, int32_t action, bool frame = false) {
  return recording(name, frame,
                   [action](ZoPathTbl* t) { ZoPathBackupAction(kContext, action, t); });
}

// Replaying: the step is recorded first, then a change is made that undo must reverse.
SweepCase replay(const char* name, int32_t action, bool frame, bool redoToo) {
  return {name, true, [=] {
            ZoPathTbl* t = document(frame);
            ZoPathBackupAction(kContext, action, t);
            if (frame) {
              ZoPathNodes(t->groups[0].selected)[2].pt.x += 5 << 16;
            } else {
              for (ZoPath* p : members(t->groups[0].first))
                p->flags &= 0x73FFFFFF, p->selPrev = p->selNext = nullptr;
              t->groups[0].selected = nullptr;
            }
            if (redoToo) ZoPathUndo(kContext, t, nullptr, nullptr, nullptr);
            return on_table(t, [=] {
              return (redoToo ? ZoPathRedo : ZoPathUndo)(kContext, t, nullptr, nullptr, nullptr) ==
                     1;
            });
          }};
}

class TransformAllocationTest : public ModelTest {};

TEST_F(TransformAllocationTest, RecordingAndReplayingFailCleanly) {
  std::vector<SweepCase> cases = {
      backup("ZoPathBackupAction selection", ZOUNDO_SELECT),
      backup("ZoPathBackupAction move", ZOUNDO_MOVE_SELECTED),
      backup("ZoPathBackupAction join", ZOUNDO_JOIN),
      backup("ZoPathBackupAction envelope, none selected", ZOUNDO_ENVELOPE),
      backup("ZoPathBackupAction envelope frame", ZOUNDO_ENVELOPE, true),
      recording("BackupDuplicate", false, [](ZoPathTbl* t) { BackupDuplicate(18009, t); }),
      recording("BackupSelected", false, [](ZoPathTbl* t) { BackupSelected(18010, t); }),
      recording("BackupSelectMove", false, [](ZoPathTbl* t) { BackupSelectMove(18011, t); }),
      replay("ZoPathUndo selection", ZOUNDO_SELECT, false, false),
      replay("ZoPathRedo selection", ZOUNDO_SELECT, false, true),
      replay("ZoPathUndo envelope frame", ZOUNDO_ENVELOPE, true, false),
  };
  run_alloc_sweep(cases);
}

}  // namespace
