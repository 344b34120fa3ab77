#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "../model/path_builders.hpp"
#include "alloc_sweep.hpp"
#include "test_support.hpp"

using namespace zo_test;

namespace {

class Projection : public ZoTest {};

const double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST_F(Projection, RotationArithmeticOnHandCases) {
  // 90 degrees about z: a row vector (1, 0, 0) goes to (0, 1, 0); a column vector would give
  // (0, -1, 0).
  const double z[3] = {0, 0, 1};
  double m[9];
  std::memcpy(m, kIdentity, sizeof m);
  VThitaGetMatrix(0.0, -1.0, z, m);  // sine exactly 0: nothing written
  EXPECT_EQ(0, std::memcmp(m, kIdentity, sizeof m));
  VThitaGetMatrix(1.0, 0.0, z, m);
  const double expected[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(m[i], expected[i]) << i;
  double p[3] = {1, 0, 0};
  RotatePoint3D(p, m);
  EXPECT_DOUBLE_EQ(p[0], 0.0);
  EXPECT_DOUBLE_EQ(p[1], 1.0);

  // a.b and b.a differ; out may alias either factor.
  const double a[9] = {1, 2, 0, 0, 1, 0, 0, 0, 1}, b[9] = {1, 0, 0, 3, 1, 0, 0, 0, 2};
  double ab[9], ba[9], alias[9];
  Matrix3X3(a, b, ab);
  Matrix3X3(b, a, ba);
  EXPECT_EQ(ab[0], 7.0);  // 1*1 + 2*3
  EXPECT_EQ(ba[0], 1.0);
  EXPECT_EQ(ba[4], 7.0);  // 3*2 + 1*1
  std::memcpy(alias, a, sizeof alias);
  Matrix3X3(alias, b, alias);
  EXPECT_EQ(0, std::memcmp(alias, ab, sizeof ab));

  // Re-orthonormalising keeps r1's direction and leaves an orthonormal matrix alone.
  double drifted[9] = {1.1, 0.1, 0, 0.05, 2.0, 0, 0, 0.1, 0.9};
  ORMatrix(drifted);
  EXPECT_NEAR(drifted[3], 0.05 / std::hypot(0.05, 2.0), 1e-15);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      double d = drifted[3 * i] * drifted[3 * j] + drifted[3 * i + 1] * drifted[3 * j + 1] +
                 drifted[3 * i + 2] * drifted[3 * j + 2];
      EXPECT_NEAR(d, i == j ? 1.0 : 0.0, 1e-15);
    }
  }
}

TEST_F(Projection, AddRotationComposesAsTheHostExpects) {
  const double x[3] = {2, 0, 0}, y[3] = {0, 1, 0}, zz[3] = {0, 0, 3}, mz[3] = {0, 0, -1};
  double axis[3] = {9, 9, 9}, angle = 9;
  EXPECT_EQ(AddRotation(x, 0, y, 0, axis, &angle), 0u);
  EXPECT_EQ(angle, 9.0);
  EXPECT_EQ(axis[0], 9.0);
  EXPECT_EQ(AddRotation(x, 0, y, 400, axis, &angle), 1u);  // copied, not normalised or reduced
  EXPECT_EQ(axis[1], 1.0);
  EXPECT_EQ(angle, 400.0);
  AddRotation(zz, 300, zz, 100, axis, &angle);  // parallel: added and reduced
  EXPECT_EQ(angle, 40.0);
  EXPECT_EQ(axis[2], 1.0);
  AddRotation(zz, 30, mz, 50, axis, &angle);  // opposite: subtracted
  EXPECT_EQ(angle, 340.0);
  AddRotation(zz, -720.5, zz, 0.25, axis, &angle);
  EXPECT_DOUBLE_EQ(angle, 359.75);
  // 90 about z then 90 about x: n = y, p1 = (1, 0, 0), p2 = (0, 0, 1), the turn about -y by
  // asin(1) in this code's pi: 90 x 3.14159265... / 3.14159, not 90.
  AddRotation(zz, 90, x, 90, axis, &angle);
  EXPECT_NEAR(axis[0], 0.0, 1e-5);
  EXPECT_NEAR(axis[1], -1.0, 1e-9);
  EXPECT_NEAR(angle, 90.0 * M_PI / 3.14159, 2e-8);
  EXPECT_GT(angle, 90.00004);
}

// The mapping written out independently, with the host's pi.
struct Reference {
  const Transform3D& t;
  double zOffset;
  double f() const { return t.viewExtent / std::tan(t.fieldOfView * 3.14159 / 360.0); }
  void screen(double x, double y, double d, double* sx, double* sy, bool withZ = true) const {
    double cx = t.centreX / 65536.0, cy = t.centreY / 65536.0;
    double px = x - cx, py = y - cy;
    const double* m = t.matrix;
    double rx = px * m[0] + py * m[3] + d * m[6] + t.targetX / 65536.0;
    double ry = px * m[1] + py * m[4] + d * m[7] + t.targetY / 65536.0;
    double rz = px * m[2] + py * m[5] + d * m[8] + (withZ ? zOffset : 0.0);
    double k = f() / (f() - rz);
    *sx = cx + (rx - cx) * k, *sy = cy + (ry - cy) * k;
  }
};

Transform3D random_transform(std::mt19937& rng) {
  std::uniform_real_distribution<double> u(-1, 1);
  Transform3D t{};
  t.centreX = DbToFix(100 + 50 * u(rng)), t.centreY = DbToFix(100 + 50 * u(rng));
  t.targetX = DbToFix(100 + 50 * u(rng)), t.targetY = DbToFix(100 + 50 * u(rng));
  t.viewExtent = 300 + 100 * u(rng);
  t.fieldOfView = 50 + 20 * u(rng);
  double axis[3] = {u(rng), u(rng), u(rng)}, n = std::hypot(axis[0], axis[1], axis[2]);
  for (double& a : axis) a /= n;
  double theta = 0.6 * u(rng);
  VThitaGetMatrix(std::sin(theta), std::cos(theta), axis, t.matrix);
  return t;
}

TEST_F(Projection, PathsFollowTheMappingAndTheObjectWalk) {
  std::mt19937 rng(19);
  std::uniform_real_distribution<double> c(0, 200);
  for (int round = 0; round < 40; ++round) {
    Transform3D t = random_transform(rng);
    double zOffset = round % 3 == 0 ? 0.0 : 40 * (round % 5 - 2);
    std::vector<ZoPath*> v;
    for (int s = 0; s < 4; ++s) {
      std::string text = "M " + std::to_string(c(rng)) + " " + std::to_string(c(rng));
      for (int k = 0; k < 3; ++k) text += " L " + std::to_string(c(rng)) + " 7";
      text += " N 0x100 3 4 N 0x100 5 6 C 1 2 " + std::to_string(c(rng)) + " 9 10.5 11";
      text += " N 0x200 1 1";
      v.push_back(path_from(text));
      v.back()->primitiveKind = 5;
    }
    link_list(v);
    link_join({v[0], v[1], v[3]});  // v[2] is not in the object
    v[1]->flags |= ZOF_POLY_STYLE1 | (6 << 5);
    std::vector<std::vector<PathNode>> before;
    for (ZoPath* p : v) before.emplace_back(ZoPathNodes(p), ZoPathNodes(p) + p->count);
    RECT rect{};
    ASSERT_EQ(ZoPathGet3DMiniMaxRect(v[2], &t, 3.0, round % 2 ? 10.0 : 0.0, &rect), 1u);
    ZoPathTo3D(v[1], &t, zOffset, round % 2);
    Reference ref{t, zOffset};
    RECT expect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    auto widen = [&](double x, double y) {
      expect.left = std::min<int32_t>(expect.left, int32_t(x));
      expect.right = std::max<int32_t>(expect.right, int32_t(x));
      expect.top = std::min<int32_t>(expect.top, int32_t(y));
      expect.bottom = std::max<int32_t>(expect.bottom, int32_t(y));
    };
    for (size_t s = 0; s < v.size(); ++s) {
      bool visited = s != 2;
      EXPECT_EQ(v[s]->primitiveKind, visited && round % 2 == 0 ? 0u : 5u);
      for (uint32_t i = 0; i < v[s]->count; ++i) {
        const PathNode& was = before[s][i];
        const PathNode& now = ZoPathNodes(v[s])[i];
        bool param = (was.type & 0x700) != 0;
        if (!visited || param) {
          EXPECT_EQ(0, std::memcmp(&was, &now, sizeof was));
          continue;
        }
        double x, y, wx = was.pt.x / 65536.0, wy = was.pt.y / 65536.0;
        ref.screen(wx, wy, 0.0, &x, &y);
        EXPECT_NEAR(now.pt.x / 65536.0, x, 1.0 / 65536) << s << " " << i;
        EXPECT_NEAR(now.pt.y / 65536.0, y, 1.0 / 65536);
        ref.screen(wx, wy, 3.0, &x, &y, false);
        widen(x, y);
        if (round % 2) ref.screen(wx, wy, -10.0, &x, &y, false), widen(x, y);
      }
    }
    EXPECT_EQ(v[1]->flags & ZOF_POLY_MARKS, 0u);
    EXPECT_LE(rect.left, expect.left - 5);  // the seed midpoint may widen it further
    EXPECT_GE(rect.right, expect.right + 6);
    EXPECT_LE(rect.top, expect.top - 5);
    EXPECT_GE(rect.bottom, expect.bottom + 6);
    for (ZoPath* p : v) ZoPathDeletePtr(p, 0);
  }
  // One point: 11 x 11, the rectangle of the seed. An attachment ends the object.
  Transform3D t{};
  std::memcpy(t.matrix, kIdentity, sizeof t.matrix);
  t.viewExtent = 100, t.fieldOfView = 90;
  ZoPath* dot = path_from("M 20.7 30.2");
  RECT r{};
  ZoPathGet3DMiniMaxRect(dot, &t, 0, 0, &r);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.right, 26);
  EXPECT_EQ(r.bottom - r.top, 11);
  ZoPath* tail = path_from("M 1 1");
  link_list({dot, tail});
  ZoPathOutlineInfo* info = nullptr;
  ZoPathAssignOutlineInfo(0, 0, nullptr, 0, 0, nullptr, 0, nullptr, 0, 0, 0, 0, &info);
  ZoPathSetOutlineInfo(dot, info);
  t.targetX = DbToFix(5);
  ZoPathTo3D(dot, &t, 0, 1);
  EXPECT_EQ(int32_t{ZoPathNodes(dot)[0].pt.x}, DbToFix(25.7));
  EXPECT_EQ(int32_t{ZoPathNodes(tail)[0].pt.x}, DbToFix(1));
  ZoPathDeletePtr(dot, 0);
  ZoPathDeletePtr(tail, 0);

  POINT pt{10, 20}, origin{3, 4};
  const double eye[3] = {0, 0, 100}, target[2] = {1, 2};
  PointDB out{};
  EXPECT_EQ(ZoProject2DTO3D(0.5, 0, &out, &pt, &origin, eye, target, kIdentity, 50), &origin);
  EXPECT_DOUBLE_EQ(out.x, 11.5 * 2 - 3);
  EXPECT_DOUBLE_EQ(out.y, 22 * 2 - 4);
  EXPECT_EQ(ZoProject2DTO3D(0, 0, &out, &pt, nullptr, eye, target, kIdentity, 0), nullptr);
}

struct Canvas {
  std::vector<uint32_t> px = std::vector<uint32_t>(64 * 64, 0xFFFFFF);
  HDC dc = ZoPlatCreateMemoryDC(px.data(), 64, 64, 64);
  ~Canvas() { ZoPlatDeleteDC(dc); }
  int black() const { return int(std::count(px.begin(), px.end(), 0u)); }
  bool at(int x, int y) const { return px[size_t(y) * 64 + x] == 0; }
};

Transform3D flat_transform() {
  Transform3D t{};
  std::memcpy(t.matrix, kIdentity, sizeof t.matrix);
  t.viewExtent = 1000, t.fieldOfView = 90;  // f = 1000, k = 1 at depth 0
  return t;
}

TEST_F(Projection, WireFramePixels) {
  ZoPath* line = path_from("M 10 10 L 30 10");
  Transform3D t = flat_transform();
  struct { double zoom; int32_t left, top, sx, sy, x0, x1, y; } cases[] = {
      {1.0, 0, 0, 0, 0, 10, 29, 10},  // trunc(x + 0.5): 10 .. 30, end excluded
      {0.5, 0, 0, 0, 0, 5, 14, 5},    // trunc(0.5 x), no half-pixel shift
      {2.0, 3, 1, 8, 4, 13, 53, 18},  // 3 + trunc(10.5 x 2) - 8 = 16? see below
  };
  cases[2].x0 = 3 + int(10.5 * 2) - 8, cases[2].x1 = 3 + int(30.5 * 2) - 8 - 1;
  cases[2].y = 1 + int(10.5 * 2) - 4;
  for (const auto& c : cases) {
    Canvas canvas;
    CoordStruct view = view_of(RECT{c.left, c.top, c.left + 64, c.top + 64}, c.zoom);
    view.scrollX = c.sx, view.scrollY = c.sy;
    ZoPath3DWireFrame(canvas.dc, line, 10, 10, &view, &t, 0, 0);
    EXPECT_EQ(canvas.black(), c.x1 - c.x0 + 1) << c.zoom;
    EXPECT_TRUE(canvas.at(c.x0, c.y) && canvas.at(c.x1, c.y)) << c.zoom;
    EXPECT_FALSE(canvas.at(c.x1 + 1, c.y));
  }
  // Extruded: the back copy (smaller, toward the centre) and the two joining edges; drawn
  // twice with the XOR pen the canvas is white again.
  t.centreX = t.centreY = t.targetX = t.targetY = DbToFix(20);
  Canvas canvas;
  CoordStruct view = view_of(RECT{0, 0, 64, 64});
  ZoPlatSetROP2(canvas.dc, R2_XORPEN);
  ZoPlatSelectObject(canvas.dc, ZoPlatCreatePen(PS_SOLID, 1, 0xFFFFFF));
  ZoPath* curve = path_from("M 10 10 L 30 10 C 35 20 35 30 30 40 L 10 40");
  ZoPath3DWireFrame(canvas.dc, curve, 10, 10, &view, &t, 1000, 0);  // back at half size
  EXPECT_TRUE(canvas.at(14, 14));  // toward the back corner of (10, 10): 20 + (10 - 20) / 2
  EXPECT_TRUE(canvas.at(20, 15));
  EXPECT_GT(canvas.black(), 100);
  ZoPath3DWireFrame(canvas.dc, curve, 10, 10, &view, &t, 1000, 0);
  EXPECT_EQ(canvas.black(), 0);

  // A corner beyond the eye: the caller's first 144 bytes become the last accepted
  // transform, byte 144 stays.
  struct { Transform3D t; unsigned char extra[8]; } host{};
  host.t = t;
  host.t.viewExtent = 1;  // f = 1: a corner at z = 1.5 passes the eye
  host.t.matrix[2] = 0.15;
  std::memset(host.extra, 0xAB, sizeof host.extra);
  ZoPath3DWireFrame(canvas.dc, curve, 10, 10, &view, &host.t, 0, 0);
  EXPECT_EQ(0, std::memcmp(&host.t, &t, sizeof t));
  EXPECT_EQ(host.extra[0], 0xAB);
  EXPECT_GT(canvas.black(), 0);
  ZoPathDeletePtr(line, 0);
  ZoPathDeletePtr(curve, 0);
}

float pixel(uint8_t* buf, uint32_t x, uint32_t y) {
  uint32_t w = 0, h = 0, u = 0;
  ZoPathBufGetWHU(buf, &w, &h, &u);
  float v;
  std::memcpy(&v, buf + (size_t(y) * w + x) * 4, 4);
  return v;
}

TEST_F(Projection, DepthBuffers) {
  ZoPath* square = path_from("M 10 10 L 50 10 L 50 50 L 10 50 Z");
  Transform3D t = flat_transform();
  t.centreX = t.centreY = t.targetX = t.targetY = DbToFix(30);
  uint8_t* buf = nullptr;
  // Corners at one depth z0: z' = z0 f / (f - z0), then z' f / (z' + f) = z0 again.
  ASSERT_EQ(ZoPathCreateZBufferFrom3DTransform(&buf, &t, square, 40, 0), 1u);
  uint32_t w = 0, h = 0, u = 0;
  ZoPathBufGetWHU(buf, &w, &h, &u);
  EXPECT_EQ(u, 32u);
  EXPECT_NEAR(pixel(buf, w / 2, h / 2), 40.0f, 1e-3);
  EXPECT_EQ(pixel(buf, 0, 0), 0.0f);  // outside the quad
  uint8_t* first = buf;
  ASSERT_EQ(ZoPathCreateZBufferFrom3DTransform(&buf, &t, square, 40, 0), 1u);
  EXPECT_EQ(buf, first);  // the same size is reused
  uint32_t w2 = 0, h2 = 0;
  ASSERT_EQ(ZoPathCreateZBufferFrom3DTransform(&buf, &t, square, 40, 150), 1u);
  ZoPathBufGetWHU(buf, &w2, &h2, &u);
  EXPECT_EQ(w2, w + 198);
  EXPECT_EQ(h2, h + 198);
  // Turned about y: the depths run between the corners' depths.
  const double yAxis[3] = {0, 1, 0};
  VThitaGetMatrix(std::sin(0.5), std::cos(0.5), yAxis, t.matrix);
  ASSERT_EQ(ZoPathCreateZBufferFrom3DTransform(&buf, &t, square, 0, 0), 1u);
  ZoPathBufGetWHU(buf, &w, &h, &u);
  double zmax = 22 * std::sin(0.5) + 1e-3;
  int inside = 0;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      float v = pixel(buf, x, y);
      EXPECT_LE(std::fabs(v), zmax);
      inside += v != 0.0f;
    }
  }
  EXPECT_GT(inside, 1000);
  ZoPathBufFree(buf);

  // Failures: the handle is freed and null, nothing leaks.
  run_alloc_sweep({
      {"ZoPathCreateZBufferFrom3DTransform", true,
       [&] {
         auto holder = std::make_shared<uint8_t*>(nullptr);
         return Scenario{[=] { return ZoPathCreateZBufferFrom3DTransform(holder.get(), &t, square, 5, 300) == 1; },
                         [=] { return describe(square) + (*holder ? "buffer" : ""); },
                         [=] { ZoPathBufFree(*holder); }};
       }},
  });
  ZoPathDeletePtr(square, 0);
}

}  // namespace
