#include "io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace zopath {

namespace {

std::string reason() { return std::strerror(errno); }

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool read_all(int fd, std::string* bytes) {
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes->append(chunk, static_cast<size_t>(n));
  }
}

}  // namespace

int fail(const std::string& message) {
  std::fprintf(stderr, "zopath: %s\n", message.c_str());
  return kExitFailed;
}

int usage_error(const std::string& message) {
  std::fprintf(stderr, "zopath: %s\n", message.c_str());
  return kExitUsage;
}

void warn(const std::string& message) {
  std::fprintf(stderr, "zopath: warning: %s\n", message.c_str());
}

bool is_standard_stream(const std::string& name) { return name.empty() || name == "-"; }

std::string input_name(const std::string& name) {
  return is_standard_stream(name) ? "standard input" : "'" + name + "'";
}

std::string output_name(const std::string& name) {
  return is_standard_stream(name) ? "standard output" : "'" + name + "'";
}

bool read_input(const std::string& name, std::string* bytes, std::string* error) {
  bytes->clear();
  if (is_standard_stream(name)) {
    if (read_all(STDIN_FILENO, bytes)) return true;
    *error = "cannot read standard input: " + reason();
    return false;
  }
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd >= 0 && read_all(fd, bytes);
  if (!ok) *error = "cannot read " + input_name(name) + ": " + reason();
  if (fd >= 0) ::close(fd);
  return ok;
}

bool write_output(const std::string& name, std::string_view bytes, std::string* error) {
  if (is_standard_stream(name)) {
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
              std::fflush(stdout) == 0;
    if (!ok) *error = "cannot write standard output: " + reason();
    return ok;
  }
  // A device or pipe named on the command line cannot be replaced by a rename: write to it.
  std::error_code ec;
  auto status = std::filesystem::status(name, ec);
  if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && write_all(fd, bytes);
    int saved = errno;
    if (fd >= 0 && ::close(fd) != 0)
      ok = false;
    else
      errno = saved;
    if (!ok) *error = "cannot write " + output_name(name) + ": " + reason();
    return ok;
  }
  std::filesystem::path target(name);
  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = "cannot write " + output_name(name) + ": " + reason();
    return false;
  }
  // mkstemp makes the file private: a replaced file keeps its permissions, a new one gets the
  // usual ones.
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat existing {};
  mode_t mode = ::stat(name.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~mask;
  bool ok = ::fchmod(fd, mode) == 0 && write_all(fd, bytes) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), name.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    errno = saved;
    *error = "cannot write " + output_name(name) + ": " + reason();
  }
  return ok;
}

bool finish_standard_output(std::string* error) {
  errno = 0;
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return true;
  *error = "cannot write standard output" + (errno != 0 ? ": " + reason() : std::string());
  return false;
}

}  // namespace zopath
