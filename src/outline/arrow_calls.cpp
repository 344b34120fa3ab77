// The arrow calls of an outlined line: sizes, the shortened body and the rendered heads.
#include <cmath>
#include <new>

#include "Zo32path.h"
#include "arrow_geometry.hpp"
#include "geometry/fixed_point.hpp"
#include "geometry/vectors.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "platform/host_library.hpp"

namespace zo::arrows {

namespace {

// Placed templates stay well inside 16.16.
inline constexpr double kCoordinateLimit = 32767.0;

const ZoPathOutlineInfo* info_of(ZoPath* line) { return line != nullptr ? attachment_of(line) : nullptr; }

// Moves the template copy onto the line's end: anchor offset, scale, turn onto the end
// direction, then the tip onto the end point. False when a point would leave 16.16.
bool place(ZoPath* copy, const TemplateShape& shape, double scale, PointDB direction,
           PointDB endPoint) {
  double tipX = (shape.length - 1.0) * scale;  // where the tip lies after anchor and scale
  bool inRange = true;
  for (ZoPath* p = copy; p != nullptr; p = p->next) {
    for_each_point(p, [&](PathNode& n) {
      PointDB q = (to_db(n.pt) + shape.anchor) * scale;
      q.x -= tipX;
      PointDB turned{q.x * direction.x - q.y * direction.y, q.x * direction.y + q.y * direction.x};
      PointDB placed = turned + endPoint;
      inRange = inRange && std::fabs(placed.x) < kCoordinateLimit &&
                std::fabs(placed.y) < kCoordinateLimit;
      n.pt = to_fix(placed);
    });
  }
  return inRange;
}

uint32_t render_head(ZoPath* line, ZoPath* startTemplate, ZoPath* endTemplate, double width,
                     uint8_t* mask, int64_t origin, uint32_t aaMode) {
  const ZoPathOutlineInfo* info = info_of(line);
  if (info == nullptr || mask == nullptr) return 0;
  ArrowFit fit = fit_arrows(line, *info);
  bool atStart = fit.start && startTemplate != nullptr;
  ZoPath* templ = atStart ? startTemplate : fit.end ? endTemplate : nullptr;
  if (templ == nullptr) return 0;
  TemplateShape shape = measure(templ);
  PointDB direction{}, endPoint{};
  if (!shape.usable || !end_direction(line, !atStart, &direction, &endPoint)) return 0;
  double scale = width / shape.halfBase;
  if (!(scale > 0.0) || !std::isfinite(scale)) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtr(list_head(templ), &copy) == 0) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  uint32_t result = 0;
  if (place(copy, shape, scale, direction, endPoint)) {
    result = ZoPathToPartialBuf(copy, 0, aaMode, origin, mask);
  } else {
    ZO_REPORT(plat::kErrBadArgument, 1);
  }
  release_list(copy);
  return result;
}

}  // namespace

}  // namespace zo::arrows

using namespace zo;
using namespace zo::arrows;

extern "C" {

ZO_API uint32_t ZoPathGetArrowWidthHeight(ZoPath* path, double width, uint32_t* hasStart,
                                          double* startLength, double* startWidth,
                                          uint32_t* hasEnd, double* endLength, double* endWidth) {
  const ZoPathOutlineInfo* info = info_of(path);
  if (info == nullptr || hasStart == nullptr || startLength == nullptr ||
      startWidth == nullptr || hasEnd == nullptr || endLength == nullptr || endWidth == nullptr) {
    return 0;
  }
  ArrowFit fit = fit_arrows(path, *info);
  auto sizes = [width](bool on, const ZoPath* templ, uint32_t* has, double* len, double* w) {
    TemplateShape s = measure(templ);
    double scale = on ? width / s.halfBase : 0.0;
    *has = on ? 1 : 0;
    *len = on ? scale * s.length : 0.0;
    *w = on ? 2 * scale * s.halfHeight : 0.0;
  };
  sizes(fit.start, info->startTemplate, hasStart, startLength, startWidth);
  sizes(fit.end, info->endTemplate, hasEnd, endLength, endWidth);
  return 1;
}

ZO_API uint32_t ZoPathGetLineArrowBody(ZoPath* path, ZoPath** body) {
  const ZoPathOutlineInfo* info = info_of(path);
  if (info == nullptr || body == nullptr || path->prev != nullptr || path->next != nullptr) {
    return 0;
  }
  ZoPath* copy = record_copy(path);
  if (copy == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  // A plain line: no links, no attachment.
  copy->prev = copy->next = copy->joinPrev = copy->joinNext = copy->selPrev = copy->selNext =
      nullptr;
  copy->flags &= ~ZOF_ATTACHMENT;
  trim_line(copy, fit_arrows(path, *info));
  *body = copy;
  return 1;
}

ZO_API uint32_t ZoPathRenderArrowHead(ZoPath* path, ZoPath* startTemplate, ZoPath* endTemplate,
                                      double width, uint8_t* mask, int64_t origin,
                                      uint32_t aaMode) {
  if (path == nullptr) {
    TemplateShape s = measure(startTemplate != nullptr ? startTemplate : endTemplate);
    return s.usable ? static_cast<uint32_t>(s.halfBase * 99.0 / s.halfHeight) : 0;
  }
  try {
    return render_head(path, startTemplate, endTemplate, width, mask, origin, aaMode);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

ZO_API uint32_t ZoPathDeleteCoord(ZoPathCoord* chain) {
  if (chain == nullptr) return 0;
  // Stops at a record that is not a live block, so a looped chain ends too.
  for (ZoPathCoord* c = chain; c != nullptr;) {
    ZoPathCoord* next = c->next;
    if (ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(c)) != nullptr) break;
    c = next;
  }
  return 1;
}

ZO_API uint32_t ZoPathSplitTextDelREandPTArray(ZoPathTextRun** runs, uint32_t runsBytes,
                                               void** points, uint32_t pointsBytes) {
  if (runs != nullptr) {
    for (uint32_t i = 0; i < runsBytes / 8; ++i) {
      if (runs[i] == nullptr) continue;
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(runs[i]->text));
      ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(runs[i]));
    }
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(runs));
  }
  if (points != nullptr) {
    for (uint32_t i = 0; i < pointsBytes / 8; ++i) {
      if (points[i] != nullptr) ZoPlatGlobalFree(static_cast<HGLOBAL>(points[i]));
    }
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(points));
  }
  return 1;
}

}  // extern "C"
