// Dragging selected nodes: the window points of the segments around each selected anchor
// handed to the host, which draws and moves them, and read back into the nodes afterwards.
#include <cmath>
#include <new>
#include <vector>

#include "drawn_segments.hpp"
#include "envelope/envelope_rules.hpp"
#include "geometry/fixed_point.hpp"
#include "platform/host_library.hpp"
#include "selection_state.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

constexpr uint32_t kListPoints = ZOSEL_LIST_SIZE - 1;  // the last pair always ends the list

struct Seg {
  uint32_t start, end;
  bool cubic;
};

// A run: node indices in drawing order.
using Run = std::vector<uint32_t>;

bool usable(const CoordStruct* view, const ZoPath* p) {
  if (view == nullptr || p == nullptr || view->lpDB == nullptr) return false;
  if (!std::isfinite(view->zoom) || !(view->zoom > 0.0)) return false;
  if (linked_to_others(p) || p->count == 0) return false;
  return has_points(p) || envelope::is_frame(p);
}

struct Layout {
  std::vector<Seg> segs;
  std::vector<int32_t> endingAt, startingAt;  // segment index by node, -1 for none
  bool closed;
};

Layout layout_of(const ZoPath* p) {
  Layout l{
      {}, std::vector<int32_t>(p->count, -1), std::vector<int32_t>(p->count, -1), is_closed(p)};
  for_each_drawn_segment(
      p,
      [&](uint32_t s, uint32_t e, bool cubic) {
        l.endingAt[e] = l.startingAt[s] = static_cast<int32_t>(l.segs.size());
        l.segs.push_back(Seg{s, e, cubic});
      },
      [](uint32_t) {});
  return l;
}

bool selected_node(const ZoPath* p, uint32_t i) { return (nodes_of(p)[i].type & PT_SELECTED) != 0; }

// The anchors in node order; in a closed figure the first node stands as the last.
std::vector<uint32_t> anchors_of(const ZoPath* p, const Layout& l) {
  std::vector<uint32_t> out;
  for (uint32_t i = 0; i < p->count; ++i) {
    bool anchor = l.endingAt[i] >= 0 || (nodes_of(p)[i].type & PT_KIND_PARAM_MASK) == PT_MOVETO;
    if (anchor && !(l.closed && i == 0)) out.push_back(i);
  }
  return out;
}

bool anchor_selected(const ZoPath* p, const Layout& l, uint32_t a) {
  return selected_node(p, a) || (l.closed && a == p->count - 1 && selected_node(p, 0));
}

// The segment that leaves anchor a (over the seam of a closed figure).
int32_t seg_after(const ZoPath* p, const Layout& l, uint32_t a) {
  if (l.startingAt[a] >= 0) return l.startingAt[a];
  return l.closed && a == p->count - 1 ? l.startingAt[0] : -1;
}

void append_seg_tail(Run& run, const Seg& s) {
  if (s.cubic) {
    run.push_back(s.start + 1);
    run.push_back(s.start + 2);
  }
  run.push_back(s.end);
}

// One run per selected anchor: the segment before it, the anchor, the segment after it.
std::vector<Run> anchor_runs(const ZoPath* p) {
  std::vector<Run> runs;
  if (envelope::is_frame(p)) {
    Run all;
    for (uint32_t i = 0; i < p->count; ++i) all.push_back(i);
    runs.push_back(all);
    return runs;
  }
  Layout l = layout_of(p);
  for (uint32_t a : anchors_of(p, l)) {
    if (!anchor_selected(p, l, a)) continue;
    Run run;
    if (l.endingAt[a] >= 0) {
      const Seg& s = l.segs[size_t(l.endingAt[a])];
      run.push_back(s.start);
      if (s.cubic) {
        run.push_back(s.start + 1);
        run.push_back(s.start + 2);
      }
    }
    run.push_back(a);
    if (int32_t after = seg_after(p, l, a); after >= 0) append_seg_tail(run, l.segs[size_t(after)]);
    runs.push_back(std::move(run));
  }
  return runs;
}

// Runs of consecutive segments that touch a selected anchor, each listed once; a closed
// figure whose every segment is touched is one run.
std::vector<Run> merged_runs(const ZoPath* p) {
  if (envelope::is_frame(p)) return anchor_runs(p);
  Layout l = layout_of(p);
  const size_t n = l.segs.size();
  std::vector<bool> touched(n, false);
  auto selected_end = [&](uint32_t node) {
    return anchor_selected(p, l, node) ||
           (l.closed && node == 0 && anchor_selected(p, l, p->count - 1));
  };
  for (size_t j = 0; j < n; ++j)
    touched[j] = selected_end(l.segs[j].start) || selected_end(l.segs[j].end);
  // Consecutive: one segment starts where the previous ends (over the seam when closed).
  auto follows = [&](size_t j) {
    if (j > 0) return l.segs[j].start == l.segs[j - 1].end;
    return l.closed && n > 1 && l.segs[n - 1].end == p->count - 1 && l.segs[0].start == 0;
  };
  size_t first = 0;  // a run never starts in the middle of a chain that wraps the seam
  bool whole = true;
  for (size_t j = 0; j < n; ++j) whole = whole && touched[j];
  if (!whole && follows(0) && touched[0] && touched[n - 1]) {
    while (first < n && touched[first]) ++first;
  }
  std::vector<Run> runs;
  for (size_t k = 0; k < n; ++k) {
    size_t j = (first + k) % n;
    if (!touched[j]) continue;
    if (runs.empty() || k == 0 || !touched[(j + n - 1) % n] || !follows(j)) {
      runs.push_back(Run{l.segs[j].start});
    }
    append_seg_tail(runs.back(), l.segs[j]);
  }
  return runs;
}

POINT window_point(const CoordStruct* v, Ptfx pt) {
  auto axis = [](int32_t fix, double zoom, int32_t scroll, int32_t origin) {
    double w = std::trunc((fix_to_db(fix) + 0.5) * zoom - scroll + origin);
    return static_cast<int32_t>(std::clamp(w, -2147483647.0, 2147483647.0));
  };
  return POINT{axis(pt.x, v->zoom, v->scrollX, v->rcWindow.left),
               axis(pt.y, v->zoom, v->scrollY, v->rcWindow.top)};
}

Ptfx image_point(const CoordStruct* v, POINT w) {
  return Ptfx{db_to_fix((double(w.x) + v->scrollX - v->rcWindow.left) / v->zoom - 0.5),
              db_to_fix((double(w.y) + v->scrollY - v->rcWindow.top) / v->zoom - 0.5)};
}

bool same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// Reading back ends the subpath's life as a generated shape; a polygon's other sides follow
// its moved nodes, and a closed figure's first node follows its last.
class ReadBack {
 public:
  ReadBack(const CoordStruct* view, ZoPath* p)
      : view_(view), p_(p), moved_(p->count, false), polygon_(polygon::is_polygon(p)) {
    if (polygon_) polygon_ = polygon::centre(p, &centre_);
    p->primitiveKind = 0;
  }
  void write(uint32_t node, POINT w) {
    nodes_of(p_)[node].pt = image_point(view_, w);
    moved_[node] = true;
  }
  void finish() {
    PathNode* nodes = nodes_of(p_);
    if (polygon_) polygon::follow_moved_nodes(p_, centre_, moved_);
    if (is_closed(p_) &&
        (nodes[0].pt.x != nodes[p_->count - 1].pt.x || nodes[0].pt.y != nodes[p_->count - 1].pt.y))
      nodes[0].pt = nodes[p_->count - 1].pt;
  }

 private:
  const CoordStruct* view_;
  ZoPath* p_;
  std::vector<bool> moved_;
  bool polygon_;
  PointDB centre_{};
};

size_t run_points(const std::vector<Run>& runs) {
  size_t n = 0;
  for (const Run& r : runs) n += r.size();
  return n;
}

uint32_t to_view(CoordStruct* view, ZoPath* p, POINT* list, uint32_t direction) {
  std::vector<Run> runs = anchor_runs(p);
  // Whole runs only, as many as fit before the closing pair.
  size_t fit = 0, used = 0;
  for (; fit < runs.size(); ++fit) {
    size_t need = runs[fit].size() + (fit > 0 ? 1 : 0);
    if (used + need > kListPoints) break;
    used += need;
  }
  const uint32_t last = p->count - 1;
  bool touchesEnd = false;
  for (size_t r = 0; r < fit; ++r) {
    touchesEnd = touchesEnd || runs[r].front() == 0 || (!is_closed(p) && runs[r].back() == last);
  }
  std::vector<POINT> current;  // the nodes' window points before anything is written
  for (uint32_t i = 0; i < p->count; ++i) current.push_back(window_point(view, nodes_of(p)[i].pt));
  if (direction == 0) {
    size_t pos = 0;
    for (size_t r = 0; r < fit; ++r) {
      if (r > 0) list[pos++] = POINT{ZOSEL_RUN_END, ZOSEL_RUN_END};
      for (uint32_t node : runs[r]) list[pos++] = current[node];
    }
    const int32_t end = touchesEnd ? ZOSEL_LIST_END_OPEN : ZOSEL_LIST_END;
    for (size_t k = pos; k < ZOSEL_LIST_SIZE; ++k) list[k] = POINT{end, end};
    return static_cast<uint32_t>(pos);
  }
  ReadBack back(view, p);
  size_t pos = 0;
  for (size_t r = 0; r < fit; ++r) {
    if (r > 0) ++pos;
    for (uint32_t node : runs[r]) {
      POINT w = list[pos++];
      if (!same(w, current[node])) back.write(node, w);
    }
  }
  back.finish();
  return static_cast<uint32_t>(pos);
}

uint32_t to_view3(CoordStruct* view, ZoPath* p, POINT* points, uint16_t* types,
                  uint32_t direction) {
  std::vector<Run> runs = merged_runs(p);
  const PathNode* nodes = nodes_of(p);
  size_t pos = 0;
  if (direction == 0) {
    for (const Run& run : runs) {
      for (size_t k = 0; k < run.size(); ++k, ++pos) {
        points[pos] = window_point(view, nodes[run[k]].pt);
        types[pos] =
            k == 0 ? static_cast<uint16_t>(nodes[run[k]].type | PT_MOVETO) : nodes[run[k]].type;
      }
    }
    return static_cast<uint32_t>(pos);
  }
  ReadBack back(view, p);
  for (const Run& run : runs) {
    for (uint32_t node : run) {
      if ((types[pos] & ZOSEL_MOVED) != 0) {
        back.write(node, points[pos]);
        types[pos] = static_cast<uint16_t>(types[pos] & ~ZOSEL_MOVED);
      }
      ++pos;
    }
  }
  back.finish();
  return static_cast<uint32_t>(pos);
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathSelectedToView(CoordStruct* view, ZoPath* path, POINT* list,
                                     uint32_t direction) {
  if (list == nullptr || direction > 1 || !usable(view, path)) return 0;
  try {
    return to_view(view, path, list, direction);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

ZO_API uint32_t ZoPathSelectedToView3(CoordStruct* view, ZoPath* path, POINT* points,
                                      uint16_t* types, uint32_t direction) {
  if (points == nullptr || types == nullptr || direction > 1 || !usable(view, path)) return 0;
  try {
    return to_view3(view, path, points, types, direction);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

ZO_API uint32_t ZoPathGetSelPtListCount(CoordStruct* view, ZoPath* path) {
  if (!usable(view, path)) return 0;
  try {
    return static_cast<uint32_t>(run_points(merged_runs(path)));
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

}  // extern "C"
