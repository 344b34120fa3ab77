// Undo and redo: a record is applied by swapping the state it holds with the current one, so
// the same record can be applied again in the other direction.
#include <cmath>
#include <cstring>

#include "deform/envelope_rules.hpp"
#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "render/display.hpp"
#include "selection_record.hpp"
#include "undo_log.hpp"
#include "undo_screen.hpp"

using namespace zo;
using namespace zo::undo;

namespace {

constexpr int32_t kJoin = 18007;
constexpr uint32_t kMarkFlags = ZOF_HAS_SEL_POINTS | ZOF_HAS_SEL_SEGMENT;

bool in_list(ZoPath* any, const ZoPath* p) {
  for (ZoPath* q = any == nullptr ? nullptr : list_head(any); q != nullptr; q = q->next)
    if (q == p) return true;
  return false;
}

// Node 0 of the selected subpath goes back where the record says, the selection chain with
// it; a full move record also swaps the first selected point or segment.
bool swap_move(ZoPathTbl* table, Record* r, const Screen& screen) {
  ZoPath* sel = current_group(table).selected;
  if (sel == nullptr || !is_selected(sel) || sel->count == 0) return false;
  uint32_t* e = r->entries();
  Ptfx now = nodes_of(sel)[0].pt;
  Ptfx was{static_cast<int32_t>(e[0]), static_cast<int32_t>(e[1])};
  for (ZoPath* p = sel; p != nullptr; p = p->selNext) {
    screen.handles(p);
    screen.outline(p, display::kModeHide);
  }
  if (r->payload == Payload::kMove) {
    int32_t point = static_cast<int32_t>(e[2]), segment = static_cast<int32_t>(e[3]);
    e[2] = static_cast<uint32_t>(first_marked(sel, PT_SELECTED));
    e[3] = static_cast<uint32_t>(first_marked(sel, PT_SEGMENT_MARK));
    sel->flags &= ~kMarkFlags;
    PathNode* nodes = nodes_of(sel);
    for (uint32_t i = 0; i < sel->count; ++i) nodes[i].type &= 0x77FF;
    if (point >= 0 && static_cast<uint32_t>(point) < sel->count) {
      nodes[point].type |= PT_SELECTED;
      sel->flags |= ZOF_HAS_SEL_POINTS;
    } else if (segment >= 0 && static_cast<uint32_t>(segment) + 1 < sel->count) {
      nodes[segment].type |= PT_SEGMENT_MARK;
      sel->flags |= ZOF_HAS_SEL_SEGMENT;
    }
  }
  e[0] = static_cast<uint32_t>(now.x);
  e[1] = static_cast<uint32_t>(now.y);
  auto minus = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
  };
  ZoPathMovePathsByPtfx(sel, Ptfx{minus(was.x, now.x), minus(was.y, now.y)});
  for (ZoPath* p = sel; p != nullptr; p = p->selNext) {
    screen.outline(p, display::kModeShow);
    screen.handles(p);
  }
  return true;
}

// The group's selected subpath becomes the recorded one again (it must still be a selected
// member of the list).
bool swap_subpath(ZoPathTbl* table, Record* r) {
  PathGroup& g = current_group(table);
  ZoPath* now = g.selected;
  if (r->subpath != nullptr) {
    if (!in_list(g.first, r->subpath) || ZoPathAssignSelectedPath(table, r->subpath) == 0)
      return false;
  } else {
    g.selected = nullptr;
  }
  r->subpath = now;
  return true;
}

// A bi-Bezier frame whose two curves are straight lines: every inner control point lies on
// its curve's chord (within two 16.16 units). Replaying such a frame leaves the path alone.
bool straight_sided(const Ptfx* points) {
  for (int curve = 0; curve < 2; ++curve) {
    const Ptfx* c = points + 4 * curve;
    PointDB a = to_db(c[0]), b = to_db(c[3]);
    double chord = distance(a, b);
    for (int i = 1; i < 3; ++i) {
      PointDB p = to_db(c[i]);
      double off = chord > 0.0 ? std::fabs(cross(b - a, p - a)) / chord : distance(p, a);
      if (off > 2.0 / 65536.0) return false;
    }
  }
  return true;
}

// Sets the envelope of the list the frame belongs to: the frame is stored again and the path
// is mapped from its bounds into it. The store is the one step that may allocate, so it goes
// first and a failure leaves the path as it was.
bool apply_envelope(ZoPath* frame, const Ptfx* points, uint32_t n) {
  ZoPath* head = list_head(frame);
  if (n == envelope::kBilinearPoints) {
    if (ZoPathAddBiLinearEnvelope(head, points) == 0) return false;
    ZoPathBiLinear(head, points, 0);
    return true;
  }
  if (straight_sided(points)) return true;
  bool vertical = (frame->flags & ZOF_ENVELOPE_V) != 0;
  if ((vertical ? ZoPathAddBiBezierEnvelopeV : ZoPathAddBiBezierEnvelope)(head, points) == 0)
    return false;
  (vertical ? ZoPathBiCubicV : ZoPathBiCubic)(head, points, 0);
  return true;
}

void show_list(const Screen& screen, ZoPath* any, int mode) {
  for (ZoPath* p = list_head(any); p != nullptr; p = p->next) screen.outline(p, mode);
}

// The envelope record and the selected frame swap places: the frame's current control
// points go into the record, and the recorded ones are applied to the path and its frame.
// A record made while no envelope was selected has nothing to swap.
bool swap_envelope(ZoPathTbl* table, Record* r, const Screen& screen) {
  ZoPath* sel = current_group(table).selected;
  uint32_t n = r->entries()[0];
  Ptfx points[envelope::kBezierPoints];
  uint32_t current = sel == nullptr ? 0 : envelope::read_points(sel, points);
  if (n == 0 && current == 0) return true;
  if (n != current) return false;
  auto* block = static_cast<Ptfx*>(plat::mem_alloc(sizeof(Ptfx) * n, 0));
  if (block == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return false;
  }
  std::memcpy(block, points, sizeof(Ptfx) * n);
  show_list(screen, sel, display::kModeHide);
  if (!apply_envelope(sel, r->envelope, n)) {
    show_list(screen, sel, display::kModeShow);
    plat::mem_free(block);
    return false;
  }
  plat::mem_free(r->envelope);
  r->envelope = block;
  show_list(screen, sel, display::kModeShow);
  RECT bounds;
  ZoPathGetAllMiniMaxRect(list_head(sel), 65536, &bounds);
  screen.extend(bounds);
  return true;
}

bool apply(ZoPathTbl* table, Record** link, bool undo, const Screen& screen) {
  Record* r = *link;
  switch (r->payload) {
    case Payload::kSelection:
      return swap_selection(table, link, screen);
    case Payload::kMove:
    case Payload::kOrigin:
      return swap_move(table, r, screen);
    case Payload::kSubpath:
      return swap_subpath(table, r);
    case Payload::kEnvelope:
      return swap_envelope(table, r, screen);
    case Payload::kNone: {
      // Undoing a join disjoins, redoing it joins; a disjoin the other way round.
      ZoPath* sel = current_group(table).selected;
      bool join = (static_cast<int32_t>(r->action) == kJoin) != undo;
      return (join ? ZoPathJoin(sel) : ZoPathDisjoin(sel)) == 1;
    }
  }
  return false;
}

uint32_t step(uint32_t context, ZoPathTbl* table, CoordStruct* view, RECT* changed, HDC dc,
              bool undo) {
  OpenLog open(context);
  Log& log = open.log();
  if (table == nullptr) return 0;
  uint32_t n = log.size();
  if (log.position > n) log.position = n;
  if (n == 0 || (undo ? log.position == 0 : log.position == n)) return 0;
  uint32_t index = undo ? log.position : log.position + 1;
  if (!apply(table, log.link_to(index), undo, Screen{dc, view, changed})) return 0;
  log.position = undo ? index - 1 : index;
  return 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathUndo(uint32_t context, ZoPathTbl* table, CoordStruct* view, RECT* changed,
                           HDC dc) {
  return step(context, table, view, changed, dc, true);
}

ZO_API uint32_t ZoPathRedo(uint32_t context, ZoPathTbl* table, CoordStruct* view, RECT* changed,
                           HDC dc) {
  return step(context, table, view, changed, dc, false);
}

}  // extern "C"
