#include "curve_intersection.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zo::boolean {

namespace {

// The parameter of X along a straight edge, and whether X lies on it.
bool parameter_on_segment(PointDB x, PointDB p0, PointDB p1, double* t) {
  if (x.x == p0.x && x.y == p0.y) {
    *t = 0.0;
  } else if (x.x == p1.x && x.y == p1.y) {
    *t = 1.0;
  } else if (p0.x == p1.x) {
    *t = snap_parameter((x.y - p0.y) / (p1.y - p0.y));
  } else {
    *t = snap_parameter((x.x - p0.x) / (p1.x - p0.x));
  }
  return *t >= 0.0 && *t <= 1.0;
}

// The implicit line through p0 and p1, evaluated at x.
double implicit_line(PointDB p0, PointDB p1, PointDB x) {
  return x.x * (p1.y - p0.y) + x.y * (p0.x - p1.x) + (p1.x * p0.y - p0.x * p1.y);
}

// A piece of an edge over [t0, t1]: a cubic, or a straight segment from p[0] to p[3].
struct Piece {
  PointDB p[4];
  double t0, t1;
  bool straight;
};

BoxDB piece_box(const Piece& piece) {
  if (piece.straight) return box_of(piece.p[0], piece.p[3]);
  return control_box(Cubic{piece.p[0], piece.p[1], piece.p[2], piece.p[3]});
}

void halve(const Piece& in, Piece* first, Piece* second) {
  double mid = (in.t0 + in.t1) * 0.5;
  *first = Piece{{}, in.t0, mid, in.straight};
  *second = Piece{{}, mid, in.t1, in.straight};
  if (in.straight) {
    PointDB m{(in.p[0].x + in.p[3].x) * 0.5, (in.p[0].y + in.p[3].y) * 0.5};
    first->p[0] = in.p[0];
    first->p[3] = second->p[0] = m;
    second->p[3] = in.p[3];
  } else {
    split_bernstein(in.p, 0.5, first->p, second->p);
  }
}

struct Records {
  double* ta;
  double* tb;
  int count;
  uint64_t visits;
};

// The chords of two flat pieces as segments; a crossing inside both is recorded.
void intersect_chords(const Piece& a, const Piece& b, Records* out) {
  PointDB u = a.p[3] - a.p[0], v = b.p[3] - b.p[0], w = b.p[0] - a.p[0];
  double det = v.x * u.y - v.y * u.x;
  if (det + 1.0 == 1.0) return;
  double sA = (w.x * v.y - w.y * v.x) / -det;
  double sB = (w.x * u.y - w.y * u.x) / -det;
  if (!(sA >= 0.0 && sA <= 1.0 && sB >= 0.0 && sB <= 1.0)) return;
  if (out->count >= kMaxCrossings) return;
  out->ta[out->count] = a.t0 + (a.t1 - a.t0) * sA;
  out->tb[out->count] = b.t0 + (b.t1 - b.t0) * sB;
  ++out->count;
}

// Halving in a fixed order: which crossings are found first decides which 20 are kept. Once
// 20 are kept no leaf can add one, so the walk stops there: along a stretch where the curves
// run together that bounds the work without changing the result.
void recurse(const Piece& a, int da, const Piece& b, int db, Records* out) {
  ++out->visits;
  if (out->count >= kMaxCrossings) return;
  if (da <= 0 && db <= 0) {
    intersect_chords(a, b, out);
  } else if (da <= 0) {
    Piece b1, b2;
    halve(b, &b1, &b2);
    BoxDB boxA = piece_box(a);
    if (boxes_overlap(piece_box(b1), boxA)) recurse(a, da, b1, db - 1, out);
    if (boxes_overlap(piece_box(b2), boxA)) recurse(a, da, b2, db - 1, out);
  } else if (db <= 0) {
    Piece a1, a2;
    halve(a, &a1, &a2);
    BoxDB boxB = piece_box(b);
    if (boxes_overlap(piece_box(a1), boxB)) recurse(a1, da - 1, b, db, out);
    if (boxes_overlap(piece_box(a2), boxB)) recurse(a2, da - 1, b, db, out);
  } else {
    Piece a1, a2, b1, b2;
    halve(a, &a1, &a2);
    halve(b, &b1, &b2);
    const BoxDB boxA[2] = {piece_box(a1), piece_box(a2)};
    const BoxDB boxB[2] = {piece_box(b1), piece_box(b2)};
    const Piece* as[2] = {&a1, &a2};
    const Piece* bs[2] = {&b1, &b2};
    for (int i = 0; i < 2; ++i) {
      for (int j = 0; j < 2; ++j) {
        if (boxes_overlap(boxA[i], boxB[j])) recurse(*as[i], da - 1, *bs[j], db - 1, out);
      }
    }
  }
}

// Snaps, then keeps one pair per distinct first parameter and one per distinct second.
int post_process(double* ta, double* tb, int n) {
  for (int i = 0; i < n; ++i) {
    ta[i] = snap_parameter(ta[i]);
    tb[i] = snap_parameter(tb[i]);
  }
  if (n < 2) return n;
  std::pair<double, double> pairs[kMaxCrossings];
  for (int i = 0; i < n; ++i) pairs[i] = {ta[i], tb[i]};
  auto drop_repeats = [&](auto key) {
    std::stable_sort(pairs, pairs + n,
                     [&](const auto& l, const auto& r) { return key(l) < key(r); });
    int kept = 1;
    for (int i = 1; i < n; ++i) {
      if (key(pairs[i]) != key(pairs[kept - 1])) pairs[kept++] = pairs[i];
    }
    n = kept;
  };
  drop_repeats([](const std::pair<double, double>& p) { return p.first; });
  drop_repeats([](const std::pair<double, double>& p) { return p.second; });
  for (int i = 0; i < n; ++i) {
    ta[i] = pairs[i].first;
    tb[i] = pairs[i].second;
  }
  return n;
}

bool same_points(const Cubic& a, PointDB b0, PointDB b1, PointDB b2, PointDB b3) {
  auto eq = [](PointDB p, PointDB q) { return p.x == q.x && p.y == q.y; };
  return eq(a.p0, b0) && eq(a.p1, b1) && eq(a.p2, b2) && eq(a.p3, b3);
}

Piece whole(const Cubic& c) { return Piece{{c.p0, c.p1, c.p2, c.p3}, 0.0, 1.0, false}; }

}  // namespace

double snap_parameter(double t) {
  if (std::fabs(t) < 0.001) return 0.0;
  if (std::fabs(t - 1.0) < 0.001) return 1.0;
  return t;
}

int subdivision_depth(const Cubic& c) {
  PointDB s1 = (c.p2 - c.p1) - (c.p1 - c.p0), s2 = (c.p3 - c.p2) - (c.p2 - c.p1);
  double d = std::max({std::fabs(s1.x), std::fabs(s1.y), std::fabs(s2.x), std::fabs(s2.y)});
  if (d * 0.75 * std::sqrt(2.0) + 1.0 == 1.0 || !std::isfinite(d)) return 0;
  return static_cast<int>(std::ceil(std::log(d * 8897462.402273584) / std::log(4.0)));
}

int intersect_lines(PointDB p0, PointDB p1, PointDB q0, PointDB q1, double ta[kMaxCrossings],
                    double tb[kMaxCrossings], uint8_t* coincident) {
  if (coincident != nullptr) *coincident = 0;
  double parallel = (q0.x - q1.x) * (p1.y - p0.y) - (q1.y - q0.y) * (p0.x - p1.x);
  double lbP0 = implicit_line(q0, q1, p0), lbP1 = implicit_line(q0, q1, p1);
  double laQ0 = implicit_line(p0, p1, q0), laQ1 = implicit_line(p0, p1, q1);
  if (std::fabs(parallel) < 0.01 && std::fabs(lbP0) < 0.1 && std::fabs(lbP1) < 0.1 &&
      std::fabs(laQ0) < 0.1 && std::fabs(laQ1) < 0.1) {
    int n = 0;
    double t;
    if (parameter_on_segment(q0, p0, p1, &t)) ta[n] = t, tb[n++] = 0.0;
    if (parameter_on_segment(q1, p0, p1, &t)) ta[n] = t, tb[n++] = 1.0;
    if (n == 0) {
      if (parameter_on_segment(p0, q0, q1, &t)) ta[n] = 0.0, tb[n++] = t;
      if (parameter_on_segment(p1, q0, q1, &t)) ta[n] = 1.0, tb[n++] = t;
    } else if (n == 1) {
      if (ta[0] != 0.0 && parameter_on_segment(p0, q0, q1, &t)) ta[n] = 0.0, tb[n++] = t;
      if (n < 2 && ta[0] != 1.0 && parameter_on_segment(p1, q0, q1, &t)) {
        ta[n] = 1.0, tb[n++] = t;
      }
    }
    if (n == 2 && coincident != nullptr) *coincident = 1;
    return n;
  }
  if (lbP0 == lbP1 || laQ0 == laQ1) return 0;  // parallel: the quotients have no value
  double sA = snap_parameter(lbP0 / (lbP0 - lbP1));
  double sB = snap_parameter(laQ0 / (laQ0 - laQ1));
  if (!(sA >= 0.0 && sA <= 1.0 && sB >= 0.0 && sB <= 1.0)) return 0;
  ta[0] = sA;
  tb[0] = sB;
  return 1;
}

int intersect_cubic_line(const Cubic& a, PointDB q0, PointDB q1, double ta[kMaxCrossings],
                         double tb[kMaxCrossings], uint8_t* coincident, uint64_t* visits) {
  if (coincident != nullptr) *coincident = 0;
  if (visits != nullptr) *visits = 0;
  Piece pa = whole(a), pb{{q0, q0, q1, q1}, 0.0, 1.0, true};
  if (!boxes_overlap(piece_box(pa), piece_box(pb))) return 0;
  Records out{ta, tb, 0, 0};
  recurse(pa, subdivision_depth(a), pb, 4, &out);
  if (visits != nullptr) *visits = out.visits;
  return post_process(ta, tb, out.count);
}

int intersect_cubics(const Cubic& a, const Cubic& b, double ta[kMaxCrossings],
                     double tb[kMaxCrossings], uint8_t* coincident, uint64_t* visits) {
  if (coincident != nullptr) *coincident = 0;
  if (visits != nullptr) *visits = 0;
  bool same = same_points(a, b.p0, b.p1, b.p2, b.p3);
  if (same || same_points(a, b.p3, b.p2, b.p1, b.p0)) {
    ta[0] = 0.0, tb[0] = same ? 0.0 : 1.0;
    ta[1] = 1.0, tb[1] = same ? 1.0 : 0.0;
    if (coincident != nullptr) *coincident = 1;
    return 2;
  }
  Piece pa = whole(a), pb = whole(b);
  if (!boxes_overlap(piece_box(pa), piece_box(pb))) return 0;
  Records out{ta, tb, 0, 0};
  recurse(pa, subdivision_depth(a), pb, subdivision_depth(b), &out);
  if (visits != nullptr) *visits = out.visits;
  return post_process(ta, tb, out.count);
}

}  // namespace zo::boolean
