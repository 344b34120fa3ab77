// Arrowheads on open lines: measuring a template, the arrow sizes every arrow call agrees on,
// and the line's end direction and trimming.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::arrows {

// A template subpath (pointing along +x) measured from its node positions, control points
// included: half-base b from the two left-most nodes, length l, half-height h, and the
// offset that puts the middle of the base one pixel ahead of the origin.
struct TemplateShape {
  bool usable;  // at least two nodes and b > 0: nothing divides by b otherwise
  double halfBase, length, halfHeight;
  PointDB anchor;
};
TemplateShape measure(const ZoPath* templ);

// Which arrows a line draws at its record's width, and their lengths along it.
struct ArrowFit {
  bool start, end;
  double startLength, endLength;
  double lineLength;  // L, as ZoPathGetLength gives it
};
// Arrows only while the record's disable word is 0; an arrow exists when its template is
// set and usable. Long arrows are dropped first (start: length > 99 and length - L >= 50;
// end: length > 99 and length > L), then both go unless they fit: L' = L - end length must
// not be negative, and the start length must exceed neither L nor L'.
ArrowFit fit_arrows(ZoPath* line, const ZoPathOutlineInfo& info);

// The unit direction in which the line leaves its last point (atEnd) or, reversed, its
// first point; a degenerate end cubic falls back from P3 - P2 to P3 - P1 to P3 - P0. False
// when the end has no direction.
bool end_direction(const ZoPath* line, bool atEnd, PointDB* direction, PointDB* endPoint);

// Shortens a line in place by the arrows' lengths, each measured along the line with the
// length rule of ZoPathGetLength; a cubic is split where its length reaches the cut. Never
// grows the record.
void trim_line(ZoPath* line, const ArrowFit& fit);

}  // namespace zo::arrows
