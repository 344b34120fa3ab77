// Wrapping a table's path and keeping the table up to date: the wrap runs on copies, and only
// a successful wrap replaces the table's first group and the information's baseline.
#include "model/chains.hpp"
#include "model/records.hpp"
#include "platform/host_library.hpp"

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathWrapAndUpdate(ZoPathTbl* table, ZoPath* list, ZoPath* baseline,
                                    ZoPathWrapInfo* info) {
  if (table == nullptr || list == nullptr || baseline == nullptr || info == nullptr) return 0;
  ZoPath* wrapped = nullptr;
  ZoPath* base = nullptr;
  if (ZoPathDuplicatePtr(list, &wrapped) == 0) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  ZoPathSelectStatus* status = nullptr;
  if (ZoPathDuplicatePtrSingle(baseline, &base) == 0 ||
      (status = ZoPathCopySelectStatus(baseline)) == nullptr) {
    release_list(wrapped);
    if (base != nullptr) record_release(base);
    return 0;  // reported by the copy that failed
  }
  deselect_fully(base);
  base->flags |= ZOF_SELECTED;
  ZoPath* previous = info->baseline;
  info->baseline = base;
  if (ZoPathWrap(&wrapped, info) == 0 || ZoPathAddWrapPath(wrapped, info) == 0) {
    info->baseline = previous;
    release_list(wrapped);
    record_release(base);
    ZoPathCleanSelectStatusClipboard(status);
    return 0;
  }
  if (previous != nullptr && is_live_record(previous)) {
    unlink_from_chains(previous);
    ZoPathDeletePtr(previous, 0);
  }
  // The first group's list gives way to the wrapped one (every record of it, so nothing of
  // the old list is left unreachable).
  PathGroup& first = table->groups[0];
  for (ZoPath* p = first.first; p != nullptr;) {
    ZoPath* next = p->next;
    ZoPathDeletePtr(p, 0);
    p = next;
  }
  first.first = first.selected = nullptr;
  if (ZopathPasteSelectStatus(status, list_tail(wrapped), 1) == 0)
    ZoPathCleanSelectStatusClipboard(status);
  ZoPathAssignActivePath(table, wrapped);
  return 1;
}

}  // extern "C"
