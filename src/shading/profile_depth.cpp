// A depth buffer of a bevelled object from its distance field, through the bevel profiles.
#include <cmath>

#include "Zo32path.h"
#include "bevel_profile.hpp"
#include "render/float_buffer.hpp"

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathCreateZBuffer(uint8_t** buffer, const uint8_t* distanceBuffer,
                                    const uint8_t* maskBuffer, int32_t floatMode, double width,
                                    uint32_t profileKind, uint32_t inverted, uint32_t profileMode,
                                    double extent, float background) {
  if (buffer == nullptr || distanceBuffer == nullptr || !render::is_buffer_handle(maskBuffer)) {
    return 0;
  }
  render::BufferHeader mask = render::header_of(maskBuffer);
  if (mask.bits != 8) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  if (!render::make_float_buffer(buffer, mask.width, mask.height)) return 0;
  float* depth = render::float_pixels(*buffer);
  size_t n = size_t{mask.width} * mask.height;
  for (size_t i = 0; i < n; ++i) {
    if (maskBuffer[i] == 0) {
      depth[i] = background;
      continue;
    }
    shading::DistanceVector d = shading::read_distance(distanceBuffer, i, floatMode != 0);
    double distance = d.flat() ? INFINITY : std::hypot(d.dx, d.dy);
    shading::ProfileSample s =
        shading::profile_sample(profileKind, inverted != 0, profileMode, distance, width);
    depth[i] = float(s.height * extent);
  }
  return 1;
}

}  // extern "C"
