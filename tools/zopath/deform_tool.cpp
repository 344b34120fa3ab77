#include "deform_tool.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "io.hpp"
#include "path_input.hpp"
#include "path_text.hpp"
#include "png_writer.hpp"

namespace zopath {

ZoPath* read_path_file(const std::string& file, std::string* error) {
  ZoPath* head = nullptr;
  return load_paths(file, &head, error) ? head : nullptr;
}

void release_paths(ZoPath* any) {
  while (any != nullptr && any->prev != nullptr) any = any->prev;
  release_list(any);
}

bool parse_number(const char* text, double* out) {
  char* end = nullptr;
  *out = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(*out);
}

bool write_paths(const std::string& output, ZoPath* head, std::string* error) {
  return write_output(output, write_path_text(head), error);
}

ZoPath* rectangle_path(double left, double top, double right, double bottom) {
  ZoPath* p = ZoPathCreate();
  const double xy[5][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
  for (int i = 0; i < 5 && p != nullptr; ++i) {
    Ptfx pt{DbToFix(xy[i][0]), DbToFix(xy[i][1])};
    ZoPathAddPoint(&p, &pt, i == 0 ? PT_MOVETO : i == 4 ? PT_LINETO | PT_CLOSEFIGURE : PT_LINETO);
  }
  return p;
}

namespace {

constexpr double kScale = 2.0;  // picture pixels per image pixel
constexpr int32_t kGap = 16;

struct Layer {
  uint32_t n = 0;
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  Layer() = default;
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  ~Layer() {
    for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
    if (rects != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    if (buffers != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  }
  // Filled shapes (mode 0) or outlines (mode 1); an empty layer for a null list.
  void render(ZoPath* head, uint32_t mode) {
    if (head != nullptr)
      n = ZoPathToBuf(head, 8, 0, 1, mode, static_cast<uint32_t>(kScale * 65536), &rects, &buffers, 1);
  }
};

}  // namespace

bool write_deform_png(const std::string& png, ZoPath* before, ZoPath* guideBefore, ZoPath* after,
                      ZoPath* guideAfter, std::string* error) {
  Layer layers[4];
  ZoPath* lists[4] = {before, guideBefore, after, guideAfter};
  for (int i = 0; i < 4; ++i) layers[i].render(lists[i], i % 2 == 1 ? 1 : 0);
  RECT all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Layer& l : layers)
    for (uint32_t i = 0; i < l.n; ++i) {
      all.left = std::min(all.left, l.rects[i].left - 4), all.top = std::min(all.top, l.rects[i].top - 4);
      all.right = std::max(all.right, l.rects[i].right + 4);
      all.bottom = std::max(all.bottom, l.rects[i].bottom + 4);
    }
  if (all.left > all.right) return *error = "nothing to draw", false;
  int64_t w = int64_t{all.right} - all.left + 1, h = int64_t{all.bottom} - all.top + 1;
  if (w > 4096 || h > 4096) return *error = "the picture would exceed 4096 pixels", false;
  Image image;
  image.width = static_cast<uint32_t>(2 * w + kGap);
  image.height = static_cast<uint32_t>(h);
  image.channels = 3;
  image.pixels.assign(size_t(image.width) * image.height * 3, 255);
  const uint8_t colours[4][3] = {{150, 150, 150}, {220, 30, 30}, {30, 90, 210}, {220, 30, 30}};
  for (int li = 0; li < 4; ++li) {
    const Layer& l = layers[li];
    int64_t shift = li < 2 ? 0 : w + kGap;
    for (uint32_t i = 0; i < l.n; ++i) {
      uint32_t mw = 0, mh = 0;
      ZoPathBufGetWHU(l.buffers[i], &mw, &mh, nullptr);
      for (uint32_t y = 0; y < mh; ++y)
        for (uint32_t x = 0; x < mw; ++x) {
          double c = l.buffers[i][size_t(y) * mw + x] / 255.0 * 0.8;
          int64_t px = shift + l.rects[i].left - all.left + x, py = l.rects[i].top - all.top + y;
          uint8_t* at = &image.pixels[(size_t(py) * image.width + size_t(px)) * 3];
          for (int k = 0; k < 3; ++k) at[k] = static_cast<uint8_t>(std::lround(at[k] * (1 - c) + colours[li][k] * c));
        }
    }
  }
  return write_png(png, image, error);
}

}  // namespace zopath
