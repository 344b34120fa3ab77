// Subpaths built from circles, integer polylines and Bezier point lists, optionally collected
// in the creation batch (ZoPathCreateFrom_Begin ... ZoPathCreateFrom_End), which closes every
// collected subpath at its end.
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "new_shape.hpp"
#include "platform/host_library.hpp"
#include "primitive_nodes.hpp"
#include "shape_state.hpp"

using namespace zo;
using namespace zo::shapes;

namespace {

// The creation batch: module-wide, one at a time, not tied to any table.
struct CreationBatch {
  bool active = false;
  ZoPath* head = nullptr;  // the collected subpaths, linked through prev/next
};
CreationBatch g_creationBatch;

void batch_append(ZoPath* p) {
  if (!g_creationBatch.active) return;
  if (g_creationBatch.head == nullptr) {
    g_creationBatch.head = p;
    return;
  }
  ZoPath* tail = list_tail(g_creationBatch.head);
  tail->next = p;
  p->prev = tail;
}

ZoPath* new_record(uint32_t count) {
  ZoPath* p = record_alloc(count);
  if (p == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  p->count = count;
  return p;
}

bool points_fit(const PointDB* pts, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (!fits_fix(pts[i].x) || !fits_fix(pts[i].y)) return false;
  return true;
}

// MOVETO then BEZIERTO nodes from a point list whose count was checked.
ZoPath* bezier_from(const PointDB* pts, int32_t n) {
  if (!points_fit(pts, n)) {
    ZO_REFUSE();
    return nullptr;
  }
  ZoPath* p = new_record(uint32_t(n));
  if (p == nullptr) return nullptr;
  PathNode* nodes = nodes_of(p);
  for (int32_t i = 0; i < n; ++i) {
    nodes[i].type = i == 0 ? PT_MOVETO : PT_BEZIERTO;
    nodes[i].pt = to_fix(pts[i]);
  }
  return p;
}

// Closes a batch member that is still open; it may move (neighbours and head follow). False
// when it had to grow and could not.
bool close_member(ZoPath** member) {
  ZoPath* p = *member;
  if (p->count == 0 || is_closed(p)) return true;
  PathNode* nodes = nodes_of(p);
  const Ptfx first = nodes[0].pt, last = nodes[p->count - 1].pt;
  if (first.x == last.x && first.y == last.y) {
    nodes[p->count - 1].type |= PT_CLOSEFIGURE;
    return true;
  }
  ZoPath* grown = record_resize(p, p->count + 1);
  if (grown == nullptr) return false;
  nodes = nodes_of(grown);
  nodes[grown->count] = PathNode{PT_LINETO | PT_CLOSEFIGURE, nodes[0].pt};
  grown->count += 1;
  if (grown->prev != nullptr) grown->prev->next = grown;
  if (grown->next != nullptr) grown->next->prev = grown;
  if (g_creationBatch.head == p) g_creationBatch.head = grown;
  *member = grown;
  return true;
}

}  // namespace

namespace zo::shapes {

void release_creation_batch() {
  release_list(g_creationBatch.head);
  g_creationBatch = CreationBatch{};
}

}  // namespace zo::shapes

extern "C" {

ZO_API ZoPath* ZoPathCreateFrom_Begin(void) {
  if (!g_creationBatch.active) g_creationBatch = CreationBatch{true, nullptr};
  return g_creationBatch.head;
}

ZO_API ZoPath* ZoPathCreateFromCircle(const RECT* r, double scale) {
  if (r == nullptr) return nullptr;
  const double cx = (double(r->left) + r->right) * 0.5 * scale;
  const double cy = (double(r->top) + r->bottom) * 0.5 * scale;
  const double radius =
      std::min(double(r->right) - r->left, double(r->bottom) - r->top) * (scale * 0.5);
  if (!fits_fix(cx - radius) || !fits_fix(cx + radius) || !fits_fix(cy - radius) ||
      !fits_fix(cy + radius)) {
    ZO_REFUSE();
    return nullptr;
  }
  ZoPath* p = new_record(kEllipseNodes);
  if (p == nullptr) return nullptr;
  p->primitiveKind = kEllipse;
  write_ellipse(nodes_of(p), cx, cy, radius, radius);
  batch_append(p);
  return p;
}

ZO_API ZoPath* ZoPathCreateFromPoints(const POINT* pts, int32_t n, double scale) {
  if (pts == nullptr || n < 2) return nullptr;
  for (int32_t i = 0; i < n; ++i) {
    if (!fits_fix(pts[i].x * scale) || !fits_fix(pts[i].y * scale)) {
      ZO_REFUSE();
      return nullptr;
    }
  }
  ZoPath* p = new_record(uint32_t(n));
  if (p == nullptr) return nullptr;
  PathNode* nodes = nodes_of(p);
  for (int32_t i = 0; i < n; ++i) {
    nodes[i].type = i == 0 ? PT_MOVETO : PT_LINETO;
    nodes[i].pt = to_fix(PointDB{pts[i].x * scale, pts[i].y * scale});
  }
  if (pts[0].x == pts[n - 1].x && pts[0].y == pts[n - 1].y) nodes[n - 1].type |= PT_CLOSEFIGURE;
  batch_append(p);
  return p;
}

ZO_API ZoPath* ZoPathCreateBezierFromPointDBs(const PointDB* pts, int32_t n) {
  if (pts == nullptr || n < 4 || (n - 1) % 3 != 0) return nullptr;
  ZoPath* p = bezier_from(pts, n);
  if (p == nullptr) return nullptr;
  if (std::fabs(pts[0].x - pts[n - 1].x) <= 0.0001 &&
      std::fabs(pts[0].y - pts[n - 1].y) <= 0.0001) {
    PathNode* nodes = nodes_of(p);
    nodes[n - 1].pt = nodes[0].pt;
    nodes[n - 1].type |= PT_CLOSEFIGURE;
  }
  batch_append(p);
  return p;
}

ZO_API ZoPath* ZoPathComposePureBezierSubpath(const PointDB* pts, int32_t n) {
  if (pts == nullptr || n < 1 || n % 3 != 1) return nullptr;
  ZoPath* p = bezier_from(pts, n);
  if (p == nullptr) return nullptr;
  p->flags = 0x40000000u;
  PathNode* nodes = nodes_of(p);
  if (n > 1 && nodes[n - 1].pt.x == nodes[0].pt.x && nodes[n - 1].pt.y == nodes[0].pt.y)
    nodes[n - 1].type |= PT_CLOSEFIGURE;
  return p;
}

ZO_API void ZoPathAppendEmptySubpath(ZoPath* chain) {
  if (chain == nullptr) return;
  ZoPath* p = new_record(1);
  if (p == nullptr) return;
  nodes_of(p)[0] = PathNode{PT_MOVETO | PT_CLOSEFIGURE, Ptfx{0, 0}};
  p->flags = 0x80010000u;
  ZoPath* tail = list_tail(chain);
  tail->next = p;
  p->prev = tail;
}

ZO_API ZoPath* ZoPathCreateFrom_End(void) {
  if (!g_creationBatch.active) return nullptr;
  for (ZoPath* p = g_creationBatch.head; p != nullptr; p = p->next) {
    if (close_member(&p)) continue;
    // Out of memory: the list ends before this member; it and the rest are released.
    ZO_REPORT_NO_MEMORY();
    if (p->prev != nullptr) p->prev->next = nullptr;
    if (g_creationBatch.head == p) g_creationBatch.head = nullptr;
    p->prev = nullptr;
    release_list(p);
    break;
  }
  ZoPath* head = g_creationBatch.head;
  g_creationBatch = CreationBatch{};
  return head;
}

}  // extern "C"
