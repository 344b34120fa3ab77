// The gallery's editor view: a sample image with several overlapping paths shown the way the
// editor shows them (outlines counted into the display buffer and painted by inversion),
// and one selected path with its node and control handles drawn on a memory device context.
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

bool write_editor_view(const std::string& dir, std::string* html, std::string* error) {
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  RECT window{0, 0, kW, kH}, changed;
  std::vector<ZoPath*> paths{ellipse(170, 130, 120, 80), star(300, 150, 110), wave()};
  for (size_t i = 1; i < paths.size(); ++i) {
    paths[i - 1]->next = paths[i];
    paths[i]->prev = paths[i - 1];
  }
  ZoPath* selected = paths[2];
  selected->flags = ZOF_SELECTED | ZOF_HAS_SEL_POINTS;
  ZoPathNodes(selected)[3].type |= PT_SELECTED;
  ZoPathNodes(selected)[9].type |= PT_SELECTED;
  if (ZoPathNew(&table) != 1 || ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view) != 1 ||
      ZoPathAddPathGroup(&table, paths[0], "editor", view, &changed) != 1) {
    *error = "editor view: the table could not be made";
    return false;
  }
  // Outlines over the image, through the display buffer.
  std::vector<uint8_t> rgb = sample_image();
  ZoPathPaintMem(&window, table, rgb.data());
  // Handles on a memory device context over the same picture.
  std::vector<uint32_t> pixels(size_t(kW) * kH);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  HDC dc = ZoPlatCreateMemoryDC(pixels.data(), kW, kH, kW);
  ZoPathDrawNodes(dc, selected, view);
  ZoPlatDeleteDC(dc);
  Image image;
  image.width = kW;
  image.height = kH;
  image.channels = 3;
  image.pixels.resize(rgb.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    image.pixels[3 * i] = uint8_t(pixels[i] >> 16);
    image.pixels[3 * i + 1] = uint8_t(pixels[i] >> 8);
    image.pixels[3 * i + 2] = uint8_t(pixels[i]);
  }
  ZoPathDeleteCoordStruct(view);
  ZoPathTblDelete(table);
  if (!write_png((std::filesystem::path(dir) / "editor_view.png").string(), image, error))
    return false;
  *html +=
      "<h2>Editor view</h2>\n<p>Three overlapping paths counted into the display buffer "
      "and painted over the image by inversion (<code>ZoPathPaintMem</code>); the wave is "
      "selected, with two selected nodes: anchor squares, and control points with dotted "
      "handle lines, drawn with an exclusive-or pen on a memory device context "
      "(<code>ZoPathDrawNodes</code>).</p>\n<img src=\"editor_view.png\" "
      "style=\"width:480px\" alt=\"editor view\">\n";
  return true;
}

}  // namespace zopath
