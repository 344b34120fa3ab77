// Edge crossings of sample lines, one band at a time. For each band a fill builds an edge
// table of only the edges that cross the band's sample lines (one straight edge per line
// segment or curve chord, in path order; a curve's walk in a band starts where an earlier
// band's walk left a resume point for it and stops once the rest of the curve lies outside
// the band), walks it down the band's lines and then reuses the same block for the next
// band, so memory follows the crossings of one band, not the size of the path. The
// walk keeps the edges that cross the current line in order of where they cross it: each
// crossing is a signed double whose absolute value is where an edge crosses the line and
// whose sign is the edge's direction (positive towards increasing ordinates). Every crossing
// is stepped along its edge from the band's first line, and a line's crossings come out in
// exactly the order a stable sort of them in path order gives, so the fill rules see the same
// numbers in the same order whatever the walk's shape. Pixel rows where every crossing keeps
// its role (opening or closing a span) through the row may instead be added edge by edge.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "Zo32path.h"
#include "geometry/forward_diff.hpp"
#include "span_rules.hpp"

namespace zo::render {

// Maps a path coordinate to device space: device = coordinate x scale + offset. Along the
// sampled axis (y for row lists, x for column lists) integer scaled coordinates land on
// pixel centres, plus half a sample step when a pixel has an odd number of sample rows.
struct DeviceMap {
  double scale;
  double offsetX;
  double offsetY;
};

// One straight edge, u across the sample lines and v along the sampled axis, both already
// moved off the sample grid. It crosses the global sample lines g (at v = g·step) for g in
// [first, last], both inside the table's band; the crossing is u0 + (g·step − v0)·slope.
struct Edge {
  double u0;
  double v0;
  double slope;
  double sign;  // +1 where v grows along the edge, −1 where it shrinks
  double first;
  double last;
};

class EdgeTable {
 public:
  // samplesPerPixel is 1, 4 or 16; pixelLines is the number of pixel rows (or columns) the
  // fill covers, in bands of bandPixels.
  EdgeTable(uint32_t samplesPerPixel, uint32_t pixelLines, uint32_t bandPixels);
  ~EdgeTable();
  EdgeTable(const EdgeTable&) = delete;
  EdgeTable& operator=(const EdgeTable&) = delete;

  uint32_t band_count() const;
  // Empties the table (keeping its block) for band `index`: from now on only edges that
  // cross one of the band's sample lines are added.
  void begin_band(uint32_t index);
  // Adds the edges of one record's outline that cross the band; columns exchanges x and y
  // (column lists). Figures are closed implicitly for the fill. False when the table cannot
  // grow.
  bool add_record(const ZoPath* record, const DeviceMap& map, bool columns);
  // Scratch of `bytes` behind the edges, 16-byte aligned, for the walk over the band; null
  // when the table cannot grow. Valid until the next band is begun.
  void* tail(size_t bytes);

  const Edge* edges() const { return edges_; }
  uint32_t count() const { return count_; }
  uint32_t samples() const { return samples_; }
  // The band: its first pixel line, its pixel lines, and its sample lines, which are the
  // global lines first_line() + 1 to first_line() + band_lines().
  uint32_t band_top() const { return bandTop_; }
  uint32_t band_pixels() const { return bandRows_; }
  uint32_t band_lines() const { return bandRows_ * samples_; }
  int64_t first_line() const { return int64_t{bandTop_} * samples_; }

 private:
  // A point of the outline in device space, mapped and moved off the sample grid once for
  // the two edges that meet at it.
  struct Vertex {
    double u, v;    // as mapped
    double su, sv;  // off the sample grid
    double line;    // ⌈sv·n⌉: the first sample line at or below it
    bool finite;
  };
  // Where a curve's walk picks up in a later band: the walk's state before its first chord
  // that comes near that band. Curves are counted in walking order, the same in every band.
  struct Resume {
    uint32_t curve;
    uint32_t band;
    CubicSteps steps;
  };
  // The bands that a curve's chords walked so far come near, from its first chord on; each
  // such band after the current one has its resume point.
  struct Reach {
    uint32_t curve;
    uint32_t lo;
    uint32_t hi;
  };
  template <typename T>
  struct List {
    T* items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    bool reserve(uint32_t wanted);
    bool push(const T& item);
    void release();
  };
  template <typename LineTo, typename MoveTo>
  void walk_curve(PointDB p0, PointDB p1, PointDB p2, PointDB p3, LineTo&& line_to,
                  MoveTo&& move_to);
  void prepare_resumes();
  uint32_t band_of(double v) const;

  Vertex vertex(double u, double v) const;
  bool add_edge(const Vertex& a, const Vertex& b);
  bool curve_reaches_band(double vmin, double vmax) const;
  bool grow(size_t bytes);

  Edge* edges_ = nullptr;
  size_t bytes_ = 0;  // size of the block at edges_
  uint32_t count_ = 0;
  uint32_t samples_;
  uint32_t pixelLines_;
  uint32_t bandPixels_;
  // The current band: pixel lines [bandTop_, bandTop_ + bandRows_), global sample lines
  // [firstG_, lastG_].
  uint32_t bandTop_ = 0;
  uint32_t bandRows_ = 0;
  double firstG_ = 1.0;
  double lastG_ = 0.0;
  // Resume points of later bands and the reach of curves walked so far (sorted by curve:
  // from bands before, and those walked first in this band). resumesOk_ turns false for the
  // rest of the fill when a list cannot grow: walks then start at their curves' beginnings.
  List<Resume> resumes_;
  List<Resume> bandResumes_;  // this band's, sorted by curve
  List<Reach> reach_;
  List<Reach> newReach_;
  uint32_t resumeAt_ = 0;
  uint32_t reachAt_ = 0;
  uint32_t curve_ = 0;  // the curve being walked
  bool resumesOk_ = true;
};

// The sorted crossings of one sample line after another, band by band. The edges crossing
// the current line are kept in order of (|crossing|, path order), which is the order a stable
// sort of the line's crossings in path order gives; from one line to the next that order
// changes little, so an insertion pass keeps it.
class CrossingWalk {
 public:
  // limit bounds stored abscissas to [0, limit], which keeps every span that reaches the mask
  // unchanged.
  // wholeRows: next_row() may add pixel rows edge by edge (it needs more scratch).
  CrossingWalk(const EdgeTable& table, double limit, bool wholeRows);
  // The scratch the walk needs for the table's current band: the running edges, room to
  // restore a line's original order or to plan a row, and the band's list array.
  size_t scratch_bytes(const EdgeTable& table) const;

  // Starts the table's current band, once its edges are in; scratch holds scratch_bytes()
  // bytes, 8-byte aligned, until the band is done.
  void begin_band(void* scratch);
  uint32_t line_count() const { return lineCount_; }
  // Visits the spans of the band's next sample line under the fill rule, fn(a, b) with
  // 0 <= a < b, in order along the line.
  template <typename Fn>
  void next_line(bool evenOdd, Fn&& fn) {
    const uint32_t n = advance();
    if (n < 2) return;
    if (n > 32 && has_opposite_ties(n)) {
      for_each_span(exact_order(n), n, evenOdd, fn);
      return;
    }
    // The crossing of entry i is ±key (negating is multiplying by -1, zeros included).
    auto crossing = [this](uint32_t i) {
      return active_[i].negative != 0 ? -active_[i].key : active_[i].key;
    };
    if (evenOdd) {
      for (uint32_t i = 0; i + 1 < n; i += 2) {
        double a = std::fabs(crossing(i)), b = std::fabs(crossing(i + 1));
        if (a != b) fn(a, b);
      }
      return;
    }
    int32_t winding = 0;
    double start = 0.0;
    for (uint32_t i = 0; i < n; ++i) {
      double x = crossing(i);
      if (winding == 0) start = std::fabs(x);
      winding += std::signbit(x) ? -1 : 1;
      if (winding == 0 && std::fabs(x) != start) fn(start, std::fabs(x));
    }
  }
  // Adds the coverage of the next `lines` sample lines (one pixel row) edge by edge, where
  // that gives what the lines' spans give up to the order of the additions: every crossing
  // opens or closes a span, and the row's edges keep that role throughout the row.
  // cells(c, area, cover) adds area to column c and cover whole sample lines to every column
  // after it (both signed). False, changing nothing, when the row needs next_line() instead.
  template <typename Cells>
  bool next_row(uint32_t lines, bool evenOdd, Cells&& cells) {
    const uint32_t n = plan_row(lines, evenOdd);
    if (n == kNeedsLines) return false;
    const double limit = limit_;
    auto key_of = [limit](double u) { return u < 0.0 ? 0.0 : limit < u ? limit : u; };
    for (uint32_t i = 0; i < n; ++i) {
      RowEdge& r = rowEdges_[i];
      // Most edges stay in one column for the whole row and add one cell: the sum of their
      // crossings is that of an arithmetic series. Others add a cell per line.
      const double sign = r.role;
      const double first = key_of(r.u), last = key_of(r.end);
      const uint32_t c = column(first);
      const bool inside = first == r.u && last == r.end;
      if (c == column(last) && (inside || first == last)) {
        const double m = r.count;
        const double sum = inside ? m * (r.u + r.end) * 0.5 : m * first;
        cells(c, sign * (m * (static_cast<double>(c) + 1.0) - sum),
              r.role * static_cast<int32_t>(r.count));
        continue;
      }
      for (uint32_t k = 0; k < r.count; ++k) {
        const double key = key_of(r.u + k * r.du);
        const uint32_t col = column(key);
        cells(col, sign * (static_cast<double>(col) + 1.0 - key), r.role);
      }
    }
    finish_row(n, lines);
    return true;
  }
  // True when the next `lines` sample lines have no crossing: nothing runs and nothing
  // starts. skip() then passes over them.
  bool quiet(uint32_t lines) const {
    return activeCount_ == 0 && lineStart_[line_ + lines] == lineStart_[line_];
  }
  void skip(uint32_t lines) { line_ += lines; }

 private:
  struct Active {
    double key;  // the crossing's absolute value
    double u;    // the unclamped crossing, stepped along the edge
    double du;
    double last;
    uint32_t index;     // in the edge table: path order
    uint32_t negative;  // the edge runs towards decreasing v
  };
  // An edge over one pixel row: its crossings on its first and last line of the row,
  // unclamped, and the range of its clamped crossings over the row, widened by more than
  // rounding can move them.
  struct RowEdge {
    double u;    // on its first line in the row
    double end;  // on its last line in the row: u + (count − 1)·du
    double du;
    double lo;
    double hi;
    double last;
    uint32_t index;
    uint32_t negative;
    uint32_t first;  // its first line in the row
    uint32_t count;  // its lines in the row
    int32_t role;    // +1 opens spans, −1 closes them
    uint32_t group;
  };
  // Edges whose ranges overlap, taken together: the lines they cross and their direction.
  struct Group {
    uint32_t lines;  // bit k: line k of the row
    uint32_t negative;
  };
  static constexpr uint32_t kNeedsLines = UINT32_MAX;
  size_t edge_scratch() const;
  static uint32_t column(double v) {
    return v >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(v);
  }
  // Gathers the row's edges, checks that the row may be added edge by edge and gives each
  // edge its role; returns how many there are, or kNeedsLines.
  uint32_t plan_row(uint32_t lines, bool evenOdd);
  bool assign_roles(uint32_t groups, uint32_t lines, bool evenOdd);
  // Keeps the edges that run on below the row as the running ones, in order.
  void finish_row(uint32_t count, uint32_t lines);
  Active start(const Edge& e, double g, uint32_t index) const;
  // Inserts a running edge behind the first *count entries, keeping (key, path order) order.
  void merge_in(Active a, uint32_t* count) const {
    uint32_t k = *count;
    while (k > 0 && after(active_[k - 1], a)) {
      active_[k] = active_[k - 1];
      --k;
    }
    active_[k] = a;
    ++*count;
  }
  // Steps the running edges to the next line, drops finished ones, adds those starting on it
  // and restores the order; returns how many cross the line.
  uint32_t advance() {
    const double g = static_cast<double>(firstLine_ + 1 + line_);
    const double limit = limit_;
    uint32_t n = 0;
    bool sorted = true;
    for (uint32_t i = 0; i < activeCount_; ++i) {  // none on a band's first line
      Active a = active_[i];
      if (a.last < g) continue;
      a.u += a.du;
      a.key = a.u < 0.0 ? 0.0 : limit < a.u ? limit : a.u;  // std::clamp(u, 0, limit)
      if (n > 0 && after(active_[n - 1], a)) sorted = false;
      active_[n++] = a;
    }
    if (!sorted) {
      uint32_t count = 0;
      for (uint32_t i = 0; i < n; ++i) merge_in(active_[i], &count);
    }
    uint32_t fresh = lineStart_[line_], freshEnd = lineStart_[line_ + 1];
    if (fresh != freshEnd) add_fresh(g, fresh, freshEnd, &n);
    activeCount_ = n;
    ++line_;
    return n;
  }
  static bool after(const Active& p, const Active& a) {
    return p.key > a.key || (p.key == a.key && p.index > a.index);
  }
  void add_fresh(double g, uint32_t from, uint32_t to, uint32_t* count) const;
  bool has_opposite_ties(uint32_t count) const;
  const double* exact_order(uint32_t count);

  const EdgeTable& table_;
  double limit_;
  double step_;

  Active* active_ = nullptr;
  uint32_t activeCount_ = 0;
  double* values_ = nullptr;  // a line's crossings in their original order
  double* scratch_ = nullptr;
  RowEdge* rowEdges_ = nullptr;  // shares its memory with values_ and scratch_
  Group* groups_ = nullptr;
  uint32_t* order_ = nullptr;  // a row's edges by the start of their ranges

  // The band's list array: per line, where its starting edges begin in starts_.
  uint32_t* lineStart_ = nullptr;
  uint32_t* starts_ = nullptr;
  uint32_t lineCount_ = 0;
  uint32_t line_ = 0;
  bool wholeRows_;
  int64_t firstLine_ = 0;
};

}  // namespace zo::render
