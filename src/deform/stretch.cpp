// Stretch: a copy of a path list whose x coordinates are mapped piecewise linearly, one band
// of x onto another, so the middle of a shape lengthens or shortens while its ends only move.
#include <algorithm>
#include <cmath>

#include "deform_state.hpp"
#include "cubic_pieces.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "platform/host_library.hpp"
#include "smooth.hpp"
#include "x_crossings.hpp"

using namespace zo;
using namespace zo::deform;

namespace {

// Band offset: the arguments come in the margin-relative coordinates of the rectangles.
constexpr double kMargin = 5.0;
// A band edge closer than 0.001 pixel to a segment end already falls on a node.
constexpr double kOnNode = 0.001;
constexpr uint16_t kRoleControl = 0x1, kRoleCurveEnd = 0x2, kRoleSmooth = 0x4;

struct Bands {
  double lo, hi, loTo, hiTo;
  double map(double x) const {
    if (x <= lo) return x + (loTo - lo);
    if (x >= hi) return x + (hiTo - hi);
    return loTo + (x - lo) * (hiTo - loTo) / (hi - lo);
  }
};

// The subpath's outline as a point run with the band edges inserted as nodes; the node kinds
// go into the run's types and each entry's role into roles. Returns the outline's length.
bool build_run(const ZoPath* p, const Bands& b, PointRun& run, uint16_t* roles, uint32_t* outline) {
  const PathNode* n = nodes_of(p);
  const double edges[2] = {b.lo, b.hi};
  run.count = 0;
  uint32_t last = 0;
  bool ok = run.push(to_db(n[0].pt), n[0].type);
  auto mark = [&](uint16_t role) { roles[run.count - 1] = role; };
  if (ok) mark(0);
  for_each_segment(p, [&](uint32_t s, uint32_t e) {
    last = e;
    PointDB c[4] = {to_db(n[s].pt), to_db(n[s + 1].pt), to_db(n[std::min(s + 2, e)].pt),
                    to_db(n[e].pt)};
    if (e == s + 1) {
      double ts[2];
      int k = 0;
      for (double x : edges)
        if ((c[0].x - x) * (c[3].x - x) < 0) ts[k++] = (x - c[0].x) / (c[3].x - c[0].x);
      if (k == 2 && ts[0] > ts[1]) std::swap(ts[0], ts[1]);
      for (int i = 0; i < k && ok; ++i) {
        PointDB q = c[0] + (c[3] - c[0]) * ts[i];
        if (distance(q, c[0]) > kOnNode && distance(q, c[3]) > kOnNode) {
          ok = run.push(q, PT_LINETO);
          if (ok) mark(0);
        }
      }
      ok = ok && run.push(c[3], n[e].type);
      if (ok) mark(0);
      return ok;
    }
    double ts[6];
    int k = x_crossings(c, edges, 2, ts, 6);
    PointDB rest[4] = {c[0], c[1], c[2], c[3]};
    double done = 0.0;
    for (int i = 0; i < k && ok; ++i) {
      PointDB before[4], after[4];
      split_cubic_at(rest, (ts[i] - done) / (1.0 - done), before, after);
      if (distance(before[3], rest[0]) <= kOnNode || distance(before[3], c[3]) <= kOnNode) continue;
      ok = run.push(before[1], PT_BEZIERTO) && (mark(kRoleControl), run.push(before[2], PT_BEZIERTO)) &&
           (mark(kRoleControl), run.push(before[3], PT_BEZIERTO));
      if (ok) mark(kRoleCurveEnd);
      std::copy(after, after + 4, rest);
      done = ts[i];
    }
    ok = ok && run.push(rest[1], n[s + 1].type) && (mark(kRoleControl), run.push(rest[2], n[s + 2].type)) &&
         (mark(kRoleControl), run.push(rest[3], n[e].type));
    if (ok) mark(kRoleCurveEnd);
    return ok;
  });
  *outline = run.count;
  for (uint32_t i = last + 1; i < p->count && ok; ++i) {
    ok = run.push(to_db(n[i].pt), n[i].type);
    if (ok) mark(0);
  }
  return ok;
}

// The smooth joints of the run: curve ends between two curves whose handles are collinear,
// and the closing joint of a closed figure when both its neighbours are curves.
void mark_smooth(const PointRun& run, uint32_t outline, bool closed, uint16_t* roles) {
  for (uint32_t k = 1; k + 1 < outline; ++k)
    if ((roles[k] & kRoleCurveEnd) && (roles[k + 1] & kRoleControl) &&
        handles_smooth(run.pts, k - 1, k, k + 1))
      roles[k] |= kRoleSmooth;
  if (closed && outline > 3 && (roles[outline - 1] & kRoleCurveEnd) && (roles[1] & kRoleControl) &&
      handles_smooth(run.pts, outline - 2, outline - 1, 1))
    roles[outline - 1] |= kRoleSmooth;
}

void realign_smooth(PointRun& run, uint32_t outline, const uint16_t* roles) {
  for (uint32_t k = 1; k + 1 < outline; ++k)
    if (roles[k] & kRoleSmooth) realign_handles(run.pts, k - 1, k, k + 1);
  if (outline > 3 && (roles[outline - 1] & kRoleSmooth))
    realign_handles(run.pts, outline - 2, outline - 1, 1);
}

bool stretch_subpath(ZoPath** path, const Bands& bands, bool keepSmooth, PointRun& run) {
  ZoPath* p = *path;
  if (p->count == 0) return true;
  // Each segment gains at most 12 nodes for the two edges: reserve once, no growth per node.
  uint32_t most = p->count * 7 + 8;
  if (!run.reserve(most)) return false;
  uint16_t* roles = run.roles;
  uint32_t outline = 0;
  if (!build_run(p, bands, run, roles, &outline)) return false;
  if (keepSmooth) mark_smooth(run, outline, is_closed(p), roles);
  for (uint32_t i = 0; i < outline; ++i)
    if (!is_parameter(run.types[i])) run.pts[i].x = bands.map(run.pts[i].x);
  if (keepSmooth) realign_smooth(run, outline, roles);
  return write_run(path, run);
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathStretch(ZoPath* list, ZoPath** out, const double* a, const double* b,
                              const double* c, const double* d, uint32_t keepSmooth) {
  if (out != nullptr) *out = nullptr;
  if (list == nullptr || out == nullptr || a == nullptr || b == nullptr || c == nullptr ||
      d == nullptr) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtr(list, &copy) == 0) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  for (ZoPath* p = copy; p != nullptr; p = p->next) {
    deselect_fully(p);
    p->selPrev = p->selNext = nullptr;
  }
  Bands bands{std::min(*a, *b) + kMargin, std::max(*a, *b) + kMargin,
              std::min(*c, *d) + kMargin, std::max(*c, *d) + kMargin};
  PointRun& run = stretch_run();
  bool ok = true;
  for (ZoPath* p = copy; p != nullptr && ok; p = p->next) {
    bool head = p == copy;
    ok = stretch_subpath(&p, bands, keepSmooth != 0, run);
    if (head) copy = p;
  }
  run.release();
  if (!ok) {
    ZO_REPORT_NO_MEMORY();
    release_list(copy);
    return 0;
  }
  ZoPathJoinAll(copy);
  *out = copy;
  return 1;
}

}  // extern "C"
