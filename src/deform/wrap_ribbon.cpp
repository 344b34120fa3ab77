#include "wrap_ribbon.hpp"

#include <cmath>

#include "model/bounds.hpp"
#include "model/records.hpp"
#include "platform/trace.hpp"

namespace zo::deform {

bool cut_ribbon(ZoPath** work, const WrapSetup& s, const WrapFrame& f) {
  const WrapTables& w = wrap_tables();
  for (uint32_t i = 0; i < w.cutCount; ++i) {
    // The source x whose arc position is the turning point: the inverse of arc_of.
    double along = w.cuts[i] * s.total - s.start * s.total;
    double x = s.fit ? f.left + (s.usable > 0.0 ? along / s.usable : 0.0) * (f.width + 1.0)
                     : f.left + along;
    plat::trace("- WrapDoDeform(): nCutX = %d.\n", static_cast<int>(i + 1));
    if (x > f.left && x < f.left + f.width && std::fabs(x) < 2147483647.0)
      ZoPathCutWithLineX(nullptr, work, static_cast<int32_t>(std::lround(x)), 0);
    if (*work == nullptr) return false;
  }
  for (ZoPath* p = *work; p != nullptr; p = p->next) {
    RectDB r;
    uint32_t before = 0;
    if (p->count > 0 && bounds::shape_rect(p, bounds::kSingle, 1.0, &r)) {
      double u = 0.0;
      double fraction = arc_of(s, f, (r.left + r.right) / 2, &u) / s.total;
      if (!w.open) fraction -= std::floor(fraction);
      for (uint32_t k = 0; k < w.cutCount; ++k) before += w.cuts[k] <= fraction ? 1 : 0;
    }
    p->flags = before % 2 == 0 ? p->flags | ZOF_WRAP_MARKER : p->flags & ~ZOF_WRAP_MARKER;
  }
  return true;
}

void join_ribbon_pieces(ZoPath* head) {
  ZoPath* lastOf[2] = {nullptr, nullptr};
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    int chain = (p->flags & ZOF_WRAP_MARKER) != 0 ? 1 : 0;
    p->flags &= ~ZOF_WRAP_MARKER;
    if (has_attachment(p)) continue;
    p->joinPrev = lastOf[chain];
    p->joinNext = nullptr;
    if (lastOf[chain] != nullptr) lastOf[chain]->joinNext = p;
    lastOf[chain] = p;
  }
}

}  // namespace zo::deform
