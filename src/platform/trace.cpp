#include "trace.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Zo32path_platform.h"

namespace zo::plat {

namespace {
// The sink keeps the most recent text in a fixed buffer: a trace never allocates, so it
// works inside out-of-memory paths and never disturbs the allocation-failure switch.
constexpr size_t kKeep = 64 * 1024;
char g_text[kKeep + 1];
size_t g_length = 0;
ZoPlatTraceCallback g_callback = nullptr;
void* g_callbackUser = nullptr;
}  // namespace

void output_debug_string(const char* message) {
  if (message == nullptr) return;
  size_t n = std::strlen(message);
  if (n > kKeep) {
    message += n - kKeep;
    n = kKeep;
  }
  if (g_length + n > kKeep) {
    size_t drop = g_length + n - kKeep;
    std::memmove(g_text, g_text + drop, g_length - drop);
    g_length -= drop;
  }
  std::memcpy(g_text + g_length, message, n);
  g_length += n;
  g_text[g_length] = '\0';
  if (g_callback != nullptr) g_callback(message, g_callbackUser);
}

void trace(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  output_debug_string(buffer);
}

}  // namespace zo::plat

extern "C" {

ZO_API void ZoPlatSetTraceCallback(ZoPlatTraceCallback callback, void* user) {
  zo::plat::g_callback = callback;
  zo::plat::g_callbackUser = user;
}

ZO_API size_t ZoPlatTraceRead(char* buffer, size_t size) {
  if (buffer != nullptr && size > 0) {
    size_t n = zo::plat::g_length < size - 1 ? zo::plat::g_length : size - 1;
    std::memcpy(buffer, zo::plat::g_text, n);
    buffer[n] = '\0';
  }
  return zo::plat::g_length;
}

ZO_API void ZoPlatTraceClear(void) {
  zo::plat::g_length = 0;
  zo::plat::g_text[0] = '\0';
}

}  // extern "C"
