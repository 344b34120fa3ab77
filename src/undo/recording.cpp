// Recording steps: the host calls one of these after each command it wants to be able to
// undo. A record that cannot be allocated is reported and left out; the call still succeeds.
#include <cstring>

#include "deform/envelope_rules.hpp"
#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "selection_record.hpp"
#include "undo_log.hpp"

using namespace zo;
using namespace zo::undo;

namespace {

constexpr int32_t kMoveSelected = 18006;
constexpr int32_t kJoin = 18007;
constexpr int32_t kDisjoin = 18008;
constexpr int32_t kEnvelopeEdit = 18016;

ZoPath* selected_of(ZoPathTbl* table) { return current_group(table).selected; }

// Node 0 of the selected subpath, with its first selected point and segment for a full
// move record.
Record* record_move(ZoPathTbl* table, int32_t action, bool withMarks) {
  ZoPath* sel = selected_of(table);
  if (sel == nullptr || sel->count == 0) return nullptr;
  Record* r = record_new(action, withMarks ? Payload::kMove : Payload::kOrigin, withMarks ? 4 : 2);
  if (r == nullptr) return nullptr;
  Ptfx origin = nodes_of(sel)[0].pt;
  uint32_t* e = r->entries();
  e[0] = static_cast<uint32_t>(origin.x);
  e[1] = static_cast<uint32_t>(origin.y);
  if (withMarks) {
    e[2] = static_cast<uint32_t>(first_marked(sel, PT_SELECTED));
    e[3] = static_cast<uint32_t>(first_marked(sel, PT_SEGMENT_MARK));
  }
  return r;
}

// The envelope the selected subpath carries: its kind (4 or 8 control points, 0 for none)
// and an owned copy of the points.
Record* record_envelope(ZoPathTbl* table, int32_t action) {
  Ptfx points[envelope::kBezierPoints];
  ZoPath* sel = selected_of(table);
  uint32_t n = sel == nullptr ? 0 : envelope::read_points(sel, points);
  Record* r = record_new(action, Payload::kEnvelope, 1);
  if (r == nullptr) return nullptr;
  r->entries()[0] = n;
  if (n == 0) return r;
  r->envelope = static_cast<Ptfx*>(plat::mem_alloc(sizeof(Ptfx) * n, 0));
  if (r->envelope == nullptr) {
    ZO_REPORT_NO_MEMORY();
    record_free(r);
    return nullptr;
  }
  std::memcpy(r->envelope, points, sizeof(Ptfx) * n);
  return r;
}

// Makes and keeps one record in the context's log, when the context can keep one.
template <typename Make>
uint32_t record_step(OpenLog& open, Make&& make) {
  if (!open.can_keep()) return 1;
  if (Record* r = make()) open.append(r);
  return 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathBackupAction(uint32_t context, int32_t action, ZoPathTbl* table) {
  OpenLog open(context);
  if (table == nullptr) return 0;
  return record_step(open, [&]() -> Record* {
    if (is_selection_action(action)) return record_selection(table, action);
    switch (action) {
      case kMoveSelected:
        return record_move(table, action, true);
      case kJoin:
      case kDisjoin:
        return record_new(action, Payload::kNone, 0);
      case kEnvelopeEdit:
        return record_envelope(table, action);
      default:
        return nullptr;  // other actions are not recorded
    }
  });
}

ZO_API uint32_t BackupDuplicate(int32_t action, ZoPathTbl* table) {
  OpenLog open;
  if (table == nullptr) return 0;
  return record_step(open, [&] { return record_selection(table, action); });
}

ZO_API uint32_t BackupSelected(int32_t action, ZoPathTbl* table) {
  OpenLog open;
  if (table == nullptr) return 0;
  return record_step(open, [&] {
    Record* r = record_new(action, Payload::kSubpath, 0);
    if (r != nullptr) r->subpath = selected_of(table);
    return r;
  });
}

ZO_API uint32_t BackupSelectMove(int32_t action, ZoPathTbl* table) {
  OpenLog open;
  if (table == nullptr) return 0;
  return record_step(open, [&] { return record_move(table, action, false); });
}

}  // extern "C"
