// Envelope frames as subpaths: storing a frame behind the deformed path, reading its control
// points back, and telling which deformation a path list carries.
#include "envelope_rules.hpp"
#include "model/chains.hpp"
#include "model/records.hpp"
#include "outline/outline_info.hpp"
#include "platform/host_library.hpp"

using namespace zo;

namespace {

constexpr uint32_t kBezierNodes = 9;

// Every subpath of the list loses its selection, links included.
void deselect_list(ZoPath* head) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    deselect_fully(p);
    p->selPrev = p->selNext = nullptr;
  }
}

// The record the frame goes into: the `next` of the head's join chain (of the head itself
// when it carries an attachment), grown to `nodes` when it is too small, or a new record
// linked there. Null after reporting 1001; the list is then unchanged.
ZoPath* frame_record(ZoPath* head, uint32_t nodes) {
  ZoPath* last = head;
  if (!has_attachment(head))
    while (last->joinNext != nullptr) last = last->joinNext;
  ZoPath* frame = last->next;
  if (frame == nullptr) {
    frame = record_alloc(nodes);
    if (frame == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return nullptr;
    }
    last->next = frame;
    frame->prev = last;
    return frame;
  }
  if (record_capacity(frame) < nodes) {
    ZoPath* grown = record_resize(frame, nodes);
    if (grown == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return nullptr;
    }
    relink_moved(grown);
    frame = grown;
  }
  // Whatever the record was, it is a frame now: no attachment and no join chain of its own.
  if (has_attachment(frame)) {
    outline_info_delete(attachment_of(frame));
    frame->joinNext = nullptr;
    frame->flags &= ~ZOF_ATTACHMENT;
  }
  if (frame->joinPrev != nullptr) frame->joinPrev->joinNext = frame->joinNext;
  if (frame->joinNext != nullptr) frame->joinNext->joinPrev = frame->joinPrev;
  frame->joinPrev = frame->joinNext = nullptr;
  return frame;
}

uint32_t store(ZoPath* list, const Ptfx* points, bool bezier, uint32_t frameBit) {
  if (list == nullptr || points == nullptr) return 0;
  ZoPath* head = list_head(list);
  uint32_t count = bezier ? kBezierNodes : envelope::kBilinearNodes;
  ZoPath* frame = frame_record(head, count);
  if (frame == nullptr) return 0;
  deselect_list(head);
  frame->flags = ZOF_SELECTED | frameBit;
  frame->count = count;
  frame->primitiveKind = 0;
  PathNode* n = nodes_of(frame);
  for (uint32_t i = 1; i + 1 < count; ++i) n[i].type = PT_LINETO;
  n[0].type = PT_MOVETO;
  n[count - 1].type = PT_LINETO | PT_CLOSEFIGURE;
  if (bezier) n[1].type = n[2].type = n[3].type = n[5].type = n[6].type = n[7].type = PT_BEZIERTO;
  // Zero-filled frame: write_points knows where each control point lives.
  envelope::write_points(frame, bezier ? envelope::kBezierPoints : envelope::kBilinearPoints,
                         points);
  return 1;
}

uint32_t read(ZoPath* frame, Ptfx* points, uint32_t n) {
  if (frame == nullptr || points == nullptr || !is_selected(frame) || frame->count < n) return 0;
  static const uint32_t kBilinearOrder[4] = {0, 1, 3, 2};
  for (uint32_t k = 0; k < n; ++k)
    points[k] = nodes_of(frame)[n == 4 ? kBilinearOrder[k] : (k < 4 ? k : 11 - k)].pt;
  return 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathAddBiLinearEnvelope(ZoPath* list, const Ptfx* points) {
  return store(list, points, false, ZOF_ENVELOPE_H);
}

ZO_API uint32_t ZoPathAddBiLinearEnvelopeV(ZoPath* list, const Ptfx* points) {
  return store(list, points, false, ZOF_ENVELOPE_V);
}

ZO_API uint32_t ZoPathAddBiBezierEnvelope(ZoPath* list, const Ptfx* points) {
  return store(list, points, true, ZOF_ENVELOPE_H);
}

ZO_API uint32_t ZoPathAddBiBezierEnvelopeV(ZoPath* list, const Ptfx* points) {
  return store(list, points, true, ZOF_ENVELOPE_V);
}

ZO_API uint32_t ZoPathGetBiLinearEnvelope(ZoPath* frame, Ptfx* points) {
  return read(frame, points, envelope::kBilinearPoints);
}

ZO_API uint32_t ZoPathGetBiBezierEnvelope(ZoPath* frame, Ptfx* points) {
  return read(frame, points, envelope::kBezierPoints);
}

ZO_API uint32_t ZoPathGetBiBezierEnvelopeV(ZoPath* frame, Ptfx* points) {
  return read(frame, points, envelope::kBezierPoints);
}

ZO_API uint32_t ZoPathGetEnvelopeWrapType(ZoPath* list) { return envelope::wrap_type(list); }

}  // extern "C"
