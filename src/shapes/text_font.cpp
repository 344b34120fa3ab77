// Fonts of rich-text runs.
#include "text_font.hpp"

#include <cstring>
#include <vector>

#include "platform/device_context.hpp"
#include "platform/fonts.hpp"

namespace zo::text {

namespace {
constexpr uint8_t kTrueTypePrecision = 4;
constexpr int32_t kVerticalEscapement = 2700, kVerticalOrientation = 900;
}  // namespace

uint32_t code_page_of_run(const richTextRun& run) {
  if (run.charset == 2) return 0;
  CHARSETINFO info{};
  return plat::TranslateCharsetInfo(run.charset, &info, TCI_SRCCHARSET) ? info.ciACP : 1252;
}

LOGFONTA font_request(const richTextRun& run, int32_t emHeight, bool vertical) {
  LOGFONTA lf{};
  lf.lfHeight = -emHeight;
  lf.lfEscapement = vertical ? kVerticalEscapement : 0;
  lf.lfOrientation = vertical ? kVerticalOrientation : 0;
  lf.lfWeight = (run.style & ZORUN_BOLD) != 0 ? 700 : 400;
  lf.lfItalic = (run.style & ZORUN_ITALIC) != 0 ? 1 : 0;
  lf.lfCharSet = static_cast<uint8_t>(run.charset);
  lf.lfOutPrecision = kTrueTypePrecision;
  std::memcpy(lf.lfFaceName, run.faceName, LF_FACESIZE - 1);  // at most 31 characters
  lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return lf;
}

bool RunFont::select(HDC dc, const richTextRun& run, int32_t outlineHeight, bool vertical) {
  LOGFONTA metricsRequest = font_request(run, run.height, vertical);
  bool wantKerning = run.kerning != 0;
  if (font != nullptr && std::memcmp(&metricsRequest, &key_, sizeof key_) == 0 &&
      wantKerning == kerningWanted_)
    return true;
  release(dc);
  HFONT metricsFont = plat::CreateFontIndirectA(&metricsRequest);
  if (metricsFont == nullptr) return false;
  plat::SelectObject(dc, metricsFont);
  hasTextMetrics = plat::GetTextMetricsA(dc, &tm) != 0;
  plat::DeleteObject(metricsFont);  // the context forgets a deleted font

  LOGFONTA outlineRequest = font_request(run, outlineHeight != 0 ? outlineHeight : run.height, vertical);
  font = plat::CreateFontIndirectA(&outlineRequest);
  if (font == nullptr) return false;
  plat::SelectObject(dc, font);
  hasOutlineMetrics = plat::GetOutlineTextMetricsA(dc, sizeof otm, &otm) != 0;
  kerning = KernIndex{};
  if (wantKerning) {
    uint32_t n = plat::GetKerningPairsA(dc, 0, nullptr);
    if (n != 0) {
      std::vector<KERNINGPAIR> pairs(n);
      n = plat::GetKerningPairsA(dc, n, pairs.data());
      kerning.build(pairs.data(), n);
    }
  }
  key_ = metricsRequest;
  kerningWanted_ = wantKerning;
  return true;
}

void RunFont::release(HDC) {
  if (font == nullptr) return;
  plat::DeleteObject(font);
  font = nullptr;
}

}  // namespace zo::text
