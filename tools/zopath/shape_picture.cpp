#include "shape_picture.hpp"

#include <algorithm>
#include <sstream>

namespace zopath {

Canvas::Canvas(int32_t w, int32_t h, uint32_t background)
    : width(w), height(h), pixels(size_t(w) * size_t(h), background),
      dc(ZoPlatCreateMemoryDC(pixels.data(), w, h, w)) {}
Canvas::~Canvas() { ZoPlatDeleteDC(dc); }

Image Canvas::image() const {
  Image out;
  out.width = uint32_t(width);
  out.height = uint32_t(height);
  out.channels = 3;
  out.pixels.reserve(pixels.size() * 3);
  for (uint32_t v : pixels) {
    out.pixels.push_back(uint8_t(v >> 16));
    out.pixels.push_back(uint8_t(v >> 8));
    out.pixels.push_back(uint8_t(v));
  }
  return out;
}

namespace {

// Blends the light-blue fill into the canvas by the mask's coverage.
void fill(Canvas& c, const CoordStruct* view, const RECT& r, const uint8_t* mask) {
  const int32_t w = r.right - r.left + 1;
  for (int32_t y = r.top; y <= r.bottom; ++y)
    for (int32_t x = r.left; x <= r.right; ++x) {
      const int32_t wx = int32_t((x + 0.5) * view->zoom) - view->scrollX + view->rcWindow.left;
      const int32_t wy = int32_t((y + 0.5) * view->zoom) - view->scrollY + view->rcWindow.top;
      if (wx < 0 || wy < 0 || wx >= c.width || wy >= c.height) continue;
      const uint32_t a = mask[size_t(y - r.top) * size_t(w) + size_t(x - r.left)];
      uint32_t& px = c.pixels[size_t(wy) * size_t(c.width) + size_t(wx)];
      auto mix = [&](int shift, uint32_t to) {
        const uint32_t from = (px >> shift) & 0xFF;
        return ((from * (255 - a) + to * a) / 255) << shift;
      };
      px = mix(16, 0x9C) | mix(8, 0xC8) | mix(0, 0xF0);
    }
}

}  // namespace

void draw_shapes(Canvas& c, ZoPath* head, const CoordStruct* view, const RECT* drag) {
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    RECT* rects = nullptr;
    uint8_t** buffers = nullptr;
    const uint32_t flags = p->flags;
    p->flags &= ~ZOF_SELECTED;  // one object at a time
    const uint32_t n = ZoPathToBuf(p, 8, 0, 1, 0, 65536, &rects, &buffers, 0);
    p->flags = flags;
    for (uint32_t i = 0; i < n; ++i) {
      fill(c, view, rects[i], buffers[i]);
      ZoPathBufFree(buffers[i]);
    }
    if (n > 0) {
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
    }
    while (p->next != nullptr && p->next->joinPrev == p) p = p->next;  // filled with its object
  }
  if (drag != nullptr) {
    HPEN pen = ZoPlatCreatePen(PS_DOT, 1, 0x808080);
    HGDIOBJ old = ZoPlatSelectObject(c.dc, pen);
    ZoPlatSelectObject(c.dc, ZoPlatGetStockObject(NULL_BRUSH));
    ZoPlatRectangle(c.dc, std::min(drag->left, drag->right), std::min(drag->top, drag->bottom),
                    std::max(drag->left, drag->right) + 1, std::max(drag->top, drag->bottom) + 1);
    ZoPlatSelectObject(c.dc, old);
  }
  ZoPathDrawNodesTurnOn(1);
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    const uint32_t flags = p->flags;
    p->flags |= ZOF_SELECTED;
    ZoPathDrawNodes(c.dc, p, const_cast<CoordStruct*>(view));
    p->flags = flags;
  }
}

bool play_pen_script(const std::string& script, uint32_t mode, Canvas& canvas, ZoPathTbl* table,
                     CoordStruct* view, const std::function<void()>& frame, std::string* error) {
  ZoPlatSetCapture(0);
  POINT pointer{0, 0};
  auto send = [&](uint32_t message, int32_t x, int32_t y, uint32_t key) {
    const bool captured = ZoPlatGetCapture() != 0;
    if (message != ZOMSG_KEYDOWN) pointer = POINT{x, y};
    const uint32_t r = ZoPathMouseProcDraw(canvas.dc, table, view, message, key, pointer, mode, 1);
    ZoPath* last = table->groups[table->curGroup].first;
    while (last != nullptr && last->next != nullptr) last = last->next;
    // The host's part: capture after the press that started a drawing, release after Esc.
    if (message == ZOMSG_LBUTTONDOWN && !captured && r == 0 && last != nullptr &&
        (last->flags & ZOF_DRAWING) != 0)
      ZoPlatSetCapture(1);
    if (message == ZOMSG_KEYDOWN && key == ZOKEY_ESCAPE) ZoPlatSetCapture(0);
    if (frame) frame();
  };
  std::istringstream lines(script);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream in(line);
    std::string op, word;
    if (!(in >> op)) continue;
    int32_t x = 0, y = 0;
    const bool point = op == "down" || op == "move" || op == "up" || op == "dblclick" ||
                       op == "scroll";
    if (point && !(in >> x >> y)) {
      *error = "line " + std::to_string(number) + ": '" + op + "' needs two numbers";
      return false;
    }
    bool shift = false, ctrl = false;
    while (in >> word) {
      shift = shift || word == "shift";
      ctrl = ctrl || word == "ctrl";
    }
    if (op == "down") {
      ZoPlatSetKeyState(16, shift);
      ZoPlatSetKeyState(17, ctrl);
      send(ZOMSG_LBUTTONDOWN, x, y, 0);
    } else if (op == "move") {
      send(ZOMSG_MOUSEMOVE, x, y, 0);
    } else if (op == "up") {
      send(ZOMSG_LBUTTONUP, x, y, 0);
      ZoPlatSetKeyState(16, 0);
      ZoPlatSetKeyState(17, 0);
    } else if (op == "dblclick") {
      send(ZOMSG_LBUTTONDOWN, x, y, 0);
      send(ZOMSG_LBUTTONUP, x, y, 0);
      send(ZOMSG_LBUTTONDBLCLK, x, y, 0);
      send(ZOMSG_LBUTTONUP, x, y, 0);
    } else if (op == "key") {
      std::string k;
      line.erase(0, line.find("key") + 3);
      std::istringstream(line) >> k;
      if (k != "esc" && k != "backspace") {
        *error = "line " + std::to_string(number) + ": key esc or backspace";
        return false;
      }
      send(ZOMSG_KEYDOWN, 0, 0, k == "esc" ? ZOKEY_ESCAPE : ZOKEY_BACKSPACE);
    } else if (op == "scroll") {
      // The host scrolls the window: its pixels move, the uncovered strip is painted white.
      std::vector<uint32_t> moved(canvas.pixels.size(), 0xFFFFFF);
      for (int32_t r = 0; r < canvas.height; ++r)
        for (int32_t c = 0; c < canvas.width; ++c) {
          const int32_t sx = c + x, sy = r + y;
          if (sx >= 0 && sx < canvas.width && sy >= 0 && sy < canvas.height)
            moved[size_t(r) * size_t(canvas.width) + size_t(c)] =
                canvas.pixels[size_t(sy) * size_t(canvas.width) + size_t(sx)];
        }
      std::copy(moved.begin(), moved.end(), canvas.pixels.begin());  // the dc keeps its pixels
      view->scrollX += x;
      view->scrollY += y;
      send(ZOMSG_MOUSEMOVE, pointer.x, pointer.y, 0);
    } else {
      *error = "line " + std::to_string(number) + ": unknown message '" + op + "'";
      return false;
    }
  }
  ZoPlatSetKeyState(16, 0);
  ZoPlatSetKeyState(17, 0);
  return true;
}

}  // namespace zopath
