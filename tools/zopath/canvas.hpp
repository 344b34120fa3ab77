// Pictures of the 3-D, arrow and lighting commands: a white RGB canvas that the library's
// memory device context draws on, plots of curves, and the masks of the library laid on it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "png_writer.hpp"

namespace zopath {

struct Canvas {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  HDC dc;
  Canvas(int32_t w, int32_t h)
      : width(w), height(h), pixels(size_t(w) * size_t(h), 0xFFFFFF),
        dc(ZoPlatCreateMemoryDC(pixels.data(), w, h, w)) {}
  ~Canvas() { ZoPlatDeleteDC(dc); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void pen(COLORREF colour, int32_t widthPx = 1) {
    ZoPlatSelectObject(dc, ZoPlatCreatePen(PS_SOLID, widthPx, colour));
  }
  void dot(int32_t x, int32_t y, uint32_t rgb) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = rgb;
  }
  // An 8-bit mask at (left, top), tinted with the colour by its coverage.
  void blend(const uint8_t* mask, int32_t mw, int32_t mh, int32_t left, int32_t top, uint32_t rgb) {
    for (int32_t y = 0; y < mh; ++y) {
      for (int32_t x = 0; x < mw; ++x) {
        int32_t cx = left + x, cy = top + y;
        double c = mask[size_t(y) * mw + x] / 255.0;
        if (c == 0 || cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
        uint32_t& p = pixels[size_t(cy) * width + cx];
        uint32_t out = 0;
        for (int k = 0; k < 24; k += 8) {
          double v = ((p >> k) & 0xFF) * (1 - c) + ((rgb >> k) & 0xFF) * c;
          out |= uint32_t(std::lround(v)) << k;
        }
        p = out;
      }
    }
  }
  // A curve y = f(x) sampled along the columns of a plot box, as connected lines.
  template <typename F>
  void plot(RECT box, double x0, double x1, double y0, double y1, COLORREF colour, F&& f) {
    pen(colour);
    int32_t w = box.right - box.left;
    for (int32_t i = 0; i <= w; ++i) {
      double x = x0 + (x1 - x0) * i / w, y = f(x);
      int32_t py = box.bottom - int32_t(std::lround((y - y0) / (y1 - y0) * (box.bottom - box.top)));
      py = std::clamp(py, box.top, box.bottom);
      if (i == 0) ZoPlatMoveToEx(dc, box.left, py, nullptr);
      else ZoPlatLineTo(dc, box.left + i, py);
    }
  }
  void frame(RECT box) {
    pen(0xC0C0C0);
    ZoPlatSelectObject(dc, ZoPlatGetStockObject(NULL_BRUSH));
    ZoPlatRectangle(dc, box.left, box.top, box.right + 1, box.bottom + 1);
  }
  Image image() const {
    Image out;
    out.width = uint32_t(width), out.height = uint32_t(height), out.channels = 3;
    out.pixels.resize(size_t(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
      out.pixels[3 * i] = uint8_t(pixels[i] >> 16);
      out.pixels[3 * i + 1] = uint8_t(pixels[i] >> 8);
      out.pixels[3 * i + 2] = uint8_t(pixels[i]);
    }
    return out;
  }
};

// Parses "X,Y" or "X,Y,Z" into n doubles.
inline bool numbers(const std::string& text, double* out, int n) {
  const char* p = text.c_str();
  for (int i = 0; i < n; ++i) {
    char* end = nullptr;
    out[i] = std::strtod(p, &end);
    if (end == p || !std::isfinite(out[i])) return false;
    p = end;
    if (i + 1 < n) {
      if (*p != ',') return false;
      ++p;
    }
  }
  return *p == '\0';
}

// Releases a list read from path text.
inline void release_list(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtr(head, 0);
    head = next;
  }
}

// Calls fn for the subpath that starts each object of the list, detached from its list
// predecessor for the call (the 3-D calls take the object at the head of a list).
template <typename Fn>
void for_each_object(ZoPath* head, Fn&& fn) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (p->joinPrev != nullptr) continue;
    ZoPath* prev = p->prev;
    p->prev = nullptr;
    fn(p);
    p->prev = prev;
  }
}

}  // namespace zopath
