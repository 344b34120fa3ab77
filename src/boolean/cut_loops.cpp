#include "cut_loops.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/bezier.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "platform/trace.hpp"

namespace zo::cut {

void close_explicitly(Subpath* s) {
  auto& n = s->nodes;
  if (!s->closed || n.size() < 2) return;
  if (n.back().pt.x == n.front().pt.x && n.back().pt.y == n.front().pt.y) return;
  n.back().type &= static_cast<uint16_t>(~PT_CLOSEFIGURE);
  n.push_back(PathNode{PT_LINETO | PT_CLOSEFIGURE, n.front().pt});
}

void Records::add(uint32_t sub, uint32_t node, double position) {
  records_.push_back(Record{0, sub, node, position, {false, false}});
}

void Records::sort_and_rank() {
  std::stable_sort(records_.begin(), records_.end(),
                   [](const Record& a, const Record& b) { return a.position < b.position; });
  // Runs of positions each within 0.0001 of the next are equal: back to the order of adding,
  // which the subpath and node numbers give.
  for (size_t i = 0; i < records_.size();) {
    size_t j = i + 1;
    while (j < records_.size() && records_[j].position - records_[j - 1].position < 0.0001) ++j;
    std::sort(records_.begin() + static_cast<long>(i), records_.begin() + static_cast<long>(j),
              [](const Record& a, const Record& b) {
                return a.sub != b.sub ? a.sub < b.sub : a.node < b.node;
              });
    i = j;
  }
  for (size_t i = 0; i < records_.size(); ++i) records_[i].rank = static_cast<uint32_t>(i);
}

void Records::pair(uint32_t pairing) {
  partners_.assign(records_.size(), -1);
  if (pairing != 0) {
    for (size_t i = 0; i + 1 < records_.size(); i += 2) {
      partners_[i] = static_cast<int>(i + 1);
      partners_[i + 1] = static_cast<int>(i);
    }
    return;
  }
  std::vector<std::vector<int>> bySub;
  for (size_t i = 0; i < records_.size(); ++i) {
    uint32_t sub = records_[i].sub;
    if (bySub.size() <= sub) bySub.resize(sub + 1);
    bySub[sub].push_back(static_cast<int>(i));
  }
  for (const auto& list : bySub) {
    for (size_t j = 0; j + 1 < list.size(); j += 2) {
      partners_[static_cast<size_t>(list[j])] = list[j + 1];
      partners_[static_cast<size_t>(list[j + 1])] = list[j];
    }
  }
}

int Records::at(uint32_t sub, uint32_t node) const {
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].sub == sub && records_[i].node == node) return static_cast<int>(i);
  }
  return -1;
}

void Records::erase_subpath(uint32_t sub) {
  std::erase_if(records_, [sub](const Record& r) { return r.sub == sub; });
}

namespace {

// Steps along a closed node array whose last node repeats the first: index 0 is never used.
uint32_t step_forward(uint32_t i, size_t count) { return i + 1 >= count ? 1 : i + 1; }
uint32_t step_back(uint32_t i, size_t count) {
  return i <= 1 ? static_cast<uint32_t>(count - 1) : i - 1;
}

// The middle of the segment leaving node i forwards or backwards: the segment's ends may lie
// on the cut and a control point next to a crossing on either side of it, its middle not.
PointDB probe(const Subpath& s, uint32_t i, bool forwards) {
  const auto& nodes = s.nodes;
  const uint32_t n = static_cast<uint32_t>(nodes.size());
  uint32_t from = i, to;
  if (forwards) {
    to = segment_end(nodes.data(), i + 1 >= n ? 0 : i);
    if (to >= n) to = n - 1;
  } else {
    uint32_t back = is_bezier(nodes[i].type) ? 3 : 1;
    to = i > back ? i - back : i + n - 1 - back;
  }
  uint32_t lo = forwards ? from : to, hi = forwards ? to : from;
  if (lo == n - 1) lo = 0;
  if (hi == lo + 3 && is_bezier(nodes[hi].type)) {
    return cubic_point(Cubic{to_db(nodes[lo].pt), to_db(nodes[lo + 1].pt), to_db(nodes[lo + 2].pt),
                             to_db(nodes[hi].pt)},
                       0.5);
  }
  return (to_db(nodes[from].pt) + to_db(nodes[to].pt)) * 0.5;
}

// Walks one loop for a side from record `start`; false when it was abandoned.
bool walk_loop(const std::vector<Subpath>& subs, Records* records, int start, int side,
               size_t bufferSize, const LoopRules& rules, std::vector<PathNode>* out) {
  Records& recs = *records;
  auto push = [&](PathNode node) {
    if (out->size() >= bufferSize) {
      plat::trace(rules.overflowTrace, static_cast<int>(bufferSize));
      return false;
    }
    out->push_back(node);
    return true;
  };
  out->clear();
  const Record& first = recs[static_cast<size_t>(start)];
  recs[static_cast<size_t>(start)].used[side] = true;
  if (!push(PathNode{PT_MOVETO, subs[first.sub].nodes[first.node].pt})) return false;
  int current = start;
  for (;;) {
    const Record& at = recs[static_cast<size_t>(current)];
    const Subpath& s = subs[at.sub];
    const size_t n = s.nodes.size();
    bool forwards = rules.side(probe(s, at.node, true)) == side;
    if (!forwards && rules.side(probe(s, at.node, false)) != side) return false;
    uint32_t i = at.node;
    int reached = -1;
    while (reached < 0) {
      uint32_t j = forwards ? step_forward(i, n) : step_back(i, n);
      // Walking backwards a node takes the type of the node walked from: each segment's
      // kind sits on its end, so a cubic's triple stays in order.
      uint16_t type = forwards ? s.nodes[j].type : s.nodes[i].type;
      if (!push(PathNode{static_cast<uint16_t>(type & ~PT_CLOSEFIGURE), s.nodes[j].pt})) {
        return false;
      }
      i = j;
      if (s.onCut[j]) reached = recs.at(at.sub, j);
    }
    recs[static_cast<size_t>(reached)].used[side] = true;
    int partner = recs.partner(reached);
    if (partner < 0) return false;
    std::vector<PathNode> edge;
    rules.edge(recs[static_cast<size_t>(reached)], recs[static_cast<size_t>(partner)], &edge);
    for (const PathNode& node : edge) {
      if (!push(node)) return false;
    }
    if (partner == start) {
      // A straight edge closes with type 3; a curved one keeps its kind.
      bool curve = (out->back().type & PT_KIND_MASK) == PT_BEZIERTO;
      out->back().type = static_cast<uint16_t>((curve ? PT_BEZIERTO : PT_LINETO) | PT_CLOSEFIGURE);
      return true;
    }
    recs[static_cast<size_t>(partner)].used[side] = true;
    current = partner;
  }
}

}  // namespace

void form_loops(const std::vector<Subpath>& subs, Records* records, size_t bufferSize,
                const LoopRules& rules, std::vector<Loop>* loops) {
  std::vector<PathNode> buffer;
  buffer.reserve(bufferSize);
  for (int side : {kFirstSide, kSecondSide}) {
    for (size_t r = 0; r < records->size(); ++r) {
      if ((*records)[r].used[side]) continue;
      if (walk_loop(subs, records, static_cast<int>(r), side, bufferSize, rules, &buffer)) {
        loops->push_back(Loop{side, (*records)[r].sub, buffer});
      }
    }
  }
}

ZoPath* make_piece(const std::vector<PathNode>& nodes, uint32_t flags) {
  ZoPath* p = record_alloc(static_cast<uint32_t>(std::max<size_t>(nodes.size(), 1)));
  if (p == nullptr) return nullptr;
  if (!nodes.empty()) std::memcpy(nodes_of(p), nodes.data(), nodes.size() * kNodeBytes);
  p->count = static_cast<uint32_t>(nodes.size());
  p->flags = flags & ~ZOF_ATTACHMENT;  // the attachment stays with its own subpath
  p->primitiveKind = 0;
  return p;
}

void strip_for_cut(ZoPath* p) {
  p->flags &= kKeepFlagsWhenCut;
  PathNode* nodes = nodes_of(p);
  for (uint32_t i = 0; i < p->count; ++i) nodes[i].type &= kKeepTypeWhenCut;
  p->prev = p->next = p->joinPrev = p->selPrev = p->selNext = nullptr;
  if (!has_attachment(p)) p->joinNext = nullptr;
}

void discard(Outcome* outcome) {
  for (const Placed& placed : outcome->placed) {
    if (placed.made) record_release(placed.path);
  }
  outcome->placed.clear();
}

bool commit(ZoPath** list, Outcome* outcome) {
  ZoPath* sentinels[2] = {record_alloc(1), record_alloc(1)};
  if (sentinels[0] == nullptr || sentinels[1] == nullptr) {
    for (ZoPath* s : sentinels) {
      if (s != nullptr) record_release(s);
    }
    discard(outcome);
    return false;
  }
  for (const Placed& placed : outcome->placed) {
    if (!placed.made) strip_for_cut(placed.path);
  }
  for (ZoPath* p : outcome->released) record_release(p);
  ZoPath* tails[2] = {sentinels[0], sentinels[1]};
  for (const Placed& placed : outcome->placed) {
    ZoPath*& tail = tails[placed.side];
    tail->next = placed.path;
    placed.path->prev = tail;
    tail = placed.path;
  }
  ZoPath* heads[2] = {sentinels[0]->next, sentinels[1]->next};
  for (ZoPath* h : heads) {
    if (h != nullptr) h->prev = nullptr;
  }
  record_release(sentinels[0]);
  record_release(sentinels[1]);
  ZoPath* result = heads[0];
  if (heads[1] != nullptr) ZoPathChainPaths(&result, heads[1]);
  *list = result;
  return true;
}

}  // namespace zo::cut
