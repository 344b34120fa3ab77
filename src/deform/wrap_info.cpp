#include "wrap_info.hpp"

#include <algorithm>
#include <cmath>

#include "model/bounds.hpp"
#include "model/records.hpp"

namespace zo::deform {

bool source_box(ZoPath* head, RectDB* out) {
  return bounds::shape_rect(head, bounds::kList, 1.0, out);
}

void normalise_settings(ZoPathWrapInfo* info) {
  if (info->text != 0 && info->ascentDescent == 0) {
    int32_t h = info->sizeOrRef.size, third = h / 3;
    info->ascentDescent = (static_cast<uint32_t>(h - third) << 16) |
                          (static_cast<uint32_t>(third) & 0xFFFFu);
  }
  if (info->count < 0) info->count = 0;
  if (!(info->spacing > -1.0)) info->spacing = 0.0;
  if (info->rotate != 0 && info->rotate != 1) info->rotate = 0;
  double start = std::isfinite(info->start) ? info->start : 0.0;
  // Whole turns added or subtracted until the value lies in [0, 1].
  if (start > 1.0) start -= std::ceil(start - 1.0);
  if (start < 0.0) start += std::ceil(-start);
  info->start = std::min(start, 0.999);
  info->closed = info->baseline == nullptr || is_closed(info->baseline) ? 1 : 0;
}

}  // namespace zo::deform
