// The table of undo contexts: 20 slots of (context number, records, position). Context 0
// marks a free slot, so a log under number 0 is never kept.
#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "undo_log.hpp"

namespace zo::undo {

namespace {

struct Slot {
  uint32_t context;
  Record* head;
  uint32_t position;
};

// The module's undo state: the slots and the context the last call made current.
struct UndoState {
  Slot slots[kSlots];
  uint32_t currentContext;
};
UndoState g_undo{};

Slot* slot_of(uint32_t context) {
  if (context == 0) return nullptr;
  for (Slot& s : g_undo.slots)
    if (s.context == context) return &s;
  return nullptr;
}
Slot* free_slot() {
  for (Slot& s : g_undo.slots)
    if (s.context == 0) return &s;
  return nullptr;
}

void release_records(Record* r) {
  while (r != nullptr) {
    Record* next = r->next;
    record_free(r);
    r = next;
  }
}

// Library unload releases every log still held.
__attribute__((destructor)) void release_all_logs() {
  for (Slot& s : g_undo.slots) release_records(s.head);
  g_undo = UndoState{};
}

}  // namespace

Record* record_new(int32_t action, Payload payload, uint32_t entryCount) {
  void* block =
      plat::mem_alloc(sizeof(Record) + sizeof(uint32_t) * size_t{entryCount}, plat::kZeroFill);
  if (block == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  auto* r = static_cast<Record*>(block);
  r->action = static_cast<uint32_t>(action);
  r->payload = payload;
  r->entryCount = entryCount;
  return r;
}

void record_free(Record* r) {
  if (r == nullptr) return;
  plat::mem_free(r->envelope);
  plat::mem_free(r);
}

uint32_t Log::size() const {
  uint32_t n = 0;
  for (const Record* r = head; r != nullptr; r = r->next) ++n;
  return n;
}

Record** Log::link_to(uint32_t index) {
  Record** link = &head;
  for (uint32_t i = 1; i < index && *link != nullptr; ++i) link = &(*link)->next;
  return link;
}

OpenLog::OpenLog(uint32_t context) {
  g_undo.currentContext = context;
  log_.context = context;
  if (Slot* s = slot_of(context)) {
    log_.head = s->head;
    log_.position = s->position;
  }
}

OpenLog::OpenLog() : OpenLog(g_undo.currentContext) {}

OpenLog::~OpenLog() {
  Slot* s = slot_of(log_.context);
  if (log_.head == nullptr) {
    if (s == nullptr) return;
    // The slots after an emptied one move up.
    for (Slot* t = s; t + 1 < g_undo.slots + kSlots; ++t) *t = *(t + 1);
    g_undo.slots[kSlots - 1] = Slot{};
    return;
  }
  if (s == nullptr) s = log_.context == 0 ? nullptr : free_slot();
  if (s == nullptr) {
    // Nowhere to keep it: recording checks can_keep() first, so this holds no records made
    // by this call; release rather than lose them.
    release_records(log_.head);
    return;
  }
  *s = Slot{log_.context, log_.head, log_.position};
}

bool OpenLog::can_keep() const {
  return slot_of(log_.context) != nullptr || (log_.context != 0 && free_slot() != nullptr);
}

void OpenLog::append(Record* r) {
  Record** link = &log_.head;
  while (*link != nullptr) link = &(*link)->next;
  *link = r;
  ++log_.position;
}

}  // namespace zo::undo
