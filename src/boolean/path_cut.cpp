// Cutting a path list along a cutting subpath: crossings from the curve intersection become
// nodes and cut records ranked along the cutter; the new edges follow the cutter's own curves.
#include <algorithm>
#include <cmath>
#include <new>

#include "curve_intersection.hpp"
#include "cut_loops.hpp"
#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "platform/host_library.hpp"
#include "shapes/polygon_rules.hpp"

namespace zo::cut {

namespace {

// One segment of a subpath or of the cutter, in doubles.
struct Segment {
  uint32_t start;  // node index of its start
  bool curve;
  Cubic c;  // a straight segment keeps its ends in p0 and p3
};

std::vector<Segment> segments_of(const std::vector<PathNode>& nodes) {
  std::vector<Segment> out;
  if (nodes.size() < 2) return out;
  const uint32_t last = static_cast<uint32_t>(nodes.size() - 1);
  for (uint32_t i = 0; i < last;) {
    uint32_t e = segment_end(nodes.data(), i);
    if (e > last) break;
    bool curve = e == i + 3;
    PointDB a = to_db(nodes[i].pt), d = to_db(nodes[e].pt);
    out.push_back(Segment{
        i, curve,
        curve ? Cubic{a, to_db(nodes[i + 1].pt), to_db(nodes[i + 2].pt), d} : Cubic{a, a, d, d}});
    i = e;
  }
  return out;
}

// The crossings of two segments: parameters on the first and on the second. Stretches where
// the two run together are not crossings.
int crossings_of(const Segment& a, const Segment& b, double ta[], double tb[]) {
  uint8_t together = 0;
  int n;
  if (!a.curve && !b.curve) {
    n = boolean::intersect_lines(a.c.p0, a.c.p3, b.c.p0, b.c.p3, ta, tb, &together);
  } else if (a.curve && !b.curve) {
    n = boolean::intersect_cubic_line(a.c, b.c.p0, b.c.p3, ta, tb, &together);
  } else if (!a.curve) {
    n = boolean::intersect_cubic_line(b.c, a.c.p0, a.c.p3, tb, ta, &together);
  } else {
    n = boolean::intersect_cubics(a.c, b.c, ta, tb, &together);
  }
  return together != 0 ? 0 : n;
}

// The polyline through the cutter's nodes decides sides: the sign of the turn from the
// nearest of its segments to the point, negative for the second side.
struct Cutter {
  std::vector<PathNode> nodes;
  std::vector<Segment> segments;
  std::vector<PointDB> polyline;

  int side(PointDB q) const {
    double best = INFINITY, value = 0.0;
    for (size_t i = 0; i + 1 < polyline.size(); ++i) {
      PointDB a = polyline[i], u = polyline[i + 1] - a, w = q - a;
      double len2 = length_sq(u);
      double t = len2 > 0.0 ? std::clamp(dot(w, u) / len2, 0.0, 1.0) : 0.0;
      double d = distance(q, a + u * t);
      if (d < best) best = d, value = cross(u, w);
    }
    return value < 0.0 ? kSecondSide : kFirstSide;
  }

  // The cutter's nodes from position `from` to position `to` (segment index + parameter),
  // walked backwards when to < from; the first point is left out, the last is `end`.
  void stretch(double from, double to, Ptfx end, std::vector<PathNode>* out) const {
    bool backwards = to < from;
    double lo = std::min(from, to), hi = std::max(from, to);
    std::vector<Segment> parts;
    for (size_t j = 0; j < segments.size(); ++j) {
      double a = std::max(lo - double(j), 0.0), b = std::min(hi - double(j), 1.0);
      if (a >= b) continue;
      Segment part = segments[j];
      if (part.curve) {
        Cubic left, rest;
        if (a > 0.0) split_cubic(part.c, a, &left, &part.c);
        if (b < 1.0) split_cubic(part.c, (b - a) / (1.0 - a), &part.c, &rest);
      } else {
        PointDB p0 = part.c.p0, d = part.c.p3 - part.c.p0;
        part.c.p0 = p0 + d * a;
        part.c.p3 = p0 + d * b;
      }
      parts.push_back(part);
    }
    if (backwards) {
      std::reverse(parts.begin(), parts.end());
      for (Segment& part : parts) part.c = Cubic{part.c.p3, part.c.p2, part.c.p1, part.c.p0};
    }
    for (const Segment& part : parts) {
      if (part.curve) {
        out->push_back(PathNode{PT_BEZIERTO, to_fix(part.c.p1)});
        out->push_back(PathNode{PT_BEZIERTO, to_fix(part.c.p2)});
      }
      out->push_back(
          PathNode{part.curve ? uint16_t{PT_BEZIERTO} : uint16_t{PT_LINETO}, to_fix(part.c.p3)});
    }
    if (out->empty()) out->push_back(PathNode{PT_LINETO, end});
    out->back().pt = end;  // the partner's own node, not its image on the cutter
  }
};

struct Crossing {
  uint32_t segment;  // index into the subpath's segments
  double t;          // on that segment
  double position;   // along the cutter
};

// Inserts nodes at the crossings (cubics divided there) and records each crossing's node
// with its position along the cutter; returns how many records the subpath got.
size_t insert_crossings(Subpath* s, uint32_t sub, std::vector<Crossing> crossings,
                        Records* records) {
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) {
    return a.segment != b.segment ? a.segment < b.segment : a.t < b.t;
  });
  const std::vector<Segment> segs = segments_of(s->nodes);
  const std::vector<PathNode> in = std::move(s->nodes);
  std::vector<PathNode>& out = s->nodes;
  out.assign(in.begin(), in.begin() + 1);
  std::vector<std::pair<uint32_t, double>> found;  // node, position
  size_t next = 0;
  uint32_t copiedTo = 0;
  for (uint32_t k = 0; k < segs.size(); ++k) {
    const Segment& seg = segs[k];
    uint32_t end = k + 1 < segs.size() ? segs[k + 1].start : seg.start + (seg.curve ? 3 : 1);
    Cubic rest = seg.c;
    double done = 0.0;
    for (; next < crossings.size() && crossings[next].segment == k; ++next) {
      const Crossing& x = crossings[next];
      if (x.t <= 0.0) {
        found.push_back({static_cast<uint32_t>(out.size() - 1), x.position});
        continue;
      }
      if (x.t >= 1.0 || x.t <= done) {
        if (x.t >= 1.0)
          found.push_back(
              {static_cast<uint32_t>(out.size() - 1 + (seg.curve ? 3 : 1)), x.position});
        else
          found.push_back({static_cast<uint32_t>(out.size() - 1), x.position});
        continue;
      }
      if (seg.curve) {
        Cubic left;
        split_cubic(rest, (x.t - done) / (1.0 - done), &left, &rest);
        out.push_back(PathNode{PT_BEZIERTO, to_fix(left.p1)});
        out.push_back(PathNode{PT_BEZIERTO, to_fix(left.p2)});
        out.push_back(PathNode{PT_BEZIERTO, to_fix(left.p3)});
      } else {
        out.push_back(PathNode{PT_LINETO, to_fix(seg.c.p0 + (seg.c.p3 - seg.c.p0) * x.t)});
      }
      done = x.t;
      found.push_back({static_cast<uint32_t>(out.size() - 1), x.position});
    }
    if (seg.curve && done > 0.0) {
      out.push_back(PathNode{in[seg.start + 1].type, to_fix(rest.p1)});
      out.push_back(PathNode{in[seg.start + 2].type, to_fix(rest.p2)});
    } else {
      for (uint32_t j = seg.start + 1; j < end; ++j) out.push_back(in[j]);
    }
    out.push_back(in[end]);
    copiedTo = end;
  }
  for (uint32_t j = copiedTo + 1; j < in.size(); ++j) out.push_back(in[j]);
  s->onCut.assign(out.size(), false);
  size_t added = 0;
  for (auto [node, position] : found) {
    if (node == 0) node = static_cast<uint32_t>(out.size() - 1);  // the start is the end
    if (node >= out.size() || s->onCut[node]) continue;           // one record per node
    s->onCut[node] = true;
    records->add(sub, node, position);
    ++added;
  }
  return added;
}

bool cut_list(ZoPath** list, const ZoPath* cutterPath, uint32_t pairing) {
  Outcome outcome;
  try {
    Cutter cutter;
    cutter.nodes.assign(nodes_of(cutterPath), nodes_of(cutterPath) + cutterPath->count);
    cutter.segments = segments_of(cutter.nodes);
    for (const PathNode& n : cutter.nodes) cutter.polyline.push_back(to_db(n.pt));
    std::vector<Subpath> subs;
    std::vector<int> wholeSide;  // the side of a subpath kept whole, or kNoSide when cut
    Records records;
    size_t crossingNodes = 0;
    bool abandon = false;
    std::vector<ZoPath*> sources;
    for (ZoPath* p = list_head(*list); p != nullptr; p = p->next) {
      sources.push_back(p);
      if (abandon) continue;
      if (!is_closed(p)) {
        abandon = true;
        continue;
      }
      Subpath s{p, std::vector<PathNode>(nodes_of(p), nodes_of(p) + p->count), {}, true};
      for (PathNode& n : s.nodes) n.type &= kKeepTypeWhenCut;
      close_explicitly(&s);
      std::vector<Crossing> crossings;
      std::vector<Segment> segs = segments_of(s.nodes);
      double ta[boolean::kMaxCrossings], tb[boolean::kMaxCrossings];
      for (uint32_t k = 0; k < segs.size(); ++k) {
        for (uint32_t j = 0; j < cutter.segments.size(); ++j) {
          int n = crossings_of(segs[k], cutter.segments[j], ta, tb);
          for (int i = 0; i < n; ++i) crossings.push_back(Crossing{k, ta[i], j + tb[i]});
        }
      }
      uint32_t index = static_cast<uint32_t>(subs.size());
      size_t added = crossings.empty() ? 0 : insert_crossings(&s, index, crossings, &records);
      if (added == 0) {
        zo::BoxDB box{INFINITY, INFINITY, -INFINITY, -INFINITY};
        for (const PathNode& n : s.nodes) {
          PointDB q = to_db(n.pt);
          box = zo::BoxDB{std::min(box.minX, q.x), std::min(box.minY, q.y), std::max(box.maxX, q.x),
                          std::max(box.maxY, q.y)};
        }
        PointDB centre{(box.minX + box.maxX) * 0.5, (box.minY + box.maxY) * 0.5};
        wholeSide.push_back(s.nodes.empty() ? kFirstSide : cutter.side(centre));
      } else {
        wholeSide.push_back(kNoSide);
        crossingNodes += s.nodes.size();
      }
      subs.push_back(std::move(s));
      if (records.size() % 2 != 0) abandon = true;
    }
    if (abandon) {
      // The list stays as it is (without selection or chains), all on the first side.
      for (ZoPath* p : sources) outcome.placed.push_back(Placed{p, kFirstSide, false});
    } else {
      for (size_t i = 0; i < subs.size(); ++i) {
        if (wholeSide[i] == kNoSide) {
          outcome.released.push_back(subs[i].source);
        } else {
          outcome.placed.push_back(Placed{subs[i].source, wholeSide[i], false});
        }
      }
      records.sort_and_rank();
      records.pair(pairing);
      LoopRules rules{[&](PointDB q) { return cutter.side(q); },
                      [&](const Record& from, const Record& to, std::vector<PathNode>* out) {
                        cutter.stretch(from.position, to.position, subs[to.sub].nodes[to.node].pt,
                                       out);
                      },
                      "- FormClosedLoopFromCutList2(): points over bufsize(%d).\n"};
      std::vector<Loop> loops;
      form_loops(subs, &records, crossingNodes + cutter.nodes.size() * records.size(), rules,
                 &loops);
      for (Loop& loop : loops) {
        const ZoPath* source = subs[loop.sub].source;
        ZoPath* p = make_piece(loop.nodes, source->flags & kKeepFlagsWhenCut & kPieceFlags);
        if (p == nullptr) throw std::bad_alloc();
        if (polygon::is_polygon(p)) polygon::release_side_style(p);
        outcome.placed.push_back(Placed{p, loop.side, true});
      }
    }
  } catch (const std::bad_alloc&) {
    discard(&outcome);
    return false;
  }
  return commit(list, &outcome);
}

}  // namespace

void cut_with_path(ZoPath** list, ZoPath* cutter, uint32_t pairing) {
  if (list == nullptr || *list == nullptr || cutter == nullptr) return;
  if (!cut_list(list, cutter, pairing)) ZO_REPORT_NO_MEMORY();
}

}  // namespace zo::cut

using namespace zo;

extern "C" {

ZO_API void ZoPathCutWithPath(ZoPath** list, ZoPath* cutter, uint32_t pairing) {
  cut::cut_with_path(list, cutter, pairing);
}

ZO_API void ZoPathTblCutWithPath(ZoPathTbl* table, ZoPath* cutter, uint32_t pairing) {
  ZoPath* first = nullptr;
  if (table == nullptr || cutter == nullptr) return;
  ZoPathFind(table, nullptr, &first, nullptr, nullptr);
  if (first == nullptr) return;
  ZoPathAssignSelectedPath(table, nullptr);
  cut::cut_with_path(&first, cutter, pairing);
  ZoPathAssignActivePath(table, first);
}

}  // extern "C"
