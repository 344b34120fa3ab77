// Sees a small object through a transform made of arbitrary bytes (NaN, infinities, huge and
// zero fields of view, eyes inside the object): projection, bounds, a wire frame on a small
// device context and a depth buffer. Under the sanitizers: no crash, no write outside the
// DC or the buffer, no leak, bounded time.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Zo32path.h"

namespace {

template <typename T>
T take(const uint8_t*& data, size_t& size) {
  T v{};
  size_t n = std::min(sizeof(T), size);
  std::memcpy(&v, data, n);
  data += n, size -= n;
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  Transform3D t = take<Transform3D>(data, size);
  double zOffset = take<double>(data, size);
  double depth = take<double>(data, size);
  int32_t intDepth = take<int16_t>(data, size);
  uint8_t nodes = take<uint8_t>(data, size) % 16;
  ZoPath* p = ZoPathCreate();
  if (p == nullptr) return 0;
  const uint16_t kinds[] = {PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_PARAM_PAIR, PT_PARAM_SINGLE,
                            PT_LINETO | PT_CLOSEFIGURE};
  for (uint8_t i = 0; i < nodes && size > 0; ++i) {
    uint16_t type = i == 0 ? PT_MOVETO : kinds[take<uint8_t>(data, size) % 6];
    // An eighth of a pixel a unit: +-4096 pixels.
    Ptfx pt{take<int16_t>(data, size) * 8192, take<int16_t>(data, size) * 8192};
    ZoPathAddPoint(&p, &pt, type);
  }
  ZoPath* copy = nullptr;
  if (ZoPathDuplicatePtr(p, &copy) == 1) {
    ZoPathTo3D(copy, &t, zOffset, 0);
    ZoPathDeletePtr(copy, 0);
  }
  RECT r{};
  ZoPathGet3DMiniMaxRect(p, &t, depth, -depth, &r);
  std::vector<uint32_t> pixels(256 * 256);
  if (HDC dc = ZoPlatCreateMemoryDC(pixels.data(), 256, 256, 256)) {
    CoordStruct view{};
    view.rcWindow = RECT{0, 0, 256, 256};
    view.zoom = (take<uint8_t>(data, size) + 1) / 64.0;
    ZoPath3DWireFrame(dc, p, 50, 50, &view, &t, depth, zOffset);
    ZoPlatDeleteDC(dc);
  }
  uint8_t* buffer = nullptr;
  ZoPathCreateZBufferFrom3DTransform(&buffer, &t, p, zOffset, intDepth);
  ZoPathBufFree(buffer);
  ZoPathDeletePtr(p, 0);
  return 0;
}
