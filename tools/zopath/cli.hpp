// What every zopath command shares: errors to stderr with a failing status, and whole files.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace zopath {

inline int fail(const std::string& message) {
  std::fprintf(stderr, "zopath: %s\n", message.c_str());
  return 1;
}

inline bool read_file(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// An empty path writes to standard output.
inline bool write_file(const std::string& path, const void* data, size_t size) {
  if (path.empty()) return std::fwrite(data, 1, size, stdout) == size;
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

}  // namespace zopath
