#include "png_writer.hpp"

#include <png.h>

namespace zopath {

bool write_png(const std::string& path, const Image& image, std::string* error) {
  // libpng's simplified interface: no setjmp in our frames.
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = image.channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
  if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) == 0) {
    *error = "cannot write " + path + ": " + png.message;
    return false;
  }
  return true;
}

}  // namespace zopath
