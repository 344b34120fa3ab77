// Wrapping a source list along a baseline, or around a generated circle in the bend mode:
// entry checks and settings, the working copies that make a failed wrap leave everything as
// it was, point-by-point deformation and placement of whole units.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "deform_state.hpp"
#include "model/bounds.hpp"
#include "cubic_pieces.hpp"
#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "geometry/vectors.hpp"
#include "outline/outline_info.hpp"
#include "platform/host_library.hpp"
#include "platform/trace.hpp"
#include "smooth.hpp"
#include "wrap_info.hpp"
#include "wrap_map.hpp"
#include "wrap_ribbon.hpp"
#include "x_crossings.hpp"

using namespace zo;
using namespace zo::deform;

namespace {

constexpr uint32_t kTextBits = ZOF_TEXT_CHAR | ZOF_TEXT_LINE;
constexpr uint16_t kRoleAnchor = 0, kRoleControl = 1, kRoleParam = 2, kRoleSplit = 3;
constexpr double kKappa = 0.5522847;

bool fail_with(uint32_t code) {
  ZO_REPORT(code, 1);
  return false;
}

// ---- Point by point ----

// The number of pieces a source segment from x0 to x1 is divided into: the most any
// baseline segment under it asks for.
uint32_t pieces_for(const WrapSetup& s, const WrapFrame& f, double x0, double x1) {
  uint32_t n = 1;
  for (double x : {x0, 0.5 * (x0 + x1), x1}) {
    double u;
    n = std::max(n, subdivision_at(arc_of(s, f, x, &u)));
  }
  return n;
}

// A cubic into the run as n pieces of equal parameter span; the inner joints are smooth.
bool push_pieces(PointRun& run, const PointDB c[4], uint32_t n, uint16_t endType) {
  PointDB rest[4] = {c[0], c[1], c[2], c[3]};
  for (uint32_t k = 0; k < n; ++k) {
    PointDB piece[4], after[4] = {rest[0], rest[1], rest[2], rest[3]};
    if (k + 1 < n) {
      split_cubic_at(rest, 1.0 / (n - k), piece, after);
    } else {
      std::copy(rest, rest + 4, piece);
    }
    bool last = k + 1 == n;
    if (!run.push(piece[1], PT_BEZIERTO, kRoleControl) || !run.push(piece[2], PT_BEZIERTO, kRoleControl) ||
        !run.push(piece[3], last ? endType : PT_BEZIERTO | PT_SMOOTH, last ? kRoleAnchor : kRoleSplit))
      return false;
    std::copy(after, after + 4, rest);
  }
  return true;
}

// The source x whose arc position is `arc`: the inverse of arc_of.
double source_x(const WrapSetup& s, const WrapFrame& f, double arc) {
  double along = arc - s.start * s.total;
  return s.fit ? f.left + (s.usable > 0.0 ? along / s.usable : 0.0) * (f.width + 1.0)
               : f.left + along;
}

// Source x positions in (lo, hi) that land on mitred baseline joints (at most 8): a source
// curve is divided there, so its image can turn the corner.
int joint_xs(const WrapSetup& s, const WrapFrame& f, double lo, double hi, double* xs) {
  const WrapTables& w = wrap_tables();
  double u = 0.0;
  double a0 = arc_of(s, f, lo, &u), a1 = arc_of(s, f, hi, &u);
  int n = 0;
  for (uint32_t i = 0; i < w.segCount && n < 8; ++i) {
    const WrapSegment& g = w.segs[i];
    if (g.skip || g.corner == 0 || (w.open && g.start <= 0.0)) continue;
    double joint = g.start;
    if (!w.open) joint += std::ceil((a0 - joint) / w.total) * w.total;
    for (; joint < a1 && n < 8; joint += w.total) {
      if (joint > a0) xs[n++] = source_x(s, f, joint);
      if (w.open) break;
    }
  }
  return n;
}

// One source cubic into the run: divided at mitred joints, then each part into as many
// pieces as the baseline under it asks for.
bool push_segment(PointRun& run, const PointDB c[4], const WrapSetup& s, const WrapFrame& f,
                  uint16_t endType) {
  double lo = std::min({c[0].x, c[1].x, c[2].x, c[3].x});
  double hi = std::max({c[0].x, c[1].x, c[2].x, c[3].x});
  double xs[8], ts[8];
  int n = s.mitre ? joint_xs(s, f, lo, hi, xs) : 0;
  n = n > 0 ? x_crossings(c, xs, n, ts, 8) : 0;
  PointDB rest[4] = {c[0], c[1], c[2], c[3]};
  double done = 0.0;
  for (int i = 0; i <= n; ++i) {
    PointDB part[4], after[4] = {rest[0], rest[1], rest[2], rest[3]};
    if (i < n) {
      split_cubic_at(rest, (ts[i] - done) / (1.0 - done), part, after);
      done = ts[i];
    } else {
      std::copy(rest, rest + 4, part);
    }
    double pl = std::min({part[0].x, part[1].x, part[2].x, part[3].x});
    double ph = std::max({part[0].x, part[1].x, part[2].x, part[3].x});
    if (!push_pieces(run, part, pieces_for(s, f, pl, ph), i < n ? PT_BEZIERTO : endType)) return false;
    std::copy(after, after + 4, rest);
  }
  return true;
}

// The subpath as a point run: cubics divided as the baseline under them asks; straight
// segments with some width become cubics where the baseline bends (a chord would cut across
// the bent image); parameter nodes kept as they are.
bool expand(const ZoPath* p, const WrapSetup& s, const WrapFrame& f, PointRun& run) {
  run.count = 0;
  const PathNode* n = nodes_of(p);
  PointDB cur{0, 0};
  bool have = false;
  for (uint32_t i = 0; i < p->count;) {
    uint16_t type = n[i].type;
    uint32_t len = node_run_length(type);
    PointDB pt = to_db(n[i].pt);
    bool ok = true;
    if (is_parameter(type) || kind_of(type) == 0 || (is_bezier(type) && have && i + 2 >= p->count)) {
      for (uint32_t j = i; j < i + len && j < p->count && ok; ++j)
        ok = run.push(to_db(n[j].pt), n[j].type, kRoleParam);
      i += len;
    } else if (kind_of(type) == PT_MOVETO || !have) {
      ok = run.push(pt, type, kRoleAnchor);
      cur = pt, have = true, ++i;
    } else if (is_line(type)) {
      PointDB c[4] = {cur, cur + (pt - cur) * (1.0 / 3.0), cur + (pt - cur) * (2.0 / 3.0), pt};
      double xs[8];
      double lo = std::min(cur.x, pt.x), hi = std::max(cur.x, pt.x);
      bool bent = std::fabs(pt.x - cur.x) >= 1.0 &&
                  (pieces_for(s, f, cur.x, pt.x) > 1 || (s.mitre && joint_xs(s, f, lo, hi, xs) > 0));
      ok = bent ? push_segment(run, c, s, f, static_cast<uint16_t>((type & ~PT_KIND_MASK) | PT_BEZIERTO))
                : run.push(pt, type, kRoleAnchor);
      cur = pt, ++i;
    } else {
      PointDB c[4] = {cur, pt, to_db(n[i + 1].pt), to_db(n[i + 2].pt)};
      uint32_t before = run.count;
      ok = push_segment(run, c, s, f, n[i + 2].type);
      if (ok && run.count == before + 3) run.types[before] = n[i].type, run.types[before + 1] = n[i + 1].type;
      cur = c[3], i += 3;
    }
    if (!ok) return false;
  }
  return true;
}

// Smooth nodes between two curves get their handles back in line after the mapping.
void keep_smooth(PointRun& run, bool closed) {
  uint32_t last = run.count;
  while (last > 0 && run.roles[last - 1] == kRoleParam) --last;
  auto smooth = [&](uint32_t k) {
    return run.roles[k] == kRoleSplit || (run.roles[k] == kRoleAnchor && (run.types[k] & PT_SMOOTH));
  };
  for (uint32_t k = 1; k + 1 < last; ++k)
    if (smooth(k) && run.roles[k - 1] == kRoleControl && run.roles[k + 1] == kRoleControl)
      realign_handles(run.pts, k - 1, k, k + 1, run.roles[k] != kRoleSplit);
  if (closed && last > 3 && smooth(last - 1) && run.roles[last - 2] == kRoleControl &&
      run.roles[1] == kRoleControl)
    realign_handles(run.pts, last - 2, last - 1, 1);
}

bool deform_subpath(ZoPath** path, const WrapSetup& s, const WrapFrame& f) {
  PointRun& run = wrap_run();
  if (!expand(*path, s, f, run)) return fail_with(plat::kErrNoMemory);
  for (uint32_t i = 0; i < run.count; ++i)
    if (run.roles[i] != kRoleParam) run.pts[i] = map_point(s, f, run.pts[i]);
  keep_smooth(run, is_closed(*path));
  return write_run(path, run) || fail_with(plat::kErrNoMemory);
}

// ---- Whole units ----

bool unit_box(ZoPath* first, ZoPath* end, RectDB* box) {
  bool any = false;
  for (ZoPath* p = first; p != end; p = p->next) {
    RectDB r;
    if (p->count == 0 || !bounds::shape_rect(p, bounds::kSingle, 1.0, &r)) continue;
    if (!any) *box = r;
    box->left = std::min(box->left, r.left), box->top = std::min(box->top, r.top);
    box->right = std::max(box->right, r.right), box->bottom = std::max(box->bottom, r.bottom);
    any = true;
  }
  return any;
}

uint32_t unit_bit(const ZoPathWrapInfo& info) {
  bool rotate = info.rotate == 1;
  bool object = info.text != 0 ? (info.setting != 0) != rotate : info.setting == 0 && rotate;
  return object ? ZOF_TEXT_LINE : ZOF_TEXT_CHAR;
}

// Each unit moved, turned and scaled as a whole so that its anchor lands on the baseline.
void place_units(ZoPath* first, ZoPath* end, const WrapSetup& s, const WrapFrame& f,
                 const ZoPathWrapInfo& info) {
  uint32_t bit = unit_bit(info);
  for (ZoPath* p = first; p != end;) {
    ZoPath* stop = p->next;
    bool headed = (p->flags & bit) != 0;
    if (headed)
      while (stop != end && (stop->flags & bit) == 0) stop = stop->next;
    RectDB box;
    if (unit_box(p, stop, &box)) {
      PointDB anchor{(box.left + box.right) / 2, headed ? f.refY : (box.top + box.bottom) / 2};
      double u = f.width != 0.0 ? (anchor.x - f.left) / f.width : 0.0;
      double arc = (s.fit ? u * s.usable : anchor.x - f.left) + s.start * s.total;
      double k = s.startScale - (s.startScale - s.endScale) * u;
      BaselinePoint at = locate(arc);
      PointDB origin = offset_at(s, at, k * (f.refY - anchor.y));
      PointDB xAxis{1, 0}, yAxis{0, k};
      if (s.followNormal) xAxis = at.tangent, yAxis = PointDB{-at.tangent.y, at.tangent.x} * k;
      for (ZoPath* q = p; q != stop; q = q->next)
        for_each_point(q, [&](PathNode& n) {
          PointDB v = to_db(n.pt) - anchor;
          n.pt = to_fix(origin + xAxis * v.x + yAxis * v.y);
        });
    }
    p = stop;
  }
}

// Wraps the subpaths from first up to end along the current tables. *head follows a head
// record that growth moved.
bool wrap_range(ZoPath** head, ZoPath* first, ZoPath* end, const WrapSetup& s, const WrapFrame& f,
                const ZoPathWrapInfo& info) {
  if (!s.deform) {
    place_units(first, end, s, f, info);
    return true;
  }
  for (ZoPath* p = first; p != end;) {
    ZoPath* next = p->next;
    bool wasHead = p == *head;
    if (!deform_subpath(&p, s, f)) return false;
    if (wasHead) *head = p;
    p = next;
  }
  return true;
}

// ---- Along a baseline ----

bool wrap_along(ZoPath** work, const ZoPath* baseline, const ZoPathWrapInfo& info, bool ribbon) {
  RectDB box;
  if (!source_box(*work, &box)) return fail_with(plat::kErrBadArgument);
  if (build_wrap_tables(baseline, box.bottom - box.top + 1.0, ribbon) != 0) return false;
  if (info.deform && info.followNormal && info.cornerMode)
    mitre_corners(info.cornerMode, !wrap_tables().open);
  for (ZoPath* p = *work; p != nullptr; p = p->next) deselect_fully(p), p->selPrev = p->selNext = nullptr;
  WrapFrame f = frame_of(box, info, false);
  WrapSetup s = setup_of(info);
  if (ribbon && !cut_ribbon(work, s, f)) return false;
  return wrap_range(work, *work, nullptr, s, f, info);
}

// ---- Bend mode ----

// A closed circle of 13 nodes, kind 1, starting at the bottom (bend up) or the top, running
// first to the left.
ZoPath* circle(PointDB c, double r, bool up) {
  ZoPath* p = record_alloc(13);
  if (p == nullptr) return nullptr;
  double k = r * kKappa, v = up ? 1.0 : -1.0;
  const PointDB pts[13] = {
      {c.x, c.y + v * r},      {c.x - k, c.y + v * r}, {c.x - r, c.y + v * k}, {c.x - r, c.y},
      {c.x - r, c.y - v * k},  {c.x - k, c.y - v * r}, {c.x, c.y - v * r},     {c.x + k, c.y - v * r},
      {c.x + r, c.y - v * k},  {c.x + r, c.y},         {c.x + r, c.y + v * k}, {c.x + k, c.y + v * r},
      {c.x, c.y + v * r}};
  PathNode* n = nodes_of(p);
  for (int i = 0; i < 13; ++i) n[i] = PathNode{static_cast<uint16_t>(i == 0 ? PT_MOVETO : PT_BEZIERTO), to_fix(pts[i])};
  n[12].type |= PT_CLOSEFIGURE;
  p->count = 13;
  p->primitiveKind = 1;
  return p;
}

bool bend_unit(ZoPath** work, ZoPath* first, ZoPath* end, const ZoPathWrapInfo& info, int32_t bend) {
  RectDB box;
  if (!unit_box(first, end, &box)) return true;  // nothing drawn, nothing to bend
  WrapFrame f = frame_of(box, info, true);
  double beta = std::abs(bend) / 200.0;
  double width = f.width, stretched = width * (1.0 + info.spacing);
  if (!(stretched > 0.0)) return fail_with(5404);
  double r = stretched / (4.0 * std::numbers::pi * beta);
  bool up = bend > 0;
  ZoPath* c = circle(PointDB{box.left + width / 2, up ? f.refY + r : f.refY - r}, r, up);
  if (c == nullptr) return fail_with(plat::kErrNoMemory);
  ZoPathWrapInfo around = info;
  around.baseline = c;
  around.closed = 1;
  around.fit = 0;
  around.start = 0.5 - beta * width / stretched;
  bool ok = build_wrap_tables(c, f.height + 1.0, false) == 0;
  if (ok) ok = wrap_range(work, first, end, setup_of(around), f, around);
  release_wrap_tables();
  record_release(c);
  return ok;
}

bool bend(ZoPath** work, const ZoPathWrapInfo& info) {
  int32_t b = std::clamp(info.bend, -99, 100);
  if (b == 0) return fail_with(plat::kErrBadArgument);
  for (ZoPath* p = *work; p != nullptr; p = p->next) deselect_fully(p), p->selPrev = p->selNext = nullptr;
  if (info.text == 0) return bend_unit(work, *work, nullptr, info, b);
  // Text bends line by line: a line starts at a subpath with the text-line bit.
  for (ZoPath* p = *work; p != nullptr;) {
    ZoPath* stop = p->next;
    while (stop != nullptr && (stop->flags & ZOF_TEXT_LINE) == 0) stop = stop->next;
    if (!bend_unit(work, p, stop, info, b)) return false;
    p = stop;
  }
  return true;
}

// ---- Entry ----

void set_text_bits(ZoPath* head, uint32_t bits) {
  for (ZoPath* p = head; p != nullptr; p = p->next) p->flags &= ~kTextBits;
  head->flags |= bits;
}

// The baseline as the wrap prepares it: no attachment, wrap-baseline flags, and moved to the
// target centre when asked and more than 2 pixels away.
Ptfx prepare_baseline(ZoPath* b, const ZoPathWrapInfo& info) {
  if (has_attachment(b)) {
    outline_info_delete(attachment_of(b));
    b->joinNext = nullptr;
    b->flags &= ~ZOF_ATTACHMENT;
  }
  b->flags = (b->flags & 0x9FFFFFFFu) | ZOF_WRAP_BASELINE;
  Ptfx shift{0, 0};
  RectDB r;
  if (info.recentre != 0 && bounds::shape_rect(b, bounds::kSingle, 1.0, &r)) {
    double dx = std::round(info.centreX - (r.left + r.right) / 2);
    double dy = std::round(info.centreY - (r.top + r.bottom) / 2);
    if (std::fabs(dx) > 2 || std::fabs(dy) > 2) shift = Ptfx{db_to_fix(dx), db_to_fix(dy)};
  }
  return shift;
}

void move_record(ZoPath* p, Ptfx by) {
  if (by.x != 0 || by.y != 0) for_each_point(p, [&](PathNode& n) { n.pt = ptfx_add(n.pt, by); });
}

void release_scratch() {
  release_wrap_tables();
  wrap_run().release();
}

uint32_t domain_range_wrap(ZoPath** list, ZoPathWrapInfo* info, ZoPath** second) {
  if (list == nullptr || *list == nullptr || info == nullptr) return fail_with(plat::kErrBadArgument);
  ZoPath* head = list_head(*list);
  if (has_attachment(head) || (info->baseline != nullptr && info->baseline->next != nullptr))
    return fail_with(plat::kErrBadArgument);
  if (((head->flags & kTextBits) != 0) != (info->text != 0))
    plat::trace("- ZoPathDomainRangeWrap() warning: text attrib of target_path and wrapinfo not consistant.\n");
  normalise_settings(info);
  // The wrap works on copies and commits only on success.
  ZoPath* work = nullptr;
  ZoPath* base = nullptr;
  if (ZoPathDuplicatePtr(head, &work) == 0) return fail_with(plat::kErrNoMemory);
  if (info->baseline != nullptr && ZoPathDuplicatePtrSingle(info->baseline, &base) == 0) {
    release_list(work);
    return 0;
  }
  if (info->text == 0) set_text_bits(work, kTextBits);
  if (info->rotate == 1) ZoPathRotateAboutCenter(work, -90.0);
  Ptfx shift{0, 0};
  if (base != nullptr) move_record(base, shift = prepare_baseline(base, *info));
  bool ribbon = base != nullptr && info->deform != 0 && info->followNormal == 0 &&
                ZoPathIsTrimmedRibbonEnabled() != 0;
  bool ok = base != nullptr ? wrap_along(&work, base, *info, ribbon) : bend(&work, *info);
  release_scratch();
  if (base != nullptr) record_release(base);
  if (!ok) {
    release_list(work);
    return 0;
  }
  // Commit: the baseline gets its preparation, the source list is replaced by the result.
  if (info->baseline != nullptr) {
    prepare_baseline(info->baseline, *info);
    move_record(info->baseline, shift);
  }
  if (info->text == 0) set_text_bits(work, 0);
  if (ribbon) {
    join_ribbon_pieces(work);
  } else {
    ZoPathJoinAll(work);
  }
  if (second != nullptr && *second != nullptr)
    for (ZoPath* p = list_head(*second); p != nullptr; p = p->next)
      deselect_fully(p), p->selPrev = p->selNext = nullptr;
  release_list(head);
  *list = work;
  return 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathDomainRangeWrap(ZoPath** list, ZoPathWrapInfo* info, ZoPath** second,
                                      int32_t /*flag*/) {
  try {
    return domain_range_wrap(list, info, second);
  } catch (const std::bad_alloc&) {
    release_scratch();
    return fail_with(plat::kErrNoMemory);
  }
}

ZO_API uint32_t ZoPathWrap(ZoPath** list, ZoPathWrapInfo* info) {
  return ZoPathDomainRangeWrap(list, info, nullptr, 1);
}

}  // extern "C"
