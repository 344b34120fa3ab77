// Cutting a path list along a vertical line, or along any line by turning it onto the
// vertical axis and back.
#include <algorithm>
#include <cmath>
#include <new>

#include "cut_loops.hpp"
#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "platform/host_library.hpp"
#include "shapes/polygon_rules.hpp"

namespace zo::cut {

namespace {

constexpr double kOnLine = 0.01;  // a node this close to the line lies on it

// The line's own frame: the cut line becomes x = 0. Without rotation the frame is the image.
struct Frame {
  bool rotated;
  PointDB a;
  double c, s;
  Ptfx into(Ptfx p) const {
    if (!rotated) return p;
    PointDB q = to_db(p);
    double dx = q.x - a.x, dy = q.y - a.y;
    return to_fix(PointDB{s * dx - c * dy, c * dx + s * dy});
  }
  Ptfx back(Ptfx p) const {
    if (!rotated) return p;
    PointDB q = to_db(p);
    return to_fix(PointDB{s * q.x + c * q.y + a.x, -c * q.x + s * q.y + a.y});
  }
};

double offset(Ptfx p, double k) { return fix_to_db(p.x) - k; }
bool on_line(Ptfx p, double k) { return std::fabs(offset(p, k)) < kOnLine; }
int side_of(double x, double k) {
  double d = x - k;
  return d >= kOnLine ? kFirstSide : d <= -kOnLine ? kSecondSide : kNoSide;
}
bool opposite(double a, double b) { return (a < 0.0 && b > 0.0) || (a > 0.0 && b < 0.0); }

// The parameters in (0, 1) where the cubic crosses x = k, to double precision: one per
// monotone stretch whose ends lie on opposite sides. A crossing next to an end that is
// already on the line is that end.
int cubic_crossings(const Cubic& c, double k, double roots[3]) {
  double turns[2];
  int nTurns = derivative_roots(c.p0.x, c.p1.x, c.p2.x, c.p3.x, turns);
  double bounds[4] = {0.0, 0.0, 0.0, 1.0};
  int nBounds = 1;
  for (int i = 0; i < nTurns; ++i) bounds[nBounds++] = turns[i];
  bounds[nBounds++] = 1.0;
  auto f = [&](double t) { return cubic_point(c, t).x - k; };
  int n = 0;
  for (int i = 0; i + 1 < nBounds; ++i) {
    double lo = bounds[i], hi = bounds[i + 1], flo = f(lo), fhi = f(hi);
    if (!opposite(flo, fhi)) continue;
    if ((lo == 0.0 && std::fabs(flo) < kOnLine) || (hi == 1.0 && std::fabs(fhi) < kOnLine)) {
      continue;
    }
    for (int it = 0; it < 200; ++it) {
      double mid = 0.5 * (lo + hi);
      if (mid <= lo || mid >= hi) break;
      if (opposite(f(mid), flo)) {
        hi = mid;
      } else {
        lo = mid;
      }
    }
    roots[n++] = 0.5 * (lo + hi);
  }
  return n;
}

// Inserts a node at every crossing of x = k (cubics are divided there) and marks the
// segment ends that lie on the line.
void insert_crossings(Subpath* s, double k) {
  const std::vector<PathNode> in = std::move(s->nodes);
  std::vector<PathNode>& out = s->nodes;
  std::vector<bool>& onCut = s->onCut;
  out.clear();
  onCut.clear();
  if (in.empty()) return;
  auto add = [&](PathNode node, bool anchor) {
    out.push_back(node);
    onCut.push_back(anchor && on_line(node.pt, k));
  };
  add(in[0], true);
  const uint32_t last = static_cast<uint32_t>(in.size() - 1);
  uint32_t i = 0;
  while (i < last) {
    uint32_t e = segment_end(in.data(), i);
    if (e > last) break;
    if (e == i + 3) {
      Cubic c{to_db(in[i].pt), to_db(in[i + 1].pt), to_db(in[i + 2].pt), to_db(in[e].pt)};
      double roots[3];
      int n = cubic_crossings(c, k, roots);
      double done = 0.0;
      Cubic rest = c;
      for (int r = 0; r < n; ++r) {
        Cubic left;
        split_cubic(rest, (roots[r] - done) / (1.0 - done), &left, &rest);
        done = roots[r];
        add(PathNode{PT_BEZIERTO, to_fix(left.p1)}, false);
        add(PathNode{PT_BEZIERTO, to_fix(left.p2)}, false);
        add(PathNode{PT_BEZIERTO, to_fix(left.p3)}, true);
      }
      if (n > 0) {
        add(PathNode{in[i + 1].type, to_fix(rest.p1)}, false);
        add(PathNode{in[i + 2].type, to_fix(rest.p2)}, false);
      } else {
        add(in[i + 1], false);
        add(in[i + 2], false);
      }
      add(in[e], true);
    } else {
      double fa = offset(in[i].pt, k), fb = offset(in[e].pt, k);
      if (opposite(fa, fb) && std::fabs(fa) >= kOnLine && std::fabs(fb) >= kOnLine) {
        PointDB a = to_db(in[i].pt), b = to_db(in[e].pt);
        add(PathNode{PT_LINETO, to_fix(a + (b - a) * (fa / (fa - fb)))}, true);
      }
      add(in[e], true);
    }
    i = e;
  }
  for (uint32_t j = i + 1; j <= last; ++j) add(in[j], false);
}

ZoPath* make_piece_back(std::vector<PathNode> nodes, const ZoPath* source, const Frame& frame) {
  for (PathNode& n : nodes) n.pt = frame.back(n.pt);
  ZoPath* p = make_piece(nodes, source->flags & kKeepFlagsWhenCut & kPieceFlags);
  if (p != nullptr && polygon::is_polygon(p)) polygon::release_side_style(p);
  return p;
}

// Cuts the list along x = k in the frame's coordinates; false on allocation failure with the
// list unchanged.
bool cut_list(ZoPath** list, double k, uint32_t pairing, const Frame& frame) {
  Outcome outcome;
  try {
    std::vector<Subpath> subs;
    for (ZoPath* p = list_head(*list); p != nullptr; p = p->next) {
      Subpath s{p, std::vector<PathNode>(nodes_of(p), nodes_of(p) + p->count), {}, is_closed(p)};
      for (PathNode& n : s.nodes) {
        n.type &= kKeepTypeWhenCut;
        n.pt = frame.into(n.pt);
      }
      close_explicitly(&s);
      insert_crossings(&s, k);
      subs.push_back(std::move(s));
    }
    Records records;
    size_t crossingNodes = 0;
    for (uint32_t i = 0; i < subs.size(); ++i) {
      Subpath& s = subs[i];
      auto keep = [&](int side) { outcome.placed.push_back(Placed{s.source, side, false}); };
      bool split = std::find(s.onCut.begin(), s.onCut.end(), true) != s.onCut.end();
      if (!split) {
        keep(!s.nodes.empty() && offset(s.nodes[0].pt, k) < 0.0 ? kSecondSide : kFirstSide);
        continue;
      }
      if (!s.closed) {
        // Open pieces between the nodes on the line, each on the side of its ends' mean x.
        size_t from = 0;
        for (size_t j = 1; j < s.nodes.size(); ++j) {
          if (!s.onCut[j] && j + 1 < s.nodes.size()) continue;
          std::vector<PathNode> piece(s.nodes.begin() + static_cast<long>(from),
                                      s.nodes.begin() + static_cast<long>(j) + 1);
          from = j;
          piece[0].type = PT_MOVETO;
          double mean = 0.5 * (fix_to_db(piece.front().pt.x) + fix_to_db(piece.back().pt.x));
          ZoPath* p = make_piece_back(std::move(piece), s.source, frame);
          if (p == nullptr) throw std::bad_alloc();
          outcome.placed.push_back(Placed{p, k > mean ? kSecondSide : kFirstSide, true});
        }
        outcome.released.push_back(s.source);
        continue;
      }
      double minX = INFINITY, maxX = -INFINITY;
      for (const PathNode& n : s.nodes) {
        minX = std::min(minX, offset(n.pt, k));
        maxX = std::max(maxX, offset(n.pt, k));
      }
      if (minX > -kOnLine) {
        keep(kFirstSide);
      } else if (maxX < kOnLine) {
        keep(kSecondSide);
      } else {
        for (uint32_t j = 1; j < s.nodes.size(); ++j) {
          if (s.onCut[j]) records.add(i, j, fix_to_db(s.nodes[j].pt.y));
        }
        crossingNodes += s.nodes.size();
        outcome.released.push_back(s.source);
      }
    }
    records.sort_and_rank();
    records.pair(pairing);
    LoopRules rules{[&](PointDB q) { return side_of(q.x, k); },
                    [&](const Record&, const Record& to, std::vector<PathNode>* out) {
                      out->push_back(PathNode{PT_LINETO, subs[to.sub].nodes[to.node].pt});
                    },
                    "- FormClosedLoopFromCutList(): points over bufsize(%d).\n"};
    std::vector<Loop> loops;
    form_loops(subs, &records, crossingNodes, rules, &loops);
    for (Loop& loop : loops) {
      ZoPath* p = make_piece_back(std::move(loop.nodes), subs[loop.sub].source, frame);
      if (p == nullptr) throw std::bad_alloc();
      outcome.placed.push_back(Placed{p, loop.side, true});
    }
  } catch (const std::bad_alloc&) {
    discard(&outcome);
    return false;
  }
  if (!commit(list, &outcome)) return false;
  // Subpaths kept whole went through the line's frame and back like every other point.
  if (frame.rotated) {
    for (const Placed& placed : outcome.placed) {
      if (placed.made) continue;
      PathNode* nodes = nodes_of(placed.path);
      for (uint32_t i = 0; i < placed.path->count; ++i) {
        nodes[i].pt = frame.back(frame.into(nodes[i].pt));
      }
    }
  }
  return true;
}

void report_failure() { ZO_REPORT_NO_MEMORY(); }

// A window point of a view as an image point (whole image units without a view).
PointDB image_point(const CoordStruct* view, int32_t x, int32_t y) {
  if (view == nullptr) return PointDB{double(x), double(y)};
  return PointDB{(double(x) - view->rcWindow.left + view->scrollX) / view->zoom - 0.5,
                 (double(y) - view->rcWindow.top + view->scrollY) / view->zoom - 0.5};
}

PointDB unpack(const CoordStruct* view, int64_t packed) {
  auto bits = static_cast<uint64_t>(packed);
  return image_point(view, static_cast<int32_t>(static_cast<uint32_t>(bits)),
                     static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
}

}  // namespace

void cut_with_line_x(CoordStruct* view, ZoPath** list, int32_t x, uint32_t pairing) {
  if (list == nullptr || *list == nullptr) return;
  double k = image_point(view, x, 0).x;
  if (!std::isfinite(k)) return;
  if (!cut_list(list, k, pairing, Frame{false, {0, 0}, 0, 0})) report_failure();
}

void cut_with_line(CoordStruct* view, ZoPath** list, int64_t a, int64_t b, uint32_t pairing) {
  if (list == nullptr || *list == nullptr) return;
  if (static_cast<uint32_t>(a) == static_cast<uint32_t>(b)) {
    cut_with_line_x(view, list, static_cast<int32_t>(static_cast<uint32_t>(a)), pairing);
    return;
  }
  PointDB pa = unpack(view, a), pb = unpack(view, b);
  PointDB d = pb - pa;
  double len = length(d);
  if (!(len >= 0.0001) || !std::isfinite(len)) return;
  if (!cut_list(list, 0.0, pairing, Frame{true, pa, d.x / len, d.y / len})) report_failure();
}

}  // namespace zo::cut

using namespace zo;

extern "C" {

ZO_API void ZoPathCutWithLineX(CoordStruct* view, ZoPath** list, int32_t x, uint32_t pairing) {
  cut::cut_with_line_x(view, list, x, pairing);
}

ZO_API void ZoPathCutWithLine(CoordStruct* view, ZoPath** list, int64_t a, int64_t b,
                              uint32_t pairing) {
  cut::cut_with_line(view, list, a, b, pairing);
}

ZO_API void ZoPathTblCutWithLineX(CoordStruct* view, ZoPathTbl* table, int32_t x,
                                  uint32_t pairing) {
  ZoPath* first = nullptr;
  if (table == nullptr) return;
  ZoPathFind(table, nullptr, &first, nullptr, nullptr);
  if (first == nullptr) return;
  ZoPathAssignSelectedPath(table, nullptr);
  cut::cut_with_line_x(view, &first, x, pairing);
  ZoPathAssignActivePath(table, first);
}

ZO_API void ZoPathTblCutWithLine(CoordStruct* view, ZoPathTbl* table, int64_t a, int64_t b,
                                 uint32_t pairing) {
  ZoPath* first = nullptr;
  if (table == nullptr) return;
  ZoPathFind(table, nullptr, &first, nullptr, nullptr);
  if (first == nullptr) return;
  ZoPathAssignSelectedPath(table, nullptr);
  cut::cut_with_line(view, &first, a, b, pairing);
  ZoPathAssignActivePath(table, first);
}

}  // extern "C"
