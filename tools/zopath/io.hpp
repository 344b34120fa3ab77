// Input and output shared by every zopath command: exit statuses, messages, reading a file
// or standard input, and checked writes that never leave a half-written file behind.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zopath {

// The one exit-status rule of the tool (printed by 'zopath --help').
constexpr int kExitDone = 0;    // the command did what was asked
constexpr int kExitFailed = 1;  // it could not: unreadable or invalid input, a failed write
constexpr int kExitUsage = 2;   // the command line itself is wrong

// "zopath: MESSAGE" on standard error; returns kExitFailed.
int fail(const std::string& message);
// The same for a wrong command line; returns kExitUsage.
int usage_error(const std::string& message);
// "zopath: warning: MESSAGE" on standard error.
void warn(const std::string& message);

// True for the names that mean standard input or output: "-" (and "" for output).
bool is_standard_stream(const std::string& name);
// The name to use in messages: the file name, or "standard input"/"standard output".
std::string input_name(const std::string& name);
std::string output_name(const std::string& name);

// The whole file; "-" reads standard input. False with a message naming the file.
bool read_input(const std::string& name, std::string* bytes, std::string* error);

// Writes the bytes to a file, or to standard output for "" and "-". A file is written to a
// temporary file beside it, flushed, closed and renamed over the target only when all of it
// was written, so a failed or interrupted write leaves whatever was there before. False with
// a message naming the file.
bool write_output(const std::string& name, std::string_view bytes, std::string* error);

// Flushes and checks standard output; main calls it once before exiting so that printed
// results that could not be written (a full disk, a closed pipe) fail the command.
bool finish_standard_output(std::string* error);

}  // namespace zopath
