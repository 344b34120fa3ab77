// A window for the mouse-driven tools: plays the host's window procedure over a memory device
// context of 1024 x 768 pixels, with a table and a view, the key state (Shift, Ctrl) and the
// Windows capture protocol: the host captures the mouse after the button press that started a
// drawing (a new selected path carrying ZOF_DRAWING), releases it after Esc, and the tool
// releases it when the drawing ends. Like a host it then shows the handles of the path that
// was drawn (until the next drawing deselects it), also in the strip a scroll uncovers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "Zo32path.h"

namespace zo_test {

class PenSession {
 public:
  static constexpr int32_t kWidth = 1024, kHeight = 768;
  static constexpr uint32_t kBackground = 0x00336699;
  // The tool procedure; the pen tool by default (the freehand tools pass theirs).
  using Proc = std::function<uint32_t(HDC, ZoPathTbl*, const CoordStruct*, uint32_t, uint32_t,
                                      POINT, uint32_t, int32_t)>;

  explicit PenSession(uint32_t mode = 2, double zoom = 1.0, int32_t scrollX = 0,
                      int32_t scrollY = 0)
      : mode(mode), pixels(size_t(kWidth) * kHeight, kBackground) {
    ZoPathInit();
    ZoPathNew(&table);
    RECT window{0, 0, kWidth, kHeight};
    ZoPathCoordStruct(&window, scrollX, scrollY, zoom, table, &view);
    dc = ZoPlatCreateMemoryDC(pixels.data(), kWidth, kHeight, kWidth);
    ZoPlatSetCapture(0);
    ZoPlatResetBeeps();
    keys(false, false);
  }
  ~PenSession() {
    send(ZOMSG_KEYDOWN, 0, 0, ZOKEY_ESCAPE);  // ends a drawing left open by a test
    keys(false, false);
    ZoPlatDeleteDC(dc);
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  PenSession(const PenSession&) = delete;
  PenSession& operator=(const PenSession&) = delete;

  void keys(bool shift, bool ctrl) {
    ZoPlatSetKeyState(16, shift);
    ZoPlatSetKeyState(17, ctrl);
  }
  // One message, with the host's part of the capture protocol around it.
  uint32_t send(uint32_t message, int32_t x, int32_t y, uint32_t key = 0) {
    const bool captured = ZoPlatGetCapture() != 0;
    if (message != ZOMSG_KEYDOWN) pointer = POINT{x, y};
    const uint32_t r = proc(dc, table, view, message, key, POINT{x, y}, mode, clipScroll);
    ZoPath* p = path();
    const bool escape = message == ZOMSG_KEYDOWN && key == ZOKEY_ESCAPE;
    if (message == ZOMSG_LBUTTONDOWN && !captured && r == 0 && p != nullptr &&
        (p->flags & ZOF_DRAWING) != 0) {
      ZoPlatSetCapture(1);
      shown = nullptr;  // the new drawing cleared the selection and its handles
    }
    if (escape) ZoPlatSetCapture(0);
    if (captured && (r == 1 || escape) && p != nullptr) {
      shown = p;
      ZoPathDrawNodes(dc, shown, view);
    }
    return r;
  }
  uint32_t down(int32_t x, int32_t y, bool shift = false, bool ctrl = false) {
    keys(shift, ctrl);
    return send(ZOMSG_LBUTTONDOWN, x, y);
  }
  uint32_t move(int32_t x, int32_t y) { return send(ZOMSG_MOUSEMOVE, x, y); }
  uint32_t up(int32_t x, int32_t y) { return send(ZOMSG_LBUTTONUP, x, y); }
  uint32_t click(int32_t x, int32_t y) { return down(x, y) | up(x, y); }
  // Press at (x0, y0), move there in a few steps, release at (x1, y1).
  uint32_t drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    uint32_t r = down(x0, y0);
    for (int i = 1; i <= 3; ++i) r |= move(x0 + (x1 - x0) * i / 3, y0 + (y1 - y0) * i / 3);
    return r | up(x1, y1);
  }
  // What Windows sends for a double click: down, up, double click, up at one point.
  uint32_t double_click(int32_t x, int32_t y) {
    uint32_t r = down(x, y) | up(x, y);
    r |= send(ZOMSG_LBUTTONDBLCLK, x, y);
    return r | up(x, y);
  }
  uint32_t key(uint32_t k) { return send(ZOMSG_KEYDOWN, 0, 0, k); }
  // The host scrolls the view by (dx, dy) window pixels, as it does when a drag leaves the
  // window: the window's pixels move by (-dx, -dy), the uncovered strip is painted with the
  // background, and a mouse move at the pointer follows.
  uint32_t scroll(int32_t dx, int32_t dy) {
    std::vector<uint32_t> moved(pixels.size(), kBackground);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const int32_t sx = x + dx, sy = y + dy;
        if (sx >= 0 && sx < kWidth && sy >= 0 && sy < kHeight)
          moved[size_t(y) * kWidth + x] = pixels[size_t(sy) * kWidth + sx];
      }
    pixels.swap(moved);
    ZoPlatDeleteDC(dc);
    dc = ZoPlatCreateMemoryDC(pixels.data(), kWidth, kHeight, kWidth);
    view->scrollX += dx;
    view->scrollY += dy;
    if (shown != nullptr) show_handles_in_strip(dx, dy);
    return move(pointer.x, pointer.y);
  }
  void show_handles_in_strip(int32_t dx, int32_t dy) {
    const RECT all{0, 0, kWidth, kHeight};
    const RECT kept{std::max(0, -dx), std::max(0, -dy), std::min(kWidth, kWidth - dx),
                    std::min(kHeight, kHeight - dy)};
    HRGN strip = ZoPlatCreateRectRgnIndirect(&all), keep = ZoPlatCreateRectRgnIndirect(&kept);
    ZoPlatCombineRgn(strip, strip, keep, RGN_DIFF);
    ZoPlatSelectClipRgn(dc, strip);
    ZoPathDrawNodes(dc, shown, view);
    ZoPlatSelectClipRgn(dc, nullptr);
    ZoPlatDeleteObject(strip);
    ZoPlatDeleteObject(keep);
  }
  // The current group's last path (the one being drawn), or null.
  ZoPath* path() const {
    ZoPath* p = table->groups[0].first;
    while (p != nullptr && p->next != nullptr) p = p->next;
    return p;
  }
  // Whether the window shows only what the host painted: the background and the handles of
  // the path drawn last; the tool's previews are all gone.
  bool clean() const {
    std::vector<uint32_t> picture(pixels.size(), kBackground);
    HDC other = ZoPlatCreateMemoryDC(picture.data(), kWidth, kHeight, kWidth);
    if (shown != nullptr) ZoPathDrawNodes(other, shown, view);
    ZoPlatDeleteDC(other);
    return picture == pixels;
  }

  uint32_t mode;
  int32_t clipScroll = 1;
  Proc proc = ZoPathMouseProcDraw;
  std::vector<uint32_t> pixels;
  HDC dc = nullptr;
  ZoPathTbl* table = nullptr;
  CoordStruct* view = nullptr;
  ZoPath* shown = nullptr;  // the path whose handles the host shows
  POINT pointer{0, 0};      // where the last mouse message was
};

}  // namespace zo_test
