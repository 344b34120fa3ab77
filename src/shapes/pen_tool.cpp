// The pen tool: a state machine driven by the window messages the host forwards. A click adds
// a corner, a press-drag-release a smooth point with its handles, a double click ends the
// subpath, Backspace takes back the last node, Esc abandons the drawing. Everything the tool
// shows is drawn with exclusive-or pens, so drawing a figure again erases it.
//
// A pending outgoing handle lives in the subpath as a placeholder Bezier segment whose end
// lies on its start: (handle, point, point). The points buffer mirrors every node as a window
// point with the scroll included, so previews never have to convert nodes back.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/records.hpp"
#include "model/node_walk.hpp"
#include "new_shape.hpp"
#include "platform/capture.hpp"
#include "platform/device_context.hpp"
#include "platform/host_library.hpp"
#include "platform/key_state.hpp"
#include "platform/trace.hpp"
#include "shape_state.hpp"

using namespace zo;

namespace {

constexpr uint32_t kKeyDown = 256, kMouseMove = 512, kButtonDown = 513, kButtonUp = 514,
                   kDoubleClick = 515;
constexpr uint32_t kBackspace = 8, kEscape = 27;
constexpr uint32_t kModeFree = 1;  // 0 and 2 close on the first point; 3 and above: two points
constexpr uint32_t kPointsGrowth = 64;
constexpr int32_t kDragThreshold = 4;  // a drag moves more than this in x or y
constexpr int32_t kLineBox = 3;        // two-point lines ignore a second click this close
constexpr int32_t kCloseBox = 9;       // a double click this close to the first point closes
constexpr int32_t kShiftFree = 8;      // no Shift constraint this close to the first point
constexpr int64_t kSnapSquared = 25;   // free paths drop end handles shorter than 5 pixels
constexpr uint16_t kSmoothPoint = PT_BEZIERTO | PT_SMOOTH;
constexpr COLORREF kSegmentGrey = 0xC0C0C0, kHandleGrey = 0x404040;
constexpr int64_t kDeviceLimit = 1 << 27;
constexpr int64_t kPointLimit = 1 << 30;
constexpr double kImageLimit = 32767.0;

bool two_point(uint32_t mode) { return mode > 2; }
bool closes_on_first(uint32_t mode) { return mode == 0 || mode == 2; }

bool same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
bool within(POINT a, POINT b, int32_t box) {
  return std::llabs(int64_t{a.x} - b.x) <= box && std::llabs(int64_t{a.y} - b.y) <= box;
}
int32_t clamp_to(int64_t v, int64_t limit) {
  return static_cast<int32_t>(std::clamp(v, -limit, limit));
}
POINT with_scroll(POINT p, const CoordStruct* v) {
  return POINT{clamp_to(int64_t{p.x} + v->scrollX, kPointLimit),
               clamp_to(int64_t{p.y} + v->scrollY, kPointLimit)};
}

// What the tool shows besides the drawn subpath: a rubber band or the segment of a drag, the
// handle line of a drag, and the marker of a press. Points are window points with scroll.
struct Preview {
  enum Kind { kNone, kLine, kCurve } kind = kNone;
  POINT a{}, b{}, c{}, d{};  // line a-d, or curve a, b, c, d
  bool handle = false;       // handle line c-d's smooth point to `grip`
  POINT from{}, grip{};
  bool marker = false;       // a press marker at `press`
  POINT press{};
};

// The drawing in progress: module-wide, one at a time.
struct PenState {
  ZoPath* path = nullptr;
  ZoPathTbl* table = nullptr;  // where the subpath was inserted
  POINT* points = nullptr;     // one window point (scroll included) per node
  uint32_t capacity = 0;
  bool buttonDown = false;
  bool dragging = false;  // the pointer went more than 4 pixels from the press point
  POINT press{}, pointer{}, first{};
  POINT pressed{};  // the pointer of the press before the Shift constraint
  int32_t scrollX = 0, scrollY = 0;  // at the previous event
  Preview shown;
};
PenState g_pen;

// ---- Drawing on the window ----

struct Canvas {
  HDC dc;
  const CoordStruct* view;

  POINT at(POINT p) const {
    return POINT{clamp_to(int64_t{p.x} - view->scrollX, kDeviceLimit),
                 clamp_to(int64_t{p.y} - view->scrollY, kDeviceLimit)};
  }
  template <typename Fn>
  void with_pen(COLORREF colour, Fn&& fn) const {
    if (dc == nullptr) return;
    HPEN pen = plat::CreatePen(PS_SOLID, 1, colour);
    const int32_t rop = plat::SetROP2(dc, R2_XORPEN);
    HGDIOBJ old = plat::SelectObject(dc, pen);
    fn();
    if (old != nullptr) plat::SelectObject(dc, old);
    if (rop != 0) plat::SetROP2(dc, rop);
    plat::DeleteObject(pen);
  }
  void line(POINT a, POINT b, COLORREF colour) const {
    with_pen(colour, [&] {
      POINT p = at(a), q = at(b);
      plat::MoveToEx(dc, p.x, p.y, nullptr);
      plat::LineTo(dc, q.x, q.y);
    });
  }
  void curve(POINT a, POINT b, POINT c, POINT d) const {
    with_pen(kSegmentGrey, [&] {
      POINT p = at(a), rest[3] = {at(b), at(c), at(d)};
      plat::MoveToEx(dc, p.x, p.y, nullptr);
      plat::PolyBezierTo(dc, rest, 3);
    });
  }
  void marker(POINT p) const { ZoPathDrawInactiveNode(dc, at(p), ZOF_SELECTED); }
  void small(POINT p) const { ZoPathDrawSmallNode(dc, at(p), ZOF_SELECTED); }

  void preview(const Preview& v) const {
    if (v.kind == Preview::kLine) line(v.a, v.d, kSegmentGrey);
    if (v.kind == Preview::kCurve) curve(v.a, v.b, v.c, v.d);
    if (v.handle) {
      line(v.from, v.grip, kHandleGrey);
      small(v.grip);
    }
    if (v.marker) marker(v.press);
  }
};

// ---- The subpath and its mirror in the points buffer ----

uint32_t count() { return g_pen.path->count; }
PathNode* nodes() { return nodes_of(g_pen.path); }

// The trailing placeholder: a Bezier segment whose control 2 and end lie on its start.
bool has_placeholder() {
  const uint32_t c = count();
  if (c < 4 || !is_bezier(nodes()[c - 1].type) || !is_bezier(nodes()[c - 3].type)) return false;
  const POINT* p = g_pen.points;
  return same(p[c - 1], p[c - 4]) && same(p[c - 2], p[c - 4]);
}
// Nodes up to the last real one (the placeholder left out).
uint32_t real_count() { return count() - (has_placeholder() ? 3 : 0); }

Ptfx image_of(POINT p, const CoordStruct* v) {
  auto convert = [&](int32_t w, int32_t origin) {
    const double d = (double(w) - origin) / v->zoom - 0.5;
    return DbToFix(std::clamp(d, -kImageLimit, kImageLimit));
  };
  return Ptfx{convert(p.x, v->rcWindow.left), convert(p.y, v->rcWindow.top)};
}

void set_node(uint32_t i, uint16_t type, POINT p, const CoordStruct* v) {
  nodes()[i] = PathNode{type, image_of(p, v)};
  g_pen.points[i] = p;
}

// The record moved: its neighbours and the table's group entries follow it.
void follow_record(ZoPath* before) {
  ZoPath* p = g_pen.path;
  if (p == before) return;
  relink_moved(p);
  if (g_pen.table != nullptr && is_live_record(g_pen.table)) {
    for (uint32_t i = 0; i < g_pen.table->groupCount; ++i) {
      PathGroup& g = g_pen.table->groups[i];
      if (g.first == before) g.first = p;
      if (g.selected == before) g.selected = p;
    }
  }
}

// Room for n more nodes in the points buffer (grown by 64 entries) and the record; false when
// memory ran out (nothing added).
bool make_room(uint32_t n) {
  const uint32_t wanted = count() + n;
  if (wanted > g_pen.capacity) {
    const uint32_t capacity = (wanted + kPointsGrowth - 1) / kPointsGrowth * kPointsGrowth;
    void* grown = path_heap_block_realloc(g_pen.points, size_t{capacity} * sizeof(POINT));
    if (grown == nullptr) return false;
    g_pen.points = static_cast<POINT*>(grown);
    g_pen.capacity = capacity;
  }
  ZoPath* before = g_pen.path;
  if (node_reserve(&g_pen.path, n) == nullptr) return false;
  g_pen.path->count -= n;  // the caller writes the nodes and counts them
  follow_record(before);
  return true;
}

bool append(uint16_t type, POINT p, const CoordStruct* v) {
  if (!make_room(1)) return false;
  set_node(count(), type, p, v);
  g_pen.path->count += 1;
  return true;
}
bool append_placeholder(POINT handle, POINT at, const CoordStruct* v) {
  if (!make_room(3)) return false;
  const uint32_t c = count();
  set_node(c, PT_BEZIERTO, handle, v);
  set_node(c + 1, PT_BEZIERTO, at, v);
  set_node(c + 2, PT_BEZIERTO, at, v);
  g_pen.path->count += 3;
  return true;
}

// ---- What is on screen ----

// The real segment ending at node end, with that node's marker.
void draw_segment(const Canvas& c, uint32_t start, uint32_t end) {
  const POINT* p = g_pen.points;
  if (end == start + 1) {
    c.line(p[start], p[end], kSegmentGrey);
  } else {
    c.curve(p[start], p[start + 1], p[start + 2], p[end]);
  }
  c.marker(p[end]);
}
// The pending handle of the placeholder: a handle line and a small square at its end.
void draw_pending_handle(const Canvas& c) {
  if (!has_placeholder()) return;
  const uint32_t n = count();
  c.line(g_pen.points[n - 4], g_pen.points[n - 3], kHandleGrey);
  c.small(g_pen.points[n - 3]);
}
// The whole drawn subpath: node 0's marker, every real segment, the pending handle.
void draw_subpath(const Canvas& c) {
  c.marker(g_pen.points[0]);
  const uint32_t last = real_count() - 1;
  for_each_segment(g_pen.path, [&](uint32_t start, uint32_t end) {
    if (end > last) return false;
    draw_segment(c, start, end);
    return true;
  });
  draw_pending_handle(c);
}

void show(const Canvas& c, const Preview& next) {
  c.preview(g_pen.shown);
  g_pen.shown = next;
  c.preview(g_pen.shown);
}

// The view scrolled since the previous event: the host moved the window's pixels, so what the
// tool drew moved with them, and the strip the scroll uncovered was painted without it. The
// old previews are erased where the pixels moved, the subpath is drawn again where it is
// missing (clipScroll nonzero: only in the uncovered strip; zero: erased where it moved and
// drawn again whole), and the previews are put back whole.
void follow_scroll(const Canvas& c, int32_t clipScroll) {
  const CoordStruct* v = c.view;
  const int64_t dx = int64_t{v->scrollX} - g_pen.scrollX, dy = int64_t{v->scrollY} - g_pen.scrollY;
  if (dx == 0 && dy == 0) return;
  g_pen.scrollX = v->scrollX;
  g_pen.scrollY = v->scrollY;
  if (c.dc == nullptr) return;
  const RECT window = v->rcWindow;
  RECT moved{clamp_to(std::max<int64_t>(window.left, window.left - dx), kPointLimit),
             clamp_to(std::max<int64_t>(window.top, window.top - dy), kPointLimit),
             clamp_to(std::min<int64_t>(window.right, window.right - dx), kPointLimit),
             clamp_to(std::min<int64_t>(window.bottom, window.bottom - dy), kPointLimit)};
  if (moved.right < moved.left) moved.right = moved.left;
  if (moved.bottom < moved.top) moved.bottom = moved.top;
  HRGN movedRgn = plat::CreateRectRgnIndirect(&moved);
  HRGN uncovered = plat::CreateRectRgnIndirect(&window);
  if (movedRgn != nullptr && uncovered != nullptr &&
      plat::CombineRgn(uncovered, uncovered, movedRgn, RGN_DIFF) != RGN_ERROR &&
      plat::SelectClipRgn(c.dc, movedRgn) != RGN_ERROR) {
    c.preview(g_pen.shown);
    if (clipScroll == 0) draw_subpath(c);
    if (clipScroll == 0 || plat::SelectClipRgn(c.dc, uncovered) != RGN_ERROR) {
      if (clipScroll == 0) plat::SelectClipRgn(c.dc, nullptr);
      draw_subpath(c);
    }
    plat::SelectClipRgn(c.dc, nullptr);
    c.preview(g_pen.shown);
  }
  plat::SelectClipRgn(c.dc, nullptr);
  if (movedRgn != nullptr) plat::DeleteObject(movedRgn);
  if (uncovered != nullptr) plat::DeleteObject(uncovered);
}

// ---- Ending a drawing ----

void release_points() {
  if (g_pen.points == nullptr) return;
  plat::trace("ZoPathMouseProcDraw(): ptsbuf released, size = %d.\n",
              static_cast<int>(g_pen.capacity));
  path_heap_block_free(g_pen.points);
  g_pen.points = nullptr;
  g_pen.capacity = 0;
}

// Erases everything the tool shows and forgets the drawing; the subpath keeps its nodes.
void forget(const Canvas& c) {
  show(c, Preview{});
  draw_subpath(c);
  release_points();
  g_pen.path = nullptr;
  g_pen.table = nullptr;
  g_pen.buttonDown = g_pen.dragging = false;
}

void drop_placeholder() {
  if (has_placeholder()) ZoPathDeleteLinkLastSegment(g_pen.path);
}

// Free paths: end handles shorter than 5 pixels fall onto their points.
void snap_end_handles(const CoordStruct* v) {
  const uint32_t n = count();
  const POINT* p = g_pen.points;
  auto close = [](POINT a, POINT b) {
    const int64_t x = int64_t{a.x} - b.x, y = int64_t{a.y} - b.y;
    return x * x + y * y < kSnapSquared;
  };
  if (n >= 4 && is_bezier(nodes()[1].type) && close(p[1], p[0]))
    set_node(1, nodes()[1].type, p[0], v);
  if (n >= 4 && is_bezier(nodes()[n - 1].type) && close(p[n - 2], p[n - 1]))
    set_node(n - 2, nodes()[n - 2].type, p[n - 1], v);
}

void close_subpath(const CoordStruct* v) {
  plat::trace("** ZoPathMouseProcDraw(): subpath closed!\n");
  const uint32_t n = count();
  PathNode* nd = nodes();
  nd[n - 1].type |= PT_CLOSEFIGURE;
  nd[n - 1].pt = nd[0].pt;
  g_pen.points[n - 1] = g_pen.points[0];
  // Both end segments curved: the join at node 0 is made smooth by mirroring node 1.
  if (n >= 7 && is_bezier(nd[n - 1].type) && is_bezier(nd[1].type)) {
    const POINT m{clamp_to(2 * int64_t{g_pen.points[0].x} - g_pen.points[1].x, kPointLimit),
                  clamp_to(2 * int64_t{g_pen.points[0].y} - g_pen.points[1].y, kPointLimit)};
    set_node(n - 2, nd[n - 2].type, m, v);
    nd[n - 2].pt = Ptfx{clamp_to(2 * int64_t{nd[0].pt.x} - nd[1].pt.x, INT32_MAX),
                        clamp_to(2 * int64_t{nd[0].pt.y} - nd[1].pt.y, INT32_MAX)};
  }
}

// Ends the drawing as a finished subpath: capture released, drawing bit cleared. Returns 1.
uint32_t finish(const Canvas& c, bool closed, uint32_t mode) {
  show(c, Preview{});
  draw_subpath(c);
  drop_placeholder();
  if (mode == kModeFree) snap_end_handles(c.view);
  if (closed) close_subpath(c.view);
  g_pen.path->flags &= ~ZOF_DRAWING;
  plat::ReleaseCapture();
  g_pen.shown = Preview{};
  release_points();
  g_pen.path = nullptr;
  g_pen.table = nullptr;
  g_pen.buttonDown = g_pen.dragging = false;
  return 1;
}

// Memory ran out while the subpath grew: reported; it ends with the nodes drawn so far.
uint32_t fail(const Canvas& c, uint32_t mode) {
  ZO_REPORT_NO_MEMORY();
  return finish(c, false, mode);
}

// ---- The messages ----

// Ends a two-point line at p: node 1 is a line end there.
uint32_t end_line(const Canvas& c, POINT p, uint32_t mode) {
  show(c, Preview{});
  draw_subpath(c);
  g_pen.path->count = 1;
  const bool added = append(PT_LINETO, p, c.view);
  draw_subpath(c);
  return added ? finish(c, false, mode) : fail(c, mode);
}

// Shift keeps the pointer horizontal, vertical or diagonal to the reference point (the press
// point during a drag, else the last node), except near the first point of a subpath of three
// or more nodes, so that it can still be closed. With the button down, a pointer that has not
// moved since the press stays on the press point, so a Shift click remains a click.
POINT constrain(POINT p) {
  if (g_pen.buttonDown && same(p, g_pen.pressed)) return g_pen.press;
  if (plat::GetKeyState(plat::kVirtualKeyShift) >= 0) return p;
  if (count() >= 3 && within(p, g_pen.first, kShiftFree)) return p;
  const POINT ref = g_pen.buttonDown ? g_pen.press : g_pen.points[real_count() - 1];
  int64_t dx = int64_t{p.x} - ref.x, dy = int64_t{p.y} - ref.y;
  const int64_t ax = std::llabs(dx), ay = std::llabs(dy), diff = std::llabs(ax - ay);
  const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  if (ax > ay) {
    if (ay <= diff) dy = 0;
    else dx = sx * (ax - diff / 2), dy = sy * (ay + diff / 2);
  } else {
    if (ax <= diff) dx = 0;
    else dx = sx * (ax + diff / 2), dy = sy * (ay - diff / 2);
  }
  return POINT{clamp_to(ref.x + dx, kPointLimit), clamp_to(ref.y + dy, kPointLimit)};
}

// The rubber band from the last real node (leaving along its pending handle) to p.
Preview rubber_band(POINT p) {
  Preview v;
  const POINT* pts = g_pen.points;
  if (has_placeholder()) {
    const uint32_t n = count();
    v.kind = Preview::kCurve;
    v.a = pts[n - 4], v.b = pts[n - 3], v.c = p, v.d = p;
  } else {
    v.kind = Preview::kLine;
    v.a = pts[count() - 1], v.d = p;
  }
  return v;
}

// The segment a drag would make into the press point, and its handle line to the pointer.
Preview drag_preview(POINT u) {
  const POINT d = g_pen.press;
  const POINT q{clamp_to(2 * int64_t{d.x} - u.x, kPointLimit),
                clamp_to(2 * int64_t{d.y} - u.y, kPointLimit)};
  Preview v;
  const POINT* pts = g_pen.points;
  if (!(count() == 1 && same(d, pts[0]))) {
    const uint32_t n = count();
    const bool pending = has_placeholder();
    v.kind = Preview::kCurve;
    v.a = pending ? pts[n - 4] : pts[n - 1];
    v.b = pending ? pts[n - 3] : v.a;
    v.c = q, v.d = d;
  }
  v.handle = true;
  v.from = d, v.grip = u;
  return v;
}

uint32_t start(const Canvas& c, ZoPathTbl* table, POINT pointer) {
  if (table == nullptr || !shapes::usable_zoom(c.view->zoom)) {
    plat::MessageBeep(0);
    return 0;
  }
  if (g_pen.path != nullptr) forget(c);  // the host lost capture during a drawing
  uint32_t shown = 0;
  ZoPathFind(table, nullptr, nullptr, nullptr, &shown);
  if (shown == 0) {
    g_pen.press = POINT{-1, -1};
    plat::MessageBeep(0);
    return 0;
  }
  if (!path_heap_ready()) ZoPathInit();
  ZoPath* p = record_alloc(1);
  void* points = p != nullptr ? path_heap_block_alloc(kPointsGrowth * sizeof(POINT)) : nullptr;
  if (points == nullptr) {
    if (p != nullptr) record_release(p);
    ZO_REPORT_NO_MEMORY();
    return 1;
  }
  const POINT d = with_scroll(pointer, c.view);
  shapes::clear_group_selection(c.dc, table, c.view);
  g_pen = PenState{};
  g_pen.path = p;
  g_pen.table = table;
  g_pen.points = static_cast<POINT*>(points);
  g_pen.capacity = kPointsGrowth;
  g_pen.press = g_pen.pointer = g_pen.first = g_pen.pressed = d;
  g_pen.scrollX = c.view->scrollX;
  g_pen.scrollY = c.view->scrollY;
  g_pen.buttonDown = true;
  p->flags = ZOF_SELECTED | ZOF_DRAWING;
  set_node(0, PT_MOVETO, d, c.view);
  p->count = 1;
  shapes::insert_into_group(table, p);
  c.marker(d);
  return 0;
}

uint32_t press(const Canvas& c, POINT pointer, uint32_t mode) {
  const POINT raw = with_scroll(pointer, c.view);
  const POINT d = constrain(raw);
  g_pen.press = g_pen.pointer = d;
  g_pen.pressed = raw;
  g_pen.buttonDown = true;
  g_pen.dragging = false;
  if (two_point(mode)) {
    if (within(d, g_pen.first, kLineBox)) return 0;
    return end_line(c, d, mode);
  }
  Preview v = g_pen.shown;
  v.marker = true;
  v.press = d;
  show(c, v);
  return 0;
}

uint32_t move(const Canvas& c, POINT pointer, uint32_t mode) {
  const POINT u = constrain(with_scroll(pointer, c.view));
  g_pen.pointer = u;
  if (!g_pen.buttonDown) {
    show(c, rubber_band(u));
    return 0;
  }
  if (!within(u, g_pen.press, kDragThreshold)) g_pen.dragging = true;
  Preview v;
  if (two_point(mode)) {
    v = g_pen.dragging ? rubber_band(u) : Preview{};
  } else {
    v = g_pen.dragging ? drag_preview(u) : rubber_band(g_pen.press);
    v.marker = g_pen.shown.marker;
    v.press = g_pen.shown.press;
  }
  show(c, v);
  return 0;
}

// Adds the node of a click at the press point d.
bool add_corner(const Canvas& c, POINT d) {
  const uint32_t n = count();
  if (n == 1 && same(d, g_pen.points[0])) return true;
  if (has_placeholder()) {
    set_node(n - 2, PT_BEZIERTO, d, c.view);
    set_node(n - 1, PT_BEZIERTO, d, c.view);
    draw_segment(c, n - 4, n - 1);
    return true;
  }
  if (!append(PT_LINETO, d, c.view)) return false;
  draw_segment(c, n - 1, n);
  return true;
}

// Adds the smooth point of a drag: d with outgoing handle u and incoming handle 2d - u.
bool add_smooth(const Canvas& c, POINT d, POINT u) {
  const POINT q{clamp_to(2 * int64_t{d.x} - u.x, kPointLimit),
                clamp_to(2 * int64_t{d.y} - u.y, kPointLimit)};
  const uint32_t n = count();
  if (n == 1 && same(d, g_pen.points[0])) return append_placeholder(u, d, c.view);
  if (has_placeholder()) {
    set_node(n - 2, PT_BEZIERTO, q, c.view);
    set_node(n - 1, kSmoothPoint, d, c.view);
    draw_segment(c, n - 4, n - 1);
    return append_placeholder(u, d, c.view);
  }
  const POINT e = g_pen.points[n - 1];
  if (!make_room(6)) return false;
  set_node(n, PT_BEZIERTO, e, c.view);
  set_node(n + 1, PT_BEZIERTO, q, c.view);
  set_node(n + 2, kSmoothPoint, d, c.view);
  g_pen.path->count += 3;
  draw_segment(c, n - 1, n + 2);
  return append_placeholder(u, d, c.view);
}

uint32_t release(const Canvas& c, POINT pointer, uint32_t mode) {
  const POINT u = constrain(with_scroll(pointer, c.view));
  const POINT d = g_pen.press;
  const bool drag = !same(u, d) && (g_pen.dragging || !within(u, d, kDragThreshold));
  show(c, Preview{});
  g_pen.buttonDown = g_pen.dragging = false;
  g_pen.pointer = u;
  if (two_point(mode)) {
    return drag ? end_line(c, u, mode) : 0;
  }
  draw_pending_handle(c);
  const bool added = drag ? add_smooth(c, d, u) : add_corner(c, d);
  draw_pending_handle(c);
  return added ? 0 : fail(c, mode);
}

uint32_t double_click(const Canvas& c, POINT pointer, uint32_t mode) {
  const POINT d = constrain(with_scroll(pointer, c.view));
  g_pen.press = g_pen.pointer = d;
  g_pen.buttonDown = false;
  bool closed = false;
  if (closes_on_first(mode)) {
    closed = within(d, g_pen.first, kCloseBox);
    // Mode 0 adds the point first, unless the click before the double click put it there.
    if (!closed && mode == 0 && !same(g_pen.points[real_count() - 1], d)) {
      show(c, Preview{});
      draw_pending_handle(c);
      const bool added = add_corner(c, d);
      draw_pending_handle(c);
      if (!added) return fail(c, mode);
    }
  }
  const uint32_t n = real_count();
  const bool allowed =
      closed ? n > 4 || (n == 4 && !is_bezier(nodes()[1].type)) : n >= 2;
  if (!allowed) return 0;
  return finish(c, closed, mode);
}

uint32_t take_back(const Canvas& c) {
  if (g_pen.buttonDown || count() < 2) return 0;
  show(c, Preview{});
  draw_pending_handle(c);
  drop_placeholder();
  const uint32_t n = count();
  if (n >= 2) {
    uint32_t start = 0, end = 0;
    for_each_segment(g_pen.path, [&](uint32_t s, uint32_t e) { return start = s, end = e, true; });
    draw_segment(c, start, end);
    // A curve that left its start along a handle gives that handle back as pending.
    const bool handle = end == start + 3 && !same(g_pen.points[start + 1], g_pen.points[start]);
    const POINT h = g_pen.points[start + 1];
    ZoPathDeleteLinkLastSegment(g_pen.path);
    if (handle) append_placeholder(h, g_pen.points[start], c.view);  // fits: nodes were freed
  }
  draw_pending_handle(c);
  return 0;
}

}  // namespace

namespace zo::shapes {

void release_pen_state() {
  if (g_pen.points != nullptr) path_heap_block_free(g_pen.points);
  g_pen = PenState{};
}

}  // namespace zo::shapes

extern "C" {

ZO_API uint32_t ZoPathMouseProcDraw(HDC dc, ZoPathTbl* table, const CoordStruct* view,
                                    uint32_t message, uint32_t key, POINT pointer, uint32_t mode,
                                    int32_t clipScroll) {
  if (view == nullptr) return 0;
  const Canvas canvas{dc, view};
  if (g_pen.path != nullptr && !is_live_record(g_pen.path)) {
    release_points();  // the host released the subpath under the drawing
    g_pen = PenState{};
  }
  const bool drawing = g_pen.path != nullptr && plat::GetCapture();
  if (message == kButtonDown && !drawing) return start(canvas, table, pointer);
  if (g_pen.path == nullptr) return 0;
  if (message == kKeyDown) {
    follow_scroll(canvas, clipScroll);
    if (key == kEscape) {
      forget(canvas);
      return 0;
    }
    return key == kBackspace ? take_back(canvas) : 0;
  }
  if (!drawing) return 0;
  switch (message) {
    case kButtonDown:
      follow_scroll(canvas, clipScroll);
      return press(canvas, pointer, mode);
    case kMouseMove:
      follow_scroll(canvas, clipScroll);
      return move(canvas, pointer, mode);
    case kButtonUp:
      if (!g_pen.buttonDown) return 0;
      follow_scroll(canvas, clipScroll);
      return release(canvas, pointer, mode);
    case kDoubleClick:
      follow_scroll(canvas, clipScroll);
      return double_click(canvas, pointer, mode);
    default:
      return 0;
  }
}

}  // extern "C"
