// Glyph rendering: the characters of a rich-text path drawn back as hinted glyph bitmaps,
// each at the box of its subpaths, so small text stays crisp where a filled outline would blur.
//
// The path and the record are walked in step: every character whose glyph has an outline
// owns the subpaths from one carrying ZOF_TEXT_CHAR up to the next; characters without
// outline (spaces) own none; bars (ZOF_RICH_BAR) follow the characters of their piece. A path
// that does not fit the record ends the walk without reading past it.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "geometry/fixed_point.hpp"
#include "model/node_walk.hpp"
#include "model/records.hpp"
#include "platform/device_context.hpp"
#include "platform/fonts.hpp"
#include "platform/host_imaging.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"
#include "render/pixel_buffer.hpp"
#include "text_font.hpp"
#include "text_glyphs.hpp"

using namespace zo;
using namespace zo::text;

namespace {

constexpr uint8_t kDollar = 36;
constexpr uint32_t kHostLockMode = 3;

// Where pixels go: a library buffer or a host image, rows read and written in order.
class Target {
 public:
  bool open(uint8_t* buffer, void* host) {
    if (buffer != nullptr) {
      // A live block first (exact lookup), then its header.
      size_t block = plat::mem_size(buffer - render::kBufferHeaderBytes);
      if (block == SIZE_MAX || block < render::kBufferHeaderBytes) return false;
      render::BufferHeader h = render::header_of(buffer);
      size_t bpp = render::bytes_per_pixel(h.bits);
      if (bpp == 8 ||
          block - render::kBufferHeaderBytes < size_t{h.width} * h.height * bpp)
        return false;
      buffer_ = buffer;
      width_ = h.width, height_ = h.height, bpp_ = static_cast<uint32_t>(bpp);
      return true;
    }
    uint32_t unit = 0;
    if (host == nullptr || !plat::host_image_size(host, &width_, &height_, &unit) ||
        !plat::host_image_lock(host, kHostLockMode, 0))
      return false;
    host_ = host;
    bpp_ = 3;
    row_.assign(size_t{width_} * 3, 0);
    return true;
  }
  ~Target() {
    if (host_ != nullptr) plat::host_image_unlock(host_);
  }
  int64_t width() const { return width_; }
  int64_t height() const { return height_; }

  // Blends coverage (0-255 a pixel, `w` wide) into row y from column x on.
  void blend_row(int64_t x, int64_t y, const uint8_t* coverage, int64_t w, COLORREF colour) {
    if (y < 0 || y >= height_) return;
    int64_t from = std::max<int64_t>(0, -x), to = std::min<int64_t>(w, width_ - x);
    if (from >= to) return;
    uint8_t* row = buffer_ != nullptr ? buffer_ + size_t(y) * width_ * bpp_ : row_.data();
    if (host_ != nullptr && !plat::host_image_line(host_, int32_t(y), plat::kHostRowRead, row)) return;
    const uint8_t rgb[3] = {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)};
    for (int64_t i = from; i < to; ++i) {
      uint32_t v = coverage[i];
      if (v == 0) continue;
      uint8_t* px = row + size_t(x + i) * bpp_;
      if (bpp_ == 1) {
        px[0] = std::max<uint8_t>(px[0], uint8_t(v));
        continue;
      }
      for (int k = 0; k < 3; ++k) px[k] = uint8_t((px[k] * (255 - v) + rgb[k] * v + 127) / 255);
    }
    if (host_ != nullptr) plat::host_image_line(host_, int32_t(y), plat::kHostRowWrite, row);
  }

 private:
  uint8_t* buffer_ = nullptr;
  void* host_ = nullptr;
  uint32_t width_ = 0, height_ = 0, bpp_ = 1;
  std::vector<uint8_t> row_;
};

// An edge to whole pixels: up when the fraction of edge + 0.5001 passes one half.
int64_t round_edge(double edge) {
  double t = edge + 0.5001, f = std::floor(t);
  return static_cast<int64_t>(t - f > 0.5 ? f + 1 : f);
}

struct Box {
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  void add(const ZoPath* p) {
    for_each_point(p, [this](const PathNode& n) {
      PointDB q = to_db(n.pt);
      left = std::min(left, q.x), right = std::max(right, q.x);
      top = std::min(top, q.y), bottom = std::max(bottom, q.y);
    });
  }
  bool empty() const { return left > right; }
};

bool is_bar(const ZoPath* p) {
  return (p->flags & (ZOF_TEXT_CHAR | ZOF_RICH_BAR)) == (ZOF_TEXT_CHAR | ZOF_RICH_BAR);
}

class GlyphPainter {
 public:
  GlyphPainter(Target& target, POINT origin) : target_(target), origin_(origin) {}

  void fill_bar(const ZoPath* bar, COLORREF colour) {
    Box b;
    b.add(bar);
    if (b.empty()) return;
    int64_t x0 = round_edge(b.left) - origin_.x, x1 = round_edge(b.right) - origin_.x;
    int64_t y0 = round_edge(b.top) - origin_.y, y1 = round_edge(b.bottom) - origin_.y;
    x0 = std::max<int64_t>(x0, 0), x1 = std::min(x1, target_.width());
    if (x1 <= x0) return;
    std::vector<uint8_t> full(size_t(x1 - x0), 255);
    for (int64_t y = std::max<int64_t>(y0, 0); y < std::min(y1, target_.height()); ++y)
      target_.blend_row(x0, y, full.data(), x1 - x0, colour);
  }

  // The glyph's 1-bit bitmap, expanded to bytes, at the box's rounded corner.
  bool draw_glyph(HDC dc, uint32_t code, const MAT2& matrix, const Box& box, COLORREF colour) {
    int64_t x = round_edge(box.left) - origin_.x, y = round_edge(box.top) - origin_.y;
    int64_t x1 = round_edge(box.right) - origin_.x, y1 = round_edge(box.bottom) - origin_.y;
    if (x1 < 0 || y1 < 0 || x >= target_.width() || y >= target_.height()) return true;
    GLYPHMETRICS gm;
    uint32_t size = plat::GetGlyphOutlineA(dc, code, GGO_BITMAP, &gm, 0, nullptr, &matrix);
    if (size == GDI_ERROR) return false;
    if (size == 0) return true;
    bits_.assign(size, 0);
    if (plat::GetGlyphOutlineA(dc, code, GGO_BITMAP, &gm, size, bits_.data(), &matrix) != size)
      return false;
    size_t stride = (gm.gmBlackBoxX + 31) / 32 * 4;
    if (stride * gm.gmBlackBoxY > size) return false;
    row_.assign(gm.gmBlackBoxX, 0);
    for (uint32_t r = 0; r < gm.gmBlackBoxY; ++r) {
      const uint8_t* src = bits_.data() + r * stride;
      for (uint32_t c = 0; c < gm.gmBlackBoxX; ++c)
        row_[c] = (src[c >> 3] & (0x80 >> (c & 7))) != 0 ? 255 : 0;
      target_.blend_row(x, y + r, row_.data(), gm.gmBlackBoxX, colour);
    }
    return true;
  }

 private:
  Target& target_;
  POINT origin_;
  std::vector<uint8_t> bits_, row_;
};

enum class Walk { Going, PathEnded, Failed };

class GlyphWalk {
 public:
  GlyphWalk(HDC dc, ZoPath* path, GlyphPainter& painter) : dc_(dc), cur_(path), painter_(painter) {}

  Walk run(const richTextRun& run, bool vertical) {
    LOGFONTA request = font_request(run, run.height, vertical);
    HFONT f = plat::CreateFontIndirectA(&request);
    if (f == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return Walk::Failed;
    }
    plat::SelectObject(dc_, f);
    Walk result = characters(run);
    plat::DeleteObject(f);
    return result;
  }

  void fill_bars(COLORREF colour) {
    while (cur_ != nullptr && is_bar(cur_)) {
      painter_.fill_bar(cur_, colour);
      cur_ = cur_->next;
    }
  }

 private:
  Walk characters(const richTextRun& run) {
    const MAT2 matrix = run.rotation != 0 ? rotation_matrix(run.rotation) : identity_matrix();
    const bool symbol = run.charset == 2;
    const uint32_t codePage = code_page_of_run(run);
    const char* t = run.text;
    for (size_t at = 0; t[at] != '\0';) {
      auto byte = static_cast<uint8_t>(t[at]);
      uint32_t code = byte;
      size_t step = 1;
      if (!symbol && t[at + 1] != '\0' && plat::IsDBCSLeadByteEx(codePage, byte)) {
        code = byte * 256u + static_cast<uint8_t>(t[at + 1]);
        step = 2;
      }
      at += step;
      if (code == '\n' || (code == '\r' && (t[at] == '\n' || t[at] == '\0'))) continue;
      GLYPHMETRICS gm;
      uint32_t outline = plat::GetGlyphOutlineA(dc_, code, GGO_NATIVE, &gm, 0, nullptr, &matrix);
      if (outline == GDI_ERROR) {
        code = kDollar;
        outline = plat::GetGlyphOutlineA(dc_, code, GGO_NATIVE, &gm, 0, nullptr, &matrix);
        if (outline == GDI_ERROR) return Walk::Failed;
      }
      fill_bars(run.colour);
      if (outline == 0) continue;  // no subpaths for this character
      if (cur_ == nullptr) return Walk::PathEnded;
      if ((cur_->flags & ZOF_TEXT_CHAR) == 0) return Walk::Failed;
      Box box;
      ZoPath* p = cur_;
      do {
        box.add(p);
        p = p->next;
      } while (p != nullptr && (p->flags & ZOF_TEXT_CHAR) == 0);
      cur_ = p;
      if (!box.empty() && !painter_.draw_glyph(dc_, code, matrix, box, run.colour))
        return Walk::Failed;
    }
    fill_bars(run.colour);
    return Walk::Going;
  }

  HDC dc_;
  ZoPath* cur_;
  GlyphPainter& painter_;
};

uint32_t glyphs_to_buffer(ZoPath* path, const POINT* origin, uint8_t* buffer, void* host,
                          richText* rt) {
  if (path == nullptr || origin == nullptr || rt == nullptr || rt->runCount < 1) return 0;
  if (path->count == 0 || (path->flags & ZOF_TEXT_CHAR) == 0) return 0;
  for (int32_t r = 0; r < rt->runCount; ++r) {
    const richTextRun& run = rt->runs[r];
    if (run.text != nullptr && (run.height < 1 || run.height > kMaxTextHeight || !std::isfinite(run.rotation)))
      return 0;
  }
  Target target;
  if (!target.open(render::is_buffer_handle(buffer) ? buffer : nullptr, host)) return 0;
  HDC dc = plat::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (dc == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  GlyphPainter painter(target, *origin);
  GlyphWalk walk(dc, path, painter);
  Walk state = Walk::Going;
  for (int32_t r = 0; r < rt->runCount && state == Walk::Going; ++r) {
    if (rt->runs[r].text != nullptr) state = walk.run(rt->runs[r], rt->vertical != 0);
  }
  plat::DeleteDC(dc);
  return state == Walk::Failed ? 0 : 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathGlyphToBuf(ZoPath* path, const POINT* origin, uint8_t* libraryBuffer,
                                 void* hostImage, uint32_t, richText* text) {
  try {
    return glyphs_to_buffer(path, origin, libraryBuffer, hostImage, text);
  } catch (const std::bad_alloc&) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
}

}  // extern "C"
