#include "undo_screen.hpp"

#include "platform/rect.hpp"
#include "render/display.hpp"

namespace zo::undo {

void Screen::handles(ZoPath* p) const {
  if (dc != nullptr && view != nullptr) ZoPathDrawNodes(dc, p, view);
}

void Screen::extend(const RECT& r) const {
  if (changed != nullptr) plat::UnionRect(changed, changed, &r);
}

void Screen::outline(ZoPath* p, int mode) const {
  if (view == nullptr) return;
  RECT touched{0, 0, 0, 0};
  display::outline_pass(view, p, mode, &touched);
  // The pass works in display-buffer coordinates; the host repaints window coordinates.
  if (!plat::IsRectEmpty(&touched))
    plat::OffsetRect(&touched, view->rcWindow.left, view->rcWindow.top);
  extend(touched);
}

}  // namespace zo::undo
