// Which node or segment of a path list lies under a point: the geometric half of hit
// testing, in image coordinates with the tolerance already divided by the zoom.
#pragma once

#include "Zo32path.h"

namespace zo::edit {

enum class HitRole { Anchor, FirstControl, SecondControl, Body };

struct Hit {
  ZoPath* path = nullptr;
  uint32_t index = 0;  // the node hit, or the first node of the segment hit
  uint16_t param = 0;  // 0 for nodes; the position along a segment, 0-65535
  HitRole role = HitRole::Anchor;
};

struct HitQuery {
  PointDB point;
  double tolerance;   // half the side of the open square around nodes; the band about bodies
  bool bodies;        // test segment bodies too
  bool selectedOnly;  // leave unselected subpaths out
};

// The first hit in the order the editor promises: a wrap baseline drawn last is tested
// alone; otherwise selected subpaths first, then the others, each in list order. Within a
// subpath the segments are taken from the last to the first, each with its end node, its
// shown control points (second, then first), its start node, then its body.
bool hit_list(ZoPath* head, const HitQuery& q, Hit* out);
bool hit_subpath(ZoPath* p, const HitQuery& q, Hit* out);

// Whether the control point at index c, belonging to the anchor at a, shows a handle (and
// so can be clicked): its subpath is selected and the anchor or the control point itself is.
bool control_shown(const ZoPath* p, uint32_t c, uint32_t a);

}  // namespace zo::edit
