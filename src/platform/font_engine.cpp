// The font engine: fontconfig matching, FreeType faces and what is read from them once.
#include "font_engine.hpp"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

namespace zo::plat {

namespace {

struct Engine {
  FT_Library library = nullptr;
  bool fontconfigStarted = false;
  uint64_t generation = 1;
  std::unordered_map<std::string, std::unique_ptr<Face>> facesByFile;  // "file#index"
  std::unordered_map<std::string, Face*> matches;                       // request key
};
// Never destroyed: the library's unload may run after static destructors.
Engine& engine() {
  static Engine* e = new Engine;
  return *e;
}

constexpr size_t kMatchCacheLimit = 256;  // distinct requests remembered

// The fontconfig language of the East Asian and non-Latin character sets.
const char* language_of_charset(uint8_t charset) {
  switch (charset) {
    case 128: return "ja";
    case 129: return "ko";
    case 134: return "zh-cn";
    case 136: return "zh-tw";
    case 161: return "el";
    case 177: return "he";
    case 178: return "ar";
    case 204: return "ru";
    case 222: return "th";
    default: return nullptr;
  }
}

std::string face_name_of(const LOGFONTA& r) {
  size_t n = strnlen(r.lfFaceName, LF_FACESIZE - 1);  // at most 31 characters
  return n == 0 ? std::string("sans-serif") : std::string(r.lfFaceName, n);
}

void release_faces() {
  engine().matches.clear();
  for (auto& entry : engine().facesByFile) FT_Done_Face(entry.second->ft);
  engine().facesByFile.clear();
  ++engine().generation;
}

Face* open_face(const char* file, int index) {
  std::string key = std::string(file) + "#" + std::to_string(index);
  auto found = engine().facesByFile.find(key);
  if (found != engine().facesByFile.end()) return found->second.get();
  FT_Face ft = nullptr;
  if (FT_New_Face(engine().library, file, index, &ft) != 0) return nullptr;
  if (!FT_IS_SCALABLE(ft)) {
    FT_Done_Face(ft);
    return nullptr;
  }
  auto face = std::make_unique<Face>();
  face->ft = ft;
  face->unitsPerEm = ft->units_per_EM != 0 ? ft->units_per_EM : 1;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  face->hasOs2 = os2 != nullptr && os2->version != 0xFFFF;
  int32_t cell = face->hasOs2 ? int32_t{os2->usWinAscent} + os2->usWinDescent
                              : int32_t{ft->ascender} - ft->descender;
  face->cellUnits = cell > 0 ? cell : static_cast<int32_t>(face->unitsPerEm);
  for (int i = 0; i < ft->num_charmaps; ++i)
    if (ft->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) face->hasSymbolMap = true;
  FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
  Face* raw = face.get();
  try {
    engine().facesByFile.emplace(std::move(key), std::move(face));
  } catch (...) {
    FT_Done_Face(ft);
    throw;
  }
  return raw;
}

uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// Reads the legacy kern table: version 0 with its subtables, format 0 horizontal pairs.
void read_kern(Face* face) {
  face->kernRead = true;
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face->ft, TTAG_kern, 0, nullptr, &length) != 0 || length < 4) return;
  std::vector<uint8_t> table(length);
  if (FT_Load_Sfnt_Table(face->ft, TTAG_kern, 0, table.data(), &length) != 0) return;
  if (be16(&table[0]) != 0) return;  // only the Windows layout
  size_t at = 4;
  for (uint16_t t = 0, n = be16(&table[2]); t < n && at + 6 <= length; ++t) {
    uint16_t subLength = be16(&table[at + 2]), coverage = be16(&table[at + 4]);
    bool horizontalFormat0 = (coverage & 0xFF01) == 0x0001 && (coverage & 0x0004) == 0;
    if (horizontalFormat0 && at + 14 <= length) {
      uint16_t pairs = be16(&table[at + 6]);
      size_t p = at + 14;
      for (uint16_t i = 0; i < pairs && p + 6 <= length; ++i, p += 6) {
        face->kern.push_back(KernEntry{be16(&table[p]), be16(&table[p + 2]),
                                       static_cast<int16_t>(be16(&table[p + 4]))});
      }
    }
    if (subLength < 6) break;
    at += subLength;
  }
}

}  // namespace

bool font_engine_start() {
  if (!engine().fontconfigStarted) {
    if (FcInit() == FcFalse) return false;
    engine().fontconfigStarted = true;
  }
  if (engine().library == nullptr && FT_Init_FreeType(&engine().library) != 0) {
    engine().library = nullptr;
    return false;
  }
  return true;
}

Face* match_face(const LOGFONTA& request) {
  if (!font_engine_start()) return nullptr;
  std::string family = face_name_of(request);
  const char* language = language_of_charset(request.lfCharSet);
  int weight = std::clamp(request.lfWeight == 0 ? 400 : request.lfWeight, 1, 1000);
  std::string key = family + '\n' + std::to_string(weight) + (request.lfItalic ? "i" : "r") +
                    (language != nullptr ? language : "");
  auto cached = engine().matches.find(key);
  if (cached != engine().matches.end()) return cached->second;

  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  if (language != nullptr)
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  Face* face = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    try {
      face = open_face(reinterpret_cast<const char*>(file), index);
      if (face != nullptr) {
        if (engine().matches.size() >= kMatchCacheLimit) engine().matches.clear();
        engine().matches.emplace(std::move(key), face);
      }
    } catch (const std::bad_alloc&) {
      face = nullptr;
    }
  }
  FcPatternDestroy(match);
  return face;
}

const GlyphData* glyph_data(Face* face, uint32_t glyphIndex) {
  auto found = face->glyphs.find(glyphIndex);
  if (found != face->glyphs.end()) return &found->second;
  if (FT_Load_Glyph(face->ft, glyphIndex, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) return nullptr;
  FT_GlyphSlot slot = face->ft->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
  try {
    GlyphData g;
    const FT_Outline& o = slot->outline;
    g.points.assign(o.points, o.points + o.n_points);
    g.tags.assign(o.tags, o.tags + o.n_points);
    g.contourEnds.assign(o.contours, o.contours + o.n_contours);
    g.bearingX = static_cast<int32_t>(slot->metrics.horiBearingX);
    g.width = static_cast<int32_t>(slot->metrics.width);
    g.advance = static_cast<int32_t>(slot->metrics.horiAdvance);
    return &face->glyphs.emplace(glyphIndex, std::move(g)).first->second;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

uint32_t glyph_index_of(Face* face, uint32_t unicode, bool symbol) {
  if (symbol && face->hasSymbolMap) {
    FT_Select_Charmap(face->ft, FT_ENCODING_MS_SYMBOL);
    uint32_t index = FT_Get_Char_Index(face->ft, 0xF000 + (unicode & 0xFF));
    FT_Select_Charmap(face->ft, FT_ENCODING_UNICODE);
    return index;
  }
  return FT_Get_Char_Index(face->ft, unicode);
}

const std::vector<KernEntry>& kern_pairs(Face* face) {
  if (!face->kernRead) {
    try {
      read_kern(face);
    } catch (const std::bad_alloc&) {
      face->kern.clear();
      face->kernRead = false;
    }
  }
  return face->kern;
}

uint64_t face_generation() { return engine().generation; }

void flush_font_caches() { release_faces(); }

void release_font_engine() {
  release_faces();
  if (engine().library != nullptr) FT_Done_FreeType(engine().library);
  engine().library = nullptr;
  if (engine().fontconfigStarted) FcFini();
  engine().fontconfigStarted = false;
}

}  // namespace zo::plat
