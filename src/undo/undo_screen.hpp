// Where undo and redo show their changes: handles on the window's device context, outlines in
// the view's display buffer, and the rectangle the host must repaint.
#pragma once

#include "Zo32path.h"

namespace zo::undo {

struct Screen {
  HDC dc;
  CoordStruct* view;
  RECT* changed;  // in/out, window coordinates; may be null

  // Draws, or with exclusive-or erases, the node handles of one subpath.
  void handles(ZoPath* p) const;
  // Adds a window rectangle to the changed area.
  void extend(const RECT& r) const;
  // One outline pass (display mode) over a subpath; the area it touched is added.
  void outline(ZoPath* p, int mode) const;
};

}  // namespace zo::undo
