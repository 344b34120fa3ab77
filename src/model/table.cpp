// Path tables and their groups: creation, release, the current group's list and selection.
#include <algorithm>
#include <cstring>

#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "platform/rect.hpp"
#include "records.hpp"
#include "render/display.hpp"

namespace zo {

namespace {

constexpr uint32_t kShown = 0x10000;

ZoPath* first_selected(ZoPath* head) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (is_selected(p)) return p;
  }
  return nullptr;
}

void copy_name(PathGroup& g, const char* name) {
  if (name == nullptr) return;
  size_t n = strnlen(name, sizeof g.name - 1);
  std::memcpy(g.name, name, n);
  g.name[n] = '\0';
}

// Fills a group entry for a list being added as group k.
void fill_group(ZoPathTbl* t, uint32_t k, ZoPath* head, const char* name) {
  PathGroup& g = t->groups[k];
  t->groupCount = k + 1;
  t->curGroup = k;
  t->shown = kShown;
  g.number = k;
  if (g.name[0] == '\0') copy_name(g, name);
  if (g.first == nullptr) g.first = head;
  if (ZoPath* sel = first_selected(head)) g.selected = sel;
}

}  // namespace

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathNew(ZoPathTbl** table) {
  if (table == nullptr) return 0;
  *table = nullptr;
  ZoPathTbl* t = table_alloc(1);
  if (t == nullptr) return 0;
  t->shown = kShown;
  t->groupCount = 1;
  *table = t;
  return 1;
}

ZO_API uint32_t ZoPathTblDelete(ZoPathTbl* table) {
  if (table == nullptr) return 0;
  // Each group owns its whole list; releasing every record leaves nothing behind.
  for (uint32_t i = 0; i < table->groupCount; ++i) {
    if (table->groups[i].first != nullptr) release_list(list_head(table->groups[i].first));
  }
  if (table->lpDB != nullptr) plat::mem_free(table->lpDB);
  table_release(table);
  return 1;
}

ZO_API void ZoPathFind(ZoPathTbl* table, uint32_t* curGroup, ZoPath** first, ZoPath** selected,
                       uint32_t* shown) {
  if (table == nullptr) return;
  PathGroup& g = current_group(table);
  if (curGroup != nullptr) *curGroup = table->curGroup;
  if (first != nullptr) *first = g.first;
  if (selected != nullptr) *selected = g.selected;
  if (shown != nullptr) *shown = table->shown != 0 ? 1 : 0;
}

ZO_API void ZoPathFindGroups(ZoPathTbl* table, uint32_t* groupCount) {
  if (groupCount != nullptr) *groupCount = table == nullptr ? 0 : table->groupCount;
}

ZO_API void ZoPathFindGroupName(ZoPathTbl* table, int32_t index, char** name) {
  if (table == nullptr || name == nullptr) return;
  *name = index >= 0 && static_cast<uint32_t>(index) < table->groupCount ? table->groups[index].name
                                                                         : nullptr;
}

ZO_API uint32_t ZoPathAddPathGroup(ZoPathTbl** table, ZoPath* list, const char* name,
                                   CoordStruct* view, RECT* out) {
  if (list == nullptr || table == nullptr) return 0;
  ZoPath* head = list_head(list);
  RECT window = view != nullptr ? view->rcWindow : RECT{0, 0, 0, 0};
  ZoPathTbl* t = *table;
  if (t != nullptr) {
    uint32_t k = 0;
    if (!(t->groupCount == 1 && t->groups[0].first == nullptr)) {
      if (t->shown == kShown && view != nullptr) {
        RECT erased;
        display::hide(view, current_group(t).first, &erased);
      }
      k = t->groupCount;
      ZoPathTbl* grown = table_resize(t, k + 1);
      if (grown == nullptr) {
        ZO_REPORT_NO_MEMORY();
        return 0;
      }
      *table = t = grown;
      std::memset(&t->groups[k], 0, sizeof(PathGroup));
    }
    fill_group(t, k, head, name);
  } else {
    t = table_alloc(1);
    uint8_t* buffer = nullptr;
    size_t width = static_cast<size_t>(std::max(window.right, 0));
    size_t height = static_cast<size_t>(std::max(window.bottom, 0));
    if (t != nullptr && view != nullptr)
      buffer = static_cast<uint8_t*>(plat::mem_alloc(width * height, plat::kZeroFill));
    if (t == nullptr || (view != nullptr && buffer == nullptr)) {
      if (t != nullptr) table_release(t);
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    fill_group(t, 0, head, name);
    if (view != nullptr) {
      t->lpDB = buffer;
      t->dbDesc.width = static_cast<uint32_t>(width);
      t->dbDesc.height = static_cast<uint32_t>(height);
      t->dbDesc.scrollX = view->scrollX;
      t->dbDesc.scrollY = view->scrollY;
      t->dbDesc.zoom = view->zoom;
      view->lpDB = buffer;
    }
    *table = t;
  }
  RECT drawn{0, 0, 0, 0};
  if (view != nullptr) display::draw(view, head, &drawn, 0);
  if (out != nullptr) *out = drawn;
  return 1;
}

ZO_API uint32_t ZoPathAssignActivePath(ZoPathTbl* table, ZoPath* list) {
  if (table == nullptr) return 0;
  PathGroup& g = current_group(table);
  g.first = list != nullptr ? list_head(list) : nullptr;
  g.selected = first_selected(g.first);
  return 1;
}

ZO_API uint32_t ZoPathAssignSelectedPath(ZoPathTbl* table, ZoPath* path) {
  if (table == nullptr) return 0;
  if (path == nullptr) {
    current_group(table).selected = nullptr;
    return 1;
  }
  if (!is_selected(path)) return 0;
  current_group(table).selected = selection_head(path);
  return 1;
}

ZO_API uint32_t ZoPathAssignSelectedPathBlindly(ZoPathTbl* table, ZoPath* path) {
  if (path == nullptr) return 0;
  ZoPathAssignSelectedPath(table, first_selected(list_head(path)));
  return 1;
}

}  // extern "C"
