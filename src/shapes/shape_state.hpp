// Module-wide state of the shape sources, released when the library is unloaded.
#pragma once

namespace zo::shapes {

// Releases the subpaths of an unfinished creation batch and ends it.
void release_creation_batch();
// Releases the pen tool's points buffer and forgets the drawing in progress.
void release_pen_state();

}  // namespace zo::shapes
