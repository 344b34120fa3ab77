#include "host_imaging.hpp"

#include "host_library.hpp"

namespace zo::plat {

namespace {

using GetWHUFn = uint32_t (*)(void*, uint32_t*, uint32_t*, uint32_t*);
using LockFn = uint32_t (*)(void*, uint32_t, uint32_t);
using LineFn = uint32_t (*)(void*, int32_t, uint32_t, uint8_t*);
using UnlockFn = uint32_t (*)(void*);

template <typename Fn>
Fn imaging_call(const char* name) {
  return reinterpret_cast<Fn>(host_symbol(HostLibrary::Imaging, name));
}

}  // namespace

bool host_image_size(void* image, uint32_t* width, uint32_t* height, uint32_t* unit) {
  auto fn = imaging_call<GetWHUFn>("buf32GetWHU");
  return fn != nullptr && fn(image, width, height, unit) != 0;
}

bool host_image_lock(void* image, uint32_t mode, uint32_t flags) {
  auto fn = imaging_call<LockFn>("buf32Lock");
  return fn != nullptr && fn(image, mode, flags) != 0;
}

bool host_image_line(void* image, int32_t y, uint32_t direction, uint8_t* row) {
  auto fn = imaging_call<LineFn>("buf32Line");
  return fn != nullptr && fn(image, y, direction, row) != 0;
}

bool host_image_unlock(void* image) {
  auto fn = imaging_call<UnlockFn>("buf32Unlock");
  return fn != nullptr && fn(image) != 0;
}

}  // namespace zo::plat
