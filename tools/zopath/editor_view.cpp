// The gallery's editor view: a sample image with several overlapping paths shown the way the
// editor shows them (outlines counted into the display buffer and painted by inversion),
// and one selected path with its node and control handles drawn on a memory device context.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "png_writer.hpp"

namespace zopath {

namespace {

constexpr int32_t kW = 480, kH = 320;

void add(ZoPath** p, double x, double y, uint16_t type) {
  Ptfx pt{DbToFix(x), DbToFix(y)};
  ZoPathAddPoint(p, &pt, type);
}

// A closed ellipse of four cubics.
ZoPath* ellipse(double cx, double cy, double rx, double ry) {
  const double k = 0.5522847;
  ZoPath* p = ZoPathCreate();
  add(&p, cx + rx, cy, PT_MOVETO);
  const double q[4][6] = {{rx, k * ry, k * rx, ry, 0, ry},
                          {-k * rx, ry, -rx, k * ry, -rx, 0},
                          {-rx, -k * ry, -k * rx, -ry, 0, -ry},
                          {k * rx, -ry, rx, -k * ry, rx, 0}};
  for (const auto& c : q)
    for (int i = 0; i < 3; ++i) add(&p, cx + c[2 * i], cy + c[2 * i + 1], PT_BEZIERTO);
  ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
  return p;
}

ZoPath* star(double cx, double cy, double r) {
  ZoPath* p = ZoPathCreate();
  for (int i = 0; i <= 10; ++i) {
    double a = -M_PI / 2 + i * M_PI / 5, rr = i % 2 == 0 ? r : r * 0.45;
    add(&p, cx + rr * std::cos(a), cy + rr * std::sin(a), i == 0 ? PT_MOVETO : PT_LINETO);
  }
  ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
  return p;
}

// An open wave of cubics: the selected path.
ZoPath* wave() {
  ZoPath* p = ZoPathCreate();
  add(&p, 40, 250, PT_MOVETO);
  for (int i = 0; i < 4; ++i) {
    double x = 40 + i * 100;
    add(&p, x + 30, i % 2 == 0 ? 170 : 330, PT_BEZIERTO);
    add(&p, x + 70, i % 2 == 0 ? 170 : 330, PT_BEZIERTO);
    add(&p, x + 100, 250, PT_BEZIERTO);
  }
  return p;
}

// A sample photograph stand-in: sky, sun, hills.
std::vector<uint8_t> sample_image() {
  std::vector<uint8_t> rgb(size_t(kW) * kH * 3);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      uint8_t* p = &rgb[(size_t(y) * kW + x) * 3];
      double t = double(y) / kH;
      double hill = 210 + 30 * std::sin(x / 60.0) + 15 * std::sin(x / 23.0);
      bool sun = std::hypot(x - 380, y - 70) < 38;
      if (sun) {
        p[0] = 250, p[1] = 210, p[2] = 80;
      } else if (y > hill) {
        p[0] = uint8_t(60 + 40 * t), p[1] = uint8_t(140 - 40 * t), p[2] = 60;
      } else {
        p[0] = uint8_t(120 + 80 * t), p[1] = uint8_t(170 + 50 * t), p[2] = 235;
      }
    }
  }
  return rgb;
}

}  // namespace

namespace {

int64_t pack(int32_t x, int32_t y) {
  return int64_t(uint64_t(uint32_t(x)) | (uint64_t(uint32_t(y)) << 32));
}

// One editor state: the three paths in a table over the sample image, the host's clicks and
// commands run on it (handles drawn on a memory device context over the picture), then the
// display buffer painted over the picture. Both draw by exclusive-or, so their order does
// not matter. Writes kW x kH pixels at column `left` of a picture `stride` pixels wide.
template <typename Clicks>
bool render_state(Clicks&& clicks, std::vector<uint8_t>* picture, int32_t stride, int32_t left) {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  RECT window{0, 0, kW, kH}, changed;
  std::vector<ZoPath*> paths{ellipse(170, 130, 120, 80), star(300, 150, 110), wave()};
  for (size_t i = 1; i < paths.size(); ++i) {
    paths[i - 1]->next = paths[i];
    paths[i]->prev = paths[i - 1];
  }
  if (ZoPathNew(&table) != 1 || ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view) != 1 ||
      ZoPathAddPathGroup(&table, paths[0], "editor", view, &changed) != 1)
    return false;
  std::vector<uint8_t> rgb = sample_image();
  std::vector<uint32_t> pixels(size_t(kW) * kH);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  HDC dc = ZoPlatCreateMemoryDC(pixels.data(), kW, kH, kW);
  bool ok = clicks(dc, view, table);
  ZoPlatDeleteDC(dc);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = uint8_t(pixels[i] >> 16);
    rgb[3 * i + 1] = uint8_t(pixels[i] >> 8);
    rgb[3 * i + 2] = uint8_t(pixels[i]);
  }
  ZoPathPaintMem(&window, table, rgb.data());
  for (int32_t y = 0; y < kH; ++y)
    std::copy(rgb.begin() + y * kW * 3, rgb.begin() + (y + 1) * kW * 3,
              picture->begin() + (size_t(y) * stride + left) * 3);
  ZoPathDeleteCoordStruct(view);
  ZoPathTblDelete(table);
  return ok;
}

// Clicks as the host forwards them; true when each hit what it aimed at.
bool click(HDC dc, CoordStruct* view, ZoPathTbl* table, int64_t at, uint32_t how, uint32_t expected,
           ZoPathHit* hit) {
  hit->point = at;
  hit->path = nullptr;
  return ZoPathPtOn(at, how, dc, view, table, &hit->path, &hit->index, &hit->param) == expected;
}

}  // namespace

bool write_editor_view(const std::string& dir, std::string* html, std::string* error) {
  std::vector<uint8_t> picture(size_t(2 * kW) * kH * 3);
  // Node editing: a click selects the wave, a second click its node 3, a shift-command adds
  // node 9; selected nodes show hollow, with their control handles.
  bool nodes = render_state(
      [](HDC dc, CoordStruct* view, ZoPathTbl* table) {
        ZoPathHit hit{};
        bool ok = click(dc, view, table, pack(140, 250), ZOHIT_REPLACE, 1, &hit) &&
                  click(dc, view, table, pack(140, 250), ZOHIT_REPLACE, 2, &hit) &&
                  click(dc, view, table, pack(340, 250), ZOHIT_TEST, 2, &hit);
        return ok && ZoPathHitAct(18036, dc, view, table, &hit) == 1;
      },
      &picture, 2 * kW, 0);
  // Segment editing: a click on a side of the star selects it, the segment command picks
  // that side, which shows highlighted; then it is converted into a curve.
  bool segment = render_state(
      [](HDC dc, CoordStruct* view, ZoPathTbl* table) {
        ZoPathHit hit{};
        RECT dirty;
        bool ok = click(dc, view, table, pack(315, 75), ZOHIT_REPLACE, 1, &hit) &&
                  ZoPathHitAct(18026, dc, view, table, &hit) == 1;
        ZoPathDrawNodes(dc, hit.path, view);  // the handles come down while the shape changes
        ok = ok && ZoPathConvertSelectedSegment(view, table, &dirty, 1) == 1;
        ZoPath* selected = nullptr;
        ZoPathFind(table, nullptr, nullptr, &selected, nullptr);
        ZoPathDrawNodes(dc, selected, view);
        return ok;
      },
      &picture, 2 * kW, kW);
  if (!nodes || !segment) {
    *error = "editor view: a click missed its target";
    return false;
  }
  Image image;
  image.width = 2 * kW;
  image.height = kH;
  image.channels = 3;
  image.pixels = std::move(picture);
  if (!write_png((std::filesystem::path(dir) / "editor_view.png").string(), image, error))
    return false;
  *html +=
      "<h2>Editor view</h2>\n<p>Three overlapping paths counted into the display buffer "
      "and painted over the image by inversion (<code>ZoPathPaintMem</code>). Left, node "
      "editing: a click selects the wave (<code>ZoPathPtOn</code>), a second click selects its "
      "node, a command adds another (<code>ZoPathHitAct</code> 18036); selected nodes show as "
      "hollow squares with their control points and dotted handle lines, unselected anchors "
      "grey, all drawn with an exclusive-or pen (<code>ZoPathDrawNodes</code>). Right, segment "
      "editing: a click on a side of the star selects it, the segment command picks that side, "
      "which shows highlighted, and <code>ZoPathConvertSelectedSegment</code> turns it into a "
      "curve fitted to its neighbours.</p>\n<img src=\"editor_view.png\" "
      "style=\"width:960px\" alt=\"editor view\">\n";
  return true;
}

}  // namespace zopath
