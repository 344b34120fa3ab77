/**
 * @file Zo32path_platform.h
 *
 * Zo32path platform types and Linux extensions.
 *
 * The library's interface speaks in the Windows types its host editor was written for.
 * This header defines those types for Linux and declares the documented extensions
 * (ZoPlat...) through which a host or a test reaches the services that Windows would
 * otherwise provide: global memory blocks, the debug trace, and the allocation-failure
 * switch used to test out-of-memory behaviour.
 */
#ifndef ZO32PATH_PLATFORM_H
#define ZO32PATH_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(ZO32PATH_BUILDING)
#define ZO_API __attribute__((visibility("default")))
#else
#define ZO_API
#endif

/* ---- Windows-style value types ------------------------------------------------------ */

typedef struct tagRECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
} RECT;

typedef struct tagPOINT {
  int32_t x;
  int32_t y;
} POINT;

typedef uint32_t COLORREF;
#define ZO_RGB(r, g, b) ((COLORREF)(((uint32_t)(uint8_t)(r)) | ((uint32_t)(uint8_t)(g) << 8) | ((uint32_t)(uint8_t)(b) << 16)))

/* A device context: a software one over the host's pixels (ZoPlatCreateMemoryDC, below). */
typedef struct ZoPlatDC* HDC;

/* A global memory block handed to the host. */
typedef struct ZoPlatGlobal* HGLOBAL;

/* ---- Global memory blocks ---------------------------------------------------------------
 * Blocks the library hands to the host (rectangle arrays, serialised blocks) are global
 * memory blocks; the host locks them to reach the bytes and frees them when done. */
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

/** Allocates a block of size bytes (flags: GMEM_MOVEABLE, GMEM_ZEROINIT). Null on failure. */
ZO_API HGLOBAL ZoPlatGlobalAlloc(uint32_t flags, size_t size);
/** Address of the block's bytes (a fixed block's handle is its address); null for a bad handle. */
ZO_API void* ZoPlatGlobalLock(HGLOBAL block);
/** Ends one lock; returns 1 while the block stays locked, else 0. */
ZO_API int32_t ZoPlatGlobalUnlock(HGLOBAL block);
/** The block's size in bytes as requested; 0 for a handle that is not a live block. */
ZO_API size_t ZoPlatGlobalSize(HGLOBAL block);
/** Resizes a block, keeping its contents (zero-filling growth with GMEM_ZEROINIT). */
ZO_API HGLOBAL ZoPlatGlobalReAlloc(HGLOBAL block, size_t size, uint32_t flags);
/** Frees the block; returns null on success and the handle when it was not a live block. */
ZO_API HGLOBAL ZoPlatGlobalFree(HGLOBAL block);

/* ---- Debug trace -------------------------------------------------------------------------
 * The library's debug messages go to a trace sink. The sink keeps the most recent
 * messages (up to 64 KiB of text) for reading back, and can forward each message to a
 * callback of the host's. */
typedef void (*ZoPlatTraceCallback)(const char* message, void* user);
/** Installs (or, with null, removes) the callback that receives every message. */
ZO_API void ZoPlatSetTraceCallback(ZoPlatTraceCallback callback, void* user);
/** Copies the kept text, NUL-terminated, into buffer; returns the full length of the text. */
ZO_API size_t ZoPlatTraceRead(char* buffer, size_t size);
/** Forgets the kept text. */
ZO_API void ZoPlatTraceClear(void);

/** ---- Allocation-failure switch and memory accounting ------------------------------------
 * For out-of-memory tests: ZoPlatFailAllocation(n) makes the n-th allocation from now fail,
 * in every allocator of the library (path heap, general-purpose blocks, global blocks);
 * 0 switches the failure off. Only that one allocation fails. */
ZO_API void ZoPlatFailAllocation(uint32_t n);
/** 1 while a requested failure has not happened yet. */
ZO_API uint32_t ZoPlatAllocationFailurePending(void);
/**
 * Number of live blocks in the path heap (records and tables).
 */
ZO_API size_t ZoPlatHeapLiveBlocks(void);
/** The requested size of a live path-heap block (a subpath record or a table); 0 otherwise. */
ZO_API size_t ZoPlatHeapBlockSize(const void* block);
/**
 * Number of live blocks in general-purpose memory (view records, snapshots, display buffers, pixel
 * buffers): a host or test compares it before and after to find leaks.
 */
ZO_API size_t ZoPlatMemLiveBlocks(void);
/**
 * Number of live global memory blocks (stored blocks and ZoPathToBuf arrays not yet freed).
 */
ZO_API size_t ZoPlatGlobalLiveBlocks(void);

/** ---- Key state ---------------------------------------------------------------------------
 * What the library reads where Windows would call GetKeyState/GetAsyncKeyState: the host
 * reports each key it cares about (virtual-key codes 0-255, e.g. 16 Shift, 17 Control) going
 * down (down non-zero) and up. All keys start up. */
ZO_API void ZoPlatSetKeyState(int32_t virtualKey, uint32_t down);

/* ---- Mouse capture and beeps ---------------------------------------------------------------
 * The tool procedures (the pen tool) read the window's mouse capture where Windows would call
 * GetCapture, release it where Windows would call ReleaseCapture, and count the beeps they
 * sound (MessageBeep). The host plays the window's part: it captures the mouse after the click
 * that started a drawing, and the procedure releases it when the drawing ends. */

/**
 * Sets what the library's GetCapture answers: captured nonzero while the host's window holds
 * the mouse, 0 when it does not. The library's ReleaseCapture clears it. Starts at 0.
 */
ZO_API void ZoPlatSetCapture(uint32_t captured);
/** 1 while the mouse is captured (set by ZoPlatSetCapture, not yet released), else 0. */
ZO_API uint32_t ZoPlatGetCapture(void);
/** The number of beeps (MessageBeep) the library sounded since the last ZoPlatResetBeeps. */
ZO_API uint32_t ZoPlatBeepCount(void);
/** Sets the beep count back to 0. */
ZO_API void ZoPlatResetBeeps(void);

/* ==== Software device contexts ============================================================
 * Where Windows would hand the library a window's device context, a Linux host makes a
 * memory device context over its own 32-bit pixels (ZoPlatCreateMemoryDC) and passes that.
 * Pixels are 0x00RRGGBB values (blue in the lowest byte, as in a 32-bit Windows DIB); the
 * raster operations change the 24 colour bits and leave the top byte as it was.
 *
 * The drawing calls below are the GDI subset the library draws with, under ZoPlat names so a
 * host can draw on the same surfaces. They follow GDI's pixel conventions: a line covers its
 * start pixel but not its end pixel; a rectangle covers left..right-1 and top..bottom-1, its
 * pen lying inside that area. Lines and rectangles touch each pixel once, and every figure's
 * pixels depend only on its arguments, so drawing the same figure twice with R2_XORPEN (or
 * R2_NOT) restores every pixel. Coordinates are limited to +-2^27. Departures from GDI: the
 * background mode is always transparent (the gaps of a dotted line are left alone), and a
 * pen wider than 1 is always solid and lies inside a rectangle's edge.
 *
 * Pens and brushes are values that need no memory: creating them cannot fail and deleting
 * them is optional. Regions are lists of rectangles in memory and must be deleted. A null or
 * unknown device context draws nothing and the call returns 0. */
typedef struct ZoPlatGdiObject* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HRGN;

/* Raster operations (SetROP2): the result for pen P and destination D, bit by bit. */
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

/* Pen styles. Dashed and dotted patterns run on from one LineTo to the next until MoveToEx:
 * dash 18 on 6 off, dot 3 on 3 off, dash-dot 9 6 3 6, dash-dot-dot 9 3 3 3 3 3 pixels. */
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5

/* Stock objects. */
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

/* Region combination modes and region kinds. */
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5
#define RGN_ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3

#define CLR_INVALID 0xFFFFFFFFu

/** A device context drawing into width x height pixels, rows `stride` pixels apart (stride
 * >= width). It starts with the black pen, the white brush, R2_COPYPEN, position (0, 0) and
 * no clip region. Null for a null pixel pointer, a bad size, or a failed allocation. */
ZO_API HDC ZoPlatCreateMemoryDC(uint32_t* pixels, int32_t width, int32_t height, int32_t stride);
/** Releases the device context (not the pixels); 0 for a null or unknown one. */
ZO_API uint32_t ZoPlatDeleteDC(HDC dc);

/** Returns the previous raster operation; 0 for a bad device context or operation. */
ZO_API int32_t ZoPlatSetROP2(HDC dc, int32_t rop);
/** style PS_...; width 0 and 1 are one pixel, up to 3; null for a style or width out of range. */
ZO_API HPEN ZoPlatCreatePen(int32_t style, int32_t width, COLORREF color);
/** A stock pen or brush; null for an unknown index. */
ZO_API HGDIOBJ ZoPlatGetStockObject(int32_t which);
/** Selects a pen or a brush and returns the one it replaces; null for anything else. */
ZO_API HGDIOBJ ZoPlatSelectObject(HDC dc, HGDIOBJ object);
/** 1 after releasing a region, 1 for a pen or brush (nothing to release), 0 otherwise. */
ZO_API uint32_t ZoPlatDeleteObject(HGDIOBJ object);

/**
 * Draws a rectangle covering left..right-1 and top..bottom-1 with the current pen (inside the edge)
 * and fills it with the current brush. 1, or 0 for a bad device context.
 */
ZO_API uint32_t ZoPlatRectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
/** Sets the current position; previous (when non-null) receives the old one. */
ZO_API uint32_t ZoPlatMoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous);
/** A line from the current position up to, not including, (x, y), which becomes current. */
ZO_API uint32_t ZoPlatLineTo(HDC dc, int32_t x, int32_t y);
/** Cubic curves from the current position; count is a multiple of 3 (control, control, end).
 * Drawn as one figure whose last point is excluded, like a line's. */
ZO_API uint32_t ZoPlatPolyBezierTo(HDC dc, const POINT* points, uint32_t count);
/** Sets one pixel (through the clip region, with R2_COPYPEN regardless of the raster
 * operation); returns the colour set, or CLR_INVALID when the pixel is outside. */
ZO_API COLORREF ZoPlatSetPixel(HDC dc, int32_t x, int32_t y, COLORREF color);
/** The pixel's colour, or CLR_INVALID outside the bitmap. */
ZO_API COLORREF ZoPlatGetPixel(HDC dc, int32_t x, int32_t y);

/** A rectangular region (right and bottom exclusive); null for a null rectangle or on failure. */
ZO_API HRGN ZoPlatCreateRectRgnIndirect(const RECT* rect);
/** destination = a (mode) b; b is ignored for RGN_COPY. Returns the destination's kind, or
 * RGN_ERROR (destination unchanged) for a bad region or a failed allocation. */
ZO_API int32_t ZoPlatCombineRgn(HRGN destination, HRGN a, HRGN b, int32_t mode);
/** Clips all drawing to a copy of the region; null removes the clip. Returns the kind of the
 * new clip region (SIMPLEREGION for none), or RGN_ERROR (clip unchanged). */
ZO_API int32_t ZoPlatSelectClipRgn(HDC dc, HRGN region);

#ifdef __cplusplus
}
#endif

#endif /* ZO32PATH_PLATFORM_H */
