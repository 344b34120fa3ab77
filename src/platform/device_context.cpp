// Software device contexts: the GDI subset the drawing code needs, over a host's 32-bit
// pixels. Exclusive-or drawing must undo itself exactly, so every figure touches a pixel
// set that depends only on its arguments, lines and rectangles touch each pixel once, and
// nothing is ever drawn outside the bitmap or the clip region.
#include "device_context.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "memory.hpp"
#include "geometry/forward_diff.hpp"
#include "fonts.hpp"
#include "pointer_set.hpp"

namespace {
constexpr uint32_t kDcMagic = 0x5A444343;      // "ZDCC"
constexpr uint32_t kRegionMagic = 0x5A52474E;  // "ZRGN"
}  // namespace

struct ZoPlatDC {
  uint32_t magic;
  uint32_t* pixels;
  int32_t width, height, stride;
  int32_t rop;
  HGDIOBJ pen;
  HGDIOBJ brush;
  POINT position;
  uint32_t styleStep;  // how far into the pen's dash pattern the next line starts
  bool clipped;
  uint32_t clipCount;
  RECT* clip;  // disjoint rectangles
  HGDIOBJ font;      // the selected font (null for none)
  bool information;  // an information context: no pixels, holds a font
};

namespace zo::plat {

namespace {

// Live device contexts and regions, so a stale or foreign handle is recognised by lookup.
PointerSet& live_objects() {
  static PointerSet set;
  return set;
}

// ---- Pens and brushes are values packed into the handle ----
// Bit 63 marks a value object (no user-space address has it); bits 56-59 say pen or brush.
constexpr uintptr_t kValueTag = uintptr_t{1} << 63;
constexpr uintptr_t kKindShift = 56;
constexpr uintptr_t kPenKind = 1, kBrushKind = 2;

struct Pen {
  int32_t style;
  int32_t width;  // 1 to 3
  uint32_t pixel;
};
struct Brush {
  bool hollow;
  uint32_t pixel;
};

// COLORREF is 0x00BBGGRR, a pixel 0x00RRGGBB.
uint32_t pixel_of(COLORREF c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }
COLORREF colour_of(uint32_t p) { return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu); }

HGDIOBJ value_handle(uintptr_t kind, uintptr_t payload) {
  return reinterpret_cast<HGDIOBJ>(kValueTag | (kind << kKindShift) | payload);
}
uintptr_t kind_of_handle(HGDIOBJ h) {
  auto bits = reinterpret_cast<uintptr_t>(h);
  return (bits & kValueTag) != 0 ? (bits >> kKindShift) & 0x7Fu : 0;
}
HGDIOBJ pen_handle(int32_t style, int32_t width, COLORREF colour) {
  return value_handle(kPenKind,
                      (uintptr_t(style) << 48) | (uintptr_t(width) << 40) | (colour & 0xFFFFFFu));
}
HGDIOBJ brush_handle(bool hollow, COLORREF colour) {
  return value_handle(kBrushKind, (uintptr_t(hollow ? 1 : 0) << 32) | (colour & 0xFFFFFFu));
}
Pen pen_of(HGDIOBJ h) {
  auto bits = reinterpret_cast<uintptr_t>(h);
  return Pen{int32_t((bits >> 48) & 0xFF), int32_t((bits >> 40) & 0xFF),
             pixel_of(COLORREF(bits & 0xFFFFFFu))};
}
Brush brush_of(HGDIOBJ h) {
  auto bits = reinterpret_cast<uintptr_t>(h);
  return Brush{((bits >> 32) & 1) != 0, pixel_of(COLORREF(bits & 0xFFFFFFu))};
}

// ---- Regions: disjoint, non-empty rectangles ----
struct Region {
  uint32_t magic;
  uint32_t count;
  RECT* rects;
};

ZoPlatDC* dc_of(HDC dc) {
  if (dc == nullptr || !live_objects().contains(dc) || dc->magic != kDcMagic) return nullptr;
  return dc;
}
Region* region_of(HGDIOBJ h) {
  if (h == nullptr || kind_of_handle(h) != 0 || !live_objects().contains(h)) return nullptr;
  auto* r = reinterpret_cast<Region*>(h);
  return r->magic == kRegionMagic ? r : nullptr;
}

bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
int64_t area(const RECT& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }
RECT normalised(int32_t l, int32_t t, int32_t r, int32_t b) {
  return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// The pieces of a that b does not cover, appended to out.
void subtract(const RECT& a, const RECT& b, std::vector<RECT>& out) {
  RECT in{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  if (empty(in)) {
    out.push_back(a);
    return;
  }
  const RECT pieces[4] = {{a.left, a.top, a.right, in.top},
                          {a.left, in.bottom, a.right, a.bottom},
                          {a.left, in.top, in.left, in.bottom},
                          {in.right, in.top, a.right, in.bottom}};
  for (const RECT& p : pieces)
    if (!empty(p)) out.push_back(p);
}
std::vector<RECT> minus(std::vector<RECT> a, const std::vector<RECT>& b) {
  for (const RECT& cut : b) {
    std::vector<RECT> next;
    for (const RECT& r : a) subtract(r, cut, next);
    a.swap(next);
  }
  return a;
}
std::vector<RECT> rects_of(const Region* r) {
  return std::vector<RECT>(r->rects, r->rects + r->count);
}

int32_t kind_of_rects(const RECT* rects, uint32_t count) {
  if (count == 0) return NULLREGION;
  RECT box = rects[0];
  int64_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) {
    box = RECT{std::min(box.left, rects[i].left), std::min(box.top, rects[i].top),
               std::max(box.right, rects[i].right), std::max(box.bottom, rects[i].bottom)};
    sum += area(rects[i]);
  }
  return sum == area(box) ? SIMPLEREGION : COMPLEXREGION;
}

// A copy of the rectangles in a general-purpose block; false when allocation fails.
bool copy_rects(const RECT* rects, uint32_t count, RECT** out) {
  *out = nullptr;
  if (count == 0) return true;
  *out = static_cast<RECT*>(mem_alloc(sizeof(RECT) * count, 0));
  if (*out == nullptr) return false;
  std::copy(rects, rects + count, *out);
  return true;
}

// ---- Pixels ----

// The raster operation's 4-bit truth table (rop - 1) applied to all bits at once.
uint32_t apply_rop(int32_t rop, uint32_t pen, uint32_t dst) {
  uint32_t f = static_cast<uint32_t>(rop - 1), r = 0;
  if ((f & 1u) != 0) r |= ~pen & ~dst;
  if ((f & 2u) != 0) r |= ~pen & dst;
  if ((f & 4u) != 0) r |= pen & ~dst;
  if ((f & 8u) != 0) r |= pen & dst;
  return r;
}

bool in_clip(const ZoPlatDC* dc, int64_t x, int64_t y) {
  if (!dc->clipped) return true;
  for (uint32_t i = 0; i < dc->clipCount; ++i) {
    const RECT& r = dc->clip[i];
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

void plot(ZoPlatDC* dc, int64_t x, int64_t y, uint32_t colour, int32_t rop) {
  if (x < 0 || y < 0 || x >= dc->width || y >= dc->height || !in_clip(dc, x, y)) return;
  uint32_t& p =
      dc->pixels[static_cast<size_t>(y) * static_cast<size_t>(dc->stride) + static_cast<size_t>(x)];
  p = (p & 0xFF000000u) | (apply_rop(rop, colour, p) & 0xFFFFFFu);
}

// GDI keeps coordinates within 27 bits; so do we, which keeps all line arithmetic in 64 bits.
constexpr int64_t kCoordLimit = int64_t{1} << 27;
int64_t clamp_coord(int64_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

int64_t floor_div(int64_t a, int64_t b) {  // b > 0
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Dash patterns in pixels, on and off alternately.
bool pattern_on(int32_t style, uint32_t step) {
  static const uint8_t dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                       dashDotDot[] = {9, 3, 3, 3, 3, 3};
  const uint8_t* runs = nullptr;
  size_t n = 0;
  switch (style) {
    case PS_DASH:
      runs = dash, n = 2;
      break;
    case PS_DOT:
      runs = dot, n = 2;
      break;
    case PS_DASHDOT:
      runs = dashDot, n = 4;
      break;
    case PS_DASHDOTDOT:
      runs = dashDotDot, n = 6;
      break;
    default:
      return true;
  }
  uint32_t total = 0;
  for (size_t i = 0; i < n; ++i) total += runs[i];
  uint32_t at = step % total;
  for (size_t i = 0; i < n; ++i) {
    if (at < runs[i]) return i % 2 == 0;
    at -= runs[i];
  }
  return true;
}

// A line from a up to, not including, b: step i (0 .. n-1) lies at major coordinate
// a + i·s and at the minor coordinate of the exact line rounded (halves upward). A wider pen
// covers the w x w square around each step; each covered pixel is drawn once.
void draw_line(ZoPlatDC* dc, POINT from, POINT to) {
  Pen pen = pen_of(dc->pen);
  int64_t ax = clamp_coord(from.x), ay = clamp_coord(from.y);
  int64_t dx = clamp_coord(to.x) - ax, dy = clamp_coord(to.y) - ay;
  int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0 || pen.style == PS_NULL) return;
  bool xMajor = std::llabs(dx) >= std::llabs(dy);
  int64_t m0 = xMajor ? ay : ax, major0 = xMajor ? ax : ay;
  int64_t dm = xMajor ? dy : dx;
  int64_t s = (xMajor ? dx : dy) > 0 ? 1 : -1;
  int64_t majorLimit = xMajor ? dc->width : dc->height;
  int64_t minorLimit = xMajor ? dc->height : dc->width;
  auto minor_at = [&](int64_t i) { return m0 + floor_div(2 * i * dm + n, 2 * n); };
  auto put = [&](int64_t major, int64_t minor) {
    if (xMajor) {
      plot(dc, major, minor, pen.pixel, dc->rop);
    } else {
      plot(dc, minor, major, pen.pixel, dc->rop);
    }
  };
  if (pen.width <= 1) {
    // Only the steps whose major coordinate lies inside the bitmap.
    int64_t lo = s > 0 ? -major0 : major0 - (majorLimit - 1);
    int64_t hi = s > 0 ? majorLimit - 1 - major0 : major0;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min(hi, n - 1);
    for (int64_t i = lo; i <= hi; ++i) {
      if (pattern_on(pen.style, static_cast<uint32_t>(dc->styleStep + static_cast<uint64_t>(i))))
        put(major0 + i * s, minor_at(i));
    }
  } else {
    int64_t lo = -(pen.width / 2), hi = lo + pen.width - 1;
    int64_t lastMajor = major0 + (n - 1) * s;
    int64_t first = std::max<int64_t>(std::min(major0, lastMajor) + lo, 0);
    int64_t last = std::min(std::max(major0, lastMajor) + hi, majorLimit - 1);
    for (int64_t major = first; major <= last; ++major) {
      // The steps whose square reaches this column (or row) form one run of indices.
      int64_t ia = s > 0 ? major - hi - major0 : major0 - major + lo;
      int64_t ib = s > 0 ? major - lo - major0 : major0 - major + hi;
      ia = std::max<int64_t>(ia, 0);
      ib = std::min(ib, n - 1);
      if (ia > ib) continue;
      int64_t ma = minor_at(ia), mb = minor_at(ib);
      int64_t from = std::max<int64_t>(std::min(ma, mb) + lo, 0);
      int64_t upTo = std::min(std::max(ma, mb) + hi, minorLimit - 1);
      for (int64_t minor = from; minor <= upTo; ++minor) put(major, minor);
    }
  }
  dc->styleStep = static_cast<uint32_t>(dc->styleStep + static_cast<uint64_t>(n));
}

POINT clamped(POINT p) {
  return POINT{static_cast<int32_t>(clamp_coord(p.x)), static_cast<int32_t>(clamp_coord(p.y))};
}

}  // namespace

// ---- The calls ----

int32_t SetROP2(HDC handle, int32_t rop) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr || rop < R2_BLACK || rop > R2_WHITE) return 0;
  int32_t old = dc->rop;
  dc->rop = rop;
  return old;
}

HPEN CreatePen(int32_t style, int32_t width, COLORREF color) {
  if (style < PS_SOLID || style > PS_NULL || width < 0 || width > 3) return nullptr;
  // Wide pens are always solid.
  if (width > 1 && style != PS_NULL) style = PS_SOLID;
  return pen_handle(style, std::max(width, 1), color);
}

HGDIOBJ GetStockObject(int32_t which) {
  switch (which) {
    case WHITE_BRUSH:
      return brush_handle(false, ZO_RGB(255, 255, 255));
    case LTGRAY_BRUSH:
      return brush_handle(false, ZO_RGB(192, 192, 192));
    case GRAY_BRUSH:
      return brush_handle(false, ZO_RGB(128, 128, 128));
    case DKGRAY_BRUSH:
      return brush_handle(false, ZO_RGB(64, 64, 64));
    case BLACK_BRUSH:
      return brush_handle(false, ZO_RGB(0, 0, 0));
    case NULL_BRUSH:
      return brush_handle(true, 0);
    case WHITE_PEN:
      return pen_handle(PS_SOLID, 1, ZO_RGB(255, 255, 255));
    case BLACK_PEN:
      return pen_handle(PS_SOLID, 1, ZO_RGB(0, 0, 0));
    case NULL_PEN:
      return pen_handle(PS_NULL, 1, 0);
    default:
      return nullptr;
  }
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return nullptr;
  HGDIOBJ old = nullptr;
  switch (kind_of_handle(object)) {
    case kPenKind:
      old = dc->pen;
      dc->pen = object;
      break;
    case kBrushKind:
      old = dc->brush;
      dc->brush = object;
      break;
    default:
      if (is_font(object)) {
        old = dc->font;
        dc->font = object;
      }
      break;
  }
  return old;
}

bool DeleteObject(HGDIOBJ object) {
  uintptr_t kind = kind_of_handle(object);
  if (kind == kPenKind || kind == kBrushKind) return true;
  if (is_font(object)) return delete_font(object);
  Region* r = region_of(object);
  if (r == nullptr) return false;
  live_objects().erase(r);
  r->magic = 0;
  mem_free(r->rects);
  mem_free(r);
  return true;
}

bool Rectangle(HDC handle, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return false;
  RECT r = normalised(left, top, right, bottom);
  Pen pen = pen_of(dc->pen);
  Brush brush = brush_of(dc->brush);
  int64_t w = pen.style == PS_NULL ? 0 : pen.width;
  int64_t y0 = std::max<int64_t>(r.top, 0), y1 = std::min<int64_t>(r.bottom, dc->height);
  int64_t x0 = std::max<int64_t>(r.left, 0), x1 = std::min<int64_t>(r.right, dc->width);
  for (int64_t y = y0; y < y1; ++y) {
    bool edgeRow = y < int64_t{r.top} + w || y >= int64_t{r.bottom} - w;
    for (int64_t x = x0; x < x1; ++x) {
      if (edgeRow || x < int64_t{r.left} + w || x >= int64_t{r.right} - w) {
        plot(dc, x, y, pen.pixel, dc->rop);
      } else if (!brush.hollow) {
        plot(dc, x, y, brush.pixel, dc->rop);
      } else {
        x = std::max(x, int64_t{r.right} - w - 1);  // nothing to do across a hollow inside
      }
    }
  }
  return true;
}

bool MoveToEx(HDC handle, int32_t x, int32_t y, POINT* previous) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return false;
  if (previous != nullptr) *previous = dc->position;
  dc->position = POINT{x, y};
  dc->styleStep = 0;
  return true;
}

bool LineTo(HDC handle, int32_t x, int32_t y) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return false;
  draw_line(dc, dc->position, POINT{x, y});
  dc->position = POINT{x, y};
  return true;
}

bool PolyBezierTo(HDC handle, const POINT* points, uint32_t count) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr || points == nullptr || count % 3 != 0) return false;
  POINT at = clamped(dc->position);
  for (uint32_t i = 0; i < count; i += 3) {
    POINT c1 = clamped(points[i]), c2 = clamped(points[i + 1]), end = clamped(points[i + 2]);
    auto db = [](POINT p) { return PointDB{double(p.x), double(p.y)}; };
    // Flattened to chords of about a pixel, each drawn as a line without its end pixel.
    forward_difference_cubic(
        db(at), db(c1), db(c2), db(end), StepLimits{1.0, 0.5, true}, [&](PointDB p) {
          POINT q{static_cast<int32_t>(std::lround(p.x)), static_cast<int32_t>(std::lround(p.y))};
          if (q.x == at.x && q.y == at.y) return;
          draw_line(dc, at, q);
          at = q;
        });
    if (at.x != end.x || at.y != end.y) draw_line(dc, at, end);
    at = end;
  }
  if (count > 0) dc->position = points[count - 1];
  return true;
}

COLORREF SetPixel(HDC handle, int32_t x, int32_t y, COLORREF color) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr || x < 0 || y < 0 || x >= dc->width || y >= dc->height || !in_clip(dc, x, y))
    return CLR_INVALID;
  plot(dc, x, y, pixel_of(color), R2_COPYPEN);
  return color & 0xFFFFFFu;
}

COLORREF GetPixel(HDC handle, int32_t x, int32_t y) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr || x < 0 || y < 0 || x >= dc->width || y >= dc->height) return CLR_INVALID;
  return colour_of(dc->pixels[size_t(y) * size_t(dc->stride) + size_t(x)] & 0xFFFFFFu);
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (rect == nullptr || !live_objects().reserve_one()) return nullptr;
  auto* r = static_cast<Region*>(mem_alloc(sizeof(Region), kZeroFill));
  if (r == nullptr) return nullptr;
  RECT box = normalised(rect->left, rect->top, rect->right, rect->bottom);
  r->magic = kRegionMagic;
  r->count = empty(box) ? 0 : 1;
  if (!copy_rects(&box, r->count, &r->rects)) {
    mem_free(r);
    return nullptr;
  }
  live_objects().insert(r);
  return reinterpret_cast<HRGN>(r);
}

int32_t CombineRgn(HRGN destination, HRGN a, HRGN b, int32_t mode) {
  Region* dst = region_of(destination);
  Region* ra = region_of(a);
  Region* rb = mode == RGN_COPY ? ra : region_of(b);
  if (dst == nullptr || ra == nullptr || rb == nullptr || mode < RGN_AND || mode > RGN_COPY)
    return RGN_ERROR;
  RECT* rects = nullptr;
  uint32_t count = 0;
  try {
    std::vector<RECT> A = rects_of(ra), B = rects_of(rb), out;
    switch (mode) {
      case RGN_AND:
        for (const RECT& x : A) {
          for (const RECT& y : B) {
            RECT in{std::max(x.left, y.left), std::max(x.top, y.top), std::min(x.right, y.right),
                    std::min(x.bottom, y.bottom)};
            if (!empty(in)) out.push_back(in);
          }
        }
        break;
      case RGN_OR:
        out = minus(B, A);
        out.insert(out.begin(), A.begin(), A.end());
        break;
      case RGN_XOR:
        out = minus(A, B);
        for (const RECT& r : minus(B, A)) out.push_back(r);
        break;
      case RGN_DIFF:
        out = minus(A, B);
        break;
      default:
        out = A;
        break;
    }
    count = static_cast<uint32_t>(out.size());
    if (!copy_rects(out.data(), count, &rects)) return RGN_ERROR;
  } catch (const std::bad_alloc&) {
    return RGN_ERROR;
  }
  mem_free(dst->rects);
  dst->rects = rects;
  dst->count = count;
  return kind_of_rects(rects, count);
}

int32_t SelectClipRgn(HDC handle, HRGN region) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return RGN_ERROR;
  if (region == nullptr) {
    mem_free(dc->clip);
    dc->clip = nullptr;
    dc->clipCount = 0;
    dc->clipped = false;
    return SIMPLEREGION;
  }
  Region* r = region_of(region);
  if (r == nullptr) return RGN_ERROR;
  RECT* copy = nullptr;
  if (!copy_rects(r->rects, r->count, &copy)) return RGN_ERROR;
  mem_free(dc->clip);
  dc->clip = copy;
  dc->clipCount = r->count;
  dc->clipped = true;
  return kind_of_rects(copy, r->count);
}

namespace {
uint32_t g_informationContexts = 0;
}

HDC create_information_dc() {
  if (!live_objects().reserve_one()) return nullptr;
  auto* dc = static_cast<ZoPlatDC*>(mem_alloc(sizeof(ZoPlatDC), kZeroFill));
  if (dc == nullptr) return nullptr;
  dc->magic = kDcMagic;
  dc->rop = R2_COPYPEN;  // no pixels and a 0 x 0 size: every drawing call draws nothing
  dc->pen = GetStockObject(BLACK_PEN);
  dc->brush = GetStockObject(WHITE_BRUSH);
  dc->information = true;
  live_objects().insert(dc);
  ++g_informationContexts;
  return dc;
}

HGDIOBJ selected_font(HDC handle) {
  ZoPlatDC* dc = dc_of(handle);
  return dc != nullptr ? dc->font : nullptr;
}

uint32_t information_dc_count() { return g_informationContexts; }

bool DeleteDC(HDC handle) {
  ZoPlatDC* dc = dc_of(handle);
  if (dc == nullptr) return false;
  live_objects().erase(dc);
  if (dc->information) --g_informationContexts;
  dc->magic = 0;
  mem_free(dc->clip);
  mem_free(dc);
  return true;
}

}  // namespace zo::plat

using namespace zo::plat;

extern "C" {

ZO_API HDC ZoPlatCreateMemoryDC(uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width) return nullptr;
  if (!live_objects().reserve_one()) return nullptr;
  auto* dc = static_cast<ZoPlatDC*>(mem_alloc(sizeof(ZoPlatDC), kZeroFill));
  if (dc == nullptr) return nullptr;
  dc->magic = kDcMagic;
  dc->pixels = pixels;
  dc->width = width;
  dc->height = height;
  dc->stride = stride;
  dc->rop = R2_COPYPEN;
  dc->pen = GetStockObject(BLACK_PEN);
  dc->brush = GetStockObject(WHITE_BRUSH);
  live_objects().insert(dc);
  return dc;
}

ZO_API uint32_t ZoPlatDeleteDC(HDC handle) { return DeleteDC(handle) ? 1 : 0; }

ZO_API int32_t ZoPlatSetROP2(HDC dc, int32_t rop) { return SetROP2(dc, rop); }
ZO_API HPEN ZoPlatCreatePen(int32_t style, int32_t width, COLORREF color) {
  return CreatePen(style, width, color);
}
ZO_API HGDIOBJ ZoPlatGetStockObject(int32_t which) { return GetStockObject(which); }
ZO_API HGDIOBJ ZoPlatSelectObject(HDC dc, HGDIOBJ object) { return SelectObject(dc, object); }
ZO_API uint32_t ZoPlatDeleteObject(HGDIOBJ object) { return DeleteObject(object) ? 1 : 0; }
ZO_API uint32_t ZoPlatRectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Rectangle(dc, left, top, right, bottom) ? 1 : 0;
}
ZO_API uint32_t ZoPlatMoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous) {
  return MoveToEx(dc, x, y, previous) ? 1 : 0;
}
ZO_API uint32_t ZoPlatLineTo(HDC dc, int32_t x, int32_t y) { return LineTo(dc, x, y) ? 1 : 0; }
ZO_API uint32_t ZoPlatPolyBezierTo(HDC dc, const POINT* points, uint32_t count) {
  return PolyBezierTo(dc, points, count) ? 1 : 0;
}
ZO_API COLORREF ZoPlatSetPixel(HDC dc, int32_t x, int32_t y, COLORREF color) {
  return SetPixel(dc, x, y, color);
}
ZO_API COLORREF ZoPlatGetPixel(HDC dc, int32_t x, int32_t y) { return GetPixel(dc, x, y); }
ZO_API HRGN ZoPlatCreateRectRgnIndirect(const RECT* rect) { return CreateRectRgnIndirect(rect); }
ZO_API int32_t ZoPlatCombineRgn(HRGN destination, HRGN a, HRGN b, int32_t mode) {
  return CombineRgn(destination, a, b, mode);
}
ZO_API int32_t ZoPlatSelectClipRgn(HDC dc, HRGN region) { return SelectClipRgn(dc, region); }

}  // extern "C"
