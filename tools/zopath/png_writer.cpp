#include "png_writer.hpp"

#include <png.h>

#include "io.hpp"

namespace zopath {

bool write_png(const std::string& path, const Image& image, std::string* error) {
  // libpng's simplified interface (no setjmp in our frames), encoded in memory so that the
  // file goes through the tool's checked, all-or-nothing write.
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = image.channels == 3 ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  if (png_image_write_get_memory_size(png, size, 0, image.pixels.data(), 0, nullptr) == 0) {
    *error = "cannot encode " + output_name(path) + ": " + png.message;
    return false;
  }
  std::string bytes(size, '\0');
  if (png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr) ==
      0) {
    *error = "cannot encode " + output_name(path) + ": " + png.message;
    return false;
  }
  bytes.resize(size);
  return write_output(path, bytes, error);
}

}  // namespace zopath
