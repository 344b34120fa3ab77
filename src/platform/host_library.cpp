#include "host_library.hpp"

#include <dlfcn.h>

#include "Zo32path.h"

namespace zo::plat {

namespace {

struct LoadedLibrary {
  const char* fileName;
  void* handle;
  bool tried;
};

LoadedLibrary g_libraries[] = {
    {"libzo32comm.so", nullptr, false},
    {"libzo32base.so", nullptr, false},
};

using SetErrInfoFn = void (*)(void*, uint32_t, uint32_t, uint32_t, const char*, int32_t);

}  // namespace

void* host_symbol(HostLibrary library, const char* name) {
  LoadedLibrary& lib = g_libraries[static_cast<int>(library)];
  if (!lib.tried) {
    lib.tried = true;
    lib.handle = dlopen(lib.fileName, RTLD_NOW | RTLD_LOCAL);
  }
  return lib.handle == nullptr ? nullptr : dlsym(lib.handle, name);
}

void unload_host_libraries() {
  for (LoadedLibrary& lib : g_libraries) {
    if (lib.handle != nullptr) dlclose(lib.handle);
    lib.handle = nullptr;
    lib.tried = false;
  }
}

void report_error(uint32_t code, uint32_t level, const char* file, int line) {
  auto fn = reinterpret_cast<SetErrInfoFn>(host_symbol(HostLibrary::Common, "c32SetDLLErrInfoA"));
  if (fn != nullptr) fn(nullptr, code, level, ZOPATH_MODULE, file, line);
}

}  // namespace zo::plat
