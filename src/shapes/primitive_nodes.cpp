#include "primitive_nodes.hpp"

#include "geometry/fixed_point.hpp"

namespace zo::shapes {

namespace {

void put(PathNode& n, uint16_t type, double x, double y) {
  n.type = type;
  n.pt = Ptfx{db_to_fix(x), db_to_fix(y)};
}
// The closing node: the type given plus PT_CLOSEFIGURE, at node 0's exact point.
void close_on_first(PathNode* n, uint32_t last, uint16_t type) {
  n[last].type = static_cast<uint16_t>(type | PT_CLOSEFIGURE);
  n[last].pt = n[0].pt;
}

}  // namespace

void write_ellipse(PathNode* n, double cx, double cy, double a, double b) {
  const double ka = kKappa * a, kb = kKappa * b;
  put(n[0], PT_MOVETO, cx, cy + b);
  put(n[1], PT_BEZIERTO, cx - ka, cy + b);
  put(n[2], PT_BEZIERTO, cx - a, cy + kb);
  put(n[3], PT_BEZIERTO, cx - a, cy);
  put(n[4], PT_BEZIERTO, cx - a, cy - kb);
  put(n[5], PT_BEZIERTO, cx - ka, cy - b);
  put(n[6], PT_BEZIERTO, cx, cy - b);
  put(n[7], PT_BEZIERTO, cx + ka, cy - b);
  put(n[8], PT_BEZIERTO, cx + a, cy - kb);
  put(n[9], PT_BEZIERTO, cx + a, cy);
  put(n[10], PT_BEZIERTO, cx + a, cy + kb);
  put(n[11], PT_BEZIERTO, cx + ka, cy + b);
  close_on_first(n, 12, PT_BEZIERTO);
}

void write_rectangle(PathNode* n, double l, double t, double r, double b) {
  put(n[0], PT_MOVETO, r, b);
  put(n[1], PT_LINETO, l, b);
  put(n[2], PT_LINETO, l, t);
  put(n[3], PT_LINETO, r, t);
  put(n[4], PT_LINETO | PT_CLOSEFIGURE, r, b);
}

void write_diamond(PathNode* n, double l, double t, double r, double b) {
  const double cx = (l + r) * 0.5, cy = (t + b) * 0.5;
  put(n[0], PT_MOVETO, cx, b);
  put(n[1], PT_LINETO, l, cy);
  put(n[2], PT_LINETO, cx, t);
  put(n[3], PT_LINETO, r, cy);
  put(n[4], PT_LINETO | PT_CLOSEFIGURE, cx, b);
}

void write_triangle(PathNode* n, double l, double t, double r, double b) {
  put(n[0], PT_MOVETO, (l + r) * 0.5, t);
  put(n[1], PT_LINETO, r, b);
  put(n[2], PT_LINETO, l, b);
  close_on_first(n, 3, PT_LINETO);
}

void write_banded(PathNode* n, double l, double t, double r, double b) {
  const double step = (r - l) / 12.0;
  put(n[0], PT_MOVETO, l, t);
  for (int i = 1; i <= 11; ++i) put(n[i], PT_BEZIERTO, l + i * step, t);
  put(n[12], PT_BEZIERTO, r, t);
  put(n[13], PT_LINETO, r, b);
  for (int i = 1; i <= 11; ++i) put(n[13 + i], PT_BEZIERTO, r - i * step, b);
  put(n[25], PT_BEZIERTO, l, b);
  put(n[26], PT_LINETO | PT_CLOSEFIGURE, l, t);
}

void write_rounded(PathNode* n, double x, double d, double w, double top, double bottom,
                   double r) {
  const double kr = r * kKappa, s = w - 2.0 * r;
  put(n[0], PT_MOVETO, x + d * r, bottom);
  put(n[1], PT_BEZIERTO, x + d * (r - kr), bottom);
  put(n[2], PT_BEZIERTO, x, bottom - r + kr);
  put(n[3], PT_BEZIERTO, x, bottom - r);
  put(n[4], PT_LINETO, x, top + r);
  put(n[5], PT_BEZIERTO, x, top + r - kr);
  put(n[6], PT_BEZIERTO, x + d * (r - kr), top);
  put(n[7], PT_BEZIERTO, x + d * r, top);
  put(n[8], PT_LINETO, x + d * (r + s), top);
  put(n[9], PT_BEZIERTO, x + d * (r + s + kr), top);
  put(n[10], PT_BEZIERTO, x + d * w, top + r - kr);
  put(n[11], PT_BEZIERTO, x + d * w, top + r);
  put(n[12], PT_LINETO, x + d * w, bottom - r);
  put(n[13], PT_BEZIERTO, x + d * w, bottom - r + kr);
  put(n[14], PT_BEZIERTO, x + d * (r + s + kr), bottom);
  put(n[15], PT_BEZIERTO, x + d * (r + s), bottom);
  close_on_first(n, 16, PT_LINETO);
}

}  // namespace zo::shapes
