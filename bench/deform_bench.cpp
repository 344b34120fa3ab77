// Deformation speed and faithfulness: envelopes and wraps of a line of 40 DejaVu Sans glyphs
// at 100 pixels (outlines from FreeType), side by side with lib2geom's exact compositions
// (bilinear map composed with the outline's s-basis; path along path with an arc-length
// parametrised baseline and its unit normal, back to cubics at 0.25 pixel) and a brute-force
// reference (64 exactly mapped samples per segment, written as a polyline). Each benchmark
// reports its deviation from the exact map (max_dev, mean_dev, two-way, pixels) and its node
// count beside its time. Stretch of a 10,000-subpath document against duplicating it.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <2geom/2geom.h>
#include <2geom/path-sink.h>
#include <2geom/sbasis-2d.h>
#include <2geom/sbasis-geometric.h>
#include <2geom/sbasis-to-bezier.h>

#include <cmath>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "Zo32path.h"

namespace {

// ---- The corpus: a line of 40 glyphs as cubic outlines ----

struct Contour {
  std::vector<Geom::Point> pts;  // start, then three points per segment (lines as thirds)
};
using Glyphs = std::vector<Contour>;

const Glyphs& glyph_line() {
  static Glyphs line = [] {
    Glyphs out;
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) != 0) return out;
    if (FT_New_Face(lib, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face) == 0) {
      FT_Set_Pixel_Sizes(face, 0, 100);
      const char* text = "Deformation along a path, in envelopes!!";
      double pen = 10;
      for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, FT_ULong(*c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
        struct Ctx {
          Glyphs* out;
          double pen;
          Geom::Point cur;
        } ctx{&out, pen, {}};
        FT_Outline_Funcs f{};
        auto at = [](const FT_Vector* v, void* u) {
          return Geom::Point(static_cast<Ctx*>(u)->pen + v->x / 64.0, 120 - v->y / 64.0);
        };
        static auto seg = [](Ctx* x, Geom::Point a, Geom::Point b, Geom::Point e) {
          x->out->back().pts.insert(x->out->back().pts.end(), {a, b, e});
          x->cur = e;
        };
        f.move_to = [](const FT_Vector* to, void* u) {
          auto* x = static_cast<Ctx*>(u);
          x->cur = Geom::Point(x->pen + to->x / 64.0, 120 - to->y / 64.0);
          x->out->push_back(Contour{{x->cur}});
          return 0;
        };
        f.line_to = [](const FT_Vector* to, void* u) {
          auto* x = static_cast<Ctx*>(u);
          Geom::Point e(x->pen + to->x / 64.0, 120 - to->y / 64.0);
          seg(x, x->cur + (e - x->cur) / 3, x->cur + (e - x->cur) * 2 / 3, e);
          return 0;
        };
        f.conic_to = [](const FT_Vector* q, const FT_Vector* to, void* u) {
          auto* x = static_cast<Ctx*>(u);
          Geom::Point c(x->pen + q->x / 64.0, 120 - q->y / 64.0), e(x->pen + to->x / 64.0, 120 - to->y / 64.0);
          seg(x, x->cur + (c - x->cur) * 2 / 3, e + (c - e) * 2 / 3, e);
          return 0;
        };
        f.cubic_to = [](const FT_Vector* a, const FT_Vector* b, const FT_Vector* to, void* u) {
          auto* x = static_cast<Ctx*>(u);
          auto p = [x](const FT_Vector* v) { return Geom::Point(x->pen + v->x / 64.0, 120 - v->y / 64.0); };
          seg(x, p(a), p(b), p(to));
          return 0;
        };
        (void)at;
        FT_Outline_Decompose(&face->glyph->outline, &f, &ctx);
        pen += face->glyph->advance.x / 64.0;
      }
      FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return out;
  }();
  return line;
}

ZoPath* to_list(const Glyphs& g) {
  ZoPath* head = nullptr;
  ZoPath* tail = nullptr;
  for (const Contour& c : g) {
    ZoPath* p = ZoPathCreate();
    for (size_t i = 0; i < c.pts.size(); ++i) {
      Ptfx pt{DbToFix(c.pts[i][0]), DbToFix(c.pts[i][1])};
      uint16_t type = i == 0 ? PT_MOVETO : PT_BEZIERTO;
      if (i + 1 == c.pts.size()) type |= PT_CLOSEFIGURE;
      ZoPathAddPoint(&p, &pt, type);
    }
    if (head == nullptr) head = p;
    else tail->next = p, p->prev = tail;
    tail = p;
  }
  return head;
}

void release(ZoPath* p) {
  while (p != nullptr) {
    ZoPath* next = p->next;
    ZoPathDeletePtr(p, 0);
    p = next;
  }
}

Geom::PathVector to_geom(const Glyphs& g) {
  Geom::PathVector pv;
  for (const Contour& c : g) {
    Geom::Path p(c.pts[0]);
    for (size_t i = 1; i + 2 < c.pts.size(); i += 3)
      p.appendNew<Geom::CubicBezier>(c.pts[i], c.pts[i + 1], c.pts[i + 2]);
    p.close(true);
    pv.push_back(p);
  }
  return pv;
}

// ---- Deviation: dense samples of two outlines compared both ways on a 1-pixel grid ----

using Cloud = std::vector<Geom::Point>;

double deviation(const Cloud& a, const Cloud& b, double* mean) {
  auto key = [](Geom::Point p) {
    return (int64_t(std::floor(p[0])) << 32) ^ (int64_t(std::floor(p[1])) & 0xFFFFFFFF);
  };
  double sum = 0, worst = 0;
  for (int dir = 0; dir < 2; ++dir) {
    const Cloud& from = dir == 0 ? a : b;
    const Cloud& to = dir == 0 ? b : a;
    std::unordered_map<int64_t, std::vector<Geom::Point>> grid;
    for (Geom::Point p : to) grid[key(p)].push_back(p);
    for (Geom::Point p : from) {
      double best = INFINITY;
      for (int r = 1; r <= 8 && (best == INFINITY || r <= 1 + int(best)); ++r)
        for (int dx = -r; dx <= r; ++dx)
          for (int dy = -r; dy <= r; ++dy) {
            auto it = grid.find(key(p + Geom::Point(dx, dy)));
            if (it != grid.end())
              for (Geom::Point q : it->second) best = std::min(best, Geom::distance(p, q));
          }
      best = std::min(best, 8.0);  // farther than 8 pixels counts as 8
      worst = std::max(worst, best);
      sum += best;
    }
  }
  *mean = sum / double(a.size() + b.size());
  return worst;
}

Cloud sample_geom(const Geom::PathVector& pv, double step = 0.05) {
  Cloud out;
  for (const Geom::Path& p : pv)
    for (const Geom::Curve& c : p) {
      int n = std::max(1, int(std::ceil(c.length(0.01) / step)));
      for (int k = 0; k < n; ++k) out.push_back(c.pointAt(double(k) / n));
    }
  return out;
}

Cloud sample_zo(ZoPath* list) {
  Geom::PathVector pv;
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    const PathNode* n = ZoPathNodes(p);
    auto at = [&](uint32_t i) { return Geom::Point(FixToDb(n[i].pt.x), FixToDb(n[i].pt.y)); };
    Geom::Path path(at(0));
    for (uint32_t i = 1; i < p->count;) {
      if ((n[i].type & PT_KIND_MASK) == PT_BEZIERTO && i + 2 < p->count) {
        path.appendNew<Geom::CubicBezier>(at(i), at(i + 1), at(i + 2));
        i += 3;
      } else {
        path.appendNew<Geom::LineSegment>(at(i));
        i += 1;
      }
    }
    pv.push_back(path);
  }
  return sample_geom(pv);
}

uint32_t zo_nodes(ZoPath* list) {
  uint32_t n = 0;
  for (; list != nullptr; list = list->next) n += list->count;
  return n;
}

// ---- Envelopes ----

struct Box {
  double left, top, w, h;
};
Box box_of(const Glyphs& g) {
  double l = INFINITY, t = INFINITY, r = -INFINITY, btm = -INFINITY;
  for (const Contour& c : g)
    for (Geom::Point p : c.pts)
      l = std::min(l, p[0]), t = std::min(t, p[1]), r = std::max(r, p[0]), btm = std::max(btm, p[1]);
  return Box{l, t, r - l, btm - t};
}
// A distorted bilinear frame over the box: corners moved by 20% of the height.
std::vector<Geom::Point> frame_of(const Box& b) {
  return {Geom::Point(b.left - 0.2 * b.h, b.top + 0.2 * b.h), Geom::Point(b.left + b.w, b.top - 0.2 * b.h),
          Geom::Point(b.left, b.top + b.h), Geom::Point(b.left + b.w + 0.2 * b.h, b.top + 1.2 * b.h)};
}
Geom::Point bilinear(const std::vector<Geom::Point>& f, const Box& b, Geom::Point p) {
  double u = (p[0] - b.left) / b.w, v = (p[1] - b.top) / b.h;
  return f[0] * ((1 - u) * (1 - v)) + f[1] * (u * (1 - v)) + f[2] * ((1 - u) * v) + f[3] * (u * v);
}

// The exact image, densely sampled, of the source under a point map.
template <typename Map>
Cloud exact_image(const Glyphs& g, Map&& map) {
  Cloud out;
  for (Geom::Point p : sample_geom(to_geom(g))) out.push_back(map(p));
  return out;
}

Geom::PathVector brute_force(const Glyphs& g, const std::function<Geom::Point(Geom::Point)>& map) {
  Geom::PathVector out;
  for (const Geom::Path& p : to_geom(g)) {
    Geom::Path q(map(p.initialPoint()));
    for (const Geom::Curve& c : p)
      for (int k = 1; k <= 64; ++k) q.appendNew<Geom::LineSegment>(map(c.pointAt(k / 64.0)));
    out.push_back(q);
  }
  return out;
}

Geom::PathVector geom_bilinear(const Glyphs& g, const std::vector<Geom::Point>& f, const Box& b) {
  Geom::PathVector out;
  Geom::Linear2d lx(f[0][0], f[1][0], f[2][0], f[3][0]), ly(f[0][1], f[1][1], f[2][1], f[3][1]);
  for (const Geom::Path& p : to_geom(g)) {
    Geom::Piecewise<Geom::D2<Geom::SBasis>> pw = p.toPwSb(), mapped;
    mapped.cuts = pw.cuts;
    for (const Geom::D2<Geom::SBasis>& s : pw.segs) {
      Geom::D2<Geom::SBasis> uv((s[0] - b.left) * (1 / b.w), (s[1] - b.top) * (1 / b.h));
      mapped.segs.push_back(Geom::D2<Geom::SBasis>(Geom::compose(lx, uv), Geom::compose(ly, uv)));
    }
    for (const Geom::Path& q : Geom::path_from_piecewise(mapped, 0.25)) out.push_back(q);
  }
  return out;
}

void report(benchmark::State& state, const Cloud& exact, const Cloud& got, double nodes) {
  double mean = 0;
  state.counters["max_dev"] = deviation(exact, got, &mean);
  state.counters["mean_dev"] = mean;
  state.counters["nodes"] = nodes;
}

void BM_EnvelopeBilinear_Zo(benchmark::State& state) {
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  std::vector<Geom::Point> f = frame_of(b);
  Ptfx pts[4];
  for (int i = 0; i < 4; ++i) pts[i] = Ptfx{DbToFix(f[i][0]), DbToFix(f[i][1])};
  RectDB domain{b.left, b.top, b.left + b.w, b.top + b.h};
  ZoPath* src = to_list(g);
  ZoPath* work = nullptr;
  for (auto _ : state) {
    state.PauseTiming();
    release(work);
    ZoPathDuplicatePtr(src, &work);
    state.ResumeTiming();
    for (ZoPath* p = work; p != nullptr; p = p->next) ZoPathDomainRangeBilinear(p, &domain, nullptr, pts);
  }
  report(state, exact_image(g, [&](Geom::Point p) { return bilinear(f, b, p); }), sample_zo(work), zo_nodes(work));
  release(work);
  release(src);
}

void BM_EnvelopeBilinear_2geom(benchmark::State& state) {
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  std::vector<Geom::Point> f = frame_of(b);
  Geom::PathVector out;
  for (auto _ : state) benchmark::DoNotOptimize(out = geom_bilinear(g, f, b));
  report(state, exact_image(g, [&](Geom::Point p) { return bilinear(f, b, p); }), sample_geom(out), out.curveCount() * 3.0);
}

void BM_EnvelopeBilinear_Brute(benchmark::State& state) {
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  std::vector<Geom::Point> f = frame_of(b);
  Geom::PathVector out;
  for (auto _ : state) benchmark::DoNotOptimize(out = brute_force(g, [&](Geom::Point p) { return bilinear(f, b, p); }));
  report(state, exact_image(g, [&](Geom::Point p) { return bilinear(f, b, p); }), sample_geom(out), out.curveCount());
}

// ---- Wraps: circle arc (0), S-curve of four cubics (1), mitred polyline (2) ----

Geom::Path baseline(int kind) {
  const double k = 0.5522847;
  if (kind == 0) {  // a circle of radius 1400 from its left point, up and round
    double r = 1400, cx = 1500, cy = 1600;
    Geom::Path p(Geom::Point(cx - r, cy));
    for (int q = 0; q < 4; ++q) {
      double a0 = M_PI + q * M_PI / 2, a1 = a0 + M_PI / 2;
      Geom::Point s(cx + r * std::cos(a0), cy + r * std::sin(a0)), e(cx + r * std::cos(a1), cy + r * std::sin(a1));
      Geom::Point ts(-std::sin(a0), std::cos(a0)), te(-std::sin(a1), std::cos(a1));
      p.appendNew<Geom::CubicBezier>(s + ts * (k * r), e - te * (k * r), e);
    }
    p.close(true);
    return p;
  }
  if (kind == 1) {  // four quarter arcs of radius 900, turning one way then the other
    double r = 900;
    Geom::Path p(Geom::Point(0, r));
    p.appendNew<Geom::CubicBezier>(Geom::Point(0, r - k * r), Geom::Point(r - k * r, 0), Geom::Point(r, 0));
    p.appendNew<Geom::CubicBezier>(Geom::Point(r + k * r, 0), Geom::Point(2 * r, r - k * r), Geom::Point(2 * r, r));
    p.appendNew<Geom::CubicBezier>(Geom::Point(2 * r, r + k * r), Geom::Point(3 * r - k * r, 2 * r), Geom::Point(3 * r, 2 * r));
    p.appendNew<Geom::CubicBezier>(Geom::Point(3 * r + k * r, 2 * r), Geom::Point(4 * r, r + k * r), Geom::Point(4 * r, r));
    return p;
  }
  Geom::Path p(Geom::Point(0, 600));
  for (int i = 1; i <= 6; ++i) p.appendNew<Geom::LineSegment>(Geom::Point(i * 800.0, i % 2 ? 300.0 : 600.0));
  return p;
}

ZoPath* to_record(const Geom::Path& p) {
  ZoPath* r = ZoPathCreate();
  auto add = [&](Geom::Point q, uint16_t t) {
    Ptfx pt{DbToFix(q[0]), DbToFix(q[1])};
    ZoPathAddPoint(&r, &pt, t);
  };
  add(p.initialPoint(), PT_MOVETO);
  for (const Geom::Curve& c : p) {
    if (auto* cb = dynamic_cast<const Geom::CubicBezier*>(&c)) {
      add((*cb)[1], PT_BEZIERTO), add((*cb)[2], PT_BEZIERTO), add((*cb)[3], PT_BEZIERTO);
    } else {
      add(c.finalPoint(), PT_LINETO);
    }
  }
  if (p.closed()) ZoPathNodes(r)[r->count - 1].type |= PT_CLOSEFIGURE;
  return r;
}

// The exact wrap (arc length from a dense walk of the baseline, normals from its derivative;
// mitred corners for the polyline as the library defines them). Source x from the left edge,
// y above the box bottom + 1.
struct ExactWrap {
  std::vector<double> len;
  std::vector<Geom::Point> pt, normal;
  ExactWrap(const Geom::Path& p, bool mitre) {
    const int per = 4000;
    len.push_back(0);
    for (size_t c = 0; c < p.size_default(); ++c)
      for (int k = 0; k <= per; ++k) {
        double t = double(k) / per;
        if (k == 0 && c > 0) continue;
        Geom::Point q = p[c].pointAt(t), d = p[c].unitTangentAt(t);
        if (!pt.empty()) len.push_back(len.back() + Geom::distance(q, pt.back()));
        pt.push_back(q);
        Geom::Point n(d[1], -d[0]);
        normal.push_back(n);
      }
    if (mitre) blend_mitres(p);
  }
  // On a polyline the offset direction turns from one mitre to the next along each segment.
  void blend_mitres(const Geom::Path& p) {
    size_t segs = p.size_default(), per = (pt.size() - 1) / segs;
    std::vector<Geom::Point> t(segs);
    for (size_t c = 0; c < segs; ++c) t[c] = Geom::unit_vector(p[c].finalPoint() - p[c].initialPoint());
    for (size_t c = 0; c < segs; ++c) {
      Geom::Point own(t[c][1], -t[c][0]);
      auto mitre = [&](size_t a, size_t b2) {
        Geom::Point s = Geom::unit_vector(t[a] + t[b2]);
        return Geom::Point(s[1], -s[0]);
      };
      Geom::Point m0 = c > 0 ? mitre(c - 1, c) : own, m1 = c + 1 < segs ? mitre(c, c + 1) : own;
      for (size_t k = 0; k <= per; ++k) {
        double f = double(k) / per;
        Geom::Point d = Geom::unit_vector(m0 * (1 - f) + m1 * f);
        normal[c * per + k] = d / Geom::dot(d, own);
      }
    }
  }
  Geom::Point map(Geom::Point p, double left, double ref) const {
    double s = p[0] - left + 50;
    size_t i = std::min(len.size() - 2, size_t(std::lower_bound(len.begin(), len.end(), s) - len.begin()));
    i = i == 0 ? 0 : i - 1;
    double f = len[i + 1] > len[i] ? (s - len[i]) / (len[i + 1] - len[i]) : 0;
    Geom::Point at = pt[i] * (1 - f) + pt[i + 1] * f, n = normal[i] * (1 - f) + normal[i + 1] * f;
    return at + n * (ref - p[1]);
  }
};

const ExactWrap& exact_wrap(int kind) {
  static std::map<int, ExactWrap> cache;
  auto it = cache.find(kind);
  if (it == cache.end()) it = cache.emplace(kind, ExactWrap(baseline(kind), kind == 2)).first;
  return it->second;
}

void BM_Wrap_Zo(benchmark::State& state) {
  int kind = int(state.range(0));
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  ZoPath* src = to_list(g);
  ZoPath* base = to_record(baseline(kind));
  ZoPath* work = nullptr;
  RectDB shape;
  ZoPathGetDoubleShapeRectNoMargin(src, &shape, 0);
  for (auto _ : state) {
    state.PauseTiming();
    release(work);
    ZoPathDuplicatePtr(src, &work);
    ZoPathWrapInfo w{};
    w.baseline = base, w.deform = w.followNormal = 1, w.startHeight = w.endHeight = 100;
    w.cornerMode = kind == 2;
    w.start = 50.0 / ZoPathGetLength2(base);
    state.ResumeTiming();
    ZoPathWrap(&work, &w);
  }
  const ExactWrap& e = exact_wrap(kind);
  double ref = shape.bottom + 1;
  report(state, exact_image(g, [&](Geom::Point p) { return e.map(p, shape.left, ref); }), sample_zo(work), zo_nodes(work));
  (void)b;
  release(work);
  release(src);
  ZoPathDeletePtr(base, 0);
}

void BM_Wrap_2geom(benchmark::State& state) {
  int kind = int(state.range(0));
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  Geom::PathVector src = to_geom(g), out;
  double ref = b.top + b.h + 1;
  for (auto _ : state) {
    out.clear();
    Geom::Piecewise<Geom::D2<Geom::SBasis>> skeleton = Geom::arc_length_parametrization(baseline(kind).toPwSb(), 2, 0.1);
    Geom::Piecewise<Geom::D2<Geom::SBasis>> n = Geom::rot90(Geom::unitVector(Geom::derivative(skeleton)));
    for (const Geom::Path& p : src) {
      Geom::D2<Geom::Piecewise<Geom::SBasis>> xy = Geom::make_cuts_independent(p.toPwSb());
      Geom::Piecewise<Geom::SBasis> x = xy[0] - b.left + 50, y = xy[1] - ref;  // rot90 turns the other way
      Geom::Piecewise<Geom::D2<Geom::SBasis>> img = Geom::compose(skeleton, x) + y * Geom::compose(n, x);
      for (const Geom::Path& q : Geom::path_from_piecewise(img, 0.25)) out.push_back(q);
    }
    benchmark::DoNotOptimize(out);
  }
  const ExactWrap& e = exact_wrap(kind);
  report(state, exact_image(g, [&](Geom::Point p) { return e.map(p, b.left, ref); }), sample_geom(out), out.curveCount() * 3.0);
}

void BM_Wrap_Brute(benchmark::State& state) {
  int kind = int(state.range(0));
  const Glyphs& g = glyph_line();
  Box b = box_of(g);
  const ExactWrap& e = exact_wrap(kind);
  double ref = b.top + b.h + 1;
  Geom::PathVector out;
  for (auto _ : state) benchmark::DoNotOptimize(out = brute_force(g, [&](Geom::Point p) { return e.map(p, b.left, ref); }));
  report(state, exact_image(g, [&](Geom::Point p) { return e.map(p, b.left, ref); }), sample_geom(out), out.curveCount());
}

// ---- Stretch of a 10,000-subpath document against duplicating it ----

ZoPath* document() {
  static ZoPath* doc = [] {
    ZoPath* head = nullptr;
    ZoPath* tail = nullptr;
    for (int i = 0; i < 10000; ++i) {
      ZoPath* p = ZoPathCreate();
      double x = (i % 100) * 30.0, y = (i / 100) * 30.0;
      const double xy[5][2] = {{x, y}, {x + 20, y}, {x + 25, y + 10}, {x + 20, y + 20}, {x, y + 20}};
      for (int k = 0; k < 5; ++k) {
        Ptfx pt{DbToFix(xy[k][0]), DbToFix(xy[k][1])};
        ZoPathAddPoint(&p, &pt, k == 0 ? PT_MOVETO : k == 4 ? PT_LINETO | PT_CLOSEFIGURE : k == 1 ? PT_LINETO : PT_BEZIERTO);
      }
      if (head == nullptr) head = p;
      else tail->next = p, p->prev = tail;
      tail = p;
    }
    return head;
  }();
  return doc;
}

void BM_Stretch10k(benchmark::State& state) {
  double a = 1000, b2 = 2000, c = 1000, d = 2500;
  document();  // built before the clock starts
  for (auto _ : state) {
    ZoPath* out = nullptr;
    ZoPathStretch(document(), &out, &a, &b2, &c, &d, 1);
    state.PauseTiming();
    release(out);
    state.ResumeTiming();
  }
}

void BM_Duplicate10k(benchmark::State& state) {
  document();
  for (auto _ : state) {
    ZoPath* out = nullptr;
    ZoPathDuplicatePtr(document(), &out);
    state.PauseTiming();
    release(out);
    state.ResumeTiming();
  }
}

int init = [] { return int(ZoPathInit()); }();

BENCHMARK(BM_EnvelopeBilinear_Zo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnvelopeBilinear_2geom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnvelopeBilinear_Brute)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wrap_Zo)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wrap_2geom)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wrap_Brute)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Stretch10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Duplicate10k)->Unit(benchmark::kMillisecond);

}  // namespace
