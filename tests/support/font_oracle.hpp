// FreeType called directly, as the reference the font layer and the text outlines are
// checked against, and a reader of native glyph outline records.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Zo32path_platform.h"

namespace zo_test {

inline std::string dejavu_file(const std::string& family) {
  std::string base = "/usr/share/fonts/truetype/dejavu/";
  if (family == "DejaVu Serif") return base + "DejaVuSerif.ttf";
  if (family == "DejaVu Sans Mono") return base + "DejaVuSansMono.ttf";
  return base + "DejaVuSans.ttf";
}

// One FreeType library and face for the life of the object.
struct FtFace {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  explicit FtFace(const std::string& family) {
    FT_Init_FreeType(&lib);
    FT_New_Face(lib, dejavu_file(family).c_str(), 0, &face);
  }
  ~FtFace() {
    if (face != nullptr) FT_Done_Face(face);
    if (lib != nullptr) FT_Done_FreeType(lib);
  }
  FtFace(const FtFace&) = delete;
  FtFace& operator=(const FtFace&) = delete;
  // The unhinted outline of the character at an em of ppem pixels (26.6 points), or null.
  const FT_Outline* outline(uint32_t unicode, uint32_t ppem) {
    FT_Set_Pixel_Sizes(face, 0, ppem);
    FT_UInt index = FT_Get_Char_Index(face, unicode);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
      return nullptr;
    return &face->glyph->outline;
  }
};

struct PointD {
  double x, y;
};

// A parsed native outline: per polygon, its start and its records (kind, points in pixels).
struct NativeRecord {
  uint16_t kind;
  std::vector<PointD> points;
};
struct NativePolygon {
  PointD start;
  std::vector<NativeRecord> records;
};

inline double fixed_px(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v / 65536.0;
}

// False when the sizes do not add up or a record is malformed.
inline bool parse_native(const std::vector<uint8_t>& buf, std::vector<NativePolygon>* out) {
  size_t at = 0;
  while (at < buf.size()) {
    if (buf.size() - at < 16) return false;
    uint32_t cb, type;
    std::memcpy(&cb, &buf[at], 4);
    std::memcpy(&type, &buf[at + 4], 4);
    if (type != TT_POLYGON_TYPE || cb < 16 || cb > buf.size() - at) return false;
    NativePolygon poly{{fixed_px(&buf[at + 8]), fixed_px(&buf[at + 12])}, {}};
    size_t p = at + 16, end = at + cb;
    while (p < end) {
      if (end - p < 4) return false;
      uint16_t kind, n;
      std::memcpy(&kind, &buf[p], 2);
      std::memcpy(&n, &buf[p + 2], 2);
      if (n == 0 || kind < 1 || kind > 3 || end - p < 4 + 8u * n) return false;
      NativeRecord r{kind, {}};
      for (uint16_t i = 0; i < n; ++i)
        r.points.push_back({fixed_px(&buf[p + 4 + 8 * i]), fixed_px(&buf[p + 8 + 8 * i])});
      poly.records.push_back(r);
      p += 4 + 8u * n;
    }
    out->push_back(poly);
    at = end;
  }
  return true;
}

// An information context with one font selected (lfHeight = height: negative for an em),
// released at the end of the scope.
struct FontDC {
  HDC dc = ZoPlatCreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HFONT font = nullptr;
  FontDC(const char* face, int32_t height, uint8_t charset = 0, uint8_t italic = 0) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = 400;
    lf.lfCharSet = charset;
    lf.lfItalic = italic;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    font = ZoPlatCreateFontIndirectA(&lf);
    ZoPlatSelectObject(dc, font);
  }
  ~FontDC() {
    ZoPlatDeleteDC(dc);
    ZoPlatDeleteObject(font);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;
  // The native outline records (empty for a missing glyph).
  std::vector<uint8_t> native(uint32_t ch, const MAT2& m, GLYPHMETRICS* gm = nullptr) const {
    GLYPHMETRICS local;
    if (gm == nullptr) gm = &local;
    uint32_t n = ZoPlatGetGlyphOutlineA(dc, ch, GGO_NATIVE, gm, 0, nullptr, &m);
    std::vector<uint8_t> buf(n == GDI_ERROR ? 0 : n);
    if (!buf.empty()) ZoPlatGetGlyphOutlineA(dc, ch, GGO_NATIVE, gm, n, buf.data(), &m);
    return buf;
  }
  double advance(uint32_t ch) const {
    ABCFLOAT w{};
    ZoPlatGetCharABCWidthsFloatA(dc, ch, ch, &w);
    return double(w.abcfA) + w.abcfB + w.abcfC;
  }
};

inline MAT2 mat2_of(double m11, double m12, double m21, double m22) {
  auto f = [](double v) {
    int32_t x = static_cast<int32_t>(std::lround(v * 65536.0));
    FIXED r;
    std::memcpy(&r, &x, 4);
    return r;
  };
  return MAT2{f(m11), f(m12), f(m21), f(m22)};
}

}  // namespace zo_test
