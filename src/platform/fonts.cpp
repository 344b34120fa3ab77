// Font objects and the metric calls: text and outline metrics, ABC widths, kerning pairs,
// the information context, the test control that fails a named service, and the live counts.
#include <strings.h>

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "code_pages.hpp"
#include "device_context.hpp"
#include "font_objects.hpp"

#include FT_TRUETYPE_TABLES_H

#include "fonts.hpp"
#include "memory.hpp"
#include "pointer_set.hpp"

// The Windows layouts of the font records.
static_assert(sizeof(FIXED) == 4 && sizeof(MAT2) == 16 && sizeof(POINTFX) == 8);
static_assert(sizeof(LOGFONTA) == 60 && offsetof(LOGFONTA, lfItalic) == 20 &&
              offsetof(LOGFONTA, lfCharSet) == 23 && offsetof(LOGFONTA, lfFaceName) == 28);
static_assert(sizeof(TEXTMETRICA) == 56 && offsetof(TEXTMETRICA, tmFirstChar) == 44 &&
              offsetof(TEXTMETRICA, tmItalic) == 48 && offsetof(TEXTMETRICA, tmCharSet) == 52);
static_assert(offsetof(OUTLINETEXTMETRICA, otmTextMetrics) == 4 &&
              offsetof(OUTLINETEXTMETRICA, otmPanoseNumber) == 61 &&
              offsetof(OUTLINETEXTMETRICA, otmfsSelection) == 72 &&
              offsetof(OUTLINETEXTMETRICA, otmEMSquare) == 92 &&
              offsetof(OUTLINETEXTMETRICA, otmrcFontBox) == 116 &&
              offsetof(OUTLINETEXTMETRICA, otmsStrikeoutSize) == 180 &&
              offsetof(OUTLINETEXTMETRICA, otmsUnderscorePosition) == 192 &&
              offsetof(OUTLINETEXTMETRICA, otmpFamilyName) == 200 &&
              sizeof(OUTLINETEXTMETRICA) == 232);
static_assert(sizeof(GLYPHMETRICS) == 20 && offsetof(GLYPHMETRICS, gmCellIncX) == 16);
static_assert(sizeof(ABC) == 12 && sizeof(ABCFLOAT) == 12 && sizeof(KERNINGPAIR) == 8);
static_assert(sizeof(TTPOLYGONHEADER) == 16 && offsetof(TTPOLYGONHEADER, pfxStart) == 8);
static_assert(sizeof(TTPOLYCURVE) == 12 && offsetof(TTPOLYCURVE, apfx) == 4);
static_assert(sizeof(CHARSETINFO) == 32 && offsetof(CHARSETINFO, fs) == 8);

namespace zo::plat {

namespace {

constexpr uint32_t kFontMagic = 0x5A464E54;  // "ZFNT"
constexpr int32_t kHeightLimit = 16384;
constexpr int64_t kDefaultEm = 12;

// Never destroyed: the library's unload may run after static destructors.
PointerSet& live_fonts() {
  static PointerSet* set = new PointerSet;
  return *set;
}

struct ServiceFailure {
  const char* name;
  uint32_t countdown;
};
ServiceFailure g_failures[] = {
    {"CreateDCA", 0},         {"CreateFontIndirectA", 0},    {"GetTextMetricsA", 0},
    {"GetOutlineTextMetricsA", 0}, {"GetGlyphOutlineA", 0},  {"GetCharABCWidthsFloatA", 0},
    {"GetCharABCWidthsA", 0}, {"GetKerningPairsA", 0},       {"TranslateCharsetInfo", 0}};
static_assert(std::size(g_failures) == static_cast<size_t>(FontService::Count));

void fill_text_metrics(const Font& font, TEXTMETRICA* tm);

Font* font_of_handle(HGDIOBJ object) {
  if (object == nullptr || !live_fonts().contains(object)) return nullptr;
  auto* f = reinterpret_cast<Font*>(object);
  return f->magic == kFontMagic ? f : nullptr;
}

// Every character code of the font's code page with the glyph it shows.
std::vector<std::pair<uint32_t, uint16_t>> glyphs_by_code(const Font& f) {
  std::vector<std::pair<uint32_t, uint16_t>> out;
  auto add = [&](uint32_t code) {
    uint32_t g = glyph_of_code(f, code);
    if (g != 0 && g <= 0xFFFF) out.emplace_back(g, static_cast<uint16_t>(code));
  };
  for (uint32_t b = 1; b < 256; ++b)
    if (!is_lead_byte(f.codePage, static_cast<uint8_t>(b))) add(b);
  if (is_double_byte_code_page(f.codePage)) {
    for (uint32_t lead = 0x81; lead <= 0xFE; ++lead) {
      if (!is_lead_byte(f.codePage, static_cast<uint8_t>(lead))) continue;
      for (uint32_t trail = 0x40; trail <= 0xFE; ++trail) add(lead * 256 + trail);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The face's pairs in the font's character codes: table pairs mapped back through the
// character map. Kept with the face, so fonts of every size share them. May throw.
const std::vector<CodeKern>& code_pairs(const Font* f) {
  auto found = f->face->codePairs.find(f->codePage);
  if (found != f->face->codePairs.end()) return found->second;
  std::vector<CodeKern> pairs;
  auto codes = glyphs_by_code(*f);
  auto codes_of = [&](uint32_t glyph) {
    return std::equal_range(codes.begin(), codes.end(), std::pair<uint32_t, uint16_t>{glyph, 0},
                            [](const auto& a, const auto& b) { return a.first < b.first; });
  };
  const std::vector<KernEntry>& table = kern_pairs(f->face);
  if (!table.empty() || FT_IS_SFNT(f->face->ft) || !FT_HAS_KERNING(f->face->ft)) {
    for (const KernEntry& k : table) {
      auto left = codes_of(k.left), right = codes_of(k.right);
      for (auto l = left.first; l != left.second; ++l)
        for (auto r = right.first; r != right.second; ++r)
          pairs.push_back(CodeKern{l->second, r->second, k.value});
    }
  } else {
    for (const auto& l : codes) {
      for (const auto& r : codes) {
        FT_Vector v{0, 0};
        if (FT_Get_Kerning(f->face->ft, l.first, r.first, FT_KERNING_UNSCALED, &v) == 0 && v.x != 0)
          pairs.push_back(CodeKern{l.second, r.second, static_cast<int32_t>(v.x)});
      }
    }
  }
  return f->face->codePairs.emplace(f->codePage, std::move(pairs)).first->second;
}

}  // namespace

bool font_call_fails(FontService service) {
  uint32_t& n = g_failures[static_cast<size_t>(service)].countdown;
  return n != 0 && --n == 0;
}

bool is_font(HGDIOBJ object) { return font_of_handle(object) != nullptr; }

bool delete_font(HGDIOBJ object) {
  Font* f = font_of_handle(object);
  if (f == nullptr) return false;
  live_fonts().erase(f);
  f->magic = 0;
  mem_free(f);
  return true;
}

Font* font_of_dc(HDC dc) {
  Font* f = font_of_handle(selected_font(dc));
  if (f == nullptr) return nullptr;
  if (f->face == nullptr || f->generation != face_generation()) {
    f->face = match_face(f->request);
    f->generation = face_generation();
  }
  return f->face != nullptr ? f : nullptr;
}

FontScale scale_of(const Font& f) {
  int32_t h = f.request.lfHeight;
  if (h < 0) return FontScale{-int64_t{h}, f.face->unitsPerEm};
  if (h > 0) return FontScale{h, f.face->cellUnits};
  return FontScale{kDefaultEm, f.face->unitsPerEm};
}

uint32_t glyph_of_code(const Font& f, uint32_t code) {
  if (f.symbol) return code < 256 ? glyph_index_of(f.face, code, true) : 0;
  uint32_t unicode = code_to_unicode(f.codePage, code);
  return unicode != 0 ? glyph_index_of(f.face, unicode, false) : 0;
}

bool apply_pixel_size(const Font& f) {
  FontScale s = scale_of(f);
  if (f.face->sizeNum == s.num && f.face->sizeDen == s.den) return true;  // already set
  FT_Error error;
  if (f.request.lfHeight <= 0) {
    error = FT_Set_Pixel_Sizes(f.face->ft, 0, static_cast<FT_UInt>(s.num));
  } else {
    FT_F26Dot6 em = std::llround(s.factor() * f.face->unitsPerEm * 64.0);
    error = FT_Set_Char_Size(f.face->ft, 0, std::max<FT_F26Dot6>(em, 1), 72, 72);
  }
  f.face->sizeNum = error == 0 ? s.num : 0;
  f.face->sizeDen = error == 0 ? s.den : 0;
  return error == 0;
}

HDC CreateDCA(const char* driver, const char*, const char*, const void*) {
  if (font_call_fails(FontService::CreateDC)) return nullptr;
  if (driver == nullptr || strcasecmp(driver, "DISPLAY") != 0) return nullptr;
  if (!font_engine_start()) return nullptr;
  return create_information_dc();
}

HFONT CreateFontIndirectA(const LOGFONTA* request) {
  if (font_call_fails(FontService::CreateFont)) return nullptr;
  if (request == nullptr || request->lfHeight > kHeightLimit || request->lfHeight < -kHeightLimit)
    return nullptr;
  if (!live_fonts().reserve_one()) return nullptr;
  auto* f = static_cast<Font*>(mem_alloc(sizeof(Font), kZeroFill));
  if (f == nullptr) return nullptr;
  f->magic = kFontMagic;
  f->request = *request;
  f->symbol = request->lfCharSet == kSymbolCharset;
  f->codePage = code_page_of_charset(request->lfCharSet);
  if (f->codePage == 0 || f->symbol) f->codePage = f->symbol ? kSymbolCodePage : kDefaultCodePage;
  live_fonts().insert(f);
  return reinterpret_cast<HFONT>(f);
}

uint32_t GetTextMetricsA(HDC dc, TEXTMETRICA* tm) {
  if (font_call_fails(FontService::TextMetrics)) return 0;
  Font* f = font_of_dc(dc);
  if (f == nullptr || tm == nullptr) return 0;
  fill_text_metrics(*f, tm);
  return 1;
}

namespace {

void fill_text_metrics(const Font& font, TEXTMETRICA* tm) {
  const Font* f = &font;
  FT_Face ft = f->face->ft;
  FontScale s = scale_of(*f);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  std::memset(tm, 0, sizeof(*tm));
  if (f->face->hasOs2) {
    tm->tmAscent = s.round_pixels(os2->usWinAscent);
    tm->tmDescent = s.round_pixels(os2->usWinDescent);
    tm->tmAveCharWidth = s.round_pixels(os2->xAvgCharWidth);
  } else {
    tm->tmAscent = s.round_pixels(ft->ascender);
    tm->tmDescent = s.round_pixels(-int64_t{ft->descender});
    tm->tmAveCharWidth = s.round_pixels(ft->max_advance_width / 2);
  }
  tm->tmHeight = tm->tmAscent + tm->tmDescent;
  tm->tmInternalLeading = tm->tmHeight - s.round_pixels(f->face->unitsPerEm);
  tm->tmExternalLeading = hhea != nullptr ? s.round_pixels(hhea->Line_Gap) : 0;
  tm->tmMaxCharWidth = s.round_pixels(int64_t{ft->bbox.xMax} - ft->bbox.xMin);
  tm->tmWeight = f->request.lfWeight != 0 ? f->request.lfWeight : 400;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = f->request.lfItalic;
  tm->tmUnderlined = f->request.lfUnderline;
  tm->tmStruckOut = f->request.lfStrikeOut;
  // Windows' bits: 1 variable pitch, 2 vector, 4 TrueType.
  tm->tmPitchAndFamily = static_cast<uint8_t>((FT_IS_FIXED_WIDTH(ft) ? 0 : 1) | 2 | 4);
  tm->tmCharSet = f->request.lfCharSet;
}

}  // namespace

uint32_t GetOutlineTextMetricsA(HDC dc, uint32_t size, OUTLINETEXTMETRICA* otm) {
  if (font_call_fails(FontService::OutlineTextMetrics)) return 0;
  Font* f = font_of_dc(dc);
  if (f == nullptr || !f->face->hasOs2) return 0;
  if (otm == nullptr) return sizeof(OUTLINETEXTMETRICA);
  if (size < sizeof(OUTLINETEXTMETRICA)) return 0;
  TEXTMETRICA tm;
  fill_text_metrics(*f, &tm);
  FT_Face ft = f->face->ft;
  FontScale s = scale_of(*f);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  std::memset(otm, 0, sizeof(*otm));
  otm->otmSize = sizeof(OUTLINETEXTMETRICA);
  otm->otmTextMetrics = tm;
  std::memcpy(otm->otmPanoseNumber.bytes, os2->panose, 10);
  otm->otmfsSelection = os2->fsSelection;
  otm->otmfsType = os2->fsType;
  otm->otmsCharSlopeRise = 1;
  otm->otmEMSquare = f->face->unitsPerEm;
  otm->otmAscent = s.round_pixels(os2->sTypoAscender);
  otm->otmDescent = s.round_pixels(os2->sTypoDescender);
  otm->otmLineGap = static_cast<uint32_t>(std::max(0, s.round_pixels(os2->sTypoLineGap)));
  otm->otmsCapEmHeight = static_cast<uint32_t>(std::max(0, s.round_pixels(os2->sCapHeight)));
  otm->otmsXHeight = static_cast<uint32_t>(std::max(0, s.round_pixels(os2->sxHeight)));
  otm->otmrcFontBox = RECT{s.round_pixels(ft->bbox.xMin), s.round_pixels(ft->bbox.yMax),
                           s.round_pixels(ft->bbox.xMax), s.round_pixels(ft->bbox.yMin)};
  if (hhea != nullptr) {
    otm->otmMacAscent = s.round_pixels(hhea->Ascender);
    otm->otmMacDescent = s.round_pixels(hhea->Descender);
    otm->otmMacLineGap = static_cast<uint32_t>(std::max(0, s.round_pixels(hhea->Line_Gap)));
  }
  otm->otmptSubscriptSize = POINT{s.round_pixels(os2->ySubscriptXSize), s.round_pixels(os2->ySubscriptYSize)};
  otm->otmptSubscriptOffset = POINT{s.round_pixels(os2->ySubscriptXOffset), s.round_pixels(os2->ySubscriptYOffset)};
  otm->otmptSuperscriptSize = POINT{s.round_pixels(os2->ySuperscriptXSize), s.round_pixels(os2->ySuperscriptYSize)};
  otm->otmptSuperscriptOffset = POINT{s.round_pixels(os2->ySuperscriptXOffset), s.round_pixels(os2->ySuperscriptYOffset)};
  otm->otmsStrikeoutSize = static_cast<uint32_t>(std::max(0, s.round_pixels(os2->yStrikeoutSize)));
  otm->otmsStrikeoutPosition = s.round_pixels(os2->yStrikeoutPosition);
  otm->otmsUnderscoreSize = s.round_pixels(ft->underline_thickness);
  otm->otmsUnderscorePosition = s.round_pixels(ft->underline_position);
  return sizeof(OUTLINETEXTMETRICA);
}

bool GetCharABCWidthsFloatA(HDC dc, uint32_t first, uint32_t last, ABCFLOAT* widths) {
  if (font_call_fails(FontService::AbcFloat)) return false;
  Font* f = font_of_dc(dc);
  if (f == nullptr || widths == nullptr || first > last) return false;
  double k = scale_of(*f).factor();
  for (uint32_t c = first; c <= last; ++c) {
    const GlyphData* g = glyph_data(f->face, glyph_of_code(*f, c));
    if (g == nullptr) return false;
    double a = g->bearingX * k, b = g->width * k, advance = g->advance * k;
    widths[c - first] = ABCFLOAT{float(a), float(b), float(advance - a - b)};
    if (c == UINT32_MAX) break;
  }
  return true;
}

bool GetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* widths) {
  if (font_call_fails(FontService::AbcInteger)) return false;
  Font* f = font_of_dc(dc);
  if (f == nullptr || widths == nullptr || first > last || !apply_pixel_size(*f)) return false;
  for (uint32_t c = first; c <= last; ++c) {
    if (FT_Load_Glyph(f->face->ft, glyph_of_code(*f, c), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
      return false;
    const FT_Glyph_Metrics& m = f->face->ft->glyph->metrics;
    auto px = [](FT_Pos v) { return static_cast<int32_t>(std::lround(double(v) / 64.0)); };
    int32_t a = px(m.horiBearingX), b = px(m.width), advance = px(m.horiAdvance);
    widths[c - first] = ABC{a, static_cast<uint32_t>(b), advance - a - b};
    if (c == UINT32_MAX) break;
  }
  return true;
}

uint32_t GetKerningPairsA(HDC dc, uint32_t count, KERNINGPAIR* pairs) {
  if (font_call_fails(FontService::KerningPairs)) return 0;
  Font* f = font_of_dc(dc);
  if (f == nullptr) return 0;
  try {
    const std::vector<CodeKern>& all = code_pairs(f);
    if (pairs == nullptr) return static_cast<uint32_t>(all.size());
    uint32_t n = static_cast<uint32_t>(std::min<size_t>(count, all.size()));
    FontScale s = scale_of(*f);
    for (uint32_t i = 0; i < n; ++i)
      pairs[i] = KERNINGPAIR{all[i].first, all[i].second, s.round_pixels(all[i].units)};
    return n;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void release_fonts() {
  live_fonts().drain([](void* p) {
    auto* f = static_cast<Font*>(p);
    f->magic = 0;
    mem_free(f);
  });
  clear_glyph_cache();
  release_font_engine();
  release_code_pages();
}

}  // namespace zo::plat

using namespace zo::plat;

extern "C" {

ZO_API HDC ZoPlatCreateDCA(const char* driver, const char* device, const char* output,
                           const void* initData) {
  return CreateDCA(driver, device, output, initData);
}
ZO_API HFONT ZoPlatCreateFontIndirectA(const LOGFONTA* request) {
  return CreateFontIndirectA(request);
}
ZO_API uint32_t ZoPlatGetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  return GetTextMetricsA(dc, metrics);
}
ZO_API uint32_t ZoPlatGetOutlineTextMetricsA(HDC dc, uint32_t size, OUTLINETEXTMETRICA* metrics) {
  return GetOutlineTextMetricsA(dc, size, metrics);
}
ZO_API uint32_t ZoPlatGetGlyphOutlineA(HDC dc, uint32_t ch, uint32_t format,
                                       GLYPHMETRICS* metrics, uint32_t size, void* buffer,
                                       const MAT2* matrix) {
  return GetGlyphOutlineA(dc, ch, format, metrics, size, buffer, matrix);
}
ZO_API uint32_t ZoPlatGetCharABCWidthsFloatA(HDC dc, uint32_t first, uint32_t last,
                                             ABCFLOAT* widths) {
  return GetCharABCWidthsFloatA(dc, first, last, widths) ? 1 : 0;
}
ZO_API uint32_t ZoPlatGetCharABCWidthsA(HDC dc, uint32_t first, uint32_t last, ABC* widths) {
  return GetCharABCWidthsA(dc, first, last, widths) ? 1 : 0;
}
ZO_API uint32_t ZoPlatGetKerningPairsA(HDC dc, uint32_t count, KERNINGPAIR* pairs) {
  return GetKerningPairsA(dc, count, pairs);
}
ZO_API uint32_t ZoPlatTranslateCharsetInfo(uintptr_t source, CHARSETINFO* out, uint32_t flags) {
  return TranslateCharsetInfo(source, out, flags) ? 1 : 0;
}
ZO_API uint32_t ZoPlatIsDBCSLeadByteEx(uint32_t codePage, uint8_t byte) {
  return IsDBCSLeadByteEx(codePage, byte) ? 1 : 0;
}
ZO_API const char* ZoPlatCharNextExA(uint16_t codePage, const char* p, uint32_t flags) {
  return CharNextExA(codePage, p, flags);
}
ZO_API uint32_t ZoPlatFailFontCall(const char* service, uint32_t n) {
  if (service == nullptr) return 0;
  for (ServiceFailure& s : g_failures) {
    if (std::strcmp(s.name, service) == 0) {
      s.countdown = n;
      return 1;
    }
  }
  return 0;
}
ZO_API void ZoPlatFontLiveCounts(uint32_t* fonts, uint32_t* contexts) {
  if (fonts != nullptr) *fonts = static_cast<uint32_t>(live_fonts().size());
  if (contexts != nullptr) *contexts = information_dc_count();
}
ZO_API void ZoPlatFontFlushCaches(void) {
  clear_glyph_cache();
  flush_font_caches();
}

}  // extern "C"
