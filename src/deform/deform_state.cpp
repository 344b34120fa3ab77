#include "deform_state.hpp"

#include "platform/memory.hpp"

namespace zo::deform {

namespace {

constexpr uint32_t kRunStep = 512;

PointRun g_stretchRun;

}  // namespace

bool PointRun::reserve(uint32_t n) {
  if (n <= capacity) return true;
  uint32_t want = (n + kRunStep - 1) / kRunStep * kRunStep;
  auto* p = static_cast<PointDB*>(plat::mem_realloc(pts, sizeof(PointDB) * want, 0));
  if (p == nullptr) return false;
  pts = p;
  auto* t = static_cast<uint16_t*>(plat::mem_realloc(types, sizeof(uint16_t) * want, 0));
  if (t == nullptr) return false;  // the points keep their larger block; capacity stays
  types = t;
  capacity = want;
  return true;
}

bool PointRun::push(PointDB p, uint16_t type) {
  if (!reserve(count + 1)) return false;
  pts[count] = p;
  types[count++] = type;
  return true;
}

void PointRun::release() {
  plat::mem_free(pts);
  plat::mem_free(types);
  *this = PointRun{};
}

PointRun& stretch_run() { return g_stretchRun; }

void release_deform_state() { g_stretchRun.release(); }

}  // namespace zo::deform
