// The font services of the information context, under their Windows names, for the text
// code. Fonts are GDI objects made here and selected into device contexts
// (device_context.cpp keeps the selection).
#pragma once

#include <cstdint>

#include "Zo32path_platform.h"

namespace zo::plat {

HDC CreateDCA(const char* driver, const char* device, const char* output, const void* init);
bool DeleteDC(HDC dc);
HFONT CreateFontIndirectA(const LOGFONTA* request);
uint32_t GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
uint32_t GetOutlineTextMetricsA(HDC dc, uint32_t size, OUTLINETEXTMETRICA* metrics);
uint32_t GetGlyphOutlineA(HDC dc, uint32_t ch, uint32_t format, GLYPHMETRICS* metrics,
                          uint32_t size, void* buffer, const MAT2* matrix);
bool GetCharABCWidthsFloatA(HDC dc, uint32_t first, uint32_t last, ABCFLOAT* widths);
bool GetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* widths);
uint32_t GetKerningPairsA(HDC dc, uint32_t count, KERNINGPAIR* pairs);
bool TranslateCharsetInfo(uintptr_t source, CHARSETINFO* out, uint32_t flags);
bool IsDBCSLeadByteEx(uint32_t codePage, uint8_t byte);
const char* CharNextExA(uint16_t codePage, const char* p, uint32_t flags);

// Font objects as GDI objects: recognised by lookup, released by DeleteObject.
bool is_font(HGDIOBJ object);
bool delete_font(HGDIOBJ object);

// Releases FreeType, fontconfig, the caches and the code-page converters (library unload).
void release_fonts();

}  // namespace zo::plat
