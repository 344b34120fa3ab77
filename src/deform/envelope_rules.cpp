#include "envelope_rules.hpp"

#include "model/records.hpp"

namespace zo::envelope {

namespace {

// A bi-Bezier frame is flat while its two curves are still the straight edges of the box:
// horizontal frames keep matching x on top and bottom and one y per curve, vertical frames
// the other way round. Nodes 0-3 hold P0..P3 and nodes 4-7 hold Q3..Q0.
bool flat(const ZoPath* frame, bool horizontal) {
  if (frame->count < 8) return false;
  const PathNode* n = nodes_of(frame);
  auto along = [horizontal](Ptfx p) { return horizontal ? p.x : p.y; };
  auto across = [horizontal](Ptfx p) { return horizontal ? p.y : p.x; };
  for (int i = 0; i < 4; ++i) {
    Ptfx p = n[i].pt, q = n[7 - i].pt;
    if (along(p) != along(q)) return false;
    if (across(p) != across(n[0].pt) || across(q) != across(n[7].pt)) return false;
  }
  return true;
}

}  // namespace

WrapType wrap_type(ZoPath* any) {
  if (any == nullptr) return kNone;
  const ZoPath* last = list_tail(any);
  if ((last->flags & ZOF_ENVELOPE_3) != 0) return kThirdKind;
  if ((last->flags & kFrameBits) != 0) {
    if (last->count == kBilinearNodes) return kBilinear;
    bool horizontal = (last->flags & ZOF_ENVELOPE_H) != 0;
    if (flat(last, horizontal)) return horizontal ? kBezierHFlat : kBezierVFlat;
    return horizontal ? kBezierH : kBezierV;
  }
  return (last->flags & ZOF_WRAP_BASELINE) != 0 ? kWrapBaseline : kNone;
}

namespace {

// Where each control point lives in a frame's nodes. Bilinear: P0, P1, P3, P2 around the
// quadrilateral; bi-Bezier: the top curve P0..P3, then the bottom curve backwards Q3..Q0.
// The closing node repeats P0.
uint32_t node_of(uint32_t n, uint32_t k) {
  static const uint32_t bilinear[kBilinearPoints] = {0, 1, 3, 2};
  static const uint32_t bezier[kBezierPoints] = {0, 1, 2, 3, 7, 6, 5, 4};
  return n == kBilinearPoints ? bilinear[k] : bezier[k];
}
uint32_t kind_points(const ZoPath* frame) {
  return frame->count < kBezierPoints ? kBilinearPoints : kBezierPoints;
}

}  // namespace

uint32_t read_points(const ZoPath* frame, Ptfx points[kBezierPoints]) {
  if (frame == nullptr || !is_frame(frame) || !is_selected(frame)) return 0;
  uint32_t n = kind_points(frame);
  if (frame->count < n) return 0;
  for (uint32_t k = 0; k < n; ++k) points[k] = nodes_of(frame)[node_of(n, k)].pt;
  return n;
}

bool write_points(ZoPath* frame, uint32_t n, const Ptfx* points) {
  if (frame == nullptr || !is_frame(frame) || kind_points(frame) != n || frame->count < n + 1)
    return false;
  PathNode* nodes = nodes_of(frame);
  for (uint32_t k = 0; k < n; ++k) nodes[node_of(n, k)].pt = points[k];
  nodes[frame->count - 1].pt = points[0];
  return true;
}

}  // namespace zo::envelope
