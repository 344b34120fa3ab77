// The undo logs: one list of records per context number, kept in a table of 20 slots, and the
// records themselves. A record holds just enough to swap the current state with the recorded
// one, so the same record serves undo and redo.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::undo {

inline constexpr uint32_t kSlots = 20;

// What a record's entries hold; the action number says what the host did, the payload what
// the log can restore.
enum class Payload : uint32_t {
  kNone,       // join and disjoin: the action alone says what to do
  kSelection,  // a selection snapshot (selection_record.hpp)
  kMove,       // node 0 of the selected subpath, its first selected point and segment
  kOrigin,     // node 0 of the selected subpath only
  kSubpath,    // which subpath was the group's selected one
  kEnvelope,   // the envelope's kind and its control points
};

// One block of the general-purpose allocator: this header, then entryCount 32-bit entries.
struct Record {
  uint32_t action;
  Record* next;
  uint32_t entryCount;
  Payload payload;
  ZoPath* subpath;  // kSubpath
  Ptfx* envelope;   // kEnvelope: the owned control-point block, null without an envelope
  uint32_t* entries() { return reinterpret_cast<uint32_t*>(this + 1); }
  const uint32_t* entries() const { return reinterpret_cast<const uint32_t*>(this + 1); }
};

// A zero-filled record, or null after reporting 1001.
Record* record_new(int32_t action, Payload payload, uint32_t entryCount);
// Releases the record and its control-point block.
void record_free(Record* r);

// The log a call works on: its context number, its records oldest first, and how many of
// them are applied.
struct Log {
  uint32_t context = 0;
  Record* head = nullptr;
  uint32_t position = 0;
  uint32_t size() const;
  // The address of the link that holds record `index` (1-based; the head pointer for 1).
  Record** link_to(uint32_t index);
};

// Makes a context's log current for the length of one call and stores it back into the
// context table when the call ends: into its slot, or the first free one; a log that became
// empty gives its slot up. Calls without a context number use the context used last.
class OpenLog {
 public:
  explicit OpenLog(uint32_t context);
  OpenLog();
  ~OpenLog();
  OpenLog(const OpenLog&) = delete;
  OpenLog& operator=(const OpenLog&) = delete;
  Log& log() { return log_; }
  // Whether a record added now could be kept (the context has a slot or a slot is free).
  bool can_keep() const;
  // Appends a record at the tail; the position rises by one.
  void append(Record* r);

 private:
  Log log_;
};

}  // namespace zo::undo
