// Rectangle arithmetic with the Windows conventions: right and bottom are exclusive for
// emptiness and point tests, and an empty result is stored as all zeros.
#pragma once

#include <algorithm>

#include "Zo32path_platform.h"

namespace zo::plat {

inline void SetRect(RECT* r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  *r = RECT{left, top, right, bottom};
}
inline void SetRectEmpty(RECT* r) { *r = RECT{0, 0, 0, 0}; }
inline void CopyRect(RECT* dst, const RECT* src) { *dst = *src; }
inline bool IsRectEmpty(const RECT* r) { return r->right <= r->left || r->bottom <= r->top; }
inline void OffsetRect(RECT* r, int32_t dx, int32_t dy) {
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
}
inline void InflateRect(RECT* r, int32_t dx, int32_t dy) {
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
}
inline bool PtInRect(const RECT* r, POINT p) {
  return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
// The overlap of a and b; false (and dst emptied) when they do not overlap.
inline bool IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(dst);
    return false;
  }
  *dst = r;
  return true;
}
// The smallest rectangle holding both; an empty operand does not count.
inline bool UnionRect(RECT* dst, const RECT* a, const RECT* b) {
  bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
  if (ea && eb) {
    SetRectEmpty(dst);
    return false;
  }
  if (ea) {
    *dst = *b;
  } else if (eb) {
    *dst = *a;
  } else {
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return true;
}

}  // namespace zo::plat
