// Font objects: a kept request, the face it matched, its size as a ratio of font units to
// pixels, its code page; shared by the calls of fonts.cpp and glyph_outline.cpp.
#pragma once

#include <cstdint>

#include "Zo32path_platform.h"
#include "font_engine.hpp"

namespace zo::plat {

// Pixels = font units x num / den.
struct FontScale {
  int64_t num, den;
  double factor() const { return static_cast<double>(num) / static_cast<double>(den); }
  // Rounded to whole pixels, halves away from zero, exactly.
  int32_t round_pixels(int64_t units) const {
    int64_t n = 2 * units * num;
    return static_cast<int32_t>((n >= 0 ? n + den : n - den) / (2 * den));
  }
  // To 16.16 pixels, rounded, exactly.
  int64_t fixed(int64_t units) const {
    int64_t n = 2 * units * num * 65536;
    return (n >= 0 ? n + den : n - den) / (2 * den);
  }
};

struct Font {
  uint32_t magic;
  LOGFONTA request;
  Face* face;           // matched on first use
  uint64_t generation;  // the face cache's generation when face was matched
  uint32_t codePage;
  bool symbol;
};

enum class FontService : uint32_t {
  CreateDC,
  CreateFont,
  TextMetrics,
  OutlineTextMetrics,
  GlyphOutline,
  AbcFloat,
  AbcInteger,
  KerningPairs,
  TranslateCharset,
  Count
};
// True when the test control asked this call of the service to fail.
bool font_call_fails(FontService service);

// The font selected into the context, with its face matched; null for none.
Font* font_of_dc(HDC dc);
FontScale scale_of(const Font& font);
// The glyph index of a character code of the font's code page; 0 when the face has none.
uint32_t glyph_of_code(const Font& font, uint32_t code);
// Forgets the finished glyphs (outlines and bitmaps) kept by GetGlyphOutlineA.
void clear_glyph_cache();
// Sets the FreeType size of the face to the font's em (for hinted loads).
bool apply_pixel_size(const Font& font);

}  // namespace zo::plat
