// Text outlines against independent references: every node of a laid-out line recomputed
// here from the font layer's native records (exact 16.16 arithmetic, truncating toward
// zero), the turning point of rotated characters, the fixed outline size, and the fidelity
// of glyph paths and their masks to FreeType's own outlines and renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "font_oracle.hpp"
#include "test_support.hpp"
#include "text_helpers.hpp"

using namespace zo_test;

namespace {

int32_t i32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The nodes the converter must make from one glyph's records at pen p (horizontal text),
// then moved by `shift` (16.16) on both axes.
std::vector<Subpath> reference_glyph(const std::vector<uint8_t>& buf, double p, int32_t shift) {
  std::vector<Subpath> out;
  const int64_t pen = int64_t(p * 65536.0);  // truncation toward zero
  auto pt = [&](const uint8_t* q) { return Ptfx{int32_t(i32(q) + pen), -i32(q + 4)}; };
  auto div = [](int64_t a, int64_t b) { return int32_t(a / b); };  // C++ truncates toward zero
  for (size_t at = 0; at < buf.size();) {
    uint32_t cb = uint32_t(i32(&buf[at]));
    Subpath s{0, {}};
    Ptfx start = pt(&buf[at + 8]), cur = start;
    s.nodes.push_back({PT_MOVETO, start});
    for (size_t r = at + 16; r < at + cb;) {
      uint16_t kind, n;
      std::memcpy(&kind, &buf[r], 2);
      std::memcpy(&n, &buf[r + 2], 2);
      const uint8_t* q = &buf[r + 4];
      if (kind == TT_PRIM_QSPLINE) {
        for (int i = 0; i + 1 < n; ++i) {
          Ptfx c = pt(q + 8 * i), next = pt(q + 8 * (i + 1));
          bool last = i + 2 == n;
          Ptfx end = last ? next : Ptfx{div(int64_t(c.x) + next.x, 2), div(int64_t(c.y) + next.y, 2)};
          s.nodes.push_back({PT_BEZIERTO, {div(cur.x + 2 * int64_t(c.x), 3), div(cur.y + 2 * int64_t(c.y), 3)}});
          s.nodes.push_back({PT_BEZIERTO, {div(end.x + 2 * int64_t(c.x), 3), div(end.y + 2 * int64_t(c.y), 3)}});
          s.nodes.push_back({uint16_t(last ? PT_BEZIERTO : 0x2004), end});
          cur = end;
        }
      } else {
        for (int i = 0; i < n; ++i) {
          cur = pt(q + 8 * i);
          s.nodes.push_back({uint16_t(kind == TT_PRIM_LINE ? PT_LINETO : PT_BEZIERTO), cur});
        }
      }
      r += 4 + 8u * n;
    }
    if (cur.x == start.x && cur.y == start.y) s.nodes.back().type |= PT_CLOSEFIGURE;
    else s.nodes.push_back({PT_LINETO | PT_CLOSEFIGURE, start});
    for (PathNode& node : s.nodes) node.pt = Ptfx{node.pt.x + shift, node.pt.y + shift};
    out.push_back(s);
    at += cb;
  }
  if (!out.empty()) out[0].flags = ZOF_TEXT_CHAR;
  return out;
}

int32_t first_kerning(HDC dc, uint8_t a, uint8_t b) {
  uint32_t n = ZoPlatGetKerningPairsA(dc, 0, nullptr);
  std::vector<KERNINGPAIR> pairs(n);
  ZoPlatGetKerningPairsA(dc, n, pairs.data());
  for (const KERNINGPAIR& k : pairs)
    if (k.wFirst == a && k.wSecond == b) return k.iKernAmount;
  return 0;
}

class TextOutline : public ZoTest {};

TEST_F(TextOutline, EveryNodeEqualsTheIndependentConversionWithKerningAndSpacing) {
  // Quadratic runs of 2, 3 and more points, negative image y everywhere, kerning pairs
  // (AV, Wa, To), negative spacing larger than some advances.
  const char* text = "AVo Wafer, To@Q;|";
  for (int32_t spacing : {0, 3, -30}) {
    SCOPED_TRACE(spacing);
    TextRecord rec;
    richTextRun& run = rec.add(text, 32);
    run.kerning = 1;
    run.spacing = spacing;
    ZoPath* path = lay_out(rec);
    ASSERT_NE(path, nullptr);
    FontDC f("DejaVu Sans", -32);
    const MAT2 id = mat2_of(1, 0, 0, 1);
    std::vector<Subpath> expected;
    double p = 0;
    for (size_t i = 0; text[i] != '\0'; ++i) {
      uint8_t ch = uint8_t(text[i]);
      for (const Subpath& s : reference_glyph(f.native(ch, id), p, -32768)) expected.push_back(s);
      double w = f.advance(ch);
      int32_t k = text[i + 1] != '\0' ? first_kerning(f.dc, ch, uint8_t(text[i + 1])) : 0;
      p += std::max(0.0, w + k + spacing);
    }
    std::vector<Subpath> got = subpaths_of(path);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].flags, expected[i].flags | (i == 0 ? ZOF_COLOR_PIECE : 0u)) << i;
      ASSERT_EQ(got[i].nodes.size(), expected[i].nodes.size()) << i;
      for (size_t j = 0; j < got[i].nodes.size(); ++j) {
        EXPECT_EQ(uint16_t(got[i].nodes[j].type), uint16_t(expected[i].nodes[j].type)) << i << ":" << j;
        EXPECT_EQ(int32_t(got[i].nodes[j].pt.x), int32_t(expected[i].nodes[j].pt.x)) << i << ":" << j;
        EXPECT_EQ(int32_t(got[i].nodes[j].pt.y), int32_t(expected[i].nodes[j].pt.y)) << i << ":" << j;
      }
    }
    delete_list(path);
  }
}

TEST_F(TextOutline, RotatedCharactersTurnAboutTheMiddleOfTheirAdvance) {
  FontDC f("DejaVu Sans", -40);
  OUTLINETEXTMETRICA otm;
  ASSERT_NE(ZoPlatGetOutlineTextMetricsA(f.dc, sizeof otm, &otm), 0u);
  for (float degrees : {30.0f, -90.0f, 135.0f}) {
    TextRecord plain, turned;
    plain.add("H", 40);
    turned.add("H", 40).rotation = degrees;
    ZoPath* a = lay_out(plain);
    ZoPath* b = lay_out(turned);
    ASSERT_TRUE(a && b);
    // Turning the upright glyph about (w/2, -c) by the run's angle gives the turned glyph.
    double w = f.advance('H'), c = otm.otmsStrikeoutPosition, t = -degrees * M_PI / 180;
    double cx = w / 2 - 0.5, cy = -c - 0.5;  // the -0.5 move applies to both
    auto na = subpaths_of(a), nb = subpaths_of(b);
    ASSERT_EQ(na.size(), nb.size());
    for (size_t i = 0; i < na.size(); ++i) {
      ASSERT_EQ(na[i].nodes.size(), nb[i].nodes.size());
      for (size_t j = 0; j < na[i].nodes.size(); ++j) {
        double x = na[i].nodes[j].pt.x / 65536.0 - cx, y = na[i].nodes[j].pt.y / 65536.0 - cy;
        EXPECT_NEAR(nb[i].nodes[j].pt.x / 65536.0, cx + std::cos(t) * x + std::sin(t) * y, 0.01);
        EXPECT_NEAR(nb[i].nodes[j].pt.y / 65536.0, cy - std::sin(t) * x + std::cos(t) * y, 0.01);
      }
    }
    delete_list(a);
    delete_list(b);
  }
}

TEST_F(TextOutline, FixedOutlineSizeIsTheConversionAt128PixelsScaled) {
  TextRecord rec;
  rec.add("Sg", 12);
  ZoPath* path = lay_out(rec, 1);
  ASSERT_NE(path, nullptr);
  FontDC f("DejaVu Sans", -128);
  const MAT2 id = mat2_of(1, 0, 0, 1);
  std::vector<Subpath> expected = reference_glyph(f.native('S', id), 0, 0);
  for (const Subpath& s : reference_glyph(f.native('g', id), f.advance('S'), 0)) expected.push_back(s);
  std::vector<Subpath> got = subpaths_of(path);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].nodes.size(), expected[i].nodes.size());
    for (size_t j = 0; j < got[i].nodes.size(); ++j) {
      EXPECT_NEAR(double(got[i].nodes[j].pt.x), expected[i].nodes[j].pt.x * (12.0 / 128), 1.0);
      EXPECT_NEAR(double(got[i].nodes[j].pt.y), expected[i].nodes[j].pt.y * (12.0 / 128), 1.0);
    }
  }
  delete_list(path);
}

// A point of the cubic of nodes a, b, c, d at t.
PointD cubic_at(PointD a, PointD b, PointD c, PointD d, double t) {
  double u = 1 - t;
  return {u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
          u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y};
}

// Distance from p to FreeType's outline (conic and line segments, densely sampled).
double distance_to(const FT_Outline& o, double penX, PointD p) {
  double best = 1e9;
  auto at = [&](int i) { return PointD{o.points[i].x / 64.0 + penX, -o.points[i].y / 64.0}; };
  int first = 0;
  for (int c = 0; c < o.n_contours; first = o.contours[c++] + 1) {
    int n = o.contours[c] - first + 1;
    for (int k = 0; k < n; ++k) {
      int i = first + k, j = first + (k + 1) % n, m = first + (k + 2) % n;
      bool onI = o.tags[i] & 1, onJ = o.tags[j] & 1;
      PointD a = at(i), b = at(j);
      for (int s = 0; s <= 64; ++s) {
        double t = s / 64.0;
        PointD q;
        if (onJ) {
          if (!onI) continue;  // covered as the end of a conic
          q = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        } else {
          PointD start = onI ? a : PointD{(a.x + b.x) / 2, (a.y + b.y) / 2};
          PointD nxt = at(m);
          PointD end = (o.tags[m] & 1) ? nxt : PointD{(b.x + nxt.x) / 2, (b.y + nxt.y) / 2};
          double u = 1 - t;
          q = {u * u * start.x + 2 * u * t * b.x + t * t * end.x,
               u * u * start.y + 2 * u * t * b.y + t * t * end.y};
        }
        best = std::min(best, std::hypot(q.x - p.x, q.y - p.y));
      }
    }
  }
  return best;
}

TEST_F(TextOutline, GlyphPathsLieOnFreeTypesOutlines) {
  for (uint32_t ppem : {12u, 100u}) {
    FtFace ft("DejaVu Sans");
    for (char ch : std::string("aQ&gS@8")) {
      const char text[2] = {ch, 0};
      TextRecord rec;
      rec.add(text, int32_t(ppem));
      ZoPath* path = lay_out(rec);
      ASSERT_NE(path, nullptr);
      FT_Set_Pixel_Sizes(ft.face, 0, ppem);
      FT_Load_Glyph(ft.face, FT_Get_Char_Index(ft.face, uint8_t(ch)), FT_LOAD_NO_HINTING);
      const FT_Outline& o = ft.face->glyph->outline;
      double worst = 0;
      for (const Subpath& s : subpaths_of(path)) {
        auto pd = [&](size_t i) {  // undo the -0.5 move
          return PointD{s.nodes[i].pt.x / 65536.0 + 0.5, s.nodes[i].pt.y / 65536.0 + 0.5};
        };
        for (size_t i = 1; i < s.nodes.size();) {
          bool bez = (s.nodes[i].type & 0xE) == PT_BEZIERTO;
          for (int k = 0; k < 32; ++k) {
            double t = k / 32.0;
            PointD q = bez ? cubic_at(pd(i - 1), pd(i), pd(i + 1), pd(i + 2), t)
                           : PointD{pd(i - 1).x + (pd(i).x - pd(i - 1).x) * t,
                                    pd(i - 1).y + (pd(i).y - pd(i - 1).y) * t};
            worst = std::max(worst, distance_to(o, 0, q));
          }
          i += bez ? 3 : 1;
        }
      }
      EXPECT_LE(worst, 1 / 64.0 + 2 / 65536.0) << ch << " at " << ppem;
      delete_list(path);
    }
  }
}

TEST_F(TextOutline, MasksMatchFreeTypesRendererOnAverage) {
  FtFace ft("DejaVu Sans");
  FT_Set_Pixel_Sizes(ft.face, 0, 48);
  for (char ch : std::string("aQg@")) {
    const char text[2] = {ch, 0};
    TextRecord rec;
    rec.add(text, 48);
    ZoPath* path = lay_out(rec);
    ASSERT_NE(path, nullptr);
    RECT* rects = nullptr;
    uint8_t** bufs = nullptr;
    ASSERT_EQ(ZoPathToBuf(path, 8, 0, 1, 0, 0x10000, &rects, &bufs, 0), 1u);
    RECT r = rects[0];
    uint32_t w = 0, h = 0;
    ZoPathBufGetWHU(bufs[0], &w, &h, nullptr);
    // FreeType's rendering of the same outline on the same pixel grid: mask pixel (0, 0) is
    // centred on (r.left, r.top); the path is the outline moved by -0.5, y negated.
    FT_Load_Glyph(ft.face, FT_Get_Char_Index(ft.face, uint8_t(ch)), FT_LOAD_NO_HINTING);
    FT_Outline& o = ft.face->glyph->outline;
    std::vector<uint8_t> theirs(size_t(w) * h, 0);
    FT_Bitmap bm{};
    bm.rows = h;
    bm.width = w;
    bm.pitch = int(w);
    bm.buffer = theirs.data();
    bm.num_grays = 256;
    bm.pixel_mode = FT_PIXEL_MODE_GRAY;
    FT_Outline_Translate(&o, -r.left * 64, (r.top + int(h)) * 64);  // row 0 on top
    FT_Raster_Params params{};
    params.target = &bm;
    params.source = &o;
    params.flags = FT_RASTER_FLAG_AA;
    ASSERT_EQ(FT_Outline_Render(ft.lib, &o, &params), 0);
    double sum = 0;
    for (size_t i = 0; i < theirs.size(); ++i) sum += std::abs(int(bufs[0][i]) - int(theirs[i]));
    EXPECT_LE(sum / theirs.size(), 2.0) << ch << " " << sum / theirs.size();
    ZoPathBufFree(bufs[0]);
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(bufs));
    delete_list(path);
  }
}

}  // namespace
