// Translation of subpaths.
#pragma once

#include "Zo32path.h"

namespace zo {

// Adds the offset to every point of one subpath (parameter nodes skipped).
void translate_subpath(ZoPath* p, Ptfx offset);
// Adds whole pixels to the integer parts of every point of the list from `from` to the tail.
void shift_list_by_units(ZoPath* from, int32_t dx, int32_t dy);

}  // namespace zo
