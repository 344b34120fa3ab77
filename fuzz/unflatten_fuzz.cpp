// Stored blocks from arbitrary bytes: a block is refused or read into a well-formed list that
// stores again and reads back to the same bytes. No crash, no read outside the block, no leak.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Zo32path.h"

namespace {

HGLOBAL block_of(const uint8_t* data, size_t size) {
  HGLOBAL h = ZoPlatGlobalAlloc(GMEM_MOVEABLE, size);
  if (h != nullptr && size > 0) {
    std::memcpy(ZoPlatGlobalLock(h), data, size);
    ZoPlatGlobalUnlock(h);
  }
  return h;
}

void check_links(ZoPath* head) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (p->next != nullptr && p->next->prev != p) std::abort();
    if (p->selNext != nullptr && p->selNext->selPrev != p) std::abort();
    bool attached = (p->flags & ZOF_ATTACHMENT) != 0;
    if (!attached && p->joinNext != nullptr && p->joinNext->joinPrev != p) std::abort();
  }
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  size_t heapBefore = ZoPlatHeapLiveBlocks(), memBefore = ZoPlatMemLiveBlocks();
  HGLOBAL block = block_of(data, size);
  ZoPath* list = nullptr;
  if (block != nullptr && ZoPathUnFlatten(&block, &list) != 0 && list != nullptr) {
    check_links(list);
    // What was read stores and reads back exactly.
    uint32_t stored = 0;
    HGLOBAL first = nullptr;
    if (ZoPathFlatten(list, &stored, &first) == 0) std::abort();
    ZoPath* again = nullptr;
    if (ZoPathUnFlatten(&first, &again) == 0) std::abort();
    HGLOBAL second = nullptr;
    if (ZoPathFlatten(again, &stored, &second) == 0) std::abort();
    if (ZoPlatGlobalSize(first) != ZoPlatGlobalSize(second) ||
        std::memcmp(ZoPlatGlobalLock(first), ZoPlatGlobalLock(second), ZoPlatGlobalSize(first)) != 0)
      std::abort();
    ZoPlatGlobalFree(first);
    ZoPlatGlobalFree(second);
    release(again);
  }
  release(list);
  ZoPlatGlobalFree(block);
  if (ZoPlatHeapLiveBlocks() != heapBefore || ZoPlatMemLiveBlocks() != memBefore) std::abort();
  return 0;
}
