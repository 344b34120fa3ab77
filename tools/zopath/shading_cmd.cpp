// zopath shading: the lighting tables as plots (metal reflectance, gamma, bevel profiles)
// and the light directions picked on a bevelled disc; and the gallery's lighting section.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "canvas.hpp"
#include "cli.hpp"
#include "commands.hpp"

namespace zopath {

namespace {

const char* kShadingHelp =
    "usage: zopath shading [--metal KIND] [--pick X,Y] -o OUT.png\n"
    "\n"
    "Plots the lighting tables: the metal reflectance of kinds 1-4 against the cosine of\n"
    "incidence (ZoPathSetMetallicEffect; KIND, default 1, is left as the table's metal and\n"
    "drawn thicker), the gamma table (ShadingGammaToMap) and the seven bevel profiles; and a\n"
    "bevelled disc (160 x 160, radius 70, round bevel 24 wide) coloured by the light\n"
    "direction ZopathChangeLightNormal picks at each pixel (x, y, z mapped to red, green,\n"
    "blue). --pick prints the direction picked at pixel X,Y of the disc.\n";

constexpr int kDisc = 160;
constexpr double kRadius = 70, kBevel = 24;

// The disc's distance field: the vector from each pixel to the nearest point of the circle.
std::vector<float> disc_field() {
  std::vector<float> f(size_t(kDisc) * kDisc * 2);
  double c = (kDisc - 1) / 2.0;
  for (int y = 0; y < kDisc; ++y) {
    for (int x = 0; x < kDisc; ++x) {
      double px = x - c, py = y - c, r = std::hypot(px, py), k = r > 0 ? (kRadius - r) / r : 0;
      bool plateau = kRadius - r > kBevel;
      f[2 * (size_t(y) * kDisc + x)] = plateau ? 0.0f : float(px * k);
      f[2 * (size_t(y) * kDisc + x) + 1] = plateau ? 0.0f : float(py * k);
    }
  }
  return f;
}

bool pick(const std::vector<float>& field, uint32_t index, double out[3]) {
  return ZopathChangeLightNormal(kBevel, 1, 0, 0, &index, 1,
                                 reinterpret_cast<const uint8_t*>(field.data()), 0, 0, out) == 1;
}

Image shading_picture(int32_t metal) {
  const int panel = 200, gap = 16;
  Canvas canvas(4 * panel + 5 * gap, panel + 2 * gap);
  const COLORREF colours[] = {ZO_RGB(200, 120, 30), ZO_RGB(140, 140, 150), ZO_RGB(230, 180, 40),
                              ZO_RGB(120, 70, 40), ZO_RGB(30, 90, 210), ZO_RGB(20, 150, 60),
                              ZO_RGB(200, 40, 40)};
  auto box = [&](int i) { return RECT{gap + i * (panel + gap), gap, gap + i * (panel + gap) + panel, gap + panel}; };
  auto state = std::make_unique<ZoPlatLightingState>();
  RECT r = box(0);
  canvas.frame(r);
  for (int32_t kind : {1, 2, 3, 4, metal}) {
    ZoPathSetMetallicEffect(kind);
    ZoPlatGetLightingState(state.get());
    canvas.plot(r, 0, 0.999, 0, 1, colours[(kind - 1) & 3],
                [&](double c) { return state->reflectance[int(c * 1000)]; });
  }
  ShadingGammaToMap();
  ZoPlatGetLightingState(state.get());
  canvas.frame(box(1));
  canvas.plot(box(1), 0, 255, 0, 255, colours[4], [&](double v) { return state->gamma[int(v)]; });
  // The profiles, as a depth buffer of one 4096-pixel-wide strip each reads them back.
  r = box(2);
  canvas.frame(r);
  const uint32_t kinds[] = {0, 1, 100, 101, 102, 103, 104};
  for (int k = 0; k < 7; ++k) {
    const int n = 256;
    std::vector<float> field(2 * n);
    for (int i = 0; i < n; ++i) field[2 * i] = float(i + 0.5) / n * 100.0f;
    uint8_t* mask = ZoPathBufAlloc(8, n, 1);
    uint8_t* depth = nullptr;
    std::memset(mask, 255, n);
    ZoPathCreateZBuffer(&depth, reinterpret_cast<const uint8_t*>(field.data()), mask, 1, 100.0,
                        kinds[k], 0, 0, 1.0, 0.0f);
    const float* h = reinterpret_cast<const float*>(depth);
    canvas.plot(r, 0, n - 1, -0.05, 1.05, colours[k], [&](double x) { return h ? h[int(x)] : 0.0; });
    ZoPathBufFree(depth);
    ZoPathBufFree(mask);
  }
  // The normal map of the bevelled disc.
  std::vector<float> field = disc_field();
  r = box(3);
  double c = (kDisc - 1) / 2.0;
  for (int y = 0; y < kDisc; ++y) {
    for (int x = 0; x < kDisc; ++x) {
      double out[3];
      if (std::hypot(x - c, y - c) > kRadius || !pick(field, uint32_t(y * kDisc + x), out)) continue;
      auto byte = [](double v) { return uint32_t(std::lround((v * 0.5 + 0.5) * 255)); };
      canvas.dot(r.left + 20 + x, r.top + 20 + y, byte(out[0]) << 16 | byte(out[1]) << 8 | byte(out[2]));
    }
  }
  return canvas.image();
}

}  // namespace

int cmd_shading(int argc, char** argv) {
  std::string output;
  double metal = 1, at[2] = {-1, -1};
  bool picking = false;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") return std::fputs(kShadingHelp, stdout), 0;
    if (i + 1 >= argc) return usage_error("shading: " + a + " needs a value");
    std::string v = argv[++i];
    if (a == "-o" || a == "--output") output = v;
    else if (a == "--metal" && numbers(v, &metal, 1) && metal == std::floor(metal) && std::fabs(metal) < 1e9) continue;
    else if (a == "--pick" && numbers(v, at, 2) && at[0] >= 0 && at[1] >= 0 && at[0] < kDisc && at[1] < kDisc)
      picking = true;
    else return usage_error("shading: bad option '" + a + " " + v + "' (see zopath shading --help)");
  }
  if (output.empty()) return usage_error("shading: -o OUT.png is needed");
  if (picking) {
    std::vector<float> field = disc_field();
    double out[3];
    pick(field, uint32_t(int(at[1]) * kDisc + int(at[0])), out);
    std::printf("light 0 direction at (%d, %d): %.6f %.6f %.6f\n", int(at[0]), int(at[1]), out[0],
                out[1], out[2]);
  }
  std::string error;
  if (!write_png(output, shading_picture(int32_t(metal)), &error)) return fail("shading: " + error);
  return 0;
}

bool write_shading_gallery(const std::string& dir, std::string* html, std::string* error) {
  if (!write_png((std::filesystem::path(dir) / "shading.png").string(), shading_picture(1), error))
    return false;
  *html +=
      "<h2>Lighting tables</h2>\n<p>From the left: the reflectance of the four metals against "
      "the cosine of incidence (copper, silver, gold, iron), the gamma table, the seven bevel "
      "profiles (0 chamfer, 1 round, 100 cove, 101 ogee, 102 ridge, 103 two steps, 104 ripple, "
      "in that colour order) and a bevelled disc coloured by the light direction picked at each "
      "pixel (<code>zopath shading</code>).</p>\n<img src=\"shading.png\" alt=\"lighting "
      "tables\">\n";
  return true;
}

}  // namespace zopath
