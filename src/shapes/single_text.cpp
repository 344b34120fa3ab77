// Single-font text: a string in the font of the caller's context, line by line, into one
// path and its mask.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "platform/fonts.hpp"
#include "platform/global_memory.hpp"
#include "platform/host_library.hpp"
#include "platform/trace.hpp"
#include "text_glyphs.hpp"

using namespace zo;
using namespace zo::text;

namespace {

constexpr uint32_t kMaxLines = 2047;
constexpr double kSmallFont = 60.0;
constexpr double kSmallFontScale = 150.0;

struct Line {
  size_t from, length;
};

// Control characters other than CR and LF become spaces; lines end at CR LF pairs.
std::vector<Line> split_lines(std::vector<char>& text) {
  std::vector<Line> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char& c = text[i];
    if (static_cast<uint8_t>(c) < 0x20 && c != '\r' && c != '\n') c = ' ';
  }
  for (size_t i = 0; i < text.size() && lines.size() < kMaxLines;) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      lines.push_back(Line{start, i - start});
      i += 2;
      start = i;
    } else {
      ++i;
    }
  }
  if (lines.size() < kMaxLines && start < text.size()) lines.push_back(Line{start, text.size() - start});
  while (!lines.empty() && lines.back().length == 0) lines.pop_back();
  return lines;
}

// A bar at the end of the line's chain, placed from the line's real rectangle.
bool add_bar(Chain* line, double factor, bool vertical) {
  RECT r{};
  if (ZoPathGetRealRect(line->head, 0x10000, &r) == 0) return true;
  double h = vertical ? double(r.right) - r.left : double(r.bottom) - r.top;
  double thickness = std::max(2.0, std::trunc(h / 10));
  ZoPath* bar;
  if (vertical) {
    double x1 = r.right - factor * h;
    bar = rectangle_subpath(x1 - thickness, r.top, x1, r.bottom, ZOF_TEXT_CHAR);
  } else {
    double y0 = r.top + factor * h;
    bar = rectangle_subpath(r.left, y0, r.right, y0 + thickness, ZOF_TEXT_CHAR);
  }
  if (bar == nullptr) return false;
  line->append(bar);
  return true;
}

uint8_t* create_text(HDC dc, char* text, TextOptions* options, ZoPath** outPath, RECT* outRect) {
  if (outPath != nullptr) *outPath = nullptr;
  if (dc == nullptr || text == nullptr || options == nullptr || outPath == nullptr) return nullptr;
  const bool pathOnly = options->outputMode == ZOTEXT_PATH_ONLY;
  if (!pathOnly && outRect == nullptr) return nullptr;
  TEXTMETRICA tm{};
  if (plat::GetTextMetricsA(dc, &tm) == 0) return nullptr;
  if (tm.tmItalic != 0) options->italic = 0;
  const bool vertical = options->vertical != 0;
  Chain all;
  try {
    std::vector<char> copy(text, text + std::strlen(text));
    std::vector<Line> lines = split_lines(copy);
    std::vector<std::pair<ZoPath*, double>> starts;  // each line's first subpath and width
    ReadSettings rs{nullptr, 1.0, identity_matrix(), tm.tmCharSet};
    for (size_t i = 0; i < lines.size(); ++i) {
      plat::trace("Enter FontOutlineToPSPath\n");
      GlyphArray* glyphs = nullptr;
      ReadResult r = read_glyphs(dc, copy.data() + lines[i].from, lines[i].length, rs, &glyphs);
      if (r == ReadResult::NoMemory) throw std::bad_alloc();
      if (r != ReadResult::Glyphs) continue;
      Chain line;
      double width = 0;
      ConvertSettings cs{nullptr, 1.0, vertical, 0, 0, 0, nullptr};
      // Line i moves down (left for vertical text) by i font heights, as its nodes are made.
      int32_t step = db_to_fix(double(i) * tm.tmHeight);
      cs.shift = vertical ? Ptfx{db_to_fix(-double(i) * tm.tmHeight), 0} : Ptfx{0, step};
      bool ok = convert_glyphs(*glyphs, cs, &line, &width);
      free_glyphs(glyphs);
      if (!ok) throw std::bad_alloc();
      if (line.head == nullptr) continue;
      line.head->flags |= ZOF_TEXT_LINE;
      if ((options->underline != 0 && !add_bar(&line, 1.05, vertical)) ||
          (options->strikeOut != 0 && !add_bar(&line, 0.55, vertical))) {
        line.release();
        throw std::bad_alloc();
      }
      starts.emplace_back(line.head, width);
      all.append(line);
    }
    if (options->alignment == ZOTEXT_ALIGN_FAR || options->alignment == ZOTEXT_ALIGN_CENTRE) {
      double widest = 0;
      for (const auto& s : starts) widest = std::max(widest, s.second);
      for (size_t i = 0; i < starts.size(); ++i) {
        double d = widest - starts[i].second;
        if (options->alignment == ZOTEXT_ALIGN_CENTRE) d /= 2;
        ZoPath* end = i + 1 < starts.size() ? starts[i + 1].first : nullptr;
        if (vertical) move_range(starts[i].first, end, 0, d);
        else move_range(starts[i].first, end, d, 0);
      }
    }
  } catch (const std::bad_alloc&) {
    all.release();
    ZO_REPORT_NO_MEMORY();
    return nullptr;
  }
  if (all.head == nullptr || pathOnly) {
    *outPath = all.head;
    return nullptr;
  }
  uint32_t scale = tm.tmHeight > 0 && tm.tmHeight < kSmallFont
                       ? static_cast<uint32_t>(db_to_fix(kSmallFontScale / tm.tmHeight))
                       : 0x10000u;
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  uint32_t n = ZoPathToBuf(all.head, 8, 0, options->antiAlias, options->rasterMode, scale, &rects,
                           &buffers, 0);
  if (n == 0) {
    all.release();
    return nullptr;
  }
  uint8_t* mask = buffers[0];
  *outRect = rects[0];
  for (uint32_t i = 1; i < n; ++i) ZoPathBufFree(buffers[i]);
  plat::global_free(reinterpret_cast<HGLOBAL>(rects));
  plat::global_free(reinterpret_cast<HGLOBAL>(buffers));
  *outPath = all.head;
  return mask;
}

}  // namespace

extern "C" {

ZO_API uint8_t* ZoPathCreateText(HDC dc, char* text, TextOptions* options, ZoPath** outPath,
                                 RECT* outRect) {
  return create_text(dc, text, options, outPath, outRect);
}

}  // extern "C"
