// FreeType and fontconfig behind the font objects: one FT_Library and fontconfig for the
// process, faces matched by request and kept in a cache, each face's unscaled glyph outlines
// and legacy kerning table read once.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "Zo32path_platform.h"

namespace zo::plat {

// A glyph in font units as the face stores it: points, their tags, contour ends, metrics.
struct GlyphData {
  std::vector<FT_Vector> points;
  std::vector<uint8_t> tags;
  std::vector<int16_t> contourEnds;
  int32_t bearingX = 0, width = 0, advance = 0;  // horizontal metrics, font units
};

struct KernEntry {
  uint16_t left, right;  // glyph indices
  int16_t value;         // font units
};

// A kerning pair in character codes of one code page, amount in font units.
struct CodeKern {
  uint16_t first, second;
  int32_t units;
};

struct Face {
  FT_Face ft = nullptr;
  uint32_t unitsPerEm = 1;
  bool hasOs2 = false;
  int32_t cellUnits = 1;  // Windows ascent + descent (hhea when there is no OS/2)
  bool hasSymbolMap = false;
  int64_t sizeNum = 0, sizeDen = 0;  // the size last set on the FreeType face
  std::unordered_map<uint32_t, GlyphData> glyphs;
  bool kernRead = false;
  std::vector<KernEntry> kern;  // legacy kern table, format 0, horizontal
  // The pairs in character codes, by code page (42 for the symbol set), made on first use.
  std::unordered_map<uint32_t, std::vector<CodeKern>> codePairs;
};

// Starts FreeType and fontconfig once; false when either cannot start.
bool font_engine_start();
// The face fontconfig matches for the request; null when nothing matches or FreeType cannot
// open it. The cache owns it.
Face* match_face(const LOGFONTA& request);
// The face's glyph in font units; null when FreeType cannot load it.
const GlyphData* glyph_data(Face* face, uint32_t glyphIndex);
// The glyph index of a Unicode character, or of byte b of the symbol set (U+F000 + b in a
// symbol character map when the face has one, else U+00b).
uint32_t glyph_index_of(Face* face, uint32_t unicode, bool symbol);
// The face's legacy kern pairs (read on first use); empty when it has none.
const std::vector<KernEntry>& kern_pairs(Face* face);
// Incremented when the caches are emptied: fonts match their face again after a change.
uint64_t face_generation();
void flush_font_caches();
void release_font_engine();

}  // namespace zo::plat
