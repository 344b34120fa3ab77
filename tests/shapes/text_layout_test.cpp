// Rich-text layout and single-font text through the public calls: measuring, lines, limits,
// alignment, vertical text, bars, flags, double-byte text, bad input, and the failure sweeps
// (allocations and every font service).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "alloc_sweep.hpp"
#include "font_oracle.hpp"
#include "test_support.hpp"
#include "text_helpers.hpp"

using namespace zo_test;

namespace {

class TextLayout : public ZoTest {
 protected:
  void TearDown() override {
    for (const char* s : kServices) ZoPlatFailFontCall(s, 0);
    ZoTest::TearDown();
  }
  static constexpr const char* kServices[] = {
      "CreateDCA", "CreateFontIndirectA", "GetTextMetricsA", "GetOutlineTextMetricsA",
      "GetGlyphOutlineA", "GetCharABCWidthsFloatA", "GetCharABCWidthsA", "GetKerningPairsA",
      "TranslateCharsetInfo"};
};

RectDB bounds_of(ZoPath* head) {
  RectDB r{};
  ZoPathGetDoubleRectNoMargin(head, &r, 0);
  return r;
}

uint32_t count_flag(ZoPath* head, uint32_t flag) {
  uint32_t n = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next) n += (p->flags & flag) == flag ? 1 : 0;
  return n;
}

TEST_F(TextLayout, MeasuringEqualsLayingOutAndLinesStackDown) {
  TextRecord rec;
  rec.add("Hello world\nsecond line\n\nfourth", 20).descent = 5;
  rec.run(0).ascent = 15;
  rec.header.lineSpacing = 3;
  ZoPath* path = nullptr;
  uint32_t lines = 0, height = 0, mLines = 0, mHeight = 0;
  double width = 0, mWidth = 0;
  ASSERT_EQ(ZoPathCreateRichEditText2(rec.get(), 0, 0, 0, &path, &lines, &height, &width), 1u);
  ASSERT_EQ(ZoPathCreateRichEditText2(rec.get(), 0, 0, 0, nullptr, &mLines, &mHeight, &mWidth), 1u);
  EXPECT_EQ(lines, 4u);
  EXPECT_EQ(mLines, lines);
  EXPECT_EQ(mHeight, height);
  EXPECT_EQ(mWidth, width);
  EXPECT_EQ(height, 4u * (3 + 5 + 20));  // spacing + descent + tallest
  RectDB box = bounds_of(path);
  EXPECT_NEAR(box.right - box.left, width, 3.0);
  EXPECT_GT(box.bottom, 3 * 28.0 - 1);  // "fourth" sits on the fourth baseline
  EXPECT_EQ(count_flag(path, ZOF_TEXT_CHAR), 26u);  // characters with ink
  delete_list(path);
  // Measuring needs both counters.
  EXPECT_EQ(ZoPathCreateRichEditText2(rec.get(), 0, 0, 0, nullptr, &mLines, nullptr, nullptr), 0u);
  // The absolute line step.
  rec.header.spacingAbsolute = 1;
  rec.header.lineSpacing = 40;
  ASSERT_EQ(ZoPathCreateRichEditText(rec.get(), 0, 0, 0, nullptr, &mLines, &mHeight), 1u);
  EXPECT_EQ(mHeight, 4u * 40);
}

TEST_F(TextLayout, WrappingAtTheWidthStopsAtTheHeightAndAligns) {
  const char* text = "the quick brown fox jumps over the lazy dog again and again";
  TextRecord rec;
  rec.add(text, 16).descent = 4;
  uint32_t lines = 0;
  double width = 0;
  ZoPath* wrapped = lay_out(rec, 0, 120, 1000, &lines, &width);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_GT(lines, 3u);
  EXPECT_LE(width, 120.0);
  EXPECT_LE(bounds_of(wrapped).right, 120.0);
  uint32_t few = 0;
  ZoPath* cut = lay_out(rec, 0, 120, 45, &few);  // lines are 20 apart: two fit
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(few, 3u);  // the third line ends the layout
  EXPECT_LT(count_flag(cut, ZOF_TEXT_CHAR), count_flag(wrapped, ZOF_TEXT_CHAR));
  // Alignment moves each line by the widest's width minus its own (1) or half of that (2):
  // every subpath moves along x only, the widest line not at all.
  std::vector<std::vector<int64_t>> shifts;
  for (uint32_t align : {1u, 2u}) {
    rec.header.alignment = align;
    ZoPath* aligned = lay_out(rec, 0, 120, 1000);
    std::vector<int64_t> d;
    ZoPath* a = aligned;
    for (ZoPath* w = wrapped; w != nullptr && a != nullptr; w = w->next, a = a->next) {
      ASSERT_EQ(a->count, w->count);
      int64_t dx = int64_t(ZoPathNodes(a)[0].pt.x) - ZoPathNodes(w)[0].pt.x;
      for (uint32_t i = 0; i < a->count; ++i) {
        EXPECT_EQ(int64_t(ZoPathNodes(a)[i].pt.x) - ZoPathNodes(w)[i].pt.x, dx);
        EXPECT_EQ(int32_t(ZoPathNodes(a)[i].pt.y), int32_t(ZoPathNodes(w)[i].pt.y));
      }
      d.push_back(dx);
    }
    shifts.push_back(d);
    delete_list(aligned);
  }
  EXPECT_EQ(*std::min_element(shifts[0].begin(), shifts[0].end()), 0);
  EXPECT_GT(*std::max_element(shifts[0].begin(), shifts[0].end()), 65536 * 5);
  for (size_t i = 0; i < shifts[0].size(); ++i) EXPECT_NEAR(shifts[1][i], shifts[0][i] / 2.0, 1.0);
  rec.header.alignment = 0;
  // Limits of one pixel: one word a line, nothing beyond the first line's height.
  ZoPath* tiny = lay_out(rec, 0, 1, 1, &lines);
  EXPECT_EQ(lines, 1u);
  delete_list(tiny);
  delete_list(wrapped);
  delete_list(cut);
}

TEST_F(TextLayout, VerticalTextRunsDownInColumnsFromRightToLeft) {
  TextRecord rec;
  rec.add("AB\nC", 30).descent = 7;
  rec.header.vertical = 1;
  ZoPath* path = lay_out(rec);
  ASSERT_NE(path, nullptr);
  std::vector<RectDB> boxes;
  for (ZoPath* p = path; p != nullptr; p = p->next) {
    if ((p->flags & ZOF_TEXT_CHAR) != 0) boxes.push_back(box_of(p));
  }
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_GT(boxes[1].top, boxes[0].bottom - 1);  // B below A
  EXPECT_LT(boxes[2].right, boxes[0].left);      // C in the next column, to the left
  delete_list(path);
}

TEST_F(TextLayout, BarsFlagsAndColourPieces) {
  TextRecord rec;
  richTextRun& a = rec.add("Ab", 32);
  a.style = ZORUN_UNDERLINE | ZORUN_STRIKEOUT;
  a.descent = 8;
  a.colour = 0xFF;
  richTextRun& b = rec.add("cd", 32);
  b.style = ZORUN_OUTLINED;
  b.colour = 0xFF;
  richTextRun& c = rec.add("e", 32);
  c.colour = 0xFF00;
  ZoPath* path = lay_out(rec);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(count_flag(path, ZOF_TEXT_CHAR | ZOF_RICH_BAR), 2u);
  EXPECT_EQ(count_flag(path, ZOF_COLOR_PIECE), 2u);  // the first piece and the green one
  uint32_t outlined = 0;
  for (ZoPath* p = path; p != nullptr; p = p->next) outlined += (p->flags & ZOF_TEXT_STYLE) ? 1 : 0;
  EXPECT_GE(outlined, 3u);  // c (one contour), d (two)
  // The underline from the outline metrics: below the baseline (y = -0.5 after the move).
  ZoPath* bar = path;
  while ((bar->flags & ZOF_RICH_BAR) == 0) bar = bar->next;
  EXPECT_EQ(bar->count, 5u);
  EXPECT_EQ(uint16_t(ZoPathNodes(bar)[4].type), PT_LINETO | PT_CLOSEFIGURE);
  RectDB underline = box_of(bar);
  EXPECT_GT(underline.top, 0.0);
  delete_list(path);
  // Without outline metrics the bars use the run's height and descent: the underline at
  // -(32 - 8), thickness 8 / 3.
  ZoPlatFailFontCall("GetOutlineTextMetricsA", 1);
  path = lay_out(rec);
  bar = path;
  while ((bar->flags & ZOF_RICH_BAR) == 0) bar = bar->next;
  underline = box_of(bar);
  EXPECT_NEAR(underline.top, -24.0, 1e-4);
  EXPECT_NEAR(underline.bottom, -24.0 + 8.0 / 3, 1e-4);
  delete_list(path);
  // Ascent and descent come from the font when both are zero.
  EXPECT_EQ(rec.run(1).ascent, 30);
  EXPECT_EQ(rec.run(1).descent, 8);
}

TEST_F(TextLayout, DoubleByteTextAndMissingGlyphs) {
  TextRecord rec;
  // Two hiragana (not in DejaVu: each becomes "$") and a Latin letter, Shift-JIS.
  rec.add("\x82\xA0\x82\xA2" "A", 24).charset = 128;
  ZoPath* path = lay_out(rec);
  TextRecord dollars;
  dollars.add("$$A", 24);
  ZoPath* expected = lay_out(dollars);
  ASSERT_TRUE(path && expected);
  auto a = subpaths_of(path), b = subpaths_of(expected);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].nodes.size(), b[i].nodes.size());
  delete_list(path);
  delete_list(expected);
  // A lead byte at the end of the text is a character of its own.
  TextRecord lone;
  lone.add("A\x82", 24).charset = 128;
  path = lay_out(lone);
  EXPECT_NE(path, nullptr);
  delete_list(path);
}

TEST_F(TextLayout, BadInputGivesAClearFailure) {
  uint32_t lines = 0, height = 0;
  ZoPath* path = nullptr;
  EXPECT_EQ(ZoPathCreateRichEditText2(nullptr, 0, 0, 0, &path, &lines, &height, nullptr), 0u);
  TextRecord none;
  EXPECT_EQ(ZoPathCreateRichEditText2(none.get(), 0, 0, 0, &path, &lines, &height, nullptr), 0u);
  for (int32_t h : {0, -4, 10001}) {
    TextRecord rec;
    rec.add("x", h);
    EXPECT_EQ(lay_out(rec), nullptr) << h;
  }
  for (float r : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    TextRecord rec;
    rec.add("x", 12).rotation = r;
    EXPECT_EQ(lay_out(rec), nullptr);
  }
  EXPECT_EQ(reports().size(), 6u);
  // A run without text is skipped; a face name filling all 32 bytes is read to 31.
  TextRecord rec;
  rec.add(nullptr, 12);
  richTextRun& named = rec.add("x", 12);
  std::memset(named.faceName, 'Q', sizeof named.faceName);
  rec.add("y", 12).charset = 77777;  // unknown set: code page 1252
  path = lay_out(rec);
  EXPECT_EQ(count_flag(path, ZOF_TEXT_CHAR), 2u);
  delete_list(path);
  // Single-font text.
  EXPECT_EQ(ZoPathCreateText(nullptr, nullptr, nullptr, &path, nullptr), nullptr);
}

TEST_F(TextLayout, SingleFontTextLinesBarsAndMask) {
  FontDC f("DejaVu Serif", -24, 0, 1);
  TextOptions o{};
  o.italic = 1;
  o.underline = 1;
  o.antiAlias = 1;
  char text[] = "Ab\tc\r\nline two\r\n\r\n";
  ZoPath* path = nullptr;
  RECT rect{};
  uint8_t* mask = ZoPathCreateText(f.dc, text, &o, &path, &rect);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(o.italic, 0u);
  EXPECT_EQ(count_flag(path, ZOF_TEXT_LINE), 2u);  // the trailing empty line is dropped
  EXPECT_EQ(trace_text(), "Enter FontOutlineToPSPath\nEnter FontOutlineToPSPath\n");
  // The mask is ZoPathToBuf's of the path at 150 / height.
  TEXTMETRICA tm;
  ZoPlatGetTextMetricsA(f.dc, &tm);
  RECT* rects = nullptr;
  uint8_t** bufs = nullptr;
  ASSERT_EQ(ZoPathToBuf(path, 8, 0, 1, 0, uint32_t(DbToFix(150.0 / tm.tmHeight)), &rects, &bufs, 0), 1u);
  EXPECT_EQ(std::memcmp(&rects[0], &rect, sizeof rect), 0);
  EXPECT_EQ(ZoPathBufSize(bufs[0]), ZoPathBufSize(mask));
  EXPECT_EQ(std::memcmp(bufs[0], mask, ZoPathBufSize(mask) - 12), 0);
  ZoPathBufFree(bufs[0]);
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(bufs));
  ZoPathBufFree(mask);
  // A tab is a space: the same nodes.
  o.outputMode = ZOTEXT_PATH_ONLY;
  o.underline = 0;
  char tab[] = "A\tb", space[] = "A b";
  ZoPath* p1 = nullptr;
  ZoPath* p2 = nullptr;
  EXPECT_EQ(ZoPathCreateText(f.dc, tab, &o, &p1, nullptr), nullptr);
  EXPECT_EQ(ZoPathCreateText(f.dc, space, &o, &p2, nullptr), nullptr);
  ASSERT_TRUE(p1 && p2);
  auto a = subpaths_of(p1), b = subpaths_of(p2);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_EQ(std::memcmp(a[i].nodes.data(), b[i].nodes.data(), a[i].nodes.size() * 10), 0);
  delete_list(p1);
  delete_list(p2);
  delete_list(path);
  // Lines move down by the font height (left for vertical text); 1002 centres each line on
  // the widest.
  char two[] = "WWW\r\nWWWWWW";
  for (uint32_t vertical : {0u, 1u}) {
    o.vertical = vertical;
    double unaligned = 0;
    for (uint32_t align : {0u, 1002u}) {
      o.alignment = align;
      ASSERT_EQ(ZoPathCreateText(f.dc, two, &o, &path, nullptr), nullptr);
      ZoPath* second = path;
      while ((second->next->flags & ZOF_TEXT_LINE) == 0) second = second->next;
      second = second->next;
      RectDB first = box_of(path), last = box_of(second);
      double step = vertical != 0 ? first.left - last.left : last.top - first.top;
      EXPECT_NEAR(step, tm.tmHeight, 1.0);
      double along = vertical != 0 ? first.top : first.left;
      if (align != 0) {
        EXPECT_GT(along - unaligned, 30.0);  // half of three W advances
      }
      unaligned = along;
      delete_list(path);
    }
  }
  o.vertical = o.alignment = 0;
  // 2048 lines: the last is left out.
  std::string many;
  for (int i = 0; i < 2048; ++i) many += "x\r\n";
  ASSERT_EQ(ZoPathCreateText(f.dc, many.data(), &o, &path, nullptr), nullptr);
  EXPECT_EQ(count_flag(path, ZOF_TEXT_LINE), 2047u);
  delete_list(path);
}

TEST_F(TextLayout, FailureSweepsLeaveNothingBehind) {
  static TextRecord rec;
  rec = TextRecord{};
  rec.add("Wave To", 20).style = ZORUN_UNDERLINE;
  rec.run(0).kerning = 1;
  rec.add("\x82\xA0x", 14).charset = 128;
  FontDC context("DejaVu Serif", -18);
  FontDC* font = &context;
  auto layout = [](uint32_t fixed, uint32_t w, uint32_t h) {
    return [=] {
      ZoPath** out = new ZoPath*(nullptr);
      return Scenario{
          [=] { return ZoPathCreateRichEditText2(rec.get(), fixed, w, h, out, nullptr, nullptr, nullptr) == 1; },
          [] { return std::string(reinterpret_cast<const char*>(&rec), sizeof rec); },
          [=] {
            delete_list(*out);
            delete out;
          }};
    };
  };
  auto single = [font] {
    ZoPath** out = new ZoPath*(nullptr);
    RECT* r = new RECT{};
    uint8_t** mask = new uint8_t*(nullptr);
    return Scenario{[=] {
                      TextOptions o{};  // path only: the mask is the rasteriser's
                      o.underline = 1;
                      o.outputMode = ZOTEXT_PATH_ONLY;
                      char text[] = "Hi\r\nyou";
                      *mask = ZoPathCreateText(font->dc, text, &o, out, r);
                      return *out != nullptr;
                    },
                    [] { return std::string(); },
                    [=] {
                      ZoPathBufFree(*mask);
                      delete_list(*out);
                      delete out, delete r, delete mask;
                    }};
  };
  run_alloc_sweep({{"rich text", true, layout(0, 0, 0)},
                   {"rich text fixed, wrapped", true, layout(1, 60, 200)},
                   {"single-font text", true, single}});

  // Every font service failing at each of its calls: 0 or a result, never a leak.
  uint32_t fonts0, dcs0;
  ZoPlatFontLiveCounts(&fonts0, &dcs0);
  LiveCounts before = live_counts();
  for (const char* service : kServices) {
    for (uint32_t n = 1; n <= 12; ++n) {
      ZoPlatFailFontCall(service, n);
      ZoPath* path = nullptr;
      ZoPathCreateRichEditText2(rec.get(), 0, 0, 0, &path, nullptr, nullptr, nullptr);
      delete_list(path);
      ZoPlatFailFontCall(service, 0);
      uint32_t fonts, dcs;
      ZoPlatFontLiveCounts(&fonts, &dcs);
      EXPECT_EQ(fonts, fonts0) << service << " " << n;
      EXPECT_EQ(dcs, dcs0) << service << " " << n;
      EXPECT_TRUE(live_counts() == before) << service << " " << n << " " << live_counts().heap
                                           << " " << live_counts().mem << " " << live_counts().global;
    }
  }
}

}  // namespace
