// Pictures of made shapes for the shape, polygon and draw commands and the gallery: a white
// window with the shapes filled in light blue (ZoPathToBuf), the drag rectangle dotted and the
// node handles drawn over them; and the pen tool played from a message script.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "png_writer.hpp"

namespace zopath {

// A memory device context over its own pixels.
struct Canvas {
  int32_t width, height;
  std::vector<uint32_t> pixels;
  HDC dc;
  Canvas(int32_t w, int32_t h, uint32_t background = 0xFFFFFF);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Image image() const;
};

// Fills the list (every subpath from its head) at scale 1, draws drag (when not null) dotted
// and the handles of every subpath. The view maps image pixels to the canvas.
void draw_shapes(Canvas& canvas, ZoPath* head, const CoordStruct* view, const RECT* drag);

// The pen tool played over a window of the canvas's size, with the host's part of the capture
// protocol. Script lines: "down X Y [shift] [ctrl]", "move X Y", "up X Y", "dblclick X Y"
// (down, up, double click, up), "key esc|backspace", "scroll DX DY"; "#" starts a comment.
// frame (may be empty) is called after every message. False with a message in *error for a
// line that does not read.
bool play_pen_script(const std::string& script, uint32_t mode, Canvas& canvas, ZoPathTbl* table,
                     CoordStruct* view, const std::function<void()>& frame, std::string* error);

}  // namespace zopath
