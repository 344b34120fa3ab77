// Making shapes: building an ellipse, a rounded rectangle, a banded rectangle, a 63-sided star
// (side style 2) and a 63-sided decorative polygon (side style 10) with our calls, side by side
// with building the same figures as paths with Cairo (cairo_arc / cairo_curve_to /
// cairo_line_to, then cairo_copy_path, on a context made once) and AGG (agg::ellipse,
// agg::rounded_rect, agg::path_storage). Then the pen tool's cost per message in a 1,000-click
// session on a 1920 x 1080 memory DC, a rubber-band move at 10 and at 1,000 nodes, and the
// polygon preview (63-sided style 10, 1,000 pixels across) against Cairo stroking the same path
// one pixel wide without anti-aliasing on an RGB24 surface of the same size.
#include <agg_ellipse.h>
#include <agg_path_storage.h>
#include <agg_rounded_rect.h>
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <vector>

#include "Zo32path.h"

namespace {

constexpr double kPi = 3.14159265358979;
// The drag every figure is made from: 400 x 250 pixels from (100, 100), zoom 1.
const RECT kDrag{100, 100, 499, 349};
constexpr double kCx = 299.5, kCy = 224.5, kA = 200, kB = 125;

// One side of the decorative style-10 figure (radius factor, fraction of the side angle): the
// polar pattern the peers are given to build the same polygon.
const double kDeco[9][2] = {{0.75, 0.0625}, {0.75, 0.1875}, {8.0 / 9, 0.25},
                            {1, 0.375},     {1, 0.625},     {8.0 / 9, 0.75},
                            {0.75, 0.8125}, {0.75, 0.9375}, {1, 1}};

struct View {
  CoordStruct* view = nullptr;
  View() {
    ZoPathInit();
    const RECT window{0, 0, 1920, 1080};
    ZoPathCoordStruct(&window, 0, 0, 1.0, nullptr, &view);
  }
  ~View() { ZoPathDeleteCoordStruct(view); }
};

enum Figure { kEllipseFig, kRoundedFig, kBandedFig, kStarFig, kDecoFig };

// ---- Ours ----

void BM_Zo(benchmark::State& state) {
  View v;
  const auto fig = Figure(state.range(0));
  const RECT square{100, 100, 1099, 1099};
  for (auto _ : state) {
    ZoPath* p = nullptr;
    if (fig == kEllipseFig) ZoPathGetPrimitive(ZOPRIM_ELLIPSE, nullptr, &p, v.view, 0, 0, &kDrag);
    if (fig == kRoundedFig) ZoPathGetPrimitive(ZOPRIM_ROUNDED, nullptr, &p, v.view, 0, 0, &kDrag);
    if (fig == kBandedFig) ZoPathGetPrimitive(ZOPRIM_BANDED, nullptr, &p, v.view, 0, 0, &kDrag);
    if (fig == kStarFig) ZoPathPolyGet(63, 2, nullptr, &p, v.view, &square, 0, 1);
    if (fig == kDecoFig) ZoPathPolyGet(63, 10, nullptr, &p, v.view, &square, 0, 1);
    benchmark::DoNotOptimize(p);
    ZoPathDeletePtr(p, 0);
  }
}

// ---- Cairo ----

// The star or decorative polygon of 63 sides, radius 500 about (600, 600), from the top.
template <typename Line, typename Curve>
void polygon(bool deco, Line&& line, Curve&& curve) {
  const int n = 63;
  const double step = 2 * kPi / n, start = -kPi / 2, r = 500;
  auto at = [&](double f, double a, double* x, double* y) {
    *x = 600 + r * f * std::cos(a);
    *y = 600 + r * f * std::sin(a);
  };
  for (int k = 0; k < n; ++k) {
    const double a0 = start + k * step;
    double x[3], y[3];
    if (!deco) {
      at(1.0 / 3, a0 + step / 2, &x[0], &y[0]);
      at(1, a0 + step, &x[1], &y[1]);
      line(x[0], y[0]);
      line(x[1], y[1]);
      continue;
    }
    for (int j = 0; j < 9; j += 3) {
      for (int i = 0; i < 3; ++i) at(kDeco[j + i][0], a0 + kDeco[j + i][1] * step, &x[i], &y[i]);
      curve(x, y);
    }
  }
}

void cairo_figure(cairo_t* cr, Figure fig) {
  cairo_new_path(cr);
  switch (fig) {
    case kEllipseFig:
      cairo_save(cr);
      cairo_translate(cr, kCx, kCy);
      cairo_scale(cr, kA, kB);
      cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
      cairo_restore(cr);
      break;
    case kRoundedFig: {
      const double r = kA / 3, l = kCx - kA, t = kCy - kB, rt = kCx + kA, b = kCy + kB;
      cairo_arc(cr, l + r, b - r, r, kPi / 2, kPi);
      cairo_arc(cr, l + r, t + r, r, kPi, 1.5 * kPi);
      cairo_arc(cr, rt - r, t + r, r, 1.5 * kPi, 2 * kPi);
      cairo_arc(cr, rt - r, b - r, r, 0, kPi / 2);
      break;
    }
    case kBandedFig: {
      const double s = 2 * kA / 12, l = kCx - kA, t = kCy - kB, rt = kCx + kA, b = kCy + kB;
      cairo_move_to(cr, l, t);
      for (int i = 0; i < 4; ++i)
        cairo_curve_to(cr, l + (3 * i + 1) * s, t, l + (3 * i + 2) * s, t, l + (3 * i + 3) * s, t);
      cairo_line_to(cr, rt, b);
      for (int i = 0; i < 4; ++i)
        cairo_curve_to(cr, rt - (3 * i + 1) * s, b, rt - (3 * i + 2) * s, b, rt - (3 * i + 3) * s,
                       b);
      break;
    }
    default:
      cairo_move_to(cr, 600, 100);
      polygon(fig == kDecoFig, [&](double x, double y) { cairo_line_to(cr, x, y); },
              [&](double* x, double* y) {
                cairo_curve_to(cr, x[0], y[0], x[1], y[1], x[2], y[2]);
              });
  }
  cairo_close_path(cr);
}

void BM_Cairo(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 16, 16);
  cairo_t* cr = cairo_create(surface);
  const auto fig = Figure(state.range(0));
  for (auto _ : state) {
    cairo_figure(cr, fig);
    cairo_path_t* path = cairo_copy_path(cr);
    benchmark::DoNotOptimize(path);
    cairo_path_destroy(path);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

// ---- AGG ----

void BM_Agg(benchmark::State& state) {
  const auto fig = Figure(state.range(0));
  for (auto _ : state) {
    agg::path_storage ps;
    if (fig == kEllipseFig) {
      agg::ellipse e(kCx, kCy, kA, kB);
      ps.concat_path(e);
    } else if (fig == kRoundedFig) {
      agg::rounded_rect rr(kCx - kA, kCy - kB, kCx + kA, kCy + kB, kA / 3);
      rr.normalize_radius();
      ps.concat_path(rr);
    } else if (fig == kBandedFig) {
      const double s = 2 * kA / 12, l = kCx - kA, t = kCy - kB, rt = kCx + kA, b = kCy + kB;
      ps.move_to(l, t);
      for (int i = 0; i < 4; ++i)
        ps.curve4(l + (3 * i + 1) * s, t, l + (3 * i + 2) * s, t, l + (3 * i + 3) * s, t);
      ps.line_to(rt, b);
      for (int i = 0; i < 4; ++i)
        ps.curve4(rt - (3 * i + 1) * s, b, rt - (3 * i + 2) * s, b, rt - (3 * i + 3) * s, b);
      ps.close_polygon();
    } else {
      ps.move_to(600, 100);
      polygon(fig == kDecoFig, [&](double x, double y) { ps.line_to(x, y); },
              [&](double* x, double* y) { ps.curve4(x[0], y[0], x[1], y[1], x[2], y[2]); });
      ps.close_polygon();
    }
    benchmark::DoNotOptimize(ps.total_vertices());
  }
}

#define FIGURES ->Arg(kEllipseFig)->Arg(kRoundedFig)->Arg(kBandedFig)->Arg(kStarFig)->Arg(kDecoFig)
BENCHMARK(BM_Zo) FIGURES;
BENCHMARK(BM_Cairo) FIGURES;
BENCHMARK(BM_Agg) FIGURES;

// ---- The pen tool ----

struct Window {
  static constexpr int kW = 1920, kH = 1080;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(kW) * kH, 0x336699);
  HDC dc = ZoPlatCreateMemoryDC(pixels.data(), kW, kH, kW);
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  Window() {
    ZoPathInit();
    ZoPathNew(&table);
    const RECT window{0, 0, kW, kH};
    ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
    ZoPlatSetCapture(0);
  }
  ~Window() {
    send(ZOMSG_KEYDOWN, 0, 0, ZOKEY_ESCAPE);
    ZoPlatDeleteDC(dc);
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  uint32_t send(uint32_t msg, int x, int y, uint32_t key = 0) {
    const uint32_t r = ZoPathMouseProcDraw(dc, table, view, msg, key, POINT{x, y}, 2, 1);
    if (msg == ZOMSG_LBUTTONDOWN && ZoPlatGetCapture() == 0 && r == 0) ZoPlatSetCapture(1);
    return r;
  }
  // Click i of a zigzag across the window.
  static POINT point(int i) { return POINT{50 + (i * 37) % 1800, 50 + (i * 53) % 950}; }
};

// Per message of a session of 1,000 clicks with five moves between clicks.
void BM_PenSession(benchmark::State& state) {
  for (auto _ : state) {
    Window w;
    for (int i = 0; i < 1000; ++i) {
      const POINT p = Window::point(i), q = Window::point(i + 1);
      w.send(ZOMSG_LBUTTONDOWN, p.x, p.y);
      w.send(ZOMSG_LBUTTONUP, p.x, p.y);
      for (int m = 1; m <= 5; ++m)
        w.send(ZOMSG_MOUSEMOVE, p.x + (q.x - p.x) * m / 6, p.y + (q.y - p.y) * m / 6);
    }
  }
  state.SetItemsProcessed(state.iterations() * 7000);
}
BENCHMARK(BM_PenSession)->Unit(benchmark::kMillisecond);

// One rubber-band move with a subpath of range(0) nodes drawn.
void BM_PenMove(benchmark::State& state) {
  Window w;
  for (int i = 0; i < state.range(0); ++i) {
    const POINT p = Window::point(i);
    w.send(ZOMSG_LBUTTONDOWN, p.x, p.y);
    w.send(ZOMSG_LBUTTONUP, p.x, p.y);
  }
  // The last node is the same for every size, so the rubber bands are the same.
  w.send(ZOMSG_LBUTTONDOWN, 880, 480);
  w.send(ZOMSG_LBUTTONUP, 880, 480);
  int k = 0;
  for (auto _ : state) {
    ++k;
    w.send(ZOMSG_MOUSEMOVE, 900 + (k & 63), 500 + ((k >> 3) & 31));
  }
}
BENCHMARK(BM_PenMove)->Arg(10)->Arg(1000);

// ---- The polygon preview ----

constexpr int kPreviewSize = 1100;

void BM_ZoPolygonPreview(benchmark::State& state) {
  std::vector<uint32_t> pixels(size_t(kPreviewSize) * kPreviewSize, 0);
  HDC dc = ZoPlatCreateMemoryDC(pixels.data(), kPreviewSize, kPreviewSize, kPreviewSize);
  View v;
  const RECT square{100, 100, 1099, 1099};
  for (auto _ : state) ZoPathPolygonDrawWithGDIXOR(dc, v.view, &square, 0, 1, 10, 63, nullptr);
  ZoPlatDeleteDC(dc);
}
BENCHMARK(BM_ZoPolygonPreview);

void BM_CairoPolygonStroke(benchmark::State& state) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPreviewSize, kPreviewSize);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
  for (auto _ : state) {
    cairo_figure(cr, kDecoFig);
    cairo_stroke(cr);
  }
  cairo_surface_flush(surface);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoPolygonStroke);

}  // namespace
