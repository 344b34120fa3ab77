// The deformation code's module-wide scratch: the point run of the stretch and the tables of
// the wrap. Each call that uses them releases them before it returns; unloading the library
// releases whatever is left.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::deform {

// A run of points in doubles with one node type word and one role word (the user's own
// marks) each; capacity grows in steps of 512.
struct PointRun {
  PointDB* pts = nullptr;
  uint16_t* types = nullptr;
  uint16_t* roles = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
  // Room for n points in all; false (nothing changed) when the allocation fails.
  bool reserve(uint32_t n);
  bool push(PointDB p, uint16_t type, uint16_t role = 0);
  void release();
};

// Writes the run's points (truncated to 16.16) and types into the record, growing it when
// needed (the new address is stored back, neighbours relinked). False when it cannot grow.
bool write_run(ZoPath** path, const PointRun& run);

PointRun& stretch_run();
PointRun& wrap_run();
// Releases every table of the deformation code.
void release_deform_state();

}  // namespace zo::deform
