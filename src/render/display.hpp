// What the path model asks of the screen display: counting outlines into the view's
// display buffer and drawing node handles. The model calls only these entry points, so the
// display code can change without touching the table operations.
#pragma once

#include "Zo32path.h"

namespace zo::display {

// Outline modes of the display-buffer pass used by the model.
inline constexpr int kModeShowCopy = 1;  // count + 1, kind cleared
inline constexpr int kModeHide = 2;      // count - 1

// Draws every subpath of the list into the view's display buffer; dirty receives the window
// rectangle that changed. 1, or 0 for missing arguments.
uint32_t draw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t clearFirst);
// Erases the whole display buffer; dirty receives the area the host must repaint.
uint32_t hide(CoordStruct* view, ZoPath* path, RECT* dirty);
// Draws the selection chain that the subpath belongs to.
uint32_t draw_selected(CoordStruct* view, ZoPath* path, RECT* dirty);
// One outline pass over one subpath; extends dirty, kept in display-buffer coordinates.
void outline_pass(const CoordStruct* view, ZoPath* path, int mode, RECT* dirty);
// Draws (or, drawn again, erases) the node handles of one subpath on a device context.
uint32_t draw_nodes(HDC dc, ZoPath* path, const CoordStruct* view);

}  // namespace zo::display
