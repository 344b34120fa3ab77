// Library load and unload: what the Windows module entry point did on process attach and
// detach.
#include <dlfcn.h>

#include "fonts.hpp"
#include "host_library.hpp"
#include "library_state.hpp"

namespace {

using InitMsgFn = void (*)(void*);

// The module handle of this library: its load address.
void* own_module_handle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&own_module_handle), &info) == 0) return nullptr;
  return info.dli_fbase;
}

__attribute__((constructor)) void on_library_load() {
  // Per-thread notifications do not exist here; the host's common library gets its start-up
  // message once, then is let go again until an error report needs it.
  void* common = dlopen("libzo32comm.so", RTLD_NOW | RTLD_LOCAL);
  if (common == nullptr) return;
  if (auto fn = reinterpret_cast<InitMsgFn>(dlsym(common, "LauncherSetInitMsgString"))) {
    fn(own_module_handle());
  }
  dlclose(common);
}

__attribute__((destructor)) void on_library_unload() {
  zo::deform::release_deform_state();
  zo::shapes::release_shape_state();
  zo::release_library_state();
  zo::plat::release_fonts();
  zo::plat::unload_host_libraries();
}

}  // namespace
