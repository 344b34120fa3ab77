// The editing rules of polygon and star subpaths: their nodes repeat one side n times, so
// node editing asks about the first side only.
#pragma once

#include "Zo32path.h"

namespace zo::polygon {

inline constexpr uint32_t kSideStyleMask = 0xE000;

inline bool is_polygon(const ZoPath* p) {
  return (p->flags & (ZOF_POLY_STYLE1 | ZOF_POLY_STYLE2)) != 0;
}
inline uint32_t side_count(const ZoPath* p) { return (p->flags >> 5) & 0x3F; }

// Node editing makes the sides irregular: the side style goes, count and style stay.
inline void release_side_style(ZoPath* p) { p->flags &= ~kSideStyleMask; }
// Whether the selected points of a polygon may be deleted.
bool selected_points_can_be_deleted(const ZoPath* p);
// 1 more than minimal, 0 minimal, -1 degenerate, judged on the first side.
int32_t simplest(const ZoPath* p);
// Copies the polygon marks of one subpath onto another.
inline void copy_marks(ZoPath* target, const ZoPath* source) {
  target->flags = (target->flags & ~ZOF_POLY_MARKS) | (source->flags & ZOF_POLY_MARKS);
}

}  // namespace zo::polygon
