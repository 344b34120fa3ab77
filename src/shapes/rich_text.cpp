// Rich-text layout: runs of text, each in its own font, laid out in lines into one path.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "geometry/fixed_point.hpp"
#include "model/records.hpp"
#include "platform/fonts.hpp"
#include "platform/host_library.hpp"
#include "text_font.hpp"
#include "text_glyphs.hpp"

using namespace zo;
using namespace zo::text;

namespace {

constexpr double kPenLimit = 10005.0;
constexpr size_t kRememberedLines = 200;
constexpr int32_t kFixedOutlineHeight = 128;
constexpr int32_t kHalfPixel = -32768;  // DbToFix(-0.5)

// A piece of layout input: a run (or a word of it) and the index of the run it came from.
struct Piece {
  richTextRun run;
  int32_t source;
};

bool is_space(char c) { return c == ' '; }

// Splits every run into words: a word ends after its spaces, after a double-byte character,
// and at a line feed (which becomes a word of its own). Texts live in `storage`.
std::vector<Piece> split_words(const richText& rt, std::vector<std::string>* storage) {
  std::vector<Piece> pieces;
  for (int32_t r = 0; r < rt.runCount; ++r) {
    const richTextRun& run = rt.runs[r];
    if (run.text == nullptr) continue;
    uint32_t codePage = code_page_of_run(run);
    const char* t = run.text;
    size_t n = std::strlen(t);
    for (size_t at = 0; at < n;) {
      size_t end = at;
      if (t[at] == '\n') {
        end = at + 1;
      } else if (codePage != 0 && plat::IsDBCSLeadByteEx(codePage, uint8_t(t[at])) && t[at + 1] != '\0') {
        end = at + 2;
      } else {
        while (end < n && t[end] != '\n' && !is_space(t[end]) &&
               !(codePage != 0 && plat::IsDBCSLeadByteEx(codePage, uint8_t(t[end]))))
          ++end;
        while (end < n && is_space(t[end])) ++end;
        if (end == at) end = at + 1;
      }
      storage->emplace_back(t + at, end - at);
      at = end;
    }
  }
  // Texts are pointed at once storage stops growing.
  size_t k = 0;
  for (int32_t r = 0; r < rt.runCount; ++r) {
    const richTextRun& run = rt.runs[r];
    if (run.text == nullptr) continue;
    size_t n = std::strlen(run.text);
    for (size_t used = 0; used < n; used += (*storage)[k].size(), ++k) {
      Piece p{run, r};
      p.run.text = (*storage)[k].c_str();
      pieces.push_back(p);
    }
  }
  return pieces;
}

class Layout {
 public:
  Layout(richText* rt, bool fixed, double maxWidth, double maxHeight)
      : rt_(rt), fixed_(fixed), maxWidth_(maxWidth), maxHeight_(maxHeight),
        vertical_(rt->vertical != 0), filled_(rt->runs, rt->runs + rt->runCount) {}

  // 1 on success, 0 on failure (reported where it arose).
  uint32_t run(const std::vector<Piece>& pieces) {
    for (const Piece& piece : pieces) {
      if (stopped_) break;
      // Fonts are made without fail but for memory (faces are matched on use).
      if (!font_.select(dc_, piece.run, fixed_ ? kFixedOutlineHeight : 0, vertical_))
        return fail_no_memory();
      // Ascent and descent from the font reach the caller's record only on success.
      richTextRun& source = filled_[size_t(piece.source)];
      if (source.ascent == 0 && source.descent == 0 && font_.hasTextMetrics) {
        source.ascent = font_.tm.tmAscent;
        source.descent = font_.tm.tmDescent;
      }
      richTextRun run = piece.run;
      run.ascent = source.ascent;
      run.descent = source.descent;
      if (!lay_out_run(run)) return 0;
    }
    if (!stopped_ && (pen_ > 0 || lineHasPieces_)) end_line();
    align();
    return 1;
  }

  // Writes the ascent and descent read from the fonts into the caller's record.
  void fill_record() {
    for (size_t r = 0; r < filled_.size(); ++r) {
      rt_->runs[r].ascent = filled_[r].ascent;
      rt_->runs[r].descent = filled_[r].descent;
    }
  }

  // The information context; its failure is reported as out of memory.
  bool open() {
    dc_ = plat::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return dc_ != nullptr || fail_no_memory();
  }
  ~Layout() {
    font_.release(dc_);
    if (dc_ != nullptr) plat::DeleteDC(dc_);
    chain_.release();
  }
  ZoPath* take_path() {
    ZoPath* p = chain_.head;
    chain_ = Chain{};
    return p;
  }
  uint32_t lines() const { return lineCount_; }
  double total_height() const { return totalHeight_; }
  double widest() const { return widest_; }
  bool out_of_memory() const { return noMemory_; }

 private:
  bool lay_out_run(const richTextRun& run) {
    const char* t = run.text;
    size_t n = std::strlen(t);
    for (size_t at = 0; at <= n && !stopped_;) {
      size_t end = at;
      while (end < n && t[end] != '\n') ++end;
      note_line_metrics(run);
      if (end > at && !place_piece(run, t + at, end - at)) return false;
      if (end < n && !stopped_) end_line();
      at = end + 1;
    }
    return true;
  }

  void note_line_metrics(const richTextRun& run) {
    lineDescent_ = std::max(lineDescent_, double(run.descent) + std::max(0, run.extraLeading));
    lineTallest_ = std::max(lineTallest_, double(run.height));
  }

  double scale_of(const richTextRun& run) const {
    return fixed_ ? run.height / double(kFixedOutlineHeight) : 1.0;
  }

  // Reads and converts one piece at the pen; false only when memory runs out.
  bool convert_piece(const richTextRun& run, const char* text, size_t length, Chain* piece,
                     double* advance, bool* unreadable) {
    double s = scale_of(run);
    ReadSettings rs{&run, s, run.rotation != 0 ? rotation_matrix(run.rotation) : identity_matrix(),
                    run.charset};
    GlyphArray* glyphs = nullptr;
    ReadResult r = read_glyphs(dc_, text, length, rs, &glyphs);
    *unreadable = r != ReadResult::Glyphs;
    if (r == ReadResult::NoMemory) return fail_no_memory();
    if (r != ReadResult::Glyphs) return true;
    double centre = font_.hasOutlineMetrics
                        ? font_.otm.otmsStrikeoutPosition
                        : std::abs(double(run.height) - run.descent) / 2 / s;
    ConvertSettings cs{&run, s, vertical_, 0, pen_ / s, centre, &font_.kerning};
    if (!fixed_) {
      // The (-0.5, -0.5) move and the move to the line, made as the nodes are written.
      Ptfx line = vertical_ ? Ptfx{db_to_fix(-baseline_), 0} : Ptfx{0, db_to_fix(baseline_)};
      cs.shift = ptfx_add(Ptfx{kHalfPixel, kHalfPixel}, line);
    }
    bool ok = convert_glyphs(*glyphs, cs, piece, advance);
    free_glyphs(glyphs);
    if (!ok) return fail_no_memory();
    *advance *= s;
    if (fixed_) ZoPathSize(piece->head, s, s);
    return true;
  }

  bool place_piece(const richTextRun& run, const char* text, size_t length) {
    Chain piece;
    double advance = 0;
    bool unreadable = false;
    if (!convert_piece(run, text, length, &piece, &advance, &unreadable)) return false;
    if (unreadable) return true;
    if (maxWidth_ > 0 && pen_ > 0 && pen_ + advance > maxWidth_) {
      piece.release();
      end_line();
      if (stopped_) return true;
      if (!convert_piece(run, text, length, &piece, &advance, &unreadable)) return false;
      note_line_metrics(run);
    }
    if (pen_ + advance > kPenLimit) {
      piece.release();
      return true;
    }
    lineHasPieces_ = true;
    if (fixed_ && vertical_) move_range(piece.head, nullptr, -baseline_, 0);
    else if (fixed_) move_range(piece.head, nullptr, 0, baseline_);
    for (ZoPath* p = piece.head; p != nullptr; p = p->next)
      if ((run.style & ZORUN_OUTLINED) != 0) p->flags |= ZOF_TEXT_STYLE;
    ZoPath* first = piece.head;
    if (advance != 0 && !add_bars(run, advance, &piece)) {
      piece.release();
      return false;
    }
    if (first == nullptr) first = piece.head;  // bars only
    if (first != nullptr) {
      if (!hasColour_ || run.colour != colour_) first->flags |= ZOF_COLOR_PIECE;
      hasColour_ = true;
      colour_ = run.colour;
      if (lineFirst_ == nullptr) lineFirst_ = first;
    }
    chain_.append(piece);
    pen_ += advance;
    return true;
  }

  bool add_bars(const richTextRun& run, double advance, Chain* piece) {
    const double s = fixed_ ? scale_of(run) : 1.0;
    const uint32_t flags = ZOF_TEXT_CHAR | ZOF_RICH_BAR |
                           ((run.style & ZORUN_OUTLINED) != 0 ? ZOF_TEXT_STYLE : 0);
    const double fallback = std::abs(double(run.height) - run.descent);
    for (uint8_t bit : {uint8_t(ZORUN_UNDERLINE), uint8_t(ZORUN_STRIKEOUT)}) {
      if ((run.style & bit) == 0) continue;
      bool strike = bit == ZORUN_STRIKEOUT;
      double pos, size;
      if (font_.hasOutlineMetrics) {
        pos = (strike ? font_.otm.otmsStrikeoutPosition : font_.otm.otmsUnderscorePosition) * s;
        size = double(strike ? int32_t(font_.otm.otmsStrikeoutSize) : font_.otm.otmsUnderscoreSize) * s;
      } else {
        pos = strike ? fallback / 2 : fallback;
        size = run.descent / 3.0;
      }
      ZoPath* bar;
      if (vertical_) {
        double x0 = strike ? pos - size : -pos - size, x1 = strike ? pos : -pos;
        bar = rectangle_subpath(x0 - baseline_, pen_, x1 - baseline_, pen_ + advance, flags);
      } else {
        bar = rectangle_subpath(pen_, baseline_ - pos, pen_ + advance, baseline_ - pos + size, flags);
      }
      if (bar == nullptr) return fail_no_memory();
      piece->append(bar);
    }
    return true;
  }

  void end_line() {
    double step = rt_->spacingAbsolute != 0
                      ? rt_->lineSpacing
                      : std::max(0.0, rt_->lineSpacing + lineDescent_ + lineTallest_);
    if (lineWidths_.size() < kRememberedLines) {
      lineWidths_.push_back(pen_);
      lineStarts_.push_back(lineFirst_);
    }
    widest_ = std::max(widest_, pen_);
    ++lineCount_;
    totalHeight_ += step;
    baseline_ += step;
    if (maxHeight_ > 0 && baseline_ > maxHeight_) stopped_ = true;
    pen_ = 0;
    lineDescent_ = lineTallest_ = 0;
    lineFirst_ = nullptr;
    lineHasPieces_ = false;
  }

  void align() {
    if (rt_->alignment != 1 && rt_->alignment != 2) return;
    for (size_t i = 0; i < lineStarts_.size(); ++i) {
      if (lineStarts_[i] == nullptr) continue;
      ZoPath* end = nullptr;
      for (size_t j = i + 1; j < lineStarts_.size() && end == nullptr; ++j) end = lineStarts_[j];
      double d = widest_ - lineWidths_[i];
      if ((rt_->alignment & 1) == 0) d /= 2;
      if (vertical_) move_range(lineStarts_[i], end, 0, d);
      else move_range(lineStarts_[i], end, d, 0);
    }
  }

  bool fail_no_memory() {
    ZO_REPORT_NO_MEMORY();
    noMemory_ = true;
    return false;
  }

  richText* rt_;
  bool fixed_;
  double maxWidth_, maxHeight_;
  bool vertical_;
  HDC dc_ = nullptr;
  RunFont font_;
  Chain chain_;
  double pen_ = 0, baseline_ = 0, lineDescent_ = 0, lineTallest_ = 0, widest_ = 0;
  double totalHeight_ = 0;
  uint32_t lineCount_ = 0;
  bool stopped_ = false, lineHasPieces_ = false, hasColour_ = false, noMemory_ = false;
  COLORREF colour_ = 0;
  ZoPath* lineFirst_ = nullptr;
  std::vector<double> lineWidths_;
  std::vector<ZoPath*> lineStarts_;
  std::vector<richTextRun> filled_;
};

bool runs_acceptable(const richText& rt) {
  if (rt.runCount < 1) return false;
  for (int32_t r = 0; r < rt.runCount; ++r) {
    const richTextRun& run = rt.runs[r];
    if (run.text == nullptr) continue;
    if (run.height < 1 || run.height > kMaxTextHeight || !std::isfinite(run.rotation)) return false;
  }
  return true;
}

uint32_t create_rich_text(richText* rt, uint32_t fixedOutline, uint32_t maxWidth,
                          uint32_t maxHeight, ZoPath** outPath, uint32_t* lineCount,
                          uint32_t* totalHeight, double* outWidth) {
  if (rt == nullptr) return 0;
  if (outPath == nullptr && (lineCount == nullptr || totalHeight == nullptr)) return 0;
  if (lineCount != nullptr) *lineCount = 0;
  if (totalHeight != nullptr) *totalHeight = 0;
  if (!runs_acceptable(*rt)) {
    ZO_REPORT(plat::kErrBadArgument, 1);
    return 0;
  }
  bool limits = maxWidth != 0 && maxHeight != 0;
  double w = limits ? maxWidth : 0, h = limits ? maxHeight : 0;
  if (rt->vertical != 0 && limits) std::swap(w, h);
  try {
    std::vector<std::string> storage;
    std::vector<Piece> pieces;
    if (limits) {
      pieces = split_words(*rt, &storage);
    } else {
      for (int32_t r = 0; r < rt->runCount; ++r)
        if (rt->runs[r].text != nullptr) pieces.push_back(Piece{rt->runs[r], r});
    }
    Layout layout(rt, fixedOutline != 0, w, h);
    if (!layout.open()) return 0;
    if (layout.run(pieces) == 0) return 0;
    layout.fill_record();
    if (lineCount != nullptr) *lineCount = layout.lines();
    if (totalHeight != nullptr) *totalHeight = static_cast<uint32_t>(std::max(0.0, layout.total_height()));
    if (outWidth != nullptr) *outWidth = layout.widest();
    if (outPath != nullptr) *outPath = layout.take_path();
    return 1;
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathCreateRichEditText2(richText* text, uint32_t fixedOutline, uint32_t maxWidth,
                                          uint32_t maxHeight, ZoPath** outPath,
                                          uint32_t* lineCount, uint32_t* totalHeight,
                                          double* outWidth) {
  return create_rich_text(text, fixedOutline, maxWidth, maxHeight, outPath, lineCount,
                          totalHeight, outWidth);
}

ZO_API uint32_t ZoPathCreateRichEditText(richText* text, uint32_t fixedOutline, uint32_t maxWidth,
                                         uint32_t maxHeight, ZoPath** outPath,
                                         uint32_t* lineCount, uint32_t* totalHeight) {
  return create_rich_text(text, fixedOutline, maxWidth, maxHeight, outPath, lineCount,
                          totalHeight, nullptr);
}

}  // extern "C"
