/*
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

/* A device context; software device contexts over memory bitmaps arrive with the drawing code. */
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

/* Allocates a block of size bytes (flags: GMEM_MOVEABLE, GMEM_ZEROINIT). Null on failure. */
ZO_API HGLOBAL ZoPlatGlobalAlloc(uint32_t flags, size_t size);
/* Address of the block's bytes (a fixed block's handle is its address); null for a bad handle. */
ZO_API void* ZoPlatGlobalLock(HGLOBAL block);
/* Ends one lock; returns 1 while the block stays locked, else 0. */
ZO_API int32_t ZoPlatGlobalUnlock(HGLOBAL block);
/* The block's size in bytes as requested; 0 for a handle that is not a live block. */
ZO_API size_t ZoPlatGlobalSize(HGLOBAL block);
/* Resizes a block, keeping its contents (zero-filling growth with GMEM_ZEROINIT). */
ZO_API HGLOBAL ZoPlatGlobalReAlloc(HGLOBAL block, size_t size, uint32_t flags);
/* Frees the block; returns null on success and the handle when it was not a live block. */
ZO_API HGLOBAL ZoPlatGlobalFree(HGLOBAL block);

/* ---- Debug trace -------------------------------------------------------------------------
 * The library's debug messages go to a trace sink. The sink keeps the most recent
 * messages (up to 64 KiB of text) for reading back, and can forward each message to a
 * callback of the host's. */
typedef void (*ZoPlatTraceCallback)(const char* message, void* user);
/* Installs (or, with null, removes) the callback that receives every message. */
ZO_API void ZoPlatSetTraceCallback(ZoPlatTraceCallback callback, void* user);
/* Copies the kept text, NUL-terminated, into buffer; returns the full length of the text. */
ZO_API size_t ZoPlatTraceRead(char* buffer, size_t size);
/* Forgets the kept text. */
ZO_API void ZoPlatTraceClear(void);

/* ---- Allocation-failure switch and memory accounting ------------------------------------
 * For out-of-memory tests: ZoPlatFailAllocation(n) makes the n-th allocation from now fail,
 * in every allocator of the library (path heap, general-purpose blocks, global blocks);
 * 0 switches the failure off. Only that one allocation fails. */
ZO_API void ZoPlatFailAllocation(uint32_t n);
/* 1 while a requested failure has not happened yet. */
ZO_API uint32_t ZoPlatAllocationFailurePending(void);
/* Number of live blocks in the path heap, in general-purpose memory and in global memory. */
ZO_API size_t ZoPlatHeapLiveBlocks(void);
/* The requested size of a live path-heap block (a subpath record or a table); 0 otherwise. */
ZO_API size_t ZoPlatHeapBlockSize(const void* block);
ZO_API size_t ZoPlatMemLiveBlocks(void);
ZO_API size_t ZoPlatGlobalLiveBlocks(void);

#ifdef __cplusplus
}
#endif

#endif /* ZO32PATH_PLATFORM_H */
