// Writing 8-bit grey and 24-bit colour PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zopath {

struct Image {
  uint32_t width = 0, height = 0;
  uint32_t channels = 1;        // 1 grey, 3 RGB
  std::vector<uint8_t> pixels;  // rows top to bottom
};

// False (with a message in *error) when the file cannot be written.
bool write_png(const std::string& path, const Image& image, std::string* error);

// The gallery's editor-view picture (editor_view.cpp): writes editor_view.png into dir and
// appends its section to html.
bool write_editor_view(const std::string& dir, std::string* html, std::string* error);

}  // namespace zopath
