// The display buffer's drawing core: the outline pass and the calls the path model makes
// (table, duplicate and delete operations draw and erase through these).
#pragma once

#include "Zo32path.h"

namespace zo::display {

// Outline modes (pixel operation and segments walked):
// 0, 1 count+1 kind 0, all; 2, 11 count-1, all; 3/4 count +1/-1 on segments touching a
// selected node; 5/6 count +1/-1 on selected segments; 7, 15 count+1 kind 0x80; 8/9 kind
// 0x40 set/cleared on selected segments; 10 kind cleared; 12 kind 0xC0; 13 kind 0x80;
// 14 count+1 kind 0xC0.
inline constexpr int kModeShow = 0;
inline constexpr int kModeShowCopy = 1;
inline constexpr int kModeHide = 2;
inline constexpr int kModeHighlight = 8;
inline constexpr int kModeUnhighlight = 9;

// One outline pass over one subpath into the view's display buffer; extends dirty, kept in
// buffer coordinates. Does nothing for a view without a usable buffer.
void outline_pass(const CoordStruct* view, ZoPath* path, int mode, RECT* dirty);

// The exported drawing calls' cores (see Zo32path.h).
uint32_t draw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t clearFirst);
uint32_t hide(CoordStruct* view, ZoPath* path, RECT* dirty);
uint32_t draw_selected(CoordStruct* view, ZoPath* path, RECT* dirty);
uint32_t draw_nodes(HDC dc, ZoPath* path, const CoordStruct* view);
// Sets (mode 8) or clears (mode 9) the highlight of the selected segments along the
// selection chain; used by segment picking and conversion.
uint32_t mark_selected_segments(CoordStruct* view, ZoPath* path, int mode, RECT* dirty);

// The buffer a view draws into, bounded by the block the table allocated.
struct Target {
  uint8_t* bytes;
  int32_t width;
  int32_t height;
};
// False for a view without a buffer, an unusable zoom or a buffer that is not a live block.
bool target_of(const CoordStruct* view, Target* out);

}  // namespace zo::display
