// The host's libraries, loaded by name at run time so that a real host can supply its own:
// the common library (error reports, Esc state, start-up message) and the imaging library.
#pragma once

#include <cstdint>

namespace zo::plat {

enum class HostLibrary { Common, Imaging };

// The named export of a host library, loading the library on first use; null when the
// library or the export is missing.
void* host_symbol(HostLibrary library, const char* name);
void unload_host_libraries();

// Reports a failure to the host: c32SetDLLErrInfoA(0, code, level, 2600, file, line).
void report_error(uint32_t code, uint32_t level, const char* file, int line);

inline constexpr uint32_t kErrNoMemory = 1001;
inline constexpr uint32_t kErrBadArgument = 3200;

}  // namespace zo::plat

// Reports an error with the reporting place as its source location.
#define ZO_REPORT(code, level) ::zo::plat::report_error((code), (level), __FILE_NAME__, __LINE__)
#define ZO_REPORT_NO_MEMORY() ZO_REPORT(::zo::plat::kErrNoMemory, 1)
