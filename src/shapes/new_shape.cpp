#include "new_shape.hpp"

#include "model/records.hpp"
#include "platform/host_library.hpp"

namespace zo::shapes {

void clear_group_selection(HDC dc, ZoPathTbl* table, const CoordStruct* view) {
  PathGroup& g = current_group(table);
  if (g.selected == nullptr) return;
  ZoPathDeSelectAll(dc, g.selected, const_cast<CoordStruct*>(view), 1);
  ZoPathAssignSelectedPath(table, nullptr);
}

void insert_into_group(ZoPathTbl* table, ZoPath* path) {
  PathGroup& g = current_group(table);
  if (g.first == nullptr) {
    ZoPathAssignActivePath(table, path);
  } else {
    ZoPath* tail = list_tail(g.first);
    tail->next = path;
    path->prev = tail;
  }
  ZoPathAssignSelectedPath(table, path);
}

bool refuse(const char* file, int line) {
  plat::report_error(plat::kErrBadArgument, 1, file, line);
  return false;
}

}  // namespace zo::shapes
