// Selection snapshots: for each member of the current group's selection chain, in chain
// order, its position in the group's path list, followed, for a member with selected points
// or a selected segment, by a marker entry naming its first selected node or segment.
#pragma once

#include "undo_log.hpp"
#include "undo_screen.hpp"

namespace zo::undo {

bool is_selection_action(int32_t action);
// The index of the first node carrying the mark, or -1.
int32_t first_marked(const ZoPath* p, uint16_t mark);

// A record of the current selection under the action; null after reporting 1001.
Record* record_selection(ZoPathTbl* table, int32_t action);
// Whether the current selection is the one the record holds.
bool same_selection(ZoPathTbl* table, const Record* r);
// Puts the recorded selection in place and the current one into the log in its place
// (*link is replaced). False, nothing changed, when the snapshot cannot be allocated.
bool swap_selection(ZoPathTbl* table, Record** link, const Screen& screen);

}  // namespace zo::undo
