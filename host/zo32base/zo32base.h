/*
 * Stand-in for the editor's imaging host library (libzo32base.so).
 *
 * Zo32path loads this library by file name at run time for the host's image calls. The
 * stand-in keeps its images in memory as rows of 3 bytes a pixel (red, green, blue), top to
 * bottom without padding. A test or a tool makes an image with zo32baseCreateImage, hands it
 * to the library, and frees it with zo32baseFreeImage.
 */
#ifndef ZO32BASE_H
#define ZO32BASE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version of this stand-in's interface. */
uint32_t zo32baseVersion(void);

/* ---- Stand-in images ------------------------------------------------------------------- */

/* A new image of width x height pixels, every pixel black; null when it cannot be made. */
void* zo32baseCreateImage(uint32_t width, uint32_t height);
/* Frees an image made by zo32baseCreateImage; null is accepted. */
void zo32baseFreeImage(void* image);
/* The pixel at (x, y) as a colour reference (red in the low byte); 0 outside the image. */
uint32_t zo32baseGetPixel(const void* image, uint32_t x, uint32_t y);
/* Sets the pixel at (x, y) from a colour reference; returns 0 outside the image. */
uint32_t zo32baseSetPixel(void* image, uint32_t x, uint32_t y, uint32_t color);
/* How many buf32Lock calls are not yet matched by buf32Unlock. */
uint32_t zo32baseLockCount(const void* image);

/* ---- The host imaging calls the library uses ------------------------------------------ */

/* Width and height in pixels, and the unit: the bytes of one pixel in a row buffer (3).
 * Null outputs are skipped. Returns 1, or 0 for a null image. */
uint32_t buf32GetWHU(void* image, uint32_t* width, uint32_t* height, uint32_t* unit);
/* Starts row access; every mode is accepted. Returns 1, or 0 for a null image. */
uint32_t buf32Lock(void* image, uint32_t mode, uint32_t flags);
/* direction 1 copies row y into row (width x 3 bytes, red, green, blue); direction 2 writes
 * row back as row y. Returns 1, or 0 for a null image or row, a row outside the image, an
 * unknown direction or an image that is not locked. */
uint32_t buf32Line(void* image, int32_t y, uint32_t direction, uint8_t* row);
/* Ends row access. Returns 1, or 0 for a null image or one that was not locked. */
uint32_t buf32Unlock(void* image);

#ifdef __cplusplus
}
#endif

#endif /* ZO32BASE_H */
