// The path import text reader on arbitrary bytes: no crash, no leak, and every record it
// returns is a well-formed list of selected subpaths.
#include <cstdint>
#include <cstdlib>

#include "Zo32path.h"
#include "boolean/import_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  ZoPath* list = zo::import_text::read_paths(reinterpret_cast<const char*>(data), size);
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    if (p->flags != ZOF_SELECTED || (p->next != nullptr && p->next->prev != p) ||
        p->selNext != p->next)
      std::abort();
  }
  while (list != nullptr) {
    ZoPath* next = list->next;
    ZoPathDeletePtrSingle(list);
    list = next;
  }
  return 0;
}
