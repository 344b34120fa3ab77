// Re-aligning the handles of smooth nodes after a deformation moved them apart.
#pragma once

#include "Zo32path.h"

namespace zo::deform {

// The node at `node` with its handles at `prev` and `next` (all in one point run): both
// handles keep their lengths and become collinear through the node, along the difference of
// the normalised handle vectors. Handles shorter than 0.01 are left alone (with report set,
// reported as 3200 with a trace); so is a node whose handle directions cancel out.
void realign_handles(PointDB* pts, uint32_t prev, uint32_t node, uint32_t next,
                     bool report = true);

// Whether the handles at `prev` and `next` around `node` are collinear and opposite: each at
// least 0.1 long in x or y, and the cross product of their directions below 0.01.
bool handles_smooth(const PointDB* pts, uint32_t prev, uint32_t node, uint32_t next);

}  // namespace zo::deform
