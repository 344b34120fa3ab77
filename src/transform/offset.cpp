// Placing a path list by whole pixels: at a target corner, or by an exact offset.
#include "model/bounds.hpp"
#include "model/move.hpp"
#include "model/records.hpp"

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathOffset(ZoPath* path, POINT target) {
  if (path == nullptr) return 0;
  RECT r;
  bounds::integer_rect(path, bounds::kJoin, 1.0, true, &r);
  // Whole pixels wrap within 16 bits, so the difference may wrap too.
  auto diff = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
  };
  int32_t dx = diff(target.x, r.left), dy = diff(target.y, r.top);
  if (dx != 0 || dy != 0) shift_list_by_units(path, dx, dy);
  return 1;
}

ZO_API uint32_t ZoPathOffsetExact(ZoPath* path, POINT offset) {
  if (path != nullptr && (offset.x != 0 || offset.y != 0))
    shift_list_by_units(path, offset.x, offset.y);
  return 1;
}

}  // extern "C"
