#include "crossings.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "geometry/fixed_point.hpp"
#include "geometry/forward_diff.hpp"
#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

namespace zo::render {

namespace {

// Moves a coordinate off the sample grid: no vertex may lie on a sample line.
double off_grid(double v, double samples) {
  double scaled = v * samples;
  return scaled == std::floor(scaled) ? v + 1e-5 : v;
}

// Flattening threshold: a chord moves at most 60000/65536 of a pixel on either axis.
constexpr StepLimits kFlatten{60000.0 / 65536.0, -1.0, true};

constexpr size_t kFirstEdges = 64;

bool less_abs(double a, double b) { return std::fabs(a) < std::fabs(b); }

}  // namespace

// ---- Edge table ----

EdgeTable::EdgeTable(uint32_t samplesPerPixel, uint32_t pixelLines, uint32_t bandPixels)
    : samples_(samplesPerPixel),
      pixelLines_(pixelLines),
      bandPixels_(std::max<uint32_t>(bandPixels, 1)) {}

EdgeTable::~EdgeTable() {
  plat::mem_free(edges_);
  resumes_.release();
  bandResumes_.release();
  reach_.release();
  newReach_.release();
}

template <typename T>
bool EdgeTable::List<T>::reserve(uint32_t wanted) {
  if (wanted <= capacity) return true;
  const uint32_t grown = std::max({16u, capacity * 2, wanted});
  void* block = plat::mem_realloc(items, size_t{grown} * sizeof(T), 0);
  if (block == nullptr) return false;
  items = static_cast<T*>(block);
  capacity = grown;
  return true;
}

template <typename T>
bool EdgeTable::List<T>::push(const T& item) {
  if (!reserve(count + 1)) return false;
  items[count++] = item;
  return true;
}

template <typename T>
void EdgeTable::List<T>::release() {
  plat::mem_free(items);
  *this = List{};
}

uint32_t EdgeTable::band_count() const { return (pixelLines_ + bandPixels_ - 1) / bandPixels_; }

void EdgeTable::begin_band(uint32_t index) {
  bandTop_ = index * bandPixels_;
  bandRows_ = std::min(bandPixels_, pixelLines_ - bandTop_);
  firstG_ = static_cast<double>(first_line() + 1);
  lastG_ = static_cast<double>(first_line() + band_lines());
  count_ = 0;
  prepare_resumes();
}

// The band of a device ordinate: pixel lines [index·bandPixels, (index + 1)·bandPixels).
uint32_t EdgeTable::band_of(double v) const {
  const double band = std::floor(v / bandPixels_);
  const double lastBand = band_count() - 1.0;
  return static_cast<uint32_t>(band < 0.0 ? 0.0 : band > lastBand ? lastBand : band);
}

// At the start of a band: its resume points sorted by curve; reach lists merged, keeping the
// curves whose chords come near this band or a later one.
void EdgeTable::prepare_resumes() {
  resumeAt_ = reachAt_ = 0;
  curve_ = 0;
  bandResumes_.count = 0;
  if (!resumesOk_) return;
  const uint32_t band = bandTop_ / bandPixels_;
  uint32_t kept = 0;
  for (uint32_t i = 0; i < resumes_.count; ++i) {
    const Resume& r = resumes_.items[i];
    if (r.band > band) {
      resumes_.items[kept++] = r;
    } else if (r.band == band && !bandResumes_.push(r)) {
      resumesOk_ = false;
    }
  }
  resumes_.count = kept;
  std::sort(bandResumes_.items, bandResumes_.items + bandResumes_.count,
            [](const Resume& a, const Resume& b) { return a.curve < b.curve; });
  // Both reach lists are sorted by curve: merged in place from the back.
  const uint32_t total = reach_.count + newReach_.count;
  resumesOk_ = reach_.reserve(total);
  if (!resumesOk_) return;
  for (uint32_t i = reach_.count, j = newReach_.count, k = total; j > 0;) {
    const bool takeNew = i == 0 || reach_.items[i - 1].curve < newReach_.items[j - 1].curve;
    reach_.items[--k] = takeNew ? newReach_.items[--j] : reach_.items[--i];
  }
  reach_.count = total;
  newReach_.count = 0;
  kept = 0;
  for (uint32_t i = 0; i < reach_.count; ++i) {
    if (reach_.items[i].hi >= band) reach_.items[kept++] = reach_.items[i];
  }
  reach_.count = kept;
}

// Walks one curve's chords for the band: from the resume point an earlier band's walk left
// for it, and only until the rest of the curve's control polygon lies wholly above or below
// the band (the walk then moves to the end point, where it would have landed). On the way it
// leaves resume points for the later bands its chords come near first. The chords are the
// walk's own, so the band gets the same edges as from a walk over the whole curve: the chords
// before a resume point never come near its band, and every chord before a curve's first
// resume point was walked by the earlier bands (which is what makes it the first).
template <typename LineTo, typename MoveTo>
void EdgeTable::walk_curve(PointDB p0, PointDB p1, PointDB p2, PointDB p3, LineTo&& line_to,
                           MoveTo&& move_to) {
  const double top = bandTop_, bottom = static_cast<double>(bandTop_) + bandRows_;
  const uint32_t band = bandTop_ / bandPixels_;
  const double highest = std::max({std::fabs(p0.y), std::fabs(p1.y), std::fabs(p2.y), std::fabs(p3.y)});
  // Forward differences drift from the curve by rounding: a margin far above that drift.
  const double margin = 1e-6 * (1.0 + highest);
  // The curve's resume point and reach, unless they cannot be kept (then it starts afresh).
  const Resume* resume = nullptr;
  Reach* reach = nullptr;
  Reach fresh{curve_, UINT32_MAX, 0};
  const bool tracked = resumesOk_ && std::isfinite(highest) &&
                       std::isfinite(p0.x + p1.x + p2.x + p3.x) && band_count() > 1;
  if (tracked) {
    while (resumeAt_ < bandResumes_.count && bandResumes_.items[resumeAt_].curve < curve_)
      ++resumeAt_;
    if (resumeAt_ < bandResumes_.count && bandResumes_.items[resumeAt_].curve == curve_)
      resume = &bandResumes_.items[resumeAt_];
    while (reachAt_ < reach_.count && reach_.items[reachAt_].curve < curve_) ++reachAt_;
    if (reachAt_ < reach_.count && reach_.items[reachAt_].curve == curve_) {
      reach = &reach_.items[reachAt_];
    } else {
      reach = &fresh;
      resume = nullptr;  // a walk from the start sees the curve's first chords
    }
  }
  CubicSteps steps = resume != nullptr ? resume->steps : CubicSteps(p0, p1, p2, p3, kFlatten);
  if (resume != nullptr) move_to(steps.point());
  // Chords within the bands already reached need no bookkeeping: [near, far) in ordinates.
  double near = 0.0, far = -1.0;
  auto settle = [&] {
    if (reach->lo > reach->hi) return;
    near = static_cast<double>(reach->lo) * bandPixels_ + 1e-4;
    far = (reach->hi + 1.0) * bandPixels_ - 1e-4;
  };
  if (reach != nullptr) settle();
  uint32_t outside = 0;
  while (!steps.done()) {
    const double from = steps.point().y;
    PointDB to;
    if (reach != nullptr && !(from > near + 1.0 && from < far - 1.0)) {
      const CubicSteps before = steps;
      to = steps.next();
      if (!(std::min(from, to.y) >= near && std::max(from, to.y) < far)) {
        // The bands this chord comes near, a hair wider than its ends (the off-grid shift).
        const uint32_t lo = band_of(std::min(from, to.y) - 1e-4);
        const uint32_t hi = band_of(std::max(from, to.y) + 1e-4);
        for (uint32_t j = std::max(lo, band + 1); j <= hi && resumesOk_; ++j) {
          if (j < reach->lo || j > reach->hi) resumesOk_ = resumes_.push(Resume{curve_, j, before});
        }
        reach->lo = std::min(reach->lo, lo);
        reach->hi = std::max(reach->hi, hi);
        settle();
      }
    } else {
      to = steps.next();
      if (reach != nullptr && !(std::min(from, to.y) >= near && std::max(from, to.y) < far)) {
        resumesOk_ = false;  // a chord longer than a pixel (a degenerate curve): stop keeping
        reach = nullptr;     // resume points, later walks start at their curves' beginnings
      }
    }
    line_to(to);
    if (to.y > top && to.y < bottom) {
      outside = 0;
      continue;
    }
    if (outside++ % 8 != 0 || steps.done()) continue;
    // The rest of the curve, from t, by de Casteljau on the ordinates.
    const double t = steps.t() / 65536.0;
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    const double y01 = mix(p0.y, p1.y), y12 = mix(p1.y, p2.y), y23 = mix(p2.y, p3.y);
    const double y012 = mix(y01, y12), y123 = mix(y12, y23), y0123 = mix(y012, y123);
    const double lo = std::min({y0123, y123, y23, p3.y}), hi = std::max({y0123, y123, y23, p3.y});
    if (lo > bottom + margin || hi < top - margin) break;
  }
  if (reach == &fresh && fresh.lo <= fresh.hi && resumesOk_) resumesOk_ = newReach_.push(fresh);
  if (!steps.done()) move_to(p3);  // no chord left reaches the band
}

bool EdgeTable::grow(size_t bytes) {
  if (bytes <= bytes_) return true;
  void* grown = plat::mem_realloc(edges_, bytes, 0);
  if (grown == nullptr) return false;
  edges_ = static_cast<Edge*>(grown);
  bytes_ = bytes;
  return true;
}

void* EdgeTable::tail(size_t bytes) {
  size_t at = size_t{count_} * sizeof(Edge);
  if (!grow(at + std::max<size_t>(bytes, 16))) return nullptr;
  return reinterpret_cast<char*>(edges_) + at;
}

EdgeTable::Vertex EdgeTable::vertex(double u, double v) const {
  const double n = samples_;
  Vertex p;
  p.u = u;
  p.v = v;
  p.finite = std::isfinite(u) && std::isfinite(v);
  p.su = off_grid(u, n);
  // As off_grid, keeping ⌊v·n⌋: a product that is not whole has ⌈v·n⌉ = ⌊v·n⌋ + 1.
  double scaled = v * n, whole = std::floor(scaled);
  if (scaled == whole) {
    p.sv = v + 1e-5;
    p.line = std::ceil(p.sv * n);
  } else {
    p.sv = v;
    p.line = whole + 1.0;
  }
  return p;
}

// One edge from a to b, v the sampled axis: it crosses every sample line g·step with
// min(v) <= g·step < max(v), and is kept for the lines of the band among them. The half-open
// rule counts a line through a shared vertex once even if the off-grid shift was lost to
// rounding.
bool EdgeTable::add_edge(const Vertex& a, const Vertex& b) {
  if (a.v == b.v || !a.finite || !b.finite) return true;
  // ⌈min(v)·n⌉ and ⌈max(v)·n⌉ − 1, from each end's own ⌈v·n⌉.
  double first = std::max(std::min(a.line, b.line), firstG_);
  double last = std::min(std::max(a.line, b.line) - 1.0, lastG_);
  if (first > last) return true;
  if (size_t{count_ + 1} * sizeof(Edge) > bytes_) {
    if (!grow(std::max<size_t>(kFirstEdges, size_t{count_} * 2) * sizeof(Edge))) return false;
  }
  const bool down = b.sv > a.sv;
  edges_[count_++] =
      Edge{a.su, a.sv, (b.su - a.su) / (b.sv - a.sv), down ? 1.0 : -1.0, first, last};
  return true;
}

// Whether a curve whose control polygon spans [vmin, vmax] can cross the band: a curve lies
// inside its control polygon, and a band the polygon misses gets no crossing from it, even
// where rounding moves a chord end a hair past the polygon. The band spans v in
// [top, top + rows], all exact in doubles; the comparisons keep a polygon that only touches
// the band's ends.
bool EdgeTable::curve_reaches_band(double vmin, double vmax) const {
  if (std::isnan(vmin) || std::isnan(vmax)) return true;
  const double top = bandTop_, bottom = static_cast<double>(bandTop_) + bandRows_;
  return vmax >= top && vmin <= bottom;
}

bool EdgeTable::add_record(const ZoPath* record, const DeviceMap& map, bool columns) {
  const PathNode* nodes = nodes_of(record);
  auto device = [&](Ptfx p) {
    PointDB d{fix_to_db(p.x) * map.scale + map.offsetX, fix_to_db(p.y) * map.scale + map.offsetY};
    return columns ? PointDB{d.y, d.x} : d;  // (u, v): v is the sampled axis
  };
  // Most chords of a long curve miss the band: the current point is kept as mapped, and its
  // grid fields are worked out only when an edge of the band starts there.
  Vertex current{}, figureStart{};
  bool settled = false, open = false, ok = true;
  auto move_to = [&](PointDB to) {
    current.u = to.x;
    current.v = to.y;
    settled = false;
  };
  auto edge_to = [&](const Vertex& next) {
    if (!settled) current = vertex(current.u, current.v);
    ok = ok && add_edge(current, next);
    current = next;
    settled = true;
  };
  const double n = samples_;
  auto line_to = [&](PointDB to) {
    // An end's first line ⌈v·n⌉ lies in [v·n, v·n + 1]: with both ends before the band's
    // first line, or both past its last, the edge crosses none of the band's lines.
    const double a = current.v * n, b = to.y * n;
    if ((a < firstG_ && b < firstG_) || (a > lastG_ && b > lastG_)) {
      move_to(to);
      return;
    }
    edge_to(vertex(to.x, to.y));
  };
  auto close_figure = [&] {
    if (open && (current.u != figureStart.u || current.v != figureStart.v)) edge_to(figureStart);
    open = false;
  };
  for (uint32_t i = 0; i < record->count && ok;) {
    uint16_t type = nodes[i].type;
    uint16_t kind = type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO) {
      close_figure();
      PointDB p = device(nodes[i].pt);
      current = figureStart = vertex(p.x, p.y);
      settled = open = true;
      ++i;
    } else if (kind == PT_LINETO) {
      line_to(device(nodes[i].pt));
      ++i;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= record->count) break;
      PointDB c1 = device(nodes[i].pt), c2 = device(nodes[i + 1].pt), end = device(nodes[i + 2].pt);
      // A curve that misses the band only moves on: flattening lands exactly on its end.
      double vmin = std::min({current.v, c1.y, c2.y, end.y});
      double vmax = std::max({current.v, c1.y, c2.y, end.y});
      if (curve_reaches_band(vmin, vmax) && band_count() == 1) {
        forward_difference_cubic(PointDB{current.u, current.v}, c1, c2, end, kFlatten, line_to);
      } else if (curve_reaches_band(vmin, vmax)) {
        walk_curve(PointDB{current.u, current.v}, c1, c2, end, line_to, move_to);
      } else {
        move_to(end);
      }
      ++curve_;
      i += 3;
    } else if (kind == PT_PARAM_PAIR || kind == PT_PARAM_PAIR2) {
      i += 2;
    } else {
      ++i;
    }
  }
  close_figure();
  return ok;
}

// ---- The walk along the sample lines ----

namespace {

// Scratch of the walk, per edge of the band: the running entry; its crossing in original
// order and room to sort (index, crossing) pairs, or (for whole rows) its row entry, its
// group and its place in a row's order; then the band's list array.
constexpr size_t kLineScratch = 3 * sizeof(double);
constexpr size_t kRowScratch = 9 * sizeof(double);

}  // namespace

size_t CrossingWalk::scratch_bytes(const EdgeTable& table) const {
  return size_t{table.count()} * edge_scratch() +
         (size_t{table.band_lines()} + 1 + table.count()) * sizeof(uint32_t);
}

size_t CrossingWalk::edge_scratch() const {
  return sizeof(Active) + (wholeRows_ ? kRowScratch + sizeof(Group) + sizeof(uint32_t)
                                      : kLineScratch);
}

CrossingWalk::CrossingWalk(const EdgeTable& table, double limit, bool wholeRows)
    : table_(table), limit_(limit), step_(1.0 / table.samples()), wholeRows_(wholeRows) {
  static_assert(sizeof(RowEdge) <= kRowScratch && kLineScratch <= kRowScratch);
  static_assert(sizeof(Active) % 8 == 0 && (kRowScratch + sizeof(Group) + 4) % 4 == 0);
}

void CrossingWalk::begin_band(void* scratch) {
  const uint32_t n = table_.count();
  auto* bytes = static_cast<char*>(scratch);
  active_ = reinterpret_cast<Active*>(bytes);
  values_ = reinterpret_cast<double*>(bytes + size_t{n} * sizeof(Active));
  scratch_ = values_ + n;
  rowEdges_ = wholeRows_ ? reinterpret_cast<RowEdge*>(values_) : nullptr;
  groups_ = wholeRows_ ? reinterpret_cast<Group*>(bytes + size_t{n} * (sizeof(Active) + kRowScratch))
                       : nullptr;
  order_ = wholeRows_ ? reinterpret_cast<uint32_t*>(groups_ + n) : nullptr;
  lineStart_ = reinterpret_cast<uint32_t*>(bytes + size_t{n} * edge_scratch());
  lineCount_ = table_.band_lines();
  starts_ = lineStart_ + lineCount_ + 1;
  firstLine_ = table_.first_line();
  line_ = 0;
  activeCount_ = 0;
  // The band's list array: its edges bucketed by the line where they start (the band's first
  // line for those running on from above, which restart their steps there).
  const Edge* edges = table_.edges();
  std::memset(lineStart_, 0, (size_t{lineCount_} + 1) * sizeof(uint32_t));
  auto line_of = [&](uint32_t e) {
    return static_cast<uint32_t>(static_cast<int64_t>(edges[e].first) - firstLine_ - 1);
  };
  uint32_t lowest = lineCount_, highest = 0;
  for (uint32_t e = 0; e < n; ++e) {
    const uint32_t line = line_of(e);
    ++lineStart_[line];
    lowest = std::min(lowest, line);
    highest = std::max(highest, line);
  }
  // Bucket ends: summed over the lines where edges start, all edges after the last of them.
  for (uint32_t j = lowest + 1; j <= highest; ++j) lineStart_[j] += lineStart_[j - 1];
  if (n != 0) std::fill(lineStart_ + highest + 1, lineStart_ + lineCount_ + 1, n);
  for (uint32_t e = n; e-- > 0;) starts_[--lineStart_[line_of(e)]] = e;
}

// An edge starting on global line g: its crossing there, computed from the edge's origin.
CrossingWalk::Active CrossingWalk::start(const Edge& e, double g, uint32_t index) const {
  Active a;
  a.u = e.u0 + (g * step_ - e.v0) * e.slope;
  a.du = e.slope * step_;
  a.key = std::clamp(a.u, 0.0, limit_);
  a.last = e.last;
  a.index = index;
  a.negative = e.sign < 0 ? 1u : 0u;
  return a;
}

// Edges whose first line is line g of the band join the running ones.
void CrossingWalk::add_fresh(double g, uint32_t from, uint32_t to, uint32_t* count) const {
  const Edge* edges = table_.edges();
  for (uint32_t k = from; k < to; ++k) merge_in(start(edges[starts_[k]], g, starts_[k]), count);
}

// ---- Whole pixel rows, edge by edge ----

// On one sample line the spans come from the crossings in order; a crossing opens a span or
// closes one. Where each edge keeps that role on every line of a pixel row, the row's
// coverage is the sum over edges of their crossings' cells, in any order. The test here
// proves it cheaply or gives up: the edges' abscissa ranges over the row are sorted and
// overlapping ones grouped; different groups never meet on any line, so on every line the
// crossings come in group order. A group may cross each line once only (so within a group no
// two edges meet on a line), and for the non-zero rule its edges all run the same way. Then
// on every line the groups present must alternate opening and closing, starting with
// opening (non-zero: with alternating directions, so the winding is 0 or the same ±1), and
// each group must keep its role from line to line.
uint32_t CrossingWalk::plan_row(uint32_t lines, bool evenOdd) {
  if (!wholeRows_ || lines > 16 || line_ + lines > lineCount_) return kNeedsLines;
  const double g0 = static_cast<double>(firstLine_ + 1 + line_);
  const double limit = limit_;
  uint32_t n = 0;
  bool sorted = true, finite = true;
  double previous = 0.0;
  auto add = [&](double u, double du, double last, uint32_t index, uint32_t negative,
                 uint32_t first) __attribute__((always_inline)) {
    RowEdge& r = rowEdges_[n];
    r.u = u;
    r.du = du;
    r.last = last;
    r.index = index;
    r.negative = negative;
    r.first = first;
    r.count = static_cast<uint32_t>(std::min<double>(lines - first, last - (g0 + first) + 1.0));
    r.end = u + (r.count - 1.0) * du;
    const double lo = std::min(u, r.end), hi = std::max(u, r.end);
    const double slack = 1e-9 * (1.0 + std::fabs(lo) + std::fabs(hi));
    r.lo = std::clamp(lo - slack, 0.0, limit);
    r.hi = std::clamp(hi + slack, 0.0, limit);
    finite = finite && r.lo <= r.hi;  // false for a NaN
    sorted = sorted && previous <= r.lo;
    previous = r.lo;
    order_[n] = n;
    ++n;
  };
  for (uint32_t i = 0; i < activeCount_; ++i) {
    const Active& a = active_[i];
    if (a.last >= g0) add(a.u + a.du, a.du, a.last, a.index, a.negative, 0);
  }
  const Edge* edges = table_.edges();
  for (uint32_t s = lineStart_[line_], end = lineStart_[line_ + lines], k = 0; s < end; ++s) {
    while (s >= lineStart_[line_ + k + 1]) ++k;  // the line where entry s starts
    const Edge& e = edges[starts_[s]];
    const double g = g0 + k;
    add(e.u0 + (g * step_ - e.v0) * e.slope, e.slope * step_, e.last, starts_[s],
        e.sign < 0 ? 1u : 0u, k);
  }
  if (!finite) return kNeedsLines;
  // In order of where their ranges begin (the order of the line above, mostly).
  if (!sorted) {
    for (uint32_t i = 1; i < n; ++i) {
      const uint32_t e = order_[i];
      const double lo = rowEdges_[e].lo;
      uint32_t k = i;
      for (; k > 0 && rowEdges_[order_[k - 1]].lo > lo; --k) order_[k] = order_[k - 1];
      order_[k] = e;
    }
  }
  // Overlapping ranges form one group; so do neighbours running the same way on lines of
  // their own (the chords of one side of a figure), which changes no line's sequence.
  uint32_t groups = 0;
  double reach = -1.0;
  for (uint32_t i = 0; i < n; ++i) {
    RowEdge& r = rowEdges_[order_[i]];
    const uint32_t bits = ((1u << r.count) - 1u) << r.first;
    Group* g = groups > 0 ? &groups_[groups - 1] : nullptr;
    const bool overlaps = g != nullptr && r.lo <= reach;
    const bool apart = g != nullptr && (g->lines & bits) == 0;
    const bool sameWay = g != nullptr && g->negative == r.negative;
    if (overlaps && !(apart && (evenOdd || sameWay))) return kNeedsLines;
    if (overlaps || (apart && sameWay)) {
      g->lines |= bits;
      reach = std::max(reach, r.hi);
    } else {
      groups_[groups++] = Group{bits, r.negative};
      reach = r.hi;
    }
    r.group = groups - 1;
  }
  if (!assign_roles(groups, lines, evenOdd)) return kNeedsLines;
  for (uint32_t i = 0; i < n; ++i) {
    RowEdge& r = rowEdges_[i];
    r.role = groups_[r.group].lines >> 31 != 0 ? -1 : 1;
  }
  return n;
}

// Gives every group its role (kept in bit 31 of its lines: set for closing), or false.
bool CrossingWalk::assign_roles(uint32_t groups, uint32_t lines, bool evenOdd) {
  const uint32_t all = (1u << lines) - 1u;
  bool whole = true;
  for (uint32_t j = 0; j < groups; ++j) whole = whole && groups_[j].lines == all;
  if (whole) {  // every group on every line: one check for the row
    if (groups % 2 != 0) return false;
    for (uint32_t j = 0; j < groups; ++j) {
      if (!evenOdd && groups_[j].negative != (groups_[0].negative ^ (j & 1u))) return false;
      if ((j & 1u) != 0) groups_[j].lines |= 1u << 31;
    }
    return true;
  }
  constexpr uint32_t kAssigned = 1u << 30;
  // The groups present change only where one begins or ends: those lines are checked.
  uint32_t changes = 1u;
  for (uint32_t j = 0; j < groups; ++j) changes |= (groups_[j].lines ^ (groups_[j].lines << 1)) & all;
  while (changes != 0) {
    const uint32_t k = static_cast<uint32_t>(std::countr_zero(changes));
    changes &= changes - 1;
    uint32_t position = 0, firstNegative = 0;
    for (uint32_t j = 0; j < groups; ++j) {
      Group& g = groups_[j];
      if ((g.lines >> k & 1u) == 0) continue;
      const uint32_t parity = position & 1u;
      if (position == 0) firstNegative = g.negative;
      if (!evenOdd && g.negative != (firstNegative ^ parity)) return false;
      const uint32_t role = parity << 31;
      if ((g.lines & kAssigned) == 0) {
        g.lines |= kAssigned | role;
      } else if ((g.lines & (1u << 31)) != role) {
        return false;
      }
      ++position;
    }
    if ((position & 1u) != 0) return false;
  }
  return true;
}

// The edges that run on below the row become the running ones, sorted as advance() keeps them.
void CrossingWalk::finish_row(uint32_t count, uint32_t lines) {
  const double next = static_cast<double>(firstLine_ + 1 + line_ + lines);
  uint32_t n = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const RowEdge& r = rowEdges_[i];
    if (r.last < next) continue;
    Active a;
    a.u = r.end;
    a.du = r.du;
    a.key = std::clamp(r.u, 0.0, limit_);
    a.last = r.last;
    a.index = r.index;
    a.negative = r.negative;
    merge_in(a, &n);
  }
  activeCount_ = n;
  line_ += lines;
}

// A long line (more than 32 crossings) takes the library sort of its crossings in path order,
// which is not stable: when two crossings tie in absolute value with opposite signs, their
// order is the one that sort gives. Ties of equal values need nothing.
bool CrossingWalk::has_opposite_ties(uint32_t count) const {
  for (uint32_t i = 1; i < count; ++i) {
    if (active_[i].key == active_[i - 1].key) {
      double x = active_[i].negative != 0 ? -active_[i].key : active_[i].key;
      double y = active_[i - 1].negative != 0 ? -active_[i - 1].key : active_[i - 1].key;
      if (std::signbit(x) != std::signbit(y)) return true;
    }
  }
  return false;
}

// The library sort of the line's crossings taken in path order.
const double* CrossingWalk::exact_order(uint32_t count) {
  struct Pair {
    uint32_t index;
    double value;
  };
  auto* pairs = reinterpret_cast<Pair*>(scratch_);
  for (uint32_t i = 0; i < count; ++i) {
    const Active& a = active_[i];
    pairs[i] = Pair{a.index, a.negative != 0 ? -a.key : a.key};
  }
  std::sort(pairs, pairs + count, [](const Pair& a, const Pair& b) { return a.index < b.index; });
  for (uint32_t i = 0; i < count; ++i) values_[i] = pairs[i].value;
  std::sort(values_, values_ + count, less_abs);
  return values_;
}

}  // namespace zo::render
