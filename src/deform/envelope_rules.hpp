// What the editing code needs to know about envelope frames and wrap baselines: which kind
// of deformation a path list carries, and which records are frames.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::envelope {

// Deformation kinds of a path list, read from its last subpath.
enum WrapType : uint32_t {
  kNone = 0,
  kBilinear = 1,
  kBezierH = 2,  // horizontal bi-Bezier frame, distorted
  kBezierV = 3,  // vertical bi-Bezier frame, distorted
  kThirdKind = 4,
  kBezierHFlat = 5,
  kBezierVFlat = 6,
  kWrapBaseline = 10,
};

inline constexpr uint32_t kFrameBits = ZOF_ENVELOPE_H | ZOF_ENVELOPE_V;
inline constexpr uint32_t kBilinearNodes = 5;

// Envelope frame records carry a frame bit; their nodes are the frame's handles.
inline bool is_frame(const ZoPath* p) { return (p->flags & kFrameBits) != 0; }

// The deformation kind of the list that `any` belongs to; kNone for a null list.
WrapType wrap_type(ZoPath* any);

// Control points of a frame as the envelope calls take them: a bilinear frame (fewer than 8
// nodes) has 4 (P0 top-left, P1 top-right, P2 bottom-left, P3 bottom-right), a bi-Bezier frame
// 8 (P0..P3, then Q0..Q3).
inline constexpr uint32_t kBilinearPoints = 4;
inline constexpr uint32_t kBezierPoints = 8;
// The number of control points of a selected frame, written to points (room for 8); 0 when
// the subpath is no selected frame.
uint32_t read_points(const ZoPath* frame, Ptfx points[kBezierPoints]);
// Puts control points read by read_points back into the same frame; false when the frame no
// longer has that many.
bool write_points(ZoPath* frame, uint32_t n, const Ptfx* points);

}  // namespace zo::envelope
