// The debug trace: printf-style messages sent to the trace sink (the debugger output of
// the host's platform).
#pragma once

namespace zo::plat {

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Sends one finished message to the sink.
void output_debug_string(const char* message);

}  // namespace zo::plat
