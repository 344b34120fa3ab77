// Asking about and trimming the undo logs, and the calls the host makes that keep no state.
#include "model/records.hpp"
#include "selection_record.hpp"
#include "undo_log.hpp"

using namespace zo;
using namespace zo::undo;

extern "C" {

ZO_API uint32_t ZoPathSameUR(uint32_t context, ZoPathTbl* table, int32_t action) {
  OpenLog open(context);
  Log& log = open.log();
  if (table == nullptr || log.position == 0 || log.position > log.size()) return 0;
  const Record* r = *log.link_to(log.position);
  if (!is_selection_action(action) || r->payload != Payload::kSelection ||
      static_cast<int32_t>(r->action) != action)
    return 0;
  return same_selection(table, r) ? 1 : 0;
}

ZO_API uint32_t ZoPathURFree(uint32_t context, uint32_t /*ignored*/, uint32_t fromOldest) {
  OpenLog open(context);
  Log& log = open.log();
  uint32_t n = log.size();
  if (n == 0) return 1;
  Record** link = fromOldest != 0 ? &log.head : log.link_to(n);
  Record* gone = *link;
  *link = gone->next;
  record_free(gone);
  if (fromOldest != 0) {
    if (log.position > 0) --log.position;
  } else if (log.position > n - 1) {
    log.position = n - 1;
  }
  return 1;
}

ZO_API uint32_t ZoPathGetURAction(void) {
  OpenLog open;
  Log& log = open.log();
  // Never past the newest record: there is nothing beyond it to redo.
  if (log.position < log.size()) ++log.position;
  return 1;
}

ZO_API uint32_t ZoPathSetUndoLimit(uint32_t /*ignored*/) { return 1; }

ZO_API uint32_t ZoPathZoPathGetURInfo(uint32_t* first, uint32_t* second) {
  if (first != nullptr) *first = 0;
  if (second != nullptr) *second = 0;
  return 1;
}

}  // extern "C"
