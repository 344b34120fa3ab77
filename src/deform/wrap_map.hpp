// The wrap's point map: where a source point goes on the baseline, for the frame the source
// is measured by and the settings of one wrap.
#pragma once

#include "Zo32path.h"
#include "wrap_baseline.hpp"

namespace zo::deform {

// The source's measure: its box and the reference line the baseline runs along.
struct WrapFrame {
  double left, width, top, height, refY;
};

// The settings of one wrap over the current baseline tables.
struct WrapSetup {
  bool fit, followNormal, rotate, mitre, deform;
  double total, usable, start;  // L, the usable length Lu, the start fraction
  double startScale, endScale;  // offset scale at the source's left and right edges
};

WrapFrame frame_of(const RectDB& box, const ZoPathWrapInfo& info, bool bend);
WrapSetup setup_of(const ZoPathWrapInfo& info);

// The arc position of a source x, and its relative position u across the source.
double arc_of(const WrapSetup& s, const WrapFrame& f, double x, double* u);
// The point at distance d (positive: above) from a baseline point, in the offset form the
// settings and the segment ask for.
PointDB offset_at(const WrapSetup& s, const BaselinePoint& at, double d);
PointDB map_point(const WrapSetup& s, const WrapFrame& f, PointDB p);

}  // namespace zo::deform
