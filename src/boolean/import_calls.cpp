// Appending a new selected path to a table, and importing a path list from a text file.
#include <cstdio>

#include "boolean/import_text.hpp"
#include "model/records.hpp"
#include "platform/memory.hpp"
#include "platform/rect.hpp"
#include "platform/trace.hpp"

namespace zo {

namespace {

// The whole file as one NUL-terminated general-purpose block; null when it cannot be read.
// A file that cannot be opened is traced; running out of memory is not reported.
char* read_file(const char* fileName, size_t* size) {
  std::FILE* f = fileName != nullptr ? std::fopen(fileName, "rb") : nullptr;
  if (f == nullptr) {
    plat::output_debug_string("file open error!");
    return nullptr;
  }
  size_t capacity = 4096, used = 0;
  char* text = static_cast<char*>(plat::mem_alloc(capacity, 0));
  while (text != nullptr) {
    used += std::fread(text + used, 1, capacity - 1 - used, f);
    if (used < capacity - 1) break;  // end of file (or a read error: keep what was read)
    char* grown = static_cast<char*>(plat::mem_realloc(text, capacity * 2, 0));
    if (grown == nullptr) plat::mem_free(text);
    text = grown;
    capacity *= 2;
  }
  std::fclose(f);
  if (text == nullptr) return nullptr;
  text[used] = '\0';
  *size = used;
  return text;
}

}  // namespace

extern "C" {

ZO_API void ZoPathPushBackNewS(ZoPathTbl* table, ZoPath* path) {
  if (table == nullptr || path == nullptr || !is_selected(path)) return;
  PathGroup& g = current_group(table);
  if (g.first == nullptr) {
    g.first = path;
  } else {
    ZoPath* tail = list_tail(g.first);
    tail->next = path;
    path->prev = tail;
  }
  if (g.selected == nullptr) {
    g.selected = path;
  } else {
    ZoPath* tail = g.selected;
    while (tail->selNext != nullptr) tail = tail->selNext;
    tail->selNext = path;
    path->selPrev = tail;
  }
}

ZO_API uint32_t ZoPathImport(ZoPathTbl* table, CoordStruct* view, RECT* rect, const char* fileName) {
  if (rect != nullptr) plat::SetRectEmpty(rect);
  if (table == nullptr) return 0;
  size_t size = 0;
  char* text = read_file(fileName, &size);
  if (text == nullptr) return 0;
  ZoPath* list = import_text::read_paths(text, size);
  plat::mem_free(text);
  if (list == nullptr) return 0;
  if (view != nullptr) ZoPathDraw(view, list, rect, 0);
  ZoPathPushBackNewS(table, list);
  return 1;
}

}  // extern "C"

}  // namespace zo
