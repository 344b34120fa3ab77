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


/* ==== Fonts on an information context =====================================================
 * The Windows font services the text code uses, on FreeType and fontconfig. A font is asked
 * for by a LOGFONTA (face name through fontconfig, DejaVu Sans standing in for unknown names)
 * and selected into an information context made by ZoPlatCreateDCA("DISPLAY", ...): a
 * device context without pixels (drawing on it does nothing) that holds one selected font.
 * Fonts are GDI objects: ZoPlatSelectObject selects one and returns the font it replaces,
 * ZoPlatDeleteObject releases it. Sizes are in pixels; outline points are 16.16 fixed values
 * with y growing upwards, as in the TrueType outline formats below.
 *
 * The records keep their Windows layouts and field names. */

/** A 16.16 value as two halves: fract is the fraction (units of 1/65536), value the
 * signed integer part. */
typedef struct tagFIXED {
  uint16_t fract;
  int16_t value;
} FIXED;

/** A 2 x 2 matrix of FIXED values. A glyph point (x, y) maps to
 * (x eM11 + y eM21, x eM12 + y eM22). */
typedef struct tagMAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
} MAT2;

/** A point of two FIXED values. */
typedef struct tagPOINTFX {
  FIXED x;
  FIXED y;
} POINTFX;

#define LF_FACESIZE 32
/** A font request: lfHeight < 0 asks for an em of -lfHeight pixels, > 0 for a cell height
 * (ascent + descent) of lfHeight pixels, 0 for an em of 12 pixels; lfEscapement turns the
 * glyphs counter-clockwise in tenths of a degree (2700 for vertical text); lfWeight 1-1000
 * (400 regular, 700 bold); lfItalic nonzero for italic; lfCharSet the character set (0 ANSI,
 * 2 symbol, 128 Shift-JIS ...); lfFaceName the fontconfig family name, empty for
 * "sans-serif". The other fields are kept and not read. */
typedef struct tagLOGFONTA {
  int32_t lfHeight;
  int32_t lfWidth;
  int32_t lfEscapement;
  int32_t lfOrientation;
  int32_t lfWeight;
  uint8_t lfItalic;
  uint8_t lfUnderline;
  uint8_t lfStrikeOut;
  uint8_t lfCharSet;
  uint8_t lfOutPrecision;
  uint8_t lfClipPrecision;
  uint8_t lfQuality;
  uint8_t lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
} LOGFONTA;

/** Text metrics in pixels (GetTextMetricsA). */
typedef struct tagTEXTMETRICA {
  int32_t tmHeight;
  int32_t tmAscent;
  int32_t tmDescent;
  int32_t tmInternalLeading;
  int32_t tmExternalLeading;
  int32_t tmAveCharWidth;
  int32_t tmMaxCharWidth;
  int32_t tmWeight;
  int32_t tmOverhang;
  int32_t tmDigitizedAspectX;
  int32_t tmDigitizedAspectY;
  uint8_t tmFirstChar;
  uint8_t tmLastChar;
  uint8_t tmDefaultChar;
  uint8_t tmBreakChar;
  uint8_t tmItalic;
  uint8_t tmUnderlined;
  uint8_t tmStruckOut;
  uint8_t tmPitchAndFamily;
  uint8_t tmCharSet;
} TEXTMETRICA;

/** The PANOSE classification (kept for the layout; filled from the OS/2 table). */
typedef struct tagPANOSE {
  uint8_t bytes[10];
} PANOSE;

/** Outline text metrics in pixels (GetOutlineTextMetricsA). Positions are measured upwards
 * from the baseline (an underscore position below the baseline is negative). The name
 * pointers are left null. */
typedef struct tagOUTLINETEXTMETRICA {
  uint32_t otmSize;
  TEXTMETRICA otmTextMetrics;
  uint8_t otmFiller;
  PANOSE otmPanoseNumber;
  uint32_t otmfsSelection;
  uint32_t otmfsType;
  int32_t otmsCharSlopeRise;
  int32_t otmsCharSlopeRun;
  int32_t otmItalicAngle;
  uint32_t otmEMSquare;
  int32_t otmAscent;
  int32_t otmDescent;
  uint32_t otmLineGap;
  uint32_t otmsCapEmHeight;
  uint32_t otmsXHeight;
  RECT otmrcFontBox;
  int32_t otmMacAscent;
  int32_t otmMacDescent;
  uint32_t otmMacLineGap;
  uint32_t otmusMinimumPPEM;
  POINT otmptSubscriptSize;
  POINT otmptSubscriptOffset;
  POINT otmptSuperscriptSize;
  POINT otmptSuperscriptOffset;
  uint32_t otmsStrikeoutSize;
  int32_t otmsStrikeoutPosition;
  int32_t otmsUnderscoreSize;
  int32_t otmsUnderscorePosition;
  char* otmpFamilyName;
  char* otmpFaceName;
  char* otmpStyleName;
  char* otmpFullName;
} OUTLINETEXTMETRICA;

/** A glyph's box and advance (GetGlyphOutlineA): the black box in whole pixels, the
 * position of its upper-left corner relative to the pen (y upwards), the pen increments. */
typedef struct tagGLYPHMETRICS {
  uint32_t gmBlackBoxX;
  uint32_t gmBlackBoxY;
  POINT gmptGlyphOrigin;
  int16_t gmCellIncX;
  int16_t gmCellIncY;
} GLYPHMETRICS;

/** Integer ABC widths: A the space before the glyph's ink, B the ink's width, C the space
 * after it; A + B + C is the advance. */
typedef struct _ABC {
  int32_t abcA;
  uint32_t abcB;
  int32_t abcC;
} ABC;

/** ABC widths in fractional pixels. */
typedef struct _ABCFLOAT {
  float abcfA;
  float abcfB;
  float abcfC;
} ABCFLOAT;

/** A kerning pair: the two character codes and the amount in pixels. */
typedef struct tagKERNINGPAIR {
  uint16_t wFirst;
  uint16_t wSecond;
  int32_t iKernAmount;
} KERNINGPAIR;

/** Native outline, one per contour: cb bytes in all (header and curve records), dwType
 * TT_POLYGON_TYPE, and the contour's start point. */
typedef struct tagTTPOLYGONHEADER {
  uint32_t cb;
  uint32_t dwType;
  POINTFX pfxStart;
} TTPOLYGONHEADER;

/** Native outline curve record: wType TT_PRIM_..., cpfx points (4 + 8 cpfx bytes). */
typedef struct tagTTPOLYCURVE {
  uint16_t wType;
  uint16_t cpfx;
  POINTFX apfx[1];
} TTPOLYCURVE;

/** The Unicode and code-page coverage bits of a character set (left zero here). */
typedef struct tagFONTSIGNATURE {
  uint32_t fsUsb[4];
  uint32_t fsCsb[2];
} FONTSIGNATURE;

/** A character set and its ANSI code page (TranslateCharsetInfo). */
typedef struct tagCHARSETINFO {
  uint32_t ciCharset;
  uint32_t ciACP;
  FONTSIGNATURE fs;
} CHARSETINFO;

typedef HGDIOBJ HFONT;

#define TT_POLYGON_TYPE 24
#define TT_PRIM_LINE 1    /* consecutive straight segments to each point */
#define TT_PRIM_QSPLINE 2 /* a quadratic B-spline: control points, then its end point */
#define TT_PRIM_CSPLINE 3 /* cubic segments: two control points and an end point each */

#define GGO_BITMAP 1       /* 1 bit a pixel, rows padded to 4 bytes */
#define GGO_NATIVE 2       /* TTPOLYGONHEADER/TTPOLYCURVE records */
#define GGO_GRAY2_BITMAP 4 /* 1 byte a pixel, levels 0-4, rows padded to 4 bytes */
#define GGO_GRAY4_BITMAP 5 /* levels 0-16 */
#define GGO_GRAY8_BITMAP 6 /* levels 0-64 */
#define GDI_ERROR 0xFFFFFFFFu

#define TCI_SRCCHARSET 1
#define TCI_SRCCODEPAGE 2

/** Makes an information context. driver must be "DISPLAY"; device, output and initData are
 * not read. The first context starts fontconfig and FreeType, which stay until the library
 * is unloaded. Returns null for another driver name, when the font engine cannot start or
 * when memory runs out. Released with ZoPlatDeleteDC. */
ZO_API HDC ZoPlatCreateDCA(const char* driver, const char* device, const char* output,
                           const void* initData);

/** Makes a font from the request (copied). The face is matched on first use. Returns null
 * for a null request, |lfHeight| above 16384, or when memory runs out. Released with
 * ZoPlatDeleteObject (the caller selects another font first when it is still selected). */
ZO_API HFONT ZoPlatCreateFontIndirectA(const LOGFONTA* request);

/** Fills metrics for the context's font: ascent and descent from the OS/2 table's Windows
 * ascent and descent (hhea when there is none) at the font's size, rounded; height their
 * sum; internal leading height - em; external leading the hhea line gap; weight, italic and
 * character set from the request. 1, or 0 with no font or face. */
ZO_API uint32_t ZoPlatGetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

/** Fills (when metrics is not null and size is at least sizeof(OUTLINETEXTMETRICA)) the
 * outline metrics of the context's font and returns sizeof(OUTLINETEXTMETRICA); with a null
 * record returns the size needed. Strike-out size and position come from the OS/2 table,
 * underscore size and position from the post table, scaled and rounded. Returns 0 with no
 * font, or for a face without an OS/2 table. */
ZO_API uint32_t ZoPlatGetOutlineTextMetricsA(HDC dc, uint32_t size, OUTLINETEXTMETRICA* metrics);

/** Glyph of character code ch (a byte of the font's code page, or lead x 256 + trail for a
 * double-byte character) in the given format:
 * - GGO_NATIVE: the unhinted outline, points exact to 1/65536 pixel, turned by the font's
 *   escapement and then by matrix, as TTPOLYGONHEADER/TTPOLYCURVE records (one polygon per
 *   contour, starting at its first on-curve point; TT_PRIM_LINE for straight runs,
 *   TT_PRIM_QSPLINE for a run of quadratic controls with its end point, TT_PRIM_CSPLINE for
 *   cubic segments; the last record ends on the start point);
 * - GGO_BITMAP: the hinted glyph rendered 1 bit a pixel, most significant bit leftmost, rows
 *   top-down padded to 4 bytes; GGO_GRAY2/4/8_BITMAP: 1 byte a pixel in levels 0-4, 0-16,
 *   0-64, rows padded to 4 bytes.
 * With a null buffer (or size 0) returns the size needed; otherwise writes the data when
 * size is enough and returns its size. metrics (required) receives the black box, origin
 * and cell increments. matrix (required) is applied after the escapement. Returns
 * GDI_ERROR for a character the face has no glyph for, a too small buffer, a null metrics
 * or matrix, an unknown format or no font. A glyph without ink has size 0. */
ZO_API uint32_t ZoPlatGetGlyphOutlineA(HDC dc, uint32_t ch, uint32_t format,
                                       GLYPHMETRICS* metrics, uint32_t size, void* buffer,
                                       const MAT2* matrix);

/** ABC widths in pixels of the characters first ... last from the unhinted metrics, one
 * record each into widths (last - first + 1 records). Measured along the baseline whatever
 * the escapement. 1, or 0 with no font, first > last, or a null array. */
ZO_API uint32_t ZoPlatGetCharABCWidthsFloatA(HDC dc, uint32_t first, uint32_t last,
                                             ABCFLOAT* widths);
/** The same from the hinted metrics, rounded to whole pixels. */
ZO_API uint32_t ZoPlatGetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* widths);

/** Kerning pairs of the context's font as character codes of its code page (from the
 * legacy kern table; FreeType's kerning over the mapped characters for Type 1 and CFF
 * faces; faces that kern only through GPOS have none). With a null array returns the number
 * of pairs; otherwise copies at most count pairs and returns how many it copied. 0 with no
 * font. */
ZO_API uint32_t ZoPlatGetKerningPairsA(HDC dc, uint32_t count, KERNINGPAIR* pairs);

/** With flags TCI_SRCCHARSET, source is a character set value and out receives it with its
 * code page (0 ANSI 1252, 2 symbol 42, 77 Mac 10000, 128 932, 129 949, 130 1361, 134 936,
 * 136 950, 161 1253, 162 1254, 163 1258, 177 1255, 178 1256, 186 1257, 204 1251, 222 874,
 * 238 1250, 255 OEM 437); with TCI_SRCCODEPAGE the reverse. 1, or 0 for a value not in the
 * table, other flags or a null out. */
ZO_API uint32_t ZoPlatTranslateCharsetInfo(uintptr_t source, CHARSETINFO* out, uint32_t flags);

/** 1 when byte starts a double-byte character in the code page (932: 0x81-0x9F and
 * 0xE0-0xFC; 936, 949, 950: 0x81-0xFE; 1361: 0x84-0xD3, 0xD8-0xDE, 0xE0-0xF9), else 0. */
ZO_API uint32_t ZoPlatIsDBCSLeadByteEx(uint32_t codePage, uint8_t byte);

/** The next character of a code-page string: p itself on a NUL, p + 2 after a lead byte
 * followed by a nonzero byte, else p + 1. flags is not read. Null for a null p. */
ZO_API const char* ZoPlatCharNextExA(uint16_t codePage, const char* p, uint32_t flags);

/** Test control: makes the n-th call from now of the named font service fail as it does
 * when the service cannot deliver ("CreateDCA", "CreateFontIndirectA", "GetTextMetricsA",
 * "GetOutlineTextMetricsA", "GetGlyphOutlineA", "GetCharABCWidthsFloatA",
 * "GetCharABCWidthsA", "GetKerningPairsA", "TranslateCharsetInfo"); n = 0 cancels the
 * service's pending failure. One pending failure per service. 1, or 0 for an unknown name. */
ZO_API uint32_t ZoPlatFailFontCall(const char* service, uint32_t n);

/** Live counts for leak checks: fonts not yet deleted and information contexts not yet
 * deleted (either may be null). */
ZO_API void ZoPlatFontLiveCounts(uint32_t* fonts, uint32_t* contexts);

/** Empties the font layer's caches (matched faces, glyph outlines, kerning tables); fonts
 * still alive find their faces again on next use. For cold-start measurements. */
ZO_API void ZoPlatFontFlushCaches(void);

/* ---- Lighting state read-back ------------------------------------------------------------
 * The module-wide lighting settings and tables that the lit renderers read (set through
 * ZoPathAdjPhongIllum, ZoPathAdjMetallicIllum, ZoPathSetMetallicEffect, ShadingGammaToMap and
 * ZopathChangeLightNormal), copied out whole for a host's own renderer, tools and tests. */
typedef struct ZoPlatLightingState {
  double phongIntensity[4];    /* per light, 0.8 at load */
  double phongDiffuse[4];      /* per light, 0.75 at load */
  double phongExponent[4];     /* per light, 28.0 at load */
  uint8_t phongColour[4][3];   /* red, green, blue per light, white at load */
  double phongAmbient;         /* ambient factor, 0.2 at load */
  uint8_t phongAmbientColour[3]; /* red, green, blue, black at load */
  double metalIntensity[4];    /* 2.0 at load */
  double metalExponent[4];     /* 8.0 at load */
  double metalDiffuse[4];      /* 0.3 at load */
  double metalAmbient;         /* 0.8 at load */
  double lightDirection[4][3]; /* unit x, y, z per light; z points toward the viewer */
  double phongExtraExponent;   /* 4.0 */
  uint8_t gamma[256];          /* all 0 until ShadingGammaToMap fills it */
  int32_t metalKindRecorded;   /* 0 until the first ZoPathSetMetallicEffect, then 1 */
  int32_t metalKind;           /* the kind the reflectance table was last computed for */
  uint32_t reflectanceFills;   /* how many times the table has been computed since load */
  HGLOBAL reflectanceBlock;    /* the table's 8212-byte global block (library's), or null */
  double reflectance[1000];    /* the table (its first 8000 bytes); 0 while there is none */
} ZoPlatLightingState;

/** Copies the whole lighting state into *out.
 * @param out receives the settings, the light directions, the gamma table and a copy of the
 *            metal reflectance table with its kind and block; the block stays the library's
 *            (released when the library unloads) and must not be freed by the caller.
 * @return 1, or 0 for a null out. */
ZO_API uint32_t ZoPlatGetLightingState(ZoPlatLightingState* out);

#ifdef __cplusplus
}
#endif

#endif /* ZO32PATH_PLATFORM_H */
