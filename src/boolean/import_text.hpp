// The reader of the path import text: subpath headers "count join" followed by count node
// records "x y type", with "%" line comments and "/*" ... "*/" block comments. It builds the
// records through the library's exported record calls only, so the command-line tool uses
// this same reader.
#pragma once

#include <cstddef>

#include "Zo32path.h"

namespace zo::import_text {

// Reads a path list from the text: every subpath selected and linked through prev/next and
// selPrev/selNext, runs of joined subpaths linked through joinPrev/joinNext. A text that ends
// early keeps the subpaths completed before the end. Null when nothing was read or a record
// could not be allocated (then nothing is kept).
ZoPath* read_paths(const char* text, size_t size);

}  // namespace zo::import_text
