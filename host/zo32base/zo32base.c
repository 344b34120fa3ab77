/* Stand-in imaging host library: in-memory images of 3-byte RGB rows. */
#include "zo32base.h"

#include <stdlib.h>
#include <string.h>

#define ZO32BASE_EXPORT __attribute__((visibility("default")))

typedef struct Image {
  uint32_t width;
  uint32_t height;
  uint32_t locks;
  uint8_t* pixels; /* height rows of width x 3 bytes */
} Image;

static size_t row_bytes(const Image* image) { return (size_t)image->width * 3u; }

ZO32BASE_EXPORT uint32_t zo32baseVersion(void) { return 2; }

ZO32BASE_EXPORT void* zo32baseCreateImage(uint32_t width, uint32_t height) {
  Image* image = calloc(1, sizeof(Image));
  if (image == NULL) return NULL;
  size_t bytes = (size_t)width * 3u * (size_t)height;
  image->pixels = calloc(bytes == 0 ? 1 : bytes, 1);
  if (image->pixels == NULL) {
    free(image);
    return NULL;
  }
  image->width = width;
  image->height = height;
  return image;
}

ZO32BASE_EXPORT void zo32baseFreeImage(void* image) {
  if (image == NULL) return;
  free(((Image*)image)->pixels);
  free(image);
}

ZO32BASE_EXPORT uint32_t zo32baseGetPixel(const void* image, uint32_t x, uint32_t y) {
  const Image* im = image;
  if (im == NULL || x >= im->width || y >= im->height) return 0;
  const uint8_t* p = im->pixels + y * row_bytes(im) + (size_t)x * 3u;
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16);
}

ZO32BASE_EXPORT uint32_t zo32baseSetPixel(void* image, uint32_t x, uint32_t y, uint32_t color) {
  Image* im = image;
  if (im == NULL || x >= im->width || y >= im->height) return 0;
  uint8_t* p = im->pixels + y * row_bytes(im) + (size_t)x * 3u;
  p[0] = (uint8_t)color;
  p[1] = (uint8_t)(color >> 8);
  p[2] = (uint8_t)(color >> 16);
  return 1;
}

ZO32BASE_EXPORT uint32_t zo32baseLockCount(const void* image) {
  return image == NULL ? 0 : ((const Image*)image)->locks;
}

ZO32BASE_EXPORT uint32_t buf32GetWHU(void* image, uint32_t* width, uint32_t* height,
                                     uint32_t* unit) {
  Image* im = image;
  if (im == NULL) return 0;
  if (width != NULL) *width = im->width;
  if (height != NULL) *height = im->height;
  if (unit != NULL) *unit = 3;
  return 1;
}

ZO32BASE_EXPORT uint32_t buf32Lock(void* image, uint32_t mode, uint32_t flags) {
  (void)mode;
  (void)flags;
  if (image == NULL) return 0;
  ((Image*)image)->locks++;
  return 1;
}

ZO32BASE_EXPORT uint32_t buf32Line(void* image, int32_t y, uint32_t direction, uint8_t* row) {
  Image* im = image;
  if (im == NULL || row == NULL || im->locks == 0 || y < 0 || (uint32_t)y >= im->height)
    return 0;
  uint8_t* line = im->pixels + (size_t)y * row_bytes(im);
  if (direction == 1) {
    memcpy(row, line, row_bytes(im));
  } else if (direction == 2) {
    memcpy(line, row, row_bytes(im));
  } else {
    return 0;
  }
  return 1;
}

ZO32BASE_EXPORT uint32_t buf32Unlock(void* image) {
  Image* im = image;
  if (im == NULL || im->locks == 0) return 0;
  im->locks--;
  return 1;
}
