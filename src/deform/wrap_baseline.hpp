// The baseline of a wrap as tables: one record per segment (kind, length, end tangents, mitre
// vectors, subdivision value) and the arc-length table that turns a distance along the
// baseline into a segment and its parameter. Module-wide, built for one wrap and released
// when it ends (release_wrap_tables).
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::deform {

struct WrapSegment {
  uint32_t kind;        // 0 straight, 1 cubic
  uint32_t firstNode;   // index of its first node in the baseline
  double length;
  PointDB t0, t1;       // unit tangents at its start and end
  uint32_t skip;        // 1: shorter than 4 pixels, counted as length 0
  uint32_t firstEntry;  // its arc-length entries
  uint32_t lastEntry;
  uint32_t corner;      // the corner mode value when one of its ends is a mitred joint
  PointDB m0, m1;       // mitre vectors at its ends (its own normals where no joint is mitred)
  double q;             // subdivision value for source curves over this segment
  PointDB p[4];         // its points; a straight segment repeats its end
  double start;         // arc length at its start
};

struct ArcEntry {
  float length;     // cumulative arc length from the baseline's start
  uint16_t param;   // parameter on the segment, out of 65535
  uint16_t segment; // index of the segment
};

struct WrapTables {
  WrapSegment* segs = nullptr;
  uint32_t segCount = 0, segCapacity = 0;
  ArcEntry* arcs = nullptr;
  uint32_t arcCount = 0, arcCapacity = 0;
  double total = 0.0;  // L
  uint32_t open = 0;
  double cuts[65];     // trimmed ribbon: fractions of L where y turns, then 1.0
  uint32_t cutCount = 0;
};

WrapTables& wrap_tables();
void release_wrap_tables();

// Builds the tables for the baseline. scale is the source height + 1 (it sets how finely
// source curves are subdivided); ribbon records the y turning points. Returns 0 on success,
// else the error code (5404 too short, 3200 a bad node, 1001 out of memory), already
// reported and traced.
uint32_t build_wrap_tables(const ZoPath* baseline, double scale, bool ribbon);

// Replaces the tangents at each joint turning by more than 5 degrees by their normalised sum
// and marks both segments with the corner mode.
void mitre_corners(uint32_t cornerMode, bool closed);

// Where an arc position lands: a segment and its parameter; extension beyond an open end
// gives seg < 0 with the point and tangent of the straight extension.
struct BaselinePoint {
  int32_t seg;
  double t;
  PointDB point;
  PointDB tangent;
};
BaselinePoint locate(double s);

// The unit tangent of a segment at t, with its fallbacks for degenerate cubics.
PointDB segment_tangent(const WrapSegment& seg, double t);

// The subdivision count for source curves over the segment at arc position s.
uint32_t subdivision_at(double s);

}  // namespace zo::deform
