#include "crossings.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/fixed_point.hpp"
#include "model/forward_diff.hpp"
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
      bandPixels_(std::max<uint32_t>(bandPixels, 1)),
      totalLines_(pixelLines * samplesPerPixel) {}

EdgeTable::~EdgeTable() { plat::mem_free(edges_); }

bool EdgeTable::grow(size_t bytes) {
  if (bytes <= bytes_) return true;
  void* grown = plat::mem_realloc(edges_, bytes, 0);
  if (grown == nullptr) return false;
  edges_ = static_cast<Edge*>(grown);
  bytes_ = bytes;
  return true;
}

void EdgeTable::expect(const ZoPath* record, double scale) {
  const PathNode* nodes = nodes_of(record);
  expected_ += 2;  // closing edges
  for (uint32_t i = 0; i < record->count; ++i) {
    uint16_t kind = nodes[i].type & PT_KIND_PARAM_MASK;
    if (kind != PT_BEZIERTO || i == 0 || i + 2 >= record->count) {
      ++expected_;
      continue;
    }
    // Flattening halves the step until a chord moves less than a pixel: about the control
    // polygon's longest leg, three times, in pixels, rounded up to a power of two.
    double leg = 0;
    for (uint32_t k = 0; k < 3; ++k) {
      const Ptfx& p = nodes[i + k - 1].pt;
      const Ptfx& q = nodes[i + k].pt;
      leg = std::max({leg, std::fabs(fix_to_db(q.x) - fix_to_db(p.x)),
                      std::fabs(fix_to_db(q.y) - fix_to_db(p.y))});
    }
    double chords = std::min(3.0 * leg * scale, 4096.0);
    size_t n = 4;
    while (static_cast<double>(n) < chords) n *= 2;
    expected_ += n;
    i += 2;
  }
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
// min(v) <= g·step < max(v). The half-open rule counts a line through a shared vertex once
// even if the off-grid shift was lost to rounding.
bool EdgeTable::add_edge(const Vertex& a, const Vertex& b) {
  if (a.v == b.v || !a.finite || !b.finite) return true;
  // ⌈min(v)·n⌉ and ⌈max(v)·n⌉ − 1, from each end's own ⌈v·n⌉.
  double first = std::max(std::min(a.line, b.line), curveFirst_);
  double last = std::min(std::max(a.line, b.line) - 1.0, curveLast_);
  if (std::max(first, 1.0) > std::min(last, static_cast<double>(totalLines_))) return true;
  if (size_t{count_ + 1} * sizeof(Edge) > bytes_) {
    size_t want = std::max<size_t>({kFirstEdges, expected_, size_t{count_} * 2}) * sizeof(Edge);
    if (!grow(want)) return false;
  }
  const bool down = b.sv > a.sv;
  edges_[count_++] =
      Edge{a.su, a.sv, (b.su - a.su) / (b.sv - a.sv), down ? 1.0 : -1.0, first, last};
  return true;
}

// The sample lines of the bands a curve's control polygon reaches: a band that the polygon
// misses gets no crossing from the curve, even where rounding moves a chord end a hair past
// the polygon.
void EdgeTable::limit_to_curve(double vmin, double vmax) {
  curveFirst_ = -INFINITY;
  curveLast_ = INFINITY;
  if (std::isnan(vmin) || std::isnan(vmax)) return;
  if (pixelLines_ <= bandPixels_) {  // one band: [0, H]
    if (vmax < 0.0 || vmin > static_cast<double>(pixelLines_)) curveFirst_ = INFINITY;
    return;
  }
  // Band k spans v in [k·B, min((k + 1)·B, H)], all exact in doubles.
  const double B = bandPixels_, H = pixelLines_;
  const uint32_t bands = (pixelLines_ + bandPixels_ - 1) / bandPixels_;
  auto bandLo = [&](uint32_t k) { return k * B; };
  auto bandHi = [&](uint32_t k) { return std::min((k + 1) * B, H); };
  // First band whose top end reaches vmin, last whose bottom end stays within vmax.
  double guess = std::clamp(std::floor(vmin / B), 0.0, static_cast<double>(bands - 1));
  auto k0 = static_cast<uint32_t>(guess);
  while (k0 > 0 && bandHi(k0 - 1) >= vmin) --k0;
  while (k0 < bands && bandHi(k0) < vmin) ++k0;
  guess = std::clamp(std::floor(vmax / B), 0.0, static_cast<double>(bands - 1));
  auto k1 = static_cast<int64_t>(guess);
  while (k1 + 1 < bands && bandLo(static_cast<uint32_t>(k1 + 1)) <= vmax) ++k1;
  while (k1 >= 0 && bandLo(static_cast<uint32_t>(k1)) > vmax) --k1;
  if (k0 >= bands || k1 < k0) {
    curveFirst_ = INFINITY;  // no band: every chord is left out
    return;
  }
  curveFirst_ = bandLo(k0) * samples_ + 1.0;
  curveLast_ = bandHi(static_cast<uint32_t>(k1)) * samples_;
}

bool EdgeTable::add_record(const ZoPath* record, const DeviceMap& map, bool columns) {
  const PathNode* nodes = nodes_of(record);
  auto device = [&](Ptfx p) {
    PointDB d{fix_to_db(p.x) * map.scale + map.offsetX, fix_to_db(p.y) * map.scale + map.offsetY};
    return columns ? PointDB{d.y, d.x} : d;  // (u, v): v is the sampled axis
  };
  Vertex current{}, figureStart{};
  bool open = false, ok = true;
  auto line_to = [&](PointDB to) {
    Vertex next = vertex(to.x, to.y);
    ok = ok && add_edge(current, next);
    current = next;
  };
  auto close_figure = [&] {
    if (open && (current.u != figureStart.u || current.v != figureStart.v)) {
      ok = ok && add_edge(current, figureStart);
      current = figureStart;
    }
    open = false;
  };
  for (uint32_t i = 0; i < record->count && ok;) {
    uint16_t type = nodes[i].type;
    uint16_t kind = type & PT_KIND_PARAM_MASK;
    if (kind == PT_MOVETO) {
      close_figure();
      PointDB p = device(nodes[i].pt);
      current = figureStart = vertex(p.x, p.y);
      open = true;
      ++i;
    } else if (kind == PT_LINETO) {
      line_to(device(nodes[i].pt));
      ++i;
    } else if (kind == PT_BEZIERTO) {
      if (i + 2 >= record->count) break;
      PointDB c1 = device(nodes[i].pt), c2 = device(nodes[i + 1].pt), end = device(nodes[i + 2].pt);
      // A curve lies inside its control points: one that misses every band only moves on.
      double vmin = std::min({current.v, c1.y, c2.y, end.y});
      double vmax = std::max({current.v, c1.y, c2.y, end.y});
      limit_to_curve(vmin, vmax);
      if (curveFirst_ != INFINITY) {
        forward_difference_cubic(PointDB{current.u, current.v}, c1, c2, end, kFlatten, line_to);
      } else {
        current = vertex(end.x, end.y);
      }
      curveFirst_ = -INFINITY;
      curveLast_ = INFINITY;
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

// Scratch of the walk: with several bands the edges grouped by band (and the group starts),
// then the running edges, a line's crossings, and room to restore a line's original order.
struct WalkLayout {
  size_t groupWords;
  size_t bytes;
};

WalkLayout walk_layout(const EdgeTable& table, uint32_t bands) {
  const size_t n = table.count();
  size_t groupWords = bands > 1 ? n + bands + 1 : 0;
  groupWords += groupWords % 2;
  return {groupWords, groupWords * 4 + n * (sizeof(double) * 8)};
}

uint32_t band_count(const EdgeTable& table) {
  const uint32_t total = table.total_lines(), lines = table.band_lines();
  return total == 0 ? 0 : (total - 1) / lines + 1;
}

}  // namespace

size_t CrossingWalk::scratch_bytes(const EdgeTable& table) {
  return walk_layout(table, band_count(table)).bytes;
}

CrossingWalk::CrossingWalk(const EdgeTable& table, double limit, void* scratch)
    : table_(table), limit_(limit), step_(1.0 / table.samples()) {
  static_assert(sizeof(Active) + 3 * sizeof(double) <= 8 * sizeof(double));
  bandLines_ = table.band_lines();
  bands_ = band_count(table);
  const size_t n = table.count();
  WalkLayout layout = walk_layout(table, bands_);
  auto* words = static_cast<uint32_t*>(scratch);
  auto* rest = reinterpret_cast<char*>(words + layout.groupWords);
  active_ = reinterpret_cast<Active*>(rest);
  values_ = reinterpret_cast<double*>(rest + n * sizeof(Active));
  scratch_ = values_ + n;
  if (bands_ <= 1) return;
  // Several bands: group the edges by the band of their first line, keeping path order
  // inside each group.
  byBand_ = words;
  bandStart_ = words + n;
  std::memset(bandStart_, 0, (size_t{bands_} + 1) * sizeof(uint32_t));
  auto band_of = [&](const Edge& e) {
    return (static_cast<uint32_t>(std::max(e.first, 1.0)) - 1) / bandLines_;
  };
  const Edge* edges = table.edges();
  for (uint32_t i = 0; i < n; ++i) ++bandStart_[band_of(edges[i])];
  for (uint32_t b = 1; b <= bands_; ++b) bandStart_[b] += bandStart_[b - 1];  // group ends
  // Filled from the back, each group keeps path order and its end becomes its start.
  for (auto i = static_cast<uint32_t>(n); i-- > 0;) byBand_[--bandStart_[band_of(edges[i])]] = i;
}

CrossingWalk::~CrossingWalk() { plat::mem_free(block_); }

bool CrossingWalk::begin_band(uint32_t index, uint32_t pixels) {
  lineCount_ = pixels * table_.samples();
  firstLine_ = int64_t{index} * bandLines_;
  line_ = 0;
  const Edge* edges = table_.edges();
  uint32_t freshFrom = 0, freshCount = table_.count();
  if (bands_ > 1) {
    freshFrom = bandStart_[index];
    freshCount = bandStart_[index + 1] - freshFrom;
  }
  // The band's list array: its edges bucketed by the line where they start.
  uint32_t words = lineCount_ + 1 + freshCount;
  if (words > blockWords_) {
    auto* block = static_cast<uint32_t*>(plat::mem_alloc(size_t{words} * sizeof(uint32_t), 0));
    if (block == nullptr) return false;
    plat::mem_free(block_);
    block_ = block;
    blockWords_ = words;
  }
  lineStart_ = block_;
  starts_ = block_ + lineCount_ + 1;
  std::memset(lineStart_, 0, (size_t{lineCount_} + 1) * sizeof(uint32_t));
  auto fresh = [&](uint32_t k) { return bands_ > 1 ? byBand_[freshFrom + k] : k; };
  auto line_of = [&](uint32_t e) {
    return static_cast<uint32_t>(static_cast<int64_t>(std::max(edges[e].first, 1.0)) - firstLine_ -
                                 1);
  };
  for (uint32_t k = 0; k < freshCount; ++k) ++lineStart_[line_of(fresh(k))];
  for (uint32_t j = 1; j < lineCount_; ++j) lineStart_[j] += lineStart_[j - 1];  // bucket ends
  lineStart_[lineCount_] = freshCount;
  for (uint32_t k = freshCount; k-- > 0;) {
    uint32_t e = fresh(k);
    starts_[--lineStart_[line_of(e)]] = e;
  }
  // The edges running on from the band above restart their steps at the band's first line.
  const double bandFirst = static_cast<double>(firstLine_ + 1);
  uint32_t kept = 0;
  for (uint32_t i = 0; i < activeCount_; ++i) {
    Active a = active_[i];
    if (a.last < bandFirst) continue;
    const Edge& e = edges[a.index];
    a.u = e.u0 + (bandFirst * step_ - e.v0) * e.slope;
    a.key = std::clamp(a.u, 0.0, limit_);
    active_[kept++] = a;
  }
  activeCount_ = kept;
  return true;
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
