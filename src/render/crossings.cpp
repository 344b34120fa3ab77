#include "crossings.hpp"

#include <algorithm>
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

EdgeTable::~EdgeTable() { plat::mem_free(edges_); }

uint32_t EdgeTable::band_count() const { return (pixelLines_ + bandPixels_ - 1) / bandPixels_; }

void EdgeTable::begin_band(uint32_t index) {
  bandTop_ = index * bandPixels_;
  bandRows_ = std::min(bandPixels_, pixelLines_ - bandTop_);
  firstG_ = static_cast<double>(first_line() + 1);
  lastG_ = static_cast<double>(first_line() + band_lines());
  count_ = 0;
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
      if (curve_reaches_band(vmin, vmax)) {
        forward_difference_cubic(PointDB{current.u, current.v}, c1, c2, end, kFlatten, line_to);
      } else {
        move_to(end);
      }
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

// Scratch of the walk, per edge of the band: the running entry, its crossing in original
// order and room to sort (index, crossing) pairs; then the band's list array.
constexpr size_t kEdgeScratch = 8 * sizeof(double);

}  // namespace

size_t CrossingWalk::scratch_bytes(const EdgeTable& table) {
  return size_t{table.count()} * kEdgeScratch +
         (size_t{table.band_lines()} + 1 + table.count()) * sizeof(uint32_t);
}

CrossingWalk::CrossingWalk(const EdgeTable& table, double limit)
    : table_(table), limit_(limit), step_(1.0 / table.samples()) {
  static_assert(sizeof(Active) + 3 * sizeof(double) <= kEdgeScratch);
}

void CrossingWalk::begin_band(void* scratch) {
  const uint32_t n = table_.count();
  auto* bytes = static_cast<char*>(scratch);
  active_ = reinterpret_cast<Active*>(bytes);
  values_ = reinterpret_cast<double*>(bytes + size_t{n} * sizeof(Active));
  scratch_ = values_ + n;
  lineStart_ = reinterpret_cast<uint32_t*>(bytes + size_t{n} * kEdgeScratch);
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
  for (uint32_t e = 0; e < n; ++e) ++lineStart_[line_of(e)];
  for (uint32_t j = 1; j < lineCount_; ++j) lineStart_[j] += lineStart_[j - 1];  // bucket ends
  lineStart_[lineCount_] = n;
  for (uint32_t e = n; e-- > 0;) starts_[--lineStart_[line_of(e)]] = e;
}

// Edges whose first line is line g of the band join the running ones.
void CrossingWalk::add_fresh(double g, uint32_t from, uint32_t to, uint32_t* count) const {
  const Edge* edges = table_.edges();
  for (uint32_t k = from; k < to; ++k) {
    const Edge& e = edges[starts_[k]];
    Active a;
    a.u = e.u0 + (g * step_ - e.v0) * e.slope;
    a.du = e.slope * step_;
    a.key = std::clamp(a.u, 0.0, limit_);
    a.last = e.last;
    a.index = starts_[k];
    a.negative = e.sign < 0 ? 1u : 0u;
    merge_in(a, count);
  }
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
