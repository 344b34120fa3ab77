// Maps random paths through random envelopes, wraps random sources along random baselines
// (or bends them) with random settings, and stretches them. Under the sanitizers: no crash,
// no read outside a node array, no division by zero trap, no leak.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Zo32path.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename T>
  T take() {
    T v{};
    size_t n = std::min(sizeof(T), size_ - pos_);
    std::memcpy(&v, data_ + pos_, n);
    pos_ += n;
    return v;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

constexpr uint16_t kTypes[] = {PT_LINETO, PT_BEZIERTO, PT_LINETO | PT_CLOSEFIGURE,
                               PT_BEZIERTO | PT_CLOSEFIGURE, PT_PARAM_SINGLE, PT_MOVETO,
                               PT_BEZIERTO | PT_SMOOTH, 0};

int32_t coordinate(Bytes& in) {
  int32_t raw = in.take<int32_t>();
  uint8_t range = in.take<uint8_t>() % 8;
  if (range < 5) return raw % (500 << 16);
  if (range < 7) return raw % 4096;
  return raw;
}

ZoPath* subpath(Bytes& in, uint32_t maxNodes) {
  ZoPath* p = ZoPathCreate();
  uint32_t n = 1 + in.take<uint8_t>() % maxNodes;
  for (uint32_t i = 0; i < n && p != nullptr; ++i) {
    uint16_t type = i == 0 ? PT_MOVETO : kTypes[in.take<uint8_t>() % 8];
    for (int k = (type & PT_BEZIERTO) ? 3 : 1; k > 0; --k) {
      Ptfx pt{coordinate(in), coordinate(in)};
      ZoPathAddPoint(&p, &pt, k == 1 ? type : PT_BEZIERTO);
    }
  }
  if (p != nullptr) p->flags = in.take<uint8_t>() % 2 ? ZOF_TEXT_CHAR : 0;
  return p;
}

ZoPath* list(Bytes& in) {
  ZoPath* head = subpath(in, 12);
  ZoPath* tail = head;
  for (int k = in.take<uint8_t>() % 3; k > 0 && tail != nullptr; --k) {
    ZoPath* p = subpath(in, 8);
    tail->next = p, p->prev = tail, tail = p;
  }
  return head;
}

void release(ZoPath* p) {
  while (p != nullptr && p->prev != nullptr) p = p->prev;
  while (p != nullptr) {
    ZoPath* next = p->next;
    ZoPathDeletePtr(p, 0);
    p = next;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZoPathInit();
  Bytes in(data, size);
  // Envelopes: a random frame over a random domain (zero-size domains included).
  ZoPath* src = list(in);
  Ptfx frame[8];
  for (Ptfx& f : frame) f = Ptfx{coordinate(in), coordinate(in)};
  RectDB domain{in.take<int16_t>() * 1.0, in.take<int16_t>() * 1.0, in.take<int16_t>() * 1.0,
                in.take<int16_t>() * 1.0};
  switch (in.take<uint8_t>() % 4) {
    case 0: ZoPathBiLinear(src, frame, 0); break;
    case 1: ZoPathBiCubicV(src, frame, 0); break;
    case 2: ZoPathDomainRangeBiCubic(nullptr, &domain, &domain, frame); break;
    default: ZoPathAddBiBezierEnvelope(src, frame); break;
  }
  // Wrap or bend with random settings.
  ZoPath* base = in.take<uint8_t>() % 4 == 0 ? nullptr : subpath(in, 10);
  ZoPathWrapInfo w{};
  w.baseline = base;
  w.fit = in.take<uint8_t>() % 2;
  w.count = in.take<int8_t>();
  w.spacing = in.take<int8_t>() / 16.0;
  w.rotate = in.take<uint8_t>() % 3;
  w.followNormal = in.take<uint8_t>() % 2;
  w.deform = in.take<uint8_t>() % 4 != 0;
  w.startHeight = in.take<uint8_t>();
  w.endHeight = in.take<uint8_t>();
  w.cornerMode = in.take<uint8_t>() % 2;
  w.start = in.take<int8_t>() / 40.0;
  w.text = in.take<uint8_t>() % 2;
  if (w.text) w.sizeOrRef.size = in.take<uint8_t>();
  else w.sizeOrRef.verticalRef = in.take<int8_t>() / 64.0;
  w.bend = in.take<int8_t>();
  w.setting = in.take<uint8_t>() % 2;
  ZoPath* wrapped = src;
  uint32_t ok = ZoPathWrap(&wrapped, &w);
  if (ok && base != nullptr) {
    ZoPathAddWrapPath(wrapped, &w);
    ZoPathWrapGetTruncatePosX(wrapped, 0, &w);
  }
  if (base != nullptr) {
    float fraction = 0;
    PointDB at{}, near{};
    ZoPathGetPointByLengthPercentage(base, in.take<uint8_t>() / 255.0f, &at);
    ZoPathGetLengthPercentageByPoint(base, at, &fraction, &near);
  }
  double a = in.take<int16_t>(), b = in.take<int16_t>(), c = in.take<int16_t>(), d = in.take<int16_t>();
  ZoPath* stretched = nullptr;
  ZoPathStretch(wrapped, &stretched, &a, &b, &c, &d, in.take<uint8_t>() % 2);
  release(stretched);
  release(wrapped);
  release(base);
  return 0;
}
