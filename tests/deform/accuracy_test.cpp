// How faithfully the deformations follow the exact mathematical ones. Glyph-like outlines
// are sampled densely (0.05 pixel apart), mapped exactly (true arc length by Gauss-Legendre
// integration, exact unit normals; the envelope formulas for envelopes), and compared with a
// dense sampling of the library's output both ways. The tables are printed; the targets
// asserted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <unordered_map>

#include "deform_helpers.hpp"

namespace {

using namespace zo_test;

constexpr double kSpacing = 0.05;

struct Seg {
  bool cubic;
  PointDB p[4];
};

std::vector<Seg> segments_of(ZoPath* p) {
  std::vector<Seg> out;
  const PathNode* n = ZoPathNodes(p);
  PointDB cur = db(n[0].pt);
  for (uint32_t i = 1; i < p->count;) {
    bool cubic = (n[i].type & PT_KIND_MASK) == PT_BEZIERTO;
    PointDB e = db(n[i + (cubic ? 2 : 0)].pt);
    out.push_back(Seg{cubic, {cur, cubic ? db(n[i].pt) : cur, cubic ? db(n[i + 1].pt) : e, e}});
    cur = e;
    i += cubic ? 3 : 1;
  }
  return out;
}

PointDB seg_at(const Seg& s, double t) {
  return s.cubic ? bezier_at(s.p, t) : PointDB{s.p[0].x + t * (s.p[3].x - s.p[0].x), s.p[0].y + t * (s.p[3].y - s.p[0].y)};
}
PointDB seg_d(const Seg& s, double t) {
  if (!s.cubic) return PointDB{s.p[3].x - s.p[0].x, s.p[3].y - s.p[0].y};
  double u = 1 - t;
  auto d = [&](double a, double b, double c, double e) { return 3 * u * u * (b - a) + 6 * u * t * (c - b) + 3 * t * t * (e - c); };
  return PointDB{d(s.p[0].x, s.p[1].x, s.p[2].x, s.p[3].x), d(s.p[0].y, s.p[1].y, s.p[2].y, s.p[3].y)};
}

// Adaptive 5-point Gauss-Legendre length of a segment over [a, b].
double gl_length(const Seg& s, double a, double b, int depth = 0) {
  static const double x[5] = {0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640};
  static const double w[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665, 0.2369268850561891, 0.2369268850561891};
  auto rule = [&](double lo, double hi) {
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
      PointDB d = seg_d(s, 0.5 * (hi - lo) * x[i] + 0.5 * (hi + lo));
      sum += w[i] * std::hypot(d.x, d.y);
    }
    return 0.5 * (hi - lo) * sum;
  };
  double whole = rule(a, b), m = 0.5 * (a + b), halves = rule(a, m) + rule(m, b);
  if (std::fabs(whole - halves) < 1e-10 || depth > 20) return halves;
  return gl_length(s, a, m, depth + 1) + gl_length(s, m, b, depth + 1);
}

// The exact wrap: arc position to point and unit normal on the baseline.
struct ExactBaseline {
  std::vector<Seg> segs;
  std::vector<double> starts;
  double total = 0;
  bool closed;
  explicit ExactBaseline(ZoPath* b) : segs(segments_of(b)), closed(ZoPathNodes(b)[b->count - 1].type & PT_CLOSEFIGURE) {
    for (const Seg& s : segs) starts.push_back(total), total += gl_length(s, 0, 1);
  }
  // s to (segment, t): a table of lengths at 256 parameter steps, then Newton steps on the
  // Gauss-Legendre length.
  std::vector<std::vector<double>> table;
  void at(double s, PointDB* point, PointDB* normal) {
    if (table.empty())
      for (const Seg& g : segs) {
        std::vector<double> run{0};
        for (int i = 1; i <= 256; ++i) run.push_back(run.back() + gl_length(g, (i - 1) / 256.0, i / 256.0));
        table.push_back(run);
      }
    if (closed) s -= std::floor(s / total) * total;
    size_t k = std::upper_bound(starts.begin(), starts.end(), s) - starts.begin() - 1;
    k = std::min(k, segs.size() - 1);
    double want = s - starts[k];
    const std::vector<double>& run = table[k];
    size_t i = std::min<size_t>(255, std::upper_bound(run.begin(), run.end(), want) - run.begin() - 1);
    double t = i / 256.0;
    for (int step = 0; step < 4; ++step) {
      PointDB d = seg_d(segs[k], t);
      t = std::clamp(t + (want - run[i] - gl_length(segs[k], i / 256.0, t)) / std::hypot(d.x, d.y), 0.0, 1.0);
    }
    *point = seg_at(segs[k], t);
    PointDB d = seg_d(segs[k], t);
    double len = std::hypot(d.x, d.y);
    *normal = PointDB{d.y / len, -d.x / len};
  }
};

// Samples 0.05 pixel apart (or closer) along every subpath of a list.
std::vector<PointDB> samples(ZoPath* list) {
  std::vector<PointDB> out;
  for (ZoPath* p = list; p != nullptr; p = p->next)
    for (const Seg& s : segments_of(p)) {
      int n = std::max(1, static_cast<int>(std::ceil(gl_length(s, 0, 1) / kSpacing * 1.5)));
      for (int k = 0; k < n; ++k) out.push_back(seg_at(s, static_cast<double>(k) / n));
    }
  return out;
}

// Two-way distance between point clouds through a grid of 1-pixel cells.
struct Deviation {
  double max = 0, mean = 0;
};
Deviation deviation(const std::vector<PointDB>& a, const std::vector<PointDB>& b) {
  auto key = [](double x, double y) { return (static_cast<int64_t>(std::floor(x)) << 32) ^ (static_cast<int64_t>(std::floor(y)) & 0xFFFFFFFF); };
  auto one_way = [&](const std::vector<PointDB>& from, const std::vector<PointDB>& to, double* sum) {
    std::unordered_map<int64_t, std::vector<PointDB>> grid;
    for (PointDB p : to) grid[key(p.x, p.y)].push_back(p);
    double worst = 0;
    for (PointDB p : from) {
      double best = INFINITY;
      for (int r = 1; best == INFINITY || r <= 1 + static_cast<int>(best); ++r) {
        for (int dx = -r; dx <= r; ++dx)
          for (int dy = -r; dy <= r; ++dy) {
            auto it = grid.find(key(p.x + dx, p.y + dy));
            if (it == grid.end()) continue;
            for (PointDB q : it->second) best = std::min(best, std::hypot(p.x - q.x, p.y - q.y));
          }
        if (r > 400) break;
      }
      worst = std::max(worst, best);
      *sum += best;
    }
    return worst;
  };
  double sa = 0, sb = 0;
  Deviation d;
  d.max = std::max(one_way(a, b, &sa), one_way(b, a, &sb));
  d.mean = (sa + sb) / (a.size() + b.size());
  return d;
}

// Glyph-like outlines of height h with their top-left at the origin: a ring ("O") of cubics,
// a straight-stemmed "E", and an "S" of cubics.
std::string circle_text(double cx, double cy, double r, bool reverse) {
  double k = r * 0.5522847, v = reverse ? -1 : 1;
  char buf[512];
  std::snprintf(buf, sizeof buf, "M %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g Z",
                cx + r, cy, cx + r, cy + v * k, cx + k, cy + v * r, cx, cy + v * r, cx - k, cy + v * r, cx - r, cy + v * k, cx - r, cy,
                cx - r, cy - v * k, cx - k, cy - v * r, cx, cy - v * r, cx + k, cy - v * r, cx + r, cy - v * k, cx + r, cy);
  return buf;
}
ZoPath* glyph(int which, double h) {
  if (which == 0) {
    ZoPath* outer = path_from(circle_text(h / 2, h / 2, h / 2, false));
    ZoPath* inner = path_from(circle_text(h / 2, h / 2, h / 3, true));
    return link_list({outer, inner});
  }
  if (which == 1) {
    double w = 0.6 * h, s = 0.12 * h;
    std::vector<double> xy = {0, 0, w, 0, w, s, s, s, s, h / 2 - s / 2, 0.8 * w, h / 2 - s / 2, 0.8 * w, h / 2 + s / 2,
                              s, h / 2 + s / 2, s, h - s, w, h - s, w, h, 0, h};
    std::string t = "M 0 0";
    for (size_t i = 2; i < xy.size(); i += 2) t += " L " + std::to_string(xy[i]) + " " + std::to_string(xy[i + 1]);
    return path_from(t + " Z");
  }
  double w = 0.6 * h;
  char buf[400];
  std::snprintf(buf, sizeof buf, "M %g 0 C %g %g %g %g %g %g C %g %g %g %g %g %g L %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g Z",
                w, -0.1 * w, 0.0, -0.1 * w, 0.5 * h, w, 0.5 * h, 1.1 * w, 0.5 * h, 1.1 * w, h, 0.0, h, 0.0, 0.85 * h,
                0.9 * w, 0.85 * h, 0.9 * w, 0.6 * h, 0.1 * w, 0.55 * h, -0.3 * w, 0.5 * h, 0.0, 0.0, w, 0.15 * h);
  return path_from(buf);
}

ZoPath* circle_baseline(double r) { return path_from(circle_text(r + 10, r + 10, r, false)); }
// An S-curve of four quarter arcs of radius r, turning one way and then the other.
ZoPath* s_curve(double r) {
  double k = r * 0.5522847;
  char buf[400];
  std::snprintf(buf, sizeof buf, "M 0 %g C %g %g %g %g %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g C %g %g %g %g %g %g",
                r, 0.0, r - k, r - k, 0.0, r, 0.0, r + k, 0.0, 2 * r, r - k, 2 * r, r, 2 * r, r + k, 3 * r - k, 2 * r, 3 * r, 2 * r,
                3 * r + k, 2 * r, 4 * r, r + k, 4 * r, r);
  return path_from(buf);
}

TEST(DeformAccuracy, WrapFollowsTheExactMapWithinAQuarterPixel) {
  ZoPathInit();
  std::printf("%-10s %-6s %5s %10s %10s %7s\n", "baseline", "glyph", "h", "max px", "mean px", "nodes");
  for (int base = 0; base < 2; ++base)
    for (double h : {50.0, 100.0, 200.0})
      for (int g = 0; g < 3; ++g) {
        ZoPath* b = base == 0 ? circle_baseline(2 * h) : s_curve(2.2 * h);
        ExactBaseline exact(b);
        ZoPath* src = glyph(g, h);
        RectDB box;
        ZoPathGetDoubleShapeRectNoMargin(src, &box, 0);
        double refY = box.top + (box.bottom - box.top + 1);  // vertical reference 0
        std::vector<PointDB> want;
        for (PointDB p : samples(src)) {
          PointDB at, n;
          exact.at(p.x - box.left + 0.1 * exact.total, &at, &n);
          double d = refY - p.y;
          want.push_back(PointDB{at.x + d * n.x, at.y + d * n.y});
        }
        ZoPathWrapInfo w{};
        w.baseline = b, w.deform = 1, w.followNormal = 1, w.startHeight = w.endHeight = 100;
        w.start = 0.1;
        ZoPath* list = src;
        ASSERT_EQ(ZoPathWrap(&list, &w), 1u);
        uint32_t nodes = 0;
        for (ZoPath* p = list; p != nullptr; p = p->next) nodes += p->count;
        Deviation d = deviation(want, samples(list));
        std::printf("%-10s %-6s %5.0f %10.4f %10.4f %7u\n", base == 0 ? "circle" : "S-curve", g == 0 ? "O" : g == 1 ? "E" : "S", h,
                    d.max, d.mean, nodes);
        EXPECT_LE(d.max, 0.25) << base << ' ' << g << ' ' << h;
        release_list(list);
        ZoPathDeletePtr(b, 0);
      }
}

TEST(DeformAccuracy, EnvelopesAgainstDistortion) {
  ZoPathInit();
  std::mt19937 rng(8);
  std::printf("%-9s %9s %10s %10s\n", "frame", "distort", "max px", "mean px");
  for (int kind = 0; kind < 2; ++kind)
    for (double distort : {0.0, -1.0, 0.1, 0.25, 0.5}) {  // -1: an affine (parallelogram) frame
      ZoPath* src = glyph(0, 100);
      ZoPath* e = glyph(2, 100);
      ZoPath* tail = src;
      while (tail->next != nullptr) tail = tail->next;
      tail->next = e, e->prev = tail;
      RectDB box;
      ZoPathGetDoubleRectNoMargin(src, &box, 0);
      Kind k = kind == 0 ? Kind::kBilinear : Kind::kBezierH;
      std::vector<Ptfx> frame = box_frame(k, box);
      std::uniform_real_distribution<double> move(-distort * 100, distort * 100);
      for (Ptfx& f : frame) {
        if (distort > 0) f = PtfxAdd(f, Ptfx{DbToFix(move(rng)), DbToFix(move(rng))});
        if (distort < 0) f.x += DbToFix(0.3 * (FixToDb(f.y) - box.top));  // a shear
      }
      std::vector<PointDB> want;
      for (PointDB p : samples(src)) want.push_back(envelope_image(k, frame.data(), box, p));
      for (ZoPath* p = src; p != nullptr; p = p->next)
        (kind == 0 ? ZoPathDomainRangeBilinear : ZoPathDomainRangeBiCubic)(p, &box, nullptr, frame.data());
      Deviation d = deviation(want, samples(src));
      std::printf("%-9s %9s %10.4f %10.4f\n", kind == 0 ? "bilinear" : "bi-Bezier",
                  distort < 0 ? "affine" : std::to_string(distort).substr(0, 4).c_str(), d.max, d.mean);
      EXPECT_TRUE(distort > 0 || d.max <= 0.04) << "identity and affine frames are exact";
      release_list(src);
    }
}

}  // namespace
