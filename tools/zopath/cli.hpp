// Command-line parsing shared by the zopath commands: an argument cursor whose option values
// are checked against the range or the names the library defines, so that no option is
// silently ignored. Wrong command lines exit with kExitUsage.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "io.hpp"

namespace zopath {

// Whole-number and finite real option values; false when the text is not exactly one.
bool parse_integer(const std::string& text, int64_t* out);
bool parse_real(const std::string& text, double* out);

class Args {
 public:
  // The arguments after the command name; `command` prefixes messages ("render: ...").
  Args(const char* command, int argc, char** argv);

  bool done() const { return next_ >= argc_; }
  // The next argument; "-" alone is a file name (standard input or output), not an option.
  std::string take() { return argv_[next_++]; }
  static bool is_option(const std::string& a) { return a.size() > 1 && a[0] == '-'; }

  // The value after `option`, checked; false with a message in error() otherwise.
  bool text(const std::string& option, std::string* out);
  bool integer(const std::string& option, int64_t min, int64_t max, int64_t* out);
  bool real(const std::string& option, double min, double max, double* out);
  // One of the listed values, given by name or by number.
  bool choice(const std::string& option,
              std::initializer_list<std::pair<const char*, int64_t>> values, int64_t* out);
  // A second, optional real value (as in "--scale SX [SY]").
  bool optional_real(double* out);

  // Records a usage problem ("render: MESSAGE"); always false so callers can return it.
  bool error(const std::string& message);
  // Prints the recorded problem with a pointer to --help and returns kExitUsage.
  int usage() const;

 private:
  std::string command_;
  int argc_;
  char** argv_;
  int next_ = 0;
  std::string error_;
};

// Compatibility helpers of the first commands: whole files in, checked writes out.
inline bool read_file(const std::string& path, std::string* bytes) {
  std::string error;
  return read_input(path, bytes, &error);
}

// An empty path writes to standard output.
inline bool write_file(const std::string& path, const void* data, size_t size) {
  std::string error;
  if (write_output(path, std::string_view(static_cast<const char*>(data), size), &error))
    return true;
  std::fprintf(stderr, "zopath: %s\n", error.c_str());
  return false;
}

}  // namespace zopath
