// The display entry points until the display buffer and device contexts arrive: nothing
// is counted or drawn, and every changed rectangle is empty.
#include "display.hpp"

namespace zo::display {

namespace {
void set_empty(RECT* r) {
  if (r != nullptr) *r = RECT{0, 0, 0, 0};
}
}  // namespace

uint32_t draw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t) {
  set_empty(dirty);
  return view != nullptr && path != nullptr ? 1 : 0;
}

uint32_t hide(CoordStruct* view, ZoPath* path, RECT* dirty) {
  set_empty(dirty);
  return view != nullptr && path != nullptr ? 1 : 0;
}

uint32_t draw_selected(CoordStruct* view, ZoPath* path, RECT* dirty) {
  set_empty(dirty);
  return view != nullptr && path != nullptr ? 1 : 0;
}

void outline_pass(const CoordStruct*, ZoPath*, int, RECT*) {}

uint32_t draw_nodes(HDC, ZoPath*, const CoordStruct*) { return 1; }

}  // namespace zo::display
