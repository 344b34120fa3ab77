// Converting the selected segments of the selected path between straight lines and cubic
// curves, with the control points of a new curve fitted to its neighbours.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "geometry/vectors.hpp"
#include "platform/host_library.hpp"
#include "platform/key_state.hpp"
#include "platform/rect.hpp"
#include "render/display.hpp"
#include "selection_state.hpp"
#include "shapes/polygon_rules.hpp"

using namespace zo;
using namespace zo::edit;

namespace {

constexpr double kKappa = 0.5522847;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMinLength = 0.0001;
constexpr uint32_t kToCurves = 1, kToLines = 2;
constexpr int kModeHideSelectedSegments = 6, kModeShowSelectedSegments = 5;

enum class Kind { Line, Cubic, Other };

struct Segment {
  uint32_t start, end;
  Kind kind;
  bool selected;
};

Kind kind_of_segment(const PathNode* nodes, uint32_t s, uint32_t e) {
  auto kind = [&](uint32_t i) { return nodes[i].type & PT_KIND_PARAM_MASK; };
  if (e == s + 1 && kind(e) == PT_LINETO) return Kind::Line;
  if (e == s + 3 && kind(s + 1) == PT_BEZIERTO && kind(s + 2) == PT_BEZIERTO &&
      kind(e) == PT_BEZIERTO)
    return Kind::Cubic;
  return Kind::Other;
}

std::vector<Segment> segments_of(const ZoPath* p) {
  std::vector<Segment> out;
  const PathNode* nodes = nodes_of(p);
  for_each_segment(p, [&](uint32_t s, uint32_t e) {
    out.push_back(
        Segment{s, e, kind_of_segment(nodes, s, e), (nodes[s].type & PT_SEGMENT_MARK) != 0});
    return true;
  });
  return out;
}

bool converts(const Segment& s, uint32_t toKind) {
  if (!s.selected) return false;
  if (s.kind == Kind::Line) return toKind != kToLines;
  if (s.kind == Kind::Cubic) return toKind != kToCurves;
  return false;
}

// Unit vector, or zero for a vector too short to have a direction.
PointDB unit(PointDB v) {
  double len = length(v);
  return len > kMinLength ? v * (1.0 / len) : PointDB{0.0, 0.0};
}

PointDB rotated(PointDB v, double degrees) {
  double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a);
  return PointDB{v.x * c - v.y * s, v.x * s + v.y * c};
}

double angle_between(PointDB a, PointDB b) {
  return std::acos(std::clamp(dot(a, b), -1.0, 1.0)) * 180.0 / kPi;
}

// The two controls of a curve that replaces the line p0-p1.
struct Controls {
  PointDB c1, c2;
};

// A symmetric bulge to the side of the chord.
Controls bulge(PointDB p0, PointDB p1) {
  PointDB d = unit(p1 - p0);
  double len = length(p1 - p0);
  PointDB mid = (p0 + p1) * 0.5;
  PointDB b = mid + PointDB{d.y, -d.x} * (0.5 * len);
  return Controls{(p0 + b) * 0.5, (p1 + b) * 0.5};
}

// The curve's tangents follow the corners it makes with its neighbours: at a corner between
// 30 and 150 degrees along the bisector, otherwise turned from the chord.
Controls smooth_fit(PointDB p0, PointDB p1, const PointDB* before, const PointDB* after) {
  if (before == nullptr && after == nullptr) return bulge(p0, p1);
  const double len = length(p1 - p0);
  const PointDB d = unit(p1 - p0);
  const PointDB turned = rotated(d, -30.0) * (len / 3.0);
  Controls c{};
  if (before != nullptr) {
    PointDB a = unit(p0 - *before), b = d;
    double angle = angle_between(a, b);
    PointDB t = unit(a + b);
    c.c1 = angle >= 30.0 && angle <= 150.0 ? p0 + t * (std::fabs(dot(b, t)) * len * kKappa)
                                           : p0 + turned;
  }
  if (after != nullptr) {
    PointDB a = d, b = unit(*after - p1);
    double angle = angle_between(a, b);
    PointDB t = unit(a + b);
    c.c2 = angle >= 30.0 && angle <= 150.0 ? p1 - t * (std::fabs(dot(a, t)) * len * kKappa)
                                           : p1 - turned;
  }
  if (after == nullptr) c.c2 = (c.c1 + p1) * 0.5;
  if (before == nullptr) c.c1 = (p0 + c.c2) * 0.5;
  return c;
}

Controls controls_for(const ZoPath* p, const std::vector<Segment>& segs, size_t j) {
  const PathNode* nodes = nodes_of(p);
  PointDB p0 = to_db(nodes[segs[j].start].pt), p1 = to_db(nodes[segs[j].end].pt);
  if (plat::GetAsyncKeyState(plat::kVirtualKeyControl) < 0) {
    return Controls{p0 * 0.6667 + p1 * 0.3333, p0 * 0.3333 + p1 * 0.6667};
  }
  if (polygon::is_polygon(p)) return bulge(p0, p1);
  const bool closed = is_closed(p);
  const size_t n = segs.size();
  PointDB before{}, after{};
  bool hasBefore = j > 0 || (closed && n > 1), hasAfter = j + 1 < n || (closed && n > 1);
  if (hasBefore) before = to_db(nodes[segs[j > 0 ? j - 1 : n - 1].start].pt);
  if (hasAfter) after = to_db(nodes[segs[j + 1 < n ? j + 1 : 0].end].pt);
  return smooth_fit(p0, p1, hasBefore ? &before : nullptr, hasAfter ? &after : nullptr);
}

// The new node run: converted segments rebuilt, everything else copied.
std::vector<PathNode> rebuilt(const ZoPath* p, const std::vector<Segment>& segs, uint32_t toKind) {
  const PathNode* nodes = nodes_of(p);
  std::vector<PathNode> out;
  out.reserve(p->count + 2 * segs.size());
  uint32_t copied = 0;  // nodes before this index are in out
  auto copy_to = [&](uint32_t end) {
    for (; copied < end; ++copied) out.push_back(nodes[copied]);
  };
  for (size_t j = 0; j < segs.size(); ++j) {
    const Segment& s = segs[j];
    if (!converts(s, toKind)) continue;
    copy_to(s.start + 1);
    PathNode end = nodes[s.end];
    end.type = static_cast<uint16_t>(end.type & ~PT_KIND_MASK);
    if (s.kind == Kind::Line) {
      Controls c = controls_for(p, segs, j);
      out.push_back(PathNode{PT_BEZIERTO, to_fix(c.c1)});
      out.push_back(PathNode{PT_BEZIERTO, to_fix(c.c2)});
      end.type |= PT_BEZIERTO;
    } else {
      end.type |= PT_LINETO;
    }
    out.push_back(end);
    copied = s.end + 1;
  }
  copy_to(p->count);
  return out;
}

// Points the chains and the table at a record that moved.
void relink_in_table(ZoPathTbl* table, ZoPath* old, ZoPath* p) {
  zo::relink_moved(p);
  for (uint32_t g = 0; g < table->groupCount; ++g) {
    if (table->groups[g].first == old) table->groups[g].first = p;
    if (table->groups[g].selected == old) table->groups[g].selected = p;
  }
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathConvertSelectedSegment(CoordStruct* view, ZoPathTbl* table, RECT* dirty,
                                             uint32_t toKind) {
  if (dirty != nullptr) plat::SetRectEmpty(dirty);
  if (table == nullptr) return 0;
  ZoPath* p = current_group(table).selected;
  if (p == nullptr || !single_selected(p) || !has_segments(p) || p->count < 2) return 0;
  std::vector<PathNode> nodes;
  try {
    std::vector<Segment> segs = segments_of(p);
    bool any = false;
    for (const Segment& s : segs) {
      if (s.selected && s.kind == Kind::Other) {
        ZO_REPORT(plat::kErrBadArgument, 1);
        return 0;
      }
      any = any || converts(s, toKind);
    }
    if (!any) return 0;
    nodes = rebuilt(p, segs, toKind);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  const auto count = static_cast<uint32_t>(nodes.size());
  Screen screen{nullptr, view};
  RECT changed{0, 0, 0, 0};
  if (count > record_capacity(p)) {
    ZoPath* grown = record_resize(p, count);
    if (grown == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    if (grown != p) {
      ZoPath* old = p;
      p = grown;
      relink_in_table(table, old, p);
    }
  }
  screen.pass(p, kModeHideSelectedSegments, &changed);
  std::memcpy(nodes_of(p), nodes.data(), nodes.size() * sizeof(PathNode));
  p->count = count;
  p->primitiveKind = 0;
  if (polygon::is_polygon(p)) polygon::release_side_style(p);
  screen.pass(p, kModeShowSelectedSegments, &changed);
  screen.pass(p, display::kModeHighlight, &changed);
  if (dirty != nullptr) *dirty = changed;
  return 1;
}

}  // extern "C"
