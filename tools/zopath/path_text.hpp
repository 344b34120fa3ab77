// The writer of the path text that ZoPathImport reads: one header line "COUNT JOIN" per
// subpath followed by its COUNT node records "X Y TYPE", one per line.
#pragma once

#include <string>

#include "Zo32path.h"

namespace zopath {

// The list from `head` along next. Coordinates are written in the shortest form that reads
// back to the same 16.16 value. The text keeps points, node types and join runs; subpath
// flags are not part of the format (a reader selects every subpath). Join chains are written
// as runs of neighbouring subpaths: a subpath is flagged when it continues or starts the run
// of its list neighbours, so two runs that touch read back as one, and a chain whose members
// are not list neighbours reads back unjoined.
std::string write_path_text(ZoPath* head);

}  // namespace zopath
