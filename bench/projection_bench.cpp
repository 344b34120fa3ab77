// 3-D projection against a plain loop and Eigen 3 doing the same arithmetic, and the arrow
// body against one length measurement of the same line.
//
// To3D_*: 1,000 subpaths of 1,000 lines and cubics (1,000,000 nodes) in one join chain,
// restored from a pristine copy before every iteration (the copy is in every row alike).
// MiniMax_*: bounds with depth of the same object. ZBuffer_*: refilling a reused 2,000 x
// 2,000 depth buffer. WireFrame_*: a 100,000-segment extruded path on a 3840 x 2160 memory
// DC against the same DC calls with the points projected beforehand. ArrowBody/Length: a
// 100,000-segment line.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Zo32path.h"
#ifdef ZO_HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

// Before any record below is made.
const bool g_started = ZoPathInit() != 0;

Transform3D make_transform() {
  Transform3D t{};
  t.centreX = t.centreY = t.targetX = t.targetY = 500 << 16;
  t.viewExtent = 1000, t.fieldOfView = 60;
  const double axis[3] = {0.6, 0.8, 0.0};
  VThitaGetMatrix(std::sin(0.4), std::cos(0.4), axis, t.matrix);
  return t;
}

struct Object {
  std::vector<ZoPath*> records;
  std::vector<std::vector<PathNode>> pristine;
  Object() {
    ZoPathInit();
    for (int i = 0; i < 1000; ++i) {
      ZoPath* p = ZoPathCreate();
      for (int k = 0; k < 1000; ++k) {
        Ptfx pt{(i + k % 97) << 16, (k + i % 89) << 16};
        ZoPathAddPoint(&p, &pt, k == 0 ? PT_MOVETO : (k % 4 == 0 ? PT_LINETO : PT_BEZIERTO));
      }
      if (!records.empty()) {
        records.back()->next = records.back()->joinNext = p;
        p->prev = p->joinPrev = records.back();
      }
      records.push_back(p);
      pristine.emplace_back(ZoPathNodes(p), ZoPathNodes(p) + p->count);
    }
  }
  void restore() {
    for (size_t i = 0; i < records.size(); ++i) {
      std::memcpy(ZoPathNodes(records[i]), pristine[i].data(), pristine[i].size() * sizeof(PathNode));
    }
  }
};
Object& object() {
  static Object o;
  return o;
}

int32_t to_fix(double v) {
  double s = v * 65536.0;
  return s > -2147483649.0 && s < 2147483648.0 ? int32_t(s) : INT32_MIN;
}

// The floor: fixed to double, row vector times matrix, perspective divide, double to fixed.
struct Plain {
  double cx, cy, tx, ty, f, z;
  const double* m;
  explicit Plain(const Transform3D& t, double zOffset)
      : cx(t.centreX / 65536.0), cy(t.centreY / 65536.0), tx(t.targetX / 65536.0),
        ty(t.targetY / 65536.0), f(t.viewExtent / std::tan(t.fieldOfView * 3.14159 / 360)),
        z(zOffset), m(t.matrix) {}
  void project(double x, double y, double d, double* ox, double* oy) const {
    double px = x - cx, py = y - cy;
    double rx = px * m[0] + py * m[3] + d * m[6] + tx;
    double ry = px * m[1] + py * m[4] + d * m[7] + ty;
    double rz = px * m[2] + py * m[5] + d * m[8] + z;
    double k = f / (f - rz);
    *ox = cx + (rx - cx) * k, *oy = cy + (ry - cy) * k;
  }
};

void To3D_Library(benchmark::State& state) {
  Object& o = object();
  Transform3D t = make_transform();
  for (auto _ : state) {
    o.restore();
    ZoPathTo3D(o.records[0], &t, 10.0, 1);
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(To3D_Library)->Unit(benchmark::kMillisecond);

void To3D_PlainLoop(benchmark::State& state) {
  Object& o = object();
  Transform3D t = make_transform();
  Plain plain(t, 10.0);
  for (auto _ : state) {
    o.restore();
    for (ZoPath* p : o.records) {
      PathNode* n = ZoPathNodes(p);
      for (uint32_t i = 0; i < p->count; ++i) {
        double x, y;
        plain.project(n[i].pt.x / 65536.0, n[i].pt.y / 65536.0, 0.0, &x, &y);
        n[i].pt = Ptfx{to_fix(x), to_fix(y)};
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(To3D_PlainLoop)->Unit(benchmark::kMillisecond);

#ifdef ZO_HAVE_EIGEN
void To3D_Eigen(benchmark::State& state) {
  Object& o = object();
  Transform3D t = make_transform();
  Plain plain(t, 10.0);
  Eigen::Matrix3d m = Eigen::Map<const Eigen::Matrix<double, 3, 3, Eigen::RowMajor>>(t.matrix);
  const Eigen::RowVector3d centre(plain.cx, plain.cy, 0.0), target(plain.tx, plain.ty, 10.0);
  for (auto _ : state) {
    o.restore();
    for (ZoPath* p : o.records) {
      PathNode* n = ZoPathNodes(p);
      for (uint32_t i = 0; i < p->count; ++i) {
        Eigen::RowVector3d q(n[i].pt.x / 65536.0, n[i].pt.y / 65536.0, 0.0);
        Eigen::RowVector3d r = (q - centre) * m + target;
        double k = plain.f / (plain.f - r.z());
        n[i].pt = Ptfx{to_fix(plain.cx + (r.x() - plain.cx) * k), to_fix(plain.cy + (r.y() - plain.cy) * k)};
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(To3D_Eigen)->Unit(benchmark::kMillisecond);
#endif

void MiniMax_Library(benchmark::State& state) {
  Object& o = object();
  o.restore();
  Transform3D t = make_transform();
  RECT r{};
  for (auto _ : state) {
    ZoPathGet3DMiniMaxRect(o.records[0], &t, 0.0, 50.0, &r);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(MiniMax_Library)->Unit(benchmark::kMillisecond);

void MiniMax_PlainLoop(benchmark::State& state) {
  Object& o = object();
  o.restore();
  Transform3D t = make_transform();
  Plain plain(t, 0.0);
  for (auto _ : state) {
    RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (ZoPath* p : o.records) {
      const PathNode* n = ZoPathNodes(p);
      for (uint32_t i = 0; i < p->count; ++i) {
        for (double d : {0.0, -50.0}) {
          double x, y;
          plain.project(n[i].pt.x / 65536.0, n[i].pt.y / 65536.0, d, &x, &y);
          r.left = std::min(r.left, int32_t(x)), r.right = std::max(r.right, int32_t(x));
          r.top = std::min(r.top, int32_t(y)), r.bottom = std::max(r.bottom, int32_t(y));
        }
      }
    }
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(MiniMax_PlainLoop)->Unit(benchmark::kMillisecond);

// A square seen flat enough that its depth buffer is exactly 2,000 x 2,000.
struct DepthSetup {
  ZoPath* square = g_started ? ZoPathCreate() : nullptr;
  Transform3D t{};
  uint8_t* buffer = nullptr;
  DepthSetup() {
    ZoPathInit();
    const int corners[4][2] = {{0, 0}, {1988, 0}, {1988, 1988}, {0, 1988}};
    for (int i = 0; i < 4; ++i) {
      Ptfx pt{corners[i][0] << 16, corners[i][1] << 16};
      ZoPathAddPoint(&square, &pt, i == 0 ? PT_MOVETO : PT_LINETO);
    }
    t.centreX = t.centreY = t.targetX = t.targetY = 994 << 16;
    t.viewExtent = 1e6, t.fieldOfView = 60;
    const double axis[3] = {1, 0, 0};
    VThitaGetMatrix(std::sin(0.001), std::cos(0.001), axis, t.matrix);
  }
};

void ZBuffer_Library(benchmark::State& state) {
  static DepthSetup s;
  for (auto _ : state) ZoPathCreateZBufferFrom3DTransform(&s.buffer, &s.t, s.square, 5.0, 0);
  uint32_t w = 0, h = 0, u = 0;
  ZoPathBufGetWHU(s.buffer, &w, &h, &u);
  state.counters["width"] = w;
  state.counters["height"] = h;
}
BENCHMARK(ZBuffer_Library)->Unit(benchmark::kMillisecond);

void ZBuffer_PlainLoop(benchmark::State& state) {
  const int w = 2000, h = 2000;
  std::vector<float> buf(size_t(w) * h);
  const double f = 1e6;
  for (auto _ : state) {
    std::fill(buf.begin(), buf.end(), 0.0f);
    for (int y = 3; y < h - 3; ++y) {
      double zl = 4.0 + y * 1e-3, zr = zl + 0.5;
      float* row = buf.data() + size_t(y) * w;
      for (int x = 3; x < w - 3; ++x) row[x] = float(zl + (zr - zl) * (x - 3) / (w - 6));
    }
    for (float& v : buf) {
      if (v != 0.0f) v = float(v * f / (v + f));
    }
    benchmark::DoNotOptimize(buf.data());
  }
}
BENCHMARK(ZBuffer_PlainLoop)->Unit(benchmark::kMillisecond);

struct WireSetup {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(3840 * 2160);
  HDC dc = nullptr;
  ZoPath* path = g_started ? ZoPathCreate() : nullptr;
  Transform3D t{};
  CoordStruct view{};
  std::vector<POINT> front, back;
  WireSetup() {
    ZoPathInit();
    dc = ZoPlatCreateMemoryDC(pixels.data(), 3840, 2160, 3840);
    ZoPlatSetROP2(dc, R2_XORPEN);
    for (int k = 0; k <= 100000; ++k) {
      Ptfx pt{(200 + (k * 37) % 3400) << 16, (100 + (k * 53) % 1900) << 16};
      ZoPathAddPoint(&path, &pt, k == 0 ? PT_MOVETO : PT_LINETO);
    }
    t.centreX = t.targetX = 1920 << 16, t.centreY = t.targetY = 1080 << 16;
    t.viewExtent = 3000, t.fieldOfView = 60;
    const double axis[3] = {0, 1, 0};
    VThitaGetMatrix(std::sin(0.3), std::cos(0.3), axis, t.matrix);
    view.rcWindow = RECT{0, 0, 3840, 2160};
    view.zoom = 1.0;
    Plain plain(t, 0.0);
    for (uint32_t i = 0; i < path->count; ++i) {
      const PathNode& n = ZoPathNodes(path)[i];
      for (double d : {0.0, -40.0}) {
        double x, y;
        plain.project(n.pt.x / 65536.0, n.pt.y / 65536.0, d, &x, &y);
        (d == 0.0 ? front : back).push_back(POINT{int32_t(x + 0.5), int32_t(y + 0.5)});
      }
    }
  }
};
WireSetup& wire() {
  static WireSetup w;
  return w;
}

void WireFrame_Library(benchmark::State& state) {
  WireSetup& w = wire();
  for (auto _ : state) ZoPath3DWireFrame(w.dc, w.path, 10, 10, &w.view, &w.t, 40.0, 0.0);
}
BENCHMARK(WireFrame_Library)->Unit(benchmark::kMillisecond);

void WireFrame_ProjectedCalls(benchmark::State& state) {
  WireSetup& w = wire();
  for (auto _ : state) {
    ZoPlatMoveToEx(w.dc, w.front[0].x, w.front[0].y, nullptr);
    ZoPlatLineTo(w.dc, w.back[0].x, w.back[0].y);
    ZoPlatMoveToEx(w.dc, w.front[0].x, w.front[0].y, nullptr);
    for (size_t i = 1; i < w.front.size(); ++i) {
      ZoPlatMoveToEx(w.dc, w.front[i - 1].x, w.front[i - 1].y, nullptr);
      ZoPlatLineTo(w.dc, w.front[i].x, w.front[i].y);
      ZoPlatLineTo(w.dc, w.back[i].x, w.back[i].y);
      ZoPlatLineTo(w.dc, w.back[i - 1].x, w.back[i - 1].y);
    }
  }
}
BENCHMARK(WireFrame_ProjectedCalls)->Unit(benchmark::kMillisecond);

struct ArrowLine {
  ZoPath* line = g_started ? ZoPathCreate() : nullptr;
  ArrowLine() {
    ZoPathInit();
    for (int k = 0; k <= 100000; ++k) {
      Ptfx pt{(k * 3) << 16, ((k % 7) * 5) << 16};
      ZoPathAddPoint(&line, &pt, k == 0 ? PT_MOVETO : (k % 4 == 0 ? PT_LINETO : PT_BEZIERTO));
    }
    ZoPath* templ = ZoPathCreate();
    const int tri[3][2] = {{0, -5}, {10, 0}, {0, 5}};
    for (int i = 0; i < 3; ++i) {
      Ptfx pt{tri[i][0] << 16, tri[i][1] << 16};
      ZoPathAddPoint(&templ, &pt, i == 0 ? PT_MOVETO : PT_LINETO);
    }
    ZoPath* copy = nullptr;
    ZoPathDuplicatePtr(templ, &copy);
    ZoPathOutlineInfo* info = nullptr;
    ZoPathAssignOutlineInfo(1, 1, templ, 2, 2, copy, 0, nullptr, 0, 8, 0, 0, &info);
    ZoPathSetOutlineInfo(line, info);
  }
};

void ArrowBody_Library(benchmark::State& state) {
  static ArrowLine a;
  for (auto _ : state) {
    ZoPath* body = nullptr;
    ZoPathGetLineArrowBody(a.line, &body);
    ZoPathDeletePtr(body, 0);
  }
}
BENCHMARK(ArrowBody_Library)->Unit(benchmark::kMillisecond);

void ArrowBody_OneLength(benchmark::State& state) {
  static ArrowLine a;
  for (auto _ : state) benchmark::DoNotOptimize(ZoPathGetLength(a.line));
}
BENCHMARK(ArrowBody_OneLength)->Unit(benchmark::kMillisecond);

}  // namespace
