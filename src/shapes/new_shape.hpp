// What every shape source (primitives, polygons, the pen tool, freehand strokes) does with a
// new subpath: the current group's selection is cleared first, then the standalone subpath is
// appended after the group's last path and becomes its selected path. Also the checks a dragged
// rectangle must pass before it is turned into nodes.
#pragma once

#include <cmath>
#include <cstdint>

#include "Zo32path.h"

namespace zo::shapes {

// Deselects the current group's selected paths (their handles redrawn on dc) and clears the
// group's selected path, so the new shape becomes the only selection.
void clear_group_selection(HDC dc, ZoPathTbl* table, const CoordStruct* view);
// Appends a standalone subpath (no links) after the last path of the current group, or makes
// it the group's first path, and makes it the selected path.
void insert_into_group(ZoPathTbl* table, ZoPath* path);

// The largest magnitude a coordinate may have to fit the 16.16 integer part.
inline constexpr double kFixLimit = 32768.0;
inline bool fits_fix(double v) { return std::isfinite(v) && std::fabs(v) < kFixLimit; }
inline bool usable_zoom(double zoom) { return std::isfinite(zoom) && zoom > 0.0; }

// Reports an argument the shape cannot be built from (error 3200); always false, so a caller
// can `return refuse();`.
bool refuse(const char* file, int line);

}  // namespace zo::shapes

#define ZO_REFUSE() ::zo::shapes::refuse(__FILE_NAME__, __LINE__)
