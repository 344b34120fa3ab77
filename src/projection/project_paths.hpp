// Projection of a whole object, shared by the exported call and the depth buffer.
#pragma once

#include "Zo32path.h"

namespace zo::projection {

// Projects every node of the object in place (object depth 0, zOffset after rotation).
void project_object(ZoPath* path, const Transform3D& transform, double zOffset, bool keepTag);

}  // namespace zo::projection
