#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "alloc_sweep.hpp"
#include "test_support.hpp"

namespace {

const ZoPlatLightingState& state() {
  static ZoPlatLightingState s;  // large: keep it off the stack
  EXPECT_EQ(ZoPlatGetLightingState(&s), 1u);
  return s;
}

class Lighting : public ZoTest {};

// Module state is shared, so the load-time values are only visible in a fresh process: CTest
// runs every test case as its own process, and this one must stay first in the file.
TEST_F(Lighting, LoadTimeValuesAndFirstTableAllocation) {
  ZoPlatLightingState s = state();
  const double r = 0.5773502;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.phongIntensity[i], 0.8);
    EXPECT_EQ(s.phongDiffuse[i], 0.75);
    EXPECT_EQ(s.phongExponent[i], 28.0);
    EXPECT_EQ(s.phongColour[i][0] & s.phongColour[i][1] & s.phongColour[i][2], 255);
    EXPECT_EQ(s.metalIntensity[i], 2.0);
    EXPECT_EQ(s.metalExponent[i], 8.0);
    EXPECT_EQ(s.metalDiffuse[i], 0.3);
    EXPECT_NEAR(s.lightDirection[i][0], (i & 1) ? r : -r, 1e-7);
    EXPECT_NEAR(s.lightDirection[i][1], (i & 2) ? r : -r, 1e-7);
    EXPECT_NEAR(s.lightDirection[i][2], r, 1e-7);
  }
  EXPECT_EQ(s.phongAmbient, 0.2);
  EXPECT_EQ(s.metalAmbient, 0.8);
  EXPECT_EQ(s.phongExtraExponent, 4.0);
  EXPECT_EQ(s.phongAmbientColour[0] | s.phongAmbientColour[1] | s.phongAmbientColour[2], 0);
  for (uint8_t g : s.gamma) EXPECT_EQ(g, 0);
  EXPECT_EQ(s.metalKindRecorded, 0);
  EXPECT_EQ(s.reflectanceBlock, nullptr);

  // The first table allocation failing leaves no table and no recorded kind.
  size_t global = ZoPlatGlobalLiveBlocks();
  ZoPlatFailAllocation(1);
  EXPECT_EQ(ZoPathSetMetallicEffect(3), 0u);
  ZoPlatFailAllocation(0);
  EXPECT_EQ(zo_test::no_memory_reports(), 1u);
  EXPECT_EQ(state().metalKindRecorded, 0);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), global);
  // Made for kind 1 first, then refilled for kind 3: two fills, one block of 8212 bytes.
  EXPECT_EQ(ZoPathSetMetallicEffect(3), 1u);
  s = state();
  EXPECT_EQ(s.reflectanceFills, 2u);
  EXPECT_EQ(s.metalKind, 3);
  EXPECT_EQ(ZoPlatGlobalSize(s.reflectanceBlock), 8212u);
  EXPECT_EQ(ZoPlatGlobalLiveBlocks(), global + 1);
}

TEST_F(Lighting, PhongAndMetallicSettingsFollowTheirFormulas) {
  const int32_t exps[4] = {0, 5, 28, -3};
  const int32_t intens[4] = {100, 0, 50, 29};
  const uint8_t colours[16] = {1, 2, 3, 99, 10, 20, 30, 99, 255, 0, 128, 99, 7, 8, 9, 99};
  // 29 % of 100 is 28 in doubles (0.29 x 100 = 28.999...), not the integer shortcut's 29.
  ASSERT_EQ(ZoPathAdjPhongIllum(exps, intens, 0x00FF6464u, colours, 1, 29), 1u);
  ZoPlatLightingState s = state();
  const double diffuse[4] = {1.0, 0.7, 0.85, 0.29 * 0.3 + 0.7};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.phongIntensity[i], intens[i] / 100.0);
    EXPECT_DOUBLE_EQ(s.phongDiffuse[i], diffuse[i]);
    EXPECT_EQ(s.phongExponent[i], exps[i] == 0 ? 1.0 : exps[i]);
    EXPECT_EQ(0, std::memcmp(s.phongColour[i], colours + 4 * i, 3));
  }
  EXPECT_EQ(s.phongAmbient, 0.29);
  EXPECT_EQ(s.phongAmbientColour[0], 28);  // red 100
  EXPECT_EQ(s.phongAmbientColour[1], 28);  // green 100
  EXPECT_EQ(s.phongAmbientColour[2], 73);  // blue 255: trunc(73.95)

  const int32_t zeros[4] = {0, 0, 0, 0}, ms[4] = {10, -5, 0, 100};
  ASSERT_EQ(ZoPathAdjMetallicIllum(ms, ms, 2, 30), 1u);
  s = state();
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(s.metalIntensity[i], ms[i] * 0.02 + 0.8);
    EXPECT_DOUBLE_EQ(s.metalExponent[i], ms[i] * 0.06 + 2.0);
    EXPECT_DOUBLE_EQ(s.metalDiffuse[i], ms[i] * 0.02 * 0.15 + 0.1);
  }
  EXPECT_EQ(s.metalAmbient, 0.3);

  // Refused without a trace in the settings.
  EXPECT_EQ(ZoPathAdjPhongIllum(exps, intens, 0, colours, 0, 10), 0u);
  EXPECT_EQ(ZoPathAdjMetallicIllum(zeros, zeros, -1, 10), 0u);
  EXPECT_EQ(ZoPathAdjPhongIllum(nullptr, intens, 0, colours, 1, 10), 0u);
  EXPECT_EQ(0, std::memcmp(&s, &state(), sizeof s));
}

double fresnel(double n, double k, double c) {
  double m = n * n + k * k;
  double rs = (m - 2 * n * c + c * c) / (m + 2 * n * c + c * c);
  double rp = (m * c * c - 2 * n * c + 1) / (m * c * c + 2 * n * c + 1);
  return (rs + rp) / 2;
}

TEST_F(Lighting, ReflectanceTableIsFilledOncePerKind) {
  ASSERT_EQ(ZoPathSetMetallicEffect(1), 1u);
  ZoPlatLightingState s = state();
  uint32_t fills = s.reflectanceFills;
  EXPECT_EQ(s.reflectance[0], 1.0);
  ASSERT_EQ(ZoPathSetMetallicEffect(1), 1u);
  EXPECT_EQ(state().reflectanceFills, fills);
  const double constants[5][2] = {{0.617, 2.63}, {0.617, 2.63}, {0.37, 2.82},
                                  {0.177, 3.638}, {2.485, 3.433}};
  for (int kind : {4, 2, 3, 9, 1}) {
    HGLOBAL block = state().reflectanceBlock;
    ASSERT_EQ(ZoPathSetMetallicEffect(kind), 1u);
    s = state();
    EXPECT_EQ(s.reflectanceFills, ++fills);
    EXPECT_EQ(s.metalKind, kind);
    EXPECT_EQ(s.reflectanceBlock, block);
    const double* nk = constants[kind <= 4 ? kind : 0];
    for (int i : {0, 1, 250, 500, 999}) {
      EXPECT_NEAR(s.reflectance[i], fresnel(nk[0], nk[1], i / 1000.0), 1e-15) << kind << " " << i;
    }
  }
}

TEST_F(Lighting, GammaTable) {
  ShadingGammaToMap();
  ZoPlatLightingState s = state();
  EXPECT_EQ(s.gamma[128], 165);  // 165.75
  for (int v = 0; v < 256; ++v) {
    EXPECT_GE(s.gamma[v], v);
    EXPECT_EQ(s.gamma[v], static_cast<int>(std::pow(v / 255.0, 0.625) * 255.0));
  }
}

// Distance vectors of a bevelled disc and square in both buffer formats.
std::vector<uint8_t> distance_field(int size, bool disc, bool floats) {
  std::vector<uint8_t> buf(size_t(size) * size * 8);
  double c = (size - 1) / 2.0, radius = size / 2.0 - 1;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double px = x - c, py = y - c, dx = 0, dy = 0;
      if (disc) {
        double r = std::hypot(px, py), k = r > 0 ? (radius - r) / r : 0;
        dx = px * k, dy = py * k;
      } else if (std::fabs(px) > std::fabs(py)) {
        dx = (px > 0 ? radius : -radius) - px;
      } else {
        dy = (py > 0 ? radius : -radius) - py;
      }
      uint8_t* p = buf.data() + (size_t(y) * size + x) * 8;
      if (floats) {
        float v[2] = {float(dx), float(dy)};
        std::memcpy(p, v, 8);
      } else {
        int16_t v[2] = {int16_t(std::lround(dx * 256)), int16_t(std::lround(dy * 256))};
        std::memcpy(p, v, 4);
      }
    }
  }
  return buf;
}

TEST_F(Lighting, PickedLightIsTheMirrorOfAUnitNormal) {
  const int size = 24;
  const uint32_t kinds[] = {0, 1, 100, 101, 102, 103, 104, 55};
  for (bool floats : {true, false}) {
    for (bool disc : {true, false}) {
      std::vector<uint8_t> field = distance_field(size, disc, floats);
      for (uint32_t kind : kinds) {
        for (uint32_t p = 0; p < size * size; p += 7) {
          double out[3];
          ASSERT_EQ(ZopathChangeLightNormal(6.0, kind, p & 1, (p & 2) ? 60 : 0, &p, floats,
                                            field.data(), p & 4 ? 1 : 0, int(p % 4), out),
                    1u);
          EXPECT_NEAR(std::hypot(out[0], out[1], out[2]), 1.0, 1e-12);
          ZoPlatLightingState s = state();
          EXPECT_EQ(0, std::memcmp(s.lightDirection[p % 4], out, sizeof out));
        }
      }
    }
  }
  // A chamfer of width 4 at distance 2 along +x: N = (1, 0, 1)/sqrt 2, light (1, 0, 0);
  // with depthScale 60 the height halves: N = (1, 0, 0.5)/|..|.
  float v[2] = {2.0f, 0.0f};
  uint32_t zero = 0;
  double out[3];
  ZopathChangeLightNormal(4.0, 0, 0, 0, &zero, 1, reinterpret_cast<uint8_t*>(v), 0, 2, out);
  EXPECT_NEAR(out[0], 1.0, 1e-12);
  EXPECT_NEAR(out[2], 0.0, 1e-12);
  ZopathChangeLightNormal(4.0, 0, 0, 60, &zero, 1, reinterpret_cast<uint8_t*>(v), 0, 2, out);
  EXPECT_NEAR(out[0], 2 * 0.5 / 1.25, 1e-12);
  EXPECT_NEAR(out[2], 2 * 0.25 / 1.25 - 1, 1e-12);
  // Flat: tiny, NaN and a zero width all give N = (0, 0, 1), light (0, 0, 1).
  for (float f : {1e-7f, NAN}) {
    float w[2] = {f, -f};
    ZopathChangeLightNormal(4.0, 1, 0, 0, &zero, 1, reinterpret_cast<uint8_t*>(w), 0, 1, out);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[2], 1.0);
  }
  ZopathChangeLightNormal(0.0, 1, 0, 0, &zero, 1, reinterpret_cast<uint8_t*>(v), 0, 1, out);
  EXPECT_EQ(out[2], 1.0);
  ZoPlatLightingState before = state();
  EXPECT_EQ(ZopathChangeLightNormal(4.0, 0, 0, 0, &zero, 1, reinterpret_cast<uint8_t*>(v), 0,
                                    4, out), 0u);
  EXPECT_EQ(ZopathChangeLightNormal(4.0, 0, 0, 0, nullptr, 1, reinterpret_cast<uint8_t*>(v),
                                    0, 0, out), 0u);
  EXPECT_EQ(0, std::memcmp(&before, &state(), sizeof before));
}

}  // namespace

namespace {

TEST_F(Lighting, DepthFromADistanceField) {
  const int size = 24;
  std::vector<uint8_t> field = distance_field(size, true, true);
  uint8_t* mask = ZoPathBufAlloc(8, size, size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) mask[y * size + x] = std::hypot(x - 11.5, y - 11.5) < 11 ? 255 : 0;
  }
  uint8_t* depth = nullptr;
  for (uint32_t kind : {0u, 101u}) {
    ASSERT_EQ(ZoPathCreateZBuffer(&depth, field.data(), mask, 1, 5.0, kind, 0, 0, 8.0, -1.0f), 1u);
    for (int i = 0; i < size * size; ++i) {
      float v;
      std::memcpy(&v, depth + 4 * i, 4);
      if (mask[i] == 0) {
        EXPECT_EQ(v, -1.0f);
        continue;
      }
      float dv[2];
      std::memcpy(dv, field.data() + 8 * i, 8);
      double d = std::hypot(dv[0], dv[1]);
      double t = d < 5.0 && d > 1e-6 ? (int(d / 5.0 * 4096) + 0.5) / 4096 : (4095.5 / 4096);
      double h = kind == 0 ? t : t * t * (3 - 2 * t);
      EXPECT_NEAR(v, 8.0 * h, 1e-5) << i;
    }
  }
  uint8_t* first = depth;
  ASSERT_EQ(ZoPathCreateZBuffer(&depth, field.data(), mask, 1, 5.0, 0, 1, 1, 8.0, 0.0f), 1u);
  EXPECT_EQ(depth, first);
  ZoPathBufFree(depth);
  zo_test::run_alloc_sweep({{"ZoPathCreateZBuffer", true, [&] {
                               auto out = std::make_shared<uint8_t*>(nullptr);
                               return zo_test::Scenario{
                                   [=] {
                                     return ZoPathCreateZBuffer(out.get(), field.data(), mask, 1,
                                                                5.0, 1, 0, 0, 8.0, 0.0f) == 1;
                                   },
                                   [=] { return std::string(*out ? "buffer" : ""); },
                                   [=] { ZoPathBufFree(*out); }};
                             }}});
  ZoPathBufFree(mask);
}

}  // namespace
