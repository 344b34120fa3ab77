// The fonts of a rich-text run: made on an information context, reused while consecutive
// runs ask for the same font.
#pragma once

#include <cstdint>

#include "Zo32path.h"
#include "text_glyphs.hpp"

namespace zo::text {

inline constexpr int32_t kMaxTextHeight = 10000;

// The code page of a run's character set (0 for the symbol set, 1252 for unknown sets).
uint32_t code_page_of_run(const richTextRun& run);

// The font request of a run at the given em height (pixels).
LOGFONTA font_request(const richTextRun& run, int32_t emHeight, bool vertical);

struct RunFont {
  HFONT font = nullptr;  // selected into the context while alive
  bool hasTextMetrics = false;
  TEXTMETRICA tm{};
  bool hasOutlineMetrics = false;
  OUTLINETEXTMETRICA otm{};
  KernIndex kerning;

  // Makes the run's fonts: first at the run's height for the text metrics, then at
  // outlineHeight (0: the run's height) for the outlines, outline metrics and kerning pairs,
  // which stays selected. Keeps the current fonts when the run asks for the same. False when
  // a font cannot be made. May throw std::bad_alloc.
  bool select(HDC dc, const richTextRun& run, int32_t outlineHeight, bool vertical);
  void release(HDC dc);

 private:
  LOGFONTA key_{};
  bool kerningWanted_ = false;
};

}  // namespace zo::text
