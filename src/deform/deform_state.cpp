#include "deform_state.hpp"

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "platform/memory.hpp"
#include "wrap_baseline.hpp"

namespace zo::deform {

namespace {

constexpr uint32_t kRunStep = 512;

PointRun g_stretchRun;
PointRun g_wrapRun;

}  // namespace

bool PointRun::reserve(uint32_t n) {
  if (n <= capacity) return true;
  uint32_t want = (n + kRunStep - 1) / kRunStep * kRunStep;
  auto* p = static_cast<PointDB*>(plat::mem_realloc(pts, sizeof(PointDB) * want, 0));
  if (p == nullptr) return false;
  pts = p;
  // A block that grew keeps its larger size; capacity counts only when all three grew.
  auto* t = static_cast<uint16_t*>(plat::mem_realloc(types, sizeof(uint16_t) * want, 0));
  if (t == nullptr) return false;
  types = t;
  auto* r = static_cast<uint16_t*>(plat::mem_realloc(roles, sizeof(uint16_t) * want, 0));
  if (r == nullptr) return false;
  roles = r;
  capacity = want;
  return true;
}

bool PointRun::push(PointDB p, uint16_t type, uint16_t role) {
  if (!reserve(count + 1)) return false;
  pts[count] = p;
  types[count] = type;
  roles[count++] = role;
  return true;
}

void PointRun::release() {
  plat::mem_free(pts);
  plat::mem_free(types);
  plat::mem_free(roles);
  *this = PointRun{};
}

bool write_run(ZoPath** path, const PointRun& run) {
  ZoPath* p = *path;
  if (record_capacity(p) < run.count) {
    ZoPath* grown = record_resize(p, run.count);
    if (grown == nullptr) return false;
    relink_moved(grown);
    *path = p = grown;
  }
  PathNode* n = nodes_of(p);
  for (uint32_t i = 0; i < run.count; ++i) n[i] = PathNode{run.types[i], to_fix(run.pts[i])};
  p->count = run.count;
  return true;
}

PointRun& stretch_run() { return g_stretchRun; }
PointRun& wrap_run() { return g_wrapRun; }

void release_deform_state() {
  g_stretchRun.release();
  g_wrapRun.release();
  release_wrap_tables();
}

}  // namespace zo::deform
