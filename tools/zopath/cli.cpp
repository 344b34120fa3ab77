#include "cli.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zopath {

bool parse_integer(const std::string& text, int64_t* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || end == text.c_str()) return false;
  *out = v;
  return true;
}

bool parse_real(const std::string& text, double* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end != '\0' || end == text.c_str() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

Args::Args(const char* command, int argc, char** argv)
    : command_(command), argc_(argc), argv_(argv) {}

bool Args::error(const std::string& message) {
  if (error_.empty()) error_ = message;
  return false;
}

int Args::usage() const {
  return usage_error(command_ + ": " + error_ + " (see zopath " + command_ + " --help)");
}

bool Args::text(const std::string& option, std::string* out) {
  if (done()) return error(option + " needs a value");
  *out = take();
  return true;
}

bool Args::integer(const std::string& option, int64_t min, int64_t max, int64_t* out) {
  std::string v;
  if (!text(option, &v)) return false;
  if (!parse_integer(v, out) || *out < min || *out > max)
    return error(option + " needs a whole number from " + std::to_string(min) + " to " +
                 std::to_string(max) + ", not '" + v + "'");
  return true;
}

bool Args::real(const std::string& option, double min, double max, double* out) {
  std::string v;
  if (!text(option, &v)) return false;
  char range[96];
  std::snprintf(range, sizeof range, "from %g to %g", min, max);
  if (!parse_real(v, out) || *out < min || *out > max)
    return error(option + " needs a number " + range + ", not '" + v + "'");
  return true;
}

bool Args::choice(const std::string& option,
                  std::initializer_list<std::pair<const char*, int64_t>> values, int64_t* out) {
  std::string v;
  if (!text(option, &v)) return false;
  int64_t number = 0;
  bool numeric = parse_integer(v, &number);
  std::string names;
  for (const auto& [name, value] : values) {
    if (v == name || (numeric && number == value)) {
      *out = value;
      return true;
    }
    names += (names.empty() ? "" : ", ") + std::string(name) + " (" + std::to_string(value) + ")";
  }
  return error(option + " must be one of " + names + ", not '" + v + "'");
}

bool Args::optional_real(double* out) {
  if (done() || !parse_real(argv_[next_], out)) return false;
  ++next_;
  return true;
}

}  // namespace zopath
