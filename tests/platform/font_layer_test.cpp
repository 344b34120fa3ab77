// The font layer against FreeType called directly: native outlines, widths, kerning, the
// character-set tables, and the failure switch with the live counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "Zo32path_platform.h"
#include "font_oracle.hpp"

using namespace zo_test;

namespace {

struct Matrix {
  double m11, m12, m21, m22;
};

TEST(FontLayer, NativeOutlinesMatchFreeTypeForEveryAsciiGlyph) {
  const double c30 = std::cos(M_PI / 6), s30 = std::sin(M_PI / 6);
  const Matrix turns[] = {{1, 0, 0, 1}, {c30, s30, -s30, c30}, {0, -1, 1, 0}};
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"}) {
    FtFace ft(family);
    for (uint32_t ppem : {12u, 32u, 100u}) {
      FontDC f(family, -int32_t(ppem));
      for (const Matrix& t : turns) {
        MAT2 m = mat2_of(t.m11, t.m12, t.m21, t.m22);
        for (uint32_t ch = 0x21; ch < 0x7F; ++ch) {
          SCOPED_TRACE(testing::Message() << family << " " << ppem << " '" << char(ch) << "'");
          GLYPHMETRICS gm;
          std::vector<NativePolygon> polys;
          ASSERT_TRUE(parse_native(f.native(ch, m, &gm), &polys));
          // On-curve points: starts, line points, spline ends, every third cubic point.
          std::vector<PointD> ours;
          for (const NativePolygon& p : polys) {
            ours.push_back(p.start);
            ASSERT_FALSE(p.records.empty());
            const PointD last = p.records.back().points.back();
            EXPECT_EQ(last.x, p.start.x);
            EXPECT_EQ(last.y, p.start.y);
            for (const NativeRecord& r : p.records) {
              for (size_t i = 0; i < r.points.size(); ++i) {
                bool on = r.kind == TT_PRIM_LINE || i + 1 == r.points.size() ||
                          (r.kind == TT_PRIM_CSPLINE && i % 3 == 2);
                if (on) ours.push_back(r.points[i]);
              }
            }
          }
          const FT_Outline* o = ft.outline(ch, ppem);
          ASSERT_NE(o, nullptr);
          std::vector<PointD> theirs;
          for (int i = 0, c = 0; i < o->n_points; ++i) {
            while (o->contours[c] < i) ++c;
            int first = c == 0 ? 0 : o->contours[c - 1] + 1;
            if ((o->tags[i] & 1) == 0 || o->contours[c] == first) continue;  // lone points draw nothing
            double x = o->points[i].x / 64.0, y = o->points[i].y / 64.0;
            theirs.push_back({x * t.m11 + y * t.m21, x * t.m12 + y * t.m22});
          }
          auto near_one = [](const PointD& p, const std::vector<PointD>& set) {
            return std::any_of(set.begin(), set.end(), [&](const PointD& q) {
              return std::abs(p.x - q.x) <= 1 / 64.0 + 1e-9 && std::abs(p.y - q.y) <= 1 / 64.0 + 1e-9;
            });
          };
          for (const PointD& p : ours) EXPECT_TRUE(near_one(p, theirs)) << p.x << "," << p.y;
          for (const PointD& p : theirs) EXPECT_TRUE(near_one(p, ours)) << p.x << "," << p.y;
        }
      }
    }
  }
}

TEST(FontLayer, WidthsAddUpToTheAdvanceAndKerningAgreesWithFreeType) {
  FtFace ft("DejaVu Sans");
  FontDC f("DejaVu Sans", -32);
  FT_Set_Pixel_Sizes(ft.face, 0, 32);
  for (uint32_t ch = 0x20; ch < 0x7F; ++ch) {
    ABCFLOAT w;
    ASSERT_EQ(ZoPlatGetCharABCWidthsFloatA(f.dc, ch, ch, &w), 1u);
    FT_Load_Glyph(ft.face, FT_Get_Char_Index(ft.face, ch), FT_LOAD_NO_HINTING);
    EXPECT_NEAR(w.abcfA + w.abcfB + w.abcfC, ft.face->glyph->linearHoriAdvance / 65536.0, 1e-3);
    ABC wi;
    ASSERT_EQ(ZoPlatGetCharABCWidthsA(f.dc, ch, ch, &wi), 1u);
    EXPECT_NEAR(wi.abcA + int32_t(wi.abcB) + wi.abcC, w.abcfA + w.abcfB + w.abcfC, 1.0);
  }
  uint32_t n = ZoPlatGetKerningPairsA(f.dc, 0, nullptr);
  ASSERT_GT(n, 1000u);
  std::vector<KERNINGPAIR> pairs(n);
  ASSERT_EQ(ZoPlatGetKerningPairsA(f.dc, n, pairs.data()), n);
  for (uint32_t a = 0x20; a < 0x7F; ++a) {
    for (uint32_t b = 0x20; b < 0x7F; ++b) {
      FT_Vector v{0, 0};
      FT_Get_Kerning(ft.face, FT_Get_Char_Index(ft.face, a), FT_Get_Char_Index(ft.face, b),
                     FT_KERNING_UNSCALED, &v);
      auto it = std::find_if(pairs.begin(), pairs.end(),
                             [&](const KERNINGPAIR& p) { return p.wFirst == a && p.wSecond == b; });
      int32_t ours = it == pairs.end() ? 0 : it->iKernAmount;
      EXPECT_EQ(ours, int32_t(std::lround(v.x * 32.0 / 2048.0))) << char(a) << char(b);
    }
  }
}

TEST(FontLayer, MetricsBitmapsAndMissingGlyphs) {
  FontDC f("DejaVu Sans", -32);
  TEXTMETRICA tm;
  ASSERT_EQ(ZoPlatGetTextMetricsA(f.dc, &tm), 1u);
  EXPECT_EQ(tm.tmAscent, 30);  // usWinAscent 1901 / 2048 em
  EXPECT_EQ(tm.tmDescent, 8);  // usWinDescent 483
  EXPECT_EQ(tm.tmHeight, 38);
  EXPECT_EQ(tm.tmInternalLeading, 6);
  OUTLINETEXTMETRICA otm;
  ASSERT_EQ(ZoPlatGetOutlineTextMetricsA(f.dc, sizeof otm, &otm), sizeof otm);
  EXPECT_GT(otm.otmsStrikeoutPosition, 0);
  EXPECT_LT(otm.otmsUnderscorePosition, 0);
  EXPECT_GT(otm.otmsUnderscoreSize, 0);

  // Hinted bitmaps: 1-bit rows padded to 4 bytes, grey levels up to 64; ink where the
  // outline is.
  const MAT2 identity = mat2_of(1, 0, 0, 1);
  GLYPHMETRICS gm;
  uint32_t size = ZoPlatGetGlyphOutlineA(f.dc, 'H', GGO_BITMAP, &gm, 0, nullptr, &identity);
  ASSERT_EQ(size, gm.gmBlackBoxY * ((gm.gmBlackBoxX + 31) / 32 * 4));
  std::vector<uint8_t> bits(size);
  ASSERT_EQ(ZoPlatGetGlyphOutlineA(f.dc, 'H', GGO_BITMAP, &gm, size, bits.data(), &identity), size);
  EXPECT_EQ(bits[0] & 0x80, 0x80);  // the left stem starts at the box's corner
  uint32_t greySize = ZoPlatGetGlyphOutlineA(f.dc, 'o', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
  std::vector<uint8_t> grey(greySize);
  ZoPlatGetGlyphOutlineA(f.dc, 'o', GGO_GRAY8_BITMAP, &gm, greySize, grey.data(), &identity);
  EXPECT_EQ(*std::max_element(grey.begin(), grey.end()), 64);
  EXPECT_EQ(ZoPlatGetGlyphOutlineA(f.dc, ' ', GGO_BITMAP, &gm, 0, nullptr, &identity), 0u);

  // 0x81 is undefined in code page 1252; Shift-JIS hiragana is not in DejaVu.
  EXPECT_EQ(ZoPlatGetGlyphOutlineA(f.dc, 0x81, GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
  FontDC jp("DejaVu Sans", -32, 128);
  EXPECT_EQ(ZoPlatGetGlyphOutlineA(jp.dc, 0x82A0, GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
  EXPECT_NE(ZoPlatGetGlyphOutlineA(jp.dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
  // Cyrillic through code page 1251.
  FontDC ru("DejaVu Sans", -32, 204);
  EXPECT_NE(ZoPlatGetGlyphOutlineA(ru.dc, 0xC4, GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
  // A cell height: ascent + descent equal the request.
  FontDC cell("DejaVu Sans", 38);
  ASSERT_EQ(ZoPlatGetTextMetricsA(cell.dc, &tm), 1u);
  EXPECT_EQ(tm.tmHeight, 38);
}

TEST(FontLayer, CharacterSetsLeadBytesAndCharNext) {
  const uint32_t table[][2] = {{0, 1252},   {2, 42},     {77, 10000}, {128, 932},  {129, 949},
                               {130, 1361}, {134, 936},  {136, 950},  {161, 1253}, {162, 1254},
                               {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
                               {222, 874},  {238, 1250}, {255, 437}};
  for (const auto& e : table) {
    CHARSETINFO ci;
    ASSERT_EQ(ZoPlatTranslateCharsetInfo(e[0], &ci, TCI_SRCCHARSET), 1u);
    EXPECT_EQ(ci.ciACP, e[1]);
    ASSERT_EQ(ZoPlatTranslateCharsetInfo(e[1], &ci, TCI_SRCCODEPAGE), 1u);
    EXPECT_EQ(ci.ciCharset, e[0]);
  }
  CHARSETINFO ci;
  EXPECT_EQ(ZoPlatTranslateCharsetInfo(1, &ci, TCI_SRCCHARSET), 0u);
  EXPECT_EQ(ZoPlatTranslateCharsetInfo(0, nullptr, TCI_SRCCHARSET), 0u);

  struct Range {
    uint32_t page, lo, hi;
  };
  const Range leads[] = {{932, 0x81, 0x9F}, {932, 0xE0, 0xFC}, {936, 0x81, 0xFE},
                         {949, 0x81, 0xFE}, {950, 0x81, 0xFE}, {1361, 0x84, 0xD3},
                         {1361, 0xD8, 0xDE}, {1361, 0xE0, 0xF9}};
  for (uint32_t page : {932u, 936u, 949u, 950u, 1361u, 1252u, 874u}) {
    for (uint32_t b = 0; b < 256; ++b) {
      bool lead = std::any_of(std::begin(leads), std::end(leads), [&](const Range& r) {
        return r.page == page && b >= r.lo && b <= r.hi;
      });
      EXPECT_EQ(ZoPlatIsDBCSLeadByteEx(page, uint8_t(b)), lead ? 1u : 0u) << page << " " << b;
    }
  }
  const char text[] = "\x82\xA0" "a\x82";
  EXPECT_EQ(ZoPlatCharNextExA(932, text, 0), text + 2);
  EXPECT_EQ(ZoPlatCharNextExA(932, text + 2, 0), text + 3);
  EXPECT_EQ(ZoPlatCharNextExA(932, text + 3, 0), text + 4);  // a lead byte before the NUL
  EXPECT_EQ(ZoPlatCharNextExA(932, text + 4, 0), text + 4);  // stays on the NUL
  EXPECT_EQ(ZoPlatCharNextExA(1252, text, 0), text + 1);
}

TEST(FontLayer, FailureSwitchAndLiveCounts) {
  uint32_t fonts0, dcs0;
  ZoPlatFontLiveCounts(&fonts0, &dcs0);
  EXPECT_EQ(ZoPlatCreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);
  {
    FontDC f("DejaVu Sans", -20);
    uint32_t fonts, dcs;
    ZoPlatFontLiveCounts(&fonts, &dcs);
    EXPECT_EQ(fonts, fonts0 + 1);
    EXPECT_EQ(dcs, dcs0 + 1);
    TEXTMETRICA tm;
    ASSERT_EQ(ZoPlatFailFontCall("GetTextMetricsA", 2), 1u);
    EXPECT_EQ(ZoPlatGetTextMetricsA(f.dc, &tm), 1u);
    EXPECT_EQ(ZoPlatGetTextMetricsA(f.dc, &tm), 0u);
    EXPECT_EQ(ZoPlatGetTextMetricsA(f.dc, &tm), 1u);
    EXPECT_EQ(ZoPlatFailFontCall("NoSuchCall", 1), 0u);
    ZoPlatFailFontCall("CreateDCA", 1);
    EXPECT_EQ(ZoPlatCreateDCA("DISPLAY", nullptr, nullptr, nullptr), nullptr);
    // Emptied caches: the font finds its face again.
    ZoPlatFontFlushCaches();
    EXPECT_EQ(ZoPlatGetTextMetricsA(f.dc, &tm), 1u);
  }
  uint32_t fonts, dcs;
  ZoPlatFontLiveCounts(&fonts, &dcs);
  EXPECT_EQ(fonts, fonts0);
  EXPECT_EQ(dcs, dcs0);
}

}  // namespace
