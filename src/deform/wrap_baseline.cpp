#include "wrap_baseline.hpp"

#include <algorithm>
#include <cmath>

#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "platform/trace.hpp"

namespace zo::deform {

namespace {

constexpr uint32_t kErrShortBaseline = 5404;
constexpr uint32_t kArcStart = 1024, kArcGrowth = 512, kSegGrowth = 64;
constexpr double kMinSegment = 4.0;
constexpr double kCos5Degrees = 0.9961947;
constexpr uint32_t kMaxCuts = 64;
// The walk works in 16.16 units: a step is halved above 40000 of them and doubled below 20000.
constexpr double kWorkUnits = 65536.0;

WrapTables g_tables;
double g_scale = 1.0;

bool push_arc(float length, uint32_t param, uint32_t segment) {
  WrapTables& w = g_tables;
  if (w.arcCount == w.arcCapacity) {
    uint32_t want = w.arcCapacity == 0 ? kArcStart : w.arcCapacity + kArcGrowth;
    auto* grown = static_cast<ArcEntry*>(plat::mem_realloc(w.arcs, sizeof(ArcEntry) * want, 0));
    if (grown == nullptr) return false;
    w.arcs = grown;
    w.arcCapacity = want;
  }
  w.arcs[w.arcCount++] = ArcEntry{length, static_cast<uint16_t>(param), static_cast<uint16_t>(segment)};
  return true;
}

WrapSegment* push_segment() {
  WrapTables& w = g_tables;
  if (w.segCount == w.segCapacity) {
    uint32_t want = w.segCapacity + kSegGrowth;
    auto* grown = static_cast<WrapSegment*>(plat::mem_realloc(w.segs, sizeof(WrapSegment) * want, 0));
    if (grown == nullptr) return nullptr;
    w.segs = grown;
    w.segCapacity = want;
  }
  WrapSegment* s = &w.segs[w.segCount++];
  *s = WrapSegment{};
  return s;
}

PointDB normal_of(PointDB t) { return PointDB{t.y, -t.x}; }

// The subdivision value for a curvature: enough pieces that a source curve of about half the
// source height, offset by up to the height, stays within a quarter pixel of its exact image.
double subdivision_value(double curvature) {
  return 0.06 * g_scale * std::sqrt(curvature * (1.0 + curvature * g_scale));
}

double curvature_at(const PointDB* p, double t) {
  double s = 1.0 - t;
  PointDB d1 = (p[1] - p[0]) * (3 * s * s) + (p[2] - p[1]) * (6 * s * t) + (p[3] - p[2]) * (3 * t * t);
  PointDB d2 = (p[2] - p[1] * 2.0 + p[0]) * (6 * s) + (p[3] - p[2] * 2.0 + p[1]) * (6 * t);
  double speed = length(d1);
  return speed > 1e-9 ? std::fabs(cross(d1, d2)) / (speed * speed * speed) : 0.0;
}

// Local extrema of y along the walk, recorded as arc lengths (trimmed ribbon).
struct Turns {
  bool on = false;
  int lastSign = 0;
  double lastLength = 0.0;
  void step(double dy, double lengthBefore) {
    int sign = dy > 0 ? 1 : dy < 0 ? -1 : 0;
    if (!on || sign == 0) return;
    if (lastSign != 0 && sign != lastSign && g_tables.cutCount < kMaxCuts)
      g_tables.cuts[g_tables.cutCount++] = lengthBefore;
    lastSign = sign;
  }
};

uint32_t g_failure = 0;
bool fail(uint32_t code) {
  ZO_REPORT(code, 1);
  g_failure = code;
  return false;
}

// One segment into the tables: its length, its arc-length entries and its curvature.
bool add_segment(const PathNode* n, uint32_t first, bool cubic, uint32_t index, Turns& turns) {
  WrapSegment* seg = push_segment();
  if (seg == nullptr) return fail(plat::kErrNoMemory);
  WrapTables& w = g_tables;
  seg->kind = cubic ? 1 : 0;
  seg->firstNode = first;
  seg->start = w.total;
  for (int k = 0; k < 4; ++k) seg->p[k] = to_db(n[first + (cubic ? k : (k == 0 ? 0 : 1))].pt);
  uint32_t arcsBefore = w.arcCount;
  double len = 0.0, kappa = 0.0;
  bool ok = push_arc(static_cast<float>(w.total), 0, index);
  if (!cubic) {
    len = distance(seg->p[0], seg->p[3]);
    turns.step(seg->p[3].y - seg->p[0].y, w.total);
    ok = ok && push_arc(static_cast<float>(w.total + len), 65535, index);
  } else {
    PointDB q[4];
    for (int k = 0; k < 4; ++k) q[k] = seg->p[k] * kWorkUnits;
    PointDB prev = q[0];
    StepLimits limits{40000.0, 20000.0, true, 4, 32768};
    forward_difference_cubic(q[0], q[1], q[2], q[3], limits, [&](PointDB pt, uint32_t t) {
      double before = w.total + len;
      len += distance(pt, prev) / kWorkUnits;
      turns.step(pt.y - prev.y, before);
      prev = pt;
      kappa = std::max(kappa, curvature_at(seg->p, std::min(1.0, t / 65536.0)));
      auto param = static_cast<uint32_t>(static_cast<uint64_t>(t) * 65535 / 65536);
      ok = ok && push_arc(static_cast<float>(w.total + len), param, index);
    });
    kappa = std::max(kappa, curvature_at(seg->p, 0.0));
  }
  if (!ok) return fail(plat::kErrNoMemory);
  seg->t0 = segment_tangent(*seg, 0.0);
  seg->t1 = segment_tangent(*seg, 1.0);
  seg->m0 = normal_of(seg->t0);
  seg->m1 = normal_of(seg->t1);
  if (len < kMinSegment) {
    plat::trace(cubic ? "- WrapMakeAFDTableAndSegInfo() warning: path segment [%d] length=0 "
                        "ignored, type = BEZR.\n"
                      : "- WrapMakeAFDTableAndSegInfo() warning: path segment [%d] length=0 "
                        "ignored, type = LINE.\n",
                static_cast<int>(index));
    w.arcCount = arcsBefore;
    seg->skip = 1;
    seg->firstEntry = seg->lastEntry = arcsBefore;
    return true;
  }
  seg->length = len;
  seg->q = subdivision_value(kappa);
  seg->firstEntry = arcsBefore;
  seg->lastEntry = w.arcCount - 1;
  w.total += len;
  return true;
}

bool walk_baseline(const ZoPath* b, Turns& turns) {
  const PathNode* n = nodes_of(b);
  for (uint32_t i = 1; i < b->count; ++i) {
    uint16_t kind = kind_of(n[i].type);
    if (kind != PT_LINETO && kind != PT_BEZIERTO) return fail(plat::kErrBadArgument);
  }
  uint32_t index = 0;
  for (uint32_t i = 0; i + 1 < b->count; ++index) {
    bool cubic = kind_of(n[i + 1].type) == PT_BEZIERTO;
    if (cubic && i + 3 >= b->count) return fail(plat::kErrBadArgument);  // a broken triple
    if (index > 0xFFFF) return fail(plat::kErrBadArgument);
    if (!add_segment(n, i, cubic, index, turns)) return false;
    i += cubic ? 3 : 1;
  }
  return true;
}

void finish_cuts(bool ribbon) {
  WrapTables& w = g_tables;
  if (!ribbon) {
    w.cutCount = 0;
    return;
  }
  for (uint32_t i = 0; i < w.cutCount; ++i) w.cuts[i] /= w.total;
  if (w.cutCount == 0 || w.cutCount % 2 == 1) w.cuts[w.cutCount++] = 1.0;
  plat::trace("[TrimmedRibbon]: %d y'=max/min points.\n", static_cast<int>(w.cutCount));
  for (uint32_t i = 0; i < w.cutCount; ++i)
    plat::trace("\tpoint[%02d]: T = %04d\n", static_cast<int>(i), static_cast<int>(w.cuts[i] * 10000));
}

}  // namespace

WrapTables& wrap_tables() { return g_tables; }

void release_wrap_tables() {
  plat::mem_free(g_tables.segs);
  plat::mem_free(g_tables.arcs);
  g_tables = WrapTables{};
}

uint32_t build_wrap_tables(const ZoPath* baseline, double scale, bool ribbon) {
  release_wrap_tables();
  g_scale = std::max(1.0, scale);
  if (baseline->count < 2) {
    ZO_REPORT(kErrShortBaseline, 1);
    return kErrShortBaseline;
  }
  Turns turns;
  turns.on = ribbon;
  if (!walk_baseline(baseline, turns)) {
    release_wrap_tables();
    return g_failure;  // reported where it happened
  }
  if (g_tables.total < kMinSegment) {
    plat::trace("- WrapMakeAFDTableAndSegInfo() error: path length too short.\n");
    ZO_REPORT(kErrShortBaseline, 1);
    release_wrap_tables();
    return kErrShortBaseline;
  }
  g_tables.open = is_closed(baseline) ? 0 : 1;
  finish_cuts(ribbon);
  return 0;
}

void mitre_corners(uint32_t cornerMode, bool closed) {
  WrapTables& w = g_tables;
  int32_t prev = -1, first = -1;
  auto join = [&](WrapSegment& a, WrapSegment& b) {
    if (dot(a.t1, b.t0) >= kCos5Degrees) return;
    PointDB sum = a.t1 + b.t0;
    PointDB t = length(sum) > 0.001 ? sum * (1.0 / length(sum)) : PointDB{0, 0};
    a.t1 = b.t0 = t;
    a.m1 = b.m0 = normal_of(t);
    a.corner = b.corner = cornerMode;
  };
  for (uint32_t i = 0; i < w.segCount; ++i) {
    if (w.segs[i].skip) continue;
    if (prev >= 0) join(w.segs[prev], w.segs[i]);
    if (first < 0) first = static_cast<int32_t>(i);
    prev = static_cast<int32_t>(i);
  }
  if (closed && prev >= 0 && prev != first) join(w.segs[prev], w.segs[first]);
  // A mitred straight segment turns its offsets from one mitre to the other: subdivide
  // source curves over it as over a curve turning by that angle.
  for (uint32_t i = 0; i < w.segCount; ++i) {
    WrapSegment& s = w.segs[i];
    if (s.skip || s.kind != 0 || s.corner == 0) continue;
    double turn = std::fabs(std::atan2(cross(s.m0, s.m1), dot(s.m0, s.m1)));
    s.q = std::max(s.q, subdivision_value(turn / s.length));
  }
}

PointDB segment_tangent(const WrapSegment& seg, double t) {
  const PointDB* p = seg.p;
  auto pick = [](std::initializer_list<PointDB> candidates) {
    for (PointDB c : candidates)
      if (length(c) > 0.0001) return c * (1.0 / length(c));
    plat::trace("- WrapGetPathTangent() warning: zero vector returned.\n");
    return PointDB{0, 0};
  };
  if (seg.kind == 0) return pick({p[3] - p[0]});
  if (t < 0.0001) return pick({p[1] - p[0], p[2] - p[0], p[3] - p[0]});
  if (t > 0.9999) return pick({p[3] - p[2], p[3] - p[1], p[3] - p[0]});
  double s = 1.0 - t;
  return pick({(p[1] - p[0]) * (3 * s * s) + (p[2] - p[1]) * (6 * s * t) + (p[3] - p[2]) * (3 * t * t)});
}

BaselinePoint locate(double s) {
  const WrapTables& w = g_tables;
  const double L = w.total;
  if (!w.open && (s > L + 0.0001 || s < 0.0)) s -= std::floor(s / L) * L;
  if (w.open && (s > L + 0.0001 || s < 0.0)) {
    bool after = s > L;
    const WrapSegment* end = nullptr;
    for (uint32_t i = 0; i < w.segCount; ++i) {
      const WrapSegment& c = w.segs[after ? w.segCount - 1 - i : i];
      if (!c.skip) {
        end = &c;
        break;
      }
    }
    PointDB from = after ? end->p[3] : end->p[0], tangent = after ? end->t1 : end->t0;
    double beyond = after ? s - L : s;
    return BaselinePoint{-1, after ? 1.0 : 0.0, from + tangent * beyond, tangent};
  }
  // The last entry at or before s, and the one after it.
  uint32_t lo = 0, hi = w.arcCount - 1;
  while (lo < hi) {
    uint32_t mid = (lo + hi + 1) / 2;
    if (w.arcs[mid].length <= s) lo = mid;
    else hi = mid - 1;
  }
  const ArcEntry& a = w.arcs[lo];
  double t = a.param / 65535.0;
  if (lo + 1 < w.arcCount && w.arcs[lo + 1].segment == a.segment &&
      w.arcs[lo + 1].length > a.length) {
    const ArcEntry& b = w.arcs[lo + 1];
    double f = std::clamp((s - a.length) / (b.length - a.length), 0.0, 1.0);
    t = (a.param + (b.param - a.param) * f) / 65535.0;
  }
  const WrapSegment& seg = w.segs[a.segment];
  PointDB point;
  if (seg.kind == 0) {
    point = seg.p[0] + (seg.p[3] - seg.p[0]) * t;
  } else {
    double u = 1.0 - t;
    point = seg.p[0] * (u * u * u) + seg.p[1] * (3 * u * u * t) + seg.p[2] * (3 * u * t * t) +
            seg.p[3] * (t * t * t);
  }
  return BaselinePoint{a.segment, t, point, segment_tangent(seg, t)};
}

uint32_t subdivision_at(double s) {
  BaselinePoint b = locate(s);
  if (b.seg < 0) return 1;
  double q = g_tables.segs[b.seg].q;
  auto n = static_cast<int>(std::log10(std::max(1.0, 10.0 * q)) / 0.30103 + 0.9999);
  return static_cast<uint32_t>(std::clamp(1 << std::clamp(n, 0, 5), 1, 32));
}

}  // namespace zo::deform
