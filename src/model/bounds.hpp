// Bounding rectangles of subpath sets: the integer rectangle, the double rectangle (both
// over all nodes, control points included) and the shape rectangle that follows the curves.
#pragma once

#include "Zo32path.h"

namespace zo::bounds {

// Which subpaths take part, counted from the given one.
enum Mode : int {
  kList = 0,       // the path list to the tail (the double and shape rectangles stop after
                   // a subpath with an attachment); also 2 and any unlisted value
  kJoin = 1,       // the join chain, stopping after a subpath with an attachment
  kSelection = 3,  // the selection chain while its members are selected
  kTextChar = 5,   // one text character: the given subpath must start one
  kSingle = 11,    // the given subpath only
};

inline constexpr int kMarginBefore = 5;
inline constexpr int kMarginAfter = 6;

// The four corners of a frame shape (node 1 marked as a parameter pair), rotated about the
// frame's centre by the angle in node 2 and truncated to 16-bit integers.
void frame_corners(const ZoPath* p, PointDB corners[4]);

// False for a null subpath or a text-character mode on a subpath that starts none.
bool integer_rect(ZoPath* p, int mode, double scale, bool margin, RECT* out);
bool double_rect(ZoPath* p, int mode, double scale, bool margin, RectDB* out);
bool shape_rect(ZoPath* p, int mode, double scale, RectDB* out);

}  // namespace zo::bounds
