// Rich-text layout from arbitrary bytes: random runs in random character sets (double-byte
// code pages, the symbol set, unknown sets), random limits, styles, rotations and options,
// then glyph rendering of the result into a small buffer. No crash, no read outside the
// text, no leak of records, blocks, fonts or contexts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Zo32path.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  uint32_t take(uint32_t bytes) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes && size > 0; ++i, --size) v |= uint32_t(*data++) << (8 * i);
    return v;
  }
};

constexpr uint32_t kCharsets[] = {0, 2, 77, 128, 129, 130, 134, 136, 161, 177, 204, 222, 238, 99};

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = ZoPathInit() != 0;
  if (!started) return 0;
  Reader in{data, size};
  uint32_t runs = in.take(1) % 3 + 1;
  std::vector<uint8_t> record(offsetof(richText, runs) + runs * sizeof(richTextRun), 0);
  auto* rt = reinterpret_cast<richText*>(record.data());
  rt->runCount = int32_t(runs);
  rt->lineSpacing = int32_t(in.take(1)) - 128;
  rt->spacingAbsolute = in.take(1) & 1;
  rt->alignment = in.take(1) % 4;
  rt->vertical = in.take(1) & 1;
  uint32_t fixed = in.take(1) & 1, maxWidth = in.take(2) % 600, maxHeight = in.take(2) % 600;
  std::vector<std::vector<char>> texts(runs);
  for (uint32_t r = 0; r < runs; ++r) {
    richTextRun& run = rt->runs[r];
    run.height = int32_t(in.take(1) % 90) - 2;
    run.descent = int32_t(in.take(1) % 20);
    run.extraLeading = int32_t(in.take(1) % 8) - 2;
    run.charset = kCharsets[in.take(1) % std::size(kCharsets)];
    run.style = uint8_t(in.take(1));
    run.kerning = int32_t(in.take(1) & 1);
    run.spacing = int32_t(in.take(1) % 16) - 6;
    std::strcpy(run.faceName, (in.take(1) & 1) ? "DejaVu Serif" : "DejaVu Sans");
    run.rotation = float(int32_t(in.take(2) % 720) - 360);
    run.colour = in.take(3);
    size_t length = in.take(1) % 40;
    for (size_t i = 0; i < length && in.size > 0; ++i) {
      char c = char(in.take(1));
      if (c != 0) texts[r].push_back(c);
    }
    texts[r].push_back('\0');
    run.text = (in.take(1) % 8) == 0 ? nullptr : texts[r].data();
  }
  size_t heap = ZoPlatHeapLiveBlocks(), mem = ZoPlatMemLiveBlocks(), global = ZoPlatGlobalLiveBlocks();
  uint32_t fonts0, dcs0;
  ZoPlatFontLiveCounts(&fonts0, &dcs0);
  ZoPath* path = nullptr;
  uint32_t lines = 0, height = 0;
  double width = 0;
  if (ZoPathCreateRichEditText2(rt, fixed, maxWidth, maxHeight, &path, &lines, &height, &width) != 0 &&
      path != nullptr) {
    uint8_t* buffer = ZoPathBufAlloc(8, 64, 32);
    POINT origin{int32_t(in.take(1)) - 128, int32_t(in.take(1)) - 200};
    ZoPathGlyphToBuf(path, &origin, buffer, nullptr, 0, rt);
    ZoPathBufFree(buffer);
  }
  release(path);
  uint32_t fonts, dcs;
  ZoPlatFontLiveCounts(&fonts, &dcs);
  if (ZoPlatHeapLiveBlocks() != heap || ZoPlatMemLiveBlocks() != mem ||
      ZoPlatGlobalLiveBlocks() != global || fonts != fonts0 || dcs != dcs0)
    std::abort();
  return 0;
}
